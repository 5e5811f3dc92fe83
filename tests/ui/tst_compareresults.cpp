// Comparisons from the comparison window's buttons over real databases:
// the options, the run and its lock, the result windows with their
// counters, filters, search and show-differences, and their closing.

#include "app/formattext.h"
#include "app/language.h"
#include "res/stringids.h"
#include "app/qalmetapp.h"
#include "compare/zembraparam.h"
#include "controls/colorcheckbutton.h"
#include "controls/dialogbuilder.h"
#include "res/dialogtemplates.h"
#include "tests/app/privatesettings.h"
#include "tests/compare/filesizelimit.h"
#include "tests/support/testdatabase.h"
#include "tests/ui/modalwatcher.h"
#include "tests/ui/paramsanswerer.h"
#include "tests/ui/schemachooser.h"
#include "tests/ui/tooldialogsupport.h"
#include "tests/app/recordingopener.h"
#include "tests/fixtures/jdefixture.h"
#include "views/exportfilechooser.h"
#include "views/comparecolumnfrm.h"
#include "views/comparefrm.h"
#include "views/comparelauncher.h"
#include "views/comparelistctrl.h"
#include "views/comparetablefrm.h"
#include "views/formcompare.h"
#include "views/formcomparecolumn.h"
#include "views/formdbselect.h"
#include "views/formgen.h"
#include "views/mainframe.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QCheckBox>
#include <QLabel>
#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <numeric>

namespace {

// 3 identical, 1 left-only, 2 right-only and 4 different tables.
const QStringList kSame{QStringLiteral("F0002"), QStringLiteral("F0004"), QStringLiteral("F0005")};
const QStringList kLeftOnly{QStringLiteral("F0092")};
const QStringList kRightOnly{QStringLiteral("F0011"), QStringLiteral("F4101")};
const QStringList kDifferent{QStringLiteral("F0101"), QStringLiteral("F0111"), QStringLiteral("F4211"),
                             QStringLiteral("F9860")};
// The merged list, sorted.
const QStringList kAllTables{QStringLiteral("F0002"), QStringLiteral("F0004"), QStringLiteral("F0005"),
                             QStringLiteral("F0011"), QStringLiteral("F0092"), QStringLiteral("F0101"),
                             QStringLiteral("F0111"), QStringLiteral("F4101"), QStringLiteral("F4211"),
                             QStringLiteral("F9860")};

std::unique_ptr<kvtest::TestDatabase> SideDatabase(int nSide, kvtest::Engine engine = kvtest::Engine::SQLite)
{
    auto pDatabase = std::make_unique<kvtest::TestDatabase>(engine);
    const auto create = [&](const QString& strTable, const QString& strColumns) {
        pDatabase->Exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(strTable, strColumns));
    };
    for (const QString& strTable : kSame)
        create(strTable, QStringLiteral("K INTEGER, NAME CHAR(10)"));
    for (const QString& strTable : nSide == 0 ? kLeftOnly : kRightOnly)
        create(strTable, QStringLiteral("K INTEGER"));
    // Different: the right side has one field more.
    for (const QString& strTable : kDifferent)
        create(strTable, nSide == 0 ? QStringLiteral("K INTEGER, NAME CHAR(10)")
                                    : QStringLiteral("K INTEGER, NAME CHAR(10), ABC CHAR(3)"));
    return pDatabase;
}

void UseDataSource(int nSide, const QString& strDsn)
{
    CDBData* pDB = CQalmetApp::GetInstance()->GetDatabase(nSide);
    pDB->m_strDSN = strDsn;
    pDB->m_bSystemDSN = false;
}

bool SidesIdle(const CMainFrame* pFrame)
{
    QCoreApplication::processEvents();
    return !pFrame->GetDBForm(0)->IsBusy() && !pFrame->GetDBForm(1)->IsBusy()
           && CQalmetApp::GetInstance()->GetDatabase(0)->m_bTableListShown
           && CQalmetApp::GetInstance()->GetDatabase(1)->m_bTableListShown;
}

QStringList ListedNames(const CFormCompare* pForm)
{
    QStringList names;
    for (int nRow = 0; nRow < pForm->GetList()->GetItemCount(); ++nRow)
        names << pForm->GetList()->GetItemText(nRow, 0);
    return names;
}

QString SelectedName(const CFormCompare* pForm)
{
    const int nRow = pForm->GetList()->GetSelectedRow();
    return nRow < 0 ? QString() : pForm->GetList()->GetItemText(nRow, 0);
}

// A click, then the platform's double click on the same place.
void DoubleClickAt(QWidget* pViewport, const QPoint& point)
{
    QTest::mouseClick(pViewport, Qt::LeftButton, {}, point);
    QMouseEvent dblClick(QEvent::MouseButtonDblClick, point, pViewport->mapToGlobal(point), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pViewport, &dblClick);
    QTest::mouseRelease(pViewport, Qt::LeftButton, {}, point);
}

void ClickRow(CFormCompare* pForm, int nRow, bool bDouble = false)
{
    CCompareListCtrl* pList = pForm->GetList();
    pList->scrollTo(pList->model()->index(nRow, 0));
    const QPoint point = pList->visualRect(pList->model()->index(nRow, 0)).center();
    if (bDouble)
        DoubleClickAt(pList->viewport(), point);
    else
        QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, point);
}

void ClickFilter(CFormCompare* pForm, int nStatus)
{
    QTest::mouseClick(pForm->GetFilter(nStatus), Qt::LeftButton);
}

}  // namespace

class TestCompareResults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void tableWindowFromTheButton_data();
    void tableWindowFromTheButton();
    void fieldWindowOfADifferentTable();
    void secondClickReusesTheResultAndTheLastWindowClears();
    void cancelledOptionsOpenNothing();
    void cancelledRunOpensNothingAndAsksAgain();
    void runRefusesEverySecondWay_data();
    void runRefusesEverySecondWay();
    void closingTheComparisonWindowDeletesTheResults();
    void placementIsKeptPerKind_data();
    void placementIsKeptPerKind();
    void exportFailureShownWithItsReason_data();
    void exportFailureShownWithItsReason();
    void exportsAreTheCommandLines_data();
    void exportsAreTheCommandLines();
    void exportOptionsFollowTheFilters_data();
    void exportOptionsFollowTheFilters();
    void resultsOnServers_data();
    void resultsOnServers();
    void aliasesAcrossServers();
    void aliasOptionsFromTheButton_data();
    void aliasOptionsFromTheButton();
    void layoutAndColumns_data();
    void layoutAndColumns();
    void accessibleNames_data();
    void accessibleNames();

private:
    // Opens the comparison window on both databases; null on failure.
    CMainFrame* OpenWindow();
    // The same on the named data sources, choosing each side's schema in
    // its list when a key is given.
    CMainFrame* OpenWindowOn(const QString (&strDsns)[2], const QString (&strSchemaKeys)[2] = {});
    // Clicks the table button, accepts the options, waits for the window.
    CCompareFrm* CompareTables();
    // Opens the result window of a kind ("tables", "fields" of F0101 or
    // "aliases", the sides then two data dictionaries) from the buttons,
    // the options accepted as shown; null on failure.
    CFormCompare* OpenResultWindow(const QString& strKind);

    PrivateSettings m_settings;
    std::unique_ptr<QTemporaryDir> m_pTmp;
    std::unique_ptr<CQalmetApp> m_pApp;
    std::unique_ptr<kvtest::TestDatabase> m_pSides[2];
    QPointer<CMainFrame> m_pFrame;
};

void TestCompareResults::init()
{
    m_pTmp = std::make_unique<QTemporaryDir>();
    qputenv("TMP", QFile::encodeName(m_pTmp->path()));
    m_pApp = std::make_unique<CQalmetApp>();
    m_pApp->ReadLanguage(QLocale(QLocale::French, QLocale::France));
    for (int nSide : {0, 1})
        m_pSides[nSide] = SideDatabase(nSide);
}

void TestCompareResults::cleanup()
{
    delete m_pFrame.data();
    m_pApp.reset();
    for (auto& pSide : m_pSides)
        pSide.reset();
    qunsetenv("TMP");
    m_pTmp.reset();
}

CMainFrame* TestCompareResults::OpenWindow()
{
    return OpenWindowOn({m_pSides[0]->Dsn(), m_pSides[1]->Dsn()});
}

CMainFrame* TestCompareResults::OpenWindowOn(const QString (&strDsns)[2], const QString (&strSchemaKeys)[2])
{
    for (int nSide : {0, 1})
        UseDataSource(nSide, strDsns[nSide]);
    m_pFrame = new CMainFrame(nullptr);
    m_pFrame->Open();
    if (!QTest::qWaitForWindowExposed(m_pFrame))
        return nullptr;
    for (int nSide : {0, 1}) {
        if (strSchemaKeys[nSide].isEmpty())
            continue;
        CFormDBSelect* pForm = m_pFrame->GetDBForm(nSide);
        if (!QTest::qWaitFor([&] {
                QCoreApplication::processEvents();
                return !pForm->IsBusy() && pForm->m_cbSchema->isVisible();
            }))
            return nullptr;
        ChooseSchema(pForm, strSchemaKeys[nSide]);
        if (QTest::currentTestFailed())
            return nullptr;
    }
    if (!QTest::qWaitFor([&] { return SidesIdle(m_pFrame); }))
        return nullptr;
    return m_pFrame;
}

CCompareFrm* TestCompareResults::CompareTables()
{
    CCompareLauncher* pLauncher = m_pFrame->GetCompareLauncher();
    const qsizetype nBefore = pLauncher->GetFrames().size();
    ParamsAnswerer answerer({[](CDlgParams& dlg) { QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton); }});
    QTest::mouseClick(m_pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_TABLES), Qt::LeftButton);
    if (pLauncher->GetFrames().size() != nBefore + 1)
        return nullptr;
    CCompareFrm* pWindow = pLauncher->GetFrames().last();
    return QTest::qWaitForWindowExposed(pWindow) ? pWindow : nullptr;
}

