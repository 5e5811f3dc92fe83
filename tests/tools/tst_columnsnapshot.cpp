// The columns of a whole run read with one catalog call per side and
// schema: the same result files and exports as a catalog call per table, a
// number of catalog calls that does not grow with the tables, and the
// reading table by table wherever a driver refuses or garbles the whole one.

#include "tests/tools/toolbed.h"

#include "compare/compareexport.h"
#include "compare/compareresultfile.h"
#include "compare/comparestatus.h"
#include "compare/exportfile.h"
#include "compare/tablecomparison.h"
#include "compare/zembraparam.h"
#include "db/columnsnapshot.h"
#include "tests/support/odbctrace.h"
#include "tools/statoptions.h"

#include <QBuffer>
#include <QRegularExpression>

#include <chrono>
#include <thread>

using kvtest::kCrpSchema;
using kvtest::kPatternSchema;
using kvtest::kProductionSchema;

namespace {

// Every table and field status in the exports.
CZembraParam ExportEverything(bool bCaseSensitive)
{
    CZembraParam options;
    for (int nOption = OPT_EXPORT_TABLES_SAME; nOption <= OPT_EXPORT_FIELDS_DIFFERENT; ++nOption)
        options.SetOption(nOption, true);
    options.SetOption(OPT_CASE_SENSITIVE, bCaseSensitive);
    options.SetOption(OPT_COMPARE_SQL_TYPES, true);
    return options;
}

// What a table comparison leaves: its result file and its exports (the
// table export, then the field export of each different table).
struct ComparisonOutput
{
    QByteArray results;
    QByteArray exports;
    QStringList tables;
};

QByteArray ExportBytes(const std::function<bool(CExportFile&)>& write)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CExportFile file(buffer);
    return write(file) ? buffer.data() : QByteArray("<export failed>");
}

// Throws with the failure when the run does not end. nPartRows: about the
// most column rows a catalog call of a snapshot reads (0: all; -1: the
// engine's own).
ComparisonOutput Compare(CDBData& left, CDBData& right, const CZembraParam& options, bool bSnapshots,
                         int nPartRows = -1)
{
    left.m_bColumnSnapshots = bSnapshots;
    right.m_bColumnSnapshots = bSnapshots;
    left.m_nSnapshotPartRows = nPartRows;
    right.m_nSnapshotPartRows = nPartRows;
    CCompareResultFile results(QStringLiteral("BFDB"));
    CTableComparison comparison(left, right, options, results);
    if (!comparison.CompareTables(nullptr))
        throw std::runtime_error("comparison failed: " + comparison.GetFailure().GetMessage().toStdString());
    ComparisonOutput output;
    QFile* pFile = results.GetFile();
    if (pFile == nullptr || !pFile->seek(0))
        throw std::runtime_error("no result file");
    output.results = pFile->readAll();
    output.tables = comparison.m_astrCompareTables;
    const QString strLeft = QStringLiteral("left");
    const QString strRight = QStringLiteral("right");
    output.exports = ExportBytes(
        [&](CExportFile& file) { return WriteTableExport(file, options, comparison, strLeft, strRight); });
    for (int i = 0; i < comparison.m_astrCompareTables.size(); ++i) {
        if (comparison.GetTableStatus(i) == CMP_DIFFERENT)
            output.exports += ExportBytes([&](CExportFile& file) {
                return WriteFieldExport(file, options, comparison, i, true, strLeft, strRight);
            });
    }
    return output;
}

// The name with the letter case the engine's catalog does not give it
// (PostgreSQL folds the fixture's names to lower case, MariaDB keeps them).
QString OtherCase(kvtest::Engine engine, const QString& strName)
{
    return engine == Engine::PostgreSQL ? strName.toUpper() : strName.toLower();
}

// A result file of the tools as text (UTF-16 LE after the byte-order mark).
QString ResultText(const QByteArray& bytes)
{
    return bytes.size() < 2 ? QString()
                            : QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                                 (bytes.size() - 2) / 2);
}

int ColumnCatalogCalls(const QString& strTrace)
{
    return kvtest::ReadOdbcTrace(strTrace).callsByFunction.value(QStringLiteral("SQLColumnsW"));
}

