#include "tools/tablegenerator.h"

#include "app/formattext.h"
#include "app/language.h"
#include "app/prompt.h"
#include "app/resultfilechecks.h"
#include "app/resultlinewriter.h"
#include "db/asciitext.h"
#include "db/catalogrow.h"
#include "db/dbdata.h"
#include "db/sqltext.h"
#include "res/stringids.h"
#include "tools/registeredtables.h"
#include "tools/taskprogress.h"

#include <QFileInfo>

namespace {

constexpr int kShownErrorLength = 254;

}  // namespace

CTableGenerator::CTableGenerator(CDBData& data, const CResultLineWriter& writer, CPrompt& prompt)
    : m_data(data), m_writer(writer), m_prompt(prompt)
{
}

void CTableGenerator::GetRegisteredTables(CRegisteredTables& registered, CMessageTarget* pDlg, bool& bCancel)
{
    registered.Clear();
    // Found means named: an engine without catalogs and owners (SQLite)
    // leaves both parts of the place empty.
    if (bCancel || m_data.m_strOLTable.isEmpty())
        return;
    const QString strLibrarian = QualifiedTable(m_data.m_strOLCatalog, m_data.m_strOLOwner, m_data.m_strOLTable);
    // The object kind goes as a parameter, as every value does.
    const bool bOlder = AsciiEqualsIgnoreCase(m_data.m_strOLTable, QStringLiteral("F9801"));
    const QString strSql = bOlder ? QStringLiteral("SELECT SIMID FROM ") + strLibrarian + QStringLiteral(" WHERE SIFUNC=?")
                                  : QStringLiteral("SELECT SIOBNM FROM ") + strLibrarian + QStringLiteral(" WHERE SIFUNO=?");
    const QString strKind = bOlder ? QStringLiteral("PF") : QStringLiteral("TBLE");
    CTaskProgress progress(pDlg);
    if (!ReadTextColumn(strSql, {strKind}, progress, bCancel,
                        [&](const QString& strTable) { registered.Insert(strTable); }))
        registered.Clear();
}

QList<CTableGenerator::SelectedSchema> CTableGenerator::SelectedSchemas() const
{
    QList<SelectedSchema> schemas;
    for (auto it = m_data.m_mapSelected.cbegin(); it != m_data.m_mapSelected.cend(); ++it) {
        const auto tables = m_data.m_mapSchemaTables.constFind(it.key());
        if (!it.value() || tables == m_data.m_mapSchemaTables.cend())
            continue;
        schemas.append({m_data.m_mapSchemaCatalogs.value(it.key()), m_data.m_mapSchemaOwners.value(it.key()),
                        &tables.value()});
    }
    return schemas;
}

void CTableGenerator::RunGuarded(const QString& strPath, const std::function<void()>& run)
{
    try {
        run();
    } catch (const CDBException& error) {
        FailOnDatabaseError(strPath, error.m_strError);
    }
}

void CTableGenerator::SetRangeForTables(CTaskProgress& progress)
{
    progress.SetRange(2 * qintptr(m_data.CountSelectedTables()));
}

bool CTableGenerator::ReadSelectedTables(const QString& strPath, CRegisteredTables& registered,
                                         CMessageTarget* pDlg, bool& bCancel)
{
    GetRegisteredTables(registered, pDlg, bCancel);
    if (bCancel)
        return true;
    // A table list that could not be read is no empty schema.
    const bool bListed = m_data.LoadSchemaTables(pDlg, bCancel);
    CTaskProgress progress(pDlg);
    if (bCancel || bListed || CancelledMeanwhile(progress, bCancel))
        return true;
    FailOnDatabaseError(strPath, m_data.GetLastError());
    return false;
}

bool CTableGenerator::ReadTextColumn(const QString& strSql, const QStringList& arrParameters,
                                     CTaskProgress& progress, bool& bCancel,
                                     const std::function<void(const QString&)>& onValue)
{
    const bool bRead = m_data.RunStatement(false, [&](CStatement& statement) {
        for (qsizetype i = 0; i < arrParameters.size(); ++i)
            statement.BindParameter(SQLUSMALLINT(i + 1), arrParameters.at(i));
        statement.ExecDirect(strSql);
        progress.PollCancel(bCancel);
        if (bCancel)
            return false;
        CTextBuffer value;
        statement.BindText(1, value);
        while (!bCancel && statement.Fetch()) {
            onValue(value.Text().trimmed());
            progress.PollCancel(bCancel);
        }
        return true;
    });
    if (!bRead && !bCancel)
        CancelledMeanwhile(progress, bCancel);
    return bRead;
}

bool CTableGenerator::CancelledMeanwhile(CTaskProgress& progress, bool& bCancel)
{
    progress.PollCancel(bCancel);
    return bCancel;
}

bool CTableGenerator::ConnectionAnswers(const QString& strCatalog, const QString& strOwner, const QString& strTable)
{
    try {
        return m_data.RunStatement(false, [&](CStatement& statement) {
            return statement.Tables(strCatalog, m_data.SearchPattern(strOwner), m_data.SearchPattern(strTable),
                                    kTablesOnly);
        });
    } catch (const CDBException&) {
        // Not even a statement can be had: the connection is gone.
        return false;
    }
}

void CTableGenerator::FailOnDatabaseError(const QString& strPath, const QString& strError)
{
    m_bDatabaseFailed = true;
    m_prompt.ShowMessage(FormatDatabaseError(strError), CPrompt::Ok);
    if (QFileInfo::exists(strPath))
        AppendLine(strPath, ClosingLineKind(), LoadLangString(StringId::StoppedByDatabaseError));
}

bool CTableGenerator::AppendLine(const QString& strPath, int nLineKind, const QString& strText)
{
    if (m_bLineFailed)
        return false;
    QString strReason;
    if (m_writer.AppendResultLine(nLineKind, strPath, strText, &strReason))
        return true;
    m_bLineFailed = true;
    CResultFileChecks(m_prompt, m_writer).ReportLineFailure(strPath, strReason);
    return false;
}

QString CTableGenerator::QualifiedTable(const QString& strCatalog, const QString& strOwner,
                                        const QString& strTable) const
{
    return m_data.QualifyName(strCatalog, strOwner, strTable);
}

QString CTableGenerator::FormatDatabaseError(const QString& strError)
{
    return FormatLangString(StringId::DatabaseError, {strError.trimmed().left(kShownErrorLength)});
}

QString CTableGenerator::QuotedColumn(const QString& strColumn) const
{
    return m_data.QuoteName(strColumn);
}
