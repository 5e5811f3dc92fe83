#include "cli/clicommands.h"

#include "app/formattext.h"
#include "app/language.h"
#include "cli/clierror.h"
#include "cli/clioutput.h"
#include "cli/quietopener.h"
#include "cli/schemachoices.h"
#include "res/stringids.h"
#include "version.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

#include <unistd.h>

namespace {

const CliOption kDsn = {"dsn", "NAME", false, "the data source", CliValueKind::DataSource};
const CliOption kSchema = {"schema", "S", false, "the schema, as shown or as its key (needed when there are several)"};
const CliOption kToolSchema = {"schema", "S", true, "tick only this schema (repeatable; default: all offered)"};
const CliOption kOutput = {"output", "FILE", false, "the result file", CliValueKind::File};
const CliOption kYes = {"yes", nullptr, false, "replace an existing result file without asking"};

const CliOptionList kSides = {
    {"left", "DSN", false, "the left data source", CliValueKind::DataSource},
    {"left-schema", "S", false, "the left schema, as shown or as its key"},
    {"right", "DSN", false, "the right data source", CliValueKind::DataSource},
    {"right-schema", "S", false, "the right schema, as shown or as its key"},
};
const CliOptionList kTableFlags = {
    {"case-sensitive", nullptr, false, "table and field names compare with their letter case"},
    {"sql-types", nullptr, false, "compare the SQL types, not the driver's type names"},
    {"no-same-size-strings", nullptr, false, "character types of the same size are not equal"},
};
const CliOption kExport = {"export", "FILE", false, "write the export (semicolon-separated) to FILE",
                           CliValueKind::File};
// What scripts read of a comparison: the JSON summary and the exit status.
const CliOptionList kOutcome = {
    {"summary", "json", false, "print the counters and item names as one JSON object instead of the counters",
     CliValueKind::Choice},
    {"fail-on-differences", nullptr, false, "exit with status 4 when anything is not identical"},
};

CliOptionList Join(std::initializer_list<CliOptionList> lists)
{
    CliOptionList all;
    for (const CliOptionList& list : lists)
        all += list;
    return all;
}

// The options naming an output file, with the message of a file that
// cannot be opened: an export's (the GUI's export command) or a tool's
// result file's.
struct OutputOption
{
    const char* pszName;
    int nMessageId;
};
const OutputOption kOutputOptions[] = {
    {"export", StringId::CannotWriteFile},
    {"output", StringId::CannotOpenFile},
};

// Why no file can be written at strPath, in the system's words; empty when
// it can. Nothing is created or changed.
QString OutputPathProblem(const QString& strPath)
{
    const QFileInfo file(strPath);
    if (file.isDir())
        return qt_error_string(EISDIR);
    const QFileInfo folder(file.absolutePath());
    if (folder.exists() && !folder.isDir())
        return qt_error_string(ENOTDIR);
    const QByteArray target = QFile::encodeName(file.exists() ? file.absoluteFilePath() : folder.absoluteFilePath());
    if (access(target.constData(), file.exists() ? W_OK : W_OK | X_OK) != 0)
        return qt_error_string(errno);
    return QString();
}

}  // namespace

