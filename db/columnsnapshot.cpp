#include "db/columnsnapshot.h"

#include "db/catalogrow.h"

#include <QSet>

bool CColumnSnapshot::Read(CStatement& statement, const QString& strEscape, const QString& strCatalog,
                           const QString& strOwner)
{
    m_tables.clear();
    // The few type names are shared rather than held once per column.
    QSet<QString> typeNames;
    std::vector<CColumnInfo>* pCurrent = nullptr;
    QString strCurrent;
    int nLastOrdinal = 0;
    bool bTrusted = true;
    const bool bRead = ReadSchemaColumns(statement, strEscape, strCatalog, strOwner, [&](const CSchemaColumn& found) {
        if (found.strTable.isEmpty() || found.nOrdinal <= 0) {
            bTrusted = false;
            return false;
        }
        if (pCurrent == nullptr || found.strTable != strCurrent) {
            if (m_tables.count(found.strTable) != 0) {
                bTrusted = false;   // the table's rows come apart
                return false;
            }
            strCurrent = found.strTable;
            pCurrent = &m_tables[strCurrent];
            nLastOrdinal = 0;
        }
        if (found.nOrdinal <= nLastOrdinal) {
            bTrusted = false;
            return false;
        }
        nLastOrdinal = found.nOrdinal;
        CColumnInfo column = found.column;
        column.m_strTypeName = *typeNames.insert(column.m_strTypeName);
        pCurrent->push_back(std::move(column));
        return true;
    });
    if (bRead && bTrusted)
        return true;
    m_tables.clear();
    return false;
}

const std::vector<CColumnInfo>& CColumnSnapshot::Columns(const QString& strTable) const
{
    static const std::vector<CColumnInfo> none;
    const auto it = m_tables.find(strTable);
    return it != m_tables.end() ? it->second : none;
}
