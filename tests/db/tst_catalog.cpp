// The catalog reader against the JDE-shaped fixtures on each engine: schema
// combo, sorted table list with views, data-dictionary table, columns,
// indexes and the table lists of the tools.

#include "app/language.h"
#include "db/schemakey.h"
#include "tests/fixtures/jdefixture.h"
#include "tests/support/recorders.h"

#include <QtTest>

using kvtest::Engine;
using kvtest::JdeOptions;

Q_DECLARE_METATYPE(kvtest::Engine)
Q_DECLARE_METATYPE(kvtest::Dictionary)

namespace {

void AddEngineRows()
{
    QTest::addColumn<Engine>("engine");
    QTest::newRow("sqlite") << Engine::SQLite;
    QTest::newRow("postgresql") << Engine::PostgreSQL;
    QTest::newRow("mariadb") << Engine::MariaDB;
}

QStringList Sorted(QStringList names)
{
    std::sort(names.begin(), names.end());
    return names;
}

// What the catalog holds in a schema; on SQLite every schema is the one.
QStringList ExpectedTables(const kvtest::JdeFixture& fixture, const QString& strSchema, bool bWithViews)
{
    if (fixture.GetEngine() != Engine::SQLite)
        return fixture.TablesOf(strSchema, bWithViews);
    QStringList all;
    for (const QString& strName : {kvtest::kSystemSchema, kvtest::kDictionarySchema, kvtest::kProductionSchema,
                                   kvtest::kCrpSchema, kvtest::kPatternSchema, kvtest::kLookalikeSchema})
        all += fixture.TablesOf(strName, bWithViews);
    return all;
}

QStringList Names(const CColumnInfoArray& columns)
{
    QStringList names;
    for (const auto& pColumn : columns)
        names.append(pColumn->m_strName);
    return names;
}

}  // namespace

class TestCatalog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetInterfaceLanguage(QStringLiteral("ENU"), QString()); }

    void schemaCombo_data() { AddEngineRows(); }
    void schemaCombo();
    void schemaComboUnconnected();
    void tableList_data() { AddEngineRows(); }
    void tableList();
    void tableListOfPatternOwner_data();
    void tableListOfPatternOwner();
    void tableListUnconnectedKeepsDictionary();
    void tableAndViewInOtherCase_data() { AddEngineRows(); }
    void tableAndViewInOtherCase();
    void dataDictionaryTable_data();
    void dataDictionaryTable();
    void emptyF9210HidesF9201_data() { AddEngineRows(); }
    void emptyF9210HidesF9201();
    void tableAccessors_data();
    void tableAccessors();
    void qualifyInSchema_data();
    void qualifyInSchema();
    void columns_data() { AddEngineRows(); }
    void columns();
    void columnsOfPatternName_data() { AddEngineRows(); }
    void columnsOfPatternName();
    void columnsUnconnected();
    void indexes_data() { AddEngineRows(); }
    void indexes();
    void listTables_data() { AddEngineRows(); }
    void listTables();
    void listTablesCancel_data() { AddEngineRows(); }
    void listTablesCancel();
};

