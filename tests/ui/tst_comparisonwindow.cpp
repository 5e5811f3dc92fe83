// The comparison window over real databases: opened from the main dialog,
// each side connecting, choosing its schema and listing its tables, the
// launcher's buttons, the search, the fixed splitters and the placement.

#include "app/connectattempt.h"
#include "app/dlgmain.h"
#include "app/language.h"
#include "app/placementtext.h"
#include "app/qalmetapp.h"
#include "controls/dialogbuilder.h"
#include "controls/windowfunctions.h"
#include "db/dbdata.h"
#include "res/dialogtemplates.h"
#include "res/resourceimages.h"
#include "tests/app/privatesettings.h"
#include "tests/fixtures/jdefixture.h"
#include "tests/ui/comparisonwindowsupport.h"
#include "tests/ui/datasourcepicker.h"
#include "tests/ui/modalwatcher.h"
#include "tests/ui/paramsanswerer.h"
#include "tests/ui/schemachooser.h"
#include "views/basesplitwnd.h"
#include "views/dblistsplitwnd.h"
#include "views/formdbselect.h"
#include "views/formgen.h"
#include "views/mainframe.h"
#include "views/zembralistctrl.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <algorithm>

using namespace windowtest;

namespace {

bool Shown(const QWidget* pForm, int nId)
{
    const QWidget* pControl = CDialogBuilder::FindControl(pForm, nId);
    return pControl != nullptr && !pControl->isHidden();
}

bool Usable(const QWidget* pForm, int nId)
{
    const QWidget* pControl = CDialogBuilder::FindControl(pForm, nId);
    return Shown(pForm, nId) && pControl->isEnabled();
}

CMainFrame* OpenFrame()
{
    return dynamic_cast<CMainFrame*>(CQalmetApp::GetInstance()->GetMainFrame());
}

// Shows the main dialog and clicks its comparison button; the window it
// opened, or null.
CMainFrame* ClickCompare(CDlgMain& dlg)
{
    if (!dlg.Create())
        return nullptr;
    dlg.show();
    if (!QTest::qWaitForWindowExposed(&dlg))
        return nullptr;
    QTest::mouseClick(dlg.GetDlgItem(IDC_COMPARE), Qt::LeftButton);
    return OpenFrame();
}

// A SQLite database of the named tables (and views over the first table).
std::unique_ptr<kvtest::TestDatabase> SmallDatabase(const QStringList& arrTables, const QStringList& arrViews = {})
{
    auto pDatabase = std::make_unique<kvtest::TestDatabase>(kvtest::Engine::SQLite);
    for (const QString& strTable : arrTables)
        pDatabase->Exec(QStringLiteral("CREATE TABLE %1 (K INTEGER)").arg(strTable));
    for (const QString& strView : arrViews)
        pDatabase->Exec(QStringLiteral("CREATE VIEW %1 AS SELECT K FROM %2").arg(strView, arrTables.first()));
    return pDatabase;
}

}  // namespace

class TestComparisonWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void opensModalCentredFromTheMainDialog();
    void leftSideTakesTheMainDialogsDataSource();
    void placementRestored();
    void shortPlacementIgnored();
    void sideConnectsAndLists_data();
    void sideConnectsAndLists();
    void refusedLoginIsExplained();
    void failedTableReadHidesTheList();
    void launcherButtons_data();
    void launcherButtons();
    void search_data();
    void search();
    void barsCannotBeDragged();
    void paneSizes_data();
    void paneSizes();
    void oddWidthGivesTheLeftTheSmallerHalf();
    void closingWhileConnectingGivesTheMainDialogBack();
    void controlsHaveAccessibleNames();

private:
    std::unique_ptr<PrivateSettings> m_pSettings;
};

void TestComparisonWindow::initTestCase()
{
    m_pSettings = std::make_unique<PrivateSettings>();
    CreateSharedImageList();
}

void TestComparisonWindow::init()
{
    m_pSettings->Reset();
    SetInterfaceLanguage(QStringLiteral("ENG"), QString());
}

