#include "cli/clicommands.h"

#include "app/formattext.h"
#include "cli/clierror.h"
#include "cli/clioutput.h"
#include "cli/cliprogress.h"
#include "cli/namespellings.h"
#include "compare/compareexport.h"
#include "compare/comparestatus.h"
#include "compare/exportfile.h"
#include "res/stringids.h"

#include <QFile>

namespace {

// The words of a status list, in status order.
const char* const kStatusWords[CMP_STATUS_COUNT] = {"same", "left", "right", "different"};
// The words of an attribute list, in option order from OPT_COMPARE_DTAT.
const char* const kAttributeWords[] = {"DTAT", "DTAS", "OWTP", "DTAD", "CDEC"};

// Sets nFirstOption + i for each word i of the comma list, clears the others.
template <size_t N>
void SetListedOptions(CZembraParam& options, const QString& strList, const char* const (&words)[N], int nFirstOption,
                      const char* pszOption)
{
    bool abListed[N] = {};
    for (const QString& strWord : strList.split(u',', Qt::SkipEmptyParts)) {
        size_t i = 0;
        while (i < N && strWord.trimmed() != QLatin1String(words[i]))
            ++i;
        if (i == N)
            throw CCliError::Usage(QStringLiteral("--%1: unknown word '%2'").arg(QLatin1String(pszOption), strWord));
        abListed[i] = true;
    }
    for (size_t i = 0; i < N; ++i)
        options.SetOption(nFirstOption + int(i), abListed[i]);
}

bool IsAnyAttributeSet(const CZembraParam& options)
{
    for (int nOption = OPT_COMPARE_DTAT; nOption <= OPT_COMPARE_CDEC; ++nOption) {
        if (options.IsOptionSet(nOption))
            return true;
    }
    return false;
}

}  // namespace

void CCliCommands::OpenSides()
{
    // Both sides are asked for before either connects: a missing one is a
    // usage error, not a failed connection.
    const QString strLeft = m_pArgs->Required("left");
    const QString strRight = m_pArgs->Required("right");
    m_astrTitles[DB_LEFT] = OpenSchema(*m_app.GetDatabase(DB_LEFT), strLeft, "left-schema");
    m_astrTitles[DB_RIGHT] = OpenSchema(*m_app.GetDatabase(DB_RIGHT), strRight, "right-schema");
    for (int nSide : {DB_LEFT, DB_RIGHT})
        m_astrTitles[nSide] = m_app.GetDatabaseTitle(nSide, m_astrTitles[nSide]);
}

void CCliCommands::SetStatusOptions(const char* pszOption, int nFirstOption)
{
    if (m_pArgs->Has(pszOption))
        SetListedOptions(m_app.GetOptions(), m_pArgs->Value(pszOption), kStatusWords, nFirstOption, pszOption);
}

int CCliCommands::RunComparison(bool (CQalmetApp::*pfnRun)(CMessageTarget*), const CCompareEngine& engine)
{
    bool bDone = false;
    {
        CCliProgress progress(CCliProgress::Comparison);
        bDone = (m_app.*pfnRun)(&progress);
    }
    if (bDone)
        return CLI_SUCCESS;
    // First: a statement stopped by Ctrl-C fails the comparison too.
    ThrowIfCancelled();
    if (engine.GetFailure().IsFailed())
        throw CCliError::Failure(engine.GetFailure().GetMessage().simplified());
    throw CCliError::Failure(QStringLiteral("the comparison could not run: no data dictionary on either side"));
}

void CCliCommands::PrintCounters(int nFirstStringId, const int* pnCounts)
{
    for (int nStatus = 0; nStatus < CMP_STATUS_COUNT; ++nStatus) {
        const QString strCount = QString::number(pnCounts[nStatus]);
        if (nStatus == CMP_LEFT_ONLY || nStatus == CMP_RIGHT_ONLY)
            PrintLine(FormatLangString(nFirstStringId + nStatus, {strCount, m_astrTitles[nStatus - 1]}));
        else
            PrintLine(FormatLangString(nFirstStringId + nStatus, {strCount}));
    }
}

int CCliCommands::WriteExport(const QString& strPath, const std::function<bool(CExportFile&)>& write)
{
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw OutputPathError(StringId::CannotWriteFile, strPath, file.errorString());
    CExportFile exportFile(file);
    if (!write(exportFile) || !exportFile.Finish())
        throw OutputPathError(StringId::CannotWriteFile, strPath, exportFile.GetErrorText());
    if (exportFile.GetReplacedCount() > 0)
        PrintError(QStringLiteral("%1 character(s) without a single-byte form written as '%2'")
                       .arg(exportFile.GetReplacedCount())
                       .arg(QLatin1Char(CExportFile::kReplacement)));
    PrintLine(QStringLiteral("export: ") + strPath);
    return CLI_SUCCESS;
}

int CCliCommands::ExportIfAsked(const std::function<bool(CExportFile&)>& write)
{
    return m_pArgs->Has("export") ? WriteExport(m_pArgs->Required("export"), write) : CLI_SUCCESS;
}

