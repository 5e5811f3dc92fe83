#pragma once

#include <atomic>
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

    // Marks a statement as inside a driver call that a cancel may interrupt.
    // The driver manager is only safe against SQLCancel from another thread
    // while the statement executes: a cancel racing with reading the
    // diagnostics or freeing the handle corrupts its error list, and one
    // racing with a fetch closes the result the fetch is reading.
    void SetInDriver(CStatement& statement, bool bInDriver);

    // Whether a cancel may reach the driver during a catalog call (see
    // EngineProfile); set once connected, before any statement runs.
    void SetCatalogCallsCancellable(bool bCancellable) { m_bCatalogCallsCancellable = bCancellable; }
    bool CatalogCallsCancellable() const { return m_bCatalogCallsCancellable; }

private:
    std::atomic<bool> m_bCatalogCallsCancellable{true};
    std::mutex m_mutex;
    std::vector<CStatement*> m_arrStatements;
};
