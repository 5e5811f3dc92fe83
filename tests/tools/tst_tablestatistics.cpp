// The table statistics generator on the JDE-shaped fixtures, run through the
// application object with the prompt and message target of a test; the JDE
// Julian dates on their own.

#include "tests/tools/toolbed.h"

#include "tools/dateexpression.h"
#include "tools/statdate.h"
#include "tools/statoptions.h"
#include "tools/tablestatistics.h"

#include <QFileInfo>
#include <QRegularExpression>

using kvtest::kProductionSchema;

namespace {

// Tables of the test's own in proddta, each registered.
void AddEdgeTables(tooltest::ToolBed& t)
{
    const QString strNumber = QStringLiteral("NUMERIC(6,0)");
    t.AddRegisteredTable(kProductionSchema, QStringLiteral("F55EMPTY"), QStringLiteral("XXUPMJ ") + strNumber, {},
                         QStringLiteral("F55EMPTY"));
    t.AddRegisteredTable(kProductionSchema, QStringLiteral("F55ZERO"), QStringLiteral("XXUPMJ ") + strNumber,
                         {QStringLiteral("0"), QStringLiteral("0")}, QStringLiteral("F55ZERO"));
    // UPMJ without a prefix is no UPMJ column.
    t.AddRegisteredTable(kProductionSchema, QStringLiteral("F55NOPFX"), QStringLiteral("UPMJ ") + strNumber,
                         {QStringLiteral("125001")}, QStringLiteral("F55NOPFX"));
    t.AddRegisteredTable(kProductionSchema, QStringLiteral("F55DNULL"), QStringLiteral("XXUPMJ DATE"),
                         {QStringLiteral("NULL")}, QStringLiteral("F55DNULL"));
    t.AddRegisteredTable(kProductionSchema, t.Quote() + QStringLiteral("F55-Q") + t.Quote(),
                         QStringLiteral("QQUPMJ ") + strNumber, {QStringLiteral("119250")}, QStringLiteral("F55-Q"));
    t.Reload();
}

}  // namespace

class TestTableStatistics : public QObject
{
    Q_OBJECT

private slots:
    // English unless a test says otherwise, also after a failed one.
    void init() { tooltest::UseLanguage(false); }
    void statistics_data();
    void statistics();
    void rowCountBeyond32Bits();
    void failedCountWritesMinusOne_data() { tooltest::AddServerRows(); }
    void failedCountWritesMinusOne();
    void lostConnectionEndsRun_data();
    void lostConnectionEndsRun();
    void cancelBeforeFirstLine_data() { tooltest::AddServerRows(); }
    void cancelBeforeFirstLine();
    void slowCountStoppedFromOtherThread();
    void cancelDuringColumnSnapshot();
    void allocationFailureShowsDatabaseError();
    void registeredTablesOnSqlite();
    void expressionRefused_data();
    void expressionRefused();
    void julianToDate_data();
    void julianToDate();
    void dateText_data();
    void dateText();
    void fourDigitYearFormat_data();
    void fourDigitYearFormat();
};

void TestTableStatistics::statistics_data()
{
    tooltest::AddServerColumn();
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("dates");   // "TABLE=date text" of the tables that have one
    for (Engine engine : tooltest::kServers) {
        // Julian numbers in F0101 and F0911, a DATE in F4211.
        tooltest::ServerRow(engine, "upmj") << int(STAT_DATE_UPMJ) << QString()
            << QStringList{"F0101=01/02/2025", "F0911=10/04/2025", "F4211=30/06/2025", "F55-Q=07/09/2019"};
        // Tables without the column keep two fields.
        tooltest::ServerRow(engine, "field") << int(STAT_DATE_FIELD) << "ABAN8"
                                                    << QStringList{"F0101=1003"};
        tooltest::ServerRow(engine, "expression") << int(STAT_DATE_FIELD) << " ABAN8 + 1 "
                                                         << QStringList{"F0101=1004"};
        tooltest::ServerRow(engine, "parentheses and quotes")
            << int(STAT_DATE_FIELD) << "COALESCE(ABAN8, 0) + LENGTH('a)')" << QStringList{"F0101=1005"};
        tooltest::ServerRow(engine, "no date") << int(STAT_DATE_NONE) << "ABAN8" << QStringList{};
    }
}