CFormCompare* TestCompareResults::OpenResultWindow(const QString& strKind)
{
    const bool bAliases = strKind == QStringLiteral("aliases");
    if (bAliases) {
        // Two dictionaries: the right one has aliases of its own.
        kvtest::JdeOptions more;
        more.nExtraAliases = 3;
        try {
            for (int nSide : {0, 1})
                m_pSides[nSide] = std::move(kvtest::JdeTestBed(kvtest::Engine::SQLite,
                                                               nSide == 0 ? kvtest::JdeOptions() : more)
                                                .pDatabase);
        } catch (const std::exception& error) {
            qWarning("%s", error.what());
            return nullptr;
        }
    }
    if (!OpenWindow())
        return nullptr;
    CCompareLauncher* pLauncher = m_pFrame->GetCompareLauncher();
    {
        ParamsAnswerer answerer({[](CDlgParams& dlg) { QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton); }});
        QTest::mouseClick(m_pFrame->GetLauncher()->GetDlgItem(bAliases ? IDC_COMPARE_ALIASES : IDC_COMPARE_TABLES),
                          Qt::LeftButton);
        if (answerer.m_nShown != 1 || pLauncher->GetFrames().size() != 1)
            return nullptr;
    }
    CFormCompare* pForm = pLauncher->GetFrames().last()->GetForm();
    if (strKind == QStringLiteral("fields")) {
        ClickRow(pForm, kAllTables.indexOf(QStringLiteral("F0101")), true);
        if (pLauncher->GetFrames().size() != 2)
            return nullptr;
        pForm = pLauncher->GetFrames().last()->GetForm();
    }
    return QTest::qWaitForWindowExposed(pForm->window()) ? pForm : nullptr;
}

void TestCompareResults::tableWindowFromTheButton_data()
{
    QTest::addColumn<int>("nEngine");
    QTest::newRow("SQLite") << int(kvtest::Engine::SQLite);
    QTest::newRow("PostgreSQL") << int(kvtest::Engine::PostgreSQL);
    QTest::newRow("MariaDB") << int(kvtest::Engine::MariaDB);
}

void TestCompareResults::tableWindowFromTheButton()
{
    QFETCH(int, nEngine);
    const auto engine = kvtest::Engine(nEngine);
    try {
        for (int nSide : {0, 1})
            m_pSides[nSide] = SideDatabase(nSide, engine);
    } catch (const std::exception& error) {
        QFAIL(error.what());
    }
    // PostgreSQL folds the unquoted names of the tables to lower case.
    const auto spelled = [engine](QStringList names) {
        if (engine == kvtest::Engine::PostgreSQL)
            names.replaceInStrings(QRegularExpression(QStringLiteral("^F")), QStringLiteral("f"));
        return names;
    };
    const QStringList kAllTables = spelled(::kAllTables);
    const QStringList kDifferent = spelled(::kDifferent);
    const auto name = [&](const char* pszName) { return spelled({QString::fromLatin1(pszName)}).first(); };
    // A MariaDB login sees other databases too: each side chooses its own
    // (the catalog, without owner).
    QString strKeys[2];
    if (engine == kvtest::Engine::MariaDB) {
        for (int nSide : {0, 1})
            strKeys[nSide] = m_pSides[nSide]->Name() + u'.';
    }
    QVERIFY(OpenWindowOn({m_pSides[0]->Dsn(), m_pSides[1]->Dsn()}, strKeys));
    ModalWatcher watcher;
    CCompareFrm* pWindow = CompareTables();
    QVERIFY(pWindow);
    QVERIFY(watcher.m_bWaitShown);
    QVERIFY(qobject_cast<CCompareTableFrm*>(pWindow));
    CFormCompare* pForm = pWindow->GetForm();
    QString strTitles[2];
    for (int nSide : {0, 1}) {
        const QString strSchema = m_pFrame->GetDBForm(nSide)->GetSchemaText();
        strTitles[nSide] = m_pSides[nSide]->Dsn() + (strSchema.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(strSchema));
    }
    const QString strLeft = strTitles[0];
    const QString strRight = strTitles[1];
    QCOMPARE(pWindow->windowTitle(), strLeft + QStringLiteral(" / ") + strRight);
    const QStringList captions{QStringLiteral("3 table(s) identique(s)"),
                               QStringLiteral("1 table(s) uniquement dans ") + strLeft,
                               QStringLiteral("2 table(s) uniquement dans ") + strRight,
                               QStringLiteral("4 table(s) différente(s)")};
    for (int s = 0; s < 4; ++s) {
        QCOMPARE(pForm->GetFilter(s)->text(), captions[s]);
        QCOMPARE(pForm->GetFilter(s)->accessibleName(), captions[s]);
        QCOMPARE(pForm->GetFilter(s)->GetCheck(), 1);
        QVERIFY(pForm->GetFilter(s)->isVisible());
        QCOMPARE(pForm->GetFilter(s)->palette().color(QPalette::WindowText), GetStatusColor(s));
        QCOMPARE(pForm->GetFilter(s)->font().bold(), s > 0);
    }
    QCOMPARE(ListedNames(pForm), kAllTables);
    // The selection forms are locked while the window is open.
    QVERIFY(!m_pFrame->GetDBForm(0)->GetDlgItem(IDC_DSN_CHOOSE)->isEnabled());

    // Filters keep the order.
    ClickFilter(pForm, 3);
    QCOMPARE(pForm->GetFilter(3)->GetCheck(), 0);
    QStringList expected = kAllTables;
    for (const QString& strTable : kDifferent)
        expected.removeAll(strTable);
    QCOMPARE(ListedNames(pForm), expected);
    for (int nRow = 0; nRow < pForm->GetList()->GetItemCount(); ++nRow)
        QVERIFY(pForm->GetList()->GetItemStatus(nRow) != 3);
    ClickFilter(pForm, 3);
    QCOMPARE(ListedNames(pForm), kAllTables);
    ClickFilter(pForm, 0);
    ClickFilter(pForm, 2);
    QCOMPARE(ListedNames(pForm), spelled({QStringLiteral("F0092"), QStringLiteral("F0101"), QStringLiteral("F0111"),
                                          QStringLiteral("F4211"), QStringLiteral("F9860")}));
    ClickFilter(pForm, 0);
    ClickFilter(pForm, 2);

    // Search, with Enter in the field and with the button; wraps around.
    QLineEdit* pSearch = pForm->GetSearchEdit();
    QVERIFY(!pForm->GetDlgItem(IDC_SEARCH)->isEnabled());
    pSearch->setFocus();
    QTest::keyClicks(pSearch, QStringLiteral("f01"));
    QVERIFY(pForm->GetDlgItem(IDC_SEARCH)->isEnabled());
    QTest::keyClick(pSearch, Qt::Key_Return);
    QCOMPARE(SelectedName(pForm), name("F0101"));
    QTest::mouseClick(pForm->GetDlgItem(IDC_SEARCH), Qt::LeftButton);
    QCOMPARE(SelectedName(pForm), name("F0111"));
    QTest::mouseClick(pForm->GetDlgItem(IDC_SEARCH), Qt::LeftButton);
    QCOMPARE(SelectedName(pForm), name("F0101"));

    // Show differences: a different table only.
    QWidget* pDetails = pForm->GetDlgItem(IDC_SHOW_DETAILS);
    QVERIFY(pDetails->isVisible());
    ClickRow(pForm, kAllTables.indexOf(name("F0002")));
    QVERIFY(!pDetails->isEnabled());
    ClickRow(pForm, kAllTables.indexOf(name("F4211")));
    QVERIFY(pDetails->isEnabled());
    const qsizetype nFrames = m_pFrame->GetCompareLauncher()->GetFrames().size();
    ClickRow(pForm, kAllTables.indexOf(name("F4101")), true);
    QCOMPARE(m_pFrame->GetCompareLauncher()->GetFrames().size(), nFrames);
    // A different table deselected: the button goes off; a double click
    // on the empty space below the rows opens nothing.
    ClickRow(pForm, kAllTables.indexOf(name("F4211")));
    QVERIFY(pDetails->isEnabled());
    pForm->GetList()->clearSelection();
    QVERIFY(!pDetails->isEnabled());
    DoubleClickAt(pForm->GetList()->viewport(), QPoint(5, pForm->GetList()->viewport()->height() - 3));
    QCOMPARE(m_pFrame->GetCompareLauncher()->GetFrames().size(), nFrames);
    QVERIFY(watcher.m_arrBoxTexts.isEmpty());
}

void TestCompareResults::fieldWindowOfADifferentTable()
{
    QVERIFY(OpenWindow());
    ModalWatcher watcher;
    CCompareFrm* pWindow = CompareTables();
    QVERIFY(pWindow);
    CFormCompare* pForm = pWindow->GetForm();
    ClickRow(pForm, kAllTables.indexOf(QStringLiteral("F0101")));
    QTest::mouseClick(pForm->GetDlgItem(IDC_SHOW_DETAILS), Qt::LeftButton);
    QCOMPARE(m_pFrame->GetCompareLauncher()->GetFrames().size(), 2);
    auto* pFields = qobject_cast<CCompareColumnFrm*>(m_pFrame->GetCompareLauncher()->GetFrames().last());
    QVERIFY(pFields);
    QVERIFY(QTest::qWaitForWindowExposed(pFields));
    QCOMPARE(pFields->windowTitle(), pWindow->windowTitle() + QStringLiteral(" - F0101"));
    CFormCompare* pFieldForm = pFields->GetForm();
    // Without SQL types: three boxes and one column.
    QVERIFY(pFieldForm->GetFilter(0)->isVisible());
    QVERIFY(pFieldForm->GetFilter(1)->isVisible());
    QVERIFY(pFieldForm->GetFilter(2)->isVisible());
    QVERIFY(!pFieldForm->GetFilter(3)->isVisible());
    QCOMPARE(pFieldForm->GetList()->GetColumnCount(), 1);
    QCOMPARE(pFieldForm->GetFilter(0)->text(), QStringLiteral("2 champ(s) identique(s)"));
    QCOMPARE(pFieldForm->GetFilter(2)->text(),
             QStringLiteral("1 champ(s) uniquement dans ") + m_pSides[1]->Dsn());
    QCOMPARE(ListedNames(pFieldForm), (QStringList{QStringLiteral("K"), QStringLiteral("NAME"), QStringLiteral("ABC")}));
    QCOMPARE(pFieldForm->GetList()->GetItemStatus(2), 2);
    pFields->resize(1000, 500);
    QVERIFY(pFields->width() <= 750);
    QVERIFY(pFields->minimumSize() == QSize(400, 350));
    // The table window cannot grow beyond 750 pixels either.
    pWindow->resize(1000, 500);
    QVERIFY(pWindow->width() <= 750);
}

