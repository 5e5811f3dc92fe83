#include "db/statement.h"

#include "db/database.h"
#include "db/dbexception.h"
#include "db/statementregistry.h"

#include <iterator>

namespace {

// A catalog-call argument with its length: SQL_NTS, or 0 with a null pointer.
SQLWCHAR* CatalogArgument(const QString& str)
{
    return str.isNull() ? nullptr : ToSqlWChar(str);
}

SQLSMALLINT CatalogLength(const QString& str)
{
    return str.isNull() ? 0 : SQLSMALLINT(SQL_NTS);
}

// Catalogs and schemas: an empty name means all of them.
QString AllIfEmpty(const QString& strName)
{
    return strName.isEmpty() ? QString() : strName;
}

}  // namespace

CStatement::CStatement(CDatabase& database, CStatementRegistry* pRegistry)
    : m_database(database), m_pRegistry(pRegistry)
{
    const SQLRETURN nRet = SQLAllocStmt(m_database.Handle(), &m_hstmt);
    if (!SqlSucceeded(nRet) && nRet != SQL_NO_DATA) {
        m_hstmt = SQL_NULL_HSTMT;
        ThrowDBException(nRet, m_database.Handle(), SQL_NULL_HSTMT);
    }
    if (m_pRegistry != nullptr)
        m_pRegistry->Register(*this);
}

CStatement::~CStatement()
{
    // Unregistered first: a cancel from another thread never reaches a
    // freed handle.
    if (m_pRegistry != nullptr)
        m_pRegistry->Unregister(*this);
    if (m_hstmt != SQL_NULL_HSTMT)
        SQLFreeStmt(m_hstmt, SQL_DROP);
}

void CStatement::RequestCancel()
{
    m_bCancelled = true;
    // ODBC's call for another thread: the drivers interrupt the server's
    // work (PostgreSQL's cancel request, MariaDB's KILL QUERY, SQLite's
    // interrupt). Outside a driver call the flag alone fails the next step.
    if (m_bInDriver)
        SQLCancel(m_hstmt);
}

void CStatement::ThrowFailure(SQLRETURN nRet) const
{
    CDBException error(nRet, m_database.Handle(), m_hstmt);
    // A driver may answer a cancel with a bare failure: the cancel is named.
    if (IsCancelled() && !error.HasState(QStringLiteral("HY008"))) {
        error.m_strError += QStringLiteral("the statement was cancelled\n");
        error.m_strStateNativeOrigin += QStringLiteral("State:HY008,Native:0,Origin:\n");
        error.m_arrCodes.append({QStringLiteral("HY008"), 0});
    }
    throw error;
}

void CStatement::ThrowCancelled() const
{
    CDBException error(SQL_ERROR, QStringLiteral("the statement was cancelled"));
    error.m_strStateNativeOrigin = QStringLiteral("State:HY008,Native:0,Origin:\n");
    error.m_arrCodes.append({QStringLiteral("HY008"), 0});
    throw error;
}

void CStatement::BindParameter(SQLUSMALLINT nParameter, const QString& strValue)
{
    auto pValue = std::make_unique<std::u16string>(reinterpret_cast<const char16_t*>(strValue.utf16()),
                                                   size_t(strValue.size()));
    auto pLength = std::make_unique<SQLLEN>(SQLLEN(pValue->size() * sizeof(char16_t)));
    // A column size of at least 1: some drivers refuse 0 for an empty value.
    const SQLULEN nColumnSize = std::max<SQLULEN>(1, pValue->size());
    const SQLRETURN nRet = SQLBindParameter(m_hstmt, nParameter, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                                            nColumnSize, 0, pValue->data(), SQLLEN(*pLength), pLength.get());
    if (!SqlSucceeded(nRet))
        ThrowDBException(nRet, m_database.Handle(), m_hstmt);
    m_parameters.push_back(std::move(pValue));
    m_parameterLengths.push_back(std::move(pLength));
}

bool CStatement::CatalogSucceeded(SQLRETURN nRet)
{
    if (IsCancelled()) {
        m_strFailure = QStringLiteral("the statement was cancelled");
        return false;
    }
    if (SqlSucceeded(nRet)) {
        m_strFailure.clear();
        return true;
    }
    m_strFailure = CDBException(nRet, m_database.Handle(), m_hstmt).m_strError;
    if (m_strFailure.isEmpty())
        m_strFailure = QStringLiteral("the driver refused the catalog call");
    return false;
}

