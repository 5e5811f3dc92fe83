// JDE environment detection and the schema list offered to the tools, on
// the JDE-shaped fixtures; the selection operations on plain state.

#include "tests/fixtures/jdefixture.h"
#include "tests/support/recorders.h"

#include <QtTest>

using kvtest::Engine;
using kvtest::JdeOptions;

Q_DECLARE_METATYPE(kvtest::Engine)

namespace {

void AddServerRows()
{
    QTest::addColumn<Engine>("engine");
    QTest::newRow("postgresql") << Engine::PostgreSQL;
    QTest::newRow("mariadb") << Engine::MariaDB;
}

// The maps that travel together have the same keys; every offered schema
// holds tables and has a name.
void VerifySchemaListInvariants(const CDBData& data)
{
    QCOMPARE(data.m_mapAllCatalogs.keys(), data.m_mapAllSchemas.keys());
    QCOMPARE(data.m_mapAllOwners.keys(), data.m_mapAllSchemas.keys());
    QCOMPARE(data.m_mapJdeCatalogs.keys(), data.m_mapJdeSchemas.keys());
    QCOMPARE(data.m_mapJdeOwners.keys(), data.m_mapJdeSchemas.keys());
    QCOMPARE(data.m_mapSchemaCatalogs.keys(), data.m_mapSchemas.keys());
    QCOMPARE(data.m_mapSchemaOwners.keys(), data.m_mapSchemas.keys());
    QCOMPARE(data.m_mapSelected.keys(), data.m_mapSchemas.keys());
    for (auto it = data.m_mapSchemas.cbegin(); it != data.m_mapSchemas.cend(); ++it) {
        QVERIFY(it.value() >= 1);
        QVERIFY(!data.m_mapSchemaCatalogs.value(it.key()).isEmpty() || !data.m_mapSchemaOwners.value(it.key()).isEmpty());
    }
}

QMap<QString, int> ExpectedSchemas(const kvtest::JdeFixture& fixture, const QStringList& schemas)
{
    QMap<QString, int> expected;
    for (const QString& strSchema : schemas)
        expected.insert(fixture.Key(strSchema), int(fixture.TablesOf(strSchema, false).size()));
    return expected;
}

// What the scan saw, less the tables MariaDB shows every user.
QMap<QString, int> OwnSchemas(QMap<QString, int> schemas)
{
    schemas.remove(QStringLiteral("performance_schema."));
    return schemas;
}

const QStringList kDeclaredWithTables = {kvtest::kProductionSchema, kvtest::kCrpSchema, kvtest::kSystemSchema,
                                         kvtest::kDictionarySchema, kvtest::kPatternSchema};
const QStringList kAllSchemas = kDeclaredWithTables + QStringList{kvtest::kLookalikeSchema};

}  // namespace

class TestJdeEnvironment : public QObject
{
    Q_OBJECT

private slots:
    void loadDatabaseInfo_data() { AddServerRows(); }
    void loadDatabaseInfo();
    void firstOccurrenceWins();
    void notJdeFallsBackToEveryPair_data() { AddServerRows(); }
    void notJdeFallsBackToEveryPair();
    void noDeclaredOwnerHoldsTables();
    void f98611WithoutOmdatb2_data() { AddServerRows(); }
    void f98611WithoutOmdatb2();
    void olderObjectLibrarian();
    void pairWithoutNamesNeverOffered();
    void countTables();
    void selection_data();
    void selection();
    void loadSchemaTables();
    void loadSchemaTablesCancelled();
    void sizeKnob();
};

