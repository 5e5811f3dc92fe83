// The comparison progress dialog: the bar and the table name, a real run
// behind it, cancel, a worker that throws, and a run reused while its
// result file exists.

#include "app/language.h"
#include "app/qalmetapp.h"
#include "res/dialogtemplates.h"
#include "tests/app/privatesettings.h"
#include "tests/support/recorders.h"
#include "tests/support/testdatabase.h"
#include "tests/ui/modalwatcher.h"
#include "views/dlgwaitzembra.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <stdexcept>

namespace {

// A progress dialog whose work is the test's script, on the worker thread.
class ScriptedCompareWait : public CDlgWaitZembra
{
public:
    explicit ScriptedCompareWait(std::function<bool(ScriptedCompareWait&)> script)
        : CDlgWaitZembra(COMPARE_TABLES, true, nullptr), m_script(std::move(script))
    {
    }

    // What the bar showed when the work ended.
    bool m_bBarShown = false;
    int m_nBarValue = -1;
    int m_nBarMaximum = -1;

protected:
    bool RunTask() override
    {
        const bool bResult = m_script(*this);
        QMetaObject::invokeMethod(
            this,
            [this] {
                auto* pBar = dynamic_cast<QProgressBar*>(GetDlgItem(IDC_PROGRESS));
                m_bBarShown = !pBar->isHidden();
                m_nBarValue = pBar->value();
                m_nBarMaximum = pBar->maximum();
            },
            Qt::BlockingQueuedConnection);
        return bResult;
    }

private:
    std::function<bool(ScriptedCompareWait&)> m_script;
};

using Steps = QList<qintptr>;   // the lParam of each progress message in turn

// Both sides of the application on SQLite databases of the named tables,
// their table lists read as the comparison window reads them.
class TwoSides
{
public:
    TwoSides(const QStringList& arrLeft, const QStringList& arrRight)
    {
        const QStringList* pTables[2] = {&arrLeft, &arrRight};
        for (int nSide : {0, 1}) {
            m_pDatabases[nSide] = std::make_unique<kvtest::TestDatabase>(kvtest::Engine::SQLite);
            for (const QString& strTable : *pTables[nSide])
                m_pDatabases[nSide]->Exec(QStringLiteral("CREATE TABLE %1 (K INTEGER, NAME CHAR(10))").arg(strTable));
            CDBData* pDB = CQalmetApp::GetInstance()->GetDatabase(nSide);
            pDB->m_strDSN = m_pDatabases[nSide]->Dsn();
            if (!pDB->Connect())
                throw std::runtime_error("cannot connect");
            kvtest::ListRecorder list;
            if (!pDB->LoadTableList(list))
                throw std::runtime_error("cannot read the table list");
        }
    }

private:
    std::unique_ptr<kvtest::TestDatabase> m_pDatabases[2];
};

QStringList Tables(int nCount)
{
    QStringList names;
    for (int n = 0; n < nCount; ++n)
        names << QStringLiteral("F%1").arg(4000 + n);
    return names;
}

}  // namespace

class TestDlgWaitZembra : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void progress_data();
    void progress();
    void tableNameShown();
    void tableRunSucceedsAndIsReused();
    void emptyDatabasesNeverShowTheBar();
    void cancelLeavesNoResult();
    void throwingWorkerEndsTheDialogWithoutResult();

private:
    PrivateSettings m_settings;
    std::unique_ptr<QTemporaryDir> m_pTmp;
    std::unique_ptr<CQalmetApp> m_pApp;
};

void TestDlgWaitZembra::init()
{
    m_pTmp = std::make_unique<QTemporaryDir>();
    qputenv("TMP", QFile::encodeName(m_pTmp->path()));
    m_pApp = std::make_unique<CQalmetApp>();
    m_pApp->ReadLanguage(QLocale(QLocale::French, QLocale::France));
}

void TestDlgWaitZembra::cleanup()
{
    m_pApp.reset();
    qunsetenv("TMP");
    m_pTmp.reset();
}

void TestDlgWaitZembra::progress_data()
{
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("maximum");
    QTest::newRow("nothing") << Steps{} << false << 0 << 100;
    QTest::newRow("range 0 then steps") << Steps{0, 0, 0} << false << 0 << 100;
    QTest::newRow("range then steps") << Steps{4, 0, 0, 0} << true << 3 << 4;
    QTest::newRow("range only") << Steps{7} << true << 0 << 7;
    QTest::newRow("steps beyond the range") << Steps{2, 0, 0, 0, 0} << true << 2 << 2;
    QTest::newRow("a new range restarts") << Steps{3, 0, 0, 5, 0} << true << 1 << 5;
}

void TestDlgWaitZembra::progress()
{
    QFETCH(Steps, steps);
    QFETCH(bool, shown);
    QFETCH(int, value);
    QFETCH(int, maximum);
    ScriptedCompareWait dlg([&](ScriptedCompareWait& self) {
        for (qintptr nRange : steps)
            self.SendMessage(WM_COMPARE_PROGRESS, 0, nRange);
        return true;
    });
    QCOMPARE(dlg.DoModal(), int(IDOK));
    QCOMPARE(dlg.m_bBarShown, shown);
    QCOMPARE(dlg.m_nBarValue, value);
    QCOMPARE(dlg.m_nBarMaximum, maximum);
}

