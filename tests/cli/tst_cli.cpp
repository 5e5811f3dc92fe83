// kitvane-cli as a user runs it: the real executable in a child process,
// on the private odbc.ini of the test bed, against JDE environments on the
// three engines. Exports and result files compare byte for byte with
// golden files in which the titles and database names, which differ from
// run to run, stand as LEFT, RIGHT and DB.

#include "compare/compareexport.h"
#include "compare/compareresultfile.h"
#include "compare/exportfile.h"
#include "compare/tablecomparison.h"
#include "compare/zembraparam.h"
#include "app/language.h"
#include "res/stringids.h"
#include "tests/fixtures/jdefixture.h"
#include "tests/support/buildpath.h"
#include "tests/support/recorders.h"
#include "version.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <iterator>
#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

using kvtest::Engine;
using kvtest::JdeOptions;
using kvtest::JdeTestBed;
Q_DECLARE_METATYPE(kvtest::Engine)

namespace {

struct CliRun
{
    int nStatus = -1;
    QString strOut;
    QString strErr;
};

// Variables set for one run; a null value removes the variable.
using EnvironmentChanges = QList<QPair<QString, QString>>;

QProcessEnvironment ChildEnvironment(const EnvironmentChanges& changes = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString strFolder = kvtest::OdbcEnvironment::Instance().Folder();
    environment.insert(QStringLiteral("ODBCSYSINI"), strFolder);
    environment.insert(QStringLiteral("ODBCINI"), strFolder + QStringLiteral("/odbc-user.ini"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_US.UTF-8"));
    for (const auto& [strName, strValue] : changes) {
        if (strValue.isNull())
            environment.remove(strName);
        else
            environment.insert(strName, strValue);
    }
    return environment;
}

void Start(QProcess& process, const QStringList& arrArgs, const EnvironmentChanges& changes = {})
{
    process.setProcessEnvironment(ChildEnvironment(changes));
    process.start(kvtest::BuildPath(KITVANE_CLI), arrArgs);
}

CliRun Finish(QProcess& process)
{
    CliRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.nStatus = process.exitCode();
    run.strOut = QString::fromUtf8(process.readAllStandardOutput());
    run.strErr = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Whether the process has the file open (its descriptors in /proc).
bool HasFileOpen(qint64 nPid, const QString& strPath)
{
    const QString strCanonical = QFileInfo(strPath).canonicalFilePath();
    const QFileInfoList arrDescriptors = QDir(QStringLiteral("/proc/%1/fd").arg(nPid))
                                             .entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    return std::any_of(arrDescriptors.begin(), arrDescriptors.end(),
                       [&](const QFileInfo& descriptor) { return descriptor.symLinkTarget() == strCanonical; });
}

CliRun RunCli(const QStringList& arrArgs, const EnvironmentChanges& changes = {})
{
    QProcess process;
    Start(process, arrArgs, changes);
    return Finish(process);
}

QByteArray ReadFile(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing file>");
}

bool WriteFile(const QString& strPath, const QByteArray& bytes)
{
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray Golden(const QString& strPath)
{
    return ReadFile(strPath);
}

// With KITVANE_WRITE_GOLDEN set the golden file is written and the test
// fails, so that nobody mistakes a rewrite for a pass.
void CompareWithGolden(const QByteArray& bytes, const QString& strName)
{
    const QString strPath = kvtest::BuildPath(KITVANE_CLI_GOLDEN) + QStringLiteral("/") + strName;
    if (qEnvironmentVariableIsSet("KITVANE_WRITE_GOLDEN")) {
        QVERIFY(WriteFile(strPath, bytes));
        QFAIL(qPrintable(QStringLiteral("golden file written: ") + strPath));
    }
    QCOMPARE(bytes, Golden(strPath));
}

QString Lower(Engine engine)
{
    return kvtest::EngineName(engine).toLower();
}

// The schema text the comparison window shows for a schema of the fixture.
QString SchemaText(const kvtest::JdeFixture& fixture, const QString& strSchema)
{
    const kvtest::TestDatabase::Schema& place = fixture.Place(strSchema);
    if (place.strCatalog.isEmpty())
        return place.strOwner;
    if (place.strOwner.isEmpty())
        return place.strCatalog;
    return place.strCatalog + u'.' + place.strOwner;
}

QString Title(JdeTestBed& bed, const QString& strSchema)
{
    const QString strText = SchemaText(*bed.pFixture, strSchema);
    return bed.pDatabase->Dsn() + (strText.isEmpty() ? QString() : QStringLiteral(" (") + strText + u')');
}

QString NormalizedText(QString strText, const QList<QPair<QString, QString>>& replacements)
{
    for (const auto& [strFrom, strTo] : replacements)
        strText.replace(strFrom, strTo);
    return strText;
}

// An export (one byte per character) with names replaced.
QByteArray Normalized(const QByteArray& bytes, const QList<QPair<QString, QString>>& replacements)
{
    return NormalizedText(QString::fromLatin1(bytes), replacements).toLatin1();
}

// A UTF-16 LE result file with names replaced.
QByteArray NormalizedUtf16(const QByteArray& bytes, const QList<QPair<QString, QString>>& replacements)
{
    const QString strText = NormalizedText(
        QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2), replacements);
    return QByteArray(reinterpret_cast<const char*>(strText.utf16()), strText.size() * 2);
}

// The right environment differs from the left one: a table less, a table
// more, a field more, and dictionary items changed, removed and added.
void MakeRightDifferent(JdeTestBed& right)
{
    const QString strData = right.pFixture->Place(kvtest::kProductionSchema).strQualifier;
    const QString strDictionary = right.pFixture->Place(kvtest::kDictionarySchema).strQualifier;
    kvtest::TestDatabase& database = *right.pDatabase;
    database.Exec(QStringLiteral("DROP TABLE ") + strData + QStringLiteral("F0911"));
    database.Exec(QStringLiteral("CREATE TABLE ") + strData + QStringLiteral("F55NEW (XXKEY INTEGER)"));
    database.Exec(QStringLiteral("ALTER TABLE ") + strData + QStringLiteral("F0101 ADD ABTAXC CHAR(1)"));
    database.Exec(QStringLiteral("UPDATE ") + strDictionary + QStringLiteral("F9210 SET FRDTAS=17 WHERE FRDTAI='AA'"));
    database.Exec(QStringLiteral("DELETE FROM ") + strDictionary + QStringLiteral("F9210 WHERE FRDTAI='MCU'"));
    database.Exec(QStringLiteral("INSERT INTO ") + strDictionary
                  + QStringLiteral("F9210 VALUES ('TAXC', 'S', 1, '2', 0, '', 'TAX')"));
}

// Two environments of one engine, the right one made different.
struct CliBed
{
    explicit CliBed(Engine engine) : left(engine, JdeOptions()), right(engine, JdeOptions())
    {
        MakeRightDifferent(right);
    }

    QStringList Sides(const QString& strLeftSchema, const QString& strRightSchema)
    {
        return {QStringLiteral("--left"), left.pDatabase->Dsn(), QStringLiteral("--left-schema"),
                left.pFixture->Key(strLeftSchema), QStringLiteral("--right"), right.pDatabase->Dsn(),
                QStringLiteral("--right-schema"), right.pFixture->Key(strRightSchema)};
    }

    QList<QPair<QString, QString>> Titles(const QString& strSchema)
    {
        return {{Title(left, strSchema), QStringLiteral("LEFT")}, {Title(right, strSchema), QStringLiteral("RIGHT")}};
    }

    // A comparison command on one schema of both sides with its export;
    // its output and export with the titles as LEFT and RIGHT.
    struct Result
    {
        CliRun run;
        QString strOut;
        QByteArray export_;
        QByteArray rawExport;
    };
    Result Compare(const QString& strCommand, const QString& strSchema, const QStringList& arrArgs)
    {
        QTemporaryDir dir;
        const QString strPath = dir.filePath(QStringLiteral("export.csv"));
        Result result;
        result.run = RunCli(QStringList{strCommand} + Sides(strSchema, strSchema) + arrArgs
                            + QStringList{QStringLiteral("--export"), strPath});
        result.strOut = NormalizedText(result.run.strOut, Titles(strSchema));
        result.rawExport = ReadFile(strPath);
        result.export_ = Normalized(result.rawExport, Titles(strSchema));
        return result;
    }

    JdeTestBed left;
    JdeTestBed right;
};

#define KV_CLI_BED(var, engine)                                        \
    std::unique_ptr<CliBed> var;                                       \
    try {                                                              \
        var = std::make_unique<CliBed>(engine);                        \
    } catch (const std::exception& error) {                            \
        QFAIL(error.what());                                           \
    }

void AddEngineRows()
{
    QTest::addColumn<Engine>("engine");
    QTest::newRow("sqlite") << Engine::SQLite;
    QTest::newRow("postgresql") << Engine::PostgreSQL;
    QTest::newRow("mariadb") << Engine::MariaDB;
}

// The text of a UTF-16 LE result file (after its byte-order mark).
QString Utf16Text(const QByteArray& bytes)
{
    if (!bytes.startsWith("\xFF\xFE"))
        return QString();
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
}

struct TerminalRun
{
    int nStatus = -1;
    QByteArray screen;   // everything the terminal received
};

// Runs kitvane-cli on a pseudo-terminal, as from an interactive shell, and
// types strInput once strAwaited has appeared on the screen.
TerminalRun RunOnTerminal(const QStringList& arrArgs, const QByteArray& strAwaited, const QByteArray& strInput)
{
    // Everything the child needs is built before the fork: between fork and
    // exec a multi-threaded process may only make async-signal-safe calls.
    QList<QByteArray> argStore{QFile::encodeName(kvtest::BuildPath(KITVANE_CLI))};
    for (const QString& strArg : arrArgs)
        argStore.append(strArg.toLocal8Bit());
    QList<QByteArray> envStore;
    for (const QString& strVariable : ChildEnvironment().toStringList())
        envStore.append(strVariable.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& arg : argStore)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (QByteArray& variable : envStore)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    TerminalRun run;
    int nTerminal = -1;
    const pid_t pid = forkpty(&nTerminal, nullptr, nullptr, nullptr);
    if (pid < 0)
        return run;
    if (pid == 0) {
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    QElapsedTimer timer;
    timer.start();
    bool bTyped = strAwaited.isEmpty();
    for (;;) {
        if (!bTyped && run.screen.contains(strAwaited)) {
            bTyped = write(nTerminal, strInput.constData(), size_t(strInput.size())) == strInput.size();
        }
        pollfd terminal{nTerminal, POLLIN, 0};
        if (poll(&terminal, 1, 100) > 0) {
            char buffer[4096];
            const ssize_t nRead = read(nTerminal, buffer, sizeof buffer);
            if (nRead <= 0)
                break;   // the child has closed the terminal
            run.screen.append(buffer, int(nRead));
        }
        if (timer.elapsed() > 120000) {
            kill(pid, SIGKILL);
            break;
        }
    }
    close(nTerminal);
    int nWaitStatus = 0;
    if (waitpid(pid, &nWaitStatus, 0) == pid && WIFEXITED(nWaitStatus))
        run.nStatus = WEXITSTATUS(nWaitStatus);
    return run;
}

// A run that ended early: its status, nothing on stdout, one line on
// stderr holding every fragment, besides the notice of a data source
// without a read-only session (the fault driver names no engine).
void VerifyOneLineError(const CliRun& run, int nStatus, const QStringList& fragments = {})
{
    QVERIFY2(run.nStatus == nStatus, qPrintable(QStringLiteral("status %1: %2").arg(run.nStatus).arg(run.strErr)));
    QVERIFY2(run.strOut.isEmpty(), qPrintable(run.strOut));
    QStringList arrLines = run.strErr.split(u'\n');
    arrLines.removeIf([](const QString& strLine) { return strLine.startsWith(QLatin1String("kitvane-cli: notice: ")); });
    const QString strError = arrLines.join(u'\n');
    QVERIFY2(strError.startsWith(QLatin1String("kitvane-cli: ")), qPrintable(run.strErr));
    QCOMPARE(strError.count(u'\n'), 1);
    for (const QString& strFragment : fragments)
        QVERIFY2(strError.contains(strFragment), qPrintable(strFragment + QStringLiteral(" not in: ") + run.strErr));
}

void VerifyUsageError(const CliRun& run)
{
    VerifyOneLineError(run, 2);
}

// A run that succeeded with every fragment on stdout, or ended early with
// them in its one line.
void VerifyOutcome(const CliRun& run, int nStatus, const QStringList& fragments)
{
    if (nStatus != 0) {
        VerifyOneLineError(run, nStatus, fragments);
        return;
    }
    QVERIFY2(run.nStatus == 0, qPrintable(run.strErr));
    for (const QString& strFragment : fragments)
        QVERIFY2(run.strOut.contains(strFragment), qPrintable(strFragment + QStringLiteral(" not in: ") + run.strOut));
}

// Arguments with a placeholder replaced.
QStringList Substituted(QStringList arrArgs, const QString& strPlaceholder, const QString& strValue)
{
    for (QString& strArg : arrArgs)
        strArg.replace(strPlaceholder, strValue);
    return arrArgs;
}

// A data source of the fault driver whose every statement allocation fails.
QString AllocationFailingDsn()
{
    const QString strName = QStringLiteral("kv_cli_alloc_fails");
    kvtest::OdbcEnvironment::Instance().AddDataSource(strName, QStringLiteral("Kitvane Fault"),
                                                      {{QStringLiteral("AllocStmtFails"), QStringLiteral("1")}});
    return strName;
}

// The entries of a folder, hidden ones included.
QStringList FolderEntries(const QString& strFolder)
{
    return QDir(strFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// A TCP socket listening on a free port of the loopback address: the
// system completes each connection, and nobody ever answers on it.
class SilentListener
{
public:
    SilentListener()
    {
        m_nSocket = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t nLength = sizeof address;
        if (m_nSocket < 0 || bind(m_nSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || listen(m_nSocket, 4) != 0
            || getsockname(m_nSocket, reinterpret_cast<sockaddr*>(&address), &nLength) != 0)
            return;
        m_nPort = ntohs(address.sin_port);
    }
    ~SilentListener()
    {
        if (m_nConnection >= 0)
            close(m_nConnection);
        if (m_nSocket >= 0)
            close(m_nSocket);
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    int Port() const { return m_nPort; }   // 0 when it could not listen

    // Waits for a client, takes its connection and keeps it silent.
    bool WaitForClient(int nTimeoutMs)
    {
        pollfd listening{m_nSocket, POLLIN, 0};
        if (poll(&listening, 1, nTimeoutMs) <= 0)
            return false;
        m_nConnection = accept(m_nSocket, nullptr, nullptr);
        return m_nConnection >= 0;
    }

private:
    int m_nSocket = -1;
    int m_nConnection = -1;
    int m_nPort = 0;
};

// A local port on which nothing listens (it was free a moment ago).
int FreePort()
{
    return SilentListener().Port();
}

// The lines of an export after its status legend (four lines and three
// empty ones), each cut to its first nFields fields.
QStringList ExportLines(const QByteArray& bytes, int nFields)
{
    QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    if (lines.size() < 8 || !lines.last().isEmpty())
        return {QStringLiteral("<not an export: ") + QString::fromLatin1(bytes) + u'>'};
    lines = lines.mid(7, lines.size() - 8);
    for (QString& strLine : lines)
        strLine = strLine.section(u';', 0, nFields - 1);
    return lines;
}

// DEMO_DEV and DEMO_PROD, registered by kitvane-cli demo in the test's user
// odbc.ini for the life of the object.
struct DemoSources
{
    DemoSources() : saved(ReadFile(Ini()))
    {
        const CliRun run = RunCli({"demo", "--dir", dir.path()});
        if (run.nStatus != 0) {
            WriteFile(Ini(), saved);
            throw std::runtime_error(("kitvane-cli demo failed: " + run.strErr).toStdString());
        }
    }
    ~DemoSources() { WriteFile(Ini(), saved); }
    DemoSources(const DemoSources&) = delete;
    DemoSources& operator=(const DemoSources&) = delete;

    static QString Ini() { return kvtest::OdbcEnvironment::Instance().Folder() + QStringLiteral("/odbc-user.ini"); }

    QTemporaryDir dir;
    QByteArray saved;
};

// The JSON summary's keys, in status order.
const char* const kSummaryKeys[] = {"same", "left_only", "right_only", "different"};

// The items of an export per status, in the file's order: its tables (not
// the fields of different tables) for compare-tables, its fields for
// compare-fields, its aliases (after the two heading lines) for compare-dd.
QList<QStringList> ExportItems(const QByteArray& bytes, const QString& strCommand)
{
    QStringList arrLines = ExportLines(bytes, 100);
    if (strCommand == QLatin1String("compare-dd"))
        arrLines = arrLines.mid(2);
    static const QStringList symbols = {"=", ">", "<", "<>"};
    QList<QStringList> items(4);
    for (const QString& strLine : arrLines) {
        const int nStatus = int(symbols.indexOf(strLine.section(u';', 0, 0)));
        if (strLine.startsWith(QLatin1String(";;")))
            continue;
        if (nStatus < 0)
            return {{QStringLiteral("<unexpected export line: ") + strLine + u'>'}};
        items[nStatus].append(strLine.section(u';', 1, 1));
    }
    return items;
}

// Standard output of a --summary json run: exactly one JSON object on one
// line, with both members holding the four statuses; a null object otherwise.
QJsonObject ParseSummary(const QString& strOut)
{
    if (!strOut.endsWith(u'\n') || strOut.count(u'\n') != 1)
        return {};
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(strOut.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return {};
    const QJsonObject object = document.object();
    if (object.keys() != QStringList{"counts", "items"})
        return {};
    for (const char* pszMember : {"counts", "items"}) {
        QStringList arrKeys = object.value(QLatin1String(pszMember)).toObject().keys();
        QStringList arrExpected(std::begin(kSummaryKeys), std::end(kSummaryKeys));
        arrKeys.sort();
        arrExpected.sort();
        if (arrKeys != arrExpected)
            return {};
    }
    return object;
}

// The words the completion function offers for a command line, the last
// word being completed; sorted.
QStringList Completions(const QString& strScript, const QStringList& arrWords)
{
    QStringList arrQuoted;
    for (QString strWord : arrWords)
        arrQuoted.append(u'\'' + strWord.replace(u'\'', QStringLiteral("'\\''")) + u'\'');
    const QString strCommand = QStringLiteral("source '%1' || exit 9\n"
                                              "COMP_WORDS=(%2)\n"
                                              "COMP_CWORD=%3\n"
                                              "_kitvane_cli || exit 8\n"
                                              "printf '%s\\n' \"${COMPREPLY[@]}\"\n")
                                   .arg(strScript, arrQuoted.join(u' '))
                                   .arg(arrWords.size() - 1);
    QProcess bash;
    bash.setProcessEnvironment(ChildEnvironment());
    bash.start(QStringLiteral("bash"), {QStringLiteral("--norc"), QStringLiteral("-c"), strCommand});
    if (!bash.waitForFinished(60000) || bash.exitStatus() != QProcess::NormalExit || bash.exitCode() != 0)
        return {QStringLiteral("<bash failed: ") + QString::fromUtf8(bash.readAllStandardError()) + u'>'};
    QStringList arrReplies = QString::fromUtf8(bash.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    arrReplies.sort();
    return arrReplies;
}

// The command names of the general help, between "commands:" and the next empty line.
QStringList HelpCommands(const QString& strHelp)
{
    QStringList arrCommands;
    bool bInList = false;
    for (const QString& strLine : strHelp.split(u'\n')) {
        if (strLine == QLatin1String("commands:"))
            bInList = true;
        else if (bInList && strLine.trimmed().isEmpty())
            break;
        else if (bInList)
            arrCommands.append(strLine.simplified().section(u' ', 0, 0));
    }
    return arrCommands;
}

// The "--name" of every option a command's help lists.
QStringList HelpOptions(const QString& strHelp)
{
    QStringList arrOptions;
    for (const QString& strLine : strHelp.split(u'\n')) {
        if (strLine.startsWith(QLatin1String("  --")))
            arrOptions.append(strLine.simplified().section(u' ', 0, 0));
    }
    return arrOptions;
}

}  // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanupTestCase();
    void usageErrors_data();
    void usageErrors();
    void engineWithoutReadOnlySession_data();
    void engineWithoutReadOnlySession();
    void help_data();
    void help();
    void schemaChoice_data();
    void schemaChoice();
    void dataSources();
    void schemas_data();
    void schemas();
    void tables_data();
    void tables();
    void structure_data();
    void structure();
    void compareTables_data();
    void compareTables();
    void comparisonExports_data();
    void comparisonExports();
    void decimalUpdate_data();
    void decimalUpdate();
    void nothingToUpdate();
    void tableStatistics_data();
    void tableStatistics();
    void injectionChangesNothing_data();
    void injectionChangesNothing();
    void replaceRefused();
    void replaceOnTerminal_data();
    void replaceOnTerminal();
    void interrupted();
    void toolInterrupted_data();
    void toolInterrupted();
    void owtpWithoutColumn_data();
    void owtpWithoutColumn();
    void demo();
    void databaseErrorEndsCommand_data();
    void databaseErrorEndsCommand();
    void connectionFailureReason_data();
    void connectionFailureReason();
    void outputPathCheckedFirst_data();
    void outputPathCheckedFirst();
    void fieldTableSpelling_data();
    void fieldTableSpelling();
    void structureTableSpelling_data();
    void structureTableSpelling();
    void schemaSpelling_data();
    void schemaSpelling();
    void unnamedSchemaSpellings_data();
    void unnamedSchemaSpellings();
    void interruptedWhileConnecting_data();
    void interruptedWhileConnecting();
    void interruptedStatement();
    void demoBesideItsRegistration();
    void exportOptions_data();
    void exportOptions();
    void version_data();
    void version();
    void generalOptionsBeforeCommand_data();
    void generalOptionsBeforeCommand();
    void jsonSummary_data();
    void jsonSummary();
    void failOnDifferences_data();
    void failOnDifferences();
    void manPage();
    void bashCompletion_data();
    void bashCompletion();

private:
    // A fixture built by the first row of a test function and shared by its
    // other rows, which only read it; dropped when another function starts.
    template <class Fixture>
    Fixture& RowsFixture();

    QByteArray m_rowsFixtureOwner;
    std::shared_ptr<void> m_pRowsFixture;
};

template <class Fixture>
Fixture& TestCli::RowsFixture()
{
    if (!m_pRowsFixture || m_rowsFixtureOwner != QTest::currentTestFunction()) {
        m_pRowsFixture.reset();
        m_pRowsFixture = std::make_shared<Fixture>();
        m_rowsFixtureOwner = QTest::currentTestFunction();
    }
    return *static_cast<Fixture*>(m_pRowsFixture.get());
}

// The shared fixture of a test function's rows, failing the row with the
// reason when it cannot be built.
#define KV_ROWS_FIXTURE(var, Fixture)                                   \
    Fixture* var = nullptr;                                             \
    try {                                                               \
        var = &RowsFixture<Fixture>();                                  \
    } catch (const std::exception& error) {                             \
        QFAIL(error.what());                                            \
    }

void TestCli::init()
{
    if (m_rowsFixtureOwner != QTest::currentTestFunction())
        m_pRowsFixture.reset();
}

void TestCli::cleanupTestCase()
{
    m_pRowsFixture.reset();
}

void TestCli::engineWithoutReadOnlySession_data()
{
    QTest::addColumn<QString>("dbmsName");
    QTest::addColumn<bool>("notice");
    QTest::newRow("Oracle") << "Oracle" << true;
    QTest::newRow("SQL Server") << "Microsoft SQL Server" << true;
    QTest::newRow("DB2 for i") << "DB2/400 SQL" << true;
    QTest::newRow("unnamed") << "" << true;
    QTest::newRow("PostgreSQL") << "PostgreSQL" << false;
    QTest::newRow("MariaDB") << "MariaDB" << false;
    QTest::newRow("SQLite") << "SQLite" << false;
}

void TestCli::engineWithoutReadOnlySession()
{
    QFETCH(QString, dbmsName);
    QFETCH(bool, notice);
    const QString strDsn = QStringLiteral("kv_cli_engine_%1").arg(QTest::currentDataTag()).replace(u' ', u'_');
    kvtest::OdbcEnvironment::Instance().AddDataSource(strDsn, QStringLiteral("Kitvane Fault"),
                                                      {{QStringLiteral("DbmsName"), dbmsName}});
    // Whatever the fault driver makes of the listing, the connection was made.
    const CliRun run = RunCli({"tables", "--dsn", strDsn});
    QVERIFY2(!run.strErr.contains(QLatin1String("cannot connect")), qPrintable(run.strErr));
    const QStringList arrNotices = run.strErr.split(u'\n').filter(QStringLiteral("kitvane-cli: notice: "));
    QCOMPARE(arrNotices.size(), notice ? 1 : 0);
    if (notice) {
        const QString strNotice = arrNotices.first();
        QVERIFY2(strNotice.contains(QStringLiteral("'%1'").arg(strDsn)), qPrintable(strNotice));
        QVERIFY2(strNotice.contains(QLatin1String("only SELECT and catalog rights")), qPrintable(strNotice));
        if (!dbmsName.isEmpty())
            QVERIFY2(strNotice.contains(dbmsName), qPrintable(strNotice));
    }
}

void TestCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("text");
    QTest::newRow("no command") << QStringList{} << "no command";
    QTest::newRow("unknown command") << QStringList{"compare"} << "unknown command 'compare'";
    QTest::newRow("unknown option") << QStringList{"dsns", "--all"} << "unknown option --all";
    QTest::newRow("missing value") << QStringList{"tables", "--dsn"} << "--dsn needs a value";
    QTest::newRow("missing --dsn") << QStringList{"tables"} << "missing --dsn";
    QTest::newRow("missing --right") << QStringList{"compare-tables", "--left", "NOWHERE"} << "missing --right";
    QTest::newRow("missing --left") << QStringList{"compare-dd", "--right", "NOWHERE"} << "missing --left";
    QTest::newRow("positional argument") << QStringList{"tables", "DEV"} << "unexpected argument 'DEV'";
    QTest::newRow("language") << QStringList{"dsns", "--lang", "de"} << "--lang takes fr or en";
    const QStringList decimal = {"decimal-update", "--dsn", "NOWHERE", "--multiply", "--output", "x.txt"};
    QTest::newRow("alias and class") << decimal + QStringList{"--alias", "AA", "--class", "AMOUNT", "--power", "2"}
                                     << "either --alias or --class";
    QTest::newRow("neither alias nor class") << decimal + QStringList{"--power", "2"} << "either --alias or --class";
    QTest::newRow("power 0") << decimal + QStringList{"--alias", "AA", "--power", "0"} << "--power takes 1 to 9";
    QTest::newRow("power 10") << decimal + QStringList{"--alias", "AA", "--power", "10"} << "--power takes 1 to 9";
    QTest::newRow("multiply and divide") << decimal + QStringList{"--alias", "AA", "--divide", "--power", "2"}
                                         << "either --multiply or --divide";
    QTest::newRow("date mode") << QStringList{"table-stats", "--dsn", "X", "--output", "x", "--date", "upmx"}
                               << "--date takes upmj, none or field:EXPR";
    // A refused date expression is refused before any connection: the data
    // source named does not even exist.
    const QStringList stats = {"table-stats", "--dsn", "NOWHERE", "--output", "x", "--lang", "en", "--date"};
    QTest::newRow("date expression with ';'") << stats + QStringList{"field:UPMJ; DELETE FROM F0101"}
                                              << "must not contain a semicolon";
    QTest::newRow("date expression closing MAX(")
        << stats + QStringList{"field:1)) FROM F0101 UNION SELECT (MAX(1"} << "must not close a parenthesis";
    QTest::newRow("date expression with a comment") << stats + QStringList{"field:1) INTO OUTFILE '/tmp/x' #"}
                                                    << "must not close a parenthesis";
    QTest::newRow("date expression opening more") << stats + QStringList{"field:COALESCE(UPMJ"}
                                                  << "must close every parenthesis";
    QTest::newRow("date expression quote") << stats + QStringList{"field:'\\' OR 1=1"} << "must close every quote";
    QTest::newRow("date expression comment") << stats + QStringList{"field:UPMJ /* x */"}
                                             << "must not contain a comment";
    QTest::newRow("status word") << QStringList{"compare-tables", "--left", "A", "--right", "B", "--export-tables",
                                                "same,odd"}
                                 << "unknown word 'odd'";
    QTest::newRow("no attribute") << QStringList{"compare-dd", "--left", "A", "--right", "B", "--attributes", ""}
                                  << "name at least one attribute";
    // Only the general options may come before the command.
    QTest::newRow("command option before the command") << QStringList{"--dsn", "NOWHERE", "tables"}
                                                       << "--dsn before the command: only --lang, --version and --help";
    QTest::newRow("flag before the command")
        << QStringList{"--fail-on-differences", "compare-tables", "--left", "A", "--right", "B"}
        << "--fail-on-differences before the command";
    QTest::newRow("unknown option before the command") << QStringList{"--all", "dsns"} << "--all before the command";
    QTest::newRow("language before and after") << QStringList{"--lang", "fr", "dsns", "--lang", "en"}
                                               << "dsns: --lang given twice";
    QTest::newRow("language without its value") << QStringList{"--lang"} << "--lang needs a value";
    QTest::newRow("general option without a command") << QStringList{"--lang", "fr"} << "no command given";
    QTest::newRow("wrong language before the command") << QStringList{"--lang", "de", "dsns"}
                                                       << "--lang takes fr or en";
    // A summary the program cannot write is refused before any connection.
    for (const char* pszCommand : {"compare-tables", "compare-fields", "compare-dd"}) {
        QStringList command = {pszCommand, "--left", "NOWHERE", "--right", "NOWHERE"};
        if (command.first() == QLatin1String("compare-fields"))
            command += QStringList{"--table", "F0101"};
        for (const char* pszValue : {"xml", "JSON", ""}) {
            QTest::addRow("summary '%s' of %s", pszValue, pszCommand)
                << command + QStringList{"--summary", pszValue}
                << QStringLiteral("--summary takes json, not '%1'").arg(QLatin1String(pszValue));
        }
    }
    QTest::newRow("summary of a command without it") << QStringList{"tables", "--dsn", "NOWHERE", "--summary", "json"}
                                                     << "tables: unknown option --summary";
}

void TestCli::usageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, text);
    const CliRun run = RunCli(args);
    VerifyUsageError(run);
    QVERIFY2(run.strErr.contains(text), qPrintable(run.strErr));
}

void TestCli::help_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("general") << QStringList{"--help"}
                             << QStringList{"dsns", "schemas", "tables", "structure", "compare-tables",
                                            "compare-fields", "compare-dd", "decimal-update", "table-stats", "demo"};
    QTest::newRow("compare-tables") << QStringList{"compare-tables", "--help"}
                                    << QStringList{"--left DSN", "--right-schema S", "--case-sensitive",
                                                   "--export-tables LIST", "--lang fr|en"};
    QTest::newRow("decimal-update") << QStringList{"decimal-update", "--help"}
                                    << QStringList{"--alias A", "--class C", "--power N", "--yes"};
}

void TestCli::help()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, expected);
    const CliRun run = RunCli(args);
    QCOMPARE(run.nStatus, 0);
    for (const QString& strText : expected)
        QVERIFY2(run.strOut.contains(strText), qPrintable(strText));
}

void TestCli::schemaChoice_data()
{
    AddEngineRows();
}

void TestCli::schemaChoice()
{
    QFETCH(Engine, engine);
    KV_JDE_BED(bed, engine, JdeOptions());
    const QString strDsn = bed->pDatabase->Dsn();
    const CliRun unknown = RunCli({"tables", "--dsn", strDsn, "--schema", "nosuchschema"});
    VerifyUsageError(unknown);
    QVERIFY2(unknown.strErr.contains(QLatin1String("unknown schema 'nosuchschema'")), qPrintable(unknown.strErr));
    // A schema named by the text the comparison window shows.
    const QString strText = SchemaText(*bed->pFixture, kvtest::kProductionSchema);
    const CliRun shown = RunCli({"tables", "--dsn", strDsn, "--schema", strText.isEmpty() ? QStringLiteral(".") : strText});
    QCOMPARE(shown.nStatus, 0);
    QVERIFY(shown.strOut.contains(QStringLiteral("view\t") + bed->pFixture->Spelled(QStringLiteral("V0101"))));
    if (engine == Engine::SQLite) {
        // Its one schema needs no choice; the JDE owners name it several
        // ways, so "." does not tell the tools which of them is meant.
        QTemporaryDir dir;
        const CliRun tool = RunCli({"table-stats", "--dsn", strDsn, "--schema", ".", "--output",
                                    dir.filePath(QStringLiteral("stats.txt"))});
        VerifyOneLineError(tool, 2, {"named several ways", kvtest::kProductionSchema, kvtest::kCrpSchema});
        return;
    }
    const CliRun several = RunCli({"tables", "--dsn", strDsn});
    VerifyUsageError(several);
    QVERIFY2(several.strErr.contains(QLatin1String("several schemas")) && several.strErr.contains(strText),
             qPrintable(several.strErr));
}

void TestCli::dataSources()
{
    KV_JDE_BED(bed, Engine::SQLite, JdeOptions());
    kvtest::OdbcEnvironment::Instance().AddDataSource(QStringLiteral("KV_SYSTEM_DSN"), QStringLiteral("SQLite3"),
                                                      {{QStringLiteral("Database"), QStringLiteral("/nowhere")}}, true);
    const CliRun run = RunCli({"dsns"});
    kvtest::OdbcEnvironment::Instance().RemoveDataSource(QStringLiteral("KV_SYSTEM_DSN"));
    QCOMPARE(run.nStatus, 0);
    const QStringList lines = run.strOut.split(u'\n', Qt::SkipEmptyParts);
    QVERIFY(lines.contains(QStringLiteral("user\t") + bed->pDatabase->Dsn() + QStringLiteral("\tSQLite3")));
    QVERIFY(lines.contains(QStringLiteral("system\tKV_SYSTEM_DSN\tSQLite3")));
}

void TestCli::schemas_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::newRow("postgresql") << Engine::PostgreSQL;
    QTest::newRow("mariadb") << Engine::MariaDB;
}

void TestCli::schemas()
{
    QFETCH(Engine, engine);
    KV_JDE_BED(bed, engine, JdeOptions());
    const CliRun run = RunCli({"schemas", "--dsn", bed->pDatabase->Dsn()});
    QCOMPARE(run.nStatus, 0);
    const kvtest::JdeFixture& fixture = *bed->pFixture;
    const QStringList lines = run.strOut.split(u'\n', Qt::SkipEmptyParts);
    // The production schema with its six tables, the system tables where they are.
    QVERIFY2(lines.contains(fixture.Key(kvtest::kProductionSchema) + u'\t'
                            + SchemaText(fixture, kvtest::kProductionSchema) + QStringLiteral("\t6")),
             qPrintable(run.strOut));
    QVERIFY(lines.contains(QStringLiteral("F98611\t") + fixture.Key(kvtest::kSystemSchema)));
    QVERIFY(lines.contains(QStringLiteral("object librarian\t") + fixture.Key(kvtest::kSystemSchema) + u'.'
                           + fixture.Spelled(QStringLiteral("F9860"))));
    QVERIFY(lines.contains(QStringLiteral("data dictionary\t") + fixture.Key(kvtest::kDictionarySchema) + u'.'
                           + fixture.Spelled(QStringLiteral("F9210"))));
    QVERIFY(!run.strOut.contains(fixture.Key(kvtest::kLookalikeSchema)));
}

void TestCli::tables_data()
{
    AddEngineRows();
}

void TestCli::tables()
{
    QFETCH(Engine, engine);
    KV_JDE_BED(bed, engine, JdeOptions());
    const kvtest::JdeFixture& fixture = *bed->pFixture;
    const CliRun run = RunCli({"tables", "--dsn", bed->pDatabase->Dsn(), "--schema",
                               fixture.Key(kvtest::kProductionSchema)});
    QCOMPARE(run.nStatus, 0);
    QStringList expected;
    for (const QString& strTable : fixture.TablesOf(kvtest::kProductionSchema, true))
        expected.append((strTable == fixture.Spelled(QStringLiteral("V0101")) ? QStringLiteral("view\t")
                                                                                : QStringLiteral("table\t"))
                        + strTable);
    QStringList lines = run.strOut.split(u'\n', Qt::SkipEmptyParts);
    if (engine == Engine::SQLite) {
        // Its one schema holds every schema's tables.
        for (const QString& strLine : std::as_const(expected))
            QVERIFY2(lines.contains(strLine), qPrintable(strLine));
        return;
    }
    std::sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) { return a.mid(a.indexOf(u'\t')) < b.mid(b.indexOf(u'\t')); });
    QCOMPARE(lines, expected);
}

