// The main dialog and the start-up over a real JDE-shaped database.

#include "app/connectattempt.h"
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
#include "tests/ui/modalwatcher.h"
#include "tools/dlgwait.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <algorithm>

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

// A server on the loopback that accepts every connection and holds what
// the client sends, answering nothing. Released, it closes the connections,
// or relays each of them to the real server at nForwardPort.
class HoldingServer : public QObject
{
public:
    explicit HoldingServer(int nForwardPort = 0) : m_nForwardPort(nForwardPort)
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, &HoldingServer::Accept);
    }

    bool IsListening() const { return m_server.isListening(); }
    int Port() const { return m_server.serverPort(); }
    int AcceptedCount() const { return m_nAccepted; }

    void Release()
    {
        m_bReleased = true;
        for (QTcpSocket* pClient : std::as_const(m_arrHeld))
            Relay(pClient);
        m_arrHeld.clear();
    }

private:
    void Accept()
    {
        while (QTcpSocket* pClient = m_server.nextPendingConnection()) {
            ++m_nAccepted;
            pClient->setParent(this);
            if (m_bReleased)
                Relay(pClient);
            else
                m_arrHeld << pClient;
        }
    }

    void Relay(QTcpSocket* pClient)
    {
        if (m_nForwardPort == 0) {
            pClient->abort();
            return;
        }
        auto* pUpstream = new QTcpSocket(this);
        // Until the upstream connection is open, what the client sends waits in its socket.
        connect(pUpstream, &QTcpSocket::connected, pClient, [=] { pUpstream->write(pClient->readAll()); });
        connect(pClient, &QTcpSocket::readyRead, pUpstream, [=] {
            if (pUpstream->state() == QAbstractSocket::ConnectedState)
                pUpstream->write(pClient->readAll());
        });
        connect(pUpstream, &QTcpSocket::readyRead, pClient, [=] { pClient->write(pUpstream->readAll()); });
        connect(pClient, &QTcpSocket::disconnected, pUpstream, &QTcpSocket::disconnectFromHost);
        connect(pUpstream, &QTcpSocket::disconnected, pClient, &QTcpSocket::disconnectFromHost);
        pUpstream->connectToHost(QHostAddress::LocalHost, quint16(m_nForwardPort));
    }

    QTcpServer m_server;
    int m_nForwardPort;
    bool m_bReleased = false;
    int m_nAccepted = 0;
    QList<QTcpSocket*> m_arrHeld;
};

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* pWidget) { pWidget->installEventFilter(this); }
    int m_nPaints = 0;

protected:
    bool eventFilter(QObject*, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::Paint)
            ++m_nPaints;
        return false;
    }
};

// Attributes "key=value" of a data source, server placeholders filled in.
QMap<QString, QString> Attributes(const QStringList& arrPairs)
{
    QMap<QString, QString> attributes;
    for (const QString& strPair : arrPairs) {
        QString strValue = strPair.section(u'=', 1);
        for (kvtest::Engine engine : {kvtest::Engine::PostgreSQL, kvtest::Engine::MariaDB}) {
            const kvtest::ServerAddress server = kvtest::ServerOf(engine);
            const QString strName = kvtest::EngineName(engine).toUpper();
            strValue.replace(QStringLiteral("<%1_HOST>").arg(strName), server.strHost);
            strValue.replace(QStringLiteral("<%1_PORT>").arg(strName), QString::number(server.nPort));
        }
        attributes.insert(strPair.section(u'=', 0, 0), strValue);
    }
    return attributes;
}

// Connects the tools database to a data source and lists its schemas in
// the dialog, as a successful connection does, then shows the dialog.
void ShowConnected(CQalmetApp& app, CDlgMain& dlg, const QString& strDsn)
{
    CDBData* pDB = app.GetDatabase(DB_TOOLS);
    pDB->m_strDSN = strDsn;
    QVERIFY(pDB->Connect());
    pDB->LoadDatabaseInfo(nullptr);
    QVERIFY(dlg.Create());
    dlg.m_wndSchemaList->FillSchemas();
    dlg.UpdateControls();
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QVERIFY(dlg.m_wndSchemaList->count() >= 3);
}