void TestJdeEnvironment::loadDatabaseInfo()
{
    QFETCH(Engine, engine);
    KV_JDE_BED(bed, engine, JdeOptions());
    CDBData& data = bed->data;
    const kvtest::JdeFixture& fixture = *bed->pFixture;
    data.LoadDatabaseInfo(nullptr);

    const kvtest::TestDatabase::Schema& system = fixture.Place(kvtest::kSystemSchema);
    const kvtest::TestDatabase::Schema& dictionary = fixture.Place(kvtest::kDictionarySchema);
    QCOMPARE(data.m_strF98611Catalog, system.strCatalog);
    QCOMPARE(data.m_strF98611Owner, system.strOwner);
    QCOMPARE(data.m_strOLCatalog, system.strCatalog);
    QCOMPARE(data.m_strOLOwner, system.strOwner);
    QCOMPARE(data.m_strOLTable, fixture.Spelled(QStringLiteral("F9860")));
    QCOMPARE(data.m_strDDCatalog, dictionary.strCatalog);
    QCOMPARE(data.m_strDDOwner, dictionary.strOwner);
    QCOMPARE(data.m_strDDTable, fixture.Spelled(QStringLiteral("F9210")));

    // The scan saw every schema of the fixture, and only those (each test
    // database has a server user of its own), with its number of tables.
    QCOMPARE(OwnSchemas(data.m_mapAllSchemas), ExpectedSchemas(fixture, kAllSchemas));

    // Declared owners holding tables, each once (proddta is declared twice);
    // the owner without tables keeps -1, the LOGIC row is not an owner.
    QCOMPARE(data.m_mapSchemas, ExpectedSchemas(fixture, kDeclaredWithTables));
    QCOMPARE(data.m_mapJdeSchemas.size(), kDeclaredWithTables.size() + 1);
    const QString strNoTables = engine == Engine::PostgreSQL ? bed->pDatabase->Name() + QStringLiteral(".prodctl")
                                                             : bed->pDatabase->Name() + QStringLiteral("_prodctl.");
    QCOMPARE(data.m_mapJdeSchemas.value(strNoTables, 0), -1);
    QVERIFY(!data.m_mapSchemas.contains(strNoTables));
    QVERIFY(!data.m_mapJdeSchemas.contains(fixture.Key(kvtest::kLookalikeSchema)));
    for (const QString& strKey : data.m_mapSchemas.keys())
        QVERIFY(data.IsSchemaSelected(strKey));
    VerifySchemaListInvariants(data);

    QStringList keys = {QStringLiteral("stale")};
    data.GetSchemaKeys(keys);
    QCOMPARE(keys, data.m_mapSchemas.keys());
    const QString strProduction = fixture.Key(kvtest::kProductionSchema);
    QCOMPARE(data.GetSchemaDisplayName(strProduction),
             engine == Engine::PostgreSQL ? strProduction : fixture.Place(kvtest::kProductionSchema).strCatalog);
}

void TestJdeEnvironment::firstOccurrenceWins()
{
    KV_JDE_BED(bed, Engine::PostgreSQL, JdeOptions());
    // crpdta comes before dd7334 in the driver's order.
    bed->pDatabase->Exec(QStringLiteral("CREATE TABLE crpdta.F9201 (FRDTAI CHAR(10))"));
    CDBData& data = bed->data;
    data.ScanCatalog();
    QCOMPARE(data.m_strDDOwner, QStringLiteral("crpdta"));
    QCOMPARE(data.m_strDDTable, QStringLiteral("f9201"));
}

void TestJdeEnvironment::notJdeFallsBackToEveryPair()
{
    QFETCH(Engine, engine);
    JdeOptions options;
    options.bF98611 = false;
    KV_JDE_BED(bed, engine, options);
    CDBData& data = bed->data;
    data.LoadDatabaseInfo(nullptr);

    QVERIFY(data.m_strF98611Catalog.isEmpty());
    QVERIFY(data.m_strF98611Owner.isEmpty());
    QVERIFY(data.m_mapJdeSchemas.isEmpty());
    // Every pair found by the scan is offered.
    QCOMPARE(data.m_mapSchemas, data.m_mapAllSchemas);
    QCOMPARE(OwnSchemas(data.m_mapSchemas), ExpectedSchemas(*bed->pFixture, kAllSchemas));
    QVERIFY(data.HasSelectedSchema());
    VerifySchemaListInvariants(data);
}

void TestJdeEnvironment::noDeclaredOwnerHoldsTables()
{
    KV_JDE_BED(bed, Engine::PostgreSQL, JdeOptions());
    bed->pDatabase->Exec(QStringLiteral("DELETE FROM sys7334.F98611 WHERE OMOOWN <> 'prodctl'"));
    CDBData& data = bed->data;
    data.LoadDatabaseInfo(nullptr);

    QCOMPARE(data.m_mapJdeSchemas.size(), 1);
    QCOMPARE(data.m_mapJdeSchemas.first(), -1);
    QCOMPARE(OwnSchemas(data.m_mapSchemas), ExpectedSchemas(*bed->pFixture, kAllSchemas));
    VerifySchemaListInvariants(data);
}

