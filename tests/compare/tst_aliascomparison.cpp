// The alias comparison on real data dictionaries: pairing by code units,
// attribute options, duplicates and late rows, progress and cancellation,
// the alias result file read back byte by byte, and runs that cannot read a
// dictionary or write their result.

#include "compare/aliascomparison.h"
#include "compare/zembraparam.h"
#include "tests/compare/comparebed.h"
#include "tests/compare/enginerows.h"
#include "tests/compare/layoutreader.h"
#include "tests/compare/filesizelimit.h"
#include "tests/fixtures/jdefixture.h"
#include "tests/support/recorders.h"

#include <QtTest>

using kvtest::CompareBed;
using kvtest::DictionaryEntry;
using kvtest::DictionaryShape;
using kvtest::Engine;
using kvtest::LayoutReader;

namespace {

// Aliases of the slots, in slot order.
QStringList SlotNames(const CAliasComparison& comparison)
{
    QStringList names;
    for (int i = 0; i < comparison.m_nAliasSlots; ++i)
        names.append(comparison.ReadAliasSlotName(i));
    return names;
}

int StatusOf(const CAliasComparison& comparison, const QString& strAlias)
{
    return comparison.GetAliasStatus(comparison.FindAliasSlot(strAlias));
}

int CounterSum(const CAliasComparison& comparison)
{
    return std::accumulate(std::begin(comparison.m_anAliasCount), std::end(comparison.m_anAliasCount), 0);
}

DictionaryEntry Entry(const char* pszAlias, const char* pszDtat = "S", int nDtas = 8, const char* pszOwtp = "2",
                      int nDtad = 0, const char* pszCdec = "0")
{
    return {QString::fromUtf8(pszAlias), QString::fromUtf8(pszDtat), nDtas, QString::fromUtf8(pszOwtp), nDtad,
            QString::fromUtf8(pszCdec)};
}

// Two small dictionaries of unusual widths (alias 6, DTAT 2, OWTP 1, CDEC
// 3) with an alias of each status.
void CreateLayoutDictionaries(CompareBed& bed)
{
    DictionaryShape shape;
    shape.nAliasWidth = 6;
    shape.nDtatWidth = 2;
    shape.nOwtpWidth = 1;
    shape.nCdecWidth = 3;
    bed.CreateDictionary(0, shape, {Entry("AN8", "P", 8, "9", 0, "0"), Entry("MCU", "S", 12, "2", 0, "")});
    bed.CreateDictionary(1, shape, {Entry("AN8", "PX", 9, "9", 2, "10"), Entry("ALPH", "A", 40, "2", 0, "")});
    bed.ShowSchemas();
}

void SetAllCompareOptions(CZembraParam& options, bool bSet)
{
    for (int n = OPT_COMPARE_DTAT; n <= OPT_COMPARE_CDEC; ++n)
        options.SetOption(n, bSet);
}

// Adds a row to the left dictionary when the second pass is announced, as
// if the dictionary changed between the two passes.
class LateRowTarget : public kvtest::MessageRecorder
{
public:
    explicit LateRowTarget(CompareBed& bed) : m_bed(bed) {}
    qintptr SendMessage(unsigned nMessage, qintptr wParam, qintptr lParam) override
    {
        if (nMessage == WM_COMPARE_PROGRESS && lParam > 0)
            m_bed.Exec(0, QStringLiteral("INSERT INTO @.F9210 VALUES ('LATE', 'S', 4, '2', 0, '0')"));
        return MessageRecorder::SendMessage(nMessage, wParam, lParam);
    }

private:
    CompareBed& m_bed;
};

}  // namespace

// When the right dictionary can no longer be read: before the run, in the
// first pass (before the right side's aliases are read) or in the second
// pass (before its values are read, the result file begun).
enum class FaultTime { BeforeRun, FirstPass, SecondPass };
using kvtest::ReadFault;
Q_DECLARE_METATYPE(ReadFault)
Q_DECLARE_METATYPE(FaultTime)

