#include "app/language.h"
#include "app/qalmetapp.h"
#include "app/resultfilenames.h"
#include "privatesettings.h"
#include "recordingopener.h"
#include "testfiles.h"
#include "tests/support/recorders.h"
#include "tests/support/testdatabase.h"
#include "tests/support/testodbcenv.h"

#include <QFile>
#include <QTest>

class TestQalmetApp : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void databases();
    void instance();
    void startReadsLanguageAndOptions_data();
    void startReadsLanguageAndOptions();
    void exitSavesOptionsAndDeletesResultFiles();
    void resultFiles();
    void titles_data();
    void titles();
    void defaultResultPath();
    void statisticsHeaderFollowsOptions();
    void openerCanBeReplaced();
    void comparesItsOwnDataSources();
    void comparisonThatCannotReadFails();

private:
    PrivateSettings m_settingsEnv;
};

void TestQalmetApp::init()
{
    m_settingsEnv.Reset();
}

void TestQalmetApp::databases()
{
    CQalmetApp app;
    QVERIFY(app.GetDatabase(DB_LEFT) != nullptr);
    QVERIFY(app.GetDatabase(DB_LEFT) != app.GetDatabase(DB_RIGHT));
    QVERIFY(app.GetDatabase(DB_RIGHT) != app.GetDatabase(DB_TOOLS));
    QCOMPARE(app.GetDatabase(3), nullptr);
    QCOMPARE(app.GetDatabase(-1), nullptr);
}

void TestQalmetApp::instance()
{
    QCOMPARE(CQalmetApp::GetInstance(), nullptr);
    {
        CQalmetApp app;
        CQalmetApp second;
        QCOMPARE(CQalmetApp::GetInstance(), &app);
    }
    QCOMPARE(CQalmetApp::GetInstance(), nullptr);
}

void TestQalmetApp::startReadsLanguageAndOptions_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("french");

    QTest::newRow("fr_BE") << "fr_BE" << "FRB" << true;
    QTest::newRow("en_US") << "en_US" << "ENU" << false;
}

void TestQalmetApp::startReadsLanguageAndOptions()
{
    QFETCH(QString, locale);
    QFETCH(QString, language);
    QFETCH(bool, french);

    CSettingsStore().WriteProfileInt("Params", "Value", 0);
    CSettingsStore().WriteProfileInt("Params", "MaxIndex", 23);
    CQalmetApp app;
    app.InitInstance(QLocale(locale));
    QCOMPARE(app.GetLanguage(), language);
    QCOMPARE(IsInterfaceFrench(), french);
    QCOMPARE(app.GetOptions().m_dwOptions, quint32(1u << OPT_SAME_SIZE_STRINGS_EQUAL));
}

void TestQalmetApp::exitSavesOptionsAndDeletesResultFiles()
{
    CQalmetApp app;
    app.InitInstance(QLocale(QStringLiteral("en_US")));
    app.GetOptions().SetOption(OPT_COMPARE_SQL_TYPES, true);
    QFile* pTables = app.CreateResultFile(RESULT_FILE_TABLES);
    QFile* pAliases = app.CreateResultFile(RESULT_FILE_ALIASES);
    QVERIFY(pTables && pAliases);
    const QString strTables = pTables->fileName();
    const QString strAliases = pAliases->fileName();
    QVERIFY(QFile::exists(strTables) && QFile::exists(strAliases));

    app.ExitInstance();
    QVERIFY(!QFile::exists(strTables));
    QVERIFY(!QFile::exists(strAliases));
    QCOMPARE(app.GetResultFile(RESULT_FILE_TABLES), nullptr);

    CQalmetApp next;
    next.InitInstance(QLocale(QStringLiteral("en_US")));
    QVERIFY(next.GetOptions().IsOptionSet(OPT_COMPARE_SQL_TYPES));
    QCOMPARE(next.GetOptions().m_dwOptions, app.GetOptions().m_dwOptions);
}

