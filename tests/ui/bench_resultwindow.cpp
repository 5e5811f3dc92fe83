// Time to open and to filter an alias result window on a large dictionary.
// Run by hand, on the offscreen platform:
//   QT_QPA_PLATFORM=offscreen bench_resultwindow <aliases>
// The dictionaries differ in a quarter of the extra aliases each way: some
// only on the left, some only on the right, some with another size. The
// comparison runs first (not timed); then the statuses are read slot by slot
// through the reader and in one pass (both timed, for the ratio), the window
// is built from the result file, and the filter of the identical aliases
// toggled off and on.

#include "app/language.h"
#include "app/qalmetapp.h"
#include "compare/aliascomparison.h"
#include "compare/comparestatus.h"
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

#include <algorithm>
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
        // The extra aliases are X0000001, X0000002, ...
        const QString strDictionary = pFixtures[nSide]->Place(kvtest::kDictionarySchema).strQualifier
                                      + QStringLiteral("F9210");
        const QString strNumber = QStringLiteral("CAST(SUBSTR(FRDTAI, 2) AS INTEGER) % 4");
        pDatabases[nSide]->Exec(QStringLiteral("DELETE FROM %1 WHERE FRDTAI LIKE 'X%' AND %2 = %3")
                                    .arg(strDictionary, strNumber, QString::number(nSide == 0 ? 1 : 2)));
        if (nSide == 1)
            pDatabases[nSide]->Exec(QStringLiteral("UPDATE %1 SET FRDTAS = FRDTAS + 1 WHERE FRDTAI LIKE 'X%' AND %2 = 3")
                                        .arg(strDictionary, strNumber));
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
    const CAliasComparison& result = app.GetAliasComparison();
    QElapsedTimer clock;
    clock.start();
    int nReadAlone = 0;
    for (int nSlot = 0; nSlot < result.m_nAliasSlots; ++nSlot)
        nReadAlone += result.GetAliasStatus(nSlot) == CMP_DIFFERENT ? 1 : 0;
    const qint64 nSlotBySlot = clock.restart();
    const std::vector<int> arrStatuses = result.ReadAliasStatuses();
    const qint64 nOnePass = clock.restart();
    if (std::count(arrStatuses.begin(), arrStatuses.end(), int(CMP_DIFFERENT)) != nReadAlone) {
        std::fprintf(stderr, "the two reads disagree\n");
        return 1;
    }
    std::printf("statuses slot by slot %lld ms, in one pass %lld ms\n", static_cast<long long>(nSlotBySlot),
                static_cast<long long>(nOnePass));
    clock.restart();
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
    std::printf("slots %d (%d same, %d left only, %d right only, %d different), rows %d (%d without the identical ones)\nopen %lld ms, filter off %lld ms, filter on %lld ms\n",
                result.m_nAliasSlots, result.GetAliasCount(CMP_SAME), result.GetAliasCount(CMP_LEFT_ONLY),
                result.GetAliasCount(CMP_RIGHT_ONLY), result.GetAliasCount(CMP_DIFFERENT), form.GetList()->GetItemCount(), nRowsFiltered,
                static_cast<long long>(nOpen), static_cast<long long>(nFilterOff), static_cast<long long>(nFilterOn));
    return 0;
}
