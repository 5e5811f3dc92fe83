// The export writers on results of real comparisons: golden files of the
// table, field, alias and structure exports in both languages, the options
// that choose the lines, quoted fields, characters beyond one byte, and files
// that cannot be written.

#include "app/language.h"
#include "compare/aliascomparison.h"
#include "compare/compareexport.h"
#include "compare/exportfile.h"
#include "compare/structureexport.h"
#include "compare/tablecomparison.h"
#include "tests/compare/comparebed.h"
#include "tests/compare/filesizelimit.h"
#include "tests/support/buildpath.h"
#include "tests/support/testmain.h"

#include <QBuffer>
#include <QtTest>

#include <cerrno>
#include <cstring>

using kvtest::CompareBed;
using kvtest::DictionaryEntry;
using kvtest::Engine;

namespace {

const QString kLeftTitle = QStringLiteral("DEV (TESTDTA)");
const QString kRightTitle = QStringLiteral("PROD (PRODDTA)");

void SetLanguage(bool bFrench)
{
    SetInterfaceLanguage(bFrench ? QStringLiteral("FRA") : QStringLiteral("ENU"), QString());
}

// Compares written bytes with tests/compare/golden/<name>. With
// KITVANE_WRITE_GOLDEN set the file is written instead, and the test fails
// so that nobody mistakes a rewrite for a pass.
void CompareWithGolden(const QByteArray& bytes, const char* pszName)
{
    const QString strPath = kvtest::BuildPath(KITVANE_COMPARE_GOLDEN) + QStringLiteral("/") + QLatin1String(pszName);
    if (qEnvironmentVariableIsSet("KITVANE_WRITE_GOLDEN")) {
        QFile file(strPath);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        QFAIL(qPrintable(QStringLiteral("golden file written: ") + strPath));
    }
    QFile file(strPath);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(strPath));
    QCOMPARE(bytes, file.readAll());
}

// The C library's text for an error number, as the system gives it.
QString SystemReason(int nError)
{
    return QString::fromLocal8Bit(std::strerror(nError));
}

QList<QByteArray> Lines(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (!line.endsWith('\r'))
            return {"<line without CR LF>"};
        line.chop(1);
    }
    return lines;
}

// What follows the legend and its three empty lines.
QList<QByteArray> Body(const QByteArray& bytes)
{
    return Lines(bytes).mid(7);
}

}  // namespace

class TestCompareExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void frenchLegend();
    void tableExport_data();
    void tableExport();
    void tableExportOptions_data();
    void tableExportOptions();
    void fieldExport_data();
    void fieldExport();
    void aliasExport();
    void structureExport_data();
    void structureExport();
    void charactersBeyondOneByte();
    void fieldQuoting_data();
    void fieldQuoting();
    void separatorInRealNames();
    void binaryTypeTexts();
    void fullDisk();
    void fileOfItsOwn();
    void fileLimitRemovesExport_data();
    void fileLimitRemovesExport();
    void unopenableExport();
    void statusSymbols();

private:
    QByteArray Write(const std::function<bool(CExportFile&)>& write, int* pnReplaced = nullptr);
    // The lines of a structure export of a table's fields, without indexes.
    QList<QByteArray> FieldListExport(CDBData& data, const QString& strTable);
    int TableNumber(const QString& strName) const;

    std::unique_ptr<CompareBed> m_pBed;
    std::unique_ptr<CTableComparison> m_pTables;
    std::unique_ptr<CAliasComparison> m_pAliases;
};