void TestComparisonWindow::opensModalCentredFromTheMainDialog()
{
    CQalmetApp app;
    CDlgMain dlg;
    QPointer<CMainFrame> pFrame = ClickCompare(dlg);
    QVERIFY(pFrame != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(pFrame));
    QCOMPARE(pFrame->size(), QSize(680, 505));
    const QPoint offset = pFrame->frameGeometry().center() - pFrame->screen()->availableGeometry().center();
    QVERIFY2(qAbs(offset.x()) <= 3 && qAbs(offset.y()) <= 3, qPrintable(QStringLiteral("%1, %2").arg(offset.x()).arg(offset.y())));
    QVERIFY(!pFrame->isMaximized());
    QCOMPARE(pFrame->windowTitle(), QStringLiteral("TALVORIN Kitvane"));

    // Nothing chosen: each side offers its data source button only.
    QTRY_VERIFY(SidesIdle(pFrame));
    for (int nSide : {0, 1}) {
        CFormDBSelect* pForm = pFrame->GetDBForm(nSide);
        QVERIFY(Usable(pForm, IDC_DSN_CHOOSE));
        for (int nId : {IDC_DSN_ICON, IDC_DSN_NAME, IDC_CONNECT, IDC_SCHEMA_COMBO, IDC_SEARCH_TEXT, IDC_ITEM_LIST,
                        IDC_SHOW_STRUCTURE, IDC_DB_STATUS})
            QVERIFY2(!Shown(pForm, nId), qPrintable(QString::number(nId)));
    }
    QVERIFY(!pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_TABLES)->isEnabled());
    QVERIFY(!pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_ALIASES)->isEnabled());

    // The main dialog is blocked, not disabled: its button opens nothing
    // more, and the window's own controls stay usable.
    QVERIFY(QApplication::activeModalWidget() == pFrame.data());
    QVERIFY(dlg.isEnabled());
    QWidget* pCompare = dlg.GetDlgItem(IDC_COMPARE);
    QTest::mouseClick(dlg.windowHandle(), Qt::LeftButton, {}, pCompare->mapTo(&dlg, pCompare->rect().center()));
    QCOMPARE(dlg.findChildren<CMainFrame*>().size(), 1);
    QVERIFY(pFrame->GetDBForm(0)->GetDlgItem(IDC_DSN_CHOOSE)->isEnabled());

    // Escape does not close the window by accident.
    QTest::keyClick(pFrame->GetDBForm(0)->GetDlgItem(IDC_DSN_CHOOSE), Qt::Key_Escape);
    QVERIFY(pFrame->isVisible());

    pFrame->close();
    QTRY_VERIFY(pFrame.isNull());
    QVERIFY(app.GetMainFrame() == nullptr);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    // The main dialog works again: the button opens a new window.
    QTest::mouseClick(dlg.GetDlgItem(IDC_COMPARE), Qt::LeftButton);
    QVERIFY(OpenFrame() != nullptr);
    OpenFrame()->close();
    dlg.EndDialog(2);
}

void TestComparisonWindow::leftSideTakesTheMainDialogsDataSource()
{
    auto pDatabase = SmallDatabase({QStringLiteral("F0101")});
    CQalmetApp app;
    UseDataSource(DB_TOOLS, pDatabase->Dsn());
    CDlgMain dlg;
    ModalWatcher watcher;
    QPointer<CMainFrame> pFrame = ClickCompare(dlg);
    QVERIFY(pFrame != nullptr);
    QTRY_VERIFY(SidesIdle(pFrame));
    CFormDBSelect* pLeft = pFrame->GetDBForm(0);
    QCOMPARE(app.GetDatabase(DB_LEFT)->m_strDSN, pDatabase->Dsn());
    QCOMPARE(pLeft->GetDlgItem(IDC_DSN_NAME)->accessibleName(), pDatabase->Dsn());
    QCOMPARE(qobject_cast<QLabel*>(pLeft->GetDlgItem(IDC_DSN_NAME))->text(), pDatabase->Dsn());
    QCOMPARE(pLeft->m_stcIcon->pixmap().toImage(), SharedImageList()[IMG_USER].toImage());
    QVERIFY(app.GetDatabase(DB_LEFT)->IsConnected());
    QCOMPARE(ListedTables(pLeft), QStringList{QStringLiteral("F0101")});
    // The right side names nothing and stays as it was.
    QVERIFY(app.GetDatabase(DB_RIGHT)->m_strDSN.isEmpty());
    QVERIFY(!Shown(pFrame->GetDBForm(1), IDC_DSN_NAME));
    QVERIFY(watcher.m_arrBoxTexts.isEmpty());
    pFrame->close();
    QTRY_VERIFY(pFrame.isNull());
    dlg.EndDialog(2);
}

