#include "db/columnsnapshot.h"

#include "db/catalogrow.h"
#include "db/sqltext.h"

#include <algorithm>

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

bool CColumnSnapshot::ReadChecked(
    CStatement& statement, const QString& strEscape, const QString& strCatalog, const QString& strOwner,
    const QString& strTablePattern, const QString& strColumnPattern,
    const std::function<void(const QString& strTable, bool bFirst, int nOrdinal, CColumnInfo&& column)>& onColumn)
{
    std::unordered_set<QString> seen;
    QString strCurrent;
    int nLastOrdinal = 0;
    bool bTrusted = true;
    const bool bRead = ReadSchemaColumns(statement, strEscape, strCatalog, strOwner, strTablePattern,
                                         strColumnPattern, [&](const CSchemaColumn& found) {
        if (found.strTable.isEmpty() || found.nOrdinal <= 0) {
            bTrusted = false;
            return false;
        }
        const bool bFirst = seen.empty() || found.strTable != strCurrent;
        if (bFirst) {
            if (!seen.insert(found.strTable).second) {
                bTrusted = false;   // the table's rows come apart
                return false;
            }
            strCurrent = found.strTable;
            nLastOrdinal = 0;
        }
        if (found.nOrdinal <= nLastOrdinal) {
            bTrusted = false;
            return false;
        }
        nLastOrdinal = found.nOrdinal;
        CColumnInfo column = found.column;
        column.m_strTypeName = *m_typeNames.insert(column.m_strTypeName);
        onColumn(strCurrent, bFirst, found.nOrdinal, std::move(column));
        return true;
    });
    return bRead && bTrusted;
}

bool CColumnSnapshot::ReadPart(CStatement& statement, const QString& strEscape, const QString& strCatalog,
                               const QString& strOwner, const QString& strTablePattern)
{
    std::vector<CColumnInfo>* pCurrent = nullptr;
    bool bApart = false;
    const bool bRead = ReadChecked(statement, strEscape, strCatalog, strOwner, strTablePattern, QString(),
                                   [&](const QString& strTable, bool bFirst, int, CColumnInfo&& column) {
        if (bFirst) {
            // A table an earlier part read already: the parts overlap.
            bApart = bApart || m_tables.count(strTable) != 0;
            pCurrent = &m_tables[strTable];
        }
        pCurrent->push_back(std::move(column));
    });
    return bRead && !bApart;
}

bool CColumnSnapshot::ReadMatching(CStatement& statement, const QString& strEscape, const QString& strCatalog,
                                   const QString& strOwner, const QString& strColumnPattern)
{
    std::unordered_map<QString, std::vector<CColumnInfo>> found;
    std::vector<CColumnInfo>* pCurrent = nullptr;
    const bool bRead = ReadChecked(statement, strEscape, strCatalog, strOwner, QString(), strColumnPattern,
                                   [&](const QString& strTable, bool bFirst, int, CColumnInfo&& column) {
        if (bFirst)
            pCurrent = &found[strTable];
        pCurrent->push_back(std::move(column));
    });
    if (!bRead)
        return false;
    // A driver that matches patterns without letter case gives the same
    // columns for each; where two patterns give a table different ones,
    // their order in the table is unknown (some drivers number the rows
    // given, not the table's columns): that table is read on its own.
    const auto sameNames = [](const std::vector<CColumnInfo>& a, const std::vector<CColumnInfo>& b) {
        return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend(),
                          [](const CColumnInfo& x, const CColumnInfo& y) { return x.m_strName == y.m_strName; });
    };
    for (auto& [strTable, columns] : found) {
        const auto it = m_tables.find(strTable);
        if (it == m_tables.end())
            m_tables.emplace(strTable, std::move(columns));
        else if (!sameNames(it->second, columns))
            m_unordered.insert(strTable);
    }
    return true;
}

void CColumnSnapshot::CoverOnly(const QStringList& arrTables)
{
    m_covered = std::unordered_set<QString>(arrTables.cbegin(), arrTables.cend());
    m_bCoversAll = false;
}

const std::vector<CColumnInfo>* CColumnSnapshot::Columns(const QString& strTable) const
{
    static const std::vector<CColumnInfo> none;
    if ((!m_bCoversAll && m_covered.count(strTable) == 0) || m_unordered.count(strTable) != 0)
        return nullptr;
    const auto it = m_tables.find(strTable);
    return it != m_tables.end() ? &it->second : &none;
}

namespace {

// The names of [first, last) all start with strPrefix. False when onPart
// stopped the walk.
bool SplitByPrefix(QStringList::const_iterator first, QStringList::const_iterator last, const QString& strPrefix,
                   const std::function<int()>& maxTables, const QString& strEscape,
                   const std::function<bool(const QString&)>& onPart)
{
    if (last - first <= qMax(1, maxTables()))
        return onPart(strPrefix.isEmpty() ? QString() : EscapeSearchPattern(strPrefix, strEscape) + QLatin1Char('%'));
    // The prefix itself, as a name, sorts first and is matched alone.
    if (*first == strPrefix) {
        if (!onPart(EscapeSearchPattern(strPrefix, strEscape)))
            return false;
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
        if (!SplitByPrefix(first, end, strLonger, maxTables, strEscape, onPart))
            return false;
        first = end;
    }
    return true;
}

}  // namespace

bool ForEachTableNamePart(const QStringList& arrSortedNames, const QString& strEscape,
                          const std::function<int()>& maxTables, const std::function<bool(const QString&)>& onPart)
{
    // A name a pattern cannot spell exactly (one holding the escape, or a
    // pattern character where the driver has no escape) leaves one call
    // for all: prefixes would then match other parts' names.
    const bool bSpellable = std::none_of(arrSortedNames.cbegin(), arrSortedNames.cend(), [&](const QString& strName) {
        return strEscape.isEmpty() ? strName.contains(u'_') || strName.contains(u'%') : strName.contains(strEscape);
    });
    if (!bSpellable)
        return onPart(QString());
    return SplitByPrefix(arrSortedNames.cbegin(), arrSortedNames.cend(), QString(), maxTables, strEscape, onPart);
}

QStringList TableNameParts(const QStringList& arrSortedNames, int nMaxTables, const QString& strEscape)
{
    QStringList arrPatterns;
    ForEachTableNamePart(arrSortedNames, strEscape, [&] { return nMaxTables; }, [&](const QString& strPattern) {
        arrPatterns.append(strPattern);
        return true;
    });
    return arrPatterns;
}

int CColumnSnapshot::TableCount() const
{
    return int(m_tables.size());
}

qint64 CColumnSnapshot::ColumnCount() const
{
    qint64 nColumns = 0;
    for (const auto& table : m_tables)
        nColumns += qint64(table.second.size());
    return nColumns;
}