void TestCompareResults::secondClickReusesTheResultAndTheLastWindowClears()
{
    QVERIFY(OpenWindow());
    CCompareFrm* pFirst = CompareTables();
    QVERIFY(pFirst);
    const QString strResult = m_pApp->GetResultFile(RESULT_FILE_TABLES)->fileName();
    // Second click: no options, no run, a second window on the same result.
    CCompareLauncher* pLauncher = m_pFrame->GetCompareLauncher();
    {
        ModalWatcher watcher;
        ParamsAnswerer answerer({});
        QTest::mouseClick(m_pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_TABLES), Qt::LeftButton);
        QCOMPARE(pLauncher->GetFrames().size(), 2);
        QCOMPARE(answerer.m_nShown, 0);
        QVERIFY(!watcher.m_bWaitShown);
    }
    QCOMPARE(m_pApp->GetResultFile(RESULT_FILE_TABLES)->fileName(), strResult);
    QCOMPARE(ListedNames(pLauncher->GetFrames().last()->GetForm()), kAllTables);
    // A third: the fields of a different table.
    CFormCompare* pForm = pFirst->GetForm();
    ClickRow(pForm, kAllTables.indexOf(QStringLiteral("F9860")), true);
    QCOMPARE(pLauncher->GetFrames().size(), 3);

    // Closing two of three leaves the result and the lock.
    QPointer<CCompareFrm> pWindows[3] = {pLauncher->GetFrames()[0], pLauncher->GetFrames()[1],
                                         pLauncher->GetFrames()[2]};
    pWindows[0]->close();
    pWindows[2]->close();
    QCOMPARE(pLauncher->GetFrames().size(), 1);
    QVERIFY(QFile::exists(strResult));
    QVERIFY(!m_pFrame->GetDBForm(1)->GetDlgItem(IDC_DSN_CHOOSE)->isEnabled());
    // The last one unlocks and deletes the results.
    pWindows[1]->close();
    QVERIFY(pLauncher->GetFrames().isEmpty());
    QVERIFY(!QFile::exists(strResult));
    QVERIFY(m_pApp->GetResultFile(RESULT_FILE_TABLES) == nullptr);
    QVERIFY(m_pFrame->GetDBForm(0)->GetDlgItem(IDC_DSN_CHOOSE)->isEnabled());
    QVERIFY(m_pFrame->GetDBForm(1)->GetDlgItem(IDC_DSN_CHOOSE)->isEnabled());
    QTRY_VERIFY(pWindows[1].isNull());
    // The next click starts with the options again.
    ParamsAnswerer again({[](CDlgParams& dlg) { QTest::mouseClick(dlg.GetDlgItem(IDCANCEL), Qt::LeftButton); }});
    QTest::mouseClick(m_pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_TABLES), Qt::LeftButton);
    QCOMPARE(again.m_nShown, 1);
    QVERIFY(pLauncher->GetFrames().isEmpty());
}

void TestCompareResults::cancelledOptionsOpenNothing()
{
    QVERIFY(OpenWindow());
    ModalWatcher watcher;
    ParamsAnswerer answerer({[](CDlgParams& dlg) { QTest::mouseClick(dlg.GetDlgItem(IDCANCEL), Qt::LeftButton); }});
    QTest::mouseClick(m_pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_TABLES), Qt::LeftButton);
    QCOMPARE(answerer.m_nShown, 1);
    QVERIFY(!watcher.m_bWaitShown);
    QVERIFY(m_pFrame->GetCompareLauncher()->GetFrames().isEmpty());
    QVERIFY(m_pApp->GetResultFile(RESULT_FILE_TABLES) == nullptr);
    QVERIFY(m_pFrame->GetDBForm(0)->GetDlgItem(IDC_DSN_CHOOSE)->isEnabled());
}

void TestCompareResults::cancelledRunOpensNothingAndAsksAgain()
{
    // Enough tables for the cancel to land before the last one.
    for (int nSide : {0, 1}) {
        m_pSides[nSide] = std::make_unique<kvtest::TestDatabase>(kvtest::Engine::SQLite);
        for (int i = 0; i < 150; ++i)
            m_pSides[nSide]->Exec(QStringLiteral("CREATE TABLE T%1 (K INTEGER)").arg(i, 4, 10, QLatin1Char('0')));
    }
    QVERIFY(OpenWindow());
    CCompareLauncher* pLauncher = m_pFrame->GetCompareLauncher();
    ModalWatcher watcher;
    QString strCancelledAt;
    watcher.onWait = [&](CDlgWait& wait) {
        auto* pItem = qobject_cast<QLabel*>(wait.GetDlgItem(IDC_WAIT_ITEM));
        if (strCancelledAt.isEmpty() && pItem != nullptr && !pItem->text().isEmpty()) {
            strCancelledAt = pItem->text();
            QTest::mouseClick(wait.GetDlgItem(IDCANCEL), Qt::LeftButton);
        }
    };
    {
        ParamsAnswerer answerer({[](CDlgParams& dlg) { QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton); }});
        QTest::mouseClick(m_pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_TABLES), Qt::LeftButton);
        QCOMPARE(answerer.m_nShown, 1);
    }
    QVERIFY(watcher.m_bWaitShown);
    QVERIFY(!strCancelledAt.isEmpty());
    QVERIFY(strCancelledAt != QStringLiteral("T0149"));
    // No window, no result, the forms unlocked, no message.
    QVERIFY(pLauncher->GetFrames().isEmpty());
    QVERIFY(!pLauncher->IsBusy());
    QVERIFY(m_pApp->GetResultFile(RESULT_FILE_TABLES) == nullptr);
    QCOMPARE(QDir(m_pTmp->path()).entryList(QDir::Files), QStringList());
    QVERIFY(m_pFrame->GetDBForm(0)->GetDlgItem(IDC_DSN_CHOOSE)->isEnabled());
    QVERIFY(watcher.m_arrBoxTexts.isEmpty());
    // The next click starts again from the options.
    ParamsAnswerer again({[](CDlgParams& dlg) { QTest::mouseClick(dlg.GetDlgItem(IDCANCEL), Qt::LeftButton); }});
    watcher.m_bWaitShown = false;
    QTest::mouseClick(m_pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_TABLES), Qt::LeftButton);
    QCOMPARE(again.m_nShown, 1);
    QVERIFY(!watcher.m_bWaitShown);
    QVERIFY(pLauncher->GetFrames().isEmpty());
}

void TestCompareResults::runRefusesEverySecondWay_data()
{
    QTest::addColumn<bool>("bAliases");
    QTest::newRow("table run") << false;
    QTest::newRow("alias run") << true;
}

void TestCompareResults::runRefusesEverySecondWay()
{
    QFETCH(bool, bAliases);
    // Two data dictionaries: both comparison buttons are enabled.
    try {
        for (int nSide : {0, 1})
            m_pSides[nSide] = std::move(kvtest::JdeTestBed(kvtest::Engine::SQLite, kvtest::JdeOptions()).pDatabase);
    } catch (const std::exception& error) {
        QFAIL(error.what());
    }
    QVERIFY(OpenWindow());
    m_pFrame->GetDBForm(0)->m_lstTables->SelectRow(0);
    QVERIFY(m_pFrame->GetDBForm(0)->GetDlgItem(IDC_SHOW_STRUCTURE)->isEnabled());
    CCompareLauncher* pLauncher = m_pFrame->GetCompareLauncher();
    auto* pTables = qobject_cast<QAbstractButton*>(m_pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_TABLES));
    auto* pAliases = qobject_cast<QAbstractButton*>(m_pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_ALIASES));
    auto* pStructure = qobject_cast<QAbstractButton*>(m_pFrame->GetDBForm(0)->GetDlgItem(IDC_SHOW_STRUCTURE));
    QVERIFY(pTables->isEnabled());
    QVERIFY(pAliases->isEnabled());
    // A result window of the other kind is open during the run.
    {
        ParamsAnswerer answerer({[](CDlgParams& dlg) { QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton); }});
        QTest::mouseClick(bAliases ? pTables : pAliases, Qt::LeftButton);
        QCOMPARE(answerer.m_nShown, 1);
    }
    QCOMPARE(pLauncher->GetFrames().size(), 1);
    QPointer<CCompareFrm> pOpenWindow = pLauncher->GetFrames().first();
    QVERIFY(QTest::qWaitForWindowExposed(pOpenWindow));
    // Every way into a second run, tried while the options dialog is up
    // and again while the run goes on.
    int nTries = 0;
    const auto trySecondWays = [&] {
        ++nTries;
        // The dialog up blocks every window of the application, and stands
        // over the comparison window.
        QWidget* pModal = QApplication::activeModalWidget();
        QVERIFY(pModal != nullptr);
        QCOMPARE(pModal->windowModality(), Qt::ApplicationModal);
        QCOMPARE(pModal->parentWidget(), static_cast<QWidget*>(m_pFrame.data()));
        pTables->click();
        pAliases->click();
        pStructure->click();
        m_pFrame->close();
        QVERIFY(m_pFrame->isVisible());
        // The open result window stays, and so does the result it shows.
        QVERIFY(!pOpenWindow->close());
        QVERIFY(pOpenWindow->isVisible());
        QCOMPARE(pLauncher->GetFrames().first(), pOpenWindow.data());
        QVERIFY(pLauncher->IsBusy());
    };
    ModalWatcher watcher;
    bool bTriedDuringRun = false;
    watcher.onWait = [&](CDlgWait&) {
        if (!bTriedDuringRun) {
            bTriedDuringRun = true;
            trySecondWays();
        }
    };
    ParamsAnswerer answerer({[&](CDlgParams& dlg) {
        trySecondWays();
        QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton);
    }});
    QTest::mouseClick(bAliases ? pAliases : pTables, Qt::LeftButton);
    QCOMPARE(nTries, 2);
    QVERIFY(bTriedDuringRun);
    QCOMPARE(answerer.m_nShown, 1);
    // One window more, on the one result of its kind; no structure window,
    // no message.
    QCOMPARE(pLauncher->GetFrames().size(), 2);
    QVERIFY(!pLauncher->IsBusy());
    QVERIFY(m_pFrame);
    QVERIFY(m_pFrame->isVisible());
    QVERIFY(watcher.m_arrBoxTexts.isEmpty());
    QVERIFY(m_pApp->GetResultFile(RESULT_FILE_ALIASES) != nullptr);
    QVERIFY(m_pApp->GetResultFile(RESULT_FILE_TABLES) != nullptr);
    CFormCompare* pForm = pLauncher->GetFrames().last()->GetForm();
    QCOMPARE(qobject_cast<CCompareTableFrm*>(pLauncher->GetFrames().last()) != nullptr, !bAliases);
    int nCounted = 0;
    for (int s = 0; s < 4; ++s)
        nCounted += pForm->GetCount(s);
    QVERIFY(nCounted > 0);
    QCOMPARE(pForm->GetList()->GetItemCount(), nCounted);
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(), [](QWidget* p) { return p->isVisible(); }), 3);
    // After the run, the windows close again.
    QVERIFY(pOpenWindow->close());
}

