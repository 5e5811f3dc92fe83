#pragma once

#include <QSet>
#include <QString>

// Reads the driver manager's own trace of ODBC calls, so tests can check
// what really reached ODBC: how many calls, and which statement handles
// were allocated and never released.
namespace kvtest {

struct OdbcTraceSummary
{
    int nCalls = 0;                     // every entry into the driver manager
    int nStatementsAllocated = 0;
    QSet<QString> liveStatements;       // allocated and not (yet) freed
};

OdbcTraceSummary ReadOdbcTrace(const QString& strPath);

}  // namespace kvtest