const QList<CCliCommands::Command>& CCliCommands::Commands()
{
    static const QList<Command> commands = {
        {"dsns", "the user and system data sources (kind, name, driver)", {}, &CCliCommands::Dsns},
        {"schemas", "the schemas the main dialog offers, their table counts and the JDE system tables",
         {kDsn}, &CCliCommands::Schemas},
        {"tables", "the tables of a schema (views marked)", {kDsn, kSchema}, &CCliCommands::Tables},
        {"structure", "the fields and indexes of one table",
         {kDsn, kSchema, {"table", "T", false, "the table"}, kExport}, &CCliCommands::Structure},
        {"compare-tables", "compares the tables and fields of two schemas",
         Join({kSides, kTableFlags, kOutcome,
               {kExport,
                {"export-tables", "LIST", false, "tables exported: comma list of same,left,right,different"},
                {"export-fields", "LIST", false, "fields of different tables exported: same,left,right,different"}}}),
         &CCliCommands::CompareTables},
        {"compare-fields", "compares the tables and exports the fields of one table",
         Join({kSides, kTableFlags, kOutcome,
               {{"table", "T", false, "the table"}, kExport,
                {"export-fields", "LIST", false, "fields exported: comma list of same,left,right,different"}}}),
         &CCliCommands::CompareFields},
        {"compare-dd", "compares two data dictionaries",
         Join({kSides, kOutcome,
               {{"attributes", "LIST", false, "attributes compared: comma list of DTAT,DTAS,OWTP,DTAD,CDEC"},
                kExport,
                {"export-aliases", "LIST", false, "aliases exported: comma list of same,left,right,different"}}}),
         &CCliCommands::CompareDictionaries},
        {"decimal-update", "writes the UPDATE statements of a decimal-places change",
         {kDsn, kToolSchema,
          {"alias", "A", false, "one data-dictionary alias"},
          {"class", "C", false, "every alias of a data-dictionary class"},
          {"multiply", nullptr, false, "multiply by the power of ten"},
          {"divide", nullptr, false, "divide by the power of ten"},
          {"power", "N", false, "the power of ten, 1 to 9"},
          kOutput, kYes},
         &CCliCommands::DecimalUpdate},
        {"table-stats", "writes the row count and last-update date of every table",
         {kDsn, kToolSchema,
          {"date", "upmj|none|field:EXPR", false, "the date column (default: upmj)"},
          kOutput, kYes},
         &CCliCommands::TableStatistics},
        {"demo", "builds the demo databases and registers DEMO_DEV and DEMO_PROD as user data sources",
         {{"dir", "DIR", false, "folder of the demo database files", CliValueKind::Folder}}, &CCliCommands::Demo},
    };
    return commands;
}

const CliOptionList& CCliCommands::GeneralOptions()
{
    static const CliOptionList options = {
        {"lang", "fr|en", false, "language of the texts (default: the locale's)", CliValueKind::Choice},
        {"version", nullptr, false, "print the program's name and version"},
        {"help", nullptr, false, "this help"},
    };
    return options;
}

const QList<CCliCommands::ExitStatus>& CCliCommands::ExitStatuses()
{
    static const QList<ExitStatus> statuses = {
        {CLI_SUCCESS, "success"},
        {CLI_FAILURE, "failure: a connection, a statement or a file failed"},
        {CLI_USAGE, "usage error: an unknown command or option, a missing or wrong value"},
        {CLI_CANCELLED, "cancelled by Ctrl-C"},
        {CLI_DIFFERENCES, "a comparison given --fail-on-differences found something not identical"},
    };
    return statuses;
}

const CCliCommands::Command* CCliCommands::FindCommand(const QString& strName)
{
    for (const Command& command : Commands()) {
        if (strName == QLatin1String(command.pszName))
            return &command;
    }
    return nullptr;
}

QString CCliCommands::VersionLine()
{
    return QStringLiteral("kitvane-cli " KITVANE_PRODUCT_VERSION);
}

namespace {

// "--name VALUE" padded to the help column, then the help.
QString OptionHelpLine(const CliOption& option)
{
    QString strName = QStringLiteral("--") + QLatin1String(option.pszName);
    if (option.pszValue != nullptr)
        strName += u' ' + QLatin1String(option.pszValue);
    return QStringLiteral("  %1 %2\n").arg(strName, -28).arg(QLatin1String(option.pszHelp));
}

}  // namespace

QString CCliCommands::GeneralHelp()
{
    QString strHelp = QStringLiteral("usage: kitvane-cli [GENERAL OPTIONS] COMMAND [OPTIONS]\n\ncommands:\n");
    for (const Command& command : Commands())
        strHelp += QStringLiteral("  %1 %2\n").arg(QLatin1String(command.pszName), -16).arg(QLatin1String(command.pszSummary));
    strHelp += QStringLiteral("\ngeneral options (before or after the command):\n");
    for (const CliOption& option : GeneralOptions())
        strHelp += OptionHelpLine(option);
    strHelp += QStringLiteral("\n'kitvane-cli COMMAND --help' describes a command's options.\n\nexit status:\n");
    for (const ExitStatus& status : ExitStatuses())
        strHelp += QStringLiteral("  %1  %2\n").arg(status.nStatus).arg(QLatin1String(status.pszMeaning));
    strHelp.chop(1);
    return strHelp;
}

QString CCliCommands::CommandHelp(const Command& command)
{
    QString strHelp = QStringLiteral("usage: kitvane-cli %1 [OPTIONS]\n%2\n\noptions:\n")
                          .arg(QLatin1String(command.pszName), QLatin1String(command.pszSummary));
    for (const CliOption& option : command.options + GeneralOptions())
        strHelp += OptionHelpLine(option);
    strHelp.chop(1);
    return strHelp;
}