// Whether a catalog search pattern matches a name: '_' one character, '%'
// any run of them, the escape taking the next character as itself.
bool PatternMatches(const QString& strPattern, const QString& strName, const QString& strEscape)
{
    QString strRegex;
    for (qsizetype i = 0; i < strPattern.size(); ++i) {
        if (!strEscape.isEmpty() && QStringView(strPattern).mid(i).startsWith(strEscape)
            && i + strEscape.size() < strPattern.size()) {
            i += strEscape.size();
            strRegex += QRegularExpression::escape(strPattern.mid(i, 1));
        } else if (strPattern.at(i) == u'_') {
            strRegex += QLatin1Char('.');
        } else if (strPattern.at(i) == u'%') {
            strRegex += QStringLiteral(".*");
        } else {
            const qsizetype nUnits = strPattern.at(i).isHighSurrogate() ? 2 : 1;
            strRegex += QRegularExpression::escape(strPattern.mid(i, nUnits));
            i += nUnits - 1;
        }
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(strRegex),
                              QRegularExpression::DotMatchesEverythingOption)
        .match(strName)
        .hasMatch();
}

}  // namespace

class TestColumnSnapshot : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init() { tooltest::UseLanguage(false); }
    void sameOutputsAsTableByTable_data();
    void sameOutputsAsTableByTable();
    void catalogCallsIndependentOfTables_data();
    void catalogCallsIndependentOfTables();
    void untrustedWholeReadingFallsBack_data();
    void untrustedWholeReadingFallsBack();
    void tableNameParts_data();
    void tableNameParts();
    void cancelledWholeReadingIsNotKept();

private:
    QString m_strTrace;
    QTemporaryDir m_tmp;   // the result files
};

void TestColumnSnapshot::initTestCase()
{
    try {
        m_strTrace = kvtest::OdbcEnvironment::Instance().StartTrace();
        qputenv("TMP", QFile::encodeName(m_tmp.path()));
    } catch (const std::exception& error) {
        QFAIL(error.what());
    }
}

void TestColumnSnapshot::cleanupTestCase()
{
    kvtest::OdbcEnvironment::Instance().StopTrace();
}

void TestColumnSnapshot::sameOutputsAsTableByTable_data()
{
    tooltest::AddServerColumn();
    QTest::newRow("sqlite") << Engine::SQLite;
    QTest::newRow("postgresql") << Engine::PostgreSQL;
    QTest::newRow("mariadb") << Engine::MariaDB;
}

