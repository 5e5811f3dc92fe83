// The data-source dialog over the driver manager's user and system lists.

#include "app/language.h"
#include "controls/dlgdatasources.h"
#include "controls/windowfunctions.h"
#include "res/dialogtemplates.h"
#include "tests/app/privatesettings.h"
#include "tests/support/testodbcenv.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

const QString kDriver = QStringLiteral("SQLite3");

QStringList NamesOf(const QListWidget* pList)
{
    QStringList arrNames;
    for (int nRow = 0; nRow < pList->count(); ++nRow)
        arrNames.append(pList->item(nRow)->text().section(u'\t', 0, 0));
    return arrNames;
}

QListWidgetItem* ItemNamed(const QListWidget* pList, const QString& strName)
{
    for (int nRow = 0; nRow < pList->count(); ++nRow) {
        if (pList->item(nRow)->text().section(u'\t', 0, 0) == strName)
            return pList->item(nRow);
    }
    return nullptr;
}

void ClickItem(QListWidget* pList, QListWidgetItem* pItem)
{
    const QRect rect = pList->visualItemRect(pItem);
    QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, rect.center());
}

}  // namespace

class TestDlgDataSources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void listsUserAndSystemSources();
    void preselectsByNameInAnyCase();
    void nameInBothHivesWithSystemKind();
    void tabSwitchDisablesOk();
    void okWithoutSelectionStaysOpen();
    void doubleClickActsAsOk();
    void administratorReloadsTheLists();
    void layoutKeepsListsInsideTheTab();
    void englishTexts();

private:
    std::unique_ptr<PrivateSettings> m_pSettings;
};

void TestDlgDataSources::initTestCase()
{
    m_pSettings = std::make_unique<PrivateSettings>();
    // No UI plugin for the administrator: the call fails instead of opening a window.
    qputenv("ODBCINSTUI", "kitvane-no-ui-plugin");
    SetInterfaceLanguage(QStringLiteral("FRA"), QStringLiteral("France"));
    auto& environment = kvtest::OdbcEnvironment::Instance();
    const QMap<QString, QString> attributes{{QStringLiteral("Database"), QStringLiteral("/nonexistent/kv.db")}};
    environment.AddDataSource(QStringLiteral("kvds_zulu"), kDriver, attributes, false);
    environment.AddDataSource(QStringLiteral("kvds_alpha"), kDriver, attributes, false);
    environment.AddDataSource(QStringLiteral("kvds_system_only"), kDriver, attributes, true);
    // Named in both hives.
    environment.AddDataSource(QStringLiteral("kvds_both"), kDriver, attributes, true);
}

void TestDlgDataSources::listsUserAndSystemSources()
{
    QString strName;
    int nKind = 0;
    CDlgDataSources dlg(&strName, &nKind, nullptr);
    QVERIFY(dlg.Create());
    QCOMPARE(NamesOf(dlg.m_lbUser), (QStringList{QStringLiteral("kvds_alpha"), QStringLiteral("kvds_zulu")}));
    QVERIFY(NamesOf(dlg.m_lbSystem).contains(QStringLiteral("kvds_system_only")));
    QVERIFY(NamesOf(dlg.m_lbSystem).contains(QStringLiteral("kvds_both")));
    QVERIFY(!NamesOf(dlg.m_lbSystem).contains(QStringLiteral("kvds_alpha")));
    // Name, tab, driver; the item data indexes the arrays in the manager's order.
    QCOMPARE(dlg.m_lbUser->item(0)->text(), QStringLiteral("kvds_alpha\t") + kDriver);
    const int nIndex = dlg.m_lbUser->item(0)->data(Qt::UserRole).toInt();
    QCOMPARE(dlg.m_arrNames[0].value(nIndex), QStringLiteral("kvds_alpha"));
    QCOMPARE(dlg.m_arrDrivers[0].value(nIndex), kDriver);
    QCOMPARE(dlg.m_tab->count(), 2);
    QCOMPARE(dlg.m_tab->tabText(0), QStringLiteral("Source de données utilisateur"));
    QCOMPARE(dlg.m_tab->tabText(1), QStringLiteral("Source de données système"));
    QVERIFY(!dlg.m_lbUser->isHidden());
    QVERIFY(dlg.m_lbSystem->isHidden());
    QVERIFY(!dlg.GetDlgItem(IDOK)->isEnabled());
    QVERIFY(dlg.HasAdministrator());
    QVERIFY(dlg.GetDlgItem(IDC_DSN_ADMIN)->isEnabled());
}