int CCliCommands::CompareTables()
{
    CZembraParam& options = m_app.GetOptions();
    options.SetOption(OPT_CASE_SENSITIVE, m_pArgs->Has("case-sensitive"));
    options.SetOption(OPT_COMPARE_SQL_TYPES, m_pArgs->Has("sql-types"));
    if (m_pArgs->Has("no-same-size-strings"))
        options.SetOption(OPT_SAME_SIZE_STRINGS_EQUAL, false);
    // Only compare-tables exports tables; compare-fields' field list has its own options.
    if (m_strCommand == QLatin1String("compare-tables")) {
        SetStatusOptions("export-tables", OPT_EXPORT_TABLES_SAME);
        SetStatusOptions("export-fields", OPT_EXPORT_DIFF_FIELDS_SAME);
    } else {
        SetStatusOptions("export-fields", OPT_EXPORT_FIELDS_SAME);
    }
    OpenSides();
    const int nStatus = RunComparison(&CQalmetApp::CompareTables, m_app.GetTableComparison());
    PrintCounters(StringId::TableCounterBase, m_app.GetTableComparison().m_anTableCount);
    if (nStatus != CLI_SUCCESS || m_strCommand != QLatin1String("compare-tables"))
        return nStatus;
    return ExportIfAsked([&](CExportFile& file) {
        return WriteTableExport(file, options, m_app.GetTableComparison(), m_astrTitles[DB_LEFT],
                                m_astrTitles[DB_RIGHT]);
    });
}

int CCliCommands::CompareFields()
{
    const QString strTable = m_pArgs->Required("table");
    CompareTables();
    const CTableComparison& result = m_app.GetTableComparison();
    // Either side's spelling, unless letter case counts.
    const bool bCaseBlind = !m_app.GetOptions().IsOptionSet(OPT_CASE_SENSITIVE);
    const int nTable = OnlyMatch(CNameSpellings(result.m_astrCompareTables).Find(strTable, bCaseBlind),
                                 QStringLiteral("table '%1'").arg(strTable), result.m_astrCompareTables);
    if (nTable < 0)
        throw CCliError::Failure(QStringLiteral("table '%1' is on neither side").arg(strTable));
    qint64 nPosition = 0;
    int nCount = 0;
    qint16 nNameLen = 0;
    qint16 nTypeLen = 0;
    int anCounts[CMP_STATUS_COUNT] = {0, 0, 0, 0};
    if (result.GetTableColumns(nTable, nPosition, nCount, nNameLen, nTypeLen)) {
        for (int nField = 0; nField < nCount; ++nField) {
            const int nStatus = result.GetColumnStatus(nField, nPosition, nNameLen, nTypeLen);
            if (nStatus >= 0 && nStatus < CMP_STATUS_COUNT)
                ++anCounts[nStatus];
        }
    } else {
        PrintError(QStringLiteral("table '%1' is not different: it has no fields to show").arg(strTable));
    }
    PrintCounters(StringId::FieldCounterBase, anCounts);
    const CZembraParam& options = m_app.GetOptions();
    return ExportIfAsked([&](CExportFile& file) {
        return WriteFieldExport(file, options, result, nTable, options.IsOptionSet(OPT_COMPARE_SQL_TYPES),
                                m_astrTitles[DB_LEFT], m_astrTitles[DB_RIGHT]);
    });
}

int CCliCommands::CompareDictionaries()
{
    CZembraParam& options = m_app.GetOptions();
    if (m_pArgs->Has("attributes"))
        SetListedOptions(options, m_pArgs->Value("attributes"), kAttributeWords, OPT_COMPARE_DTAT, "attributes");
    if (!IsAnyAttributeSet(options))
        throw CCliError::Usage(QStringLiteral("--attributes: name at least one attribute"));
    SetStatusOptions("export-aliases", OPT_EXPORT_ALIASES_SAME);
    OpenSides();
    if (options.IsOptionSet(OPT_COMPARE_OWTP)
        && !(m_app.GetDatabase(DB_LEFT)->HasOwtpColumn() && m_app.GetDatabase(DB_RIGHT)->HasOwtpColumn())) {
        options.SetOption(OPT_COMPARE_OWTP, false);
        if (!IsAnyAttributeSet(options))
            throw CCliError::Usage(QStringLiteral("--attributes: OWTP cannot be compared (a data dictionary has no "
                                                  "FROWTP column) and no other attribute is named"));
        PrintError(QStringLiteral("OWTP not compared: a data dictionary has no FROWTP column"));
    }
    RunComparison(&CQalmetApp::CompareAliases, m_app.GetAliasComparison());
    PrintCounters(StringId::AliasCounterBase, m_app.GetAliasComparison().m_anAliasCount);
    return ExportIfAsked([&](CExportFile& file) {
        return WriteAliasExport(file, options, m_app.GetAliasComparison(), m_astrTitles[DB_LEFT],
                                m_astrTitles[DB_RIGHT]);
    });
}
