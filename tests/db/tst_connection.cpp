// The connection of a data source and the statement pattern, against real
// databases through their real ODBC drivers.

#include "db/dbdata.h"
#include "tests/support/selectinteger.h"
#include "tests/support/testdatabase.h"

#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <future>

using kvtest::Engine;

Q_DECLARE_METATYPE(kvtest::Engine)

using Attributes = QMap<QString, QString>;

namespace {

// A loopback port where nothing listens: one the system just handed out and
// took back.
int UnusedPort()
{
    const int nSocket = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t nLength = sizeof(address);
    const bool bBound = bind(nSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0
                        && getsockname(nSocket, reinterpret_cast<sockaddr*>(&address), &nLength) == 0;
    close(nSocket);
    return bBound ? ntohs(address.sin_port) : 1;
}

Attributes PostgreSQLAttributes(int nPort, const QString& strUser)
{
    return {{QStringLiteral("Servername"), kvtest::ServerOf(Engine::PostgreSQL).strHost},
            {QStringLiteral("Port"), QString::number(nPort)},
            {QStringLiteral("Database"), QStringLiteral("postgres")},
            {QStringLiteral("Username"), strUser}};
}

Attributes MariaDBAttributes(int nPort, const QString& strPassword)
{
    return {{QStringLiteral("Server"), kvtest::ServerOf(Engine::MariaDB).strHost},
            {QStringLiteral("Port"), QString::number(nPort)},
            {QStringLiteral("User"), QStringLiteral("kitvane")},
            {QStringLiteral("Password"), strPassword}};
}

void AddEngineRows(bool bWithSQLite = true)
{
    QTest::addColumn<Engine>("engine");
    if (bWithSQLite)
        QTest::newRow("sqlite") << Engine::SQLite;
    QTest::newRow("postgresql") << Engine::PostgreSQL;
    QTest::newRow("mariadb") << Engine::MariaDB;
}

}  // namespace

class TestConnection : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void connectSucceeds_data() { AddEngineRows(); }
    void connectSucceeds();
    void connectFailsQuietly_data();
    void connectFailsQuietly();
    void failureTellsDriverReason_data();
    void failureTellsDriverReason();
    void nameCannotAddToConnectString_data();
    void nameCannotAddToConnectString();
    void missingSQLiteFileNotCreated_data();
    void missingSQLiteFileNotCreated();
    void reconnectClosesFirstConnection_data() { AddEngineRows(false); }
    void reconnectClosesFirstConnection();
    void sharedEnvironmentFollowsConnections();
    void failedEnvironmentAllocation();
    void copyDataSource_data();
    void copyDataSource();
    void errorTextOfFailingStatement_data();
    void errorTextOfFailingStatement();
    void errorTextOfDriverManager();
    void textBuffersCutAndEmptied_data() { AddEngineRows(); }
    void textBuffersCutAndEmptied();
};

void TestConnection::init()
{
    QCOMPARE(CDatabase::OpenConnectionCount(), 0);
}

void TestConnection::cleanup()
{
    kvtest::OdbcEnvironment::Instance();
}

void TestConnection::connectSucceeds()
{
    QFETCH(Engine, engine);
    KV_CREATE_DATABASE(db, engine);

    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());
    QVERIFY(data.IsConnected());
    QCOMPARE(CDatabase::OpenConnectionCount(), 1);
    QVERIFY(CDatabase::SharedEnvironment() != SQL_NULL_HENV);
    QCOMPARE(kvtest::SelectInteger(data, QStringLiteral("SELECT 42")), 42);
}

void TestConnection::connectFailsQuietly_data()
{
    QTest::addColumn<QString>("dsn");
    QTest::newRow("unknown DSN") << "kv_no_such_data_source";
    QTest::newRow("empty DSN") << "";
}

void TestConnection::connectFailsQuietly()
{
    QFETCH(QString, dsn);
    kvtest::OdbcEnvironment::Instance();

    CDBData data;
    data.m_strDSN = dsn;
    QVERIFY(!data.Connect());
    QVERIFY(!data.IsConnected());
    QVERIFY(data.m_pDatabase == nullptr);
    QCOMPARE(CDatabase::OpenConnectionCount(), 0);
    QVERIFY(CDatabase::SharedEnvironment() == SQL_NULL_HENV);
    QCOMPARE(data.m_strDSN, dsn);
}

