#include "cli/cliinterrupt.h"

#include "cli/clierror.h"
#include "db/dbdata.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>

#include <semaphore.h>
#include <unistd.h>

namespace {

std::atomic<bool> g_bRequested{false};

// Posted by the handler (sem_post is async-signal-safe), waited for by the watcher.
struct WakeSemaphore
{
    WakeSemaphore() { sem_init(&semaphore, 0, 0); }
    ~WakeSemaphore() { sem_destroy(&semaphore); }
    sem_t semaphore;
};
WakeSemaphore g_wake;

extern "C" void OnSigInt(int)
{
    const int nSavedErrno = errno;
    g_bRequested = true;
    std::signal(SIGINT, SIG_DFL);
    sem_post(&g_wake.semaphore);
    errno = nSavedErrno;
}

}  // namespace

void CCliInterrupt::InstallHandler()
{
    std::signal(SIGINT, OnSigInt);
}

bool CCliInterrupt::IsRequested()
{
    return g_bRequested;
}

CCliInterrupt::CCliInterrupt(std::vector<CDBData*> arrDataSources)
    : m_arrDataSources(std::move(arrDataSources)), m_watcher([this] { Watch(); })
{
}

CCliInterrupt::~CCliInterrupt()
{
    {
        std::lock_guard lock(m_mutex);
        m_bStopping = true;
    }
    sem_post(&g_wake.semaphore);
    m_watcher.join();
}

void CCliInterrupt::Watch()
{
    for (;;) {
        while (sem_wait(&g_wake.semaphore) != 0 && errno == EINTR) {
        }
        std::lock_guard lock(m_mutex);
        if (m_bStopping)
            return;
        if (g_bRequested)
            OnInterrupt();
    }
}

void CCliInterrupt::OnInterrupt()
{
    if (!m_connectingLine.isEmpty()) {
        // The main thread is inside the driver's connect and prints nothing.
        std::fflush(stdout);
        [[maybe_unused]] const ssize_t nWritten =
            write(STDERR_FILENO, m_connectingLine.constData(), size_t(m_connectingLine.size()));
        _exit(CLI_CANCELLED);
    }
    // No connection is being replaced now (that happens only while
    // connecting), so the data sources' connections stay put meanwhile.
    for (CDBData* pData : m_arrDataSources)
        pData->CancelRunningStatement();
}

CCliInterrupt::CConnecting::CConnecting(CCliInterrupt& interrupt, const QString& strDsn) : m_interrupt(interrupt)
{
    const QString strLine = QStringLiteral("cancelled while connecting to data source '%1'").arg(strDsn);
    bool bAlreadyRequested = false;
    {
        std::lock_guard lock(m_interrupt.m_mutex);
        // A Ctrl-C that came before is answered here, not by the watcher.
        bAlreadyRequested = g_bRequested;
        if (!bAlreadyRequested)
            m_interrupt.m_connectingLine = (QStringLiteral("kitvane-cli: ") + strLine + u'\n').toUtf8();
    }
    if (bAlreadyRequested)
        throw CCliError::Cancelled(strLine);
}

CCliInterrupt::CConnecting::~CConnecting()
{
    std::lock_guard lock(m_interrupt.m_mutex);
    m_interrupt.m_connectingLine.clear();
}
