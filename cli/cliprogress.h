#pragma once

#include "app/messagetarget.h"

#include <QString>

// The command line's answer to a worker: a progress bar on stderr when it
// is a terminal (the range and steps the wait dialogs get), and the cancel
// question answered by Ctrl-C (CCliInterrupt).
class CCliProgress : public CMessageTarget
{
public:
    // A comparison sends its range and steps with one message (lParam > 0:
    // range); the tools send a range message and step messages.
    enum Mode { Comparison, Task };

    explicit CCliProgress(Mode mode);
    ~CCliProgress() override;

    CCliProgress(const CCliProgress&) = delete;
    CCliProgress& operator=(const CCliProgress&) = delete;

    qintptr SendMessage(unsigned nMessage, qintptr wParam, qintptr lParam) override;
    void PostMessage(unsigned nMessage, qintptr wParam, qintptr lParam) override;

private:
    void SetRange(qintptr nRange);
    void Step();
    void Draw();

    Mode m_mode;
    bool m_bShown;
    bool m_bDrawn = false;
    qint64 m_nRange = 0;
    qint64 m_nValue = 0;
    QString m_strItem;
};