void TestColumnSnapshot::sameOutputsAsTableByTable()
{
    QFETCH(Engine, engine);
    KV_TOOL_BED(t, engine);
    const kvtest::JdeFixture& fixture = t->Fixture();
    if (engine != Engine::SQLite) {
        // Spellings that differ by letter case only, on one side (F0101 and
        // f0101 in proddta) and between the sides (F0911 against f0911).
        const QString strQuote = t->Quote();
        auto create = [&](const QString& strSchema, const QString& strName, const QString& strColumns) {
            t->Database().Exec(QStringLiteral("CREATE TABLE ") + fixture.Place(strSchema).strQualifier + strQuote
                               + strName + strQuote + QStringLiteral(" (") + strColumns + QLatin1Char(')'));
        };
        create(kProductionSchema, OtherCase(engine, QStringLiteral("F0101")),
               QStringLiteral("ABAN8 NUMERIC(8), ABEXTRA CHAR(5)"));
        create(kCrpSchema, OtherCase(engine, QStringLiteral("F0911")),
               QStringLiteral("GLDOC NUMERIC(8), GLAA NUMERIC(17, 2), GLNEW CHAR(3)"));
        // The statistics' date column in a letter case of its own, after
        // a look-alike that is not it (a registered name, which the
        // statistics count).
        const QString strMixed = fixture.Spelled(QStringLiteral("F4211"));
        create(kPatternSchema, strMixed,
               QStringLiteral("ZZAN8 NUMERIC(8), ") + strQuote + QStringLiteral("ZZXUpMj") + strQuote
                   + QStringLiteral(" NUMERIC(6), ") + strQuote + QStringLiteral("ZZuPmJ") + strQuote
                   + QStringLiteral(" NUMERIC(6)"));
        t->Database().Exec(QStringLiteral("INSERT INTO ") + fixture.Place(kPatternSchema).strQualifier + strQuote
                           + strMixed + strQuote + QStringLiteral(" VALUES (1, 120001, 121032)"));
    }
    CDBData& left = t->bed.data;
    CDBData right;
    right.m_strDSN = left.m_strDSN;
    QVERIFY(right.Connect());

    // The schemas side by side: with the view of proddta, with the schema
    // whose name as a pattern also matches a look-alike (prod_dta and
    // prodxdta), and under both name rules.
    struct SchemaPair
    {
        QString strLeft;
        QString strRight;
        bool bCaseSensitive;
    };
    const SchemaPair pairs[] = {{kProductionSchema, kCrpSchema, false},
                                {kProductionSchema, kCrpSchema, true},
                                {kPatternSchema, kProductionSchema, false}};
    for (const SchemaPair& pair : pairs) {
        left.m_strSchema = fixture.Key(pair.strLeft);
        right.m_strSchema = fixture.Key(pair.strRight);
        kvtest::ListRecorder list;
        QVERIFY(left.LoadTableList(list));
        QVERIFY(right.LoadTableList(list));
        const CZembraParam options = ExportEverything(pair.bCaseSensitive);
        try {
            const ComparisonOutput byTable = Compare(left, right, options, false);
            const ComparisonOutput whole = Compare(left, right, options, true, 0);
            // In parts of a few column rows by name prefix, as on a large schema.
            const ComparisonOutput inParts = Compare(left, right, options, true, 8);
            const QString strCase = pair.strLeft + QStringLiteral(" / ") + pair.strRight;
            QVERIFY2(whole.results == byTable.results, qPrintable(strCase));
            QVERIFY2(whole.exports == byTable.exports, qPrintable(strCase));
            QVERIFY2(inParts.results == byTable.results, qPrintable(strCase));
            QVERIFY2(inParts.exports == byTable.exports, qPrintable(strCase));
            QVERIFY(whole.exports.contains(fixture.Spelled("V0101").toUtf8()) || pair.strLeft != kProductionSchema);
        } catch (const std::exception& error) {
            QFAIL(error.what());
        }
    }

    // The tools, over every schema of the environment.
    if (engine == Engine::SQLite)
        t->SelectSqliteMain();
    auto runTools = [&](bool bSnapshots, int nPartRows) {
        t->Tools().m_bColumnSnapshots = bSnapshots;
        t->Tools().m_nSnapshotPartRows = nPartRows;
        QByteArray outputs;
        for (const bool bByAlias : {true, false}) {
            QFile::remove(t->strPath);
            t->app.RunDecimalUpdate(t->strPath, bByAlias, bByAlias ? QStringLiteral("UPMJ") : QStringLiteral("AMOUNT"),
                                    true, 2, nullptr, t->prompt);
            outputs += ReadTestFile(t->strPath);
        }
        QFile::remove(t->strPath);
        t->app.SetStatisticsOptions(STAT_DATE_UPMJ, QString());
        t->app.RunStatistics(t->strPath, nullptr, t->prompt);
        return outputs + ReadTestFile(t->strPath);
    };
    const QByteArray byTable = runTools(false, -1);
    const QByteArray whole = runTools(true, 0);
    QCOMPARE(whole, byTable);
    QCOMPARE(runTools(true, 8), byTable);
    QVERIFY(t->prompt.m_arrTexts.isEmpty());
    // Runs that found columns: statements written, dates read from UPMJ.
    const QString strText = ResultText(whole);
    QVERIFY(strText.count(QStringLiteral("UPDATE ")) >= 4);
    QVERIFY(strText.contains(QRegularExpression(QStringLiteral("\\t\\d+\\t\\S+"))));
    // The date of the column in its own letter case (Julian 121032: 1 Feb 2021).
    if (engine != Engine::SQLite)
        QVERIFY2(strText.contains(QRegularExpression(QStringLiteral("prod_dta\\W*\\.\\W*")
                                                     + fixture.Spelled(QStringLiteral("F4211"))
                                                     + QStringLiteral("\\W*\\t1\\t[^\\t\\r\\n]*2021"))),
                 qPrintable(strText));
}

void TestColumnSnapshot::catalogCallsIndependentOfTables_data()
{
    sameOutputsAsTableByTable_data();
}

