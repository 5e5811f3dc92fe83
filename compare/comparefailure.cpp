#include "compare/comparefailure.h"

#include "app/formattext.h"
#include "app/language.h"
#include "res/stringids.h"

void CCompareFailure::Clear()
{
    *this = CCompareFailure();
}

void CCompareFailure::Set(Kind nKind, const QString& strPath, const QString& strReason)
{
    *this = CCompareFailure();
    m_nKind = nKind;
    m_strPath = strPath;
    m_strReason = strReason;
}

void CCompareFailure::SetDatabaseError(const QString& strDataSource, const QString& strReason)
{
    *this = CCompareFailure();
    m_nKind = DatabaseError;
    m_strDataSource = strDataSource;
    m_strReason = strReason;
}

QString CCompareFailure::GetMessage() const
{
    if (m_nKind == None)
        return QString();
    if (m_nKind == DatabaseError)
        return FormatLangString(StringId::DatabaseError, {m_strReason});
    QString strMessage = LoadLangString(m_nKind == CannotCreate ? StringId::CannotOpenFile : StringId::CannotWriteFile);
    strMessage.replace(QStringLiteral("%s"), m_strPath);
    if (!m_strReason.isEmpty())
        strMessage += QStringLiteral("\n") + m_strReason;
    return strMessage;
}
