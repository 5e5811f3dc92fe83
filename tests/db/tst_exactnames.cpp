// Names reach exactly their own object on each engine: tables and columns
// that differ from a namesake only in letter case, names with trailing
// blanks, names holding the search-pattern escape character, and names
// longer than the 128 characters of a bound buffer. The evidence is the
// server's own rows, counted and read through the system's statements.

#include "db/dbdata.h"
#include "db/schemakey.h"
#include "tests/compare/enginerows.h"
#include "tests/support/recorders.h"
#include "tests/support/selectinteger.h"
#include "tests/support/testdatabase.h"

#include <QtTest>

using kvtest::Engine;

namespace {

// A name quoted for setup SQL, written here rather than taken from the code
// under test.
QString Quoted(Engine engine, const QString& strName)
{
    const QString strQuote = engine == Engine::MariaDB ? QStringLiteral("`") : QStringLiteral("\"");
    return strQuote + strName + strQuote;
}

// The schema key of the test database's own tables.
QString OwnKey(const kvtest::TestDatabase& db)
{
    switch (db.GetEngine()) {
    case Engine::SQLite: return QString();
    case Engine::PostgreSQL: return db.Name() + QStringLiteral(".public");
    case Engine::MariaDB: return db.Name() + QLatin1Char('.');
    }
    return QString();
}

void CreateTable(kvtest::TestDatabase& db, const QString& strTable, const QStringList& columns, int nRows)
{
    QStringList definitions;
    for (const QString& strColumn : columns)
        definitions.append(Quoted(db.GetEngine(), strColumn) + QStringLiteral(" INTEGER"));
    db.Exec(QStringLiteral("CREATE TABLE ") + Quoted(db.GetEngine(), strTable) + QStringLiteral(" (")
            + definitions.join(QStringLiteral(", ")) + QLatin1Char(')'));
    for (int nRow = 1; nRow <= nRows; ++nRow) {
        QStringList values(columns.size(), QString::number(nRow));
        db.Exec(QStringLiteral("INSERT INTO ") + Quoted(db.GetEngine(), strTable) + QStringLiteral(" VALUES (")
                + values.join(QStringLiteral(", ")) + QLatin1Char(')'));
    }
}

// Connects to the test database and shows its own tables, as the
// comparison window does.
bool ShowOwnTables(CDBData& data, const kvtest::TestDatabase& db)
{
    data.m_strDSN = db.Dsn();
    if (!data.Connect())
        return false;
    data.m_strSchema = OwnKey(db);
    kvtest::ListRecorder list;
    return data.LoadTableList(list);
}

// The tables of the shown schema as the tools list them, sorted.
QStringList ToolTables(CDBData& data)
{
    const auto [strCatalog, strOwner] = SplitSchemaKey(data.m_strSchema);
    QStringList tables;
    bool bCancel = false;
    data.ListTables(strCatalog, strOwner, tables, nullptr, bCancel);
    std::sort(tables.begin(), tables.end());
    return tables;
}

QStringList ColumnNames(CDBData& data, const QString& strTable)
{
    CColumnInfoArray columns;
    if (!data.LoadColumns(strTable, columns))
        return {QStringLiteral("<failed>")};
    QStringList names;
    for (const auto& pColumn : columns)
        names.append(pColumn->m_strName);
    return names;
}

int CountRows(CDBData& data, const QString& strTable)
{
    return kvtest::SelectInteger(data, QStringLiteral("SELECT COUNT(*) FROM ") + data.QualifyInSchema(strTable));
}

// The largest value of a column times 100, as a decimal update would
// compute it.
int MaxTimes100(CDBData& data, const QString& strTable, const QString& strColumn)
{
    const QString strColumnName = data.QuoteName(strColumn);
    return kvtest::SelectInteger(data, QStringLiteral("SELECT MAX(") + strColumnName + QStringLiteral("*100) FROM ")
                                           + data.QualifyInSchema(strTable));
}

QStringList Sorted(QStringList names)
{
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

class TestExactNames : public QObject
{
    Q_OBJECT

private slots:
    void letterCaseNamesakes_data() { kvtest::AddEngineRows(); }
    void letterCaseNamesakes();
    void trailingBlanks_data() { kvtest::AddEngineRows(); }
    void trailingBlanks();
    void trailingBlankSchema();
    void escapeCharacterInName_data() { kvtest::AddEngineRows(); }
    void escapeCharacterInName();
    void namesNeedingQuotes_data();
    void namesNeedingQuotes();
    void longNames_data();
    void longNames();
    void textWholeOrCut_data() { kvtest::AddEngineRows(); }
    void textWholeOrCut();
};

void TestExactNames::letterCaseNamesakes()
{
    QFETCH(Engine, engine);
    KV_CREATE_DATABASE(db, engine);
    // SQLite matches names without letter case: there the namesake cannot
    // exist, and the upper-case table must still be read as itself.
    const bool bNamesakes = engine != Engine::SQLite;
    CreateTable(*db, QStringLiteral("F0101"), {QStringLiteral("SPAA")}, 3);
    if (bNamesakes)
        CreateTable(*db, QStringLiteral("f0101"), {QStringLiteral("spaa"), QStringLiteral("other")}, 7);

    CDBData data;
    QVERIFY2(ShowOwnTables(data, *db), qPrintable(data.GetLastError()));
    QCOMPARE(data.m_arrTables, bNamesakes ? QStringList({QStringLiteral("F0101"), QStringLiteral("f0101")})
                                          : QStringList({QStringLiteral("F0101")}));

    QCOMPARE(CountRows(data, QStringLiteral("F0101")), 3);
    QCOMPARE(ColumnNames(data, QStringLiteral("F0101")), QStringList({QStringLiteral("SPAA")}));
    QCOMPARE(MaxTimes100(data, QStringLiteral("F0101"), QStringLiteral("SPAA")), 300);
    if (bNamesakes) {
        QCOMPARE(CountRows(data, QStringLiteral("f0101")), 7);
        QCOMPARE(ColumnNames(data, QStringLiteral("f0101")), QStringList({QStringLiteral("spaa"), QStringLiteral("other")}));
        QCOMPARE(MaxTimes100(data, QStringLiteral("f0101"), QStringLiteral("spaa")), 700);
    }

    // The tools' table lists name each table once, as itself.
    QCOMPARE(ToolTables(data), data.m_arrTables);
}

void TestExactNames::trailingBlanks()
{
    QFETCH(Engine, engine);
    KV_CREATE_DATABASE(db, engine);
    if (engine == Engine::MariaDB) {
        // MariaDB refuses such names, so none can be merged with another.
        QVERIFY_THROWS_EXCEPTION(std::exception, CreateTable(*db, QStringLiteral("canary "), {QStringLiteral("a")}, 1));
        QVERIFY_THROWS_EXCEPTION(std::exception, CreateTable(*db, QStringLiteral("t"), {QStringLiteral("a ")}, 1));
        return;
    }
    CreateTable(*db, QStringLiteral("canary"), {QStringLiteral("a")}, 1);
    CreateTable(*db, QStringLiteral("canary "), {QStringLiteral("b"), QStringLiteral("b ")}, 2);

    CDBData data;
    QVERIFY2(ShowOwnTables(data, *db), qPrintable(data.GetLastError()));
    QCOMPARE(data.m_arrTables, QStringList({QStringLiteral("canary"), QStringLiteral("canary ")}));

    QCOMPARE(ToolTables(data), data.m_arrTables);

    QCOMPARE(CountRows(data, QStringLiteral("canary")), 1);
    QCOMPARE(CountRows(data, QStringLiteral("canary ")), 2);
    QCOMPARE(ColumnNames(data, QStringLiteral("canary")), QStringList({QStringLiteral("a")}));
    QCOMPARE(ColumnNames(data, QStringLiteral("canary ")), QStringList({QStringLiteral("b"), QStringLiteral("b ")}));
    QCOMPARE(MaxTimes100(data, QStringLiteral("canary "), QStringLiteral("b ")), 200);
}

void TestExactNames::trailingBlankSchema()
{
    // Schemas only PostgreSQL has next to its catalogs: "canary " is not "canary".
    KV_CREATE_DATABASE(db, Engine::PostgreSQL);
    db->Exec(QStringLiteral("CREATE SCHEMA canary"));
    db->Exec(QStringLiteral("CREATE SCHEMA \"canary \""));
    db->Exec(QStringLiteral("CREATE TABLE canary.t1 (a INTEGER)"));
    db->Exec(QStringLiteral("CREATE TABLE canary.t2 (a INTEGER)"));
    db->Exec(QStringLiteral("CREATE TABLE \"canary \".t1 (b INTEGER)"));
    db->Exec(QStringLiteral("INSERT INTO \"canary \".t1 VALUES (1), (2), (3)"));

    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());
    data.ScanCatalog();
    QCOMPARE(data.m_mapAllSchemas.value(db->Name() + QStringLiteral(".canary")), 2);
    QCOMPARE(data.m_mapAllSchemas.value(db->Name() + QStringLiteral(".canary ")), 1);
    QCOMPARE(data.m_mapAllOwners.value(db->Name() + QStringLiteral(".canary ")), QStringLiteral("canary "));
    QCOMPARE(data.CountTables(db->Name(), QStringLiteral("canary ")), 1);

    QStringList tables;
    bool bCancel = false;
    data.ListTables(db->Name(), QStringLiteral("canary "), tables, nullptr, bCancel);
    QCOMPARE(tables, QStringList({QStringLiteral("t1")}));

    QStringList keys;
    kvtest::ComboRecorder combo;
    data.FillSchemaCombo(keys, combo);
    QVERIFY(keys.contains(db->Name() + QStringLiteral(".canary ")));
    QVERIFY(keys.contains(db->Name() + QStringLiteral(".canary")));

    data.m_strSchema = db->Name() + QStringLiteral(".canary ");
    QCOMPARE(CountRows(data, QStringLiteral("t1")), 3);
    QCOMPARE(ColumnNames(data, QStringLiteral("t1")), QStringList({QStringLiteral("b")}));
    kvtest::ListRecorder list;
    QVERIFY2(data.LoadTableList(list), qPrintable(data.GetLastError()));
    QCOMPARE(data.m_arrTables, QStringList({QStringLiteral("t1")}));
}

void TestExactNames::escapeCharacterInName()
{
    QFETCH(Engine, engine);
    KV_CREATE_DATABASE(db, engine);
    const QString strTable = QStringLiteral("a\\b");
    CreateTable(*db, strTable, {QStringLiteral("x")}, 2);
    CreateTable(*db, QStringLiteral("axb"), {QStringLiteral("y")}, 1);   // what "a_b" as a pattern finds too
    db->Exec(QStringLiteral("CREATE INDEX ix_x ON ") + Quoted(engine, strTable) + QStringLiteral(" (x)"));

    CDBData data;
    QVERIFY2(ShowOwnTables(data, *db), qPrintable(data.GetLastError()));
    QCOMPARE(data.m_arrTables, QStringList({strTable, QStringLiteral("axb")}));

    QCOMPARE(ColumnNames(data, strTable), QStringList({QStringLiteral("x")}));
    QCOMPARE(ColumnNames(data, QStringLiteral("axb")), QStringList({QStringLiteral("y")}));
    QCOMPARE(CountRows(data, strTable), 2);
    CIndexInfoArray indexes;
    QVERIFY(data.LoadIndexes(strTable, indexes));
    QCOMPARE(indexes.size(), size_t(1));
    QCOMPARE(indexes.front()->m_arrColumns, QStringList({QStringLiteral("x")}));
}

void TestExactNames::namesNeedingQuotes_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");

