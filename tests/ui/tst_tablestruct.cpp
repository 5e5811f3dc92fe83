// The table structure window over real databases: opened from a side of
// the comparison window, its fields and indexes on two tabs, the search,
// the export (the same bytes as kitvane-cli's), the placement all the
// windows share, and its going with the comparison window.

#include "app/language.h"
#include "app/qalmetapp.h"
#include "compare/zembraparam.h"
#include "controls/dialogbuilder.h"
#include "controls/tabctrlex.h"
#include "controls/windowfunctions.h"
#include "res/dialogtemplates.h"
#include "res/resourceimages.h"
#include "tests/app/privatesettings.h"
#include "tests/app/recordingopener.h"
#include "tests/fixtures/jdefixture.h"
#include "tests/ui/comparisonwindowsupport.h"
#include "tests/ui/modalwatcher.h"
#include "tests/ui/paramsanswerer.h"
#include "tests/ui/scriptedchooser.h"
#include "tests/ui/tooldialogsupport.h"
#include "views/formdbselect.h"
#include "views/formtablestruct.h"
#include "views/mainframe.h"
#include "views/tablestructfrm.h"
#include "views/zembralistctrl.h"

#include <QAccessible>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

using namespace windowtest;

namespace {

QByteArray ReadAll(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The texts of a column of a list, row by row.
QStringList ColumnTexts(const CZembraListCtrl* pList, int nColumn)
{
    QStringList texts;
    for (int nRow = 0; nRow < pList->GetItemCount(); ++nRow)
        texts << pList->GetItemText(nRow, nColumn);
    return texts;
}

void ClickTab(CFormTableStruct* pForm, int nTab)
{
    QTabBar* pTabs = pForm->m_tabCtrl->tabBar();
    QTest::mouseClick(pTabs, Qt::LeftButton, {}, pTabs->tabRect(nTab).center());
}

bool SameImage(const QIcon& icon, int nImage)
{
    return icon.pixmap(kStripImageSize, kStripImageSize).toImage().convertToFormat(QImage::Format_ARGB32)
           == SharedImageList().value(nImage).toImage().convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

class TestTableStruct : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void fieldsAndIndexes_data() { Engines(); }
    void fieldsAndIndexes();
    void searchFindsEachRowOfAnIndex_data() { Engines(); }
    void searchFindsEachRowOfAnIndex();
    void tableWithoutIndexes_data() { Engines(); }
    void tableWithoutIndexes();
    void viewShowsTheViewIcon_data() { Engines(); }
    void viewShowsTheViewIcon();
    void placementSharedByEveryWindow_data() { Engines(); }
    void placementSharedByEveryWindow();
    void exportOptionsAskedUntilOneIsSet_data() { Engines(); }
    void exportOptionsAskedUntilOneIsSet();
    void exportIsTheCommandLines_data();
    void exportIsTheCommandLines();
    void exportNameKeepsTheOpeningTitle_data() { Engines(); }
    void exportNameKeepsTheOpeningTitle();
    void unreadableStructureIsExplained_data() { Engines(); }
    void unreadableStructureIsExplained();
    void closingTheComparisonWindowClosesThem();
    void everyControlTabAndRowIsNamed_data() { Engines(); }
    void everyControlTabAndRowIsNamed();

private:
    static void Engines();
    // The comparison window with a fresh JDE environment of the engine on
    // the left side, its production schema chosen; false on failure.
    bool OpenSide(kvtest::Engine engine);
    CFormDBSelect* LeftForm() const { return m_pFrame->GetDBForm(0); }
    // Selects the table in the left list and asks for its structure with
    // the button or a double click; the window that opened, or null.
    CTableStructFrm* ShowStructure(const QString& strTable, bool bDoubleClick = false);
    // Exports through the export button with the options dialog's OK; the
    // chooser answers with strPath.
    void ExportTo(CFormTableStruct* pForm, const QString& strPath);

    std::unique_ptr<PrivateSettings> m_pSettings;
    std::unique_ptr<QTemporaryDir> m_pTmp;
    std::unique_ptr<CQalmetApp> m_pApp;
    std::unique_ptr<kvtest::JdeTestBed> m_pBed;
    QPointer<CMainFrame> m_pFrame;
    QStringList m_arrStarted;
};

void TestTableStruct::initTestCase()
{
    m_pSettings = std::make_unique<PrivateSettings>();
    CreateSharedImageList();
}

void TestTableStruct::init()
{
    m_pSettings->Reset();
    m_pTmp = std::make_unique<QTemporaryDir>();
    m_pApp = std::make_unique<CQalmetApp>();
    m_pApp->ReadLanguage(QLocale(QLocale::English, QLocale::UnitedStates));
    m_arrStarted.clear();
    m_pApp->SetShellOpener(std::make_unique<RecordingOpener>(m_arrStarted));
}

void TestTableStruct::cleanup()
{
    delete m_pFrame.data();
    m_pApp.reset();
    m_pBed.reset();
    m_pTmp.reset();
}

void TestTableStruct::Engines()
{
    QTest::addColumn<int>("nEngine");
    QTest::newRow("PostgreSQL") << int(kvtest::Engine::PostgreSQL);
    QTest::newRow("MariaDB") << int(kvtest::Engine::MariaDB);
}

bool TestTableStruct::OpenSide(kvtest::Engine engine)
{
    try {
        m_pBed = std::make_unique<kvtest::JdeTestBed>(engine, kvtest::JdeOptions());
    } catch (const std::exception& error) {
        qWarning("%s", error.what());
        return false;
    }
    UseDataSource(DB_LEFT, m_pBed->pDatabase->Dsn());
    m_pFrame = OpenWindow();
    if (m_pFrame == nullptr)
        return false;
    ChooseSchema(LeftForm(), m_pBed->pFixture->Key(kvtest::kProductionSchema));
    return QTest::qWaitFor([&] { return SidesIdle(m_pFrame) && LeftForm()->m_lstTables->isVisible(); });
}

CTableStructFrm* TestTableStruct::ShowStructure(const QString& strTable, bool bDoubleClick)
{
    const QList<CTableStructFrm*> before = m_pFrame->findChildren<CTableStructFrm*>();
    const int nRow = ListedTables(LeftForm()).indexOf(m_pBed->pFixture->Spelled(strTable));
    if (nRow < 0)
        return nullptr;
    ClickRow(LeftForm()->m_lstTables, nRow, bDoubleClick);
    if (!bDoubleClick)
        QTest::mouseClick(LeftForm()->GetDlgItem(IDC_SHOW_STRUCTURE), Qt::LeftButton);
    for (CTableStructFrm* pWindow : m_pFrame->findChildren<CTableStructFrm*>()) {
        if (!before.contains(pWindow))
            return QTest::qWaitForWindowExposed(pWindow) ? pWindow : nullptr;
    }
    return nullptr;
}

void TestTableStruct::ExportTo(CFormTableStruct* pForm, const QString& strPath)
{
    ScriptedChooser chooser;
    chooser.m_strAnswer = strPath;
    CExportFileChooser::SetCurrent(&chooser);
    ParamsAnswerer answerer({[](CDlgParams& dlg) { QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton); }});
    QTest::mouseClick(pForm->GetDlgItem(IDC_EXPORT), Qt::LeftButton);
    CExportFileChooser::SetCurrent(nullptr);
    QCOMPARE(answerer.m_nShown, 1);
    QCOMPARE(chooser.m_arrProposed.size(), 1);
}

void TestTableStruct::fieldsAndIndexes()
{
    QFETCH(int, nEngine);
    const auto engine = kvtest::Engine(nEngine);
    QVERIFY(OpenSide(engine));
    const kvtest::JdeFixture& fixture = *m_pBed->pFixture;
    // A system data source on one engine, a user's own on the other.
    const bool bSystem = engine == kvtest::Engine::MariaDB;
    m_pApp->GetDatabase(DB_LEFT)->m_bSystemDSN = bSystem;
    // The button on one engine, a double click on the other.
    CTableStructFrm* pWindow = ShowStructure(QStringLiteral("F0101"), engine == kvtest::Engine::MariaDB);
    QVERIFY(pWindow != nullptr);
    QCOMPARE(pWindow->windowTitle(), fixture.Spelled(QStringLiteral("F0101")));
    QVERIFY(SameImage(pWindow->windowIcon(), IMG_TABLE));
    QVERIFY(m_pApp->GetStructureWindows() == std::vector<ITableStructureWindow*>{pWindow});
    CFormTableStruct* pForm = pWindow->GetForm();

    // The side's data source and schema above the tabs.
    const QString strTitle = m_pApp->GetDatabaseTitle(DB_LEFT, LeftForm()->GetSchemaText());
    QVERIFY(strTitle.startsWith(m_pBed->pDatabase->Dsn() + QStringLiteral(" (")));
    QCOMPARE(pForm->GetDlgItem(IDC_DSN_NAME)->accessibleName(), strTitle);
    QVERIFY(SameImage(QIcon(pForm->m_stcIcon->pixmap()), bSystem ? IMG_COMPUTER : IMG_USER));
    QVERIFY(!SameImage(QIcon(pForm->m_stcIcon->pixmap()), bSystem ? IMG_USER : IMG_COMPUTER));
    // The tabs with their images: a column, a column with a key.
    QCOMPARE(pForm->m_tabCtrl->count(), 2);
    QCOMPARE(pForm->m_tabCtrl->GetItemImage(0), int(IMG_COLUMN));
    QCOMPARE(pForm->m_tabCtrl->GetItemImage(1), int(IMG_KEY_COLUMN));
    QCOMPARE(pForm->m_tabCtrl->tabText(0), QStringLiteral("Fields"));
    QCOMPARE(pForm->m_tabCtrl->tabText(1), QStringLiteral("Indexes"));

    // The fields tab: name and type, the character types with their size.
    QCOMPARE(pForm->m_tabCtrl->currentIndex(), 0);
    QVERIFY(pForm->m_lstFields->isVisible());
    QVERIFY(!pForm->m_lstIndexes->isVisible());
    QCOMPARE(ColumnTexts(pForm->m_lstFields, 0),
             fixture.Spelled(QStringList{"ABAN8", "ABALPH", "ABMCU", "ABUPMJ"}));
    const QStringList types = ColumnTexts(pForm->m_lstFields, 1);
    QVERIFY2(types[1].endsWith(QStringLiteral(" (40)")) && types[2].endsWith(QStringLiteral(" (12)")),
             qPrintable(types.join(u'|')));
    QVERIFY2(!types[0].contains(u'('), qPrintable(types[0]));
    // No text of the list is cut.
    const int nNameWidth = pForm->m_lstFields->GetColumnWidth(0);
    for (const QString& strName : ColumnTexts(pForm->m_lstFields, 0))
        QVERIFY(pForm->m_lstFields->fontMetrics().horizontalAdvance(strName) < nNameWidth);

    // The index tab: one row per key column, the name on the first only.
    ClickTab(pForm, 1);
    QCOMPARE(pForm->m_tabCtrl->currentIndex(), 1);
    QVERIFY(pForm->m_lstIndexes->isVisible());
    QVERIFY(!pForm->m_lstFields->isVisible());
    const QStringList names = ColumnTexts(pForm->m_lstIndexes, 0);
    const int nFirst = names.indexOf(fixture.Spelled(QStringLiteral("F0101_ALPH")));
    QVERIFY2(nFirst >= 0, qPrintable(names.join(u'|')));
    QCOMPARE(pForm->m_lstIndexes->GetItemCount(), 4);
    QCOMPARE(names.mid(nFirst + 1, 2), QStringList({QString(), QString()}));
    QCOMPARE(ColumnTexts(pForm->m_lstIndexes, 1).mid(nFirst, 3), fixture.Spelled(QStringList{"ABALPH", "ABMCU", "ABAN8"}));
    QCOMPARE(ColumnTexts(pForm->m_lstIndexes, 2).mid(nFirst, 3),
             QStringList({"Ascending", "Descending", "Ascending"}));
    // Each row knows its index and its place in it.
    for (int nPosition = 0; nPosition < 3; ++nPosition) {
        int nFound = -2;
        const CIndexInfo* pIndex = pForm->FindIndexRow(nFirst + nPosition, nFound);
        QVERIFY(pIndex != nullptr);
        QCOMPARE(pIndex->m_strName, names[nFirst]);
        QCOMPARE(nFound, nPosition);
    }
    int nBeyond = 0;
    QVERIFY(pForm->FindIndexRow(4, nBeyond) == nullptr);
    QCOMPARE(nBeyond, -1);
    ClickTab(pForm, 0);
    QVERIFY(pForm->m_lstFields->isVisible());
    QVERIFY(!pForm->m_lstIndexes->isVisible());

    // The window's limits.
    QCOMPARE(pWindow->minimumSize(), QSize(370, 270));
    pWindow->resize(800, 400);
    QTRY_COMPARE(pWindow->width(), 500);
}

void TestTableStruct::searchFindsEachRowOfAnIndex()
{
    QFETCH(int, nEngine);
    QVERIFY(OpenSide(kvtest::Engine(nEngine)));
    CTableStructFrm* pWindow = ShowStructure(QStringLiteral("F0101"));
    QVERIFY(pWindow != nullptr);
    CFormTableStruct* pForm = pWindow->GetForm();
    pWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(pWindow));
    QLineEdit* pEdit = pForm->m_edtFilter;
    QWidget* pSearch = pForm->GetDlgItem(IDC_SEARCH);
    QVERIFY(!pSearch->isEnabled());

