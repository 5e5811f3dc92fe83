#include "compare/tablecomparison.h"

#include "compare/compareprogress.h"
#include "compare/compareresultfile.h"
#include "compare/resultstream.h"
#include "compare/sortednames.h"
#include "compare/zembraparam.h"
#include "db/asciitext.h"
#include "db/dbdata.h"

#include <QFile>

namespace {

constexpr qint64 kSlotSize = 8;
constexpr qint64 kTableHeaderSize = 4 + 4 + 2 + 2;   // status, field count, widths

qint64 FieldRecordSize(int nNameLen, int nTypeLen)
{
    return (qint64(nNameLen) + 2 * qint64(nTypeLen) + 10) * 2;
}

// The first field of the name under the rule in force, or null.
const CColumnInfo* FindField(const CColumnInfoArray& arrFields, const QString& strName, bool bCase)
{
    for (const auto& pField : arrFields) {
        if (CompareNames(pField->m_strName, strName, bCase) == 0)
            return pField.get();
    }
    return nullptr;
}

QStringList SortedCopy(const QStringList& arrNames, bool bCase)
{
    QStringList arrSorted;
    arrSorted.reserve(arrNames.size());
    for (const QString& strName : arrNames)
        InsertSorted(arrSorted, strName, bCase);
    return arrSorted;
}

}  // namespace

CTableComparison::CTableComparison(CDBData& left, CDBData& right, const CZembraParam& options,
                                   CCompareResultFile& results)
    : CCompareEngine(left, right, options, results)
{
}

CTableComparison::~CTableComparison() = default;

bool CTableComparison::CompareTables(CMessageTarget* pDlg)
{
    std::fill(std::begin(m_anTableCount), std::end(m_anTableCount), 0);
    m_failure.Clear();
    const bool bCase = m_options.IsOptionSet(OPT_CASE_SENSITIVE);
    const bool bSqlTypes = m_options.IsOptionSet(OPT_COMPARE_SQL_TYPES);
    const bool bSameSizeStrings = m_options.IsOptionSet(OPT_SAME_SIZE_STRINGS_EQUAL);

    // The catalog keeps its lists in code-unit order; the case-blind rule
    // needs them re-sorted.
    const QStringList arrLeft = bCase ? m_left.m_arrTables : SortedCopy(m_left.m_arrTables, false);
    const QStringList arrRight = bCase ? m_right.m_arrTables : SortedCopy(m_right.m_arrTables, false);
    MergeTableNames(bCase, arrLeft, arrRight, m_astrCompareTables);

    bool bCancelled = QueryCancel(pDlg);
    if (!bCancelled) {
        if (!StartResultFile())
            return false;
        const int nTables = int(m_astrCompareTables.size());
        if (!m_pRunStream->Seek(0) || !m_pRunStream->SetLength(nTables * kSlotSize)) {
            FailRun(m_pRunStream->GetErrorText());
            return false;
        }
        SendProgress(pDlg, 0, nTables);
        for (int i = 0; i < nTables && !bCancelled; ++i) {
            if (!CompareTable(bCase, bSqlTypes, bSameSizeStrings, i, arrLeft, arrRight, pDlg)) {
                FailRun(m_pRunStream->GetErrorText());
                return false;
            }
            SendProgress(pDlg, i, 0);
            bCancelled = QueryCancel(pDlg);
        }
        if (!bCancelled && !m_pRunStream->Flush()) {
            FailRun(m_pRunStream->GetErrorText());
            return false;
        }
        m_pRunStream.reset();
    }
    if (bCancelled)
        m_results.DeleteResultFile();
    return !bCancelled;
}

void CTableComparison::MergeTableNames(bool bCase, const QStringList& arrLeft, const QStringList& arrRight,
                                       QStringList& arrMerged)
{
    arrMerged.clear();
    for (const QString& strName : arrLeft)
        AddSorted(arrMerged, strName, bCase);
    for (const QString& strName : arrRight) {
        if (BinarySearch(arrMerged, strName, bCase) < 0)
            InsertSorted(arrMerged, strName, bCase);
    }
}

