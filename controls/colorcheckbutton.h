#pragma once

#include "app/messagetarget.h"

#include <QList>
#include <QPixmap>
#include <QPushButton>

// Sent to the parent of a check button when a click toggled it.
inline constexpr unsigned WM_CHECKBUTTON_TOGGLED = WM_USER_BASE + 120;

// An owner-drawn check box (the filter boxes of the result forms): a tick
// image, then the text on white. Its parent, when it is a message target,
// hears of every click.
class CColorCheckButton : public QPushButton
{
    Q_OBJECT

public:
    explicit CColorCheckButton(QWidget* pParent = nullptr);

    // 1 when checked, else 0.
    int GetCheck() const { return m_bChecked ? 1 : 0; }
    void SetCheck(int nCheck) { m_bChecked = nCheck == 1; update(); }

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    void OnClicked();

    QList<QPixmap> m_imlCheck;
    bool m_bChecked = false;
};