    // The fields tab: a field's type text matches too.
    QTest::mouseClick(pEdit, Qt::LeftButton);
    QTest::keyClicks(pEdit, QStringLiteral("(40)"));
    QVERIFY(pSearch->isEnabled());
    QTest::mouseClick(pSearch, Qt::LeftButton);
    QCOMPARE(pForm->m_lstFields->GetSelectedRow(), 1);

    // The index tab: the index name finds its first row, then its next
    // rows, whose name column is blank; Enter searches as the button does.
    ClickTab(pForm, 1);
    const int nFirst = ColumnTexts(pForm->m_lstIndexes, 0).indexOf(m_pBed->pFixture->Spelled(QStringLiteral("F0101_ALPH")));
    QVERIFY(nFirst >= 0);
    pEdit->clear();
    QTest::mouseClick(pEdit, Qt::LeftButton);
    QTest::keyClicks(pEdit, QStringLiteral("F0101_alph"));
    const int nBeeps = BeepCount();
    QTest::mouseClick(pSearch, Qt::LeftButton);
    QCOMPARE(pForm->m_lstIndexes->GetSelectedRow(), nFirst);
    QVERIFY(pEdit->hasFocus());
    QTest::keyClick(pEdit, Qt::Key_Return);
    QCOMPARE(pForm->m_lstIndexes->GetSelectedRow(), nFirst + 1);
    QTest::keyClick(pEdit, Qt::Key_Enter);
    QCOMPARE(pForm->m_lstIndexes->GetSelectedRow(), nFirst + 2);
    // Round the list back to the first row of the index.
    QTest::mouseClick(pSearch, Qt::LeftButton);
    QCOMPARE(pForm->m_lstIndexes->GetSelectedRow(), nFirst);
    QCOMPARE(BeepCount(), nBeeps);
    // The fields list kept its own selection.
    QCOMPARE(pForm->m_lstFields->GetSelectedRow(), 1);