void TestCompareExport::initTestCase()
{
    try {
        m_pBed = std::make_unique<CompareBed>(Engine::SQLite);
    } catch (const std::exception& error) {
        QFAIL(error.what());
    }
    CompareBed& bed = *m_pBed;
    bed.CreateTable(0, QStringLiteral("F0101"), {"ABAN8 NUMERIC(8,0)", "ABALPH CHAR(40)", "ABMCU CHAR(12)"});
    bed.CreateTable(1, QStringLiteral("F0101"),
                    {"ABAN8 NUMERIC(8,0)", "ABC CHAR(10)", "ABALPH CHAR(30)", "ABMCU CHAR(12)"});
    bed.CreateTable(0, QStringLiteral("F0911"), {"GLDOC NUMERIC(8,0)"});
    for (int nSide = 0; nSide < 2; ++nSide)
        bed.CreateTable(nSide, QStringLiteral("F4211"), {"SDDOCO NUMERIC(8,0)"});
    bed.CreateTable(1, QStringLiteral("F55NEW"), {"XXKEY INTEGER"});
    bed.Exec(0, QStringLiteral("CREATE UNIQUE INDEX F0101_PK ON F0101 (ABAN8)"));
    bed.Exec(0, QStringLiteral("CREATE INDEX F0101_ALPH ON F0101 (ABALPH, ABMCU DESC)"));

    const QList<DictionaryEntry> left = {{"AN8", "P", 8, "9", 0, "0"}, {"AA", "P", 15, "9", 2, "2"},
                                         {"MCU", "S", 12, "2", 0, ""}};
    const QList<DictionaryEntry> right = {{"AN8", "P", 8, "9", 0, "0"}, {"AA", "S", 17, "9", 2, "2"},
                                          {"ALPH", "A", 40, "2", 0, ""}};
    bed.CreateDictionary(0, kvtest::DictionaryShape(), left);
    bed.CreateDictionary(1, kvtest::DictionaryShape(), right);
    bed.ShowSchemas();

    bed.options.SetOption(OPT_COMPARE_SQL_TYPES, true);
    m_pTables = std::make_unique<CTableComparison>(bed.Data(0), bed.Data(1), bed.options, bed.tableResults);
    QVERIFY(m_pTables->CompareTables(nullptr));
    m_pAliases = std::make_unique<CAliasComparison>(bed.Data(0), bed.Data(1), bed.options, bed.aliasResults);
    QVERIFY(m_pAliases->CompareAliases(nullptr));
}

void TestCompareExport::cleanupTestCase()
{
    m_pTables.reset();
    m_pAliases.reset();
    m_pBed.reset();
}

QByteArray TestCompareExport::Write(const std::function<bool(CExportFile&)>& write, int* pnReplaced)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CExportFile file(buffer);
    if (!write(file))
        return "<write failed>";
    if (pnReplaced != nullptr)
        *pnReplaced = file.GetReplacedCount();
    return buffer.data();
}

QList<QByteArray> TestCompareExport::FieldListExport(CDBData& data, const QString& strTable)
{
    CColumnInfoArray columns;
    if (!data.LoadColumns(strTable, columns))
        return {"<fields not read>"};
    CZembraParam options;
    options.SetOption(OPT_EXPORT_FIELD_LIST, true);
    options.SetOption(OPT_EXPORT_INDEX_LIST, false);
    return Lines(Write([&](CExportFile& file) { return WriteTableStructure(file, options, columns, {}); }));
}

int TestCompareExport::TableNumber(const QString& strName) const
{
    return int(m_pTables->m_astrCompareTables.indexOf(strName));
}

void TestCompareExport::frenchLegend()
{
    SetLanguage(true);
    const QByteArray bytes = Write([](CExportFile& file) {
        WriteStatusLegend(file, kLeftTitle, kRightTitle);
        return file.Finish();
    });
    QCOMPARE(bytes, QByteArray("=;identique\r\n>;uniquement dans DEV (TESTDTA)\r\n<;uniquement dans PROD (PRODDTA)\r\n"
                               "<>;diff\xE9rent\r\n\r\n\r\n\r\n"));
}

void TestCompareExport::tableExport_data()
{
    QTest::addColumn<bool>("french");
    QTest::addColumn<QString>("golden");
    QTest::newRow("french") << true << "tables_fr.csv";
    QTest::newRow("english") << false << "tables_en.csv";
}

void TestCompareExport::tableExport()
{
    QFETCH(bool, french);
    QFETCH(QString, golden);
    SetLanguage(french);
    const CZembraParam options;
    const QByteArray bytes = Write([&](CExportFile& file) {
        return WriteTableExport(file, options, *m_pTables, kLeftTitle, kRightTitle);
    });
    // The different table with its right-only field, as the lines stand.
    QVERIFY(Body(bytes).contains("<>;F0101"));
    QVERIFY(Body(bytes).contains(";;<;ABC"));
    CompareWithGolden(bytes, qPrintable(golden));
}

