// The floors of the scale benchmark: the least ODBC work each case needs,
// through the same drivers, with the same bindings and one SQLFetch per row
// as the product.
//   kvbench_floor columns DSN CATALOG SCHEMA [DSN CATALOG SCHEMA ...]
//       per data source: connect, one SQLColumnsW with a null table pattern,
//       every row fetched ("" for a catalog or schema: none)
//   kvbench_floor exec DSN FILE [DSN FILE ...]
//       per data source: connect, then every line of FILE run as a statement
//       and its rows fetched, over that one connection

#include <sql.h>
#include <sqlext.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const std::string& strWhat, SQLSMALLINT nType, SQLHANDLE handle)
{
    SQLCHAR szState[6] = {};
    SQLCHAR szMessage[1024] = {};
    SQLINTEGER nNative = 0;
    SQLSMALLINT nLength = 0;
    SQLGetDiagRec(nType, handle, 1, szState, &nNative, szMessage, sizeof(szMessage), &nLength);
    std::fprintf(stderr, "kvbench_floor: %s: %s %s\n", strWhat.c_str(), szState, szMessage);
    std::exit(1);
}

bool Ok(SQLRETURN nRet)
{
    return nRet == SQL_SUCCESS || nRet == SQL_SUCCESS_WITH_INFO;
}

struct Connection
{
    SQLHENV henv = SQL_NULL_HENV;
    SQLHDBC hdbc = SQL_NULL_HDBC;

    explicit Connection(const std::string& strDsn)
    {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &henv);
        SQLSetEnvAttr(henv, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, henv, &hdbc);
        const std::string strConnect = "DSN=" + strDsn + ";";
        if (!Ok(SQLDriverConnect(hdbc, nullptr, (SQLCHAR*)strConnect.c_str(), SQL_NTS, nullptr, 0, nullptr,
                                 SQL_DRIVER_NOPROMPT)))
            Fail("connect " + strDsn, SQL_HANDLE_DBC, hdbc);
    }
    ~Connection()
    {
        SQLDisconnect(hdbc);
        SQLFreeHandle(SQL_HANDLE_DBC, hdbc);
        SQLFreeHandle(SQL_HANDLE_ENV, henv);
    }
};

// Fetches every row, the first columns bound as wide text; returns the rows.
long FetchAll(SQLHSTMT hstmt, SQLSMALLINT nBound)
{
    SQLSMALLINT nColumns = 0;
    SQLNumResultCols(hstmt, &nColumns);
    if (nBound > nColumns)
        nBound = nColumns;
    std::vector<std::vector<SQLWCHAR>> buffers(size_t(nBound), std::vector<SQLWCHAR>(129));
    std::vector<SQLLEN> indicators(static_cast<size_t>(nBound));
    for (SQLSMALLINT i = 0; i < nBound; ++i)
        SQLBindCol(hstmt, SQLUSMALLINT(i + 1), SQL_C_WCHAR, buffers[size_t(i)].data(),
                   SQLLEN(buffers[size_t(i)].size() * sizeof(SQLWCHAR)), &indicators[size_t(i)]);
    long nRows = 0;
    for (;;) {
        const SQLRETURN nRet = SQLFetch(hstmt);
        if (nRet == SQL_NO_DATA)
            return nRows;
        if (!Ok(nRet))
            Fail("fetch", SQL_HANDLE_STMT, hstmt);
        ++nRows;
    }
}

SQLCHAR* NullIfEmpty(const std::string& str)
{
    return str.empty() ? nullptr : (SQLCHAR*)str.c_str();
}

void Columns(const std::string& strDsn, const std::string& strCatalog, const std::string& strSchema)
{
    Connection connection(strDsn);
    SQLHSTMT hstmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, connection.hdbc, &hstmt);
    if (!Ok(SQLColumns(hstmt, NullIfEmpty(strCatalog), strCatalog.empty() ? 0 : SQL_NTS, NullIfEmpty(strSchema),
                       strSchema.empty() ? 0 : SQL_NTS, nullptr, 0, nullptr, 0)))
        Fail("SQLColumns", SQL_HANDLE_STMT, hstmt);
    const long nRows = FetchAll(hstmt, 7);
    std::fprintf(stderr, "%s: %ld column rows\n", strDsn.c_str(), nRows);
    SQLFreeHandle(SQL_HANDLE_STMT, hstmt);
}

void Exec(const std::string& strDsn, const std::string& strFile)
{
    Connection connection(strDsn);
    std::ifstream file(strFile);
    std::string strSql;
    long nStatements = 0;
    while (std::getline(file, strSql)) {
        if (strSql.empty())
            continue;
        SQLHSTMT hstmt = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, connection.hdbc, &hstmt);
        if (!Ok(SQLExecDirect(hstmt, (SQLCHAR*)strSql.c_str(), SQL_NTS)))
            Fail(strSql, SQL_HANDLE_STMT, hstmt);
        FetchAll(hstmt, 6);
        SQLFreeHandle(SQL_HANDLE_STMT, hstmt);
        ++nStatements;
    }
    std::fprintf(stderr, "%s: %ld statements\n", strDsn.c_str(), nStatements);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string strMode = argc > 1 ? argv[1] : "";
    if (strMode == "columns" && argc >= 5 && (argc - 2) % 3 == 0) {
        for (int i = 2; i < argc; i += 3)
            Columns(argv[i], argv[i + 1], argv[i + 2]);
        return 0;
    }
    if (strMode == "exec" && argc >= 4 && argc % 2 == 0) {
        for (int i = 2; i < argc; i += 2)
            Exec(argv[i], argv[i + 1]);
        return 0;
    }
    std::fprintf(stderr, "usage: kvbench_floor columns DSN CATALOG SCHEMA [...] | exec DSN FILE [...]\n");
    return 2;
}
