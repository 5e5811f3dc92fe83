// The decimal-places UPDATE generator on the JDE-shaped fixtures, run as the
// wait dialog runs it: through the application object, with the prompt and
// the message target of a test.

#include "tests/tools/toolbed.h"

#include "tests/compare/filesizelimit.h"
#include "tools/decimalupdate.h"
#include "tools/registeredtables.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

using kvtest::kCrpSchema;
using kvtest::kPatternSchema;
using kvtest::kProductionSchema;

class TestDecimalUpdate : public QObject
{
    Q_OBJECT

private slots:
    // English unless a test says otherwise, also after a failed one.
    void init() { tooltest::UseLanguage(false); }
    void aliasMode_data();
    void aliasMode();
    void classMode_data() { tooltest::AddServerRows(); }
    void classMode();
    void demoShapeOnSqlite_data();
    void demoShapeOnSqlite();
    void columnRules_data() { tooltest::AddServerRows(); }
    void columnRules();
    void blankEdgedColumnNames();
    void schemaBlocks_data();
    void schemaBlocks();
    void nothingToUpdate_data();
    void nothingToUpdate();
    void classLiteral_data();
    void classLiteral();
    void classWithoutAliases_data() { tooltest::AddServerRows(); }
    void classWithoutAliases();
    void classWithoutDictionary_data();
    void classWithoutDictionary();
    void dictionaryOfEarlierSourceForgotten_data();
    void dictionaryOfEarlierSourceForgotten();
    void classQueryCancelled_data();
    void classQueryCancelled();
    void classQueryStoppedFromOtherThread();
    void olderObjectLibrarian_data();
    void olderObjectLibrarian();
    void cancel_data();
    void cancel();
    void listingFailureStopsRun_data();
    void listingFailureStopsRun();
    void lineFailureStopsRun();
    void fullDiskStopsRun();
    void allocationFailureShowsDatabaseError();
    void registeredSetIgnoresCase();
    void databaseErrorText();
};

void TestDecimalUpdate::aliasMode_data()
{
    tooltest::AddServerColumn();
    QTest::addColumn<bool>("multiply");
    QTest::addColumn<int>("power");
    QTest::addColumn<QString>("operand");
    for (Engine engine : tooltest::kServers) {
        tooltest::ServerRow(engine, "multiply 1") << true << 1 << "*10";
        tooltest::ServerRow(engine, "divide 1") << false << 1 << "/10";
        tooltest::ServerRow(engine, "multiply 9") << true << 9 << "*1000000000";
        tooltest::ServerRow(engine, "divide 9") << false << 9 << "/1000000000";
    }
}

void TestDecimalUpdate::aliasMode()
{
    QFETCH(Engine, engine);
    QFETCH(bool, multiply);
    QFETCH(int, power);
    QFETCH(QString, operand);
    tooltest::UseLanguage(false);
    KV_TOOL_BED(t, engine);
    t->SelectOnly({kProductionSchema});
    const int nTables = t->Fixture().TablesOf(kProductionSchema, false).size();
    tooltest::ActingTarget target;

    // The alias as typed: padded and in lower case.
    t->app.RunDecimalUpdate(t->strPath, true, QStringLiteral("  upmj "), multiply, power, &target, t->prompt);

    auto line = [&](const char* pszTable, const char* pszColumn) {
        return tooltest::UpdateLine(t->Qualified(kProductionSchema, QLatin1String(pszTable)),
                                    t->Fixture().Spelled(QLatin1String(pszColumn)), operand);
    };
    QCOMPARE(ReadTestFile(t->strPath), tooltest::ResultBytes({line("F0101", "ABUPMJ"), line("F0911", "GLUPMJ"),
                                                              line("F4211", "SDUPMJ")}));
    QVERIFY(t->prompt.m_arrTexts.isEmpty());
    QCOMPARE(t->started, QStringList{QStringLiteral("open ") + t->strPath});

    // Twice the tables: one step per table read, one per table processed;
    // only the registered tables are named.
    QCOMPARE(target.sent.first().nMessage, unsigned(WM_TASK_SETRANGE));
    QCOMPARE(target.sent.first().lParam, qintptr(2 * nTables));
    QCOMPARE(target.Steps(), 2 * nTables);
    QCOMPARE(target.items, t->Tools().m_mapSchemaTables.value(t->Fixture().Key(kProductionSchema)).filter(
                               QRegularExpression(QStringLiteral("^(F0101|F4211|F0911)$"),
                                                  QRegularExpression::CaseInsensitiveOption)));
    const auto& last = target.sent.at(target.sent.size() - 2);
    QCOMPARE(last.nMessage, unsigned(WM_TASK_STEP));
    QCOMPARE(last.wParam, qintptr(3));
    QCOMPARE(last.lParam, qintptr(nTables));
    QCOMPARE(target.sent.last().nMessage, unsigned(WM_TASK_QUERYCANCEL));
}

