// The statement audit: after the whole suite, the servers' own logs must hold
// nothing but reads from the product's read-only logins. CTest runs
// markLogEnds before the first server test and auditServerLogs after the last
// (a fixture); the other functions check the rules and the log reading.

#include "tests/audit/serverlog.h"
#include "tests/audit/statementrules.h"
#include "tests/support/buildpath.h"

#include <QDateTime>
#include <QFile>
#include <QMap>
#include <QtTest>

using kvtest::Engine;

Q_DECLARE_METATYPE(kvtest::Engine)

namespace {

const QList<Engine> kServerEngines = {Engine::PostgreSQL, Engine::MariaDB};

// InjectionAttempts: the product's read-only login on a database a test
// attacks on purpose; that test reads the server's state after each attempt.
enum class LoginKind { ReadOnly, InjectionAttempts, TestBed, Unknown };

LoginKind KindOf(const kvtest::LoggedStatement& statement)
{
    if (statement.strLogin.isEmpty())
        return LoginKind::Unknown;
    const QString strReadOnlyPrefix = QLatin1String(kvtest::kReadOnlyLoginPrefix);
    if (!statement.strLogin.startsWith(strReadOnlyPrefix))
        return LoginKind::TestBed;
    const QString strTag = QLatin1String(kvtest::kInjectionTag);
    const bool bAttacked = statement.strLogin.startsWith(strReadOnlyPrefix + strTag)
                           || statement.strDatabase.startsWith(QStringLiteral("kv_") + strTag);
    return bAttacked ? LoginKind::InjectionAttempts : LoginKind::ReadOnly;
}

// Where each server's log stood when the suite began: "<engine>\t<path>\t<size>" lines.
QMap<QString, QPair<QString, qint64>> ReadMarks()
{
    QMap<QString, QPair<QString, qint64>> marks;
    QFile file(kvtest::BuildPath(KITVANE_AUDIT_MARKS));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return marks;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 3)
            marks.insert(QString::fromUtf8(fields[0]), {QString::fromUtf8(fields[1]), fields[2].toLongLong()});
    }
    return marks;
}

QString Shortened(const QString& strText)
{
    const QString strLine = strText.simplified();
    return strLine.size() > 300 ? strLine.left(300) + QStringLiteral("...") : strLine;
}

}  // namespace

class TestStatementAudit : public QObject
{
    Q_OBJECT

private slots:
    void judgesStatements_data();
    void judgesStatements();
    void readsServerLogs_data();
    void readsServerLogs();
    void markLogEnds();
    void auditServerLogs();
};

