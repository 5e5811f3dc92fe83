#pragma once

#include "db/odbc.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

class CDatabase;

// A bound text column: a fixed SQLWCHAR buffer (129 characters by default:
// 128 and the terminating zero; longer values are cut by the driver).
class CTextBuffer
{
public:
    explicit CTextBuffer(int nChars = 129) : m_buffer(nChars, 0) {}

    QString Text() const { return FromSqlWChar(m_buffer.data(), m_buffer.size()); }

private:
    friend class CStatement;
    std::vector<SQLWCHAR> m_buffer;
    SQLLEN m_nIndicator = 0;   // received, never examined: NULL reads as empty text
};

// One statement handle for one operation: allocated on construction, dropped
// (SQL_DROP) on every path by the destructor.
class CStatement
{
public:
    // Raises CDBException when the handle cannot be allocated.
    explicit CStatement(CDatabase& database);
    ~CStatement();

    CStatement(const CStatement&) = delete;
    CStatement& operator=(const CStatement&) = delete;

    SQLHSTMT Handle() const { return m_hstmt; }

    // Runs a SELECT; raises CDBException when the driver reports a failure.
    void ExecDirect(const QString& strSql);

    // Binds a text value to the next "?" marker of the statement text (1, 2,
    // ...): values reach the server as parameters, never inside the SQL text.
    // Raises CDBException when the driver refuses it.
    void BindParameter(SQLUSMALLINT nParameter, const QString& strValue);

    // Catalog calls. An empty catalog or schema passes a null argument (all
    // of them); a null table, column or type list passes a null argument.
    // They return false, without raising, when the driver reports a failure.
    bool Tables(const QString& strCatalog, const QString& strSchema, const QString& strTable,
                const QString& strTypes);
    bool Columns(const QString& strCatalog, const QString& strSchema, const QString& strTable,
                 const QString& strColumn);
    bool Statistics(const QString& strCatalog, const QString& strSchema, const QString& strTable,
                    SQLUSMALLINT nUnique);

    void BindText(SQLUSMALLINT nColumn, CTextBuffer& buffer);
    void BindLong(SQLUSMALLINT nColumn, SQLINTEGER& nValue);
    void BindULong(SQLUSMALLINT nColumn, SQLUINTEGER& nValue);
    void BindShort(SQLUSMALLINT nColumn, SQLSMALLINT& nValue);

    // Empties every bound text buffer, then fetches the next row. Returns
    // false at the end of the result; raises CDBException on a failure.
    bool Fetch();

    // Abandons the statement after an error.
    void Cancel();

    // The driver's text of the last catalog call that failed (those calls
    // return false without raising); empty otherwise.
    const QString& GetFailureText() const { return m_strFailure; }

private:
    // Calls an ODBC function again at once while it is still executing.
    template <class Call>
    SQLRETURN Retry(Call call)
    {
        SQLRETURN nRet;
        do {
            nRet = call();
        } while (nRet == SQL_STILL_EXECUTING);
        return nRet;
    }

    void Bind(SQLUSMALLINT nColumn, SQLSMALLINT nCType, SQLPOINTER pValue, SQLLEN nBytes,
              SQLLEN* pIndicator);

    bool CatalogSucceeded(SQLRETURN nRet);

    CDatabase& m_database;
    SQLHSTMT m_hstmt = SQL_NULL_HSTMT;
    std::vector<CTextBuffer*> m_textColumns;
    // Parameter values and their lengths stay here until the statement ends.
    std::vector<std::unique_ptr<std::u16string>> m_parameters;
    std::vector<std::unique_ptr<SQLLEN>> m_parameterLengths;
    QString m_strFailure;
    SQLLEN m_nNumberIndicator = 0;
};