void TestConnection::failureTellsDriverReason_data()
{
    QTest::addColumn<QString>("driver");       // empty: no data source at all
    QTest::addColumn<Attributes>("attributes");
    QTest::addColumn<QString>("reason");       // a regular expression on the driver's text
    QTest::addColumn<QString>("state");

    const int nPostgreSQL = kvtest::ServerOf(Engine::PostgreSQL).nPort;
    const int nMariaDB = kvtest::ServerOf(Engine::MariaDB).nPort;
    const int nNobody = UnusedPort();
    const QString strPostgreSQL = QStringLiteral("PostgreSQL Unicode");
    const QString strMariaDB = QStringLiteral("MariaDB Unicode");

    QTest::newRow("unknown DSN") << QString() << Attributes()
                                 << "^Data source name not found and no default driver specified$" << "IM002";
    QTest::newRow("PostgreSQL down") << strPostgreSQL << PostgreSQLAttributes(nNobody, QStringLiteral("kitvane"))
                                     << "port " + QString::number(nNobody) + " failed: Connection refused" << "08001";
    QTest::newRow("MariaDB down") << strMariaDB << MariaDBAttributes(nNobody, QStringLiteral("kitvane"))
                                  << "^Can't connect to server on '127.0.0.1'" << "S1000";
    QTest::newRow("PostgreSQL unknown role")
        << strPostgreSQL << PostgreSQLAttributes(nPostgreSQL, QStringLiteral("kv_no_such_role"))
        << "FATAL:  role \"kv_no_such_role\" does not exist" << "08001";
    QTest::newRow("MariaDB wrong password") << strMariaDB << MariaDBAttributes(nMariaDB, QStringLiteral("not the password"))
                                            << "^Access denied for user 'kitvane'@" << "28000";
    QTest::newRow("driver library missing")
        << QStringLiteral("/usr/lib/kv_no_such_driver.so") << Attributes()
        << "^Can't open lib '/usr/lib/kv_no_such_driver.so' : file not found$" << "01000";
}

// The connection still fails silently for callers that only test it; the
// text a caller shows is the driver's own reason with its SQLSTATE.
void TestConnection::failureTellsDriverReason()
{
    QFETCH(QString, driver);
    QFETCH(Attributes, attributes);
    QFETCH(QString, reason);
    QFETCH(QString, state);

    // A name per row (the driver manager caches what it read of odbc.ini for
    // a moment, names it did not find included), within the 32 characters
    // of a data-source name.
    const QString strDsn = QStringLiteral("kv_failing_%1").arg(qHash(QByteArray(QTest::currentDataTag())));
    if (!driver.isEmpty())
        kvtest::OdbcEnvironment::Instance().AddDataSource(strDsn, driver, attributes);

    CDBData data;
    data.m_strDSN = strDsn;
    QVERIFY(!data.Connect());
    QVERIFY(!data.IsConnected());
    QCOMPARE(CDatabase::OpenConnectionCount(), 0);

    QStringList lines = data.GetLastError().split(QLatin1Char('\n'));
    QVERIFY2(lines.size() >= 2, qPrintable(data.GetLastError()));
    QVERIFY2(lines.last() == QStringLiteral("SQLSTATE ") + state, qPrintable(data.GetLastError()));
    lines.removeLast();
    const QString strText = lines.join(QLatin1Char('\n'));
    QVERIFY2(QRegularExpression(reason).match(strText).hasMatch(), qPrintable(data.GetLastError()));

    // A success clears the text.
    KV_CREATE_DATABASE(db, Engine::SQLite);
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());
    QCOMPARE(data.GetLastError(), QString());
}

void TestConnection::nameCannotAddToConnectString_data()
{
    QTest::addColumn<QString>("name");   // %1 stands for the test database's data source
    QTest::addColumn<QChar>("refused");

    QTest::newRow("settings after ';'") << "%1;ConnSettings=delete from kv_canary" << QChar(u';');
    QTest::newRow("braced name") << "{%1}" << QChar(u'{');
    QTest::newRow("closing brace") << "%1}" << QChar(u'}');
    QTest::newRow("equals sign") << "%1=" << QChar(u'=');
}

