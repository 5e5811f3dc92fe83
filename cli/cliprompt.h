#pragma once

#include "app/prompt.h"

// The workers' message boxes on the command line: messages go to stderr as
// one line each, marked "kitvane-cli:" as the other failure lines; a
// confirmation is answered by --yes, asked on a terminal, and refused
// otherwise.
class CCliPrompt : public CPrompt
{
public:
    explicit CCliPrompt(bool bYes) : m_bYes(bYes) {}

    Answer ShowMessage(const QString& strText, Buttons buttons) override;

    // Messages shown: each one is an error or a refusal of the run.
    int MessageCount() const { return m_nMessages; }
    bool Declined() const { return m_bDeclined; }

private:
    bool m_bYes;
    int m_nMessages = 0;
    bool m_bDeclined = false;
};
