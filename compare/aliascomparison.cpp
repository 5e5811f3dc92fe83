#include "compare/aliascomparison.h"

#include "compare/compareprogress.h"
#include "compare/compareresultfile.h"
#include "compare/resultstream.h"
#include "compare/sortednames.h"
#include "compare/zembraparam.h"
#include "db/asciitext.h"
#include "db/dbdata.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr qint64 kNoRecord = -1;

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
    if (!m_failure.IsFailed() && !bCancel && m_pRunStream && !m_pRunStream->Flush())
        FailRun(m_pRunStream->GetErrorText());
    m_pRunStream.reset();
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

    if (!StartResultFile())
        return;
    for (const QString& strName : std::as_const(arrNames)) {
        m_pRunStream->WriteText(strName, m_nAliasLen);
        m_pRunStream->WriteInt64(kNoRecord);
    }
    if (!m_pRunStream->Flush()) {
        FailRun(m_pRunStream->GetErrorText());
        return;
    }
    m_nAliasSlots = int(arrNames.size());
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
        // One slot per name, whichever side lists it twice.
        if (pAliasList != nullptr && BinarySearch(*pAliasList, strName, true) < 0)
            (nPhase == 1 ? AddSorted : InsertSorted)(*pAliasList, strName, true);
        ++m_nAliasRows;
        break;
    case 3:
    case 4:
        if (pInfo && m_pRunStream)
            StoreRecord(nPhase, strName, *pInfo);
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
    const int nSlot = FindAliasSlot(stream, strAlias);
    if (!stream.IsOk()) {
        FailRun(stream.GetErrorText());
        return;
    }
    if (nSlot < 0) {
        // Only when the dictionary changed between the two passes.
        ++m_nSkippedRows;
        return;
    }
    const qint64 nOffsetField = nSlot * SlotSize() + 2 * qint64(m_nAliasLen);
    stream.Seek(nOffsetField);
    const qint64 nOffset = stream.ReadInt64();

    if (nOffset > 0) {
        // A left row of an alias that already has its record, or a right
        // row of one already merged: a duplicate, the first row stands.
        CAliasCompareInfo stored;
        if (nPhase == 3 || !stream.Seek(nOffset) || !stored.Serialize(true, stream, m_nDtatLen, m_nOwtpLen, m_nCdecLen)
            || stored.m_nStatus != CMP_LEFT_ONLY) {
            if (stream.IsOk())
                ++m_nSkippedRows;
            else
                FailRun(stream.GetErrorText());
            return;
        }
        info.MergeLeft(stored, m_options);
        if (stream.Seek(nOffset) && info.Serialize(false, stream, m_nDtatLen, m_nOwtpLen, m_nCdecLen)) {
            --m_anAliasCount[CMP_LEFT_ONLY];
            ++m_anAliasCount[info.m_nStatus];
        }
    } else {
        const qint64 nEnd = stream.GetLength();
        if (stream.IsOk() && stream.Seek(nEnd) && info.Serialize(false, stream, m_nDtatLen, m_nOwtpLen, m_nCdecLen)
            && stream.Seek(nOffsetField)) {
            stream.WriteInt64(nEnd);
            if (stream.IsOk())
                ++m_anAliasCount[info.m_nStatus];
        }
    }
    if (!stream.IsOk())
        FailRun(stream.GetErrorText());
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