void TestDecimalUpdate::classMode()
{
    QFETCH(Engine, engine);
    KV_TOOL_BED(t, engine);
    t->SelectOnly({kProductionSchema});

    // AMOUNT holds AA, AEXP and NULLATTR.
    t->app.RunDecimalUpdate(t->strPath, false, QStringLiteral("AMOUNT"), true, 2, nullptr, t->prompt);

    const kvtest::JdeFixture& f = t->Fixture();
    QCOMPARE(ReadTestFile(t->strPath),
             tooltest::ResultBytes({tooltest::UpdateLine(t->Qualified(kProductionSchema, "F0911"), f.Spelled("GLAA"), "*100"),
                                    tooltest::UpdateLine(t->Qualified(kProductionSchema, "F4211"), f.Spelled("SDAEXP"),
                                                         "*100")}));
    QVERIFY(t->prompt.m_arrTexts.isEmpty());
}

void TestDecimalUpdate::demoShapeOnSqlite_data()
{
    QTest::addColumn<bool>("byAlias");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("columns");   // "TABLE:COLUMN" written
    QTest::newRow("alias") << true << "UPMJ"
                           << QStringList{"F0006:MCUPMJ", "F0101:ABUPMJ", "F0911:GLUPMJ", "F4211:SDUPMJ"};
    QTest::newRow("class") << false << "AMOUNT" << QStringList{"F0911:GLAA", "F4211:SDAEXP"};
}

// SQLite, the demo's engine, names neither catalogs nor owners: the
// dictionary and the object librarian are found all the same, the class
// is read and only registered tables are looked at.
void TestDecimalUpdate::demoShapeOnSqlite()
{
    QFETCH(bool, byAlias);
    QFETCH(QString, name);
    QFETCH(QStringList, columns);
    KV_TOOL_BED(t, Engine::SQLite);
    t->SelectSqliteMain();
    tooltest::ActingTarget target;

    t->app.RunDecimalUpdate(t->strPath, byAlias, name, true, 1, &target, t->prompt);

    QMap<QString, QString> written;
    for (const QString& strPair : columns)
        written.insert(strPair.section(u':', 0, 0), strPair.section(u':', 1));
    const QStringList registered = {"F0101", "F4211", "F0911", "F0006", "F98611", "F9210"};
    QStringList lines;
    QStringList items;
    for (const QString& strTable : t->Tools().m_mapSchemaTables.value(tooltest::kSqliteMainKey)) {
        if (written.contains(strTable))
            lines.append(tooltest::UpdateLine(QStringLiteral("main.") + strTable, written.value(strTable), "*10"));
        if (registered.contains(strTable))
            items.append(strTable);
    }
    QCOMPARE(lines.size(), written.size());
    QCOMPARE(ReadTestFile(t->strPath), tooltest::ResultBytes(lines));
    QCOMPARE(target.items, items);
    QVERIFY(t->prompt.m_arrTexts.isEmpty());
    QCOMPARE(t->started.size(), 1);
}

