// Time to open and to filter an alias result window on a large dictionary.
// Run by hand, on the offscreen platform:
//   QT_QPA_PLATFORM=offscreen bench_resultwindow <aliases>
// The comparison runs first (not timed); then the window is built from the
// result file, and the filter of the identical aliases toggled off and on.

#include "app/language.h"
#include "app/qalmetapp.h"
#include "controls/colorcheckbutton.h"
#include "res/resourceimages.h"
#include "tests/fixtures/jdefixture.h"
#include "tests/support/recorders.h"
#include "views/comparelistctrl.h"
#include "views/formcomparealias.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const int nAliases = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir tmp;
    qputenv("TMP", QFile::encodeName(tmp.path()));
    CreateSharedImageList();
    CQalmetApp app;
    app.ReadLanguage(QLocale(QLocale::English, QLocale::UnitedStates));
    kvtest::JdeOptions options;
    options.nExtraAliases = nAliases;
    std::unique_ptr<kvtest::TestDatabase> pDatabases[2];
    std::unique_ptr<kvtest::JdeFixture> pFixtures[2];
    for (int nSide : {0, 1}) {
        pDatabases[nSide] = std::make_unique<kvtest::TestDatabase>(kvtest::Engine::SQLite);
        pFixtures[nSide] = std::make_unique<kvtest::JdeFixture>(*pDatabases[nSide], kvtest::DescribeJdeEnvironment(options));
        CDBData* pDB = app.GetDatabase(nSide);
        pDB->m_strDSN = pDatabases[nSide]->Dsn();
        kvtest::ListRecorder list;
        if (!pDB->Connect() || !pDB->LoadTableList(list)) {
            std::fprintf(stderr, "cannot read side %d\n", nSide);
            return 1;
        }
    }
    if (!app.CompareAliases(nullptr)) {
        std::fprintf(stderr, "the comparison failed\n");
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    CFormCompareAlias form(app.GetAliasComparison(), app.GetOptions(), {QStringLiteral("L"), QStringLiteral("R")});
    form.resize(900, 600);
    form.Create();
    form.show();
    QCoreApplication::processEvents();
    const qint64 nOpen = clock.restart();
    QTest::mouseClick(form.GetFilter(0), Qt::LeftButton);
    QCoreApplication::processEvents();
    const qint64 nFilterOff = clock.restart();
    const int nRowsFiltered = form.GetList()->GetItemCount();
    QTest::mouseClick(form.GetFilter(0), Qt::LeftButton);
    QCoreApplication::processEvents();
    const qint64 nFilterOn = clock.elapsed();
    std::printf("slots %d, rows %d (%d without the identical ones)\nopen %lld ms, filter off %lld ms, filter on %lld ms\n",
                app.GetAliasComparison().m_nAliasSlots, form.GetList()->GetItemCount(), nRowsFiltered,
                static_cast<long long>(nOpen), static_cast<long long>(nFilterOff), static_cast<long long>(nFilterOn));
    return 0;
}
