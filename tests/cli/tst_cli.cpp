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
#include "tests/support/recorders.h"

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include <poll.h>
#include <pty.h>
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

QProcessEnvironment ChildEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString strFolder = kvtest::OdbcEnvironment::Instance().Folder();
    environment.insert(QStringLiteral("ODBCSYSINI"), strFolder);
    environment.insert(QStringLiteral("ODBCINI"), strFolder + QStringLiteral("/odbc-user.ini"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_US.UTF-8"));
    return environment;
}

void Start(QProcess& process, const QStringList& arrArgs)
{
    process.setProcessEnvironment(ChildEnvironment());
    process.start(QStringLiteral(KITVANE_CLI), arrArgs);
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

CliRun RunCli(const QStringList& arrArgs)
{
    QProcess process;
    Start(process, arrArgs);
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
    const QString strPath = QStringLiteral(KITVANE_CLI_GOLDEN "/") + strName;
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
    QList<QByteArray> argStore{QByteArrayLiteral(KITVANE_CLI)};
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

void VerifyUsageError(const CliRun& run)
{
    QCOMPARE(run.nStatus, 2);
    QVERIFY2(run.strOut.isEmpty(), qPrintable(run.strOut));
    QVERIFY2(run.strErr.startsWith(QLatin1String("kitvane-cli: ")), qPrintable(run.strErr));
    QCOMPARE(run.strErr.count(u'\n'), 1);
}

}  // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void usageErrors_data();
    void usageErrors();
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
    void replaceRefused();
    void replaceOnTerminal_data();
    void replaceOnTerminal();
    void interrupted();
    void toolInterrupted_data();
    void toolInterrupted();
    void owtpWithoutColumn_data();
    void owtpWithoutColumn();
    void demo();
};

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
    QTest::newRow("status word") << QStringList{"compare-tables", "--left", "A", "--right", "B", "--export-tables",
                                                "same,odd"}
                                 << "unknown word 'odd'";
    QTest::newRow("no attribute") << QStringList{"compare-dd", "--left", "A", "--right", "B", "--attributes", ""}
                                  << "name at least one attribute";
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
    if (engine == Engine::SQLite)
        return;   // its one schema needs no choice
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
    QCOMPARE(ReadFile(strPath), Golden(QStringLiteral(KITVANE_TOOLS_GOLDEN "/nothing_to_update_en.txt")));
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

void TestCli::interrupted()
{
    // Enough tables that the run is still going when Ctrl-C comes.
    JdeOptions options;
    options.nExtraTables = 1500;
    KV_JDE_BED(bed, Engine::SQLite, options);
    QProcess process;
    Start(process, {"compare-tables", "--left", bed->pDatabase->Dsn(), "--right", bed->pDatabase->Dsn()});
    QVERIFY(process.waitForStarted());
    QTest::qWait(400);
    ::kill(pid_t(process.processId()), SIGINT);
    const CliRun run = Finish(process);
    QCOMPARE(run.nStatus, 3);
    QVERIFY2(run.strErr.contains(QLatin1String("cancelled")), qPrintable(run.strErr));
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
    QTest::newRow("left lacks FROWTP") << false << true;
    QTest::newRow("right lacks FROWTP") << true << false;
    QTest::newRow("both have it") << true << true;
}

// OWTP asked for where a dictionary has no FROWTP: a notice, and the
// comparison runs on the other attributes.
void TestCli::owtpWithoutColumn()
{
    QFETCH(bool, leftHasOwtp);
    QFETCH(bool, rightHasOwtp);
    const auto Options = [](bool bHasOwtp) {
        JdeOptions options;
        options.dictionary = bHasOwtp ? kvtest::Dictionary::F9210 : kvtest::Dictionary::F9210WithoutOwtp;
        return options;
    };
    KV_JDE_BED(left, Engine::SQLite, Options(leftHasOwtp));
    KV_JDE_BED(right, Engine::SQLite, Options(rightHasOwtp));
    right->pDatabase->Exec(QStringLiteral("UPDATE F9210 SET FRDTAS=17 WHERE FRDTAI='AA'"));
    const CliRun run = RunCli({"compare-dd", "--left", left->pDatabase->Dsn(), "--right", right->pDatabase->Dsn(),
                               "--attributes", "OWTP,DTAS", "--lang", "en"});
    QVERIFY2(run.nStatus == 0, qPrintable(run.strErr));
    const bool bNotice = !(leftHasOwtp && rightHasOwtp);
    QCOMPARE(run.strErr, bNotice ? QStringLiteral("OWTP not compared: a data dictionary has no FROWTP column\n")
                                 : QString());
    QVERIFY2(run.strOut.contains(QLatin1String("\n1 alias(es) is/are different\n")), qPrintable(run.strOut));
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

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
