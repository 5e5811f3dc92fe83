// A slow statement run on one thread is stopped by a cancel from another
// thread within about a second on each engine; the operation then fails
// with the driver's reason, and the connection serves the next statement.
// A cancel reaches only the statements that exist when it is sent.

#include "db/dbdata.h"
#include "tests/compare/enginerows.h"
#include "tests/support/selectinteger.h"
#include "tests/support/testdatabase.h"

#include <QtTest>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

using kvtest::Engine;

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A view that takes about 3 s (SQLite: far longer) to count.
void CreateSlowView(kvtest::TestDatabase& db)
{
    switch (db.GetEngine()) {
    case Engine::SQLite:
        db.Exec(QStringLiteral("CREATE VIEW slow AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c "
                               "WHERE x < 2000000000) SELECT x FROM c"));
        break;
    case Engine::PostgreSQL:
        db.Exec(QStringLiteral("CREATE VIEW slow AS SELECT 1 AS s FROM pg_sleep(3)"));
        break;
    case Engine::MariaDB:
        db.Exec(QStringLiteral("CREATE VIEW slow AS SELECT SLEEP(3) AS s"));
        break;
    }
}

}  // namespace

class TestCancel : public QObject
{
    Q_OBJECT

private slots:
    void cancelSlowStatement_data();
    void cancelSlowStatement();
    void cancelBetweenStatements_data() { kvtest::AddEngineRows(); }
    void cancelBetweenStatements();
    void cancelBeforeExecution_data() { kvtest::AddEngineRows(); }
    void cancelBeforeExecution();
    void cancelDuringFetches_data() { kvtest::AddEngineRows(); }
    void cancelDuringFetches();
    void cancelDuringCatalogCalls_data();
    void cancelDuringCatalogCalls();
    void cancelWhileConnecting();
};

void TestCancel::cancelSlowStatement_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("reason");   // part of the driver's text

    QTest::newRow("sqlite counted view") << Engine::SQLite << "SELECT COUNT(*) FROM slow" << "interrupted";
    QTest::newRow("postgresql counted view") << Engine::PostgreSQL << "SELECT COUNT(*) FROM slow"
                                             << "canceling statement";
    QTest::newRow("mariadb counted view") << Engine::MariaDB << "SELECT COUNT(*) FROM slow" << "interrupted";
    QTest::newRow("mariadb sleep alone") << Engine::MariaDB << "SELECT SLEEP(3)" << "interrupted";
}

void TestCancel::cancelSlowStatement()
{
    QFETCH(Engine, engine);
    QFETCH(QString, sql);
    QFETCH(QString, reason);
    KV_CREATE_DATABASE(db, engine);
    CreateSlowView(*db);

    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());

    const Clock::time_point start = Clock::now();
    auto result = std::async(std::launch::async, [&] {
        const int nCount = kvtest::SelectInteger(data, sql);
        return std::make_pair(nCount, SecondsSince(start));
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const double dCancelAt = SecondsSince(start);
    data.CancelRunningStatement();
    const auto [nCount, dEndedAt] = result.get();

    qInfo("%s: cancelled at %.2f s, statement ended at %.2f s (%.2f s after the cancel)", qPrintable(sql),
          dCancelAt, dEndedAt, dEndedAt - dCancelAt);
    QCOMPARE(nCount, -1);
    QVERIFY2(dEndedAt - dCancelAt < 1.5, qPrintable(QString::number(dEndedAt - dCancelAt)));
    QVERIFY2(data.GetLastError().contains(reason), qPrintable(data.GetLastError()));

    // The connection serves the next statement.
    QCOMPARE(kvtest::SelectInteger(data, QStringLiteral("SELECT 7")), 7);
    QCOMPARE(data.GetLastError(), QString());
}

void TestCancel::cancelBetweenStatements()
{
    // Nothing runs: the cancel reaches nothing, and the next statement runs
    // to its end (the caller's cancel flag is what stops a run between
    // statements).
    QFETCH(Engine, engine);
    KV_CREATE_DATABASE(db, engine);
    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());
    QCOMPARE(kvtest::SelectInteger(data, QStringLiteral("SELECT 1")), 1);
    data.CancelRunningStatement();
    QCOMPARE(kvtest::SelectInteger(data, QStringLiteral("SELECT 2")), 2);
    QCOMPARE(data.GetLastError(), QString());

    CDBData unconnected;
    unconnected.CancelRunningStatement();   // nothing to reach, nothing breaks
}

