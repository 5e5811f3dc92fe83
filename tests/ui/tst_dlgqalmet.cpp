// The decimal-places update dialog, opened from the main dialog over real
// JDE databases, and its result-file group.

#include "app/dlgmain.h"
#include "app/language.h"
#include "app/qalmetapp.h"
#include "app/resultfilenames.h"
#include "app/schemalistctrl.h"
#include "controls/decimaledit.h"
#include "controls/updownctrl.h"
#include "controls/windowfunctions.h"
#include "res/dialogtemplates.h"
#include "res/resourceimages.h"
#include "tests/app/privatesettings.h"
#include "tests/app/recordingopener.h"
#include "tests/compare/filesizelimit.h"
#include "tests/ui/tooldialogsupport.h"
#include "views/dlgqalmet.h"
#include "views/resultfilegroup.h"

#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

using namespace tooltest;
using kvtest::Engine;
Q_DECLARE_METATYPE(kvtest::Engine)

class TestDlgQalmet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void runFromMainDialogMatchesCli_data();
    void runFromMainDialogMatchesCli();
    void powerFieldKeys_data();
    void powerFieldKeys();
    void powerFieldRefusesEveryPaste();
    void generateRefusesAnInvalidPower();
    void upDownStaysInRange();
    void generateButtonRule_data();
    void generateButtonRule();
    void classModeNeedsTheDictionary_data();
    void classModeNeedsTheDictionary();
    void noSchemaTicked();
    void unusableResultPath_data();
    void unusableResultPath();
    void lostLineStopsTheRun();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void resultButtonsFollowThePath_data();
    void resultButtonsFollowThePath();
    void defaultFileNameFromDataSource();
    void folderStoredOnCloseOnly_data();
    void folderStoredOnCloseOnly();
    void selectChoosesAFile_data();
    void selectChoosesAFile();
    void enterDoesNothingAndEveryControlIsNamed();

private:
    std::unique_ptr<PrivateSettings> m_pSettings;
};

namespace {

// A dialog of its own, shown, with the app's tools database named DEV.
struct ShownDialog
{
    explicit ShownDialog(bool bClassMode = true) : dlg(bClassMode, nullptr)
    {
        app.GetDatabase(DB_TOOLS)->m_strDSN = QStringLiteral("DEV");
    }
    bool Show()
    {
        if (!dlg.Create())
            return false;
        dlg.show();
        return QTest::qWaitForWindowExposed(&dlg);
    }
    CQalmetApp app;
    CDlgQalmet dlg;
};

}  // namespace

void TestDlgQalmet::initTestCase()
{
    m_pSettings = std::make_unique<PrivateSettings>();
    CreateSharedImageList();
}

void TestDlgQalmet::init()
{
    m_pSettings->Reset();
    SetInterfaceLanguage(QStringLiteral("ENG"), QString());
}

void TestDlgQalmet::runFromMainDialogMatchesCli_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("strLanguage");
    QTest::addColumn<bool>("bByAlias");
    QTest::addColumn<QString>("strName");
    QTest::addColumn<bool>("bMultiply");
    QTest::addColumn<QString>("strPower");
    QTest::newRow("PostgreSQL, alias, multiply, English") << Engine::PostgreSQL << "ENG" << true << "UPRC" << true << "3";
    QTest::newRow("MariaDB, class, divide, French") << Engine::MariaDB << "FRA" << false << "AMOUNT" << false << "2";
}

