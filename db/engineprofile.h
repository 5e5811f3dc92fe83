#pragma once

#include <QString>

// What the system knows of one database engine and its ODBC driver: how a
// session is made read-only on the server, and what the driver must be told
// when connecting. An engine without a profile (Oracle, SQL Server, DB2 for
// i) offers no such session statement; its read-only promise rests on the
// login's rights.
struct EngineProfile
{
    const char* pszDbmsName;             // as SQL_DBMS_NAME reports it
    const char* pszDriverLibrary;        // part of the driver's library file name
    const char* pszConnectAttributes;    // added to the connection string for that driver
    const char* pszReadOnlySession;      // run right after connecting
    // A read-only transaction that still lets something persist (PostgreSQL's
    // large objects and set_config, which can turn the session read-write
    // again): the session then runs without autocommit and every operation
    // ends with a rollback.
    bool bRollBackEachOperation;
    // Whether SQLCancel from another thread is safe while the driver runs a
    // catalog call: the SQLite driver frees what its catalog call is still
    // building. Where it is not, a cancel during a catalog call only marks
    // the statement, and its next step fails.
    bool bCatalogCallsCancellable;
    // The driver keeps a catalog call's whole result in client memory, at
    // a cost that matters for a schema's columns (psqlODBC: 2 to 7 KB a
    // column row): a snapshot reads parts of about this many column rows
    // per call, by table-name prefix; 0, the whole schema in one call.
    int nSnapshotPartRows;
    // The driver's catalog patterns match names whatever their letter case
    // (MariaDB and MySQL compare information_schema names with a
    // case-insensitive collation): patterns that differ only in case are
    // one call, not one each.
    bool bCatalogPatternsIgnoreCase;
    int nOpenFailureNative;              // the driver's native code for "cannot open", 0: none
    const char* pszOpenFailure;          // what that code means to the user
};

// The profile of the engine a connection reports, or null.
const EngineProfile* FindProfileByDbmsName(const QString& strDbmsName);
// The profile whose driver library a data source uses, or null.
const EngineProfile* FindProfileByDriverLibrary(const QString& strLibraryPath);
