// The about box: its texts, its documents and its copyright years.

#include "app/language.h"
#include "app/qalmetapp.h"
#include "controls/aboutdlg.h"
#include "controls/dialogbuilder.h"
#include "controls/staticlink.h"
#include "res/dialogtemplates.h"
#include "tests/app/privatesettings.h"
#include "tests/app/recordingopener.h"
#include "tests/ui/modalwatcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

// Companion files beside this test's own executable, in a folder of its own.
void WriteCompanion(const QString& strName)
{
    QFile file(QDir(QCoreApplication::applicationDirPath()).filePath(strName));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Kitvane\n");
}

void RemoveCompanion(const QString& strName)
{
    QFile::remove(QDir(QCoreApplication::applicationDirPath()).filePath(strName));
}

void RemoveCompanions()
{
    for (const char* pszName : {"ReleaseFRA.txt", "ReleaseENG.txt", "ClufFRA.txt", "ClufENG.txt", "HelpFRA.pdf",
                                "HelpENG.pdf", "Logo.png", "Icon.png"})
        RemoveCompanion(QLatin1String(pszName));
}

}  // namespace

class TestAboutDlg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void copyrightYears_data();
    void copyrightYears();
    void texts_data();
    void texts();
    void missingHelpDisablesOnlyHelp();
    void documentButtonsOpenTheirFiles();
    void documentThatNoProgramOpensIsReported_data();
    void documentThatNoProgramOpensIsReported();

private:
    std::unique_ptr<PrivateSettings> m_pSettings;
};

void TestAboutDlg::initTestCase()
{
    m_pSettings = std::make_unique<PrivateSettings>();
    RemoveCompanions();
}

void TestAboutDlg::copyrightYears_data()
{
    QTest::addColumn<QDateTime>("modified");
    QTest::addColumn<QString>("strExpected");
    const QString strTemplate = QStringLiteral("Copyright © 2019 Talvorin.");
    QTest::newRow("later year") << QDateTime(QDate(2025, 3, 1), QTime(10, 0)) << QStringLiteral("Copyright © 2019-2025 Talvorin.");
    QTest::newRow("first year") << QDateTime(QDate(2019, 6, 1), QTime(10, 0)) << strTemplate;
    QTest::newRow("unreadable time") << QDateTime() << strTemplate;
}

void TestAboutDlg::copyrightYears()
{
    QFETCH(QDateTime, modified);
    QFETCH(QString, strExpected);
    QCOMPARE(CAboutDlg::FormatCopyright(QStringLiteral("Copyright © 2019 Talvorin."), modified), strExpected);
}

void TestAboutDlg::texts_data()
{
    QTest::addColumn<QString>("strLanguage");
    QTest::addColumn<QString>("strTitle");
    QTest::addColumn<QString>("strHelp");
    QTest::addColumn<QString>("strCopyright");
    QTest::newRow("French") << QStringLiteral("FRA") << QStringLiteral("À propos de TALVORIN Kitvane")
                            << QStringLiteral("Aide") << QStringLiteral("Copyright © 2019-%1 Talvorin. Tous droits réservés.");
    QTest::newRow("English") << QStringLiteral("ENU") << QStringLiteral("About TALVORIN Kitvane")
                             << QStringLiteral("Help") << QStringLiteral("Copyright © 2019-%1 Talvorin. All rights reserved.");
}

void TestAboutDlg::texts()
{
    QFETCH(QString, strLanguage);
    QFETCH(QString, strTitle);
    QFETCH(QString, strHelp);
    QFETCH(QString, strCopyright);
    SetInterfaceLanguage(strLanguage, QString());
    CAboutDlg dlg;
    QVERIFY(dlg.Create());
    QCOMPARE(dlg.windowTitle(), strTitle);
    QCOMPARE(qobject_cast<QPushButton*>(dlg.GetDlgItem(IDC_HELP_DOC))->text(), strHelp);
    QCOMPARE(qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_VERSION))->text(), QStringLiteral("Version 2.0.0"));
    const int nYear = QFileInfo(QCoreApplication::applicationFilePath()).lastModified().date().year();
    QCOMPARE(qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_COPYRIGHT))->text(), strCopyright.arg(nYear));
    auto* pLink = FindDlgItem<CStaticLink>(&dlg, IDC_WEBLINK);
    QCOMPARE(pLink->text(), QStringLiteral("www.talvorin.com/"));
    QCOMPARE(pLink->m_strURL, QStringLiteral("https://www.talvorin.com/"));
    QVERIFY(pLink->font().bold());
    QVERIFY(dlg.m_pTitleFont && dlg.m_pTitleFont->bold());
    // Fixed size, no band, no OK/Cancel placement.
    int h = 0;
    QCOMPARE(dlg.LayoutOkCancel(400, 300, h), -1);
    QVERIFY(!dlg.IsResizable());
    const QImage picture = dlg.grab().toImage();
    QCOMPARE(QColor(picture.pixel(3, 3)), QColor(141, 210, 239));
    QCOMPARE(QColor(picture.pixel(3, dlg.height() - 3)), QColor(29, 41, 75));
}