void TestComparisonWindow::placementRestored()
{
    CQalmetApp app;
    {
        auto* pFrame = new CMainFrame(nullptr);
        pFrame->Open();
        QVERIFY(QTest::qWaitForWindowExposed(pFrame));
        pFrame->setGeometry(QRect(40, 50, 720, 530));
        QTRY_COMPARE(pFrame->geometry(), QRect(40, 50, 720, 530));
        pFrame->showMaximized();
        QTRY_VERIFY(pFrame->isMaximized());
        QPointer<CMainFrame> pGone = pFrame;
        pFrame->close();
        QTRY_VERIFY(pGone.isNull());
    }
    QCOMPARE(app.GetSettings().GetProfileString(CSettingsStore::GetPlacementSection(-1), QStringLiteral("WndRect")),
             FormatWindowRect(QRect(40, 50, 720, 530)));
    QPointer<CMainFrame> pFrame = OpenWindow();
    QVERIFY(pFrame != nullptr);
    QTRY_VERIFY(pFrame->isMaximized());
    pFrame->showNormal();
    QTRY_COMPARE(pFrame->geometry(), QRect(40, 50, 720, 530));
    pFrame->close();
    QTRY_VERIFY(pFrame.isNull());
}

void TestComparisonWindow::shortPlacementIgnored()
{
    CQalmetApp app;
    app.GetSettings().WriteProfileString(CSettingsStore::GetPlacementSection(-1), QStringLiteral("WndRect"),
                                         QStringLiteral("10,20,800"));
    QPointer<CMainFrame> pFrame = OpenWindow();
    QVERIFY(pFrame != nullptr);
    QVERIFY(pFrame->geometry().topLeft() != QPoint(10, 20));
    QVERIFY(pFrame->width() != 790);
    QVERIFY(pFrame->width() >= CMainFrame::kMinWidth && pFrame->height() >= CMainFrame::kMinHeight);
    pFrame->close();
    QTRY_VERIFY(pFrame.isNull());
}

void TestComparisonWindow::sideConnectsAndLists_data()
{
    QTest::addColumn<int>("nEngine");
    QTest::addColumn<bool>("bJde");        // a JDE environment, else an empty database
    QTest::addColumn<int>("nSchemas");     // 0 none, 1 one, 2 several
    QTest::newRow("PostgreSQL, several schemas") << int(kvtest::Engine::PostgreSQL) << true << 2;
    QTest::newRow("MariaDB, several schemas") << int(kvtest::Engine::MariaDB) << true << 2;
    QTest::newRow("SQLite, one schema") << int(kvtest::Engine::SQLite) << true << 1;
    QTest::newRow("SQLite, no schema") << int(kvtest::Engine::SQLite) << false << 0;
}