void TestCompareExport::tableExportOptions_data()
{
    QTest::addColumn<QList<int>>("cleared");
    QTest::addColumn<QList<QByteArray>>("body");
    QTest::newRow("all") << QList<int>{}
                         << QList<QByteArray>{"<>;F0101", ";;=;ABAN8", ";;<;ABC", ";;<>;ABALPH", ";;=;ABMCU", ">;F0911",
                                              "=;F4211", "<;F55NEW", "=;F9210"};
    // Without option 6 a different table and its fields are left out, whatever 7 to 10 say.
    QTest::newRow("no different tables") << QList<int>{OPT_EXPORT_TABLES_DIFFERENT}
                                         << QList<QByteArray>{">;F0911", "=;F4211", "<;F55NEW", "=;F9210"};
    QTest::newRow("no right-only fields") << QList<int>{OPT_EXPORT_DIFF_FIELDS_RIGHT_ONLY, OPT_EXPORT_TABLES_SAME}
                                          << QList<QByteArray>{"<>;F0101", ";;=;ABAN8", ";;<>;ABALPH", ";;=;ABMCU",
                                                               ">;F0911", "<;F55NEW"};
    QTest::newRow("one-sided tables only")
        << QList<int>{OPT_EXPORT_TABLES_SAME, OPT_EXPORT_TABLES_DIFFERENT}
        << QList<QByteArray>{">;F0911", "<;F55NEW"};
}

void TestCompareExport::tableExportOptions()
{
    QFETCH(QList<int>, cleared);
    QFETCH(QList<QByteArray>, body);
    CZembraParam options;
    for (int nOption : cleared)
        options.SetOption(nOption, false);
    const QByteArray bytes = Write([&](CExportFile& file) {
        return WriteTableExport(file, options, *m_pTables, kLeftTitle, kRightTitle);
    });
    QCOMPARE(Body(bytes), body);
}

void TestCompareExport::fieldExport_data()
{
    QTest::addColumn<bool>("sqlTypes");
    QTest::addColumn<int>("fieldCount");
    QTest::addColumn<QString>("golden");
    QTest::newRow("without SQL types") << false << 2 << "fields_fr.csv";
    QTest::newRow("with SQL types") << true << 6 << "fields_sqltypes_fr.csv";
}

void TestCompareExport::fieldExport()
{
    QFETCH(bool, sqlTypes);
    QFETCH(int, fieldCount);
    QFETCH(QString, golden);
    SetLanguage(true);
    const CZembraParam options;
    const QByteArray bytes = Write([&](CExportFile& file) {
        return WriteFieldExport(file, options, *m_pTables, TableNumber(QStringLiteral("F0101")), sqlTypes, kLeftTitle,
                                kRightTitle);
    });
    const QList<QByteArray> body = Body(bytes);
    QCOMPARE(body.size(), 4);
    for (const QByteArray& line : body)
        QCOMPARE(int(line.count(';')) + 1, fieldCount);
    if (sqlTypes)
        QVERIFY(body.contains("<>;ABALPH;VARCHAR;40 | 30;CHAR(40);CHAR(30)"));
    CompareWithGolden(bytes, qPrintable(golden));

    // A table that is not different has no fields to export.
    const QByteArray same = Write([&](CExportFile& file) {
        return WriteFieldExport(file, options, *m_pTables, TableNumber(QStringLiteral("F4211")), sqlTypes, kLeftTitle,
                                kRightTitle);
    });
    QVERIFY(Body(same).isEmpty());
}