void TestStatementAudit::judgesStatements_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("forms");     // the allowed form of each part
    QTest::addColumn<QString>("refusedPart");   // the part refused, or empty

    const Engine pg = Engine::PostgreSQL;
    const Engine my = Engine::MariaDB;
    const QString select = QStringLiteral("SELECT");
    QTest::newRow("read") << pg << QString() << "SELECT \"ABAN8\" FROM proddta.f0101 WHERE abat1 = 'C'"
                          << QStringList{select} << QString();
    QTest::newRow("psqlODBC settings sent together")
        << pg << QString() << "SET DateStyle = 'ISO';SET extra_float_digits = 2;show transaction_isolation"
        << QStringList{"psqlODBC session settings", "psqlODBC session settings", "SHOW"} << QString();
    QTest::newRow("read-only session") << pg << QString() << "SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"
                                       << QStringList{"read-only session (PostgreSQL)"} << QString();
    QTest::newRow("read-write session") << pg << QString() << "SET SESSION CHARACTERISTICS AS TRANSACTION READ WRITE"
                                        << QStringList() << "SET SESSION CHARACTERISTICS AS TRANSACTION READ WRITE";
    QTest::newRow("update") << pg << QString() << "UPDATE proddta.f0101 SET abalph = 'x'" << QStringList()
                            << "UPDATE proddta.f0101 SET abalph = ''";
    QTest::newRow("update after a setting") << pg << QString() << "SET DateStyle = 'ISO'; update t set a = 1"
                                            << QStringList{"psqlODBC session settings"} << "update t set a = 1";
    QTest::newRow("select into a table") << pg << QString() << "SELECT * INTO copy FROM t" << QStringList()
                                         << "SELECT * INTO copy FROM t";
    QTest::newRow("data-changing WITH") << pg << QString() << "WITH d AS (DELETE FROM t RETURNING *) SELECT count(*) FROM d"
                                        << QStringList() << "WITH d AS (DELETE FROM t RETURNING *) SELECT count(*) FROM d";
    QTest::newRow("sequence advanced") << pg << QString() << "SELECT MAX(nextval('proddta.s')) FROM proddta.f0101"
                                       << QStringList() << "SELECT MAX(nextval('')) FROM proddta.f0101";
    QTest::newRow("large object created") << pg << QString() << "SELECT MAX(lo_create(0)) FROM t" << QStringList()
                                          << "SELECT MAX(lo_create(0)) FROM t";
    QTest::newRow("write words in literals") << pg << QString() << "SELECT 'DELETE; UPDATE', $q$INTO;$q$, \"insert\" FROM t"
                                             << QStringList{select} << QString();
    QTest::newRow("write after a comment") << pg << QString() << "SELECT 1 /* ; */ ; DELETE FROM t -- ;"
                                           << QStringList{select} << "DELETE FROM t";
    QTest::newRow("table created") << pg << QString() << "CREATE TABLE t (a int)" << QStringList()
                                   << "CREATE TABLE t (a int)";

    QTest::newRow("MariaDB settings") << my << "Query" << "SET NAMES utf8mb4"
                                      << QStringList{"Connector/ODBC session settings"} << QString();
    QTest::newRow("MariaDB read-only session") << my << "Query" << "SET SESSION TRANSACTION READ ONLY"
                                               << QStringList{"read-only session (MariaDB)"} << QString();
    QTest::newRow("statement cancelled") << my << "Query" << "KILL QUERY 615"
                                         << QStringList{"statement cancel (Connector/ODBC)"} << QString();
    QTest::newRow("session ended") << my << "Query" << "KILL 615" << QStringList() << "KILL 615";
    QTest::newRow("cancel then session ended") << my << "Query" << "KILL QUERY 615; KILL CONNECTION 616"
                                               << QStringList{"statement cancel (Connector/ODBC)"}
                                               << "KILL CONNECTION 616";
    QTest::newRow("prepared read") << my << "Execute" << "SELECT COUNT(*) FROM `F0101` WHERE ABAT1 = 'C'"
                                   << QStringList{select} << QString();
    // A backslash escapes the quote on MariaDB: the text after it is SQL.
    QTest::newRow("escaped quote hides no file write")
        << my << "Query" << "SELECT a FROM t WHERE c = '\\'' UNION SELECT 1 INTO OUTFILE '/tmp/x' #'" << QStringList()
        << "SELECT a FROM t WHERE c = '' UNION SELECT 1 INTO OUTFILE ''";
    QTest::newRow("executed comment") << my << "Query" << "SELECT 1 /*!50000 INTO OUTFILE '/tmp/x' */" << QStringList()
                                      << "SELECT 1 50000 INTO OUTFILE '' */";
    QTest::newRow("MariaDB sequence") << my << "Query" << "SELECT MAX(NEXT VALUE FOR s) FROM t" << QStringList()
                                      << "SELECT MAX(NEXT VALUE FOR s) FROM t";
    QTest::newRow("connect") << my << "Connect" << "kvro_1_1@localhost on kv_1_1 using TCP/IP"
                             << QStringList{"connect"} << QString();
    QTest::newRow("database dropped by command") << my << "Drop DB" << "kv_1_1" << QStringList()
                                                 << "Drop DB kv_1_1 (a command no form allows)";
}

void TestStatementAudit::judgesStatements()
{
    QFETCH(Engine, engine);
    QFETCH(QString, command);
    QFETCH(QString, text);
    QFETCH(QStringList, forms);
    QFETCH(QString, refusedPart);
    const kvtest::Verdict verdict = kvtest::JudgeStatement(engine, command, text);
    QCOMPARE(verdict.arrForms, forms);
    if (refusedPart.isEmpty())
        QCOMPARE(verdict.strRefused, QString());
    else
        QVERIFY2(verdict.strRefused.startsWith(refusedPart), qPrintable(verdict.strRefused));
}

