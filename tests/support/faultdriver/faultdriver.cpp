// A small ODBC driver of our own for the failures real drivers cannot be
// made to produce on demand. Each data source says, in its odbc.ini section,
// what to do:
//   ApiConformance=N   the SQL_ODBC_API_CONFORMANCE level reported (default 1)
//   StillExecuting=N   SQLExecDirect answers SQL_STILL_EXECUTING N times first
//   AllocStmtFails=1   every statement allocation fails
//   ErrorRecords=N     diagnostic records of a failing statement (default 1)
//   CancelLogin=1      the login dialog is cancelled (SQL_NO_DATA)
//   DbmsName=NAME      the SQL_DBMS_NAME reported (default empty)
//   FailStatement=SQL  that statement fails too, with SQLSTATE 25000
// "SELECT FAIL" fails; any other statement returns one row of one integer
// column: the number of SQLExecDirect calls it took.

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>
#include <odbcinst.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Diagnostic
{
    std::string strState;
    SQLINTEGER nNative;
    std::string strMessage;
};

struct Handle
{
    std::vector<Diagnostic> diagnostics;
};

struct Environment : Handle
{
};

struct Connection : Handle
{
    int nApiConformance = 1;
    int nStillExecuting = 0;
    bool bAllocStmtFails = false;
    int nErrorRecords = 1;
    std::string strDbmsName;
    std::string strFailStatement;
    bool bConnected = false;
};

struct Statement : Handle
{
    Connection* pConnection = nullptr;
    int nExecuteCalls = 0;
    bool bHasRow = false;
    SQLINTEGER nValue = 0;
    SQLSMALLINT nTargetType = 0;
    SQLPOINTER pTarget = nullptr;
    SQLLEN* pIndicator = nullptr;
};

std::string Narrow(const SQLWCHAR* psz, SQLINTEGER nLength)
{
    std::string str;
    if (psz == nullptr)
        return str;
    for (SQLINTEGER i = 0; nLength == SQL_NTS ? psz[i] != 0 : i < nLength; ++i)
        str += char(psz[i] < 128 ? psz[i] : '?');
    return str;
}

void Widen(const std::string& str, SQLWCHAR* pBuffer, SQLSMALLINT nBufferChars, SQLSMALLINT* pnLength)
{
    if (pnLength != nullptr)
        *pnLength = SQLSMALLINT(str.size());
    if (pBuffer == nullptr || nBufferChars <= 0)
        return;
    SQLSMALLINT i = 0;
    for (; i < nBufferChars - 1 && i < SQLSMALLINT(str.size()); ++i)
        pBuffer[i] = SQLWCHAR(static_cast<unsigned char>(str[i]));
    pBuffer[i] = 0;
}

std::string ProfileText(const std::string& strDsn, const char* pszKey)
{
    char szValue[256] = {};
    SQLGetPrivateProfileString(strDsn.c_str(), pszKey, "", szValue, sizeof(szValue), "odbc.ini");
    return szValue;
}

int ProfileInt(const std::string& strDsn, const char* pszKey, int nDefault)
{
    const std::string strValue = ProfileText(strDsn, pszKey);
    return strValue.empty() ? nDefault : std::atoi(strValue.c_str());
}

std::string DsnOf(const std::string& strConnect)
{
    const std::string::size_type nStart = strConnect.find("DSN=");
    if (nStart == std::string::npos)
        return std::string();
    const std::string::size_type nEnd = strConnect.find(';', nStart);
    return strConnect.substr(nStart + 4, nEnd == std::string::npos ? std::string::npos : nEnd - nStart - 4);
}

SQLRETURN Fail(Handle* pHandle, const char* pszState, const std::string& strMessage)
{
    pHandle->diagnostics.push_back({pszState, 1, "[Kitvane][Fault]" + strMessage});
    return SQL_ERROR;
}

}  // namespace

extern "C" {

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT nType, SQLHANDLE hInput, SQLHANDLE* phOutput)
{
    switch (nType) {
    case SQL_HANDLE_ENV:
        *phOutput = new Environment;
        return SQL_SUCCESS;
    case SQL_HANDLE_DBC:
        *phOutput = new Connection;
        return SQL_SUCCESS;
    case SQL_HANDLE_STMT: {
        auto* pConnection = static_cast<Connection*>(hInput);
        pConnection->diagnostics.clear();
        if (pConnection->bAllocStmtFails) {
            *phOutput = SQL_NULL_HSTMT;
            return Fail(pConnection, "HY001", "No statement can be allocated");
        }
        auto* pStatement = new Statement;
        pStatement->pConnection = pConnection;
        *phOutput = pStatement;
        return SQL_SUCCESS;
    }
    default:
        return SQL_ERROR;
    }
}

SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT nType, SQLHANDLE handle)
{
    switch (nType) {
    case SQL_HANDLE_ENV: delete static_cast<Environment*>(handle); break;
    case SQL_HANDLE_DBC: delete static_cast<Connection*>(handle); break;
    case SQL_HANDLE_STMT: delete static_cast<Statement*>(handle); break;
    default: return SQL_ERROR;
    }
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT hstmt, SQLUSMALLINT nOption)
{
    if (nOption == SQL_DROP)
        return SQLFreeHandle(SQL_HANDLE_STMT, hstmt);
    static_cast<Statement*>(hstmt)->bHasRow = false;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV, SQLINTEGER, SQLPOINTER, SQLINTEGER)
{
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLSetConnectAttrW(SQLHDBC, SQLINTEGER, SQLPOINTER, SQLINTEGER)
{
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLDriverConnectW(SQLHDBC hdbc, SQLHWND, SQLWCHAR* pszIn, SQLSMALLINT nIn, SQLWCHAR* pszOut,
                                    SQLSMALLINT nOutMax, SQLSMALLINT* pnOut, SQLUSMALLINT)
{
    auto* pConnection = static_cast<Connection*>(hdbc);
    const std::string strConnect = Narrow(pszIn, nIn);
    const std::string strDsn = DsnOf(strConnect);
    pConnection->nApiConformance = ProfileInt(strDsn, "ApiConformance", 1);
    pConnection->nStillExecuting = ProfileInt(strDsn, "StillExecuting", 0);
    pConnection->bAllocStmtFails = ProfileInt(strDsn, "AllocStmtFails", 0) != 0;
    pConnection->nErrorRecords = ProfileInt(strDsn, "ErrorRecords", 1);
    pConnection->strDbmsName = ProfileText(strDsn, "DbmsName");
    pConnection->strFailStatement = ProfileText(strDsn, "FailStatement");
    if (ProfileInt(strDsn, "CancelLogin", 0) != 0)
        return SQL_NO_DATA;
    pConnection->bConnected = true;
    Widen(strConnect, pszOut, nOutMax, pnOut);
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC hdbc)
{
    static_cast<Connection*>(hdbc)->bConnected = false;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLGetInfoW(SQLHDBC hdbc, SQLUSMALLINT nInfo, SQLPOINTER pValue, SQLSMALLINT nBufferBytes,
                              SQLSMALLINT* pnLength)
{
    auto* pConnection = static_cast<Connection*>(hdbc);
    auto text = [&](const char* psz) {
        SQLSMALLINT nChars = 0;
        Widen(psz, static_cast<SQLWCHAR*>(pValue), SQLSMALLINT(nBufferBytes / sizeof(SQLWCHAR)), &nChars);
        if (pnLength != nullptr)
            *pnLength = SQLSMALLINT(nChars * sizeof(SQLWCHAR));
        return SQL_SUCCESS;
    };
    auto number = [&](SQLUSMALLINT nValue) {
        if (pValue != nullptr)
            *static_cast<SQLUSMALLINT*>(pValue) = nValue;
        if (pnLength != nullptr)
            *pnLength = sizeof(SQLUSMALLINT);
        return SQL_SUCCESS;
    };
    switch (nInfo) {
    case SQL_DRIVER_ODBC_VER: return text("03.00");
    case SQL_ODBC_API_CONFORMANCE: return number(SQLUSMALLINT(pConnection->nApiConformance));
    case SQL_ODBC_SQL_CONFORMANCE: return number(SQL_OSC_CORE);
    case SQL_IDENTIFIER_QUOTE_CHAR: return text("\"");
    case SQL_SEARCH_PATTERN_ESCAPE: return text("\\");
    case SQL_DRIVER_NAME: return text("kitvanefault.so");
    case SQL_DBMS_NAME: return text(pConnection->strDbmsName.c_str());
    default:
        if (pValue != nullptr && nBufferBytes >= SQLSMALLINT(sizeof(SQLUINTEGER)))
            std::memset(pValue, 0, sizeof(SQLUINTEGER));
        if (pnLength != nullptr)
            *pnLength = 0;
        return SQL_SUCCESS;
    }
}

SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT hstmt, SQLWCHAR* pszSql, SQLINTEGER nLength)
{
    auto* pStatement = static_cast<Statement*>(hstmt);
    pStatement->diagnostics.clear();
    if (++pStatement->nExecuteCalls <= pStatement->pConnection->nStillExecuting)
        return SQL_STILL_EXECUTING;
    const std::string strSql = Narrow(pszSql, nLength);
    if (!pStatement->pConnection->strFailStatement.empty() && strSql == pStatement->pConnection->strFailStatement)
        return Fail(pStatement, "25000", "Statement refused: " + strSql);
    if (strSql == "SELECT FAIL") {
        const int nRecords = pStatement->pConnection->nErrorRecords;
        for (int i = 1; i <= nRecords; ++i) {
            pStatement->diagnostics.push_back(
                {i == 1 ? "42000" : "01000", i,
                 "[Kitvane][Fault] Failure " + std::to_string(i) + " of " + std::to_string(nRecords)});
        }
        return SQL_ERROR;
    }
    pStatement->bHasRow = true;
    pStatement->nValue = pStatement->nExecuteCalls;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT, SQLSMALLINT* pnColumns)
{
    *pnColumns = 1;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLBindCol(SQLHSTMT hstmt, SQLUSMALLINT nColumn, SQLSMALLINT nTargetType, SQLPOINTER pTarget,
                             SQLLEN, SQLLEN* pIndicator)
{
    auto* pStatement = static_cast<Statement*>(hstmt);
    if (nColumn != 1)
        return Fail(pStatement, "07009", "Invalid column number");
    pStatement->nTargetType = nTargetType;
    pStatement->pTarget = pTarget;
    pStatement->pIndicator = pIndicator;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT hstmt)
{
    auto* pStatement = static_cast<Statement*>(hstmt);
    if (!pStatement->bHasRow)
        return SQL_NO_DATA;
    pStatement->bHasRow = false;
    if (pStatement->pTarget != nullptr && (pStatement->nTargetType == SQL_C_SLONG || pStatement->nTargetType == SQL_C_LONG))
        *static_cast<SQLINTEGER*>(pStatement->pTarget) = pStatement->nValue;
    if (pStatement->pIndicator != nullptr)
        *pStatement->pIndicator = sizeof(SQLINTEGER);
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLCancel(SQLHSTMT)
{
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLGetDiagRecW(SQLSMALLINT, SQLHANDLE handle, SQLSMALLINT nRecord, SQLWCHAR* pszState,
                                 SQLINTEGER* pnNative, SQLWCHAR* pszMessage, SQLSMALLINT nMessageChars,
                                 SQLSMALLINT* pnLength)
{
    const auto* pHandle = static_cast<Handle*>(handle);
    if (nRecord < 1 || nRecord > SQLSMALLINT(pHandle->diagnostics.size()))
        return SQL_NO_DATA;
    const Diagnostic& diagnostic = pHandle->diagnostics.at(nRecord - 1);
    Widen(diagnostic.strState, pszState, 6, nullptr);
    if (pnNative != nullptr)
        *pnNative = diagnostic.nNative;
    Widen(diagnostic.strMessage, pszMessage, nMessageChars, pnLength);
    return SQL_SUCCESS;
}

// The driver manager reads diagnostics through both calls.
SQLRETURN SQL_API SQLGetDiagFieldW(SQLSMALLINT, SQLHANDLE handle, SQLSMALLINT nRecord, SQLSMALLINT nField,
                                   SQLPOINTER pValue, SQLSMALLINT nBufferBytes, SQLSMALLINT* pnLength)
{
    const auto* pHandle = static_cast<Handle*>(handle);
    if (nField == SQL_DIAG_NUMBER) {
        *static_cast<SQLINTEGER*>(pValue) = SQLINTEGER(pHandle->diagnostics.size());
        return SQL_SUCCESS;
    }
    if (nRecord < 1 || nRecord > SQLSMALLINT(pHandle->diagnostics.size()))
        return SQL_NO_DATA;
    const Diagnostic& diagnostic = pHandle->diagnostics.at(nRecord - 1);
    const SQLSMALLINT nChars = SQLSMALLINT(nBufferBytes / sizeof(SQLWCHAR));
    SQLSMALLINT nLength = 0;
    switch (nField) {
    case SQL_DIAG_SQLSTATE:
        Widen(diagnostic.strState, static_cast<SQLWCHAR*>(pValue), nChars, &nLength);
        break;
    case SQL_DIAG_MESSAGE_TEXT:
        Widen(diagnostic.strMessage, static_cast<SQLWCHAR*>(pValue), nChars, &nLength);
        break;
    case SQL_DIAG_NATIVE:
        *static_cast<SQLINTEGER*>(pValue) = diagnostic.nNative;
        return SQL_SUCCESS;
    default:
        return SQL_NO_DATA;
    }
    if (pnLength != nullptr)
        *pnLength = SQLSMALLINT(nLength * sizeof(SQLWCHAR));
    return SQL_SUCCESS;
}

}  // extern "C"