void TestCli::structure_data()
{
    AddEngineRows();
}

void TestCli::structure()
{
    QFETCH(Engine, engine);
    KV_JDE_BED(bed, engine, JdeOptions());
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("structure.csv"));
    const CliRun run = RunCli({"structure", "--dsn", bed->pDatabase->Dsn(), "--schema",
                               bed->pFixture->Key(kvtest::kProductionSchema), "--table",
                               bed->pFixture->Spelled(QStringLiteral("F0101")), "--export", strPath, "--lang", "fr"});
    QCOMPARE(run.nStatus, 0);
    QVERIFY(run.strOut.startsWith(QLatin1String("Champs\n")));
    QVERIFY(run.strOut.contains(QStringLiteral("export: ") + strPath));
    CompareWithGolden(ReadFile(strPath), QStringLiteral("structure_%1.csv").arg(Lower(engine)));
}

void TestCli::compareTables_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<int>("same");
    // SQLite's one schema holds the tables of every schema of the description.
    QTest::newRow("sqlite") << Engine::SQLite << 11;
    QTest::newRow("postgresql") << Engine::PostgreSQL << 5;
    QTest::newRow("mariadb") << Engine::MariaDB << 5;
}

void TestCli::compareTables()
{
    QFETCH(Engine, engine);
    QFETCH(int, same);
    KV_CLI_BED(bed, engine);
    const CliBed::Result result = bed->Compare(QStringLiteral("compare-tables"), kvtest::kProductionSchema, {"--lang", "fr"});
    QVERIFY2(result.run.nStatus == 0, qPrintable(result.run.strErr));
    const auto titles = bed->Titles(kvtest::kProductionSchema);
    QStringList counters = result.strOut.split(u'\n', Qt::SkipEmptyParts);
    counters.removeLast();   // the export line
    QCOMPARE(counters, (QStringList{QStringLiteral("%1 table(s) identique(s)").arg(same), "1 table(s) uniquement dans LEFT",
                                    "1 table(s) uniquement dans RIGHT", "1 table(s) diff\u00E9rente(s)"}));
    // The very bytes the export writer gives for the same comparison in this process.
    CZembraParam options;
    CCompareResultFile results(QStringLiteral("BFDB"), 2000);
    for (JdeTestBed* pSide : {&bed->left, &bed->right}) {
        pSide->data.m_strSchema = pSide->pFixture->Key(kvtest::kProductionSchema);
        QVERIFY(pSide->data.m_strSchema.size() > 0);
    }
    SetInterfaceLanguage(QStringLiteral("FRA"), QString());
    CTableComparison comparison(bed->left.data, bed->right.data, options, results);
    kvtest::ListRecorder list;
    QVERIFY(bed->left.data.LoadTableList(list) && bed->right.data.LoadTableList(list));
    QVERIFY(comparison.CompareTables(nullptr));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CExportFile file(buffer);
    QVERIFY(WriteTableExport(file, options, comparison, titles[0].first, titles[1].first) && file.Finish());
    QCOMPARE(result.rawExport, buffer.data());
    results.DeleteResultFile();

    CompareWithGolden(result.export_, QStringLiteral("tables_%1.csv").arg(Lower(engine)));
}

