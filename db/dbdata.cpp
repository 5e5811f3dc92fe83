#include "db/dbdata.h"

#include "db/sqltext.h"

bool CDBData::Connect()
{
    // The old connection is closed before the new one is opened.
    m_pDatabase.reset();
    m_pDatabase = std::make_unique<CDatabase>();

    bool bOpen = false;
    try {
        bOpen = m_pDatabase->OpenEx(QLatin1String("DSN=") + m_strDSN + QLatin1Char(';'));
    } catch (const CDBException&) {
        // The driver's own dialog is the only feedback.
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
    return true;
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
    return ::QualifyName(strCatalog, strOwner, strTable, m_strIdentifierQuote);
}

QString CDBData::SearchPattern(const QString& strName) const
{
    return EscapeSearchPattern(strName, m_strSearchEscape);
}
