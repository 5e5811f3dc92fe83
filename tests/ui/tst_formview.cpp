// The form-view base: its band and logo, and the export command from the
// click on the export button to the opening of the written file.

#include "app/formattext.h"
#include "app/language.h"
#include "app/qalmetapp.h"
#include "compare/exportfile.h"
#include "controls/dialogbuilder.h"
#include "controls/logobutton.h"
#include "controls/windowfunctions.h"
#include "res/dialogtemplates.h"
#include "res/stringids.h"
#include "tests/app/privatesettings.h"
#include "tests/app/recordingopener.h"
#include "tests/app/testfiles.h"
#include "tests/compare/filesizelimit.h"
#include "tests/ui/modalwatcher.h"
#include "tests/ui/scriptedchooser.h"
#include "views/comparelistctrl.h"
#include "views/exportfilechooser.h"
#include "views/zembraformview.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <functional>
#include <memory>

namespace {

constexpr int kListId = 5006;

// A form of the tests' own: a comparison list, the export button and the logo.
const ControlTemplate kTestControls[] = {
    {kListId, ControlKind::ListCtrl, nullptr, nullptr, 7, 7, 246, 80, 0},
    {IDC_EXPORT, ControlKind::PushButton, "Exporter vers un fichier...", "Export to file...",
     7, 100, 100, 14, 0},
    {IDC_LOGO, ControlKind::LogoButton, " <LOGO>", nullptr, 150, 100, 100, 26, 0},
};
const DialogTemplate kTestTemplate = {
    9001, "Formulaire d'essai", "Test form", 260, 130, 0, "DejaVu Sans", 8, kTestControls};

// A form whose export is scripted by the test.
class TestForm : public CZembraFormView
{
public:
    explicit TestForm(bool bExports, int nResourceId = kTestTemplate.nId)
        : CZembraFormView(kTestTemplate, nResourceId),
          m_bExports(bExports)
    {
    }

    QWidget* GetExportButton() const override { return m_bExports ? GetDlgItem(IDC_EXPORT) : nullptr; }
    bool PrepareExport() override
    {
        ++m_nPrepared;
        return m_bPrepare;
    }
    QString GetExportName() const override { return m_strName; }
    bool WriteExport(CExportFile& file) override
    {
        ++m_nWrites;
        for (int i = 0; i < m_nLines; ++i)
            file.WriteLine(m_strLine);
        return m_bComplete && file.Finish();
    }

    // The list fills the form above the band.
    void RecalcLayout(int cx, int cy) override
    {
        CZembraFormView::RecalcLayout(cx, cy);
        if (QWidget* pList = GetDlgItem(kListId))
            pList->setGeometry(kMargin, kMargin, cx - 2 * kMargin, (m_nBandTop > 0 ? m_nBandTop : cy) - 2 * kMargin);
    }

    void SetBackground(const QColor& color)
    {
        m_pBkBrush = std::make_unique<QBrush>(color);
        update();
    }
    QPushButton* ExportButton() const { return FindDlgItem<QPushButton>(this, IDC_EXPORT); }

    bool m_bExports;
    bool m_bPrepare = true;
    bool m_bComplete = true;
    QString m_strName = QStringLiteral("F0101");
    QString m_strLine = QStringLiteral("F0101;\u00e9");
    int m_nLines = 1;
    int m_nPrepared = 0;
    int m_nWrites = 0;

protected:
    QWidget* CreateControl(const ControlTemplate& control, QWidget* pParent) override
    {
        return control.nId == kListId ? new CCompareListCtrl(pParent) : nullptr;
    }
};

// Plays steps on the modal windows as they come up. A step acts on the
// window it accepts (returns true); it runs from a timer of its own, so a
// step that opens a nested modal loop does not hold up the next ones.
class ModalDriver
{
public:
    using Step = std::function<bool(QWidget*)>;

