#pragma once

#include "db/columninfo.h"
#include "db/columnsnapshot.h"
#include "db/database.h"
#include "db/dbexception.h"
#include "db/indexinfo.h"
#include "db/sqltext.h"
#include "db/statement.h"
#include "db/statementregistry.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class CCatalogRow;
class CMessageTarget;
class IDictionaryConsumer;
class ISchemaCombo;
class ITableList;

// One ODBC data source: its name, its read-only connection and what has been
// read from its catalog.
class CDBData
{
public:
    CDBData() = default;
    virtual ~CDBData() = default;

    CDBData(const CDBData&) = delete;
    CDBData& operator=(const CDBData&) = delete;

    // Connection

    // Closes any open connection, then opens m_strDSN read-only, on the
    // server too where the engine allows it. False, with nothing shown, when
    // the data source cannot be opened, when its name cannot be carried in a
    // connection string, or when the server refuses the read-only session.
    bool Connect();
    bool IsConnected() const;

    // The engine's name as the driver reports it (SQL_DBMS_NAME); empty
    // while unconnected.
    const QString& GetDbmsName() const { return m_strDbmsName; }
    // True when the connection was made read-only on the server (the
    // engine's session statement ran); false for an engine that has none,
    // whose read-only promise rests on the login's rights.
    bool IsReadOnlyOnServer() const { return m_bReadOnlyOnServer; }

    // The driver's text of the last failed Connect or statement (one line per
    // diagnostic record, then the SQLSTATEs); empty after a success. The
    // operations still fail silently: callers that report show this text.
    const QString& GetLastError() const { return m_strLastError; }
    // Whether that failure is a cancel's (CancelRunningStatement): the
    // statement was stopped, not refused.
    bool LastFailureCancelled() const { return m_bLastFailureCancelled && !m_strLastError.isEmpty(); }

    // Asks the driver to stop the statements of this data source that exist
    // now; safe from another thread (the interface or a signal watcher), so
    // a cancel takes effect inside a slow statement. The operation running
    // then fails (its failure value, GetLastError() set); a statement
    // started after the cancel runs normally, so a cancel that arrives
    // between two statements is up to the caller's cancel flag.
    void CancelRunningStatement();

    // Moves the other object's open connection here, with everything read
    // about it when it was opened (names, engine, read-only session); this
    // object's old connection is closed. The other object is left unconnected.
    void TakeConnection(CDBData& source);

    // Takes the other side's data source when this one has none yet.
    void CopyDataSource(const CDBData& other);

    // The one statement pattern of every operation: nothing is run while
    // unconnected; the statement is allocated (an allocation failure reaches
    // the caller), the body runs under the error guard, a database error
    // cancels the statement and yields the failure value, and the statement
    // is dropped on every path. On a connection that keeps its transactions
    // open, the outermost operation then rolls its transaction back.
    template <class Result, class Body>
    Result RunStatement(Result failure, Body body);

    // Catalog reader

    // catalog.owner.table with empty parts left out; each name stays
    // unquoted only where the engine reads it exactly so, else it is quoted
    // with the driver's quote character (see IdentifierRule).
    QString QualifyName(const QString& strCatalog, const QString& strOwner,
                        const QString& strTable) const;
    QString QualifyInSchema(const QString& strTable) const;
    // One name (a column) by the same rule.
    QString QuoteName(const QString& strName) const;
    // A value as a literal for the engine, for text that cannot carry a
    // bound parameter.
    QString SqlLiteral(const QString& strValue) const;

    void FillSchemaCombo(QStringList& arrKeys, ISchemaCombo& combo);
    bool LoadTableList(ITableList& list);
    void FindDataDictionaryTable();
    QString GetTableName(int nIndex) const;
    bool IsView(int nIndex) const;
    bool TableMatchesSearch(int nIndex, const QString& strSearch) const;
    // The columns of a table of the schema shown.
    bool LoadColumns(const QString& strTable, CColumnInfoArray& arrColumns);
    // Every column lookup comes here: the columns of one table, in catalog
    // order, under its catalog spelling; onColumn returns false to stop.
    // During a snapshot run they come from the schema's snapshot, else from
    // a catalog call about the table. False when the catalog could not be
    // read (GetLastError tells why); a fetch error raises.
    bool ReadColumns(const QString& strCatalog, const QString& strOwner, const QString& strTable,
                     const std::function<bool(const CColumnInfo&)>& onColumn);

