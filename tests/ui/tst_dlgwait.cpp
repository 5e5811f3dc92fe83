// The wait dialog: its worker thread, the messages, the poll and cancel.

#include "app/language.h"
#include "app/messagetarget.h"
#include "app/qalmetapp.h"
#include "controls/guiprompt.h"
#include "controls/windowfunctions.h"
#include "db/dbexception.h"
#include "res/dialogtemplates.h"
#include "tests/app/privatesettings.h"
#include "tests/app/recordingopener.h"
#include "tests/app/testfiles.h"
#include "tests/fixtures/jdefixture.h"
#include "tests/ui/modalwatcher.h"
#include "tools/dlgwait.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A wait dialog whose work is the test's script, run on the worker thread.
class ScriptedWait : public CDlgWait
{
public:
    ScriptedWait(int nType, bool bCanCancel, std::function<void(ScriptedWait&)> script)
        : CDlgWait(QString(), nType, bCanCancel, nullptr), m_script(std::move(script))
    {
    }

    std::atomic<bool> m_bRelease{false};
    std::atomic<bool> m_bTaskEnded{false};
    std::atomic<qint64> m_nTaskEndedAt{0};
    QElapsedTimer m_clock;

    void WaitForRelease()
    {
        for (int i = 0; i < 1000 && !m_bRelease; ++i)
            std::this_thread::sleep_for(5ms);
    }

protected:
    bool RunTask() override
    {
        m_script(*this);
        m_nTaskEndedAt = m_clock.elapsed();
        m_bTaskEnded = true;
        return true;
    }

private:
    std::function<void(ScriptedWait&)> m_script;
};

// Runs the dialog modally; a safety timer ends a dialog that would never end.
int RunModal(ScriptedWait& dlg, bool& bForced)
{
    bForced = false;
    dlg.m_clock.start();
    QTimer::singleShot(8000, &dlg, [&] {
        bForced = true;
        dlg.m_bRelease = true;
        dlg.EndDialog(-5);
    });
    return dlg.DoModal();
}

}  // namespace

class TestDlgWait : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetInterfaceLanguage(QStringLiteral("FRA"), QStringLiteral("France")); }

    void templateByType_data();
    void templateByType();
    void endsOnlyAfterTheThreadHasExited();
    void taskEndingBeforeTheFirstTick();
    void cancelPressedSeveralTimes();
    void keysOnNotCancellable_data();
    void keysOnNotCancellable();
    void closeAfterDoneStillEnds();
    void progressMessages();
    void workerMessageBoxOnInterfaceThread();
    void errorEscapingTheWorkIsItsFailure_data();
    void errorEscapingTheWorkIsItsFailure();
    void cancelStopsTheRunningStatement();
};

void TestDlgWait::templateByType_data()
{
    QTest::addColumn<int>("nType");
    QTest::addColumn<int>("nTemplate");
    QTest::addColumn<bool>("bHasCancel");
    QTest::newRow("database information") << 0 << 1003 << false;
    QTest::newRow("decimal update") << 1 << 1008 << true;
    QTest::newRow("statistics") << 2 << 1013 << true;
    QTest::newRow("other type") << 7 << 1003 << false;
}

void TestDlgWait::templateByType()
{
    QFETCH(int, nType);
    QFETCH(int, nTemplate);
    QFETCH(bool, bHasCancel);
    CDlgWait dlg(QString(), nType, false, nullptr);
    QCOMPARE(dlg.GetTemplateId(), nTemplate);
    CDlgWait decimal(QStringLiteral("/tmp/x.txt"), false, QStringLiteral("AEXP"), false, 3, nullptr);
    QCOMPARE(decimal.GetTemplateId(), 1008);
    QCOMPARE(decimal.m_nType, 1);
    QVERIFY(decimal.m_bCanCancel);
    QCOMPARE(decimal.m_nPower, 3);
    QVERIFY(!decimal.m_bByAlias);
    QVERIFY(!decimal.m_bMultiply);
    Q_UNUSED(bHasCancel);
}

