#include "app/language.h"

#include "db/asciitext.h"
#include "res/stringtable.h"

#include <atomic>

namespace {

// English until start-up says otherwise, as with missing locale values.
std::atomic<bool> g_bFrench{false};

struct LanguageCode
{
    QLocale::Language language;
    QLocale::Territory territory;  // AnyTerritory: the language's main code
    const char* pszCode;
};

// Windows abbreviations of the usual locales. A territory missing here gets
// its language's main code (the AnyTerritory row).
const LanguageCode kLanguageCodes[] = {
    {QLocale::French, QLocale::France, "FRA"},
    {QLocale::French, QLocale::Belgium, "FRB"},
    {QLocale::French, QLocale::Canada, "FRC"},
    {QLocale::French, QLocale::Switzerland, "FRS"},
    {QLocale::French, QLocale::Luxembourg, "FRL"},
    {QLocale::French, QLocale::Monaco, "FRM"},
    {QLocale::French, QLocale::AnyTerritory, "FRA"},
    {QLocale::English, QLocale::UnitedStates, "ENU"},
    {QLocale::English, QLocale::UnitedKingdom, "ENG"},
    {QLocale::English, QLocale::Australia, "ENA"},
    {QLocale::English, QLocale::Canada, "ENC"},
    {QLocale::English, QLocale::Ireland, "ENI"},
    {QLocale::English, QLocale::NewZealand, "ENZ"},
    {QLocale::English, QLocale::SouthAfrica, "ENS"},
    {QLocale::English, QLocale::AnyTerritory, "ENU"},
    {QLocale::German, QLocale::Germany, "DEU"},
    {QLocale::German, QLocale::Switzerland, "DES"},
    {QLocale::German, QLocale::Austria, "DEA"},
    {QLocale::German, QLocale::Luxembourg, "DEL"},
    {QLocale::German, QLocale::AnyTerritory, "DEU"},
    {QLocale::Italian, QLocale::Switzerland, "ITS"},
    {QLocale::Italian, QLocale::AnyTerritory, "ITA"},
    {QLocale::Dutch, QLocale::Belgium, "NLB"},
    {QLocale::Dutch, QLocale::AnyTerritory, "NLD"},
    {QLocale::Spanish, QLocale::Mexico, "ESM"},
    {QLocale::Spanish, QLocale::AnyTerritory, "ESN"},
    {QLocale::Portuguese, QLocale::Brazil, "PTB"},
    {QLocale::Portuguese, QLocale::AnyTerritory, "PTG"},
    {QLocale::Chinese, QLocale::Taiwan, "CHT"},
    {QLocale::Chinese, QLocale::AnyTerritory, "CHS"},
    {QLocale::Japanese, QLocale::AnyTerritory, "JPN"},
    {QLocale::Korean, QLocale::AnyTerritory, "KOR"},
    {QLocale::Russian, QLocale::AnyTerritory, "RUS"},
    {QLocale::Polish, QLocale::AnyTerritory, "PLK"},
    {QLocale::Swedish, QLocale::AnyTerritory, "SVE"},
    {QLocale::Danish, QLocale::AnyTerritory, "DAN"},
    {QLocale::NorwegianBokmal, QLocale::AnyTerritory, "NOR"},
    {QLocale::Finnish, QLocale::AnyTerritory, "FIN"},
    {QLocale::Czech, QLocale::AnyTerritory, "CSY"},
    {QLocale::Hungarian, QLocale::AnyTerritory, "HUN"},
    {QLocale::Turkish, QLocale::AnyTerritory, "TRK"},
    {QLocale::Greek, QLocale::AnyTerritory, "ELL"},
};

const char* FindLanguageCode(QLocale::Language language, QLocale::Territory territory)
{
    const char* pszMain = nullptr;
    for (const LanguageCode& row : kLanguageCodes) {
        if (row.language != language)
            continue;
        if (row.territory == territory)
            return row.pszCode;
        if (row.territory == QLocale::AnyTerritory)
            pszMain = row.pszCode;
    }
    return pszMain;
}

}  // namespace

QString GetUserLanguage(QString& strCountry, const QLocale& locale)
{
    QString strLanguage = QStringLiteral("ENG");
    strCountry.clear();
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
        return strLanguage;
    if (const char* pszCode = FindLanguageCode(locale.language(), locale.territory()))
        strLanguage = QLatin1String(pszCode);
    if (locale.territory() != QLocale::AnyTerritory)
        strCountry = QLocale::territoryToString(locale.territory());
    return strLanguage;
}

bool IsFrenchLanguage(const QString& strLanguage, const QString& strCountry)
{
    static const char* const kFrenchCodes[] = {"FRB", "FRC", "FRA", "FRL", "FRM", "FRS"};
    for (const char* code : kFrenchCodes) {
        if (strLanguage == QLatin1String(code))
            return true;
    }
    return AsciiEqualsIgnoreCase(strCountry, QStringLiteral("France"));
}

void SetInterfaceLanguage(const QString& strLanguage, const QString& strCountry)
{
    g_bFrench = IsFrenchLanguage(strLanguage, strCountry);
}

bool IsInterfaceFrench()
{
    return g_bFrench;
}

int MapResourceId(int nId)
{
    return g_bFrench ? nId : nId + 1000;
}

void LoadLangString(QString& strText, int nId)
{
    const int nMapped = MapResourceId(nId);
    strText = FindStringResource(nMapped);
    if (strText.isEmpty() && nMapped != nId)
        strText = FindStringResource(nId);
}

QString LoadLangString(int nId)
{
    QString strText;
    LoadLangString(strText, nId);
    return strText;
}