class TestAliasComparison : public QObject
{
    Q_OBJECT

private slots:
    void jdeDictionaries_data();
    void jdeDictionaries();
    void resultFileLayout();
    void allStatusesAtOnce_data();
    void allStatusesAtOnce();
    void nameRules_data();
    void nameRules();
    void missingOwtpColumn();
    void duplicateAliases();
    void aliasWithoutSlotSkipped();
    void cancellation_data();
    void cancellation();
    void noAliasWidth();
    void resultFileCannotBeCreated();
    void writeFailureEndsRun();
    void readFailureEndsRun_data();
    void readFailureEndsRun();
    void columnTexts_data();
    void columnTexts();
};

void TestAliasComparison::jdeDictionaries_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<bool>("compareDtas");
    for (const auto& [pszEngine, engine] : kvtest::AllEngines()) {
        QTest::addRow("%s DTAS compared", pszEngine) << engine << true;
        QTest::addRow("%s DTAS not compared", pszEngine) << engine << false;
    }
}

void TestAliasComparison::jdeDictionaries()
{
    QFETCH(Engine, engine);
    QFETCH(bool, compareDtas);
    KV_JDE_BED(left, engine, kvtest::JdeOptions());
    KV_JDE_BED(right, engine, kvtest::JdeOptions());
    const QString strLeftDd = left->pFixture->Place(kvtest::kDictionarySchema).strQualifier + QStringLiteral("F9210");
    const QString strRightDd = right->pFixture->Place(kvtest::kDictionarySchema).strQualifier + QStringLiteral("F9210");
    left->pDatabase->Exec(QStringLiteral("UPDATE %1 SET FRDTAS = 10 WHERE FRDTAI = 'DOCO'").arg(strLeftDd));
    right->pDatabase->ExecScript({QStringLiteral("UPDATE %1 SET FRDTAS = 12 WHERE FRDTAI = 'DOCO'").arg(strRightDd),
                                  QStringLiteral("UPDATE %1 SET FRDTAT = 'S' WHERE FRDTAI = 'AA'").arg(strRightDd),
                                  QStringLiteral("DELETE FROM %1 WHERE FRDTAI = 'UPRC'").arg(strRightDd),
                                  QStringLiteral("INSERT INTO %1 VALUES ('ZZNEW', 'A', 3, '2', 0, '', 'X')").arg(strRightDd)});
    for (kvtest::JdeTestBed* pBed : {left.get(), right.get()}) {
        pBed->data.m_strSchema = pBed->pFixture->Key(kvtest::kDictionarySchema);
        kvtest::ListRecorder list;
        QVERIFY(pBed->data.LoadTableList(list));
    }

    QTemporaryDir tmp;
    qputenv("TMP", QFile::encodeName(tmp.path()));
    CZembraParam options;
    options.SetOption(OPT_COMPARE_DTAS, compareDtas);
    CCompareResultFile results(QStringLiteral("BFDD"));
    CAliasComparison comparison(left->data, right->data, options, results);
    kvtest::MessageRecorder dialog;
    QVERIFY(comparison.CompareAliases(&dialog));
    QVERIFY(!comparison.GetFailure().IsFailed());

    QCOMPARE(comparison.m_nAliasLen, 8);
    QCOMPARE(comparison.m_nAliasSlots, 17);
    QCOMPARE(comparison.m_nAliasRows, 32);
    QCOMPARE(CounterSum(comparison), comparison.m_nAliasSlots);
    const QStringList names = SlotNames(comparison);
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(names, sorted);
    QVERIFY(names.contains(QStringLiteral("LONGALIA")));

    QCOMPARE(StatusOf(comparison, QStringLiteral("UPRC")), int(CMP_LEFT_ONLY));
    QCOMPARE(StatusOf(comparison, QStringLiteral("ZZNEW")), int(CMP_RIGHT_ONLY));
    QCOMPARE(StatusOf(comparison, QStringLiteral("AA")), int(CMP_DIFFERENT));
    QCOMPARE(StatusOf(comparison, QStringLiteral("AN8")), int(CMP_SAME));
    QCOMPARE(StatusOf(comparison, QStringLiteral("DOCO")), compareDtas ? int(CMP_DIFFERENT) : int(CMP_SAME));
    const QList<int> counters(std::begin(comparison.m_anAliasCount), std::end(comparison.m_anAliasCount));
    QCOMPARE(counters, compareDtas ? QList<int>({13, 1, 1, 2}) : QList<int>({14, 1, 1, 1}));

    const auto pDoco = comparison.ReadAliasResult(comparison.FindAliasSlot(QStringLiteral("DOCO")));
    QCOMPARE(pDoco->m_strAlias, QStringLiteral("DOCO"));
    QCOMPARE(pDoco->m_nDTAS[0], 10);
    QCOMPARE(pDoco->m_nDTAS[1], 12);
    QCOMPARE(pDoco->GetColumnText(2, options), compareDtas ? QStringLiteral("10 | 12") : QString());
    const auto pAmount = comparison.ReadAliasResult(comparison.FindAliasSlot(QStringLiteral("AA")));
    QCOMPARE(pAmount->GetColumnText(1, options), QStringLiteral("P | S"));
    QCOMPARE(pAmount->GetColumnText(4, options), QStringLiteral("2"));
    const auto pNew = comparison.ReadAliasResult(comparison.FindAliasSlot(QStringLiteral("ZZNEW")));
    QCOMPARE(pNew->GetColumnText(1, options), QStringLiteral("A"));
    QCOMPARE(pNew->m_strDTAT[0], QString());

    // Range before the second pass, one step per row read in it.
    QList<qintptr> ranges;
    int nSteps = 0;
    for (const auto& message : std::as_const(dialog.sent)) {
        if (message.nMessage != WM_COMPARE_PROGRESS)
            continue;
        if (message.lParam > 0)
            ranges.append(message.lParam);
        else if (message.wParam == -1)
            ++nSteps;
    }
    QCOMPARE(ranges, QList<qintptr>({32}));
    QCOMPARE(nSteps, 32);
    QCOMPARE(dialog.nQueries, 32 + 1 + 32);
}

