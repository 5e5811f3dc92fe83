#include "compare/aliascompareinfo.h"

#include "compare/resultstream.h"
#include "compare/zembraparam.h"
#include "db/asciitext.h"

#include <iterator>

CAliasCompareInfo::CAliasCompareInfo(const QString& strAlias) : m_strAlias(strAlias) {}

CAliasCompareInfo::CAliasCompareInfo(bool bLeft, const QString& strDTAT, int nDTAS, const QString& strOWTP,
                                     std::int16_t nDTAD, const QString& strCDEC)
    : m_nStatus(bLeft ? CMP_LEFT_ONLY : CMP_RIGHT_ONLY)
{
    const int nSide = bLeft ? 0 : 1;
    m_strDTAT[nSide] = TrimRight(strDTAT);
    m_nDTAS[nSide] = nDTAS;
    m_strOWTP[nSide] = TrimRight(strOWTP);
    m_nDTAD[nSide] = nDTAD;
    m_strCDEC[nSide] = TrimRight(strCDEC);
}

void CAliasCompareInfo::MergeLeft(const CAliasCompareInfo& left, const CZembraParam& options)
{
    m_strDTAT[0] = left.m_strDTAT[0];
    m_nDTAS[0] = left.m_nDTAS[0];
    m_strOWTP[0] = left.m_strOWTP[0];
    m_nDTAD[0] = left.m_nDTAD[0];
    m_strCDEC[0] = left.m_strCDEC[0];

    // Values are stored trimmed, so text equality is the rule.
    const bool differs[] = {TrimRight(m_strDTAT[0]) != TrimRight(m_strDTAT[1]), m_nDTAS[0] != m_nDTAS[1],
                            TrimRight(m_strOWTP[0]) != TrimRight(m_strOWTP[1]), m_nDTAD[0] != m_nDTAD[1],
                            TrimRight(m_strCDEC[0]) != TrimRight(m_strCDEC[1])};
    m_nStatus = CMP_SAME;
    for (int i = 0; i < int(std::size(differs)); ++i) {
        if (differs[i] && options.IsOptionSet(OPT_COMPARE_DTAT + i))
            m_nStatus = CMP_DIFFERENT;
    }
}

bool CAliasCompareInfo::Serialize(bool bLoad, CResultStream& stream, int nDtatLen, int nOwtpLen, int nCdecLen)
{
    if (bLoad) {
        m_nStatus = stream.ReadInt32();
        for (int nSide = 0; nSide < 2; ++nSide) {
            m_strDTAT[nSide] = stream.ReadText(nDtatLen);
            m_nDTAS[nSide] = stream.ReadInt32();
            m_strOWTP[nSide] = stream.ReadText(nOwtpLen);
            m_nDTAD[nSide] = stream.ReadInt16();
            m_strCDEC[nSide] = stream.ReadText(nCdecLen);
        }
    } else {
        stream.WriteInt32(m_nStatus);
        for (int nSide = 0; nSide < 2; ++nSide) {
            stream.WriteText(m_strDTAT[nSide], nDtatLen);
            stream.WriteInt32(m_nDTAS[nSide]);
            stream.WriteText(m_strOWTP[nSide], nOwtpLen);
            stream.WriteInt16(m_nDTAD[nSide]);
            stream.WriteText(m_strCDEC[nSide], nCdecLen);
        }
    }
    return stream.IsOk();
}

QString CAliasCompareInfo::GetAttributeText(int nAttribute, int nSide) const
{
    switch (nAttribute) {
    case 0: return m_strDTAT[nSide];
    case 1: return QString::number(m_nDTAS[nSide]);
    case 2: return m_strOWTP[nSide];
    case 3: return QString::number(m_nDTAD[nSide]);
    case 4: return m_strCDEC[nSide];
    default: return QString();
    }
}

QString CAliasCompareInfo::GetColumnText(int nColumn, const CZembraParam& options) const
{
    if (nColumn == 0)
        return m_strAlias;
    if (nColumn < 1 || nColumn >= kColumnCount || !options.IsOptionSet(OPT_COMPARE_DTAT + nColumn - 1))
        return QString();
    const int nAttribute = nColumn - 1;
    switch (m_nStatus) {
    case CMP_DIFFERENT: {
        const QString strLeft = GetAttributeText(nAttribute, 0);
        const QString strRight = GetAttributeText(nAttribute, 1);
        return strLeft == strRight ? strLeft : strLeft + QStringLiteral(" | ") + strRight;
    }
    case CMP_RIGHT_ONLY:
        return GetAttributeText(nAttribute, 1);
    case CMP_SAME:
    case CMP_LEFT_ONLY:
        return GetAttributeText(nAttribute, 0);
    default:
        return QString();
    }
}

bool CAliasCompareInfo::MatchesSearch(const QString& strLower, const CZembraParam& options) const
{
    for (int nColumn = 0; nColumn < kColumnCount; ++nColumn) {
        if (AsciiLower(GetColumnText(nColumn, options)).contains(strLower))
            return true;
    }
    return false;
}
