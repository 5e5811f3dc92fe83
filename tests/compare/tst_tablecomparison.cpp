// The table comparison on real databases: pairing of the table and field
// names, field order, SQL-type rules, progress and cancellation, the result
// file read back byte by byte, and runs that cannot read their databases or
// write their result.

#include "compare/sortednames.h"
#include "compare/tablecomparison.h"
#include "tests/compare/comparebed.h"
#include "tests/compare/enginerows.h"
#include "tests/compare/filesizelimit.h"
#include "tests/compare/layoutreader.h"
#include "tests/fixtures/jdefixture.h"
#include "tests/support/recorders.h"

#include <QRegularExpression>
#include <QElapsedTimer>
#include <QtTest>

#include <map>

using kvtest::CompareBed;
using kvtest::Engine;
using kvtest::LayoutReader;

namespace {

const QStringList kKeyFields = {QStringLiteral("XXKEY NUMERIC(8,0)"), QStringLiteral("XXNAME CHAR(10)")};

QList<int> Statuses(const CTableComparison& comparison)
{
    QList<int> statuses;
    for (int i = 0; i < comparison.m_astrCompareTables.size(); ++i)
        statuses.append(comparison.GetTableStatus(i));
    return statuses;
}

QList<int> Counters(const CTableComparison& comparison)
{
    return QList<int>(std::begin(comparison.m_anTableCount), std::end(comparison.m_anTableCount));
}

struct FieldRow
{
    QString strName;
    int nStatus;
};

QList<FieldRow> ReadFields(const CTableComparison& comparison, int nTable)
{
    QList<FieldRow> rows;
    qint64 nPosition = 0;
    int nCount = 0;
    qint16 nNameLen = 0;
    qint16 nTypeLen = 0;
    if (!comparison.GetTableColumns(nTable, nPosition, nCount, nNameLen, nTypeLen))
        return rows;
    for (int i = 0; i < nCount; ++i) {
        const auto pRecord = comparison.ReadColumnResult(i, nPosition, nNameLen, nTypeLen);
        rows.append({pRecord ? pRecord->m_strName : QStringLiteral("<unreadable>"),
                     comparison.GetColumnStatus(i, nPosition, nNameLen, nTypeLen)});
    }
    return rows;
}

// "NAME:status" per stored field record, in stored order.
QStringList FieldList(const CTableComparison& comparison, int nTable)
{
    QStringList fields;
    for (const FieldRow& field : ReadFields(comparison, nTable))
        fields.append(field.strName + QLatin1Char(':') + QString::number(field.nStatus));
    return fields;
}

// Tables written "NAME:FIELD1,FIELD2"; every field CHAR(4).
void CreateTables(CompareBed& bed, int nSide, const QStringList& tables)
{
    for (const QString& strTable : tables) {
        const QStringList parts = strTable.split(QLatin1Char(':'));
        QStringList fields;
        for (const QString& strField : parts.at(1).split(QLatin1Char(',')))
            fields.append(strField + QStringLiteral(" CHAR(4)"));
        bed.CreateTable(nSide, parts.at(0), fields);
    }
}

// One field F of a left and a right SQL type per table. The SQLite driver
// reports CHAR as VARCHAR (12), so there the two never differ by type. When
// given, the type and size texts of the different field are checked too.
struct TypeCase
{
    const char* pszTable;
    const char* pszLeft;
    const char* pszRight;
    bool bSqlTypes;
    bool bSameSizeStrings;
    int nStatus;
    int nSqliteStatus;
    const char* pszTypeText = nullptr;
    const char* pszSizeText = nullptr;
};

const TypeCase kTypeCases[] = {
    {"T_CHAR10_VARCHAR10", "CHAR(10)", "VARCHAR(10)", true, true, CMP_SAME, CMP_SAME},
    {"T_CHAR10_VARCHAR10_STRICT", "CHAR(10)", "VARCHAR(10)", true, false, CMP_DIFFERENT, CMP_SAME},
    {"T_CHAR10_VARCHAR12", "CHAR(10)", "VARCHAR(12)", true, true, CMP_DIFFERENT, CMP_DIFFERENT},
    {"T_CHAR10_CHAR12", "CHAR(10)", "CHAR(12)", true, true, CMP_DIFFERENT, CMP_DIFFERENT},
    {"T_NUMERIC15_NUMERIC18", "NUMERIC(15,0)", "NUMERIC(18,0)", true, true, CMP_SAME, CMP_SAME},
    {"T_INTEGER_NUMERIC", "INTEGER", "NUMERIC(10,0)", true, true, CMP_DIFFERENT, CMP_DIFFERENT},
    {"T_INTEGER_NUMERIC_UNCHECKED", "INTEGER", "NUMERIC(10,0)", false, true, CMP_SAME, CMP_SAME},
    {"T_CHAR10_CHAR12_UNCHECKED", "CHAR(10)", "CHAR(12)", false, true, CMP_SAME, CMP_SAME},
};

// Binary types have a size that counts, as character types do; they are
// never strings of the same size, and the long ones have no size that
// counts. MariaDB reports BINARY (-2), VARBINARY (-3) and BLOB (-4).
const TypeCase kBinaryCases[] = {
    {"T_BINARY16_BINARY16", "BINARY(16)", "BINARY(16)", true, true, CMP_SAME, CMP_SAME},
    {"T_BINARY16_BINARY20", "BINARY(16)", "BINARY(20)", true, true, CMP_DIFFERENT, CMP_DIFFERENT, "BINARY", "16 | 20"},
    {"T_VARBINARY16_VARBINARY20", "VARBINARY(16)", "VARBINARY(20)", true, true, CMP_DIFFERENT, CMP_DIFFERENT,
     "VARBINARY", "16 | 20"},
    {"T_BINARY16_VARBINARY16", "BINARY(16)", "VARBINARY(16)", true, true, CMP_DIFFERENT, CMP_DIFFERENT,
     "BINARY | VARBINARY", "16"},
    {"T_CHAR16_BINARY16", "CHAR(16)", "BINARY(16)", true, true, CMP_DIFFERENT, CMP_DIFFERENT, "WCHAR | BINARY", "16"},
    {"T_BLOB_MEDIUMBLOB", "BLOB", "MEDIUMBLOB", true, true, CMP_SAME, CMP_SAME},
    {"T_BINARY16_BINARY20_UNCHECKED", "BINARY(16)", "BINARY(20)", false, true, CMP_SAME, CMP_SAME},
};

// Case i of kTypeCases followed by kBinaryCases.
const TypeCase& TypeCaseAt(int i)
{
    const int nPlain = int(std::size(kTypeCases));
    return i < nPlain ? kTypeCases[i] : kBinaryCases[i - nPlain];
}

}  // namespace

