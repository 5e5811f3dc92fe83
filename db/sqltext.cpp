#include "db/sqltext.h"

#include "db/asciitext.h"

#include <QStringList>

#include <algorithm>

namespace {

bool IsAsciiLetter(char16_t u)
{
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

bool IsPlainCharacter(char16_t u)
{
    return IsAsciiLetter(u) || (u >= u'0' && u <= u'9') || u == u'_' || u == u'$';
}

// ODBC's reserved words: a name among them needs quotes on every engine.
const QSet<QString>& OdbcReservedWords()
{
    static const QSet<QString> words = [] {
        const QStringList list = AsciiLower(QString::fromLatin1(SQL_ODBC_KEYWORDS)).split(u',', Qt::SkipEmptyParts);
        return QSet<QString>(list.cbegin(), list.cend());
    }();
    return words;
}

bool HasLetterIn(const QString& strName, char16_t first, char16_t last)
{
    return std::any_of(strName.cbegin(), strName.cend(),
                       [&](QChar c) { return c.unicode() >= first && c.unicode() <= last; });
}

}  // namespace

bool IsPlainIdentifier(const QString& strName)
{
    if (strName.isEmpty() || !IsAsciiLetter(strName.at(0).unicode()))
        return false;
    return std::all_of(strName.cbegin(), strName.cend(), [](QChar c) { return IsPlainCharacter(c.unicode()); });
}

bool StaysUnquoted(const QString& strName, const IdentifierRule& rule)
{
    if (!IsPlainIdentifier(strName))
        return false;
    const QString strLower = AsciiLower(strName);
    if (OdbcReservedWords().contains(strLower) || rule.reservedWords.contains(strLower))
        return false;
    switch (rule.nCase) {
    case SQL_IC_UPPER:
        return !HasLetterIn(strName, u'a', u'z');
    case SQL_IC_LOWER:
        return !HasLetterIn(strName, u'A', u'Z');
    case SQL_IC_SENSITIVE:
    case SQL_IC_MIXED:
        // The engine keeps the name as written; where it matches names
        // without letter case (MariaDB columns, SQLite, SQL Server), quotes
        // do not change that either, so two names differing only in case
        // cannot both exist there.
        return true;
    default:
        return false;   // unknown folding: quotes are exact by the standard
    }
}

QString QuoteIdentifier(const QString& strName, const IdentifierRule& rule)
{
    if (StaysUnquoted(strName, rule))
        return strName;
    QString strInner = strName;
    strInner.replace(rule.strQuote, rule.strQuote + rule.strQuote);
    return rule.strQuote + strInner + rule.strQuote;
}

QString QualifyName(const QString& strCatalog, const QString& strOwner, const QString& strTable,
                    const IdentifierRule& rule)
{
    QString strName;
    if (!strCatalog.isEmpty())
        strName += QuoteIdentifier(strCatalog, rule) + QLatin1Char('.');
    if (!strOwner.isEmpty())
        strName += QuoteIdentifier(strOwner, rule) + QLatin1Char('.');
    return strName + QuoteIdentifier(strTable, rule);
}

QString SqlLiteral(const QString& strValue, bool bBackslashEscapes)
{
    QString strInner = strValue;
    if (bBackslashEscapes)
        strInner.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    strInner.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + strInner + QLatin1Char('\'');
}

bool BackslashEscapesLiterals(const QString& strDbmsName)
{
    return strDbmsName.startsWith(QLatin1String("MySQL"), Qt::CaseInsensitive)
           || strDbmsName.startsWith(QLatin1String("MariaDB"), Qt::CaseInsensitive);
}

QString EscapeSearchPattern(const QString& strName, const QString& strEscape)
{
    if (strEscape.isEmpty())
        return strName;
    QString strPattern;
    strPattern.reserve(strName.size() * 2);
    for (qsizetype i = 0; i < strName.size(); ++i) {
        if (QStringView(strName).mid(i).startsWith(strEscape)) {
            strPattern += QLatin1Char('_');
            i += strEscape.size() - 1;
            continue;
        }
        const QChar c = strName.at(i);
        if (c == QLatin1Char('_') || c == QLatin1Char('%'))
            strPattern += strEscape;
        strPattern += c;
    }
    return strPattern;
}

QString RemovePadding(const QString& strName)
{
    qsizetype n = strName.size();
    while (n > 0 && strName.at(n - 1) == QLatin1Char(' '))
        --n;
    return strName.left(n);
}

bool CatalogNameMatches(const QString& strWanted, const QString& strFound, bool bIgnoreCase)
{
    if (strWanted.isEmpty() || strFound.isEmpty())
        return true;
    return bIgnoreCase ? AsciiEqualsIgnoreCase(strWanted, strFound) : strWanted == strFound;
}