void TestCompareResults::closingTheComparisonWindowDeletesTheResults()
{
    // A table window and an alias window open, on two data dictionaries.
    CFormCompare* pAliasForm = OpenResultWindow(QStringLiteral("aliases"));
    QVERIFY(pAliasForm);
    QPointer<CCompareFrm> pAliasWindow = m_pFrame->GetCompareLauncher()->GetFrames().first();
    QPointer<CCompareFrm> pTableWindow = CompareTables();
    QVERIFY(pTableWindow);
    QString strResults[2];
    for (int nWhich : {int(RESULT_FILE_TABLES), int(RESULT_FILE_ALIASES)}) {
        QVERIFY(m_pApp->GetResultFile(nWhich) != nullptr);
        strResults[nWhich] = m_pApp->GetResultFile(nWhich)->fileName();
        QVERIFY(QFile::exists(strResults[nWhich]));
    }
    QVERIFY(m_pApp->GetTableComparison().GetTableCount(CMP_SAME) > 0);
    QVERIFY(m_pApp->GetAliasComparison().GetAliasCount(CMP_SAME) > 0);
    m_pFrame->close();
    QTRY_VERIFY(m_pFrame.isNull());
    QVERIFY(pTableWindow.isNull());
    QVERIFY(pAliasWindow.isNull());
    for (int nWhich : {int(RESULT_FILE_TABLES), int(RESULT_FILE_ALIASES)}) {
        QVERIFY(!QFile::exists(strResults[nWhich]));
        QVERIFY(m_pApp->GetResultFile(nWhich) == nullptr);
    }
    for (int s = 0; s < 4; ++s) {
        QCOMPARE(m_pApp->GetTableComparison().GetTableCount(s), 0);
        QCOMPARE(m_pApp->GetAliasComparison().GetAliasCount(s), 0);
    }
}

void TestCompareResults::placementIsKeptPerKind_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("strSection");
    QTest::addColumn<bool>("bMaximised");
    for (auto [pszKind, pszSection] : {std::pair{"tables", "FrmSize2"}, std::pair{"fields", "FrmSize3"},
                                       std::pair{"aliases", "FrmSize4"}}) {
        QTest::addRow("%s, normal", pszKind) << QString::fromLatin1(pszKind) << QString::fromLatin1(pszSection) << false;
        QTest::addRow("%s, maximised", pszKind) << QString::fromLatin1(pszKind) << QString::fromLatin1(pszSection) << true;
    }
}

void TestCompareResults::placementIsKeptPerKind()
{
    QFETCH(QString, kind);
    QFETCH(QString, strSection);
    QFETCH(bool, bMaximised);
    m_settings.Reset();
    CFormCompare* pForm = OpenResultWindow(kind);
    QVERIFY(pForm);
    CCompareLauncher* pLauncher = m_pFrame->GetCompareLauncher();
    // The table window stays open under a field window.
    CFormCompare* pTableForm = kind == QStringLiteral("fields") ? pLauncher->GetFrames().first()->GetForm() : nullptr;
    // Another window of the kind, from its button or row.
    const auto reopen = [&]() -> CCompareFrm* {
        const qsizetype nBefore = pLauncher->GetFrames().size();
        if (pTableForm != nullptr) {
            ClickRow(pTableForm, kAllTables.indexOf(QStringLiteral("F0101")), true);
        } else {
            ParamsAnswerer answerer({[](CDlgParams& dlg) { QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton); }});
            QTest::mouseClick(m_pFrame->GetLauncher()->GetDlgItem(kind == QStringLiteral("aliases") ? IDC_COMPARE_ALIASES
                                                                                                    : IDC_COMPARE_TABLES),
                              Qt::LeftButton);
        }
        if (pLauncher->GetFrames().size() != nBefore + 1)
            return nullptr;
        CCompareFrm* pOpened = pLauncher->GetFrames().last();
        return QTest::qWaitForWindowExposed(pOpened) ? pOpened : nullptr;
    };
    QPointer<CCompareFrm> pWindow = pLauncher->GetFrames().last();
    const QRect placed(40, 50, 610, 470);
    pWindow->setGeometry(placed);
    QTRY_COMPARE(pWindow->geometry(), placed);
    if (bMaximised) {
        pWindow->showMaximized();
        QTRY_VERIFY(pWindow->isMaximized());
    }
    pWindow->close();
    QVERIFY(!pLauncher->GetFrames().contains(pWindow.data()));
    // The normal rectangle is kept with the maximised state, in the kind's
    // own section only.
    CSettingsStore& settings = m_pApp->GetSettings();
    QCOMPARE(settings.GetProfileString(strSection, QStringLiteral("WndRect"), QString()), QStringLiteral("40,50,650,520"));
    QCOMPARE(settings.GetProfileInt(strSection, QStringLiteral("IsZoomed"), -1), bMaximised ? 1 : 0);
    for (const char* pszOther : {"FrmSize2", "FrmSize3", "FrmSize4"}) {
        if (strSection != QLatin1String(pszOther))
            QCOMPARE(settings.GetProfileString(QString::fromLatin1(pszOther), QStringLiteral("WndRect"), QString()), QString());
    }
    pWindow = reopen();
    QVERIFY(pWindow);
    QCOMPARE(pWindow->isMaximized(), bMaximised);
    if (!bMaximised) {
        QCOMPARE(pWindow->geometry(), placed);
        return;
    }
    pWindow->showNormal();
    QTRY_VERIFY(!pWindow->isMaximized());
    QTRY_COMPARE(pWindow->geometry(), placed);
    // Closed in its normal state, it opens so again.
    pWindow->close();
    QCOMPARE(settings.GetProfileInt(strSection, QStringLiteral("IsZoomed"), -1), 0);
    pWindow = reopen();
    QVERIFY(pWindow);
    QVERIFY(!pWindow->isMaximized());
    QCOMPARE(pWindow->geometry(), placed);
}

namespace {

// Answers the save question with the test's file.
class AnsweringChooser : public CExportFileChooser
{
public:
    explicit AnsweringChooser(const QString& strAnswer) : m_strAnswer(strAnswer) { SetCurrent(this); }
    ~AnsweringChooser() override { SetCurrent(nullptr); }

    bool ChooseSaveFile(QString& strPath, const QString&, const QString&, QWidget*) override
    {
        m_strProposed = strPath;
        strPath = m_strAnswer;
        return true;
    }

    QString m_strAnswer;
    QString m_strProposed;
};

QByteArray ReadAll(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Exports a result window's list through its button, the options accepted
// as shown and the file dialog answered with strPath; the number of options
// dialogs shown and the path the file dialog proposed.
int ClickExport(CFormCompare* pForm, const QString& strPath, QString* pstrProposed = nullptr)
{
    AnsweringChooser chooser(strPath);
    ParamsAnswerer answerer({[](CDlgParams& dlg) { QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton); }});
    QTest::mouseClick(pForm->GetDlgItem(IDC_EXPORT), Qt::LeftButton);
    if (pstrProposed != nullptr)
        *pstrProposed = chooser.m_strProposed;
    return answerer.m_nShown;
}

// kitvane-cli's export of the same comparison ("tables", "fields" of
// strTable, or "aliases"), with its default options; its exit status.
int CliExport(const QString& strKind, bool bFrench, const QString (&strDsns)[2], const QString (&strSchemas)[2],
              const QString& strTable, const QString& strPath, bool bSqlTypes = false)
{
    QStringList arrArgs{strKind == QStringLiteral("tables")   ? QStringLiteral("compare-tables")
                        : strKind == QStringLiteral("fields") ? QStringLiteral("compare-fields")
                                                              : QStringLiteral("compare-dd"),
                        QStringLiteral("--lang"), bFrench ? QStringLiteral("fr") : QStringLiteral("en"),
                        QStringLiteral("--left"), strDsns[0], QStringLiteral("--right"), strDsns[1],
                        QStringLiteral("--export"), strPath};
    if (!strSchemas[0].isEmpty())
        arrArgs << QStringLiteral("--left-schema") << strSchemas[0];
    if (!strSchemas[1].isEmpty())
        arrArgs << QStringLiteral("--right-schema") << strSchemas[1];
    if (strKind == QStringLiteral("fields"))
        arrArgs << QStringLiteral("--table") << strTable;
    if (bSqlTypes)
        arrArgs << QStringLiteral("--sql-types");
    QString strErr;
    const int nStatus = tooltest::RunCli(arrArgs, &strErr);
    if (nStatus != 0)
        qWarning("kitvane-cli: %s", qPrintable(strErr));
    return nStatus;
}

}  // namespace