    // The order word matches; nothing matching beeps and keeps the row.
    pEdit->clear();
    QTest::keyClicks(pEdit, QStringLiteral("descending"));
    QTest::keyClick(pEdit, Qt::Key_Return);
    QCOMPARE(pForm->m_lstIndexes->GetSelectedRow(), nFirst + 1);
    pEdit->clear();
    QTest::keyClicks(pEdit, QStringLiteral("zz"));
    QTest::keyClick(pEdit, Qt::Key_Return);
    QCOMPARE(BeepCount(), nBeeps + 1);
    QCOMPARE(pForm->m_lstIndexes->GetSelectedRow(), nFirst + 1);
    QVERIFY(pWindow->isVisible());
}

void TestTableStruct::tableWithoutIndexes()
{
    QFETCH(int, nEngine);
    QVERIFY(OpenSide(kvtest::Engine(nEngine)));
    CTableStructFrm* pWindow = ShowStructure(QStringLiteral("F4211"));
    QVERIFY(pWindow != nullptr);
    CFormTableStruct* pForm = pWindow->GetForm();
    ClickTab(pForm, 1);
    QVERIFY(pForm->m_lstIndexes->isVisible());
    QCOMPARE(pForm->m_lstIndexes->GetItemCount(), 0);

    const QString strPath = m_pTmp->filePath(QStringLiteral("f4211.csv"));
    ExportTo(pForm, strPath);
    QByteArray expected;
    const QStringList names = ColumnTexts(pForm->m_lstFields, 0);
    QCOMPARE(names, m_pBed->pFixture->Spelled(QStringList{"SDDOCO", "SDUORG", "SDUPRC", "SDAEXP", "SDUPMJ"}));
    const QStringList types = ColumnTexts(pForm->m_lstFields, 1);
    for (int nRow = 0; nRow < names.size(); ++nRow)
        expected += (names[nRow] + u';' + types[nRow]).toLatin1() + "\r\n";
    expected += "\r\n\r\n";
    QCOMPARE(ReadAll(strPath), expected);
    // The file written is opened.
    QCOMPARE(m_arrStarted.size(), 1);
    QVERIFY(m_arrStarted.first().contains(strPath));
}

