#include "compare/zembraparam.h"

#include "app/settingsstore.h"

namespace {

const QString kSection = QStringLiteral("Params");
const QString kValue = QStringLiteral("Value");
const QString kMaxIndex = QStringLiteral("MaxIndex");

// Defaults of options 0 to 25: every option is on except the case-sensitive
// matching and the SQL type comparison.
constexpr bool kDefaults[OPT_COUNT] = {
    true,   // OPT_EXPORT_FIELD_LIST
    true,   // OPT_EXPORT_INDEX_LIST
    false,  // OPT_CASE_SENSITIVE
    true,   // OPT_EXPORT_TABLES_SAME
    true,   // OPT_EXPORT_TABLES_LEFT_ONLY
    true,   // OPT_EXPORT_TABLES_RIGHT_ONLY
    true,   // OPT_EXPORT_TABLES_DIFFERENT
    true,   // OPT_EXPORT_DIFF_FIELDS_SAME
    true,   // OPT_EXPORT_DIFF_FIELDS_LEFT_ONLY
    true,   // OPT_EXPORT_DIFF_FIELDS_RIGHT_ONLY
    true,   // OPT_EXPORT_DIFF_FIELDS_DIFFERENT
    true,   // OPT_EXPORT_FIELDS_SAME
    true,   // OPT_EXPORT_FIELDS_LEFT_ONLY
    true,   // OPT_EXPORT_FIELDS_RIGHT_ONLY
    true,   // OPT_EXPORT_FIELDS_DIFFERENT
    true,   // OPT_EXPORT_ALIASES_SAME
    true,   // OPT_EXPORT_ALIASES_LEFT_ONLY
    true,   // OPT_EXPORT_ALIASES_RIGHT_ONLY
    true,   // OPT_EXPORT_ALIASES_DIFFERENT
    true,   // OPT_COMPARE_DTAT
    true,   // OPT_COMPARE_DTAS
    true,   // OPT_COMPARE_OWTP
    true,   // OPT_COMPARE_DTAD
    true,   // OPT_COMPARE_CDEC
    false,  // OPT_COMPARE_SQL_TYPES
    true,   // OPT_SAME_SIZE_STRINGS_EQUAL
};

bool IsValidOption(int nOption)
{
    return nOption >= 0 && nOption < OPT_COUNT;
}

}  // namespace

CZembraParam::CZembraParam()
{
    for (int n = 0; n < OPT_COUNT; ++n)
        SetOption(n, kDefaults[n]);
}

bool CZembraParam::GetOptionDefault(int nOption)
{
    return IsValidOption(nOption) && kDefaults[nOption];
}

bool CZembraParam::IsOptionSet(int nOption) const
{
    return IsValidOption(nOption) && (m_dwOptions & (quint32(1) << nOption)) != 0;
}

void CZembraParam::SetOption(int nOption, bool bSet)
{
    if (!IsValidOption(nOption))
        return;
    const quint32 dwBit = quint32(1) << nOption;
    m_dwOptions = bSet ? (m_dwOptions | dwBit) : (m_dwOptions & ~dwBit);
}

void CZembraParam::LoadOptions(const CSettingsStore& settings)
{
    m_dwOptions = quint32(settings.GetProfileInt(kSection, kValue, 0));
    const int nMaxIndex = settings.GetProfileInt(kSection, kMaxIndex, -1);
    const int nFirstNew = nMaxIndex < 0 ? 0 : (nMaxIndex >= OPT_MAX_INDEX ? OPT_COUNT : nMaxIndex + 1);
    for (int n = nFirstNew; n < OPT_COUNT; ++n)
        SetOption(n, kDefaults[n]);
}

void CZembraParam::SaveOptions(CSettingsStore& settings) const
{
    settings.WriteProfileInt(kSection, kValue, int(m_dwOptions));
    settings.WriteProfileInt(kSection, kMaxIndex, OPT_MAX_INDEX);
}
