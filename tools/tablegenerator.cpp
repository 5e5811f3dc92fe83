#include "tools/tablegenerator.h"

#include "app/prompt.h"
#include "app/resultfilechecks.h"
#include "app/resultlinewriter.h"
#include "db/asciitext.h"
#include "db/catalogrow.h"
#include "db/dbdata.h"
#include "db/sqltext.h"
#include "tools/registeredtables.h"
#include "tools/taskprogress.h"

CTableGenerator::CTableGenerator(CDBData& data, const CResultLineWriter& writer, CPrompt& prompt)
    : m_data(data), m_writer(writer), m_prompt(prompt)
{
}

void CTableGenerator::GetRegisteredTables(CRegisteredTables& registered, CMessageTarget* pDlg, bool& bCancel)
{
    registered.Clear();
    if (bCancel || (m_data.m_strOLCatalog.isEmpty() && m_data.m_strOLOwner.isEmpty()))
        return;
    const QString strLibrarian = QualifiedTable(m_data.m_strOLCatalog, m_data.m_strOLOwner, m_data.m_strOLTable);
    const QString strSql = AsciiEqualsIgnoreCase(m_data.m_strOLTable, QStringLiteral("F9801"))
                               ? QStringLiteral("SELECT SIMID FROM ") + strLibrarian
                                     + QStringLiteral(" WHERE SIFUNC='PF'")
                               : QStringLiteral("SELECT SIOBNM FROM ") + strLibrarian
                                     + QStringLiteral(" WHERE SIFUNO='TBLE'");
    CTaskProgress progress(pDlg);
    if (!ReadTextColumn(strSql, progress, bCancel, [&](const QString& strTable) { registered.Insert(strTable); }))
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

void CTableGenerator::SetRangeForTables(CTaskProgress& progress)
{
    progress.SetRange(2 * qintptr(m_data.CountSelectedTables()));
}

void CTableGenerator::ReadSelectedTables(CRegisteredTables& registered, CMessageTarget* pDlg, bool& bCancel)
{
    GetRegisteredTables(registered, pDlg, bCancel);
    m_data.LoadSchemaTables(pDlg, bCancel);
}

bool CTableGenerator::ReadTextColumn(const QString& strSql, CTaskProgress& progress, bool& bCancel,
                                     const std::function<void(const QString&)>& onValue)
{
    return m_data.RunStatement(false, [&](CStatement& statement) {
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
}

bool CTableGenerator::ListColumns(CStatement& statement, const QString& strCatalog, const QString& strOwner,
                                  const QString& strTable,
                                  const std::function<bool(const QString&, short)>& onColumn)
{
    return ReadTableColumns(statement, m_data.m_strSearchEscape, strCatalog, strOwner, strTable,
                            [&](const CColumnInfo& column) {
                                return onColumn(column.m_strName.trimmed(), short(column.m_nSqlType));
                            });
}

bool CTableGenerator::AppendLine(const QString& strPath, int nLineKind, const QString& strText)
{
    if (m_bLineFailed)
        return false;
    if (m_writer.AppendResultLine(nLineKind, strPath, strText))
        return true;
    m_bLineFailed = true;
    CResultFileChecks(m_prompt, m_writer).ReportLineFailure(strPath);
    return false;
}

QString CTableGenerator::QualifiedTable(const QString& strCatalog, const QString& strOwner,
                                        const QString& strTable) const
{
    return m_data.QualifyName(strCatalog, strOwner, strTable);
}

QString CTableGenerator::QuotedColumn(const QString& strColumn) const
{
    return m_data.QuoteName(strColumn);
}
