#include "views/formcomparecolumn.h"

#include "app/language.h"
#include "compare/columncompareinfo.h"
#include "compare/compareexport.h"
#include "compare/comparestatus.h"
#include "compare/tablecomparison.h"
#include "compare/zembraparam.h"
#include "controls/colorcheckbutton.h"
#include "res/stringids.h"
#include "views/comparelistctrl.h"

namespace {

constexpr int kFieldColumns = CColumnCompareInfo::kColumnCount;

}  // namespace

CFormCompareColumn::CFormCompareColumn(CTableComparison& result, CZembraParam& options, int nTable,
                                       const CompareTitles& titles, QWidget* pParent)
    : CFormCompare(titles, pParent),
      m_result(result),
      m_options(options),
      m_nTable(nTable),
      m_bSqlTypes(options.IsOptionSet(OPT_COMPARE_SQL_TYPES))
{
    if (!m_result.GetTableColumns(m_nTable, m_nPosition, m_nFieldCount, m_nNameLen, m_nTypeLen))
        m_nFieldCount = 0;
    for (int nField = 0; nField < m_nFieldCount; ++nField) {
        const int nStatus = GetItemStatus(nField);
        if (nStatus >= 0 && nStatus < kStatusCount)
            ++m_anCount[nStatus];
    }
}

int CFormCompareColumn::GetItemTotal() const
{
    return m_nFieldCount;
}

int CFormCompareColumn::GetItemStatus(int nItem) const
{
    return m_result.GetColumnStatus(nItem, m_nPosition, m_nNameLen, m_nTypeLen);
}

QString CFormCompareColumn::GetItemText(int nItem, int nColumn) const
{
    if (nColumn < 0 || nColumn >= (m_bSqlTypes ? kFieldColumns : 1))
        return QString();
    const auto pRecord = m_result.ReadColumnResult(nItem, m_nPosition, m_nNameLen, m_nTypeLen);
    return pRecord ? pRecord->GetColumnText(nColumn) : QString();
}

bool CFormCompareColumn::HasFilter(int nStatus) const
{
    return nStatus != CMP_DIFFERENT || m_bSqlTypes;
}

bool CFormCompareColumn::MatchesSearch(int nItem, const QString& strLower) const
{
    const auto pRecord = m_result.ReadColumnResult(nItem, m_nPosition, m_nNameLen, m_nTypeLen);
    return pRecord && pRecord->MatchesSearch(m_bSqlTypes, strLower);
}

int CFormCompareColumn::GetCounterStringId() const
{
    return StringId::FieldCounterBase;
}

int CFormCompareColumn::GetCount(int nStatus) const
{
    return nStatus >= 0 && nStatus < kStatusCount ? m_anCount[nStatus] : 0;
}

int CFormCompareColumn::GetHeaderBandHeight() const
{
    return m_bSqlTypes ? kHeaderBandHeight : 0;
}

void CFormCompareColumn::SizeColumns()
{
    if (m_bSqlTypes)
        SizeWeightedColumns({22, 26, 12, 20, 20});
    else
        CFormCompare::SizeColumns();
}

QList<QStringList> CFormCompareColumn::GetColumnCaptions() const
{
    if (!m_bSqlTypes)
        return {};
    QList<QStringList> arrCaptions;
    for (int c = 0; c < kFieldColumns; ++c)
        arrCaptions.append({LoadLangString(StringId::FieldHeaderBase + c)});
    arrCaptions[3].append(GetTitles().strLeft);
    arrCaptions[4].append(GetTitles().strRight);
    return arrCaptions;
}

bool CFormCompareColumn::PrepareExport()
{
    for (int s = 0; s < kStatusCount; ++s)
        m_options.SetOption(OPT_EXPORT_FIELDS_SAME + s, HasFilter(s) && GetFilter(s)->GetCheck() == 1);
    QList<int> arrShown{OPT_EXPORT_FIELDS_SAME, OPT_EXPORT_FIELDS_LEFT_ONLY, OPT_EXPORT_FIELDS_RIGHT_ONLY};
    if (HasFilter(CMP_DIFFERENT))
        arrShown.append(OPT_EXPORT_FIELDS_DIFFERENT);
    return EditOptionsUntilOneSet(m_options, arrShown,
                                  {OPT_EXPORT_FIELDS_SAME, OPT_EXPORT_FIELDS_LEFT_ONLY, OPT_EXPORT_FIELDS_RIGHT_ONLY,
                                   OPT_EXPORT_FIELDS_DIFFERENT},
                                  GetTitles(), this);
}

QString CFormCompareColumn::GetExportName() const
{
    return GetTitles().CompareTitle() + QStringLiteral(" - ") + m_result.m_astrCompareTables.value(m_nTable);
}

bool CFormCompareColumn::WriteExport(CExportFile& file)
{
    return WriteFieldExport(file, m_options, m_result, m_nTable, m_bSqlTypes, GetTitles().strLeft,
                            GetTitles().strRight);
}
