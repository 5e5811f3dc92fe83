#pragma once

#include "tools/dlgwait.h"

// Modes of the comparison progress dialog.
enum : int
{
    COMPARE_TABLES = 0,
    COMPARE_ALIASES = 1,
};

// The progress dialog of a comparison run: the wait dialog's worker and
// messaging, running the table or alias engine of the application object.
// The bar shows once the engine has set its range (a range of 0, two empty
// databases, leaves it hidden), the table being compared stands on the
// right, and Cancel stops the run after the current table or row.
class CDlgWaitZembra : public CDlgWait
{
    Q_OBJECT

public:
    CDlgWaitZembra(int nMode, bool bCanCancel, QWidget* pParent);

    qintptr SendMessage(unsigned nMessage, qintptr wParam, qintptr lParam) override;

    int m_nMode;

protected:
    bool RunTask() override;

private:
    qintptr HandleCompareMessage(unsigned nMessage, qintptr lParam);

    bool m_bRangeSet = false;
};

// Runs the comparison of the mode behind its progress dialog, unless its
// result file already exists; true when a result exists afterwards. A run
// that does not succeed leaves no result file, and one that failed (not
// one cancelled) tells the user why.
bool RunComparison(int nMode, QWidget* pParent);
// Runs the given progress dialog, whatever result file exists.
bool RunComparison(CDlgWaitZembra& dlg);