    for (const auto& [pszEngine, engine] : kvtest::AllEngines()) {
        QTest::addRow("%s reserved words", pszEngine) << engine << "order" << "select";
        // MariaDB reads the rest of F#01 as a comment: unquoted, it counts F.
        QTest::addRow("%s comment character", pszEngine) << engine << "F#01" << "c#1";
        QTest::addRow("%s variable character", pszEngine) << engine << "F@01" << "c@1";
    }
}

void TestExactNames::namesNeedingQuotes()
{
    QFETCH(Engine, engine);
    QFETCH(QString, table);
    QFETCH(QString, column);
    KV_CREATE_DATABASE(db, engine);
    CreateTable(*db, table, {column}, 4);
    CreateTable(*db, QStringLiteral("F"), {QStringLiteral("c")}, 1);

    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());
    data.m_strSchema = OwnKey(*db);
    QCOMPARE(CountRows(data, table), 4);
    QCOMPARE(MaxTimes100(data, table, column), 400);
}

void TestExactNames::longNames_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QList<int>>("lengths");

    // The longest names each engine takes: SQLite has no limit of its own,
    // PostgreSQL keeps 63 bytes, MariaDB 64 characters.
    QTest::newRow("sqlite") << Engine::SQLite << QList<int>({128, 129, 300});
    QTest::newRow("postgresql") << Engine::PostgreSQL << QList<int>({63});
    QTest::newRow("mariadb") << Engine::MariaDB << QList<int>({64});
}

