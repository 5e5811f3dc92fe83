#include "tools/dateexpression.h"

#include "app/formattext.h"
#include "res/stringids.h"

namespace {

enum class Backslash
{
    None,        // a quote inside is doubled; a backslash is text
    InEStrings,  // PostgreSQL: an escape only in E'...'
    Everywhere,  // an escape in every '...'
};

// How one database family ends its quoted texts. Each reading is checked
// in turn: an expression one of them would read as leaving its MAX( ) is
// refused, whatever the others make of it.
struct QuoteReading
{
    Backslash singleQuoteBackslash;
    bool bDoubleQuoteBackslash;  // "..." is a string with escapes
    bool bBackquotes;            // `name`
    bool bBrackets;              // [name]
    bool bDollarQuotes;          // $tag$text$tag$
    bool bQQuotes;               // q'<text>'
};

const QuoteReading kReadings[] = {
    {Backslash::None, false, false, false, false, false},        // standard SQL: DB2, Oracle, SQL Server
    {Backslash::Everywhere, true, true, false, false, false},    // MariaDB, MySQL
    {Backslash::Everywhere, false, true, false, false, false},   // MariaDB, MySQL with ANSI_QUOTES
    {Backslash::None, false, true, false, false, false},         // MariaDB, MySQL with NO_BACKSLASH_ESCAPES
    {Backslash::InEStrings, false, false, false, true, false},   // PostgreSQL
    {Backslash::Everywhere, false, false, false, true, false},   // PostgreSQL, standard_conforming_strings off
    {Backslash::None, false, false, true, false, false},         // SQL Server
    {Backslash::None, false, true, true, false, false},          // SQLite
    {Backslash::None, false, false, false, false, true},         // Oracle
};

constexpr qsizetype kNoQuote = -2;
constexpr qsizetype kUnclosed = -1;

bool IsNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// Whether position i starts a token rather than continuing a name.
bool StartsToken(const QString& s, qsizetype i)
{
    return i == 0 || !IsNameChar(s.at(i - 1));
}

bool IsLetter(const QString& s, qsizetype i, char cLower)
{
    return i >= 0 && i < s.size() && s.at(i).toLower() == QLatin1Char(cLower);
}

// Index just past the quoted text that runs from nFrom to cClose (a doubled
// cClose, or one after a backslash when those escape, is text); kUnclosed
// when it never ends.
qsizetype SkipQuoted(const QString& s, qsizetype nFrom, QChar cClose, bool bBackslash)
{
    for (qsizetype i = nFrom; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (bBackslash && c == u'\\') {
            ++i;
        } else if (c == cClose) {
            if (i + 1 < s.size() && s.at(i + 1) == cClose)
                ++i;
            else
                return i + 1;
        }
    }
    return kUnclosed;
}

// $$ or $tag$ at i (not a $1 parameter, not inside a name), or empty.
QString DollarTag(const QString& s, qsizetype i)
{
    if (!StartsToken(s, i))
        return QString();
    qsizetype j = i + 1;
    while (j < s.size() && (s.at(j).isLetterOrNumber() || s.at(j) == u'_')) {
        if (j == i + 1 && s.at(j).isDigit())
            return QString();
        ++j;
    }
    return j < s.size() && s.at(j) == u'$' ? s.mid(i, j - i + 1) : QString();
}

// Oracle's q'<text>' (or nq'...'), whose text ends at the closing
// delimiter followed by a quote.
qsizetype SkipQQuote(const QString& s, qsizetype i)
{
    const qsizetype nDelimiter = i + 2;
    if (nDelimiter >= s.size())
        return kUnclosed;
    static const QString kOpening = QStringLiteral("([{<");
    static const QString kClosing = QStringLiteral(")]}>");
    const QChar cOpen = s.at(nDelimiter);
    const qsizetype nPair = kOpening.indexOf(cOpen);
    const QChar cClose = nPair < 0 ? cOpen : kClosing.at(nPair);
    for (qsizetype k = nDelimiter + 1; k + 1 < s.size(); ++k) {
        if (s.at(k) == cClose && s.at(k + 1) == u'\'')
            return k + 2;
    }
    return kUnclosed;
}

// Where the quoted text starting at i ends in this reading: kNoQuote when
// none starts there, kUnclosed when it never ends.
qsizetype QuotedEnd(const QString& s, qsizetype i, const QuoteReading& reading)
{
    const QChar c = s.at(i);
    if (c == u'\'') {
        const bool bEString = IsLetter(s, i - 1, 'e') && StartsToken(s, i - 1);
        const bool bBackslash = reading.singleQuoteBackslash == Backslash::Everywhere
                                || (reading.singleQuoteBackslash == Backslash::InEStrings && bEString);
        return SkipQuoted(s, i + 1, c, bBackslash);
    }
    if (c == u'"')
        return SkipQuoted(s, i + 1, c, reading.bDoubleQuoteBackslash);
    if (c == u'`' && reading.bBackquotes)
        return SkipQuoted(s, i + 1, c, false);
    if (c == u'[' && reading.bBrackets)
        return SkipQuoted(s, i + 1, u']', false);
    if (c == u'$' && reading.bDollarQuotes) {
        const QString strTag = DollarTag(s, i);
        if (strTag.isEmpty())
            return kNoQuote;
        const qsizetype nClose = s.indexOf(strTag, i + strTag.size());
        return nClose < 0 ? kUnclosed : nClose + strTag.size();
    }
    if (reading.bQQuotes && IsLetter(s, i, 'q') && i + 1 < s.size() && s.at(i + 1) == u'\''
        && (StartsToken(s, i) || (IsLetter(s, i - 1, 'n') && StartsToken(s, i - 1))))
        return SkipQQuote(s, i);
    return kNoQuote;
}

// The structure outside quoted texts: comments, and parentheses that must
// never close more than they opened and must all be closed at the end.
int CheckStructure(const QString& s, const QuoteReading& reading)
{
    int nDepth = 0;
    for (qsizetype i = 0; i < s.size();) {
        const qsizetype nQuotedEnd = QuotedEnd(s, i, reading);
        if (nQuotedEnd == kUnclosed)
            return StringId::DateExpressionUnclosedQuote;
        if (nQuotedEnd != kNoQuote) {
            i = nQuotedEnd;
            continue;
        }
        const QChar c = s.at(i);
        const QChar next = i + 1 < s.size() ? s.at(i + 1) : QChar();
        if (c == u'#' || (c == u'-' && next == u'-') || (c == u'/' && next == u'*'))
            return StringId::DateExpressionComment;
        if (c == u'(')
            ++nDepth;
        else if (c == u')' && --nDepth < 0)
            return StringId::DateExpressionClosesUnopened;
        ++i;
    }
    return nDepth == 0 ? 0 : StringId::DateExpressionUnclosedParenthesis;
}

}  // namespace

int CheckDateExpression(const QString& strExpression)
{
    // Anywhere, even quoted: the refusal has always read that way.
    if (strExpression.contains(u';'))
        return StringId::FieldExpressionRefused;
    for (const QuoteReading& reading : kReadings) {
        if (const int nRefusal = CheckStructure(strExpression, reading))
            return nRefusal;
    }
    return 0;
}

QString DateExpressionRefusal(const QString& strExpression)
{
    const int nRefusal = CheckDateExpression(strExpression);
    return nRefusal == 0 ? QString() : FormatLangString(nRefusal, {strExpression});
}