    ModalDriver()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget* pModal = QApplication::activeModalWidget();
            if (pModal == nullptr || m_arrSteps.isEmpty() || m_bActing)
                return;
            m_bActing = true;
            QTimer::singleShot(0, pModal, [this, pModal] {
                // Taken out first: while it waits in a nested loop, the
                // next step plays.
                const Step step = m_arrSteps.takeFirst();
                m_bActing = false;
                if (!step(pModal))
                    m_arrSteps.prepend(step);
            });
        });
        m_timer.start(20);
    }

    void Add(Step step) { m_arrSteps.append(std::move(step)); }
    bool Done() const { return m_arrSteps.isEmpty(); }

private:
    QList<Step> m_arrSteps;
    QTimer m_timer;
    bool m_bActing = false;
};

QStringList FolderEntries(const QString& strFolder)
{
    return QDir(strFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace

class TestFormView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void formWithoutExportButtonHasNoBand();
    void bandLayout_data();
    void bandLayout();
    void backgroundBrush();
    void exportFolder_data();
    void exportFolder();
    void defaultExportName_data();
    void defaultExportName();
    void chosenNameGetsExtension_data();
    void chosenNameGetsExtension();
    void exportWrittenAndOpened();
    void cancelledChoiceWritesNothing();
    void refusedPreparationAsksNothing();
    void incompleteExportOpensNothing_data();
    void incompleteExportOpensNothing();
    void fileThatCannotBeOpened_data();
    void fileThatCannotBeOpened();
    void writeFailureShowsReasonAndLeavesNoFile();
    void saveDialogAsksBeforeReplacing_data();
    void saveDialogAsksBeforeReplacing();
    void accessibleNames();

private:
    // Shows the form and clicks its export button, answering message boxes.
    QStringList ClickExport(TestForm& form);

    std::unique_ptr<PrivateSettings> m_pSettings;
    std::unique_ptr<CQalmetApp> m_pApp;
    QStringList m_arrStarted;
    std::unique_ptr<QTemporaryDir> m_pDir;
    QString m_strHome;
    QByteArray m_oldHome;
    ScriptedChooser m_chooser;
};

void TestFormView::initTestCase()
{
    m_pSettings = std::make_unique<PrivateSettings>();
    m_pApp = std::make_unique<CQalmetApp>();
    m_pApp->SetShellOpener(std::make_unique<RecordingOpener>(m_arrStarted));
    m_oldHome = qgetenv("HOME");
}

void TestFormView::init()
{
    SetInterfaceLanguage(QStringLiteral("FRA"), QStringLiteral("France"));
    m_arrStarted.clear();
    m_pDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_pDir->isValid());
    // A dot in the folder stays as it is in the proposed path.
    m_strHome = m_pDir->filePath(QStringLiteral("home.dir"));
    QVERIFY(QDir().mkpath(m_strHome));
    qputenv("HOME", m_strHome.toLocal8Bit());
    m_chooser = ScriptedChooser();
    CExportFileChooser::SetCurrent(&m_chooser);
}

void TestFormView::cleanup()
{
    CExportFileChooser::SetCurrent(nullptr);
    qputenv("HOME", m_oldHome);
}

QStringList TestFormView::ClickExport(TestForm& form)
{
    if (!form.isVisible()) {
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            return {QStringLiteral("<form not shown>")};
    }
    ModalWatcher watcher;
    QTest::mouseClick(form.ExportButton(), Qt::LeftButton);
    return watcher.m_arrBoxTexts;
}

void TestFormView::formWithoutExportButtonHasNoBand()
{
    TestForm form(false);
    QVERIFY(form.Create());
    form.resize(400, 300);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.GetLogo() == nullptr);
    QCOMPARE(form.GetBandTop(), -1);
    const QImage shot = form.grab().toImage();
    const QColor window = form.palette().color(QPalette::Window);
    QCOMPARE(QColor(shot.pixel(200, 295)), window);
    QCOMPARE(QColor(shot.pixel(5, 250)), window);
}

void TestFormView::bandLayout_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("400 x 300") << QSize(400, 300);
    QTest::newRow("odd 641 x 199") << QSize(641, 199);
    QTest::newRow("narrow 420 x 90") << QSize(420, 90);
}