void TestCompareResults::exportsAreTheCommandLines_data()
{
    QTest::addColumn<bool>("french");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("bSqlTypes");
    for (bool bFrench : {true, false}) {
        const char* pszLang = bFrench ? "fr" : "en";
        for (const char* pszKind : {"tables", "fields", "aliases"})
            QTest::addRow("%s %s", pszLang, pszKind) << bFrench << QString::fromLatin1(pszKind) << false;
        QTest::addRow("%s fields with SQL types", pszLang) << bFrench << QStringLiteral("fields") << true;
    }
}

void TestCompareResults::exportsAreTheCommandLines()
{
    QFETCH(bool, french);
    QFETCH(QString, kind);
    QFETCH(bool, bSqlTypes);
    m_pApp->ReadLanguage(french ? QLocale(QLocale::French, QLocale::France)
                                : QLocale(QLocale::English, QLocale::UnitedStates));
    m_pApp->GetOptions().SetOption(OPT_COMPARE_SQL_TYPES, bSqlTypes);
    QStringList arrStarted;
    m_pApp->SetShellOpener(std::make_unique<RecordingOpener>(arrStarted));
    CFormCompare* pForm = OpenResultWindow(kind);
    QVERIFY(pForm);
    const QString strGui = m_pTmp->filePath(QStringLiteral("gui.csv"));
    const QString strCli = m_pTmp->filePath(QStringLiteral("cli.csv"));
    QString strProposed;
    QCOMPARE(ClickExport(pForm, strGui, &strProposed), 1);
    QVERIFY(strProposed.endsWith(pForm->GetExportName().replace(u'.', u'_').replace(u'/', u'-')
                                 + QStringLiteral(".csv")));
    QCOMPARE(arrStarted.size(), 1);
    QVERIFY(arrStarted.first().contains(strGui));
    QCOMPARE(CliExport(kind, french, {m_pSides[0]->Dsn(), m_pSides[1]->Dsn()}, {}, QStringLiteral("F0101"), strCli,
                       bSqlTypes),
             0);
    const QByteArray gui = ReadAll(strGui);
    // Not an empty result: the lines of the differences are there, with
    // six fields a line when the SQL types were compared.
    const QByteArray expectedLine = kind == QStringLiteral("tables")   ? QByteArray("\r\n<>;F0101\r\n;;=;K\r\n;;=;NAME\r\n;;<;ABC\r\n")
                                    : bSqlTypes                        ? QByteArray("\r\n<;ABC;")
                                    : kind == QStringLiteral("fields") ? QByteArray("\r\n<;ABC\r\n")
                                                                       : QByteArray("\r\n<;");
    QVERIFY2(gui.contains(expectedLine), gui.left(400).constData());
    if (bSqlTypes) {
        const QByteArray line = gui.mid(gui.indexOf(expectedLine) + 2).split('\r').first();
        QCOMPARE(int(line.count(';')) + 1, 6);
    }
    QCOMPARE(gui, ReadAll(strCli));
}

void TestCompareResults::exportOptionsFollowTheFilters_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("bSqlTypes");
    QTest::addColumn<int>("nCleared");         // the filter box cleared before the export
    QTest::addColumn<QList<int>>("shown");     // the export options, in the dialog's order
    QTest::addColumn<QList<int>>("indented");
    QTest::addColumn<QByteArray>("filtered");  // a line of the cleared status
    QTest::addColumn<QByteArray>("kept");      // a line of another status
    QTest::newRow("tables") << QStringLiteral("tables") << false << 1 << QList<int>{3, 4, 5, 6, 7, 8, 9, 10}
                            << QList<int>{7, 8, 9, 10} << QByteArray("\r\n>;F0092\r\n")
                            << QByteArray("\r\n<;F0011\r\n");
    QTest::newRow("fields") << QStringLiteral("fields") << false << 0 << QList<int>{11, 12, 13} << QList<int>{}
                            << QByteArray("\r\n=;K\r\n") << QByteArray("\r\n<;ABC\r\n");
    QTest::newRow("fields with SQL types") << QStringLiteral("fields") << true << 2 << QList<int>{11, 12, 13, 14}
                                           << QList<int>{} << QByteArray("\r\n<;ABC;") << QByteArray("\r\n=;K;");
    QTest::newRow("aliases") << QStringLiteral("aliases") << false << 2 << QList<int>{15, 16, 17, 18} << QList<int>{}
                             << QByteArray("\r\n<;X0000001;") << QByteArray("\r\n=;AN8;");
}

// The export's options start from the window's filters and show the
// options of its kind; OK with all of them cleared asks again, Cancel then
// ends the export before the file dialog; the export written follows the
// filters.
void TestCompareResults::exportOptionsFollowTheFilters()
{
    QFETCH(QString, kind);
    QFETCH(bool, bSqlTypes);
    QFETCH(int, nCleared);
    QFETCH(QList<int>, shown);
    QFETCH(QList<int>, indented);
    QFETCH(QByteArray, filtered);
    QFETCH(QByteArray, kept);
    CZembraParam& param = m_pApp->GetOptions();
    param.SetOption(OPT_COMPARE_SQL_TYPES, bSqlTypes);
    // Left over from an earlier export: must not reach a window without the box.
    param.SetOption(OPT_EXPORT_FIELDS_DIFFERENT, true);
    QStringList arrStarted;
    m_pApp->SetShellOpener(std::make_unique<RecordingOpener>(arrStarted));
    CFormCompare* pForm = OpenResultWindow(kind);
    QVERIFY(pForm);
    ClickFilter(pForm, nCleared);
    const int nFirstOption = shown.first();
    const auto box = [](CDlgParams& dlg, int nOption) { return dlg.OptionBox(nOption); };

    ModalWatcher watcher;
    const QString strPath = m_pTmp->filePath(QStringLiteral("export.csv"));
    {
        AnsweringChooser chooser(strPath);
        QList<int> arrShown;
        ParamsAnswerer answerer({[&](CDlgParams& dlg) {
                                     for (int n = 0; n < OPT_COUNT; ++n) {
                                         if (box(dlg, n)->isVisible())
                                             arrShown << n;
                                     }
                                     std::sort(arrShown.begin(), arrShown.end(), [&](int a, int b) {
                                         return box(dlg, a)->y() < box(dlg, b)->y();
                                     });
                                     for (int n : arrShown) {
                                         QCOMPARE(box(dlg, n)->x(), indented.contains(n) ? 9 + CDlgParams::kIndent : 9);
                                         // A status option follows its filter; the table's field options start set.
                                         const int nStatus = n - nFirstOption;
                                         QCOMPARE(box(dlg, n)->isChecked(), nStatus >= 4 || nStatus != nCleared);
                                     }
                                     // The dependent boxes first: a disabled box keeps its mark.
                                     for (auto it = arrShown.crbegin(); it != arrShown.crend(); ++it) {
                                         const int n = *it;
                                         if (box(dlg, n)->isChecked())
                                             QTest::mouseClick(box(dlg, n), Qt::LeftButton, {},
                                                               QPoint(6, box(dlg, n)->height() / 2));
                                     }
                                     QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton);
                                 },
                                 [&](CDlgParams& dlg) {
                                     for (int n : arrShown)
                                         QVERIFY(!box(dlg, n)->isChecked());
                                     QTest::mouseClick(dlg.GetDlgItem(IDCANCEL), Qt::LeftButton);
                                 }});
        QTest::mouseClick(pForm->GetDlgItem(IDC_EXPORT), Qt::LeftButton);
        QCOMPARE(answerer.m_nShown, 2);
        QCOMPARE(arrShown, shown);
        // Cancel ends the export silently, before the file dialog.
        QVERIFY(chooser.m_strProposed.isEmpty());
    }
    QVERIFY(!QFile::exists(strPath));
    QVERIFY(arrStarted.isEmpty());
    if (!shown.contains(OPT_EXPORT_FIELDS_DIFFERENT) && kind == QStringLiteral("fields"))
        QVERIFY(!param.IsOptionSet(OPT_EXPORT_FIELDS_DIFFERENT));

    // Accepted as the filters set them: the cleared status is not written.
    QCOMPARE(ClickExport(pForm, strPath), 1);
    QCOMPARE(arrStarted.size(), 1);
    const QByteArray exported = ReadAll(strPath);
    QVERIFY2(exported.contains(kept), exported.constData());
    QVERIFY2(!exported.contains(filtered), exported.constData());
    QVERIFY(watcher.m_arrBoxTexts.isEmpty());
}

void TestCompareResults::exportFailureShownWithItsReason_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("strWhere");   // "full": a write fails midway; "folder": a folder in the file's place
    QTest::newRow("tables, write fails") << QStringLiteral("tables") << QStringLiteral("full");
    QTest::newRow("fields, write fails") << QStringLiteral("fields") << QStringLiteral("full");
    QTest::newRow("aliases, write fails") << QStringLiteral("aliases") << QStringLiteral("full");
    QTest::newRow("tables, folder in the way") << QStringLiteral("tables") << QStringLiteral("folder");
}

