#include "views/dlgwaitcatalog.h"

#include "app/connectattempt.h"
#include "db/catalogtargets.h"
#include "db/dbdata.h"
#include "db/dbexception.h"

#include <QCoreApplication>

namespace {

// The catalog reader's targets on the worker thread: plain containers,
// since no widget may be touched there.
class SchemaCollector : public ISchemaCombo
{
public:
    explicit SchemaCollector(QList<QPair<QString, int>>& items) : m_items(items) {}
    void ResetContent() override { m_items.clear(); }
    void AddItem(const QString& strText, int nData) override { m_items.append({strText, nData}); }

private:
    QList<QPair<QString, int>>& m_items;
};

class TableCollector : public ITableList
{
public:
    explicit TableCollector(QList<int>& items) : m_items(items) {}
    void DeleteAllItems() override { m_items.clear(); }
    void AppendItem(int nIndex) override { m_items.append(nIndex); }

private:
    QList<int>& m_items;
};

}  // namespace

CDlgWaitCatalog::CDlgWaitCatalog(CConnectAttempt& attempt, CDBData& database, QWidget* pParent)
    : CDlgWait(attempt, pParent),
      m_bConnecting(true)
{
    m_pDB = &database;
}

CDlgWaitCatalog::CDlgWaitCatalog(CDBData& database, QWidget* pParent)
    : CDlgWait(QString(), WAIT_DATABASE_INFO, false, pParent),
      m_bConnecting(false)
{
    m_pDB = &database;
}

CDlgWaitCatalog::~CDlgWaitCatalog()
{
    if (IsWorkerRunning())
        Stop();
    // The worker writes into this object's results: it must be gone before
    // they are. It may still be waiting for a message to be handled here.
    while (IsWorkerRunning())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
}

void CDlgWaitCatalog::Stop()
{
    m_bStop = true;
    if (m_pConnectAttempt != nullptr)
        m_pConnectAttempt->Abandon();
    if (m_pDB != nullptr)
        m_pDB->CancelRunningStatement();
}

bool CDlgWaitCatalog::RunTask()
{
    if (m_pDB == nullptr)
        return false;
    if (m_pConnectAttempt != nullptr) {
        // Returns at once when the attempt is given up.
        m_pConnectAttempt->WaitForEnd();
        if (m_bStop || SendMessage(WM_TASK_CONNECTED, 0, 0) == 0) {
            Fail(FAILED_CONNECTION, QString());
            return false;
        }
        if (!ReadSchemas())
            return false;
        // A single schema is listed at once, and stays unnamed.
        m_pDB->m_strSchema.clear();
        if (m_arrSchemaItems.size() != 1)
            return true;
    }
    return LoadTables();
}

bool CDlgWaitCatalog::ReadSchemas()
{
    SchemaCollector collector(m_arrSchemaItems);
    try {
        m_pDB->FillSchemaCombo(m_arrSchemaKeys, collector);
    } catch (const CDBException& error) {
        Fail(FAILED_SCHEMAS, error.m_strError);
        return false;
    }
    // The reader says nothing of a failure but its text: no schema is not
    // the same as a schema list that could not be read.
    if (!m_pDB->GetLastError().isEmpty() || m_bStop) {
        Fail(FAILED_SCHEMAS, m_pDB->GetLastError());
        return false;
    }
    m_bSchemasRead = true;
    return true;
}

bool CDlgWaitCatalog::LoadTables()
{
    if (m_bStop) {
        Fail(FAILED_TABLES, QString());
        return false;
    }
    TableCollector collector(m_arrTableItems);
    bool bLoaded = false;
    QString strError;
    try {
        bLoaded = m_pDB->LoadTableList(collector);
        strError = m_pDB->GetLastError();
    } catch (const CDBException& error) {
        strError = error.m_strError;
    }
    if (!bLoaded) {
        // A list that was not read has no dictionary either: the launcher
        // must not offer the dictionary comparison on a stale name.
        m_pDB->m_strDDTable.clear();
        m_arrTableItems.clear();
        Fail(FAILED_TABLES, strError);
        return false;
    }
    m_bTablesLoaded = true;
    return true;
}

void CDlgWaitCatalog::Fail(int nFailure, const QString& strError)
{
    m_nFailure = nFailure;
    m_strError = strError;
}
