#include "tools/statdate.h"

namespace {

constexpr qint64 kFirstYear = 100;
constexpr qint64 kLastYear = 9999;

bool InRange(const QDate& date)
{
    return date.isValid() && date.year() >= kFirstYear && date.year() <= kLastYear;
}

}  // namespace

CStatDate CStatDate::FromYmd(qint64 nYear, qint64 nMonth, qint64 nDay)
{
    if (nYear < kFirstYear || nYear > kLastYear || nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > 31)
        return CStatDate();
    const QDate date{int(nYear), int(nMonth), int(nDay)};
    return InRange(date) ? CStatDate(Valid, date) : CStatDate();
}

CStatDate JulianToDate(qint64 nJulian)
{
    if (nJulian <= 0)
        return CStatDate::NullDate();
    const qint64 nYear = (nJulian % 100000) / 1000 + (nJulian / 100000) * 100 + 1900;
    if (nYear < kFirstYear || nYear > kLastYear)
        return CStatDate();
    const QDate date = QDate(int(nYear), 1, 1).addDays(nJulian % 1000 - 1);
    return InRange(date) ? CStatDate::FromYmd(date.year(), date.month(), date.day()) : CStatDate();
}

QString FormatStatDate(const QDate& date, const QLocale& locale)
{
    return locale.toString(date, FourDigitYearFormat(locale.dateFormat(QLocale::ShortFormat)));
}

QString FourDigitYearFormat(const QString& strFormat)
{
    QString strResult;
    bool bQuoted = false;
    for (qsizetype i = 0; i < strFormat.size();) {
        const QChar c = strFormat.at(i);
        if (c == u'\'')
            bQuoted = !bQuoted;
        if (bQuoted || c != u'y') {
            strResult += c;
            ++i;
            continue;
        }
        while (i < strFormat.size() && strFormat.at(i) == u'y')
            ++i;
        strResult += QStringLiteral("yyyy");
    }
    return strResult;
}
