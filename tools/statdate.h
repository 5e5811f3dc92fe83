#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QtGlobal>

// A calendar day found by the statistics, with its status: a real day, a
// value that is no day, or no value at all.
class CStatDate
{
public:
    enum Status
    {
        Valid,
        Invalid,
        Null,
    };

    CStatDate() = default;
    // Invalid unless the three numbers name a real day of the years 100 to
    // 9999, the range of the dates the result file has always shown.
    static CStatDate FromYmd(qint64 nYear, qint64 nMonth, qint64 nDay);
    static CStatDate NullDate() { return CStatDate(Null, QDate()); }

    Status GetStatus() const { return m_nStatus; }
    bool IsValid() const { return m_nStatus == Valid; }
    QDate GetDate() const { return m_date; }

private:
    CStatDate(Status nStatus, const QDate& date) : m_nStatus(nStatus), m_date(date) {}

    Status m_nStatus = Invalid;
    QDate m_date;
};

// A JDE Julian date CYYDDD: C centuries after 1900, YY the year in the
// century, DDD the day of the year (000 is 31 December of the year before,
// days past the year's end run into the next). Null for 0 and below.
CStatDate JulianToDate(qint64 nJulian);

// The date in the locale's short date format, but always with the century:
// "1/1/98" would leave a spreadsheet to guess it.
QString FormatStatDate(const QDate& date, const QLocale& locale);

// A date format (QLocale's notation) whose year fields are all four digits;
// quoted text is left as it is.
QString FourDigitYearFormat(const QString& strFormat);