void TestQalmetApp::resultFiles()
{
    QTemporaryDir tmp;
    qputenv("TMP", tmp.path().toLocal8Bit());
    CQalmetApp app;
    QFile* pFirst = app.CreateResultFile(RESULT_FILE_TABLES);
    QVERIFY(pFirst);
    QVERIFY(pFirst->fileName().startsWith(tmp.path() + "/BFDB"));
    QVERIFY(pFirst->write("data") == 4);
    const QString strFirst = pFirst->fileName();

    // A new comparison replaces the old file.
    QFile* pSecond = app.CreateResultFile(RESULT_FILE_TABLES);
    QVERIFY(pSecond && pSecond->isOpen() && pSecond->size() == 0);
    QVERIFY(!QFile::exists(strFirst));
    QFile* pAliases = app.CreateResultFile(RESULT_FILE_ALIASES);
    QVERIFY(pAliases && pAliases->fileName().startsWith(tmp.path() + "/BFDD"));
    QCOMPARE(app.CreateResultFile(2), nullptr);

    app.DeleteResultFile(RESULT_FILE_ALIASES);
    app.DeleteResultFile(RESULT_FILE_ALIASES);  // none left: nothing happens
    QCOMPARE(QDir(tmp.path()).entryList(QDir::Files).size(), 1);
    qunsetenv("TMP");
}

void TestQalmetApp::titles_data()
{
    QTest::addColumn<QString>("leftSchema");
    QTest::addColumn<QString>("rightSchema");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("compare");

    QTest::newRow("schemas") << "PRODDTA" << "CRPDTA" << "JDE_PROD (PRODDTA)" << "JDE_PROD (PRODDTA) / JDE_CRP (CRPDTA)";
    QTest::newRow("single-schema left") << "" << "CRPDTA" << "JDE_PROD" << "JDE_PROD / JDE_CRP (CRPDTA)";
}

void TestQalmetApp::titles()
{
    QFETCH(QString, leftSchema);
    QFETCH(QString, rightSchema);
    QFETCH(QString, left);
    QFETCH(QString, compare);

    CQalmetApp app;
    app.GetDatabase(DB_LEFT)->m_strDSN = QStringLiteral("JDE_PROD");
    app.GetDatabase(DB_RIGHT)->m_strDSN = QStringLiteral("JDE_CRP");
    app.GetDatabase(DB_TOOLS)->m_strDSN = QStringLiteral("TOOLS");
    QCOMPARE(app.GetDatabaseTitle(DB_LEFT, leftSchema), left);
    QCOMPARE(app.GetCompareTitle(leftSchema, rightSchema), compare);
    QCOMPARE(app.GetDatabaseTitle(DB_TOOLS, leftSchema), QString());
}

void TestQalmetApp::defaultResultPath()
{
    CQalmetApp app;
    app.GetDatabase(DB_TOOLS)->m_strDSN = QStringLiteral("DEV/ERP 9.1");
    QCOMPARE(app.MakeFileNameFromDsn(DB_TOOLS), QStringLiteral("DEV_ERP 9_1"));
    QCOMPARE(app.MakeFileNameFromDsn(5), QString());
    QTemporaryDir results;
    app.GetSettings().WriteProfileString("", "DefDir", results.path() + u'/');
    QCOMPARE(app.GetDefaultResultPath(DB_TOOLS, RESULT_TAB), results.filePath(QStringLiteral("DEV_ERP 9_1.csv")));
    QCOMPARE(app.GetDefaultResultPath(DB_TOOLS, RESULT_TEXT), results.filePath(QStringLiteral("DEV_ERP 9_1.txt")));
}

void TestQalmetApp::statisticsHeaderFollowsOptions()
{
    CQalmetApp app;
    app.ReadLanguage(QLocale(QStringLiteral("en_GB")));
    app.SetStatisticsOptions(STAT_DATE_FIELD, QStringLiteral("  XXUPMJ "));
    QCOMPARE(app.GetStatOptions().m_strStatField, QStringLiteral("XXUPMJ"));
    QCOMPARE(app.GetResultWriter().GetResultHeader(LINE_STATISTICS),
             QStringLiteral("File\tNumber of records\tLast modified on date\r\n"));
    app.SetStatisticsOptions(STAT_DATE_NONE, QStringLiteral("XXUPMJ"));
    QVERIFY(app.GetStatOptions().m_strStatField.isEmpty());
    QCOMPARE(app.GetResultWriter().GetResultHeader(LINE_STATISTICS),
             QStringLiteral("File\tNumber of records\r\n"));
}

