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
//   FailTables=SCHEMA  SQLTables on that schema fails; on any other it lists no table
//                      but those of Catalog
//   Catalog=T:C=N,C=N/T:C=N   tables and their CHAR(N) columns, in order, which
//                      SQLTables and SQLColumns list (table patterns are taken
//                      as the names they escape); without it SQLColumns fails
//   AllColumns=HOW     how SQLColumns answers a null (all) table pattern:
//                      "refuse" fails it, "scatter" deals the first two
//                      tables' rows alternately, "reverse" gives each table's
//                      rows backwards; the right answer otherwise
//   AllColumnsDelayMs=N  that answer comes after N milliseconds
// "SELECT FAIL" fails; any other statement returns one row of one integer
// column: the number of SQLExecDirect calls it took.

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>
#include <odbcinst.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
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

struct CatalogColumn
{
    std::string strName;
    int nSize;
};

struct CatalogTable
{
    std::string strName;
    std::vector<CatalogColumn> columns;
};

struct Connection : Handle
{
    std::vector<CatalogTable> catalog;
    std::string strAllColumns;
    int nAllColumnsDelayMs = 0;
    int nApiConformance = 1;
    int nStillExecuting = 0;
    bool bAllocStmtFails = false;
    int nErrorRecords = 1;
    std::string strDbmsName;
    std::string strFailStatement;
    std::string strFailTables;
    bool bConnected = false;
};

// A value of a catalog result row: null, text or number.
struct Value
{
    bool bNull = true;
    std::string strText;
    long nNumber = 0;
};

Value Text(const std::string& str)
{
    return Value{false, str, 0};
}

Value Number(long nNumber)
{
    return Value{false, std::string(), nNumber};
}

struct Binding
{
    SQLSMALLINT nTargetType = 0;
    SQLPOINTER pTarget = nullptr;
    SQLLEN nBytes = 0;
    SQLLEN* pIndicator = nullptr;
};