void TestTableStatistics::statistics()
{
    QFETCH(Engine, engine);
    QFETCH(int, mode);
    QFETCH(QString, field);
    QFETCH(QStringList, dates);
    tooltest::UseLanguage(true);
    KV_TOOL_BED(t, engine);
    AddEdgeTables(*t);
    t->SelectOnly({kProductionSchema});
    t->app.SetStatisticsOptions(mode, field);
    t->app.SetStatisticsDateLocale(QLocale(QLocale::French, QLocale::France));
    tooltest::ActingTarget target;

    t->app.RunStatistics(t->strPath, &target, t->prompt);

    const QMap<QString, int> counts = {{"F0101", 3}, {"F0911", 2},    {"F4211", 2},   {"F55EMPTY", 0},
                                       {"F55ZERO", 2}, {"F55NOPFX", 1}, {"F55DNULL", 1}, {"F55-Q", 1}};
    QMap<QString, QString> expected;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const bool bOdd = it.key() == QLatin1String("F55-Q");
        const QString strTable = bOdd ? it.key() : t->Fixture().Spelled(it.key());
        const QString strName = bOdd ? t->Qualified(kProductionSchema, QString()) + t->Quote() + strTable + t->Quote()
                                     : t->Qualified(kProductionSchema, strTable);
        expected.insert(strTable, strName + u'\t' + QString::number(it.value()));
    }
    for (const QString& strDate : dates) {
        const QStringList parts = strDate.split(u'=');
        const QString strTable = parts.at(0) == QLatin1String("F55-Q") ? parts.at(0) : t->Fixture().Spelled(parts.at(0));
        expected[strTable] += u'\t' + parts.at(1);
    }
    QStringList lines = {mode == STAT_DATE_NONE ? QStringLiteral("Table\tNombre de lignes")
                                                : QStringLiteral("Table\tNombre de lignes\tDate de dernière modification")};
    const QStringList tables = t->Tools().m_mapSchemaTables.value(t->Fixture().Key(kProductionSchema));
    for (const QString& strTable : tables) {
        if (expected.contains(strTable))
            lines.append(expected.value(strTable));
    }
    QCOMPARE(lines.size(), counts.size() + 1);
    QCOMPARE(ReadTestFile(t->strPath), tooltest::ResultBytes(lines));
    QVERIFY(t->prompt.m_arrTexts.isEmpty());
    QCOMPARE(t->started, QStringList{QStringLiteral("open ") + t->strPath});

    // Every table steps twice (read, then processed), without counters.
    QCOMPARE(target.sent.first().lParam, qintptr(2 * tables.size()));
    QCOMPARE(target.Steps(), 2 * tables.size());
    for (const auto& message : target.sent) {
        if (message.nMessage == WM_TASK_STEP)
            QVERIFY(message.wParam == -1 && message.lParam == -1);
    }
    QCOMPARE(target.items.size(), counts.size());
    tooltest::UseLanguage(false);
}

void TestTableStatistics::rowCountBeyond32Bits()
{
    KV_TOOL_BED(t, Engine::PostgreSQL);
    // A COUNT(*) found before the built-in one, answering 5 000 000 000 for
    // any table with rows: beyond both 32-bit ranges.
    kvtest::TestDatabase& db = t->Database();
    db.Exec(QStringLiteral("CREATE SCHEMA kvbig"));
    db.Exec(QStringLiteral("CREATE FUNCTION kvbig.bigstep(bigint) RETURNS bigint LANGUAGE sql "
                           "AS 'SELECT 5000000000::bigint'"));
    db.Exec(QStringLiteral("CREATE AGGREGATE kvbig.count(*) (SFUNC = kvbig.bigstep, STYPE = bigint, INITCOND = '0')"));
    db.Exec(QStringLiteral("ALTER DATABASE ") + db.Name() + QStringLiteral(" SET search_path = kvbig, pg_catalog, public"));
    QVERIFY(t->Tools().Connect());
    t->SelectOnly({kProductionSchema});
    t->app.SetStatisticsOptions(STAT_DATE_NONE, QString());

    CTableStatistics statistics(t->Tools(), t->app.GetResultWriter(), t->prompt, t->app.GetStatOptions());
    const kvtest::TestDatabase::Schema& place = t->Fixture().Place(kProductionSchema);
    QCOMPARE(statistics.CountRows(place.strCatalog, place.strOwner, QStringLiteral("f0101")), qint64(5000000000));
    QVERIFY(statistics.WriteTableStatistics(place.strCatalog, place.strOwner, QStringLiteral("f0911"), t->strPath));
    QCOMPARE(ReadTestFile(t->strPath), tooltest::ResultBytes({QStringLiteral("File\tNumber of records"),
                                                              t->Qualified(kProductionSchema, "F0911")
                                                                  + QStringLiteral("\t5000000000")}));
}

