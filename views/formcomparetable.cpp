#include "views/formcomparetable.h"

#include "compare/compareexport.h"
#include "compare/comparestatus.h"
#include "compare/tablecomparison.h"
#include "compare/zembraparam.h"
#include "db/asciitext.h"
#include "res/stringids.h"
#include "controls/colorcheckbutton.h"

CFormCompareTable::CFormCompareTable(CTableComparison& result, CZembraParam& options, const CompareTitles& titles,
                                     QWidget* pParent)
    : CFormCompare(titles, pParent),
      m_result(result),
      m_options(options)
{
}

int CFormCompareTable::GetItemTotal() const
{
    return int(m_result.m_astrCompareTables.size());
}

int CFormCompareTable::GetItemStatus(int nItem) const
{
    return m_result.GetTableStatus(nItem);
}

QString CFormCompareTable::GetItemText(int nItem, int nColumn) const
{
    return nColumn == 0 ? m_result.m_astrCompareTables.value(nItem) : QString();
}

bool CFormCompareTable::HasDetails() const
{
    return true;
}

bool CFormCompareTable::CanShowDetails(int nItem) const
{
    return GetItemStatus(nItem) == CMP_DIFFERENT;
}

bool CFormCompareTable::MatchesSearch(int nItem, const QString& strLower) const
{
    return AsciiLower(m_result.m_astrCompareTables.value(nItem)).contains(strLower);
}

int CFormCompareTable::GetCounterStringId() const
{
    return StringId::TableCounterBase;
}

int CFormCompareTable::GetCount(int nStatus) const
{
    return m_result.GetTableCount(nStatus);
}

bool CFormCompareTable::PrepareExport()
{
    for (int s = 0; s < kStatusCount; ++s)
        m_options.SetOption(OPT_EXPORT_TABLES_SAME + s, GetFilter(s)->GetCheck() == 1);
    for (int n = OPT_EXPORT_DIFF_FIELDS_SAME; n <= OPT_EXPORT_DIFF_FIELDS_DIFFERENT; ++n)
        m_options.SetOption(n, true);
    return EditOptionsUntilOneSet(m_options,
                                  {OPT_EXPORT_TABLES_SAME, OPT_EXPORT_TABLES_LEFT_ONLY, OPT_EXPORT_TABLES_RIGHT_ONLY,
                                   OPT_EXPORT_TABLES_DIFFERENT, OPT_SEPARATOR, OPT_EXPORT_DIFF_FIELDS_SAME,
                                   OPT_SEPARATOR, OPT_EXPORT_DIFF_FIELDS_LEFT_ONLY, OPT_SEPARATOR,
                                   OPT_EXPORT_DIFF_FIELDS_RIGHT_ONLY, OPT_SEPARATOR, OPT_EXPORT_DIFF_FIELDS_DIFFERENT},
                                  {OPT_EXPORT_TABLES_SAME, OPT_EXPORT_TABLES_LEFT_ONLY, OPT_EXPORT_TABLES_RIGHT_ONLY,
                                   OPT_EXPORT_TABLES_DIFFERENT},
                                  GetTitles(), this);
}

QString CFormCompareTable::GetExportName() const
{
    return GetTitles().CompareTitle();
}

bool CFormCompareTable::WriteExport(CExportFile& file)
{
    return WriteTableExport(file, m_options, m_result, GetTitles().strLeft, GetTitles().strRight);
}
