#pragma once

// What the tests of the tool dialogs share: a main dialog connected to a
// JDE test bed through its own Connect button, the modal windows answered
// by script, and kitvane-cli run on the same data source for comparison.

#include "app/dlgmain.h"
#include "app/qalmetapp.h"
#include "app/schemalistctrl.h"
#include "controls/dialogbuilder.h"
#include "db/dbdata.h"
#include "tests/app/recordingopener.h"
#include "tests/fixtures/jdefixture.h"
#include "tests/support/buildpath.h"
#include "tests/support/testodbcenv.h"
#include "tools/dlgwait.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace tooltest {

inline QAbstractButton* Button(const QWidget* pDialog, int nId)
{
    return qobject_cast<QAbstractButton*>(CDialogBuilder::FindControl(pDialog, nId));
}

inline QLineEdit* Edit(const QWidget* pDialog, int nId)
{
    return qobject_cast<QLineEdit*>(CDialogBuilder::FindControl(pDialog, nId));
}

inline void Click(const QWidget* pDialog, int nId)
{
    QAbstractButton* pButton = Button(pDialog, nId);
    QVERIFY2(pButton != nullptr, qPrintable(QString::number(nId)));
    // A radio button reacts on its circle and text, not on the rest of its rectangle.
    if (qobject_cast<QRadioButton*>(pButton) != nullptr)
        QTest::mouseClick(pButton, Qt::LeftButton, {}, QPoint(6, pButton->height() / 2));
    else
        QTest::mouseClick(pButton, Qt::LeftButton);
}

// Replaces the whole text of an edit as a user does: select it with the
// keyboard, then type.
inline void TypeInto(QLineEdit* pEdit, const QString& strText)
{
    pEdit->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(pEdit, Qt::Key_End);
    QTest::keyClick(pEdit, Qt::Key_Home, Qt::ShiftModifier);
    if (pEdit->hasSelectedText())
        QTest::keyClick(pEdit, Qt::Key_Delete);
    QTest::keyClicks(pEdit, strText);
}

inline QByteArray ReadFile(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing file>");
}

inline QByteArray Utf16(const QString& strText)
{
    return QByteArray(reinterpret_cast<const char*>(strText.utf16()), strText.size() * 2);
}

// Answers the message boxes in turn with the scripted buttons (OK when the
// script is used up), keeping their texts; notes the wait dialogs and lets
// the test act on them; hands the file dialogs to the test.
class ModalScript : public QObject
{
public:
    ModalScript()
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalScript::Poll);
        m_timer.start(5);
    }

    QList<QMessageBox::StandardButton> m_arrAnswers;
    QStringList m_arrBoxTexts;
    QList<QMessageBox::StandardButtons> m_arrBoxButtons;
    int m_nWaitShown = 0;
    std::function<void(CDlgWait&)> onWait;
    std::function<void(QFileDialog&)> onFileDialog;

private:
    void Poll()
    {
        QWidget* pModal = QApplication::activeModalWidget();
        if (auto* pWait = qobject_cast<CDlgWait*>(pModal)) {
            // A dialog seen before is still alive; a new one may reuse an old address.
            const bool bSeen = std::any_of(m_arrSeenWaits.cbegin(), m_arrSeenWaits.cend(),
                                           [pWait](const QPointer<CDlgWait>& pSeen) { return pSeen == pWait; });
            if (!bSeen) {
                m_arrSeenWaits << pWait;
                ++m_nWaitShown;
            }
            if (onWait)
                onWait(*pWait);
        } else if (auto* pBox = qobject_cast<QMessageBox*>(pModal); pBox && pBox->isVisible()) {
            m_arrBoxTexts << pBox->text();
            m_arrBoxButtons << pBox->standardButtons();
            const QMessageBox::StandardButton answer =
                m_arrAnswers.isEmpty() ? QMessageBox::Ok : m_arrAnswers.takeFirst();
            QAbstractButton* pButton = pBox->button(answer);
            if (pButton == nullptr)
                pButton = pBox->defaultButton();
            QTest::mouseClick(pButton, Qt::LeftButton);
        } else if (auto* pFiles = qobject_cast<QFileDialog*>(pModal); pFiles && pFiles->isVisible()) {
            m_timer.stop();
            if (onFileDialog)
                onFileDialog(*pFiles);
            // A body that failed leaves no dialog behind.
            if (pFiles->isVisible())
                pFiles->reject();
            m_timer.start();
        }
    }

    QTimer m_timer;
    QList<QPointer<CDlgWait>> m_arrSeenWaits;
};

