#include "app/prompt.h"

CPrompt::~CPrompt() = default;

bool CPrompt::Confirm(const QString& strText)
{
    return ShowMessage(strText, YesNoCancel) == AnswerYes;
}
