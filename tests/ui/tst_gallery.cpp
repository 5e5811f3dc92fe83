// Renders every dialog of the shell in French and in English into PNG files
// of the build folder, for review by eye.

#include "app/connectattempt.h"
#include "app/dlgmain.h"
#include "app/formattext.h"
#include "app/language.h"
#include "app/qalmetapp.h"
#include "app/schemalistctrl.h"
#include "controls/aboutdlg.h"
#include "controls/dialogbuilder.h"
#include "controls/dlgdatasources.h"
#include "controls/guiprompt.h"
#include "controls/tabctrlex.h"
#include "res/dialogtemplates.h"
#include "res/resourceimages.h"
#include "res/stringids.h"
#include "tests/app/privatesettings.h"
#include "tests/fixtures/jdefixture.h"
#include "tests/ui/comparisonwindowsupport.h"
#include "tests/ui/modalwatcher.h"
#include "tests/ui/paramsanswerer.h"
#include "tests/ui/tooldialogsupport.h"
#include "tools/dlgwait.h"
#include "views/comparelauncher.h"
#include "views/comparefrm.h"
#include "views/formcompare.h"
#include "views/comparelistctrl.h"
#include "views/formgen.h"
#include "views/formdbselect.h"
#include "views/formtablestruct.h"
#include "views/mainframe.h"
#include "views/tablestructfrm.h"
#include "views/zembralistctrl.h"
#include "views/dlgqalmet.h"
#include "views/dlgtablestats.h"

#include <QCoreApplication>
#include <QDir>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// A wait dialog whose worker sends a few messages and waits to be released.
class GalleryWait : public CDlgWait
{
public:
    using CDlgWait::CDlgWait;
    std::atomic<bool> m_bRelease{false};

protected:
    bool RunTask() override
    {
        const QString strTable = QStringLiteral("PRODDTA.F4211");
        if (m_nType != WAIT_DATABASE_INFO) {
            SendMessage(WM_TASK_SETRANGE, 0, 10);
            SendMessage(WM_TASK_SETITEM, 0, reinterpret_cast<qintptr>(&strTable));
            for (int i = 1; i <= 4; ++i)
                SendMessage(WM_TASK_STEP, m_nType == WAIT_DECIMAL_UPDATE ? i / 2 : -1, i);
        }
        for (int i = 0; i < 1000 && !m_bRelease; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return true;
    }
};

}  // namespace

class TestGallery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void render_data();
    void render();
    void renderToolDialogs_data();
    void renderToolDialogs();
    void renderComparisons_data();
    void renderComparisons();

private:
    void Save(QWidget& widget, const QString& strName);
    // The comparison window with the sides on these data sources (empty:
    // none), once both have ended their work.
    void SaveComparisonWindow(const QString& strLeft, const QString& strRight, const QString& strName);
    void SaveMessageBox(const QString& strText, const QString& strName);
    // The options dialog of a window's export, then cancelled.
    void SaveExportOptions(CZembraFormView* pForm, const QString& strName);
    // The structure window of a table of the schema, on each of its tabs.
    void SaveStructureWindow(const QString& strDsn, const QString& strSchemaKey, const QString& strTable,
                             const QString& strSuffix);

    std::unique_ptr<PrivateSettings> m_pSettings;
    std::unique_ptr<QTemporaryDir> m_pDemoDir;
    QDir m_folder;
};

