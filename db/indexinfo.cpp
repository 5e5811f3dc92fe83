#include "db/indexinfo.h"

#include "app/language.h"
#include "db/asciitext.h"

namespace {

constexpr int IDS_ASCENDING = 1160;
constexpr int IDS_DESCENDING = 1161;

}  // namespace

void CIndexInfo::AddColumn(const QString& strColumn, bool bAscending)
{
    m_arrColumns.append(strColumn);
    m_arrAscending.append(bAscending);
}

QString CIndexInfo::GetColumnText(int nRow, int nColumn) const
{
    if (nRow < 0 || nRow >= m_arrColumns.size())
        return QString();
    switch (nColumn) {
    case 0:
        return nRow == 0 ? m_strName : QString();
    case 1:
        return m_arrColumns.at(nRow);
    case 2:
        return LoadLangString(m_arrAscending.at(nRow) ? IDS_ASCENDING : IDS_DESCENDING);
    default:
        return QString();
    }
}

bool CIndexInfo::MatchesSearch(int nRow, const QString& strSearch) const
{
    return AsciiLower(m_strName).contains(strSearch)
           || AsciiLower(GetColumnText(nRow, 1)).contains(strSearch)
           || AsciiLower(GetColumnText(nRow, 2)).contains(strSearch);
}
