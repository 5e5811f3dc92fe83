#pragma once

#include <QString>

// Letter case folding "in the C locale": only A-Z and a-z fold, every other
// character stays as it is (QString::toLower would fold accented letters too).

inline char16_t AsciiLowerChar(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

inline QString AsciiLower(const QString& str)
{
    QString strLower = str;
    for (QChar& c : strLower)
        c = QChar(AsciiLowerChar(c.unicode()));
    return strLower;
}

inline bool AsciiEqualsIgnoreCase(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (AsciiLowerChar(a.at(i).unicode()) != AsciiLowerChar(b.at(i).unicode()))
            return false;
    }
    return true;
}

// Trailing white space (space, tab, line feed, vertical tab, form feed,
// carriage return) removed.
inline QString TrimRight(const QString& str)
{
    qsizetype n = str.size();
    while (n > 0) {
        const char16_t c = str.at(n - 1).unicode();
        if (c != u' ' && (c < u'\t' || c > u'\r'))
            break;
        --n;
    }
    return str.left(n);
}
