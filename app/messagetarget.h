#pragma once

#include <QtGlobal>

// The private messages a worker sends to the dialog that waits for it.
enum : unsigned
{
    WM_USER_BASE = 0x0400,
    WM_TASK_DONE = WM_USER_BASE + 100,          // wParam 1 success, 0 failure or cancel (posted)
    WM_TASK_QUERYCANCEL = WM_USER_BASE + 101,   // result non-zero when the user asked to cancel
    WM_COMPARE_SETITEM = WM_USER_BASE + 103,    // lParam: address of the current table's name
    WM_TASK_SETRANGE = WM_USER_BASE + 110,      // lParam: progress range
    WM_TASK_STEP = WM_USER_BASE + 111,          // one progress step and counters
    WM_COMPARE_PROGRESS = WM_USER_BASE + 111,   // range or step of a comparison
    WM_TASK_SETITEM = WM_USER_BASE + 112,       // lParam: address of the current item's name
};

// Whatever a worker reports to: the wait dialogs, a command-line progress
// printer, or a test's recorder. SendMessage is synchronous and answers;
// PostMessage returns at once.
class CMessageTarget
{
public:
    virtual ~CMessageTarget() = default;

    virtual qintptr SendMessage(unsigned nMessage, qintptr wParam, qintptr lParam) = 0;
    virtual void PostMessage(unsigned nMessage, qintptr wParam, qintptr lParam) = 0;
};