void TestDecimalUpdate::columnRules()
{
    QFETCH(Engine, engine);
    KV_TOOL_BED(t, engine);
    const kvtest::JdeFixture& f = t->Fixture();
    // A class whose aliases are UPMJ twice (in two cases) and AA; a table
    // with a column named UPMJ without prefix, one matching both UPMJ
    // aliases and one matching AA; and a name that is no plain identifier.
    const QString strDictionary = f.Place(kvtest::kDictionarySchema).strQualifier + QStringLiteral("F9210");
    for (const char* pszAlias : {"UPMJ", "upmj", "AA"})
        t->Database().Exec(QStringLiteral("INSERT INTO %1 (FRDTAI, FRCLAS) VALUES ('%2', 'EDGES')")
                               .arg(strDictionary, QLatin1String(pszAlias)));
    t->AddRegisteredTable(kPatternSchema, QStringLiteral("F55EDGE"),
                          QStringLiteral("UPMJ NUMERIC(6,0), XXUPMJ NUMERIC(6,0), YYAA NUMERIC(15,2), ZZDOC NUMERIC(8,0)"),
                          {}, QStringLiteral("F55EDGE"));
    const QString strOdd = QStringLiteral("F55-Q");
    t->AddRegisteredTable(kPatternSchema, t->Quote() + strOdd + t->Quote(), QStringLiteral("QQUPMJ NUMERIC(6,0)"), {},
                          strOdd);
    t->Reload();
    t->SelectOnly({kPatternSchema});

    t->app.RunDecimalUpdate(t->strPath, false, QStringLiteral("EDGES"), false, 3, nullptr, t->prompt);

    // The pattern schema's name has a "_": the look-alike schema's tables
    // must not be visited. Table order is the driver's.
    QMap<QString, QString> expected;
    expected.insert(f.Spelled("F0006"), tooltest::UpdateLine(t->Qualified(kPatternSchema, "F0006"), f.Spelled("MCUPMJ"),
                                                             "/1000"));
    expected.insert(f.Spelled("F55EDGE"), QStringLiteral("UPDATE %1 SET %2=%2/1000, %3=%3/1000")
                                              .arg(t->Qualified(kPatternSchema, "F55EDGE"), f.Spelled("XXUPMJ"),
                                                   f.Spelled("YYAA")));
    const QString strOddQualified = t->Qualified(kPatternSchema, QString()) + t->Quote() + strOdd + t->Quote();
    expected.insert(strOdd, tooltest::UpdateLine(strOddQualified, f.Spelled("QQUPMJ"), "/1000"));
    QStringList lines;
    const QStringList tables = t->Tools().m_mapSchemaTables.value(f.Key(kPatternSchema));
    QCOMPARE(tables.size(), 3);
    for (const QString& strTable : tables)
        lines.append(expected.value(strTable, QStringLiteral("<unexpected %1>").arg(strTable)));
    QCOMPARE(ReadTestFile(t->strPath), tooltest::ResultBytes(lines));
}

void TestDecimalUpdate::blankEdgedColumnNames()
{
    // PostgreSQL keeps blanks at either end of a quoted name: such a column
    // is another column, whose name never ends in the alias.
    KV_TOOL_BED(t, Engine::PostgreSQL);
    t->AddRegisteredTable(kPatternSchema, QStringLiteral("F55BLANK"),
                          QStringLiteral("\"XXAA \" NUMERIC(15,2), \" ZZAA\" NUMERIC(15,2), \"YYAA\" NUMERIC(15,2)"), {},
                          QStringLiteral("F55BLANK"));
    t->Reload();
    t->SelectOnly({kPatternSchema});

    t->app.RunDecimalUpdate(t->strPath, true, QStringLiteral("AA"), true, 2, nullptr, t->prompt);

    QCOMPARE(ReadTestFile(t->strPath),
             tooltest::ResultBytes({tooltest::UpdateLine(t->Qualified(kPatternSchema, "F55BLANK"),
                                                         QStringLiteral("\"YYAA\""), "*100")}));
}

void TestDecimalUpdate::schemaBlocks_data()
{
    tooltest::AddServerColumn();
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QStringList>("lines");   // "schema:table:column", "" for an empty line
    for (Engine engine : tooltest::kServers) {
        // Keys sort crpdta, prod_dta, proddta on both engines.
        tooltest::ServerRow(engine, "every schema writes") << "UPMJ"
            << QStringList{"crpdta:F0101:ABUPMJ", "crpdta:F4211:SDUPMJ", "", "", "prod_dta:F0006:MCUPMJ", "", "",
                           "proddta:F0101:ABUPMJ", "proddta:F0911:GLUPMJ", "proddta:F4211:SDUPMJ"};
        // prod_dta writes nothing, but follows a productive schema; proddta
        // follows one that wrote nothing.
        tooltest::ServerRow(engine, "middle schema writes nothing") << "AEXP" << QStringList{"crpdta:F4211:SDAEXP", "", "", "proddta:F4211:SDAEXP"};
    }
}

void TestDecimalUpdate::schemaBlocks()
{
    QFETCH(Engine, engine);
    QFETCH(QString, alias);
    QFETCH(QStringList, lines);
    KV_TOOL_BED(t, engine);
    t->SelectOnly({kCrpSchema, kPatternSchema, kProductionSchema});

    t->app.RunDecimalUpdate(t->strPath, true, alias, true, 1, nullptr, t->prompt);

    QStringList expected;
    for (const QString& strLine : lines) {
        const QStringList parts = strLine.split(u':');
        if (parts.size() < 3) {
            expected.append(QString());
            continue;
        }
        const QString strColumn = t->Fixture().Spelled(parts.at(2));
        expected.append(tooltest::UpdateLine(t->Qualified(parts.at(0), parts.at(1)), strColumn, "*10"));
    }
    QCOMPARE(ReadTestFile(t->strPath), tooltest::ResultBytes(expected));
}

