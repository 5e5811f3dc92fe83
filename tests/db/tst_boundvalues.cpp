// Values reach the server as bound parameters, never as SQL text, on each
// engine: empty and non-ASCII values, quotes, and the backslash that
// MariaDB reads as an escape inside a literal. The literal form kept for
// text that cannot carry a parameter is checked against the same rows.

#include "db/dbdata.h"
#include "tests/compare/enginerows.h"
#include "tests/support/testdatabase.h"

#include <QtTest>

using kvtest::Engine;

namespace {

// The rows of the test table: a key and its number.
const QList<QPair<QString, int>> kRows = {
    {QStringLiteral("AMOUNT"), 1},
    {QStringLiteral("BS\\"), 2},
    {QString(), 3},   // the empty string, not NULL
    {QString::fromUtf8("Été €"), 4},
    {QString::fromUtf8("表"), 5},
    {QStringLiteral("AB'C"), 6},
};

void CreateKeys(kvtest::TestDatabase& db)
{
    db.Exec(QStringLiteral("CREATE TABLE keys_t (k VARCHAR(40), n INTEGER)"));
    for (const auto& [strKey, nNumber] : kRows) {
        // The backslash goes in through a parameter-free form each engine
        // reads as it stands.
        QString strLiteral = kvtest::Quoted(strKey);
        if (db.GetEngine() == Engine::MariaDB)
            strLiteral.replace(QLatin1String("\\"), QLatin1String("\\\\"));
        db.Exec(QStringLiteral("INSERT INTO keys_t VALUES (") + strLiteral + QStringLiteral(", ")
                + QString::number(nNumber) + QLatin1Char(')'));
    }
}

// The numbers of the rows whose key equals the value: the server's answer.
QList<int> MatchingRows(CDBData& data, const QString& strCondition, const QString* pParameter)
{
    QList<int> numbers;
    const bool bRead = data.RunStatement(false, [&](CStatement& statement) {
        if (pParameter != nullptr)
            statement.BindParameter(1, *pParameter);
        statement.ExecDirect(QStringLiteral("SELECT n FROM keys_t WHERE ") + strCondition + QStringLiteral(" ORDER BY n"));
        SQLINTEGER nNumber = 0;
        statement.BindLong(1, nNumber);
        while (statement.Fetch())
            numbers.append(int(nNumber));
        return true;
    });
    if (!bRead)
        numbers.append(-1);   // the statement failed
    return numbers;
}

}  // namespace

class TestBoundValues : public QObject
{
    Q_OBJECT

private slots:
    void boundAndLiteral_data();
    void boundAndLiteral();
    void severalParameters_data() { kvtest::AddEngineRows(); }
    void severalParameters();
};

void TestBoundValues::boundAndLiteral_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QList<int>>("rows");

    for (const auto& [pszEngine, engine] : kvtest::AllEngines()) {
        QTest::addRow("%s plain", pszEngine) << engine << "AMOUNT" << QList<int>({1});
        QTest::addRow("%s trailing backslash", pszEngine) << engine << "BS\\" << QList<int>({2});
        QTest::addRow("%s empty", pszEngine) << engine << "" << QList<int>({3});
        QTest::addRow("%s non-ASCII", pszEngine) << engine << QString::fromUtf8("Été €") << QList<int>({4});
        QTest::addRow("%s CJK", pszEngine) << engine << QString::fromUtf8("表") << QList<int>({5});
        QTest::addRow("%s quote", pszEngine) << engine << "AB'C" << QList<int>({6});
        QTest::addRow("%s escaped quote and comment", pszEngine) << engine << "\\' OR 1=1 #" << QList<int>();
        QTest::addRow("%s quote and comment", pszEngine) << engine << "' OR 1=1 --" << QList<int>();
        QTest::addRow("%s absent", pszEngine) << engine << "NOPE" << QList<int>();
    }
}

void TestBoundValues::boundAndLiteral()
{
    QFETCH(Engine, engine);
    QFETCH(QString, value);
    QFETCH(QList<int>, rows);
    KV_CREATE_DATABASE(db, engine);
    CreateKeys(*db);

    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());
    QCOMPARE(MatchingRows(data, QStringLiteral("k = ?"), &value), rows);
    QCOMPARE(data.GetLastError(), QString());
    QCOMPARE(MatchingRows(data, QStringLiteral("k = ") + data.SqlLiteral(value), nullptr), rows);
}

void TestBoundValues::severalParameters()
{
    // Each marker takes its own value, in order; the values outlive the
    // strings they were made from.
    QFETCH(Engine, engine);
    KV_CREATE_DATABASE(db, engine);
    CreateKeys(*db);

    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());
    QList<int> numbers;
    QVERIFY(data.RunStatement(false, [&](CStatement& statement) {
        statement.BindParameter(1, QString::fromUtf8("表"));
        statement.BindParameter(2, QString());
        statement.BindParameter(3, QStringLiteral("BS") + QLatin1Char('\\'));
        statement.ExecDirect(QStringLiteral("SELECT n FROM keys_t WHERE k = ? OR k = ? OR k = ? ORDER BY n"));
        SQLINTEGER nNumber = 0;
        statement.BindLong(1, nNumber);
        while (statement.Fetch())
            numbers.append(int(nNumber));
        return true;
    }));
    QCOMPARE(numbers, QList<int>({2, 3, 5}));
}

QTEST_GUILESS_MAIN(TestBoundValues)
#include "tst_boundvalues.moc"