void TestGallery::initTestCase()
{
    m_pSettings = std::make_unique<PrivateSettings>();
    CreateSharedImageList();
    m_folder = QDir(QCoreApplication::applicationDirPath());
    QVERIFY(m_folder.mkpath(QStringLiteral("gallery")));
    QVERIFY(m_folder.cd(QStringLiteral("gallery")));
    // The companion pictures are generated beside this executable.
    QVERIFY(QFile::exists(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Logo.png"))));
}

void TestGallery::Save(QWidget& widget, const QString& strName)
{
    const QImage picture = widget.grab().toImage();
    QVERIFY(!picture.isNull());
    const QString strPath = m_folder.filePath(strName + QStringLiteral(".png"));
    QVERIFY(picture.save(strPath));
    qInfo("%s", qPrintable(strPath));
}

void TestGallery::SaveComparisonWindow(const QString& strLeft, const QString& strRight, const QString& strName)
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    // The left side would take the main dialog's data source.
    pApp->GetDatabase(DB_TOOLS)->m_strDSN.clear();
    for (auto [nSide, strDsn] : {std::pair{int(DB_LEFT), strLeft}, std::pair{int(DB_RIGHT), strRight}}) {
        CDBData* pDB = pApp->GetDatabase(nSide);
        pDB->m_pDatabase.reset();
        pDB->m_strDSN = strDsn;
        pDB->m_bSystemDSN = nSide == DB_RIGHT;
    }
    QPointer<CMainFrame> pFrame = new CMainFrame(nullptr);
    pFrame->Open();
    QVERIFY(QTest::qWaitForWindowExposed(pFrame));
    QTRY_VERIFY_WITH_TIMEOUT(pFrame->GetDBForm(0)->m_nSide == 0 && !pFrame->GetDBForm(0)->IsBusy() &&
                                 pFrame->GetDBForm(1)->m_nSide == 1 && !pFrame->GetDBForm(1)->IsBusy(),
                             20000);
    if (pFrame->GetDBForm(0)->m_lstTables->GetItemCount() > 1)
        pFrame->GetDBForm(0)->m_lstTables->SelectRow(1);
    Save(*pFrame, strName);
    pFrame->close();
    QTRY_VERIFY(pFrame.isNull());
}

void TestGallery::SaveStructureWindow(const QString& strDsn, const QString& strSchemaKey, const QString& strTable,
                                      const QString& strSuffix)
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    pApp->GetDatabase(DB_TOOLS)->m_strDSN.clear();
    for (int nSide : {int(DB_LEFT), int(DB_RIGHT)}) {
        pApp->GetDatabase(nSide)->m_pDatabase.reset();
        windowtest::UseDataSource(nSide, nSide == DB_LEFT ? strDsn : QString());
    }
    QPointer<CMainFrame> pFrame = windowtest::OpenWindow();
    QVERIFY(pFrame != nullptr);
    CFormDBSelect* pForm = pFrame->GetDBForm(0);
    windowtest::ChooseSchema(pForm, strSchemaKey);
    QTRY_VERIFY_WITH_TIMEOUT(windowtest::SidesIdle(pFrame) && pForm->m_lstTables->isVisible(), 20000);
    windowtest::ClickRow(pForm->m_lstTables, windowtest::ListedTables(pForm).indexOf(strTable));
    QTest::mouseClick(pForm->GetDlgItem(IDC_SHOW_STRUCTURE), Qt::LeftButton);
    const QList<CTableStructFrm*> windows = pFrame->findChildren<CTableStructFrm*>();
    QCOMPARE(windows.size(), 1);
    CTableStructFrm* pWindow = windows.first();
    pWindow->resize(CTableStructFrm::kMinTrackSize);
    QVERIFY(QTest::qWaitForWindowExposed(pWindow));
    Save(*pWindow, QStringLiteral("structure_fields") + strSuffix);
    QTabBar* pTabs = pWindow->GetForm()->m_tabCtrl->tabBar();
    QTest::mouseClick(pTabs, Qt::LeftButton, {}, pTabs->tabRect(1).center());
    Save(*pWindow, QStringLiteral("structure_indexes") + strSuffix);
    SaveExportOptions(pWindow->GetForm(), QStringLiteral("structure_options_export") + strSuffix);
    pFrame->close();
    QTRY_VERIFY(pFrame.isNull());
}