void TestComparisonWindow::sideConnectsAndLists()
{
    QFETCH(int, nEngine);
    QFETCH(bool, bJde);
    QFETCH(int, nSchemas);
    const auto engine = kvtest::Engine(nEngine);
    std::unique_ptr<kvtest::TestDatabase> pEmpty;
    std::unique_ptr<kvtest::JdeTestBed> pBed;
    try {
        if (bJde)
            pBed = std::make_unique<kvtest::JdeTestBed>(engine, kvtest::JdeOptions());
        else
            pEmpty = std::make_unique<kvtest::TestDatabase>(engine);
    } catch (const std::exception& error) {
        QFAIL(error.what());
    }
    const QString strDsn = bJde ? pBed->pDatabase->Dsn() : pEmpty->Dsn();
    CQalmetApp app;
    QPointer<CMainFrame> pFrame = OpenWindow();
    QVERIFY(pFrame != nullptr);
    ModalWatcher watcher;

    // The right side: the data source dialog, then the connection at once.
    CFormDBSelect* pForm = pFrame->GetDBForm(1);
    bool bPicked = false;
    bool bWaitShown = false;
    PickDataSourceWhenShown(strDsn, bPicked, bWaitShown);
    QTest::mouseClick(pForm->GetDlgItem(IDC_DSN_CHOOSE), Qt::LeftButton);
    QVERIFY(bPicked);
    QTRY_VERIFY(SidesIdle(pFrame));
    QVERIFY(bWaitShown);
    CDBData* pDB = app.GetDatabase(DB_RIGHT);
    QCOMPARE(pDB->m_strDSN, strDsn);
    QVERIFY(pDB->IsConnected());
    QVERIFY2(watcher.m_arrBoxTexts.isEmpty(), qPrintable(watcher.m_arrBoxTexts.join(u'|')));
    QVERIFY(Shown(pForm, IDC_DSN_NAME));
    QVERIFY(!Shown(pForm, IDC_CONNECT));
    QVERIFY(!Shown(pForm, IDC_DB_STATUS));
    QCOMPARE(Shown(pForm, IDC_SCHEMA_COMBO), nSchemas == 2);
    QCOMPARE(Shown(pForm, IDC_ITEM_LIST), nSchemas == 1);
    QCOMPARE(Shown(pForm, IDC_SEARCH_TEXT), nSchemas == 1);
    QCOMPARE(pDB->m_bTableListShown, nSchemas == 1);
    QVERIFY(pDB->m_strSchema.isEmpty());
    if (nSchemas == 0)
        QVERIFY(pForm->m_lstTables->GetItemCount() == 0);

    QStringList expected;
    if (nSchemas == 2) {
        QVERIFY(pForm->m_cbSchema->count() > 1);
        QVERIFY(pForm->GetSchemaText().isEmpty());
        ChooseSchema(pForm, pBed->pFixture->Key(kvtest::kProductionSchema));
        QTRY_VERIFY(SidesIdle(pFrame));
        QCOMPARE(pDB->m_strSchema, pBed->pFixture->Key(kvtest::kProductionSchema));
        QVERIFY(!pForm->GetSchemaText().isEmpty());
        expected = pBed->pFixture->TablesOf(kvtest::kProductionSchema, true);
    } else if (nSchemas == 1) {
        for (const QString& strSchema : {kvtest::kSystemSchema, kvtest::kDictionarySchema, kvtest::kProductionSchema,
                                         kvtest::kCrpSchema, kvtest::kPatternSchema, kvtest::kLookalikeSchema})
            expected << pBed->pFixture->TablesOf(strSchema, true);
        QVERIFY(pForm->GetSchemaText().isEmpty());
    }
    if (nSchemas > 0) {
        QVERIFY(Shown(pForm, IDC_ITEM_LIST));
        QVERIFY(pDB->m_bTableListShown);
        QStringList listed = ListedTables(pForm);
        QStringList sortedListed = listed;
        std::sort(sortedListed.begin(), sortedListed.end());
        QCOMPARE(listed, sortedListed);
        expected.removeDuplicates();
        std::sort(expected.begin(), expected.end());
        QCOMPARE(sortedListed, expected);
        // Views and tables by their icons.
        for (int nRow = 0; nRow < pForm->m_lstTables->GetItemCount(); ++nRow) {
            const bool bView = pDB->IsView(pForm->m_lstTables->GetItemData(nRow));
            QCOMPARE(pForm->m_lstTables->GetItemImage(nRow), bView ? IMG_VIEW : IMG_TABLE);
        }
        // The structure button follows the selection.
        QVERIFY(Shown(pForm, IDC_SHOW_STRUCTURE));
        QVERIFY(!pForm->GetDlgItem(IDC_SHOW_STRUCTURE)->isEnabled());
        QTest::mouseClick(pForm->m_lstTables->viewport(), Qt::LeftButton, {},
                          pForm->m_lstTables->GetLabelRect(0).center());
        QVERIFY(pForm->GetDlgItem(IDC_SHOW_STRUCTURE)->isEnabled());
        QSignalSpy structure(pForm, &CFormDBSelect::showStructureRequested);
        QTest::mouseClick(pForm->GetDlgItem(IDC_SHOW_STRUCTURE), Qt::LeftButton);
        QCOMPARE(structure.size(), 1);
        QCOMPARE(structure.first().at(0).toInt(), 1);
        QCOMPARE(structure.first().at(1).toString(), listed.first());
    }
    pFrame->close();
    QTRY_VERIFY(pFrame.isNull());
}

void TestComparisonWindow::refusedLoginIsExplained()
{
    const kvtest::ServerAddress server = kvtest::ServerOf(kvtest::Engine::MariaDB);
    const QString strDsn = QStringLiteral("kv_window_refused");
    kvtest::OdbcEnvironment::Instance().AddDataSource(
        strDsn, QStringLiteral("MariaDB Unicode"),
        {{QStringLiteral("Server"), server.strHost}, {QStringLiteral("Port"), QString::number(server.nPort)},
         {QStringLiteral("User"), QStringLiteral("kitvane")}, {QStringLiteral("Password"), QStringLiteral("not-the-password")}});
    CQalmetApp app;
    SetInterfaceLanguage(QStringLiteral("FRA"), QString());
    UseDataSource(DB_LEFT, strDsn);
    ModalWatcher watcher;
    QPointer<CMainFrame> pFrame = OpenWindow();
    QVERIFY(pFrame != nullptr);
    CFormDBSelect* pForm = pFrame->GetDBForm(0);
    // Connecting on opening: the reason is shown under the data source,
    // without a box the user did not ask for.
    QVERIFY(watcher.m_arrBoxTexts.isEmpty());
    QVERIFY(Usable(pForm, IDC_CONNECT));
    QVERIFY(Shown(pForm, IDC_DB_STATUS));
    const QString strStatus = qobject_cast<QLabel*>(pForm->GetDlgItem(IDC_DB_STATUS))->text();
    QVERIFY2(strStatus.startsWith(QString::fromUtf8("Connexion à la source de données impossible.")), qPrintable(strStatus));
    QVERIFY2(strStatus.contains(QStringLiteral("Access denied for user 'kitvane'")), qPrintable(strStatus));
    QVERIFY(!app.GetDatabase(DB_LEFT)->IsConnected());
    QVERIFY(!Shown(pForm, IDC_ITEM_LIST));

    // An explicit click on Connection also tells it in a box.
    QTest::mouseClick(pForm->GetDlgItem(IDC_CONNECT), Qt::LeftButton);
    QTRY_VERIFY(SidesIdle(pFrame));
    QTRY_COMPARE(watcher.m_arrBoxTexts.size(), 1);
    QVERIFY2(watcher.m_arrBoxTexts.first().contains(QStringLiteral("Access denied for user 'kitvane'")),
             qPrintable(watcher.m_arrBoxTexts.first()));
    QVERIFY(Usable(pForm, IDC_CONNECT));
    pFrame->close();
    QTRY_VERIFY(pFrame.isNull());
    kvtest::OdbcEnvironment::Instance().RemoveDataSource(strDsn);
}

