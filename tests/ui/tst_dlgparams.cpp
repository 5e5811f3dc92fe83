// The options dialog: the shown boxes, their captions, places and width,
// the dependent boxes, OK and Cancel, and the lists shown again until one
// of their options is set.

#include "app/language.h"
#include "app/qalmetapp.h"
#include "compare/zembraparam.h"
#include "res/dialogtemplates.h"
#include "tests/app/privatesettings.h"
#include "tests/ui/paramsanswerer.h"
#include "views/dlgparams.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

using Options = QList<int>;

void UseLanguage(CQalmetApp& app, bool bFrench)
{
    app.ReadLanguage(bFrench ? QLocale(QLocale::French, QLocale::France) : QLocale(QLocale::English, QLocale::UnitedStates));
}

// Clicks a check box on its tick, where a user would.
void ClickBox(QCheckBox* pBox)
{
    QTest::mouseClick(pBox, Qt::LeftButton, Qt::NoModifier, QPoint(6, pBox->height() / 2));
}

void ClickButton(CDlgParams& dlg, int nId)
{
    QTest::mouseClick(dlg.GetDlgItem(nId), Qt::LeftButton);
}

}  // namespace

class TestDlgParams : public QObject
{
    Q_OBJECT

private slots:
    void shownBoxesAndPlaces_data();
    void shownBoxesAndPlaces();
    void captions_data();
    void captions();
    void widthFollowsTheLongestCaption_data();
    void widthFollowsTheLongestCaption();
    void dependentBoxes_data();
    void dependentBoxes();
    void okWritesEveryShownBoxAndCancelNothing();
    void repeatedUntilOneIsSet_data();
    void repeatedUntilOneIsSet();

private:
    PrivateSettings m_settings;
};

void TestDlgParams::shownBoxesAndPlaces_data()
{
    QTest::addColumn<Options>("shown");
    QTest::addColumn<Options>("indented");
    QTest::newRow("table comparison") << Options{2, 24, -1, 25} << Options{25};
    QTest::newRow("table export") << Options{3, 4, 5, 6, -1, 7, -1, 8, -1, 9, -1, 10} << Options{7, 8, 9, 10};
    QTest::newRow("alias comparison") << Options{19, 20, 22, 23} << Options{};
    QTest::newRow("structure export") << Options{0, 1} << Options{};
}

void TestDlgParams::shownBoxesAndPlaces()
{
    QFETCH(Options, shown);
    QFETCH(Options, indented);
    CQalmetApp app;
    UseLanguage(app, true);
    CZembraParam param;
    CDlgParams dlg(param, shown, {QStringLiteral("DEV"), QStringLiteral("PROD")}, nullptr);
    QVERIFY(dlg.Create());
    int nPreviousBottom = -1;
    for (int n = 0; n < OPT_COUNT; ++n) {
        QCheckBox* pBox = dlg.OptionBox(n);
        QVERIFY(pBox != nullptr);
        QCOMPARE(!pBox->isHidden(), shown.contains(n));
        if (!shown.contains(n))
            continue;
        // Shown in list order, one under the other, 3 pixels apart.
        QCOMPARE(pBox->x(), indented.contains(n) ? 9 + 25 : 9);
        QCOMPARE(pBox->y(), nPreviousBottom < 0 ? 9 : nPreviousBottom + 3);
        QCOMPARE(pBox->geometry().right() + 1, dlg.width() - 9);
        QCOMPARE(pBox->isChecked(), param.IsOptionSet(n));
        nPreviousBottom = pBox->geometry().bottom() + 1;
    }
    QCOMPARE(dlg.height(), nPreviousBottom + 3 + 50);
    // OK and Cancel under the last box.
    QVERIFY(dlg.GetDlgItem(IDOK)->y() > nPreviousBottom);
    QVERIFY(dlg.GetDlgItem(IDOK)->geometry().bottom() < dlg.height());
}

void TestDlgParams::captions_data()
{
    QTest::addColumn<bool>("french");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("caption");
    const QString strProd = QStringLiteral("JDE_PROD (PRODDTA)");
    const QString strDev = QStringLiteral("JDE_DEV (TESTDTA)");
    QTest::newRow("left title") << true << strProd << strDev << 4
                                << QStringLiteral("Exporter les tables uniquement dans JDE_PROD (PRODDTA)");
    QTest::newRow("right title") << true << strProd << strDev << 9
                                 << QStringLiteral("Exporter les champs uniquement dans JDE_DEV (TESTDTA) (des tables différentes)");
    QTest::newRow("left without schema") << true << QStringLiteral("JDE_PROD") << strDev << 16
                                         << QStringLiteral("Exporter les alias uniquement dans JDE_PROD");
    QTest::newRow("English right") << false << strProd << strDev << 13
                                   << QStringLiteral("Export fields that are only in JDE_DEV (TESTDTA)");
    QTest::newRow("French attribute") << true << strProd << strDev << 19
                                      << QStringLiteral("Comparer les valeurs du champ DTAT (Type article DD)");
    QTest::newRow("English attribute") << false << strProd << strDev << 21
                                       << QStringLiteral("Compare values for field OWTP (Data Type)");
    QTest::newRow("no title") << true << strProd << strDev << 6 << QStringLiteral("Exporter les tables différentes");
}

