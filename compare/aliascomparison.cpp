#include "compare/aliascomparison.h"

#include "compare/compareprogress.h"
#include "compare/compareresultfile.h"
#include "compare/resultstream.h"
#include "compare/sortednames.h"
#include "compare/zembraparam.h"
#include "db/asciitext.h"
#include "db/dbdata.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr qint64 kNoRecord = -1;

// A name as its slot keeps it, which a file read takes up to the first NUL.
QString SlotText(const QString& strName)
{
    const qsizetype nNul = strName.indexOf(QChar(0));
    return nNul < 0 ? strName : strName.left(nNul);
}

}  // namespace

CAliasComparison::CAliasComparison(CDBData& left, CDBData& right, const CZembraParam& options,
                                   CCompareResultFile& results)
    : CCompareEngine(left, right, options, results)
{
}

CAliasComparison::~CAliasComparison() = default;

qint64 CAliasComparison::SlotSize() const
{
    return (qint64(m_nAliasLen) + 4) * 2;
}

qint64 CAliasComparison::RecordSize() const
{
    return 4 + 2 * (2 * qint64(m_nDtatLen) + 2 * qint64(m_nOwtpLen) + 2 * qint64(m_nCdecLen) + 6);
}

bool CAliasComparison::ReadAliasSize(const QString& strItem, int nFallback, int& nSize)
{
    // -1 without a driver's text is an item the dictionary lacks.
    int anSizes[2] = {-1, -1};
    CDBData* sides[2] = {&m_left, &m_right};
    for (int nSide = 0; nSide < 2; ++nSide) {
        CDBData& side = *sides[nSide];
        if (!ReadSide(side, [&] {
                anSizes[nSide] = side.GetAliasSize(strItem);
                return anSizes[nSide] >= 0 || side.GetLastError().isEmpty();
            }))
            return false;
    }
    nSize = qMax(anSizes[0], anSizes[1]);
    if (nSize <= 0)
        nSize = nFallback;
    return true;
}

bool CAliasComparison::ReadDictionary(CDBData& side, int nPhase, const QList<int>& arrWidths, QStringList* pAliasList,
                                      CMessageTarget* pDlg, bool& bCancel)
{
    return ReadSide(side, [&] { return side.ReadDataDictionary(nPhase, arrWidths, pAliasList, *this, pDlg, bCancel); });
}

bool CAliasComparison::CompareAliases(CMessageTarget* pDlg)
{
    std::fill(std::begin(m_anAliasCount), std::end(m_anAliasCount), 0);
    m_failure.Clear();
    m_nSkippedRows = 0;
    // Both dictionaries or no comparison: a side without one is not an
    // empty dictionary.
    if (m_left.m_strDDTable.isEmpty() || m_right.m_strDDTable.isEmpty())
        return false;
    if (!ReadAliasSize(QStringLiteral("DTAI"), 0, m_nAliasLen) || m_nAliasLen <= 0)
        return false;

    bool bCancel = false;
    BuildAliasIndex(pDlg, bCancel);
    if (!m_failure.IsFailed()) {
        if (QueryCancel(pDlg)) {
            bCancel = true;
        } else if (!bCancel) {
            SendProgress(pDlg, 0, m_nAliasRows);
            CompareAliasValues(pDlg, bCancel);
        }
    }
    if (!m_failure.IsFailed() && !bCancel && m_pRunStream && (!WriteSlotsAndRecords() || !m_pRunStream->Flush()))
        FailRun(m_pRunStream->GetErrorText());
    m_pRunStream.reset();
    m_arrRunNames.clear();
    m_arrRunOffsets.clear();
    m_pRecordStream.reset();
    m_pRecordBuffer.reset();
    m_runRecords.clear();
    if (m_failure.IsFailed())
        return false;
    if (bCancel)
        m_results.DeleteResultFile();
    return !bCancel;
}

