#pragma once

#include "app/messagetarget.h"
#include "controls/guiprompt.h"
#include "controls/tvrcommondialog.h"

#include <QTimer>

#include <atomic>
#include <thread>

class CAnimateCtrl;
class CConnectAttempt;
class CDBData;
class QProgressBar;

// Kinds of work of the wait dialog.
enum : int
{
    WAIT_DATABASE_INFO = 0,
    WAIT_DECIMAL_UPDATE = 1,
    WAIT_STATISTICS = 2,
    WAIT_COMPARISON = 3,   // the comparison window's run; its work is the subclass's
};

// The wait dialog's own message: its worker asks the interface thread to
// take the connection of the attempt; the result is 1 when it was taken.
enum : unsigned
{
    WM_TASK_CONNECTED = WM_USER_BASE + 120,
};

// The small modal dialog behind which a worker thread runs the database
// information load or one of the two tools, all on the tools database. The
// worker reaches the dialog only through the message target: every
// SendMessage runs on the interface thread while the worker waits; the
// dialog ends once the worker has finished and its thread has exited. An
// error that escapes the work is shown as the failure of the work, and the
// dialog then ends with IDCANCEL.
class CDlgWait : public CTvrCommonDialog, public CMessageTarget
{
    Q_OBJECT

public:
    // Database information (type 0) or statistics (type 2, strText the
    // result file); any other type shows the database information dialog.
    CDlgWait(const QString& strText, int nType, bool bCanCancel, QWidget* pParent);
    // Decimal update (type 1).
    CDlgWait(const QString& strFile, bool bByAlias, const QString& strName, bool bMultiply, int nPower,
             QWidget* pParent);
    // A connection attempt, then the database information (type 0). Until
    // the worker has taken the attempt's connection into the tools
    // database, Cancel abandons the attempt and the dialog ends at once
    // with IDCANCEL, the tools database left unconnected.
    CDlgWait(CConnectAttempt& attempt, QWidget* pParent);
    ~CDlgWait() override;

    qintptr SendMessage(unsigned nMessage, qintptr wParam, qintptr lParam) override;
    void PostMessage(unsigned nMessage, qintptr wParam, qintptr lParam) override;

    int m_nType;
    bool m_bCanCancel;
    QString m_strFile;
    bool m_bByAlias = true;
    QString m_strName;
    bool m_bMultiply = true;
    int m_nPower = 0;
    QString m_strCountFormat;
    bool m_bCancel = false;
    bool m_bSuccess = false;

    // The data source of the work; a cancel also stops the statement that
    // runs on it.
    CDBData* m_pDB;
    CConnectAttempt* m_pConnectAttempt = nullptr;

    bool IsPolling() const { return m_timer.isActive(); }
    bool IsWorkerRunning() const { return m_thread.joinable() && !m_bThreadExited; }
    // Waiting for a connection attempt that can still be abandoned.
    bool IsConnecting() const { return m_pConnectAttempt != nullptr && !m_bConnectionTaken; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnClose() override;

    // The work, on the worker thread: false when it failed or was abandoned.
    virtual bool RunTask();

private:
    static int TemplateOf(int nType);
    void RunWorker();
    qintptr HandleMessage(unsigned nMessage, qintptr wParam, qintptr lParam);
    bool TakeConnection();
    void ShowConnecting(bool bConnecting);
    void OnTimer();
    void WaitForWorker();

    CAnimateCtrl* m_pAnimate = nullptr;
    QProgressBar* m_pProgress = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_bThreadExited{false};
    QTimer m_timer;
    CGuiPrompt m_prompt;
    bool m_bConnectionTaken = false;
    QString m_strTitle;
};