void TestAliasComparison::resultFileLayout()
{
    KV_COMPARE_BED(bed, Engine::SQLite);
    CreateLayoutDictionaries(*bed);
    CAliasComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->aliasResults);
    QVERIFY(comparison.CompareAliases(nullptr));
    QCOMPARE(comparison.m_nDtatLen, 2);
    QCOMPARE(comparison.m_nOwtpLen, 1);
    QCOMPARE(comparison.m_nCdecLen, 3);

    // Slots: ALPH AN8 CDEC DTAI DTAT MCU OWTP, (6 + 4) x 2 bytes each.
    const QStringList names = {"ALPH", "AN8", "CDEC", "DTAI", "DTAT", "MCU", "OWTP"};
    QCOMPARE(SlotNames(comparison), names);
    const LayoutReader reader(bed->aliasResults.GetFile()->fileName());
    const int W = 6;
    const qint64 nSlot = (W + 4) * 2;
    const qint64 nRecord = 4 + 2 * (2 * 2 + 2 * 1 + 2 * 3 + 6);
    QCOMPARE(nRecord, 40);
    QCOMPARE(reader.Size(), names.size() * nSlot + names.size() * nRecord);
    QList<qint64> offsets;
    for (int i = 0; i < names.size(); ++i) {
        QCOMPARE(reader.Text(i * nSlot, W), names.at(i));
        QVERIFY(reader.ZeroFrom(i * nSlot + 2 * names.at(i).size(), 2 * (W - names.at(i).size())));
        const qint64 nOffset = reader.Int(i * nSlot + 2 * W, 8);
        QVERIFY(nOffset >= names.size() * nSlot && nOffset + nRecord <= reader.Size());
        QCOMPARE((nOffset - names.size() * nSlot) % nRecord, 0);
        offsets.append(nOffset);
        QCOMPARE(reader.Int(nOffset, 4), qint64(comparison.GetAliasStatus(i)));
    }
    // Records in reading order: the left rows (ordered by FRDTAI) first, the
    // right-only ALPH last; AN8 rewritten in place.
    QCOMPARE(offsets.at(names.indexOf("ALPH")), names.size() * nSlot + 6 * nRecord);
    const qint64 r = offsets.at(names.indexOf("AN8"));
    QCOMPARE(reader.Int(r, 4), qint64(CMP_DIFFERENT));
    struct Part { const char* pszDtat; int nDtas; const char* pszOwtp; int nDtad; const char* pszCdec; };
    const Part parts[2] = {{"P", 8, "9", 0, "0"}, {"PX", 9, "9", 2, "10"}};
    qint64 p = r + 4;
    for (const Part& part : parts) {
        QCOMPARE(reader.Text(p, 2), QLatin1String(part.pszDtat));
        QCOMPARE(reader.Int(p + 4, 4), qint64(part.nDtas));
        QCOMPARE(reader.Text(p + 8, 1), QLatin1String(part.pszOwtp));
        QCOMPARE(reader.Int(p + 10, 2), qint64(part.nDtad));
        QCOMPARE(reader.Text(p + 12, 3), QLatin1String(part.pszCdec));
        p += 18;
    }
    // A left-only record has a zero right part.
    QVERIFY(reader.ZeroFrom(offsets.at(names.indexOf("MCU")) + 4 + 18, 18));
    QCOMPARE(comparison.FindAliasSlot(QStringLiteral("NOPE")), -1);
    QCOMPARE(comparison.GetAliasStatus(names.size()), int(CMP_UNSET));
}