// An export that cannot be written says so with the system's reason,
// leaves no file and opens nothing.
void TestCompareResults::exportFailureShownWithItsReason()
{
    QFETCH(QString, kind);
    QFETCH(QString, strWhere);
    QStringList arrStarted;
    m_pApp->SetShellOpener(std::make_unique<RecordingOpener>(arrStarted));
    CFormCompare* pForm = OpenResultWindow(kind);
    QVERIFY(pForm);
    QTemporaryDir folder;
    const QString strPath = folder.filePath(QStringLiteral("export.csv"));
    if (strWhere == QStringLiteral("folder"))
        QVERIFY(QDir().mkdir(strPath));
    ModalWatcher watcher;
    {
        // Smaller than the legend alone.
        kvtest::FileSizeLimit limit(strWhere == QStringLiteral("full") ? 40 : RLIM_INFINITY);
        QVERIFY(limit.IsSet());
        QCOMPARE(ClickExport(pForm, strPath), 1);
    }
    QCOMPARE(watcher.m_arrBoxTexts.size(), 1);
    const QString strShownPath = QDir::toNativeSeparators(strPath);
    if (strWhere == QStringLiteral("full")) {
        QCOMPARE(watcher.m_arrBoxTexts.first(),
                 FormatLangString(StringId::CannotWriteFileReason, {strShownPath, qt_error_string(EFBIG)}));
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    } else {
        const QString strExpected = FormatLangString(StringId::CannotWriteFile, {strShownPath}) + u'\n';
        QVERIFY2(watcher.m_arrBoxTexts.first().startsWith(strExpected), qPrintable(watcher.m_arrBoxTexts.first()));
        QVERIFY(watcher.m_arrBoxTexts.first().size() > strExpected.size());
        QVERIFY(QFileInfo(strPath).isDir());
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{QStringLiteral("export.csv")});
    }
    QVERIFY(arrStarted.isEmpty());
    // The window stays usable: the next export, with room, is written.
    watcher.m_arrBoxTexts.clear();
    const QString strRetry = folder.filePath(QStringLiteral("retry.csv"));
    QCOMPARE(ClickExport(pForm, strRetry), 1);
    QVERIFY(watcher.m_arrBoxTexts.isEmpty());
    QCOMPARE(arrStarted.size(), 1);
    QVERIFY(ReadAll(strRetry).size() > 40);
}

void TestCompareResults::resultsOnServers_data()
{
    QTest::addColumn<int>("nEngine");
    QTest::newRow("PostgreSQL") << int(kvtest::Engine::PostgreSQL);
    QTest::newRow("MariaDB") << int(kvtest::Engine::MariaDB);
}

// Production against its CRP copy on one server, each side's schema chosen
// in its list: the CRP address book has a field more and CRP a table of
// its own, while production's other tables are missing from it.
void TestCompareResults::resultsOnServers()
{
    QFETCH(int, nEngine);
    KV_JDE_BED(pBed, kvtest::Engine(nEngine), kvtest::JdeOptions());
    const kvtest::JdeFixture& fixture = *pBed->pFixture;
    const QString strCrp = fixture.Place(kvtest::kCrpSchema).strQualifier;
    pBed->pDatabase->Exec(QStringLiteral("ALTER TABLE %1F0101 ADD ABC CHAR(3)").arg(strCrp));
    pBed->pDatabase->Exec(QStringLiteral("CREATE TABLE %1F0011 (K INTEGER)").arg(strCrp));
    QStringList arrStarted;
    m_pApp->SetShellOpener(std::make_unique<RecordingOpener>(arrStarted));
    const QString strDsn = pBed->pDatabase->Dsn();
    QVERIFY(OpenWindowOn({strDsn, strDsn},
                         {fixture.Key(kvtest::kProductionSchema), fixture.Key(kvtest::kCrpSchema)}));
    const QString strSchemas[2] = {m_pFrame->GetDBForm(0)->GetSchemaText(), m_pFrame->GetDBForm(1)->GetSchemaText()};
    QVERIFY(strSchemas[0].contains(kvtest::kProductionSchema, Qt::CaseInsensitive));
    QVERIFY(strSchemas[1].contains(kvtest::kCrpSchema, Qt::CaseInsensitive));
    const QString strLeft = strDsn + QStringLiteral(" (") + strSchemas[0] + u')';
    const QString strRight = strDsn + QStringLiteral(" (") + strSchemas[1] + u')';

    ModalWatcher watcher;
    CCompareFrm* pWindow = CompareTables();
    QVERIFY(pWindow);
    QVERIFY(watcher.m_bWaitShown);
    QCOMPARE(pWindow->windowTitle(), strLeft + QStringLiteral(" / ") + strRight);
    CFormCompare* pForm = pWindow->GetForm();
    const QStringList arrAll = fixture.Spelled({QStringLiteral("F0011"), QStringLiteral("F0101"),
                                                QStringLiteral("F0101_X"), QStringLiteral("F0101AX"),
                                                QStringLiteral("F0911"), QStringLiteral("F4211"),
                                                QStringLiteral("F55TEST"), QStringLiteral("V0101")});
    QCOMPARE(ListedNames(pForm), arrAll);
    const QStringList captions{QStringLiteral("1 table(s) identique(s)"),
                               QStringLiteral("5 table(s) uniquement dans ") + strLeft,
                               QStringLiteral("1 table(s) uniquement dans ") + strRight,
                               QStringLiteral("1 table(s) différente(s)")};
    const int anStatus[] = {2, 3, 1, 1, 1, 0, 1, 1};
    for (int s = 0; s < 4; ++s)
        QCOMPARE(pForm->GetFilter(s)->text(), captions[s]);
    for (int nRow = 0; nRow < arrAll.size(); ++nRow)
        QCOMPARE(pForm->GetList()->GetItemStatus(nRow), anStatus[nRow]);

    // Production's own tables filtered out: the others keep their order.
    ClickFilter(pForm, 1);
    QCOMPARE(ListedNames(pForm), (QStringList{arrAll[0], arrAll[1], arrAll[5]}));
    // Search from the selection, wrapping around.
    QTest::mouseClick(pForm->GetSearchEdit(), Qt::LeftButton);
    QTest::keyClicks(pForm->GetSearchEdit(), QStringLiteral("F0"));
    QTest::keyClick(pForm->GetSearchEdit(), Qt::Key_Return);
    QCOMPARE(SelectedName(pForm), arrAll[0]);
    QTest::keyClick(pForm->GetSearchEdit(), Qt::Key_Return);
    QCOMPARE(SelectedName(pForm), arrAll[1]);
    QTest::keyClick(pForm->GetSearchEdit(), Qt::Key_Return);
    QCOMPARE(SelectedName(pForm), arrAll[0]);
    ClickFilter(pForm, 1);
    QCOMPARE(ListedNames(pForm), arrAll);

    // The differences of the address book: CRP's field of its own.
    QWidget* pDetails = pForm->GetDlgItem(IDC_SHOW_DETAILS);
    ClickRow(pForm, 5);
    QVERIFY(!pDetails->isEnabled());
    ClickRow(pForm, 1);
    QVERIFY(pDetails->isEnabled());
    QTest::mouseClick(pDetails, Qt::LeftButton);
    CCompareLauncher* pLauncher = m_pFrame->GetCompareLauncher();
    QCOMPARE(pLauncher->GetFrames().size(), 2);
    CCompareFrm* pFields = pLauncher->GetFrames().last();
    QVERIFY(QTest::qWaitForWindowExposed(pFields));
    QCOMPARE(pFields->windowTitle(), pWindow->windowTitle() + QStringLiteral(" - ") + arrAll[1]);
    CFormCompare* pFieldForm = pFields->GetForm();
    const QStringList arrFields = ListedNames(pFieldForm);
    QCOMPARE(arrFields.last(), fixture.Spelled(QStringLiteral("ABC")));
    QCOMPARE(pFieldForm->GetList()->GetItemStatus(int(arrFields.size()) - 1), 2);
    QCOMPARE(pFieldForm->GetFilter(0)->text(),
             QStringLiteral("%1 champ(s) identique(s)").arg(arrFields.size() - 1));
    QCOMPARE(pFieldForm->GetFilter(2)->text(), QStringLiteral("1 champ(s) uniquement dans ") + strRight);

    // The exports of both windows are kitvane-cli's for the same schemas.
    const QString strDsns[2] = {strDsn, strDsn};
    for (CFormCompare* pExported : {pForm, pFieldForm}) {
        const QString strKind = pExported == pForm ? QStringLiteral("tables") : QStringLiteral("fields");
        const QString strGui = m_pTmp->filePath(strKind + QStringLiteral("-gui.csv"));
        const QString strCli = m_pTmp->filePath(strKind + QStringLiteral("-cli.csv"));
        QCOMPARE(ClickExport(pExported, strGui), 1);
        QVERIFY(arrStarted.last().contains(strGui));
        QCOMPARE(CliExport(strKind, true, strDsns, strSchemas, arrAll[1], strCli), 0);
        const QByteArray gui = ReadAll(strGui);
        // Not an empty result: CRP's field is there, below its table in
        // the table export.
        const QByteArray field = "<;" + fixture.Spelled(QStringLiteral("ABC")).toLatin1() + "\r\n";
        const QByteArray expected = pExported == pForm ? "\r\n<>;" + arrAll[1].toLatin1() : QByteArray("\r\n");
        QVERIFY2(gui.contains(expected) && gui.contains("\r\n" + QByteArray(pExported == pForm ? ";;" : "") + field),
                 gui.constData());
        QCOMPARE(gui, ReadAll(strCli));
    }
    QCOMPARE(arrStarted.size(), 2);
    QVERIFY(watcher.m_arrBoxTexts.isEmpty());
}

