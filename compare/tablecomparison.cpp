#include "compare/tablecomparison.h"

#include "compare/compareprogress.h"
#include "compare/compareresultfile.h"
#include "compare/resultstream.h"
#include "compare/zembraparam.h"
#include "db/dbdata.h"

#include <QFile>

namespace {

constexpr qint64 kSlotSize = 8;
constexpr qint64 kTableHeaderSize = 4 + 4 + 2 + 2;   // status, field count, widths

qint64 FieldRecordSize(int nNameLen, int nTypeLen)
{
    return (qint64(nNameLen) + 2 * qint64(nTypeLen) + 10) * 2;
}

// The names of the pairs, the left one where there is one.
QStringList MergedNames(const std::vector<CNamePair>& arrPairs, const QStringList& arrLeft, const QStringList& arrRight)
{
    QStringList arrMerged;
    arrMerged.reserve(qsizetype(arrPairs.size()));
    for (const CNamePair& pair : arrPairs)
        arrMerged.append(pair.nLeft >= 0 ? arrLeft.at(pair.nLeft) : arrRight.at(pair.nRight));
    return arrMerged;
}

QStringList FieldNames(const CColumnInfoArray& arrFields)
{
    QStringList arrNames;
    arrNames.reserve(qsizetype(arrFields.size()));
    for (const auto& pField : arrFields)
        arrNames.append(pField->m_strName);
    return arrNames;
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

    // Each side's columns come from one catalog call for the whole run.
    const CDBData::CColumnSnapshotScope leftSnapshot(m_left);
    const CDBData::CColumnSnapshotScope rightSnapshot(m_right);
    m_arrSideTables[0] = m_left.m_arrTables;
    m_arrSideTables[1] = m_right.m_arrTables;
    m_arrTablePairs = PairNames(m_arrSideTables[0], m_arrSideTables[1], bCase);
    m_astrCompareTables = MergedNames(m_arrTablePairs, m_arrSideTables[0], m_arrSideTables[1]);

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
            if (!CompareTable(bCase, bSqlTypes, bSameSizeStrings, i, pDlg))
                return false;
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
    arrMerged = MergedNames(PairNames(arrLeft, arrRight, bCase), arrLeft, arrRight);
}

QString CTableComparison::GetSideTableName(int nTable, int nSide) const
{
    if (nTable < 0 || size_t(nTable) >= m_arrTablePairs.size() || (nSide != 0 && nSide != 1))
        return QString();
    const CNamePair& pair = m_arrTablePairs[size_t(nTable)];
    const int nIndex = nSide == 0 ? pair.nLeft : pair.nRight;
    return nIndex >= 0 ? m_arrSideTables[nSide].at(nIndex) : QString();
}

bool CTableComparison::CompareTable(bool bCase, bool bSqlTypes, bool bSameSizeStrings, int nTable,
                                    CMessageTarget* pDlg)
{
    const QString& strTable = m_astrCompareTables.at(nTable);
    if (pDlg != nullptr)
        pDlg->SendMessage(WM_COMPARE_SETITEM, 0, reinterpret_cast<qintptr>(&strTable));

    int nStatus = CMP_SAME;
    CColumnCompareArray arrRecords;
    qint16 nNameLen = 0;
    qint16 nTypeLen = 0;
    const CNamePair& pair = m_arrTablePairs[size_t(nTable)];
    if (pair.nLeft < 0)
        nStatus = CMP_RIGHT_ONLY;
    else if (pair.nRight < 0)
        nStatus = CMP_LEFT_ONLY;
    else if (!CompareFields(bCase, bSqlTypes, bSameSizeStrings, m_arrSideTables[0].at(pair.nLeft),
                            m_arrSideTables[1].at(pair.nRight), arrRecords, nStatus, nNameLen, nTypeLen))
        return false;

    ++m_anTableCount[nStatus];
    if (WriteTableRecord(nTable, nStatus, arrRecords, nNameLen, nTypeLen))
        return true;
    FailRun(m_pRunStream->GetErrorText());
    return false;
}

bool CTableComparison::CompareFields(bool bCase, bool bSqlTypes, bool bSameSizeStrings, const QString& strLeftTable,
                                     const QString& strRightTable, CColumnCompareArray& arrRecords, int& nStatus,
                                     qint16& nNameLen, qint16& nTypeLen)
{
    // Each side is read under its own spelling of the name: a catalog that
    // matches names by case (PostgreSQL, MariaDB) finds no field of f0101
    // when asked for F0101.
    CColumnInfoArray arrLeftFields;
    CColumnInfoArray arrRightFields;
    if (!ReadSide(m_left, [&] { return m_left.LoadColumns(strLeftTable, arrLeftFields); })
        || !ReadSide(m_right, [&] { return m_right.LoadColumns(strRightTable, arrRightFields); }))
        return false;

    std::vector<int> arrLeftPartner(arrLeftFields.size(), -1);
    std::vector<int> arrRightPartner(arrRightFields.size(), -1);
    for (const CNamePair& pair : PairNames(FieldNames(arrLeftFields), FieldNames(arrRightFields), bCase)) {
        if (pair.nLeft >= 0 && pair.nRight >= 0) {
            arrLeftPartner[size_t(pair.nLeft)] = pair.nRight;
            arrRightPartner[size_t(pair.nRight)] = pair.nLeft;
        }
    }

    // The left fields in catalog order, each with its partner.
    std::vector<const CColumnCompareInfo*> arrLeftRecords;
    for (size_t i = 0; i < arrLeftFields.size(); ++i) {
        const int nRight = arrLeftPartner[i];
        auto pRecord = std::make_unique<CColumnCompareInfo>(
            arrLeftFields[i].get(), nRight >= 0 ? arrRightFields[size_t(nRight)].get() : nullptr, nNameLen, nTypeLen);
        if (bSqlTypes)
            pRecord->CompareSqlTypes(bSameSizeStrings);
        if (pRecord->m_nStatus != CMP_SAME)
            nStatus = CMP_DIFFERENT;
        arrLeftRecords.push_back(pRecord.get());
        arrRecords.push_back(std::move(pRecord));
    }

    // Each right-only field behind the field that precedes it on the right.
    const CColumnCompareInfo* pPredecessor = nullptr;
    for (size_t j = 0; j < arrRightFields.size(); ++j) {
        const int nLeft = arrRightPartner[j];
        if (nLeft >= 0) {
            pPredecessor = arrLeftRecords[size_t(nLeft)];
            continue;
        }
        auto pRecord = std::make_unique<CColumnCompareInfo>(nullptr, arrRightFields[j].get(), nNameLen, nTypeLen);
        const CColumnCompareInfo* pInserted = pRecord.get();
        InsertAfter(arrRecords, std::move(pRecord), pPredecessor);
        nStatus = CMP_DIFFERENT;
        pPredecessor = pInserted;
    }
    return true;
}

void CTableComparison::InsertAfter(CColumnCompareArray& arrRecords, std::unique_ptr<CColumnCompareInfo> pRecord,
                                   const CColumnCompareInfo* pPredecessor)
{
    auto it = arrRecords.begin();
    if (pPredecessor != nullptr) {
        it = std::find_if(arrRecords.begin(), arrRecords.end(),
                          [&](const auto& pOther) { return pOther.get() == pPredecessor; });
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