void TestJdeEnvironment::f98611WithoutOmdatb2()
{
    QFETCH(Engine, engine);
    JdeOptions options;
    options.bF98611WithoutOmdatb2 = true;
    KV_JDE_BED(bed, engine, options);
    CDBData& data = bed->data;
    data.LoadDatabaseInfo(nullptr);
    VerifySchemaListInvariants(data);

    if (engine == Engine::PostgreSQL) {
        // Keys without a catalog part, counted by a catalog call of their own.
        QMap<QString, int> expected;
        for (const QString& strSchema : kDeclaredWithTables)
            expected.insert(QLatin1Char('.') + strSchema, int(bed->pFixture->TablesOf(strSchema, false).size()));
        QCOMPARE(data.m_mapSchemas, expected);
        QCOMPARE(data.m_mapJdeSchemas.value(QStringLiteral(".prodctl"), 0), -1);
        QCOMPARE(data.GetSchemaDisplayName(QStringLiteral(".proddta")), QStringLiteral("proddta"));
    } else {
        // MariaDB has no owners: every declared row names nothing, and the
        // list falls back to every database.
        QVERIFY(data.m_mapJdeSchemas.isEmpty());
        QCOMPARE(data.m_mapSchemas, data.m_mapAllSchemas);
    }
}

void TestJdeEnvironment::olderObjectLibrarian()
{
    JdeOptions options;
    options.bOlderObjectLibrarian = true;
    options.dictionary = kvtest::Dictionary::F9201;
    KV_JDE_BED(bed, Engine::MariaDB, options);
    CDBData& data = bed->data;
    data.LoadDatabaseInfo(nullptr);
    QCOMPARE(data.m_strOLTable, QStringLiteral("F9801"));
    QCOMPARE(data.m_strOLCatalog, bed->pFixture->Place(kvtest::kSystemSchema).strCatalog);
    QCOMPARE(data.m_strDDTable, QStringLiteral("F9201"));
}

void TestJdeEnvironment::pairWithoutNamesNeverOffered()
{
    // SQLite has neither catalogs nor owners: its one pair "." holds every
    // table and is still never offered.
    KV_CREATE_DATABASE(db, Engine::SQLite);
    db->Exec(QStringLiteral("CREATE TABLE F0101 (ABAN8 INTEGER)"));
    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());
    data.LoadDatabaseInfo(nullptr);
    QCOMPARE(data.m_mapAllSchemas, (QMap<QString, int>{{QStringLiteral("."), 1}}));
    QVERIFY(data.m_mapSchemas.isEmpty());
    QVERIFY(!data.HasSelectedSchema());
    QCOMPARE(data.CountSelectedTables(), 0);
}

void TestJdeEnvironment::countTables()
{
    KV_JDE_BED(bed, Engine::PostgreSQL, JdeOptions());
    CDBData& data = bed->data;
    const QString strCatalog = bed->pDatabase->Name();
    QCOMPARE(data.CountTables(strCatalog, QStringLiteral("proddta")), 6);
    QCOMPARE(data.CountTables(strCatalog, QStringLiteral("nosuchowner")), 0);
    QCOMPARE(data.CountTables(QString(), QStringLiteral("crpdta")), 2);

    // Counting notes where the system tables live when nothing was known.
    QVERIFY(data.m_strOLTable.isEmpty());
    QCOMPARE(data.CountTables(strCatalog, QStringLiteral("sys7334")), 2);
    QCOMPARE(data.m_strOLOwner, QStringLiteral("sys7334"));
    QCOMPARE(data.m_strOLTable, QStringLiteral("f9860"));
    QVERIFY(data.m_strF98611Owner.isEmpty());

    QCOMPARE(data.CountSchemaTables(QStringLiteral("no.such.key")), 0);
    CDBData unconnected;
    QCOMPARE(unconnected.CountTables(strCatalog, QStringLiteral("proddta")), 0);
}

void TestJdeEnvironment::selection_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("display");
    QTest::addColumn<bool>("selected");

    QTest::newRow("both parts") << "JDE.PRODDTA" << "JDE.PRODDTA" << true;
    QTest::newRow("owner only") << ".CRPDTA" << "CRPDTA" << false;
    QTest::newRow("catalog only") << "jde_dev." << "jde_dev" << true;
    QTest::newRow("unknown key") << "X.Y" << "" << false;
}

