#include "tools/dlgwait.h"

#include "app/connectattempt.h"
#include "app/formattext.h"
#include "app/language.h"
#include "app/qalmetapp.h"
#include "controls/animatectrl.h"
#include "controls/callonthreadof.h"
#include "controls/windowfunctions.h"
#include "res/dialogtemplates.h"
#include "res/resourceimages.h"
#include "res/stringids.h"
#include "tools/decimalupdate.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QThread>

#include <exception>
#include <system_error>

CDlgWait::CDlgWait(const QString& strText, int nType, bool bCanCancel, QWidget* pParent)
    : CTvrCommonDialog(MapResourceId(TemplateOf(nType)), pParent),
      m_nType(nType),
      m_bCanCancel(bCanCancel),
      m_strFile(strText),
      m_pDB(ToolsDatabase())
{
    m_timer.setInterval(100);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CDlgWait::OnTimer);
}

CDlgWait::CDlgWait(const QString& strFile, bool bByAlias, const QString& strName, bool bMultiply, int nPower,
                   QWidget* pParent)
    : CDlgWait(strFile, WAIT_DECIMAL_UPDATE, true, pParent)
{
    m_bByAlias = bByAlias;
    m_strName = strName;
    m_bMultiply = bMultiply;
    m_nPower = nPower;
}

CDlgWait::CDlgWait(CConnectAttempt& attempt, QWidget* pParent)
    : CDlgWait(QString(), WAIT_DATABASE_INFO, false, pParent)
{
    m_pConnectAttempt = &attempt;
}

CDlgWait::~CDlgWait()
{
    WaitForWorker();
}

int CDlgWait::TemplateOf(int nType)
{
    switch (nType) {
    case WAIT_DECIMAL_UPDATE:
        return DialogId::WaitDecimal;
    case WAIT_STATISTICS:
        return DialogId::WaitStatistics;
    case WAIT_COMPARISON:
        return DialogId::WaitCompare;
    default:
        return DialogId::WaitDatabase;
    }
}

bool CDlgWait::OnInitDialog()
{
    CTvrCommonDialog::OnInitDialog();
    m_pAnimate = dynamic_cast<CAnimateCtrl*>(GetDlgItem(IDC_ANIMATE));
    m_pProgress = dynamic_cast<QProgressBar*>(GetDlgItem(IDC_PROGRESS));
    if (m_nType == WAIT_DATABASE_INFO && m_pAnimate && m_pAnimate->Open(ResourceId::WorkingAnimation))
        m_pAnimate->Play();
    if (m_nType == WAIT_DECIMAL_UPDATE) {
        if (auto* pCount = dynamic_cast<QLabel*>(GetDlgItem(IDC_WAIT_COUNT))) {
            m_strCountFormat = pCount->text();
            pCount->clear();
        }
    }
    if (auto* pTitle = dynamic_cast<QLabel*>(GetDlgItem(IDC_WAIT_TITLE)))
        m_strTitle = pTitle->text();
    ShowConnecting(IsConnecting());
    try {
        m_thread = std::thread([this] { RunWorker(); });
    } catch (const std::system_error&) {
        // Nothing runs; the dialog closes as soon as its loop starts.
        QTimer::singleShot(0, this, [this] { EndDialog(0); });
    }
    return true;
}

void CDlgWait::RunWorker()
{
    // Whatever the work raises ends here, reported as its failure: an
    // exception leaving the thread would end the whole program, and the
    // dialog waits for the end message.
    bool bSuccess = false;
    try {
        bSuccess = RunTask();
    } catch (const CDBException& error) {
        m_prompt.ShowMessage(CDecimalUpdate::FormatDatabaseError(error.m_strError), CPrompt::Ok);
    } catch (const std::exception& error) {
        m_prompt.ShowMessage(FormatLangString(StringId::UnexpectedError, {QString::fromLocal8Bit(error.what())}),
                             CPrompt::Ok);
    } catch (...) {
        m_prompt.ShowMessage(FormatLangString(StringId::UnexpectedError, {QString()}), CPrompt::Ok);
    }
    PostMessage(WM_TASK_DONE, bSuccess ? 1 : 0, 0);
    m_bThreadExited = true;
}

bool CDlgWait::RunTask()
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    if (pApp == nullptr || m_pDB == nullptr)
        return false;
    switch (m_nType) {
    case WAIT_DECIMAL_UPDATE:
        pApp->RunDecimalUpdate(m_strFile, m_bByAlias, m_strName, m_bMultiply, m_nPower, this, m_prompt);
        return true;
    case WAIT_STATISTICS:
        pApp->RunStatistics(m_strFile, this, m_prompt);
        return true;
    default:
        if (m_pConnectAttempt != nullptr) {
            // Returns at once when the user abandons the attempt.
            m_pConnectAttempt->WaitForEnd();
            if (SendMessage(WM_TASK_CONNECTED, 0, 0) == 0)
                return false;
        }
        m_pDB->LoadDatabaseInfo(this);
        return true;
    }
}