void TestColumnSnapshot::catalogCallsIndependentOfTables()
{
    QFETCH(Engine, engine);
    // Catalog calls of a comparison of proddta with itself, a decimal update
    // by alias and the statistics with UPMJ dates, for two sizes of proddta.
    QList<QList<int>> calls;
    for (const int nTables : {20, 200}) {
        kvtest::JdeOptions options;
        options.nExtraTables = nTables;
        options.bRegisterExtraTables = true;
        KV_TOOL_BED(t, engine, options);
        CDBData& left = t->bed.data;
        CDBData right;
        right.m_strDSN = left.m_strDSN;
        QVERIFY(right.Connect());
        left.m_strSchema = t->Fixture().Key(kProductionSchema);
        right.m_strSchema = left.m_strSchema;
        kvtest::ListRecorder list;
        QVERIFY(left.LoadTableList(list));
        QVERIFY(right.LoadTableList(list));
        QVERIFY(left.m_arrTables.size() > nTables);
        if (engine == Engine::SQLite)
            t->SelectSqliteMain();
        else
            t->SelectOnly({kProductionSchema});

        QList<int> counts;
        int nBefore = ColumnCatalogCalls(m_strTrace);
        CCompareResultFile results(QStringLiteral("BFDB"));
        const CZembraParam defaults;
        CTableComparison comparison(left, right, defaults, results);
        QVERIFY(comparison.CompareTables(nullptr));
        QCOMPARE(comparison.GetTableCount(CMP_SAME), int(left.m_arrTables.size()));
        counts.append(ColumnCatalogCalls(m_strTrace) - nBefore);

        nBefore = ColumnCatalogCalls(m_strTrace);
        t->app.RunDecimalUpdate(t->strPath, true, QStringLiteral("UPMJ"), true, 2, nullptr, t->prompt);
        QVERIFY(ResultText(ReadTestFile(t->strPath)).count(QStringLiteral("UPDATE ")) > nTables);
        counts.append(ColumnCatalogCalls(m_strTrace) - nBefore);

        QFile::remove(t->strPath);
        nBefore = ColumnCatalogCalls(m_strTrace);
        t->app.SetStatisticsOptions(STAT_DATE_UPMJ, QString());
        t->app.RunStatistics(t->strPath, nullptr, t->prompt);
        counts.append(ColumnCatalogCalls(m_strTrace) - nBefore);
        QVERIFY(t->prompt.m_arrTexts.isEmpty());
        calls.append(counts);
    }
    QCOMPARE(calls.at(1), calls.at(0));
    // One per side for the comparison; the tools read the tables of one
    // schema: the decimal update every column, the statistics the names
    // ending in MJ in each of their four letter cases, in one call where the
    // catalog ignores letter case.
    const int nStatisticsCalls = engine == Engine::MariaDB ? 1 : 4;
    QCOMPARE(calls.at(0), (QList<int>{2, 1, nStatisticsCalls}));
}

void TestColumnSnapshot::untrustedWholeReadingFallsBack_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("expectedCalls");
    // A good answer: one call per side. Otherwise the left side's refused or
    // garbled call, then one per table it shares with the right.
    QTest::newRow("right answer") << QString() << 2;
    QTest::newRow("refused") << QStringLiteral("refuse") << 4;
    QTest::newRow("rows of a table apart") << QStringLiteral("scatter") << 4;
    QTest::newRow("rows out of ordinal order") << QStringLiteral("reverse") << 4;
}