void CStatement::ExecDirect(const QString& strSql)
{
    if (IsCancelled())
        ThrowCancelled();
    const SQLRETURN nRet = CallDriver([&] { return SQLExecDirectW(m_hstmt, ToSqlWChar(strSql), SQL_NTS); });
    if (!SqlSucceeded(nRet))
        ThrowFailure(nRet);
    // A cancel that reached the driver too late to stop it still fails the
    // statement: a cancelled operation is never reported as a success.
    if (IsCancelled())
        ThrowCancelled();
}

bool CStatement::Tables(const QString& strCatalog, const QString& strSchema,
                        const QString& strTable, const QString& strTypes)
{
    const QString strCatalogArg = AllIfEmpty(strCatalog);
    const QString strSchemaArg = AllIfEmpty(strSchema);
    return CatalogCall([&] {
        return SQLTablesW(m_hstmt, CatalogArgument(strCatalogArg), CatalogLength(strCatalogArg),
                          CatalogArgument(strSchemaArg), CatalogLength(strSchemaArg),
                          CatalogArgument(strTable), CatalogLength(strTable),
                          CatalogArgument(strTypes), CatalogLength(strTypes));
    });
}

bool CStatement::Columns(const QString& strCatalog, const QString& strSchema,
                         const QString& strTable, const QString& strColumn)
{
    const QString strCatalogArg = AllIfEmpty(strCatalog);
    const QString strSchemaArg = AllIfEmpty(strSchema);
    return CatalogCall([&] {
        return SQLColumnsW(m_hstmt, CatalogArgument(strCatalogArg), CatalogLength(strCatalogArg),
                           CatalogArgument(strSchemaArg), CatalogLength(strSchemaArg),
                           CatalogArgument(strTable), CatalogLength(strTable),
                           CatalogArgument(strColumn), CatalogLength(strColumn));
    });
}

bool CStatement::Statistics(const QString& strCatalog, const QString& strSchema,
                            const QString& strTable, SQLUSMALLINT nUnique)
{
    const QString strCatalogArg = AllIfEmpty(strCatalog);
    const QString strSchemaArg = AllIfEmpty(strSchema);
    return CatalogCall([&] {
        return SQLStatisticsW(m_hstmt, CatalogArgument(strCatalogArg), CatalogLength(strCatalogArg),
                              CatalogArgument(strSchemaArg), CatalogLength(strSchemaArg),
                              CatalogArgument(strTable), CatalogLength(strTable), nUnique,
                              SQL_QUICK);
    });
}

void CStatement::Bind(SQLUSMALLINT nColumn, SQLSMALLINT nCType, SQLPOINTER pValue, SQLLEN nBytes,
                      SQLLEN* pIndicator)
{
    const SQLRETURN nRet = SQLBindCol(m_hstmt, nColumn, nCType, pValue, nBytes, pIndicator);
    if (!SqlSucceeded(nRet))
        ThrowDBException(nRet, m_database.Handle(), m_hstmt);
}

void CStatement::BindText(SQLUSMALLINT nColumn, CTextBuffer& buffer)
{
    Bind(nColumn, SQL_C_WCHAR, buffer.m_buffer.data(),
         SQLLEN(buffer.m_buffer.size() * sizeof(SQLWCHAR)), &buffer.m_nIndicator);
    m_textColumns.push_back({nColumn, &buffer});
}

void CStatement::BindLong(SQLUSMALLINT nColumn, SQLINTEGER& nValue)
{
    Bind(nColumn, SQL_C_SLONG, &nValue, sizeof(nValue), &m_nNumberIndicator);
}

void CStatement::BindULong(SQLUSMALLINT nColumn, SQLUINTEGER& nValue)
{
    Bind(nColumn, SQL_C_ULONG, &nValue, sizeof(nValue), &m_nNumberIndicator);
}

void CStatement::BindShort(SQLUSMALLINT nColumn, SQLSMALLINT& nValue)
{
    Bind(nColumn, SQL_C_SSHORT, &nValue, sizeof(nValue), &m_nNumberIndicator);
}

