#include "tests/support/odbctrace.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace kvtest {

namespace {

// One traced record: "[ODBC][pid][time][File.c][line]" and its field lines.
struct TraceRecord
{
    QString strSource;   // e.g. "SQLAllocHandle.c"
    QStringList lines;

    bool IsEntry() const { return !lines.isEmpty() && lines.first() == QLatin1String("Entry:"); }
    bool IsSuccessfulExit() const
    {
        return !lines.isEmpty()
               && (lines.first() == QLatin1String("Exit:[SQL_SUCCESS]")
                   || lines.first() == QLatin1String("Exit:[SQL_SUCCESS_WITH_INFO]"));
    }
    QString Field(const QString& strName) const
    {
        const QString strPrefix = strName + QStringLiteral(" = ");
        for (const QString& strLine : lines) {
            if (strLine.startsWith(strPrefix))
                return strLine.mid(strPrefix.size());
        }
        return QString();
    }
};

QList<TraceRecord> ParseRecords(const QString& strPath)
{
    QList<TraceRecord> records;
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return records;
    static const QRegularExpression header(QStringLiteral("^\\[ODBC\\]\\[\\d+\\]\\[[^\\]]*\\]\\[([^\\]]+)\\]\\[\\d+\\]"));
    while (!file.atEnd()) {
        const QString strLine = QString::fromUtf8(file.readLine()).trimmed();
        const QRegularExpressionMatch match = header.match(strLine);
        if (match.hasMatch())
            records.append(TraceRecord{match.captured(1), {}});
        else if (!records.isEmpty() && !strLine.isEmpty())
            records.last().lines.append(strLine);
    }
    return records;
}

bool IsConnectOption(const TraceRecord& record)
{
    return record.strSource == QLatin1String("SQLSetConnectOption.c")
           || record.strSource == QLatin1String("SQLSetConnectOptionW.c");
}

bool IsDriverConnect(const TraceRecord& record)
{
    return record.strSource == QLatin1String("SQLDriverConnect.c")
           || record.strSource == QLatin1String("SQLDriverConnectW.c");
}

// The connection a pre-connect call (an option, a connect) is made on. A
// handle already connected was freed and allocated anew at the same
// address: a new connection.
OdbcConnectionTrace& ConnectionOf(OdbcTraceSummary& summary, const QString& strHandle)
{
    for (qsizetype i = summary.connections.size() - 1; i >= 0; --i) {
        OdbcConnectionTrace& connection = summary.connections[i];
        if (connection.strHandle != strHandle)
            continue;
        if (!connection.bConnected && !connection.bFreed)
            return connection;
        break;
    }
    summary.connections.append(OdbcConnectionTrace{strHandle, {}, {}, false, false});
    return summary.connections.last();
}

void MarkConnectionFreed(OdbcTraceSummary& summary, const QString& strHandle)
{
    for (qsizetype i = summary.connections.size() - 1; i >= 0; --i) {
        if (summary.connections[i].strHandle == strHandle) {
            summary.connections[i].bFreed = true;
            return;
        }
    }
}

}  // namespace

OdbcTraceSummary ReadOdbcTrace(const QString& strPath)
{
    OdbcTraceSummary summary;
    const QList<TraceRecord> records = ParseRecords(strPath);
    QString strFreeing;
    bool bAllocatingStatement = false;
    const TraceRecord* pConnectionEntry = nullptr;   // the option or connect call awaiting its exit
    QSet<QString> connectedHandles;                  // between a connect and its disconnect
    for (const TraceRecord& record : records) {
        if (record.strSource == QLatin1String("SQLDisconnect.c") && record.IsEntry())
            connectedHandles.remove(record.Field(QStringLiteral("Connection")));
        if (IsConnectOption(record) || IsDriverConnect(record)) {
            const QString strHandle = pConnectionEntry != nullptr ? pConnectionEntry->Field(QStringLiteral("Connection"))
                                                                  : QString();
            if (record.IsEntry()) {
                pConnectionEntry = &record;
            } else if (pConnectionEntry != nullptr && pConnectionEntry->strSource == record.strSource
                       && !(IsConnectOption(record) && connectedHandles.contains(strHandle))) {
                // (An option set once connected, such as autocommit, is none
                // of the options before connecting.)
                OdbcConnectionTrace& connection = ConnectionOf(summary, strHandle);
                if (IsDriverConnect(record)) {
                    connection.connectCompletions.append(pConnectionEntry->Field(QStringLiteral("Completion")).toInt());
                    connection.bConnected = connection.bConnected || record.IsSuccessfulExit();
                    if (record.IsSuccessfulExit())
                        connectedHandles.insert(strHandle);
                } else if (record.IsSuccessfulExit()) {
                    connection.optionsBeforeConnect.insert(pConnectionEntry->Field(QStringLiteral("Option")),
                                                           pConnectionEntry->Field(QStringLiteral("Value")));
                }
                pConnectionEntry = nullptr;
            }
        }
        if (record.IsEntry()) {
            ++summary.nCalls;
            ++summary.callsByFunction[record.strSource.chopped(record.strSource.endsWith(QLatin1String(".c")) ? 2 : 0)];
            const bool bStatement = record.Field(QStringLiteral("Handle Type")) == QLatin1String("3");
            if (record.strSource == QLatin1String("SQLAllocHandle.c"))
                bAllocatingStatement = bStatement;
            else if (record.strSource == QLatin1String("SQLAllocStmt.c"))
                bAllocatingStatement = true;
            if (record.strSource == QLatin1String("SQLFreeHandle.c") && bStatement)
                strFreeing = record.Field(QStringLiteral("Input Handle"));
            if (record.strSource == QLatin1String("SQLFreeHandle.c")
                && record.Field(QStringLiteral("Handle Type")) == QLatin1String("2"))
                MarkConnectionFreed(summary, record.Field(QStringLiteral("Input Handle")));
            continue;
        }
        if (record.strSource == QLatin1String("SQLAllocHandle.c")
            || record.strSource == QLatin1String("SQLAllocStmt.c")) {
            if (bAllocatingStatement && record.IsSuccessfulExit()) {
                ++summary.nStatementsAllocated;
                summary.liveStatements.insert(record.Field(QStringLiteral("Output Handle")));
            }
            bAllocatingStatement = false;
        } else if (record.strSource == QLatin1String("SQLFreeHandle.c") && !strFreeing.isEmpty()) {
            if (record.IsSuccessfulExit())
                summary.liveStatements.remove(strFreeing);
            strFreeing.clear();
        }
    }
    return summary;
}

}  // namespace kvtest
