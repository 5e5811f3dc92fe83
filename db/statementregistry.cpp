#include "db/statementregistry.h"

#include "db/statement.h"

#include <algorithm>

void CStatementRegistry::Register(CStatement& statement)
{
    std::lock_guard lock(m_mutex);
    m_arrStatements.push_back(&statement);
}

void CStatementRegistry::Unregister(CStatement& statement)
{
    std::lock_guard lock(m_mutex);
    std::erase(m_arrStatements, &statement);
}

void CStatementRegistry::CancelAll()
{
    // Under the lock: a statement that leaves waits until its cancel is sent.
    std::lock_guard lock(m_mutex);
    for (CStatement* pStatement : m_arrStatements)
        pStatement->RequestCancel();
}

void CStatementRegistry::SetInDriver(CStatement& statement, bool bInDriver)
{
    std::lock_guard lock(m_mutex);
    statement.m_bInDriver = bInDriver;
}
