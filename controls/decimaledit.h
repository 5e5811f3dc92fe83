#pragma once

#include <QLineEdit>

// The power field: holds one digit from 1 to 9, or nothing. A typed
// character that would leave anything else is refused with a beep, and so
// is every paste; Backspace and the replacement of a selected digit work
// as usual. A validator keeps the same rule for the ways in that no key
// goes through (input methods), drops are not accepted.
class CDecimalEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit CDecimalEdit(QWidget* pParent = nullptr);

    // True for an empty text or a single digit from 1 to 9.
    static bool IsAcceptedText(const QString& strText);
    // The text the edit would hold after the character: Backspace removes
    // the selection or the character before the caret, Tab changes
    // nothing, any other character replaces the selection.
    QString TextAfterCharacter(QChar c) const;

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;
};
