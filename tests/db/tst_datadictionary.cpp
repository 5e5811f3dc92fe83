// The data-dictionary reader on the JDE-shaped fixtures: the four phases,
// widths, a missing FROWTP, cancellation from the consumer, item sizes.

#include "compare/aliascompareinfo.h"
#include "db/asciitext.h"
#include "db/dictionaryconsumer.h"
#include "tests/fixtures/jdefixture.h"
#include "tests/support/recorders.h"

#include <QtTest>

using kvtest::Engine;
using kvtest::JdeOptions;

Q_DECLARE_METATYPE(kvtest::Engine)

namespace {

struct DictionaryRow
{
    int nPhase;
    QString strAlias;
    QStringList* pAliasList;
    std::unique_ptr<CAliasCompareInfo> pInfo;
};

// Keeps every row handed over; cancels after nCancelAfter rows (0: never).
class ConsumerRecorder : public IDictionaryConsumer
{
public:
    explicit ConsumerRecorder(int nCancelAfter = 0) : m_nCancelAfter(nCancelAfter) {}

    void OnDictionaryRow(int nPhase, const QString& strAlias, QStringList* pAliasList,
                         std::unique_ptr<CAliasCompareInfo> pInfo, CMessageTarget*, bool& bCancel) override
    {
        rows.push_back({nPhase, strAlias, pAliasList, std::move(pInfo)});
        if (m_nCancelAfter > 0 && int(rows.size()) >= m_nCancelAfter)
            bCancel = true;
    }

    const DictionaryRow* Find(const QString& strAlias) const
    {
        for (const DictionaryRow& row : rows) {
            if (TrimRight(row.strAlias) == strAlias)
                return &row;
        }
        return nullptr;
    }

    std::vector<DictionaryRow> rows;

private:
    int m_nCancelAfter;
};

void AddEngineRows()
{
    QTest::addColumn<Engine>("engine");
    QTest::newRow("sqlite") << Engine::SQLite;
    QTest::newRow("postgresql") << Engine::PostgreSQL;
    QTest::newRow("mariadb") << Engine::MariaDB;
}

// Points the data source at the fixture's dictionary, as the comparison
// window does.
void ShowDictionarySchema(kvtest::JdeTestBed& bed)
{
    bed.data.m_strSchema = bed.pFixture->Key(kvtest::kDictionarySchema);
    kvtest::ListRecorder list;
    QVERIFY(bed.data.LoadTableList(list));
}

QList<int> DictionaryWidths(CDBData& data)
{
    return {data.GetAliasSize(QStringLiteral("DTAI")), data.GetAliasSize(QStringLiteral("DTAT")),
            data.GetAliasSize(QStringLiteral("OWTP")), data.GetAliasSize(QStringLiteral("CDEC"))};
}

const QStringList kAliasesInOrder = {
    QStringLiteral("AA"),   QStringLiteral("AB'C"),     QStringLiteral("AEXP"), QStringLiteral("ALPH"),
    QStringLiteral("AN8"),  QStringLiteral("CDEC"),     QStringLiteral("DOCO"), QStringLiteral("DTAI"),
    QStringLiteral("DTAT"), QStringLiteral("LONGALIA"), QStringLiteral("MCU"),  QStringLiteral("NULLATTR"),
    QStringLiteral("OWTP"), QStringLiteral("UORG"),     QStringLiteral("UPMJ"), QStringLiteral("UPRC")};

}  // namespace

class TestDataDictionary : public QObject
{
    Q_OBJECT

private slots:
    void aliasPhases_data() { AddEngineRows(); }
    void aliasPhases();
    void detailPhases_data() { AddEngineRows(); }
    void detailPhases();
    void withoutOwtp_data() { AddEngineRows(); }
    void withoutOwtp();
    void owtpOfNamesakeIgnored();
    void cancelInConsumer_data() { AddEngineRows(); }
    void cancelInConsumer();
    void callerErrors_data();
    void callerErrors();
    void aliasSize_data();
    void aliasSize();
    void aliasSizeWithoutDictionary();
};

void TestDataDictionary::aliasPhases()
{
    QFETCH(Engine, engine);
    KV_JDE_BED(bed, engine, JdeOptions());
    ShowDictionarySchema(*bed);
    CDBData& data = bed->data;
    QCOMPARE(DictionaryWidths(data), QList<int>({8, 1, 2, 2}));

    for (int nPhase : {1, 2}) {
        ConsumerRecorder consumer;
        QStringList aliasList;
        bool bCancel = false;
        QVERIFY(data.ReadDataDictionary(nPhase, {8}, &aliasList, consumer, nullptr, bCancel));
        QStringList aliases;
        for (const DictionaryRow& row : consumer.rows) {
            QCOMPARE(row.nPhase, nPhase);
            QCOMPARE(row.pAliasList, &aliasList);
            QVERIFY(row.pInfo == nullptr);
            QVERIFY2(row.strAlias.size() <= 8, qPrintable(row.strAlias));
            aliases.append(TrimRight(row.strAlias));
        }
        // In the database's order of FRDTAI; the ten-character alias is cut to eight.
        QCOMPARE(aliases, kAliasesInOrder);
    }
}

