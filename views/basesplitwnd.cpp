#include "views/basesplitwnd.h"

#include "controls/windowfunctions.h"

#include <QMouseEvent>
#include <QPainter>

CBaseSplitWnd::CBaseSplitWnd(Qt::Orientation orientation, QWidget* pParent) : QSplitter(orientation, pParent)
{
    setHandleWidth(kBarWidth);
    setChildrenCollapsible(true);
    setOpaqueResize(false);
}

QSplitterHandle* CBaseSplitWnd::createHandle()
{
    return new CSplitterBar(orientation(), this);
}

CSplitterBar::CSplitterBar(Qt::Orientation orientation, QSplitter* pParent) : QSplitterHandle(orientation, pParent)
{
    // No resize cursor: nothing here can be dragged.
    setCursor(Qt::ArrowCursor);
}

void CSplitterBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kAccentColor);
}

// The mouse is taken and dropped: the splitter never sees a drag.
void CSplitterBar::mousePressEvent(QMouseEvent* pEvent)
{
    pEvent->accept();
}

void CSplitterBar::mouseMoveEvent(QMouseEvent* pEvent)
{
    pEvent->accept();
}

void CSplitterBar::mouseReleaseEvent(QMouseEvent* pEvent)
{
    pEvent->accept();
}

void CSplitterBar::mouseDoubleClickEvent(QMouseEvent* pEvent)
{
    pEvent->accept();
}