bool CTableComparison::CompareTable(bool bCase, bool bSqlTypes, bool bSameSizeStrings, int nTable,
                                    const QStringList& arrLeft, const QStringList& arrRight, CMessageTarget* pDlg)
{
    const QString& strTable = m_astrCompareTables.at(nTable);
    if (pDlg != nullptr)
        pDlg->SendMessage(WM_COMPARE_SETITEM, 0, reinterpret_cast<qintptr>(&strTable));

    int nStatus = CMP_SAME;
    CColumnCompareArray arrRecords;
    qint16 nNameLen = 0;
    qint16 nTypeLen = 0;
    const int nLeft = BinarySearch(arrLeft, strTable, bCase);
    const int nRight = BinarySearch(arrRight, strTable, bCase);
    if (nLeft < 0)
        nStatus = CMP_RIGHT_ONLY;
    else if (nRight < 0)
        nStatus = CMP_LEFT_ONLY;
    else
        CompareFields(bCase, bSqlTypes, bSameSizeStrings, arrLeft.at(nLeft), arrRight.at(nRight), arrRecords, nStatus,
                      nNameLen, nTypeLen);

    ++m_anTableCount[nStatus];
    return WriteTableRecord(nTable, nStatus, arrRecords, nNameLen, nTypeLen);
}

void CTableComparison::CompareFields(bool bCase, bool bSqlTypes, bool bSameSizeStrings, const QString& strLeftTable,
                                     const QString& strRightTable, CColumnCompareArray& arrRecords, int& nStatus,
                                     qint16& nNameLen, qint16& nTypeLen)
{
    // Each side is read under its own spelling of the name: a catalog that
    // matches names by case (PostgreSQL, MariaDB) finds no field of f0101
    // when asked for F0101.
    CColumnInfoArray arrLeftFields;
    CColumnInfoArray arrRightFields;
    m_left.LoadColumns(strLeftTable, arrLeftFields);
    m_right.LoadColumns(strRightTable, arrRightFields);

    for (const auto& pLeftField : arrLeftFields) {
        const CColumnInfo* pRightField = FindField(arrRightFields, pLeftField->m_strName, bCase);
        auto pRecord = std::make_unique<CColumnCompareInfo>(pLeftField.get(), pRightField, nNameLen, nTypeLen);
        if (bSqlTypes)
            pRecord->CompareSqlTypes(bSameSizeStrings);
        if (pRecord->m_nStatus != CMP_SAME)
            nStatus = CMP_DIFFERENT;
        arrRecords.push_back(std::move(pRecord));
    }

    const CColumnInfo* pPredecessor = nullptr;
    for (const auto& pRightField : arrRightFields) {
        if (const CColumnInfo* pLeftField = FindField(arrLeftFields, pRightField->m_strName, bCase)) {
            pPredecessor = pLeftField;
            continue;
        }
        InsertAfter(arrRecords, std::make_unique<CColumnCompareInfo>(nullptr, pRightField.get(), nNameLen, nTypeLen),
                    pPredecessor);
        nStatus = CMP_DIFFERENT;
        pPredecessor = pRightField.get();
    }
}

void CTableComparison::InsertAfter(CColumnCompareArray& arrRecords, std::unique_ptr<CColumnCompareInfo> pRecord,
                                   const CColumnInfo* pPredecessor)
{
    auto it = arrRecords.begin();
    if (pPredecessor != nullptr) {
        it = std::find_if(arrRecords.begin(), arrRecords.end(), [&](const auto& pOther) {
            return AsciiEqualsIgnoreCase(pOther->m_strName, pPredecessor->m_strName);
        });
        if (it != arrRecords.end())
            ++it;
    }
    arrRecords.insert(it, std::move(pRecord));
}