void TestDlgDataSources::preselectsByNameInAnyCase()
{
    QString strName = QStringLiteral("KVDS_ZULU");
    int nKind = 0;
    CDlgDataSources dlg(&strName, &nKind, nullptr);
    QVERIFY(dlg.Create());
    QCOMPARE(dlg.m_tab->currentIndex(), 0);
    const QList<QListWidgetItem*> selected = dlg.m_lbUser->selectedItems();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first()->text().section(u'\t', 0, 0), QStringLiteral("kvds_zulu"));
    QVERIFY(dlg.GetDlgItem(IDOK)->isEnabled());
    dlg.show();
    QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton);
    QCOMPARE(dlg.result(), 1);
    QCOMPARE(strName, QStringLiteral("kvds_zulu"));
    QCOMPARE(nKind, 0);
}

void TestDlgDataSources::nameInBothHivesWithSystemKind()
{
    auto& environment = kvtest::OdbcEnvironment::Instance();
    // The user twin of a system source.
    environment.AddDataSource(QStringLiteral("kvds_both_user"), kDriver, {}, false);
    QString strName = QStringLiteral("kvds_both");
    int nKind = 1;
    CDlgDataSources dlg(&strName, &nKind, nullptr);
    QVERIFY(dlg.Create());
    QCOMPARE(dlg.m_tab->currentIndex(), 1);
    QVERIFY(!dlg.m_lbSystem->isHidden());
    QVERIFY(dlg.m_lbUser->isHidden());
    QCOMPARE(dlg.m_lbSystem->selectedItems().size(), 1);
    QVERIFY(dlg.m_lbUser->selectedItems().isEmpty());
    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_Return);
    QCOMPARE(dlg.result(), 1);
    QCOMPARE(strName, QStringLiteral("kvds_both"));
    QCOMPARE(nKind, 1);
    environment.RemoveDataSource(QStringLiteral("kvds_both_user"));
}

void TestDlgDataSources::tabSwitchDisablesOk()
{
    QString strName = QStringLiteral("kvds_alpha");
    int nKind = 0;
    CDlgDataSources dlg(&strName, &nKind, nullptr);
    QVERIFY(dlg.Create());
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QVERIFY(dlg.GetDlgItem(IDOK)->isEnabled());
    QTabBar* pTabs = dlg.m_tab->tabBar();
    QTest::mouseClick(pTabs, Qt::LeftButton, {}, pTabs->tabRect(1).center());
    QCOMPARE(dlg.m_tab->currentIndex(), 1);
    QVERIFY(!dlg.GetDlgItem(IDOK)->isEnabled());
    QVERIFY(dlg.m_strSelected.isEmpty());
    QCOMPARE(dlg.m_nKind, 1);
    QVERIFY(dlg.m_lbUser->isHidden());

    ClickItem(dlg.m_lbSystem, ItemNamed(dlg.m_lbSystem, QStringLiteral("kvds_system_only")));
    QVERIFY(dlg.GetDlgItem(IDOK)->isEnabled());
    QCOMPARE(dlg.m_strSelected, QStringLiteral("kvds_system_only"));
    QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton);
    QCOMPARE(dlg.result(), 1);
    QCOMPARE(strName, QStringLiteral("kvds_system_only"));
    QCOMPARE(nKind, 1);
}

void TestDlgDataSources::okWithoutSelectionStaysOpen()
{
    QString strName = QStringLiteral("unknown");
    int nKind = 0;
    CDlgDataSources dlg(&strName, &nKind, nullptr);
    bool bStillOpen = false;
    QTimer::singleShot(0, &dlg, [&] {
        QTest::keyClick(&dlg, Qt::Key_Return);
        bStillOpen = dlg.isVisible();
        QTest::mouseClick(dlg.GetDlgItem(IDCANCEL), Qt::LeftButton);
    });
    QCOMPARE(dlg.DoModal(), 2);
    QVERIFY(bStillOpen);
    QCOMPARE(strName, QStringLiteral("unknown"));
}