void TestDlgParams::captions()
{
    QFETCH(bool, french);
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(int, option);
    QFETCH(QString, caption);
    CQalmetApp app;
    UseLanguage(app, french);
    CZembraParam param;
    CDlgParams dlg(param, {option}, {left, right}, nullptr);
    QVERIFY(dlg.Create());
    QCOMPARE(dlg.OptionBox(option)->text(), caption);
    QCOMPARE(dlg.windowTitle(), french ? QStringLiteral("Paramètres") : QStringLiteral("Setup"));
}

void TestDlgParams::widthFollowsTheLongestCaption_data()
{
    QTest::addColumn<bool>("french");
    QTest::addColumn<Options>("shown");
    QTest::addColumn<int>("widest");   // the option whose caption sets the width, or -1
    QTest::newRow("short captions") << false << Options{0, 1} << -1;
    QTest::newRow("long caption") << true << Options{2, 24, -1, 25} << 25;
    QTest::newRow("indented longest") << true << Options{3, -1, 8} << 8;
}

void TestDlgParams::widthFollowsTheLongestCaption()
{
    QFETCH(bool, french);
    QFETCH(Options, shown);
    QFETCH(int, widest);
    CQalmetApp app;
    UseLanguage(app, french);
    CZembraParam param;
    CDlgParams dlg(param, shown, {QStringLiteral("DEV"), QStringLiteral("PROD")}, nullptr);
    QVERIFY(dlg.Create());
    if (widest < 0) {
        QCOMPARE(dlg.width(), 250);
        return;
    }
    const QCheckBox* pBox = dlg.OptionBox(widest);
    const int nIndent = pBox->x() - 9;
    QCOMPARE(dlg.width(), QFontMetrics(dlg.font()).horizontalAdvance(pBox->text()) + nIndent + 40);
    QVERIFY(dlg.width() > 250);
}

void TestDlgParams::dependentBoxes_data()
{
    QTest::addColumn<Options>("shown");
    QTest::addColumn<int>("master");
    QTest::addColumn<Options>("dependents");
    QTest::newRow("SQL types") << Options{2, 24, -1, 25} << 24 << Options{25};
    QTest::newRow("different tables") << Options{3, 4, 5, 6, -1, 7, -1, 8, -1, 9, -1, 10} << 6
                                      << Options{7, 8, 9, 10};
}

void TestDlgParams::dependentBoxes()
{
    QFETCH(Options, shown);
    QFETCH(int, master);
    QFETCH(Options, dependents);
    CQalmetApp app;
    UseLanguage(app, true);
    for (bool bMasterSet : {false, true}) {
        CZembraParam param;
        param.SetOption(master, bMasterSet);
        CDlgParams dlg(param, shown, {QStringLiteral("DEV"), QStringLiteral("PROD")}, nullptr);
        QVERIFY(dlg.Create());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        for (int n : dependents)
            QCOMPARE(dlg.OptionBox(n)->isEnabled(), bMasterSet);
        ClickBox(dlg.OptionBox(master));
        QCOMPARE(dlg.OptionBox(master)->isChecked(), !bMasterSet);
        for (int n : dependents)
            QCOMPARE(dlg.OptionBox(n)->isEnabled(), !bMasterSet);
        // Other boxes never depend on it.
        for (int n : shown) {
            if (n >= 0 && n != master && !dependents.contains(n))
                QVERIFY(dlg.OptionBox(n)->isEnabled());
        }
        dlg.reject();
    }
}

