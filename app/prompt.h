#pragma once

#include <QString>

// Message boxes that work outside the interface thread: the GUI shows them
// on the interface thread, the command line prints and answers by its
// flags, tests script the answers.
class CPrompt
{
public:
    enum Buttons
    {
        Ok,           // information or error, OK only
        YesNoCancel,  // confirmation with the exclamation icon
    };

    enum Answer
    {
        AnswerOk,
        AnswerYes,
        AnswerNo,
        AnswerCancel,
    };

    virtual ~CPrompt();

    virtual Answer ShowMessage(const QString& strText, Buttons buttons) = 0;

    // A confirmation proceeds only on Yes.
    bool Confirm(const QString& strText);
};