using kvtest::ReadFault;
Q_DECLARE_METATYPE(ReadFault)

class TestTableComparison : public QObject
{
    Q_OBJECT

private slots:
    void nameRule_data();
    void nameRule();
    void mergedList_data() { kvtest::AddEngineRows(); }
    void mergedList();
    void caseModes_data();
    void caseModes();
    void caseCollisions_data();
    void caseCollisions();
    void fieldPairing_data();
    void fieldPairing();
    void fieldOrderAndLayout_data() { kvtest::AddEngineRows(); }
    void fieldOrderAndLayout();
    void sqlTypes_data();
    void sqlTypes();
    void columnTexts_data();
    void columnTexts();
    void jdeSchemas_data() { kvtest::AddEngineRows(); }
    void jdeSchemas();
    void cancellation_data();
    void cancellation();
    void resultFileCannotBeCreated();
    void writeFailureEndsRun();
    void readFailureEndsRun_data();
    void readFailureEndsRun();
    void tableRights_data();
    void tableRights();
    void readersOutsideTheResult();

private:
    CompareBed& TypeBed(Engine engine);
    std::map<Engine, std::unique_ptr<CompareBed>> m_typeBeds;
};

void TestTableComparison::nameRule_data()
{
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QStringList>("right");
    QTest::addColumn<QStringList>("merged");

    // "_" (0x5F) sorts before the letters folded to a-z, after the capitals unfolded.
    QTest::newRow("underscore, case-blind") << false << QStringList{"F0101_X"} << QStringList{"F0101AX"}
                                            << QStringList{"F0101_X", "F0101AX"};
    QTest::newRow("underscore, case-sensitive") << true << QStringList{"F0101_X"} << QStringList{"F0101AX"}
                                                << QStringList{"F0101AX", "F0101_X"};
    QTest::newRow("left spelling kept") << false << QStringList{"F0101", "F4211"} << QStringList{"f0101", "F0911"}
                                        << QStringList{"F0101", "F0911", "F4211"};
    QTest::newRow("both spellings, case-sensitive")
        << true << QStringList{"F0101"} << QStringList{"f0101"} << QStringList{"F0101", "f0101"};
    // Only A-Z fold: É (U+00C9) and é (U+00E9) stay apart and sort by code unit.
    QTest::newRow("accents do not fold") << false << QStringList{"\u00E9T"} << QStringList{"\u00C9T", "ZZ"}
                                         << QStringList{"ZZ", "\u00C9T", "\u00E9T"};
    QTest::newRow("right list unsorted for the rule") << false << QStringList{"B"} << QStringList{"a", "C"}
                                                      << QStringList{"a", "B", "C"};
}

void TestTableComparison::nameRule()
{
    QFETCH(bool, caseSensitive);
    QFETCH(QStringList, left);
    QFETCH(QStringList, right);
    QFETCH(QStringList, merged);
    QStringList result = {QStringLiteral("stale")};
    CTableComparison::MergeTableNames(caseSensitive, left, right, result);
    QCOMPARE(result, merged);
    for (const QString& strName : merged)
        QVERIFY(BinarySearch(result, strName, caseSensitive) >= 0);
    QCOMPARE(BinarySearch(result, QStringLiteral("NOTTHERE"), caseSensitive), -1);
}

void TestTableComparison::mergedList()
{
    QFETCH(Engine, engine);
    KV_COMPARE_BED(bed, engine);
    bed->CreateTable(0, QStringLiteral("A"), kKeyFields);
    bed->CreateTable(0, QStringLiteral("C"), kKeyFields);
    bed->CreateTable(1, QStringLiteral("B"), kKeyFields);
    bed->CreateTable(1, QStringLiteral("C"), kKeyFields);
    bed->ShowSchemas();

    CTableComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->tableResults);
    kvtest::MessageRecorder dialog;
    QVERIFY(comparison.CompareTables(&dialog));
    QVERIFY(!comparison.GetFailure().IsFailed());
    QCOMPARE(comparison.m_astrCompareTables, QStringList({"A", "B", "C"}));
    QCOMPARE(Statuses(comparison), QList<int>({CMP_LEFT_ONLY, CMP_RIGHT_ONLY, CMP_SAME}));
    QCOMPARE(Counters(comparison), QList<int>({1, 1, 1, 0}));
    // Identical and one-sided tables keep no field details.
    for (int i = 0; i < 3; ++i)
        QVERIFY(ReadFields(comparison, i).isEmpty());

    // Messages: query, range, then per table its name, a step and a query.
    QList<QString> names;
    QList<QPair<qintptr, qintptr>> progress;
    for (const auto& message : std::as_const(dialog.sent)) {
        if (message.nMessage == WM_COMPARE_SETITEM)
            names.append(*reinterpret_cast<const QString*>(message.lParam));
        else if (message.nMessage == WM_COMPARE_PROGRESS)
            progress.append({message.wParam, message.lParam});
    }
    QCOMPARE(names, QList<QString>({"A", "B", "C"}));
    QCOMPARE(progress, (QList<QPair<qintptr, qintptr>>({{0, 3}, {0, 0}, {1, 0}, {2, 0}})));
    QCOMPARE(dialog.nQueries, 4);
    QCOMPARE(dialog.sent.first().nMessage, unsigned(WM_TASK_QUERYCANCEL));

    // The file: three slots, then three status records in table order.
    const QFile* pFile = bed->tableResults.GetFile();
    QVERIFY(pFile != nullptr);
    QVERIFY(QFileInfo(pFile->fileName()).fileName().startsWith(QLatin1String("BFDB")));
    QCOMPARE(QFileInfo(pFile->fileName()).absolutePath(), QFileInfo(bed->TempFolder()).absoluteFilePath());
    const LayoutReader reader(pFile->fileName());
    QCOMPARE(reader.Size(), 3 * 8 + 3 * 4);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(reader.Int(i * 8, 8), 24 + i * 4);
        QCOMPARE(reader.Int(24 + i * 4, 4), qint64(Statuses(comparison).at(i)));
    }
}