void TestDecimalUpdate::nothingToUpdate_data()
{
    tooltest::AddServerColumn();
    QTest::addColumn<bool>("french");
    QTest::addColumn<QString>("golden");
    QTest::newRow("postgresql fr") << Engine::PostgreSQL << true << "nothing_to_update_fr.txt";
    QTest::newRow("mariadb en") << Engine::MariaDB << false << "nothing_to_update_en.txt";
}

void TestDecimalUpdate::nothingToUpdate()
{
    QFETCH(Engine, engine);
    QFETCH(bool, french);
    QFETCH(QString, golden);
    tooltest::UseLanguage(french);
    KV_TOOL_BED(t, engine);
    // An old result file is replaced after confirmation.
    QVERIFY(WriteTestFile(t->strPath, "old content"));
    t->prompt.m_arrAnswers = {CPrompt::AnswerYes};

    t->app.RunDecimalUpdate(t->strPath, true, QStringLiteral("NOSUCHALIAS"), true, 2, nullptr, t->prompt);

    QCOMPARE(t->prompt.m_arrTexts.size(), 1);
    QCOMPARE(t->prompt.m_arrButtons, QList<CPrompt::Buttons>{CPrompt::YesNoCancel});
    QCOMPARE(ReadTestFile(t->strPath), tooltest::GoldenFile(golden));
    QCOMPARE(t->started.size(), 1);
    tooltest::UseLanguage(false);
}

void TestDecimalUpdate::classLiteral_data()
{
    tooltest::AddServerColumn();
    QTest::addColumn<QString>("className");
    QTest::addColumn<QStringList>("aliases");
    for (Engine engine : tooltest::kServers) {
        tooltest::ServerRow(engine, "plain") << "PRICE" << QStringList{"UPRC"};
        tooltest::ServerRow(engine, "quote") << "O'NEIL" << QStringList{"ONEIL"};
        // Undoubled, this would read every alias of the dictionary.
        tooltest::ServerRow(engine, "injection") << "X' OR 'A'='A" << QStringList{};
        // A backslash escapes the quote on MariaDB: as text, these ran a
        // function that empties a table, or read every alias.
        tooltest::ServerRow(engine, "backslash union") << "\\' UNION SELECT %1f_del() #" << QStringList{};
        tooltest::ServerRow(engine, "backslash or") << "\\' OR 1=1 #" << QStringList{};
        tooltest::ServerRow(engine, "backslash in the class") << "BS\\" << QStringList{"BSX"};
    }
}

void TestDecimalUpdate::classLiteral()
{
    QFETCH(Engine, engine);
    QFETCH(QString, className);
    QFETCH(QStringList, aliases);
    KV_TOOL_BED(t, engine);
    const QString strPlace = t->Fixture().Place(kvtest::kDictionarySchema).strQualifier;
    const bool bMariaDB = engine == Engine::MariaDB;
    t->Database().Exec(QStringLiteral("INSERT INTO ") + strPlace
                       + QStringLiteral("F9210 (FRDTAI, FRCLAS) VALUES ('ONEIL', 'O''NEIL')"));
    t->Database().Exec(QStringLiteral("INSERT INTO ") + strPlace
                       + QStringLiteral("F9210 (FRDTAI, FRCLAS) VALUES ('BSX', ") + (bMariaDB ? QStringLiteral("'BS\\\\')") : QStringLiteral("'BS\\')")));
    // A table that a function empties: its rows tell whether the function ran.
    t->Database().Exec(QStringLiteral("CREATE TABLE ") + strPlace + QStringLiteral("canary (n INTEGER)"));
    t->Database().Exec(QStringLiteral("INSERT INTO ") + strPlace + QStringLiteral("canary VALUES (1), (2), (3)"));
    t->Database().Exec(bMariaDB ? QStringLiteral("CREATE FUNCTION %1f_del() RETURNS VARCHAR(10) MODIFIES SQL DATA "
                                                 "BEGIN DELETE FROM %1canary; RETURN 'X'; END").arg(strPlace)
                                : QStringLiteral("CREATE FUNCTION %1f_del() RETURNS text LANGUAGE sql AS "
                                                 "'DELETE FROM %1canary; SELECT ''X''::text'").arg(strPlace));
    CDecimalUpdate generator(t->Tools(), t->app.GetResultWriter(), t->prompt);
    QStringList found = {QStringLiteral("stale")};
    bool bCancel = false;
    const QString strClass = className.contains(QLatin1String("%1")) ? className.arg(strPlace) : className;
    QVERIFY(generator.GetClassAliases(strClass, found, nullptr, bCancel));
    QCOMPARE(found, aliases);
    QVERIFY(!bCancel);
    QCOMPARE(t->Database().Scalar(QStringLiteral("SELECT COUNT(*) FROM ") + strPlace + QStringLiteral("canary")),
             QStringLiteral("3"));
}