void TestDataDictionary::detailPhases()
{
    QFETCH(Engine, engine);
    KV_JDE_BED(bed, engine, JdeOptions());
    ShowDictionarySchema(*bed);
    CDBData& data = bed->data;
    QVERIFY(data.HasOwtpColumn());

    for (int nPhase : {3, 4}) {
        ConsumerRecorder consumer;
        bool bCancel = false;
        QVERIFY(data.ReadDataDictionary(nPhase, DictionaryWidths(data), nullptr, consumer, nullptr, bCancel));
        QCOMPARE(int(consumer.rows.size()), int(kAliasesInOrder.size()));
        const int nSide = nPhase == 3 ? 0 : 1;
        const int nOther = 1 - nSide;
        for (const DictionaryRow& row : consumer.rows) {
            QVERIFY(row.pAliasList == nullptr);
            QVERIFY(row.pInfo != nullptr);
            QCOMPARE(row.pInfo->m_nStatus, nPhase == 3 ? int(CMP_LEFT_ONLY) : int(CMP_RIGHT_ONLY));
            QVERIFY(row.pInfo->m_strAlias.isEmpty());
            QVERIFY(row.pInfo->m_strDTAT[nOther].isEmpty());
            QCOMPARE(row.pInfo->m_nDTAS[nOther], 0);
        }

        const CAliasCompareInfo& amount = *consumer.Find(QStringLiteral("AA"))->pInfo;
        QCOMPARE(amount.m_strDTAT[nSide], QStringLiteral("P"));
        QCOMPARE(amount.m_nDTAS[nSide], 15);
        QCOMPARE(amount.m_strOWTP[nSide], QStringLiteral("9"));
        QCOMPARE(amount.m_nDTAD[nSide], std::int16_t(2));
        QCOMPARE(amount.m_strCDEC[nSide], QStringLiteral("2"));

        // NULL texts read as empty strings.
        const CAliasCompareInfo& nulls = *consumer.Find(QStringLiteral("NULLATTR"))->pInfo;
        QCOMPARE(nulls.m_strDTAT[nSide], QString());
        QCOMPARE(nulls.m_nDTAS[nSide], 5);
        QCOMPARE(nulls.m_strOWTP[nSide], QString());
        QCOMPARE(nulls.m_strCDEC[nSide], QString());

        // Attribute values longer than their width are cut too.
        ConsumerRecorder narrow;
        QVERIFY(data.ReadDataDictionary(nPhase, {8, 1, 1, 1}, nullptr, narrow, nullptr, bCancel));
        QCOMPARE(narrow.Find(QStringLiteral("UPMJ"))->pInfo->m_strOWTP[nSide], QStringLiteral("1"));
    }
}

void TestDataDictionary::withoutOwtp()
{
    QFETCH(Engine, engine);
    JdeOptions options;
    options.dictionary = kvtest::Dictionary::F9210WithoutOwtp;
    KV_JDE_BED(bed, engine, options);
    ShowDictionarySchema(*bed);
    CDBData& data = bed->data;
    QVERIFY(!data.HasOwtpColumn());

    ConsumerRecorder consumer;
    bool bCancel = false;
    QVERIFY(data.ReadDataDictionary(3, {8, 1, 2, 2}, nullptr, consumer, nullptr, bCancel));
    QCOMPARE(int(consumer.rows.size()), int(kAliasesInOrder.size()));
    for (const DictionaryRow& row : consumer.rows)
        QCOMPARE(row.pInfo->m_strOWTP[0], QString());
    QCOMPARE(consumer.Find(QStringLiteral("AEXP"))->pInfo->m_nDTAD[0], std::int16_t(2));
}

void TestDataDictionary::owtpOfNamesakeIgnored()
{
    // A dictionary table of the same name in another schema has FROWTP; the
    // one shown has not. Reading it must not ask for FROWTP.
    JdeOptions options;
    options.dictionary = kvtest::Dictionary::F9210WithoutOwtp;
    KV_JDE_BED(bed, Engine::PostgreSQL, options);
    bed->pDatabase->Exec(QStringLiteral("CREATE TABLE crpdta.F9210 (FRDTAI CHAR(10), FROWTP CHAR(2))"));
    ShowDictionarySchema(*bed);
    CDBData& data = bed->data;
    QVERIFY(!data.HasOwtpColumn());
    ConsumerRecorder consumer;
    bool bCancel = false;
    QVERIFY(data.ReadDataDictionary(4, {8, 1, 2, 2}, nullptr, consumer, nullptr, bCancel));
    QCOMPARE(int(consumer.rows.size()), int(kAliasesInOrder.size()));
}