void TestAliasComparison::allStatusesAtOnce_data()
{
    // How much of the result file is left: all of it, or cut inside the
    // records, or inside the slots.
    QTest::addColumn<qint64>("keptBytes");
    QTest::newRow("whole file") << qint64(-1);
    QTest::newRow("last record cut") << qint64(7 * 20 + 6 * 40 + 10);
    QTest::newRow("records gone") << qint64(7 * 20);
    QTest::newRow("slots cut") << qint64(3 * 20 + 5);
}

void TestAliasComparison::allStatusesAtOnce()
{
    QFETCH(qint64, keptBytes);
    KV_COMPARE_BED(bed, Engine::SQLite);
    CreateLayoutDictionaries(*bed);
    CAliasComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->aliasResults);
    QVERIFY(comparison.CompareAliases(nullptr));
    QCOMPARE(comparison.m_nAliasSlots, 7);   // slots of 20 bytes, records of 40
    if (keptBytes >= 0)
        QVERIFY(bed->aliasResults.GetFile()->resize(keptBytes));

    std::vector<int> expected;
    for (int nSlot = 0; nSlot < comparison.m_nAliasSlots; ++nSlot)
        expected.push_back(comparison.GetAliasStatus(nSlot));
    QCOMPARE(comparison.ReadAliasStatuses(), expected);
    // The reader of many slots (exports, summaries) gives what the reading
    // of one slot gives, a cut file included.
    {
        CAliasComparison::CResultReader many(comparison);
        for (int nSlot = 0; nSlot <= comparison.m_nAliasSlots; ++nSlot) {
            const auto pOne = comparison.ReadAliasResult(nSlot);
            const auto pMany = many.Read(nSlot);
            QCOMPARE(bool(pMany), bool(pOne));
            if (!pOne)
                continue;
            QCOMPARE(pMany->m_nStatus, pOne->m_nStatus);
            for (int nColumn = 0; nColumn < CAliasCompareInfo::kColumnCount; ++nColumn)
                QCOMPARE(pMany->GetColumnText(nColumn, bed->options), pOne->GetColumnText(nColumn, bed->options));
            for (int nSide = 0; nSide < 2; ++nSide) {
                QCOMPARE(pMany->m_strDTAT[nSide], pOne->m_strDTAT[nSide]);
                QCOMPARE(pMany->m_nDTAS[nSide], pOne->m_nDTAS[nSide]);
                QCOMPARE(pMany->m_strOWTP[nSide], pOne->m_strOWTP[nSide]);
                QCOMPARE(pMany->m_nDTAD[nSide], pOne->m_nDTAD[nSide]);
                QCOMPARE(pMany->m_strCDEC[nSide], pOne->m_strCDEC[nSide]);
            }
        }
        QVERIFY(!many.Read(comparison.m_nAliasSlots));
    }
    if (keptBytes < 0)
        QCOMPARE(expected, (std::vector<int>{CMP_RIGHT_ONLY, CMP_DIFFERENT, CMP_SAME, CMP_SAME, CMP_SAME,
                                             CMP_LEFT_ONLY, CMP_SAME}));
    else
        QVERIFY(std::count(expected.cbegin(), expected.cend(), int(CMP_UNSET)) > 0);
}

