// Peak memory of a table or alias comparison as the environment grows; the
// results go to the result file, so the peak must stay flat. Run by hand:
//   bench_comparememory tables|aliases <count>
// (under /usr/bin/time -v for the whole process). The peak of the run alone
// is VmHWM after resetting it once the two databases are built.

#include "compare/aliascomparison.h"
#include "compare/compareresultfile.h"
#include "compare/tablecomparison.h"
#include "compare/zembraparam.h"
#include "tests/fixtures/jdefixture.h"
#include "tests/support/recorders.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

long StatusKb(const char* pszField)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(pszField))
            return line.mid(int(qstrlen(pszField))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

void ResetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

void ShowSchema(kvtest::JdeTestBed& bed, const QString& strSchema)
{
    bed.data.m_strSchema = bed.pFixture->Key(strSchema);
    kvtest::ListRecorder list;
    bed.data.LoadTableList(list);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool bAliases = argc > 1 && QByteArray(argv[1]) == "aliases";
    const int nCount = argc > 2 ? QString::fromLatin1(argv[2]).toInt() : (bAliases ? 20000 : 2000);
    QTemporaryDir tmp;
    qputenv("TMP", QFile::encodeName(tmp.path()));

    kvtest::JdeOptions options;
    (bAliases ? options.nExtraAliases : options.nExtraTables) = nCount;
    kvtest::JdeTestBed left(kvtest::Engine::SQLite, options);
    kvtest::JdeTestBed right(kvtest::Engine::SQLite, options);
    // Every tenth extra table of the right side has a field more.
    for (int i = 10; !bAliases && i <= nCount; i += 10)
        right.pDatabase->Exec(QStringLiteral("ALTER TABLE F55%1 ADD COLUMN XXMORE CHAR(4)").arg(i, 5, 10, QLatin1Char('0')));
    const QString strSchema = bAliases ? kvtest::kDictionarySchema : kvtest::kProductionSchema;
    ShowSchema(left, strSchema);
    ShowSchema(right, strSchema);

    const long nBuiltKb = StatusKb("VmHWM:");
    ResetPeak();
    const long nBeforeKb = StatusKb("VmRSS:");
    CZembraParam param;
    CCompareResultFile results(bAliases ? QStringLiteral("BFDD") : QStringLiteral("BFDB"));
    QElapsedTimer timer;
    timer.start();
    bool bDone = false;
    long nItems = 0;
    qint64 nFileSize = 0;
    int counts[CMP_STATUS_COUNT] = {};
    if (bAliases) {
        CAliasComparison comparison(left.data, right.data, param, results);
        bDone = comparison.CompareAliases(nullptr);
        nItems = comparison.m_nAliasSlots;
        std::copy(std::begin(comparison.m_anAliasCount), std::end(comparison.m_anAliasCount), counts);
    } else {
        CTableComparison comparison(left.data, right.data, param, results);
        bDone = comparison.CompareTables(nullptr);
        nItems = long(comparison.m_astrCompareTables.size());
        std::copy(std::begin(comparison.m_anTableCount), std::end(comparison.m_anTableCount), counts);
    }
    if (results.GetFile() != nullptr)
        nFileSize = results.GetFile()->size();
    std::printf("%s count=%d done=%d items=%ld counters=%d,%d,%d,%d file=%lld bytes time=%lldms\n"
                "peak while building=%ld kB, RSS before run=%ld kB, peak during run=%ld kB\n",
                bAliases ? "aliases" : "tables", nCount, int(bDone), nItems, counts[0], counts[1], counts[2], counts[3],
                static_cast<long long>(nFileSize), static_cast<long long>(timer.elapsed()), nBuiltKb, nBeforeKb,
                StatusKb("VmHWM:"));
    return bDone ? 0 : 1;
}