struct Statement : Handle
{
    Connection* pConnection = nullptr;
    // A catalog result: its rows, the next one, its width and the bound columns.
    std::vector<std::vector<Value>> catalogRows;
    size_t nNextRow = 0;
    SQLSMALLINT nCatalogColumns = 0;
    std::vector<Binding> bindings;
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

std::vector<std::string> Split(const std::string& str, char cSeparator)
{
    std::vector<std::string> parts;
    std::string::size_type nStart = 0;
    while (nStart < str.size()) {
        std::string::size_type nEnd = str.find(cSeparator, nStart);
        if (nEnd == std::string::npos)
            nEnd = str.size();
        parts.push_back(str.substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    return parts;
}

// "T:C=N,C=N/T:C=N"
std::vector<CatalogTable> ParseCatalog(const std::string& strSpec)
{
    std::vector<CatalogTable> tables;
    for (const std::string& strTable : Split(strSpec, '/')) {
        const std::string::size_type nColon = strTable.find(':');
        CatalogTable table{strTable.substr(0, nColon), {}};
        if (nColon != std::string::npos) {
            for (const std::string& strColumn : Split(strTable.substr(nColon + 1), ',')) {
                const std::string::size_type nEquals = strColumn.find('=');
                table.columns.push_back({strColumn.substr(0, nEquals),
                                         nEquals == std::string::npos ? 1 : std::atoi(strColumn.c_str() + nEquals + 1)});
            }
        }
        tables.push_back(table);
    }
    return tables;
}

// A search pattern taken as the name it escapes.
std::string Unescaped(const std::string& strPattern)
{
    std::string str;
    for (std::string::size_type i = 0; i < strPattern.size(); ++i) {
        if (strPattern[i] == '\\' && i + 1 < strPattern.size())
            ++i;
        str += strPattern[i];
    }
    return str;
}

// The SQLColumns rows of a table (TABLE_CAT to ORDINAL_POSITION and IS_NULLABLE).
std::vector<std::vector<Value>> ColumnRows(const CatalogTable& table)
{
    std::vector<std::vector<Value>> rows;
    int nOrdinal = 0;
    for (const CatalogColumn& column : table.columns) {
        std::vector<Value> row(18);
        row[2] = Text(table.strName);
        row[3] = Text(column.strName);
        row[4] = Number(SQL_CHAR);
        row[5] = Text("CHAR");
        row[6] = Number(column.nSize);
        row[16] = Number(++nOrdinal);
        row[17] = Text("YES");
        rows.push_back(row);
    }
    return rows;
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
    pConnection->strFailTables = ProfileText(strDsn, "FailTables");
    pConnection->catalog = ParseCatalog(ProfileText(strDsn, "Catalog"));
    pConnection->strAllColumns = ProfileText(strDsn, "AllColumns");
    pConnection->nAllColumnsDelayMs = ProfileInt(strDsn, "AllColumnsDelayMs", 0);
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
    pStatement->nCatalogColumns = 0;
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

SQLRETURN SQL_API SQLTablesW(SQLHSTMT hstmt, SQLWCHAR*, SQLSMALLINT, SQLWCHAR* pszSchema, SQLSMALLINT nSchema,
                             SQLWCHAR*, SQLSMALLINT, SQLWCHAR*, SQLSMALLINT)
{
    auto* pStatement = static_cast<Statement*>(hstmt);
    pStatement->diagnostics.clear();
    pStatement->bHasRow = false;
    if (!pStatement->pConnection->strFailTables.empty()
        && Narrow(pszSchema, nSchema) == pStatement->pConnection->strFailTables)
        return Fail(pStatement, "HY000", "Tables of " + pStatement->pConnection->strFailTables + " cannot be listed");
    pStatement->catalogRows.clear();
    pStatement->nNextRow = 0;
    pStatement->nCatalogColumns = 5;
    for (const CatalogTable& table : pStatement->pConnection->catalog)
        pStatement->catalogRows.push_back({Value(), Value(), Text(table.strName), Text("TABLE"), Value()});
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLColumnsW(SQLHSTMT hstmt, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*, SQLSMALLINT, SQLWCHAR* pszTable,
                              SQLSMALLINT nTable, SQLWCHAR*, SQLSMALLINT)
{
    auto* pStatement = static_cast<Statement*>(hstmt);
    pStatement->diagnostics.clear();
    pStatement->bHasRow = false;
    pStatement->catalogRows.clear();
    pStatement->nNextRow = 0;
    pStatement->nCatalogColumns = 18;
    const std::vector<CatalogTable>& catalog = pStatement->pConnection->catalog;
    if (catalog.empty())
        return Fail(pStatement, "HY000", "No column can be listed");
    const std::string& strHow = pStatement->pConnection->strAllColumns;
    auto& rows = pStatement->catalogRows;
    if (pszTable != nullptr) {
        const std::string strName = Unescaped(Narrow(pszTable, nTable));
        for (const CatalogTable& table : catalog) {
            if (table.strName == strName)
                rows = ColumnRows(table);
        }
        return SQL_SUCCESS;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(pStatement->pConnection->nAllColumnsDelayMs));
    if (strHow == "refuse")
        return Fail(pStatement, "HYC00", "A null table pattern is not supported");
    for (const CatalogTable& table : catalog) {
        std::vector<std::vector<Value>> tableRows = ColumnRows(table);
        if (strHow == "reverse")
            std::reverse(tableRows.begin(), tableRows.end());
        rows.insert(rows.end(), tableRows.begin(), tableRows.end());
    }
    if (strHow == "scatter" && catalog.size() >= 2) {
        // The first table's second row swapped with the second table's first.
        const size_t nFirst = catalog[0].columns.size();
        if (nFirst >= 2 && !catalog[1].columns.empty())
            std::swap(rows[1], rows[nFirst]);
    }
    return SQL_SUCCESS;
}

// Every column a variable-width text (catalog results are bound by name parts).
SQLRETURN SQL_API SQLDescribeColW(SQLHSTMT, SQLUSMALLINT, SQLWCHAR* pszName, SQLSMALLINT nNameChars,
                                  SQLSMALLINT* pnNameLength, SQLSMALLINT* pnSqlType, SQLULEN* pnSize,
                                  SQLSMALLINT* pnDigits, SQLSMALLINT* pnNullable)
{
    Widen("C", pszName, nNameChars, pnNameLength);
    *pnSqlType = SQL_WVARCHAR;
    *pnSize = 128;
    if (pnDigits != nullptr)
        *pnDigits = 0;
    if (pnNullable != nullptr)
        *pnNullable = SQL_NULLABLE;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT hstmt, SQLSMALLINT* pnColumns)
{
    const auto* pStatement = static_cast<Statement*>(hstmt);
    *pnColumns = pStatement->nCatalogColumns > 0 ? pStatement->nCatalogColumns : 1;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLBindCol(SQLHSTMT hstmt, SQLUSMALLINT nColumn, SQLSMALLINT nTargetType, SQLPOINTER pTarget,
                             SQLLEN nBytes, SQLLEN* pIndicator)
{
    auto* pStatement = static_cast<Statement*>(hstmt);
    if (nColumn == 0)
        return Fail(pStatement, "07009", "Invalid column number");
    if (pStatement->bindings.size() < nColumn)
        pStatement->bindings.resize(nColumn);
    pStatement->bindings[nColumn - 1] = {nTargetType, pTarget, nBytes, pIndicator};
    if (nColumn > 1)
        return SQL_SUCCESS;
    pStatement->nTargetType = nTargetType;
    pStatement->pTarget = pTarget;
    pStatement->pIndicator = pIndicator;
    return SQL_SUCCESS;
}

// Fills the bound columns from the next catalog row.
SQLRETURN FetchCatalogRow(Statement& statement)
{
    if (statement.nNextRow >= statement.catalogRows.size())
        return SQL_NO_DATA;
    const std::vector<Value>& row = statement.catalogRows[statement.nNextRow++];
    for (size_t i = 0; i < statement.bindings.size() && i < row.size(); ++i) {
        const Binding& binding = statement.bindings[i];
        const Value& value = row[i];
        if (binding.pTarget == nullptr)
            continue;
        if (value.bNull) {
            if (binding.pIndicator != nullptr)
                *binding.pIndicator = SQL_NULL_DATA;
            continue;
        }
        SQLLEN nLength = 0;
        switch (binding.nTargetType) {
        case SQL_C_WCHAR: {
            SQLSMALLINT nChars = 0;
            Widen(value.strText, static_cast<SQLWCHAR*>(binding.pTarget),
                  SQLSMALLINT(binding.nBytes / SQLLEN(sizeof(SQLWCHAR))), &nChars);
            nLength = SQLLEN(nChars * sizeof(SQLWCHAR));
            break;
        }
        case SQL_C_SSHORT:
            *static_cast<SQLSMALLINT*>(binding.pTarget) = SQLSMALLINT(value.nNumber);
            nLength = sizeof(SQLSMALLINT);
            break;
        case SQL_C_SLONG:
        case SQL_C_LONG:
            *static_cast<SQLINTEGER*>(binding.pTarget) = SQLINTEGER(value.nNumber);
            nLength = sizeof(SQLINTEGER);
            break;
        default:
            break;
        }
        if (binding.pIndicator != nullptr)
            *binding.pIndicator = nLength;
    }
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT hstmt)
{
    auto* pStatement = static_cast<Statement*>(hstmt);
    if (pStatement->nCatalogColumns > 0)
        return FetchCatalogRow(*pStatement);
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
