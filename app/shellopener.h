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

    // Starts a command line as a new process without waiting for it; true
    // when the process was started.
    virtual bool StartCommandLine(const QString& strCommandLine);

    // False, starting nothing, when the file does not exist.
    bool OpenWithAssociatedProgram(const QString& strPath);

    // Every "%1" of the command replaced with the path, unquoted; without
    // "%1", a space and the path between double quotes appended.
    static QString BuildCommandLine(const QString& strCommand, const QString& strPath);
};