    // The same for a lookup that wants only the columns some column name
    // patterns match (unescaped: '_' and '%' are wildcards), in catalog
    // order: during a run the schema's snapshot then holds those columns
    // alone, read with one catalog call per pattern. onColumn may still be
    // given other columns (a table read on its own gives them all), and
    // sees every column a pattern matches.
    bool ReadColumnsLike(const QString& strCatalog, const QString& strOwner, const QString& strTable,
                         const QStringList& arrColumnPatterns,
                         const std::function<bool(const CColumnInfo&)>& onColumn);

    // One run over many tables (a comparison, a tool run). While one exists,
    // each schema's columns are read whole the first time a table of it is
    // looked up (one catalog call) and served from memory after; the
    // snapshots go with the last scope. A schema whose whole reading the
    // driver refuses, or answers in a way that cannot be trusted, is read
    // table by table for the rest of the run.
    class CColumnSnapshotScope
    {
    public:
        explicit CColumnSnapshotScope(CDBData& data);
        ~CColumnSnapshotScope();
        CColumnSnapshotScope(const CColumnSnapshotScope&) = delete;
        CColumnSnapshotScope& operator=(const CColumnSnapshotScope&) = delete;

    private:
        CDBData& m_data;
    };
    // Off: every lookup asks about its own table, even in a run (the
    // reading a snapshot stands in for).
    bool m_bColumnSnapshots = true;
    // About the most column rows one catalog call of a snapshot reads: 0,
    // the whole schema at once; -1, what the engine's profile says.
    int m_nSnapshotPartRows = -1;
    bool LoadIndexes(const QString& strTable, CIndexInfoArray& arrIndexes);
    // False when the driver could not list them (GetLastError tells why);
    // a cancel is no failure.
    bool ListTables(const QString& strCatalog, const QString& strOwner, QStringList& arrTables,
                    CMessageTarget* pProgress, bool& bCancel);

    // JDE environment and schema list

    void LoadDatabaseInfo(CMessageTarget* pProgress);
    void ScanCatalog();
    void LoadJdeOwners();
    void BuildSchemaList();
    int CountTables(const QString& strCatalog, const QString& strOwner);
    int CountSchemaTables(const QString& strKey);

    void GetSchemaKeys(QStringList& arrKeys) const;
    QString GetSchemaDisplayName(const QString& strKey) const;
    bool IsSchemaSelected(const QString& strKey) const;
    void ToggleSchemaSelected(const QString& strKey);
    bool HasSelectedSchema() const;
    int CountSelectedTables() const;
    // Lists the tables of every selected schema; false, at the first schema
    // that could not be listed, with GetLastError telling why.
    bool LoadSchemaTables(CMessageTarget* pProgress, bool& bCancel);
    void FreeSchemaTables();

    // Data dictionary

    // Phases 1 and 2 read the aliases, 3 and 4 the attributes of each alias
    // (left and right database); widths: alias, then DTAT, OWTP, CDEC.
    bool ReadDataDictionary(int nPhase, const QList<int>& arrWidths, QStringList* pAliasList,
                            IDictionaryConsumer& consumer, CMessageTarget* pDlg, bool& bCancel);
    int GetAliasSize(const QString& strItem);
    // Whether the dictionary has the FROWTP column; empty when its columns
    // could not be read (GetLastError tells why), which is no "no".
    std::optional<bool> HasOwtpColumn();

    // Connection
    QString m_strDSN;
    bool m_bSystemDSN = true;
    std::unique_ptr<CDatabase> m_pDatabase;

    // What the driver says about names and values, read when connecting.
    QString m_strIdentifierQuote = QStringLiteral("\"");
    QString m_strSearchEscape;
    IdentifierRule m_identifierRule;
    bool m_bBackslashEscapes = false;