void TestTableStruct::viewShowsTheViewIcon()
{
    QFETCH(int, nEngine);
    QVERIFY(OpenSide(kvtest::Engine(nEngine)));
    CTableStructFrm* pWindow = ShowStructure(QStringLiteral("V0101"), true);
    QVERIFY(pWindow != nullptr);
    QVERIFY(SameImage(pWindow->windowIcon(), IMG_VIEW));
    QVERIFY(!SameImage(pWindow->windowIcon(), IMG_TABLE));
    QCOMPARE(ColumnTexts(pWindow->GetForm()->m_lstFields, 0), m_pBed->pFixture->Spelled(QStringList{"ABAN8", "ABALPH"}));
}

void TestTableStruct::placementSharedByEveryWindow()
{
    QFETCH(int, nEngine);
    QVERIFY(OpenSide(kvtest::Engine(nEngine)));
    QPointer<CTableStructFrm> pFirst = ShowStructure(QStringLiteral("F0101"));
    QPointer<CTableStructFrm> pSecond = ShowStructure(QStringLiteral("F4211"));
    QVERIFY(pFirst != nullptr && pSecond != nullptr);
    QCOMPARE(m_pApp->GetStructureWindows().size(), size_t(2));
    const QRect first(30, 40, 420, 300);
    const QRect second(60, 70, 480, 400);
    pFirst->setGeometry(first);
    pSecond->setGeometry(second);
    QTRY_COMPARE(pSecond->geometry(), second);
    pSecond->showMaximized();
    QTRY_VERIFY(pSecond->isMaximized());
    pFirst->close();
    QTRY_VERIFY(pFirst.isNull());
    QCOMPARE(m_pApp->GetSettings().GetProfileString(QStringLiteral("FrmSize1"), QStringLiteral("WndRect")),
             QStringLiteral("30,40,450,340"));
    pSecond->close();
    QTRY_VERIFY(pSecond.isNull());
    QVERIFY(m_pApp->GetStructureWindows().empty());
    // The second, closed last, left its place and state for the next one.
    QCOMPARE(m_pApp->GetSettings().GetProfileString(QStringLiteral("FrmSize1"), QStringLiteral("WndRect")),
             QStringLiteral("60,70,540,470"));
    QCOMPARE(m_pApp->GetSettings().GetProfileInt(QStringLiteral("FrmSize1"), QStringLiteral("IsZoomed"), 0), 1);

    QPointer<CTableStructFrm> pNext = ShowStructure(QStringLiteral("F0911"));
    QVERIFY(pNext != nullptr);
    QTRY_VERIFY(pNext->isMaximized());
    pNext->showNormal();
    QTRY_COMPARE(pNext->geometry(), second);
}