void TestQalmetApp::openerCanBeReplaced()
{
    QTemporaryDir dir;
    const QString strPath = dir.filePath("r.csv");
    QVERIFY(WriteTestFile(strPath));

    QStringList arrStarted;
    CQalmetApp app;
    app.SetShellOpener(std::make_unique<RecordingOpener>(arrStarted));
    QVERIFY(app.OpenWithAssociatedProgram(strPath));
    QCOMPARE(arrStarted, QStringList{"xdg-open \"" + strPath + "\""});
}

void TestQalmetApp::comparesItsOwnDataSources()
{
    KV_CREATE_DATABASE(left, kvtest::Engine::SQLite);
    KV_CREATE_DATABASE(right, kvtest::Engine::SQLite);
    left->ExecScript({QStringLiteral("CREATE TABLE A (X INTEGER)"), QStringLiteral("CREATE TABLE B (X INTEGER)")});
    right->ExecScript({QStringLiteral("CREATE TABLE B (X INTEGER)"), QStringLiteral("CREATE TABLE C (X INTEGER)")});

    CQalmetApp app;
    app.InitInstance(QLocale(QStringLiteral("en_US")));
    app.GetDatabase(DB_LEFT)->m_strDSN = left->Dsn();
    app.GetDatabase(DB_RIGHT)->m_strDSN = right->Dsn();
    QVERIFY(app.GetDatabase(DB_LEFT)->Connect());
    QVERIFY(app.GetDatabase(DB_RIGHT)->Connect());
    // Each side's table list, as its selection form shows it.
    kvtest::ListRecorder leftList;
    kvtest::ListRecorder rightList;
    QVERIFY(app.GetDatabase(DB_LEFT)->LoadTableList(leftList));
    QVERIFY(app.GetDatabase(DB_RIGHT)->LoadTableList(rightList));

    QVERIFY(app.CompareTables(nullptr));
    const CTableComparison& tables = app.GetTableComparison();
    QCOMPARE(tables.m_astrCompareTables, QStringList({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    QCOMPARE(tables.GetTableStatus(0), int(CMP_LEFT_ONLY));
    QCOMPARE(tables.GetTableStatus(1), int(CMP_SAME));
    QCOMPARE(tables.GetTableStatus(2), int(CMP_RIGHT_ONLY));

    // The result lives in the application's table result file until exit.
    QFile* pResults = app.GetResultFile(RESULT_FILE_TABLES);
    QVERIFY(pResults != nullptr);
    const QString strPath = pResults->fileName();
    QVERIFY(QFile::exists(strPath));
    app.ExitInstance();
    QVERIFY(!QFile::exists(strPath));
}

void TestQalmetApp::comparisonThatCannotReadFails()
{
    // Both sides' driver can allocate no statement: each comparison ends as a
    // failed run with the driver's text, nothing raised out of the worker,
    // no result file left.
    kvtest::OdbcEnvironment::Instance().AddDataSource(QStringLiteral("kv_app_noalloc"), QStringLiteral("Kitvane Fault"),
                                                      {{QStringLiteral("AllocStmtFails"), QStringLiteral("1")}});
    CQalmetApp app;
    app.InitInstance(QLocale(QStringLiteral("en_US")));
    for (const int nSide : {DB_LEFT, DB_RIGHT}) {
        CDBData& side = *app.GetDatabase(nSide);
        side.m_strDSN = QStringLiteral("kv_app_noalloc");
        QVERIFY(side.Connect());
        side.m_arrTables = QStringList{QStringLiteral("F0101")};
        side.m_strDDTable = QStringLiteral("F9210");
    }
    const QString strMessage =
        QStringLiteral("Error when processing. Database returns the following error :\n'No statement can be allocated'");

    bool bDone = true;
    QVERIFY_THROWS_NO_EXCEPTION(bDone = app.CompareTables(nullptr));
    QVERIFY(!bDone);
    QCOMPARE(app.GetTableComparison().GetFailure().GetMessage(), strMessage);
    QVERIFY(app.GetResultFile(RESULT_FILE_TABLES) == nullptr);

    QVERIFY_THROWS_NO_EXCEPTION(bDone = app.CompareAliases(nullptr));
    QVERIFY(!bDone);
    QCOMPARE(app.GetAliasComparison().GetFailure().GetMessage(), strMessage);
    QVERIFY(app.GetResultFile(RESULT_FILE_ALIASES) == nullptr);
}

QTEST_GUILESS_MAIN(TestQalmetApp)
#include "tst_qalmetapp.moc"