    // Catalog state
    QString m_strSchema;
    bool m_bTableListShown = false;
    QString m_strDDTable;
    QString m_strOLTable;
    QStringList m_arrTables;
    QHash<int, bool> m_mapViews;
    QString m_strF98611Catalog;
    QString m_strF98611Owner;
    QString m_strF98611Table;   // spelled as the catalog spells it
    QString m_strOLCatalog;
    QString m_strOLOwner;
    QString m_strDDCatalog;
    QString m_strDDOwner;
    // Ordered maps: the tools visit the selected schemas in key order, the
    // same from one run to the next.
    QMap<QString, int> m_mapAllSchemas;
    QMap<QString, QString> m_mapAllCatalogs;
    QMap<QString, QString> m_mapAllOwners;
    QMap<QString, int> m_mapJdeSchemas;
    QMap<QString, QString> m_mapJdeCatalogs;
    QMap<QString, QString> m_mapJdeOwners;
    QMap<QString, int> m_mapSchemas;
    QMap<QString, QString> m_mapSchemaCatalogs;
    QMap<QString, QString> m_mapSchemaOwners;
    QMap<QString, bool> m_mapSelected;
    QMap<QString, QStringList> m_mapSchemaTables;   // owns the table lists of the selected schemas

    // A name as a catalog search pattern, its pattern characters escaped.
    QString SearchPattern(const QString& strName) const;

private:
    void NoteError(const CDBException& error);
    bool MakeSessionReadOnly();
    // Reads how the engine treats names and literals (identifier case,
    // reserved words, backslashes in literals), once the quote character
    // is known.
    void ReadNameRules();

    // One operation of RunStatement; the outermost ends the transaction.
    class COperationScope
    {
    public:
        explicit COperationScope(CDBData& data) : m_data(data) { ++m_data.m_nOperationDepth; }
        ~COperationScope();
        COperationScope(const COperationScope&) = delete;
        COperationScope& operator=(const COperationScope&) = delete;

    private:
        CDBData& m_data;
    };
    // Undoes the transaction of the operation that ended; a connection that
    // cannot is closed, since what its operations did could then persist.
    void EndOperation();

    int m_nOperationDepth = 0;
    int m_nSnapshotScopes = 0;
    // Per schema key; null for a schema read table by table.
    std::map<QString, std::unique_ptr<CColumnSnapshot>> m_columnSnapshots;
    // The schema's snapshot, read on its first lookup of the run; null
    // outside a run or when the schema is read table by table.
    // A reading stopped by a cancel is not kept: bCancelled is set, the
    // lookup fails with the cancel's text and the next one reads again.
    const CColumnSnapshot* SchemaSnapshot(const QString& strCatalog, const QString& strOwner,
                                          const QStringList& arrColumnPatterns, bool& bCancelled);
    int SnapshotPartRows() const;
    QString m_strLastError;
    bool m_bLastFailureCancelled = false;
    QString m_strDbmsName;
    bool m_bReadOnlyOnServer = false;
    CStatementRegistry m_runningStatements;

    // Records where a JDE system table lives, the first time it is seen.
    void NoteSystemTable(const QString& strCatalog, const QString& strOwner, const QString& strTable,
                         bool bWithF98611);
    int CountRows(const QString& strTable);
    // Every table the catalog lists (of the types given; a null list: all),
    // with the key of its schema. False when the catalog call fails.
    bool ScanAllTables(const QString& strTypes,
                       const std::function<void(const CCatalogRow& row, const QString& strKey)>& onTable);
};

template <class Result, class Body>
Result CDBData::RunStatement(Result failure, Body body)
{
    m_bLastFailureCancelled = false;
    if (!IsConnected()) {
        m_strLastError = QStringLiteral("the data source is not connected");
        return failure;
    }
    const COperationScope operation(*this);   // outlives the statement
    CStatement statement(*m_pDatabase, &m_runningStatements);
    try {
        Result result = body(statement);
        // A catalog call that failed does not raise: its text is kept too.
        m_strLastError = statement.GetFailureText();
        m_bLastFailureCancelled = !m_strLastError.isEmpty() && statement.WasCancelled();
        return result;
    } catch (const CDBException& error) {
        statement.Cancel();
        NoteError(error);
        m_bLastFailureCancelled = statement.WasCancelled() || error.HasState(QStringLiteral("HY008"));
        return failure;
    } catch (...) {
        statement.Cancel();
        m_strLastError = QStringLiteral("unexpected error while reading the database");
        return failure;
    }
}
