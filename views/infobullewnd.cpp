#include "views/infobullewnd.h"

#include "views/zembralistctrl.h"

#include <QGuiApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QScreen>

CInfoBulleWnd::CInfoBulleWnd(CZembraListCtrl* pOwnerList)
    : QWidget(pOwnerList, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                              Qt::WindowDoesNotAcceptFocus),
      m_pOwnerList(pOwnerList)
{
    // Neither focus nor pointer: the pointer stays over the list's cell.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // Never before the delay, as a coarse timer may be.
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &CInfoBulleWnd::OnTimer);
}

void CInfoBulleWnd::SetText(const QString& strText)
{
    const QFontMetrics metrics(font());
    QRect rect(geometry().topLeft(), QSize(metrics.horizontalAdvance(strText), metrics.height()));
    rect.adjust(0, -2, 4, 4);
    const QScreen* pScreen = QGuiApplication::screenAt(rect.topLeft());
    if (pScreen == nullptr)
        pScreen = m_pOwnerList->screen();
    if (pScreen != nullptr) {
        const QRect screen = pScreen->geometry();
        if (rect.right() > screen.right())
            rect.moveRight(screen.right());
        if (rect.left() < screen.left())
            rect.moveLeft(screen.left());
    }
    setGeometry(rect);
    m_strText = strText;
    update();
}

void CInfoBulleWnd::Arm()
{
    m_timer.start();
}

void CInfoBulleWnd::HideToolTip()
{
    m_timer.stop();
    hide();
}

void CInfoBulleWnd::OnTimer()
{
    if (m_pOwnerList->GetToolTipMode() != 0 && !m_strText.isEmpty()) {
        show();
        update();
    }
}

void CInfoBulleWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect frame = rect();
    painter.fillRect(frame, palette().color(QPalette::ToolTipText));
    const QRect client = frame.adjusted(1, 1, -1, -1);
    painter.fillRect(client, palette().color(QPalette::ToolTipBase));
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.drawText(client.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                     m_strText);
}
