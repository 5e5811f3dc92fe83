#include "db/dbdata.h"

bool CDBData::Connect()
{
    m_pDatabase.reset();
    m_pDatabase = std::make_unique<CDatabase>();

    bool bOpen = false;
    try {
        bOpen = m_pDatabase->OpenEx(QLatin1String("DSN=") + m_strDSN + QLatin1Char(';'));
    } catch (const CDBException&) {
        // The driver's own dialog is the only feedback.
        bOpen = false;
    }
    if (!bOpen)
        m_pDatabase.reset();
    return bOpen;
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
