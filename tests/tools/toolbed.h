#pragma once

// What the generator tests share: a JDE test bed whose tools database is the
// application object's, the scripted prompt and opener, a result path, the
// expected bytes of a result file, and a message target a test can act on.

#include "app/language.h"
#include "app/qalmetapp.h"
#include "tests/app/privatesettings.h"
#include "tests/app/recordingopener.h"
#include "tests/app/scriptedprompt.h"
#include "tests/app/testfiles.h"
#include "tests/fixtures/jdefixture.h"
#include "tests/support/buildpath.h"
#include "tests/support/recorders.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <functional>
#include <thread>

using kvtest::Engine;
Q_DECLARE_METATYPE(kvtest::Engine)

namespace tooltest {

inline void AddServerColumn()
{
    QTest::addColumn<Engine>("engine");
}

inline void AddServerRows()
{
    AddServerColumn();
    QTest::newRow("postgresql") << Engine::PostgreSQL;
    QTest::newRow("mariadb") << Engine::MariaDB;
}

inline const Engine kServers[] = {Engine::PostgreSQL, Engine::MariaDB};

// The schema key of SQLite's one schema, declared as the demo declares it.
inline const QString kSqliteMainKey = QStringLiteral(".main");

// A data row named after the engine and the case, the engine filled in.
inline QTestData& ServerRow(Engine engine, const char* pszCase)
{
    return QTest::addRow("%s %s", qPrintable(kvtest::EngineName(engine)), pszCase) << engine;
}

// One written statement for one column.
inline QString UpdateLine(const QString& strTable, const QString& strColumn, const QString& strOperand)
{
    return QStringLiteral("UPDATE %1 SET %2=%2%3").arg(strTable, strColumn, strOperand);
}

inline void UseLanguage(bool bFrench)
{
    SetInterfaceLanguage(bFrench ? QStringLiteral("FRA") : QStringLiteral("ENU"), QString());
}

// A result file as it must be: byte-order mark, UTF-16 LE, CR LF after each line.
inline QByteArray ResultBytes(const QStringList& lines)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (const QString& strLine : lines) {
        for (const QChar c : strLine + QStringLiteral("\r\n")) {
            bytes.append(char(c.unicode() & 0xFF));
            bytes.append(char(c.unicode() >> 8));
        }
    }
    return bytes;
}

inline QByteArray GoldenFile(const QString& strName)
{
    return ReadTestFile(kvtest::BuildPath(KITVANE_TOOLS_GOLDEN) + QStringLiteral("/") + strName);
}

// Records every message and calls the test's hook first; the hook's answer
// to WM_TASK_QUERYCANCEL (non-zero: cancel) wins over the recorder's.
class ActingTarget : public kvtest::MessageRecorder
{
public:
    qintptr SendMessage(unsigned nMessage, qintptr wParam, qintptr lParam) override
    {
        const qintptr nAnswer = kvtest::MessageRecorder::SendMessage(nMessage, wParam, lParam);
        if (nMessage == WM_TASK_SETITEM)
            items.append(*reinterpret_cast<const QString*>(lParam));
        return onMessage ? onMessage(nMessage, wParam, lParam) : nAnswer;
    }

    int Steps() const { return Count(WM_TASK_STEP); }

    std::function<qintptr(unsigned, qintptr, qintptr)> onMessage;
    QStringList items;   // names received with WM_TASK_SETITEM
};

// A JDE environment whose data source is the tools database of an
// application object, with its schema list loaded.
struct ToolBed
{
    ToolBed(Engine engine, const kvtest::JdeOptions& options = {}) : bed(engine, options)
    {
        auto pOpener = std::make_unique<RecordingOpener>(started);
        pOpener->m_strCommand = QStringLiteral("open %1");
        app.SetShellOpener(std::move(pOpener));
        Tools().m_strDSN = bed.pDatabase->Dsn();
        if (!Tools().Connect())
            throw std::runtime_error("cannot connect the tools database");
        m_bOlderLibrarian = options.bOlderObjectLibrarian;
        m_bDictionary = options.dictionary != kvtest::Dictionary::None;
        Reload();
        strPath = dir.filePath(QStringLiteral("result.txt"));
    }

