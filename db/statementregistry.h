#pragma once

#include <mutex>
#include <vector>

class CStatement;

// The statements of one data source that exist right now, so that another
// thread (the interface, a signal watcher) can stop the one running: a
// statement registers when it is allocated and leaves before its handle is
// freed, so a cancel never reaches a freed handle.
class CStatementRegistry
{
public:
    CStatementRegistry() = default;
    CStatementRegistry(const CStatementRegistry&) = delete;
    CStatementRegistry& operator=(const CStatementRegistry&) = delete;

    void Register(CStatement& statement);
    void Unregister(CStatement& statement);

    // Cancels every registered statement; statements allocated afterwards
    // are not affected.
    void CancelAll();

private:
    std::mutex m_mutex;
    std::vector<CStatement*> m_arrStatements;
};
