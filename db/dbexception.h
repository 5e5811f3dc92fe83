#pragma once

#include "db/odbc.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <algorithm>
#include <exception>

// A database error: the ODBC return code, the handles it concerns and the
// driver's diagnostics, read when the error is raised.
class CDBException : public std::exception
{
public:
    CDBException(SQLRETURN nRetCode, SQLHDBC hdbc, SQLHSTMT hstmt);
    // A failure no diagnostic record describes (no handle to ask, or a
    // check of our own), with the text to show.
    CDBException(SQLRETURN nRetCode, const QString& strError);

    const char* what() const noexcept override;

    // Removes the leading "[origin]" prefixes of a driver message and returns
    // them, concatenated, as the message's origin.
    static QString StripOriginPrefixes(QString& strMessage);

    SQLRETURN m_nRetCode;
    SQLHDBC m_hdbc;
    SQLHSTMT m_hstmt;
    QString m_strError;               // one line per diagnostic record, as shown to the user
    QString m_strStateNativeOrigin;   // State/Native/Origin per record, for diagnostics only

    // SQLSTATE and native error of each record, in order, for callers that
    // tell one failure from another.
    struct Code
    {
        QString strState;
        SQLINTEGER nNative;
    };
    QList<Code> m_arrCodes;

    bool HasState(const QString& strState) const
    {
        return std::any_of(m_arrCodes.cbegin(), m_arrCodes.cend(),
                           [&](const Code& code) { return code.strState == strState; });
    }

private:
    void BuildErrorText();

    QByteArray m_utf8What;
};

[[noreturn]] void ThrowDBException(SQLRETURN nRetCode, SQLHDBC hdbc, SQLHSTMT hstmt);
