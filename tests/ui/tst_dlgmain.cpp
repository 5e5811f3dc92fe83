// The main dialog and the start-up over a real JDE-shaped database.

#include "app/dlgmain.h"
#include "app/language.h"
#include "app/qalmetapp.h"
#include "app/schemalistctrl.h"
#include "app/startup.h"
#include "controls/dialogbuilder.h"
#include "controls/dlgdatasources.h"
#include "db/dbdata.h"
#include "res/dialogtemplates.h"
#include "res/resourceimages.h"
#include "tests/app/privatesettings.h"
#include "tests/fixtures/jdefixture.h"
#include "tools/dlgwait.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

// Usable: shown (within the dialog) and enabled.
bool Usable(const QWidget* pDialog, int nId)
{
    const QWidget* pControl = CDialogBuilder::FindControl(pDialog, nId);
    return pControl != nullptr && !pControl->isHidden() && pControl->isEnabled();
}

QListWidgetItem* ItemNamed(const QListWidget* pList, const QString& strName)
{
    for (int nRow = 0; nRow < pList->count(); ++nRow) {
        if (pList->item(nRow)->text().section(u'\t', 0, 0) == strName)
            return pList->item(nRow);
    }
    return nullptr;
}

// Drives the data-source dialog once it is the active modal window: picks
// the named data source on the user tab and clicks OK; notes whether the
// wait dialog came up afterwards.
void PickDataSourceWhenShown(const QString& strDsn, bool& bPicked, bool& bWaitShown)
{
    QTimer::singleShot(0, [&bPicked, &bWaitShown, strDsn] {
        auto* pDlg = qobject_cast<CDlgDataSources*>(QApplication::activeModalWidget());
        QVERIFY(pDlg != nullptr);
        QListWidgetItem* pItem = ItemNamed(pDlg->m_lbUser, strDsn);
        QVERIFY(pItem != nullptr);
        QTest::mouseClick(pDlg->m_lbUser->viewport(), Qt::LeftButton, {},
                          pDlg->m_lbUser->visualItemRect(pItem).center());
        bPicked = true;
        auto* pPoll = new QTimer(QCoreApplication::instance());   // freed at the latest with the application
        QObject::connect(pPoll, &QTimer::timeout, pPoll, [pPoll, &bWaitShown] {
            if (qobject_cast<CDlgWait*>(QApplication::activeModalWidget()) != nullptr) {
                bWaitShown = true;
                pPoll->deleteLater();
            }
        });
        pPoll->start(5);
        QTimer::singleShot(3000, pPoll, &QObject::deleteLater);
        QTest::mouseClick(pDlg->GetDlgItem(IDOK), Qt::LeftButton);
    });
}

}  // namespace

class TestDlgMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { m_pSettings->Reset(); }
    void firstStartOpensTheMainDialog();
    void connectShowsTheTickedSchemas();
    void failedConnectionShowsConnectButton();
    void layoutRules();
    void sizeAndMaximisedRestoredAtNextStart();

private:
    std::unique_ptr<PrivateSettings> m_pSettings;
};

void TestDlgMain::initTestCase()
{
    m_pSettings = std::make_unique<PrivateSettings>();
    CreateSharedImageList();
}

void TestDlgMain::firstStartOpensTheMainDialog()
{
    CQalmetApp app;
    bool bChecked = false;
    QTimer::singleShot(0, [&] {
        auto* pDlg = qobject_cast<CDlgMain*>(QApplication::activeModalWidget());
        QVERIFY(pDlg != nullptr);
        QCOMPARE(pDlg->GetTemplateId(), MapResourceId(DialogId::Main));
        QCOMPARE(pDlg->size(), QSize(812, 400));
        const QRect screen = pDlg->screen()->availableGeometry();
        // Centred up to the width of the window frame.
        const QPoint offset = pDlg->frameGeometry().center() - screen.center();
        QVERIFY2(qAbs(offset.x()) <= 3 && qAbs(offset.y()) <= 3, qPrintable(QStringLiteral("%1, %2").arg(offset.x()).arg(offset.y())));
        for (int nId : {IDC_DSN_CHOOSE, IDC_COMPARE, IDC_ABOUT, IDC_LOGO})
            QVERIFY2(Usable(pDlg, nId), qPrintable(QString::number(nId)));
        for (int nId : {IDC_DSN_ICON, IDC_DSN_NAME, IDC_CONNECT, IDC_SCHEMA_LIST, IDC_DECIMAL_UPDATE,
                        IDC_TABLE_STATS})
            QVERIFY2(!Usable(pDlg, nId), qPrintable(QString::number(nId)));
        // Enter does nothing; Escape ends the dialog and the application.
        QTest::keyClick(pDlg, Qt::Key_Return);
        QVERIFY(pDlg->isVisible());
        bChecked = true;
        QTest::keyClick(pDlg, Qt::Key_Escape);
    });
    QCOMPARE(RunKitvane(app), 2);
    QVERIFY(bChecked);
}