void TestStatementAudit::readsServerLogs_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("log");
    QTest::addColumn<QStringList>("statements");   // login|command|text

    QTest::newRow("PostgreSQL")
        << Engine::PostgreSQL
        << "2026-12-10 15:05:19.705 UTC [19803] user=kvro_reader db=kv_1_1 LOG:  statement: SELECT a\n\tFROM t\n"
           "2026-12-10 15:05:19.706 UTC [19803] user=kvro_reader db=kv_1_1 LOG:  execute <unnamed>: SELECT 2\n"
           "2026-12-10 15:05:19.707 UTC [19803] user=kvro_reader db=kv_1_1 ERROR:  permission denied for table t\n"
           "2026-12-10 15:05:19.707 UTC [19803] user=kvro_reader db=kv_1_1 STATEMENT:  UPDATE t SET a = 1\n"
           "2026-12-10 15:05:19.708 UTC [19810] user=kitvane db=kv_1_1 LOG:  statement: CREATE TABLE t (a int)\n"
           "2026-12-10 15:05:19.709 UTC [19792] user= db= LOG:  checkpoint starting: time\n"
        << QStringList{"kvro_reader||SELECT a\nFROM t", "kvro_reader||SELECT 2", "kitvane||CREATE TABLE t (a int)"};
    QTest::newRow("MariaDB")
        << Engine::MariaDB
        << "\t\t     4 Query\tSELECT 'before the restart'\n"
           "/usr/sbin/mariadbd, Version: 10.11.19-MariaDB-0+deb12u1 (Debian 12). started with:\n"
           "Tcp port: 54306  Unix socket: /tmp/s/mariadb.sock\n"
           "Time\t\t    Id Command\tArgument\n"
           "261210 15:05:31\t     5 Connect\tkvro_1_1@localhost on kv_1_1 using TCP/IP\n"
           "\t\t     5 Query\tSELECT a\nFROM t\n"
           "\t\t     4 Query\tSELECT 'session opened before'\n"
           "\t\t     6 Connect\tAccess denied for user 'x'@'localhost' (using password: YES)\n"
           "\t\t     5 Quit\t\n"
        << QStringList{"|Query|SELECT 'before the restart'", "kvro_1_1|Connect|kvro_1_1@localhost on kv_1_1 using TCP/IP",
                       "kvro_1_1|Query|SELECT a\nFROM t", "|Query|SELECT 'session opened before'",
                       "|Connect|Access denied for user 'x'@'localhost' (using password: YES)", "kvro_1_1|Quit|"};
}

void TestStatementAudit::readsServerLogs()
{
    QFETCH(Engine, engine);
    QFETCH(QString, log);
    QFETCH(QStringList, statements);
    QStringList read;
    for (const kvtest::LoggedStatement& statement :
         engine == Engine::PostgreSQL ? kvtest::ServerLog::ParsePostgres(log) : kvtest::ServerLog::ParseMariaDb(log))
        read.append(statement.strLogin + QLatin1Char('|') + statement.strCommand + QLatin1Char('|') + statement.strText);
    QCOMPARE(read, statements);
}

void TestStatementAudit::markLogEnds()
{
    QFile::remove(kvtest::BuildPath(KITVANE_AUDIT_REPORT));
    QString strMarks;
    for (Engine engine : kServerEngines) {
        try {
            const kvtest::ServerLog log(engine);
            strMarks += kvtest::EngineName(engine) + QLatin1Char('\t') + log.Path() + QLatin1Char('\t')
                        + QString::number(log.Size()) + QLatin1Char('\n');
        } catch (const std::exception& error) {
            QFAIL(error.what());
        }
    }
    QFile file(kvtest::BuildPath(KITVANE_AUDIT_MARKS));
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text), qPrintable(file.errorString()));
    QVERIFY2(file.write(strMarks.toUtf8()) == strMarks.toUtf8().size(), qPrintable(file.errorString()));
}