void TestCli::comparisonExports_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("schema");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("counters");
    QTest::addColumn<QString>("golden");
    for (Engine engine : {Engine::SQLite, Engine::PostgreSQL, Engine::MariaDB}) {
        const QString strEngine = Lower(engine);
        QTest::addRow("%s fields", qPrintable(strEngine))
            << engine << "compare-fields" << kvtest::kProductionSchema
            << QStringList{"--table", engine == Engine::PostgreSQL ? "f0101" : "F0101", "--sql-types", "--lang", "en"}
            << "4 field(s) is/are the same\n0 field(s) is/are only in LEFT\n1 field(s) is/are only in RIGHT\n"
               "0 field(s) is/are different\n"
            << QStringLiteral("fields_%1.csv").arg(strEngine);
        QTest::addRow("%s dictionaries", qPrintable(strEngine))
            << engine << "compare-dd" << kvtest::kDictionarySchema
            << QStringList{"--attributes", "DTAT,DTAS,CDEC", "--export-aliases", "left,right,different", "--lang", "en"}
            << "14 alias(es) is/are the same\n1 alias(es) is/are only in LEFT\n1 alias(es) is/are only in RIGHT\n"
               "1 alias(es) is/are different\n"
            << QStringLiteral("aliases_%1.csv").arg(strEngine);
    }
}

