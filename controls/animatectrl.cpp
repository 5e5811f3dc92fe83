#include "controls/animatectrl.h"

#include "res/resourceimages.h"

#include <QPainter>

#include <algorithm>

CAnimateCtrl::CAnimateCtrl(QWidget* pParent)
    : QWidget(pParent)
{
    m_timer.setInterval(80);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (!m_arrFrames.isEmpty())
            m_nFrame = (m_nFrame + 1) % int(m_arrFrames.size());
        update();
    });
}

bool CAnimateCtrl::Open(int nResourceId)
{
    m_arrFrames.clear();
    if (nResourceId != ResourceId::WorkingAnimation)
        return false;
    const int nSize = std::max(8, std::min(width(), height()));
    for (int i = 0; i < AnimationFrameCount(); ++i)
        m_arrFrames.append(DrawAnimationFrame(i, nSize));
    m_nFrame = 0;
    return true;
}

void CAnimateCtrl::Play()
{
    m_nFrame = 0;
    if (!m_arrFrames.isEmpty())
        m_timer.start();
}

void CAnimateCtrl::Stop()
{
    m_timer.stop();
}

void CAnimateCtrl::paintEvent(QPaintEvent*)
{
    if (m_arrFrames.isEmpty())
        return;
    const QImage& frame = m_arrFrames[m_nFrame];
    QPainter painter(this);
    painter.drawImage((width() - frame.width()) / 2, (height() - frame.height()) / 2, frame);
}
