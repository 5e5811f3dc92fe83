#include "app/language.h"

#include "res/stringtable.h"

#include <atomic>

namespace {

// English until start-up says otherwise, as with missing locale values.
std::atomic<bool> g_bFrench{false};

}  // namespace

bool IsFrenchLanguage(const QString& strLanguage, const QString& strCountry)
{
    static const char* const kFrenchCodes[] = {"FRB", "FRC", "FRA", "FRL", "FRM", "FRS"};
    for (const char* code : kFrenchCodes) {
        if (strLanguage == QLatin1String(code))
            return true;
    }
    return strCountry.compare(QLatin1String("France"), Qt::CaseInsensitive) == 0;
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