void TestTableStatistics::failedCountWritesMinusOne()
{
    QFETCH(Engine, engine);
    tooltest::UseLanguage(false);
    KV_TOOL_BED(t, engine);
    t->SelectOnly({kProductionSchema});
    t->app.SetStatisticsOptions(STAT_DATE_UPMJ, QString());
    t->app.SetStatisticsDateLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    // F0911 disappears between the table list and its count.
    tooltest::ActingTarget target;
    target.onMessage = [&](unsigned nMessage, qintptr, qintptr lParam) -> qintptr {
        if (nMessage == WM_TASK_SETITEM && *reinterpret_cast<const QString*>(lParam) == t->Fixture().Spelled("F0911"))
            t->Database().Exec(QStringLiteral("DROP TABLE ") + t->Fixture().Place(kProductionSchema).strQualifier
                               + QStringLiteral("F0911"));
        return 0;
    };

    t->app.RunStatistics(t->strPath, &target, t->prompt);

    QCOMPARE(ReadTestFile(t->strPath),
             tooltest::ResultBytes({QStringLiteral("File\tNumber of records\tLast modified on date"),
                                    t->Qualified(kProductionSchema, "F0101") + QStringLiteral("\t3\t2/1/2025"),
                                    t->Qualified(kProductionSchema, "F0911") + QStringLiteral("\t-1"),
                                    t->Qualified(kProductionSchema, "F4211") + QStringLiteral("\t2\t6/30/2025")}));
    QVERIFY(t->prompt.m_arrTexts.isEmpty());
    QCOMPARE(t->started.size(), 1);
}

void TestTableStatistics::lostConnectionEndsRun_data()
{
    tooltest::AddServerColumn();
    QTest::addColumn<QString>("reason");   // a pattern of the driver's text
    tooltest::ServerRow(Engine::PostgreSQL, "terminated") << "terminating connection";
    tooltest::ServerRow(Engine::MariaDB, "killed") << kvtest::kMariaDbSessionEndedReasons;
}

// The connection drops in the middle of the run: every later count would
// fail. The run ends there with the driver's reason instead of writing -1
// for every table left, and the file says it is incomplete.
void TestTableStatistics::lostConnectionEndsRun()
{
    QFETCH(Engine, engine);
    QFETCH(QString, reason);
    KV_TOOL_BED(t, engine);
    t->SelectOnly({kProductionSchema});
    t->app.SetStatisticsOptions(STAT_DATE_NONE, QString());
    tooltest::ActingTarget target;
    target.onMessage = [&](unsigned nMessage, qintptr, qintptr lParam) -> qintptr {
        if (nMessage == WM_TASK_SETITEM && *reinterpret_cast<const QString*>(lParam) == t->Fixture().Spelled("F0911"))
            t->EndOtherSessions();
        return 0;
    };

    t->app.RunStatistics(t->strPath, &target, t->prompt);

    QCOMPARE(target.items.last(), t->Fixture().Spelled("F0911"));
    QCOMPARE(t->prompt.m_arrTexts.size(), 1);
    const QString strMessage = t->prompt.m_arrTexts.first();
    QVERIFY2(strMessage.startsWith(QStringLiteral("Error when processing. Database returns the following error :\n'"))
                 && strMessage.contains(QRegularExpression(reason)),
             qPrintable(strMessage));
    QCOMPARE(ReadTestFile(t->strPath),
             tooltest::ResultBytes({QStringLiteral("File\tNumber of records"),
                                    t->Qualified(kProductionSchema, "F0101") + QStringLiteral("\t3"),
                                    QStringLiteral("Process stopped by a database error")}));
    QVERIFY(t->started.isEmpty());
}

