#include "cli/clicommands.h"

#include "cli/clierror.h"
#include "cli/clioutput.h"
#include "cli/demodatabases.h"

int CCliCommands::Demo()
{
    CDemoDatabases demo(m_pArgs->Value("dir"));
    QString strError;
    if (!demo.Build(strError))
        throw CCliError::Failure(QStringLiteral("demo: ") + strError);
    for (int nSide = 0; nSide < 2; ++nSide) {
        PrintLine(QStringLiteral("%1\t%2")
                      .arg(QLatin1String(nSide == 0 ? CDemoDatabases::kDevDsn : CDemoDatabases::kProdDsn),
                           demo.FileOf(nSide)));
    }
    PrintLine(QStringLiteral("user data sources registered in ") + CDemoDatabases::UserOdbcIni());
    return CLI_SUCCESS;
}
