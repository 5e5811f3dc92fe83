#pragma once

#include "tests/support/testodbcenv.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// Test databases reached through the same ODBC drivers as the system, but
// over connections of their own (read-write, ODBC 3), so setting up and
// inspecting them never goes through the code under test.
namespace kvtest {

class RawConnection
{
public:
    // Raises std::runtime_error with the driver's diagnostics.
    explicit RawConnection(const QString& strConnect);
    ~RawConnection();

    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    void Exec(const QString& strSql);
    // Every row, every column as text (NULL as a null QString).
    QList<QStringList> Query(const QString& strSql);
    QString Scalar(const QString& strSql);

private:
    void* m_henv = nullptr;
    void* m_hdbc = nullptr;
};

// Server logins whose names start so have SELECT rights only; the statement
// audit (tests/audit) tells them apart by this prefix.
inline constexpr char kReadOnlyLoginPrefix[] = "kvro_";
// In the names of the databases (and of their MariaDB read-only logins) that
// a test attacks on purpose through the product: the statement audit counts
// what reaches those apart, since the test itself reads the server's state
// after each attempt.
inline constexpr char kInjectionTag[] = "inj_";
// What Connector/ODBC says of a session the server ended (a pattern): the
// words depend on whether the client was reading or writing the socket.
inline constexpr char kMariaDbSessionEndedReasons[] = "Lost connection|gone away|Broken pipe|Connection not open";

enum class DatabaseUse { Ordinary, InjectionAttempts };

// A fresh, empty database with a DSN of its own in the private odbc.ini;
// dropped, with its DSN, on destruction. On a server, the DSN names a login
// that may read the database's tables and catalog but change nothing, the
// way a cautious DBA configures the product; the setup and inspection
// connection keeps the owner's login.
class TestDatabase
{
public:
    // Raises std::runtime_error, telling how to start the test servers when
    // the engine's server is not reachable.
    explicit TestDatabase(Engine engine, DatabaseUse use = DatabaseUse::Ordinary);
    ~TestDatabase();

    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    Engine GetEngine() const { return m_engine; }
    QString Dsn() const { return m_strDsn; }
    QString Name() const { return m_strName; }   // database name (SQLite: file path)
    QString ReadOnlyLogin() const { return m_strReadOnlyLogin; }   // the DSN's login ("" on SQLite)
    // A second DSN naming the owner's login, which may write: for tests that
    // show the product's own session refusing writes the login could make.
    QString OwnerDsn();

    void Exec(const QString& strSql) { m_pConnection->Exec(strSql); }
    void ExecScript(const QStringList& statements);
    QList<QStringList> Query(const QString& strSql) { return m_pConnection->Query(strSql); }
    QString Scalar(const QString& strSql) { return m_pConnection->Scalar(strSql); }

    // Sessions the server has open on this database (PostgreSQL and MariaDB).
    int ServerSessionCount();
    // The server ends every session of the DSN's login, as a dropped link or
    // a DBA would; returns once they are gone (PostgreSQL and MariaDB).
    void EndReadOnlySessions();

    // A place for tables of their own: a schema of this database on
    // PostgreSQL, a database of its own (dropped with this one) on MariaDB,
    // the one unnamed schema on SQLite.
    struct Schema
    {
        QString strQualifier;   // what precedes a table name in setup SQL ("" or "name.")
        QString strCatalog;     // as the catalog functions report it
        QString strOwner;
    };
    Schema CreateSchema(const QString& strName);

private:
    // A user with the privileges on this database and its schema databases.
    void CreateMariaDbUser(const QString& strUser, const QString& strPrivileges);

    Engine m_engine;
    QString m_strDsn;
    QString m_strName;
    QString m_strReadOnlyLogin;
    QString m_strOwner;
    QString m_strOwnerDsn;
    std::unique_ptr<RawConnection> m_pConnection;
    std::unique_ptr<RawConnection> m_pAdmin;
    QStringList m_arrExtraDatabases;
    QStringList m_arrMariaDbUsers;   // accounts, dropped with the database
};

// A text literal for setup SQL; written here rather than taken from the code
// under test, so a fault there cannot hide itself in the fixtures.
inline QString Quoted(const QString& strValue)
{
    return QLatin1Char('\'') + QString(strValue).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

// A connection string for the engine's server without a database (the
// administrative connection used to create and drop test databases).
QString AdminConnectString(Engine engine);

}  // namespace kvtest

// Creates a test database in a test function, failing the test (never
// skipping it) with the reason when that is impossible; the arguments
// after the variable are TestDatabase's.
#define KV_CREATE_DATABASE(var, ...)                                    \
    std::unique_ptr<kvtest::TestDatabase> var;                          \
    try {                                                               \
        var = std::make_unique<kvtest::TestDatabase>(__VA_ARGS__);      \
    } catch (const std::exception& error) {                             \
        QFAIL(error.what());                                            \
    }
