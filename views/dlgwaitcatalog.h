#pragma once

#include "tools/dlgwait.h"

#include <QList>
#include <QPair>
#include <QStringList>

#include <atomic>

class CConnectAttempt;
class CDBData;

// The wait dialog of one side of the comparison window. Its worker connects
// the side (when given a connection attempt), reads the side's schemas and
// loads the table list of the schema to show; the widgets are filled from
// its results on the interface thread once it has ended. Until then the
// side's data source object belongs to the worker.
class CDlgWaitCatalog : public CDlgWait
{
    Q_OBJECT

public:
    // What went wrong, for the message that tells it.
    enum Failure : int
    {
        FAILED_NONE,
        FAILED_CONNECTION,   // not connected: the attempt failed or was given up
        FAILED_SCHEMAS,      // the schema list could not be read
        FAILED_TABLES,       // the table list could not be read
    };

    // Connects the side through the attempt, reads its schemas and, when
    // there is exactly one, loads its tables (the schema left unnamed).
    CDlgWaitCatalog(CConnectAttempt& attempt, CDBData& database, QWidget* pParent);
    // Loads the tables of the side's current schema.
    CDlgWaitCatalog(CDBData& database, QWidget* pParent);
    // Stops the work and waits for the worker.
    ~CDlgWaitCatalog() override;

    // The window goes: the attempt is given up, the statement that runs is
    // cancelled and the worker stops before its next step.
    void Stop();
    // True when the work starts with the connection.
    bool ConnectsFirst() const { return m_bConnecting; }

    // Results, read once the dialog has ended.
    int m_nFailure = FAILED_NONE;
    QString m_strError;                       // the driver's text of the failure
    bool m_bSchemasRead = false;
    QStringList m_arrSchemaKeys;
    QList<QPair<QString, int>> m_arrSchemaItems;   // text, index into the keys; the catalog's order
    bool m_bTablesLoaded = false;
    QList<int> m_arrTableItems;               // indexes into the side's table list

protected:
    bool RunTask() override;

private:
    bool ReadSchemas();
    bool LoadTables();
    void Fail(int nFailure, const QString& strError);

    bool m_bConnecting;
    std::atomic<bool> m_bStop{false};
};