void TestExactNames::longNames()
{
    QFETCH(Engine, engine);
    QFETCH(QList<int>, lengths);
    KV_CREATE_DATABASE(db, engine);

    // Per length, two tables whose names differ only in their last
    // character, each with a column name as long.
    QStringList expected;
    QMap<QString, int> rowsOf;
    QMap<QString, QString> columnOf;
    int nRows = 0;
    for (int nLength : lengths) {
        for (QChar last : {QLatin1Char('x'), QLatin1Char('y')}) {
            const QString strTable = QString(nLength - 1, QLatin1Char('t')) + last;
            const QString strColumn = QString(nLength - 1, QLatin1Char('c')) + last;
            CreateTable(*db, strTable, {strColumn}, ++nRows);
            expected.append(strTable);
            rowsOf.insert(strTable, nRows);
            columnOf.insert(strTable, strColumn);
        }
    }

    CDBData data;
    QVERIFY2(ShowOwnTables(data, *db), qPrintable(data.GetLastError()));
    QCOMPARE(data.m_arrTables, Sorted(expected));

    QCOMPARE(ToolTables(data), Sorted(expected));

    for (const QString& strTable : std::as_const(expected)) {
        QCOMPARE(ColumnNames(data, strTable), QStringList({columnOf.value(strTable)}));
        QCOMPARE(CountRows(data, strTable), rowsOf.value(strTable));
    }
}