// A PostgreSQL dictionary against a MariaDB one, each side's dictionary
// schema chosen in its list: an alias of the left's own, the right's extra
// aliases and a size changed on the right.
void TestCompareResults::aliasesAcrossServers()
{
    kvtest::JdeOptions more;
    more.nExtraAliases = 3;
    KV_JDE_BED(pLeft, kvtest::Engine::PostgreSQL, kvtest::JdeOptions());
    KV_JDE_BED(pRight, kvtest::Engine::MariaDB, more);
    pLeft->pDatabase->Exec(QStringLiteral("INSERT INTO %1F9210 (FRDTAI, FRDTAT, FRDTAS, FROWTP, FRDTAD, FRCDEC, FRCLAS) "
                                          "VALUES ('KVLEFT', 'S', 4, '2', 0, ' ', 'X')")
                               .arg(pLeft->pFixture->Place(kvtest::kDictionarySchema).strQualifier));
    pRight->pDatabase->Exec(QStringLiteral("UPDATE %1F9210 SET FRDTAS = 50 WHERE FRDTAI = 'ALPH'")
                                .arg(pRight->pFixture->Place(kvtest::kDictionarySchema).strQualifier));
    QStringList arrStarted;
    m_pApp->SetShellOpener(std::make_unique<RecordingOpener>(arrStarted));
    const QString strDsns[2] = {pLeft->pDatabase->Dsn(), pRight->pDatabase->Dsn()};
    QVERIFY(OpenWindowOn(strDsns, {pLeft->pFixture->Key(kvtest::kDictionarySchema),
                                   pRight->pFixture->Key(kvtest::kDictionarySchema)}));
    const QString strSchemas[2] = {m_pFrame->GetDBForm(0)->GetSchemaText(), m_pFrame->GetDBForm(1)->GetSchemaText()};
    ModalWatcher watcher;
    {
        ParamsAnswerer answerer({[](CDlgParams& dlg) { QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton); }});
        QTest::mouseClick(m_pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_ALIASES), Qt::LeftButton);
        QCOMPARE(answerer.m_nShown, 1);
    }
    QVERIFY(watcher.m_bWaitShown);
    CCompareLauncher* pLauncher = m_pFrame->GetCompareLauncher();
    QCOMPARE(pLauncher->GetFrames().size(), 1);
    CFormCompare* pForm = pLauncher->GetFrames().first()->GetForm();
    const QString strRight = strDsns[1] + QStringLiteral(" (") + strSchemas[1] + u')';
    QCOMPARE(pForm->GetFilter(0)->text(), QStringLiteral("15 alias identique(s)"));
    QCOMPARE(pForm->GetFilter(1)->text(),
             QStringLiteral("1 alias uniquement dans %1 (%2)").arg(strDsns[0], strSchemas[0]));
    QCOMPARE(pForm->GetFilter(2)->text(), QStringLiteral("3 alias uniquement dans ") + strRight);
    QCOMPARE(pForm->GetFilter(3)->text(), QStringLiteral("1 alias différent(s)"));
    const QStringList arrNames = ListedNames(pForm);
    QCOMPARE(arrNames.size(), 20);
    QCOMPARE(pForm->GetList()->GetItemStatus(int(arrNames.indexOf(QStringLiteral("KVLEFT")))), 1);
    const int nAlph = int(arrNames.indexOf(QStringLiteral("ALPH")));
    QCOMPARE(pForm->GetList()->GetItemStatus(nAlph), 3);
    QCOMPARE(pForm->GetList()->GetItemText(nAlph, 2), QStringLiteral("40 | 50"));
    // Only the different one left, then all back in their order.
    for (int s = 0; s < 3; ++s)
        ClickFilter(pForm, s);
    QCOMPARE(ListedNames(pForm), QStringList{QStringLiteral("ALPH")});
    for (int s = 0; s < 3; ++s)
        ClickFilter(pForm, s);
    QCOMPARE(ListedNames(pForm), arrNames);

    const QString strGui = m_pTmp->filePath(QStringLiteral("aliases-gui.csv"));
    const QString strCli = m_pTmp->filePath(QStringLiteral("aliases-cli.csv"));
    QCOMPARE(ClickExport(pForm, strGui), 1);
    QCOMPARE(arrStarted.size(), 1);
    QCOMPARE(CliExport(QStringLiteral("aliases"), true, strDsns, strSchemas, QString(), strCli), 0);
    const QByteArray gui = ReadAll(strGui);
    QVERIFY2(gui.contains("\r\n<>;ALPH;A;40 | 50;") && gui.contains("\r\n>;KVLEFT;"), gui.constData());
    QCOMPARE(gui, ReadAll(strCli));
    QVERIFY(watcher.m_arrBoxTexts.isEmpty());
}

void TestCompareResults::aliasOptionsFromTheButton_data()
{
    QTest::addColumn<bool>("bLeftOwtp");
    QTest::addColumn<bool>("bRightOwtp");
    QTest::newRow("both dictionaries with FROWTP") << true << true;
    QTest::newRow("left without FROWTP") << false << true;
    QTest::newRow("right without FROWTP") << true << false;
}

// The alias button's options: the product-type box only when both
// dictionaries have it (else the option is cleared), and the dialog back
// again after OK with every attribute cleared.
void TestCompareResults::aliasOptionsFromTheButton()
{
    QFETCH(bool, bLeftOwtp);
    QFETCH(bool, bRightOwtp);
    const bool bBoth = bLeftOwtp && bRightOwtp;
    kvtest::JdeOptions options[2];
    options[0].dictionary = bLeftOwtp ? kvtest::Dictionary::F9210 : kvtest::Dictionary::F9210WithoutOwtp;
    options[1].dictionary = bRightOwtp ? kvtest::Dictionary::F9210 : kvtest::Dictionary::F9210WithoutOwtp;
    KV_JDE_BED(pLeft, kvtest::Engine::SQLite, options[0]);
    KV_JDE_BED(pRight, kvtest::Engine::SQLite, options[1]);
    CZembraParam& param = m_pApp->GetOptions();
    for (int nOption = OPT_COMPARE_DTAT; nOption <= OPT_COMPARE_CDEC; ++nOption)
        param.SetOption(nOption, true);
    QVERIFY(OpenWindowOn({pLeft->pDatabase->Dsn(), pRight->pDatabase->Dsn()}));

    const auto shownBoxes = [](CDlgParams& dlg) {
        QList<int> arrShown;
        for (int nOption = OPT_COMPARE_DTAT; nOption <= OPT_COMPARE_CDEC; ++nOption) {
            if (dlg.GetDlgItem(IDC_OPTION_FIRST + nOption)->isVisible())
                arrShown << nOption;
        }
        return arrShown;
    };
    const auto box = [](CDlgParams& dlg, int nOption) {
        return qobject_cast<QAbstractButton*>(dlg.GetDlgItem(IDC_OPTION_FIRST + nOption));
    };
    QList<int> arrShown[2];
    ModalWatcher watcher;
    ParamsAnswerer answerer({[&](CDlgParams& dlg) {
                                 // Every shown attribute cleared by a click: refused.
                                 arrShown[0] = shownBoxes(dlg);
                                 for (int nOption : arrShown[0]) {
                                     QVERIFY(box(dlg, nOption)->isChecked());
                                     QTest::mouseClick(box(dlg, nOption), Qt::LeftButton);
                                 }
                                 QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton);
                             },
                             [&](CDlgParams& dlg) {
                                 arrShown[1] = shownBoxes(dlg);
                                 for (int nOption : arrShown[1])
                                     QVERIFY(!box(dlg, nOption)->isChecked());
                                 QTest::mouseClick(box(dlg, OPT_COMPARE_DTAT), Qt::LeftButton);
                                 if (arrShown[1].contains(OPT_COMPARE_OWTP))
                                     QTest::mouseClick(box(dlg, OPT_COMPARE_OWTP), Qt::LeftButton);
                                 QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton);
                             }});
    QTest::mouseClick(m_pFrame->GetLauncher()->GetDlgItem(IDC_COMPARE_ALIASES), Qt::LeftButton);
    QCOMPARE(answerer.m_nShown, 2);
    QList<int> arrExpected{OPT_COMPARE_DTAT, OPT_COMPARE_DTAS};
    if (bBoth)
        arrExpected << OPT_COMPARE_OWTP;
    arrExpected << OPT_COMPARE_DTAD << OPT_COMPARE_CDEC;
    QCOMPARE(arrShown[0], arrExpected);
    QCOMPARE(arrShown[1], arrExpected);
    QVERIFY(watcher.m_bWaitShown);
    QVERIFY(param.IsOptionSet(OPT_COMPARE_DTAT));
    QCOMPARE(param.IsOptionSet(OPT_COMPARE_OWTP), bBoth);
    QVERIFY(!param.IsOptionSet(OPT_COMPARE_DTAS));

    // The window shows the compared attributes only.
    CCompareLauncher* pLauncher = m_pFrame->GetCompareLauncher();
    QCOMPARE(pLauncher->GetFrames().size(), 1);
    QVERIFY(QTest::qWaitForWindowExposed(pLauncher->GetFrames().first()));
    CCompareListCtrl* pList = pLauncher->GetFrames().first()->GetForm()->GetList();
    QCOMPARE(pList->GetColumnCount(), 6);
    QVERIFY(pList->GetItemCount() > 0);
    QVERIFY(pList->columnWidth(1) > 0);
    QCOMPARE(pList->columnWidth(2), 0);
    QCOMPARE(pList->columnWidth(3) > 0, bBoth);
    QCOMPARE(pList->columnWidth(4), 0);
    QVERIFY(watcher.m_arrBoxTexts.isEmpty());
}

void TestCompareResults::layoutAndColumns_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("bSqlTypes");
    QTest::addColumn<QList<int>>("weights");   // of the shown columns, 0 for a hidden one; none: one column
    QTest::newRow("tables") << QStringLiteral("tables") << false << QList<int>{};
    QTest::newRow("fields") << QStringLiteral("fields") << false << QList<int>{};
    QTest::newRow("fields with SQL types") << QStringLiteral("fields") << true << QList<int>{22, 26, 12, 20, 20};
    // The item size is not compared: its column is hidden.
    QTest::newRow("aliases") << QStringLiteral("aliases") << false << QList<int>{30, 13, 0, 13, 13, 13};
}