void TestGallery::SaveExportOptions(CZembraFormView* pForm, const QString& strName)
{
    ParamsAnswerer answerer({[&](CDlgParams& dlg) {
        Save(dlg, strName);
        QTest::mouseClick(dlg.GetDlgItem(IDCANCEL), Qt::LeftButton);
    }});
    QTest::mouseClick(pForm->GetDlgItem(IDC_EXPORT), Qt::LeftButton);
    QCOMPARE(answerer.m_nShown, 1);
}

void TestGallery::SaveMessageBox(const QString& strText, const QString& strName)
{
    bool bSaved = false;
    QTimer::singleShot(100, [&] {
        auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(pBox != nullptr);
        Save(*pBox, strName);
        bSaved = true;
        pBox->button(QMessageBox::Ok)->click();
    });
    CGuiPrompt().ShowMessage(strText, CPrompt::Ok);
    QVERIFY(bSaved);
}

void TestGallery::render_data()
{
    QTest::addColumn<QString>("strLanguage");
    QTest::newRow("FRA") << QStringLiteral("FRA");
    QTest::newRow("ENG") << QStringLiteral("ENG");
}

void TestGallery::render()
{
    QFETCH(QString, strLanguage);
    CQalmetApp app;
    SetInterfaceLanguage(strLanguage, QString());
    const QString strSuffix = u'_' + strLanguage;

    {
        CDlgMain dlg;
        QVERIFY(dlg.Create());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        Save(dlg, QStringLiteral("main_start") + strSuffix);
    }
    {
        // Connected to a JDE-shaped database, schemas listed, one unticked.
        KV_JDE_BED(pBed, kvtest::Engine::PostgreSQL, kvtest::JdeOptions());
        CDBData* pDB = app.GetDatabase(DB_TOOLS);
        pDB->m_strDSN = pBed->pDatabase->Dsn();
        pDB->m_bSystemDSN = false;
        QVERIFY(pDB->Connect());
        pDB->LoadDatabaseInfo(nullptr);
        CDlgMain dlg;
        QVERIFY(dlg.Create());
        dlg.m_wndSchemaList->FillSchemas();
        QStringList arrKeys;
        pDB->GetSchemaKeys(arrKeys);
        if (arrKeys.size() > 1)
            pDB->ToggleSchemaSelected(arrKeys[1]);
        dlg.m_wndDsnIcon->setPixmap(SharedImageList()[IMG_USER]);
        qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_DSN_NAME))->setText(pDB->m_strDSN);
        dlg.UpdateControls();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        Save(dlg, QStringLiteral("main_connected") + strSuffix);
    }
    {
        kvtest::OdbcEnvironment::Instance().AddDataSource(QStringLiteral("JDE_PROD"), QStringLiteral("SQLite3"),
                                                          {{QStringLiteral("Database"), QStringLiteral("/x.db")}});
        kvtest::OdbcEnvironment::Instance().AddDataSource(QStringLiteral("JDE_CRP"), QStringLiteral("SQLite3"),
                                                          {{QStringLiteral("Database"), QStringLiteral("/y.db")}});
        QString strName = QStringLiteral("jde_prod");
        int nKind = 0;
        CDlgDataSources dlg(&strName, &nKind, nullptr);
        QVERIFY(dlg.Create());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        Save(dlg, QStringLiteral("datasources") + strSuffix);
    }
    {
        // The comparison window: empty, one side choosing its schema, both
        // lists shown (a long name cut), a side whose login was refused.
        KV_JDE_BED(pJde, kvtest::Engine::PostgreSQL, kvtest::JdeOptions());
        KV_CREATE_DATABASE(pLeft, kvtest::Engine::SQLite);
        KV_CREATE_DATABASE(pRight, kvtest::Engine::SQLite);
        for (const char* pszTable : {"F0002", "F0101", "F0111", "F4211", "F9210"})
            pLeft->Exec(QStringLiteral("CREATE TABLE %1 (K INTEGER)").arg(QLatin1String(pszTable)));
        pLeft->Exec(QStringLiteral("CREATE VIEW V0101 AS SELECT K FROM F0101"));
        for (const char* pszTable : {"F0101", "F0101_ADDRESS_BOOK_MASTER_HISTORY_OF_EVERY_CHANGE_EVER_MADE", "F4211"})
            pRight->Exec(QStringLiteral("CREATE TABLE %1 (K INTEGER)").arg(QLatin1String(pszTable)));
        const kvtest::ServerAddress server = kvtest::ServerOf(kvtest::Engine::MariaDB);
        kvtest::OdbcEnvironment::Instance().AddDataSource(
            QStringLiteral("kv_gallery_refused"), QStringLiteral("MariaDB Unicode"),
            {{QStringLiteral("Server"), server.strHost}, {QStringLiteral("Port"), QString::number(server.nPort)},
             {QStringLiteral("User"), QStringLiteral("kitvane")},
             {QStringLiteral("Password"), QStringLiteral("not-the-password")}});
        SaveComparisonWindow(QString(), QString(), QStringLiteral("window_empty") + strSuffix);
        SaveComparisonWindow(pJde->pDatabase->Dsn(), QString(), QStringLiteral("window_one_side") + strSuffix);
        SaveComparisonWindow(pLeft->Dsn(), pRight->Dsn(), QStringLiteral("window_both_lists") + strSuffix);
        SaveComparisonWindow(QStringLiteral("kv_gallery_refused"), pRight->Dsn(),
                             QStringLiteral("window_refused_login") + strSuffix);
        // The structure window, at its smallest, of a table with an index
        // on three fields.
        SaveStructureWindow(pJde->pDatabase->Dsn(), pJde->pFixture->Key(kvtest::kProductionSchema),
                            pJde->pFixture->Spelled(QStringLiteral("F0101")), strSuffix);
    }
    {
        CAboutDlg dlg;
        QVERIFY(dlg.Create());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        Save(dlg, QStringLiteral("about") + strSuffix);
    }
    {
        // Waiting for a connection that may still be abandoned.
        app.GetDatabase(DB_TOOLS)->m_strDSN = QStringLiteral("JDE_PROD");
        CConnectAttempt attempt(QStringLiteral("kv_gallery_no_such_dsn"));
        GalleryWait dlg(attempt, nullptr);
        QTimer::singleShot(300, &dlg, [&] {
            Save(dlg, QStringLiteral("wait_connecting") + strSuffix);
            dlg.m_bRelease = true;
        });
        QCOMPARE(dlg.DoModal(), 1);
    }
    {
        // The messages with the driver's own reason and a file path.
        const kvtest::ServerAddress server = kvtest::ServerOf(kvtest::Engine::PostgreSQL);
        kvtest::OdbcEnvironment::Instance().AddDataSource(
            QStringLiteral("kv_gallery_missing"), QStringLiteral("PostgreSQL Unicode"),
            {{QStringLiteral("Servername"), server.strHost}, {QStringLiteral("Port"), QString::number(server.nPort)},
             {QStringLiteral("Database"), QStringLiteral("kv_no_such_database")},
             {QStringLiteral("Username"), QStringLiteral("kitvane")}});
        CDBData refused;
        refused.m_strDSN = QStringLiteral("kv_gallery_missing");
        QVERIFY(!refused.Connect());
        SaveMessageBox(FormatLangString(StringId::ConnectionFailed, {refused.GetLastError()}),
                       QStringLiteral("box_connection_failed") + strSuffix);
        SaveMessageBox(FormatLangString(StringId::NoProgramOpensFile, {QStringLiteral("/opt/kitvane/HelpFRA.pdf")}),
                       QStringLiteral("box_no_program") + strSuffix);
        SaveMessageBox(FormatLangString(StringId::UnexpectedError, {QStringLiteral("std::bad_alloc")}),
                       QStringLiteral("box_unexpected_error") + strSuffix);
    }
    for (int nType : {WAIT_DATABASE_INFO, WAIT_DECIMAL_UPDATE, WAIT_STATISTICS}) {
        GalleryWait dlg(QString(), nType, nType != WAIT_DATABASE_INFO, nullptr);
        QTimer::singleShot(300, &dlg, [&] {
            Save(dlg, QStringLiteral("wait%1").arg(nType) + strSuffix);
            dlg.m_bRelease = true;
        });
        QCOMPARE(dlg.DoModal(), 1);
    }
}