void TestExactNames::textWholeOrCut()
{
    // The same long value read whole by a buffer without width and cut by
    // one of 129 characters; a NULL and a short value after it read as
    // themselves in both.
    QFETCH(Engine, engine);
    KV_CREATE_DATABASE(db, engine);
    db->Exec(QStringLiteral("CREATE TABLE t (n INTEGER, txt VARCHAR(3000))"));
    const QString strLong = QString::fromUtf8("é") + QString(2500, QLatin1Char('x')) + QString::fromUtf8("表");
    db->Exec(QStringLiteral("INSERT INTO t VALUES (1, ") + kvtest::Quoted(strLong) + QLatin1Char(')'));
    db->Exec(QStringLiteral("INSERT INTO t VALUES (2, NULL)"));
    db->Exec(QStringLiteral("INSERT INTO t VALUES (3, 'short')"));

    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());
    QStringList whole;
    QStringList cut;
    QVERIFY(data.RunStatement(false, [&](CStatement& statement) {
        statement.ExecDirect(QStringLiteral("SELECT txt, txt FROM t ORDER BY n"));
        CTextBuffer wholeText;
        CTextBuffer cutText(129);
        statement.BindText(1, wholeText);
        statement.BindText(2, cutText);
        while (statement.Fetch()) {
            whole.append(wholeText.Text());
            cut.append(cutText.Text());
        }
        return true;
    }));
    QCOMPARE(whole, QStringList({strLong, QString(), QStringLiteral("short")}));
    QCOMPARE(cut, QStringList({strLong.left(128), QString(), QStringLiteral("short")}));
}

QTEST_GUILESS_MAIN(TestExactNames)
#include "tst_exactnames.moc"
