#include "controls/decimaledit.h"

#include "controls/windowfunctions.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QRegularExpressionValidator>

namespace {

constexpr QChar kBackspace(8);
constexpr QChar kTab(9);

}  // namespace

CDecimalEdit::CDecimalEdit(QWidget* pParent)
    : QLineEdit(pParent)
{
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[1-9]?")), this));
    setAcceptDrops(false);
}

bool CDecimalEdit::IsAcceptedText(const QString& strText)
{
    return strText.isEmpty() || (strText.size() == 1 && strText[0] >= u'1' && strText[0] <= u'9');
}

QString CDecimalEdit::TextAfterCharacter(QChar c) const
{
    QString strText = text();
    if (c == kTab)
        return strText;
    const int s = hasSelectedText() ? selectionStart() : cursorPosition();
    const int e = hasSelectedText() ? selectionEnd() : s;
    if (c == kBackspace) {
        if (strText.isEmpty())
            return strText;
        if (s != e)
            return strText.remove(s, e - s);
        return s > 0 ? strText.remove(s - 1, 1) : strText;
    }
    return strText.left(s) + c + strText.mid(e);
}

void CDecimalEdit::keyPressEvent(QKeyEvent* pEvent)
{
    // Shift+Insert pastes as Ctrl+V does.
    if (pEvent->matches(QKeySequence::Paste)) {
        MessageBeep();
        return;
    }
    const int nKey = pEvent->key();
    const bool bPassed = pEvent->matches(QKeySequence::Copy) || pEvent->matches(QKeySequence::Cut)
                         || nKey == Qt::Key_Return || nKey == Qt::Key_Enter || nKey == Qt::Key_Escape;
    // Only the keys that give a character are checked; the others (arrows,
    // Home, Delete) cannot make the text invalid.
    const QString strTyped = nKey == Qt::Key_Backspace ? QString(kBackspace) : pEvent->text();
    if (bPassed || strTyped.isEmpty()) {
        QLineEdit::keyPressEvent(pEvent);
        return;
    }
    if (strTyped.size() != 1 || !IsAcceptedText(TextAfterCharacter(strTyped[0]))) {
        MessageBeep();
        return;
    }
    QLineEdit::keyPressEvent(pEvent);
}

void CDecimalEdit::contextMenuEvent(QContextMenuEvent* pEvent)
{
    QMenu* pMenu = createStandardContextMenu();
    for (QAction* pAction : pMenu->actions()) {
        if (pAction->objectName() == QLatin1String("edit-paste"))
            pAction->setEnabled(false);
    }
    pMenu->setAttribute(Qt::WA_DeleteOnClose);
    pMenu->popup(pEvent->globalPos());
}