void TestAliasComparison::nameRules_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<bool>("caseSensitive");
    for (const auto& [pszEngine, engine] : kvtest::AllEngines()) {
        QTest::addRow("%s case option clear", pszEngine) << engine << false;
        QTest::addRow("%s case option set", pszEngine) << engine << true;
    }
}

void TestAliasComparison::nameRules()
{
    QFETCH(Engine, engine);
    QFETCH(bool, caseSensitive);
    KV_COMPARE_BED(bed, engine);
    DictionaryShape shape;
    shape.strTextType = QStringLiteral("VARCHAR");
    shape.nDtatWidth = 3;
    bed->CreateDictionary(0, shape, {Entry("abc"), Entry("ABC"), Entry("TRL", "AB")});
    bed->CreateDictionary(1, shape, {Entry("abc"), Entry("TRL  ", "AB ")});
    bed->ShowSchemas();
    bed->options.SetOption(OPT_CASE_SENSITIVE, caseSensitive);

    CAliasComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->aliasResults);
    QVERIFY(comparison.CompareAliases(nullptr));
    // Code units whatever the option: ABC before the other items, abc after.
    QCOMPARE(SlotNames(comparison), QStringList({"ABC", "CDEC", "DTAI", "DTAT", "OWTP", "TRL", "abc"}));
    QCOMPARE(StatusOf(comparison, QStringLiteral("ABC")), int(CMP_LEFT_ONLY));
    QCOMPARE(StatusOf(comparison, QStringLiteral("abc")), int(CMP_SAME));
    // Trailing white space of the alias and of DTAT is no difference.
    QCOMPARE(StatusOf(comparison, QStringLiteral("TRL")), int(CMP_SAME));
    QCOMPARE(CounterSum(comparison), comparison.m_nAliasSlots);
}

void TestAliasComparison::missingOwtpColumn()
{
    KV_COMPARE_BED(bed, Engine::SQLite);
    DictionaryShape without;
    without.bWithOwtp = false;
    bed->CreateDictionary(0, without, {Entry("AN8", "P", 8)});
    bed->CreateDictionary(1, DictionaryShape(), {Entry("AN8", "P", 8, "9")});
    bed->ShowSchemas();
    QCOMPARE(bed->Data(0).HasOwtpColumn(), std::optional<bool>(false));
    QCOMPARE(bed->Data(1).HasOwtpColumn(), std::optional<bool>(true));

    // The launcher clears OWTP when a side lacks the column.
    bed->options.SetOption(OPT_COMPARE_OWTP, false);
    CAliasComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->aliasResults);
    QVERIFY(comparison.CompareAliases(nullptr));
    const auto pInfo = comparison.ReadAliasResult(comparison.FindAliasSlot(QStringLiteral("AN8")));
    QCOMPARE(pInfo->m_nStatus, int(CMP_SAME));
    QCOMPARE(pInfo->m_strOWTP[0], QString());
    QCOMPARE(pInfo->m_strOWTP[1], QStringLiteral("9"));
    QCOMPARE(pInfo->GetColumnText(3, bed->options), QString());

    bed->options.SetOption(OPT_COMPARE_OWTP, true);
    QVERIFY(comparison.CompareAliases(nullptr));
    QCOMPARE(StatusOf(comparison, QStringLiteral("AN8")), int(CMP_DIFFERENT));
}

void TestAliasComparison::duplicateAliases()
{
    KV_COMPARE_BED(bed, Engine::SQLite);
    DictionaryShape shape;
    shape.nAliasWidth = 4;   // LONG1 and LONG2 are both read as LONG
    bed->CreateDictionary(0, shape, {Entry("DUP", "S", 5), Entry("DUP", "S", 5), Entry("LONG1"), Entry("LONG2")});
    bed->CreateDictionary(1, shape, {Entry("DUP", "S", 5), Entry("DUP", "S", 5), Entry("ONLY"), Entry("ONLY")});
    bed->ShowSchemas();
    CAliasComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->aliasResults);
    QVERIFY(comparison.CompareAliases(nullptr));

    QCOMPARE(SlotNames(comparison), QStringList({"CDEC", "DTAI", "DTAT", "DUP", "LONG", "ONLY", "OWTP"}));
    QCOMPARE(CounterSum(comparison), comparison.m_nAliasSlots);
    // The second DUP of each side, LONG2 read as LONG, the second ONLY.
    QCOMPARE(comparison.m_nSkippedRows, 4);
    QCOMPARE(StatusOf(comparison, QStringLiteral("DUP")), int(CMP_SAME));
    QCOMPARE(StatusOf(comparison, QStringLiteral("LONG")), int(CMP_LEFT_ONLY));
    QCOMPARE(StatusOf(comparison, QStringLiteral("ONLY")), int(CMP_RIGHT_ONLY));
    // One record per slot, nothing more.
    const LayoutReader reader(bed->aliasResults.GetFile()->fileName());
    const qint64 nRecord = 4 + 2 * (2 * 1 + 2 * 2 + 2 * 2 + 6);
    QCOMPARE(reader.Size(), comparison.m_nAliasSlots * ((4 + 4) * 2 + nRecord));
}

