// What reaches ODBC, as the driver manager's own trace records it: statement
// handles released on every path, and no call at all while unconnected.

#include "db/dbdata.h"
#include "tests/support/odbctrace.h"
#include "tests/support/selectinteger.h"
#include "tests/support/testdatabase.h"

#include <QtTest>

using kvtest::Engine;

Q_DECLARE_METATYPE(kvtest::Engine)

class TestOdbcCalls : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void statementsReleasedOnEveryPath_data();
    void statementsReleasedOnEveryPath();
    void unconnectedOperationsMakeNoCall();
    void connectionReadOnlyWithLoginTimeout_data();
    void connectionReadOnlyWithLoginTimeout();
    void connectionAfterFailedAttemptIsItsOwn();

private:
    QString m_strTrace;
};

void TestOdbcCalls::initTestCase()
{
    try {
        m_strTrace = kvtest::OdbcEnvironment::Instance().StartTrace();
    } catch (const std::exception& error) {
        QFAIL(error.what());
    }
}

void TestOdbcCalls::cleanupTestCase()
{
    kvtest::OdbcEnvironment::Instance().StopTrace();
}

void TestOdbcCalls::statementsReleasedOnEveryPath_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::newRow("sqlite") << Engine::SQLite;
    QTest::newRow("postgresql") << Engine::PostgreSQL;
    QTest::newRow("mariadb") << Engine::MariaDB;
}

void TestOdbcCalls::statementsReleasedOnEveryPath()
{
    QFETCH(Engine, engine);
    KV_CREATE_DATABASE(db, engine);
    db->Exec(QStringLiteral("CREATE TABLE F0101 (ABAN8 INTEGER, ABALPH VARCHAR(40))"));
    db->Exec(QStringLiteral("INSERT INTO F0101 VALUES (1, 'One')"));
    db->Exec(QStringLiteral("INSERT INTO F0101 VALUES (2, 'Two')"));

    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());
    const int nBefore = kvtest::ReadOdbcTrace(m_strTrace).nStatementsAllocated;


    constexpr int kRounds = 10;
    for (int i = 0; i < kRounds; ++i) {
        QCOMPARE(kvtest::SelectInteger(data, QStringLiteral("SELECT ABAN8 FROM F0101 ORDER BY ABAN8")), 1);
        QCOMPARE(kvtest::SelectInteger(data, QStringLiteral("SELECT NOPE FROM F0101")), -1);
        QVERIFY(data.RunStatement(false, [](CStatement& statement) {
            return statement.Tables(QString(), QString(), QStringLiteral("%"), QString());
        }));
        QCOMPARE(data.RunStatement(-1, [](CStatement& statement) -> int {
                     statement.ExecDirect(QStringLiteral("SELECT ABALPH FROM F0101"));
                     throw std::runtime_error("abandoned by the operation");
                 }),
                 -1);
    }

    kvtest::OdbcTraceSummary summary = kvtest::ReadOdbcTrace(m_strTrace);
    QCOMPARE(summary.nStatementsAllocated - nBefore, 4 * kRounds);
    QVERIFY2(summary.liveStatements.isEmpty(), qPrintable(QStringList(summary.liveStatements.values()).join(' ')));

    // The ledger does see a statement that is still held.
    {
        CStatement held(*data.m_pDatabase);
        summary = kvtest::ReadOdbcTrace(m_strTrace);
        QCOMPARE(summary.liveStatements.size(), 1);
    }
    QVERIFY(kvtest::ReadOdbcTrace(m_strTrace).liveStatements.isEmpty());
}

void TestOdbcCalls::unconnectedOperationsMakeNoCall()
{
    const int nBefore = kvtest::ReadOdbcTrace(m_strTrace).nCalls;
    bool bBodyRan = false;

    CDBData neverConnected;
    QCOMPARE(neverConnected.RunStatement(-1, [&](CStatement&) { bBodyRan = true; return 1; }), -1);
    QCOMPARE(kvtest::ReadOdbcTrace(m_strTrace).nCalls, nBefore);

    CDBData failed;
    failed.m_strDSN = QStringLiteral("kv_no_such_data_source");
    QVERIFY(!failed.Connect());
    const int nAfterConnect = kvtest::ReadOdbcTrace(m_strTrace).nCalls;
    QVERIFY(nAfterConnect > nBefore);   // the attempt itself went to ODBC
    QCOMPARE(failed.RunStatement(false, [&](CStatement&) { bBodyRan = true; return true; }), false);
    QCOMPARE(kvtest::ReadOdbcTrace(m_strTrace).nCalls, nAfterConnect);
    QVERIFY(!bBodyRan);
}

void TestOdbcCalls::connectionReadOnlyWithLoginTimeout_data()
{
    statementsReleasedOnEveryPath_data();
}

void TestOdbcCalls::connectionReadOnlyWithLoginTimeout()
{
    QFETCH(Engine, engine);
    KV_CREATE_DATABASE(db, engine);
    const qsizetype nBefore = kvtest::ReadOdbcTrace(m_strTrace).connections.size();

    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());

    const QList<kvtest::OdbcConnectionTrace> connections = kvtest::ReadOdbcTrace(m_strTrace).connections.mid(nBefore);
    QCOMPARE(connections.size(), 1);
    const kvtest::OdbcConnectionTrace& connection = connections.first();
    QVERIFY(connection.bConnected);
    const QMap<QString, QString> expected = {
        {QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT"), QStringLiteral("15")},
        {QStringLiteral("SQL_ATTR_ACCESS_MODE"), QString::number(SQL_MODE_READ_ONLY)}};
    QCOMPARE(connection.optionsBeforeConnect, expected);
    QCOMPARE(connection.connectCompletions, QList<int>({SQL_DRIVER_COMPLETE}));
}

void TestOdbcCalls::connectionAfterFailedAttemptIsItsOwn()
{
    // The failed attempt's handle is freed, and the next one is usually
    // allocated at the same address: still two connections.
    KV_CREATE_DATABASE(db, Engine::SQLite);
    const qsizetype nBefore = kvtest::ReadOdbcTrace(m_strTrace).connections.size();
    CDBData failed;
    failed.m_strDSN = QStringLiteral("kv_no_such_data_source");
    QVERIFY(!failed.Connect());
    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());

    const QList<kvtest::OdbcConnectionTrace> connections = kvtest::ReadOdbcTrace(m_strTrace).connections.mid(nBefore);
    QCOMPARE(connections.size(), 2);
    QVERIFY(!connections.at(0).bConnected);
    QVERIFY(connections.at(1).bConnected);
}

QTEST_GUILESS_MAIN(TestOdbcCalls)
#include "tst_odbc_calls.moc"
