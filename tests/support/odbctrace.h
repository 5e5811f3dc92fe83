#pragma once

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

// Reads the driver manager's own trace of ODBC calls, so tests can check
// what really reached ODBC: how many calls, and which statement handles
// were allocated and never released.
namespace kvtest {

// One connection handle: the options set on it before it connected, as the
// driver manager names them ("SQL_ATTR_LOGIN_TIMEOUT" -> "15"), and the
// completion mode of each SQLDriverConnect call on it.
struct OdbcConnectionTrace
{
    QString strHandle;
    QMap<QString, QString> optionsBeforeConnect;
    QList<int> connectCompletions;
    bool bConnected = false;
    // Freed: a handle allocated later at the same address is another
    // connection, even when this one never connected.
    bool bFreed = false;
};

struct OdbcTraceSummary
{
    int nCalls = 0;                     // every entry into the driver manager
    QMap<QString, int> callsByFunction; // entries per function ("SQLColumnsW")
    int nStatementsAllocated = 0;
    QSet<QString> liveStatements;       // allocated and not (yet) freed
    QList<OdbcConnectionTrace> connections;   // in the order of their first option or connect call
};

OdbcTraceSummary ReadOdbcTrace(const QString& strPath);

}  // namespace kvtest