void TestFormView::bandLayout()
{
    QFETCH(QSize, size);
    TestForm form(true);
    QVERIFY(form.Create());
    form.resize(size);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const int cx = size.width();
    const int cy = size.height();
    QWidget* pExport = form.ExportButton();
    const int h = pExport->height();
    // The band holds the button with 9 pixels above and below, and the
    // 45-pixel logo with at least 4: neither crosses its top line nor the
    // form's bottom edge; both are centred in it.
    const int nBandHeight = std::max(h + 18, 45 + 8);
    const int nBand = cy - nBandHeight;
    QCOMPARE(form.GetBandTop(), nBand);
    QCOMPARE(pExport->geometry().topLeft(), QPoint(9, nBand + (nBandHeight - h) / 2));
    QVERIFY(pExport->geometry().bottom() + 1 <= cy - 9);
    QVERIFY(form.GetLogo() != nullptr);
    QCOMPARE(form.GetLogo()->geometry(), QRect(cx - 209, nBand + (nBandHeight - 45) / 2, 200, 45));
    QVERIFY(form.GetLogo()->geometry().top() >= nBand + 4);
    QVERIFY(form.GetLogo()->geometry().bottom() + 1 <= cy - 4);

    const QImage shot = form.grab().toImage();
    const int x = pExport->geometry().right() + 5;
    QVERIFY(x < form.GetLogo()->x());
    QCOMPARE(QColor(shot.pixel(x, cy - 2)), QColor(205, 212, 218));
    QCOMPARE(QColor(shot.pixel(x, nBand + 1)), QColor(205, 212, 218));
    // The 2-pixel line on the band's top.
    QCOMPARE(QColor(shot.pixel(x, nBand)), QColor(231, 75, 20));
    QCOMPARE(QColor(shot.pixel(x, nBand - 1)), QColor(231, 75, 20));
    QCOMPARE(QColor(shot.pixel(x, nBand - 2)), form.palette().color(QPalette::Window));
    QCOMPARE(QColor(shot.pixel(0, nBand)), QColor(231, 75, 20));
    QCOMPARE(QColor(shot.pixel(cx - 1, nBand)), QColor(231, 75, 20));
}

void TestFormView::backgroundBrush()
{
    TestForm form(true);
    QVERIFY(form.Create());
    form.resize(500, 300);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Between the list and the band.
    const QPoint inside(form.width() / 2, form.GetBandTop() - 5);
    QVERIFY(form.childAt(inside) == nullptr);
    QCOMPARE(QColor(form.grab().toImage().pixel(inside)), form.palette().color(QPalette::Window));
    form.SetBackground(QColor(255, 255, 255));
    const QImage shot = form.grab().toImage();
    QCOMPARE(QColor(shot.pixel(inside)), QColor(255, 255, 255));
    // The band is painted over the brush.
    QCOMPARE(QColor(shot.pixel(200, 297)), QColor(205, 212, 218));
}

void TestFormView::exportFolder_data()
{
    QTest::addColumn<bool>("bDocuments");
    QTest::addColumn<bool>("bHome");
    QTest::addColumn<QString>("strExpected");  // "documents", "home" or "temp"
    QTest::newRow("documents folder") << true << true << "documents";
    QTest::newRow("no documents folder: home") << false << true << "home";
    QTest::newRow("neither: temporary folder") << false << false << "temp";
}

void TestFormView::exportFolder()
{
    QFETCH(bool, bDocuments);
    QFETCH(bool, bHome);
    QFETCH(QString, strExpected);
    const QString strDocuments = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QVERIFY2(strDocuments.startsWith(m_strHome), qPrintable(strDocuments));
    if (bDocuments)
        QVERIFY(QDir().mkpath(strDocuments));
    if (!bHome)
        QVERIFY(QDir(m_strHome).removeRecursively());
    const QString strFolder = CZembraFormView::GetExportFolder();
    if (strExpected == u"documents")
        QCOMPARE(strFolder, strDocuments);
    else if (strExpected == u"home")
        QCOMPARE(strFolder, m_strHome);
    else
        QCOMPARE(strFolder, QDir::tempPath());
    QVERIFY(QFileInfo(strFolder).isDir());
}