void TestCli::comparisonExports()
{
    QFETCH(Engine, engine);
    QFETCH(QString, command);
    QFETCH(QString, schema);
    QFETCH(QStringList, args);
    QFETCH(QString, counters);
    QFETCH(QString, golden);
    KV_CLI_BED(bed, engine);
    const CliBed::Result result = bed->Compare(command, schema, args);
    QVERIFY2(result.run.nStatus == 0, qPrintable(result.run.strErr));
    QVERIFY2(result.strOut.contains(counters), qPrintable(result.strOut));
    CompareWithGolden(result.export_, golden);
}

void TestCli::decimalUpdate_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("golden");
    for (Engine engine : {Engine::PostgreSQL, Engine::MariaDB}) {
        QTest::addRow("%s class", qPrintable(Lower(engine)))
            << engine << QStringList{"--class", "AMOUNT", "--divide", "--power", "2"}
            << QStringLiteral("decimal_class_%1.txt").arg(Lower(engine));
        QTest::addRow("%s alias", qPrintable(Lower(engine)))
            << engine << QStringList{"--alias", "UPRC", "--multiply", "--power", "3"}
            << QStringLiteral("decimal_alias_%1.txt").arg(Lower(engine));
    }
}

void TestCli::decimalUpdate()
{
    QFETCH(Engine, engine);
    QFETCH(QStringList, args);
    QFETCH(QString, golden);
    KV_JDE_BED(bed, engine, JdeOptions());
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("update.txt"));
    const kvtest::JdeFixture& fixture = *bed->pFixture;
    const CliRun run = RunCli(QStringList{"decimal-update", "--dsn", bed->pDatabase->Dsn(), "--schema",
                                          SchemaText(fixture, kvtest::kProductionSchema), "--schema",
                                          fixture.Key(kvtest::kCrpSchema), "--output", strPath, "--lang", "en"}
                              + args);
    QVERIFY2(run.nStatus == 0, qPrintable(run.strErr));
    CompareWithGolden(NormalizedUtf16(ReadFile(strPath), {{bed->pDatabase->Name(), QStringLiteral("DB")}}), golden);
}

void TestCli::nothingToUpdate()
{
    KV_JDE_BED(bed, Engine::MariaDB, JdeOptions());
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("update.txt"));
    const CliRun run = RunCli({"decimal-update", "--dsn", bed->pDatabase->Dsn(), "--alias", "NOSUCH", "--multiply",
                               "--power", "1", "--output", strPath, "--lang", "en"});
    QCOMPARE(run.nStatus, 0);
    QCOMPARE(ReadFile(strPath), Golden(kvtest::BuildPath(KITVANE_TOOLS_GOLDEN) + QStringLiteral("/nothing_to_update_en.txt")));
}

// What user input could reach in the production schema: a sequence, a
// table of one row and a function that empties it, all writable by the
// login the data source uses, so only the server's read-only session and
// the system's own checks stand in the way. The UPRC alias gets the class
// "BS\\", which the backslash escapes of MariaDB would break in a literal.
void CreateInjectionTargets(JdeTestBed& bed)
{
    const QString strData = bed.pFixture->Place(kvtest::kProductionSchema).strQualifier;
    const QString strDictionary = bed.pFixture->Place(kvtest::kDictionarySchema).strQualifier;
    kvtest::TestDatabase& database = *bed.pDatabase;
    const bool bPostgreSQL = database.GetEngine() == Engine::PostgreSQL;
    database.Exec(QStringLiteral("CREATE SEQUENCE ") + strData + QStringLiteral("kv_seq"));
    database.Exec(QStringLiteral("CREATE TABLE ") + strData + QStringLiteral("kv_canary (n INTEGER)"));
    database.Exec(QStringLiteral("INSERT INTO ") + strData + QStringLiteral("kv_canary VALUES (1)"));
    database.Exec(bPostgreSQL ? QStringLiteral("CREATE FUNCTION %1kv_delete() RETURNS integer LANGUAGE sql AS "
                                               "'DELETE FROM %1kv_canary; SELECT 1'")
                                    .arg(strData)
                              : QStringLiteral("CREATE FUNCTION %1kv_delete() RETURNS INTEGER MODIFIES SQL DATA "
                                               "BEGIN DELETE FROM %1kv_canary; RETURN 1; END")
                                    .arg(strData));
    database.Exec(QStringLiteral("UPDATE ") + strDictionary + QStringLiteral("F9210 SET FRCLAS=")
                  + (bPostgreSQL ? QStringLiteral("'BS\\'") : QStringLiteral("'BS\\\\'"))
                  + QStringLiteral(" WHERE FRDTAI='UPRC'"));
}

void TestCli::injectionChangesNothing_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QStringList>("args");        // @P stands for the production schema's qualifier
    QTest::addColumn<QString>("state");           // read back over the test bed's connection
    QTest::addColumn<QString>("unchanged");
    QTest::addColumn<bool>("refused");            // a usage error, before any connection
    QTest::addColumn<QString>("resultExcludes");  // never in the result file (case ignored)
    QTest::addColumn<QString>("resultIncludes");

    const QString strRows = QStringLiteral("SELECT COUNT(*) FROM @Pkv_canary");
    const QString strOutfile = QDir::tempPath() + QStringLiteral("/kv_outfile_%1").arg(QCoreApplication::applicationPid());
    const auto stats = [](const QString& strExpression) {
        return QStringList{"table-stats", "--date", QStringLiteral("field:") + strExpression};
    };
    const auto update = [](const QString& strClass) {
        return QStringList{"decimal-update", "--class", strClass, "--multiply", "--power", "2"};
    };

    const QString strPgSequence = QStringLiteral("SELECT last_value || ' ' || is_called FROM @Pkv_seq");
    const QString strLargeObjects = QStringLiteral("SELECT COUNT(*) FROM pg_largeobject_metadata");
    const Engine pg = Engine::PostgreSQL;
    QTest::newRow("postgresql nextval") << pg << stats("nextval('@Pkv_seq')") << strPgSequence << "1 false" << false
                                        << "" << "";
    QTest::newRow("postgresql function deleting") << pg << stats("@Pkv_delete()") << strRows << "1" << false << ""
                                                  << "";
    QTest::newRow("postgresql lo_create") << pg << stats("lo_create(0)") << strLargeObjects << "0" << false << ""
                                          << "";
    QTest::newRow("postgresql lo_import") << pg << stats("lo_import('/etc/hostname')") << strLargeObjects << "0"
                                          << false << "" << "";
    QTest::newRow("postgresql read-write default, then nextval")
        << pg
        << stats("CASE WHEN current_setting('transaction_read_only') = 'on' THEN "
                 "set_config('default_transaction_read_only', 'off', false) ELSE nextval('@Pkv_seq')::text END")
        << strPgSequence << "1 false" << false << "" << "";
    QTest::newRow("postgresql other table") << pg << stats("1)) FROM @Pkv_canary --") << strRows << "1" << true
                                            << "" << "";

    const QString strMariaDBSequence = QStringLiteral("SELECT next_not_cached_value FROM @Pkv_seq");
    const Engine mariadb = Engine::MariaDB;
    QTest::newRow("mariadb nextval") << mariadb << stats("NEXTVAL(@Pkv_seq)") << strMariaDBSequence << "1" << false
                                     << "" << "";
    QTest::newRow("mariadb function deleting") << mariadb << stats("@Pkv_delete()") << strRows << "1" << false << ""
                                               << "";
    QTest::newRow("mariadb into outfile")
        << mariadb << stats("1) INTO OUTFILE '" + strOutfile + "' #")
        << "SELECT COUNT(*) FROM @Pkv_canary" << "1" << true << "" << "";
    QTest::newRow("mariadb other table") << mariadb << stats("1)) FROM @Pkv_canary --") << strRows << "1" << true
                                         << "" << "";

    for (Engine engine : {pg, mariadb}) {
        const QByteArray name = Lower(engine).toUtf8();
        QTest::addRow("%s class union", name.constData())
            << engine << update("\\' UNION SELECT @Pkv_delete() #") << strRows << "1" << false << "" << "";
        QTest::addRow("%s class or", name.constData())
            << engine << update("\\' OR 1=1 #") << strRows << "1" << false << "upmj" << "";
        QTest::addRow("%s class ending in a backslash", name.constData())
            << engine << update("BS\\") << strRows << "1" << false << "upmj" << "sduprc=sduprc*100";
    }
}

void TestCli::injectionChangesNothing()
{
    QFETCH(Engine, engine);
    QFETCH(QStringList, args);
    QFETCH(QString, state);
    QFETCH(QString, unchanged);
    QFETCH(bool, refused);
    QFETCH(QString, resultExcludes);
    QFETCH(QString, resultIncludes);
    JdeOptions options;
    options.bInjectionAttempts = true;
    KV_JDE_BED(bed, engine, options);
    CreateInjectionTargets(*bed);
    const QString strData = bed->pFixture->Place(kvtest::kProductionSchema).strQualifier;
    state.replace(QLatin1String("@P"), strData);
    QCOMPARE(bed->pDatabase->Scalar(state), unchanged);
    bed->data.m_pDatabase.reset();   // the bed's own product connection plays no part

    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("result.txt"));
    const CliRun run = RunCli(Substituted(args, QStringLiteral("@P"), strData)
                              + QStringList{"--dsn", bed->pDatabase->Dsn(), "--schema",
                                            bed->pFixture->Key(kvtest::kProductionSchema), "--output", strPath,
                                            "--lang", "en", "--yes"});
    QCOMPARE(bed->pDatabase->Scalar(state), unchanged);
    // The server wrote no file where the expression told it to.
    for (const QString& strArg : args) {
        const qsizetype nOutfile = strArg.indexOf(QLatin1String("OUTFILE '"));
        if (nOutfile >= 0)
            QVERIFY(!QFile::exists(strArg.mid(nOutfile + 9).section(u'\'', 0, 0)));
    }
    if (refused) {
        VerifyUsageError(run);
        QVERIFY(!QFile::exists(strPath));
        return;
    }
    QVERIFY2(run.nStatus == 0 || run.nStatus == 1, qPrintable(run.strErr));
    const QByteArray bytes = QFile::exists(strPath) ? ReadFile(strPath) : QByteArray();
    const QString strResult = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    if (!resultExcludes.isEmpty())
        QVERIFY2(!strResult.contains(resultExcludes, Qt::CaseInsensitive), qPrintable(strResult));
    if (!resultIncludes.isEmpty())
        QVERIFY2(strResult.contains(resultIncludes, Qt::CaseInsensitive), qPrintable(strResult + run.strErr));
}

void TestCli::tableStatistics_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("date");
    for (Engine engine : {Engine::PostgreSQL, Engine::MariaDB}) {
        QTest::addRow("%s upmj", qPrintable(Lower(engine))) << engine << "upmj";
        QTest::addRow("%s none", qPrintable(Lower(engine))) << engine << "none";
    }
}

void TestCli::tableStatistics()
{
    QFETCH(Engine, engine);
    QFETCH(QString, date);
    KV_JDE_BED(bed, engine, JdeOptions());
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("stats.txt"));
    const CliRun run = RunCli({"table-stats", "--dsn", bed->pDatabase->Dsn(), "--schema",
                               bed->pFixture->Key(kvtest::kProductionSchema), "--date", date, "--output", strPath,
                               "--lang", "fr"});
    QVERIFY2(run.nStatus == 0, qPrintable(run.strErr));
    CompareWithGolden(NormalizedUtf16(ReadFile(strPath), {{bed->pDatabase->Name(), QStringLiteral("DB")}}),
                      QStringLiteral("stats_%1_%2.txt").arg(date, Lower(engine)));
}

void TestCli::replaceRefused()
{
    KV_JDE_BED(bed, Engine::PostgreSQL, JdeOptions());
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("stats.txt"));
    QVERIFY(WriteFile(strPath, "kept"));
    const QStringList args = {"table-stats", "--dsn", bed->pDatabase->Dsn(), "--output", strPath, "--lang", "en"};
    const CliRun refused = RunCli(args);
    QCOMPARE(refused.nStatus, 1);
    QCOMPARE(refused.strErr.count(u'\n'), 1);
    QVERIFY2(refused.strErr.startsWith(QLatin1String("kitvane-cli: ")), qPrintable(refused.strErr));
    QVERIFY2(refused.strErr.contains(QLatin1String("--yes")), qPrintable(refused.strErr));
    QCOMPARE(ReadFile(strPath), QByteArray("kept"));
    const CliRun replaced = RunCli(args + QStringList{"--yes"});
    QCOMPARE(replaced.nStatus, 0);
    QVERIFY(ReadFile(strPath).startsWith("\xFF\xFE"));
}

void TestCli::replaceOnTerminal_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("yes") << QByteArray("y\n") << 0 << true;
    QTest::newRow("oui") << QByteArray("oui\n") << 0 << true;
    QTest::newRow("no") << QByteArray("n\n") << 1 << false;
    QTest::newRow("just enter") << QByteArray("\n") << 1 << false;
}

// On a terminal the replace question is asked and answered there, and the
// run draws its progress bar on stderr.
void TestCli::replaceOnTerminal()
{
    QFETCH(QByteArray, answer);
    QFETCH(int, status);
    QFETCH(bool, replaced);
    KV_JDE_BED(bed, Engine::PostgreSQL, JdeOptions());
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("stats.txt"));
    QVERIFY(WriteFile(strPath, "kept"));
    const TerminalRun run = RunOnTerminal(
        {"table-stats", "--dsn", bed->pDatabase->Dsn(), "--output", strPath, "--lang", "en"}, "[y/N] ", answer);
    QCOMPARE(run.nStatus, status);
    QVERIFY2(run.screen.contains("already exists"), run.screen.constData());
    if (replaced) {
        QVERIFY2(Utf16Text(ReadFile(strPath)).startsWith(QLatin1String("File\tNumber of records")),
                 ReadFile(strPath).constData());
        QVERIFY2(run.screen.contains("\r[" + QByteArray(30, '#') + "] 100% "), run.screen.constData());
    } else {
        QCOMPARE(ReadFile(strPath), QByteArray("kept"));
        QVERIFY2(!run.screen.contains("%"), run.screen.constData());
    }
}