void TestDlgMain::connectShowsTheTickedSchemas()
{
    KV_JDE_BED(pBed, kvtest::Engine::PostgreSQL, kvtest::JdeOptions());
    CQalmetApp app;
    app.InitInstance();
    CDlgMain dlg;
    QVERIFY(dlg.Create());
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));

    bool bPicked = false;
    bool bWaitShown = false;
    PickDataSourceWhenShown(pBed->pDatabase->Dsn(), bPicked, bWaitShown);
    QTest::mouseClick(dlg.GetDlgItem(IDC_DSN_CHOOSE), Qt::LeftButton);
    QVERIFY(bPicked);
    QVERIFY(bWaitShown);

    CDBData* pDB = app.GetDatabase(DB_TOOLS);
    QCOMPARE(pDB->m_strDSN, pBed->pDatabase->Dsn());
    QVERIFY(!pDB->m_bSystemDSN);
    QVERIFY(pDB->IsConnected());
    QCOMPARE(qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_DSN_NAME))->text(), pBed->pDatabase->Dsn());
    QVERIFY(!dlg.m_wndDsnIcon->pixmap().isNull());
    QCOMPARE(dlg.m_wndDsnIcon->pixmap().toImage(), SharedImageList()[IMG_USER].toImage());
    for (int nId : {IDC_DSN_ICON, IDC_DSN_NAME, IDC_SCHEMA_LIST, IDC_DECIMAL_UPDATE, IDC_TABLE_STATS, IDC_COMPARE})
        QVERIFY2(Usable(&dlg, nId), qPrintable(QString::number(nId)));
    QVERIFY(dlg.GetDlgItem(IDC_CONNECT)->isHidden());

    // Every schema of the list, in key order, all ticked.
    CSchemaListCtrl* pList = dlg.m_wndSchemaList;
    QStringList arrKeys;
    pDB->GetSchemaKeys(arrKeys);
    QVERIFY(arrKeys.size() >= 2);
    QCOMPARE(pList->count(), int(arrKeys.size()));
    for (int nRow = 0; nRow < pList->count(); ++nRow) {
        QCOMPARE(pList->GetSchemaKey(nRow), arrKeys[nRow]);
        QCOMPARE(pList->GetItemText(nRow), pDB->GetSchemaDisplayName(arrKeys[nRow]));
        QVERIFY(pDB->IsSchemaSelected(arrKeys[nRow]));
    }

    // A click on a tick toggles that schema only, without selecting the row.
    QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, pList->TickRect(1).center());
    QVERIFY(!pDB->IsSchemaSelected(arrKeys[1]));
    for (int nRow = 0; nRow < pList->count(); ++nRow) {
        if (nRow != 1)
            QVERIFY(pDB->IsSchemaSelected(arrKeys[nRow]));
    }
    QVERIFY(pList->selectedItems().isEmpty());
    QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, pList->TickRect(1).center());
    QVERIFY(pDB->IsSchemaSelected(arrKeys[1]));

    // A click on the text selects the row without changing its tick.
    QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, pList->LabelRect(0).center());
    QCOMPARE(pList->selectedItems().size(), 1);
    QCOMPARE(pList->row(pList->selectedItems().first()), 0);
    QVERIFY(pDB->IsSchemaSelected(arrKeys[0]));

    // The rows are drawn with their tick images.
    const QImage picture = pList->viewport()->grab().toImage();
    const QPoint tick = pList->TickRect(0).topLeft();
    QCOMPARE(picture.copy(QRect(tick, QSize(16, 16))).convertToFormat(QImage::Format_ARGB32).pixel(8, 8) != 0, true);
    dlg.EndDialog(2);
    app.ExitInstance();
}