void TestCatalog::schemaCombo()
{
    QFETCH(Engine, engine);
    KV_JDE_BED(bed, engine, JdeOptions());

    QStringList keys = {QStringLiteral("stale")};
    kvtest::ComboRecorder combo;
    combo.AddItem(QStringLiteral("stale"), 0);
    bed->data.FillSchemaCombo(keys, combo);

    QVERIFY(!combo.items.isEmpty());
    QCOMPARE(combo.items.size(), keys.size());
    QVERIFY(!keys.contains(QStringLiteral("stale")));
    QCOMPARE(QSet<QString>(keys.cbegin(), keys.cend()).size(), keys.size());   // each key once

    // Every item leads back to its key; its text is the part that is there.
    QStringList texts;
    for (const auto& [strText, nData] : combo.items) {
        QVERIFY(nData >= 0 && nData < keys.size());
        QString strCatalog;
        QString strOwner;
        SplitSchemaKey(keys.at(nData), strCatalog, strOwner);
        QCOMPARE(strText, strCatalog.isEmpty() ? strOwner : strOwner.isEmpty() ? strCatalog : keys.at(nData));
        texts.append(strText);
    }
    QCOMPARE(texts, Sorted(texts));

    const kvtest::JdeFixture& fixture = *bed->pFixture;
    for (const QString& strSchema : {kvtest::kProductionSchema, kvtest::kPatternSchema, kvtest::kLookalikeSchema})
        QVERIFY2(keys.contains(fixture.Key(strSchema)), qPrintable(fixture.Key(strSchema)));
    if (engine == Engine::SQLite) {
        // One unnamed schema: the key "." and an item with empty text.
        QCOMPARE(keys, QStringList({QStringLiteral(".")}));
        QCOMPARE(combo.items.first().first, QString());
    } else if (engine == Engine::PostgreSQL) {
        QCOMPARE(fixture.Key(kvtest::kProductionSchema), bed->pDatabase->Name() + QStringLiteral(".proddta"));
    } else {
        QCOMPARE(fixture.Key(kvtest::kProductionSchema), bed->pDatabase->Name() + QStringLiteral("_proddta."));
    }
}

void TestCatalog::schemaComboUnconnected()
{
    CDBData data;
    QStringList keys = {QStringLiteral("stale")};
    kvtest::ComboRecorder combo;
    combo.AddItem(QStringLiteral("stale"), 0);
    data.FillSchemaCombo(keys, combo);
    QVERIFY(keys.isEmpty());
    QVERIFY(combo.items.isEmpty());
}

void TestCatalog::tableList()
{
    QFETCH(Engine, engine);
    KV_JDE_BED(bed, engine, JdeOptions());
    CDBData& data = bed->data;
    data.m_strSchema = bed->pFixture->Key(kvtest::kProductionSchema);

    kvtest::ListRecorder list;
    list.AppendItem(99);
    QVERIFY(data.LoadTableList(list));

    const QStringList expected = Sorted(ExpectedTables(*bed->pFixture, kvtest::kProductionSchema, true));
    QCOMPARE(data.m_arrTables, expected);
    QCOMPARE(list.items.size(), expected.size());
    for (int i = 0; i < list.items.size(); ++i)
        QCOMPARE(list.items.at(i), i);

    const int nView = int(data.m_arrTables.indexOf(bed->pFixture->Spelled(QStringLiteral("V0101"))));
    QVERIFY(nView >= 0);
    QCOMPARE(data.m_mapViews.size(), 1);
    QVERIFY(data.IsView(nView));
    QVERIFY(!data.IsView(int(data.m_arrTables.indexOf(bed->pFixture->Spelled(QStringLiteral("F0101"))))));

    // The dictionary lives in another schema, except where all schemas are one.
    QCOMPARE(data.m_strDDTable, engine == Engine::SQLite ? QStringLiteral("F9210") : QString());
}

void TestCatalog::tableListOfPatternOwner_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::newRow("postgresql") << Engine::PostgreSQL;
    QTest::newRow("mariadb") << Engine::MariaDB;
}

void TestCatalog::tableListOfPatternOwner()
{
    QFETCH(Engine, engine);
    KV_JDE_BED(bed, engine, JdeOptions());
    CDBData& data = bed->data;
    // "prod_dta" as a pattern would also list the tables of "prodxdta".
    data.m_strSchema = bed->pFixture->Key(kvtest::kPatternSchema);
    kvtest::ListRecorder list;
    QVERIFY(data.LoadTableList(list));
    QCOMPARE(data.m_arrTables, QStringList({bed->pFixture->Spelled(QStringLiteral("F0006"))}));

    QCOMPARE(data.CountTables(bed->pFixture->Place(kvtest::kPatternSchema).strCatalog,
                              bed->pFixture->Place(kvtest::kPatternSchema).strOwner),
             1);
}