// Ctrl-C at many points of the run (connecting, reading the catalogs,
// comparing, as the delay grows): each is a cancel, whatever step it cuts
// short. One database serves every delay: it takes long to build.
void TestCli::interrupted()
{
    // Enough tables that the run is still going when Ctrl-C comes.
    JdeOptions options;
    options.nExtraTables = 1500;
    KV_JDE_BED(bed, Engine::SQLite, options);
    const QStringList arrArgs{"compare-tables", "--left", bed->pDatabase->Dsn(), "--right", bed->pDatabase->Dsn()};
    // A Ctrl-C after the run's last step may find the work done: the run then
    // ends as a whole one, never with a part of its result.
    const CliRun whole = RunCli(arrArgs);
    QCOMPARE(whole.nStatus, 0);
    int nInterrupted = 0;
    int nCancelled = 0;
    for (int nDelay = 0; nDelay <= 1500; nDelay += 50) {
        QProcess process;
        Start(process, arrArgs);
        QVERIFY(process.waitForStarted());
        // Taken now: once the process has ended, processId() is 0, and
        // signalling 0 reaches this test's own group.
        const qint64 nPid = process.processId();
        // Its handler is in place once it opens a database: it is installed first thing.
        QTRY_VERIFY_WITH_TIMEOUT(process.state() != QProcess::Running
                                     || HasFileOpen(nPid, bed->pDatabase->Name()),
                                 60000);
        QTest::qWait(nDelay);
        if (process.state() != QProcess::Running)
            break;   // the run is over before this delay: later ones come too late as well
        ::kill(pid_t(nPid), SIGINT);
        ++nInterrupted;
        const CliRun run = Finish(process);
        const QString strRun = QStringLiteral("Ctrl-C %1 ms after the database was opened: status %2, %3")
                                   .arg(nDelay)
                                   .arg(run.nStatus)
                                   .arg(run.strErr);
        if (run.nStatus == 0) {
            QCOMPARE(run.strOut, whole.strOut);
            continue;
        }
        ++nCancelled;
        QVERIFY2(run.nStatus == 3, qPrintable(strRun));
        QVERIFY2(run.strErr.contains(QLatin1String("cancelled")), qPrintable(strRun));
    }
    QVERIFY(nInterrupted > 0);
    QVERIFY(nCancelled > 0);

    // A data source whose columns take 1.5 seconds to list: Ctrl-C comes
    // while the comparison reads them (a large catalog read fast no longer
    // leaves time for it).
    const QString strDsn = QStringLiteral("kv_cli_slow_columns");
    kvtest::OdbcEnvironment::Instance().AddDataSource(
        strDsn, QStringLiteral("Kitvane Fault"),
        {{QStringLiteral("Catalog"), QStringLiteral("F0101:ABAN8=8/F0911:GLDOC=8")},
         {QStringLiteral("AllColumnsDelayMs"), QStringLiteral("1500")}});
    {
        QProcess process;
        Start(process, {"compare-tables", "--left", strDsn, "--right", strDsn});
        QVERIFY(process.waitForStarted());
        QTest::qWait(400);
        // Never signal process 0, which is this test's own group.
        QCOMPARE(process.state(), QProcess::Running);
        ::kill(pid_t(process.processId()), SIGINT);
        const CliRun run = Finish(process);
        QCOMPARE(run.nStatus, 3);
        QVERIFY2(run.strErr.contains(QLatin1String("cancelled")), qPrintable(run.strErr));
    }
}

void TestCli::toolInterrupted_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("perTableLine");
    QTest::newRow("decimal-update") << QStringList{"decimal-update", "--alias", "UPMJ", "--multiply", "--power", "1"}
                                    << "UPDATE ";
    QTest::newRow("table-stats") << QStringList{"table-stats", "--date", "upmj"} << "f55";
}

// Ctrl-C while a tool writes its file: the run stops after the current
// table, the file ends with the cancel line, and the exit status says so.
void TestCli::toolInterrupted()
{
    QFETCH(QStringList, args);
    QFETCH(QString, perTableLine);
    JdeOptions options;
    // Enough tables that the run goes on for a second or more after its
    // first line.
    options.nExtraTables = 1000;
    options.bRegisterExtraTables = true;
    KV_JDE_BED(bed, Engine::PostgreSQL, options);
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("result.txt"));
    QProcess process;
    Start(process, args + QStringList{"--dsn", bed->pDatabase->Dsn(), "--output", strPath, "--lang", "en"});
    QVERIFY(process.waitForStarted());
    // The file has lines: the tables are being written.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(strPath).size() > 2, 60000);
    ::kill(pid_t(process.processId()), SIGINT);
    const CliRun run = Finish(process);
    QCOMPARE(run.nStatus, 3);
    QVERIFY2(run.strErr.contains(QLatin1String("cancelled")), qPrintable(run.strErr));
    const QString strText = Utf16Text(ReadFile(strPath));
    QVERIFY2(strText.endsWith(QLatin1String("\r\nUser has cancelled the process\r\n")), qPrintable(strText));
    QVERIFY2(strText.count(perTableLine) < options.nExtraTables, qPrintable(strText));
}

void TestCli::owtpWithoutColumn_data()
{
    QTest::addColumn<bool>("leftHasOwtp");
    QTest::addColumn<bool>("rightHasOwtp");
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<int>("different");   // -1: a usage error
    QTest::newRow("left lacks FROWTP") << false << true << "OWTP,DTAS" << 1;
    QTest::newRow("right lacks FROWTP") << true << false << "OWTP,DTAS" << 1;
    QTest::newRow("both have it") << true << true << "OWTP,DTAS" << 1;
    QTest::newRow("left lacks FROWTP, OWTP alone") << false << true << "OWTP" << -1;
    QTest::newRow("right lacks FROWTP, OWTP alone") << true << false << "OWTP" << -1;
    QTest::newRow("both have it, OWTP alone") << true << true << "OWTP" << 0;
}

// OWTP asked for where a dictionary has no FROWTP: a notice, and the
// comparison runs on the other attributes; with no other attribute there
// is nothing to compare, which is a usage error.
void TestCli::owtpWithoutColumn()
{
    QFETCH(bool, leftHasOwtp);
    QFETCH(bool, rightHasOwtp);
    QFETCH(QString, attributes);
    QFETCH(int, different);
    const auto Options = [](bool bHasOwtp) {
        JdeOptions options;
        options.dictionary = bHasOwtp ? kvtest::Dictionary::F9210 : kvtest::Dictionary::F9210WithoutOwtp;
        return options;
    };
    KV_JDE_BED(left, Engine::SQLite, Options(leftHasOwtp));
    KV_JDE_BED(right, Engine::SQLite, Options(rightHasOwtp));
    right->pDatabase->Exec(QStringLiteral("UPDATE F9210 SET FRDTAS=17 WHERE FRDTAI='AA'"));
    const CliRun run = RunCli({"compare-dd", "--left", left->pDatabase->Dsn(), "--right", right->pDatabase->Dsn(),
                               "--attributes", attributes, "--lang", "en"});
    if (different < 0) {
        VerifyOneLineError(run, 2, {"--attributes", "OWTP", "FROWTP"});
        return;
    }
    QVERIFY2(run.nStatus == 0, qPrintable(run.strErr));
    const bool bNotice = !(leftHasOwtp && rightHasOwtp);
    QCOMPARE(run.strErr, bNotice ? QStringLiteral("OWTP not compared: a data dictionary has no FROWTP column\n")
                                 : QString());
    QVERIFY2(run.strOut.contains(QStringLiteral("\n%1 alias(es) is/are different\n").arg(different)),
             qPrintable(run.strOut));
}

void TestCli::demo()
{
    QTemporaryDir dir;
    const QString strIni = kvtest::OdbcEnvironment::Instance().Folder() + QStringLiteral("/odbc-user.ini");
    const QByteArray saved = ReadFile(strIni);
    for (int nRun = 0; nRun < 2; ++nRun) {
        const CliRun run = RunCli({"demo", "--dir", dir.path()});
        QVERIFY2(run.nStatus == 0, qPrintable(run.strErr));
    }
    const QByteArray registered = ReadFile(strIni);
    QCOMPARE(registered.count("[DEMO_DEV]"), 1);
    QCOMPARE(registered.count("[DEMO_PROD]"), 1);
    QVERIFY(registered.startsWith(saved.trimmed()));
    const QString strPath = dir.filePath(QStringLiteral("tables.csv"));
    const CliRun run = RunCli({"compare-tables", "--left", "DEMO_DEV", "--right", "DEMO_PROD", "--sql-types",
                               "--export", strPath, "--lang", "en"});
    QVERIFY(WriteFile(strIni, saved));
    QVERIFY2(run.nStatus == 0, qPrintable(run.strErr));
    QVERIFY2(run.strOut.startsWith(QLatin1String("6 file(s) is/are the same\n1 file(s) is/are only in DEMO_DEV\n"
                                                 "1 file(s) is/are only in DEMO_PROD\n2 file(s) is/are different\n")),
             qPrintable(run.strOut));
    CompareWithGolden(ReadFile(strPath), QStringLiteral("demo_tables.csv"));
}

void TestCli::databaseErrorEndsCommand_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("compare-tables") << QStringList{"compare-tables", "--left", "@FAILS", "--right", "@FAILS"};
    QTest::newRow("compare-tables, right side failing")
        << QStringList{"compare-tables", "--left", "@SQLITE", "--right", "@FAILS"};
    QTest::newRow("compare-dd") << QStringList{"compare-dd", "--left", "@SQLITE", "--right", "@FAILS"};
    QTest::newRow("table-stats") << QStringList{"table-stats", "--dsn", "@FAILS", "--output", "@OUT"};
    QTest::newRow("decimal-update") << QStringList{"decimal-update", "--dsn", "@FAILS", "--alias", "AA",
                                                   "--multiply", "--power", "1", "--output", "@OUT"};
}

// A statement that cannot be allocated raises out of the database layer:
// the command ends with the driver's text on one line, and leaves neither
// temporary result files nor a result file behind.
void TestCli::databaseErrorEndsCommand()
{
    QFETCH(QStringList, args);
    KV_CREATE_DATABASE(sqlite, Engine::SQLite);
    sqlite->Exec(QStringLiteral("CREATE TABLE F0101 (ABAN8 INTEGER)"));
    QTemporaryDir temporary;
    QTemporaryDir results;
    args = Substituted(args, QStringLiteral("@FAILS"), AllocationFailingDsn());
    args = Substituted(args, QStringLiteral("@SQLITE"), sqlite->Dsn());
    args = Substituted(args, QStringLiteral("@OUT"), results.filePath(QStringLiteral("result.txt")));
    const CliRun run = RunCli(args + QStringList{"--lang", "en"}, {{QStringLiteral("TMP"), temporary.path()}});
    VerifyOneLineError(run, 1, {"No statement can be allocated"});
    QCOMPARE(FolderEntries(temporary.path()), QStringList());
    QCOMPARE(FolderEntries(results.path()), QStringList());
}

void TestCli::connectionFailureReason_data()
{
    QTest::addColumn<QString>("driver");   // empty: the data source does not exist
    QTest::addColumn<QStringList>("attributes");
    QTest::addColumn<QStringList>("reason");
    const QString strMariaDbPort = QString::number(kvtest::ServerOf(Engine::MariaDB).nPort);
    QTest::newRow("unknown data source") << QString() << QStringList{}
                                         << QStringList{"Data source name not found", "(SQLSTATE IM002)"};
    QTest::newRow("nothing listening")
        << "PostgreSQL Unicode"
        << QStringList{"Servername=127.0.0.1", "Port=@FREE", "Database=postgres", "Username=kitvane"}
        << QStringList{"Connection refused", "(SQLSTATE 08001)"};
    QTest::newRow("login refused")
        << "MariaDB Unicode"
        << QStringList{"Server=127.0.0.1", "Port=" + strMariaDbPort, "User=kitvane", "Password=not-the-password"}
        << QStringList{"Access denied for user 'kitvane'", "(SQLSTATE 28000)"};
    QTest::newRow("missing driver library") << "/nonexistent/libkvmissing.so" << QStringList{}
                                            << QStringList{"/nonexistent/libkvmissing.so", "(SQLSTATE 01000"};
}

// Each way a connection fails says why, in the driver's words.
void TestCli::connectionFailureReason()
{
    QFETCH(QString, driver);
    QFETCH(QStringList, attributes);
    QFETCH(QStringList, reason);
    const QString strDsn = QStringLiteral("kv_cli_unreachable");
    kvtest::OdbcEnvironment& odbc = kvtest::OdbcEnvironment::Instance();
    if (!driver.isEmpty()) {
        QMap<QString, QString> values;
        for (const QString& strAttribute : std::as_const(attributes))
            values.insert(strAttribute.section(u'=', 0, 0),
                          strAttribute.section(u'=', 1).replace(QStringLiteral("@FREE"), QString::number(FreePort())));
        odbc.AddDataSource(strDsn, driver, values);
    }
    const CliRun run = RunCli({"tables", "--dsn", strDsn});
    odbc.RemoveDataSource(strDsn);
    VerifyOneLineError(run, 1, QStringList{QStringLiteral("kitvane-cli: cannot connect to data source '%1': ").arg(strDsn)} + reason);
}

