#include "tests/support/testdatabase.h"

#include "db/odbc.h"

#include <QFile>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <atomic>
#include <stdexcept>

namespace kvtest {

namespace {

constexpr const char* kTestRole = "kitvane";
constexpr const char* kTestPassword = "kitvane";
// Created by scripts/test-servers (its name starts with kReadOnlyLoginPrefix);
// each test database grants it SELECT.
constexpr const char* kPostgresReadOnlyRole = "kvro_reader";

QString Diagnostics(SQLSMALLINT nType, SQLHANDLE handle)
{
    QString strText;
    for (SQLSMALLINT nRecord = 1;; ++nRecord) {
        SQLWCHAR szState[6] = {};
        SQLINTEGER nNative = 0;
        SQLWCHAR szMessage[1024] = {};
        SQLSMALLINT nLength = 0;
        if (!SqlSucceeded(SQLGetDiagRecW(nType, handle, nRecord, szState, &nNative, szMessage,
                                         1023, &nLength)))
            break;
        strText += FromSqlWChar(szState, 5) + QLatin1Char(' ') + FromSqlWChar(szMessage, 1023)
                   + QLatin1Char('\n');
    }
    return strText;
}

[[noreturn]] void Fail(const QString& strWhat, SQLSMALLINT nType, SQLHANDLE handle)
{
    throw std::runtime_error((strWhat + QStringLiteral(": ") + Diagnostics(nType, handle)).toStdString());
}

QString DriverOf(Engine engine)
{
    switch (engine) {
    case Engine::SQLite: return QStringLiteral("SQLite3");
    case Engine::PostgreSQL: return QStringLiteral("PostgreSQL Unicode");
    case Engine::MariaDB: return QStringLiteral("MariaDB Unicode");
    }
    return QString();
}

// Data-source attributes of a database on the engine's server.
QMap<QString, QString> ServerAttributes(Engine engine, const QString& strDatabase,
                                        const QString& strUser = QLatin1String(kTestRole))
{
    const ServerAddress server = ServerOf(engine);
    if (engine == Engine::PostgreSQL) {
        return {{QStringLiteral("Servername"), server.strHost},
                {QStringLiteral("Port"), QString::number(server.nPort)},
                {QStringLiteral("Database"), strDatabase},
                {QStringLiteral("Username"), strUser}};
    }
    return {{QStringLiteral("Server"), server.strHost},
            {QStringLiteral("Port"), QString::number(server.nPort)},
            {QStringLiteral("Database"), strDatabase},
            {QStringLiteral("User"), strUser},
            {QStringLiteral("Password"), QLatin1String(kTestPassword)}};
}

QString ConnectStringOf(const QString& strDriver, const QMap<QString, QString>& attributes)
{
    QString strConnect = QStringLiteral("Driver={") + strDriver + QStringLiteral("};");
    for (auto it = attributes.cbegin(); it != attributes.cend(); ++it)
        strConnect += it.key() + QLatin1Char('=') + it.value() + QLatin1Char(';');
    return strConnect;
}

std::atomic<int> g_nDatabases{0};

}  // namespace

RawConnection::RawConnection(const QString& strConnect)
{
    OdbcEnvironment::Instance();
    SQLHENV henv = SQL_NULL_HENV;
    if (!SqlSucceeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &henv)))
        throw std::runtime_error("cannot allocate an ODBC environment");
    m_henv = henv;
    SQLSetEnvAttr(henv, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLHDBC hdbc = SQL_NULL_HDBC;
    if (!SqlSucceeded(SQLAllocHandle(SQL_HANDLE_DBC, henv, &hdbc)))
        throw std::runtime_error("cannot allocate an ODBC connection");
    m_hdbc = hdbc;
    const SQLRETURN nRet = SQLDriverConnectW(hdbc, nullptr, ToSqlWChar(strConnect), SQL_NTS, nullptr,
                                             0, nullptr, SQL_DRIVER_NOPROMPT);
    if (!SqlSucceeded(nRet)) {
        const QString strError = Diagnostics(SQL_HANDLE_DBC, hdbc);
        SQLFreeHandle(SQL_HANDLE_DBC, hdbc);
        SQLFreeHandle(SQL_HANDLE_ENV, henv);
        m_hdbc = m_henv = nullptr;
        throw std::runtime_error(("cannot connect with " + strConnect + ": " + strError).toStdString());
    }
}

