// The table statistics dialog, opened from the main dialog over real JDE
// databases.

#include "app/dlgmain.h"
#include "app/language.h"
#include "app/qalmetapp.h"
#include "res/dialogtemplates.h"
#include "res/resourceimages.h"
#include "tests/app/privatesettings.h"
#include "tests/app/recordingopener.h"
#include "tests/ui/tooldialogsupport.h"
#include "tools/statoptions.h"
#include "views/dlgtablestats.h"

#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>

using namespace tooltest;
using kvtest::Engine;
Q_DECLARE_METATYPE(kvtest::Engine)

class TestDlgTableStats : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void runFromMainDialogMatchesCli_data();
    void runFromMainDialogMatchesCli();
    void dateModeRules_data();
    void dateModeRules();
    void refusedExpressionKeepsTheDialog_data();
    void refusedExpressionKeepsTheDialog();
    void cancelLeavesTheCancelLine();
    void defaultFileNameAndFilter();

private:
    std::unique_ptr<PrivateSettings> m_pSettings;
};

void TestDlgTableStats::initTestCase()
{
    m_pSettings = std::make_unique<PrivateSettings>();
    CreateSharedImageList();
}

void TestDlgTableStats::init()
{
    m_pSettings->Reset();
    SetInterfaceLanguage(QStringLiteral("ENG"), QString());
}

void TestDlgTableStats::runFromMainDialogMatchesCli_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("strLanguage");
    QTest::addColumn<int>("nMode");
    QTest::addColumn<QString>("strField");
    QTest::addColumn<QString>("strDateArg");
    QTest::newRow("PostgreSQL, UPMJ, French") << Engine::PostgreSQL << "FRA" << int(STAT_DATE_UPMJ) << "" << "upmj";
    QTest::newRow("MariaDB, field, English") << Engine::MariaDB << "ENG" << int(STAT_DATE_FIELD) << " ABAN8 "
                                             << "field:ABAN8";
    QTest::newRow("PostgreSQL, no date, English") << Engine::PostgreSQL << "ENG" << int(STAT_DATE_NONE) << ""
                                                  << "none";
}

// From the main dialog to an opened statistics file: the one kitvane-cli
// writes for the same date mode, byte for byte.
void TestDlgTableStats::runFromMainDialogMatchesCli()
{
    QFETCH(Engine, engine);
    QFETCH(QString, strLanguage);
    QFETCH(int, nMode);
    QFETCH(QString, strField);
    QFETCH(QString, strDateArg);
    KV_JDE_BED(pBed, engine, kvtest::JdeOptions());
    SetInterfaceLanguage(strLanguage, QString());
    ConnectedMain desk;
    QVERIFY(desk.Connect(pBed->pDatabase->Dsn()));
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("from dialog.csv"));
    ModalScript script;
    bool bRan = false;
    WhenShown<CDlgTableStats>([&](CDlgTableStats& dlg) {
        Click(&dlg, IDC_DATE_UPMJ + nMode);
        if (nMode == STAT_DATE_FIELD)
            TypeInto(dlg.m_editField, strField);
        TypeInto(Edit(&dlg, IDC_RESULT_PATH), strPath);
        Click(&dlg, IDC_GENERATE);
        QCOMPARE(script.m_nWaitShown, 1);
        QVERIFY2(script.m_arrBoxTexts.isEmpty(), qPrintable(script.m_arrBoxTexts.join(u'|')));
        QCOMPARE(desk.app.GetStatOptions().m_nStatDateMode, nMode);
        QCOMPARE(desk.app.GetStatOptions().m_strStatField, strField.trimmed());
        QVERIFY(Button(&dlg, IDC_RESULT_OPEN)->isEnabled());
        QVERIFY(dlg.isVisible());
    }, bRan);
    QTest::mouseClick(desk.main.GetDlgItem(IDC_TABLE_STATS), Qt::LeftButton);
    QVERIFY(bRan);
    QCOMPARE(desk.arrStarted.size(), 1);
    QVERIFY2(desk.arrStarted.first().contains(strPath), qPrintable(desk.arrStarted.first()));

    const QString strCliPath = dir.filePath(QStringLiteral("from cli.csv"));
    QCOMPARE(RunCli({"table-stats", "--dsn", pBed->pDatabase->Dsn(), "--date", strDateArg, "--output", strCliPath,
                     "--lang", strLanguage == "FRA" ? "fr" : "en"}),
             0);
    const QByteArray written = ReadFile(strPath);
    QVERIFY(written.size() > 2);
    QCOMPARE(written, ReadFile(strCliPath));
}

