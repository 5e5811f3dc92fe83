#include "views/formcomparealias.h"

#include "app/language.h"
#include "compare/aliascolumntitle.h"
#include "compare/aliascompareinfo.h"
#include "compare/aliascomparison.h"
#include "compare/compareexport.h"
#include "compare/comparestatus.h"
#include "compare/zembraparam.h"
#include "controls/colorcheckbutton.h"
#include "res/stringids.h"
#include "views/comparelistctrl.h"

namespace {

constexpr int kAttributeCount = 5;
constexpr int kColumnWeights[kAttributeCount + 1] = {30, 13, 18, 13, 13, 13};

}  // namespace

CFormCompareAlias::CFormCompareAlias(CAliasComparison& result, CZembraParam& options, const CompareTitles& titles,
                                     QWidget* pParent)
    : CFormCompare(titles, pParent),
      m_result(result),
      m_options(options)
{
}

int CFormCompareAlias::GetItemTotal() const
{
    return m_result.m_nAliasSlots;
}

int CFormCompareAlias::GetItemStatus(int nItem) const
{
    return m_result.GetAliasStatus(nItem);
}

std::vector<int> CFormCompareAlias::ReadItemStatuses() const
{
    return m_result.ReadAliasStatuses();
}

bool CFormCompareAlias::IsListable(int nStatus) const
{
    // A slot without an alias is no row, whichever filter is on.
    return nStatus != CMP_UNSET;
}

QString CFormCompareAlias::GetItemText(int nItem, int nColumn) const
{
    if (nColumn < 0 || nColumn > kAttributeCount)
        return QString();
    const auto pRecord = m_result.ReadAliasResult(nItem);
    return pRecord ? pRecord->GetColumnText(nColumn, m_options) : QString();
}

bool CFormCompareAlias::MatchesSearch(int nItem, const QString& strLower) const
{
    const auto pRecord = m_result.ReadAliasResult(nItem);
    return pRecord && pRecord->MatchesSearch(strLower, m_options);
}

int CFormCompareAlias::GetCounterStringId() const
{
    return StringId::AliasCounterBase;
}

int CFormCompareAlias::GetCount(int nStatus) const
{
    return m_result.GetAliasCount(nStatus);
}

int CFormCompareAlias::GetHeaderBandHeight() const
{
    return kHeaderBandHeight;
}

void CFormCompareAlias::SizeColumns()
{
    QList<int> arrWeights{kColumnWeights[0]};
    for (int i = 0; i < kAttributeCount; ++i)
        arrWeights.append(m_options.IsOptionSet(OPT_COMPARE_DTAT + i) ? kColumnWeights[i + 1] : 0);
    SizeWeightedColumns(arrWeights);
}

QList<QStringList> CFormCompareAlias::GetColumnCaptions() const
{
    QList<QStringList> arrCaptions{{LoadLangString(StringId::AliasTitle)}};
    for (int i = 0; i < kAttributeCount; ++i)
        arrCaptions.append({GetAliasColumnTitle(i, true, false), GetAliasColumnTitle(i, false, true)});
    return arrCaptions;
}

bool CFormCompareAlias::PrepareExport()
{
    QList<int> arrOptions;
    for (int s = 0; s < kStatusCount; ++s) {
        m_options.SetOption(OPT_EXPORT_ALIASES_SAME + s, GetFilter(s)->GetCheck() == 1);
        arrOptions.append(OPT_EXPORT_ALIASES_SAME + s);
    }
    return EditOptionsUntilOneSet(m_options, arrOptions, arrOptions, GetTitles(), this);
}

QString CFormCompareAlias::GetExportName() const
{
    return GetTitles().CompareTitle();
}

bool CFormCompareAlias::WriteExport(CExportFile& file)
{
    return WriteAliasExport(file, m_options, m_result, GetTitles().strLeft, GetTitles().strRight);
}