// From the main dialog to an opened result file, with a schema unticked:
// the file is the one kitvane-cli writes for the same options, byte for byte.
void TestDlgQalmet::runFromMainDialogMatchesCli()
{
    QFETCH(Engine, engine);
    QFETCH(QString, strLanguage);
    QFETCH(bool, bByAlias);
    QFETCH(QString, strName);
    QFETCH(bool, bMultiply);
    QFETCH(QString, strPower);
    KV_JDE_BED(pBed, engine, kvtest::JdeOptions());
    SetInterfaceLanguage(strLanguage, QString());
    ConnectedMain desk;
    QVERIFY(desk.Connect(pBed->pDatabase->Dsn()));
    CSchemaListCtrl* pList = desk.main.m_wndSchemaList;
    const int nUnticked = pList->count() - 1;
    QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, pList->TickRect(nUnticked).center());
    QStringList arrSchemaArgs;
    for (int nRow = 0; nRow < pList->count(); ++nRow) {
        if (desk.app.GetDatabase(DB_TOOLS)->IsSchemaSelected(pList->GetSchemaKey(nRow)))
            arrSchemaArgs << QStringLiteral("--schema") << pList->GetSchemaKey(nRow);
    }
    QCOMPARE(arrSchemaArgs.size(), 2 * (pList->count() - 1));

    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("from dialog.txt"));
    ModalScript script;
    bool bRan = false;
    WhenShown<CDlgQalmet>([&](CDlgQalmet& dlg) {
        QVERIFY(dlg.m_bClassMode);
        Click(&dlg, bByAlias ? IDC_MODE_ALIAS : IDC_MODE_CLASS);
        TypeInto(bByAlias ? dlg.m_editAlias : dlg.m_editClass, strName);
        if (!bMultiply)
            Click(&dlg, IDC_DIVIDE);
        TypeInto(dlg.m_editPower, strPower);
        TypeInto(Edit(&dlg, IDC_RESULT_PATH), strPath);
        QVERIFY(Button(&dlg, IDC_GENERATE)->isEnabled());
        QVERIFY(!Button(&dlg, IDC_RESULT_OPEN)->isEnabled());
        Click(&dlg, IDC_GENERATE);
        QCOMPARE(script.m_nWaitShown, 1);
        QVERIFY2(script.m_arrBoxTexts.isEmpty(), qPrintable(script.m_arrBoxTexts.join(u'|')));
        // The run made the file: Open and Delete follow at once.
        QVERIFY(Button(&dlg, IDC_RESULT_OPEN)->isEnabled());
        QVERIFY(Button(&dlg, IDC_RESULT_DELETE)->isEnabled());
        QVERIFY(dlg.isVisible());
    }, bRan);
    QTest::mouseClick(desk.main.GetDlgItem(IDC_DECIMAL_UPDATE), Qt::LeftButton);
    QVERIFY(bRan);
    QCOMPARE(desk.arrStarted.size(), 1);
    QVERIFY2(desk.arrStarted.first().contains(strPath), qPrintable(desk.arrStarted.first()));

    const QString strCliPath = dir.filePath(QStringLiteral("from cli.txt"));
    QString strErr;
    const QStringList arrArgs = QStringList{"decimal-update", "--dsn", pBed->pDatabase->Dsn(), "--output", strCliPath,
                                            "--lang", strLanguage == "FRA" ? "fr" : "en",
                                            bByAlias ? "--alias" : "--class", strName,
                                            bMultiply ? "--multiply" : "--divide", "--power", strPower}
                                + arrSchemaArgs;
    QCOMPARE(RunCli(arrArgs, &strErr), 0);
    const QByteArray written = ReadFile(strPath);
    QVERIFY(written.size() > 2);
    QCOMPARE(written, ReadFile(strCliPath));
}

void TestDlgQalmet::powerFieldKeys_data()
{
    QTest::addColumn<QString>("strStart");
    QTest::addColumn<bool>("bSelectAll");    // the text selected with Shift+Home first
    QTest::addColumn<int>("nKey");
    QTest::addColumn<QString>("strExpected");
    QTest::addColumn<bool>("bBeep");
    QTest::newRow("0 over the selected digit") << "1" << true << int(Qt::Key_0) << "1" << true;
    QTest::newRow("a second digit") << "1" << false << int(Qt::Key_2) << "1" << true;
    QTest::newRow("a letter") << "1" << true << int(Qt::Key_X) << "1" << true;
    QTest::newRow("selected digit replaced") << "1" << true << int(Qt::Key_7) << "7" << false;
    QTest::newRow("9 into the empty field") << "" << false << int(Qt::Key_9) << "9" << false;
    QTest::newRow("0 into the empty field") << "" << false << int(Qt::Key_0) << "" << true;
    QTest::newRow("backspace empties") << "4" << false << int(Qt::Key_Backspace) << "" << false;
    QTest::newRow("backspace on the empty field") << "" << false << int(Qt::Key_Backspace) << "" << false;
}

void TestDlgQalmet::powerFieldKeys()
{
    QFETCH(QString, strStart);
    QFETCH(bool, bSelectAll);
    QFETCH(int, nKey);
    QFETCH(QString, strExpected);
    QFETCH(bool, bBeep);
    ShownDialog shown;
    QVERIFY(shown.Show());
    CDecimalEdit* pPower = shown.dlg.m_editPower;
    QCOMPARE(pPower->text(), QStringLiteral("1"));
    TypeInto(pPower, strStart);
    QCOMPARE(pPower->text(), strStart);
    QTest::keyClick(pPower, Qt::Key_End);
    if (bSelectAll)
        QTest::keyClick(pPower, Qt::Key_Home, Qt::ShiftModifier);
    const int nBeeps = BeepCount();
    QTest::keyClick(pPower, Qt::Key(nKey));
    QCOMPARE(pPower->text(), strExpected);
    QCOMPARE(BeepCount() - nBeeps, bBeep ? 1 : 0);
}