void TestCancel::cancelBeforeExecution()
{
    // A cancel that arrives after the statement was allocated but before
    // the driver works on it would be lost by the driver: the statement
    // fails all the same. The next one runs normally.
    QFETCH(Engine, engine);
    KV_CREATE_DATABASE(db, engine);
    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());
    bool bExecuted = false;
    const int nValue = data.RunStatement(-1, [&](CStatement& statement) {
        data.CancelRunningStatement();
        statement.ExecDirect(QStringLiteral("SELECT 3"));
        bExecuted = true;
        return 3;
    });
    QCOMPARE(nValue, -1);
    QVERIFY(!bExecuted);
    QVERIFY2(data.GetLastError().contains(QLatin1String("cancelled")), qPrintable(data.GetLastError()));
    QVERIFY2(data.GetLastError().contains(QLatin1String("HY008")), qPrintable(data.GetLastError()));

    // A catalog call fails the same way, without raising.
    const bool bListed = data.RunStatement(false, [&](CStatement& statement) {
        data.CancelRunningStatement();
        return statement.Tables(QString(), QString(), QString(), QString());
    });
    QVERIFY(!bListed);
    QVERIFY2(data.GetLastError().contains(QLatin1String("cancelled")), qPrintable(data.GetLastError()));

    QCOMPARE(kvtest::SelectInteger(data, QStringLiteral("SELECT 4")), 4);
}

void TestCancel::cancelDuringFetches()
{
    // A cancel between two rows ends the reading as a failure, never as a
    // shorter result taken for the whole.
    QFETCH(Engine, engine);
    KV_CREATE_DATABASE(db, engine);
    db->Exec(QStringLiteral("CREATE TABLE t (n INTEGER)"));
    db->Exec(QStringLiteral("INSERT INTO t VALUES (1), (2), (3)"));
    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());
    int nRows = 0;
    const bool bRead = data.RunStatement(false, [&](CStatement& statement) {
        statement.ExecDirect(QStringLiteral("SELECT n FROM t ORDER BY n"));
        SQLINTEGER n = 0;
        statement.BindLong(1, n);
        while (statement.Fetch()) {
            if (++nRows == 1)
                data.CancelRunningStatement();
        }
        return true;
    });
    QVERIFY(!bRead);
    QCOMPARE(nRows, 1);
    QVERIFY2(!data.GetLastError().isEmpty(), "no failure text");
    QCOMPARE(kvtest::SelectInteger(data, QStringLiteral("SELECT COUNT(*) FROM t")), 3);
}

void TestCancel::cancelDuringCatalogCalls_data()
{
    // The interface connects on a data source of its own and hands the
    // connection over: what the engine allows goes with it.
    // Rows of a query too: the drivers answer a cancel outside an execution
    // by closing the result being fetched.
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<bool>("bTakenOver");
    QTest::addColumn<bool>("bQueryRows");
    for (const auto& [pszName, engine] : kvtest::AllEngines()) {
        QTest::addRow("%s columns", pszName) << engine << false << false;
        QTest::addRow("%s columns handed over", pszName) << engine << true << false;
        QTest::addRow("%s query rows", pszName) << engine << false << true;
    }
}