void TestComparisonWindow::failedTableReadHidesTheList()
{
    KV_JDE_BED(pBed, kvtest::Engine::PostgreSQL, kvtest::JdeOptions());
    KV_JDE_BED(pOther, kvtest::Engine::SQLite, kvtest::JdeOptions());
    CQalmetApp app;
    UseDataSource(DB_LEFT, pOther->pDatabase->Dsn());
    UseDataSource(DB_RIGHT, pBed->pDatabase->Dsn());
    QPointer<CMainFrame> pFrame = OpenWindow();
    QVERIFY(pFrame != nullptr);
    ModalWatcher watcher;
    CFormDBSelect* pForm = pFrame->GetDBForm(1);
    CDBData* pDB = app.GetDatabase(DB_RIGHT);
    ChooseSchema(pForm, pBed->pFixture->Key(kvtest::kDictionarySchema));
    QTRY_VERIFY(SidesIdle(pFrame));
    QVERIFY(pDB->m_bTableListShown);
    QVERIFY(!pDB->m_strDDTable.isEmpty());
    QWidget* pAliases = pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_ALIASES);
    QVERIFY(pAliases->isEnabled());

    // The server drops the session; reading the next schema fails.
    pBed->pDatabase->EndReadOnlySessions();
    ChooseSchema(pForm, pBed->pFixture->Key(kvtest::kProductionSchema));
    QTRY_VERIFY(SidesIdle(pFrame));
    QTRY_COMPARE(watcher.m_arrBoxTexts.size(), 1);
    QVERIFY2(watcher.m_arrBoxTexts.first().startsWith(QStringLiteral("Unable to read the table list.")),
             qPrintable(watcher.m_arrBoxTexts.first()));
    QVERIFY(!Shown(pForm, IDC_ITEM_LIST));
    QVERIFY(!Shown(pForm, IDC_SEARCH_TEXT));
    QVERIFY(Shown(pForm, IDC_DB_STATUS));
    QVERIFY(!pDB->m_bTableListShown);
    QVERIFY(pDB->m_strDDTable.isEmpty());
    QVERIFY(!pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_TABLES)->isEnabled());
    QVERIFY(!pAliases->isEnabled());
    // Connecting again is offered.
    QVERIFY(Usable(pForm, IDC_CONNECT));
    pFrame->close();
    QTRY_VERIFY(pFrame.isNull());
}

void TestComparisonWindow::launcherButtons_data()
{
    QTest::addColumn<bool>("bLeftDictionary");
    QTest::addColumn<bool>("bRightDictionary");
    QTest::newRow("both dictionaries") << true << true;
    QTest::newRow("left dictionary only") << true << false;
    QTest::newRow("right dictionary only") << false << true;
}