void TestGallery::renderToolDialogs_data()
{
    render_data();
}

// The two tool dialogs in each of their modes, on a data source whose name
// gives the default result file.
void TestGallery::renderToolDialogs()
{
    QFETCH(QString, strLanguage);
    CQalmetApp app;
    SetInterfaceLanguage(strLanguage, QString());
    const QString strSuffix = u'_' + strLanguage;
    app.GetDatabase(DB_TOOLS)->m_strDSN = QStringLiteral("JDE_PROD");
    const auto click = [](QWidget* pDialog, int nId) {
        QTest::mouseClick(qobject_cast<QAbstractButton*>(CDialogBuilder::FindControl(pDialog, nId)), Qt::LeftButton);
    };
    for (const auto& [bClassMode, nClick, strName] :
         {std::tuple{true, int(IDC_MODE_ALIAS), QStringLiteral("decimal_alias")},
          std::tuple{true, int(IDC_MODE_CLASS), QStringLiteral("decimal_class")},
          std::tuple{false, int(IDC_MODE_ALIAS), QStringLiteral("decimal_no_dictionary")}}) {
        CDlgQalmet dlg(bClassMode, nullptr);
        QVERIFY(dlg.Create());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        click(&dlg, nClick);
        QTest::keyClicks(nClick == IDC_MODE_CLASS ? dlg.m_editClass : dlg.m_editAlias,
                         nClick == IDC_MODE_CLASS ? QStringLiteral("AMOUNT") : QStringLiteral("UPRC"));
        Save(dlg, strName + strSuffix);
        dlg.EndDialog(2);
    }
    for (int nId : {int(IDC_DATE_UPMJ), int(IDC_DATE_FIELD), int(IDC_DATE_NONE)}) {
        CDlgTableStats dlg(nullptr);
        QVERIFY(dlg.Create());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        click(&dlg, nId);
        if (nId == IDC_DATE_FIELD)
            QTest::keyClicks(dlg.m_editField, QStringLiteral("MAX_UPDATED"));
        Save(dlg, QStringLiteral("stats_mode%1").arg(nId - IDC_DATE_UPMJ) + strSuffix);
        dlg.EndDialog(2);
    }
}

