#pragma once

#include "db/database.h"
#include "db/dbexception.h"
#include "db/statement.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

// One ODBC data source: its name, its read-only connection and what has been
// read from its catalog.
class CDBData
{
public:
    CDBData() = default;
    virtual ~CDBData() = default;

    CDBData(const CDBData&) = delete;
    CDBData& operator=(const CDBData&) = delete;

    // Closes any open connection, then opens m_strDSN read-only. False, with
    // nothing shown, when the data source cannot be opened.
    bool Connect();
    bool IsConnected() const;

    // Takes the other side's data source when this one has none yet.
    void CopyDataSource(const CDBData& other);

    // The one statement pattern of every operation: nothing is run while
    // unconnected; the statement is allocated (an allocation failure reaches
    // the caller), the body runs under the error guard, a database error
    // cancels the statement and yields the failure value, and the statement
    // is dropped on every path.
    template <class Result, class Body>
    Result RunStatement(Result failure, Body body);

    // Connection
    QString m_strDSN;
    bool m_bSystemDSN = true;
    std::unique_ptr<CDatabase> m_pDatabase;

    // Catalog state
    QString m_strSchema;
    bool m_bTableListShown = false;
    QString m_strDDTable;
    QString m_strOLTable;
    QStringList m_arrTables;
    QHash<int, bool> m_mapViews;
    QString m_strF98611Catalog;
    QString m_strF98611Owner;
    QString m_strOLCatalog;
    QString m_strOLOwner;
    QString m_strDDCatalog;
    QString m_strDDOwner;
    QHash<QString, int> m_mapAllSchemas;
    QHash<QString, QString> m_mapAllCatalogs;
    QHash<QString, QString> m_mapAllOwners;
    QHash<QString, int> m_mapJdeSchemas;
    QHash<QString, QString> m_mapJdeCatalogs;
    QHash<QString, QString> m_mapJdeOwners;
    QHash<QString, int> m_mapSchemas;
    QHash<QString, QString> m_mapSchemaCatalogs;
    QHash<QString, QString> m_mapSchemaOwners;
    QHash<QString, bool> m_mapSelected;
    QHash<QString, QStringList> m_mapSchemaTables;   // owns the table lists of the selected schemas
};

template <class Result, class Body>
Result CDBData::RunStatement(Result failure, Body body)
{
    if (!IsConnected())
        return failure;
    CStatement statement(*m_pDatabase);
    try {
        return body(statement);
    } catch (...) {
        statement.Cancel();
        return failure;
    }
}
