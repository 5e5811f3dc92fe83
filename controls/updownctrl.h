#pragma once

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QToolButton;

// The up-down arrows beside an edit (its buddy): each step writes the
// buddy's integer, kept within the range; the arrow keys in the buddy step
// too. An empty or unreadable buddy steps from the last position.
class CUpDownCtrl : public QWidget
{
    Q_OBJECT

public:
    explicit CUpDownCtrl(QWidget* pParent = nullptr);

    void SetBuddy(QLineEdit* pBuddy);
    void SetRange(int nLower, int nUpper);
    int GetPos() const;
    // One step up (+1) or down (-1).
    void Step(int nDelta);

    // Accessible names (and tips) of the two arrows.
    void SetButtonNames(const QString& strUp, const QString& strDown);

    QToolButton* UpButton() const { return m_pUp; }
    QToolButton* DownButton() const { return m_pDown; }

protected:
    bool eventFilter(QObject* pObject, QEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    QToolButton* m_pUp;
    QToolButton* m_pDown;
    QPointer<QLineEdit> m_pBuddy;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
};
