#include "db/columnsnapshot.h"

#include "db/catalogrow.h"
#include "db/sqltext.h"

bool CColumnSnapshot::Read(CStatement& statement, const QString& strEscape, const QString& strCatalog,
                           const QString& strOwner)
{
    m_tables.clear();
    m_covered.clear();
    m_bCoversAll = true;
    if (ReadPart(statement, strEscape, strCatalog, strOwner, QString()))
        return true;
    m_tables.clear();
    return false;
}

bool CColumnSnapshot::ReadPart(CStatement& statement, const QString& strEscape, const QString& strCatalog,
                               const QString& strOwner, const QString& strTablePattern)
{
    std::vector<CColumnInfo>* pCurrent = nullptr;
    QString strCurrent;
    int nLastOrdinal = 0;
    bool bTrusted = true;
    const bool bRead = ReadSchemaColumns(statement, strEscape, strCatalog, strOwner, strTablePattern,
                                         [&](const CSchemaColumn& found) {
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
        column.m_strTypeName = *m_typeNames.insert(column.m_strTypeName);
        pCurrent->push_back(std::move(column));
        return true;
    });
    return bRead && bTrusted;
}

void CColumnSnapshot::CoverOnly(const QStringList& arrTables)
{
    m_covered = std::unordered_set<QString>(arrTables.cbegin(), arrTables.cend());
    m_bCoversAll = false;
}

const std::vector<CColumnInfo>* CColumnSnapshot::Columns(const QString& strTable) const
{
    static const std::vector<CColumnInfo> none;
    if (!m_bCoversAll && m_covered.count(strTable) == 0)
        return nullptr;
    const auto it = m_tables.find(strTable);
    return it != m_tables.end() ? &it->second : &none;
}

namespace {

// The names of [first, last) all start with strPrefix.
void SplitByPrefix(QStringList::const_iterator first, QStringList::const_iterator last, const QString& strPrefix,
                   int nMaxTables, const QString& strEscape, QStringList& arrPatterns)
{
    if (last - first <= nMaxTables) {
        arrPatterns.append(strPrefix.isEmpty() ? QString()
                                               : EscapeSearchPattern(strPrefix, strEscape) + QLatin1Char('%'));
        return;
    }
    // The prefix itself, as a name, sorts first and is matched alone.
    if (*first == strPrefix) {
        arrPatterns.append(EscapeSearchPattern(strPrefix, strEscape));
        ++first;
    }
    while (first != last) {
        // The next character whole: a surrogate pair is never cut.
        qsizetype nNext = 1;
        if (first->at(strPrefix.size()).isHighSurrogate() && first->size() > strPrefix.size() + 1)
            nNext = 2;
        const QString strLonger = first->left(strPrefix.size() + nNext);
        auto end = first;
        while (end != last && end->startsWith(strLonger))
            ++end;
        SplitByPrefix(first, end, strLonger, nMaxTables, strEscape, arrPatterns);
        first = end;
    }
}

}  // namespace

QStringList TableNameParts(const QStringList& arrSortedNames, int nMaxTables, const QString& strEscape)
{
    QStringList arrPatterns;
    SplitByPrefix(arrSortedNames.cbegin(), arrSortedNames.cend(), QString(), qMax(1, nMaxTables), strEscape,
                  arrPatterns);
    return arrPatterns;
}
