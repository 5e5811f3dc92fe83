#pragma once

// The ODBC headers and the few conversions every database file needs.

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <QString>

// unixODBC is built with 16-bit SQLWCHAR, the same code units as QString:
// buffers are handed over without conversion.
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "SQLWCHAR must be UTF-16");

inline SQLWCHAR* ToSqlWChar(const QString& str)
{
    // ODBC's prototypes are not const-correct; input arguments are never written.
    return const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(str.utf16()));
}

// Text of a zero-terminated SQLWCHAR buffer holding at most nMax code units.
inline QString FromSqlWChar(const SQLWCHAR* psz, qsizetype nMax)
{
    const auto* p = reinterpret_cast<const char16_t*>(psz);
    qsizetype n = 0;
    while (n < nMax && p[n] != 0)
        ++n;
    return QString::fromUtf16(p, n);
}

inline bool SqlSucceeded(SQLRETURN nRet)
{
    return nRet == SQL_SUCCESS || nRet == SQL_SUCCESS_WITH_INFO;
}
