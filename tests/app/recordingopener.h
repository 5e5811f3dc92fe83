#pragma once

#include "app/shellopener.h"

#include <QStringList>

// Records the command lines instead of starting them, and the extensions
// whose open command was asked for; the command template is the platform's
// unless the test sets one. A start fails when the test says so.
class RecordingOpener : public CShellOpener
{
public:
    explicit RecordingOpener(QStringList& arrStarted) : m_arrStarted(arrStarted) {}

    QString GetOpenCommand(const QString& strExtension) const override
    {
        m_arrExtensions << strExtension;
        return m_strCommand.isNull() ? CShellOpener::GetOpenCommand(strExtension) : m_strCommand;
    }
    bool StartCommandLine(const QString& strCommandLine) override
    {
        m_arrStarted << strCommandLine;
        return m_bStarts;
    }

    QString m_strCommand;
    bool m_bStarts = true;
    mutable QStringList m_arrExtensions;

private:
    QStringList& m_arrStarted;
};
