// Failures real drivers cannot be made to produce, through a fault-injecting
// driver of our own behind the real driver manager.

#include "db/dbdata.h"
#include "tests/support/selectinteger.h"
#include "tests/support/testodbcenv.h"

#include <QtTest>

namespace {

// A data source of the fault driver with the given behaviour.
QString FaultDataSource(const QString& strName, const QMap<QString, QString>& behaviour)
{
    kvtest::OdbcEnvironment::Instance().AddDataSource(strName, QStringLiteral("Kitvane Fault"), behaviour);
    return strName;
}

}  // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void cancelledLoginLeavesUnconnected();
    void apiConformance_data();
    void apiConformance();
    void stillExecutingIsRetried_data();
    void stillExecutingIsRetried();
    void oneLinePerDiagnosticRecord_data();
    void oneLinePerDiagnosticRecord();
    void statementAllocationFailureReachesCaller();
    void conformanceFailureTellsWhy();
    void readOnlySessionByEngine_data();
    void readOnlySessionByEngine();
};

void TestFaults::cancelledLoginLeavesUnconnected()
{
    CDBData data;
    data.m_strDSN = FaultDataSource(QStringLiteral("kv_fault_cancel"), {{QStringLiteral("CancelLogin"), QStringLiteral("1")}});
    QVERIFY(!data.Connect());
    QVERIFY(!data.IsConnected());
    QVERIFY(data.m_pDatabase == nullptr);
    QCOMPARE(CDatabase::OpenConnectionCount(), 0);
    QVERIFY(CDatabase::SharedEnvironment() == SQL_NULL_HENV);

    // Cancelling is not an error: the connection object says so without raising.
    CDatabase database;
    bool bOpened = true;
    try {
        bOpened = database.OpenEx(QStringLiteral("DSN=kv_fault_cancel;"));
    } catch (const CDBException& error) {
        QFAIL(error.what());
    }
    QVERIFY(!bOpened);
    QVERIFY(!database.IsOpen());
}

void TestFaults::apiConformance_data()
{
    QTest::addColumn<QString>("level");
    QTest::addColumn<bool>("connects");
    QTest::newRow("level 0") << "0" << false;
    QTest::newRow("level 1") << "1" << true;
    QTest::newRow("level 2") << "2" << true;
}

void TestFaults::apiConformance()
{
    QFETCH(QString, level);
    QFETCH(bool, connects);
    CDBData data;
    data.m_strDSN = FaultDataSource(QStringLiteral("kv_fault_level") + level, {{QStringLiteral("ApiConformance"), level}});
    QCOMPARE(data.Connect(), connects);
    QCOMPARE(data.IsConnected(), connects);
    QCOMPARE(data.m_pDatabase != nullptr, connects);
    QCOMPARE(CDatabase::OpenConnectionCount(), connects ? 1 : 0);
}

void TestFaults::stillExecutingIsRetried_data()
{
    QTest::addColumn<int>("stillExecuting");
    QTest::newRow("never") << 0;
    QTest::newRow("once") << 1;
    QTest::newRow("many times") << 500;
}

void TestFaults::stillExecutingIsRetried()
{
    QFETCH(int, stillExecuting);
    CDBData data;
    data.m_strDSN = FaultDataSource(QStringLiteral("kv_fault_busy%1").arg(stillExecuting),
                                    {{QStringLiteral("StillExecuting"), QString::number(stillExecuting)}});
    QVERIFY(data.Connect());
    // The row tells how many calls the execution took.
    QCOMPARE(kvtest::SelectInteger(data, QStringLiteral("SELECT 1")), stillExecuting + 1);
}

void TestFaults::oneLinePerDiagnosticRecord_data()
{
    QTest::addColumn<int>("records");
    QTest::newRow("one") << 1;
    QTest::newRow("three") << 3;
}

void TestFaults::oneLinePerDiagnosticRecord()
{
    QFETCH(int, records);
    CDBData data;
    data.m_strDSN = FaultDataSource(QStringLiteral("kv_fault_records%1").arg(records),
                                    {{QStringLiteral("ErrorRecords"), QString::number(records)}});
    QVERIFY(data.Connect());

    QString strExpectedError;
    QString strExpectedDiagnostics;
    for (int i = 1; i <= records; ++i) {
        strExpectedError += QStringLiteral("Failure %1 of %2\n").arg(i).arg(records);
        // The driver says 42000; the driver manager gives ODBC 2 applications 37000.
        strExpectedDiagnostics += QStringLiteral("State:%1,Native:%2,Origin:[Kitvane][Fault]\n")
                                      .arg(i == 1 ? QStringLiteral("37000") : QStringLiteral("01000"))
                                      .arg(i);
    }
    try {
        CStatement statement(*data.m_pDatabase);
        statement.ExecDirect(QStringLiteral("SELECT FAIL"));
        QFAIL("the failing statement succeeded");
    } catch (const CDBException& error) {
        QCOMPARE(error.m_strError, strExpectedError);
        QCOMPARE(error.m_strStateNativeOrigin, strExpectedDiagnostics);
    }
}