void TestDlgWait::endsOnlyAfterTheThreadHasExited()
{
    // The worker reports its end, then goes on for a while before it returns.
    ScriptedWait dlg(WAIT_STATISTICS, true, [](ScriptedWait& self) {
        self.PostMessage(WM_TASK_DONE, 1, 0);
        std::this_thread::sleep_for(400ms);
    });
    bool bForced = false;
    const int nResult = RunModal(dlg, bForced);
    const qint64 nClosedAt = dlg.m_clock.elapsed();
    QVERIFY(!bForced);
    QCOMPARE(nResult, 1);
    QVERIFY(dlg.m_bTaskEnded);
    QVERIFY(nClosedAt >= dlg.m_nTaskEndedAt);
    QVERIFY(nClosedAt >= 400);
    QVERIFY(!dlg.IsWorkerRunning());
}

void TestDlgWait::taskEndingBeforeTheFirstTick()
{
    ScriptedWait dlg(WAIT_DATABASE_INFO, false, [](ScriptedWait&) {});
    bool bForced = false;
    const int nResult = RunModal(dlg, bForced);
    QVERIFY(!bForced);
    QCOMPARE(nResult, 1);
    QVERIFY(dlg.m_bSuccess);
    // Ended by the poll's first tick, not by the posted message itself.
    QVERIFY(dlg.m_clock.elapsed() >= 100);
    QVERIFY(!dlg.IsWorkerRunning());
}

void TestDlgWait::cancelPressedSeveralTimes()
{
    std::atomic<int> nFirstAnswer{-1};
    std::atomic<int> nSecondAnswer{-1};
    ScriptedWait dlg(WAIT_STATISTICS, true, [&](ScriptedWait& self) {
        self.WaitForRelease();
        nFirstAnswer = int(self.SendMessage(WM_TASK_QUERYCANCEL, 0, 0));
        nSecondAnswer = int(self.SendMessage(WM_TASK_QUERYCANCEL, 0, 0));
    });
    const int nBeeps = BeepCount();
    bool bStillOpen = false;
    QTimer::singleShot(150, &dlg, [&] {
        auto* pCancel = qobject_cast<QPushButton*>(dlg.GetDlgItem(IDCANCEL));
        QVERIFY(pCancel != nullptr);
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(pCancel, Qt::LeftButton);
        QTest::keyClick(&dlg, Qt::Key_Escape);
        bStillOpen = dlg.isVisible();
        dlg.m_bRelease = true;
    });
    bool bForced = false;
    const int nResult = RunModal(dlg, bForced);
    QVERIFY(!bForced);
    QVERIFY(bStillOpen);
    QVERIFY(dlg.m_bCancel);
    QCOMPARE(nFirstAnswer.load(), 1);
    QCOMPARE(nSecondAnswer.load(), 1);
    QCOMPARE(BeepCount(), nBeeps);
    // The worker always reports success; the cancel is in what it wrote.
    QCOMPARE(nResult, 1);
}

void TestDlgWait::keysOnNotCancellable_data()
{
    QTest::addColumn<int>("nKey");
    QTest::addColumn<int>("nBeeps");
    QTest::newRow("Escape beeps") << int(Qt::Key_Escape) << 1;
    QTest::newRow("Enter does nothing") << int(Qt::Key_Return) << 0;
}

void TestDlgWait::keysOnNotCancellable()
{
    QFETCH(int, nKey);
    QFETCH(int, nBeeps);
    std::atomic<int> nAnswer{-1};
    ScriptedWait dlg(WAIT_DATABASE_INFO, false, [&](ScriptedWait& self) {
        self.WaitForRelease();
        nAnswer = int(self.SendMessage(WM_TASK_QUERYCANCEL, 0, 0));
    });
    const int nBeepsBefore = BeepCount();
    bool bStillOpen = false;
    QTimer::singleShot(150, &dlg, [&] {
        QTest::keyClick(&dlg, Qt::Key(nKey));
        bStillOpen = dlg.isVisible();
        dlg.m_bRelease = true;
    });
    bool bForced = false;
    RunModal(dlg, bForced);
    QVERIFY(!bForced);
    QVERIFY(bStillOpen);
    QCOMPARE(BeepCount(), nBeepsBefore + nBeeps);
    QVERIFY(!dlg.m_bCancel);
    QCOMPARE(nAnswer.load(), 0);
}

void TestDlgWait::closeAfterDoneStillEnds()
{
    ScriptedWait dlg(WAIT_DATABASE_INFO, false, [](ScriptedWait& self) {
        self.PostMessage(WM_TASK_DONE, 1, 0);
        self.WaitForRelease();
    });
    bool bClosedWhilePolling = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &dlg, [&] {
        if (!dlg.IsPolling() || bClosedWhilePolling)
            return;
        bClosedWhilePolling = true;
        dlg.close();
        dlg.m_bRelease = true;
    });
    poll.start(10);
    bool bForced = false;
    const int nResult = RunModal(dlg, bForced);
    QVERIFY(bClosedWhilePolling);
    QVERIFY(!bForced);
    QCOMPARE(nResult, 1);
}