void TestComparisonWindow::launcherButtons()
{
    QFETCH(bool, bLeftDictionary);
    QFETCH(bool, bRightDictionary);
    kvtest::JdeOptions with;
    kvtest::JdeOptions without;
    without.dictionary = kvtest::Dictionary::None;
    KV_JDE_BED(pLeft, kvtest::Engine::SQLite, bLeftDictionary ? with : without);
    KV_JDE_BED(pRight, kvtest::Engine::SQLite, bRightDictionary ? with : without);
    CQalmetApp app;
    UseDataSource(DB_LEFT, pLeft->pDatabase->Dsn());
    QPointer<CMainFrame> pFrame = new CMainFrame(nullptr);
    QSignalSpy tables(pFrame.data(), &CMainFrame::compareTablesRequested);
    QSignalSpy aliases(pFrame.data(), &CMainFrame::compareAliasesRequested);
    pFrame->Open();
    QTRY_VERIFY(SidesIdle(pFrame));
    QWidget* pTables = pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_TABLES);
    QWidget* pAliases = pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_ALIASES);
    // One list shown: nothing to compare yet.
    QVERIFY(app.GetDatabase(DB_LEFT)->m_bTableListShown);
    QVERIFY(!pTables->isEnabled());
    QVERIFY(!pAliases->isEnabled());
    QTest::mouseClick(pTables, Qt::LeftButton);
    QCOMPARE(tables.size(), 0);

    ModalWatcher watcher;
    bool bPicked = false;
    bool bWaitShown = false;
    PickDataSourceWhenShown(pRight->pDatabase->Dsn(), bPicked, bWaitShown);
    QTest::mouseClick(pFrame->GetDBForm(1)->GetDlgItem(IDC_DSN_CHOOSE), Qt::LeftButton);
    QTRY_VERIFY(SidesIdle(pFrame));
    QVERIFY(app.GetDatabase(DB_RIGHT)->m_bTableListShown);
    QVERIFY(pTables->isEnabled());
    QCOMPARE(pAliases->isEnabled(), bLeftDictionary && bRightDictionary);
    // The buttons start their comparison with its options: cancelled here.
    ParamsAnswerer cancelOptions({});
    QTest::mouseClick(pTables, Qt::LeftButton);
    QTest::mouseClick(pAliases, Qt::LeftButton);
    QCOMPARE(tables.size(), 1);
    QCOMPARE(aliases.size(), bLeftDictionary && bRightDictionary ? 1 : 0);

    // The selection forms can be locked while results are open.
    app.EnableDBSelection(false);
    for (int nSide : {0, 1}) {
        QVERIFY(!pFrame->GetDBForm(nSide)->GetDlgItem(IDC_DSN_CHOOSE)->isEnabled());
        QVERIFY(pFrame->GetDBForm(nSide)->m_lstTables->isEnabled());
    }
    app.EnableDBSelection(true);
    QVERIFY(pFrame->GetDBForm(0)->GetDlgItem(IDC_DSN_CHOOSE)->isEnabled());
    QVERIFY(watcher.m_arrBoxTexts.isEmpty());
    pFrame->close();
    QTRY_VERIFY(pFrame.isNull());
    // The next window's launcher starts disabled, before its sides connect.
    QVERIFY(!app.GetDatabase(DB_LEFT)->m_bTableListShown);
    QVERIFY(!app.GetDatabase(DB_RIGHT)->m_bTableListShown);
    CFormGen launcher;
    QVERIFY(launcher.Create());
    QVERIFY(!launcher.GetDlgItem(IDC_COMPARE_TABLES)->isEnabled());
}

void TestComparisonWindow::search_data()
{
    QTest::addColumn<QString>("strSelected");   // empty: no row selected
    QTest::addColumn<QString>("strText");
    QTest::addColumn<bool>("bButton");          // the search button, else Enter in the field
    QTest::addColumn<QString>("strFound");      // the selected row afterwards, empty for none
    QTest::addColumn<bool>("bBeep");
    QTest::newRow("no selection: the first match") << "" << "f01" << false << "F0101" << false;
    QTest::newRow("the next match after the selected row") << "F0101" << "f01" << false << "F0111" << false;
    QTest::newRow("wraps to the top") << "F0111" << "f01" << true << "F0101" << false;
    QTest::newRow("letter case ignored, wrapping") << "V4211" << "F0" << false << "F0002" << false;
    QTest::newRow("the selected row is tested last") << "F0101" << "0101" << false << "F0101" << false;
    QTest::newRow("no match beeps") << "F0101" << "zz" << true << "F0101" << true;
    QTest::newRow("empty text beeps") << "" << "" << false << "" << true;
}