// Ctrl+V, Shift+Insert, the context menu and a drop: no way of pasting.
void TestDlgQalmet::powerFieldRefusesEveryPaste()
{
    ShownDialog shown;
    QVERIFY(shown.Show());
    CDecimalEdit* pPower = shown.dlg.m_editPower;
    QApplication::clipboard()->setText(QStringLiteral("5"));
    TypeInto(pPower, QString());
    for (const QKeyCombination keys : {Qt::ControlModifier | Qt::Key_V, Qt::ShiftModifier | Qt::Key_Insert}) {
        const int nBeeps = BeepCount();
        QTest::keyClick(pPower, keys.key(), keys.keyboardModifiers());
        QCOMPARE(pPower->text(), QString());
        QCOMPARE(BeepCount() - nBeeps, 1);
    }
    bool bMenuSeen = false;
    QTimer::singleShot(50, [&] {
        auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(pMenu != nullptr);
        bMenuSeen = true;
        for (QAction* pAction : pMenu->actions()) {
            if (pAction->objectName() == QLatin1String("edit-paste"))
                QVERIFY(!pAction->isEnabled());
        }
        pMenu->close();
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(2, 2), pPower->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(pPower, &menuEvent);
    QTRY_VERIFY(bMenuSeen);
    QCOMPARE(pPower->text(), QString());
    QVERIFY(!pPower->acceptDrops());
}

// Whatever got into the field (set by a program, say), Generate runs only
// with a power of 1 to 9.
void TestDlgQalmet::generateRefusesAnInvalidPower()
{
    ShownDialog shown;
    QVERIFY(shown.Show());
    CDlgQalmet& dlg = shown.dlg;
    QTemporaryDir dir;
    TypeInto(dlg.m_editAlias, QStringLiteral("UPRC"));
    TypeInto(Edit(&dlg, IDC_RESULT_PATH), dir.filePath(QStringLiteral("x.txt")));
    for (const QString& strPower : {QStringLiteral("0"), QStringLiteral("12"), QStringLiteral("x")}) {
        dlg.m_editPower->setText(strPower);
        QVERIFY(Button(&dlg, IDC_GENERATE)->isEnabled());
        ModalScript script;
        const int nBeeps = BeepCount();
        Click(&dlg, IDC_GENERATE);
        QCOMPARE(BeepCount() - nBeeps, 1);
        QCOMPARE(script.m_nWaitShown, 0);
        QVERIFY(script.m_arrBoxTexts.isEmpty());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x.txt"))));
    }
}

void TestDlgQalmet::upDownStaysInRange()
{
    ShownDialog shown;
    QVERIFY(shown.Show());
    CDecimalEdit* pPower = shown.dlg.m_editPower;
    CUpDownCtrl* pSpin = shown.dlg.m_spinPower;
    for (int i = 0; i < 12; ++i)
        QTest::mouseClick(pSpin->UpButton(), Qt::LeftButton);
    QCOMPARE(pPower->text(), QStringLiteral("9"));
    QTest::mouseClick(pSpin->DownButton(), Qt::LeftButton);
    QCOMPARE(pPower->text(), QStringLiteral("8"));
    for (int i = 0; i < 12; ++i)
        QTest::keyClick(pPower, Qt::Key_Down);
    QCOMPARE(pPower->text(), QStringLiteral("1"));
    QTest::keyClick(pPower, Qt::Key_Up);
    QCOMPARE(pPower->text(), QStringLiteral("2"));
    // From an empty field the arrows step from the last position.
    TypeInto(pPower, QString());
    QTest::mouseClick(pSpin->UpButton(), Qt::LeftButton);
    QCOMPARE(pPower->text(), QStringLiteral("3"));
}

void TestDlgQalmet::generateButtonRule_data()
{
    QTest::addColumn<int>("nMode");   // radio clicked
    QTest::addColumn<QString>("strAlias");
    QTest::addColumn<QString>("strClass");
    QTest::addColumn<QString>("strPower");
    QTest::addColumn<QString>("strPath");
    QTest::addColumn<bool>("bEnabled");
    QTest::newRow("alias mode, all set") << int(IDC_MODE_ALIAS) << "UPRC" << "" << "2" << "r.txt" << true;
    QTest::newRow("empty power") << int(IDC_MODE_ALIAS) << "UPRC" << "" << "" << "r.txt" << false;
    QTest::newRow("blank alias") << int(IDC_MODE_ALIAS) << "   " << "AMOUNT" << "2" << "r.txt" << false;
    QTest::newRow("empty path") << int(IDC_MODE_ALIAS) << "UPRC" << "" << "2" << "" << false;
    QTest::newRow("blank path") << int(IDC_MODE_ALIAS) << "UPRC" << "" << "2" << "  " << false;
    QTest::newRow("class mode, empty class, alias typed") << int(IDC_MODE_CLASS) << "UPRC" << "" << "2" << "r.txt"
                                                          << false;
    QTest::newRow("class mode, all set") << int(IDC_MODE_CLASS) << "" << "AMOUNT" << "9" << "r.txt" << true;
}

void TestDlgQalmet::generateButtonRule()
{
    QFETCH(int, nMode);
    QFETCH(QString, strAlias);
    QFETCH(QString, strClass);
    QFETCH(QString, strPower);
    QFETCH(QString, strPath);
    QFETCH(bool, bEnabled);
    ShownDialog shown;
    QVERIFY(shown.Show());
    CDlgQalmet& dlg = shown.dlg;
    // The default path and power, without a name: disabled.
    QVERIFY(!Edit(&dlg, IDC_RESULT_PATH)->text().isEmpty());
    QVERIFY(!Button(&dlg, IDC_GENERATE)->isEnabled());
    TypeInto(dlg.m_editAlias, strAlias);
    Click(&dlg, IDC_MODE_CLASS);
    QVERIFY(dlg.m_editClass->isVisible());
    QVERIFY(!dlg.m_editAlias->isVisible());
    TypeInto(dlg.m_editClass, strClass);
    Click(&dlg, nMode);
    QCOMPARE(dlg.m_editAlias->isVisible(), nMode == IDC_MODE_ALIAS);
    QCOMPARE(dlg.m_editClass->isVisible(), nMode == IDC_MODE_CLASS);
    TypeInto(dlg.m_editPower, strPower);
    TypeInto(Edit(&dlg, IDC_RESULT_PATH), strPath);
    QCOMPARE(Button(&dlg, IDC_GENERATE)->isEnabled(), bEnabled);
}

void TestDlgQalmet::classModeNeedsTheDictionary_data()
{
    QTest::addColumn<int>("nDictionary");
    QTest::addColumn<bool>("bAvailable");
    QTest::newRow("F9210") << int(kvtest::Dictionary::F9210) << true;
    QTest::newRow("no dictionary") << int(kvtest::Dictionary::None) << false;
}

void TestDlgQalmet::classModeNeedsTheDictionary()
{
    QFETCH(int, nDictionary);
    QFETCH(bool, bAvailable);
    kvtest::JdeOptions options;
    options.dictionary = kvtest::Dictionary(nDictionary);
    KV_JDE_BED(pBed, Engine::PostgreSQL, options);
    ConnectedMain desk;
    QVERIFY(desk.Connect(pBed->pDatabase->Dsn()));
    bool bRan = false;
    WhenShown<CDlgQalmet>([&](CDlgQalmet& dlg) {
        QCOMPARE(dlg.m_bClassMode, bAvailable);
        QCOMPARE(Button(&dlg, IDC_MODE_CLASS)->isEnabled(), bAvailable);
        QCOMPARE(dlg.GetDlgItem(IDC_CLASS_NOTICE)->isVisible(), !bAvailable);
        QCOMPARE(qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_CLASS_NOTICE))->text(),
                 QStringLiteral("Unable to access file F9210.\nUpdate based on class is so not available."));
        // A click on the disabled radio leaves the alias mode.
        Click(&dlg, IDC_MODE_CLASS);
        QCOMPARE(dlg.m_editClass->isVisible(), bAvailable);
        QCOMPARE(dlg.m_editAlias->isVisible(), !bAvailable);
        // The controls below move up by half the notice when it is hidden,
        // down by half a radio button when it is shown.
        const int nShift = bAvailable ? -dlg.GetDlgItem(IDC_CLASS_NOTICE)->height() / 2
                                      : dlg.GetDlgItem(IDC_MODE_CLASS)->height() / 2;
        for (const ControlTemplate& control : dlg.Builder()->Template().controls) {
            if (control.nId == IDC_RESULT_LABEL || control.nId == IDC_RESULT_PATH || control.nId == IDC_RESULT_DELETE) {
                const QRect placed = dlg.Builder()->MapDialogRect(QRect(control.x, control.y, control.cx, control.cy));
                QCOMPARE(dlg.GetDlgItem(control.nId)->y(), placed.y() + nShift);
            }
        }
        // The result group sits below what is shown above it, the separator between.
        const QWidget* pAbove = dlg.GetDlgItem(bAvailable ? IDC_CLASS : IDC_CLASS_NOTICE);
        const QWidget* pLabel = dlg.GetDlgItem(IDC_RESULT_LABEL);
        QVERIFY(pLabel->y() > pAbove->geometry().bottom());
        QCOMPARE(dlg.SeparatorY(), (pAbove->geometry().bottom() + 1 + pLabel->y()) / 2);
        QCOMPARE(dlg.SeparatorX(),
                 (dlg.m_editAlias->geometry().right() + 1 + dlg.GetDlgItem(IDC_MULTIPLY)->x()) / 2);
        const QImage picture = dlg.grab().toImage();
        QCOMPARE(QColor(picture.pixel(dlg.width() / 2, dlg.SeparatorY())), QColor(231, 75, 20));
        QCOMPARE(QColor(picture.pixel(dlg.SeparatorX(), 12)), QColor(231, 75, 20));
    }, bRan);
    QTest::mouseClick(desk.main.GetDlgItem(IDC_DECIMAL_UPDATE), Qt::LeftButton);
    QVERIFY(bRan);
}

