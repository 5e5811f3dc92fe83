#pragma once

#include "app/messagetarget.h"
#include "controls/guiprompt.h"
#include "controls/tvrcommondialog.h"

#include <QTimer>

#include <atomic>
#include <thread>

class CAnimateCtrl;
class QProgressBar;

// Kinds of work of the wait dialog.
enum : int
{
    WAIT_DATABASE_INFO = 0,
    WAIT_DECIMAL_UPDATE = 1,
    WAIT_STATISTICS = 2,
};

// The small modal dialog behind which a worker thread runs the database
// information load or one of the two tools. The worker reaches the dialog
// only through the message target: every SendMessage runs on the interface
// thread while the worker waits; the dialog ends once the worker has
// finished and its thread has exited.
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

    bool IsPolling() const { return m_timer.isActive(); }
    bool IsWorkerRunning() const { return m_thread.joinable() && !m_bThreadExited; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnClose() override;

    // The work, on the worker thread.
    virtual void RunTask();

private:
    static int TemplateOf(int nType);
    qintptr HandleMessage(unsigned nMessage, qintptr wParam, qintptr lParam);
    void OnTimer();
    void WaitForWorker();

    CAnimateCtrl* m_pAnimate = nullptr;
    QProgressBar* m_pProgress = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_bThreadExited{false};
    QTimer m_timer;
    CGuiPrompt m_prompt;
};