void TestTableComparison::caseModes_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("statuses");
    for (const auto& [pszEngine, engine] : kvtest::AllEngines()) {
        QTest::addRow("%s case-blind", pszEngine) << engine << false << QStringList{"F0101"} << QList<int>{CMP_SAME};
        QTest::addRow("%s case-sensitive", pszEngine)
            << engine << true << QStringList{"F0101", "f0101"} << QList<int>{CMP_LEFT_ONLY, CMP_RIGHT_ONLY};
    }
}

void TestTableComparison::caseModes()
{
    QFETCH(Engine, engine);
    QFETCH(bool, caseSensitive);
    QFETCH(QStringList, names);
    QFETCH(QList<int>, statuses);
    KV_COMPARE_BED(bed, engine);
    bed->CreateTable(0, QStringLiteral("F0101"), kKeyFields);
    bed->CreateTable(1, QStringLiteral("f0101"), kKeyFields);
    bed->ShowSchemas();
    bed->options.SetOption(OPT_CASE_SENSITIVE, caseSensitive);

    CTableComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->tableResults);
    QVERIFY(comparison.CompareTables(nullptr));
    QCOMPARE(comparison.m_astrCompareTables, names);
    // Case-blind, the right table is read under its own spelling: on
    // PostgreSQL and MariaDB "F0101" would find no field of f0101.
    QCOMPARE(Statuses(comparison), statuses);
}

void TestTableComparison::caseCollisions_data()
{
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QStringList>("right");
    QTest::addColumn<QStringList>("merged");
    QTest::addColumn<QList<int>>("statuses");
    QTest::addColumn<QStringList>("fields");     // of the different tables, in list order
    QTest::addColumn<QStringList>("partners");   // "left|right" spelling per entry

    const QStringList pair = {"F0101:ABAN8,ABALPH", "f0101:XKEY"};
    for (const bool bCase : {false, true}) {
        const char* pszMode = bCase ? "case-sensitive" : "case-blind";
        // The exact spelling is the partner; the other name stands alone.
        QTest::addRow("pair on the left, %s", pszMode)
            << bCase << pair << QStringList{"F0101:ABAN8,ABALPH,ABNEW"} << QStringList{"F0101", "f0101"}
            << QList<int>{CMP_DIFFERENT, CMP_LEFT_ONLY} << QStringList{"ABAN8:0", "ABALPH:0", "ABNEW:2"}
            << QStringList{"F0101|F0101", "f0101|"};
        QTest::addRow("pair on the right, %s", pszMode)
            << bCase << QStringList{"f0101:XKEY,XNEW"} << pair << QStringList{"F0101", "f0101"}
            << QList<int>{CMP_RIGHT_ONLY, CMP_DIFFERENT} << QStringList{"XKEY:0", "XNEW:1"}
            << QStringList{"|F0101", "f0101|f0101"};
        QTest::addRow("pair on both sides, %s", pszMode)
            << bCase << pair << pair << QStringList{"F0101", "f0101"} << QList<int>{CMP_SAME, CMP_SAME}
            << QStringList() << QStringList{"F0101|F0101", "f0101|f0101"};
    }
    // Without an exact spelling, names that differ only by case pair in
    // code-unit order, each once.
    const QStringList left = {"Ab:L1", "aB:L2"};
    const QStringList right = {"AB:L1", "ab:L2,R2"};
    QTest::newRow("partners by case only, case-blind")
        << false << left << right << QStringList{"Ab", "aB"} << QList<int>{CMP_SAME, CMP_DIFFERENT}
        << QStringList{"L2:0", "R2:2"} << QStringList{"Ab|AB", "aB|ab"};
    QTest::newRow("partners by case only, case-sensitive")
        << true << left << right << QStringList{"AB", "Ab", "aB", "ab"}
        << QList<int>{CMP_RIGHT_ONLY, CMP_LEFT_ONLY, CMP_LEFT_ONLY, CMP_RIGHT_ONLY} << QStringList()
        << QStringList{"|AB", "Ab|", "aB|", "|ab"};
}

