#include "db/database.h"

#include "db/dbexception.h"

#include <mutex>

namespace {

std::mutex g_envMutex;
SQLHENV g_henv = SQL_NULL_HENV;
int g_nConnections = 0;

constexpr SQLULEN kLoginTimeoutSeconds = 15;
constexpr SQLSMALLINT kOutConnectChars = 1024;

// Takes a share of the environment, allocating it for the first connection.
SQLHENV AcquireEnvironment()
{
    std::lock_guard lock(g_envMutex);
    if (g_nConnections == 0) {
        const SQLRETURN nRet = SQLAllocEnv(&g_henv);
        if (!SqlSucceeded(nRet)) {
            g_henv = SQL_NULL_HENV;
            ThrowDBException(nRet, SQL_NULL_HDBC, SQL_NULL_HSTMT);
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

bool CDatabase::OpenEx(const QString& strConnect)
{
    Close();

    const SQLHENV henv = AcquireEnvironment();
    m_bHoldsEnvironment = true;

    SQLRETURN nRet = SQLAllocConnect(henv, &m_hdbc);
    if (!SqlSucceeded(nRet)) {
        m_hdbc = SQL_NULL_HDBC;
        Close();
        ThrowDBException(nRet, SQL_NULL_HDBC, SQL_NULL_HSTMT);
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
    nRet = SQLDriverConnectW(m_hdbc, nullptr, ToSqlWChar(strConnect), SQL_NTS, szOut,
                             kOutConnectChars, &nOutLength, SQL_DRIVER_COMPLETE);
    if (nRet == SQL_NO_DATA) {
        Close();
        return false;
    }
    if (!SqlSucceeded(nRet)) {
        CDBException error(nRet, m_hdbc, SQL_NULL_HSTMT);
        Close();
        throw error;
    }

    SQLSMALLINT nApiConformance = -1;
    SQLSMALLINT nSqlConformance = -1;
    const SQLRETURN nApiRet = SQLGetInfoW(m_hdbc, SQL_ODBC_API_CONFORMANCE, &nApiConformance,
                                          sizeof(nApiConformance), nullptr);
    const SQLRETURN nSqlRet = SQLGetInfoW(m_hdbc, SQL_ODBC_SQL_CONFORMANCE, &nSqlConformance,
                                          sizeof(nSqlConformance), nullptr);
    if (!SqlSucceeded(nApiRet) || !SqlSucceeded(nSqlRet) || nApiConformance < SQL_OAC_LEVEL1
        || nSqlConformance < 0) {
        const SQLRETURN nCode = !SqlSucceeded(nApiRet) ? nApiRet
                                : !SqlSucceeded(nSqlRet) ? nSqlRet
                                                         : SQLRETURN(SQL_ERROR);
        CDBException error(nCode, m_hdbc, SQL_NULL_HSTMT);
        Close();
        throw error;
    }
    return true;
}

QString CDatabase::GetInfoString(SQLUSMALLINT nInfo) const
{
    if (!IsOpen())
        return QString();
    SQLWCHAR szValue[64] = {};
    SQLSMALLINT nBytes = 0;
    if (!SqlSucceeded(SQLGetInfoW(m_hdbc, nInfo, szValue, sizeof(szValue) - sizeof(SQLWCHAR), &nBytes)))
        return QString();
    return FromSqlWChar(szValue, 63);
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