// The name goes into "DSN=...;" as it is: a name that could end it or add an
// attribute is refused before anything reaches ODBC.
void TestConnection::nameCannotAddToConnectString()
{
    QFETCH(QString, name);
    QFETCH(QChar, refused);
    KV_CREATE_DATABASE(db, Engine::PostgreSQL);
    db->Exec(QStringLiteral("CREATE TABLE kv_canary (n INTEGER)"));
    db->Exec(QStringLiteral("INSERT INTO kv_canary VALUES (1), (2)"));
    const int nSessions = db->ServerSessionCount();

    CDBData data;
    data.m_strDSN = name.arg(db->Dsn());
    const bool bConnected = data.Connect();
    // The server first: the canary keeps its rows and no session was opened.
    QCOMPARE(db->Scalar(QStringLiteral("SELECT count(*) FROM kv_canary")), QStringLiteral("2"));
    QCOMPARE(db->ServerSessionCount(), nSessions);
    QVERIFY(!bConnected);
    QVERIFY(!data.IsConnected());
    QCOMPARE(CDatabase::OpenConnectionCount(), 0);
    QCOMPARE(data.GetLastError(), QStringLiteral("The data source name \"%1\" holds '%2', which a connection string "
                                                 "cannot carry as part of a name; rename the data source.")
                                      .arg(data.m_strDSN, refused));
}

void TestConnection::missingSQLiteFileNotCreated_data()
{
    QTest::addColumn<QString>("driver");
    QTest::addColumn<Attributes>("attributes");   // besides the database file
    const QString strDriver = QStringLiteral("SQLite3");
    QTest::newRow("plain data source") << strDriver << Attributes();
    QTest::newRow("data source that allows creating")
        << strDriver << Attributes{{QStringLiteral("NoCreat"), QStringLiteral("0")}};
    QTest::newRow("driver named by its library")
        << QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so") << Attributes();
}

void TestConnection::missingSQLiteFileNotCreated()
{
    QFETCH(QString, driver);
    QFETCH(Attributes, attributes);
    const QString strFile = kvtest::OdbcEnvironment::Instance().Folder() + QStringLiteral("/kv_missing_")
                            + QString::number(qHash(QByteArray(QTest::currentDataTag()))) + QStringLiteral(".db");
    QVERIFY(!QFile::exists(strFile));
    attributes.insert(QStringLiteral("Database"), strFile);
    const QString strDsn = QStringLiteral("kv_missing_%1").arg(qHash(QByteArray(QTest::currentDataTag())));
    kvtest::OdbcEnvironment::Instance().AddDataSource(strDsn, driver, attributes);

    CDBData data;
    data.m_strDSN = strDsn;
    QVERIFY(!data.Connect());
    QVERIFY(!data.IsConnected());
    QVERIFY2(!QFile::exists(strFile), "connecting created the database file");
    QVERIFY2(data.GetLastError().contains(QLatin1String("database file")), qPrintable(data.GetLastError()));
    QVERIFY2(data.GetLastError().endsWith(QLatin1String("SQLSTATE S1000")), qPrintable(data.GetLastError()));
}

void TestConnection::reconnectClosesFirstConnection()
{
    QFETCH(Engine, engine);
    KV_CREATE_DATABASE(db, engine);

    const int nBaseline = db->ServerSessionCount();
    QVERIFY(nBaseline >= 1);   // the fixture's own connection

    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());
    QTRY_COMPARE(db->ServerSessionCount(), nBaseline + 1);

    QVERIFY(data.Connect());
    QVERIFY(data.IsConnected());
    QCOMPARE(CDatabase::OpenConnectionCount(), 1);
    // The first session is gone on the server, the second is there.
    QTRY_COMPARE(db->ServerSessionCount(), nBaseline + 1);
    QCOMPARE(kvtest::SelectInteger(data, QStringLiteral("SELECT 7")), 7);

    // A failing attempt leaves nothing open behind it.
    data.m_strDSN = QStringLiteral("kv_no_such_data_source");
    QVERIFY(!data.Connect());
    QVERIFY(!data.IsConnected());
    QCOMPARE(CDatabase::OpenConnectionCount(), 0);
    QTRY_COMPARE(db->ServerSessionCount(), nBaseline);
}

