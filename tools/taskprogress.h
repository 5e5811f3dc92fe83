#pragma once

#include <QString>
#include <QtGlobal>

class CMessageTarget;

// The messages a generator sends to the dialog that waits for it; every
// call does nothing when the run has no dialog (a test, the command line
// without progress).
class CTaskProgress
{
public:
    explicit CTaskProgress(CMessageTarget* pTarget) : m_pTarget(pTarget) {}

    CMessageTarget* Target() const { return m_pTarget; }

    void SetRange(qintptr nRange);
    // The name is passed by address: it must live until the call returns.
    void SetItem(const QString& strName);
    void Step(qintptr nModified, qintptr nProcessed);
    // Sets the flag when the user asked to cancel; never clears it.
    void PollCancel(bool& bCancel);

private:
    CMessageTarget* m_pTarget;
};