void TestComparisonWindow::search()
{
    QFETCH(QString, strSelected);
    QFETCH(QString, strText);
    QFETCH(bool, bButton);
    QFETCH(QString, strFound);
    QFETCH(bool, bBeep);
    std::unique_ptr<kvtest::TestDatabase> pDatabase;
    try {
        pDatabase = SmallDatabase({QStringLiteral("F4211"), QStringLiteral("F0101"), QStringLiteral("F0002"),
                                   QStringLiteral("F0111")},
                                  {QStringLiteral("V4211")});
    } catch (const std::exception& error) {
        QFAIL(error.what());
    }
    CQalmetApp app;
    UseDataSource(DB_LEFT, pDatabase->Dsn());
    QPointer<CMainFrame> pFrame = OpenWindow();
    QVERIFY(pFrame != nullptr);
    CFormDBSelect* pForm = pFrame->GetDBForm(0);
    CZembraListCtrl* pList = pForm->m_lstTables;
    const QStringList listed = ListedTables(pForm);
    QCOMPARE(listed, (QStringList{"F0002", "F0101", "F0111", "F4211", "V4211"}));
    if (!strSelected.isEmpty())
        QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, pList->GetLabelRect(listed.indexOf(strSelected)).center());
    QCOMPARE(pList->GetSelectedRow(), listed.indexOf(strSelected));

    QLineEdit* pEdit = pForm->m_edtFilter;
    pFrame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(pFrame));
    QTest::mouseClick(pEdit, Qt::LeftButton);
    QVERIFY(pEdit->hasFocus());
    QTest::keyClicks(pEdit, strText);
    QCOMPARE(pForm->GetDlgItem(IDC_SEARCH)->isEnabled(), !strText.isEmpty());
    const int nBeeps = BeepCount();
    if (bButton)
        QTest::mouseClick(pForm->GetDlgItem(IDC_SEARCH), Qt::LeftButton);
    else
        QTest::keyClick(pEdit, Qt::Key_Return);
    QCOMPARE(BeepCount(), nBeeps + (bBeep ? 1 : 0));
    QCOMPARE(pList->GetSelectedRow(), listed.indexOf(strFound));
    QVERIFY(pFrame->isVisible());
    if (!strText.isEmpty()) {
        // The text stays selected in the field, ready for the next search.
        QVERIFY(pEdit->hasFocus());
        QCOMPARE(pEdit->selectedText(), strText);
    }
    pFrame->close();
    QTRY_VERIFY(pFrame.isNull());
}

void TestComparisonWindow::barsCannotBeDragged()
{
    CQalmetApp app;
    QPointer<CMainFrame> pFrame = OpenWindow();
    QVERIFY(pFrame != nullptr);
    for (QSplitter* pSplitter : {static_cast<QSplitter*>(pFrame->GetDBSplitter()),
                                 static_cast<QSplitter*>(pFrame->GetSplitter())}) {
        const QList<int> before = pSplitter->sizes();
        QSplitterHandle* pBar = pSplitter->handle(1);
        QVERIFY(pBar->isVisible());
        QCOMPARE(pBar->cursor().shape(), Qt::ArrowCursor);
        QWindow* pWindow = pFrame->windowHandle();
        const QPoint start = pBar->mapTo(pFrame, pBar->rect().center());
        QTest::mousePress(pWindow, Qt::LeftButton, {}, start);
        QTest::mouseMove(pWindow, start - QPoint(40, 40));
        QTest::mouseRelease(pWindow, Qt::LeftButton, {}, start - QPoint(40, 40));
        QCOMPARE(pSplitter->sizes(), before);
        // Drawn in the accent colour.
        QCOMPARE(pBar->grab().toImage().pixelColor(pBar->rect().center()), kAccentColor);
    }
    pFrame->close();
    QTRY_VERIFY(pFrame.isNull());
}

void TestComparisonWindow::paneSizes_data()
{
    QTest::addColumn<int>("cx");
    QTest::addColumn<int>("cy");
    QTest::addColumn<int>("nLeft");
    QTest::addColumn<int>("nRow");
    // Overhead 4 in both directions, launcher row 50.
    QTest::newRow("even") << 684 << 504 << 340 << 450;
    QTest::newRow("odd: the left takes the smaller half") << 685 << 504 << 340 << 450;
    QTest::newRow("exactly the launcher row") << 684 << 54 << 340 << 0;
    QTest::newRow("shorter than the launcher row") << 684 << 30 << 340 << 0;
    QTest::newRow("narrower than the bar") << 3 << 504 << 0 << 450;
}

void TestComparisonWindow::paneSizes()
{
    QFETCH(int, cx);
    QFETCH(int, cy);
    QFETCH(int, nLeft);
    QFETCH(int, nRow);
    QCOMPARE(CMainFrame::LeftFormWidth(cx, 4), nLeft);
    QCOMPARE(CMainFrame::DatabaseRowHeight(cy, 50, 4), nRow);
}

void TestComparisonWindow::oddWidthGivesTheLeftTheSmallerHalf()
{
    CQalmetApp app;
    QPointer<CMainFrame> pFrame = OpenWindow();
    QVERIFY(pFrame != nullptr);
    const int nBar = pFrame->GetDBSplitter()->handleWidth();
    for (int cx : {701, 700, 777}) {
        pFrame->resize(cx, 540);
        QTRY_COMPARE(pFrame->width(), cx);
        const int nLeft = pFrame->GetDBForm(0)->width();
        const int nRight = pFrame->GetDBForm(1)->width();
        QCOMPARE(nLeft + nRight + nBar, cx);
        QCOMPARE(nLeft, (cx - nBar) / 2);
        QVERIFY(nRight - nLeft == 0 || nRight - nLeft == 1);
        // The launcher row keeps the height its buttons ask for.
        const QWidget* pTables = pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_TABLES);
        QCOMPARE(pFrame->GetLauncherHeight(), pTables->height() + 18);
        QCOMPARE(pFrame->GetLauncher()->height(), pFrame->GetLauncherHeight());
        QCOMPARE(pFrame->GetDBForm(0)->height(), 540 - pFrame->GetSplitter()->handleWidth() - pFrame->GetLauncherHeight());
    }
    pFrame->close();
    QTRY_VERIFY(pFrame.isNull());
}