void TestFormView::defaultExportName_data()
{
    QTest::addColumn<QString>("strName");
    QTest::addColumn<QString>("strFileName");
    QTest::newRow("dot and slash") << "F0101.2019/05" << "F0101_2019-05.csv";
    QTest::newRow("every dot and slash") << "PROD.DTA/F0101.old/x" << "PROD_DTA-F0101_old-x.csv";
    QTest::newRow("plain") << "F4211" << "F4211.csv";
}

void TestFormView::defaultExportName()
{
    QFETCH(QString, strName);
    QFETCH(QString, strFileName);
    TestForm form(true);
    QVERIFY(form.Create());
    form.m_strName = strName;
    QCOMPARE(ClickExport(form), QStringList());
    QCOMPARE(m_chooser.m_arrProposed, QStringList{m_strHome + u'/' + strFileName});
    QCOMPARE(m_chooser.m_strFilter, LoadLangString(StringId::FilterCsv));
    QVERIFY(m_chooser.m_strFilter.endsWith(QStringLiteral("(*.csv)")));
    QCOMPARE(m_chooser.m_pOwner, &form);
    // Cancelled: nothing written.
    QCOMPARE(form.m_nWrites, 0);
}

void TestFormView::chosenNameGetsExtension_data()
{
    QTest::addColumn<QString>("strAnswer");
    QTest::addColumn<QString>("strWritten");
    QTest::newRow("no extension") << "report" << "report.csv";
    QTest::newRow("csv kept") << "report.csv" << "report.csv";
    QTest::newRow("other extension kept") << "report.txt" << "report.txt";
}

void TestFormView::chosenNameGetsExtension()
{
    QFETCH(QString, strAnswer);
    QFETCH(QString, strWritten);
    QString strPath = m_pDir->filePath(QStringLiteral("proposed.csv"));
    m_chooser.m_strAnswer = m_pDir->filePath(strAnswer);
    QVERIFY(CZembraFormView::ChooseExportFile(strPath, QStringLiteral("csv"), nullptr));
    QCOMPARE(strPath, m_pDir->filePath(strWritten));
    QCOMPARE(m_chooser.m_arrProposed, QStringList{m_pDir->filePath(QStringLiteral("proposed.csv"))});
}

void TestFormView::exportWrittenAndOpened()
{
    TestForm form(true);
    QVERIFY(form.Create());
    const QString strPath = m_pDir->filePath(QStringLiteral("tables.csv"));
    m_chooser.m_strAnswer = strPath;
    QCOMPARE(ClickExport(form), QStringList());
    QCOMPARE(form.m_nPrepared, 1);
    QCOMPARE(form.m_nWrites, 1);
    QCOMPARE(ReadTestFile(strPath), QByteArray("F0101;\xe9\r\n"));
    QCOMPARE(m_arrStarted, QStringList{CShellOpener::BuildCommandLine(CShellOpener().GetOpenCommand(".csv"), strPath)});
    // Nothing else beside it.
    QCOMPARE(FolderEntries(m_pDir->path()), (QStringList{QStringLiteral("home.dir"), QStringLiteral("tables.csv")}));
}

void TestFormView::cancelledChoiceWritesNothing()
{
    TestForm form(true);
    QVERIFY(form.Create());
    QCOMPARE(ClickExport(form), QStringList());
    QCOMPARE(m_chooser.m_arrProposed.size(), 1);
    QCOMPARE(form.m_nWrites, 0);
    QVERIFY(m_arrStarted.isEmpty());
    QCOMPARE(FolderEntries(m_strHome), QStringList());
}

void TestFormView::refusedPreparationAsksNothing()
{
    TestForm form(true);
    QVERIFY(form.Create());
    form.m_bPrepare = false;
    m_chooser.m_strAnswer = m_pDir->filePath(QStringLiteral("tables.csv"));
    QCOMPARE(ClickExport(form), QStringList());
    QCOMPARE(form.m_nPrepared, 1);
    QVERIFY(m_chooser.m_arrProposed.isEmpty());
    QCOMPARE(form.m_nWrites, 0);
    QVERIFY(m_arrStarted.isEmpty());
    QVERIFY(!QFileInfo::exists(m_chooser.m_strAnswer));
}