void TestDlgParams::okWritesEveryShownBoxAndCancelNothing()
{
    CQalmetApp app;
    UseLanguage(app, false);
    const Options shown{2, 24, -1, 25};
    CZembraParam param;
    param.SetOption(OPT_COMPARE_SQL_TYPES, true);
    const quint32 dwBefore = param.m_dwOptions;
    // Cancel after changes: nothing moves.
    {
        ParamsAnswerer answerer({[](CDlgParams& dlg) {
            ClickBox(dlg.OptionBox(OPT_CASE_SENSITIVE));
            ClickBox(dlg.OptionBox(OPT_SAME_SIZE_STRINGS_EQUAL));
            ClickButton(dlg, IDCANCEL);
        }});
        QVERIFY(!EditOptions(param, shown, {}, nullptr));
        QCOMPARE(answerer.m_nShown, 1);
        QCOMPARE(param.m_dwOptions, dwBefore);
    }
    // OK: every shown box written, a disabled one too; others untouched.
    {
        ParamsAnswerer answerer({[](CDlgParams& dlg) {
            ClickBox(dlg.OptionBox(OPT_CASE_SENSITIVE));
            ClickBox(dlg.OptionBox(OPT_SAME_SIZE_STRINGS_EQUAL));
            ClickBox(dlg.OptionBox(OPT_COMPARE_SQL_TYPES));
            QVERIFY(!dlg.OptionBox(OPT_SAME_SIZE_STRINGS_EQUAL)->isEnabled());
            ClickButton(dlg, IDOK);
        }});
        QVERIFY(EditOptions(param, shown, {}, nullptr));
        QVERIFY(param.IsOptionSet(OPT_CASE_SENSITIVE));
        QVERIFY(!param.IsOptionSet(OPT_COMPARE_SQL_TYPES));
        QVERIFY(!param.IsOptionSet(OPT_SAME_SIZE_STRINGS_EQUAL));
        QCOMPARE(param.m_dwOptions & ~((1u << 2) | (1u << 24) | (1u << 25)),
                 dwBefore & ~((1u << 2) | (1u << 24) | (1u << 25)));
    }
}

void TestDlgParams::repeatedUntilOneIsSet_data()
{
    QTest::addColumn<Options>("shown");
    QTest::addColumn<Options>("required");
    QTest::newRow("alias comparison") << Options{19, 20, 21, 22, 23} << Options{19, 20, 21, 22, 23};
    QTest::newRow("table export") << Options{3, 4, 5, 6, -1, 7, -1, 8, -1, 9, -1, 10} << Options{3, 4, 5, 6};
    QTest::newRow("field export") << Options{11, 12, 13, 14} << Options{11, 12, 13, 14};
    QTest::newRow("field export without SQL types") << Options{11, 12, 13} << Options{11, 12, 13, 14};
    QTest::newRow("alias export") << Options{15, 16, 17, 18} << Options{15, 16, 17, 18};
    QTest::newRow("structure export") << Options{0, 1} << Options{0, 1};
}

void TestDlgParams::repeatedUntilOneIsSet()
{
    QFETCH(Options, shown);
    QFETCH(Options, required);
    CQalmetApp app;
    UseLanguage(app, true);
    const auto clearAll = [shown](CDlgParams& dlg) {
        for (int n : shown) {
            if (n >= 0 && dlg.OptionBox(n)->isChecked())
                ClickBox(dlg.OptionBox(n));
        }
    };
    // As the export preparations do: a required option without its box is clear.
    const auto freshOptions = [&] {
        CZembraParam param;
        for (int n : required) {
            if (!shown.contains(n))
                param.SetOption(n, false);
        }
        return param;
    };
    // All cleared then OK: shown again; then one set: done.
    {
        CZembraParam param = freshOptions();
        ParamsAnswerer answerer({[&](CDlgParams& dlg) {
                                     clearAll(dlg);
                                     ClickButton(dlg, IDOK);
                                 },
                                 [&](CDlgParams& dlg) {
                                     QVERIFY(!dlg.OptionBox(shown.first())->isChecked());
                                     ClickBox(dlg.OptionBox(shown.first()));
                                     ClickButton(dlg, IDOK);
                                 }});
        QVERIFY(EditOptionsUntilOneSet(param, shown, required, {}, nullptr));
        QCOMPARE(answerer.m_nShown, 2);
        QVERIFY(param.IsOptionSet(shown.first()));
    }
    // All cleared then OK, then Cancel: the action ends.
    {
        CZembraParam param = freshOptions();
        ParamsAnswerer answerer({[&](CDlgParams& dlg) {
                                     clearAll(dlg);
                                     ClickButton(dlg, IDOK);
                                 },
                                 [](CDlgParams& dlg) { ClickButton(dlg, IDCANCEL); }});
        QVERIFY(!EditOptionsUntilOneSet(param, shown, required, {}, nullptr));
        QCOMPARE(answerer.m_nShown, 2);
    }
    // One left set: OK ends at once.
    {
        CZembraParam param = freshOptions();
        ParamsAnswerer answerer({[](CDlgParams& dlg) { ClickButton(dlg, IDOK); }});
        QVERIFY(EditOptionsUntilOneSet(param, shown, required, {}, nullptr));
        QCOMPARE(answerer.m_nShown, 1);
    }
}

QTEST_MAIN(TestDlgParams)
#include "tst_dlgparams.moc"
