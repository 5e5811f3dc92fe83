#pragma once

#include <QString>

class CPrompt;
class CResultLineWriter;

// The questions and checks around a tool's result file, asked through the
// prompt of whoever runs the tool (the worker thread of a run included).
class CResultFileChecks
{
public:
    CResultFileChecks(CPrompt& prompt, const CResultLineWriter& writer);

    // Before a run: confirm the replacement of an existing file, test that
    // the file can be written, then delete it so the run starts a new file.
    // False when the run must not start (declined, or the message shown).
    bool PrepareResultFile(const QString& strPath, int nLineKind);

    // The Delete button: after confirmation, deletes the file. True when it
    // was deleted; a file that does not exist asks nothing.
    bool ConfirmDeleteResultFile(const QString& strPath);

    // A line that could not be written during a run: the generator stops
    // and says so with this message, the system's reason included.
    void ReportLineFailure(const QString& strPath, const QString& strReason);

private:
    CPrompt& m_prompt;
    const CResultLineWriter& m_writer;
};
