#include "controls/colorcheckbutton.h"

#include "res/resourceimages.h"

#include <QPainter>

CColorCheckButton::CColorCheckButton(QWidget* pParent)
    : QPushButton(pParent),
      m_imlCheck(LoadImageList(ResourceId::TickBoxes))
{
    connect(this, &QPushButton::clicked, this, &CColorCheckButton::OnClicked);
}

void CColorCheckButton::OnClicked()
{
    m_bChecked = !m_bChecked;
    update();
    if (auto* pTarget = dynamic_cast<CMessageTarget*>(parentWidget()))
        pTarget->SendMessage(WM_CHECKBUTTON_TOGGLED, 0, 0);
}

void CColorCheckButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    int nTextLeft = 0;
    if (m_imlCheck.size() == 2) {
        painter.drawPixmap(0, 0, m_imlCheck[m_bChecked ? 1 : 0]);
        nTextLeft += 21;
    }
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect textRect(nTextLeft, 0, width() - nTextLeft, height());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, text());
    if (hasFocus()) {
        const int nTextWidth = fontMetrics().horizontalAdvance(text());
        const QRect focus(nTextLeft - 1, 0, nTextWidth + 1, std::min(fontMetrics().height(), height() - 1));
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
        painter.drawRect(focus);
    }
}
