#pragma once

#include "compare/comparestatus.h"

#include <QString>

#include <cstdint>

class CResultStream;
class CZembraParam;

// The comparison record of one data-dictionary item (alias); every pair of
// values is left, then right.
class CAliasCompareInfo
{
public:
    // Columns: 0 the alias, 1 to 5 DTAT, DTAS, OWTP, DTAD, CDEC.
    static constexpr int kColumnCount = 6;

    explicit CAliasCompareInfo(const QString& strAlias = QString());
    // One side's values as read from its dictionary (strings right-trimmed).
    CAliasCompareInfo(bool bLeft, const QString& strDTAT, int nDTAS, const QString& strOWTP,
                      std::int16_t nDTAD, const QString& strCDEC);
    virtual ~CAliasCompareInfo() = default;

    // Takes the left values of the record stored for the left side and
    // classes the alias by the attributes whose compare option is set.
    void MergeLeft(const CAliasCompareInfo& left, const CZembraParam& options);

    // Reads or writes one record at the stream's position with the DTAT,
    // OWTP and CDEC widths; false once the stream has failed.
    bool Serialize(bool bLoad, CResultStream& stream, int nDtatLen, int nOwtpLen, int nCdecLen);

    // Attributes whose compare option is clear show an empty text.
    QString GetColumnText(int nColumn, const CZembraParam& options) const;
    // strLower is already in lower case.
    bool MatchesSearch(const QString& strLower, const CZembraParam& options) const;

    QString m_strAlias;
    int m_nStatus = CMP_UNSET;
    QString m_strDTAT[2];
    int m_nDTAS[2] = {0, 0};
    QString m_strOWTP[2];
    std::int16_t m_nDTAD[2] = {0, 0};
    QString m_strCDEC[2];

private:
    // Attribute i (0 DTAT to 4 CDEC) of one side, as text.
    QString GetAttributeText(int nAttribute, int nSide) const;
};