void TestCompareExport::aliasExport()
{
    SetLanguage(true);
    CZembraParam options;
    for (int nOption : {OPT_COMPARE_OWTP, OPT_COMPARE_DTAD, OPT_COMPARE_CDEC})
        options.SetOption(nOption, false);
    const QByteArray bytes = Write([&](CExportFile& file) {
        return WriteAliasExport(file, options, *m_pAliases, kLeftTitle, kRightTitle);
    });
    const QList<QByteArray> body = Body(bytes);
    QCOMPARE(body.value(0), QByteArray(";;DTAT;DTAS"));
    QCOMPARE(body.value(1), QByteArray(";Alias;Type article DD;Taille article"));
    for (const QByteArray& line : body.mid(2))
        QCOMPARE(int(line.count(';')), 3);
    QVERIFY(body.contains("<>;AA;P | S;15 | 17"));
    CompareWithGolden(bytes, "aliases_fr.csv");

    // Only the statuses chosen, the English header.
    SetLanguage(false);
    options.SetOption(OPT_EXPORT_ALIASES_SAME, false);
    options.SetOption(OPT_EXPORT_ALIASES_DIFFERENT, false);
    const QList<QByteArray> english = Body(Write([&](CExportFile& file) {
        return WriteAliasExport(file, options, *m_pAliases, kLeftTitle, kRightTitle);
    }));
    QCOMPARE(english, (QList<QByteArray>{";;DTAT;DTAS", ";Alias;Data Item Type;Item Size", "<;ALPH;A;40", ">;MCU;S;12"}));
}

void TestCompareExport::structureExport_data()
{
    QTest::addColumn<QList<int>>("shown");
    QTest::addColumn<QString>("golden");
    QTest::newRow("fields and indexes") << QList<int>{OPT_EXPORT_FIELD_LIST, OPT_EXPORT_INDEX_LIST}
                                        << "structure_fr.csv";
    QTest::newRow("indexes only") << QList<int>{OPT_EXPORT_INDEX_LIST} << "structure_indexes_fr.csv";
}

void TestCompareExport::structureExport()
{
    QFETCH(QList<int>, shown);
    QFETCH(QString, golden);
    SetLanguage(true);
    CZembraParam options;
    options.SetOption(OPT_EXPORT_FIELD_LIST, shown.contains(OPT_EXPORT_FIELD_LIST));
    options.SetOption(OPT_EXPORT_INDEX_LIST, shown.contains(OPT_EXPORT_INDEX_LIST));
    CColumnInfoArray fields;
    CIndexInfoArray indexes;
    QVERIFY(m_pBed->Data(0).LoadColumns(QStringLiteral("F0101"), fields));
    QVERIFY(m_pBed->Data(0).LoadIndexes(QStringLiteral("F0101"), indexes));
    QVERIFY(!indexes.empty());
    const QByteArray bytes = Write([&](CExportFile& file) { return WriteTableStructure(file, options, fields, indexes); });
    CompareWithGolden(bytes, qPrintable(golden));

    // A table without indexes: its fields, two line breaks, nothing else.
    CColumnInfoArray other;
    QVERIFY(m_pBed->Data(0).LoadColumns(QStringLiteral("F0911"), other));
    options.SetOption(OPT_EXPORT_FIELD_LIST, true);
    const QByteArray plain = Write([&](CExportFile& file) { return WriteTableStructure(file, options, other, {}); });
    QCOMPARE(plain, QByteArray("GLDOC;NUMERIC(8,0)\r\n\r\n\r\n"));
}

void TestCompareExport::charactersBeyondOneByte()
{
    KV_COMPARE_BED(bed, Engine::SQLite);
    // U+20AC and U+03A9 have no byte; U+00E9 has one.
    bed->CreateTable(0, QStringLiteral("T\u20AC"), {"A INTEGER"});
    bed->CreateTable(0, QStringLiteral("T\u03A9"), {"A INTEGER"});
    bed->CreateTable(1, QStringLiteral("T\u00E9"), {"A INTEGER"});
    bed->ShowSchemas();
    CTableComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->tableResults);
    QVERIFY(comparison.CompareTables(nullptr));
    SetLanguage(true);
    int nReplaced = 0;
    const QByteArray bytes = Write(
        [&](CExportFile& file) {
            return WriteTableExport(file, CZembraParam(), comparison, QStringLiteral("DEV \u03A9"), kRightTitle);
        },
        &nReplaced);
    QCOMPARE(nReplaced, 3);
    QVERIFY(bytes.contains(">;uniquement dans DEV ?\r\n"));
    QCOMPARE(Body(bytes).size(), 3);
    QVERIFY(Body(bytes).contains(">;T?"));
    QVERIFY(Body(bytes).contains("<;T\xE9"));
    QCOMPARE(Body(bytes).count(">;T?"), 2);

    // A character beyond the 16-bit plane (a surrogate pair) is one character.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CExportFile file(buffer);
    file.WriteLine(QStringLiteral("A\U0001F600B\u00FF"));
    QVERIFY(file.Finish());
    QCOMPARE(buffer.data(), QByteArray("A?B\xFF\r\n"));
    QCOMPARE(file.GetReplacedCount(), 1);
}

