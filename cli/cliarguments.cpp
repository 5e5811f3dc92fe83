#include "cli/cliarguments.h"

#include "cli/clierror.h"

namespace {

const CliOption* FindOption(const CliOptionList& options, const QString& strName)
{
    for (const CliOption& option : options) {
        if (strName == QLatin1String(option.pszName))
            return &option;
    }
    return nullptr;
}

// "command: " before a message about a command's options; nothing before
// one about the options that come before any command.
QString Prefix(const QString& strCommand)
{
    return strCommand.isEmpty() ? QString() : strCommand + QStringLiteral(": ");
}

// "--lang, --version and --help"
QString OptionNames(const CliOptionList& options)
{
    QStringList arrNames;
    for (const CliOption& option : options)
        arrNames.append(QStringLiteral("--") + QLatin1String(option.pszName));
    if (arrNames.size() < 2)
        return arrNames.join(QString());
    const QString strLast = arrNames.takeLast();
    return arrNames.join(QStringLiteral(", ")) + QStringLiteral(" and ") + strLast;
}

// One argument read as an option: "--name", or "--name=value" with its
// value inline. Not an option: anything without the dashes, and "--" alone.
struct GivenOption
{
    bool bOption = false;
    QString strName;
    bool bInline = false;
    QString strValue;
};

GivenOption ReadOption(const QString& strArg)
{
    GivenOption given;
    if (!strArg.startsWith(QLatin1String("--")) || strArg.size() == 2)
        return given;
    given.bOption = true;
    given.strName = strArg.mid(2);
    const qsizetype nEqual = given.strName.indexOf(u'=');
    given.bInline = nEqual >= 0;
    if (given.bInline) {
        given.strValue = given.strName.mid(nEqual + 1);
        given.strName.truncate(nEqual);
    }
    return given;
}

}  // namespace

CCliArguments::CCliArguments(const QString& strCommand, const QStringList& arrArgs, const CliOptionList& options)
    : m_strCommand(strCommand)
{
    for (qsizetype i = 0; i < arrArgs.size(); ++i) {
        const QString& strArg = arrArgs.at(i);
        const GivenOption given = ReadOption(strArg);
        if (!given.bOption)
            throw CCliError::Usage(Prefix(strCommand) + QStringLiteral("unexpected argument '%1'").arg(strArg));
        const QString& strName = given.strName;
        const bool bInline = given.bInline;
        QString strValue = given.strValue;
        const CliOption* pOption = FindOption(options, strName);
        if (pOption == nullptr)
            throw CCliError::Usage(Prefix(strCommand) + QStringLiteral("unknown option --%1").arg(strName));
        if (pOption->pszValue == nullptr) {
            if (bInline)
                throw CCliError::Usage(Prefix(strCommand) + QStringLiteral("--%1 takes no value").arg(strName));
        } else if (!bInline) {
            if (i + 1 >= arrArgs.size())
                throw CCliError::Usage(
                    Prefix(strCommand)
                    + QStringLiteral("--%1 needs a value (%2)").arg(strName, QLatin1String(pOption->pszValue)));
            strValue = arrArgs.at(++i);
        }
        if (m_values.contains(strName) && !pOption->bRepeatable)
            throw CCliError::Usage(Prefix(strCommand) + QStringLiteral("--%1 given twice").arg(strName));
        m_values[strName].append(strValue);
    }
}

bool CCliArguments::Has(const char* pszName) const
{
    return m_values.contains(QLatin1String(pszName));
}

QString CCliArguments::Value(const char* pszName) const
{
    return m_values.value(QLatin1String(pszName)).value(0);
}

QStringList CCliArguments::Values(const char* pszName) const
{
    return m_values.value(QLatin1String(pszName));
}

QString CCliArguments::Required(const char* pszName) const
{
    const QString strValue = Value(pszName);
    if (strValue.isEmpty())
        throw CCliError::Usage(Prefix(m_strCommand) + QStringLiteral("missing --%1").arg(QLatin1String(pszName)));
    return strValue;
}

qsizetype CCliArguments::CommandPosition(const QStringList& arrArgs, const CliOptionList& general)
{
    qsizetype i = 0;
    while (i < arrArgs.size()) {
        const GivenOption given = ReadOption(arrArgs.at(i));
        if (!given.bOption)
            return i;
        const CliOption* pOption = FindOption(general, given.strName);
        if (pOption == nullptr)
            throw CCliError::Usage(QStringLiteral("--%1 before the command: only %2 may come before it; give the "
                                                  "command's options after it")
                                       .arg(given.strName, OptionNames(general)));
        // A missing value is reported when the general options are read.
        i += pOption->pszValue != nullptr && !given.bInline ? 2 : 1;
    }
    return arrArgs.size();
}