void TestTableStatistics::cancelBeforeFirstLine()
{
    QFETCH(Engine, engine);
    tooltest::UseLanguage(false);
    KV_TOOL_BED(t, engine);
    // F0101, proddta's first table, is not registered any more.
    t->Database().Exec(QStringLiteral("DELETE FROM ") + t->Fixture().Place(kvtest::kSystemSchema).strQualifier
                       + QStringLiteral("F9860 WHERE SIOBNM = 'F0101'"));
    t->SelectOnly({kProductionSchema});
    const int nTables = t->Fixture().TablesOf(kProductionSchema, false).size();
    tooltest::ActingTarget target;
    target.onMessage = [&](unsigned nMessage, qintptr, qintptr) -> qintptr {
        return nMessage == WM_TASK_QUERYCANCEL && target.Steps() > nTables ? 1 : 0;
    };

    t->app.RunStatistics(t->strPath, &target, t->prompt);

    QVERIFY(target.items.isEmpty());
    QCOMPARE(ReadTestFile(t->strPath), tooltest::GoldenFile(QStringLiteral("statistics_cancelled_en.csv")));
    QCOMPARE(t->started.size(), 1);
}

// The interface stops the slow count that is running: the run ends at once
// as a cancel, without a line for that table.
void TestTableStatistics::slowCountStoppedFromOtherThread()
{
    KV_TOOL_BED(t, Engine::PostgreSQL);
    t->AddRegisteredTable(kProductionSchema, QStringLiteral("F55SLOW"), QStringLiteral("XXUPMJ NUMERIC(6,0)"),
                          {QStringLiteral("125001")}, QStringLiteral("F55SLOW"));
    t->MakeSlow(kProductionSchema, QStringLiteral("F55SLOW"), 3);
    t->Reload();
    t->SelectOnly({kProductionSchema});
    t->app.SetStatisticsOptions(STAT_DATE_NONE, QString());
    tooltest::CancelFromOtherThread cancel(t->Tools());
    tooltest::ActingTarget target;
    target.onMessage = [&](unsigned nMessage, qintptr, qintptr lParam) -> qintptr {
        if (nMessage == WM_TASK_SETITEM && *reinterpret_cast<const QString*>(lParam) == QLatin1String("f55slow"))
            cancel.StartAfter(300);
        return nMessage == WM_TASK_QUERYCANCEL && cancel.IsCancelled() ? 1 : 0;
    };

    t->app.RunStatistics(t->strPath, &target, t->prompt);

    QVERIFY(cancel.IsCancelled());
    QVERIFY2(cancel.SinceCancel() < 1000, qPrintable(QString::number(cancel.SinceCancel())));
    QCOMPARE(target.items.last(), QStringLiteral("f55slow"));
    QStringList lines = {QStringLiteral("File\tNumber of records")};
    const QMap<QString, int> counts = {{"f0101", 3}, {"f0911", 2}, {"f4211", 2}};
    for (const QString& strTable : target.items.mid(0, target.items.size() - 1))
        lines.append(t->Qualified(kProductionSchema, strTable) + u'\t' + QString::number(counts.value(strTable, -2)));
    lines.append(QStringLiteral("User has cancelled the process"));
    QCOMPARE(ReadTestFile(t->strPath), tooltest::ResultBytes(lines));
    QVERIFY(t->prompt.m_arrTexts.isEmpty());
    QCOMPARE(t->started.size(), 1);
}

// The interface's cancel lands while the schema's columns are read for the
// first table: the run ends as a cancel without a line for that table, as
// when each table's columns were read on their own.
void TestTableStatistics::cancelDuringColumnSnapshot()
{
    tooltest::NoStatementBed t;
    const QString strDsn = QStringLiteral("kv_stats_slow_columns");
    kvtest::OdbcEnvironment::Instance().AddDataSource(
        strDsn, QStringLiteral("Kitvane Fault"),
        {{QStringLiteral("Catalog"), QStringLiteral("F0101:ABAN8=8,ABUPMJ=6/F0911:GLDOC=8,GLUPMJ=6")},
         {QStringLiteral("AllColumnsDelayMs"), QStringLiteral("800")}});
    t.Tools().m_strDSN = strDsn;
    QVERIFY(t.Tools().Connect());
    const QString strKey = QStringLiteral(".");
    t.Tools().m_mapSchemas.insert(strKey, 3);
    t.Tools().m_mapSchemaOwners.insert(strKey, QString());
    t.Tools().m_mapSelected.insert(strKey, true);
    t.app.SetStatisticsOptions(STAT_DATE_UPMJ, QString());
    tooltest::CancelFromOtherThread cancel(t.Tools());
    tooltest::ActingTarget target;
    target.onMessage = [&](unsigned nMessage, qintptr, qintptr lParam) -> qintptr {
        if (nMessage == WM_TASK_SETITEM && *reinterpret_cast<const QString*>(lParam) == QLatin1String("F0101"))
            cancel.StartAfter(200);
        return nMessage == WM_TASK_QUERYCANCEL && cancel.IsCancelled() ? 1 : 0;
    };

    t.app.RunStatistics(t.strPath, &target, t.prompt);

    QVERIFY(cancel.IsCancelled());
    QCOMPARE(target.items, QStringList{QStringLiteral("F0101")});
    QCOMPARE(ReadTestFile(t.strPath), tooltest::ResultBytes({QStringLiteral("User has cancelled the process")}));
    QVERIFY(t.prompt.m_arrTexts.isEmpty());
}