void TestDecimalUpdate::classWithoutAliases()
{
    QFETCH(Engine, engine);
    tooltest::UseLanguage(false);
    KV_TOOL_BED(t, engine);

    t->app.RunDecimalUpdate(t->strPath, false, QStringLiteral("NOSUCHCLASS"), true, 2, nullptr, t->prompt);

    QCOMPARE(t->prompt.m_arrTexts, QStringList{QStringLiteral("Unable to retrieve alias list.")});
    QVERIFY(!QFileInfo::exists(t->strPath));
    QVERIFY(t->started.isEmpty());
}

void TestDecimalUpdate::classWithoutDictionary_data()
{
    tooltest::AddServerRows();
    QTest::newRow("sqlite") << Engine::SQLite;
}

void TestDecimalUpdate::classWithoutDictionary()
{
    QFETCH(Engine, engine);
    kvtest::JdeOptions options;
    options.dictionary = kvtest::Dictionary::None;
    KV_TOOL_BED(t, engine, options);
    QVERIFY(t->Tools().m_strDDTable.isEmpty());
    tooltest::ActingTarget target;

    t->app.RunDecimalUpdate(t->strPath, false, QStringLiteral("AMOUNT"), true, 2, &target, t->prompt);

    QCOMPARE(t->prompt.m_arrTexts, QStringList{QStringLiteral("Unable to retrieve alias list.")});
    QCOMPARE(t->prompt.m_arrButtons, QList<CPrompt::Buttons>{CPrompt::Ok});
    QVERIFY(!QFileInfo::exists(t->strPath));
    QVERIFY(t->started.isEmpty());
    QVERIFY(target.items.isEmpty());
}

void TestDecimalUpdate::dictionaryOfEarlierSourceForgotten_data()
{
    tooltest::AddServerColumn();
    QTest::newRow("sqlite") << Engine::SQLite;
    QTest::newRow("postgresql") << Engine::PostgreSQL;
}

// The tools database reconnected to a data source without a dictionary: the
// dictionary of the one before is no longer named.
void TestDecimalUpdate::dictionaryOfEarlierSourceForgotten()
{
    QFETCH(Engine, engine);
    kvtest::JdeOptions options;
    options.dictionary = kvtest::Dictionary::None;
    KV_TOOL_BED(t, engine, options);
    t->Tools().m_strDDTable = QStringLiteral("F9210");
    t->Tools().LoadDatabaseInfo(nullptr);
    QCOMPARE(t->Tools().m_strDDTable, QString());

    t->app.RunDecimalUpdate(t->strPath, false, QStringLiteral("AMOUNT"), true, 2, nullptr, t->prompt);

    QCOMPARE(t->prompt.m_arrTexts, QStringList{QStringLiteral("Unable to retrieve alias list.")});
    QVERIFY(!QFileInfo::exists(t->strPath));
}

void TestDecimalUpdate::classQueryCancelled_data()
{
    tooltest::AddServerColumn();
    QTest::addColumn<int>("cancelAtQuery");
    for (Engine engine : {Engine::PostgreSQL, Engine::MariaDB, Engine::SQLite}) {
        // The first question comes right after the execution, the next
        // ones after each row.
        tooltest::ServerRow(engine, "after the execution") << 1;
        tooltest::ServerRow(engine, "after the first row") << 2;
    }
}

void TestDecimalUpdate::classQueryCancelled()
{
    QFETCH(Engine, engine);
    QFETCH(int, cancelAtQuery);
    KV_TOOL_BED(t, engine);
    kvtest::MessageRecorder recorder(cancelAtQuery);

    // AMOUNT has three aliases.
    t->app.RunDecimalUpdate(t->strPath, false, QStringLiteral("AMOUNT"), true, 2, &recorder, t->prompt);

    QVERIFY(t->prompt.m_arrTexts.isEmpty());
    QVERIFY(!QFileInfo::exists(t->strPath));
    QVERIFY(t->started.isEmpty());
    QCOMPARE(recorder.nQueries, cancelAtQuery);
    QCOMPARE(recorder.Count(WM_TASK_SETITEM), 0);
}

