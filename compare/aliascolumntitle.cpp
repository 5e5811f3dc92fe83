#include "compare/aliascolumntitle.h"

#include "app/language.h"
#include "res/stringids.h"

QString GetAliasColumnTitle(int nAttribute, bool bCode, bool bName)
{
    if (nAttribute < 0 || nAttribute >= StringId::AliasAttributeCount)
        return QString();
    const QString strCode = bCode ? LoadLangString(StringId::AliasCodeBase + nAttribute) : QString();
    const QString strName = bName ? LoadLangString(StringId::AliasNameBase + nAttribute) : QString();
    if (!bCode)
        return strName;
    if (strName.isEmpty())
        return strCode;
    return strCode + QStringLiteral(" (") + strName + u')';
}
