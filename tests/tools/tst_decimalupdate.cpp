// The decimal-places UPDATE generator on the JDE-shaped fixtures, run as the
// wait dialog runs it: through the application object, with the prompt and
// the message target of a test.

#include "tests/tools/toolbed.h"

#include "tools/decimalupdate.h"
#include "tools/registeredtables.h"

#include <QFileInfo>

using kvtest::kCrpSchema;
using kvtest::kPatternSchema;
using kvtest::kProductionSchema;

class TestDecimalUpdate : public QObject
{
    Q_OBJECT

private slots:
    void aliasMode_data();
    void aliasMode();
    void classMode_data() { tooltest::AddServerRows(); }
    void classMode();
    void columnRules_data() { tooltest::AddServerRows(); }
    void columnRules();
    void schemaBlocks_data();
    void schemaBlocks();
    void nothingToUpdate_data();
    void nothingToUpdate();
    void classLiteral_data();
    void classLiteral();
    void classWithoutAliases_data() { tooltest::AddServerRows(); }
    void classWithoutAliases();
    void cancel_data();
    void cancel();
    void listingFailureStopsRun();
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
    for (Engine engine : {Engine::PostgreSQL, Engine::MariaDB}) {
        const QByteArray name = kvtest::EngineName(engine).toLatin1();
        QTest::addRow("%s multiply 1", name.constData()) << engine << true << 1 << "*10";
        QTest::addRow("%s divide 1", name.constData()) << engine << false << 1 << "/10";
        QTest::addRow("%s multiply 9", name.constData()) << engine << true << 9 << "*1000000000";
        QTest::addRow("%s divide 9", name.constData()) << engine << false << 9 << "/1000000000";
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
        const QString strColumn = t->Fixture().Spelled(QLatin1String(pszColumn));
        return QStringLiteral("UPDATE ") + t->Qualified(kProductionSchema, QLatin1String(pszTable))
               + QStringLiteral(" SET ") + strColumn + u'=' + strColumn + operand;
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
             tooltest::ResultBytes({QStringLiteral("UPDATE %1 SET %2=%2*100").arg(t->Qualified(kProductionSchema, "F0911"),
                                                                               f.Spelled("GLAA")),
                                    QStringLiteral("UPDATE %1 SET %2=%2*100").arg(t->Qualified(kProductionSchema, "F4211"),
                                                                               f.Spelled("SDAEXP"))}));
    QVERIFY(t->prompt.m_arrTexts.isEmpty());
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
    t->Tools().LoadDatabaseInfo(nullptr);
    t->SelectOnly({kPatternSchema});

    t->app.RunDecimalUpdate(t->strPath, false, QStringLiteral("EDGES"), false, 3, nullptr, t->prompt);

    // The pattern schema's name has a "_": the look-alike schema's tables
    // must not be visited. Table order is the driver's.
    QMap<QString, QString> expected;
    expected.insert(f.Spelled("F0006"), QStringLiteral("UPDATE %1 SET %2=%2/1000")
                                            .arg(t->Qualified(kPatternSchema, "F0006"), f.Spelled("MCUPMJ")));
    expected.insert(f.Spelled("F55EDGE"), QStringLiteral("UPDATE %1 SET %2=%2/1000, %3=%3/1000")
                                              .arg(t->Qualified(kPatternSchema, "F55EDGE"), f.Spelled("XXUPMJ"),
                                                   f.Spelled("YYAA")));
    const QString strOddQualified = t->Qualified(kPatternSchema, QString()) + t->Quote() + strOdd + t->Quote();
    expected.insert(strOdd, QStringLiteral("UPDATE %1 SET %2=%2/1000").arg(strOddQualified, f.Spelled("QQUPMJ")));
    QStringList lines;
    const QStringList tables = t->Tools().m_mapSchemaTables.value(f.Key(kPatternSchema));
    QCOMPARE(tables.size(), 3);
    for (const QString& strTable : tables)
        lines.append(expected.value(strTable, QStringLiteral("<unexpected %1>").arg(strTable)));
    QCOMPARE(ReadTestFile(t->strPath), tooltest::ResultBytes(lines));
}

