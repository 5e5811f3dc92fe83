// The catalog records, the SQL type names, schema keys and the cleaning of
// driver messages: pure functions, tested as tables of cases.

#include "app/language.h"
#include "db/asciitext.h"
#include "db/columninfo.h"
#include "db/dbexception.h"
#include "db/indexinfo.h"
#include "db/schemakey.h"
#include "db/sqltypes.h"

#include <QtTest>

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void columnText_data();
    void columnText();
    void columnSearch_data();
    void columnSearch();
    void indexText_data();
    void indexText();
    void indexSearch_data();
    void indexSearch();
    void sqlTypeName_data();
    void sqlTypeName();
    void schemaKeySplit_data();
    void schemaKeySplit();
    void schemaKeyBuildAndCompare();
    void originPrefixes_data();
    void originPrefixes();
    void asciiLower_data();
    void asciiLower();
};

void TestRecords::columnText_data()
{
    QTest::addColumn<int>("sqlType");
    QTest::addColumn<QString>("typeName");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");

    QTest::newRow("name") << 12 << "varchar" << 40 << 0 << "ABALPH";
    QTest::newRow("varchar sized") << 12 << "varchar" << 40 << 1 << "varchar (40)";
    QTest::newRow("char sized") << 1 << "CHAR" << 3 << 1 << "CHAR (3)";
    QTest::newRow("wchar sized") << -8 << "nchar" << 10 << 1 << "nchar (10)";
    QTest::newRow("wvarchar sized") << -9 << "nvarchar" << 30 << 1 << "nvarchar (30)";
    QTest::newRow("binary sized") << -2 << "binary" << 16 << 1 << "binary (16)";
    QTest::newRow("varbinary sized") << -3 << "varbinary" << 255 << 1 << "varbinary (255)";
    QTest::newRow("long varbinary unsized") << -4 << "bytea" << 255 << 1 << "bytea";
    QTest::newRow("long varchar unsized") << -1 << "text" << 8190 << 1 << "text";
    QTest::newRow("numeric unsized") << 2 << "numeric" << 15 << 1 << "numeric";
    QTest::newRow("negative size") << 12 << "varchar" << -1 << 1 << "varchar (-1)";
    QTest::newRow("column 2 empty") << 12 << "varchar" << 40 << 2 << "";
    QTest::newRow("column -1 empty") << 12 << "varchar" << 40 << -1 << "";
}

void TestRecords::columnText()
{
    QFETCH(int, sqlType);
    QFETCH(QString, typeName);
    QFETCH(int, size);
    QFETCH(int, column);
    QFETCH(QString, expected);
    const CColumnInfo info(QStringLiteral("ABALPH"), sqlType, typeName, size);
    QCOMPARE(info.GetColumnText(column), expected);
}

void TestRecords::columnSearch_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<bool>("matches");

    QTest::newRow("name part") << "ban" << true;
    QTest::newRow("type name") << "char" << true;
    QTest::newRow("size in type text") << "(8)" << true;
    QTest::newRow("absent") << "upmj" << false;
    QTest::newRow("upper-case search never matches") << "AB" << false;
    QTest::newRow("empty matches") << "" << true;
}

void TestRecords::columnSearch()
{
    QFETCH(QString, search);
    QFETCH(bool, matches);
    const CColumnInfo info(QStringLiteral("ABAN8"), 1, QStringLiteral("NCHAR"), 8);
    QCOMPARE(info.MatchesSearch(search), matches);
}

void TestRecords::indexText_data()
{
    QTest::addColumn<bool>("french");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");

    QTest::newRow("name on first row") << true << 0 << 0 << "F0101_PK";
    QTest::newRow("no name on second row") << true << 1 << 0 << "";
    QTest::newRow("no name on third row") << true << 2 << 0 << "";
    QTest::newRow("first key column") << true << 0 << 1 << "ABAN8";
    QTest::newRow("third key column") << true << 2 << 1 << "ABMCU";
    QTest::newRow("ascending fr") << true << 0 << 2 << QString::fromUtf8("Croissant");
    QTest::newRow("descending fr") << true << 1 << 2 << QString::fromUtf8("Décroissant");
    QTest::newRow("ascending en") << false << 2 << 2 << "Ascending";
    QTest::newRow("descending en") << false << 1 << 2 << "Descending";
    QTest::newRow("row past the end") << true << 3 << 1 << "";
    QTest::newRow("name past the end") << true << 3 << 0 << "";
    QTest::newRow("negative row") << true << -1 << 1 << "";
    QTest::newRow("unknown column") << true << 0 << 3 << "";
}

