// The connection of a data source and the statement pattern, against real
// databases through their real ODBC drivers.

#include "db/dbdata.h"
#include "tests/support/selectinteger.h"
#include "tests/support/testdatabase.h"

#include <QtTest>

using kvtest::Engine;

Q_DECLARE_METATYPE(kvtest::Engine)

namespace {

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
    void reconnectClosesFirstConnection_data() { AddEngineRows(false); }
    void reconnectClosesFirstConnection();
    void sharedEnvironmentFollowsConnections();
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