void TestDataDictionary::cancelInConsumer()
{
    QFETCH(Engine, engine);
    KV_JDE_BED(bed, engine, JdeOptions());
    ShowDictionarySchema(*bed);
    for (int nPhase : {1, 3}) {
        ConsumerRecorder consumer(3);
        QStringList aliasList;
        bool bCancel = false;
        QVERIFY(bed->data.ReadDataDictionary(nPhase, {8, 1, 2, 2}, &aliasList, consumer, nullptr, bCancel));
        QVERIFY(bCancel);
        QCOMPARE(int(consumer.rows.size()), 3);
    }
}

void TestDataDictionary::callerErrors_data()
{
    QTest::addColumn<int>("phase");
    QTest::addColumn<QList<int>>("widths");

    QTest::newRow("no width") << 1 << QList<int>();
    QTest::newRow("detail with one width") << 3 << QList<int>({8});
    QTest::newRow("detail with three widths") << 4 << QList<int>({8, 1, 2});
    QTest::newRow("negative width") << 3 << QList<int>({8, -1, 2, 2});
    QTest::newRow("unknown phase") << 5 << QList<int>({8, 1, 2, 2});
}

void TestDataDictionary::callerErrors()
{
    QFETCH(int, phase);
    QFETCH(QList<int>, widths);
    KV_JDE_BED(bed, Engine::SQLite, JdeOptions());
    ShowDictionarySchema(*bed);

    ConsumerRecorder consumer;
    QStringList aliasList;
    bool bCancel = false;
    QVERIFY(!bed->data.ReadDataDictionary(phase, widths, &aliasList, consumer, nullptr, bCancel));
    QVERIFY(consumer.rows.empty());
    QVERIFY(bed->data.IsConnected());

    CDBData unconnected;
    QVERIFY(!unconnected.ReadDataDictionary(1, {8}, &aliasList, consumer, nullptr, bCancel));
}

void TestDataDictionary::aliasSize_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("size");

    const QList<QPair<const char*, Engine>> engines = {
        {"sqlite", Engine::SQLite}, {"postgresql", Engine::PostgreSQL}, {"mariadb", Engine::MariaDB}};
    for (const auto& [pszEngine, engine] : engines) {
        QTest::addRow("%s DTAI", pszEngine) << engine << "DTAI" << 8;
        QTest::addRow("%s AA", pszEngine) << engine << "AA" << 15;
        QTest::addRow("%s quote in item", pszEngine) << engine << "AB'C" << 3;
        QTest::addRow("%s missing", pszEngine) << engine << "NOPE" << -1;
        QTest::addRow("%s injection attempt", pszEngine) << engine << "X' OR '1'='1" << -1;
        // MariaDB reads \' inside a literal as a quote: as text, this would
        // select every row.
        QTest::addRow("%s escaped quote and comment", pszEngine) << engine << "\\' OR 1=1 #" << -1;
        QTest::addRow("%s trailing backslash", pszEngine) << engine << "BS\\" << 12;
    }
}

void TestDataDictionary::aliasSize()
{
    QFETCH(Engine, engine);
    QFETCH(QString, item);
    QFETCH(int, size);
    KV_JDE_BED(bed, engine, JdeOptions());
    // An item ending in a backslash, written for each engine's literals.
    const QString strBackslash = engine == Engine::MariaDB ? QStringLiteral("\\\\") : QStringLiteral("\\");
    bed->pDatabase->Exec(QStringLiteral("INSERT INTO ") + bed->pFixture->Place(kvtest::kDictionarySchema).strQualifier
                         + QStringLiteral("F9210 (FRDTAI, FRDTAS) VALUES ('BS") + strBackslash + QStringLiteral("', 12)"));
    ShowDictionarySchema(*bed);
    QCOMPARE(bed->data.GetAliasSize(item), size);
}

void TestDataDictionary::aliasSizeWithoutDictionary()
{
    KV_JDE_BED(bed, Engine::SQLite, JdeOptions());
    bed->data.m_strDDTable.clear();
    QCOMPARE(bed->data.GetAliasSize(QStringLiteral("DTAI")), -1);
    CDBData unconnected;
    unconnected.m_strDDTable = QStringLiteral("F9210");
    QCOMPARE(unconnected.GetAliasSize(QStringLiteral("DTAI")), -1);
}

QTEST_GUILESS_MAIN(TestDataDictionary)
#include "tst_datadictionary.moc"
