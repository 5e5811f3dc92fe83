// Renders every dialog of the shell in French and in English into PNG files
// of the build folder, for review by eye.

#include "app/connectattempt.h"
#include "app/dlgmain.h"
#include "app/formattext.h"
#include "app/language.h"
#include "app/qalmetapp.h"
#include "app/schemalistctrl.h"
#include "controls/aboutdlg.h"
#include "controls/dlgdatasources.h"
#include "controls/guiprompt.h"
#include "res/dialogtemplates.h"
#include "res/resourceimages.h"
#include "res/stringids.h"
#include "tests/app/privatesettings.h"
#include "tests/fixtures/jdefixture.h"
#include "tools/dlgwait.h"

#include <QCoreApplication>
#include <QDir>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
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

private:
    void Save(QWidget& widget, const QString& strName);
    void SaveMessageBox(const QString& strText, const QString& strName);

    std::unique_ptr<PrivateSettings> m_pSettings;
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

QTEST_MAIN(TestGallery)
#include "tst_gallery.moc"