RawConnection::~RawConnection()
{
    if (m_hdbc != nullptr) {
        SQLDisconnect(m_hdbc);
        SQLFreeHandle(SQL_HANDLE_DBC, m_hdbc);
    }
    if (m_henv != nullptr)
        SQLFreeHandle(SQL_HANDLE_ENV, m_henv);
}

void RawConnection::Exec(const QString& strSql)
{
    Query(strSql);
}

QList<QStringList> RawConnection::Query(const QString& strSql)
{
    SQLHSTMT hstmt = SQL_NULL_HSTMT;
    if (!SqlSucceeded(SQLAllocHandle(SQL_HANDLE_STMT, m_hdbc, &hstmt)))
        Fail(QStringLiteral("cannot allocate a statement"), SQL_HANDLE_DBC, m_hdbc);
    struct Drop
    {
        SQLHSTMT h;
        ~Drop() { SQLFreeHandle(SQL_HANDLE_STMT, h); }
    } drop{hstmt};

    const SQLRETURN nRet = SQLExecDirectW(hstmt, ToSqlWChar(strSql), SQL_NTS);
    if (nRet == SQL_NO_DATA)
        return {};
    if (!SqlSucceeded(nRet))
        Fail(QStringLiteral("failed: ") + strSql, SQL_HANDLE_STMT, hstmt);

    SQLSMALLINT nColumns = 0;
    SQLNumResultCols(hstmt, &nColumns);
    QList<QStringList> rows;
    if (nColumns == 0)
        return rows;
    for (;;) {
        const SQLRETURN nFetch = SQLFetch(hstmt);
        if (nFetch == SQL_NO_DATA)
            break;
        if (!SqlSucceeded(nFetch))
            Fail(QStringLiteral("fetch failed: ") + strSql, SQL_HANDLE_STMT, hstmt);
        QStringList row;
        for (SQLUSMALLINT nColumn = 1; nColumn <= nColumns; ++nColumn) {
            SQLWCHAR szValue[4096] = {};
            SQLLEN nIndicator = 0;
            SQLGetData(hstmt, nColumn, SQL_C_WCHAR, szValue, sizeof(szValue), &nIndicator);
            row.append(nIndicator == SQL_NULL_DATA ? QString() : FromSqlWChar(szValue, 4095));
        }
        rows.append(row);
    }
    return rows;
}

QString RawConnection::Scalar(const QString& strSql)
{
    const QList<QStringList> rows = Query(strSql);
    return rows.isEmpty() || rows.first().isEmpty() ? QString() : rows.first().first();
}

QString AdminConnectString(Engine engine)
{
    return ConnectStringOf(DriverOf(engine),
                           ServerAttributes(engine, engine == Engine::PostgreSQL ? QStringLiteral("postgres")
                                                                                 : QString()));
}

