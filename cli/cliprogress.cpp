#include "cli/cliprogress.h"

#include "cli/cliinterrupt.h"

#include <cstdio>

#include <unistd.h>

namespace {

constexpr int kBarWidth = 30;

}  // namespace

CCliProgress::CCliProgress(Mode mode) : m_mode(mode), m_bShown(isatty(STDERR_FILENO) != 0) {}

CCliProgress::~CCliProgress()
{
    if (m_bDrawn)
        std::fputs("\n", stderr);
}

qintptr CCliProgress::SendMessage(unsigned nMessage, qintptr /*wParam*/, qintptr lParam)
{
    switch (nMessage) {
    case WM_TASK_QUERYCANCEL:
        return CCliInterrupt::IsRequested() ? 1 : 0;
    case WM_TASK_SETRANGE:
        SetRange(lParam);
        break;
    case WM_TASK_STEP:   // also WM_COMPARE_PROGRESS
        if (m_mode == Comparison && lParam > 0)
            SetRange(lParam);
        else
            Step();
        break;
    case WM_COMPARE_SETITEM:
    case WM_TASK_SETITEM:
        if (lParam != 0)
            m_strItem = *reinterpret_cast<const QString*>(lParam);
        Draw();
        break;
    default:
        break;
    }
    return 0;
}

void CCliProgress::PostMessage(unsigned /*nMessage*/, qintptr /*wParam*/, qintptr /*lParam*/) {}

void CCliProgress::SetRange(qintptr nRange)
{
    if (nRange > 0) {
        m_nRange = nRange;
        m_nValue = 0;
    }
    Draw();
}

void CCliProgress::Step()
{
    if (m_nValue < m_nRange)
        ++m_nValue;
    Draw();
}

void CCliProgress::Draw()
{
    if (!m_bShown || m_nRange <= 0)
        return;
    const int nPercent = int(m_nValue * 100 / m_nRange);
    const int nFilled = int(m_nValue * kBarWidth / m_nRange);
    const QByteArray item = m_strItem.left(24).toLocal8Bit();
    std::fprintf(stderr, "\r[%-*s] %3d%% %-24s", kBarWidth, QByteArray(nFilled, '#').constData(), nPercent,
                 item.constData());
    std::fflush(stderr);
    m_bDrawn = true;
}