void TestAliasComparison::aliasWithoutSlotSkipped()
{
    KV_COMPARE_BED(bed, Engine::SQLite);
    bed->CreateDictionary(0, DictionaryShape(), {Entry("AN8"), Entry("MCU")});
    bed->CreateDictionary(1, DictionaryShape(), {Entry("AN8")});
    bed->ShowSchemas();
    CAliasComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->aliasResults);
    LateRowTarget dialog(*bed);
    QVERIFY(comparison.CompareAliases(&dialog));
    QCOMPARE(comparison.m_nSkippedRows, 1);
    QCOMPARE(comparison.FindAliasSlot(QStringLiteral("LATE")), -1);
    QCOMPARE(CounterSum(comparison), comparison.m_nAliasSlots);
    const LayoutReader reader(bed->aliasResults.GetFile()->fileName());
    const qint64 nRecord = 4 + 2 * (2 * 1 + 2 * 2 + 2 * 2 + 6);
    QCOMPARE(reader.Size(), comparison.m_nAliasSlots * ((8 + 4) * 2 + nRecord));
}

void TestAliasComparison::cancellation_data()
{
    // 6 rows a side: queries 1 to 6 in phase 1, 7 to 12 in phase 2, 13
    // between the passes, then one per row of phases 3 and 4.
    QTest::addColumn<int>("cancelAtQuery");
    QTest::addColumn<bool>("fileCreated");
    QTest::newRow("first row") << 1 << false;
    QTest::newRow("right side of the first pass") << 8 << false;
    QTest::newRow("between the passes") << 13 << true;
    QTest::newRow("second pass") << 16 << true;
    QTest::newRow("last row") << 25 << true;
}

void TestAliasComparison::cancellation()
{
    QFETCH(int, cancelAtQuery);
    QFETCH(bool, fileCreated);
    KV_COMPARE_BED(bed, Engine::SQLite);
    bed->CreateDictionary(0, DictionaryShape(), {Entry("AN8"), Entry("MCU")});
    bed->CreateDictionary(1, DictionaryShape(), {Entry("AN8"), Entry("ALPH")});
    bed->ShowSchemas();
    CAliasComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->aliasResults);
    kvtest::MessageRecorder dialog(cancelAtQuery);
    QVERIFY(!comparison.CompareAliases(&dialog));
    QVERIFY(!comparison.GetFailure().IsFailed());
    QCOMPARE(comparison.m_nAliasSlots > 0, fileCreated);
    QVERIFY(bed->aliasResults.GetFile() == nullptr);
    QCOMPARE(bed->ResultFilesInTemp(), QStringList());
    QCOMPARE(comparison.GetAliasStatus(0), int(CMP_UNSET));

    kvtest::MessageRecorder never;
    QVERIFY(comparison.CompareAliases(&never));
    QCOMPARE(never.nQueries, 25);
}

void TestAliasComparison::noAliasWidth()
{
    KV_COMPARE_BED(bed, Engine::SQLite);
    bed->ShowSchemas();
    CAliasComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->aliasResults);
    kvtest::MessageRecorder dialog;
    QVERIFY(!comparison.CompareAliases(&dialog));
    QVERIFY(!comparison.GetFailure().IsFailed());
    QVERIFY(dialog.sent.isEmpty());
    QCOMPARE(bed->ResultFilesInTemp(), QStringList());
}