bool CTableComparison::WriteTableRecord(int nTable, int nStatus, CColumnCompareArray& arrRecords, qint16 nNameLen,
                                        qint16 nTypeLen)
{
    CResultStream& stream = *m_pRunStream;
    const qint64 nOffset = stream.GetLength();
    if (nOffset < 0 || !stream.Seek(nTable * kSlotSize))
        return false;
    stream.WriteInt64(nOffset);
    if (!stream.SeekEnd())
        return false;
    stream.WriteInt32(nStatus);
    if (nStatus == CMP_DIFFERENT) {
        stream.WriteInt32(qint32(arrRecords.size()));
        stream.WriteInt16(nNameLen);
        stream.WriteInt16(nTypeLen);
        for (const auto& pRecord : arrRecords) {
            if (!pRecord->Serialize(false, stream, nNameLen, nTypeLen))
                break;
        }
    }
    return stream.IsOk();
}

int CTableComparison::GetTableCount(int nStatus) const
{
    return nStatus >= 0 && nStatus < CMP_STATUS_COUNT ? m_anTableCount[nStatus] : 0;
}

qint64 CTableComparison::ReadTableOffset(CResultStream& stream, int nTable) const
{
    if (nTable < 0 || nTable >= m_astrCompareTables.size() || !stream.Seek(nTable * kSlotSize))
        return -1;
    const qint64 nOffset = stream.ReadInt64();
    const qint64 nIndexEnd = m_astrCompareTables.size() * kSlotSize;
    if (!stream.IsOk() || nOffset < nIndexEnd || nOffset + 4 > stream.GetLength())
        return -1;
    return nOffset;
}

int CTableComparison::GetTableStatus(int nTable) const
{
    CResultStream stream(m_results.GetFile());
    const qint64 nOffset = ReadTableOffset(stream, nTable);
    if (nOffset < 0 || !stream.Seek(nOffset))
        return CMP_UNSET;
    const int nStatus = stream.ReadInt32();
    return stream.IsOk() ? nStatus : CMP_UNSET;
}

bool CTableComparison::GetTableColumns(int nTable, qint64& nPosition, int& nCount, qint16& nNameLen,
                                       qint16& nTypeLen) const
{
    CResultStream stream(m_results.GetFile());
    const qint64 nOffset = ReadTableOffset(stream, nTable);
    if (nOffset < 0 || nOffset + kTableHeaderSize > stream.GetLength() || !stream.Seek(nOffset)
        || stream.ReadInt32() != CMP_DIFFERENT)
        return false;
    const int nFields = stream.ReadInt32();
    const qint16 nName = stream.ReadInt16();
    const qint16 nType = stream.ReadInt16();
    if (!stream.IsOk() || nFields < 0 || nName < 0 || nType < 0)
        return false;
    nPosition = nOffset + kTableHeaderSize;
    nCount = nFields;
    nNameLen = nName;
    nTypeLen = nType;
    return true;
}

std::unique_ptr<CColumnCompareInfo> CTableComparison::ReadColumnResult(int nField, qint64 nPosition, int nNameLen,
                                                                       int nTypeLen) const
{
    CResultStream stream(m_results.GetFile());
    const qint64 nRecordSize = FieldRecordSize(nNameLen, nTypeLen);
    const qint64 nStart = nPosition + nField * nRecordSize;
    if (nField < 0 || nNameLen < 0 || nTypeLen < 0 || nStart + nRecordSize > stream.GetLength()
        || !stream.Seek(nStart))
        return nullptr;
    auto pRecord = std::make_unique<CColumnCompareInfo>();
    if (!pRecord->Serialize(true, stream, nNameLen, nTypeLen))
        return nullptr;
    return pRecord;
}

int CTableComparison::GetColumnStatus(int nField, qint64 nPosition, int nNameLen, int nTypeLen) const
{
    const auto pRecord = ReadColumnResult(nField, nPosition, nNameLen, nTypeLen);
    return pRecord ? pRecord->m_nStatus : CMP_UNSET;
}
