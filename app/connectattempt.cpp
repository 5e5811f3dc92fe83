#include "app/connectattempt.h"

#include <memory>
#include <utility>

CConnectAttempt::CConnectAttempt(const QString& strDSN)
{
    m_source.m_strDSN = strDSN;
    m_thread = std::thread([this] { Run(); });
}

CConnectAttempt::~CConnectAttempt()
{
    if (m_thread.joinable())
        m_thread.join();
}

void CConnectAttempt::Run()
{
    const bool bConnected = m_source.Connect();
    std::unique_ptr<CDatabase> pDiscarded;
    {
        std::lock_guard lock(m_mutex);
        m_bFinished = true;
        m_bConnected = bConnected;
        if (m_bAbandoned)
            pDiscarded = std::move(m_source.m_pDatabase);
    }
    m_changed.notify_all();
    // Closed outside the lock: a disconnect may take a while.
    pDiscarded.reset();
}

void CConnectAttempt::WaitForEnd()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_bFinished || m_bAbandoned; });
}

bool CConnectAttempt::IsFinished() const
{
    std::lock_guard lock(m_mutex);
    return m_bFinished;
}

bool CConnectAttempt::IsAbandoned() const
{
    std::lock_guard lock(m_mutex);
    return m_bAbandoned;
}

bool CConnectAttempt::Succeeded() const
{
    std::lock_guard lock(m_mutex);
    return m_bFinished && m_bConnected;
}

QString CConnectAttempt::GetLastError() const
{
    std::lock_guard lock(m_mutex);
    return m_bFinished ? m_source.GetLastError() : QString();
}

bool CConnectAttempt::HasConnection() const
{
    std::lock_guard lock(m_mutex);
    return m_bFinished && m_source.m_pDatabase != nullptr;
}

bool CConnectAttempt::HandOver(CDBData& target)
{
    std::lock_guard lock(m_mutex);
    if (!m_bFinished || m_bAbandoned || m_source.m_pDatabase == nullptr)
        return false;
    target.TakeConnection(m_source);
    return true;
}

void CConnectAttempt::Abandon()
{
    std::unique_ptr<CDatabase> pDiscarded;
    {
        std::lock_guard lock(m_mutex);
        m_bAbandoned = true;
        if (m_bFinished)
            pDiscarded = std::move(m_source.m_pDatabase);
    }
    m_changed.notify_all();
}