// A statement that cannot be allocated while the table lists are read.
void TestTableStatistics::allocationFailureShowsDatabaseError()
{
    tooltest::NoStatementBed t;
    QVERIFY(t.Tools().Connect());
    const QString strKey = QStringLiteral(".proddta");
    t.Tools().m_mapSchemas.insert(strKey, 3);
    t.Tools().m_mapSchemaOwners.insert(strKey, QStringLiteral("proddta"));
    t.Tools().m_mapSelected.insert(strKey, true);
    t.app.SetStatisticsOptions(STAT_DATE_NONE, QString());

    t.app.RunStatistics(t.strPath, nullptr, t.prompt);

    t.CheckDatabaseErrorShown();
}

// SQLite, the demo's engine, names neither catalogs nor owners: the object
// librarian is found all the same, and only the tables it registers are
// counted.
void TestTableStatistics::registeredTablesOnSqlite()
{
    KV_TOOL_BED(t, Engine::SQLite);
    t->SelectSqliteMain();
    t->app.SetStatisticsOptions(STAT_DATE_NONE, QString());

    t->app.RunStatistics(t->strPath, nullptr, t->prompt);

    const QStringList registered = {"F0101", "F4211", "F0911", "F0006", "F98611", "F9210"};
    QStringList lines = {QStringLiteral("File\tNumber of records")};
    for (const QString& strTable : t->Tools().m_mapSchemaTables.value(tooltest::kSqliteMainKey)) {
        if (registered.contains(strTable))
            lines.append(QStringLiteral("main.") + strTable + u'\t'
                         + t->Database().Scalar(QStringLiteral("SELECT COUNT(*) FROM ") + strTable));
    }
    QCOMPARE(lines.size(), registered.size() + 1);
    QCOMPARE(ReadTestFile(t->strPath), tooltest::ResultBytes(lines));
    QVERIFY(t->prompt.m_arrTexts.isEmpty());
}

void TestTableStatistics::expressionRefused_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("message");
    QTest::newRow("second statement") << "ABAN8) FROM F0101; DROP TABLE F0101; SELECT MAX(ABAN8"
        << "The date column expression (%1) must not contain a semicolon (;).";
    QTest::newRow("trailing") << "ABUPMJ;" << "The date column expression (%1) must not contain a semicolon (;).";
    QTest::newRow("outfile") << "1) INTO OUTFILE '/tmp/x' #"
        << "The date column expression (%1) must not close a parenthesis it has not opened.";
    QTest::newRow("other table") << "1)) FROM other_table --"
        << "The date column expression (%1) must not close a parenthesis it has not opened.";
    QTest::newRow("left open") << "COALESCE(ABUPMJ, 0"
                               << "The date column expression (%1) must close every parenthesis it opens.";
    QTest::newRow("comment") << "a /* b" << "The date column expression (%1) must not contain a comment (--, /*, #).";
    QTest::newRow("quote") << "x'" << "The date column expression (%1) must close every quote it opens.";
}