void CAliasComparison::BuildAliasIndex(CMessageTarget* pDlg, bool& bCancel)
{
    m_nAliasSlots = 0;
    m_nAliasRows = 0;
    QStringList arrNames;
    const QList<int> arrWidths = {m_nAliasLen};
    if (!ReadDictionary(m_left, 1, arrWidths, &arrNames, pDlg, bCancel))
        return;
    if (!bCancel && !ReadDictionary(m_right, 2, arrWidths, &arrNames, pDlg, bCancel))
        return;
    if (bCancel)
        return;

    // One slot per name, whichever side lists it twice, in code-unit order.
    std::sort(arrNames.begin(), arrNames.end());
    arrNames.erase(std::unique(arrNames.begin(), arrNames.end()), arrNames.end());
    if (!StartResultFile())
        return;
    m_arrRunNames = arrNames;
    m_arrRunOffsets.assign(size_t(arrNames.size()), kNoRecord);
    m_nAliasSlots = int(arrNames.size());
    m_nRunEnd = m_nAliasSlots * SlotSize();
    m_runRecords.clear();
    m_pRecordBuffer = std::make_unique<QBuffer>(&m_runRecords);
    m_pRecordBuffer->open(QIODevice::ReadWrite);
    m_pRecordStream = std::make_unique<CResultStream>(m_pRecordBuffer.get());
    m_nLastSlot = -1;
    m_nUnflushedRecords = 0;
    // The slots hold their place before the records; their offsets follow
    // at the end of the run.
    if (!WriteSlotsAndRecords() || !m_pRunStream->Flush()) {
        m_nAliasSlots = 0;
        FailRun(m_pRunStream->GetErrorText());
    }
}

bool CAliasComparison::WriteSlotsAndRecords()
{
    CResultStream& stream = *m_pRunStream;
    if (!stream.Seek(0))
        return false;
    for (qsizetype i = 0; i < m_arrRunNames.size(); ++i) {
        stream.WriteText(m_arrRunNames.at(i), m_nAliasLen);
        stream.WriteInt64(m_arrRunOffsets[size_t(i)]);
    }
    stream.WriteBytes(m_runRecords);
    return stream.IsOk();
}

int CAliasComparison::RunSlotOf(const QString& strAlias)
{
    // Rows mostly come in slot order: the slot after the last one first.
    const qsizetype nNext = m_nLastSlot + 1;
    if (nNext < m_arrRunNames.size() && m_arrRunNames.at(nNext) == strAlias)
        return m_nLastSlot = int(nNext);
    const auto it = std::lower_bound(m_arrRunNames.cbegin(), m_arrRunNames.cend(), strAlias);
    if (it == m_arrRunNames.cend() || *it != strAlias)
        return -1;
    return m_nLastSlot = int(it - m_arrRunNames.cbegin());
}

void CAliasComparison::CompareAliasValues(CMessageTarget* pDlg, bool& bCancel)
{
    if (!ReadAliasSize(QStringLiteral("DTAT"), 1, m_nDtatLen) || !ReadAliasSize(QStringLiteral("OWTP"), 2, m_nOwtpLen)
        || !ReadAliasSize(QStringLiteral("CDEC"), 1, m_nCdecLen))
        return;
    const QList<int> arrWidths = {m_nAliasLen, m_nDtatLen, m_nOwtpLen, m_nCdecLen};
    if (!bCancel && !ReadDictionary(m_left, 3, arrWidths, nullptr, pDlg, bCancel))
        return;
    if (!bCancel && !m_failure.IsFailed())
        ReadDictionary(m_right, 4, arrWidths, nullptr, pDlg, bCancel);
}

void CAliasComparison::OnDictionaryRow(int nPhase, const QString& strAlias, QStringList* pAliasList,
                                       std::unique_ptr<CAliasCompareInfo> pInfo, CMessageTarget* pDlg,
                                       bool& bCancel)
{
    const QString strName = TrimRight(strAlias);
    switch (nPhase) {
    case 1:
    case 2:
        // As the slot keeps it: cut at a NUL. Sorted and made unique once
        // both sides are read.
        if (pAliasList != nullptr)
            pAliasList->append(SlotText(strName));
        ++m_nAliasRows;
        break;
    case 3:
    case 4:
        if (pInfo && m_pRunStream)
            StoreRecord(nPhase, SlotText(strName), *pInfo);
        SendProgress(pDlg, -1, 0);
        break;
    default:
        break;
    }
    pInfo.reset();
    if (m_failure.IsFailed() || QueryCancel(pDlg))
        bCancel = true;
}