void TestAliasComparison::resultFileCannotBeCreated()
{
    KV_COMPARE_BED(bed, Engine::SQLite);
    bed->CreateDictionary(0, DictionaryShape(), {Entry("AN8")});
    bed->CreateDictionary(1, DictionaryShape(), {Entry("AN8")});
    bed->ShowSchemas();
    const QString strMissing = bed->TempFolder() + QStringLiteral("/missing");
    qputenv("TMP", QFile::encodeName(strMissing));
    CCompareResultFile results(QStringLiteral("BFDD"), 200);
    CAliasComparison comparison(bed->Data(0), bed->Data(1), bed->options, results);
    kvtest::MessageRecorder dialog;
    QVERIFY(!comparison.CompareAliases(&dialog));
    QCOMPARE(comparison.GetFailure().GetKind(), CCompareFailure::CannotCreate);
    QCOMPARE(comparison.GetFailure().GetPath(), strMissing);
    QCOMPARE(dialog.Count(WM_COMPARE_PROGRESS), 0);   // no second pass
    QVERIFY(results.GetFile() == nullptr);
}

void TestAliasComparison::writeFailureEndsRun()
{
    KV_COMPARE_BED(bed, Engine::SQLite);
    QList<DictionaryEntry> entries;
    for (int i = 0; i < 100; ++i)
        entries.append({QStringLiteral("A%1").arg(i, 3, 10, QLatin1Char('0')), "S", 8, "2", 0, "0"});
    bed->CreateDictionary(0, DictionaryShape(), entries);
    bed->CreateDictionary(1, DictionaryShape(), entries);
    bed->ShowSchemas();
    CAliasComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->aliasResults);
    kvtest::MessageRecorder dialog;
    // The slots fit, the records of the second pass do not.
    const int nSlots = 104;
    const qint64 nRecord = 4 + 2 * (2 * 1 + 2 * 2 + 2 * 2 + 6);
    {
        kvtest::FileSizeLimit limit(nSlots * (8 + 4) * 2 + 10 * nRecord);
        QVERIFY(limit.IsSet());
        QVERIFY(!comparison.CompareAliases(&dialog));
    }
    QCOMPARE(comparison.GetFailure().GetKind(), CCompareFailure::CannotWrite);
    QVERIFY(!comparison.GetFailure().GetReason().isEmpty());
    QVERIFY(dialog.Count(WM_COMPARE_PROGRESS) > 1);   // the second pass had begun
    QVERIFY(dialog.Count(WM_COMPARE_PROGRESS) < 50);  // and stopped at the failure
    QVERIFY(bed->aliasResults.GetFile() == nullptr);
    QCOMPARE(bed->ResultFilesInTemp(), QStringList());

    QVERIFY(comparison.CompareAliases(nullptr));
    QCOMPARE(comparison.m_anAliasCount[CMP_SAME], nSlots);
}

void TestAliasComparison::readFailureEndsRun_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<ReadFault>("fault");
    QTest::addColumn<FaultTime>("time");
    // The driver's words. A lost connection reads differently on the first
    // call that meets it and on later ones (those of the second pass).
    QTest::addColumn<QString>("reason");

    const QList<QPair<const char*, FaultTime>> times = {
        {"before the run", FaultTime::BeforeRun}, {"in the first pass", FaultTime::FirstPass},
        {"in the second pass", FaultTime::SecondPass}};
    for (const auto& [pszTime, time] : times) {
        QTest::addRow("postgresql rights revoked %s", pszTime)
            << Engine::PostgreSQL << ReadFault::Denied << time << "permission denied for table f9210";
        QTest::addRow("mariadb rights revoked %s", pszTime)
            << Engine::MariaDB << ReadFault::Denied << time << "SELECT command denied to user";
        QTest::addRow("postgresql connection dropped %s", pszTime)
            << Engine::PostgreSQL << ReadFault::Dropped << time << "connection (has been )?lost";
        QTest::addRow("mariadb connection dropped %s", pszTime)
            << Engine::MariaDB << ReadFault::Dropped << time << kvtest::kMariaDbSessionEndedReasons;
        QTest::addRow("statement cannot be allocated %s", pszTime)
            << Engine::SQLite << ReadFault::Allocation << time << "No statement can be allocated";
    }
}