void TestTableComparison::caseCollisions()
{
    QFETCH(bool, caseSensitive);
    QFETCH(QStringList, left);
    QFETCH(QStringList, right);
    QFETCH(QStringList, merged);
    QFETCH(QList<int>, statuses);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, partners);
    KV_COMPARE_BED(bed, Engine::PostgreSQL);
    CreateTables(*bed, 0, left);
    CreateTables(*bed, 1, right);
    bed->ShowSchemas();
    bed->options.SetOption(OPT_CASE_SENSITIVE, caseSensitive);

    CTableComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->tableResults);
    kvtest::MessageRecorder dialog;
    QVERIFY(comparison.CompareTables(&dialog));
    QCOMPARE(comparison.m_astrCompareTables, merged);
    QCOMPARE(Statuses(comparison), statuses);
    QList<int> counters(CMP_STATUS_COUNT, 0);
    for (const int nStatus : statuses)
        ++counters[nStatus];
    QCOMPARE(Counters(comparison), counters);
    QCOMPARE(dialog.Count(WM_COMPARE_SETITEM), merged.size());
    QStringList spellings;
    for (int i = 0; i < merged.size(); ++i)
        spellings.append(comparison.GetSideTableName(i, 0) + u'|' + comparison.GetSideTableName(i, 1));
    QCOMPARE(spellings, partners);
    QCOMPARE(comparison.GetSideTableName(merged.size(), 0), QString());

    // Each table's own fields, read back from the file.
    QStringList stored;
    for (int i = 0; i < merged.size(); ++i)
        stored += FieldList(comparison, i);
    QCOMPARE(stored, fields);
    const LayoutReader reader(bed->tableResults.GetFile()->fileName());
    for (int i = 0; i < merged.size(); ++i)
        QCOMPARE(reader.Int(reader.Int(i * 8, 8), 4), qint64(statuses.at(i)));
}

void TestTableComparison::fieldPairing_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QStringList>("right");
    QTest::addColumn<QStringList>("fields");   // stored records; none for an identical table

    for (const auto& [pszEngine, engine] : kvtest::AllEngines()) {
        QTest::addRow("%s fields differing by case, case-blind", pszEngine)
            << engine << false << QStringList{"ABC", "DEF"} << QStringList{"abc", "DEF"} << QStringList();
        QTest::addRow("%s fields differing by case, case-sensitive", pszEngine)
            << engine << true << QStringList{"ABC", "DEF"} << QStringList{"abc", "DEF"}
            << QStringList{"abc:2", "ABC:1", "DEF:0"};
        // A right-only field follows its predecessor in the right table,
        // itself right-only or not; the first ones lead the list.
        for (const bool bCase : {false, true}) {
            QTest::addRow("%s runs of right-only fields, %s", pszEngine, bCase ? "case-sensitive" : "case-blind")
                << engine << bCase << QStringList{"A", "B"} << QStringList{"X", "Y", "A", "Z", "W", "B", "V"}
                << QStringList{"X:2", "Y:2", "A:0", "Z:2", "W:2", "B:0", "V:2"};
        }
        // The predecessor is the left partner, whatever its spelling.
        QTest::addRow("%s right-only fields behind a partner spelled otherwise", pszEngine)
            << engine << false << QStringList{"a", "b"} << QStringList{"X", "A", "Z", "W", "B"}
            << QStringList{"X:2", "a:0", "Z:2", "W:2", "b:0"};
    }
    // Two fields of one table that differ only by case (PostgreSQL keeps
    // both): each is paired once, the exact spelling first.
    for (const bool bCase : {false, true}) {
        QTest::addRow("postgresql two fields of one side, %s", bCase ? "case-sensitive" : "case-blind")
            << Engine::PostgreSQL << bCase << QStringList{"A", "a"} << QStringList{"a"} << QStringList{"A:1", "a:0"};
    }
    QTest::newRow("postgresql two fields of the right side, case-blind")
        << Engine::PostgreSQL << false << QStringList{"a", "C"} << QStringList{"A", "a", "C"}
        << QStringList{"A:2", "a:0", "C:0"};
}

void TestTableComparison::fieldPairing()
{
    QFETCH(Engine, engine);
    QFETCH(bool, caseSensitive);
    QFETCH(QStringList, left);
    QFETCH(QStringList, right);
    QFETCH(QStringList, fields);
    KV_COMPARE_BED(bed, engine);
    CreateTables(*bed, 0, {QStringLiteral("T:") + left.join(QLatin1Char(','))});
    CreateTables(*bed, 1, {QStringLiteral("T:") + right.join(QLatin1Char(','))});
    bed->ShowSchemas();
    bed->options.SetOption(OPT_CASE_SENSITIVE, caseSensitive);

    CTableComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->tableResults);
    QVERIFY(comparison.CompareTables(nullptr));
    QCOMPARE(comparison.m_astrCompareTables, QStringList{"T"});
    QCOMPARE(comparison.GetTableStatus(0), fields.isEmpty() ? int(CMP_SAME) : int(CMP_DIFFERENT));
    QCOMPARE(FieldList(comparison, 0), fields);
}