// Types a name into the file dialog and presses Enter there. The dialog
// judges a name against the folder it reads in the background: until it
// has read it, a typed name is retyped, as a user would.
inline void ChooseInFileDialog(QFileDialog& files, const QString& strName)
{
    auto* pName = files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* pButtons = files.findChild<QDialogButtonBox*>();
    QVERIFY(pName != nullptr && pButtons != nullptr);
    QAbstractButton* pAccept = pButtons->buttons().value(0);
    for (QAbstractButton* pButton : pButtons->buttons()) {
        if (pButtons->buttonRole(pButton) == QDialogButtonBox::AcceptRole)
            pAccept = pButton;
    }
    for (int nTry = 0; nTry < 50; ++nTry) {
        TypeInto(pName, strName);
        // The completion list of an existing name would take the keys.
        if (QWidget* pPopup = QApplication::activePopupWidget())
            pPopup->hide();
        if (pAccept->isEnabled())
            break;
        QTest::qWait(100);
    }
    QVERIFY(pAccept->isEnabled());
    QTest::keyClick(pName, Qt::Key_Return);
}

// Runs a test body once the given dialog class is the active modal window
// (opened by the click that follows).
template <class Dialog>
void WhenShown(const std::function<void(Dialog&)>& body, bool& bRan)
{
    QTimer::singleShot(0, [body, &bRan] {
        auto* pDlg = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(pDlg != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(pDlg));
        bRan = true;
        body(*pDlg);
        // Whatever the body checked, the dialog ends.
        if (pDlg->isVisible())
            QTest::keyClick(pDlg, Qt::Key_Escape);
    });
}

// The application, with an opener that records the command lines it would
// start, and its main dialog (in the interface language of the moment),
// connected to a data source through its Connect button.
struct ConnectedMain
{
    ConnectedMain() { app.SetShellOpener(std::make_unique<RecordingOpener>(arrStarted)); }
    ~ConnectedMain() { main.EndDialog(2); }

    // True when connected with the schemas listed, every one ticked.
    bool Connect(const QString& strDsn)
    {
        CDBData* pDB = app.GetDatabase(DB_TOOLS);
        pDB->m_strDSN = strDsn;
        if (!main.Create())
            return false;
        main.UpdateControls();
        main.show();
        if (!QTest::qWaitForWindowExposed(&main))
            return false;
        QTest::mouseClick(main.GetDlgItem(IDC_CONNECT), Qt::LeftButton);
        return pDB->IsConnected() && main.m_wndSchemaList->count() >= 2;
    }

    QStringList arrStarted;
    CQalmetApp app;
    CDlgMain main;
};

// kitvane-cli on the private odbc.ini of the test bed, in the test's own
// locale; the exit status, -1 when it did not end normally.
inline int RunCli(const QStringList& arrArgs, QString* pstrErr = nullptr)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString strFolder = kvtest::OdbcEnvironment::Instance().Folder();
    environment.insert(QStringLiteral("ODBCSYSINI"), strFolder);
    environment.insert(QStringLiteral("ODBCINI"), strFolder + QStringLiteral("/odbc-user.ini"));
    process.setProcessEnvironment(environment);
    process.start(kvtest::BuildPath(KITVANE_CLI), arrArgs);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (pstrErr != nullptr)
        *pstrErr = QString::fromUtf8(process.readAllStandardError());
    return process.exitCode();
}

}  // namespace tooltest