// The interface stops the class query that is running: the run ends as a
// cancel, not as a failed query.
void TestDecimalUpdate::classQueryStoppedFromOtherThread()
{
    KV_TOOL_BED(t, Engine::PostgreSQL);
    t->MakeSlow(kvtest::kDictionarySchema, QStringLiteral("F9210"), 1);
    tooltest::CancelFromOtherThread cancel(t->Tools());
    tooltest::ActingTarget target;
    target.onMessage = [&](unsigned nMessage, qintptr, qintptr) -> qintptr {
        if (nMessage == WM_TASK_SETRANGE)
            cancel.StartAfter(300);
        return nMessage == WM_TASK_QUERYCANCEL && cancel.IsCancelled() ? 1 : 0;
    };

    t->app.RunDecimalUpdate(t->strPath, false, QStringLiteral("AMOUNT"), true, 2, &target, t->prompt);

    QVERIFY(cancel.IsCancelled());
    QVERIFY2(cancel.SinceCancel() < 1000, qPrintable(QString::number(cancel.SinceCancel())));
    QVERIFY2(t->prompt.m_arrTexts.isEmpty(), qPrintable(t->prompt.m_arrTexts.join(u'|')));
    QVERIFY(!QFileInfo::exists(t->strPath));
    QVERIFY(t->started.isEmpty());
}

void TestDecimalUpdate::olderObjectLibrarian_data()
{
    tooltest::AddServerColumn();
    QTest::addColumn<bool>("pfRows");
    QTest::addColumn<QStringList>("tables");   // of proddta with ABAN8, written
    for (Engine engine : tooltest::kServers) {
        tooltest::ServerRow(engine, "registered as PF") << true << QStringList{"F0101"};
        // No 'PF' row: an empty set filters nothing out.
        tooltest::ServerRow(engine, "no PF row") << false << QStringList{"F0101", "F0101_X", "F0101AX"};
    }
}

void TestDecimalUpdate::olderObjectLibrarian()
{
    QFETCH(Engine, engine);
    QFETCH(bool, pfRows);
    QFETCH(QStringList, tables);
    kvtest::JdeOptions options;
    options.bOlderObjectLibrarian = true;
    KV_TOOL_BED(t, engine, options);
    if (pfRows)
        t->Database().Exec(QStringLiteral("UPDATE ") + t->Fixture().Place(kvtest::kSystemSchema).strQualifier
                           + QStringLiteral("F9801 SET SIFUNC = 'PF'"));
    t->SelectOnly({kProductionSchema});

    t->app.RunDecimalUpdate(t->strPath, true, QStringLiteral("AN8"), true, 1, nullptr, t->prompt);

    QMap<QString, QString> expected;
    for (const QString& strTable : tables)
        expected.insert(t->Fixture().Spelled(strTable),
                        tooltest::UpdateLine(t->Qualified(kProductionSchema, strTable), t->Fixture().Spelled("ABAN8"),
                                             "*10"));
    QStringList lines;
    for (const QString& strTable : t->Tools().m_mapSchemaTables.value(t->Fixture().Key(kProductionSchema))) {
        if (expected.contains(strTable))
            lines.append(expected.value(strTable));
    }
    QCOMPARE(lines.size(), tables.size());
    QCOMPARE(ReadTestFile(t->strPath), tooltest::ResultBytes(lines));
}

void TestDecimalUpdate::cancel_data()
{
    tooltest::AddServerColumn();
    QTest::addColumn<int>("cancelAtItem");   // 0: at the first question
    QTest::addColumn<QStringList>("tables");  // written before the cancel line
    for (Engine engine : tooltest::kServers) {
        tooltest::ServerRow(engine, "while writing") << 2 << QStringList{"F0101", "F0911"};
        tooltest::ServerRow(engine, "while reading") << 0 << QStringList{};
    }
}

