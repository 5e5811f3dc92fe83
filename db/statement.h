#pragma once

#include "db/odbc.h"
#include "db/statementregistry.h"

#include <QString>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class CDatabase;
class CStatementRegistry;

// A bound text column. By default the value is read whole: up to 128
// characters land in the bound buffer, and a longer value (a name longer
// than that, which the driver reports as cut) is read again in full after
// the fetch, so no name is ever used cut. With an explicit width the value
// is cut to nChars - 1 characters on purpose (the data dictionary's
// attribute widths).
class CTextBuffer
{
public:
    CTextBuffer() : m_buffer(kBoundChars, 0), m_bWhole(true) {}
    explicit CTextBuffer(int nChars) : m_buffer(nChars, 0), m_bWhole(false) {}

    QString Text() const
    {
        return m_strWhole.isNull() ? FromSqlWChar(m_buffer.data(), qsizetype(m_buffer.size())) : m_strWhole;
    }

private:
    friend class CStatement;
    static constexpr int kBoundChars = 129;

    std::vector<SQLWCHAR> m_buffer;
    bool m_bWhole;
    SQLLEN m_nIndicator = 0;   // read only to find a cut value; NULL reads as empty text
    QString m_strWhole;        // a value longer than the buffer, read in full; null otherwise
};

// One statement handle for one operation: allocated on construction, dropped
// (SQL_DROP) on every path by the destructor.
class CStatement
{
public:
    // Raises CDBException when the handle cannot be allocated. With a
    // registry, the statement can be cancelled from another thread while
    // it exists.
    explicit CStatement(CDatabase& database, CStatementRegistry* pRegistry = nullptr);
    ~CStatement();

    CStatement(const CStatement&) = delete;
    CStatement& operator=(const CStatement&) = delete;

    SQLHSTMT Handle() const { return m_hstmt; }

    // Runs a SELECT; raises CDBException when the driver reports a failure
    // or when the statement was cancelled.
    void ExecDirect(const QString& strSql);

    // Binds a text value to the next "?" marker of the statement text (1, 2,
    // ...): values reach the server as parameters, never inside the SQL text.
    // Raises CDBException when the driver refuses it.
    void BindParameter(SQLUSMALLINT nParameter, const QString& strValue);

    // Catalog calls. An empty catalog or schema passes a null argument (all
    // of them); a null table, column or type list passes a null argument.
    // They return false, without raising, when the driver reports a failure
    // or the statement was cancelled.
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

    // Whether a result column is of a fixed-width text type (CHAR, WCHAR),
    // whose values the driver pads with blanks. Raises CDBException when
    // the driver cannot describe it.
    bool IsFixedWidthText(SQLUSMALLINT nColumn);

    // How many columns the result has. Raises CDBException when the driver
    // cannot tell.
    int CountResultColumns();

    // Empties every bound text buffer, then fetches the next row; a text
    // read whole that did not fit its buffer is read in full. Returns false
    // at the end of the result; raises CDBException on a failure or when
    // the statement was cancelled.
    bool Fetch();

    // Abandons the statement after an error.
    void Cancel();

    // From another thread, under the registry's lock: asks the driver to
    // stop the statement when it is inside a driver call, and makes its next
    // step fail (a driver that finishes the step anyway does not turn a
    // cancel into a success).
    void RequestCancel();

    // The driver's text of the last catalog call that failed (those calls
    // return false without raising); empty otherwise.
    const QString& GetFailureText() const { return m_strFailure; }
    // Whether a cancel reached the statement (its next step then fails).
    bool WasCancelled() const { return IsCancelled(); }

private:
    friend class CStatementRegistry;

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

    // A call that does the server's work (execute, catalog): the only time
    // another thread's cancel is passed on to the driver.
    template <class Call>
    SQLRETURN CallDriver(Call call)
    {
        if (m_pRegistry == nullptr)
            return Retry(call);
        m_pRegistry->SetInDriver(*this, true);
        const SQLRETURN nRet = Retry(call);
        m_pRegistry->SetInDriver(*this, false);
        return nRet;
    }

    // Runs a catalog call unless the statement was cancelled; a cancel
    // reaches the driver during it only where the driver is safe against
    // that.
    template <class Call>
    bool CatalogCall(Call call)
    {
        if (IsCancelled())
            return CatalogSucceeded(SQL_ERROR);
        if (m_pRegistry != nullptr && !m_pRegistry->CatalogCallsCancellable())
            return CatalogSucceeded(Retry(call));
        return CatalogSucceeded(CallDriver(call));
    }

    struct TextColumn
    {
        SQLUSMALLINT nColumn;
        CTextBuffer* pBuffer;
    };

    void Bind(SQLUSMALLINT nColumn, SQLSMALLINT nCType, SQLPOINTER pValue, SQLLEN nBytes,
              SQLLEN* pIndicator);
    void ReadWhole(const TextColumn& column);
    bool CatalogSucceeded(SQLRETURN nRet);
    [[noreturn]] void ThrowCancelled() const;
    [[noreturn]] void ThrowFailure(SQLRETURN nRet) const;
    bool IsCancelled() const { return m_bCancelled.load(); }

    CDatabase& m_database;
    CStatementRegistry* m_pRegistry;
    SQLHSTMT m_hstmt = SQL_NULL_HSTMT;
    std::vector<TextColumn> m_textColumns;
    // Parameter values and their lengths stay here until the statement ends.
    std::vector<std::unique_ptr<std::u16string>> m_parameters;
    std::vector<std::unique_ptr<SQLLEN>> m_parameterLengths;
    QString m_strFailure;
    SQLLEN m_nNumberIndicator = 0;
    std::atomic<bool> m_bCancelled{false};
    bool m_bInDriver = false;   // guarded by the registry's lock
};
