#include "db/database.h"

#include "db/dbexception.h"

#include <mutex>
#include <utility>

namespace {

std::mutex g_envMutex;
SQLHENV g_henv = SQL_NULL_HENV;
int g_nConnections = 0;
CDatabase::EnvironmentAllocator g_pAllocateEnvironment = &SQLAllocEnv;

constexpr SQLULEN kLoginTimeoutSeconds = 15;
constexpr SQLSMALLINT kOutConnectChars = 1024;

// Takes a share of the environment, allocating it for the first connection.
// A failed allocation leaves no share taken and returns SQL_NULL_HENV with the
// allocator's code: nothing is raised under the lock, since building the
// exception reads the shared environment and would lock it again.
SQLHENV AcquireEnvironment(SQLRETURN& nRet)
{
    std::lock_guard lock(g_envMutex);
    nRet = SQL_SUCCESS;
    if (g_nConnections == 0) {
        nRet = g_pAllocateEnvironment(&g_henv);
        if (!SqlSucceeded(nRet)) {
            g_henv = SQL_NULL_HENV;
            return SQL_NULL_HENV;
        }
    }
    ++g_nConnections;
    return g_henv;
}

void ReleaseEnvironment()
{
    std::lock_guard lock(g_envMutex);
    if (--g_nConnections == 0) {
        SQLFreeEnv(g_henv);
        g_henv = SQL_NULL_HENV;
    }
}

}  // namespace

CDatabase::~CDatabase()
{
    Close();
}

SQLHENV CDatabase::SharedEnvironment()
{
    std::lock_guard lock(g_envMutex);
    return g_henv;
}

int CDatabase::OpenConnectionCount()
{
    std::lock_guard lock(g_envMutex);
    return g_nConnections;
}

CDatabase::EnvironmentAllocator CDatabase::SetEnvironmentAllocator(EnvironmentAllocator pAllocate)
{
    std::lock_guard lock(g_envMutex);
    return std::exchange(g_pAllocateEnvironment, pAllocate);
}

bool CDatabase::OpenEx(const QString& strConnect)
{
    Close();

    SQLRETURN nRet = SQL_SUCCESS;
    const SQLHENV henv = AcquireEnvironment(nRet);
    if (henv == SQL_NULL_HENV) {
        throw CDBException(nRet, QStringLiteral("The ODBC driver manager could not allocate an environment "
                                                "(SQLAllocEnv returned %1).")
                                     .arg(nRet));
    }
    m_bHoldsEnvironment = true;

    nRet = SQLAllocConnect(henv, &m_hdbc);
    if (!SqlSucceeded(nRet)) {
        m_hdbc = SQL_NULL_HDBC;
        // Read while the environment, which holds the diagnostics, is still there.
        CDBException error(nRet, SQL_NULL_HDBC, SQL_NULL_HSTMT);
        Close();
        throw error;
    }

    // A driver without login timeouts just ignores the option.
    SQLSetConnectOptionW(m_hdbc, SQL_LOGIN_TIMEOUT, kLoginTimeoutSeconds);

    nRet = SQLSetConnectOptionW(m_hdbc, SQL_ACCESS_MODE, SQL_MODE_READ_ONLY);
    if (!SqlSucceeded(nRet)) {
        // Never go on with a connection the driver would not make read-only.
        CDBException error(nRet, m_hdbc, SQL_NULL_HSTMT);
        Close();
        throw error;
    }

    // SQL_ODBC_CURSORS / SQL_CUR_USE_ODBC is deliberately not set: on unixODBC
    // it loads the cursor library, after which SQLExecDirectW fails with IM001
    // on psqlODBC and MariaDB. Nothing here scrolls backwards, so the drivers'
    // forward-only cursors are enough.

    SQLWCHAR szOut[kOutConnectChars + 1] = {};
    SQLSMALLINT nOutLength = 0;
    // No window handle on this platform: the driver completes from its DSN
    // and cannot show a login dialog of its own.
    const auto driverConnect = [&](SQLUSMALLINT nCompletion) {
        return SQLDriverConnectW(m_hdbc, nullptr, ToSqlWChar(strConnect), SQL_NTS, szOut, kOutConnectChars,
                                 &nOutLength, nCompletion);
    };
    nRet = driverConnect(SQL_DRIVER_COMPLETE);
    if (nRet == SQL_NO_DATA) {
        Close();
        return false;
    }
    if (!SqlSucceeded(nRet)) {
        CDBException error(nRet, m_hdbc, SQL_NULL_HSTMT);
        // A driver that wanted its login dialog and could not show one
        // (MariaDB's, on a refused login or a server that is down) reports
        // only that: asked again without a dialog, it gives its own reason.
        if (!error.m_arrCodes.isEmpty() && error.m_arrCodes.first().strState == QLatin1String("IM008")) {
            nRet = driverConnect(SQL_DRIVER_NOPROMPT);
            if (!SqlSucceeded(nRet))
                error = CDBException(nRet, m_hdbc, SQL_NULL_HSTMT);
        }
        if (!SqlSucceeded(nRet)) {
            Close();
            throw error;
        }
    }

    SQLSMALLINT nApiConformance = -1;
    SQLSMALLINT nSqlConformance = -1;
    const SQLRETURN nApiRet = SQLGetInfoW(m_hdbc, SQL_ODBC_API_CONFORMANCE, &nApiConformance,
                                          sizeof(nApiConformance), nullptr);
    const SQLRETURN nSqlRet = SQLGetInfoW(m_hdbc, SQL_ODBC_SQL_CONFORMANCE, &nSqlConformance,
                                          sizeof(nSqlConformance), nullptr);
    if (!SqlSucceeded(nApiRet) || !SqlSucceeded(nSqlRet)) {
        CDBException error(!SqlSucceeded(nApiRet) ? nApiRet : nSqlRet, m_hdbc, SQL_NULL_HSTMT);
        Close();
        throw error;
    }
    if (nApiConformance < SQL_OAC_LEVEL1 || nSqlConformance < 0) {
        Close();
        throw CDBException(SQL_ERROR, nApiConformance < SQL_OAC_LEVEL1
                                          ? QStringLiteral("The ODBC driver reports API conformance level %1; "
                                                           "level 1 or higher is needed.")
                                                .arg(nApiConformance)
                                          : QStringLiteral("The ODBC driver reports SQL conformance level %1; "
                                                           "level 0 or higher is needed.")
                                                .arg(nSqlConformance));
    }
    return true;
}

void CDatabase::Close()
{
    if (m_hdbc != SQL_NULL_HDBC) {
        SQLDisconnect(m_hdbc);
        SQLFreeConnect(m_hdbc);
        m_hdbc = SQL_NULL_HDBC;
    }
    if (m_bHoldsEnvironment) {
        m_bHoldsEnvironment = false;
        ReleaseEnvironment();
    }
}