void TestCli::outputPathCheckedFirst_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("fragments");
    const QString strExport = QStringLiteral("Unable to write in file '@DIR");
    const QString strResult = QStringLiteral("Unable to open file @DIR");
    const QStringList sides = {"--left", "NOWHERE", "--right", "NOWHERE"};
    QTest::newRow("table export in a missing folder")
        << QStringList{"compare-tables"} + sides + QStringList{"--export", "@DIR/missing/t.csv"}
        << QStringList{strExport + "/missing/t.csv'", "(No such file or directory)"};
    QTest::newRow("field export in a missing folder")
        << QStringList{"compare-fields"} + sides + QStringList{"--table", "F0101", "--export", "@DIR/missing/f.csv"}
        << QStringList{strExport + "/missing/f.csv'", "(No such file or directory)"};
    QTest::newRow("alias export under a file")
        << QStringList{"compare-dd"} + sides + QStringList{"--export", "@DIR/file/a.csv"}
        << QStringList{strExport + "/file/a.csv'", "(Not a directory)"};
    QTest::newRow("structure export naming a folder")
        << QStringList{"structure", "--dsn", "NOWHERE", "--table", "F0101", "--export", "@DIR"}
        << QStringList{strExport + "'", "(Is a directory)"};
    QTest::newRow("statistics naming a folder") << QStringList{"table-stats", "--dsn", "NOWHERE", "--output", "@DIR"}
                                                << QStringList{strResult + ".", "(Is a directory)"};
    QTest::newRow("statistics naming a folder, --yes")
        << QStringList{"table-stats", "--dsn", "NOWHERE", "--output", "@DIR", "--yes"}
        << QStringList{strResult + ".", "(Is a directory)"};
    QTest::newRow("update script in a missing folder")
        << QStringList{"decimal-update", "--dsn", "NOWHERE", "--alias", "AA", "--multiply", "--power", "2", "--output",
                       "@DIR/missing/u.txt"}
        << QStringList{strResult + "/missing/u.txt.", "(No such file or directory)"};
}

// An output path that cannot take its file ends the command before any
// connection (the data source does not even exist), with the system's reason.
void TestCli::outputPathCheckedFirst()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, fragments);
    QTemporaryDir dir;
    QVERIFY(WriteFile(dir.filePath(QStringLiteral("file")), "kept"));
    const CliRun run = RunCli(Substituted(args, QStringLiteral("@DIR"), dir.path()) + QStringList{"--lang", "en"});
    VerifyOneLineError(run, 1, Substituted(fragments, QStringLiteral("@DIR"), dir.path()));
    QCOMPARE(FolderEntries(dir.path()), QStringList{"file"});
    QCOMPARE(ReadFile(dir.filePath(QStringLiteral("file"))), QByteArray("kept"));
}

void TestCli::fieldTableSpelling_data()
{
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");   // on stdout or stderr
    const QString strDifferent = QStringLiteral("1 field(s) is/are only in RIGHT");
    const QString strSame = QStringLiteral("is not different");
    QTest::newRow("case-blind, left's spelling") << QStringList{} << "f0101" << 0 << strDifferent;
    QTest::newRow("case-blind, right's spelling") << QStringList{} << "F0101" << 0 << strDifferent;
    QTest::newRow("case-blind, neither side's spelling") << QStringList{} << "F0101_x" << 0 << strSame;
    QTest::newRow("case-blind, no such table") << QStringList{} << "F0102" << 1 << "on neither side";
    QTest::newRow("case-sensitive, left's spelling") << QStringList{"--case-sensitive"} << "f0101" << 0 << strSame;
    QTest::newRow("case-sensitive, right's spelling") << QStringList{"--case-sensitive"} << "F0101" << 0 << strSame;
    QTest::newRow("case-sensitive, neither side's spelling")
        << QStringList{"--case-sensitive"} << "F0101_x" << 1 << "on neither side";
}

// compare-fields between PostgreSQL (f0101) and MariaDB (F0101): a
// case-blind comparison takes any spelling of the table, a case-sensitive
// one only the exact spelling of one side.
void TestCli::fieldTableSpelling()
{
    QFETCH(QStringList, flags);
    QFETCH(QString, table);
    QFETCH(int, status);
    QFETCH(QString, said);
    struct Beds
    {
        Beds() { MakeRightDifferent(right); }
        JdeTestBed left{Engine::PostgreSQL, JdeOptions()};
        JdeTestBed right{Engine::MariaDB, JdeOptions()};
    };
    KV_ROWS_FIXTURE(beds, Beds);
    JdeTestBed* left = &beds->left;
    JdeTestBed* right = &beds->right;
    const QString strSchema = kvtest::kProductionSchema;
    const CliRun run = RunCli(QStringList{"compare-fields", "--left", left->pDatabase->Dsn(), "--left-schema",
                                          left->pFixture->Key(strSchema), "--right", right->pDatabase->Dsn(),
                                          "--right-schema", right->pFixture->Key(strSchema), "--table", table,
                                          "--lang", "en"}
                              + flags);
    QVERIFY2(run.nStatus == status, qPrintable(run.strErr));
    const QString strSaid = NormalizedText(run.strOut + run.strErr, {{Title(*right, strSchema), QStringLiteral("RIGHT")}});
    QVERIFY2(strSaid.contains(said), qPrintable(strSaid));
}

void TestCli::structureTableSpelling_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("said");
    QTest::newRow("other case") << "F0101" << 0 << QStringList{"\tabalph\t"};
    QTest::newRow("exact") << "f0101" << 0 << QStringList{"\tabalph\t"};
    QTest::newRow("exact, upper case twin") << "AB1" << 0 << QStringList{"\tbig\t"};
    QTest::newRow("exact, lower case twin") << "ab1" << 0 << QStringList{"\tsmall\t"};
    QTest::newRow("ambiguous") << "Ab1" << 2 << QStringList{"'Ab1'", "AB1, ab1"};
    QTest::newRow("no such table") << "F0102" << 1 << QStringList{"no table 'F0102'"};
}

// A table named in any letter case on PostgreSQL, which folds plain names
// to lower case; an exact spelling wins, two others are a usage error.
void TestCli::structureTableSpelling()
{
    QFETCH(QString, table);
    QFETCH(int, status);
    QFETCH(QStringList, said);
    // Twins: two tables whose names differ only by letter case.
    struct Bed : JdeTestBed
    {
        Bed() : JdeTestBed(Engine::PostgreSQL, JdeOptions())
        {
            const QString strData = pFixture->Place(kvtest::kProductionSchema).strQualifier;
            pDatabase->Exec(QStringLiteral("CREATE TABLE ") + strData + QStringLiteral("\"AB1\" (big INTEGER)"));
            pDatabase->Exec(QStringLiteral("CREATE TABLE ") + strData + QStringLiteral("ab1 (small INTEGER)"));
        }
    };
    KV_ROWS_FIXTURE(bed, Bed);
    const CliRun run = RunCli({"structure", "--dsn", bed->pDatabase->Dsn(), "--schema",
                               bed->pFixture->Key(kvtest::kProductionSchema), "--table", table, "--lang", "en"});
    VerifyOutcome(run, status, said);
}

void TestCli::schemaSpelling_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("said");
    const QStringList tables = {"tables", "--dsn", "@DSN", "--schema"};
    QTest::newRow("tables, other case") << tables + QStringList{"@PROD"} << 0 << QStringList{"view\tv0101"};
    QTest::newRow("tables, exact") << tables + QStringList{"@DB.Mixed"} << 0 << QStringList{"table\tt1"};
    QTest::newRow("tables, exact lower-case twin") << tables + QStringList{"@DB.mixed"} << 0 << QStringList{"table\tt2"};
    QTest::newRow("tables, ambiguous") << tables + QStringList{"@DB.MIXED"} << 2
                                       << QStringList{"'@DB.MIXED'", "@DB.Mixed, @DB.mixed"};
    QTest::newRow("structure, other case") << QStringList{"structure", "--dsn", "@DSN", "--schema", "@PROD", "--table",
                                                          "f0101"}
                                           << 0 << QStringList{"\tabalph\t"};
    QTest::newRow("compare-tables, other case")
        << QStringList{"compare-tables", "--left", "@DSN", "--left-schema", "@PROD", "--right", "@DSN",
                       "--right-schema", "@PROD", "--lang", "en"}
        << 0 << QStringList{"0 file(s) is/are different"};
    QTest::newRow("table-stats, other case")
        << QStringList{"table-stats", "--dsn", "@DSN", "--schema", "@PROD", "--output", "@OUT"} << 0
        << QStringList{"result: "};
    QTest::newRow("decimal-update, other case")
        << QStringList{"decimal-update", "--dsn", "@DSN", "--schema", "@PROD", "--schema", "@CRP", "--alias", "AA",
                       "--multiply", "--power", "1", "--output", "@OUT"}
        << 0 << QStringList{"result: "};
}

// A schema named in any letter case, by every command; an exact spelling
// wins, two others are a usage error.
void TestCli::schemaSpelling()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QStringList, said);
    // Twins: two schemas whose names differ only by letter case.
    struct Bed : JdeTestBed
    {
        Bed() : JdeTestBed(Engine::PostgreSQL, JdeOptions())
        {
            pDatabase->ExecScript({QStringLiteral("CREATE SCHEMA \"Mixed\""),
                                   QStringLiteral("CREATE TABLE \"Mixed\".t1 (a INTEGER)"),
                                   QStringLiteral("CREATE SCHEMA mixed"), QStringLiteral("CREATE TABLE mixed.t2 (a INTEGER)")});
        }
    };
    KV_ROWS_FIXTURE(bed, Bed);
    QTemporaryDir dir;
    const QList<QPair<QString, QString>> values = {
        {QStringLiteral("@DSN"), bed->pDatabase->Dsn()},
        {QStringLiteral("@PROD"), bed->pFixture->Key(kvtest::kProductionSchema).toUpper()},
        {QStringLiteral("@CRP"), bed->pFixture->Key(kvtest::kCrpSchema).toUpper()},
        {QStringLiteral("@DB"), bed->pDatabase->Name()},
        {QStringLiteral("@OUT"), dir.filePath(QStringLiteral("result.txt"))}};
    for (const auto& [strPlaceholder, strValue] : values) {
        args = Substituted(args, strPlaceholder, strValue);
        said = Substituted(said, strPlaceholder, strValue);
    }
    const CliRun run = RunCli(args);
    VerifyOutcome(run, status, said);
}

void TestCli::unnamedSchemaSpellings_data()
{
    QTest::addColumn<QStringList>("args");
    const QList<QStringList> commands = {
        {"tables", "--dsn", "DEMO_PROD", "--schema", "@S"},
        {"structure", "--dsn", "DEMO_PROD", "--schema", "@S", "--table", "F0101"},
        {"compare-tables", "--left", "DEMO_DEV", "--left-schema", "@S", "--right", "DEMO_PROD", "--right-schema", "@S"},
        {"table-stats", "--dsn", "DEMO_PROD", "--schema", "@S", "--output", "@OUT"},
        {"decimal-update", "--dsn", "DEMO_PROD", "--schema", "@S", "--alias", "AA", "--multiply", "--power", "1",
         "--output", "@OUT"},
    };
    // The driver names SQLite's one schema "."; the demo's JDE owner table names it main.
    for (const QStringList& command : commands) {
        for (const char* pszSpelling : {".", "main", ".main", "MAIN"}) {
            QTest::addRow("%s %s", qPrintable(command.first()), pszSpelling)
                << Substituted(command, QStringLiteral("@S"), QLatin1String(pszSpelling));
        }
    }
}

// Every command takes each spelling of the demo's one schema.
void TestCli::unnamedSchemaSpellings()
{
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    const QString strIni = kvtest::OdbcEnvironment::Instance().Folder() + QStringLiteral("/odbc-user.ini");
    const QByteArray saved = ReadFile(strIni);
    const CliRun built = RunCli({"demo", "--dir", dir.path()});
    const CliRun run = RunCli(Substituted(args, QStringLiteral("@OUT"), dir.filePath(QStringLiteral("result.txt"))));
    QVERIFY(WriteFile(strIni, saved));
    QVERIFY2(built.nStatus == 0, qPrintable(built.strErr));
    QVERIFY2(run.nStatus == 0, qPrintable(run.strErr));
    QVERIFY2(!run.strOut.isEmpty(), qPrintable(run.strErr));
}

void TestCli::interruptedWhileConnecting_data()
{
    QTest::addColumn<QString>("driver");
    QTest::addColumn<QStringList>("attributes");
    QTest::newRow("postgresql") << "PostgreSQL Unicode"
                                << QStringList{"Servername=127.0.0.1", "Port=@PORT", "Database=postgres",
                                               "Username=kitvane"};
    QTest::newRow("mariadb") << "MariaDB Unicode"
                             << QStringList{"Server=127.0.0.1", "Port=@PORT", "User=kitvane", "Password=kitvane"};
}

// A server that takes the connection and never answers keeps the driver
// waiting for its login timeout; Ctrl-C ends the run at once.
void TestCli::interruptedWhileConnecting()
{
    QFETCH(QString, driver);
    QFETCH(QStringList, attributes);
    SilentListener silent;
    QVERIFY(silent.Port() > 0);
    QMap<QString, QString> values;
    for (const QString& strAttribute : std::as_const(attributes))
        values.insert(strAttribute.section(u'=', 0, 0), strAttribute.section(u'=', 1).replace(
                                                            QStringLiteral("@PORT"), QString::number(silent.Port())));
    const QString strDsn = QStringLiteral("kv_cli_silent");
    kvtest::OdbcEnvironment::Instance().AddDataSource(strDsn, driver, values);
    QProcess process;
    Start(process, {"tables", "--dsn", strDsn});
    QVERIFY(process.waitForStarted());
    const bool bReached = silent.WaitForClient(30000);
    QElapsedTimer timer;
    timer.start();
    ::kill(pid_t(process.processId()), SIGINT);
    const CliRun run = Finish(process);
    const qint64 nElapsed = timer.elapsed();
    kvtest::OdbcEnvironment::Instance().RemoveDataSource(strDsn);
    QVERIFY(bReached);
    VerifyOneLineError(run, 3, {"cancelled", strDsn});
    QVERIFY2(nElapsed < 1000, qPrintable(QStringLiteral("%1 ms after Ctrl-C").arg(nElapsed)));
}