void TestTableComparison::fieldOrderAndLayout()
{
    QFETCH(Engine, engine);
    KV_COMPARE_BED(bed, engine);
    bed->CreateTable(0, QStringLiteral("T"), {"A CHAR(4)", "B CHAR(4)", "C CHAR(4)"});
    bed->CreateTable(1, QStringLiteral("T"), {"X INTEGER", "A CHAR(4)", "Y CHAR(4)", "C CHAR(4)", "Z CHAR(4)"});
    bed->ShowSchemas();

    CTableComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->tableResults);
    QVERIFY(comparison.CompareTables(nullptr));
    QCOMPARE(Statuses(comparison), QList<int>({CMP_DIFFERENT}));
    QCOMPARE(Counters(comparison), QList<int>({0, 0, 0, 1}));

    const QList<FieldRow> fields = ReadFields(comparison, 0);
    QStringList order;
    QList<int> statuses;
    for (const FieldRow& field : fields) {
        order.append(field.strName);
        statuses.append(field.nStatus);
    }
    QCOMPARE(order, QStringList({"X", "A", "Y", "B", "C", "Z"}));
    QCOMPARE(statuses, QList<int>({CMP_RIGHT_ONLY, CMP_SAME, CMP_RIGHT_ONLY, CMP_LEFT_ONLY, CMP_SAME, CMP_RIGHT_ONLY}));

    // The catalog's own view of both tables, to check every stored value.
    CColumnInfoArray left;
    CColumnInfoArray right;
    QVERIFY(bed->Data(0).LoadColumns(QStringLiteral("T"), left));
    QVERIFY(bed->Data(1).LoadColumns(QStringLiteral("T"), right));
    auto findIn = [](const CColumnInfoArray& columns, const QString& strName) -> const CColumnInfo* {
        for (const auto& pColumn : columns) {
            if (pColumn->m_strName == strName)
                return pColumn.get();
        }
        return nullptr;
    };
    int nTypeWidth = 0;
    for (const auto* pColumns : {&left, &right}) {
        for (const auto& pColumn : *pColumns)
            nTypeWidth = qMax(nTypeWidth, int(pColumn->m_strTypeName.size()));
    }

    const LayoutReader reader(bed->tableResults.GetFile()->fileName());
    const qint64 nRecord = reader.Int(0, 8);
    QCOMPARE(nRecord, 8);
    QCOMPARE(reader.Int(nRecord, 4), qint64(CMP_DIFFERENT));
    QCOMPARE(reader.Int(nRecord + 4, 4), 6);
    const int L = int(reader.Int(nRecord + 8, 2));
    const int T = int(reader.Int(nRecord + 10, 2));
    QCOMPARE(L, 1);
    QCOMPARE(T, nTypeWidth);
    const qint64 nSize = (L + 2 * T + 10) * 2;
    QCOMPARE(reader.Size(), nRecord + 12 + 6 * nSize);
    for (int i = 0; i < 6; ++i) {
        const qint64 r = nRecord + 12 + i * nSize;
        const CColumnInfo* pLeft = findIn(left, order.at(i));
        const CColumnInfo* pRight = findIn(right, order.at(i));
        QCOMPARE(reader.Text(r, L), order.at(i));
        QCOMPARE(reader.Int(r + 2 * L, 4), qint64(statuses.at(i)));
        QCOMPARE(reader.Int(r + 2 * L + 4, 4), qint64(pLeft ? pLeft->m_nSqlType : 0));
        QCOMPARE(reader.Text(r + 2 * L + 8, T), pLeft ? pLeft->m_strTypeName : QString());
        QCOMPARE(reader.Int(r + 2 * L + 8 + 2 * T, 4), qint64(pLeft ? pLeft->m_nSize : 0));
        QCOMPARE(reader.Int(r + 2 * L + 12 + 2 * T, 4), qint64(pRight ? pRight->m_nSqlType : 0));
        QCOMPARE(reader.Text(r + 2 * L + 16 + 2 * T, T), pRight ? pRight->m_strTypeName : QString());
        QCOMPARE(reader.Int(r + 2 * L + 16 + 4 * T, 4), qint64(pRight ? pRight->m_nSize : 0));
        // Shorter type names end with NUL padding; a missing side is all zeros.
        const qint64 nLeftName = pLeft ? pLeft->m_strTypeName.size() : 0;
        QVERIFY(reader.ZeroFrom(r + 2 * L + 8 + 2 * nLeftName, 2 * (T - nLeftName)));
    }
}

CompareBed& TestTableComparison::TypeBed(Engine engine)
{
    auto& pBed = m_typeBeds[engine];
    if (!pBed) {
        pBed = std::make_unique<CompareBed>(engine);
        auto create = [&](const TypeCase& type) {
            pBed->CreateTable(0, QLatin1String(type.pszTable), {QStringLiteral("F ") + QLatin1String(type.pszLeft)});
            pBed->CreateTable(1, QLatin1String(type.pszTable), {QStringLiteral("F ") + QLatin1String(type.pszRight)});
        };
        std::for_each(std::begin(kTypeCases), std::end(kTypeCases), create);
        if (engine == Engine::MariaDB)
            std::for_each(std::begin(kBinaryCases), std::end(kBinaryCases), create);
        pBed->ShowSchemas();
    }
    return *pBed;
}

void TestTableComparison::sqlTypes_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<int>("typeCase");
    const int nPlain = int(std::size(kTypeCases));
    for (const auto& [pszEngine, engine] : kvtest::AllEngines()) {
        for (int i = 0; i < nPlain; ++i)
            QTest::addRow("%s %s", pszEngine, kTypeCases[i].pszTable) << engine << i;
    }
    for (int i = 0; i < int(std::size(kBinaryCases)); ++i)
        QTest::addRow("mariadb %s", kBinaryCases[i].pszTable) << Engine::MariaDB << nPlain + i;
}

