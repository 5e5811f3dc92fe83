#include "db/dbdata.h"

#include "db/asciitext.h"
#include "db/sqltext.h"

#include <algorithm>
#include <vector>

bool CDBData::Connect()
{
    // The old connection is closed before the new one is opened.
    m_pDatabase.reset();
    m_pDatabase = std::make_unique<CDatabase>();

    m_strLastError.clear();
    bool bOpen = false;
    try {
        bOpen = m_pDatabase->OpenEx(QLatin1String("DSN=") + m_strDSN + QLatin1Char(';'));
    } catch (const CDBException& error) {
        // Nothing is shown here; callers that report read GetLastError().
        NoteError(error);
        bOpen = false;
    }
    if (!bOpen) {
        m_pDatabase.reset();
        return false;
    }

    // A blank quote character means the driver has none; SQL's own double
    // quote is then the best guess for a name that needs quoting.
    const QString strQuote = m_pDatabase->GetInfoString(SQL_IDENTIFIER_QUOTE_CHAR).trimmed();
    m_strIdentifierQuote = strQuote.isEmpty() ? QStringLiteral("\"") : strQuote;
    m_strSearchEscape = m_pDatabase->GetInfoString(SQL_SEARCH_PATTERN_ESCAPE).trimmed();
    ReadNameRules();
    return true;
}

namespace {

// An information text of any length (SQL_KEYWORDS runs to kilobytes).
QString InfoText(SQLHDBC hdbc, SQLUSMALLINT nInfo)
{
    std::vector<SQLWCHAR> text(1024, 0);
    for (;;) {
        const SQLSMALLINT nBufferBytes = SQLSMALLINT(text.size() * sizeof(SQLWCHAR));
        SQLSMALLINT nBytes = 0;
        if (!SqlSucceeded(SQLGetInfoW(hdbc, nInfo, text.data(), nBufferBytes, &nBytes)))
            return QString();
        // The buffer's length is a 16-bit count of bytes: nothing longer can come.
        constexpr size_t kMaxChars = 32767 / sizeof(SQLWCHAR);
        if (nBytes < nBufferBytes || text.size() >= kMaxChars)
            return FromSqlWChar(text.data(), qsizetype(text.size()));
        text.assign(std::min(size_t(nBytes) / sizeof(SQLWCHAR) + 1, kMaxChars), 0);   // cut: read again whole
    }
}

}  // namespace

void CDBData::ReadNameRules()
{
    const SQLHDBC hdbc = m_pDatabase->Handle();
    m_identifierRule = IdentifierRule();
    m_identifierRule.strQuote = m_strIdentifierQuote;
    SQLUSMALLINT nCase = 0;
    if (SqlSucceeded(SQLGetInfoW(hdbc, SQL_IDENTIFIER_CASE, &nCase, sizeof(nCase), nullptr)))
        m_identifierRule.nCase = nCase;
    for (const QString& strWord : InfoText(hdbc, SQL_KEYWORDS).split(u',', Qt::SkipEmptyParts))
        m_identifierRule.reservedWords.insert(AsciiLower(strWord.trimmed()));
    m_bBackslashEscapes = BackslashEscapesLiterals(InfoText(hdbc, SQL_DBMS_NAME));
}

void CDBData::NoteError(const CDBException& error)
{
    m_strLastError = error.m_strError.trimmed();
    if (m_strLastError.isEmpty())
        m_strLastError = QStringLiteral("the driver reported a failure without a message");
    // The SQLSTATEs tell a refused login from a server that is down.
    for (const QString& strLine : error.m_strStateNativeOrigin.split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype nComma = strLine.indexOf(u',');
        if (strLine.startsWith(QLatin1String("State:")) && nComma > 6)
            m_strLastError += QLatin1String("\nSQLSTATE ") + strLine.mid(6, nComma - 6);
    }
}

void CDBData::CancelRunningStatement()
{
    // Never touches m_pDatabase, which the worker may be replacing
    // (Connect): only the statements that exist are reached.
    m_runningStatements.CancelAll();
}

bool CDBData::IsConnected() const
{
    return m_pDatabase != nullptr && m_pDatabase->IsOpen();
}

void CDBData::CopyDataSource(const CDBData& other)
{
    if (!m_strDSN.isEmpty())
        return;
    m_strDSN = other.m_strDSN;
    m_bSystemDSN = other.m_bSystemDSN;
}

QString CDBData::QualifyName(const QString& strCatalog, const QString& strOwner,
                             const QString& strTable) const
{
    return ::QualifyName(strCatalog, strOwner, strTable, m_identifierRule);
}

QString CDBData::QuoteName(const QString& strName) const
{
    return QuoteIdentifier(strName, m_identifierRule);
}

QString CDBData::SqlLiteral(const QString& strValue) const
{
    return ::SqlLiteral(strValue, m_bBackslashEscapes);
}

QString CDBData::SearchPattern(const QString& strName) const
{
    return EscapeSearchPattern(strName, m_strSearchEscape);
}