void TestConnection::sharedEnvironmentFollowsConnections()
{
    KV_CREATE_DATABASE(db, Engine::SQLite);
    auto first = std::make_unique<CDBData>();
    auto second = std::make_unique<CDBData>();
    first->m_strDSN = second->m_strDSN = db->Dsn();

    QVERIFY(first->Connect());
    const SQLHENV henv = CDatabase::SharedEnvironment();
    QVERIFY(henv != SQL_NULL_HENV);
    QVERIFY(second->Connect());
    QCOMPARE(CDatabase::OpenConnectionCount(), 2);
    QCOMPARE(CDatabase::SharedEnvironment(), henv);

    first.reset();
    QCOMPARE(CDatabase::OpenConnectionCount(), 1);
    QCOMPARE(CDatabase::SharedEnvironment(), henv);
    QCOMPARE(kvtest::SelectInteger(*second, QStringLiteral("SELECT 3")), 3);

    second.reset();
    QCOMPARE(CDatabase::OpenConnectionCount(), 0);
    QVERIFY(CDatabase::SharedEnvironment() == SQL_NULL_HENV);
}

void TestConnection::failedEnvironmentAllocation()
{
    KV_CREATE_DATABASE(db, Engine::SQLite);
    const auto pOriginal = CDatabase::SetEnvironmentAllocator([](SQLHENV* phenv) -> SQLRETURN {
        *phenv = SQL_NULL_HENV;
        return SQL_ERROR;
    });

    CDBData data;
    data.m_strDSN = db->Dsn();
    // On another thread, so a connection that never returns fails the test
    // instead of hanging it.
    std::future<bool> connected = std::async(std::launch::async, [&] { return data.Connect(); });
    if (connected.wait_for(std::chrono::seconds(20)) != std::future_status::ready)
        qFatal("Connect did not return after a failed environment allocation");
    CDatabase::SetEnvironmentAllocator(pOriginal);

    QVERIFY(!connected.get());
    QVERIFY(!data.IsConnected());
    QVERIFY(data.m_pDatabase == nullptr);
    QCOMPARE(CDatabase::OpenConnectionCount(), 0);
    QVERIFY(CDatabase::SharedEnvironment() == SQL_NULL_HENV);
    QVERIFY2(data.GetLastError().contains(QLatin1String("environment")), qPrintable(data.GetLastError()));

    // Nothing stays locked: the next attempt, with the real allocator, connects.
    QVERIFY(data.Connect());
    QCOMPARE(kvtest::SelectInteger(data, QStringLiteral("SELECT 1")), 1);
}

void TestConnection::copyDataSource_data()
{
    QTest::addColumn<QString>("ownDsn");
    QTest::addColumn<bool>("ownSystem");
    QTest::addColumn<QString>("expectedDsn");
    QTest::addColumn<bool>("expectedSystem");

    QTest::newRow("empty takes the other") << "" << true << "JDE_PROD" << false;
    QTest::newRow("set keeps its own") << "JDE_DEV" << true << "JDE_DEV" << true;
}

void TestConnection::copyDataSource()
{
    QFETCH(QString, ownDsn);
    QFETCH(bool, ownSystem);
    QFETCH(QString, expectedDsn);
    QFETCH(bool, expectedSystem);

    CDBData other;
    other.m_strDSN = QStringLiteral("JDE_PROD");
    other.m_bSystemDSN = false;
    other.m_strSchema = QStringLiteral(".PRODDTA");

    CDBData data;
    data.m_strDSN = ownDsn;
    data.m_bSystemDSN = ownSystem;
    data.CopyDataSource(other);
    QCOMPARE(data.m_strDSN, expectedDsn);
    QCOMPARE(data.m_bSystemDSN, expectedSystem);
    QVERIFY(data.m_strSchema.isEmpty());
    QVERIFY(!data.IsConnected());
}

