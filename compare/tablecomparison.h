#pragma once

#include "compare/columncompareinfo.h"
#include "compare/compareengine.h"
#include "compare/comparestatus.h"
#include "compare/namepairing.h"
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
// keeps the result in the table result file ("BFDB...") it is given. Tables
// and fields are paired by PairNames: the same spelling first, else (case-
// blind) a spelling that differs by letter case only, each name once.
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
    // The run keeps the options it is given: a temporary would be gone by then.
    CTableComparison(CDBData& left, CDBData& right, const CZembraParam&& options, CCompareResultFile& results) = delete;

    ~CTableComparison() override;

    // The whole run. True when it ran to the end; false when it was
    // cancelled (no failure recorded) or failed (GetFailure tells why: a
    // database that could not be read, a result file that could not be
    // written). A null target gives no progress and no cancellation.
    bool CompareTables(CMessageTarget* pDlg);

    // The merged list of both sides' names, in the order of PairNames.
    static void MergeTableNames(bool bCase, const QStringList& arrLeft, const QStringList& arrRight,
                                QStringList& arrMerged);
    // Places a right-only field's record behind the record of its
    // predecessor in the right table, or first without one.
    static void InsertAfter(CColumnCompareArray& arrRecords, std::unique_ptr<CColumnCompareInfo> pRecord,
                            const CColumnCompareInfo* pPredecessor);

    // The name of table nTable as one side (0 left, 1 right) spells it;
    // empty when that side lacks it. Valid as m_astrCompareTables is.
    QString GetSideTableName(int nTable, int nSide) const;

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
    // Classes table nTable and appends its record; false when the run
    // failed (the failure is recorded).
    bool CompareTable(bool bCase, bool bSqlTypes, bool bSameSizeStrings, int nTable, CMessageTarget* pDlg);
    // False when a side's fields could not be read (the run has failed).
    bool CompareFields(bool bCase, bool bSqlTypes, bool bSameSizeStrings, const QString& strLeftTable,
                       const QString& strRightTable, CColumnCompareArray& arrRecords, int& nStatus, qint16& nNameLen,
                       qint16& nTypeLen);
    bool WriteTableRecord(int nTable, int nStatus, CColumnCompareArray& arrRecords, qint16 nNameLen,
                          qint16 nTypeLen);
    qint64 ReadTableOffset(CResultStream& stream, int nTable) const;

    // Who stands behind each entry of m_astrCompareTables: the pairs of the
    // last run over the two sides' name lists as they were then.
    std::vector<CNamePair> m_arrTablePairs;
    QStringList m_arrSideTables[2];
};
