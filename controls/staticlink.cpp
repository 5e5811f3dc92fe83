#include "controls/staticlink.h"

#include "controls/windowfunctions.h"
#include "res/resourceimages.h"

#include <QMouseEvent>
#include <QPainter>

CStaticLink::CStaticLink(QWidget* pParent)
    : QLabel(pParent),
      m_strURL(MakerWebAddress())
{
    setCursor(LoadHandCursor());
}

void CStaticLink::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() == Qt::LeftButton && rect().contains(pEvent->position().toPoint()))
        OnClicked();
    QLabel::mouseReleaseEvent(pEvent);
}

void CStaticLink::OnClicked()
{
    if (!ShellOpenUrl(m_strURL.isEmpty() ? text() : m_strURL)) {
        MessageBeep();
        return;
    }
    m_bVisited = true;
    update();
}

void CStaticLink::paintEvent(QPaintEvent*)
{
    QFont underlined = font();
    underlined.setUnderline(true);
    QPainter painter(this);
    painter.setFont(underlined);
    painter.setPen(CurrentColor());
    painter.drawText(contentsRect(), int(alignment()) | Qt::TextSingleLine, text());
}