void TestDlgQalmet::noSchemaTicked()
{
    KV_JDE_BED(pBed, Engine::PostgreSQL, kvtest::JdeOptions());
    ConnectedMain desk;
    QVERIFY(desk.Connect(pBed->pDatabase->Dsn()));
    CSchemaListCtrl* pList = desk.main.m_wndSchemaList;
    for (int nRow = 0; nRow < pList->count(); ++nRow)
        QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, pList->TickRect(nRow).center());
    QVERIFY(!desk.app.GetDatabase(DB_TOOLS)->HasSelectedSchema());
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("none.txt"));
    ModalScript script;
    bool bRan = false;
    WhenShown<CDlgQalmet>([&](CDlgQalmet& dlg) {
        TypeInto(dlg.m_editAlias, QStringLiteral("UPRC"));
        TypeInto(Edit(&dlg, IDC_RESULT_PATH), strPath);
        Click(&dlg, IDC_GENERATE);
        QCOMPARE(script.m_arrBoxTexts, QStringList{QStringLiteral("Please select at least one schema.")});
        QCOMPARE(script.m_arrBoxButtons.first(), QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(script.m_nWaitShown, 0);
        QVERIFY(dlg.isVisible());
    }, bRan);
    QTest::mouseClick(desk.main.GetDlgItem(IDC_DECIMAL_UPDATE), Qt::LeftButton);
    QVERIFY(bRan);
    QVERIFY(!QFile::exists(strPath));
}

