#pragma once

#include "compare/comparestatus.h"
#include "db/asciitext.h"

#include <QString>

#include <cstdint>

// The comparison record of one data-dictionary item (alias); every pair of
// values is left, then right.
class CAliasCompareInfo
{
public:
    explicit CAliasCompareInfo(const QString& strAlias = QString()) : m_strAlias(strAlias) {}

    // One side's values as read from its dictionary (strings right-trimmed).
    CAliasCompareInfo(bool bLeft, const QString& strDTAT, int nDTAS, const QString& strOWTP,
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

    virtual ~CAliasCompareInfo() = default;

    QString m_strAlias;
    int m_nStatus = CMP_UNSET;
    QString m_strDTAT[2];
    int m_nDTAS[2] = {0, 0};
    QString m_strOWTP[2];
    std::int16_t m_nDTAD[2] = {0, 0};
    QString m_strCDEC[2];
};
