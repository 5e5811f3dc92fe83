#include "compare/columncompareinfo.h"

#include "compare/resultstream.h"
#include "db/asciitext.h"
#include "db/columninfo.h"
#include "db/odbc.h"
#include "db/sqltypes.h"

namespace {

bool IsCharacterType(int nSqlType)
{
    return nSqlType == SQL_CHAR || nSqlType == SQL_VARCHAR || nSqlType == SQL_WCHAR || nSqlType == SQL_WVARCHAR;
}

bool HasLength(int nSqlType)
{
    return IsCharacterType(nSqlType) || nSqlType == SQL_BINARY || nSqlType == SQL_VARBINARY;
}

void RaiseWidth(qint16& nWidth, qsizetype nLength)
{
    const qsizetype nCapped = qMin<qsizetype>(nLength, CColumnCompareInfo::kMaxWidth);
    if (nCapped > nWidth)
        nWidth = qint16(nCapped);
}

// The left text, and " | " with the right one when they differ.
QString PairText(const QString& strLeft, const QString& strRight, bool bDiffer)
{
    return bDiffer ? strLeft + QStringLiteral(" | ") + strRight : strLeft;
}

}  // namespace

CColumnCompareInfo::CColumnCompareInfo(const CColumnInfo* pLeft, const CColumnInfo* pRight, qint16& nNameLen,
                                       qint16& nTypeLen)
    : m_nStatus(pLeft != nullptr ? (pRight != nullptr ? CMP_SAME : CMP_LEFT_ONLY) : CMP_RIGHT_ONLY)
{
    const CColumnInfo* sides[2] = {pLeft, pRight};
    for (int nSide = 0; nSide < 2; ++nSide) {
        if (const CColumnInfo* pField = sides[nSide]) {
            m_nSqlType[nSide] = pField->m_nSqlType;
            m_strTypeName[nSide] = pField->m_strTypeName;
            m_nSize[nSide] = pField->m_nSize;
            RaiseWidth(nTypeLen, pField->m_strTypeName.size());
        }
    }
    m_strName = pLeft != nullptr ? pLeft->m_strName : (pRight != nullptr ? pRight->m_strName : QString());
    RaiseWidth(nNameLen, m_strName.size());
}

void CColumnCompareInfo::CompareSqlTypes(bool bSameSizeStrings)
{
    if (m_nStatus != CMP_SAME)
        return;
    const int tL = m_nSqlType[0];
    const int tR = m_nSqlType[1];
    if (tL != tR && !(bSameSizeStrings && IsCharacterType(tL) && IsCharacterType(tR)))
        m_nStatus = CMP_DIFFERENT;
    else if (HasLength(tL) && HasLength(tR) && m_nSize[0] != m_nSize[1])
        m_nStatus = CMP_DIFFERENT;
}

bool CColumnCompareInfo::Serialize(bool bLoad, CResultStream& stream, int nNameLen, int nTypeLen)
{
    if (bLoad) {
        m_strName = stream.ReadText(nNameLen);
        m_nStatus = stream.ReadInt32();
        for (int nSide = 0; nSide < 2; ++nSide) {
            m_nSqlType[nSide] = stream.ReadInt32();
            m_strTypeName[nSide] = stream.ReadText(nTypeLen);
            m_nSize[nSide] = stream.ReadInt32();
        }
    } else {
        stream.WriteText(m_strName, nNameLen);
        stream.WriteInt32(m_nStatus);
        for (int nSide = 0; nSide < 2; ++nSide) {
            stream.WriteInt32(m_nSqlType[nSide]);
            stream.WriteText(m_strTypeName[nSide], nTypeLen);
            stream.WriteInt32(m_nSize[nSide]);
        }
    }
    return stream.IsOk();
}

QString CColumnCompareInfo::GetColumnText(int nColumn) const
{
    const int nShown = m_nStatus == CMP_RIGHT_ONLY ? 1 : 0;
    const bool bDifferent = m_nStatus == CMP_DIFFERENT;
    switch (nColumn) {
    case 0:
        return m_strName;
    case 1:
        return PairText(GetSqlTypeName(m_nSqlType[nShown]), GetSqlTypeName(m_nSqlType[1]),
                        bDifferent && m_nSqlType[0] != m_nSqlType[1]);
    case 2:
        return PairText(QString::number(m_nSize[nShown]), QString::number(m_nSize[1]),
                        bDifferent && m_nSize[0] != m_nSize[1]);
    case 3:
        return m_strTypeName[0];
    case 4:
        return m_strTypeName[1];
    default:
        return QString();
    }
}

bool CColumnCompareInfo::MatchesSearch(bool bAllColumns, const QString& strLower) const
{
    const int nColumns = bAllColumns ? kColumnCount : 1;
    for (int nColumn = 0; nColumn < nColumns; ++nColumn) {
        if (AsciiLower(GetColumnText(nColumn)).contains(strLower))
            return true;
    }
    return false;
}

QString CColumnCompareInfo::GetTypeName(int nSide) const
{
    return nSide == 0 || nSide == 1 ? m_strTypeName[nSide] : QString();
}