void CAliasComparison::StoreRecord(int nPhase, const QString& strAlias, CAliasCompareInfo& info)
{
    CResultStream& stream = *m_pRunStream;
    const int nSlot = RunSlotOf(strAlias);
    if (nSlot < 0) {
        // Only when the dictionary changed between the two passes.
        ++m_nSkippedRows;
        return;
    }
    qint64& nOffset = m_arrRunOffsets[size_t(nSlot)];
    const qint64 nRecordSize = RecordSize();
    const qint64 nRecordsStart = m_nAliasSlots * SlotSize();

    if (nOffset > 0) {
        // A left row of an alias that already has its record, or a right
        // row of one already merged: a duplicate, the first row stands.
        CAliasCompareInfo stored;
        if (nPhase == 3 || !ReadRecord(nOffset - nRecordsStart, stored) || stored.m_nStatus != CMP_LEFT_ONLY) {
            ++m_nSkippedRows;
            return;
        }
        // Merged in memory; the file gets it at the end of the run.
        info.MergeLeft(stored, m_options);
        if (WriteRecord(nOffset - nRecordsStart, info)) {
            --m_anAliasCount[CMP_LEFT_ONLY];
            ++m_anAliasCount[info.m_nStatus];
        }
        return;
    }
    if (!WriteRecord(m_nRunEnd - nRecordsStart, info))
        return;
    // New records reach the file a few at a time, so that a full disk
    // stops the run within a few rows.
    constexpr int kRecordsPerFlush = 16;
    if (stream.Seek(m_nRunEnd) && stream.WriteBytes(QByteArrayView(m_runRecords).sliced(m_nRunEnd - nRecordsStart, nRecordSize))
        && (++m_nUnflushedRecords < kRecordsPerFlush || stream.Flush())) {
        m_nUnflushedRecords %= kRecordsPerFlush;
        nOffset = m_nRunEnd;
        m_nRunEnd += nRecordSize;
        ++m_anAliasCount[info.m_nStatus];
    }
    if (!stream.IsOk())
        FailRun(stream.GetErrorText());
}

bool CAliasComparison::ReadRecord(qint64 nAt, CAliasCompareInfo& info)
{
    return m_pRecordStream->Seek(nAt) && info.Serialize(true, *m_pRecordStream, m_nDtatLen, m_nOwtpLen, m_nCdecLen);
}

bool CAliasComparison::WriteRecord(qint64 nAt, CAliasCompareInfo& info)
{
    return m_pRecordStream->Seek(nAt) && info.Serialize(false, *m_pRecordStream, m_nDtatLen, m_nOwtpLen, m_nCdecLen);
}

int CAliasComparison::FindAliasSlot(const QString& strAlias) const
{
    CResultStream stream(m_results.GetFile());
    return FindAliasSlot(stream, strAlias);
}

int CAliasComparison::FindAliasSlot(CResultStream& stream, const QString& strAlias) const
{
    if (m_nAliasSlots <= 0)
        return -1;
    int nLow = 0;
    int nHigh = m_nAliasSlots - 1;
    int nProbe = (nLow + nHigh) / 2;
    while (nHigh - nLow > 1) {
        const int nCompare = CompareNames(strAlias, ReadAliasSlotName(stream, nProbe), true);
        if (!stream.IsOk())
            return -1;
        if (nCompare == 0)
            return nProbe;
        if (nCompare < 0)
            nHigh = nProbe;
        else
            nLow = nProbe;
        nProbe = (nLow + nHigh) / 2;
    }
    for (const int nSlot : {nLow, nLow + 1}) {
        if (nSlot < m_nAliasSlots && ReadAliasSlotName(stream, nSlot) == strAlias && stream.IsOk())
            return nSlot;
    }
    return -1;
}

QString CAliasComparison::ReadAliasSlotName(int nSlot) const
{
    CResultStream stream(m_results.GetFile());
    return ReadAliasSlotName(stream, nSlot);
}

QString CAliasComparison::ReadAliasSlotName(CResultStream& stream, int nSlot) const
{
    if (nSlot < 0 || nSlot >= m_nAliasSlots || !stream.Seek(nSlot * SlotSize()))
        return QString();
    return stream.ReadText(m_nAliasLen);
}

std::unique_ptr<CAliasCompareInfo> CAliasComparison::ReadAliasResult(int nSlot) const
{
    CResultStream stream(m_results.GetFile());
    return ReadAliasResult(stream, nSlot);
}