void TestDlgDataSources::doubleClickActsAsOk()
{
    QString strName;
    int nKind = 0;
    CDlgDataSources dlg(&strName, &nKind, nullptr);
    QTimer::singleShot(0, &dlg, [&] {
        QListWidgetItem* pItem = ItemNamed(dlg.m_lbUser, QStringLiteral("kvds_zulu"));
        const QPoint centre = dlg.m_lbUser->visualItemRect(pItem).center();
        QTest::mouseClick(dlg.m_lbUser->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(dlg.m_lbUser->viewport(), Qt::LeftButton, {}, centre);
    });
    QCOMPARE(dlg.DoModal(), 1);
    QCOMPARE(strName, QStringLiteral("kvds_zulu"));
}

void TestDlgDataSources::administratorReloadsTheLists()
{
    QString strName;
    int nKind = 0;
    CDlgDataSources dlg(&strName, &nKind, nullptr);
    QVERIFY(dlg.Create());
    dlg.show();
    QVERIFY(!NamesOf(dlg.m_lbUser).contains(QStringLiteral("kvds_added")));
    // Someone adds a data source while the dialog is open.
    kvtest::OdbcEnvironment::Instance().AddDataSource(QStringLiteral("kvds_added"), kDriver, {}, false);
    const int nBeeps = BeepCount();
    QTest::mouseClick(dlg.GetDlgItem(IDC_DSN_ADMIN), Qt::LeftButton);
    // Without an administrator window the call fails: a beep, and the lists are read again.
    QCOMPARE(BeepCount(), nBeeps + 1);
    QVERIFY(NamesOf(dlg.m_lbUser).contains(QStringLiteral("kvds_added")));
    kvtest::OdbcEnvironment::Instance().RemoveDataSource(QStringLiteral("kvds_added"));
}

void TestDlgDataSources::layoutKeepsListsInsideTheTab()
{
    QString strName;
    int nKind = 0;
    CDlgDataSources dlg(&strName, &nKind, nullptr);
    QVERIFY(dlg.Create());
    dlg.show();
    dlg.resize(500, 400);
    QCOMPARE(dlg.minimumSize(), QSize(340, 200));
    const int h = dlg.GetDlgItem(IDOK)->height();
    const int m = MulDiv(h, 1, 3);
    QCOMPARE(dlg.GetDlgItem(IDC_DSN_ADMIN)->pos(), QPoint(m, m));
    const QRect tab = dlg.m_tab->geometry();
    QCOMPARE(tab.topLeft(), QPoint(m, h + 3 * m));
    QCOMPARE(tab.right() + 1, 500 - m);
    QCOMPARE(tab.bottom() + 1, 400 - h - 3 * m);
    const QRect list = dlg.m_lbUser->geometry();
    QVERIFY(tab.contains(list));
    QVERIFY(list.top() > tab.top() + dlg.m_tab->tabBar()->tabRect(0).bottom());
    QCOMPARE(dlg.m_lbSystem->geometry(), list);
    QCOMPARE(dlg.GetDlgItem(IDOK)->geometry().bottom() + 1, 400 - m);
}

void TestDlgDataSources::englishTexts()
{
    SetInterfaceLanguage(QStringLiteral("ENU"), QStringLiteral("United States"));
    QString strName;
    int nKind = 0;
    CDlgDataSources dlg(&strName, &nKind, nullptr);
    QVERIFY(dlg.Create());
    QCOMPARE(dlg.GetTemplateId(), 2002);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("ODBC Data Source"));
    QCOMPARE(qobject_cast<QPushButton*>(dlg.GetDlgItem(IDC_DSN_ADMIN))->text(),
             QStringLiteral("ODBC data source setup..."));
    QCOMPARE(dlg.m_tab->tabText(1), QStringLiteral("System data source"));
    SetInterfaceLanguage(QStringLiteral("FRA"), QStringLiteral("France"));
}

QTEST_MAIN(TestDlgDataSources)
#include "tst_dlgdatasources.moc"