void TestRecords::indexText()
{
    QFETCH(bool, french);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, expected);

    SetInterfaceLanguage(french ? QStringLiteral("FRA") : QStringLiteral("ENU"), QString());
    CIndexInfo index(QStringLiteral("F0101_PK"));
    index.AddColumn(QStringLiteral("ABAN8"), true);
    index.AddColumn(QStringLiteral("ABALPH"), false);
    index.AddColumn(QStringLiteral("ABMCU"), true);
    QCOMPARE(index.m_arrColumns.size(), index.m_arrAscending.size());
    QCOMPARE(index.GetColumnText(row, column), expected);
}

void TestRecords::indexSearch_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("search");
    QTest::addColumn<bool>("matches");

    QTest::newRow("index name, row 0") << 0 << "f0101_" << true;
    QTest::newRow("index name, row 2") << 2 << "f0101_" << true;
    QTest::newRow("own column") << 1 << "alph" << true;
    QTest::newRow("other row's column") << 0 << "alph" << false;
    QTest::newRow("order text") << 1 << "desc" << true;
    QTest::newRow("order of other row") << 0 << "desc" << false;
    QTest::newRow("absent") << 0 << "upmj" << false;
}

void TestRecords::indexSearch()
{
    QFETCH(int, row);
    QFETCH(QString, search);
    QFETCH(bool, matches);

    SetInterfaceLanguage(QStringLiteral("ENU"), QString());
    CIndexInfo index(QStringLiteral("F0101_PK"));
    index.AddColumn(QStringLiteral("ABAN8"), true);
    index.AddColumn(QStringLiteral("ABALPH"), false);
    index.AddColumn(QStringLiteral("ABMCU"), true);
    QCOMPARE(index.MatchesSearch(row, search), matches);
}

void TestRecords::sqlTypeName_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");

    const QList<QPair<int, const char*>> table = {
        {1, "CHAR"}, {2, "NUMERIC"}, {3, "DECIMAL"}, {4, "INTEGER"}, {5, "SMALLINT"}, {6, "FLOAT"},
        {7, "REAL"}, {8, "DOUBLE"}, {9, "DATE"}, {91, "DATE"}, {10, "TIME"}, {92, "TIME"},
        {11, "TIMESTAMP"}, {93, "TIMESTAMP"}, {12, "VARCHAR"}, {101, "INTERVAL YEAR"},
        {102, "INTERVAL MONTH"}, {103, "INTERVAL DAY"}, {104, "INTERVAL HOUR"},
        {105, "INTERVAL MINUTE"}, {106, "INTERVAL SECOND"}, {107, "INTERVAL YEAR TO MONTH"},
        {108, "INTERVAL DAY TO HOUR"}, {109, "INTERVAL DAY TO MINUTE"},
        {110, "INTERVAL DAY TO SECOND"}, {111, "INTERVAL HOUR TO MINUTE"},
        {112, "INTERVAL HOUR TO SECOND"}, {113, "INTERVAL MINUTE TO SECOND"},
        {-1, "LONG VARCHAR"}, {-2, "BINARY"}, {-3, "VARBINARY"}, {-4, "LONG VARBINARY"},
        {-5, "BIGINT"}, {-6, "TINYINT"}, {-7, "BIT"}, {-8, "WCHAR"}, {-9, "VARWCHAR"},
        {-10, "LONG WVARCHAR"}, {-11, "GUID"},
        // Codes missing from the table show their digits.
        {0, "0"}, {13, "13"}, {90, "90"}, {94, "94"}, {100, "100"}, {114, "114"}, {-12, "-12"},
        {-150, "-150"}, {2147483647, "2147483647"}, {-2147483647 - 1, "-2147483648"},
    };
    for (const auto& [code, name] : table)
        QTest::addRow("%d", code) << code << QString::fromLatin1(name);
}