void TestComparisonWindow::closingWhileConnectingGivesTheMainDialogBack()
{
    // A server that takes the connection and never answers.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    const QString strDsn = QStringLiteral("kv_window_silent");
    kvtest::OdbcEnvironment::Instance().AddDataSource(
        strDsn, QStringLiteral("PostgreSQL Unicode"),
        {{QStringLiteral("Servername"), QStringLiteral("127.0.0.1")},
         {QStringLiteral("Port"), QString::number(silent.serverPort())},
         {QStringLiteral("Database"), QStringLiteral("kv_none")},
         {QStringLiteral("Username"), QStringLiteral("kitvane")}});
    CQalmetApp app;
    UseDataSource(DB_TOOLS, strDsn);
    CDlgMain dlg;
    QPointer<CMainFrame> pFrame = ClickCompare(dlg);
    QVERIFY(pFrame != nullptr);
    QTRY_VERIFY(pFrame->GetDBForm(0)->IsBusy());
    QTRY_VERIFY(qobject_cast<CDlgWait*>(QApplication::activeModalWidget()) != nullptr);
    QTest::qWait(200);
    QVERIFY(pFrame->GetDBForm(0)->IsBusy());

    pFrame->close();
    QTRY_VERIFY(pFrame.isNull());
    QVERIFY(app.GetMainFrame() == nullptr);
    const QWidget* pModal = QApplication::activeModalWidget();
    QVERIFY2(pModal == nullptr, pModal != nullptr ? pModal->metaObject()->className() : "");
    QVERIFY(!app.GetDatabase(DB_LEFT)->IsConnected());
    // The attempt goes on alone until the server lets it go.
    QCOMPARE(app.GetAbandonedAttemptCount(), size_t(1));
    silent.close();
    QTRY_COMPARE_WITH_TIMEOUT(app.GetAbandonedAttemptCount(), size_t(0), 30000);

    // The main dialog is usable again.
    QTest::mouseClick(dlg.GetDlgItem(IDC_COMPARE), Qt::LeftButton);
    QVERIFY(OpenFrame() != nullptr);
    QPointer<CMainFrame> pAgain = OpenFrame();
    QTRY_VERIFY(pAgain->GetDBForm(0)->IsBusy());
    pAgain->close();
    QTRY_VERIFY(pAgain.isNull());
    dlg.EndDialog(2);
    kvtest::OdbcEnvironment::Instance().RemoveDataSource(strDsn);
}

void TestComparisonWindow::controlsHaveAccessibleNames()
{
    auto pDatabase = SmallDatabase({QStringLiteral("F0101")}, {QStringLiteral("V0101")});
    CQalmetApp app;
    UseDataSource(DB_LEFT, pDatabase->Dsn());
    QPointer<CMainFrame> pFrame = OpenWindow();
    QVERIFY(pFrame != nullptr);
    for (QWidget* pWidget : pFrame->findChildren<QWidget*>()) {
        if (!pWidget->isVisibleTo(pFrame) || CDialogBuilder::ControlId(pWidget) == 0)
            continue;
        QString strName = pWidget->accessibleName();
        if (auto* pButton = qobject_cast<QAbstractButton*>(pWidget); pButton && strName.isEmpty())
            strName = pButton->text();
        if (auto* pLabel = qobject_cast<QLabel*>(pWidget); pLabel && strName.isEmpty())
            strName = pLabel->text();
        QVERIFY2(!strName.trimmed().isEmpty(), qPrintable(QString::number(CDialogBuilder::ControlId(pWidget))));
    }
    CZembraListCtrl* pList = pFrame->GetDBForm(0)->m_lstTables;
    QCOMPARE(pList->GetItemCount(), 2);
    for (int nRow = 0; nRow < 2; ++nRow)
        QCOMPARE(pList->model()->index(nRow, 0).data(Qt::AccessibleTextRole).toString(), pList->GetItemText(nRow, 0));
    pFrame->close();
    QTRY_VERIFY(pFrame.isNull());
}

QTEST_MAIN(TestComparisonWindow)
#include "tst_comparisonwindow.moc"
