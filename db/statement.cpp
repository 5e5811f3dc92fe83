#include "db/statement.h"

#include "db/database.h"
#include "db/dbexception.h"

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

CStatement::CStatement(CDatabase& database) : m_database(database)
{
    const SQLRETURN nRet = SQLAllocStmt(m_database.Handle(), &m_hstmt);
    if (!SqlSucceeded(nRet) && nRet != SQL_NO_DATA) {
        m_hstmt = SQL_NULL_HSTMT;
        ThrowDBException(nRet, m_database.Handle(), SQL_NULL_HSTMT);
    }
    m_database.RegisterRunning(m_hstmt);
}

CStatement::~CStatement()
{
    if (m_hstmt != SQL_NULL_HSTMT) {
        // Unregistered first: a cancel from another thread never reaches a
        // freed handle.
        m_database.UnregisterRunning(m_hstmt);
        SQLFreeStmt(m_hstmt, SQL_DROP);
    }
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
    const SQLRETURN nRet = Retry([&] { return SQLExecDirectW(m_hstmt, ToSqlWChar(strSql), SQL_NTS); });
    if (!SqlSucceeded(nRet))
        ThrowDBException(nRet, m_database.Handle(), m_hstmt);
}

bool CStatement::Tables(const QString& strCatalog, const QString& strSchema,
                        const QString& strTable, const QString& strTypes)
{
    const QString strCatalogArg = AllIfEmpty(strCatalog);
    const QString strSchemaArg = AllIfEmpty(strSchema);
    return CatalogSucceeded(Retry([&] {
        return SQLTablesW(m_hstmt, CatalogArgument(strCatalogArg), CatalogLength(strCatalogArg),
                          CatalogArgument(strSchemaArg), CatalogLength(strSchemaArg),
                          CatalogArgument(strTable), CatalogLength(strTable),
                          CatalogArgument(strTypes), CatalogLength(strTypes));
    }));
}

bool CStatement::Columns(const QString& strCatalog, const QString& strSchema,
                         const QString& strTable, const QString& strColumn)
{
    const QString strCatalogArg = AllIfEmpty(strCatalog);
    const QString strSchemaArg = AllIfEmpty(strSchema);
    return CatalogSucceeded(Retry([&] {
        return SQLColumnsW(m_hstmt, CatalogArgument(strCatalogArg), CatalogLength(strCatalogArg),
                           CatalogArgument(strSchemaArg), CatalogLength(strSchemaArg),
                           CatalogArgument(strTable), CatalogLength(strTable),
                           CatalogArgument(strColumn), CatalogLength(strColumn));
    }));
}

bool CStatement::Statistics(const QString& strCatalog, const QString& strSchema,
                            const QString& strTable, SQLUSMALLINT nUnique)
{
    const QString strCatalogArg = AllIfEmpty(strCatalog);
    const QString strSchemaArg = AllIfEmpty(strSchema);
    return CatalogSucceeded(Retry([&] {
        return SQLStatisticsW(m_hstmt, CatalogArgument(strCatalogArg), CatalogLength(strCatalogArg),
                              CatalogArgument(strSchemaArg), CatalogLength(strSchemaArg),
                              CatalogArgument(strTable), CatalogLength(strTable), nUnique,
                              SQL_QUICK);
    }));
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
    m_textColumns.push_back(&buffer);
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

bool CStatement::Fetch()
{
    for (CTextBuffer* pBuffer : m_textColumns)
        pBuffer->m_buffer[0] = 0;
    const SQLRETURN nRet = SQLFetch(m_hstmt);
    if (nRet == SQL_NO_DATA)
        return false;
    if (!SqlSucceeded(nRet))
        ThrowDBException(nRet, m_database.Handle(), m_hstmt);
    return true;
}

void CStatement::Cancel()
{
    SQLCancel(m_hstmt);
}
