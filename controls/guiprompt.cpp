#include "controls/guiprompt.h"

#include "app/language.h"
#include "controls/callonthreadof.h"
#include "res/stringids.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace {

CPrompt::Answer ShowOnInterfaceThread(const QString& strText, CPrompt::Buttons buttons)
{
    QMessageBox box(QApplication::activeModalWidget());
    box.setWindowTitle(LoadLangString(StringId::ProductName));
    box.setText(strText);
    if (buttons == CPrompt::YesNoCancel) {
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return CPrompt::AnswerYes;
    case QMessageBox::No:
        return CPrompt::AnswerNo;
    case QMessageBox::Cancel:
        return buttons == CPrompt::YesNoCancel ? CPrompt::AnswerCancel : CPrompt::AnswerOk;
    default:
        return buttons == CPrompt::YesNoCancel ? CPrompt::AnswerCancel : CPrompt::AnswerOk;
    }
}

}  // namespace

CPrompt::Answer CGuiPrompt::ShowMessage(const QString& strText, Buttons buttons)
{
    QCoreApplication* pApp = QCoreApplication::instance();
    if (pApp == nullptr || QThread::currentThread() == pApp->thread())
        return ShowOnInterfaceThread(strText, buttons);
    // Widgets live on the interface thread only: the worker waits there.
    Answer answer = buttons == YesNoCancel ? AnswerCancel : AnswerOk;
    CallOnThreadOf(pApp, [&] { answer = ShowOnInterfaceThread(strText, buttons); });
    return answer;
}