void TestTableStruct::exportOptionsAskedUntilOneIsSet()
{
    QFETCH(int, nEngine);
    QVERIFY(OpenSide(kvtest::Engine(nEngine)));
    CTableStructFrm* pWindow = ShowStructure(QStringLiteral("F0101"));
    QVERIFY(pWindow != nullptr);
    m_pApp->GetOptions().SetOption(OPT_EXPORT_FIELD_LIST, false);
    ScriptedChooser chooser;
    chooser.m_strAnswer = m_pTmp->filePath(QStringLiteral("never.csv"));
    CExportFileChooser::SetCurrent(&chooser);
    ModalWatcher watcher;
    QList<bool> arrChecked;
    ParamsAnswerer answerer({[&](CDlgParams& dlg) {
                                 // The two export options only, both ticked at first.
                                 for (int nOption : {OPT_EXPORT_FIELD_LIST, OPT_EXPORT_INDEX_LIST}) {
                                     QCheckBox* pBox = dlg.OptionBox(nOption);
                                     QVERIFY(pBox->isVisible());
                                     arrChecked << pBox->isChecked();
                                     // On the box itself: the rest of its width takes no click.
                                     QTest::mouseClick(pBox, Qt::LeftButton, {}, QPoint(6, pBox->height() / 2));
                                 }
                                 QVERIFY(!dlg.OptionBox(OPT_CASE_SENSITIVE)->isVisible());
                                 QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton);
                             },
                             [&](CDlgParams& dlg) {
                                 for (int nOption : {OPT_EXPORT_FIELD_LIST, OPT_EXPORT_INDEX_LIST})
                                     arrChecked << dlg.OptionBox(nOption)->isChecked();
                                 QTest::mouseClick(dlg.GetDlgItem(IDCANCEL), Qt::LeftButton);
                             }});
    QTest::mouseClick(pWindow->GetForm()->GetDlgItem(IDC_EXPORT), Qt::LeftButton);
    CExportFileChooser::SetCurrent(nullptr);
    // Nothing ticked: the same question again; Cancel ends the export
    // without a word.
    QCOMPARE(answerer.m_nShown, 2);
    QCOMPARE(arrChecked, QList<bool>({true, true, false, false}));
    QVERIFY(chooser.m_arrProposed.isEmpty());
    QVERIFY2(watcher.m_arrBoxTexts.isEmpty(), qPrintable(watcher.m_arrBoxTexts.join(u'|')));
    QVERIFY(!QFile::exists(chooser.m_strAnswer));
    QVERIFY(m_arrStarted.isEmpty());
    QVERIFY(pWindow->isVisible());
}

