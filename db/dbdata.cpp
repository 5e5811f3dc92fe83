#include "db/dbdata.h"

#include "db/sqltext.h"

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
    return true;
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
    // m_pDatabase is only replaced on the thread that runs the operations,
    // never while one of them runs.
    if (CDatabase* pDatabase = m_pDatabase.get())
        pDatabase->CancelRunning();
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