// Refused before the run, before even the replacement question: the old
// file stays and nothing reaches the database.
void TestTableStatistics::expressionRefused()
{
    QFETCH(QString, field);
    QFETCH(QString, message);
    tooltest::UseLanguage(false);
    PrivateSettings settings;
    CQalmetApp app;
    QStringList started;
    app.SetShellOpener(std::make_unique<RecordingOpener>(started));
    app.SetStatisticsOptions(STAT_DATE_FIELD, field);
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("result.csv"));
    QVERIFY(WriteTestFile(strPath, "kept"));
    ScriptedPrompt prompt;
    prompt.m_arrAnswers = {CPrompt::AnswerYes};

    app.RunStatistics(strPath, nullptr, prompt);

    QCOMPARE(prompt.m_arrTexts, QStringList{message.arg(field)});
    QCOMPARE(prompt.m_arrButtons, QList<CPrompt::Buttons>{CPrompt::Ok});
    QCOMPARE(ReadTestFile(strPath), QByteArray("kept"));
    QVERIFY(started.isEmpty());
}

void TestTableStatistics::julianToDate_data()
{
    QTest::addColumn<qint64>("julian");
    QTest::addColumn<int>("status");
    QTest::addColumn<QDate>("date");
    QTest::newRow("119250") << qint64(119250) << int(CStatDate::Valid) << QDate(2019, 9, 7);
    QTest::newRow("98001") << qint64(98001) << int(CStatDate::Valid) << QDate(1998, 1, 1);
    QTest::newRow("100366 leap year") << qint64(100366) << int(CStatDate::Valid) << QDate(2000, 12, 31);
    QTest::newRow("day 000") << qint64(125000) << int(CStatDate::Valid) << QDate(2024, 12, 31);
    QTest::newRow("past year end") << qint64(119366) << int(CStatDate::Valid) << QDate(2020, 1, 1);
    QTest::newRow("day 999") << qint64(99999) << int(CStatDate::Valid) << QDate(2001, 9, 25);
    QTest::newRow("zero") << qint64(0) << int(CStatDate::Null) << QDate();
    QTest::newRow("negative") << qint64(-125001) << int(CStatDate::Null) << QDate();
    QTest::newRow("beyond 9999") << qint64(9000001) << int(CStatDate::Invalid) << QDate();
    QTest::newRow("huge") << qint64(4294967295LL) << int(CStatDate::Invalid) << QDate();
}

void TestTableStatistics::julianToDate()
{
    QFETCH(qint64, julian);
    QFETCH(int, status);
    QFETCH(QDate, date);
    const CStatDate result = JulianToDate(julian);
    QCOMPARE(int(result.GetStatus()), status);
    QCOMPARE(result.GetDate(), date);
}

void TestTableStatistics::dateText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");
    // The user's short format, always with the century.
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << QDate(1998, 1, 1) << "1/1/1998";
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << QDate(1998, 1, 1) << "01.01.1998";
    QTest::newRow("fr_FR") << QLocale(QLocale::French, QLocale::France) << QDate(2019, 9, 7) << "07/09/2019";
    QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom) << QDate(2000, 12, 31) << "31/12/2000";
    QTest::newRow("ko_KR") << QLocale(QLocale::Korean, QLocale::SouthKorea) << QDate(2024, 3, 5) << "2024. 3. 5.";
    QTest::newRow("C") << QLocale::c() << QDate(1998, 1, 1) << "1 Jan 1998";
}

void TestTableStatistics::dateText()
{
    QFETCH(QLocale, locale);
    QFETCH(QDate, date);
    QFETCH(QString, text);
    QCOMPARE(FormatStatDate(date, locale), text);
}

void TestTableStatistics::fourDigitYearFormat_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("result");
    QTest::newRow("two digits") << "M/d/yy" << "M/d/yyyy";
    QTest::newRow("four digits") << "dd/MM/yyyy" << "dd/MM/yyyy";
    QTest::newRow("one letter") << "d.M.y" << "d.M.yyyy";
    QTest::newRow("year first") << "yy-MM-dd" << "yyyy-MM-dd";
    QTest::newRow("quoted text kept") << "d.MM.yy 'y' 'yy'" << "d.MM.yyyy 'y' 'yy'";
    QTest::newRow("doubled quote") << "d''yy" << "d''yyyy";
}

void TestTableStatistics::fourDigitYearFormat()
{
    QFETCH(QString, format);
    QFETCH(QString, result);
    QCOMPARE(FourDigitYearFormat(format), result);
}

QTEST_GUILESS_MAIN(TestTableStatistics)
#include "tst_tablestatistics.moc"