void TestCatalog::tableListUnconnectedKeepsDictionary()
{
    CDBData data;
    data.m_arrTables = {QStringLiteral("F0101")};
    data.m_mapViews.insert(0, true);
    data.m_strDDTable = QStringLiteral("F9210");
    kvtest::ListRecorder list;
    list.AppendItem(0);
    QVERIFY(!data.LoadTableList(list));
    QVERIFY(data.m_arrTables.isEmpty());
    QVERIFY(data.m_mapViews.isEmpty());
    QVERIFY(list.items.isEmpty());
    QCOMPARE(data.m_strDDTable, QStringLiteral("F9210"));
}

void TestCatalog::tableAndViewInOtherCase()
{
    QFETCH(Engine, engine);
    KV_CREATE_DATABASE(db, engine);
    // A table and a view whose names differ only in letter case (quoted on
    // PostgreSQL, which folds unquoted names).
    const bool bPostgres = engine == Engine::PostgreSQL;
    const QString strTable = bPostgres ? QStringLiteral("\"F4201\"") : QStringLiteral("F4201");
    const QString strView = bPostgres ? QStringLiteral("\"f4201\"") : QStringLiteral("f4201");
    db->Exec(QStringLiteral("CREATE TABLE ") + strTable + QStringLiteral(" (SHDOCO INTEGER)"));
    db->Exec(QStringLiteral("CREATE TABLE ZZZ (Z INTEGER)"));
    if (engine == Engine::SQLite) {
        // SQLite names are case-insensitive: the view takes another name.
        db->Exec(QStringLiteral("CREATE VIEW AAA AS SELECT SHDOCO FROM F4201"));
    } else {
        db->Exec(QStringLiteral("CREATE VIEW ") + strView + QStringLiteral(" AS SELECT * FROM ") + strTable);
    }

    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());
    if (engine == Engine::MariaDB)   // else every database of the server is listed
        data.m_strSchema = db->Name() + QLatin1Char('.');
    kvtest::ListRecorder list;
    QVERIFY(data.LoadTableList(list));

    const QString strViewName = engine == Engine::SQLite ? QStringLiteral("AAA") : QStringLiteral("f4201");
    QVERIFY2(data.m_arrTables.contains(QStringLiteral("F4201")), qPrintable(data.m_arrTables.join(' ')));
    QVERIFY2(data.m_arrTables.contains(strViewName), qPrintable(data.m_arrTables.join(' ')));
    QCOMPARE(data.m_arrTables, Sorted(data.m_arrTables));
    QVERIFY(data.IsView(int(data.m_arrTables.indexOf(strViewName))));
    QVERIFY(!data.IsView(int(data.m_arrTables.indexOf(QStringLiteral("F4201")))));
    QCOMPARE(data.m_mapViews.size(), 1);
}

void TestCatalog::dataDictionaryTable_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<kvtest::Dictionary>("dictionary");
    QTest::addColumn<QString>("expected");

    const QList<QPair<const char*, Engine>> engines = {
        {"sqlite", Engine::SQLite}, {"postgresql", Engine::PostgreSQL}, {"mariadb", Engine::MariaDB}};
    for (const auto& [pszEngine, engine] : engines) {
        const bool bFolds = engine == Engine::PostgreSQL;
        QTest::addRow("%s F9210", pszEngine) << engine << kvtest::Dictionary::F9210
                                             << (bFolds ? "f9210" : "F9210");
        QTest::addRow("%s F9201", pszEngine) << engine << kvtest::Dictionary::F9201
                                             << (bFolds ? "f9201" : "F9201");
        QTest::addRow("%s empty F9210", pszEngine) << engine << kvtest::Dictionary::EmptyF9210 << "";
        QTest::addRow("%s none", pszEngine) << engine << kvtest::Dictionary::None << "";
    }
}