bool CStatement::IsFixedWidthText(SQLUSMALLINT nColumn)
{
    SQLSMALLINT nSqlType = 0;
    SQLULEN nSize = 0;
    SQLSMALLINT nDigits = 0;
    SQLSMALLINT nNullable = 0;
    // A name buffer even though the name is not needed: psqlODBC fails without one.
    SQLWCHAR szName[129] = {};
    SQLSMALLINT nNameLength = 0;
    const SQLRETURN nRet = SQLDescribeColW(m_hstmt, nColumn, szName, SQLSMALLINT(std::size(szName)), &nNameLength,
                                           &nSqlType, &nSize, &nDigits, &nNullable);
    if (!SqlSucceeded(nRet))
        ThrowDBException(nRet, m_database.Handle(), m_hstmt);
    return nSqlType == SQL_CHAR || nSqlType == SQL_WCHAR;
}

int CStatement::CountResultColumns()
{
    SQLSMALLINT nColumns = 0;
    const SQLRETURN nRet = SQLNumResultCols(m_hstmt, &nColumns);
    if (!SqlSucceeded(nRet))
        ThrowDBException(nRet, m_database.Handle(), m_hstmt);
    return nColumns;
}

bool CStatement::Fetch()
{
    if (IsCancelled())
        ThrowCancelled();
    for (const TextColumn& column : m_textColumns) {
        column.pBuffer->m_buffer[0] = 0;
        column.pBuffer->m_nIndicator = 0;
        column.pBuffer->m_strWhole = QString();
    }
    // Not through CallDriver: the drivers hold the rows on the client by
    // then, and all three answer a cancel outside an execution by closing
    // the result, freeing what this fetch is reading. The mark alone ends
    // the reading at the next row.
    const SQLRETURN nRet = Retry([&] { return SQLFetch(m_hstmt); });
    if (nRet == SQL_NO_DATA) {
        // A driver may answer a cancel by closing the result: its early end
        // is never taken for the whole.
        if (IsCancelled())
            ThrowCancelled();
        return false;
    }
    if (!SqlSucceeded(nRet))
        ThrowFailure(nRet);
    for (const TextColumn& column : m_textColumns) {
        const CTextBuffer& buffer = *column.pBuffer;
        const SQLLEN nBufferBytes = SQLLEN(buffer.m_buffer.size() * sizeof(SQLWCHAR));
        // Cut: the driver reports the full length (or no total), at least
        // the buffer's size, which also holds the terminating zero.
        if (buffer.m_bWhole && (buffer.m_nIndicator == SQL_NO_TOTAL || buffer.m_nIndicator >= nBufferBytes))
            ReadWhole(column);
    }
    return true;
}

void CStatement::ReadWhole(const TextColumn& column)
{
    // The drivers allow SQLGetData on a bound column (SQL_GD_BOUND); it
    // reads the value from its start, piece by piece.
    constexpr SQLLEN kPieceChars = 1024;
    std::vector<SQLWCHAR> piece(kPieceChars + 1, 0);
    const SQLLEN nPieceBytes = SQLLEN(piece.size() * sizeof(SQLWCHAR));
    QString strWhole(0, QChar());   // not null: the buffer no longer counts
    for (;;) {
        SQLLEN nIndicator = 0;
        const SQLRETURN nRet = Retry(
            [&] { return SQLGetData(m_hstmt, column.nColumn, SQL_C_WCHAR, piece.data(), nPieceBytes, &nIndicator); });
        if (nRet == SQL_NO_DATA)
            break;
        if (!SqlSucceeded(nRet))
            ThrowFailure(nRet);
        if (nIndicator == SQL_NULL_DATA)
            break;
        const bool bMore = nIndicator == SQL_NO_TOTAL || nIndicator >= nPieceBytes;
        strWhole += FromSqlWChar(piece.data(), bMore ? kPieceChars : qsizetype(nIndicator / sizeof(SQLWCHAR)));
        if (!bMore)
            break;
    }
    column.pBuffer->m_strWhole = strWhole;
}

void CStatement::Cancel()
{
    SQLCancel(m_hstmt);
}