void TestDlgTableStats::dateModeRules_data()
{
    QTest::addColumn<int>("nMode");
    QTest::addColumn<QString>("strField");
    QTest::addColumn<QString>("strPath");
    QTest::addColumn<bool>("bEnabled");
    QTest::newRow("UPMJ") << int(STAT_DATE_UPMJ) << "" << "s.csv" << true;
    QTest::newRow("field, empty") << int(STAT_DATE_FIELD) << "" << "s.csv" << false;
    QTest::newRow("field, blank") << int(STAT_DATE_FIELD) << "   " << "s.csv" << false;
    QTest::newRow("field, set") << int(STAT_DATE_FIELD) << "UPMJ" << "s.csv" << true;
    QTest::newRow("no date, empty field") << int(STAT_DATE_NONE) << "" << "s.csv" << true;
    QTest::newRow("no date, empty path") << int(STAT_DATE_NONE) << "" << "" << false;
    QTest::newRow("UPMJ, blank path") << int(STAT_DATE_UPMJ) << "" << " " << false;
}

void TestDlgTableStats::dateModeRules()
{
    QFETCH(int, nMode);
    QFETCH(QString, strField);
    QFETCH(QString, strPath);
    QFETCH(bool, bEnabled);
    CQalmetApp app;
    CDlgTableStats dlg(nullptr);
    QVERIFY(dlg.Create());
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QVERIFY(Button(&dlg, IDC_DATE_UPMJ)->isChecked());
    QVERIFY(!dlg.m_editField->isVisible());
    QVERIFY(Button(&dlg, IDC_GENERATE)->isEnabled());
    Click(&dlg, IDC_DATE_FIELD);
    QVERIFY(dlg.m_editField->isVisible());
    TypeInto(dlg.m_editField, strField);
    Click(&dlg, IDC_DATE_UPMJ + nMode);
    QCOMPARE(dlg.m_editField->isVisible(), nMode == STAT_DATE_FIELD);
    TypeInto(Edit(&dlg, IDC_RESULT_PATH), strPath);
    QCOMPARE(Button(&dlg, IDC_GENERATE)->isEnabled(), bEnabled);
    QCOMPARE(dlg.minimumSize(), QSize(534, 286));
    QCOMPARE(dlg.maximumSize(), QSize(800, 500));
    const QImage picture = dlg.grab().toImage();
    QVERIFY(dlg.SeparatorY() > dlg.GetDlgItem(IDC_DATE_GROUP)->geometry().bottom());
    QCOMPARE(QColor(picture.pixel(dlg.width() / 2, dlg.SeparatorY())), QColor(231, 75, 20));
}

void TestDlgTableStats::refusedExpressionKeepsTheDialog_data()
{
    QTest::addColumn<QString>("strField");
    QTest::addColumn<QString>("strMessage");
    QTest::newRow("semicolon") << "ABAN8); DROP TABLE F0101; --"
                               << "The date column expression (%1) must not contain a semicolon (;).";
    QTest::newRow("unclosed parenthesis") << "MAX(ABAN8"
                                          << "The date column expression (%1) must close every parenthesis it opens.";
    QTest::newRow("comment") << "ABAN8 -- x" << "The date column expression (%1) must not contain a comment (--, /*, #).";
}

// An expression that would leave its place in the statements is refused
// before anything runs; the dialog keeps the text for the user to mend.
void TestDlgTableStats::refusedExpressionKeepsTheDialog()
{
    QFETCH(QString, strField);
    QFETCH(QString, strMessage);
    KV_JDE_BED(pBed, Engine::MariaDB, kvtest::JdeOptions());
    ConnectedMain desk;
    QVERIFY(desk.Connect(pBed->pDatabase->Dsn()));
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("refused.csv"));
    ModalScript script;
    bool bRan = false;
    WhenShown<CDlgTableStats>([&](CDlgTableStats& dlg) {
        Click(&dlg, IDC_DATE_FIELD);
        TypeInto(dlg.m_editField, strField);
        TypeInto(Edit(&dlg, IDC_RESULT_PATH), strPath);
        Click(&dlg, IDC_GENERATE);
        QCOMPARE(script.m_arrBoxTexts, QStringList{strMessage.arg(strField)});
        QCOMPARE(script.m_nWaitShown, 0);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.m_editField->text(), strField);
        QVERIFY(dlg.m_editField->isVisible());
    }, bRan);
    QTest::mouseClick(desk.main.GetDlgItem(IDC_TABLE_STATS), Qt::LeftButton);
    QVERIFY(bRan);
    QVERIFY(!QFile::exists(strPath));
}