void TestCatalog::dataDictionaryTable()
{
    QFETCH(Engine, engine);
    QFETCH(kvtest::Dictionary, dictionary);
    QFETCH(QString, expected);
    JdeOptions options;
    options.dictionary = dictionary;
    KV_JDE_BED(bed, engine, options);

    CDBData& data = bed->data;
    data.m_strDDTable = QStringLiteral("stale");
    data.m_strSchema = bed->pFixture->Key(kvtest::kDictionarySchema);
    kvtest::ListRecorder list;
    QVERIFY(data.LoadTableList(list));
    QCOMPARE(data.m_strDDTable, expected);
}

void TestCatalog::emptyF9210HidesF9201()
{
    QFETCH(Engine, engine);
    JdeOptions options;
    options.dictionary = kvtest::Dictionary::EmptyF9210;
    KV_JDE_BED(bed, engine, options);
    const QString strQualifier = bed->pFixture->Place(kvtest::kDictionarySchema).strQualifier;
    bed->pDatabase->Exec(QStringLiteral("CREATE TABLE ") + strQualifier + QStringLiteral("F9201 (FRDTAI CHAR(10))"));
    bed->pDatabase->Exec(QStringLiteral("INSERT INTO ") + strQualifier + QStringLiteral("F9201 VALUES ('AN8')"));

    CDBData& data = bed->data;
    data.m_strSchema = bed->pFixture->Key(kvtest::kDictionarySchema);
    kvtest::ListRecorder list;
    QVERIFY(data.LoadTableList(list));
    // Only the first name found is counted.
    QCOMPARE(data.m_strDDTable, QString());
}

void TestCatalog::tableAccessors_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("view");
    QTest::addColumn<bool>("matches");

    QTest::newRow("first") << 0 << "f01" << "F0101" << false << true;
    QTest::newRow("view") << 1 << "v01" << "V0101" << true << true;
    QTest::newRow("no match") << 0 << "f42" << "F0101" << false << false;
    QTest::newRow("mixed case name") << 2 << "mixed" << "f55Mixed" << false << true;
    QTest::newRow("upper-case search never matches") << 2 << "MIXED" << "f55Mixed" << false << false;
    QTest::newRow("negative") << -1 << "" << "" << false << false;
    QTest::newRow("past the end") << 3 << "" << "" << false << false;
}

void TestCatalog::tableAccessors()
{
    QFETCH(int, index);
    QFETCH(QString, search);
    QFETCH(QString, name);
    QFETCH(bool, view);
    QFETCH(bool, matches);

    CDBData data;
    data.m_arrTables = {QStringLiteral("F0101"), QStringLiteral("V0101"), QStringLiteral("f55Mixed")};
    data.m_mapViews.insert(1, true);
    QCOMPARE(data.GetTableName(index), name);
    QCOMPARE(data.IsView(index), view);
    QCOMPARE(data.TableMatchesSearch(index, search), matches);
}

void TestCatalog::qualifyInSchema_data()
{
    QTest::addColumn<QString>("schema");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("qualified");

    QTest::newRow("no schema") << "" << "F0101" << "F0101";
    QTest::newRow("owner only") << ".PRODDTA" << "F0101" << "PRODDTA.F0101";
    QTest::newRow("catalog only") << "JDE_PROD." << "F0101" << "JDE_PROD.F0101";
    QTest::newRow("both") << "JDE.PRODDTA" << "F0101" << "JDE.PRODDTA.F0101";
    QTest::newRow("key without stop") << "JDE" << "F0101" << "JDE.F0101";
    QTest::newRow("plain characters kept") << ".PROD$DTA" << "F01_1" << "PROD$DTA.F01_1";
    QTest::newRow("comment and variable characters quoted") << ".PRODDTA" << "F#01@_1" << "PRODDTA.\"F#01@_1\"";
    QTest::newRow("statement in a name quoted") << ".PRODDTA" << "T; DROP TABLE X" << "PRODDTA.\"T; DROP TABLE X\"";
    QTest::newRow("quote doubled") << "" << "A\"B" << "\"A\"\"B\"";
    QTest::newRow("space quoted") << "JDE PROD.X" << "F0101" << "\"JDE PROD\".X.F0101";
    QTest::newRow("non-ASCII quoted") << "" << QString::fromUtf8("Été") << QString::fromUtf8("\"Été\"");
}