bool CCliCommands::PrintGeneratedFile(const QStringList& arrArgs, int& nStatus)
{
    if (arrArgs.size() != 1)
        return false;
    QString strText;
    if (arrArgs.first() == QLatin1String("--man-page"))
        strText = ManPage();
    else if (arrArgs.first() == QLatin1String("--bash-completion"))
        strText = BashCompletion();
    else
        return false;
    const QByteArray bytes = strText.toUtf8();
    nStatus = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size())
                      && std::fflush(stdout) == 0
                  ? CLI_SUCCESS
                  : CLI_FAILURE;
    return true;
}

CCliCommands::CCliCommands()
    : m_interrupt({m_app.GetDatabase(DB_LEFT), m_app.GetDatabase(DB_RIGHT), m_app.GetDatabase(DB_TOOLS)})
{
    m_app.SetShellOpener(std::make_unique<CQuietOpener>());
}

CCliCommands::~CCliCommands()
{
    // The stored settings stay untouched: only the temporary result files go.
    m_app.DeleteResultFile(RESULT_FILE_TABLES);
    m_app.DeleteResultFile(RESULT_FILE_ALIASES);
}

int CCliCommands::Run(const QStringList& arrArgs)
{
    try {
        int nGenerated = CLI_SUCCESS;
        if (PrintGeneratedFile(arrArgs, nGenerated))
            return nGenerated;
        QStringList arrGiven = arrArgs;
        if (arrGiven.value(0) == QLatin1String("-V"))
            arrGiven.first() = QStringLiteral("--version");
        const qsizetype nCommand = CCliArguments::CommandPosition(arrGiven, GeneralOptions());
        const QStringList arrGeneral = arrGiven.first(nCommand);
        if (nCommand == arrGiven.size()) {
            const CCliArguments general(QString(), arrGeneral, GeneralOptions());
            if (general.Has("version")) {
                PrintLine(VersionLine());
                return CLI_SUCCESS;
            }
            if (general.Has("help")) {
                PrintLine(GeneralHelp());
                return CLI_SUCCESS;
            }
            throw CCliError::Usage(QStringLiteral("no command given; 'kitvane-cli --help' lists them"));
        }
        m_strCommand = arrGiven.at(nCommand);
        if (m_strCommand == QLatin1String("help") && nCommand == 0) {
            PrintLine(GeneralHelp());
            return CLI_SUCCESS;
        }
        const Command* pCommand = FindCommand(m_strCommand);
        if (pCommand == nullptr)
            throw CCliError::Usage(
                QStringLiteral("unknown command '%1'; 'kitvane-cli --help' lists them").arg(m_strCommand));
        m_pArgs = std::make_unique<CCliArguments>(m_strCommand, arrGeneral + arrGiven.mid(nCommand + 1),
                                                  pCommand->options + GeneralOptions());
        if (m_pArgs->Has("version")) {
            PrintLine(VersionLine());
            return CLI_SUCCESS;
        }
        if (m_pArgs->Has("help")) {
            PrintLine(CommandHelp(*pCommand));
            return CLI_SUCCESS;
        }
        ApplyLanguage();
        return (this->*pCommand->pfnRun)();
    } catch (const CCliError& error) {
        return EndWithError(error.Status(), error.Text());
    } catch (const CDBException& error) {
        // A statement that cannot be allocated: the database layer raises it
        // by design. The temporary result files go with this object.
        return EndWithError(CLI_FAILURE,
                            FormatLangString(StringId::DatabaseError, {error.m_strError.trimmed()}).simplified());
    } catch (const std::exception& error) {
        return EndWithError(CLI_FAILURE, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        return EndWithError(CLI_FAILURE, QStringLiteral("unexpected error"));
    }
}

int CCliCommands::EndWithError(int nStatus, const QString& strText)
{
    // Ctrl-C stops the running statement: the step it cut short fails or
    // answers short (no schema, a missing table), which is the cancel's doing.
    if (nStatus != CLI_CANCELLED && CCliInterrupt::IsRequested()) {
        PrintError(QStringLiteral("kitvane-cli: cancelled"));
        return CLI_CANCELLED;
    }
    PrintError(QStringLiteral("kitvane-cli: ") + strText);
    return nStatus;
}

void CCliCommands::ApplyLanguage()
{
    if (!m_pArgs->Has("lang")) {
        m_app.ReadLanguage(QLocale::system());
        return;
    }
    const QString strLanguage = m_pArgs->Value("lang");
    if (strLanguage == QLatin1String("fr"))
        m_app.ReadLanguage(QLocale(QLocale::French, QLocale::France));
    else if (strLanguage == QLatin1String("en"))
        m_app.ReadLanguage(QLocale(QLocale::English, QLocale::UnitedStates));
    else
        throw CCliError::Usage(QStringLiteral("--lang takes fr or en, not '%1'").arg(strLanguage));
}

void CCliCommands::Connect(CDBData& data, const QString& strDsn)
{
    CheckOutputPaths();
    data.m_strDSN = strDsn;
    bool bConnected = false;
    {
        const CCliInterrupt::CConnecting connecting(m_interrupt, strDsn);
        bConnected = data.Connect();
    }
    if (!bConnected)
        throw CCliError::Failure(QStringLiteral("cannot connect to data source '%1': %2").arg(strDsn, DriverReason(data)));
    if (!data.IsReadOnlyOnServer()) {
        const QString strEngine = data.GetDbmsName().isEmpty() ? QStringLiteral("an engine that does not name itself")
                                                               : data.GetDbmsName();
        PrintError(QStringLiteral("kitvane-cli: notice: data source '%1' (%2) offers no read-only session; connect "
                                  "with a login that has only SELECT and catalog rights")
                       .arg(strDsn, strEngine));
    }
}

QString CCliCommands::DriverReason(const CDBData& data)
{
    // GetLastError: one line per diagnostic record, then "SQLSTATE xxxxx" lines.
    const QLatin1String kStatePrefix("SQLSTATE ");
    QStringList arrMessages;
    QStringList arrStates;
    for (const QString& strLine : data.GetLastError().split(u'\n', Qt::SkipEmptyParts)) {
        if (strLine.startsWith(kStatePrefix))
            arrStates.append(strLine.mid(kStatePrefix.size()).trimmed());
        else
            arrMessages.append(strLine.simplified());
    }
    QString strReason = arrMessages.join(u' ');
    if (!arrStates.isEmpty())
        strReason += QStringLiteral(" (SQLSTATE ") + arrStates.join(QStringLiteral(", ")) + u')';
    return strReason;
}

void CCliCommands::CheckOutputPaths() const
{
    for (const OutputOption& option : kOutputOptions) {
        if (!m_pArgs->Has(option.pszName))
            continue;
        const QString strPath = m_pArgs->Required(option.pszName);
        const QString strProblem = OutputPathProblem(strPath);
        if (!strProblem.isEmpty())
            throw OutputPathError(option.nMessageId, strPath, strProblem);
    }
}

CCliError CCliCommands::OutputPathError(int nMessageId, const QString& strPath, const QString& strReason)
{
    return CCliError::Failure(FormatLangString(nMessageId, {strPath}).simplified() + QStringLiteral(" (") + strReason
                              + u')');
}

void CCliCommands::ThrowIfCancelled()
{
    if (CCliInterrupt::IsRequested())
        throw CCliError::Cancelled(QStringLiteral("cancelled"));
}

int CCliCommands::OnlyMatch(const QList<int>& arrFound, const QString& strWhat, const QStringList& arrNames)
{
    if (arrFound.size() > 1) {
        QStringList arrMatches;
        for (int nItem : arrFound)
            arrMatches.append(arrNames.at(nItem));
        throw CCliError::Usage(QStringLiteral("%1 differs only by letter case from several names: %2; give one of them "
                                              "exactly")
                                   .arg(strWhat, arrMatches.join(QStringLiteral(", "))));
    }
    return arrFound.value(0, -1);
}

int CCliCommands::ChooseSchema(const CSchemaChoices& choices, const QString& strSchema, const QString& strDsn,
                               const char* pszSchemaOption)
{
    if (choices.Count() == 0)
        throw CCliError::Failure(QStringLiteral("data source '%1' offers no schema").arg(strDsn));
    if (strSchema.isEmpty()) {
        if (choices.Count() == 1)
            return 0;
        throw CCliError::Usage(QStringLiteral("data source '%1' has several schemas, choose one with --%2: %3")
                                   .arg(strDsn, QLatin1String(pszSchemaOption), choices.Describe()));
    }
    const int nItem = OnlyMatch(choices.Find(strSchema),
                                QStringLiteral("schema '%1' of data source '%2'").arg(strSchema, strDsn), choices.Names());
    if (nItem < 0)
        throw CCliError::Usage(QStringLiteral("unknown schema '%1' in data source '%2'; the choices: %3")
                                   .arg(strSchema, strDsn, choices.Describe()));
    return nItem;
}