void TestFormView::incompleteExportOpensNothing_data()
{
    QTest::addColumn<bool>("bPrevious");
    QTest::newRow("new file") << false;
    QTest::newRow("replacing a file") << true;
}

void TestFormView::incompleteExportOpensNothing()
{
    QFETCH(bool, bPrevious);
    TestForm form(true);
    QVERIFY(form.Create());
    form.m_bComplete = false;
    const QString strPath = m_pDir->filePath(QStringLiteral("tables.csv"));
    if (bPrevious)
        QVERIFY(WriteTestFile(strPath, "previous export\r\n"));
    m_chooser.m_strAnswer = strPath;
    QCOMPARE(ClickExport(form), QStringList());
    QCOMPARE(form.m_nWrites, 1);
    QVERIFY(m_arrStarted.isEmpty());
    // No partial export, and a previous file is left as it was.
    if (bPrevious)
        QCOMPARE(ReadTestFile(strPath), QByteArray("previous export\r\n"));
    else
        QVERIFY(!QFileInfo::exists(strPath));
    QCOMPARE(FolderEntries(m_pDir->path()).size(), bPrevious ? 2 : 1);
}

void TestFormView::fileThatCannotBeOpened_data()
{
    QTest::addColumn<QString>("strLanguage");
    QTest::addColumn<QString>("strWhere");   // "folder": the path is a folder; "missing": in a missing folder
    QTest::newRow("French, a folder") << "FRA" << "folder";
    QTest::newRow("English, a folder") << "ENU" << "folder";
    QTest::newRow("French, missing folder") << "FRA" << "missing";
}

void TestFormView::fileThatCannotBeOpened()
{
    QFETCH(QString, strLanguage);
    QFETCH(QString, strWhere);
    SetInterfaceLanguage(strLanguage, QString());
    TestForm form(true);
    QVERIFY(form.Create());
    QString strPath = m_pDir->filePath(QStringLiteral("taken.csv"));
    if (strWhere == u"folder")
        QVERIFY(QDir().mkpath(strPath));
    else
        strPath = m_pDir->filePath(QStringLiteral("missing/taken.csv"));
    m_chooser.m_strAnswer = strPath;
    const QStringList arrMessages = ClickExport(form);
    QCOMPARE(arrMessages.size(), 1);
    const QString strExpected = FormatLangString(StringId::CannotWriteFile, {QDir::toNativeSeparators(strPath)});
    QVERIFY(strExpected.contains(strLanguage == u"FRA" ? QStringLiteral("Impossible d'écrire")
                                                       : QStringLiteral("Unable to write")));
    QVERIFY2(arrMessages[0].startsWith(strExpected + u'\n'), qPrintable(arrMessages[0]));
    // The system's reason follows.
    const QString strReason = arrMessages[0].mid(strExpected.size() + 1);
    QVERIFY(!strReason.trimmed().isEmpty());
    if (strWhere == u"missing")
        QCOMPARE(strReason, qt_error_string(ENOENT));
    QCOMPARE(form.m_nWrites, 0);
    QVERIFY(m_arrStarted.isEmpty());
}

void TestFormView::writeFailureShowsReasonAndLeavesNoFile()
{
    TestForm form(true);
    QVERIFY(form.Create());
    form.m_nLines = 2000;
    form.m_strLine = QString(60, u'x');
    const QString strPath = m_pDir->filePath(QStringLiteral("tables.csv"));
    QVERIFY(WriteTestFile(strPath, "previous export\r\n"));
    m_chooser.m_strAnswer = strPath;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QStringList arrMessages;
    {
        kvtest::FileSizeLimit limit(8192);
        QVERIFY(limit.IsSet());
        arrMessages = ClickExport(form);
    }
    QCOMPARE(arrMessages, QStringList{FormatLangString(StringId::CannotWriteFileReason,
                                                       {QDir::toNativeSeparators(strPath), qt_error_string(EFBIG)})});
    QCOMPARE(form.m_nWrites, 1);
    QVERIFY(m_arrStarted.isEmpty());
    QCOMPARE(ReadTestFile(strPath), QByteArray("previous export\r\n"));
    QCOMPARE(FolderEntries(m_pDir->path()), (QStringList{QStringLiteral("home.dir"), QStringLiteral("tables.csv")}));
}