TestDatabase::TestDatabase(Engine engine, DatabaseUse use) : m_engine(engine)
{
    OdbcEnvironment& environment = OdbcEnvironment::Instance();
    const QString strSuffix = (use == DatabaseUse::InjectionAttempts ? QLatin1String(kInjectionTag) : QLatin1String())
                              + QString::number(QCoreApplication::applicationPid()) + QLatin1Char('_')
                              + QString::number(++g_nDatabases);
    m_strDsn = QStringLiteral("kv_") + EngineName(engine).toLower() + QLatin1Char('_') + strSuffix;

    if (engine == Engine::SQLite) {
        m_strName = environment.Folder() + QLatin1Char('/') + m_strDsn + QStringLiteral(".db");
        QFile::remove(m_strName);
        environment.AddDataSource(m_strDsn, DriverOf(engine), {{QStringLiteral("Database"), m_strName}});
        m_pConnection = std::make_unique<RawConnection>(QStringLiteral("DSN=") + m_strDsn + QLatin1Char(';'));
        return;
    }

    if (qgetenv("KITVANE_AUDITED_SERVER_TEST") == "0") {
        throw std::runtime_error("this test reaches a database server but is not listed in KITVANE_SERVER_TESTS "
                                 "(tests/CMakeLists.txt), so the statement audit would not run after it");
    }
    m_strName = QStringLiteral("kv_") + strSuffix;
    try {
        m_pAdmin = std::make_unique<RawConnection>(AdminConnectString(engine));
    } catch (const std::exception& error) {
        const ServerAddress server = ServerOf(engine);
        throw std::runtime_error((EngineName(engine) + QStringLiteral(" test server is not reachable on ")
                                  + server.strHost + QLatin1Char(':') + QString::number(server.nPort)
                                  + QStringLiteral("; start it with scripts/test-servers start (")
                                  + QString::fromUtf8(error.what()) + QLatin1Char(')'))
                                     .toStdString());
    }
    m_strOwner = QLatin1String(kTestRole);
    if (engine == Engine::PostgreSQL) {
        m_strReadOnlyLogin = QLatin1String(kPostgresReadOnlyRole);
        if (m_pAdmin->Scalar(QStringLiteral("SELECT count(*) FROM pg_roles WHERE rolname = ")
                             + Quoted(m_strReadOnlyLogin))
            != QLatin1String("1")) {
            throw std::runtime_error(("the PostgreSQL test server has no role " + m_strReadOnlyLogin
                                      + "; restart it with scripts/test-servers start")
                                         .toStdString());
        }
        m_pAdmin->Exec(QStringLiteral("CREATE DATABASE ") + m_strName);
        // Only the owner and the read-only login connect; nobody else may
        // create even temporary tables.
        m_pAdmin->Exec(QStringLiteral("REVOKE ALL ON DATABASE ") + m_strName + QStringLiteral(" FROM PUBLIC"));
        m_pAdmin->Exec(QStringLiteral("GRANT CONNECT ON DATABASE ") + m_strName + QStringLiteral(" TO ")
                       + m_strReadOnlyLogin);
    } else {
        // Users of its own that see only this database and its schema
        // databases: the catalog of a MariaDB server lists every database a
        // user may see, and tests running side by side must not see each
        // other's.
        m_pAdmin->Exec(QStringLiteral("CREATE DATABASE ") + m_strName);
        m_strOwner = m_strName;
        m_strReadOnlyLogin = QLatin1String(kReadOnlyLoginPrefix) + strSuffix;
        CreateMariaDbUser(m_strOwner, QStringLiteral("ALL PRIVILEGES"));
        CreateMariaDbUser(m_strReadOnlyLogin, QStringLiteral("SELECT"));
    }
    m_pConnection = std::make_unique<RawConnection>(
        ConnectStringOf(DriverOf(engine), ServerAttributes(engine, m_strName, m_strOwner)));
    if (engine == Engine::PostgreSQL) {
        // Every schema, table and view the setup creates from now on, also
        // after the product has connected, is readable by the read-only login.
        Exec(QStringLiteral("ALTER DEFAULT PRIVILEGES GRANT USAGE ON SCHEMAS TO ") + m_strReadOnlyLogin);
        Exec(QStringLiteral("ALTER DEFAULT PRIVILEGES GRANT SELECT ON TABLES TO ") + m_strReadOnlyLogin);
    }
    environment.AddDataSource(m_strDsn, DriverOf(engine), ServerAttributes(engine, m_strName, m_strReadOnlyLogin));
}

void TestDatabase::CreateMariaDbUser(const QString& strUser, const QString& strPrivileges)
{
    const QString strAccount = Quoted(strUser) + QStringLiteral("@'127.0.0.1'");
    const QString strPattern = QString(m_strName).replace(QLatin1Char('_'), QLatin1String("\\_"));
    m_pAdmin->Exec(QStringLiteral("CREATE USER ") + strAccount + QStringLiteral(" IDENTIFIED BY ")
                   + Quoted(QLatin1String(kTestPassword)));
    m_arrMariaDbUsers.append(strAccount);
    for (const QString& strDatabases : {strPattern, strPattern + QStringLiteral("\\_%")}) {
        m_pAdmin->Exec(QStringLiteral("GRANT ") + strPrivileges + QStringLiteral(" ON `") + strDatabases
                       + QStringLiteral("`.* TO ") + strAccount);
    }
}