void TestDlgQalmet::unusableResultPath_data()
{
    QTest::addColumn<QString>("strPath");   // below the test folder
    QTest::addColumn<QString>("strReason");
    QTest::newRow("a folder") << "folder" << qt_error_string(EISDIR);
    QTest::newRow("in a missing folder") << "gone/result.txt" << qt_error_string(ENOENT);
}

// A path that cannot be a file stops before the run, with the reason; the
// dialog keeps what was typed.
void TestDlgQalmet::unusableResultPath()
{
    QFETCH(QString, strPath);
    QFETCH(QString, strReason);
    KV_JDE_BED(pBed, Engine::PostgreSQL, kvtest::JdeOptions());
    ConnectedMain desk;
    QVERIFY(desk.Connect(pBed->pDatabase->Dsn()));
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder")));
    const QString strFull = dir.filePath(strPath);
    ModalScript script;
    bool bRan = false;
    WhenShown<CDlgQalmet>([&](CDlgQalmet& dlg) {
        TypeInto(dlg.m_editAlias, QStringLiteral("UPRC"));
        TypeInto(Edit(&dlg, IDC_RESULT_PATH), strFull);
        Click(&dlg, IDC_GENERATE);
        QCOMPARE(script.m_nWaitShown, 0);
        QCOMPARE(script.m_arrBoxTexts, QStringList{QStringLiteral("Unable to open file %1: %2.").arg(strFull, strReason)});
        QVERIFY(dlg.isVisible());
        QCOMPARE(Edit(&dlg, IDC_RESULT_PATH)->text(), strFull);
        QCOMPARE(dlg.m_editAlias->text(), QStringLiteral("UPRC"));
        QVERIFY(!Button(&dlg, IDC_RESULT_OPEN)->isEnabled());
    }, bRan);
    QTest::mouseClick(desk.main.GetDlgItem(IDC_DECIMAL_UPDATE), Qt::LeftButton);
    QVERIFY(bRan);
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir());
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("gone"))));
}