void TestTableComparison::sqlTypes()
{
    QFETCH(Engine, engine);
    QFETCH(int, typeCase);
    const TypeCase& type = TypeCaseAt(typeCase);
    CompareBed* pBed = nullptr;
    try {
        pBed = &TypeBed(engine);
    } catch (const std::exception& error) {
        QFAIL(error.what());
    }
    pBed->options.SetOption(OPT_COMPARE_SQL_TYPES, type.bSqlTypes);
    pBed->options.SetOption(OPT_SAME_SIZE_STRINGS_EQUAL, type.bSameSizeStrings);
    CTableComparison comparison(pBed->Data(0), pBed->Data(1), pBed->options, pBed->tableResults);
    QVERIFY(comparison.CompareTables(nullptr));
    const int nTable = BinarySearch(comparison.m_astrCompareTables, QLatin1String(type.pszTable), false);
    QVERIFY(nTable >= 0);
    const int nExpected = engine == Engine::SQLite ? type.nSqliteStatus : type.nStatus;
    QCOMPARE(comparison.GetTableStatus(nTable), nExpected);
    const QList<FieldRow> fields = ReadFields(comparison, nTable);
    if (nExpected == CMP_DIFFERENT) {
        QCOMPARE(fields.size(), 1);
        QCOMPARE(fields.first().nStatus, int(CMP_DIFFERENT));
        qint64 nPosition = 0;
        int nCount = 0;
        qint16 nNameLen = 0;
        qint16 nTypeLen = 0;
        QVERIFY(comparison.GetTableColumns(nTable, nPosition, nCount, nNameLen, nTypeLen));
        const auto pField = comparison.ReadColumnResult(0, nPosition, nNameLen, nTypeLen);
        QVERIFY(pField != nullptr);
        if (type.pszTypeText != nullptr)
            QCOMPARE(pField->GetColumnText(1), QLatin1String(type.pszTypeText));
        if (type.pszSizeText != nullptr)
            QCOMPARE(pField->GetColumnText(2), QLatin1String(type.pszSizeText));
    } else {
        QVERIFY(fields.isEmpty());
    }
}

void TestTableComparison::columnTexts_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QList<int>>("types");   // left type, left size, right type, right size
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("same") << int(CMP_SAME) << QList<int>{1, 10, 12, 10}
                          << QStringList{"F", "CHAR", "10", "char", "varchar"};
    QTest::newRow("left only") << int(CMP_LEFT_ONLY) << QList<int>{4, 10, 0, 0}
                               << QStringList{"F", "INTEGER", "10", "char", "varchar"};
    QTest::newRow("right only shows the right side") << int(CMP_RIGHT_ONLY) << QList<int>{0, 0, 2, 18}
                                                     << QStringList{"F", "NUMERIC", "18", "char", "varchar"};
    QTest::newRow("different types and sizes") << int(CMP_DIFFERENT) << QList<int>{1, 10, 12, 12}
                                               << QStringList{"F", "CHAR | VARCHAR", "10 | 12", "char", "varchar"};
    QTest::newRow("different sizes only") << int(CMP_DIFFERENT) << QList<int>{1, 10, 1, 12}
                                          << QStringList{"F", "CHAR", "10 | 12", "char", "varchar"};
}

void TestTableComparison::columnTexts()
{
    QFETCH(int, status);
    QFETCH(QList<int>, types);
    QFETCH(QStringList, texts);
    CColumnCompareInfo record;
    record.m_strName = QStringLiteral("F");
    record.m_nStatus = status;
    record.m_nSqlType[0] = types.at(0);
    record.m_nSize[0] = types.at(1);
    record.m_nSqlType[1] = types.at(2);
    record.m_nSize[1] = types.at(3);
    record.m_strTypeName[0] = QStringLiteral("char");
    record.m_strTypeName[1] = QStringLiteral("varchar");
    for (int i = 0; i < texts.size(); ++i)
        QCOMPARE(record.GetColumnText(i), texts.at(i));
    QCOMPARE(record.GetColumnText(5), QString());
    QVERIFY(record.MatchesSearch(false, QStringLiteral("f")));
    QVERIFY(!record.MatchesSearch(false, QStringLiteral("varchar")));
    QVERIFY(record.MatchesSearch(true, QStringLiteral("varchar")));
    QCOMPARE(record.GetTypeName(1), QStringLiteral("varchar"));
}

void TestTableComparison::jdeSchemas()
{
    QFETCH(Engine, engine);
    KV_JDE_BED(bed, engine, kvtest::JdeOptions());
    CDBData right;
    right.m_strDSN = bed->data.m_strDSN;
    QVERIFY(right.Connect());
    bed->data.m_strSchema = bed->pFixture->Key(kvtest::kProductionSchema);
    right.m_strSchema = bed->pFixture->Key(kvtest::kCrpSchema);
    kvtest::ListRecorder list;
    QVERIFY(bed->data.LoadTableList(list));
    QVERIFY(right.LoadTableList(list));

    QTemporaryDir tmp;
    qputenv("TMP", QFile::encodeName(tmp.path()));
    CZembraParam options;
    CCompareResultFile results(QStringLiteral("BFDB"));
    CTableComparison comparison(bed->data, right, options, results);
    QVERIFY(comparison.CompareTables(nullptr));

    // proddta holds crpdta's F0101 and F4211 with the same fields and more
    // tables besides (on SQLite both sides see every table).
    const QStringList& leftTables = bed->data.m_arrTables;
    const QStringList& rightTables = right.m_arrTables;
    QCOMPARE(comparison.m_astrCompareTables.size(),
             QSet<QString>(leftTables.cbegin(), leftTables.cend()).unite({rightTables.cbegin(), rightTables.cend()}).size());
    int nLeftOnly = 0;
    for (int i = 0; i < comparison.m_astrCompareTables.size(); ++i) {
        const QString& strTable = comparison.m_astrCompareTables.at(i);
        const bool bLeft = leftTables.contains(strTable);
        const bool bRight = rightTables.contains(strTable);
        const int nExpected = bLeft && bRight ? CMP_SAME : (bLeft ? CMP_LEFT_ONLY : CMP_RIGHT_ONLY);
        QVERIFY2(comparison.GetTableStatus(i) == nExpected, qPrintable(strTable));
        nLeftOnly += nExpected == CMP_LEFT_ONLY;
    }
    QCOMPARE(comparison.m_anTableCount[CMP_LEFT_ONLY], nLeftOnly);
    if (engine != Engine::SQLite)
        QVERIFY(nLeftOnly >= 4);   // F0101_X, F0101AX, F0911, F55TEST, V0101
    results.DeleteResultFile();
}

