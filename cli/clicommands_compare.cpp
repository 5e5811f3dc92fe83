#include "cli/clicommands.h"

#include "app/formattext.h"
#include "cli/clierror.h"
#include "cli/clioutput.h"
#include "cli/cliprogress.h"
#include "cli/namespellings.h"
#include "compare/aliascomparison.h"
#include "compare/compareexport.h"
#include "compare/comparestatus.h"
#include "compare/exportfile.h"
#include "compare/tablecomparison.h"
#include "res/stringids.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <iterator>

namespace {

// The words of a status list, in status order.
const char* const kStatusWords[CMP_STATUS_COUNT] = {"same", "left", "right", "different"};
// The keys of the JSON summary, in status order.
const char* const kSummaryKeys[CMP_STATUS_COUNT] = {"same", "left_only", "right_only", "different"};
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

void CCliCommands::RunComparison(bool (CQalmetApp::*pfnRun)(CMessageTarget*), const CCompareEngine& engine)
{
    bool bDone = false;
    {
        CCliProgress progress(CCliProgress::Comparison);
        bDone = (m_app.*pfnRun)(&progress);
    }
    if (bDone)
        return;
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

void CCliCommands::WriteExport(const QString& strPath, const std::function<bool(CExportFile&)>& write)
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
    // With --summary json, standard output holds the JSON object alone.
    const QString strWritten = QStringLiteral("export: ") + strPath;
    if (IsJsonSummary())
        PrintError(strWritten);
    else
        PrintLine(strWritten);
}

void CCliCommands::ExportIfAsked(const std::function<bool(CExportFile&)>& write)
{
    if (m_pArgs->Has("export"))
        WriteExport(m_pArgs->Required("export"), write);
}

void CCliCommands::ReadSummaryOption()
{
    if (m_pArgs->Has("summary") && m_pArgs->Value("summary") != QLatin1String("json"))
        throw CCliError::Usage(QStringLiteral("--summary takes json, not '%1'").arg(m_pArgs->Value("summary")));
}

bool CCliCommands::IsJsonSummary() const
{
    return m_pArgs->Has("summary");
}

int CCliCommands::EndComparison(const Summary& summary, int nFirstStringId,
                                const std::function<bool(CExportFile&)>& write)
{
    if (!IsJsonSummary())
        PrintCounters(nFirstStringId, summary.anCounts);
    ExportIfAsked(write);
    if (IsJsonSummary()) {
        QJsonObject counts;
        QJsonObject items;
        for (int nStatus = 0; nStatus < CMP_STATUS_COUNT; ++nStatus) {
            const QLatin1String key(kSummaryKeys[nStatus]);
            counts.insert(key, summary.anCounts[nStatus]);
            items.insert(key, QJsonArray::fromStringList(summary.arrNames[nStatus]));
        }
        const QJsonObject object{{QStringLiteral("counts"), counts}, {QStringLiteral("items"), items}};
        PrintLine(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
    }
    bool bIdentical = !summary.bOtherDifference;
    for (int nStatus = 0; nStatus < CMP_STATUS_COUNT; ++nStatus) {
        if (nStatus != CMP_SAME && summary.anCounts[nStatus] > 0)
            bIdentical = false;
    }
    return m_pArgs->Has("fail-on-differences") && !bIdentical ? CLI_DIFFERENCES : CLI_SUCCESS;
}

void CCliCommands::RunTableComparison()
{
    ReadSummaryOption();
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
    RunComparison(&CQalmetApp::CompareTables, m_app.GetTableComparison());
}

int CCliCommands::CompareTables()
{
    RunTableComparison();
    const CTableComparison& result = m_app.GetTableComparison();
    Summary summary;
    std::copy(std::begin(result.m_anTableCount), std::end(result.m_anTableCount), summary.anCounts);
    // The names take a pass over the result file: only the JSON summary shows them.
    if (IsJsonSummary()) {
        for (int nTable = 0; nTable < result.m_astrCompareTables.size(); ++nTable) {
            const int nStatus = result.GetTableStatus(nTable);
            if (nStatus >= 0 && nStatus < CMP_STATUS_COUNT)
                summary.arrNames[nStatus].append(result.m_astrCompareTables.at(nTable));
        }
        ThrowIfCancelled();
    }
    const CZembraParam& options = m_app.GetOptions();
    return EndComparison(summary, StringId::TableCounterBase, [&](CExportFile& file) {
        return WriteTableExport(file, options, result, m_astrTitles[DB_LEFT], m_astrTitles[DB_RIGHT]);
    });
}

int CCliCommands::CompareFields()
{
    const QString strTable = m_pArgs->Required("table");
    RunTableComparison();
    const CTableComparison& result = m_app.GetTableComparison();
    if (!IsJsonSummary())
        PrintCounters(StringId::TableCounterBase, result.m_anTableCount);
    // Either side's spelling, unless letter case counts.
    const bool bCaseBlind = !m_app.GetOptions().IsOptionSet(OPT_CASE_SENSITIVE);
    const int nTable = OnlyMatch(CNameSpellings(result.m_astrCompareTables).Find(strTable, bCaseBlind),
                                 QStringLiteral("table '%1'").arg(strTable), result.m_astrCompareTables);
    if (nTable < 0)
        throw CCliError::Failure(QStringLiteral("table '%1' is on neither side").arg(strTable));
    Summary summary;
    // A table on one side only has no fields to list, and is not identical.
    summary.bOtherDifference = result.GetTableStatus(nTable) != CMP_SAME;
    qint64 nPosition = 0;
    int nCount = 0;
    qint16 nNameLen = 0;
    qint16 nTypeLen = 0;
    if (result.GetTableColumns(nTable, nPosition, nCount, nNameLen, nTypeLen)) {
        for (int nField = 0; nField < nCount; ++nField) {
            const auto pRecord = result.ReadColumnResult(nField, nPosition, nNameLen, nTypeLen);
            if (pRecord && pRecord->m_nStatus >= 0 && pRecord->m_nStatus < CMP_STATUS_COUNT) {
                ++summary.anCounts[pRecord->m_nStatus];
                summary.arrNames[pRecord->m_nStatus].append(pRecord->m_strName);
            }
        }
    } else {
        PrintError(QStringLiteral("table '%1' is not different: it has no fields to show").arg(strTable));
    }
    const CZembraParam& options = m_app.GetOptions();
    return EndComparison(summary, StringId::FieldCounterBase, [&](CExportFile& file) {
        return WriteFieldExport(file, options, result, nTable, options.IsOptionSet(OPT_COMPARE_SQL_TYPES),
                                m_astrTitles[DB_LEFT], m_astrTitles[DB_RIGHT]);
    });
}

int CCliCommands::CompareDictionaries()
{
    ReadSummaryOption();
    CZembraParam& options = m_app.GetOptions();
    if (m_pArgs->Has("attributes"))
        SetListedOptions(options, m_pArgs->Value("attributes"), kAttributeWords, OPT_COMPARE_DTAT, "attributes");
    if (!IsAnyAttributeSet(options))
        throw CCliError::Usage(QStringLiteral("--attributes: name at least one attribute"));
    SetStatusOptions("export-aliases", OPT_EXPORT_ALIASES_SAME);
    OpenSides();
    bool bBothHaveOwtp = true;
    for (int nSide : {DB_LEFT, DB_RIGHT}) {
        if (!options.IsOptionSet(OPT_COMPARE_OWTP))
            break;
        CDBData& data = *m_app.GetDatabase(nSide);
        const std::optional<bool> bHasOwtp = data.HasOwtpColumn();
        if (!bHasOwtp.has_value())
            throw CCliError::Failure(QStringLiteral("cannot read the data dictionary's columns of data source '%1': %2")
                                         .arg(data.m_strDSN, DriverReason(data)));
        bBothHaveOwtp = bBothHaveOwtp && *bHasOwtp;
    }
    if (options.IsOptionSet(OPT_COMPARE_OWTP) && !bBothHaveOwtp) {
        options.SetOption(OPT_COMPARE_OWTP, false);
        if (!IsAnyAttributeSet(options))
            throw CCliError::Usage(QStringLiteral("--attributes: OWTP cannot be compared (a data dictionary has no "
                                                  "FROWTP column) and no other attribute is named"));
        PrintError(QStringLiteral("OWTP not compared: a data dictionary has no FROWTP column"));
    }
    RunComparison(&CQalmetApp::CompareAliases, m_app.GetAliasComparison());
    const CAliasComparison& result = m_app.GetAliasComparison();
    Summary summary;
    std::copy(std::begin(result.m_anAliasCount), std::end(result.m_anAliasCount), summary.anCounts);
    if (IsJsonSummary()) {
        CAliasComparison::CResultReader reader(result);
        for (int nSlot = 0; nSlot < result.m_nAliasSlots; ++nSlot) {
            const auto pInfo = reader.Read(nSlot);
            if (pInfo && pInfo->m_nStatus >= 0 && pInfo->m_nStatus < CMP_STATUS_COUNT)
                summary.arrNames[pInfo->m_nStatus].append(pInfo->m_strAlias);
        }
        ThrowIfCancelled();
    }
    return EndComparison(summary, StringId::AliasCounterBase, [&](CExportFile& file) {
        return WriteAliasExport(file, options, result, m_astrTitles[DB_LEFT], m_astrTitles[DB_RIGHT]);
    });
}