void TestTableStruct::exportIsTheCommandLines_data()
{
    QTest::addColumn<int>("nEngine");
    QTest::addColumn<bool>("bFrench");
    for (auto [engine, pszEngine] : {std::pair{kvtest::Engine::PostgreSQL, "PostgreSQL"},
                                     std::pair{kvtest::Engine::MariaDB, "MariaDB"}}) {
        QTest::addRow("%s fr", pszEngine) << int(engine) << true;
        QTest::addRow("%s en", pszEngine) << int(engine) << false;
    }
}

void TestTableStruct::exportIsTheCommandLines()
{
    QFETCH(int, nEngine);
    QFETCH(bool, bFrench);
    if (bFrench)
        m_pApp->ReadLanguage(QLocale(QLocale::French, QLocale::France));
    QVERIFY(OpenSide(kvtest::Engine(nEngine)));
    CTableStructFrm* pWindow = ShowStructure(QStringLiteral("F0101"));
    QVERIFY(pWindow != nullptr);
    const QString strGui = m_pTmp->filePath(QStringLiteral("gui.csv"));
    const QString strCli = m_pTmp->filePath(QStringLiteral("cli.csv"));
    ExportTo(pWindow->GetForm(), strGui);
    QString strErr;
    QCOMPARE(tooltest::RunCli({QStringLiteral("structure"), QStringLiteral("--lang"),
                               bFrench ? QStringLiteral("fr") : QStringLiteral("en"), QStringLiteral("--dsn"),
                               m_pBed->pDatabase->Dsn(), QStringLiteral("--schema"),
                               m_pBed->pFixture->Key(kvtest::kProductionSchema), QStringLiteral("--table"),
                               m_pBed->pFixture->Spelled(QStringLiteral("F0101")), QStringLiteral("--export"), strCli},
                              &strErr),
             0);
    const QByteArray gui = ReadAll(strGui);
    // Fields, the two line breaks, then the index rows in the user's language.
    const QByteArray descending = bFrench ? QByteArray(";D\xe9" "croissant\r\n") : QByteArray(";Descending\r\n");
    QVERIFY2(gui.contains("\r\n\r\n\r\n") && gui.contains(descending), gui.constData());
    QCOMPARE(gui, ReadAll(strCli));
}

