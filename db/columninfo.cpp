#include "db/columninfo.h"

#include "db/asciitext.h"
#include "db/odbc.h"

namespace {

bool IsSizedType(int nSqlType)
{
    switch (nSqlType) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_BINARY:
    case SQL_VARBINARY:
        return true;
    default:
        return false;
    }
}

}  // namespace

CColumnInfo::CColumnInfo(const QString& strName, int nSqlType, const QString& strTypeName, int nSize)
    : m_strName(strName), m_nSqlType(nSqlType), m_strTypeName(strTypeName), m_nSize(nSize)
{
}

QString CColumnInfo::GetColumnText(int nColumn) const
{
    switch (nColumn) {
    case 0:
        return m_strName;
    case 1:
        if (IsSizedType(m_nSqlType))
            return m_strTypeName + QLatin1String(" (") + QString::number(m_nSize) + QLatin1Char(')');
        return m_strTypeName;
    default:
        return QString();
    }
}

bool CColumnInfo::MatchesSearch(const QString& strSearch) const
{
    return AsciiLower(GetColumnText(0)).contains(strSearch)
           || AsciiLower(GetColumnText(1)).contains(strSearch);
}