    // The schema list, as LoadDatabaseInfo builds it, but with the system
    // tables of this environment: a MariaDB server shows every test's
    // databases, and the first F98611, F9860 or F9210 found would otherwise
    // be another test's.
    void Reload()
    {
        CDBData& tools = Tools();
        tools.ScanCatalog();
        const kvtest::TestDatabase::Schema& system = Fixture().Place(kvtest::kSystemSchema);
        const kvtest::TestDatabase::Schema& dictionary = Fixture().Place(kvtest::kDictionarySchema);
        tools.m_strF98611Catalog = system.strCatalog;
        tools.m_strF98611Owner = system.strOwner;
        tools.m_strOLCatalog = system.strCatalog;
        tools.m_strOLOwner = system.strOwner;
        tools.m_strOLTable = Fixture().Spelled(m_bOlderLibrarian ? QStringLiteral("F9801") : QStringLiteral("F9860"));
        tools.m_strDDCatalog = m_bDictionary ? dictionary.strCatalog : QString();
        tools.m_strDDOwner = m_bDictionary ? dictionary.strOwner : QString();
        tools.m_strDDTable = m_bDictionary ? Fixture().Spelled(QStringLiteral("F9210")) : QString();
        tools.LoadJdeOwners();
        tools.BuildSchemaList();
    }

    CDBData& Tools() { return *app.GetDatabase(DB_TOOLS); }
    const kvtest::JdeFixture& Fixture() const { return *bed.pFixture; }
    kvtest::TestDatabase& Database() { return *bed.pDatabase; }

    // Only these schemas of the description stay ticked.
    void SelectOnly(const QStringList& schemas)
    {
        QStringList keys;
        for (const QString& strSchema : schemas)
            keys.append(Fixture().Key(strSchema));
        for (auto it = Tools().m_mapSelected.begin(); it != Tools().m_mapSelected.end(); ++it)
            it.value() = keys.contains(it.key());
    }

    // catalog.owner.table as the catalog spells them, for plain names.
    QString Qualified(const QString& strSchema, const QString& strTable) const
    {
        const kvtest::TestDatabase::Schema& place = Fixture().Place(strSchema);
        QString strName;
        if (!place.strCatalog.isEmpty())
            strName += place.strCatalog + QLatin1Char('.');
        if (!place.strOwner.isEmpty())
            strName += place.strOwner + QLatin1Char('.');
        return strName + Fixture().Spelled(strTable);
    }

    // A table of the test's own, registered in the object librarian.
    void AddRegisteredTable(const QString& strSchema, const QString& strCreateName, const QString& strColumns,
                            const QStringList& rows, const QString& strRegisteredName)
    {
        const QString strTable = Fixture().Place(strSchema).strQualifier + strCreateName;
        Database().Exec(QStringLiteral("CREATE TABLE ") + strTable + QStringLiteral(" (") + strColumns
                        + QLatin1Char(')'));
        for (const QString& strRow : rows)
            Database().Exec(QStringLiteral("INSERT INTO ") + strTable + QStringLiteral(" VALUES (") + strRow
                            + QLatin1Char(')'));
        Register(strRegisteredName);
    }

    void Register(const QString& strTable)
    {
        Database().Exec(QStringLiteral("INSERT INTO ") + Fixture().Place(kvtest::kSystemSchema).strQualifier
                        + QStringLiteral("F9860 VALUES (") + kvtest::Quoted(strTable) + QStringLiteral(", 'TBLE')"));
    }

    // SQLite's one schema as the demo declares it: a database owner "main"
    // (SQLite's own name for it) in F98611, the only schema ticked.
    void SelectSqliteMain()
    {
        Database().Exec(QStringLiteral("INSERT INTO F98611 (OMDATP, OMDATB2, OMOOWN, OMOCM1) "
                                       "VALUES ('Business Data - MAIN', '', 'main', 'DB')"));
        Reload();
        for (auto it = Tools().m_mapSelected.begin(); it != Tools().m_mapSelected.end(); ++it)
            it.value() = it.key() == kSqliteMainKey;
    }

    // The server ends the sessions of the data source's login, the tools
    // connection among them, as a dropped link or a DBA would; returns once
    // they are gone.
    void EndOtherSessions() { Database().EndReadOnlySessions(); }