void TestColumnSnapshot::untrustedWholeReadingFallsBack()
{
    QFETCH(QString, answer);
    QFETCH(int, expectedCalls);
    const QString strLeftDsn = QStringLiteral("kv_snapshot_left_") + (answer.isEmpty() ? QStringLiteral("good") : answer);
    kvtest::OdbcEnvironment::Instance().AddDataSource(
        strLeftDsn, QStringLiteral("Kitvane Fault"),
        {{QStringLiteral("Catalog"), QStringLiteral("F0101:ABAN8=8,ABALPH=40/F0911:GLDOC=8,GLAA=15/F4211:SDDOCO=8")},
         {QStringLiteral("AllColumns"), answer}});
    kvtest::OdbcEnvironment::Instance().AddDataSource(
        QStringLiteral("kv_snapshot_right"), QStringLiteral("Kitvane Fault"),
        {{QStringLiteral("Catalog"), QStringLiteral("F0006:MCMCU=12/F0101:ABAN8=8,ABALPH=40/F0911:GLDOC=8,GLAA=17,GLNEW=2")}});
    CDBData left;
    CDBData right;
    left.m_strDSN = strLeftDsn;
    right.m_strDSN = QStringLiteral("kv_snapshot_right");
    QVERIFY(left.Connect());
    QVERIFY(right.Connect());
    kvtest::ListRecorder list;
    QVERIFY2(left.LoadTableList(list), qPrintable(left.GetLastError()));
    QVERIFY2(right.LoadTableList(list), qPrintable(right.GetLastError()));

    const CZembraParam options = ExportEverything(false);
    try {
        const ComparisonOutput byTable = Compare(left, right, options, false);
        const int nBefore = ColumnCatalogCalls(m_strTrace);
        const ComparisonOutput whole = Compare(left, right, options, true);
        const int nCalls = ColumnCatalogCalls(m_strTrace) - nBefore;
        QCOMPARE(whole.results, byTable.results);
        QCOMPARE(whole.exports, byTable.exports);
        QCOMPARE(nCalls, expectedCalls);
    } catch (const std::exception& error) {
        QFAIL(error.what());
    }

    // And the comparison is right, not merely the same twice.
    CCompareResultFile results(QStringLiteral("BFDB"));
    CTableComparison comparison(left, right, options, results);
    QVERIFY(comparison.CompareTables(nullptr));
    QCOMPARE(comparison.m_astrCompareTables,
             (QStringList{QStringLiteral("F0006"), QStringLiteral("F0101"), QStringLiteral("F0911"),
                          QStringLiteral("F4211")}));
    QList<int> statuses;
    for (int i = 0; i < 4; ++i)
        statuses.append(comparison.GetTableStatus(i));
    QCOMPARE(statuses, (QList<int>{CMP_RIGHT_ONLY, CMP_SAME, CMP_DIFFERENT, CMP_LEFT_ONLY}));
    qint64 nPosition = 0;
    int nCount = 0;
    qint16 nNameLen = 0;
    qint16 nTypeLen = 0;
    QVERIFY(comparison.GetTableColumns(2, nPosition, nCount, nNameLen, nTypeLen));
    QList<int> fields;
    for (int i = 0; i < nCount; ++i)
        fields.append(comparison.GetColumnStatus(i, nPosition, nNameLen, nTypeLen));
    QCOMPARE(fields, (QList<int>{CMP_SAME, CMP_DIFFERENT, CMP_RIGHT_ONLY}));
}

void TestColumnSnapshot::tableNameParts_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("maxTables");
    QTest::addColumn<QString>("escape");
    QTest::addColumn<int>("expectedParts");
    QStringList jde;
    for (int i = 1; i <= 230; ++i)
        jde.append(QStringLiteral("F55%1").arg(i * 7, 5, 10, QLatin1Char('0')));
    jde += {QStringLiteral("F0101"), QStringLiteral("F0911"), QStringLiteral("F55"), QStringLiteral("V0101")};
    // A name is a prefix of others; pattern characters in names; a
    // character outside the BMP where the split falls.
    const QStringList awkward = {QStringLiteral("A"),      QStringLiteral("AB"),      QStringLiteral("A_B"),
                                 QStringLiteral("A%"),     QStringLiteral("AC"),
                                 QStringLiteral("B\U0001F600a"), QStringLiteral("B\U0001F600b"),
                                 QStringLiteral("B\U0001F601"),  QStringLiteral("b")};
    const QString strBackslash = QStringLiteral("\\");
    QTest::newRow("few: one call for all") << jde << 1000 << strBackslash << 1;
    QTest::newRow("JDE names in parts of 50") << jde << 50 << strBackslash << -1;
    QTest::newRow("awkward names one by one") << awkward << 1 << strBackslash << int(awkward.size());
    QTest::newRow("awkward names in pairs") << awkward << 2 << strBackslash << -1;
    QTest::newRow("a name holding the escape: one call") << (awkward + QStringList{QStringLiteral("A\\x")}) << 2
                                                         << strBackslash << 1;
    QTest::newRow("no escape, a pattern character in a name: one call") << awkward << 2 << QString() << 1;
    QTest::newRow("no escape, plain names") << jde << 50 << QString() << -1;
    QTest::newRow("none") << QStringList() << 10 << strBackslash << 1;
}