// Ctrl-C while the statistics count a table that takes seconds (a row
// policy sleeps a second per row, even for the table's owner): the running
// statement is stopped, and the run ends within about a second.
void TestCli::interruptedStatement()
{
    KV_JDE_BED(bed, Engine::PostgreSQL, JdeOptions());
    const kvtest::JdeFixture& fixture = *bed->pFixture;
    const QString strSlow = fixture.Place(kvtest::kProductionSchema).strQualifier + QStringLiteral("f55slow");
    bed->pDatabase->ExecScript(
        {QStringLiteral("CREATE TABLE ") + strSlow + QStringLiteral(" (xxkey INTEGER)"),
         QStringLiteral("INSERT INTO ") + strSlow + QStringLiteral(" VALUES (1), (2), (3)"),
         QStringLiteral("ALTER TABLE ") + strSlow + QStringLiteral(" ENABLE ROW LEVEL SECURITY"),
         QStringLiteral("ALTER TABLE ") + strSlow + QStringLiteral(" FORCE ROW LEVEL SECURITY"),
         QStringLiteral("CREATE POLICY slow ON ") + strSlow + QStringLiteral(" USING (pg_sleep(1) IS NOT NULL)"),
         QStringLiteral("INSERT INTO ") + fixture.Place(kvtest::kSystemSchema).strQualifier
             + QStringLiteral("F9860 VALUES ('F55SLOW', 'TBLE')")});
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("stats.txt"));
    QProcess process;
    Start(process, {"table-stats", "--dsn", bed->pDatabase->Dsn(), "--schema", fixture.Key(kvtest::kProductionSchema),
                    "--date", "none", "--output", strPath, "--lang", "en"});
    QVERIFY(process.waitForStarted());
    // The count of the view is running on the server.
    const QString strRunning = QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE state = 'active'"
                                              " AND query ILIKE '%count%f55slow%' AND pid <> pg_backend_pid()");
    QTRY_VERIFY_WITH_TIMEOUT(bed->pDatabase->Scalar(strRunning) == QLatin1String("1"), 30000);
    QElapsedTimer timer;
    timer.start();
    ::kill(pid_t(process.processId()), SIGINT);
    const CliRun run = Finish(process);
    const qint64 nElapsed = timer.elapsed();
    QCOMPARE(run.nStatus, 3);
    QVERIFY2(run.strErr.contains(QLatin1String("cancelled")), qPrintable(run.strErr));
    QVERIFY2(nElapsed < 1500, qPrintable(QStringLiteral("%1 ms after Ctrl-C").arg(nElapsed)));
    const QString strText = Utf16Text(ReadFile(strPath));
    QVERIFY2(strText.endsWith(QLatin1String("\r\nUser has cancelled the process\r\n")), qPrintable(strText));
}

// The demo's databases go where its data sources are registered: the home
// folder the driver manager reads .odbc.ini from (the password database's),
// even when $HOME names another folder.
void TestCli::demoBesideItsRegistration()
{
    QVERIFY2(QFileInfo::exists(QStringLiteral(KITVANE_NSS_WRAPPER)),
             "the password database wrapper is missing: run scripts/install-deps (libnss-wrapper)");
    QTemporaryDir account;   // the home folder of the password database
    QTemporaryDir shell;     // $HOME
    QTemporaryDir names;     // the password and group files of the account
    const QString strPasswd = names.filePath(QStringLiteral("passwd"));
    const QString strGroup = names.filePath(QStringLiteral("group"));
    QVERIFY(WriteFile(strPasswd, QStringLiteral("kvuser:x:%1:%2:Kitvane:%3:/bin/sh\n")
                                     .arg(getuid())
                                     .arg(getgid())
                                     .arg(account.path())
                                     .toUtf8()));
    QVERIFY(WriteFile(strGroup, QStringLiteral("kvgroup:x:%1:\n").arg(getgid()).toUtf8()));
    // Added to what the run already preloads (the sanitizer runs keep a library loaded that way).
    const QString strInherited = qEnvironmentVariable("LD_PRELOAD");
    const QString strPreload = strInherited.isEmpty() ? QStringLiteral(KITVANE_NSS_WRAPPER)
                                                      : strInherited + u':' + QStringLiteral(KITVANE_NSS_WRAPPER);
    const EnvironmentChanges environment = {{QStringLiteral("LD_PRELOAD"), strPreload},
                                            {QStringLiteral("NSS_WRAPPER_PASSWD"), strPasswd},
                                            {QStringLiteral("NSS_WRAPPER_GROUP"), strGroup},
                                            {QStringLiteral("HOME"), shell.path()},
                                            {QStringLiteral("ODBCINI"), QString()},
                                            {QStringLiteral("XDG_DATA_HOME"), QString()}};
    const CliRun built = RunCli({"demo"}, environment);
    QVERIFY2(built.nStatus == 0, qPrintable(built.strErr));
    const QString strFolder = account.path() + QStringLiteral("/.local/share/kitvane/demo");
    const QByteArray registered = ReadFile(account.filePath(QStringLiteral(".odbc.ini")));
    for (const char* pszFile : {"demo_dev.db", "demo_prod.db"}) {
        const QString strFile = strFolder + u'/' + QLatin1String(pszFile);
        QVERIFY2(registered.contains((QStringLiteral("\nDatabase=") + strFile + u'\n').toUtf8()), registered.constData());
        QVERIFY2(QFileInfo(strFile).size() > 0, qPrintable(strFile));
    }
    QCOMPARE(FolderEntries(shell.path()), QStringList());
    // The driver manager finds the data sources and their files.
    const CliRun compared = RunCli(
        {"compare-tables", "--left", "DEMO_DEV", "--right", "DEMO_PROD", "--sql-types", "--lang", "en"}, environment);
    QVERIFY2(compared.nStatus == 0, qPrintable(compared.strErr));
    QVERIFY2(compared.strOut.startsWith(QLatin1String("6 file(s) is/are the same\n")), qPrintable(compared.strOut));
}

void TestCli::exportOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("fields");   // the fields of each line compared
    QTest::addColumn<QStringList>("lines");
    const QStringList tables = {"compare-tables", "--sql-types"};
    const QStringList fields = {"compare-fields", "--sql-types", "--table", "T_DIFF"};
    const auto Tables = [&](const char* pszTables, const char* pszFields, const QStringList& flags = {}) {
        return tables + flags + QStringList{"--export-tables", pszTables, "--export-fields", pszFields};
    };
    const auto Fields = [&](const char* pszFields, const QStringList& flags = {}) {
        return fields + flags + QStringList{"--export-fields", pszFields};
    };
    const char* const pszAll = "same,left,right,different";
    QTest::newRow("tables, everything")
        << Tables(pszAll, pszAll) << 4
        << QStringList{"=;t_case", "<>;T_DIFF", ";;=;K", ";;<;R_ONLY", ";;>;L_ONLY", ";;<>;D", ";;=;S", ";;=;Mixed",
                       ">;T_LEFT", "<;T_RIGHT", "=;T_SAME"};
    QTest::newRow("tables the same") << Tables("same", pszAll) << 4 << QStringList{"=;t_case", "=;T_SAME"};
    QTest::newRow("tables only left") << Tables("left", pszAll) << 4 << QStringList{">;T_LEFT"};
    QTest::newRow("tables only right") << Tables("right", pszAll) << 4 << QStringList{"<;T_RIGHT"};
    QTest::newRow("different tables without fields") << Tables("different", "") << 4 << QStringList{"<>;T_DIFF"};
    QTest::newRow("fields the same, of different tables")
        << Tables("different", "same") << 4 << QStringList{"<>;T_DIFF", ";;=;K", ";;=;S", ";;=;Mixed"};
    QTest::newRow("fields only left, of different tables")
        << Tables("different", "left") << 4 << QStringList{"<>;T_DIFF", ";;>;L_ONLY"};
    QTest::newRow("fields only right, of different tables")
        << Tables("different", "right") << 4 << QStringList{"<>;T_DIFF", ";;<;R_ONLY"};
    QTest::newRow("different fields, of different tables")
        << Tables("different", "different") << 4 << QStringList{"<>;T_DIFF", ";;<>;D"};
    QTest::newRow("tables, strings of one size differ")
        << Tables("different", "different", {"--no-same-size-strings"}) << 4
        << QStringList{"<>;T_DIFF", ";;<>;D", ";;<>;S"};
    QTest::newRow("tables, case-sensitive")
        << Tables("same,left,right", "", {"--case-sensitive"}) << 4
        << QStringList{"<;T_CASE", ">;T_LEFT", "<;T_RIGHT", "=;T_SAME", ">;t_case"};
    QTest::newRow("fields of different tables, case-sensitive")
        << Tables("different", "left,right", {"--case-sensitive"}) << 4
        << QStringList{"<>;T_DIFF", ";;<;R_ONLY", ";;>;L_ONLY", ";;<;MIXED", ";;>;Mixed"};
    QTest::newRow("fields, everything") << Fields(pszAll) << 2
                                        << QStringList{"=;K", "<;R_ONLY", ">;L_ONLY", "<>;D", "=;S", "=;Mixed"};
    QTest::newRow("fields the same") << Fields("same") << 2 << QStringList{"=;K", "=;S", "=;Mixed"};
    QTest::newRow("fields only left") << Fields("left") << 2 << QStringList{">;L_ONLY"};
    QTest::newRow("fields only right") << Fields("right") << 2 << QStringList{"<;R_ONLY"};
    QTest::newRow("fields different") << Fields("different") << 2 << QStringList{"<>;D"};
    QTest::newRow("fields, strings of one size differ")
        << Fields("different", {"--no-same-size-strings"}) << 2 << QStringList{"<>;D", "<>;S"};
    QTest::newRow("fields, case-sensitive")
        << Fields("left,right", {"--case-sensitive"}) << 2 << QStringList{"<;R_ONLY", ">;L_ONLY", "<;MIXED", ">;Mixed"};
}

// The export options and the comparison flags on MariaDB tables made for
// them: each status of a table and of a field, a CHAR and a VARCHAR of one
// size, and names that differ only by letter case.
void TestCli::exportOptions()
{
    QFETCH(QStringList, args);
    QFETCH(int, fields);
    QFETCH(QStringList, lines);
    struct Databases
    {
        Databases()
        {
            left.ExecScript({QStringLiteral("CREATE TABLE T_SAME (A INTEGER)"), QStringLiteral("CREATE TABLE T_LEFT (A INTEGER)"),
                             QStringLiteral("CREATE TABLE T_DIFF (K INTEGER, L_ONLY CHAR(3), D CHAR(5), S CHAR(4), Mixed CHAR(2))"),
                             QStringLiteral("CREATE TABLE t_case (A INTEGER)")});
            right.ExecScript({QStringLiteral("CREATE TABLE T_SAME (A INTEGER)"), QStringLiteral("CREATE TABLE T_RIGHT (A INTEGER)"),
                              QStringLiteral("CREATE TABLE T_DIFF (K INTEGER, R_ONLY CHAR(3), D CHAR(9), S VARCHAR(4), MIXED CHAR(2))"),
                              QStringLiteral("CREATE TABLE T_CASE (A INTEGER)")});
        }
        kvtest::TestDatabase left{Engine::MariaDB};
        kvtest::TestDatabase right{Engine::MariaDB};
    };
    KV_ROWS_FIXTURE(databases, Databases);
    kvtest::TestDatabase* left = &databases->left;
    kvtest::TestDatabase* right = &databases->right;
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("export.csv"));
    const CliRun run = RunCli(args + QStringList{"--left", left->Dsn(), "--left-schema", left->Name(), "--right",
                                                 right->Dsn(), "--right-schema", right->Name(), "--export", strPath});
    QVERIFY2(run.nStatus == 0, qPrintable(run.strErr));
    QCOMPARE(ExportLines(ReadFile(strPath), fields), lines);
}

void TestCli::version_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("--version") << QStringList{"--version"};
    QTest::newRow("-V") << QStringList{"-V"};
    QTest::newRow("after a general option") << QStringList{"--lang", "fr", "--version"};
    QTest::newRow("after a command") << QStringList{"compare-tables", "--version"};
}

void TestCli::version()
{
    QFETCH(QStringList, args);
    const CliRun run = RunCli(args);
    QCOMPARE(run.nStatus, 0);
    QCOMPARE(run.strOut, QStringLiteral("kitvane-cli " KITVANE_PRODUCT_VERSION "\n"));
    QVERIFY2(run.strErr.isEmpty(), qPrintable(run.strErr));
    // The general help names it, with every exit status.
    const CliRun help = RunCli({"--help"});
    QCOMPARE(help.nStatus, 0);
    QVERIFY2(help.strOut.contains(QLatin1String("\n  --version ")), qPrintable(help.strOut));
    for (int nStatus = 0; nStatus <= 4; ++nStatus)
        QVERIFY2(help.strOut.contains(QStringLiteral("\n  %1  ").arg(nStatus)), qPrintable(help.strOut));
}

void TestCli::generalOptionsBeforeCommand_data()
{
    QTest::addColumn<QStringList>("general");
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("expected");
    const QStringList compare = {"compare-tables", "--left", "DEMO_DEV", "--right", "DEMO_PROD", "--sql-types"};
    QTest::newRow("--lang fr") << QStringList{"--lang", "fr"} << compare << "table(s) identique(s)";
    QTest::newRow("--lang en") << QStringList{"--lang", "en"} << compare << "file(s) is/are the same";
    QTest::newRow("--lang=fr") << QStringList{"--lang=fr"} << compare << "table(s) identique(s)";
    QTest::newRow("--help") << QStringList{"--help"} << QStringList{"compare-dd"} << "--export-aliases LIST";
    QTest::newRow("--lang and --help") << QStringList{"--lang", "en", "--help"} << QStringList{"table-stats"}
                                       << "--date upmj|none|field:EXPR";
}