void TestDecimalUpdate::cancel()
{
    QFETCH(Engine, engine);
    QFETCH(int, cancelAtItem);
    QFETCH(QStringList, tables);
    tooltest::UseLanguage(false);
    KV_TOOL_BED(t, engine);
    // F0101 and F0911 are the first two registered tables of proddta.
    t->SelectOnly({kProductionSchema});
    tooltest::ActingTarget target;
    target.onMessage = [&](unsigned nMessage, qintptr, qintptr) -> qintptr {
        return nMessage == WM_TASK_QUERYCANCEL && target.items.size() >= cancelAtItem ? 1 : 0;
    };

    t->app.RunDecimalUpdate(t->strPath, true, QStringLiteral("UPMJ"), true, 1, &target, t->prompt);

    QVERIFY(t->prompt.m_arrTexts.isEmpty());
    if (tables.isEmpty()) {
        QVERIFY(!QFileInfo::exists(t->strPath));
        QVERIFY(t->started.isEmpty());
        QVERIFY(target.items.isEmpty());
        return;
    }
    QStringList lines;
    for (const QString& strTable : tables) {
        const QString strColumn = t->Fixture().Spelled(strTable == QLatin1String("F0101") ? "ABUPMJ" : "GLUPMJ");
        lines.append(tooltest::UpdateLine(t->Qualified(kProductionSchema, strTable), strColumn, "*10"));
    }
    lines.append(QStringLiteral("User has cancelled the process"));
    QCOMPARE(ReadTestFile(t->strPath), tooltest::ResultBytes(lines));
    QCOMPARE(t->started.size(), 1);
}

void TestDecimalUpdate::listingFailureStopsRun_data()
{
    tooltest::AddServerColumn();
    QTest::addColumn<QString>("table");        // the connection ends before this table is read
    QTest::addColumn<QStringList>("written");  // tables written before
    QTest::addColumn<QString>("reason");       // in the driver's text
    // Read as a whole, the schema's columns are all read at its first table:
    // only a run that reads table by table meets the fault later on.
    QTest::addColumn<bool>("wholeSchema");
    for (Engine engine : tooltest::kServers) {
        // The text depends on the call that first meets the closed link.
        const QString strReason = engine == Engine::PostgreSQL
                                      ? QStringLiteral("connection")
                                      : QLatin1String(kvtest::kMariaDbSessionEndedReasons);
        tooltest::ServerRow(engine, "after a statement") << "F0911" << QStringList{"F0101"} << strReason << false;
        tooltest::ServerRow(engine, "before any statement") << "F0101" << QStringList{} << strReason << false;
        tooltest::ServerRow(engine, "before the whole schema's reading") << "F0101" << QStringList{} << strReason
                                                                         << true;
    }
}

// The connection drops while the columns of a table are listed: the run
// stops with the driver's reason, the file (if any) says it is incomplete,
// and it is not opened as a result.
void TestDecimalUpdate::listingFailureStopsRun()
{
    QFETCH(Engine, engine);
    QFETCH(QString, table);
    QFETCH(QStringList, written);
    QFETCH(QString, reason);
    QFETCH(bool, wholeSchema);
    tooltest::UseLanguage(false);
    KV_TOOL_BED(t, engine);
    t->Tools().m_bColumnSnapshots = wholeSchema;
    t->SelectOnly({kProductionSchema});
    tooltest::ActingTarget target;
    target.onMessage = [&](unsigned nMessage, qintptr, qintptr lParam) -> qintptr {
        if (nMessage == WM_TASK_SETITEM && *reinterpret_cast<const QString*>(lParam) == t->Fixture().Spelled(table))
            t->EndOtherSessions();
        return 0;
    };

    t->app.RunDecimalUpdate(t->strPath, true, QStringLiteral("UPMJ"), true, 1, &target, t->prompt);

    QCOMPARE(target.items.last(), t->Fixture().Spelled(table));
    QCOMPARE(t->prompt.m_arrTexts.size(), 1);
    const QString strMessage = t->prompt.m_arrTexts.first();
    QVERIFY2(strMessage.startsWith(QStringLiteral("Error when processing. Database returns the following error :\n'"))
                 && strMessage.contains(QRegularExpression(reason)),
             qPrintable(strMessage));
    QVERIFY(t->started.isEmpty());
    if (written.isEmpty()) {
        QVERIFY(!QFileInfo::exists(t->strPath));
        return;
    }
    QStringList lines;
    for (const QString& strTable : written)
        lines.append(tooltest::UpdateLine(t->Qualified(kProductionSchema, strTable), t->Fixture().Spelled("ABUPMJ"),
                                          "*10"));
    lines.append(QStringLiteral("Process stopped by a database error"));
    QCOMPARE(ReadTestFile(t->strPath), tooltest::ResultBytes(lines));
}