void TestFormView::saveDialogAsksBeforeReplacing_data()
{
    QTest::addColumn<bool>("bReplace");
    QTest::newRow("replace refused") << false;
    QTest::newRow("replace accepted") << true;
}

void TestFormView::saveDialogAsksBeforeReplacing()
{
    QFETCH(bool, bReplace);
    CExportFileChooser::SetCurrent(nullptr);
    const QString strExisting = m_pDir->filePath(QStringLiteral("report.csv"));
    QVERIFY(WriteTestFile(strExisting, "old"));

    QWidget owner;
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    ModalDriver driver;
    QString strQuestion;
    QStringList arrFilters;
    QString strProposedName;
    // The name typed without its extension is the existing file's.
    driver.Add([&](QWidget* pModal) {
        auto* pDialog = qobject_cast<QFileDialog*>(pModal);
        auto* pEdit = pDialog ? pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (pEdit == nullptr || !pEdit->isVisible())
            return false;
        arrFilters = pDialog->nameFilters();
        strProposedName = pEdit->text();
        pEdit->clear();
        QTest::keyClicks(pEdit, QStringLiteral("report"));
        QTest::keyClick(pEdit, Qt::Key_Return);
        return true;
    });
    driver.Add([&](QWidget* pModal) {
        auto* pBox = qobject_cast<QMessageBox*>(pModal);
        if (pBox == nullptr)
            return false;
        strQuestion = pBox->text();
        QTest::mouseClick(pBox->button(bReplace ? QMessageBox::Yes : QMessageBox::No), Qt::LeftButton);
        return true;
    });
    if (!bReplace) {
        driver.Add([](QWidget* pModal) {
            auto* pDialog = qobject_cast<QFileDialog*>(pModal);
            if (pDialog == nullptr)
                return false;
            QTest::keyClick(pDialog, Qt::Key_Escape);
            return true;
        });
    }
    QString strPath = m_pDir->filePath(QStringLiteral("F0101_2019-05.csv"));
    const bool bChosen = CZembraFormView::ChooseExportFile(strPath, QStringLiteral("csv"), &owner);
    QVERIFY(driver.Done());
    QCOMPARE(strProposedName, QStringLiteral("F0101_2019-05.csv"));
    QCOMPARE(arrFilters, QStringList{LoadLangString(StringId::FilterCsv)});
    QVERIFY2(strQuestion.contains(QStringLiteral("report.csv")), qPrintable(strQuestion));
    QCOMPARE(bChosen, bReplace);
    if (bReplace)
        QCOMPARE(QFileInfo(strPath).absoluteFilePath(), QFileInfo(strExisting).absoluteFilePath());
    QCOMPARE(ReadTestFile(strExisting), QByteArray("old"));
}

void TestFormView::accessibleNames()
{
    TestForm form(true);
    QVERIFY(form.Create());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QAccessibleInterface* pExport = QAccessible::queryAccessibleInterface(form.ExportButton());
    QVERIFY(pExport != nullptr);
    QCOMPARE(pExport->text(QAccessible::Name), QStringLiteral("Exporter vers un fichier..."));
    QAccessibleInterface* pLogo = QAccessible::queryAccessibleInterface(form.GetLogo());
    QVERIFY(pLogo != nullptr);
    QCOMPARE(pLogo->text(QAccessible::Name), MakerWebAddress());
    QCOMPARE(pLogo->role(), QAccessible::Button);
}

QTEST_MAIN(TestFormView)
#include "tst_formview.moc"