void TestAboutDlg::missingHelpDisablesOnlyHelp()
{
    SetInterfaceLanguage(QStringLiteral("FRA"), QString());
    CQalmetApp app;
    app.ReadLanguage(QLocale(QLocale::French, QLocale::France));
    WriteCompanion(QStringLiteral("ReleaseFRA.txt"));
    WriteCompanion(QStringLiteral("ClufENG.txt"));
    {
        CAboutDlg dlg;
        QVERIFY(dlg.Create());
        QVERIFY(dlg.GetDlgItem(IDC_RELEASE)->isEnabled());
        QVERIFY(dlg.GetDlgItem(IDC_CONDITIONS)->isEnabled());
        QVERIFY(!dlg.GetDlgItem(IDC_HELP_DOC)->isEnabled());
        QVERIFY(!dlg.m_pLogoImage);
        QVERIFY(!dlg.m_pIconImage);
    }
    WriteCompanion(QStringLiteral("HelpFRA.pdf"));
    CAboutDlg dlg;
    QVERIFY(dlg.Create());
    QVERIFY(dlg.GetDlgItem(IDC_HELP_DOC)->isEnabled());
    RemoveCompanion(QStringLiteral("HelpFRA.pdf"));
}

void TestAboutDlg::documentButtonsOpenTheirFiles()
{
    CQalmetApp app;
    app.ReadLanguage(QLocale(QLocale::French, QLocale::France));
    QStringList arrStarted;
    app.SetShellOpener(std::make_unique<RecordingOpener>(arrStarted));
    WriteCompanion(QStringLiteral("ReleaseFRA.txt"));
    CAboutDlg dlg;
    QVERIFY(dlg.Create());
    dlg.show();
    QTest::mouseClick(dlg.GetDlgItem(IDC_RELEASE), Qt::LeftButton);
    QCOMPARE(arrStarted.size(), 1);
    QVERIFY(arrStarted.first().contains(QStringLiteral("ReleaseFRA.txt")));
    QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton);
    QCOMPARE(dlg.result(), 1);
}

void TestAboutDlg::documentThatNoProgramOpensIsReported_data()
{
    QTest::addColumn<int>("nCommand");       // a button of the box, or 0 for the F1 key
    QTest::addColumn<QString>("strFile");    // the companion file present, "" none
    QTest::addColumn<bool>("bOpenerStarts");
    QTest::addColumn<bool>("bReported");
    QTest::newRow("F1, opener fails") << 0 << "HelpFRA.pdf" << false << true;
    QTest::newRow("help button, opener fails") << int(IDC_HELP_DOC) << "HelpENG.pdf" << false << true;
    QTest::newRow("release notes, opener fails") << int(IDC_RELEASE) << "ReleaseFRA.txt" << false << true;
    QTest::newRow("conditions, opener fails") << int(IDC_CONDITIONS) << "ClufFRA.txt" << false << true;
    QTest::newRow("F1, opener starts") << 0 << "HelpFRA.pdf" << true << false;
    QTest::newRow("help button, opener starts") << int(IDC_HELP_DOC) << "HelpFRA.pdf" << true << false;
    // Without a help document F1 does nothing.
    QTest::newRow("F1, no help document") << 0 << "" << false << false;
}

void TestAboutDlg::documentThatNoProgramOpensIsReported()
{
    QFETCH(int, nCommand);
    QFETCH(QString, strFile);
    QFETCH(bool, bOpenerStarts);
    QFETCH(bool, bReported);
    RemoveCompanions();
    SetInterfaceLanguage(QStringLiteral("FRA"), QString());
    CQalmetApp app;
    app.ReadLanguage(QLocale(QLocale::French, QLocale::France));
    QStringList arrStarted;
    auto pOpener = std::make_unique<RecordingOpener>(arrStarted);
    pOpener->m_bStarts = bOpenerStarts;
    app.SetShellOpener(std::move(pOpener));
    if (!strFile.isEmpty())
        WriteCompanion(strFile);
    const QString strPath = QDir(QCoreApplication::applicationDirPath()).filePath(strFile);

    CAboutDlg dlg;
    QVERIFY(dlg.Create());
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    ModalWatcher watcher;
    if (nCommand == 0)
        QTest::keyClick(&dlg, Qt::Key_F1);
    else
        QTest::mouseClick(dlg.GetDlgItem(nCommand), Qt::LeftButton);
    QCOMPARE(arrStarted.size(), strFile.isEmpty() ? 0 : 1);
    if (bReported) {
        QCOMPARE(watcher.m_arrBoxTexts,
                 QStringList{QString::fromUtf8("Aucun programme n'a pu ouvrir le fichier ci-dessous. Installez un "
                                               "programme pour ce type de fichier, ou ouvrez le fichier "
                                               "vous-même.\n")
                             + strPath});
    } else {
        QVERIFY2(watcher.m_arrBoxTexts.isEmpty(), qPrintable(watcher.m_arrBoxTexts.join(u'|')));
    }
    QVERIFY(dlg.isVisible());
    dlg.EndDialog(1);
}

QTEST_MAIN(TestAboutDlg)
#include "tst_aboutdlg.moc"