void TestFaults::statementAllocationFailureReachesCaller()
{
    CDBData data;
    data.m_strDSN = FaultDataSource(QStringLiteral("kv_fault_alloc"), {{QStringLiteral("AllocStmtFails"), QStringLiteral("1")}});
    QVERIFY(data.Connect());

    bool bBodyRan = false;
    try {
        data.RunStatement(-1, [&](CStatement&) { bBodyRan = true; return 1; });
        QFAIL("a failed allocation was swallowed");
    } catch (const CDBException& error) {
        QCOMPARE(error.m_strError, QStringLiteral("No statement can be allocated\n"));
    }
    QVERIFY(!bBodyRan);

    // The catalog operations do not swallow it either.
    CColumnInfoArray columns;
    QVERIFY_THROWS_EXCEPTION(CDBException, data.LoadColumns(QStringLiteral("F0101"), columns));
    QVERIFY(data.IsConnected());
}

void TestFaults::conformanceFailureTellsWhy()
{
    CDBData data;
    data.m_strDSN = FaultDataSource(QStringLiteral("kv_fault_level0"), {{QStringLiteral("ApiConformance"), QStringLiteral("0")}});
    QVERIFY(!data.Connect());
    QCOMPARE(data.GetLastError(),
             QStringLiteral("The ODBC driver reports API conformance level 0; level 1 or higher is needed."));
}

using Behaviour = QMap<QString, QString>;

void TestFaults::readOnlySessionByEngine_data()
{
    QTest::addColumn<Behaviour>("behaviour");
    QTest::addColumn<bool>("connects");
    QTest::addColumn<bool>("readOnlyOnServer");
    QTest::addColumn<QString>("error");

    const QString strDbms = QStringLiteral("DbmsName");
    const QString strFail = QStringLiteral("FailStatement");
    QTest::newRow("engine without a profile") << Behaviour{{strDbms, QStringLiteral("Oracle")}} << true << false << "";
    QTest::newRow("engine unnamed") << Behaviour() << true << false << "";
    QTest::newRow("PostgreSQL accepted") << Behaviour{{strDbms, QStringLiteral("PostgreSQL")}} << true << true << "";
    QTest::newRow("PostgreSQL refused")
        << Behaviour{{strDbms, QStringLiteral("PostgreSQL")},
                     {strFail, QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY")}}
        << false << false
        << "The server refused to make the session read-only (SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY):\n"
           "Statement refused: SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY\nSQLSTATE 25000";
    QTest::newRow("MariaDB refused")
        << Behaviour{{strDbms, QStringLiteral("MariaDB")}, {strFail, QStringLiteral("SET SESSION TRANSACTION READ ONLY")}}
        << false << false
        << "The server refused to make the session read-only (SET SESSION TRANSACTION READ ONLY):\n"
           "Statement refused: SET SESSION TRANSACTION READ ONLY\nSQLSTATE 25000";
    QTest::newRow("SQLite refused")
        << Behaviour{{strDbms, QStringLiteral("SQLite")}, {strFail, QStringLiteral("PRAGMA query_only = ON")}}
        << false << false
        << "The server refused to make the session read-only (PRAGMA query_only = ON):\n"
           "Statement refused: PRAGMA query_only = ON\nSQLSTATE 25000";
    QTest::newRow("no statement for the session")
        << Behaviour{{strDbms, QStringLiteral("MySQL")}, {QStringLiteral("AllocStmtFails"), QStringLiteral("1")}}
        << false << false
        << "The server refused to make the session read-only (SET SESSION TRANSACTION READ ONLY):\n"
           "No statement can be allocated\nSQLSTATE S1001";
}

void TestFaults::readOnlySessionByEngine()
{
    QFETCH(Behaviour, behaviour);
    QFETCH(bool, connects);
    QFETCH(bool, readOnlyOnServer);
    QFETCH(QString, error);

    CDBData data;
    data.m_strDSN = FaultDataSource(QStringLiteral("kv_fault_ro_%1").arg(qHash(QByteArray(QTest::currentDataTag()))),
                                    behaviour);
    QCOMPARE(data.Connect(), connects);
    QCOMPARE(data.IsConnected(), connects);
    QCOMPARE(CDatabase::OpenConnectionCount(), connects ? 1 : 0);
    QCOMPARE(data.IsReadOnlyOnServer(), readOnlyOnServer);
    QCOMPARE(data.GetDbmsName(), connects ? behaviour.value(QStringLiteral("DbmsName")) : QString());
    QCOMPARE(data.GetLastError(), error);
}

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