void TestTableComparison::cancellation_data()
{
    QTest::addColumn<int>("cancelAtQuery");
    QTest::addColumn<int>("tablesCompared");
    QTest::newRow("before the file") << 1 << 0;
    QTest::newRow("after the first table") << 2 << 1;
    QTest::newRow("after the last table") << 4 << 3;
}

void TestTableComparison::cancellation()
{
    QFETCH(int, cancelAtQuery);
    QFETCH(int, tablesCompared);
    KV_COMPARE_BED(bed, Engine::SQLite);
    for (const char* pszTable : {"A", "B", "C"}) {
        bed->CreateTable(0, QLatin1String(pszTable), kKeyFields);
        bed->CreateTable(1, QLatin1String(pszTable), {"XXKEY INTEGER"});
    }
    bed->ShowSchemas();

    CTableComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->tableResults);
    kvtest::MessageRecorder dialog(cancelAtQuery);
    QVERIFY(!comparison.CompareTables(&dialog));
    QVERIFY(!comparison.GetFailure().IsFailed());
    QCOMPARE(dialog.Count(WM_COMPARE_SETITEM), tablesCompared);
    QCOMPARE(dialog.nQueries, cancelAtQuery);
    QVERIFY(bed->tableResults.GetFile() == nullptr);
    QCOMPARE(bed->ResultFilesInTemp(), QStringList());
    QCOMPARE(comparison.GetTableStatus(0), int(CMP_UNSET));
}

void TestTableComparison::resultFileCannotBeCreated()
{
    KV_COMPARE_BED(bed, Engine::SQLite);
    bed->CreateTable(0, QStringLiteral("A"), kKeyFields);
    bed->ShowSchemas();
    const QString strMissing = bed->TempFolder() + QStringLiteral("/missing");
    qputenv("TMP", QFile::encodeName(strMissing));

    CCompareResultFile results(QStringLiteral("BFDB"), 300);
    CTableComparison comparison(bed->Data(0), bed->Data(1), bed->options, results);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!comparison.CompareTables(nullptr));
    QVERIFY(timer.elapsed() >= 300);
    QCOMPARE(comparison.GetFailure().GetKind(), CCompareFailure::CannotCreate);
    QCOMPARE(comparison.GetFailure().GetPath(), strMissing);
    QVERIFY(comparison.GetFailure().GetMessage().contains(strMissing));
    QVERIFY(results.GetFile() == nullptr);
    QCOMPARE(comparison.GetTableStatus(0), int(CMP_UNSET));
}

void TestTableComparison::writeFailureEndsRun()
{
    KV_COMPARE_BED(bed, Engine::SQLite);
    for (int i = 0; i < 40; ++i) {
        const QString strTable = QStringLiteral("T%1").arg(i, 2, 10, QLatin1Char('0'));
        bed->CreateTable(0, strTable, {"LEFTFIELD CHAR(10)"});
        bed->CreateTable(1, strTable, {"RIGHTFIELD CHAR(10)"});
    }
    bed->ShowSchemas();

    CTableComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->tableResults);
    kvtest::MessageRecorder dialog;
    {
        kvtest::FileSizeLimit limit(1024);
        QVERIFY(limit.IsSet());
        QVERIFY(!comparison.CompareTables(&dialog));
    }
    QCOMPARE(comparison.GetFailure().GetKind(), CCompareFailure::CannotWrite);
    QVERIFY(!comparison.GetFailure().GetReason().isEmpty());
    QVERIFY(comparison.GetFailure().GetPath().contains(QLatin1String("BFDB")));
    QVERIFY(bed->tableResults.GetFile() == nullptr);
    QCOMPARE(bed->ResultFilesInTemp(), QStringList());
    // The run stopped at the failure instead of going on to the end.
    QVERIFY(dialog.Count(WM_COMPARE_SETITEM) < 40);

    // The same run without the limit succeeds.
    QVERIFY(comparison.CompareTables(nullptr));
    QCOMPARE(comparison.m_anTableCount[CMP_DIFFERENT], 40);
}

void TestTableComparison::readFailureEndsRun_data()
{
    // The right database cannot be read from the second table on, read
    // table by table; or from the first, where the whole schema's columns
    // are read before the first table is compared.
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<ReadFault>("fault");
    QTest::addColumn<QString>("reason");   // a pattern of the driver's words
    QTest::addColumn<bool>("wholeSchema");
    for (const bool bWholeSchema : {false, true}) {
        const char* pszReading = bWholeSchema ? "whole schema" : "table by table";
        // psqlODBC words it by the call that first meets the closed link.
        QTest::addRow("postgresql connection dropped, %s", pszReading)
            << Engine::PostgreSQL << ReadFault::Dropped
            << (bWholeSchema ? "connection lost" : "The connection has been lost") << bWholeSchema;
        QTest::addRow("mariadb connection dropped, %s", pszReading)
            << Engine::MariaDB << ReadFault::Dropped << kvtest::kMariaDbSessionEndedReasons << bWholeSchema;
        QTest::addRow("statement cannot be allocated, %s", pszReading)
            << Engine::SQLite << ReadFault::Allocation << "No statement can be allocated" << bWholeSchema;
        QTest::addRow("data source not connected, %s", pszReading)
            << Engine::SQLite << ReadFault::Unconnected << "the data source is not connected" << bWholeSchema;
    }
}