    // PostgreSQL reads each row of the table only after a pause of
    // nSeconds (a row policy its owner cannot bypass).
    void MakeSlow(const QString& strSchema, const QString& strTable, int nSeconds)
    {
        const QString strName = Fixture().Place(strSchema).strQualifier + strTable;
        Database().Exec(QStringLiteral("ALTER TABLE ") + strName + QStringLiteral(" ENABLE ROW LEVEL SECURITY"));
        Database().Exec(QStringLiteral("ALTER TABLE ") + strName + QStringLiteral(" FORCE ROW LEVEL SECURITY"));
        Database().Exec(QStringLiteral("CREATE POLICY slow ON ") + strName
                        + QStringLiteral(" USING ((SELECT true FROM pg_sleep(%1)))").arg(nSeconds));
    }

    // The identifier quote of the engine (the fixture's names are plain).
    QString Quote() const { return bed.pDatabase->GetEngine() == Engine::MariaDB ? QStringLiteral("`") : QStringLiteral("\""); }

    PrivateSettings settings;
    kvtest::JdeTestBed bed;
    CQalmetApp app;
    QStringList started;
    ScriptedPrompt prompt;
    QTemporaryDir dir;
    QString strPath;

private:
    bool m_bOlderLibrarian = false;
    bool m_bDictionary = true;
};

// An application object whose tools database is a data source of the fault
// driver on which no statement can be allocated.
struct NoStatementBed
{
    NoStatementBed()
    {
        app.SetShellOpener(std::make_unique<RecordingOpener>(started));
        kvtest::OdbcEnvironment::Instance().AddDataSource(
            QStringLiteral("kv_tools_noalloc"), QStringLiteral("Kitvane Fault"),
            {{QStringLiteral("AllocStmtFails"), QStringLiteral("1")}});
        Tools().m_strDSN = QStringLiteral("kv_tools_noalloc");
        strPath = dir.filePath(QStringLiteral("result.txt"));
    }

    CDBData& Tools() { return *app.GetDatabase(DB_TOOLS); }

    // The run showed the database error box, with a text from the driver,
    // and left no file to open.
    void CheckDatabaseErrorShown() const
    {
        QCOMPARE(prompt.m_arrTexts.size(), 1);
        const QString strStart = QStringLiteral("Error when processing. Database returns the following error :\n'");
        QVERIFY2(prompt.m_arrTexts.first().startsWith(strStart)
                     && prompt.m_arrTexts.first().size() > strStart.size() + 1,
                 qPrintable(prompt.m_arrTexts.first()));
        QVERIFY(!QFileInfo::exists(strPath));
        QVERIFY(started.isEmpty());
    }

    PrivateSettings settings;
    CQalmetApp app;
    QStringList started;
    ScriptedPrompt prompt;
    QTemporaryDir dir;
    QString strPath;
};

// The interface's cancel from its own thread: the answer to the cancel
// question first, then the statement that is running stopped.
class CancelFromOtherThread
{
public:
    explicit CancelFromOtherThread(CDBData& data) : m_data(data) {}
    ~CancelFromOtherThread()
    {
        if (m_thread.joinable())
            m_thread.join();
    }

    void StartAfter(int nMs)
    {
        m_thread = std::thread([this, nMs] {
            std::this_thread::sleep_for(std::chrono::milliseconds(nMs));
            m_bCancelled = true;
            m_nCancelledAt = std::chrono::steady_clock::now().time_since_epoch().count();
            m_data.CancelRunningStatement();
        });
    }

    bool IsCancelled() const { return m_bCancelled; }
    // Milliseconds from the cancel until now.
    qint64 SinceCancel() const
    {
        const auto since = std::chrono::steady_clock::now().time_since_epoch()
                           - std::chrono::steady_clock::duration(m_nCancelledAt.load());
        return std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    }

private:
    CDBData& m_data;
    std::thread m_thread;
    std::atomic<bool> m_bCancelled{false};
    std::atomic<std::chrono::steady_clock::rep> m_nCancelledAt{0};
};

}  // namespace tooltest

#define KV_TOOL_BED(var, ...)                                                  \
    std::unique_ptr<tooltest::ToolBed> var;                                    \
    try {                                                                      \
        var = std::make_unique<tooltest::ToolBed>(__VA_ARGS__);                \
    } catch (const std::exception& error) {                                    \
        QFAIL(error.what());                                                   \
    }
