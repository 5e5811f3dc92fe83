// Names in any Unicode character come back exactly through the catalog and
// dictionary readers, whatever the user's locale: CTest runs this test under
// LANG=C, fr_FR.UTF-8 and en_US.UTF-8.

#include "db/asciitext.h"
#include "db/dictionaryconsumer.h"
#include "tests/compare/comparebed.h"
#include "tests/support/testmain.h"

#include <QtTest>

#include <clocale>
#include <langinfo.h>

using kvtest::Engine;

Q_DECLARE_METATYPE(kvtest::Engine)

namespace {

// An accented letter, a character beyond ISO 8859-1 and a CJK character.
const QString kTable = QStringLiteral("T\u00E9\u20AC\u4E2D");
const QString kField = QStringLiteral("F\u00E9\u20AC\u4E2D");
const QString kAlias = QStringLiteral("A\u00E9\u20AC\u4E2D");

class AliasRecorder : public IDictionaryConsumer
{
public:
    void OnDictionaryRow(int, const QString& strAlias, QStringList*, std::unique_ptr<CAliasCompareInfo>,
                         CMessageTarget*, bool&) override
    {
        aliases.append(TrimRight(strAlias));
    }

    QStringList aliases;
};

}  // namespace

class TestUnicodeNames : public QObject
{
    Q_OBJECT

private slots:
    void characterTypeIsUtf8();
    void namesReadBackExactly_data();
    void namesReadBackExactly();
};

void TestUnicodeNames::characterTypeIsUtf8()
{
    QCOMPARE(QByteArray(nl_langinfo(CODESET)), QByteArray("UTF-8"));
    const QByteArray characterType = std::setlocale(LC_CTYPE, nullptr);
    const QByteArray messages = std::setlocale(LC_MESSAGES, nullptr);

    // Only the character type was changed: every other category is still
    // what the environment names; and a second call changes nothing.
    std::setlocale(LC_ALL, "");
    QCOMPARE(QByteArray(std::setlocale(LC_MESSAGES, nullptr)), messages);
    QVERIFY(EnsureUtf8CharacterType());
    QCOMPARE(QByteArray(std::setlocale(LC_CTYPE, nullptr)), characterType);
    QCOMPARE(QByteArray(nl_langinfo(CODESET)), QByteArray("UTF-8"));
}

void TestUnicodeNames::namesReadBackExactly_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::newRow("sqlite") << Engine::SQLite;
    QTest::newRow("postgresql") << Engine::PostgreSQL;
    QTest::newRow("mariadb") << Engine::MariaDB;
}

void TestUnicodeNames::namesReadBackExactly()
{
    QFETCH(Engine, engine);
    KV_COMPARE_BED(bed, engine);
    bed->CreateTable(0, kTable, {kField + QStringLiteral(" INTEGER"), QStringLiteral("PLAIN INTEGER")});
    bed->CreateDictionary(0, kvtest::DictionaryShape(), {{kAlias, QStringLiteral("S"), 3, QStringLiteral("2"), 0, QString()}});
    bed->ShowSchemas();
    CDBData& data = bed->Data(0);

    QStringList tables;
    for (int i = 0; i < data.m_arrTables.size(); ++i)
        tables.append(data.GetTableName(i));
    QVERIFY2(tables.contains(kTable), qPrintable(tables.join(u' ')));

    CColumnInfoArray columns;
    QVERIFY(data.LoadColumns(kTable, columns));
    QStringList fields;
    for (const auto& pColumn : columns)
        fields.append(pColumn->m_strName);
    QCOMPARE(fields, QStringList({kField, QStringLiteral("PLAIN")}));

    AliasRecorder consumer;
    QStringList aliasList;
    bool bCancel = false;
    QVERIFY(data.ReadDataDictionary(1, {8}, &aliasList, consumer, nullptr, bCancel));
    QVERIFY2(consumer.aliases.contains(kAlias), qPrintable(consumer.aliases.join(u' ')));
}

KV_TEST_GUILESS_MAIN(TestUnicodeNames)
#include "tst_unicodenames.moc"