void TestAliasComparison::readFailureEndsRun()
{
    QFETCH(Engine, engine);
    QFETCH(ReadFault, fault);
    QFETCH(FaultTime, time);
    QFETCH(QString, reason);
    KV_COMPARE_BED(bed, engine);
    bed->CreateDictionary(0, DictionaryShape(), {Entry("AN8"), Entry("MCU")});
    bed->CreateDictionary(1, DictionaryShape(), {Entry("AN8"), Entry("ALPH")});
    bed->ShowSchemas();
    CDBData& right = bed->Data(1);
    auto strike = [&] { bed->BreakReads(1, fault, right.m_strDDTable); };
    kvtest::ActionTarget dialog(
        [&](unsigned nMessage, qintptr wParam, qintptr) {
            return (time == FaultTime::FirstPass && nMessage == WM_TASK_QUERYCANCEL)
                   || (time == FaultTime::SecondPass && nMessage == WM_COMPARE_PROGRESS && wParam == -1);
        },
        strike);
    if (time == FaultTime::BeforeRun) {
        try {
            strike();
        } catch (const std::exception& error) {
            QFAIL(error.what());
        }
    }

    CAliasComparison comparison(bed->Data(0), right, bed->options, bed->aliasResults);
    QVERIFY(!comparison.CompareAliases(&dialog));
    QCOMPARE(dialog.bFired, time != FaultTime::BeforeRun);
    QVERIFY2(dialog.strActionError.isEmpty(), qPrintable(dialog.strActionError));
    const CCompareFailure& failure = comparison.GetFailure();
    QCOMPARE(failure.GetKind(), CCompareFailure::DatabaseError);
    QVERIFY2(failure.GetReason().contains(QRegularExpression(reason)), qPrintable(failure.GetReason()));
    QCOMPARE(failure.GetDataSource(), right.m_strDSN);
    QVERIFY(failure.GetMessage().contains(failure.GetReason()));
    QVERIFY(bed->aliasResults.GetFile() == nullptr);
    QCOMPARE(bed->ResultFilesInTemp(), QStringList());
    QCOMPARE(comparison.GetAliasStatus(0), int(CMP_UNSET));
}

void TestAliasComparison::columnTexts_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("same") << int(CMP_SAME) << QStringList{"AN8", "P", "8", "9", "0", "2"};
    QTest::newRow("left only") << int(CMP_LEFT_ONLY) << QStringList{"AN8", "P", "8", "9", "0", "2"};
    QTest::newRow("right only") << int(CMP_RIGHT_ONLY) << QStringList{"AN8", "S", "10", "9", "2", "2"};
    QTest::newRow("different") << int(CMP_DIFFERENT) << QStringList{"AN8", "P | S", "8 | 10", "9", "0 | 2", "2"};
    QTest::newRow("no record") << int(CMP_UNSET) << QStringList{"AN8", "", "", "", "", ""};
}

void TestAliasComparison::columnTexts()
{
    QFETCH(int, status);
    QFETCH(QStringList, texts);
    CAliasCompareInfo info(false, QStringLiteral("S  "), 10, QStringLiteral("9"), 2, QStringLiteral("2 "));
    const CAliasCompareInfo left(true, QStringLiteral("P"), 8, QStringLiteral("9"), 0, QStringLiteral("2"));
    CZembraParam options;
    info.MergeLeft(left, options);
    QCOMPARE(info.m_nStatus, int(CMP_DIFFERENT));
    info.m_strAlias = QStringLiteral("AN8");
    info.m_nStatus = status;
    for (int i = 0; i < texts.size(); ++i)
        QCOMPARE(info.GetColumnText(i, options), texts.at(i));
    QCOMPARE(info.GetColumnText(6, options), QString());
    // A clear option hides its column, in the texts and in the search.
    options.SetOption(OPT_COMPARE_DTAT, false);
    QCOMPARE(info.GetColumnText(1, options), QString());
    QCOMPARE(info.MatchesSearch(QStringLiteral("an"), options), true);
    SetAllCompareOptions(options, false);
    QCOMPARE(info.MatchesSearch(QStringLiteral("9"), options), false);
}

QTEST_GUILESS_MAIN(TestAliasComparison)
#include "tst_aliascomparison.moc"
