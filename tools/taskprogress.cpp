#include "tools/taskprogress.h"

#include "app/messagetarget.h"

void CTaskProgress::SetRange(qintptr nRange)
{
    if (m_pTarget != nullptr)
        m_pTarget->SendMessage(WM_TASK_SETRANGE, 0, nRange);
}

void CTaskProgress::SetItem(const QString& strName)
{
    if (m_pTarget != nullptr)
        m_pTarget->SendMessage(WM_TASK_SETITEM, 0, reinterpret_cast<qintptr>(&strName));
}

void CTaskProgress::Step(qintptr nModified, qintptr nProcessed)
{
    if (m_pTarget != nullptr)
        m_pTarget->SendMessage(WM_TASK_STEP, nModified, nProcessed);
}

void CTaskProgress::PollCancel(bool& bCancel)
{
    if (m_pTarget != nullptr && m_pTarget->SendMessage(WM_TASK_QUERYCANCEL, 0, 0) != 0)
        bCancel = true;
}