void TestDlgMain::failedConnectionShowsConnectButton()
{
    CQalmetApp app;
    app.InitInstance();
    // A data source whose server database does not exist.
    const kvtest::ServerAddress server = kvtest::ServerOf(kvtest::Engine::PostgreSQL);
    kvtest::OdbcEnvironment::Instance().AddDataSource(
        QStringLiteral("kv_main_missing"), QStringLiteral("PostgreSQL Unicode"),
        {{QStringLiteral("Servername"), server.strHost}, {QStringLiteral("Port"), QString::number(server.nPort)},
         {QStringLiteral("Database"), QStringLiteral("kv_no_such_database")},
         {QStringLiteral("Username"), QStringLiteral("kitvane")}});
    CDlgMain dlg;
    QVERIFY(dlg.Create());
    dlg.show();
    bool bPicked = false;
    bool bWaitShown = false;
    PickDataSourceWhenShown(QStringLiteral("kv_main_missing"), bPicked, bWaitShown);
    QTest::mouseClick(dlg.GetDlgItem(IDC_DSN_CHOOSE), Qt::LeftButton);
    QVERIFY(bPicked);
    QVERIFY(!bWaitShown);
    QVERIFY(!app.GetDatabase(DB_TOOLS)->IsConnected());
    QVERIFY(Usable(&dlg, IDC_CONNECT));
    QVERIFY(Usable(&dlg, IDC_DSN_NAME));
    QVERIFY(!Usable(&dlg, IDC_SCHEMA_LIST));
    QVERIFY(!Usable(&dlg, IDC_DECIMAL_UPDATE));
    QVERIFY(!Usable(&dlg, IDC_TABLE_STATS));
    QVERIFY(Usable(&dlg, IDC_COMPARE));
    dlg.EndDialog(2);
    kvtest::OdbcEnvironment::Instance().RemoveDataSource(QStringLiteral("kv_main_missing"));
}

void TestDlgMain::layoutRules()
{
    CQalmetApp app;
    CDlgMain dlg;
    QVERIFY(dlg.Create());
    dlg.show();
    dlg.resize(900, 500);
    const int cx = 900;
    const int cy = 500;
    int nTop = 9;
    for (int nId : {IDC_DECIMAL_UPDATE, IDC_TABLE_STATS, IDC_COMPARE}) {
        const QRect button = dlg.GetDlgItem(nId)->geometry();
        QCOMPARE(button.left(), cx - 346);
        QCOMPARE(button.width(), 337);
        QCOMPARE(button.top(), nTop);
        nTop = button.bottom() + 1 + 9;
    }
    QCOMPARE(dlg.m_nDividerX, cx - 358);
    const QRect help = dlg.GetDlgItem(IDC_ABOUT)->geometry();
    QCOMPARE(help.left(), dlg.m_nDividerX + 9);
    QCOMPARE(help.bottom() + 1, cy - 9);
    QCOMPARE(help.width(), help.height());
    QCOMPARE(dlg.BandTop(), help.top() - 9);
    const QRect logo = dlg.GetDlgItem(IDC_LOGO)->geometry();
    QCOMPARE(logo, QRect(cx - 209, cy - (cy - dlg.BandTop() - 45) / 2 - 45, 200, 45));
    QCOMPARE(dlg.GetDlgItem(IDC_DSN_CHOOSE)->pos(), QPoint(9, 9));
    const QRect list = dlg.GetDlgItem(IDC_SCHEMA_LIST)->geometry();
    QCOMPARE(list.right() + 1, dlg.m_nDividerX - 9);
    QCOMPARE(list.bottom() + 1, cy - 9);
    QCOMPARE(dlg.GetDlgItem(IDC_DSN_NAME)->geometry().right() + 1, dlg.m_nDividerX - 9);
    QCOMPARE(dlg.maximumSize(), QSize(1000, 625));
    QCOMPARE(dlg.minimumWidth(), 687);
    QCOMPARE(dlg.minimumHeight(),
             dlg.GetDlgItem(IDC_COMPARE)->geometry().bottom() + 1 + dlg.GetDlgItem(IDC_ABOUT)->height() + 27);
    // The band right of the divider is painted.
    const QImage picture = dlg.grab().toImage();
    QCOMPARE(QColor(picture.pixel(cx - 5, cy - 3)), QColor(205, 212, 218));
    QCOMPARE(QColor(picture.pixel(dlg.m_nDividerX, 3)), QColor(231, 75, 20));
    dlg.EndDialog(2);
}

void TestDlgMain::sizeAndMaximisedRestoredAtNextStart()
{
    CQalmetApp app;
    {
        CDlgMain dlg;
        QVERIFY(dlg.Create());
        dlg.show();
        dlg.resize(760, 450);
        dlg.EndDialog(2);
    }
    {
        CDlgMain dlg;
        QVERIFY(dlg.Create());
        QCOMPARE(dlg.size(), QSize(760, 450));
        QVERIFY(!(dlg.windowState() & Qt::WindowMaximized));
        dlg.show();
        dlg.showMaximized();
        QTRY_VERIFY(dlg.isMaximized());
        dlg.EndDialog(2);
    }
    bool bChecked = false;
    QTimer::singleShot(0, [&] {
        auto* pDlg = qobject_cast<CDlgMain*>(QApplication::activeModalWidget());
        QVERIFY(pDlg != nullptr);
        QVERIFY(pDlg->isMaximized());
        QCOMPARE(pDlg->normalGeometry().size(), QSize(760, 450));
        bChecked = true;
        pDlg->EndDialog(2);
    });
    RunKitvane(app);
    QVERIFY(bChecked);
}

QTEST_MAIN(TestDlgMain)
#include "tst_dlgmain.moc"