std::unique_ptr<CAliasCompareInfo> CAliasComparison::ReadAliasResult(CResultStream& stream, int nSlot) const
{
    if (nSlot < 0 || nSlot >= m_nAliasSlots || !stream.IsOk())
        return nullptr;
    auto pInfo = std::make_unique<CAliasCompareInfo>(ReadAliasSlotName(stream, nSlot));
    const qint64 nOffset = stream.ReadInt64();
    const qint64 nLength = stream.GetLength();
    if (stream.IsOk() && nOffset > 0 && nOffset + RecordSize() <= nLength && stream.Seek(nOffset)) {
        CAliasCompareInfo record(pInfo->m_strAlias);
        if (record.Serialize(true, stream, m_nDtatLen, m_nOwtpLen, m_nCdecLen))
            *pInfo = record;
    }
    return pInfo;
}

CAliasComparison::CResultReader::CResultReader(const CAliasComparison& result)
    : m_result(result), m_pFile(result.m_results.GetFile())
{
    const qint64 nLength = m_pFile != nullptr && m_pFile->isOpen() ? m_pFile->size() : 0;
    // Pending writes would be missing from the mapping.
    if (nLength > 0 && m_pFile->flush())
        m_pBytes = m_pFile->map(0, nLength);
    if (m_pBytes == nullptr) {
        m_pStream = std::make_unique<CResultStream>(m_pFile);
        return;
    }
    m_pBuffer = std::make_unique<QBuffer>();
    m_pBuffer->setData(QByteArray::fromRawData(reinterpret_cast<const char*>(m_pBytes), nLength));
    m_pBuffer->open(QIODevice::ReadOnly);
    m_pStream = std::make_unique<CResultStream>(m_pBuffer.get());
}

CAliasComparison::CResultReader::~CResultReader()
{
    m_pStream.reset();
    m_pBuffer.reset();
    if (m_pBytes != nullptr)
        m_pFile->unmap(m_pBytes);
}

std::unique_ptr<CAliasCompareInfo> CAliasComparison::CResultReader::Read(int nSlot)
{
    // A failed read must not stop the later ones, as with ReadAliasResult.
    if (!m_pStream->IsOk())
        m_pStream = std::make_unique<CResultStream>(m_pBuffer ? static_cast<QIODevice*>(m_pBuffer.get()) : m_pFile);
    return m_result.ReadAliasResult(*m_pStream, nSlot);
}

int CAliasComparison::GetAliasStatus(int nSlot) const
{
    const auto pInfo = ReadAliasResult(nSlot);
    return pInfo ? pInfo->m_nStatus : CMP_UNSET;
}

std::vector<int> CAliasComparison::ReadAliasStatuses() const
{
    std::vector<int> arrStatuses(size_t(std::max(m_nAliasSlots, 0)), CMP_UNSET);
    QFile* pFile = m_results.GetFile();
    if (pFile == nullptr || arrStatuses.empty())
        return arrStatuses;
    const qint64 nLength = pFile->size();
    // Mapped, the file is read where it lies; a file that cannot be mapped
    // is read slot by slot.
    uchar* pBytes = nLength > 0 ? pFile->map(0, nLength) : nullptr;
    if (pBytes == nullptr) {
        for (int nSlot = 0; nSlot < m_nAliasSlots; ++nSlot)
            arrStatuses[size_t(nSlot)] = GetAliasStatus(nSlot);
        return arrStatuses;
    }
    const qint64 nOffsetAt = 2 * qint64(m_nAliasLen);
    for (int nSlot = 0; nSlot < m_nAliasSlots; ++nSlot) {
        const qint64 nSlotEnd = (nSlot + 1) * SlotSize();
        if (nSlotEnd > nLength)
            break;
        const qint64 nOffset = qFromLittleEndian<qint64>(pBytes + nSlot * SlotSize() + nOffsetAt);
        if (nOffset > 0 && nOffset + RecordSize() <= nLength)
            arrStatuses[size_t(nSlot)] = qFromLittleEndian<qint32>(pBytes + nOffset);
    }
    pFile->unmap(pBytes);
    return arrStatuses;
}

int CAliasComparison::GetAliasCount(int nStatus) const
{
    return nStatus >= 0 && nStatus < CMP_STATUS_COUNT ? m_anAliasCount[nStatus] : 0;
}