void TestDlgWait::progressMessages()
{
    const QString strTable = QStringLiteral("PRODDTA.F0101");
    ScriptedWait dlg(WAIT_DECIMAL_UPDATE, true, [&](ScriptedWait& self) {
        self.SendMessage(WM_TASK_SETRANGE, 0, 5);
        self.SendMessage(WM_TASK_SETITEM, 0, reinterpret_cast<qintptr>(&strTable));
        self.SendMessage(WM_TASK_STEP, 1, 1);
        self.SendMessage(WM_TASK_STEP, 1, 2);
        // Range 0 keeps the previous range; -1 steps without the counters.
        self.SendMessage(WM_TASK_SETRANGE, 0, 0);
        self.SendMessage(WM_TASK_STEP, -1, -1);
    });
    bool bForced = false;
    QVERIFY(dlg.Create());
    auto* pProgress = qobject_cast<QProgressBar*>(dlg.GetDlgItem(IDC_PROGRESS));
    auto* pCount = qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_WAIT_COUNT));
    QCOMPARE(dlg.m_strCountFormat, QStringLiteral("Tables à modifier : %d / %d"));
    RunModal(dlg, bForced);
    QVERIFY(!bForced);
    QVERIFY(!pProgress->isHidden());
    QCOMPARE(pProgress->maximum(), 5);
    QCOMPARE(pProgress->value(), 3);
    QCOMPARE(qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_WAIT_ITEM))->text(), strTable);
    QCOMPARE(pCount->text(), QStringLiteral("Tables à modifier : 1 / 2"));
}

void TestDlgWait::workerMessageBoxOnInterfaceThread()
{
    std::atomic<int> nAnswer{-1};
    ScriptedWait dlg(WAIT_STATISTICS, true, [&](ScriptedWait&) {
        CGuiPrompt prompt;
        nAnswer = prompt.ShowMessage(QStringLiteral("Remplacer ?"), CPrompt::YesNoCancel);
    });
    bool bShownOnInterfaceThread = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &dlg, [&] {
        auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (pBox == nullptr)
            return;
        bShownOnInterfaceThread = pBox->thread() == QThread::currentThread()
                                  && QThread::currentThread() == QCoreApplication::instance()->thread()
                                  && pBox->text() == QStringLiteral("Remplacer ?");
        QVERIFY(dlg.IsWorkerRunning());
        pBox->button(QMessageBox::Yes)->click();
    });
    poll.start(20);
    bool bForced = false;
    RunModal(dlg, bForced);
    QVERIFY(!bForced);
    QVERIFY(bShownOnInterfaceThread);
    QCOMPARE(nAnswer.load(), int(CPrompt::AnswerYes));
}

void TestDlgWait::errorEscapingTheWorkIsItsFailure_data()
{
    QTest::addColumn<int>("nType");
    QTest::addColumn<int>("nThrown");   // 0 database error, 1 standard exception, 2 anything else
    QTest::addColumn<QString>("strShown");
    QTest::newRow("database information, database error")
        << int(WAIT_DATABASE_INFO) << 0
        << QString::fromUtf8("Erreur lors du traitement. La base a retourné l'erreur suivante :\n"
                             "'No statement can be allocated'");
    QTest::newRow("decimal update, standard exception")
        << int(WAIT_DECIMAL_UPDATE) << 1
        << QString::fromUtf8("Le traitement s'est arrêté sur une erreur inattendue.\nstd::bad_alloc");
    QTest::newRow("statistics, anything else")
        << int(WAIT_STATISTICS) << 2 << QString::fromUtf8("Le traitement s'est arrêté sur une erreur inattendue.\n");
}

