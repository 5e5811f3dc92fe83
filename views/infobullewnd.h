#pragma once

#include <QTimer>
#include <QWidget>

class CZembraListCtrl;

// The tooltip of a list: the whole text of a cut cell, laid exactly over
// the cell half a second after the pointer came to rest on it, in the font
// of the cell. It never takes the focus or the pointer, so the list keeps
// tracking the mouse.
class CInfoBulleWnd : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kDelayMs = 500;

    explicit CInfoBulleWnd(CZembraListCtrl* pOwnerList);

    // Sizes the window to the text from its current top-left corner (2
    // pixels higher, 4 wider and taller than the text) and keeps it on the
    // screen; the text is shown once the delay has run.
    void SetText(const QString& strText);
    const QString& GetText() const { return m_strText; }

    // Starts the delay after which the window shows.
    void Arm();
    void HideToolTip();
    bool IsTimerSet() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    void OnTimer();

    CZembraListCtrl* m_pOwnerList;
    QString m_strText;
    QTimer m_timer;
};
