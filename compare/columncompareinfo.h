#pragma once

#include "compare/comparestatus.h"

#include <QString>
#include <QtGlobal>

class CColumnInfo;
class CResultStream;

// The comparison record of one field of a table present on both sides;
// every pair is left, then right.
class CColumnCompareInfo
{
public:
    // Widths of a table's field records: the longest name and the longest
    // type name; both are 16-bit in the result file.
    static constexpr int kMaxWidth = 32767;

    CColumnCompareInfo() = default;
    // Either field may be missing; raises nNameLen and nTypeLen to this
    // record's name and type-name lengths (never beyond kMaxWidth).
    CColumnCompareInfo(const CColumnInfo* pLeft, const CColumnInfo* pRight, qint16& nNameLen, qint16& nTypeLen);
    virtual ~CColumnCompareInfo() = default;

    // Refines an identical field by its SQL types and, for types with a
    // length, its sizes.
    void CompareSqlTypes(bool bSameSizeStrings);

    // Reads or writes one field record at the stream's position; false once
    // the stream has failed.
    bool Serialize(bool bLoad, CResultStream& stream, int nNameLen, int nTypeLen);

    // 0 name, 1 SQL type, 2 size, 3 and 4 the left and right driver type names.
    QString GetColumnText(int nColumn) const;
    // strLower is already in lower case.
    bool MatchesSearch(bool bAllColumns, const QString& strLower) const;
    QString GetTypeName(int nSide) const;

    static constexpr int kColumnCount = 5;

    QString m_strName;
    int m_nStatus = CMP_SAME;
    int m_nSqlType[2] = {0, 0};
    QString m_strTypeName[2];
    int m_nSize[2] = {0, 0};
};