void TestCli::generalOptionsBeforeCommand()
{
    QFETCH(QStringList, general);
    QFETCH(QStringList, command);
    QFETCH(QString, expected);
    KV_ROWS_FIXTURE(demo, DemoSources);
    Q_UNUSED(demo);
    const CliRun before = RunCli(general + command);
    const CliRun after = RunCli(command + general);
    QVERIFY2(after.nStatus == 0, qPrintable(after.strErr));
    QVERIFY2(after.strOut.contains(expected), qPrintable(after.strOut));
    QCOMPARE(before.nStatus, after.nStatus);
    QCOMPARE(before.strOut, after.strOut);
    QCOMPARE(before.strErr, after.strErr);
}

void TestCli::jsonSummary_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("right");
    QTest::addColumn<bool>("differences");
    const QString strAll = QStringLiteral("same,left,right,different");
    const QStringList tables = {"compare-tables", "--sql-types", "--export-tables", strAll, "--export-fields", strAll};
    const QStringList fields = {"compare-fields", "--sql-types", "--table", "F0101", "--export-fields", strAll};
    const QStringList aliases = {"compare-dd", "--attributes", "DTAT,DTAS,OWTP,DTAD,CDEC", "--export-aliases", strAll};
    QTest::newRow("tables") << tables << "DEMO_PROD" << true;
    QTest::newRow("tables, case-sensitive, in French")
        << tables + QStringList{"--case-sensitive", "--lang", "fr"} << "DEMO_PROD" << true;
    QTest::newRow("tables of one data source") << tables << "DEMO_DEV" << false;
    QTest::newRow("fields") << fields << "DEMO_PROD" << true;
    QTest::newRow("fields of a table only on the left")
        << QStringList{"compare-fields", "--table", "F55DEV01", "--export-fields", strAll} << "DEMO_PROD" << false;
    QTest::newRow("aliases") << aliases << "DEMO_PROD" << true;
    QTest::newRow("aliases of one data source") << aliases << "DEMO_DEV" << false;
}

// --summary json on the demo: one JSON object alone on stdout whose counters
// and names are those of the export written in the same run, and of the
// counters the same run prints without it; the export does not change.
void TestCli::jsonSummary()
{
    QFETCH(QStringList, args);
    QFETCH(QString, right);
    QFETCH(bool, differences);
    KV_ROWS_FIXTURE(demo, DemoSources);
    Q_UNUSED(demo);
    const QString strCommand = args.first();
    QTemporaryDir dir;
    const QString strJsonExport = dir.filePath(QStringLiteral("json.csv"));
    const QString strTextExport = dir.filePath(QStringLiteral("text.csv"));
    const QStringList sides = {"--left", "DEMO_DEV", "--right", right};
    const CliRun json = RunCli(args + sides + QStringList{"--summary", "json", "--export", strJsonExport});
    const CliRun text = RunCli(args + sides + QStringList{"--export", strTextExport});
    QVERIFY2(json.nStatus == 0, qPrintable(json.strErr));
    QVERIFY2(text.nStatus == 0, qPrintable(text.strErr));
    const QJsonObject summary = ParseSummary(json.strOut);
    QVERIFY2(!summary.isEmpty(), qPrintable(json.strOut));
    QVERIFY2(json.strErr.contains(QLatin1String("export: ") + strJsonExport), qPrintable(json.strErr));

    const QByteArray exported = ReadFile(strJsonExport);
    QCOMPARE(exported, ReadFile(strTextExport));
    const QList<QStringList> items = ExportItems(exported, strCommand);
    QCOMPARE(items.size(), 4);
    const QJsonObject counts = summary.value(QLatin1String("counts")).toObject();
    const QJsonObject names = summary.value(QLatin1String("items")).toObject();
    int nNotSame = 0;
    for (int nStatus = 0; nStatus < 4; ++nStatus) {
        const QLatin1String key(kSummaryKeys[nStatus]);
        QVERIFY2(counts.value(key).isDouble(), key.data());
        QCOMPARE(counts.value(key).toInt(), items.at(nStatus).size());
        QCOMPARE(names.value(key).toVariant().toStringList(), items.at(nStatus));
        if (nStatus != 0)
            nNotSame += counts.value(key).toInt();
    }
    QCOMPARE(nNotSame > 0, differences);
    // The counters printed without --summary, in status order, for the same items.
    QStringList arrCounters = text.strOut.split(u'\n', Qt::SkipEmptyParts);
    arrCounters.removeLast();   // the export line
    arrCounters = arrCounters.mid(arrCounters.size() - 4);
    QCOMPARE(arrCounters.size(), 4);
    for (int nStatus = 0; nStatus < 4; ++nStatus)
        QCOMPARE(arrCounters.at(nStatus).section(u' ', 0, 0), QString::number(items.at(nStatus).size()));
}

void TestCli::failOnDifferences_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    const QStringList tables = {"compare-tables", "--left", "DEMO_DEV", "--sql-types"};
    const QStringList fields = {"compare-fields", "--left", "DEMO_DEV", "--table", "F0101"};
    const QStringList aliases = {"compare-dd", "--left", "DEMO_DEV"};
    for (const bool bJson : {false, true}) {
        const QStringList json = bJson ? QStringList{"--summary", "json"} : QStringList{};
        const char* pszMode = bJson ? "json" : "counters";
        QTest::addRow("tables, two data sources, %s", pszMode)
            << tables + QStringList{"--right", "DEMO_PROD"} + json << 4;
        QTest::addRow("tables, one data source, %s", pszMode)
            << tables + QStringList{"--right", "DEMO_DEV"} + json << 0;
        QTest::addRow("fields, two data sources, %s", pszMode)
            << fields + QStringList{"--right", "DEMO_PROD"} + json << 4;
        QTest::addRow("fields, one data source, %s", pszMode)
            << fields + QStringList{"--right", "DEMO_DEV"} + json << 0;
        QTest::addRow("aliases, two data sources, %s", pszMode)
            << aliases + QStringList{"--right", "DEMO_PROD"} + json << 4;
        QTest::addRow("aliases, one data source, %s", pszMode)
            << aliases + QStringList{"--right", "DEMO_DEV"} + json << 0;
        // A table on one side only has no field to count, and is a difference.
        QTest::addRow("fields of a table only on the left, %s", pszMode)
            << QStringList{"compare-fields", "--left", "DEMO_DEV", "--right", "DEMO_PROD", "--table", "F55DEV01"} + json
            << 4;
    }
    QTest::newRow("failure keeps its status")
        << QStringList{"compare-tables", "--left", "DEMO_DEV", "--right", "NO_SUCH_SOURCE"} << 1;
}

void TestCli::failOnDifferences()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    KV_ROWS_FIXTURE(demo, DemoSources);
    Q_UNUSED(demo);
    const CliRun plain = RunCli(args);
    const CliRun failing = RunCli(args + QStringList{"--fail-on-differences"});
    if (status == 1) {
        VerifyOneLineError(failing, 1, {"NO_SUCH_SOURCE"});
        return;
    }
    QVERIFY2(plain.nStatus == 0, qPrintable(plain.strErr));
    QVERIFY2(failing.nStatus == status,
             qPrintable(QStringLiteral("status %1: %2").arg(failing.nStatus).arg(failing.strErr)));
    // The same output either way; with --summary json, the JSON object.
    QCOMPARE(failing.strOut, plain.strOut);
    if (args.contains(QLatin1String("--summary")))
        QVERIFY2(!ParseSummary(failing.strOut).isEmpty(), qPrintable(failing.strOut));
    else
        QVERIFY2(!failing.strOut.isEmpty() && !failing.strOut.startsWith(u'{'), qPrintable(failing.strOut));
}

// The manual page of the build is the one the program writes, renders
// without a warning, and names every command and option the help does.
void TestCli::manPage()
{
    const QByteArray page = ReadFile(kvtest::BuildPath(KITVANE_CLI_MAN_PAGE));
    QProcess program;
    Start(program, {"--man-page"});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(page, program.readAllStandardOutput());

    // Option names keep their hyphens escaped outside comments.
    const QStringList arrSource = QString::fromUtf8(page).split(u'\n');
    for (const QString& strLine : arrSource) {
        if (!strLine.startsWith(QLatin1String(".\\\"")))
            QVERIFY2(!strLine.contains(QRegularExpression(QStringLiteral("(^|[^\\\\])--"))), qPrintable(strLine));
    }
    for (const char* pszSection :
         {"NAME", "SYNOPSIS", "DESCRIPTION", "COMMANDS", "EXIT STATUS", "FILES", "EXAMPLES", "SEE ALSO"})
        QVERIFY2(arrSource.contains(QStringLiteral(".SH ") + QLatin1String(pszSection)), pszSection);

    QProcess groff;
    groff.start(QStringLiteral("groff"), {"-ww", "-man", "-Tutf8", "-P-cbou", "-rLL=300n", "-rHY=0",
                                          kvtest::BuildPath(KITVANE_CLI_MAN_PAGE)});
    QVERIFY2(groff.waitForFinished(60000), "groff did not run (install-deps installs groff-base)");
    const QString strErrors = QString::fromUtf8(groff.readAllStandardError());
    QVERIFY2(strErrors.isEmpty(), qPrintable(strErrors));
    QCOMPARE(groff.exitCode(), 0);
    const QString strRendered = QString::fromUtf8(groff.readAllStandardOutput());
    const QStringList arrRendered = strRendered.split(u'\n');
    for (const char* pszHeading : {"EXIT STATUS", "FILES", "SEE ALSO"})
        QVERIFY2(arrRendered.contains(QLatin1String(pszHeading)), pszHeading);
    for (const char* pszText : {"~/.odbc.ini", "$ODBCINI", "odbcinst(1)", "isql(1)"})
        QVERIFY2(strRendered.contains(QLatin1String(pszText)), pszText);

    const CliRun help = RunCli({"--help"});
    const QStringList arrCommands = HelpCommands(help.strOut);
    QCOMPARE(arrCommands.size(), 10);
    for (const QString& strCommand : arrCommands) {
        // The command as a subsection heading, then its summary and options.
        const qsizetype nAt = arrRendered.indexOf(QStringLiteral("   ") + strCommand);
        QVERIFY2(nAt >= 0, qPrintable(strCommand));
        const qsizetype nNext = std::find_if(arrRendered.begin() + nAt + 1, arrRendered.end(),
                                             [](const QString& strLine) {
                                                 return strLine.startsWith(QLatin1String("   "))
                                                        && !strLine.startsWith(QLatin1String("    "));
                                             })
                                - arrRendered.begin();
        const QString strSection = arrRendered.mid(nAt, nNext - nAt).join(u'\n');
        const CliRun commandHelp = RunCli({strCommand, "--help"});
        QVERIFY2(strSection.contains(commandHelp.strOut.section(u'\n', 1, 1)), qPrintable(strSection));
        for (const QString& strOption : HelpOptions(commandHelp.strOut)) {
            // The general options have their own section.
            if (strOption == QLatin1String("--lang") || strOption == QLatin1String("--help")
                || strOption == QLatin1String("--version"))
                QVERIFY2(strRendered.contains(QStringLiteral("\n       ") + strOption), qPrintable(strOption));
            else
                QVERIFY2(strSection.contains(QStringLiteral("\n       ") + strOption),
                         qPrintable(strCommand + u' ' + strOption));
        }
    }
}

void TestCli::bashCompletion_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("command name") << QStringList{"compare-"}
                                  << QStringList{"compare-dd", "compare-fields", "compare-tables"};
    QTest::newRow("every command") << QStringList{""}
                                   << QStringList{"compare-dd", "compare-fields", "compare-tables", "decimal-update",
                                                  "demo", "dsns", "schemas", "structure", "table-stats", "tables"};
    QTest::newRow("general option before the command") << QStringList{"--v"} << QStringList{"--version"};
    QTest::newRow("command after a general option") << QStringList{"--lang", "fr", "st"} << QStringList{"structure"};
    QTest::newRow("option of the command") << QStringList{"compare-dd", "--exp"}
                                           << QStringList{"--export", "--export-aliases"};
    QTest::newRow("option after general options") << QStringList{"--lang", "fr", "compare-tables", "--fail"}
                                                   << QStringList{"--fail-on-differences"};
    QTest::newRow("option of another command") << QStringList{"tables", "--exp"} << QStringList{};
    QTest::newRow("general option after the command") << QStringList{"tables", "--la"} << QStringList{"--lang"};
    QTest::newRow("language") << QStringList{"tables", "--lang", ""} << QStringList{"en", "fr"};
    QTest::newRow("summary") << QStringList{"compare-fields", "--summary", ""} << QStringList{"json"};
    QTest::newRow("data source") << QStringList{"compare-tables", "--left", "DEMO_"}
                                 << QStringList{"DEMO_DEV", "DEMO_PROD"};
    QTest::newRow("data source of a tool") << QStringList{"decimal-update", "--dsn", "DEMO_P"}
                                           << QStringList{"DEMO_PROD"};
    QTest::newRow("no completion of a schema") << QStringList{"tables", "--schema", ""} << QStringList{};
}

// The completion file of the build is the one the program writes, is valid
// bash, and its function completes commands, options and values, the data
// sources from the program's own list.
void TestCli::bashCompletion()
{
    QFETCH(QStringList, words);
    QFETCH(QStringList, expected);
    KV_ROWS_FIXTURE(demo, DemoSources);
    Q_UNUSED(demo);
    const QString strScript = kvtest::BuildPath(KITVANE_CLI_COMPLETION);
    QProcess program;
    Start(program, {"--bash-completion"});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(ReadFile(strScript), program.readAllStandardOutput());
    QProcess syntax;
    syntax.start(QStringLiteral("bash"), {"-n", strScript});
    QVERIFY(syntax.waitForFinished(60000));
    QVERIFY2(syntax.exitCode() == 0, syntax.readAllStandardError().constData());
    QCOMPARE(Completions(strScript, QStringList{kvtest::BuildPath(KITVANE_CLI)} + words), expected);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