void TestCompareExport::fieldQuoting_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("plain") << QStringList{"=", "F0101"} << QByteArray("=;F0101");
    QTest::newRow("empty fields") << QStringList{"", "", "<", "ABC"} << QByteArray(";;<;ABC");
    QTest::newRow("blanks, commas and accents stay bare")
        << QStringList{"A B", "x,y", "\u00E9t\u00E9"} << QByteArray("A B;x,y;\xE9t\xE9");
    QTest::newRow("semicolon") << QStringList{"<>", "T;1"} << QByteArray("<>;\"T;1\"");
    QTest::newRow("semicolon alone") << QStringList{";"} << QByteArray("\";\"");
    QTest::newRow("double quotes doubled") << QStringList{"=", "say \"hi\""} << QByteArray("=;\"say \"\"hi\"\"\"");
    QTest::newRow("line feed") << QStringList{"a\nb", "c"} << QByteArray("\"a\nb\";c");
    QTest::newRow("carriage return") << QStringList{"c", "a\rb"} << QByteArray("c;\"a\rb\"");
    QTest::newRow("character beyond one byte inside quotes") << QStringList{"\u20AC;"} << QByteArray("\"?;\"");
    QTest::newRow("no field") << QStringList{} << QByteArray();
}

void TestCompareExport::fieldQuoting()
{
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, line);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CExportFile file(buffer);
    file.WriteFields(fields);
    QVERIFY(file.Finish());
    QCOMPARE(buffer.data(), line + "\r\n");
}

void TestCompareExport::separatorInRealNames()
{
    KV_COMPARE_BED(bed, Engine::PostgreSQL);
    bed->CreateTable(0, QStringLiteral("T;1"), {"A INTEGER", "F;X CHAR(3)"});
    bed->CreateTable(1, QStringLiteral("T;1"), {"A INTEGER"});
    bed->CreateTable(1, QStringLiteral("P\"Q"), {"A INTEGER"});
    bed->ShowSchemas();
    bed->options.SetOption(OPT_COMPARE_SQL_TYPES, true);
    CTableComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->tableResults);
    QVERIFY(comparison.CompareTables(nullptr));
    QCOMPARE(comparison.m_astrCompareTables, QStringList({"P\"Q", "T;1"}));
    SetLanguage(false);

    const QList<QByteArray> tables = Body(Write([&](CExportFile& file) {
        return WriteTableExport(file, CZembraParam(), comparison, kLeftTitle, kRightTitle);
    }));
    QCOMPARE(tables, (QList<QByteArray>{"<;\"P\"\"Q\"", "<>;\"T;1\"", ";;=;A", ";;>;\"F;X\""}));

    const int nTable = int(comparison.m_astrCompareTables.indexOf(QStringLiteral("T;1")));
    const QList<QByteArray> fields = Body(Write([&](CExportFile& file) {
        return WriteFieldExport(file, CZembraParam(), comparison, nTable, true, kLeftTitle, kRightTitle);
    }));
    QCOMPARE(fields, (QList<QByteArray>{"=;A;INTEGER;10;int4;int4", ">;\"F;X\";WCHAR;3;bpchar;"}));

    QCOMPARE(FieldListExport(bed->Data(0), QStringLiteral("T;1")), (QList<QByteArray>{"A;int4", "\"F;X\";bpchar (3)", "", ""}));
}

