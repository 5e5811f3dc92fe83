#pragma once

#include "app/messagetarget.h"

// The comparison run's messages to its progress dialog; a null target hears
// nothing and never cancels.

inline bool QueryCancel(CMessageTarget* pDlg)
{
    return pDlg != nullptr && pDlg->SendMessage(WM_TASK_QUERYCANCEL, 0, 0) != 0;
}

// lParam > 0 sets the range, 0 advances one step.
inline void SendProgress(CMessageTarget* pDlg, qintptr wParam, qintptr lParam)
{
    if (pDlg != nullptr)
        pDlg->SendMessage(WM_COMPARE_PROGRESS, wParam, lParam);
}
