#include "tests/support/testdatabase.h"

#include "db/odbc.h"

#include <QFile>
#include <QCoreApplication>

#include <atomic>
#include <stdexcept>

namespace kvtest {

namespace {

constexpr const char* kTestRole = "kitvane";
constexpr const char* kTestPassword = "kitvane";

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
                {QStringLiteral("Username"), QLatin1String(kTestRole)}};
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

TestDatabase::TestDatabase(Engine engine) : m_engine(engine)
{
    OdbcEnvironment& environment = OdbcEnvironment::Instance();
    const QString strSuffix = QString::number(QCoreApplication::applicationPid()) + QLatin1Char('_')
                              + QString::number(++g_nDatabases);
    m_strDsn = QStringLiteral("kv_") + EngineName(engine).toLower() + QLatin1Char('_') + strSuffix;

    QMap<QString, QString> attributes;
    if (engine == Engine::SQLite) {
        m_strName = environment.Folder() + QLatin1Char('/') + m_strDsn + QStringLiteral(".db");
        QFile::remove(m_strName);
        attributes = {{QStringLiteral("Database"), m_strName}};
    } else {
        m_strName = QStringLiteral("kv_") + strSuffix;
        try {
            m_pAdmin = std::make_unique<RawConnection>(AdminConnectString(engine));
        } catch (const std::exception& error) {
            const ServerAddress server = ServerOf(engine);
            throw std::runtime_error(
                (EngineName(engine) + QStringLiteral(" test server is not reachable on ") + server.strHost
                 + QLatin1Char(':') + QString::number(server.nPort)
                 + QStringLiteral("; start it with scripts/test-servers start (") + QString::fromUtf8(error.what())
                 + QLatin1Char(')'))
                    .toStdString());
        }
        m_pAdmin->Exec(QStringLiteral("CREATE DATABASE ") + m_strName);
        if (engine == Engine::MariaDB) {
            // A user of its own that sees only this database and its schema
            // databases: the catalog of a MariaDB server lists every database
            // a user may see, and tests running side by side must not see
            // each other's.
            const QString strUser = QLatin1Char('\'') + m_strName + QStringLiteral("'@'127.0.0.1'");
            const QString strPattern = QString(m_strName).replace(QLatin1Char('_'), QLatin1String("\\_"));
            m_pAdmin->Exec(QStringLiteral("CREATE USER ") + strUser + QStringLiteral(" IDENTIFIED BY '")
                           + QLatin1String(kTestPassword) + QLatin1Char('\''));
            m_pAdmin->Exec(QStringLiteral("GRANT ALL PRIVILEGES ON `") + strPattern + QStringLiteral("`.* TO ") + strUser);
            m_pAdmin->Exec(QStringLiteral("GRANT ALL PRIVILEGES ON `") + strPattern + QStringLiteral("\\_%`.* TO ")
                           + strUser);
            attributes = ServerAttributes(engine, m_strName, m_strName);
        } else {
            attributes = ServerAttributes(engine, m_strName);
        }
    }
    environment.AddDataSource(m_strDsn, DriverOf(engine), attributes);
    m_pConnection = std::make_unique<RawConnection>(QStringLiteral("DSN=") + m_strDsn + QLatin1Char(';'));
}

TestDatabase::~TestDatabase()
{
    m_pConnection.reset();
    OdbcEnvironment::Instance().RemoveDataSource(m_strDsn);
    try {
        if (m_engine == Engine::SQLite)
            QFile::remove(m_strName);
        else if (m_engine == Engine::PostgreSQL)
            m_pAdmin->Exec(QStringLiteral("DROP DATABASE IF EXISTS ") + m_strName + QStringLiteral(" WITH (FORCE)"));
        else
            m_pAdmin->Exec(QStringLiteral("DROP DATABASE IF EXISTS ") + m_strName);
        for (const QString& strExtra : std::as_const(m_arrExtraDatabases))
            m_pAdmin->Exec(QStringLiteral("DROP DATABASE IF EXISTS ") + strExtra);
        if (m_engine == Engine::MariaDB)
            m_pAdmin->Exec(QStringLiteral("DROP USER IF EXISTS '") + m_strName + QStringLiteral("'@'127.0.0.1'"));
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
