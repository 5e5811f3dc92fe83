// A JDE-scale catalog: the time of the schema list and of a table list as the
// number of tables grows. Run by hand: bench_catalog [tables] [engine].

#include "tests/fixtures/jdefixture.h"
#include "tests/support/recorders.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int nTables = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 2000;
    const kvtest::Engine engine = argc > 2 && QByteArray(argv[2]) == "mariadb" ? kvtest::Engine::MariaDB
                                                                                : kvtest::Engine::PostgreSQL;
    for (int nExtra : {0, nTables}) {
        kvtest::JdeOptions options;
        options.nExtraTables = nExtra;
        QElapsedTimer build;
        build.start();
        kvtest::JdeTestBed bed(engine, options);
        const qint64 nBuildMs = build.elapsed();

        QElapsedTimer timer;
        timer.start();
        bed.data.LoadDatabaseInfo(nullptr);
        const qint64 nInfoUs = timer.nsecsElapsed() / 1000;

        bed.data.m_strSchema = bed.pFixture->Key(kvtest::kProductionSchema);
        kvtest::ListRecorder list;
        timer.restart();
        bed.data.LoadTableList(list);
        const qint64 nListUs = timer.nsecsElapsed() / 1000;

        std::printf("%s tables=%lld build=%lldms LoadDatabaseInfo=%lldus LoadTableList=%lldus\n",
                    qPrintable(kvtest::EngineName(engine)), static_cast<long long>(bed.data.m_arrTables.size()),
                    static_cast<long long>(nBuildMs), static_cast<long long>(nInfoUs),
                    static_cast<long long>(nListUs));
    }
    return 0;
}
