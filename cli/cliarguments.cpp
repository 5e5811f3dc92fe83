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

}  // namespace

CCliArguments::CCliArguments(const QString& strCommand, const QStringList& arrArgs, const CliOptionList& options)
    : m_strCommand(strCommand)
{
    for (qsizetype i = 0; i < arrArgs.size(); ++i) {
        const QString& strArg = arrArgs.at(i);
        if (!strArg.startsWith(QLatin1String("--")) || strArg.size() == 2)
            throw CCliError::Usage(QStringLiteral("%1: unexpected argument '%2'").arg(strCommand, strArg));
        QString strName = strArg.mid(2);
        QString strValue;
        const qsizetype nEqual = strName.indexOf(u'=');
        const bool bInline = nEqual >= 0;
        if (bInline) {
            strValue = strName.mid(nEqual + 1);
            strName.truncate(nEqual);
        }
        const CliOption* pOption = FindOption(options, strName);
        if (pOption == nullptr)
            throw CCliError::Usage(QStringLiteral("%1: unknown option --%2").arg(strCommand, strName));
        if (pOption->pszValue == nullptr) {
            if (bInline)
                throw CCliError::Usage(QStringLiteral("%1: --%2 takes no value").arg(strCommand, strName));
        } else if (!bInline) {
            if (i + 1 >= arrArgs.size())
                throw CCliError::Usage(
                    QStringLiteral("%1: --%2 needs a value (%3)").arg(strCommand, strName, QLatin1String(pOption->pszValue)));
            strValue = arrArgs.at(++i);
        }
        if (m_values.contains(strName) && !pOption->bRepeatable)
            throw CCliError::Usage(QStringLiteral("%1: --%2 given twice").arg(strCommand, strName));
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
        throw CCliError::Usage(QStringLiteral("%1: missing --%2").arg(m_strCommand, QLatin1String(pszName)));
    return strValue;
}