void TestCatalog::qualifyInSchema()
{
    QFETCH(QString, schema);
    QFETCH(QString, table);
    QFETCH(QString, qualified);
    CDBData data;
    data.m_strSchema = schema;
    QCOMPARE(data.QualifyInSchema(table), qualified);
}

void TestCatalog::columns()
{
    QFETCH(Engine, engine);
    KV_JDE_BED(bed, engine, JdeOptions());
    CDBData& data = bed->data;
    const kvtest::JdeFixture& fixture = *bed->pFixture;
    data.m_strSchema = fixture.Key(kvtest::kProductionSchema);

    CColumnInfoArray columns;
    columns.push_back(std::make_unique<CColumnInfo>(QStringLiteral("stale"), 1, QStringLiteral("CHAR"), 1));
    QVERIFY(data.LoadColumns(fixture.Spelled(QStringLiteral("F0101")), columns));
    QCOMPARE(Names(columns), fixture.Spelled(QStringList{QStringLiteral("ABAN8"), QStringLiteral("ABALPH"),
                                                         QStringLiteral("ABMCU"), QStringLiteral("ABUPMJ")}));
    const CColumnInfo& alph = *columns.at(1);
    QCOMPARE(alph.m_nSize, 40);
    QVERIFY2(alph.GetColumnText(1).endsWith(QStringLiteral(" (40)")), qPrintable(alph.GetColumnText(1)));

    // A table that does not exist has no columns; the call itself succeeds.
    QVERIFY(data.LoadColumns(QStringLiteral("F9999"), columns));
    QVERIFY(columns.empty());
}

void TestCatalog::columnsOfPatternName()
{
    QFETCH(Engine, engine);
    KV_JDE_BED(bed, engine, JdeOptions());
    CDBData& data = bed->data;
    const kvtest::JdeFixture& fixture = *bed->pFixture;
    data.m_strSchema = fixture.Key(kvtest::kProductionSchema);

    // "F0101_X" as a pattern also matches F0101AX: only its own columns count.
    CColumnInfoArray columns;
    QVERIFY(data.LoadColumns(fixture.Spelled(QStringLiteral("F0101_X")), columns));
    QCOMPARE(Names(columns), fixture.Spelled(QStringList{QStringLiteral("ABAN8"), QStringLiteral("XXNOTE")}));

    CIndexInfoArray indexes;
    QVERIFY(data.LoadIndexes(fixture.Spelled(QStringLiteral("F0101_X")), indexes));
    QVERIFY(indexes.empty());
    QVERIFY(data.LoadIndexes(fixture.Spelled(QStringLiteral("F0101AX")), indexes));
    QCOMPARE(indexes.size(), size_t(1));
}

void TestCatalog::columnsUnconnected()
{
    CDBData data;
    CColumnInfoArray columns;
    columns.push_back(std::make_unique<CColumnInfo>());
    QVERIFY(!data.LoadColumns(QStringLiteral("F0101"), columns));
    QVERIFY(columns.empty());
    CIndexInfoArray indexes;
    indexes.push_back(std::make_unique<CIndexInfo>());
    QVERIFY(!data.LoadIndexes(QStringLiteral("F0101"), indexes));
    QVERIFY(indexes.empty());
}