void TestRecords::sqlTypeName()
{
    QFETCH(int, code);
    QFETCH(QString, name);
    QCOMPARE(GetSqlTypeName(code), name);
}

void TestRecords::schemaKeySplit_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("catalog");
    QTest::addColumn<QString>("owner");

    QTest::newRow("both parts") << "JDE.PRODDTA" << "JDE" << "PRODDTA";
    QTest::newRow("no catalog") << ".PRODDTA" << "" << "PRODDTA";
    QTest::newRow("no owner") << "jde_prod." << "jde_prod" << "";
    QTest::newRow("neither") << "." << "" << "";
    QTest::newRow("split at first stop") << "a.b.c" << "a" << "b.c";
    QTest::newRow("no stop: catalog alone") << "JDE" << "JDE" << "";
    QTest::newRow("empty key") << "" << "" << "";
}

void TestRecords::schemaKeySplit()
{
    QFETCH(QString, key);
    QFETCH(QString, catalog);
    QFETCH(QString, owner);
    QString strCatalog = QStringLiteral("stale");
    QString strOwner = QStringLiteral("stale");
    SplitSchemaKey(key, strCatalog, strOwner);
    QCOMPARE(strCatalog, catalog);
    QCOMPARE(strOwner, owner);
}

void TestRecords::schemaKeyBuildAndCompare()
{
    QCOMPARE(MakeSchemaKey(QString(), QString()), QStringLiteral("."));
    QCOMPARE(MakeSchemaKey(QStringLiteral("jde"), QString()), QStringLiteral("jde."));
    QCOMPARE(MakeSchemaKey(QString(), QStringLiteral("PRODDTA")), QStringLiteral(".PRODDTA"));
    QVERIFY(SchemaKeysEqual(MakeSchemaKey(QStringLiteral("a"), QStringLiteral("b")), QStringLiteral("a.b")));
    QVERIFY(!SchemaKeysEqual(QStringLiteral(".PRODDTA"), QStringLiteral(".proddta")));
    QVERIFY(!SchemaKeysEqual(QStringLiteral(".PRODDTA"), QStringLiteral(".PRODDTA ")));
}

void TestRecords::originPrefixes_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("stripped");
    QTest::addColumn<QString>("origin");

    QTest::newRow("mariadb two origins")
        << "[ma-3.1.15][10.11.6-MariaDB]Table 'kv.NOPE' doesn't exist"
        << "Table 'kv.NOPE' doesn't exist" << "[ma-3.1.15][10.11.6-MariaDB]";
    QTest::newRow("driver manager")
        << "[unixODBC][Driver Manager]Data source name not found and no default driver specified"
        << "Data source name not found and no default driver specified" << "[unixODBC][Driver Manager]";
    QTest::newRow("one space after each")
        << "[A] [B] text" << "text" << "[A][B]";
    QTest::newRow("only one space removed")
        << "[A]  text" << " text" << "[A]";
    QTest::newRow("psqlodbc has none")
        << "ERROR: relation \"nope\" does not exist;" << "ERROR: relation \"nope\" does not exist;" << "";
    QTest::newRow("bracket later in text kept")
        << "[X]value [1] out of range" << "value [1] out of range" << "[X]";
    QTest::newRow("unclosed bracket kept") << "[oops text" << "[oops text" << "";
    QTest::newRow("only prefixes") << "[A][B]" << "" << "[A][B]";
    QTest::newRow("empty") << "" << "" << "";
}

void TestRecords::originPrefixes()
{
    QFETCH(QString, message);
    QFETCH(QString, stripped);
    QFETCH(QString, origin);
    QString strMessage = message;
    QCOMPARE(CDBException::StripOriginPrefixes(strMessage), origin);
    QCOMPARE(strMessage, stripped);
}

void TestRecords::asciiLower_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("lower");

    QTest::newRow("ascii") << "F0101_Ab" << "f0101_ab";
    QTest::newRow("accents untouched") << QString::fromUtf8("ÉCOLE Été") << QString::fromUtf8("École Été");
    QTest::newRow("punctuation") << "[A-Z@#$]" << "[a-z@#$]";
}

void TestRecords::asciiLower()
{
    QFETCH(QString, text);
    QFETCH(QString, lower);
    QCOMPARE(AsciiLower(text), lower);
}

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