void TestColumnSnapshot::tableNameParts()
{
    QFETCH(QStringList, names);
    QFETCH(int, maxTables);
    QFETCH(QString, escape);
    QFETCH(int, expectedParts);
    std::sort(names.begin(), names.end());
    const QStringList patterns = TableNameParts(names, maxTables, escape);
    if (expectedParts >= 0)
        QCOMPARE(patterns.size(), expectedParts);
    if (expectedParts != 1)
        QVERIFY(patterns.size() >= (names.size() + maxTables - 1) / maxTables);
    if (patterns.size() == 1 && names.size() <= maxTables)
        QVERIFY(patterns.first().isNull());   // the whole schema
    QList<int> perPart(patterns.size(), 0);
    for (const QString& strName : std::as_const(names)) {
        QList<int> matching;
        for (int i = 0; i < patterns.size(); ++i) {
            if (patterns.at(i).isNull() || PatternMatches(patterns.at(i), strName, escape))
                matching.append(i);
        }
        QVERIFY2(matching.size() == 1, qPrintable(strName + QStringLiteral(": ") + patterns.join(u' ')));
        ++perPart[matching.first()];
    }
    for (int i = 0; i < patterns.size(); ++i) {
        QVERIFY2(perPart.at(i) <= maxTables || patterns.size() == 1, qPrintable(patterns.at(i)));
        // No pattern holds half a surrogate pair.
        QVERIFY(!patterns.at(i).isEmpty() || patterns.at(i).isNull());
        QVERIFY(!patterns.at(i).endsWith(QChar(0xD83D) + QStringLiteral("%")));
    }
}


// A cancel that lands during the schema's catalog call fails that lookup, as
// it fails a table's own call; the table is not read another way meanwhile
// (a tool would write its line before it stops), and the next lookup reads
// the schema again.
void TestColumnSnapshot::cancelledWholeReadingIsNotKept()
{
    const QString strDsn = QStringLiteral("kv_snapshot_slow");
    kvtest::OdbcEnvironment::Instance().AddDataSource(
        strDsn, QStringLiteral("Kitvane Fault"),
        {{QStringLiteral("Catalog"), QStringLiteral("F0101:ABAN8=8,ABALPH=40/F0911:GLDOC=8,GLAA=15")},
         {QStringLiteral("AllColumnsDelayMs"), QStringLiteral("800")}});
    CDBData data;
    data.m_strDSN = strDsn;
    QVERIFY(data.Connect());
    const CDBData::CColumnSnapshotScope scope(data);
    QStringList names;
    const auto collect = [&](const CColumnInfo& column) {
        names.append(column.m_strName);
        return true;
    };
    const int nBefore = ColumnCatalogCalls(m_strTrace);

    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        data.CancelRunningStatement();
    });
    const bool bRead = data.ReadColumns(QString(), QString(), QStringLiteral("F0101"), collect);
    canceller.join();
    QVERIFY(!bRead);
    QVERIFY(data.LastFailureCancelled());
    QVERIFY2(data.GetLastError().contains(QLatin1String("cancelled")), qPrintable(data.GetLastError()));
    QVERIFY(names.isEmpty());
    QCOMPARE(ColumnCatalogCalls(m_strTrace) - nBefore, 1);

    // Not cancelled: the whole schema once, for both tables.
    QVERIFY2(data.ReadColumns(QString(), QString(), QStringLiteral("F0911"), collect), qPrintable(data.GetLastError()));
    QVERIFY(data.ReadColumns(QString(), QString(), QStringLiteral("F0101"), collect));
    QCOMPARE(names, (QStringList{"GLDOC", "GLAA", "ABAN8", "ABALPH"}));
    QVERIFY(!data.LastFailureCancelled());
    QCOMPARE(ColumnCatalogCalls(m_strTrace) - nBefore, 2);
}

QTEST_GUILESS_MAIN(TestColumnSnapshot)
#include "tst_columnsnapshot.moc"