// A line that cannot be written stops the run with the system's reason,
// shown over the dialogs; the incomplete file is not opened.
void TestDlgQalmet::lostLineStopsTheRun()
{
    KV_JDE_BED(pBed, Engine::PostgreSQL, kvtest::JdeOptions());
    ConnectedMain desk;
    QVERIFY(desk.Connect(pBed->pDatabase->Dsn()));
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("cut.txt"));
    ModalScript script;
    bool bRan = false;
    WhenShown<CDlgQalmet>([&](CDlgQalmet& dlg) {
        Click(&dlg, IDC_MODE_CLASS);
        TypeInto(dlg.m_editClass, QStringLiteral("AMOUNT"));
        TypeInto(Edit(&dlg, IDC_RESULT_PATH), strPath);
        kvtest::FileSizeLimit limit(200);
        QVERIFY(limit.IsSet());
        Click(&dlg, IDC_GENERATE);
        QCOMPARE(script.m_nWaitShown, 1);
        QCOMPARE(script.m_arrBoxTexts.size(), 1);
        QVERIFY2(script.m_arrBoxTexts.first().startsWith(
                     QStringLiteral("Unable to write in file '%1': %2.").arg(strPath, qt_error_string(EFBIG))),
                 qPrintable(script.m_arrBoxTexts.first()));
        QVERIFY(dlg.isVisible());
    }, bRan);
    QTest::mouseClick(desk.main.GetDlgItem(IDC_DECIMAL_UPDATE), Qt::LeftButton);
    QVERIFY(bRan);
    QVERIFY(desk.arrStarted.isEmpty());
}

void TestDlgQalmet::deleteAsksFirst_data()
{
    QTest::addColumn<int>("nAnswer");
    QTest::addColumn<bool>("bDeleted");
    QTest::newRow("Yes") << int(QMessageBox::Yes) << true;
    QTest::newRow("No") << int(QMessageBox::No) << false;
    QTest::newRow("Cancel") << int(QMessageBox::Cancel) << false;
}

