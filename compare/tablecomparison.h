#pragma once

#include "compare/columncompareinfo.h"
#include "compare/compareengine.h"
#include "compare/comparestatus.h"
#include "db/columninfo.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class CCompareResultFile;
class CDBData;
class CMessageTarget;
class CZembraParam;

using CColumnCompareArray = std::vector<std::unique_ptr<CColumnCompareInfo>>;

// The table comparison: pairs the tables of two data sources by name,
// classes each table and, for the tables on both sides, their fields, and
// keeps the result in the table result file ("BFDB...") it is given:
//   index    N slots of int64: offset of the record of table i;
//   record   status int32; for a different table also the field count
//            (int32), the name width L and type-name width T (int16 each)
//            and that many field records of (L + 2T + 10) x 2 bytes.
// The run executes on a worker thread; the readers afterwards on the
// interface thread.
class CTableComparison : public CCompareEngine
{
public:
    CTableComparison(CDBData& left, CDBData& right, const CZembraParam& options, CCompareResultFile& results);

    ~CTableComparison() override;

    // The whole run. True when it ran to the end; false when it was
    // cancelled (no failure recorded) or failed (GetFailure tells why). A
    // null target gives no progress and no cancellation.
    bool CompareTables(CMessageTarget* pDlg);

    static void MergeTableNames(bool bCase, const QStringList& arrLeft, const QStringList& arrRight,
                                QStringList& arrMerged);
    // Classes table nTable and appends its record; false when the result
    // file failed.
    bool CompareTable(bool bCase, bool bSqlTypes, bool bSameSizeStrings, int nTable, const QStringList& arrLeft,
                      const QStringList& arrRight, CMessageTarget* pDlg);
    // Places a right-only field behind the record of its predecessor in the
    // right table (case-blind), or first without one.
    static void InsertAfter(CColumnCompareArray& arrRecords, std::unique_ptr<CColumnCompareInfo> pRecord,
                            const CColumnInfo* pPredecessor);

    // Readers of the result file. An unreadable table reads as CMP_UNSET.
    int GetTableStatus(int nTable) const;
    // Where the field records of a different table start, how many there
    // are and their widths; false for any other table.
    bool GetTableColumns(int nTable, qint64& nPosition, int& nCount, qint16& nNameLen, qint16& nTypeLen) const;
    // Null when the record cannot be read.
    std::unique_ptr<CColumnCompareInfo> ReadColumnResult(int nField, qint64 nPosition, int nNameLen,
                                                         int nTypeLen) const;
    int GetColumnStatus(int nField, qint64 nPosition, int nNameLen, int nTypeLen) const;

    int GetTableCount(int nStatus) const;

    // The merged, sorted list of both sides' names; a table's index here is
    // its number everywhere.
    QStringList m_astrCompareTables;
    int m_anTableCount[CMP_STATUS_COUNT] = {0, 0, 0, 0};

private:
    void CompareFields(bool bCase, bool bSqlTypes, bool bSameSizeStrings, const QString& strLeftTable,
                       const QString& strRightTable, CColumnCompareArray& arrRecords, int& nStatus, qint16& nNameLen,
                       qint16& nTypeLen);
    bool WriteTableRecord(int nTable, int nStatus, CColumnCompareArray& arrRecords, qint16 nNameLen,
                          qint16 nTypeLen);
    qint64 ReadTableOffset(CResultStream& stream, int nTable) const;
};