bool CDlgWait::TakeConnection()
{
    // On the interface thread, like the cancel: the user abandons the
    // attempt either before the connection is taken or not at all.
    if (!IsConnecting() || m_bCancel || m_pDB == nullptr || !m_pConnectAttempt->HandOver(*m_pDB))
        return false;
    m_bConnectionTaken = true;
    ShowConnecting(false);
    return true;
}

void CDlgWait::ShowConnecting(bool bConnecting)
{
    if (m_pConnectAttempt == nullptr)
        return;
    if (auto* pTitle = dynamic_cast<QLabel*>(GetDlgItem(IDC_WAIT_TITLE))) {
        pTitle->setText(bConnecting && m_pDB != nullptr
                            ? FormatLangString(StringId::ConnectingTo, {m_pDB->m_strDSN})
                            : m_strTitle);
    }
    if (QWidget* pCancel = GetDlgItem(IDCANCEL)) {
        if (!bConnecting)
            EnableControl(pCancel, false);
        pCancel->setVisible(bConnecting);
    }
}

qintptr CDlgWait::SendMessage(unsigned nMessage, qintptr wParam, qintptr lParam)
{
    if (QThread::currentThread() == thread())
        return HandleMessage(nMessage, wParam, lParam);
    qintptr nResult = 0;
    CallOnThreadOf(this, [&] { nResult = HandleMessage(nMessage, wParam, lParam); });
    return nResult;
}

void CDlgWait::PostMessage(unsigned nMessage, qintptr wParam, qintptr lParam)
{
    QMetaObject::invokeMethod(
        this, [=, this] { HandleMessage(nMessage, wParam, lParam); }, Qt::QueuedConnection);
}

qintptr CDlgWait::HandleMessage(unsigned nMessage, qintptr wParam, qintptr lParam)
{
    switch (nMessage) {
    case WM_TASK_DONE:
        m_bSuccess = wParam == 1;
        m_timer.start();
        return 0;
    case WM_TASK_QUERYCANCEL:
        return m_bCanCancel && m_bCancel ? 1 : 0;
    case WM_TASK_CONNECTED:
        return TakeConnection() ? 1 : 0;
    case WM_TASK_SETRANGE:
        if (m_pProgress) {
            if (lParam > 0) {
                m_pProgress->setRange(0, int(lParam));
                m_pProgress->setValue(0);
            }
            m_pProgress->show();
            m_pProgress->repaint();
        }
        return 0;
    case WM_TASK_STEP:
        if (m_pProgress && m_pProgress->value() < m_pProgress->maximum())
            m_pProgress->setValue(m_pProgress->value() + 1);
        if (lParam >= 0) {
            if (auto* pCount = dynamic_cast<QLabel*>(GetDlgItem(IDC_WAIT_COUNT)))
                pCount->setText(FormatText(m_strCountFormat, {QString::number(wParam), QString::number(lParam)}));
        }
        return 0;
    case WM_TASK_SETITEM:
        if (auto* pItem = dynamic_cast<QLabel*>(GetDlgItem(IDC_WAIT_ITEM)); pItem && lParam != 0)
            pItem->setText(*reinterpret_cast<const QString*>(lParam));
        return 0;
    default:
        return 0;
    }
}

void CDlgWait::OnTimer()
{
    // The worker has posted its end; wait for its thread to have returned.
    if (!m_bThreadExited)
        return;
    m_timer.stop();
    if (m_thread.joinable())
        m_thread.join();
    if (m_pAnimate)
        m_pAnimate->Stop();
    EndDialog(m_bSuccess ? 1 : 2);
}

void CDlgWait::OnOK()
{
    // Enter never closes the dialog.
}

void CDlgWait::OnCancel()
{
    if (IsConnecting()) {
        // The worker stops waiting at once; the attempt ends on its own.
        m_bCancel = true;
        m_pConnectAttempt->Abandon();
        return;
    }
    if (!m_bCanCancel) {
        MessageBeep();
        return;
    }
    m_bCancel = true;
    // The worker sees the request between statements; the one running now
    // is stopped so that it does not hold the request back.
    if (m_pDB != nullptr)
        m_pDB->CancelRunningStatement();
}

void CDlgWait::OnClose()
{
    // A close request is a cancel request only; the poll keeps running, so
    // a close that comes after the worker's end still lets the dialog end.
    OnCancel();
}

void CDlgWait::WaitForWorker()
{
    if (!m_thread.joinable())
        return;
    // The worker may be waiting for a message to be handled here.
    while (!m_bThreadExited)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    m_thread.join();
}