void TestCancel::cancelDuringCatalogCalls()
{
    // Cancels arriving at any moment of catalog calls and fetches: each
    // reading either returns every row or fails as cancelled, and nothing
    // breaks (no driver is safe against SQLCancel during a fetch, the SQLite
    // driver not during a catalog call either).
    QFETCH(Engine, engine);
    KV_CREATE_DATABASE(db, engine);
    QStringList arrColumns;
    for (int i = 0; i < 60; ++i)
        arrColumns << QStringLiteral("c%1 INTEGER").arg(i);
    db->Exec(QStringLiteral("CREATE TABLE wide (%1)").arg(arrColumns.join(QLatin1String(", "))));
    QStringList arrValues;
    for (int i = 0; i < 60; ++i)
        arrValues << QStringLiteral("(%1)").arg(i);
    db->Exec(QStringLiteral("INSERT INTO wide (c0) VALUES %1").arg(arrValues.join(QLatin1String(", "))));
    QFETCH(bool, bTakenOver);
    QFETCH(bool, bQueryRows);
    CDBData connecting;
    connecting.m_strDSN = db->Dsn();
    QVERIFY2(connecting.Connect(), qPrintable(connecting.GetLastError()));
    CDBData taking;
    if (bTakenOver)
        taking.TakeConnection(connecting);
    CDBData& data = bTakenOver ? taking : connecting;
    if (engine == Engine::MariaDB)   // else every database of the server is searched
        data.m_strSchema = db->Name() + QLatin1Char('.');

    std::atomic<bool> bStop{false};
    std::thread canceller([&] {
        // Paced over a listing's length, so that cancels land before,
        // during and after the catalog call, and some listings end.
        for (int nPause = 0; !bStop; nPause = (nPause + 37) % 400) {
            data.CancelRunningStatement();
            std::this_thread::sleep_for(std::chrono::microseconds(nPause));
        }
    });
    const auto stopCanceller = qScopeGuard([&] {
        bStop = true;
        if (canceller.joinable())
            canceller.join();
    });
    int nListed = 0;
    int nCancelled = 0;
    // Sixty rows either way: the columns of the table, or its rows.
    const auto readSixty = [&](size_t& nRead) {
        if (!bQueryRows) {
            CColumnInfoArray columns;
            const bool bRead = data.LoadColumns(QStringLiteral("wide"), columns);
            nRead = columns.size();
            return bRead;
        }
        nRead = 0;
        return data.RunStatement(false, [&](CStatement& statement) {
            statement.ExecDirect(QStringLiteral("SELECT c0 FROM wide"));
            SQLINTEGER n = 0;
            statement.BindLong(1, n);
            while (statement.Fetch())
                ++nRead;
            return true;
        });
    };
    for (int i = 0; i < 300; ++i) {
        size_t nRead = 0;
        if (readSixty(nRead)) {
            QCOMPARE(nRead, size_t(60));
            ++nListed;
        } else {
            QVERIFY2(data.GetLastError().contains(QLatin1String("cancelled")), qPrintable(data.GetLastError()));
            ++nCancelled;
        }
    }
    bStop = true;
    canceller.join();
    QVERIFY(nCancelled > 0);
    size_t nRead = 0;
    QVERIFY2(readSixty(nRead), qPrintable(data.GetLastError()));
    QCOMPARE(nRead, size_t(60));
    qInfo("%d of 300 readings completed, %d cancelled", nListed, nCancelled);
}

void TestCancel::cancelWhileConnecting()
{
    // A cancel from another thread may arrive while the connection is being
    // replaced: it must neither reach a closed connection nor break the new
    // one. Connecting runs the read-only session statement, which a cancel
    // may stop: the connection then fails for that reason, never silently.
    KV_CREATE_DATABASE(db, Engine::SQLite);
    CDBData data;
    data.m_strDSN = db->Dsn();
    std::atomic<bool> bStop{false};
    std::thread canceller([&] {
        while (!bStop)
            data.CancelRunningStatement();
    });
    // Stopped on every way out, a failed check included.
    const auto stopCanceller = qScopeGuard([&] {
        bStop = true;
        if (canceller.joinable())
            canceller.join();
    });
    for (int i = 0; i < 20; ++i) {
        if (!data.Connect()) {
            QVERIFY2(data.GetLastError().contains(QLatin1String("cancelled")), qPrintable(data.GetLastError()));
            QVERIFY(!data.IsConnected());
        }
    }
    bStop = true;
    canceller.join();
    QVERIFY2(data.Connect(), qPrintable(data.GetLastError()));
    QVERIFY(data.IsReadOnlyOnServer());
    QCOMPARE(kvtest::SelectInteger(data, QStringLiteral("SELECT 5")), 5);
}

QTEST_GUILESS_MAIN(TestCancel)
#include "tst_cancel.moc"