void TestCatalog::indexes()
{
    QFETCH(Engine, engine);
    KV_JDE_BED(bed, engine, JdeOptions());
    CDBData& data = bed->data;
    const kvtest::JdeFixture& fixture = *bed->pFixture;
    data.m_strSchema = fixture.Key(kvtest::kProductionSchema);

    CIndexInfoArray indexes;
    QVERIFY(data.LoadIndexes(fixture.Spelled(QStringLiteral("F0101")), indexes));
    QMap<QString, const CIndexInfo*> byName;
    for (const auto& pIndex : indexes) {
        QCOMPARE(pIndex->m_arrColumns.size(), pIndex->m_arrAscending.size());
        byName.insert(pIndex->m_strName, pIndex.get());
    }
    QCOMPARE(byName.keys(), fixture.Spelled(QStringList{QStringLiteral("F0101_ALPH"), QStringLiteral("F0101_PK")}));

    const CIndexInfo& alph = *byName.value(fixture.Spelled(QStringLiteral("F0101_ALPH")));
    QCOMPARE(alph.m_arrColumns,
             fixture.Spelled(QStringList{QStringLiteral("ABALPH"), QStringLiteral("ABMCU"), QStringLiteral("ABAN8")}));
    // The SQLite driver does not report descending key columns.
    const bool bReportsOrder = engine != Engine::SQLite;
    QCOMPARE(alph.m_arrAscending, QList<bool>({true, !bReportsOrder, true}));
    QCOMPARE(alph.GetColumnText(0, 0), alph.m_strName);
    QCOMPARE(alph.GetColumnText(1, 0), QString());
    QCOMPARE(alph.GetColumnText(2, 0), QString());
    QCOMPARE(byName.value(fixture.Spelled(QStringLiteral("F0101_PK")))->m_arrColumns,
             fixture.Spelled(QStringList{QStringLiteral("ABAN8")}));
}

void TestCatalog::listTables()
{
    QFETCH(Engine, engine);
    KV_JDE_BED(bed, engine, JdeOptions());
    CDBData& data = bed->data;
    const kvtest::TestDatabase::Schema& place = bed->pFixture->Place(kvtest::kProductionSchema);

    QStringList tables = {QStringLiteral("KEPT")};
    kvtest::MessageRecorder progress;
    bool bCancel = false;
    data.ListTables(place.strCatalog, place.strOwner, tables, &progress, bCancel);
    QVERIFY(!bCancel);

    QCOMPARE(tables.takeFirst(), QStringLiteral("KEPT"));   // appended to, not emptied
    QCOMPARE(Sorted(tables), Sorted(ExpectedTables(*bed->pFixture, kvtest::kProductionSchema, false)));
    QCOMPARE(progress.Count(WM_TASK_STEP), int(tables.size()));
    QCOMPARE(progress.Count(WM_TASK_QUERYCANCEL), int(tables.size()));
    for (const auto& message : progress.sent) {
        if (message.nMessage == WM_TASK_STEP) {
            QCOMPARE(message.wParam, qintptr(-1));
            QCOMPARE(message.lParam, qintptr(-1));
        } else {
            QCOMPARE(message.wParam, qintptr(0));
            QCOMPARE(message.lParam, qintptr(0));
        }
    }

    // Without a progress window nothing is sent, and the list is the same.
    QStringList again;
    data.ListTables(place.strCatalog, place.strOwner, again, nullptr, bCancel);
    QCOMPARE(again, tables);
}

void TestCatalog::listTablesCancel()
{
    QFETCH(Engine, engine);
    KV_JDE_BED(bed, engine, JdeOptions());
    CDBData& data = bed->data;
    const kvtest::TestDatabase::Schema& place = bed->pFixture->Place(kvtest::kProductionSchema);

    // A flag already set: nothing is read.
    QStringList tables;
    bool bCancel = true;
    kvtest::MessageRecorder idle;
    data.ListTables(place.strCatalog, place.strOwner, tables, &idle, bCancel);
    QVERIFY(tables.isEmpty());
    QVERIFY(idle.sent.isEmpty());

    // Cancelled at the second question: two tables read.
    bCancel = false;
    kvtest::MessageRecorder progress(2);
    data.ListTables(place.strCatalog, place.strOwner, tables, &progress, bCancel);
    QVERIFY(bCancel);
    QCOMPARE(tables.size(), 2);
    QCOMPARE(progress.Count(WM_TASK_QUERYCANCEL), 2);
}

QTEST_GUILESS_MAIN(TestCatalog)
#include "tst_catalog.moc"