void TestTableStruct::exportNameKeepsTheOpeningTitle()
{
    QFETCH(int, nEngine);
    QVERIFY(OpenSide(kvtest::Engine(nEngine)));
    CTableStructFrm* pWindow = ShowStructure(QStringLiteral("F0101"));
    QVERIFY(pWindow != nullptr);
    CFormTableStruct* pForm = pWindow->GetForm();
    const QString strOpened = m_pApp->GetDatabaseTitle(DB_LEFT, LeftForm()->GetSchemaText());

    // The side moves to another schema while the window stays open.
    ChooseSchema(LeftForm(), m_pBed->pFixture->Key(kvtest::kCrpSchema));
    QTRY_VERIFY(SidesIdle(m_pFrame) && LeftForm()->m_lstTables->isVisible());
    QVERIFY(m_pApp->GetDatabaseTitle(DB_LEFT, LeftForm()->GetSchemaText()) != strOpened);

    QCOMPARE(pForm->GetDlgItem(IDC_DSN_NAME)->accessibleName(), strOpened);
    ScriptedChooser chooser;   // cancels the save question
    CExportFileChooser::SetCurrent(&chooser);
    ParamsAnswerer answerer({[](CDlgParams& dlg) { QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton); }});
    QTest::mouseClick(pForm->GetDlgItem(IDC_EXPORT), Qt::LeftButton);
    CExportFileChooser::SetCurrent(nullptr);
    QCOMPARE(chooser.m_arrProposed.size(), 1);
    const QString strExpected = QFileInfo(CZembraFormView::MakeExportPath(
        QStringLiteral("/"), strOpened + u'_' + m_pBed->pFixture->Spelled(QStringLiteral("F0101")), QStringLiteral("csv"))).fileName();
    QCOMPARE(QFileInfo(chooser.m_arrProposed.first()).fileName(), strExpected);
}

void TestTableStruct::unreadableStructureIsExplained()
{
    QFETCH(int, nEngine);
    QVERIFY(OpenSide(kvtest::Engine(nEngine)));
    // The server ends the side's session: the structure cannot be read.
    m_pBed->pDatabase->EndReadOnlySessions();
    ModalWatcher watcher;
    const int nRow = ListedTables(LeftForm()).indexOf(m_pBed->pFixture->Spelled(QStringLiteral("F0101")));
    ClickRow(LeftForm()->m_lstTables, nRow);
    QTest::mouseClick(LeftForm()->GetDlgItem(IDC_SHOW_STRUCTURE), Qt::LeftButton);
    QTRY_COMPARE(watcher.m_arrBoxTexts.size(), 1);
    const QString strPrefix = QStringLiteral("Unable to read the structure of table %1. The ODBC driver returned the "
                                             "following error:\n")
                                  .arg(m_pBed->pFixture->Spelled(QStringLiteral("F0101")));
    const QString strBox = watcher.m_arrBoxTexts.first();
    QVERIFY2(strBox.startsWith(strPrefix) && strBox.size() > strPrefix.size() + 10, qPrintable(strBox));
    // No window shows an empty table as if it had been read.
    QVERIFY(m_pFrame->findChildren<CTableStructFrm*>().isEmpty());
    QVERIFY(m_pApp->GetStructureWindows().empty());
}

