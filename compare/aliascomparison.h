#pragma once

#include "compare/aliascompareinfo.h"
#include "compare/compareengine.h"
#include "compare/comparestatus.h"
#include "db/dictionaryconsumer.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class CCompareResultFile;
class QBuffer;
class QFile;
class CDBData;
class CMessageTarget;
class CResultStream;
class CZembraParam;

// The data-dictionary comparison: pairs the aliases of two dictionaries by
// name (code units, whatever the case option says) and keeps the result in
// the alias result file ("BFDD...") it is given:
//   slots    M slots of (W + 4) x 2 bytes in name order: the alias in W
//            code units, then the int64 offset of its record (-1: none);
//   records  status int32, then per side DTAT, DTAS int32, OWTP, DTAD int16,
//            CDEC, the texts in their widths; a right row rewrites the left
//            row's record in place.
// During a run the merged name list, the slots' record offsets and a copy
// of the records are held in memory: each row finds its slot and a right
// row its left record there; every record goes to the file as it is made,
// and the slots and the merged records are written again at the end.
//
// An alias found twice on one side (two rows of the same name, or names cut
// to the same W characters) keeps one slot; the first row read on that side
// is the one compared, later ones are skipped and counted in
// m_nSkippedRows, so the four counters add up to m_nAliasSlots.
class CAliasComparison : public CCompareEngine, public IDictionaryConsumer
{
public:
    CAliasComparison(CDBData& left, CDBData& right, const CZembraParam& options, CCompareResultFile& results);
    // The run keeps the options it is given: a temporary would be gone by then.
    CAliasComparison(CDBData& left, CDBData& right, const CZembraParam&& options, CCompareResultFile& results) = delete;

    ~CAliasComparison() override;

    // True when the run ended; false when it could not start (a side
    // without a dictionary table, no alias width on either side), was
    // cancelled, or failed (GetFailure tells why: a dictionary that could
    // not be read, a result file that could not be written).
    bool CompareAliases(CMessageTarget* pDlg);
    void BuildAliasIndex(CMessageTarget* pDlg, bool& bCancel);
    void CompareAliasValues(CMessageTarget* pDlg, bool& bCancel);

    void OnDictionaryRow(int nPhase, const QString& strAlias, QStringList* pAliasList,
                         std::unique_ptr<CAliasCompareInfo> pInfo, CMessageTarget* pDlg, bool& bCancel) override;

    // Slot of an alias by binary search over the file's slots, or -1.
    int FindAliasSlot(const QString& strAlias) const;
    QString ReadAliasSlotName(int nSlot) const;
    // The record of slot nSlot with its name; status CMP_UNSET when it has
    // none. Null for a slot that does not exist.
    std::unique_ptr<CAliasCompareInfo> ReadAliasResult(int nSlot) const;
    // ReadAliasResult for many slots (an export, a summary): the result file
    // is mapped once and read where it lies, instead of two reads and seeks
    // of the file per slot. A file that cannot be mapped is read as
    // ReadAliasResult reads it. The comparison must not run meanwhile.
    class CResultReader
    {
    public:
        explicit CResultReader(const CAliasComparison& result);
        ~CResultReader();
        CResultReader(const CResultReader&) = delete;
        CResultReader& operator=(const CResultReader&) = delete;
        std::unique_ptr<CAliasCompareInfo> Read(int nSlot);

    private:
        const CAliasComparison& m_result;
        QFile* m_pFile = nullptr;
        uchar* m_pBytes = nullptr;
        std::unique_ptr<QBuffer> m_pBuffer;
        std::unique_ptr<CResultStream> m_pStream;
    };
    int GetAliasStatus(int nSlot) const;
    // The status of every slot, as GetAliasStatus reads each, in one pass
    // over the file: what a result window needs before it lists anything.
    std::vector<int> ReadAliasStatuses() const;

    int GetAliasCount(int nStatus) const;

    int m_anAliasCount[CMP_STATUS_COUNT] = {0, 0, 0, 0};
    int m_nAliasLen = 0;
    int m_nDtatLen = 0;
    int m_nOwtpLen = 0;
    int m_nCdecLen = 0;
    int m_nAliasSlots = 0;
    int m_nAliasRows = 0;
    // Rows of phases 1 to 4 left out: duplicates, and aliases without a slot.
    int m_nSkippedRows = 0;

private:
    // The larger size of a dictionary item on the two sides, nFallback when
    // neither has a positive one; false when a side could not be read.
    bool ReadAliasSize(const QString& strItem, int nFallback, int& nSize);
    // One phase of a side's dictionary; false when it could not be read.
    bool ReadDictionary(CDBData& side, int nPhase, const QList<int>& arrWidths, QStringList* pAliasList,
                        CMessageTarget* pDlg, bool& bCancel);
    qint64 SlotSize() const;
    qint64 RecordSize() const;
    int FindAliasSlot(CResultStream& stream, const QString& strAlias) const;
    QString ReadAliasSlotName(CResultStream& stream, int nSlot) const;
    std::unique_ptr<CAliasCompareInfo> ReadAliasResult(CResultStream& stream, int nSlot) const;
    void StoreRecord(int nPhase, const QString& strAlias, CAliasCompareInfo& info);
    // The slot of a name during a run, or -1.
    int RunSlotOf(const QString& strAlias);
    // Writes the slots again, with the offsets of their records, and the
    // records as merged.
    bool WriteSlotsAndRecords();
    // A record of the in-memory copy, nAt bytes after the slots.
    bool ReadRecord(qint64 nAt, CAliasCompareInfo& info);
    bool WriteRecord(qint64 nAt, CAliasCompareInfo& info);

    QStringList m_arrRunNames;           // during a run: the slots' names, in slot order
    std::vector<qint64> m_arrRunOffsets; // their records' offsets, -1 for none yet
    qint64 m_nRunEnd = 0;                // where the next record goes
    QByteArray m_runRecords;             // the records from the end of the slots on
    std::unique_ptr<QBuffer> m_pRecordBuffer;          // over m_runRecords
    std::unique_ptr<CResultStream> m_pRecordStream;    // over m_pRecordBuffer
    int m_nLastSlot = -1;                // the slot of the row before
    int m_nUnflushedRecords = 0;
};