void TestStatementAudit::auditServerLogs()
{
    const QMap<QString, QPair<QString, qint64>> marks = ReadMarks();
    // What it saw, also written beside the marks for the test command to show.
    QStringList arrReport;
    int nReadOnly = 0;
    QStringList arrRefused;
    for (Engine engine : kServerEngines) {
        const QString strEngine = kvtest::EngineName(engine);
        std::unique_ptr<kvtest::ServerLog> pLog;
        try {
            pLog = std::make_unique<kvtest::ServerLog>(engine);
        } catch (const std::exception& error) {
            QFAIL(error.what());
        }
        // The suite's part of the log: from the mark on, unless the server
        // has started a new log since.
        const QPair<QString, qint64> mark = marks.value(strEngine);
        const qint64 nStart = mark.first == pLog->Path() && mark.second <= pLog->Size() ? mark.second : 0;
        const QString strToken = QStringLiteral("kitvane statement audit ")
                                 + QString::number(QDateTime::currentMSecsSinceEpoch());
        QVERIFY2(pLog->WaitForToken(strToken, 10000),
                 qPrintable(strEngine + QStringLiteral(": a statement sent did not reach ") + pLog->Path()));

        QMap<LoginKind, int> kinds;
        QMap<QString, int> forms;
        for (const kvtest::LoggedStatement& statement : pLog->StatementsFrom(nStart)) {
            const LoginKind kind = KindOf(statement);
            ++kinds[kind];
            if (kind != LoginKind::ReadOnly)
                continue;
            ++nReadOnly;
            const kvtest::Verdict verdict = kvtest::JudgeStatement(engine, statement.strCommand, statement.strText);
            for (const QString& strForm : verdict.arrForms)
                ++forms[strForm];
            if (!verdict.strRefused.isEmpty()) {
                arrRefused.append(strEngine + QLatin1Char(' ') + statement.strLogin + QStringLiteral(": ")
                                  + Shortened(verdict.strRefused));
            }
        }
        arrReport.append(QStringLiteral("%1 (%2 from byte %3%4): %5 statements from the read-only logins, "
                                        "%6 from the test bed's logins, %7 of no known login "
                                        "(refused logins, sessions opened before the mark), "
                                        "%8 sent to databases attacked on purpose (judged by their test)")
                             .arg(strEngine, pLog->Path())
                             .arg(nStart)
                             .arg(nStart == 0 ? QStringLiteral(", no mark of the suite's start") : QString())
                             .arg(kinds.value(LoginKind::ReadOnly))
                             .arg(kinds.value(LoginKind::TestBed))
                             .arg(kinds.value(LoginKind::Unknown))
                             .arg(kinds.value(LoginKind::InjectionAttempts)));
        for (const kvtest::AllowedForm& form : kvtest::AllowedForms()) {
            if ((form.nEngines & kvtest::EngineBit(engine)) != 0) {
                const QString strForm = QLatin1String(form.pszName);
                arrReport.append(QStringLiteral("  %1 %2  %3")
                                     .arg(strForm, -32)
                                     .arg(forms.value(strForm), 6)
                                     .arg(QLatin1String(form.pszReason)));
            }
        }
    }
    for (const QString& strRefused : std::as_const(arrRefused).mid(0, 30))
        arrReport.append(QStringLiteral("REFUSED ") + strRefused);
    if (arrRefused.size() > 30)
        arrReport.append(QStringLiteral("REFUSED ... %1 in all").arg(arrRefused.size()));
    for (const QString& strLine : std::as_const(arrReport))
        qInfo("%s", qPrintable(strLine));
    QFile report(kvtest::BuildPath(KITVANE_AUDIT_REPORT));
    QVERIFY2(report.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text), qPrintable(report.errorString()));
    report.write((arrReport.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());

    QVERIFY2(arrRefused.isEmpty(), qPrintable(QString::number(arrRefused.size())
                                              + QStringLiteral(" statements from read-only logins are not reads")));
    QVERIFY2(nReadOnly > 0, "the logs hold no statement from the read-only logins: the audit saw nothing to check");
}

QTEST_GUILESS_MAIN(TestStatementAudit)
#include "tst_statementaudit.moc"