void TestTableStruct::closingTheComparisonWindowClosesThem()
{
    QVERIFY(OpenSide(kvtest::Engine::PostgreSQL));
    QPointer<CTableStructFrm> pFirst = ShowStructure(QStringLiteral("F0101"));
    QPointer<CTableStructFrm> pSecond = ShowStructure(QStringLiteral("V0101"));
    QVERIFY(pFirst != nullptr && pSecond != nullptr);
    pSecond->setGeometry(QRect(50, 60, 400, 300));
    QTRY_COMPARE(pSecond->geometry(), QRect(50, 60, 400, 300));
    m_pFrame->close();
    // Gone at once, not only once the comparison window is deleted.
    QVERIFY(pFirst == nullptr || !pFirst->isVisible());
    QVERIFY(pSecond == nullptr || !pSecond->isVisible());
    QVERIFY(m_pApp->GetStructureWindows().empty());
    QTRY_VERIFY(m_pFrame.isNull());
    QVERIFY(pFirst.isNull());
    QVERIFY(pSecond.isNull());
    QVERIFY(m_pApp->GetStructureWindows().empty());
    QVERIFY(!m_pApp->GetSettings().GetProfileString(QStringLiteral("FrmSize1"), QStringLiteral("WndRect")).isEmpty());
}

void TestTableStruct::everyControlTabAndRowIsNamed()
{
    QFETCH(int, nEngine);
    QVERIFY(OpenSide(kvtest::Engine(nEngine)));
    CTableStructFrm* pWindow = ShowStructure(QStringLiteral("F0101"));
    QVERIFY(pWindow != nullptr);
    CFormTableStruct* pForm = pWindow->GetForm();
    const auto nameOf = [](QObject* pObject) {
        QAccessibleInterface* pInterface = QAccessible::queryAccessibleInterface(pObject);
        return pInterface != nullptr ? pInterface->text(QAccessible::Name) : QString();
    };
    int nControls = 0;
    for (QWidget* pWidget : pForm->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (CDialogBuilder::ControlId(pWidget) == 0)
            continue;
        ++nControls;
        QVERIFY2(!nameOf(pWidget).trimmed().isEmpty(), qPrintable(QString::number(CDialogBuilder::ControlId(pWidget))));
    }
    QCOMPARE(nControls, 9);
    QCOMPARE(nameOf(pForm->m_lstFields), QStringLiteral("Field list"));
    QCOMPARE(nameOf(pForm->m_lstIndexes), QStringLiteral("Index list"));

    // The tabs by their texts.
    QAccessibleInterface* pTabs = QAccessible::queryAccessibleInterface(pForm->m_tabCtrl->tabBar());
    QVERIFY(pTabs != nullptr);
    QStringList tabNames;
    for (int i = 0; i < pTabs->childCount(); ++i) {
        if (pTabs->child(i)->role() == QAccessible::PageTab)
            tabNames << pTabs->child(i)->text(QAccessible::Name);
    }
    QCOMPARE(tabNames, QStringList({"Fields", "Indexes"}));

    // Every cell of every row reads; an index's later rows name the index.
    for (CZembraListCtrl* pList : {pForm->m_lstFields, pForm->m_lstIndexes}) {
        QVERIFY(pList->GetItemCount() > 0);
        for (int nRow = 0; nRow < pList->GetItemCount(); ++nRow) {
            for (int nColumn = 0; nColumn < pList->GetColumnCount(); ++nColumn) {
                const QString strName = pList->model()->index(nRow, nColumn).data(Qt::AccessibleTextRole).toString();
                QVERIFY2(!strName.isEmpty(), qPrintable(QStringLiteral("%1 %2").arg(nRow).arg(nColumn)));
                if (nColumn > 0 || !pList->GetItemText(nRow, nColumn).isEmpty())
                    QCOMPARE(strName, pList->GetItemText(nRow, nColumn));
            }
        }
    }
    int nPosition = -1;
    const CIndexInfo* pIndex = pForm->FindIndexRow(pForm->m_lstIndexes->GetItemCount() - 1, nPosition);
    QCOMPARE(pForm->m_lstIndexes->model()->index(pForm->m_lstIndexes->GetItemCount() - 1, 0).data(Qt::AccessibleTextRole).toString(),
             pIndex->m_strName);
}

QTEST_MAIN(TestTableStruct)
#include "tst_tablestruct.moc"
