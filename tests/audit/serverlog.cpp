#include "tests/audit/serverlog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QThread>

#include <stdexcept>

namespace kvtest {

namespace {

[[noreturn]] void NotLogging(Engine engine, const QString& strWhat)
{
    throw std::runtime_error((EngineName(engine) + QStringLiteral(" test server ") + strWhat
                              + QStringLiteral("; restart it with scripts/test-servers start"))
                                 .toStdString());
}

}  // namespace

ServerLog::ServerLog(Engine engine) : m_engine(engine)
{
    try {
        m_pConnection = std::make_unique<RawConnection>(AdminConnectString(engine));
    } catch (const std::exception& error) {
        NotLogging(engine, QStringLiteral("is not reachable (") + QString::fromUtf8(error.what()) + QLatin1Char(')'));
    }
    if (engine == Engine::PostgreSQL) {
        if (m_pConnection->Scalar(QStringLiteral("SHOW log_statement")) != QLatin1String("all")
            || !m_pConnection->Scalar(QStringLiteral("SHOW log_line_prefix")).contains(QLatin1String("user=%u")))
            NotLogging(engine, QStringLiteral("does not log every statement with its login"));
        m_strPath = m_pConnection->Scalar(QStringLiteral("SELECT pg_current_logfile()"));
        if (m_strPath.isEmpty())
            NotLogging(engine, QStringLiteral("has no log file of its own (logging_collector is off)"));
    } else {
        const QStringList settings = m_pConnection->Query(
            QStringLiteral("SELECT @@general_log, @@log_output, @@general_log_file, @@datadir")).value(0);
        if (settings.size() != 4 || settings[0] != QLatin1String("1") || !settings[1].contains(QLatin1String("FILE")))
            NotLogging(engine, QStringLiteral("does not write its general log to a file"));
        m_strPath = QDir::isRelativePath(settings[2]) ? settings[3] + QLatin1Char('/') + settings[2] : settings[2];
    }
    if (!QFileInfo(m_strPath).isReadable())
        NotLogging(engine, QStringLiteral("logs to ") + m_strPath + QStringLiteral(", which cannot be read here"));
}

ServerLog::~ServerLog() = default;

qint64 ServerLog::Size() const
{
    return QFileInfo(m_strPath).size();
}

bool ServerLog::WaitForToken(const QString& strToken, int nTimeoutMs)
{
    const qint64 nStart = Size();
    m_pConnection->Exec(QStringLiteral("SELECT ") + Quoted(strToken));
    QElapsedTimer timer;
    timer.start();
    while (!ReadFrom(nStart).contains(strToken)) {
        if (timer.hasExpired(nTimeoutMs))
            return false;
        QThread::msleep(50);
    }
    return true;
}

QString ServerLog::ReadFrom(qint64 nOffset) const
{
    QFile file(m_strPath);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(nOffset))
        throw std::runtime_error(("cannot read " + m_strPath + ": " + file.errorString()).toStdString());
    return QString::fromUtf8(file.readAll());
}

QList<LoggedStatement> ServerLog::StatementsFrom(qint64 nOffset) const
{
    const QString strLog = ReadFrom(nOffset);
    return m_engine == Engine::PostgreSQL ? ParsePostgres(strLog) : ParseMariaDb(strLog);
}

QList<LoggedStatement> ServerLog::ParsePostgres(const QString& strLog)
{
    // log_line_prefix '%m [%p] user=%u db=%d '; a message's further lines
    // start with a tab.
    static const QRegularExpression entry(QStringLiteral(
        R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d(?:\.\d+)? \S+ \[\d+\] user=(\S*) db=(\S*) ([A-Z0-9]+):  (.*)$)"));
    // log_statement's own messages, for the simple and the extended protocol.
    static const QRegularExpression statement(QStringLiteral(R"(^(?:statement|execute [^:]+): )"));
    QList<LoggedStatement> statements;
    bool bInStatement = false;
    for (const QString& strLine : strLog.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (strLine.startsWith(QLatin1Char('\t'))) {
            if (bInStatement)
                statements.last().strText += QLatin1Char('\n') + strLine.mid(1);
            continue;
        }
        bInStatement = false;
        const QRegularExpressionMatch line = entry.match(strLine);
        if (!line.hasMatch() || line.captured(3) != QLatin1String("LOG"))
            continue;
        const QString strMessage = line.captured(4);
        const QRegularExpressionMatch head = statement.match(strMessage);
        if (!head.hasMatch())
            continue;
        statements.append({line.captured(1), line.captured(2), QString(), strMessage.mid(head.capturedLength())});
        bInStatement = true;
    }
    return statements;
}

QList<LoggedStatement> ServerLog::ParseMariaDb(const QString& strLog)
{
    // [YYMMDD HH:MM:SS]<tabs><thread id> <command><tab><argument>; a
    // statement's further lines follow as they are.
    static const QRegularExpression entry(
        QStringLiteral(R"(^(?:\d{6}\s+\d{1,2}:\d\d:\d\d)?\t+\s*(\d+) ([A-Za-z][A-Za-z ]*)\t(.*)$)"));
    // The lines a (re)started server writes first; its thread ids start over.
    static const QRegularExpression header(
        QStringLiteral(R"(^(?:\S.*, Version: .*|Tcp port: .*|Time\s+Id\s+Command\s+Argument)$)"));
    static const QRegularExpression login(QStringLiteral(R"(^(\S+)@\S+ (?:as \S+ )?on\b)"));
    QList<LoggedStatement> statements;
    QHash<QString, QString> loginOfThread;
    bool bInEntry = false;
    for (const QString& strLine : strLog.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (header.match(strLine).hasMatch()) {
            loginOfThread.clear();
            bInEntry = false;
            continue;
        }
        const QRegularExpressionMatch line = entry.match(strLine);
        if (!line.hasMatch()) {
            if (bInEntry)
                statements.last().strText += QLatin1Char('\n') + strLine;
            continue;
        }
        const QString strThread = line.captured(1);
        const QString strCommand = line.captured(2);
        const QString strText = line.captured(3);
        if (strCommand == QLatin1String("Connect")) {
            const QRegularExpressionMatch user = login.match(strText);
            if (user.hasMatch())
                loginOfThread.insert(strThread, user.captured(1));
            else
                loginOfThread.remove(strThread);   // a refused login
        }
        statements.append({loginOfThread.value(strThread), QString(), strCommand, strText});
        bInEntry = true;
    }
    return statements;
}

}  // namespace kvtest