// Where a result window puts its filter boxes, search field, list and
// button, the band of captions over the list, and how it shares the list's
// width among the columns.
void TestCompareResults::layoutAndColumns()
{
    QFETCH(QString, kind);
    QFETCH(bool, bSqlTypes);
    QFETCH(QList<int>, weights);
    m_pApp->GetOptions().SetOption(OPT_COMPARE_SQL_TYPES, bSqlTypes);
    for (int nOption = OPT_COMPARE_DTAT; nOption <= OPT_COMPARE_CDEC; ++nOption)
        m_pApp->GetOptions().SetOption(nOption, nOption != OPT_COMPARE_DTAS);
    CFormCompare* pForm = OpenResultWindow(kind);
    QVERIFY(pForm);
    const bool bBand = kind == QStringLiteral("aliases") || bSqlTypes;
    // Small enough for the rows to need a scroll bar, then large enough
    // for them all; the tables and the fields without SQL types no wider
    // than 750 pixels.
    const bool bLimited = !bBand;
    for (QSize size : {QSize(560, 420), QSize(900, 640)}) {
        pForm->window()->resize(size);
        if (bLimited)
            size.setWidth(std::min(size.width(), 750));
        QTRY_COMPARE(pForm->window()->size(), size);
        const int cx = pForm->width();
        // The shown boxes one under the other, 5 pixels apart.
        int y = 16;
        for (int s = 0; s < 4; ++s) {
            const QRect box = pForm->GetFilter(s)->geometry();
            if (!pForm->GetFilter(s)->isVisible())
                continue;
            QCOMPARE(box.left(), 18);
            QCOMPARE(box.top(), y);
            QCOMPARE(box.right() + 1, cx - 18);
            y = box.bottom() + 1 + 5;
        }
        // The search field and its button on one line, right-aligned.
        const QRect button = pForm->GetDlgItem(IDC_SEARCH)->geometry();
        const QRect edit = pForm->GetSearchEdit()->geometry();
        QCOMPARE(button.right() + 1, cx - 9);
        QCOMPARE(edit.left(), 9);
        QCOMPARE(edit.right() + 1, button.left() - 1);
        QCOMPARE(edit.top(), button.top());
        QVERIFY(edit.top() > y);
        // The list below, after the band of captions when there is one.
        QCOMPARE(pForm->GetHeaderBandHeight(), bBand ? 35 : 0);
        const QRect list = pForm->GetList()->geometry();
        QCOMPARE(list.left(), 9);
        QCOMPARE(list.width(), cx - 18);
        QCOMPARE(list.top(), edit.bottom() + 1 + 9 + (bBand ? 35 : 0));
        const QRect exportButton = pForm->GetDlgItem(IDC_EXPORT)->geometry();
        QWidget* pDetails = pForm->GetDlgItem(IDC_SHOW_DETAILS);
        QCOMPARE(pDetails->isVisible(), kind == QStringLiteral("tables"));
        if (pDetails->isVisible()) {
            QCOMPARE(pDetails->geometry().right() + 1, cx - 9);
            QCOMPARE(pDetails->geometry().bottom() + 1, list.bottom() + 1 + 9 + edit.height());
        }
        QVERIFY(list.bottom() < (pDetails->isVisible() ? pDetails->geometry().top() : exportButton.top()));
        // The band is painted over the list's width.
        const QImage picture = pForm->grab().toImage();
        const QColor bandColour(205, 212, 218);
        QCOMPARE(QColor(picture.pixel(list.left() + 1, list.top() - 34)) == bandColour, bBand);
        QCOMPARE(QColor(picture.pixel(list.right() - 1, list.top() - 2)) == bandColour, bBand);

        // The widths: one column the list's width less a pixel; else the
        // name's share between 60 and 200 pixels, the shown columns by
        // their weights, the last one what remains.
        CCompareListCtrl* pList = pForm->GetList();
        const int W = pList->viewport()->width();
        if (weights.isEmpty()) {
            QCOMPARE(pList->GetColumnCount(), 1);
            QCOMPARE(pList->GetColumnWidth(0), W - 1);
            continue;
        }
        QCOMPARE(pList->GetColumnCount(), int(weights.size()));
        const auto mulDiv = [](int a, int b, int c) { return int((qint64(a) * b + c / 2) / c); };
        const int nShown = std::accumulate(weights.begin() + 1, weights.end(), 0);
        const int cxName = std::clamp(mulDiv(W, weights[0], weights[0] + nShown), 60, 200);
        QCOMPARE(pList->GetColumnWidth(0), cxName);
        int nLast = int(weights.size()) - 1;
        while (weights[nLast] == 0)
            --nLast;
        int cxSum = cxName;
        for (int c = 1; c < weights.size(); ++c) {
            const int cxColumn = pList->GetColumnWidth(c);
            cxSum += cxColumn;
            if (weights[c] == 0)
                QCOMPARE(cxColumn, 0);
            else if (c != nLast)
                QCOMPARE(cxColumn, mulDiv(W - cxName, weights[c], nShown));
        }
        QCOMPARE(cxSum, W);
    }

    // The captions of the band: one line, or two with the compared databases
    // (fields) or the attribute's code and description (aliases).
    const QList<QStringList> captions = pForm->GetColumnCaptions();
    if (!bBand) {
        QVERIFY(captions.isEmpty());
    } else if (kind == QStringLiteral("fields")) {
        const QString strTitles[2] = {pForm->GetTitles().strLeft, pForm->GetTitles().strRight};
        QCOMPARE(captions, (QList<QStringList>{{QStringLiteral("Champ")},
                                               {QStringLiteral("Type SQL")},
                                               {QStringLiteral("Taille")},
                                               {QStringLiteral("Type retourné par le driver"), strTitles[0]},
                                               {QStringLiteral("Type retourné par le driver"), strTitles[1]}}));
    } else {
        QCOMPARE(captions.size(), 6);
        QCOMPARE(captions[0], QStringList{QStringLiteral("Alias")});
        QCOMPARE(captions[1], (QStringList{QStringLiteral("DTAT"), QStringLiteral("Type article DD")}));
        QCOMPARE(captions[2], (QStringList{QStringLiteral("DTAS"), QStringLiteral("Taille article")}));
    }
}

void TestCompareResults::accessibleNames_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("bSqlTypes");
    QTest::newRow("tables") << QStringLiteral("tables") << false;
    QTest::newRow("fields") << QStringLiteral("fields") << false;
    QTest::newRow("fields with SQL types") << QStringLiteral("fields") << true;
    QTest::newRow("aliases") << QStringLiteral("aliases") << false;
}

// What assistive technologies read of a result window: a name for every
// button, filter box and the search field, the list named after the
// window, and each row's name and status (which the eye reads from its
// colour); the columns of a banded list named by their captions.
void TestCompareResults::accessibleNames()
{
    QFETCH(QString, kind);
    QFETCH(bool, bSqlTypes);
    m_pApp->GetOptions().SetOption(OPT_COMPARE_SQL_TYPES, bSqlTypes);
    CFormCompare* pForm = OpenResultWindow(kind);
    QVERIFY(pForm);
    const QList<QAbstractButton*> arrButtons = pForm->findChildren<QAbstractButton*>();
    QVERIFY(arrButtons.size() >= 7);
    for (QWidget* pControl : pForm->findChildren<QWidget*>()) {
        if (!pControl->isVisible() || (qobject_cast<QAbstractButton*>(pControl) == nullptr
                                       && qobject_cast<QLineEdit*>(pControl) == nullptr
                                       && qobject_cast<QAbstractItemView*>(pControl) == nullptr))
            continue;
        QAccessibleInterface* pAccessible = QAccessible::queryAccessibleInterface(pControl);
        QVERIFY(pAccessible);
        QVERIFY2(!pAccessible->text(QAccessible::Name).trimmed().isEmpty(), pControl->metaObject()->className());
    }
    for (int s = 0; s < 4; ++s) {
        if (pForm->GetFilter(s)->isVisible())
            QCOMPARE(QAccessible::queryAccessibleInterface(pForm->GetFilter(s))->text(QAccessible::Name),
                     pForm->GetFilter(s)->text());
    }

    CCompareListCtrl* pList = pForm->GetList();
    QAccessibleInterface* pAccessibleList = QAccessible::queryAccessibleInterface(pList);
    QCOMPARE(pAccessibleList->text(QAccessible::Name), pForm->window()->windowTitle());
    QAccessibleTableInterface* pTable = pAccessibleList->tableInterface();
    QVERIFY(pTable);
    QCOMPARE(pTable->rowCount(), pList->GetItemCount());
    QVERIFY(pTable->rowCount() > 0);
    // One row per counted item.
    int nCounted = 0;
    for (int s = 0; s < 4; ++s)
        nCounted += pForm->GetCount(s);
    QCOMPARE(pTable->rowCount(), nCounted);
    const QString strTitles[2] = {pForm->GetTitles().strLeft, pForm->GetTitles().strRight};
    const QString strStatusWords[4] = {QStringLiteral("identique"), QStringLiteral("uniquement dans ") + strTitles[0],
                                       QStringLiteral("uniquement dans ") + strTitles[1], QStringLiteral("différent")};
    for (int nRow = 0; nRow < pTable->rowCount(); ++nRow) {
        QAccessibleInterface* pCell = pTable->cellAt(nRow, 0);
        QVERIFY(pCell);
        QCOMPARE(pCell->text(QAccessible::Name), pList->GetItemText(nRow, 0));
        QVERIFY(!pCell->text(QAccessible::Name).isEmpty());
        QCOMPARE(pCell->text(QAccessible::Description), strStatusWords[pList->GetItemStatus(nRow)]);
    }
    // The captions of a banded list name its columns.
    if (pForm->GetHeaderBandHeight() > 0) {
        QVERIFY(pTable->columnCount() > 1);
        for (int nColumn = 0; nColumn < pTable->columnCount(); ++nColumn) {
            QAccessibleInterface* pCell = pTable->cellAt(0, nColumn);
            QVERIFY(pCell);
            const QList<QAccessibleInterface*> arrHeaders = pCell->tableCellInterface()->columnHeaderCells();
            // Qt makes these anew for each call without registering them, so
            // nothing would delete them: registered here, then deleted.
            const auto freeHeaders = qScopeGuard([&] {
                for (QAccessibleInterface* pHeader : arrHeaders)
                    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(pHeader));
            });
            QCOMPARE(arrHeaders.size(), 1);
            QVERIFY2(!arrHeaders.first()->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(QString::number(nColumn)));
        }
    }
}

QTEST_MAIN(TestCompareResults)
#include "tst_compareresults.moc"