void TestDlgWait::errorEscapingTheWorkIsItsFailure()
{
    QFETCH(int, nType);
    QFETCH(int, nThrown);
    QFETCH(QString, strShown);
    ScriptedWait dlg(nType, nType != WAIT_DATABASE_INFO, [nThrown](ScriptedWait&) {
        if (nThrown == 0) {
            CDBException error(SQL_ERROR, SQL_NULL_HDBC, SQL_NULL_HSTMT);
            error.m_strError = QStringLiteral("No statement can be allocated");
            throw error;
        }
        if (nThrown == 1)
            throw std::bad_alloc();
        throw 42;
    });
    ModalWatcher watcher;
    bool bForced = false;
    const int nResult = RunModal(dlg, bForced);
    QVERIFY(!bForced);
    // Shown while the dialog waited, then the dialog ended as a failure.
    QCOMPARE(watcher.m_arrBoxTexts, QStringList{strShown});
    QCOMPARE(nResult, 2);
    QVERIFY(!dlg.m_bSuccess);
    QVERIFY(!dlg.m_bTaskEnded);
    QVERIFY(!dlg.IsWorkerRunning());
}

void TestDlgWait::cancelStopsTheRunningStatement()
{
    PrivateSettings settings;
    KV_JDE_BED(pBed, kvtest::Engine::PostgreSQL, kvtest::JdeOptions());
    CQalmetApp app;
    QStringList arrOpened;
    app.SetShellOpener(std::make_unique<RecordingOpener>(arrOpened));
    CDBData* pDB = app.GetDatabase(DB_TOOLS);
    pDB->m_strDSN = pBed->pDatabase->Dsn();
    QVERIFY(pDB->Connect());
    pDB->LoadDatabaseInfo(nullptr);
    // Statistics on the production schema only.
    QStringList arrKeys;
    pDB->GetSchemaKeys(arrKeys);
    for (const QString& strKey : std::as_const(arrKeys)) {
        if (strKey != pBed->pFixture->Key(kvtest::kProductionSchema))
            pDB->ToggleSchemaSelected(strKey);
    }
    // Another session locks a table: counting its rows waits for the lock.
    const QString strLocked = pBed->pFixture->Spelled(QStringLiteral("F0101"));
    pBed->pDatabase->Exec(QStringLiteral("BEGIN"));
    pBed->pDatabase->Exec(QStringLiteral("LOCK TABLE ") + pBed->pFixture->Place(kvtest::kProductionSchema).strQualifier
                          + strLocked + QStringLiteral(" IN ACCESS EXCLUSIVE MODE"));
    bool bLockHeld = true;
    const auto releaseLock = [&] {
        if (bLockHeld)
            pBed->pDatabase->Exec(QStringLiteral("ROLLBACK"));
        bLockHeld = false;
    };

    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("DEV.csv"));
    CDlgWait dlg(strPath, WAIT_STATISTICS, true, nullptr);
    ModalWatcher watcher;
    QElapsedTimer clock;
    clock.start();
    qint64 nWaitingSince = -1;
    qint64 nCancelAt = -1;
    watcher.onWait = [&](CDlgWait& wait) {
        const auto* pItem = qobject_cast<QLabel*>(wait.GetDlgItem(IDC_WAIT_ITEM));
        if (nCancelAt >= 0 || pItem == nullptr || pItem->text() != strLocked)
            return;
        if (nWaitingSince < 0)
            nWaitingSince = clock.elapsed();
        if (clock.elapsed() - nWaitingSince < 300)
            return;
        nCancelAt = clock.elapsed();
        QTest::mouseClick(wait.GetDlgItem(IDCANCEL), Qt::LeftButton);
    };
    // Without a stop inside the statement, the lock's end is the run's.
    QTimer::singleShot(8000, &dlg, releaseLock);
    dlg.DoModal();
    const qint64 nEndedAt = clock.elapsed();
    releaseLock();
    QVERIFY(nCancelAt >= 0);
    qInfo("run ended %lld ms after the cancel", nEndedAt - nCancelAt);
    QVERIFY2(nEndedAt - nCancelAt <= 1000, qPrintable(QString::number(nEndedAt - nCancelAt)));
    // The stopped statement is part of the cancel, not an error to report.
    QVERIFY2(watcher.m_arrBoxTexts.isEmpty(), qPrintable(watcher.m_arrBoxTexts.join(u'|')));
    const QByteArray bytes = ReadTestFile(strPath);
    QVERIFY(bytes.startsWith(QByteArray("\xFF\xFE", 2)));
    const QString strText = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                               (bytes.size() - 2) / 2);
    QVERIFY2(strText.endsWith(QString::fromUtf8("Le traitement a été interrompu par l'utilisateur\r\n")),
             qPrintable(strText));
}

QTEST_MAIN(TestDlgWait)
#include "tst_dlgwait.moc"