void TestCompareExport::binaryTypeTexts()
{
    // The size stands behind the type name for BINARY and VARBINARY, as for
    // the character types, never for the long binary type.
    KV_COMPARE_BED(bed, Engine::MariaDB);
    bed->CreateTable(0, QStringLiteral("T"), {"B BINARY(16)", "V VARBINARY(20)", "L BLOB", "C CHAR(3)", "N INTEGER"});
    // MariaDB names its types in capitals.
    QCOMPARE(FieldListExport(bed->Data(0), QStringLiteral("T")),
             (QList<QByteArray>{"B;BINARY (16)", "V;VARBINARY (20)", "L;BLOB", "C;CHAR (3)", "N;INT", "", ""}));
}

void TestCompareExport::fullDisk()
{
    QFile full(QStringLiteral("/dev/full"));
    QVERIFY(full.open(QIODevice::WriteOnly));
    CExportFile file(full);
    QVERIFY(!WriteTableExport(file, CZembraParam(), *m_pTables, kLeftTitle, kRightTitle));
    QVERIFY(!file.IsOk());
    QCOMPARE(file.GetErrorText(), SystemReason(ENOSPC));
}

void TestCompareExport::fileOfItsOwn()
{
    // A file of its own holds exactly what a device is given.
    const QByteArray expected = Write([&](CExportFile& file) {
        return WriteTableExport(file, CZembraParam(), *m_pTables, kLeftTitle, kRightTitle);
    });
    const QString strPath = m_pBed->TempFolder() + QStringLiteral("/tables.csv");
    {
        CExportFile file(strPath);
        QVERIFY(file.IsOk());
        QVERIFY(WriteTableExport(file, CZembraParam(), *m_pTables, kLeftTitle, kRightTitle));
    }
    QFile written(strPath);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), expected);
    QVERIFY(QFile::remove(strPath));
}

void TestCompareExport::fileLimitRemovesExport_data()
{
    // Bytes the file may hold: the limit strikes in the legend or later.
    QTest::addColumn<int>("limit");
    QTest::newRow("nothing fits") << 0;
    QTest::newRow("the legend fits in part") << 20;
    QTest::newRow("the legend fits") << 120;
}

void TestCompareExport::fileLimitRemovesExport()
{
    QFETCH(int, limit);
    const QString strPath = m_pBed->TempFolder() + QStringLiteral("/limited.csv");
    bool bWritten = true;
    QString strReason;
    {
        kvtest::FileSizeLimit fileLimit(limit);
        QVERIFY(fileLimit.IsSet());
        CExportFile file(strPath);
        QVERIFY(file.IsOk());
        bWritten = WriteTableExport(file, CZembraParam(), *m_pTables, kLeftTitle, kRightTitle);
        strReason = file.GetErrorText();
    }
    QVERIFY(!bWritten);
    QCOMPARE(strReason, SystemReason(EFBIG));
    QVERIFY(!QFile::exists(strPath));
}

void TestCompareExport::unopenableExport()
{
    const QString strPath = m_pBed->TempFolder() + QStringLiteral("/missing/tables.csv");
    CExportFile file(strPath);
    QVERIFY(!file.IsOk());
    QVERIFY2(file.GetErrorText().contains(SystemReason(ENOENT)), qPrintable(file.GetErrorText()));
    QVERIFY(!WriteTableExport(file, CZembraParam(), *m_pTables, kLeftTitle, kRightTitle));
    QVERIFY(!QFile::exists(strPath));
}

void TestCompareExport::statusSymbols()
{
    QCOMPARE((QStringList{GetStatusSymbol(0), GetStatusSymbol(1), GetStatusSymbol(2), GetStatusSymbol(3)}),
             (QStringList{"=", ">", "<", "<>"}));
    QCOMPARE(GetStatusSymbol(CMP_UNSET), QString());
    QCOMPARE(GetStatusSymbol(-1), QString());
}

KV_TEST_GUILESS_MAIN(TestCompareExport)
#include "tst_compareexport.moc"
