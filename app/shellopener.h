#pragma once

#include <QString>

// Opens a file with the program the user's system associates with it. The
// platform's opener (xdg-open, open, explorer) is the command template of
// every extension; tests and other front ends override the two virtual steps.
class CShellOpener
{
public:
    virtual ~CShellOpener();

    // The open command of an extension (with its dot), or empty.
    virtual QString GetOpenCommand(const QString& strExtension) const;

    // Starts a command line as a new process and waits at most
    // kOpenerVerdictMs for it: true when it started and did not end with a
    // failure in that time; a process still running then is left running.
    virtual bool StartCommandLine(const QString& strCommandLine);

    static constexpr int kOpenerVerdictMs = 1000;

    // False, starting nothing, when the file does not exist; false too when
    // no program could open it.
    bool OpenWithAssociatedProgram(const QString& strPath);

    // Every "%1" of the command replaced with the path, unquoted; without
    // "%1", a space and the path between double quotes appended.
    static QString BuildCommandLine(const QString& strCommand, const QString& strPath);
};
