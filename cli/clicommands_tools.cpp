#include "cli/clicommands.h"

#include "cli/clierror.h"
#include "cli/cliinterrupt.h"
#include "cli/clioutput.h"
#include "cli/cliprogress.h"
#include "cli/cliprompt.h"
#include "cli/schemachoices.h"
#include "tools/statoptions.h"

#include <QFileInfo>

namespace {

// The statistics date modes by their word; "field:" takes the expression.
struct DateMode
{
    const char* pszWord;
    int nMode;
};
const DateMode kDateModes[] = {{"upmj", STAT_DATE_UPMJ}, {"none", STAT_DATE_NONE}};
const QLatin1String kFieldPrefix("field:");

}  // namespace

void CCliCommands::OpenToolsDatabase()
{
    CDBData& data = *m_app.GetDatabase(DB_TOOLS);
    const QString strDsn = m_pArgs->Required("dsn");
    Connect(data, strDsn);
    data.LoadDatabaseInfo(nullptr);
    ThrowIfCancelled();

    CSchemaChoices choices;
    choices.SetSchemaList(data);
    if (choices.Count() == 0)
        throw CCliError::Failure(QStringLiteral("data source '%1' offers no schema").arg(strDsn));
    const QStringList arrSchemas = m_pArgs->Values("schema");
    if (arrSchemas.isEmpty())
        return;
    for (auto it = data.m_mapSelected.begin(); it != data.m_mapSelected.end(); ++it)
        it.value() = false;
    for (const QString& strSchema : arrSchemas)
        data.m_mapSelected[choices.Key(ChooseToolSchema(choices, strSchema, strDsn))] = true;
}

int CCliCommands::ChooseToolSchema(const CSchemaChoices& choices, const QString& strSchema, const QString& strDsn)
{
    // The reverse of NamesUnnamedSchema: where the catalog names no schema,
    // the comparison side's name of the unnamed schema stands for the schema
    // the JDE owner table names.
    const CDBData& data = *m_app.GetDatabase(DB_TOOLS);
    const QString strUnnamed = CSchemaChoices::UnnamedKey();
    if (strSchema == strUnnamed && choices.Find(strSchema).isEmpty()
        && data.m_mapAllSchemas.keys() == QStringList{strUnnamed}) {
        if (choices.Count() == 1)
            return 0;
        throw CCliError::Usage(QStringLiteral("schema '%1' of data source '%2' is named several ways by its JDE "
                                              "owners: %3; give one of them")
                                   .arg(strSchema, strDsn, choices.Describe()));
    }
    return ChooseSchema(choices, strSchema, strDsn, "schema");
}

int CCliCommands::RunTool(const std::function<void(CMessageTarget&, CPrompt&)>& run)
{
    const QString strPath = m_pArgs->Required("output");
    OpenToolsDatabase();
    CCliPrompt prompt(m_pArgs->Has("yes"));
    {
        CCliProgress progress(CCliProgress::Task);
        run(progress, prompt);
    }
    // The prompt has already said why a run did not end well.
    if (CCliInterrupt::IsRequested())
        throw CCliError::Cancelled(QStringLiteral("cancelled: ") + strPath);
    if (prompt.Declined() || prompt.MessageCount() > 0 || !QFileInfo::exists(strPath))
        return CLI_FAILURE;
    PrintLine(QStringLiteral("result: ") + strPath);
    return CLI_SUCCESS;
}

int CCliCommands::DecimalUpdate()
{
    const bool bByAlias = m_pArgs->Has("alias");
    if (bByAlias == m_pArgs->Has("class"))
        throw CCliError::Usage(QStringLiteral("decimal-update: give either --alias or --class"));
    const QString strName = bByAlias ? m_pArgs->Required("alias") : m_pArgs->Required("class");
    const bool bMultiply = m_pArgs->Has("multiply");
    if (bMultiply == m_pArgs->Has("divide"))
        throw CCliError::Usage(QStringLiteral("decimal-update: give either --multiply or --divide"));
    bool bNumber = false;
    const int nPower = m_pArgs->Required("power").toInt(&bNumber);
    if (!bNumber || nPower < 1 || nPower > 9)
        throw CCliError::Usage(QStringLiteral("decimal-update: --power takes 1 to 9, not '%1'").arg(m_pArgs->Value("power")));
    return RunTool([&](CMessageTarget& progress, CPrompt& prompt) {
        m_app.RunDecimalUpdate(m_pArgs->Value("output"), bByAlias, strName, bMultiply, nPower, &progress, prompt);
    });
}

int CCliCommands::TableStatistics()
{
    const QString strDate = m_pArgs->Has("date") ? m_pArgs->Value("date") : QStringLiteral("upmj");
    int nMode = -1;
    QString strField;
    for (const DateMode& mode : kDateModes) {
        if (strDate == QLatin1String(mode.pszWord))
            nMode = mode.nMode;
    }
    if (strDate.startsWith(kFieldPrefix)) {
        nMode = STAT_DATE_FIELD;
        strField = strDate.mid(kFieldPrefix.size()).trimmed();
    }
    if (nMode < 0 || (nMode == STAT_DATE_FIELD && strField.isEmpty()))
        throw CCliError::Usage(QStringLiteral("table-stats: --date takes upmj, none or field:EXPR, not '%1'").arg(strDate));
    m_app.SetStatisticsOptions(nMode, strField);
    return RunTool([&](CMessageTarget& progress, CPrompt& prompt) {
        m_app.RunStatistics(m_pArgs->Value("output"), &progress, prompt);
    });
}