void TestDlgQalmet::deleteAsksFirst()
{
    QFETCH(int, nAnswer);
    QFETCH(bool, bDeleted);
    SetInterfaceLanguage(QStringLiteral("FRA"), QString());
    ShownDialog shown;
    QVERIFY(shown.Show());
    CDlgQalmet& dlg = shown.dlg;
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("old.txt"));
    QFile file(strPath);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("old") == 3);
    file.close();
    TypeInto(Edit(&dlg, IDC_RESULT_PATH), strPath);
    QVERIFY(Button(&dlg, IDC_RESULT_DELETE)->isEnabled());
    ModalScript script;
    script.m_arrAnswers << QMessageBox::StandardButton(nAnswer);
    Click(&dlg, IDC_RESULT_DELETE);
    QCOMPARE(script.m_arrBoxTexts,
             QStringList{QString::fromUtf8("Voulez-vous vraiment supprimer définitivement le fichier ci-dessous ?\n")
                         + strPath});
    QCOMPARE(script.m_arrBoxButtons.first(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(QFile::exists(strPath), !bDeleted);
    QCOMPARE(Button(&dlg, IDC_RESULT_DELETE)->isEnabled(), !bDeleted);
    QCOMPARE(Button(&dlg, IDC_RESULT_OPEN)->isEnabled(), !bDeleted);
}

void TestDlgQalmet::resultButtonsFollowThePath_data()
{
    QTest::addColumn<QString>("strPath");   // "<dir>" stands for the test folder
    QTest::addColumn<bool>("bEnabled");
    QTest::newRow("existing file") << "<dir>/kept.txt" << true;
    QTest::newRow("existing file, blanks around") << "  <dir>/kept.txt " << true;
    QTest::newRow("missing file") << "<dir>/missing.txt" << false;
    QTest::newRow("folder") << "<dir>" << false;
    QTest::newRow("empty") << "" << false;
}

void TestDlgQalmet::resultButtonsFollowThePath()
{
    QFETCH(QString, strPath);
    QFETCH(bool, bEnabled);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("kept.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QStringList arrStarted;
    ShownDialog shown;
    shown.app.SetShellOpener(std::make_unique<RecordingOpener>(arrStarted));
    QVERIFY(shown.Show());
    CDlgQalmet& dlg = shown.dlg;
    // Focus on Open while it is usable: disabling it hands the focus on.
    TypeInto(Edit(&dlg, IDC_RESULT_PATH), file.fileName());
    Button(&dlg, IDC_RESULT_OPEN)->setFocus();
    QVERIFY(Button(&dlg, IDC_RESULT_OPEN)->hasFocus());
    Edit(&dlg, IDC_RESULT_PATH)->setText(strPath.replace(QStringLiteral("<dir>"), dir.path()));
    QCOMPARE(Button(&dlg, IDC_RESULT_OPEN)->isEnabled(), bEnabled);
    QCOMPARE(Button(&dlg, IDC_RESULT_DELETE)->isEnabled(), bEnabled);
    QVERIFY(Button(&dlg, IDC_RESULT_SELECT)->isEnabled());
    QVERIFY(QApplication::focusWidget() != nullptr && QApplication::focusWidget()->isEnabled());
    if (bEnabled) {
        Click(&dlg, IDC_RESULT_OPEN);
        QCOMPARE(arrStarted.size(), 1);
        QVERIFY(arrStarted.first().contains(file.fileName()));
    }
}

void TestDlgQalmet::defaultFileNameFromDataSource()
{
    CQalmetApp app;
    QTemporaryDir dir;
    app.GetSettings().SaveDefaultDirectory(dir.filePath(QStringLiteral("any.txt")));
    app.GetDatabase(DB_TOOLS)->m_strDSN = QStringLiteral("DEV/ERP 9.1");
    CDlgQalmet dlg(true, nullptr);
    QVERIFY(dlg.Create());
    QCOMPARE(Edit(&dlg, IDC_RESULT_PATH)->text(), dir.filePath(QStringLiteral("DEV_ERP 9_1.txt")));
    QCOMPARE(dlg.m_editPower->text(), QStringLiteral("1"));
    QVERIFY(Button(&dlg, IDC_MODE_ALIAS)->isChecked());
    QVERIFY(Button(&dlg, IDC_MULTIPLY)->isChecked());
}

void TestDlgQalmet::folderStoredOnCloseOnly_data()
{
    QTest::addColumn<bool>("bCloseBox");
    QTest::newRow("close box") << true;
    QTest::newRow("Escape") << false;
}

void TestDlgQalmet::folderStoredOnCloseOnly()
{
    QFETCH(bool, bCloseBox);
    QTemporaryDir dir;
    ShownDialog shown;
    QVERIFY(shown.Show());
    const QString strBefore = shown.app.GetSettings().GetDefaultDirectory();
    TypeInto(Edit(&shown.dlg, IDC_RESULT_PATH), dir.filePath(QStringLiteral("kept.txt")));
    if (bCloseBox)
        shown.dlg.close();
    else
        QTest::keyClick(Edit(&shown.dlg, IDC_RESULT_PATH), Qt::Key_Escape);
    QTRY_VERIFY(!shown.dlg.isVisible());
    const QString strStored = shown.app.GetSettings().GetDefaultDirectory();
    if (bCloseBox)
        QCOMPARE(QDir::cleanPath(strStored), QDir::cleanPath(dir.path()));
    else
        QCOMPARE(strStored, strBefore);
}

void TestDlgQalmet::selectChoosesAFile_data()
{
    QTest::addColumn<QString>("strTyped");
    QTest::addColumn<QString>("strChosen");
    QTest::newRow("name without extension") << "chosen" << "chosen.txt";
    QTest::newRow("name with extension") << "chosen.sql" << "chosen.sql";
}

void TestDlgQalmet::selectChoosesAFile()
{
    QFETCH(QString, strTyped);
    QFETCH(QString, strChosen);
    QTemporaryDir dir;
    ShownDialog shown;
    QVERIFY(shown.Show());
    CDlgQalmet& dlg = shown.dlg;
    TypeInto(Edit(&dlg, IDC_RESULT_PATH), dir.filePath(QStringLiteral("start.txt")));
    ModalScript script;
    QStringList arrFilters;
    QString strInitial;
    bool bNoOverwriteQuestion = false;
    script.onFileDialog = [&](QFileDialog& files) {
        arrFilters = files.nameFilters();
        // An existing file is taken without a question.
        bNoOverwriteQuestion = files.testOption(QFileDialog::DontConfirmOverwrite);
        QCOMPARE(files.acceptMode(), QFileDialog::AcceptSave);
        auto* pName = files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(pName != nullptr);
        strInitial = files.directory().filePath(pName->text());
        ChooseInFileDialog(files, strTyped);
    };
    Click(&dlg, IDC_RESULT_SELECT);
    QCOMPARE(arrFilters, QStringList{QStringLiteral("Text file (*.txt)")});
    QCOMPARE(strInitial, dir.filePath(QStringLiteral("start.txt")));
    QVERIFY(bNoOverwriteQuestion);
    QVERIFY2(script.m_arrBoxTexts.isEmpty(), qPrintable(script.m_arrBoxTexts.join(u'|')));
    QCOMPARE(Edit(&dlg, IDC_RESULT_PATH)->text(), dir.filePath(strChosen));
    QVERIFY(!Button(&dlg, IDC_RESULT_OPEN)->isEnabled());

    // Cancelled, the path stays.
    script.onFileDialog = [](QFileDialog& files) { QTest::keyClick(&files, Qt::Key_Escape); };
    Click(&dlg, IDC_RESULT_SELECT);
    QCOMPARE(Edit(&dlg, IDC_RESULT_PATH)->text(), dir.filePath(strChosen));

    // A path in a folder that is gone starts from the default path.
    TypeInto(Edit(&dlg, IDC_RESULT_PATH), dir.filePath(QStringLiteral("gone/start.txt")));
    script.onFileDialog = [&](QFileDialog& files) {
        auto* pName = files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        strInitial = files.directory().filePath(pName->text());
        QTest::keyClick(&files, Qt::Key_Escape);
    };
    Click(&dlg, IDC_RESULT_SELECT);
    QCOMPARE(strInitial, shown.app.GetDefaultResultPath(DB_TOOLS, RESULT_TEXT));
    QCOMPARE(Edit(&dlg, IDC_RESULT_PATH)->text(), dir.filePath(QStringLiteral("gone/start.txt")));
}

void TestDlgQalmet::enterDoesNothingAndEveryControlIsNamed()
{
    ShownDialog shown;
    QVERIFY(shown.Show());
    CDlgQalmet& dlg = shown.dlg;
    QCOMPARE(dlg.minimumSize(), QSize(534, 286));
    QCOMPARE(dlg.maximumSize(), QSize(800, 500));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("TALVORIN Kitvane"));
    for (const QPushButton* pButton : dlg.findChildren<QPushButton*>()) {
        QVERIFY2(!pButton->autoDefault(), qPrintable(pButton->objectName()));
        QVERIFY2(!pButton->isDefault(), qPrintable(pButton->objectName()));
    }
    for (const QWidget* pControl : dlg.findChildren<QWidget*>()) {
        if (pControl->focusPolicy() == Qt::NoFocus && !qobject_cast<const CUpDownCtrl*>(pControl)
            && !qobject_cast<const QToolButton*>(pControl))
            continue;
        const QString strName = pControl->accessibleName().isEmpty() ? pControl->property("text").toString()
                                                                     : pControl->accessibleName();
        QVERIFY2(!strName.trimmed().isEmpty(), qPrintable(pControl->objectName() + u' '
                                                           + QLatin1String(pControl->metaObject()->className())));
    }
    QCOMPARE(Button(&dlg, IDC_RESULT_SELECT)->accessibleName(), QStringLiteral("Select result file"));
    QVERIFY(!Button(&dlg, IDC_RESULT_SELECT)->icon().isNull());

    QTemporaryDir dir;
    TypeInto(dlg.m_editAlias, QStringLiteral("UPRC"));
    TypeInto(Edit(&dlg, IDC_RESULT_PATH), dir.filePath(QStringLiteral("enter.txt")));
    ModalScript script;
    for (QWidget* pFocus : {static_cast<QWidget*>(dlg.m_editAlias), static_cast<QWidget*>(dlg.m_editPower),
                            static_cast<QWidget*>(Edit(&dlg, IDC_RESULT_PATH))}) {
        QTest::keyClick(pFocus, Qt::Key_Return);
        QVERIFY(dlg.isVisible());
    }
    QCOMPARE(script.m_nWaitShown, 0);
    QVERIFY(script.m_arrBoxTexts.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("enter.txt"))));
}

QTEST_MAIN(TestDlgQalmet)
#include "tst_dlgqalmet.moc"
