#include "views/dlgwaitzembra.h"

#include "app/qalmetapp.h"
#include "controls/callonthreadof.h"
#include "controls/guiprompt.h"
#include "res/dialogtemplates.h"

#include <QLabel>
#include <QProgressBar>
#include <QThread>

CDlgWaitZembra::CDlgWaitZembra(int nMode, bool bCanCancel, QWidget* pParent)
    : CDlgWait(QString(), WAIT_COMPARISON, bCanCancel, pParent),
      m_nMode(nMode)
{
    // The run reads both sides; Cancel waits for the current table or row
    // instead of stopping a statement of the tools database.
    m_pDB = nullptr;
}

bool CDlgWaitZembra::RunTask()
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    if (pApp == nullptr)
        return false;
    return m_nMode == COMPARE_ALIASES ? pApp->CompareAliases(this) : pApp->CompareTables(this);
}

qintptr CDlgWaitZembra::SendMessage(unsigned nMessage, qintptr wParam, qintptr lParam)
{
    if (nMessage != WM_COMPARE_PROGRESS && nMessage != WM_COMPARE_SETITEM)
        return CDlgWait::SendMessage(nMessage, wParam, lParam);
    if (QThread::currentThread() == thread())
        return HandleCompareMessage(nMessage, lParam);
    qintptr nResult = 0;
    CallOnThreadOf(this, [&] { nResult = HandleCompareMessage(nMessage, lParam); });
    return nResult;
}

qintptr CDlgWaitZembra::HandleCompareMessage(unsigned nMessage, qintptr lParam)
{
    if (nMessage == WM_COMPARE_SETITEM) {
        if (auto* pItem = dynamic_cast<QLabel*>(GetDlgItem(IDC_WAIT_ITEM)); pItem && lParam != 0)
            pItem->setText(*reinterpret_cast<const QString*>(lParam));
        return 0;
    }
    auto* pProgress = dynamic_cast<QProgressBar*>(GetDlgItem(IDC_PROGRESS));
    if (pProgress == nullptr)
        return 0;
    if (lParam > 0) {
        pProgress->setRange(0, int(lParam));
        pProgress->setValue(0);
        m_bRangeSet = true;
    } else if (m_bRangeSet) {
        if (pProgress->value() < pProgress->maximum())
            pProgress->setValue(pProgress->value() + 1);
    } else {
        // A step before any range (a range of 0 reads as one): nothing to show.
        return 0;
    }
    pProgress->show();
    pProgress->repaint();
    return 0;
}

namespace {

int ResultFileOfMode(int nMode)
{
    return nMode == COMPARE_ALIASES ? RESULT_FILE_ALIASES : RESULT_FILE_TABLES;
}

}  // namespace

bool RunComparison(int nMode, QWidget* pParent)
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    if (pApp == nullptr)
        return false;
    if (pApp->GetResultFile(ResultFileOfMode(nMode)) != nullptr)
        return true;
    CDlgWaitZembra dlg(nMode, true, pParent);
    return RunComparison(dlg);
}

bool RunComparison(CDlgWaitZembra& dlg)
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    if (pApp == nullptr)
        return false;
    const int nMode = dlg.m_nMode;
    const int nWhich = ResultFileOfMode(nMode);
    dlg.setWindowModality(Qt::ApplicationModal);
    const bool bSucceeded = dlg.DoModal() == IDOK;
    if (bSucceeded)
        return true;
    // A failed or cancelled engine removes its file; one that ended by an
    // exception may not have: no partial file may pass for a result.
    pApp->DeleteResultFile(nWhich);
    const CCompareFailure& failure = nMode == COMPARE_ALIASES ? pApp->GetAliasComparison().GetFailure()
                                                              : pApp->GetTableComparison().GetFailure();
    if (failure.IsFailed()) {
        CGuiPrompt prompt;
        prompt.ShowMessage(failure.GetMessage(), CPrompt::Ok);
    }
    return false;
}
