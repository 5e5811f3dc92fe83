#include "db/dbexception.h"

#include "db/database.h"

namespace {

constexpr int kMessageBufferChars = 511;
// A driver that never runs out of records must not hang the error path.
constexpr int kMaxDiagnosticRecords = 100;

}  // namespace

CDBException::CDBException(SQLRETURN nRetCode, SQLHDBC hdbc, SQLHSTMT hstmt)
    : m_nRetCode(nRetCode), m_hdbc(hdbc), m_hstmt(hstmt)
{
    BuildErrorText();
    m_utf8What = m_strError.toUtf8();
}

CDBException::CDBException(SQLRETURN nRetCode, const QString& strError)
    : m_nRetCode(nRetCode), m_hdbc(SQL_NULL_HDBC), m_hstmt(SQL_NULL_HSTMT), m_strError(strError + QLatin1Char('\n')),
      m_utf8What(m_strError.toUtf8())
{
}

const char* CDBException::what() const noexcept
{
    return m_utf8What.constData();
}

QString CDBException::StripOriginPrefixes(QString& strMessage)
{
    QString strOrigin;
    while (strMessage.startsWith(QLatin1Char('['))) {
        const qsizetype nClose = strMessage.indexOf(QLatin1Char(']'));
        if (nClose < 0)
            break;
        strOrigin += strMessage.left(nClose + 1);
        qsizetype nCut = nClose + 1;
        if (nCut < strMessage.size() && strMessage.at(nCut) == QLatin1Char(' '))
            ++nCut;
        strMessage.remove(0, nCut);
    }
    return strOrigin;
}

void CDBException::BuildErrorText()
{
    const SQLHENV henv = CDatabase::SharedEnvironment();
    for (int nRecord = 0; nRecord < kMaxDiagnosticRecords; ++nRecord) {
        SQLWCHAR szState[6] = {};
        SQLINTEGER nNative = 0;
        SQLWCHAR szMessage[kMessageBufferChars + 1] = {};
        SQLSMALLINT nLength = 0;
        const SQLRETURN nRet = SQLErrorW(henv, m_hdbc, m_hstmt, szState, &nNative, szMessage,
                                         kMessageBufferChars, &nLength);
        if (!SqlSucceeded(nRet))
            break;
        const QString strState = FromSqlWChar(szState, 5);
        if (strState == QLatin1String("00000"))
            break;
        QString strMessage = FromSqlWChar(szMessage, kMessageBufferChars);
        const QString strOrigin = StripOriginPrefixes(strMessage);
        m_strError += strMessage + QLatin1Char('\n');
        m_arrCodes.append({strState, nNative});
        m_strStateNativeOrigin += QLatin1String("State:") + strState + QLatin1String(",Native:")
                                  + QString::number(nNative) + QLatin1String(",Origin:") + strOrigin
                                  + QLatin1Char('\n');
    }
}

void ThrowDBException(SQLRETURN nRetCode, SQLHDBC hdbc, SQLHSTMT hstmt)
{
    throw CDBException(nRetCode, hdbc, hstmt);
}