// The ticks of every row of the list.
QList<bool> Ticks(const CSchemaListCtrl* pList)
{
    QList<bool> ticks;
    for (int nRow = 0; nRow < pList->count(); ++nRow)
        ticks << pList->m_pDB->IsSchemaSelected(pList->GetSchemaKey(nRow));
    return ticks;
}

// A point of the list's viewport in the coordinates of its top-level
// window, where events enter as they come from the window system.
QPoint InWindow(const CSchemaListCtrl* pList, const QPoint& point)
{
    return pList->viewport()->mapTo(pList->window(), point);
}

}  // namespace

class TestDlgMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void firstStartOpensTheMainDialog();
    void connectShowsTheTickedSchemas();
    void failedConnectionIsExplained_data();
    void failedConnectionIsExplained();
    void failureWhileReadingTheInformationIsReported();
    void connectionAttemptCanBeAbandoned_data();
    void connectionAttemptCanBeAbandoned();
    void doubleClickOnTickTogglesOnce_data();
    void doubleClickOnTickTogglesOnce();
    void spaceTogglesSelectedRow_data();
    void spaceTogglesSelectedRow();
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

void TestDlgMain::init()
{
    m_pSettings->Reset();
    // The user's language, as at start-up; a test may choose another.
    QString strCountry;
    const QString strLanguage = GetUserLanguage(strCountry);
    SetInterfaceLanguage(strLanguage, strCountry);
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

void TestDlgMain::failedConnectionIsExplained_data()
{
    QTest::addColumn<QString>("strLanguage");
    QTest::addColumn<QString>("strDriver");
    QTest::addColumn<QStringList>("arrAttributes");
    QTest::addColumn<QStringList>("arrShown");   // texts the message box holds; empty: no box at all

    const QStringList refusedLogin{QStringLiteral("Server=<MARIADB_HOST>"), QStringLiteral("Port=<MARIADB_PORT>"),
                                   QStringLiteral("User=kitvane"), QStringLiteral("Password=not-the-password")};
    QTest::newRow("refused MariaDB login, French")
        << "FRA" << "MariaDB Unicode" << refusedLogin
        << QStringList{QString::fromUtf8("Connexion à la source de données impossible. Le pilote ODBC a retourné "
                                         "l'erreur suivante :\n"),
                       "Access denied for user 'kitvane'", "SQLSTATE 28000"};
    QTest::newRow("refused MariaDB login, English")
        << "ENG" << "MariaDB Unicode" << refusedLogin
        << QStringList{"Unable to connect to the data source. The ODBC driver returned the following error:\n",
                       "Access denied for user 'kitvane'", "SQLSTATE 28000"};
    QTest::newRow("missing PostgreSQL database")
        << "ENG" << "PostgreSQL Unicode"
        << QStringList{"Servername=<POSTGRESQL_HOST>", "Port=<POSTGRESQL_PORT>", "Database=kv_no_such_database",
                       "Username=kitvane"}
        << QStringList{"Unable to connect to the data source.", "\"kv_no_such_database\" does not exist",
                       "\nSQLSTATE "};
    // The driver's own login dialog cancelled: the user knows why.
    QTest::newRow("driver login cancelled")
        << "FRA" << "Kitvane Fault" << QStringList{"CancelLogin=1"} << QStringList();
}

void TestDlgMain::failedConnectionIsExplained()
{
    QFETCH(QString, strLanguage);
    QFETCH(QString, strDriver);
    QFETCH(QStringList, arrAttributes);
    QFETCH(QStringList, arrShown);
    // A name of its own per row: the driver manager may keep reading a data
    // source rewritten within the same second as it was.
    static int nRow = 0;
    const QString strDsn = QStringLiteral("kv_main_failed_%1").arg(++nRow);
    kvtest::OdbcEnvironment::Instance().AddDataSource(strDsn, strDriver, Attributes(arrAttributes));
    CQalmetApp app;
    SetInterfaceLanguage(strLanguage, QString());
    CDlgMain dlg;
    QVERIFY(dlg.Create());
    dlg.show();
    ModalWatcher watcher;
    bool bPicked = false;
    bool bWaitShown = false;
    PickDataSourceWhenShown(strDsn, bPicked, bWaitShown);
    QTest::mouseClick(dlg.GetDlgItem(IDC_DSN_CHOOSE), Qt::LeftButton);
    QVERIFY(bPicked);
    if (arrShown.isEmpty()) {
        QVERIFY2(watcher.m_arrBoxTexts.isEmpty(), qPrintable(watcher.m_arrBoxTexts.join(u'|')));
    } else {
        QCOMPARE(watcher.m_arrBoxTexts.size(), 1);
        const QString strText = watcher.m_arrBoxTexts.first();
        QVERIFY2(strText.startsWith(arrShown.first()), qPrintable(strText));
        const bool bHoldsAll = std::all_of(arrShown.cbegin(), arrShown.cend(),
                                           [&](const QString& strPart) { return strText.contains(strPart); });
        QVERIFY2(bHoldsAll, qPrintable(strText));
    }
    // The attempt ran behind the wait dialog.
    QVERIFY(bWaitShown);
    QVERIFY(!app.GetDatabase(DB_TOOLS)->IsConnected());
    QVERIFY(Usable(&dlg, IDC_CONNECT));
    QVERIFY(Usable(&dlg, IDC_DSN_NAME));
    QVERIFY(!Usable(&dlg, IDC_SCHEMA_LIST));
    QVERIFY(!Usable(&dlg, IDC_DECIMAL_UPDATE));
    QVERIFY(!Usable(&dlg, IDC_TABLE_STATS));
    QVERIFY(Usable(&dlg, IDC_COMPARE));
    dlg.EndDialog(2);
    kvtest::OdbcEnvironment::Instance().RemoveDataSource(strDsn);
}

void TestDlgMain::failureWhileReadingTheInformationIsReported()
{
    // The driver connects, then refuses every statement: the information
    // load raises on the wait dialog's worker.
    const QString strDsn = QStringLiteral("kv_main_alloc");
    kvtest::OdbcEnvironment::Instance().AddDataSource(strDsn, QStringLiteral("Kitvane Fault"),
                                                      {{QStringLiteral("AllocStmtFails"), QStringLiteral("1")}});
    CQalmetApp app;
    SetInterfaceLanguage(QStringLiteral("FRA"), QString());
    CDlgMain dlg;
    QVERIFY(dlg.Create());
    dlg.show();
    CDBData* pDB = app.GetDatabase(DB_TOOLS);
    pDB->m_strDSN = strDsn;
    dlg.UpdateControls();
    ModalWatcher watcher;
    QTest::mouseClick(dlg.GetDlgItem(IDC_CONNECT), Qt::LeftButton);
    QVERIFY(watcher.m_bWaitShown);
    QCOMPARE(watcher.m_arrBoxTexts.size(), 1);
    const QString strText = watcher.m_arrBoxTexts.first();
    QVERIFY2(strText.startsWith(QString::fromUtf8("Erreur lors du traitement. La base a retourné l'erreur suivante :")),
             qPrintable(strText));
    QVERIFY2(strText.contains(QStringLiteral("No statement can be allocated")), qPrintable(strText));
    // A database whose information could not be read is left unconnected.
    QVERIFY(!pDB->IsConnected());
    QVERIFY(Usable(&dlg, IDC_CONNECT));
    QVERIFY(!Usable(&dlg, IDC_SCHEMA_LIST));
    QVERIFY(!Usable(&dlg, IDC_TABLE_STATS));
    dlg.EndDialog(2);
    kvtest::OdbcEnvironment::Instance().RemoveDataSource(strDsn);
}

void TestDlgMain::connectionAttemptCanBeAbandoned_data()
{
    QTest::addColumn<int>("nHow");              // 0 Cancel button, 1 Escape, 2 close request
    QTest::addColumn<bool>("bAnswersLater");    // the server answers once the user has given up
    QTest::newRow("Cancel button, server never answers") << 0 << false;
    QTest::newRow("Escape, server never answers") << 1 << false;
    QTest::newRow("close request, server never answers") << 2 << false;
    QTest::newRow("Cancel button, server answers later") << 0 << true;
}

void TestDlgMain::connectionAttemptCanBeAbandoned()
{
    QFETCH(int, nHow);
    QFETCH(bool, bAnswersLater);
    std::unique_ptr<kvtest::TestDatabase> pDatabase;
    try {
        pDatabase = std::make_unique<kvtest::TestDatabase>(kvtest::Engine::PostgreSQL);
    } catch (const std::exception& error) {
        QFAIL(error.what());
    }
    HoldingServer server(bAnswersLater ? kvtest::ServerOf(kvtest::Engine::PostgreSQL).nPort : 0);
    QVERIFY(server.IsListening());
    static int nRow = 0;
    const QString strDsn = QStringLiteral("kv_main_silent_%1").arg(++nRow);
    kvtest::OdbcEnvironment::Instance().AddDataSource(
        strDsn, QStringLiteral("PostgreSQL Unicode"),
        {{QStringLiteral("Servername"), QStringLiteral("127.0.0.1")},
         {QStringLiteral("Port"), QString::number(server.Port())},
         {QStringLiteral("Database"), pDatabase->Name()},
         {QStringLiteral("Username"), QStringLiteral("kitvane")}});
    const int nSessions = pDatabase->ServerSessionCount();

    CQalmetApp app;
    CDlgMain dlg;
    QVERIFY(dlg.Create());
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    CDBData* pDB = app.GetDatabase(DB_TOOLS);
    pDB->m_strDSN = strDsn;
    dlg.UpdateControls();
    PaintCounter paints(&dlg);

    ModalWatcher watcher;
    QElapsedTimer clock;
    clock.start();
    qint64 nShownAt = -1;
    qint64 nCancelAt = -1;
    int nPaintsBefore = 0;
    bool bRepainted = false;
    bool bCancelOffered = false;
    watcher.onWait = [&](CDlgWait& wait) {
        if (nShownAt < 0) {
            nShownAt = clock.elapsed();
            nPaintsBefore = paints.m_nPaints;
            dlg.update();
            return;
        }
        // The server holds the connection, and the main dialog still repaints.
        if (nCancelAt >= 0 || server.AcceptedCount() == 0 || clock.elapsed() - nShownAt < 300)
            return;
        bRepainted = paints.m_nPaints > nPaintsBefore;
        bCancelOffered = Usable(&wait, IDCANCEL);
        nCancelAt = clock.elapsed();
        if (nHow == 0)
            QTest::mouseClick(wait.GetDlgItem(IDCANCEL), Qt::LeftButton);
        else if (nHow == 1)
            QTest::keyClick(&wait, Qt::Key_Escape);
        else
            wait.close();
    };
    QTest::mouseClick(dlg.GetDlgItem(IDC_CONNECT), Qt::LeftButton);
    const qint64 nEndedAt = clock.elapsed();
    QVERIFY(nCancelAt >= 0);
    QVERIFY(bRepainted);
    QVERIFY(bCancelOffered);
    qInfo("wait dialog shown %lld ms after the click, ended %lld ms after the cancel", nShownAt,
          nEndedAt - nCancelAt);
    QVERIFY2(nEndedAt - nCancelAt <= 500, qPrintable(QString::number(nEndedAt - nCancelAt)));
    QVERIFY(!pDB->IsConnected());
    QVERIFY2(watcher.m_arrBoxTexts.isEmpty(), qPrintable(watcher.m_arrBoxTexts.join(u'|')));
    QVERIFY(Usable(&dlg, IDC_CONNECT));
    QVERIFY(!Usable(&dlg, IDC_SCHEMA_LIST));
    QVERIFY(!Usable(&dlg, IDC_TABLE_STATS));

    // The attempt goes on alone and ends when the server lets it: its
    // connection, if it gets one, is closed, and nothing else is touched.
    QCOMPARE(dlg.m_arrAbandonedAttempts.size(), size_t(1));
    const CConnectAttempt& attempt = *dlg.m_arrAbandonedAttempts.front();
    server.Release();
    QTRY_VERIFY_WITH_TIMEOUT(attempt.IsFinished(), 20000);
    QCOMPARE(attempt.Succeeded(), bAnswersLater);
    QVERIFY(!attempt.HasConnection());
    QTRY_COMPARE(pDatabase->ServerSessionCount(), nSessions);
    QVERIFY(!pDB->IsConnected());
    QVERIFY(watcher.m_arrBoxTexts.isEmpty());
    dlg.EndDialog(2);
    kvtest::OdbcEnvironment::Instance().RemoveDataSource(strDsn);
}

void TestDlgMain::doubleClickOnTickTogglesOnce_data()
{
    QTest::addColumn<int>("nPressedBefore");   // row whose text was clicked first, -1 none
    QTest::newRow("on the row pressed before") << 1;
    QTest::newRow("on another row than the one pressed before") << 0;
    QTest::newRow("no row pressed before") << -1;
}

void TestDlgMain::doubleClickOnTickTogglesOnce()
{
    QFETCH(int, nPressedBefore);
    KV_JDE_BED(pBed, kvtest::Engine::PostgreSQL, kvtest::JdeOptions());
    CQalmetApp app;
    CDlgMain dlg;
    ShowConnected(app, dlg, pBed->pDatabase->Dsn());
    CSchemaListCtrl* pList = dlg.m_wndSchemaList;
    QWindow* pWindow = dlg.windowHandle();
    if (nPressedBefore >= 0)
        QTest::mouseClick(pWindow, Qt::LeftButton, {}, InWindow(pList, pList->LabelRect(nPressedBefore).center()));
    const QList<bool> before = Ticks(pList);

    // Press, release, press, release through the window system: the second
    // press is a double click.
    QTest::mouseDClick(pWindow, Qt::LeftButton, {}, InWindow(pList, pList->TickRect(1).center()));
    QList<bool> expected = before;
    expected[1] = !expected[1];
    QCOMPARE(Ticks(pList), expected);

    // A second double click takes it back.
    QTest::mouseDClick(pWindow, Qt::LeftButton, {}, InWindow(pList, pList->TickRect(1).center()));
    QCOMPARE(Ticks(pList), before);
    dlg.EndDialog(2);
}

void TestDlgMain::spaceTogglesSelectedRow_data()
{
    QTest::addColumn<int>("nSelected");   // row selected by a click on its text, -1 none
    QTest::addColumn<int>("nKey");
    QTest::addColumn<int>("nToggled");    // row whose tick changes, -1 none
    QTest::newRow("space on a selected row") << 2 << int(Qt::Key_Space) << 2;
    QTest::newRow("space on the first row") << 0 << int(Qt::Key_Space) << 0;
    // Tabbing into the list makes its first row current.
    QTest::newRow("space after tabbing into the list") << -1 << int(Qt::Key_Space) << 0;
    QTest::newRow("another key") << 2 << int(Qt::Key_A) << -1;
}

void TestDlgMain::spaceTogglesSelectedRow()
{
    QFETCH(int, nSelected);
    QFETCH(int, nKey);
    QFETCH(int, nToggled);
    KV_JDE_BED(pBed, kvtest::Engine::PostgreSQL, kvtest::JdeOptions());
    CQalmetApp app;
    CDlgMain dlg;
    ShowConnected(app, dlg, pBed->pDatabase->Dsn());
    CSchemaListCtrl* pList = dlg.m_wndSchemaList;
    if (nSelected >= 0)
        QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, pList->LabelRect(nSelected).center());
    pList->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(pList->hasFocus());
    const QList<bool> before = Ticks(pList);

    QTest::keyClick(pList, Qt::Key(nKey));
    QList<bool> expected = before;
    if (nToggled >= 0)
        expected[nToggled] = !expected[nToggled];
    QCOMPARE(Ticks(pList), expected);
    // The row whose tick changed is the selected one, so the user sees it.
    if (nToggled >= 0) {
        QCOMPARE(pList->selectedItems().size(), 1);
        QCOMPARE(pList->row(pList->selectedItems().first()), nToggled);
    }

    QTest::keyClick(pList, Qt::Key(nKey));
    QCOMPARE(Ticks(pList), before);
    dlg.EndDialog(2);
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
