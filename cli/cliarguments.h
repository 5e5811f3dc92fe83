#pragma once

#include "cli/clioption.h"

#include <QMap>
#include <QString>
#include <QStringList>

// The options given to one command (none: the options before any command),
// checked against its option table:
// "--name value", "--name=value" or "--flag". Anything else is a usage
// error (CCliError).
class CCliArguments
{
public:
    CCliArguments(const QString& strCommand, const QStringList& arrArgs, const CliOptionList& options);

    bool Has(const char* pszName) const;
    QString Value(const char* pszName) const;
    QStringList Values(const char* pszName) const;
    // The value of an option the command cannot do without.
    QString Required(const char* pszName) const;

    // Where the command stands in arrArgs: after the general options, which
    // may come before it as well as after it; arrArgs.size() when there is
    // none. Any other option before the command is a usage error.
    static qsizetype CommandPosition(const QStringList& arrArgs, const CliOptionList& general);

private:
    QString m_strCommand;
    QMap<QString, QStringList> m_values;
};