void TestDecimalUpdate::schemaBlocks_data()
{
    tooltest::AddServerColumn();
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QStringList>("lines");   // "schema:table:column", "" for an empty line
    for (Engine engine : {Engine::PostgreSQL, Engine::MariaDB}) {
        const QByteArray name = kvtest::EngineName(engine).toLatin1();
        // Keys sort crpdta, prod_dta, proddta on both engines.
        QTest::addRow("%s every schema writes", name.constData())
            << engine << "UPMJ"
            << QStringList{"crpdta:F0101:ABUPMJ", "crpdta:F4211:SDUPMJ", "", "", "prod_dta:F0006:MCUPMJ", "", "",
                           "proddta:F0101:ABUPMJ", "proddta:F0911:GLUPMJ", "proddta:F4211:SDUPMJ"};
        // prod_dta writes nothing, but follows a productive schema; proddta
        // follows one that wrote nothing.
        QTest::addRow("%s middle schema writes nothing", name.constData())
            << engine << "AEXP" << QStringList{"crpdta:F4211:SDAEXP", "", "", "proddta:F4211:SDAEXP"};
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
        expected.append(QStringLiteral("UPDATE %1 SET %2=%2*10").arg(t->Qualified(parts.at(0), parts.at(1)), strColumn));
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
    for (Engine engine : {Engine::PostgreSQL, Engine::MariaDB}) {
        const QByteArray name = kvtest::EngineName(engine).toLatin1();
        QTest::addRow("%s plain", name.constData()) << engine << "PRICE" << QStringList{"UPRC"};
        QTest::addRow("%s quote", name.constData()) << engine << "O'NEIL" << QStringList{"ONEIL"};
        // Undoubled, this would read every alias of the dictionary.
        QTest::addRow("%s injection", name.constData()) << engine << "X' OR 'A'='A" << QStringList{};
    }
}

void TestDecimalUpdate::classLiteral()
{
    QFETCH(Engine, engine);
    QFETCH(QString, className);
    QFETCH(QStringList, aliases);
    KV_TOOL_BED(t, engine);
    t->Database().Exec(QStringLiteral("INSERT INTO ") + t->Fixture().Place(kvtest::kDictionarySchema).strQualifier
                       + QStringLiteral("F9210 (FRDTAI, FRCLAS) VALUES ('ONEIL', 'O''NEIL')"));
    CDecimalUpdate generator(t->Tools(), t->app.GetResultWriter(), t->prompt);
    QStringList found = {QStringLiteral("stale")};
    bool bCancel = false;
    generator.GetClassAliases(className, found, nullptr, bCancel);
    QCOMPARE(found, aliases);
    QVERIFY(!bCancel);
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

void TestDecimalUpdate::cancel_data()
{
    tooltest::AddServerColumn();
    QTest::addColumn<int>("cancelAtItem");   // 0: at the first question
    QTest::addColumn<QStringList>("tables");  // written before the cancel line
    for (Engine engine : {Engine::PostgreSQL, Engine::MariaDB}) {
        const QByteArray name = kvtest::EngineName(engine).toLatin1();
        QTest::addRow("%s while writing", name.constData()) << engine << 2 << QStringList{"F0101", "F0911"};
        QTest::addRow("%s while reading", name.constData()) << engine << 0 << QStringList{};
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
        lines.append(QStringLiteral("UPDATE %1 SET %2=%2*10").arg(t->Qualified(kProductionSchema, strTable), strColumn));
    }
    lines.append(QStringLiteral("User has cancelled the process"));
    QCOMPARE(ReadTestFile(t->strPath), tooltest::ResultBytes(lines));
    QCOMPARE(t->started.size(), 1);
}

void TestDecimalUpdate::listingFailureStopsRun()
{
    tooltest::UseLanguage(false);
    KV_TOOL_BED(t, Engine::PostgreSQL);
    t->SelectOnly({kProductionSchema});
    // The server ends the tools connection just before F0911 is read.
    tooltest::ActingTarget target;
    target.onMessage = [&](unsigned nMessage, qintptr, qintptr lParam) -> qintptr {
        if (nMessage == WM_TASK_SETITEM && *reinterpret_cast<const QString*>(lParam) == QLatin1String("f0911"))
            t->Database().Exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                              "WHERE datname = current_database() AND pid <> pg_backend_pid()"));
        return 0;
    };

    t->app.RunDecimalUpdate(t->strPath, true, QStringLiteral("UPMJ"), true, 1, &target, t->prompt);

    // No message for the listing call; the run stopped at F0911.
    QVERIFY(t->prompt.m_arrTexts.isEmpty());
    QCOMPARE(target.items.last(), QStringLiteral("f0911"));
    QCOMPARE(ReadTestFile(t->strPath),
             tooltest::ResultBytes({QStringLiteral("UPDATE %1 SET abupmj=abupmj*10")
                                        .arg(t->Qualified(kProductionSchema, "F0101"))}));
}

void TestDecimalUpdate::allocationFailureShowsDatabaseError()
{
    tooltest::UseLanguage(false);
    PrivateSettings settings;
    CQalmetApp app;
    QStringList started;
    app.SetShellOpener(std::make_unique<RecordingOpener>(started));
    kvtest::OdbcEnvironment::Instance().AddDataSource(QStringLiteral("kv_tools_noalloc"), QStringLiteral("Kitvane Fault"),
                                                      {{QStringLiteral("AllocStmtFails"), QStringLiteral("1")}});
    CDBData& tools = *app.GetDatabase(DB_TOOLS);
    tools.m_strDSN = QStringLiteral("kv_tools_noalloc");
    QVERIFY(tools.Connect());
    tools.m_strDDOwner = QStringLiteral("dd");
    tools.m_strDDTable = QStringLiteral("F9210");
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("result.txt"));
    ScriptedPrompt prompt;

    app.RunDecimalUpdate(strPath, false, QStringLiteral("AMOUNT"), true, 2, nullptr, prompt);

    QCOMPARE(prompt.m_arrTexts.size(), 1);
    const QString strStart = QStringLiteral("Error when processing. Database returns the following error :\n'");
    QVERIFY2(prompt.m_arrTexts.first().startsWith(strStart) && prompt.m_arrTexts.first().size() > strStart.size() + 1,
             qPrintable(prompt.m_arrTexts.first()));
    QVERIFY(!QFileInfo::exists(strPath));
    QVERIFY(started.isEmpty());
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