void TestTableComparison::readFailureEndsRun()
{
    QFETCH(Engine, engine);
    QFETCH(ReadFault, fault);
    QFETCH(QString, reason);
    QFETCH(bool, wholeSchema);
    KV_COMPARE_BED(bed, engine);
    for (const char* pszTable : {"A", "B", "C"}) {
        bed->CreateTable(0, QLatin1String(pszTable), kKeyFields);
        bed->CreateTable(1, QLatin1String(pszTable), kKeyFields);
    }
    bed->ShowSchemas();
    CDBData& right = bed->Data(1);
    const QString strRightDsn = right.m_strDSN;
    right.m_bColumnSnapshots = wholeSchema;
    const QString strBrokenAt = wholeSchema ? QStringLiteral("A") : QStringLiteral("B");

    CTableComparison comparison(bed->Data(0), right, bed->options, bed->tableResults);
    kvtest::ActionTarget dialog(
        [&](unsigned nMessage, qintptr, qintptr lParam) {
            return nMessage == WM_COMPARE_SETITEM && *reinterpret_cast<const QString*>(lParam) == strBrokenAt;
        },
        [&] { bed->BreakReads(1, fault, QString()); });
    QVERIFY(!comparison.CompareTables(&dialog));
    QVERIFY(dialog.bFired);
    QVERIFY2(dialog.strActionError.isEmpty(), qPrintable(dialog.strActionError));

    // The run stops at the table it could not read, with the driver's text.
    const CCompareFailure& failure = comparison.GetFailure();
    QCOMPARE(failure.GetKind(), CCompareFailure::DatabaseError);
    QVERIFY2(failure.GetReason().contains(QRegularExpression(reason)), qPrintable(failure.GetReason()));
    QCOMPARE(failure.GetDataSource(), right.m_strDSN);
    QVERIFY(failure.GetMessage().contains(failure.GetReason()));
    QCOMPARE(dialog.Count(WM_COMPARE_SETITEM), wholeSchema ? 1 : 2);
    QVERIFY(bed->tableResults.GetFile() == nullptr);
    QCOMPARE(bed->ResultFilesInTemp(), QStringList());
    QCOMPARE(comparison.GetTableStatus(0), int(CMP_UNSET));

    // Connected again, the same run ends with a result.
    right.m_strDSN = strRightDsn;
    QVERIFY(right.Connect());
    QVERIFY(comparison.CompareTables(nullptr));
    QVERIFY(!failure.IsFailed());
    QCOMPARE(Counters(comparison), QList<int>({3, 0, 0, 0}));
}

void TestTableComparison::tableRights_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("fields");
    // PostgreSQL describes a table to any login, rights or not: its fields
    // are compared.
    QTest::newRow("postgresql") << Engine::PostgreSQL << int(CMP_DIFFERENT)
                                << QStringList{"XXKEY:0", "XXNAME:0", "XXNEW:2"};
    // MariaDB hides a table from a login without rights on it: for that
    // login it is not there.
    QTest::newRow("mariadb") << Engine::MariaDB << int(CMP_LEFT_ONLY) << QStringList();
}

void TestTableComparison::tableRights()
{
    QFETCH(Engine, engine);
    QFETCH(int, status);
    QFETCH(QStringList, fields);
    KV_COMPARE_BED(bed, engine);
    bed->CreateTable(0, QStringLiteral("T"), kKeyFields);
    bed->CreateTable(1, QStringLiteral("T"), kKeyFields + QStringList{"XXNEW CHAR(4)"});
    bed->CreateTable(1, QStringLiteral("U"), kKeyFields);
    bed->CreateTable(0, QStringLiteral("U"), kKeyFields);
    try {
        bed->DenyTable(1, QStringLiteral("T"));
        if (engine == Engine::PostgreSQL)
            bed->Exec(1, QStringLiteral("REVOKE ALL ON SCHEMA proddta FROM ") + bed->Database(1).ReadOnlyLogin());
        bed->ShowSchemas();
    } catch (const std::exception& error) {
        QFAIL(error.what());
    }

    CTableComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->tableResults);
    QVERIFY(comparison.CompareTables(nullptr));
    QVERIFY(!comparison.GetFailure().IsFailed());
    QCOMPARE(comparison.m_astrCompareTables, QStringList({"T", "U"}));
    QCOMPARE(Statuses(comparison), QList<int>({status, CMP_SAME}));
    QCOMPARE(FieldList(comparison, 0), fields);
}

void TestTableComparison::readersOutsideTheResult()
{
    KV_COMPARE_BED(bed, Engine::SQLite);
    bed->CreateTable(0, QStringLiteral("A"), kKeyFields);
    bed->CreateTable(1, QStringLiteral("A"), kKeyFields);
    bed->ShowSchemas();
    CTableComparison comparison(bed->Data(0), bed->Data(1), bed->options, bed->tableResults);
    QVERIFY(comparison.CompareTables(nullptr));
    QCOMPARE(comparison.GetTableStatus(0), int(CMP_SAME));
    qint64 nPosition = 0;
    int nCount = 0;
    qint16 nNameLen = 0;
    qint16 nTypeLen = 0;
    QVERIFY(!comparison.GetTableColumns(0, nPosition, nCount, nNameLen, nTypeLen));
    QCOMPARE(comparison.GetTableStatus(-1), int(CMP_UNSET));
    QCOMPARE(comparison.GetTableStatus(1), int(CMP_UNSET));
    QVERIFY(comparison.ReadColumnResult(0, 8, 1, 1) == nullptr);
    bed->tableResults.DeleteResultFile();
    QVERIFY(!comparison.HasResult());
    QCOMPARE(comparison.GetTableStatus(0), int(CMP_UNSET));
}

QTEST_GUILESS_MAIN(TestTableComparison)
#include "tst_tablecomparison.moc"