// Cancel in the middle of a few hundred tables: the file ends with the
// cancel line, and the dialog can run again.
void TestDlgTableStats::cancelLeavesTheCancelLine()
{
    kvtest::JdeOptions options;
    options.nExtraTables = 300;
    options.bRegisterExtraTables = true;
    KV_JDE_BED(pBed, Engine::PostgreSQL, options);
    ConnectedMain desk;
    QVERIFY(desk.Connect(pBed->pDatabase->Dsn()));
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("cancelled.csv"));
    ModalScript script;
    // Cancelled while the lines are written: a table is shown and the file has lines.
    qint64 nCancelledAt = -1;
    int nRange = 0;
    script.onWait = [&](CDlgWait& wait) {
        const auto* pItem = qobject_cast<QLabel*>(wait.GetDlgItem(IDC_WAIT_ITEM));
        if (nCancelledAt < 0 && !pItem->text().isEmpty() && QFileInfo(strPath).size() > 2000) {
            nCancelledAt = QFileInfo(strPath).size();
            nRange = qobject_cast<QProgressBar*>(wait.GetDlgItem(IDC_PROGRESS))->maximum();
            Click(&wait, IDCANCEL);
            Click(&wait, IDCANCEL);
        }
    };
    bool bRan = false;
    WhenShown<CDlgTableStats>([&](CDlgTableStats& dlg) {
        Click(&dlg, IDC_DATE_NONE);
        TypeInto(Edit(&dlg, IDC_RESULT_PATH), strPath);
        Click(&dlg, IDC_GENERATE);
        QVERIFY(nCancelledAt > 0);
        QVERIFY2(nRange >= 300, qPrintable(QString::number(nRange)));
        const QByteArray written = ReadFile(strPath);
        QVERIFY2(written.startsWith("\xFF\xFE"), written.left(200).constData());
        QVERIFY(written.endsWith(Utf16(QStringLiteral("\tUser has cancelled the process\r\n")))
                || written.endsWith(Utf16(QStringLiteral("User has cancelled the process\r\n"))));
        const int nLines = int(written.count(Utf16(QStringLiteral("\r\n"))));
        QVERIFY2(nLines >= 20 && nLines < 300, qPrintable(QString::number(nLines)));
        // Usable again: the same run, this time to its end.
        script.onWait = nullptr;
        script.m_arrAnswers << QMessageBox::Yes;
        QVERIFY(Button(&dlg, IDC_GENERATE)->isEnabled());
        Click(&dlg, IDC_GENERATE);
        QCOMPARE(script.m_nWaitShown, 2);
        QCOMPARE(script.m_arrBoxTexts.size(), 1);
        QVERIFY(script.m_arrBoxTexts.first().startsWith(QStringLiteral("Result file (%1) already exists.").arg(strPath)));
        const QByteArray complete = ReadFile(strPath);
        QVERIFY(!complete.endsWith(Utf16(QStringLiteral("User has cancelled the process\r\n"))));
        QVERIFY(complete.count(Utf16(QStringLiteral("\r\n"))) > nLines);
    }, bRan);
    QTest::mouseClick(desk.main.GetDlgItem(IDC_TABLE_STATS), Qt::LeftButton);
    QVERIFY(bRan);
}

void TestDlgTableStats::defaultFileNameAndFilter()
{
    SetInterfaceLanguage(QStringLiteral("FRA"), QString());
    CQalmetApp app;
    QTemporaryDir dir;
    app.GetSettings().SaveDefaultDirectory(dir.filePath(QStringLiteral("any.csv")));
    app.GetDatabase(DB_TOOLS)->m_strDSN = QStringLiteral("DEV/ERP 9.1");
    CDlgTableStats dlg(nullptr);
    QVERIFY(dlg.Create());
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QCOMPARE(Edit(&dlg, IDC_RESULT_PATH)->text(), dir.filePath(QStringLiteral("DEV_ERP 9_1.csv")));
    ModalScript script;
    QStringList arrFilters;
    script.onFileDialog = [&](QFileDialog& files) {
        arrFilters = files.nameFilters();
        ChooseInFileDialog(files, QStringLiteral("stats"));
    };
    Click(&dlg, IDC_RESULT_SELECT);
    QCOMPARE(arrFilters, QStringList{QString::fromUtf8("CSV (séparateur : point-virgule) (*.csv)")});
    QCOMPARE(Edit(&dlg, IDC_RESULT_PATH)->text(), dir.filePath(QStringLiteral("stats.csv")));
    // Closed by its close box, the dialog keeps the folder for the next time.
    dlg.close();
    QCOMPARE(QDir::cleanPath(app.GetSettings().GetDefaultDirectory()), QDir::cleanPath(dir.path()));
}

QTEST_MAIN(TestDlgTableStats)
#include "tst_dlgtablestats.moc"
