#pragma once

#include "app/prompt.h"

#include <QList>
#include <QStringList>

// Answers prompts from a script and records what was asked.
class ScriptedPrompt : public CPrompt
{
public:
    Answer ShowMessage(const QString& strText, Buttons buttons) override
    {
        m_arrTexts << strText;
        m_arrButtons << buttons;
        if (buttons == Ok)
            return AnswerOk;
        return m_arrAnswers.isEmpty() ? AnswerCancel : m_arrAnswers.takeFirst();
    }

    QList<Answer> m_arrAnswers;
    QStringList m_arrTexts;
    QList<Buttons> m_arrButtons;
};