TestDatabase::~TestDatabase()
{
    m_pConnection.reset();
    OdbcEnvironment::Instance().RemoveDataSource(m_strDsn);
    if (!m_strOwnerDsn.isEmpty())
        OdbcEnvironment::Instance().RemoveDataSource(m_strOwnerDsn);
    try {
        if (m_engine == Engine::SQLite)
            QFile::remove(m_strName);
        else if (m_engine == Engine::PostgreSQL)
            m_pAdmin->Exec(QStringLiteral("DROP DATABASE IF EXISTS ") + m_strName + QStringLiteral(" WITH (FORCE)"));
        else
            m_pAdmin->Exec(QStringLiteral("DROP DATABASE IF EXISTS ") + m_strName);
        for (const QString& strExtra : std::as_const(m_arrExtraDatabases))
            m_pAdmin->Exec(QStringLiteral("DROP DATABASE IF EXISTS ") + strExtra);
        for (const QString& strAccount : std::as_const(m_arrMariaDbUsers))
            m_pAdmin->Exec(QStringLiteral("DROP USER IF EXISTS ") + strAccount);
    } catch (const std::exception& error) {
        qWarning("could not drop test database %s: %s", qPrintable(m_strName), error.what());
    }
}

void TestDatabase::ExecScript(const QStringList& statements)
{
    for (const QString& strSql : statements)
        Exec(strSql);
}

TestDatabase::Schema TestDatabase::CreateSchema(const QString& strName)
{
    switch (m_engine) {
    case Engine::SQLite:
        return {};
    case Engine::PostgreSQL:
        Exec(QStringLiteral("CREATE SCHEMA ") + strName);
        return {strName + QLatin1Char('.'), m_strName, strName};
    case Engine::MariaDB: {
        const QString strDatabase = m_strName + QLatin1Char('_') + strName;
        m_pAdmin->Exec(QStringLiteral("CREATE DATABASE ") + strDatabase);
        m_arrExtraDatabases.append(strDatabase);
        return {strDatabase + QLatin1Char('.'), strDatabase, QString()};
    }
    }
    return {};
}

QString TestDatabase::OwnerDsn()
{
    if (m_engine == Engine::SQLite)
        return m_strDsn;   // a file has no logins
    if (m_strOwnerDsn.isEmpty()) {
        m_strOwnerDsn = m_strDsn + QStringLiteral("_owner");
        OdbcEnvironment::Instance().AddDataSource(m_strOwnerDsn, DriverOf(m_engine),
                                                  ServerAttributes(m_engine, m_strName, m_strOwner));
    }
    return m_strOwnerDsn;
}

void TestDatabase::EndReadOnlySessions()
{
    // The administrator's connection: the owner may neither see nor end
    // another login's sessions on MariaDB.
    QString strSessions;
    if (m_engine == Engine::PostgreSQL) {
        strSessions = QStringLiteral("SELECT pid FROM pg_stat_activity WHERE datname = ") + Quoted(m_strName)
                      + QStringLiteral(" AND usename = ") + Quoted(m_strReadOnlyLogin);
    } else if (m_engine == Engine::MariaDB) {
        strSessions = QStringLiteral("SELECT id FROM information_schema.processlist WHERE user = ")
                      + Quoted(m_strReadOnlyLogin);
    } else {
        throw std::runtime_error("no server session to end on SQLite");
    }
    for (const QStringList& row : m_pAdmin->Query(strSessions)) {
        if (m_engine == Engine::PostgreSQL)
            m_pAdmin->Exec(QStringLiteral("SELECT pg_terminate_backend(") + row.first() + QLatin1Char(')'));
        else
            m_pAdmin->Exec(QStringLiteral("KILL CONNECTION ") + row.first());
    }
    const QDeadlineTimer deadline(5000);
    while (!m_pAdmin->Query(strSessions).isEmpty()) {
        if (deadline.hasExpired())
            throw std::runtime_error("the ended sessions of " + m_strReadOnlyLogin.toStdString() + " stay open");
        QThread::msleep(20);
    }
}

int TestDatabase::ServerSessionCount()
{
    if (m_engine == Engine::PostgreSQL) {
        return m_pAdmin->Scalar(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = '")
                                + m_strName + QLatin1Char('\''))
            .toInt();
    }
    if (m_engine == Engine::MariaDB) {
        return m_pAdmin->Scalar(QStringLiteral("SELECT count(*) FROM information_schema.processlist WHERE db = '")
                                + m_strName + QLatin1Char('\''))
            .toInt();
    }
    return -1;
}

}  // namespace kvtest
