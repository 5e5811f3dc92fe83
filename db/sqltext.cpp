#include "db/sqltext.h"

#include "db/asciitext.h"

namespace {

bool IsPlainCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9')
           || u == u'_' || u == u'$' || u == u'#' || u == u'@';
}

}  // namespace

bool IsPlainIdentifier(const QString& strName)
{
    for (QChar c : strName) {
        if (!IsPlainCharacter(c))
            return false;
    }
    return true;
}

QString QuoteIdentifier(const QString& strName, const QString& strQuote)
{
    if (IsPlainIdentifier(strName))
        return strName;
    QString strInner = strName;
    strInner.replace(strQuote, strQuote + strQuote);
    return strQuote + strInner + strQuote;
}

QString QualifyName(const QString& strCatalog, const QString& strOwner, const QString& strTable,
                    const QString& strQuote)
{
    QString strName;
    if (!strCatalog.isEmpty())
        strName += QuoteIdentifier(strCatalog, strQuote) + QLatin1Char('.');
    if (!strOwner.isEmpty())
        strName += QuoteIdentifier(strOwner, strQuote) + QLatin1Char('.');
    return strName + QuoteIdentifier(strTable, strQuote);
}

QString SqlLiteral(const QString& strValue)
{
    QString strInner = strValue;
    strInner.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + strInner + QLatin1Char('\'');
}

QString EscapeSearchPattern(const QString& strName, const QString& strEscape)
{
    if (strEscape.isEmpty())
        return strName;
    QString strPattern;
    strPattern.reserve(strName.size() * 2);
    for (QChar c : strName) {
        const QString strChar(c);
        if (c == QLatin1Char('_') || c == QLatin1Char('%') || strChar == strEscape)
            strPattern += strEscape;
        strPattern += c;
    }
    return strPattern;
}

bool CatalogNameMatches(const QString& strWanted, const QString& strFound)
{
    const QString strFoundName = TrimRight(strFound);
    return strWanted.isEmpty() || strFoundName.isEmpty()
           || AsciiEqualsIgnoreCase(TrimRight(strWanted), strFoundName);
}
