#pragma once

#include "app/qalmetapp.h"
#include "cli/cliarguments.h"
#include "cli/cliinterrupt.h"
#include "cli/clioption.h"
#include "compare/comparestatus.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CCliError;
class CCompareEngine;
class CExportFile;
class CSchemaChoices;

// kitvane-cli: one command per run over the application object of
// kitvane_core, writing the files the GUI writes through the same writers.
// It uses the option defaults plus its flags and never touches the stored
// settings.
class CCliCommands
{
public:
    CCliCommands();
    ~CCliCommands();

    // The arguments after the program name; the exit status.
    int Run(const QStringList& arrArgs);

    // The manual page (roff) and the bash completion script, both written
    // from the command table that --help reads (clicommands_docs.cpp).
    static QString ManPage();
    static QString BashCompletion();

private:
    struct Command
    {
        const char* pszName;
        const char* pszSummary;
        CliOptionList options;
        int (CCliCommands::*pfnRun)();
    };
    struct ExitStatus
    {
        int nStatus;
        const char* pszMeaning;
    };
    static const QList<Command>& Commands();
    // The options every command takes; they may come before the command too.
    static const CliOptionList& GeneralOptions();
    static const QList<ExitStatus>& ExitStatuses();
    static const Command* FindCommand(const QString& strName);
    static QString VersionLine();
    static QString GeneralHelp();
    static QString CommandHelp(const Command& command);
    // The hidden first arguments that print a generated file; false for others.
    static bool PrintGeneratedFile(const QStringList& arrArgs, int& nStatus);

    void ApplyLanguage();

    // Catalog commands (clicommands_catalog.cpp)
    int Dsns();
    int Schemas();
    int Tables();
    int Structure();

    // Comparisons (clicommands_compare.cpp)
    int CompareTables();
    int CompareFields();
    int CompareDictionaries();

    // Generators (clicommands_tools.cpp)
    int DecimalUpdate();
    int TableStatistics();

    // Demo databases (clicommands_demo.cpp)
    int Demo();

    // Checks the output paths first, then connects a data source; a failure
    // (or a Ctrl-C meanwhile) ends the command.
    void Connect(CDBData& data, const QString& strDsn);
    // Every output file of the command can be written: a result that cannot
    // be written should not cost a comparison first.
    void CheckOutputPaths() const;
    // The line of an output file that cannot be written: the message the GUI
    // shows for it, then the system's reason.
    static CCliError OutputPathError(int nMessageId, const QString& strPath, const QString& strReason);
    // The driver's text of the data source's last failure, on one line.
    static QString DriverReason(const CDBData& data);
    // Ends the command when Ctrl-C came during a step without cancel points.
    static void ThrowIfCancelled();
    // Prints the error that ended the run and returns the exit status.
    static int EndWithError(int nStatus, const QString& strText);
    // Chooses the side's schema as the comparison window does and reads its
    // table list; the schema's text, for the titles.
    QString OpenSchema(CDBData& data, const QString& strDsn, const char* pszSchemaOption);
    // The item strSchema names; without a name, the only item. A usage error
    // when none or several answer.
    static int ChooseSchema(const CSchemaChoices& choices, const QString& strSchema, const QString& strDsn,
                            const char* pszSchemaOption);
    // Whether strSchema names a comparison side's one unnamed schema by a
    // name the tools' schema list gives it (SQLite's "." is "main" in the demo).
    bool NamesUnnamedSchema(const CSchemaChoices& choices, const QString& strSchema, const QString& strDsn);
    // ChooseSchema for a tool, where the unnamed schema's "." names the one
    // schema of the tools' list on such a catalog.
    int ChooseToolSchema(const CSchemaChoices& choices, const QString& strSchema, const QString& strDsn);
    // The one item of arrFound (-1 when empty); several are a usage error
    // naming strWhat and listing the items' arrNames.
    static int OnlyMatch(const QList<int>& arrFound, const QString& strWhat, const QStringList& arrNames);
    // Both sides of a comparison and the flags shared by the comparisons.
    void OpenSides();
    void SetStatusOptions(const char* pszOption, int nFirstOption);
    // Runs a comparison to its end; a failure or Ctrl-C throws.
    void RunComparison(bool (CQalmetApp::*pfnRun)(CMessageTarget*), const CCompareEngine& engine);
    void PrintCounters(int nFirstStringId, const int* pnCounts);
    // The table comparison of compare-tables and compare-fields, up to its counters.
    void RunTableComparison();
    // What a comparison found, read from its result: the counters and, per
    // status, the names in the comparison's order.
    struct Summary
    {
        int anCounts[CMP_STATUS_COUNT] = {0, 0, 0, 0};
        QStringList arrNames[CMP_STATUS_COUNT];
        // Something besides the items is not identical (compare-fields' table).
        bool bOtherDifference = false;
    };
    // Checks --summary before anything is connected.
    void ReadSummaryOption();
    bool IsJsonSummary() const;
    // The counters (or, with --summary json, the JSON object), the export
    // if asked, and the exit status --fail-on-differences asks for.
    int EndComparison(const Summary& summary, int nFirstStringId, const std::function<bool(CExportFile&)>& write);
    // Writes the export (when --export is given); a failure throws.
    void WriteExport(const QString& strPath, const std::function<bool(CExportFile&)>& write);
    void ExportIfAsked(const std::function<bool(CExportFile&)>& write);

    // The tools database with its schema list and the --schema ticks.
    void OpenToolsDatabase();
    int RunTool(const std::function<void(CMessageTarget&, CPrompt&)>& run);

    QString m_strCommand;
    std::unique_ptr<CCliArguments> m_pArgs;
    CQalmetApp m_app;
    QString m_astrTitles[2];
    // After the application object: it stops watching before the data sources go.
    CCliInterrupt m_interrupt;
};
