#pragma once

#include <QLocale>
#include <QString>

// Date modes of the table statistics.
enum StatDateMode : int
{
    STAT_DATE_UPMJ = 0,   // the JDE UPMJ column
    STAT_DATE_FIELD = 1,  // the column named by the user
    STAT_DATE_NONE = 2,
};

// The statistics options of the application object, set by the statistics
// dialog just before a run and read by the generator and the result header.
class CStatOptions
{
public:
    // The field name is trimmed, and kept only in mode STAT_DATE_FIELD.
    void SetStatisticsOptions(int nDateMode, const QString& strField);

    // Whether the result lines carry a date column.
    bool HasDateColumn() const;

    int m_nStatDateMode = STAT_DATE_UPMJ;
    QString m_strStatField;
    // The dates are written in this locale's short date format: the user's,
    // unless a front end or a test sets another.
    QLocale m_dateLocale = QLocale::system();
};