namespace {

// Selects the first different table and asks for its fields.
void ShowFirstDifferentTable(CFormCompare* pForm)
{
    for (int nRow = 0; nRow < pForm->GetList()->GetItemCount(); ++nRow) {
        if (pForm->GetList()->GetItemStatus(nRow) == 3) {
            pForm->GetList()->SelectRow(nRow);
            break;
        }
    }
    QTest::mouseClick(pForm->GetDlgItem(IDC_SHOW_DETAILS), Qt::LeftButton);
}

}  // namespace

void TestGallery::renderComparisons_data()
{
    render_data();
}

// The options, the progress and the three result windows on the demo data.
void TestGallery::renderComparisons()
{
    QFETCH(QString, strLanguage);
    const QString strSuffix = QStringLiteral("_") + strLanguage;
    // Built once: the data sources keep naming the same files.
    if (!m_pDemoDir) {
        m_pDemoDir = std::make_unique<QTemporaryDir>();
        QString strErr;
        QCOMPARE(tooltest::RunCli({QStringLiteral("demo"), QStringLiteral("--dir"), m_pDemoDir->path()}, &strErr), 0);
    }
    QTemporaryDir tmp;
    qputenv("TMP", QFile::encodeName(tmp.path()));
    CQalmetApp app;
    SetInterfaceLanguage(strLanguage, QString());
    app.GetDatabase(DB_TOOLS)->m_strDSN.clear();
    for (int nSide : {0, 1}) {
        CDBData* pDB = app.GetDatabase(nSide);
        pDB->m_strDSN = QString::fromLatin1(nSide == 0 ? "DEMO_DEV" : "DEMO_PROD");
        pDB->m_bSystemDSN = false;
    }
    QPointer<CMainFrame> pFrame = new CMainFrame(nullptr);
    pFrame->Open();
    QVERIFY(QTest::qWaitForWindowExposed(pFrame));
    QTRY_VERIFY_WITH_TIMEOUT(app.GetDatabase(0)->m_bTableListShown && app.GetDatabase(1)->m_bTableListShown
                                 && !pFrame->GetDBForm(0)->IsBusy() && !pFrame->GetDBForm(1)->IsBusy(),
                             20000);
    CCompareLauncher* pLauncher = pFrame->GetCompareLauncher();
    for (int nButton : {IDC_COMPARE_TABLES, IDC_COMPARE_ALIASES}) {
        const QString strKind = nButton == IDC_COMPARE_TABLES ? QStringLiteral("tables") : QStringLiteral("aliases");
        {
            ModalWatcher watcher;
            bool bWaitSaved = false;
            watcher.onWait = [&](CDlgWait& wait) {
                if (!bWaitSaved) {
                    bWaitSaved = true;
                    Save(wait, QStringLiteral("compare_wait_") + strKind + strSuffix);
                }
            };
            ParamsAnswerer answerer({[&](CDlgParams& dlg) {
                Save(dlg, QStringLiteral("compare_options_") + strKind + strSuffix);
                QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton);
            }});
            QTest::mouseClick(pFrame->GetLauncher()->GetDlgItem(nButton), Qt::LeftButton);
        }
        QVERIFY(!pLauncher->GetFrames().isEmpty());
        CCompareFrm* pWindow = pLauncher->GetFrames().last();
        pWindow->resize(nButton == IDC_COMPARE_TABLES ? 600 : 900, 600);
        QVERIFY(QTest::qWaitForWindowExposed(pWindow));
        Save(*pWindow, QStringLiteral("compare_window_") + strKind + strSuffix);
        if (nButton != IDC_COMPARE_TABLES) {
            SaveExportOptions(pWindow->GetForm(), QStringLiteral("compare_options_alias_export") + strSuffix);
            continue;
        }
        // The fields of the first different table, with and without SQL types.
        CFormCompare* pForm = pWindow->GetForm();
        ShowFirstDifferentTable(pForm);
        CCompareFrm* pFields = pLauncher->GetFrames().last();
        QVERIFY(pFields != pWindow);
        pFields->resize(600, 450);
        QVERIFY(QTest::qWaitForWindowExposed(pFields));
        Save(*pFields, QStringLiteral("compare_window_fields") + strSuffix);
        SaveExportOptions(pForm, QStringLiteral("compare_options_table_export") + strSuffix);
        for (CCompareFrm* pOpen : pLauncher->GetFrames())
            pOpen->close();
    }
    // The field window with SQL types and its header band.
    app.GetOptions().SetOption(OPT_COMPARE_SQL_TYPES, true);
    {
        ParamsAnswerer answerer({[&](CDlgParams& dlg) { QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton); }});
        QTest::mouseClick(pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_TABLES), Qt::LeftButton);
    }
    QVERIFY(!pLauncher->GetFrames().isEmpty());
    CFormCompare* pForm = pLauncher->GetFrames().last()->GetForm();
    ShowFirstDifferentTable(pForm);
    CCompareFrm* pFields = pLauncher->GetFrames().last();
    pFields->resize(900, 450);
    QVERIFY(QTest::qWaitForWindowExposed(pFields));
    Save(*pFields, QStringLiteral("compare_window_fields_sqltypes") + strSuffix);
    SaveExportOptions(pFields->GetForm(), QStringLiteral("compare_options_field_export") + strSuffix);
    pFrame->close();
    QTRY_VERIFY(pFrame.isNull());
    qunsetenv("TMP");
}

QTEST_MAIN(TestGallery)
#include "tst_gallery.moc"