void TestConnection::errorTextOfFailingStatement_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("error");         // %1 stands for the database name
    QTest::addColumn<QString>("diagnostics");   // a regular expression

    // What the drivers of this platform say, once their origins are stripped.
    QTest::newRow("sqlite") << Engine::SQLite << "no such table: KV_NO_SUCH_TABLE (1)\n"
                            << "^State:S1000,Native:1,Origin:\\[SQLite\\]\n$";
    QTest::newRow("postgresql")
        << Engine::PostgreSQL
        << "ERROR: relation \"kv_no_such_table\" does not exist;\nError while executing the query\n"
        << "^State:42P01,Native:1,Origin:\n$";
    QTest::newRow("mariadb") << Engine::MariaDB << "Table '%1.KV_NO_SUCH_TABLE' doesn't exist\n"
                             << "^State:S0002,Native:1146,Origin:\\[ma-[0-9.]+\\]\\[[^\\]]*-MariaDB[^\\]]*\\]\n$";
}

void TestConnection::errorTextOfFailingStatement()
{
    QFETCH(Engine, engine);
    QFETCH(QString, error);
    QFETCH(QString, diagnostics);
    KV_CREATE_DATABASE(db, engine);

    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());

    try {
        CStatement statement(*data.m_pDatabase);
        statement.ExecDirect(QStringLiteral("SELECT * FROM KV_NO_SUCH_TABLE"));
        QFAIL("a query on a missing table succeeded");
    } catch (const CDBException& exception) {
        QCOMPARE(exception.m_nRetCode, SQLRETURN(SQL_ERROR));
        QCOMPARE(exception.m_hdbc, data.m_pDatabase->Handle());
        QVERIFY(exception.m_hstmt != SQL_NULL_HSTMT);
        QCOMPARE(exception.m_strError, error.arg(db->Name()));
        QVERIFY2(QRegularExpression(diagnostics).match(exception.m_strStateNativeOrigin).hasMatch(),
                 qPrintable(exception.m_strStateNativeOrigin));
        QCOMPARE(QString::fromUtf8(exception.what()), exception.m_strError);
    }

    // The same failure inside an operation yields its failure value, and the
    // connection goes on working.
    QCOMPARE(kvtest::SelectInteger(data, QStringLiteral("SELECT * FROM KV_NO_SUCH_TABLE")), -1);
    QVERIFY(data.IsConnected());
    QCOMPARE(kvtest::SelectInteger(data, QStringLiteral("SELECT 5")), 5);
}

void TestConnection::errorTextOfDriverManager()
{
    kvtest::OdbcEnvironment::Instance();
    CDatabase database;
    try {
        database.OpenEx(QStringLiteral("DSN=kv_no_such_data_source;"));
        QFAIL("an unknown data source was opened");
    } catch (const CDBException& error) {
        QCOMPARE(error.m_strError,
                 QStringLiteral("Data source name not found and no default driver specified\n"));
        QCOMPARE(error.m_strStateNativeOrigin,
                 QStringLiteral("State:IM002,Native:0,Origin:[unixODBC][Driver Manager]\n"));
    }
    QVERIFY(!database.IsOpen());
    QCOMPARE(CDatabase::OpenConnectionCount(), 0);
}

void TestConnection::textBuffersCutAndEmptied()
{
    QFETCH(Engine, engine);
    KV_CREATE_DATABASE(db, engine);
    db->Exec(QStringLiteral("CREATE TABLE T1 (N INTEGER, TXT VARCHAR(300))"));
    const QString strLong = QString(200, QLatin1Char('x'));
    db->Exec(QStringLiteral("INSERT INTO T1 VALUES (1, '") + strLong + QStringLiteral("')"));
    db->Exec(QStringLiteral("INSERT INTO T1 VALUES (2, NULL)"));
    db->Exec(QStringLiteral("INSERT INTO T1 VALUES (3, 'short')"));

    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());
    const QStringList values = data.RunStatement(QStringList(), [](CStatement& statement) {
        statement.ExecDirect(QStringLiteral("SELECT TXT FROM T1 ORDER BY N"));
        CTextBuffer text(129);
        statement.BindText(1, text);
        QStringList rows;
        while (statement.Fetch())
            rows.append(text.Text());
        return rows;
    });
    // 128 characters at most; the NULL after a long value reads as empty.
    QCOMPARE(values, QStringList({QString(128, QLatin1Char('x')), QString(), QStringLiteral("short")}));
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