void TestDecimalUpdate::lineFailureStopsRun()
{
    tooltest::UseLanguage(false);
    KV_TOOL_BED(t, Engine::MariaDB);
    t->SelectOnly({kProductionSchema});
    // Before F0911 is written, its path becomes a folder: no line can go in.
    tooltest::ActingTarget target;
    target.onMessage = [&](unsigned nMessage, qintptr, qintptr lParam) -> qintptr {
        if (nMessage == WM_TASK_SETITEM && *reinterpret_cast<const QString*>(lParam) == QLatin1String("F0911")) {
            QFile::remove(t->strPath);
            QDir().mkdir(t->strPath);
        }
        return 0;
    };

    t->app.RunDecimalUpdate(t->strPath, true, QStringLiteral("UPMJ"), true, 1, &target, t->prompt);

    QCOMPARE(t->prompt.m_arrTexts,
             QStringList{QStringLiteral("Unable to write in file '%1': %2.\nCheck the free space and the access "
                                        "rights, close the applications using it, and start again.")
                             .arg(QDir::toNativeSeparators(t->strPath), qt_error_string(EISDIR))});
    // F4211 was never looked at, no closing line was tried, and what is
    // there is no result to open.
    QCOMPARE(target.items, (QStringList{"F0101", "F0911"}));
    QVERIFY(t->started.isEmpty());
}

// The disk fills up after the first statement: the run stops with the
// system's reason, the file keeps its whole lines and is not opened.
void TestDecimalUpdate::fullDiskStopsRun()
{
    tooltest::UseLanguage(false);
    KV_TOOL_BED(t, Engine::PostgreSQL);
    t->SelectOnly({kProductionSchema});
    const QByteArray firstLine = tooltest::ResultBytes(
        {tooltest::UpdateLine(t->Qualified(kProductionSchema, "F0101"), "abupmj", "*10")});
    QByteArray content;
    {
        kvtest::FileSizeLimit limit(rlim_t(firstLine.size() + 10));
        QVERIFY(limit.IsSet());
        t->app.RunDecimalUpdate(t->strPath, true, QStringLiteral("UPMJ"), true, 1, nullptr, t->prompt);
        content = ReadTestFile(t->strPath);
    }

    QCOMPARE(t->prompt.m_arrTexts,
             QStringList{QStringLiteral("Unable to write in file '%1': %2.\nCheck the free space and the access "
                                        "rights, close the applications using it, and start again.")
                             .arg(QDir::toNativeSeparators(t->strPath), qt_error_string(EFBIG))});
    QCOMPARE(content, firstLine);
    QVERIFY(t->started.isEmpty());
}

void TestDecimalUpdate::allocationFailureShowsDatabaseError()
{
    tooltest::UseLanguage(false);
    tooltest::NoStatementBed t;
    QVERIFY(t.Tools().Connect());
    t.Tools().m_strDDOwner = QStringLiteral("dd");
    t.Tools().m_strDDTable = QStringLiteral("F9210");

    t.app.RunDecimalUpdate(t.strPath, false, QStringLiteral("AMOUNT"), true, 2, nullptr, t.prompt);

    t.CheckDatabaseErrorShown();
}

void TestDecimalUpdate::registeredSetIgnoresCase()
{
    CRegisteredTables registered;
    QVERIFY(registered.Admits(QStringLiteral("ANY")));
    for (const char* pszTable : {"F9210", "F0101", "f4211", "F0911", "F0101"})
        registered.Insert(QLatin1String(pszTable));
    QCOMPARE(registered.Tables(), (QStringList{"F0101", "F0101", "F0911", "f4211", "F9210"}));
    QVERIFY(registered.Contains(QStringLiteral("f0101")));
    QVERIFY(registered.Contains(QStringLiteral("F4211")));
    QVERIFY(!registered.Contains(QStringLiteral("F0101_X")));
    QVERIFY(!registered.Admits(QStringLiteral("F55TEST")));
}

void TestDecimalUpdate::databaseErrorText()
{
    tooltest::UseLanguage(true);
    const QString strLong = QString(300, u'x');
    QCOMPARE(CDecimalUpdate::FormatDatabaseError(strLong),
             QStringLiteral("Erreur lors du traitement. La base a retourné l'erreur suivante :\n'") + QString(254, u'x')
                 + u'\'');
    tooltest::UseLanguage(false);
}

QTEST_GUILESS_MAIN(TestDecimalUpdate)
#include "tst_decimalupdate.moc"
