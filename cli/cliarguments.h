#pragma once

#include "cli/clioption.h"

#include <QMap>
#include <QString>
#include <QStringList>

// The options given to one command, checked against its option table:
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

private:
    QString m_strCommand;
    QMap<QString, QStringList> m_values;
};