void TestDlgWaitZembra::tableNameShown()
{
    QString strSeen;
    ScriptedCompareWait dlg([&](ScriptedCompareWait& self) {
        const QString strName = QStringLiteral("F0101");
        self.SendMessage(WM_COMPARE_SETITEM, 0, reinterpret_cast<qintptr>(&strName));
        QMetaObject::invokeMethod(
            &self, [&] { strSeen = dynamic_cast<QLabel*>(self.GetDlgItem(IDC_WAIT_ITEM))->text(); },
            Qt::BlockingQueuedConnection);
        return true;
    });
    QCOMPARE(dlg.DoModal(), int(IDOK));
    QCOMPARE(strSeen, QStringLiteral("F0101"));
    QCOMPARE(dynamic_cast<QLabel*>(dlg.GetDlgItem(IDC_WAIT_TITLE))->text(), QStringLiteral("Comparaison en cours"));
}

void TestDlgWaitZembra::tableRunSucceedsAndIsReused()
{
    std::unique_ptr<TwoSides> pSides;
    QVERIFY_THROWS_NO_EXCEPTION(pSides = std::make_unique<TwoSides>(Tables(5), Tables(6)));
    ModalWatcher watcher;
    int nMaximum = -1;
    watcher.onWait = [&](CDlgWait& wait) {
        nMaximum = dynamic_cast<QProgressBar*>(wait.GetDlgItem(IDC_PROGRESS))->maximum();
    };
    QVERIFY(RunComparison(COMPARE_TABLES, nullptr));
    QVERIFY(watcher.m_bWaitShown);
    QVERIFY(m_pApp->GetResultFile(RESULT_FILE_TABLES) != nullptr);
    QCOMPARE(m_pApp->GetTableComparison().m_astrCompareTables.size(), 6);
    QVERIFY(watcher.m_arrBoxTexts.isEmpty());
    // While the result file exists, no dialog and no run.
    watcher.m_bWaitShown = false;
    const QString strPath = m_pApp->GetResultFile(RESULT_FILE_TABLES)->fileName();
    QVERIFY(RunComparison(COMPARE_TABLES, nullptr));
    QVERIFY(!watcher.m_bWaitShown);
    QCOMPARE(m_pApp->GetResultFile(RESULT_FILE_TABLES)->fileName(), strPath);
}

void TestDlgWaitZembra::emptyDatabasesNeverShowTheBar()
{
    std::unique_ptr<TwoSides> pSides;
    QVERIFY_THROWS_NO_EXCEPTION(pSides = std::make_unique<TwoSides>(QStringList(), QStringList()));
    ModalWatcher watcher;
    bool bBarShown = false;
    watcher.onWait = [&](CDlgWait& wait) { bBarShown |= !wait.GetDlgItem(IDC_PROGRESS)->isHidden(); };
    class Watched : public CDlgWaitZembra
    {
    public:
        using CDlgWaitZembra::CDlgWaitZembra;
        bool m_bShownAtEnd = false;

    protected:
        bool RunTask() override
        {
            const bool bResult = CDlgWaitZembra::RunTask();
            QMetaObject::invokeMethod(
                this, [this] { m_bShownAtEnd = !GetDlgItem(IDC_PROGRESS)->isHidden(); },
                Qt::BlockingQueuedConnection);
            return bResult;
        }
    } dlg(COMPARE_TABLES, true, nullptr);
    QVERIFY(RunComparison(dlg));
    QVERIFY(!dlg.m_bShownAtEnd);
    QVERIFY(!bBarShown);
    QVERIFY(m_pApp->GetResultFile(RESULT_FILE_TABLES) != nullptr);
    QCOMPARE(m_pApp->GetTableComparison().m_astrCompareTables.size(), 0);
}

void TestDlgWaitZembra::cancelLeavesNoResult()
{
    std::unique_ptr<TwoSides> pSides;
    QVERIFY_THROWS_NO_EXCEPTION(pSides = std::make_unique<TwoSides>(Tables(150), Tables(150)));
    ModalWatcher watcher;
    QString strLastTable;
    watcher.onWait = [&](CDlgWait& wait) {
        // Cancel once the run is under way.
        if (auto* pItem = dynamic_cast<QLabel*>(wait.GetDlgItem(IDC_WAIT_ITEM)); !pItem->text().isEmpty()) {
            QTest::mouseClick(wait.GetDlgItem(IDCANCEL), Qt::LeftButton);
            strLastTable = pItem->text();
        }
    };
    QVERIFY(!RunComparison(COMPARE_TABLES, nullptr));
    QVERIFY(watcher.m_bWaitShown);
    QVERIFY(!strLastTable.isEmpty());
    QVERIFY(strLastTable != Tables(150).last());
    QVERIFY(m_pApp->GetResultFile(RESULT_FILE_TABLES) == nullptr);
    QCOMPARE(QDir(m_pTmp->path()).entryList(QDir::Files), QStringList());
    // No message for a cancel.
    QVERIFY(watcher.m_arrBoxTexts.isEmpty());
}

void TestDlgWaitZembra::throwingWorkerEndsTheDialogWithoutResult()
{
    ModalWatcher watcher;
    ScriptedCompareWait dlg([this](ScriptedCompareWait&) -> bool {
        // A partial result, then the work breaks off.
        QFile* pFile = m_pApp->CreateResultFile(RESULT_FILE_TABLES);
        if (pFile != nullptr)
            pFile->write("partial");
        throw std::runtime_error("statement allocation failed");
    });
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!RunComparison(dlg));
    QVERIFY(clock.elapsed() < 5000);
    QVERIFY(m_pApp->GetResultFile(RESULT_FILE_TABLES) == nullptr);
    QCOMPARE(QDir(m_pTmp->path()).entryList(QDir::Files), QStringList());
    // The user hears why.
    QCOMPARE(watcher.m_arrBoxTexts.size(), 1);
    QVERIFY(watcher.m_arrBoxTexts.first().contains(QStringLiteral("statement allocation failed")));
}

QTEST_MAIN(TestDlgWaitZembra)
#include "tst_dlgwaitzembra.moc"
