#pragma once

#include "app/prompt.h"

// The message boxes of the interface: always shown on the interface thread,
// over the active modal dialog; a worker that asks waits for the answer.
class CGuiPrompt : public CPrompt
{
public:
    Answer ShowMessage(const QString& strText, Buttons buttons) override;
};