void TestJdeEnvironment::selection()
{
    QFETCH(QString, key);
    QFETCH(QString, display);
    QFETCH(bool, selected);

    CDBData data;
    const QList<std::tuple<QString, QString, QString, int, bool>> schemas = {
        {QStringLiteral("JDE.PRODDTA"), QStringLiteral("JDE"), QStringLiteral("PRODDTA"), 120, true},
        {QStringLiteral(".CRPDTA"), QString(), QStringLiteral("CRPDTA"), 30, false},
        {QStringLiteral("jde_dev."), QStringLiteral("jde_dev"), QString(), 7, true},
    };
    for (const auto& [strKey, strCatalog, strOwner, nCount, bSelected] : schemas) {
        data.m_mapSchemas.insert(strKey, nCount);
        data.m_mapSchemaCatalogs.insert(strKey, strCatalog);
        data.m_mapSchemaOwners.insert(strKey, strOwner);
        data.m_mapSelected.insert(strKey, bSelected);
    }
    // A selected key that is not offered adds nothing to the count.
    data.m_mapSelected.insert(QStringLiteral("gone."), true);

    QCOMPARE(data.GetSchemaDisplayName(key), display);
    QCOMPARE(data.IsSchemaSelected(key), selected);
    QCOMPARE(data.CountSelectedTables(), 127);
    QVERIFY(data.HasSelectedSchema());

    data.ToggleSchemaSelected(key);
    QCOMPARE(data.IsSchemaSelected(key), !selected);
    data.ToggleSchemaSelected(key);
    QCOMPARE(data.IsSchemaSelected(key), selected);

    for (const QString& strKey : data.m_mapSelected.keys()) {
        if (data.IsSchemaSelected(strKey))
            data.ToggleSchemaSelected(strKey);
    }
    QVERIFY(!data.HasSelectedSchema());
    QCOMPARE(data.CountSelectedTables(), 0);
}

void TestJdeEnvironment::loadSchemaTables()
{
    KV_JDE_BED(bed, Engine::MariaDB, JdeOptions());
    CDBData& data = bed->data;
    data.LoadDatabaseInfo(nullptr);
    data.m_mapSchemaTables.insert(QStringLiteral("stale."), QStringList{QStringLiteral("X")});
    data.ToggleSchemaSelected(bed->pFixture->Key(kvtest::kSystemSchema));

    kvtest::MessageRecorder progress;
    bool bCancel = false;
    QVERIFY(data.LoadSchemaTables(&progress, bCancel));

    QMap<QString, QStringList> expected;
    for (const QString& strSchema : kDeclaredWithTables) {
        if (strSchema != kvtest::kSystemSchema)
            expected.insert(bed->pFixture->Key(strSchema), bed->pFixture->TablesOf(strSchema, false));
    }
    QCOMPARE(data.m_mapSchemaTables.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QStringList tables = data.m_mapSchemaTables.value(it.key());
        std::sort(tables.begin(), tables.end());
        QStringList wanted = it.value();
        std::sort(wanted.begin(), wanted.end());
        QCOMPARE(tables, wanted);
    }
    QCOMPARE(progress.Count(WM_TASK_STEP), data.CountSelectedTables());

    data.FreeSchemaTables();
    QVERIFY(data.m_mapSchemaTables.isEmpty());
}

void TestJdeEnvironment::loadSchemaTablesCancelled()
{
    KV_JDE_BED(bed, Engine::PostgreSQL, JdeOptions());
    CDBData& data = bed->data;
    const kvtest::JdeFixture& fixture = *bed->pFixture;
    data.LoadDatabaseInfo(nullptr);
    // Three selected schemas, visited in key order: crpdta (2), proddta (6), sys7334 (2).
    data.ToggleSchemaSelected(fixture.Key(kvtest::kDictionarySchema));
    data.ToggleSchemaSelected(fixture.Key(kvtest::kPatternSchema));

    kvtest::MessageRecorder progress(2 + 3);   // cancel at the third table of proddta
    bool bCancel = false;
    QVERIFY(data.LoadSchemaTables(&progress, bCancel));
    QVERIFY(bCancel);
    QCOMPARE(data.m_mapSchemaTables.keys(),
             QStringList({fixture.Key(kvtest::kCrpSchema), fixture.Key(kvtest::kProductionSchema)}));
    QCOMPARE(data.m_mapSchemaTables.value(fixture.Key(kvtest::kCrpSchema)).size(), 2);
    QCOMPARE(data.m_mapSchemaTables.value(fixture.Key(kvtest::kProductionSchema)).size(), 3);
}

void TestJdeEnvironment::sizeKnob()
{
    JdeOptions options;
    options.nExtraTables = 40;
    options.nExtraAliases = 450;
    KV_JDE_BED(bed, Engine::PostgreSQL, options);
    CDBData& data = bed->data;
    data.LoadDatabaseInfo(nullptr);
    QCOMPARE(data.m_mapSchemas.value(bed->pFixture->Key(kvtest::kProductionSchema)), 6 + 40);
    QCOMPARE(bed->pDatabase->Scalar(QStringLiteral("SELECT COUNT(*) FROM dd7334.F9210")).toInt(), 16 + 450);
}

QTEST_GUILESS_MAIN(TestJdeEnvironment)
#include "tst_jdeenvironment.moc"
