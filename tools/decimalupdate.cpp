#include "tools/decimalupdate.h"

#include "app/formattext.h"
#include "app/language.h"
#include "app/prompt.h"
#include "app/resultlinewriter.h"
#include "db/asciitext.h"
#include "db/dbdata.h"
#include "db/sqltext.h"
#include "res/stringids.h"
#include "tools/registeredtables.h"
#include "tools/taskprogress.h"

namespace {

constexpr int kShownErrorLength = 254;

}  // namespace

void CDecimalUpdate::GenerateDecimalUpdate(const QString& strPath, bool bByAlias, const QString& strName,
                                           bool bMultiply, int nPower, CMessageTarget* pDlg)
{
    CTaskProgress progress(pDlg);
    SetRangeForTables(progress);
    bool bCancel = false;

    QStringList arrAliases;
    if (bByAlias)
        arrAliases.append(strName.trimmed());
    else
        GetClassAliases(strName.trimmed(), arrAliases, pDlg, bCancel);
    if (bCancel)
        return;
    if (arrAliases.isEmpty()) {
        m_prompt.ShowMessage(LoadLangString(StringId::AliasListUnavailable), CPrompt::Ok);
        return;
    }

    CRegisteredTables registered;
    ReadSelectedTables(registered, pDlg, bCancel);
    if (!bCancel)
        WriteDecimalUpdates(strPath, registered, arrAliases, bMultiply, nPower, pDlg, bCancel);
}

void CDecimalUpdate::GetClassAliases(const QString& strClass, QStringList& arrAliases, CMessageTarget* pDlg,
                                     bool& bCancel)
{
    arrAliases.clear();
    if (bCancel || (m_data.m_strDDCatalog.isEmpty() && m_data.m_strDDOwner.isEmpty())
        || m_data.m_strDDTable.isEmpty())
        return;
    // The class is the user's text: a quote in it stays inside the literal.
    const QString strSql = QStringLiteral("SELECT FRDTAI FROM ")
                           + QualifiedTable(m_data.m_strDDCatalog, m_data.m_strDDOwner, m_data.m_strDDTable)
                           + QStringLiteral(" WHERE FRCLAS=") + m_data.SqlLiteral(strClass);
    CTaskProgress progress(pDlg);
    if (!ReadTextColumn(strSql, progress, bCancel, [&](const QString& strAlias) { arrAliases.append(strAlias); }))
        arrAliases.clear();
}

bool CDecimalUpdate::WriteDecimalUpdates(const QString& strPath, const CRegisteredTables& registered,
                                         const QStringList& arrAliases, bool bMultiply, int nPower,
                                         CMessageTarget* pDlg, bool& bCancel)
{
    CTaskProgress progress(pDlg);
    bool bContinue = true;
    int nModified = 0;
    int nProcessed = 0;
    bool bLastSchemaWrote = false;
    for (const SelectedSchema& schema : SelectedSchemas()) {
        if (bCancel || !bContinue)
            break;
        if (bLastSchemaWrote && !AppendLine(strPath, LINE_DECIMAL_UPDATE, QStringLiteral("\r\n"))) {
            bContinue = false;
            break;
        }
        const int nModifiedBefore = nModified;
        for (const QString& strTable : *schema.pTables) {
            if (bCancel || !bContinue)
                break;
            if (registered.Admits(strTable)) {
                progress.SetItem(strTable);
                bContinue = WriteTableUpdate(schema.strCatalog, schema.strOwner, strTable, strPath, arrAliases,
                                             bMultiply, nPower, nModified);
            }
            // Unregistered tables count as processed: the range holds them.
            ++nProcessed;
            progress.Step(nModified, nProcessed);
            progress.PollCancel(bCancel);
        }
        bLastSchemaWrote = nModified > nModifiedBefore;
    }

    if (bCancel)
        AppendLine(strPath, LINE_DECIMAL_UPDATE, LoadLangString(StringId::CancelledByUser));
    else if (nModified == 0)
        AppendLine(strPath, LINE_DECIMAL_UPDATE, LoadLangString(StringId::NoTableToUpdate));
    return bContinue;
}

bool CDecimalUpdate::WriteTableUpdate(const QString& strCatalog, const QString& strSchema, const QString& strTable,
                                      const QString& strPath, const QStringList& arrAliases, bool bMultiply,
                                      int nPower, int& nModified)
{
    if (!m_data.IsConnected())
        return false;
    CStatement statement(*m_data.m_pDatabase);
    try {
        QStringList arrColumns;
        const bool bListed = ListColumns(statement, strCatalog, strSchema, strTable,
                                         [&](const QString& strColumn, short) {
            for (const QString& strAlias : arrAliases) {
                if (ColumnStoresAlias(strColumn, strAlias)) {
                    if (!arrColumns.contains(strColumn))
                        arrColumns.append(strColumn);
                    break;
                }
            }
            return true;
        });
        if (!bListed)
            return false;
        if (arrColumns.isEmpty())
            return true;
        ++nModified;
        return AppendLine(strPath, LINE_DECIMAL_UPDATE,
                          MakeUpdateStatement(strCatalog, strSchema, strTable, arrColumns, bMultiply, nPower));
    } catch (const CDBException& error) {
        statement.Cancel();
        m_prompt.ShowMessage(FormatDatabaseError(error.m_strError), CPrompt::Ok);
        return false;
    }
}

QString CDecimalUpdate::MakeUpdateStatement(const QString& strCatalog, const QString& strSchema,
                                            const QString& strTable, const QStringList& arrColumns,
                                            bool bMultiply, int nPower) const
{
    const QString strOperand = QString(QLatin1Char(bMultiply ? '*' : '/')) + QLatin1Char('1')
                               + QString(qMax(nPower, 0), QLatin1Char('0'));
    QStringList arrAssignments;
    for (const QString& strColumn : arrColumns) {
        const QString strName = QuotedColumn(strColumn);
        arrAssignments.append(strName + QLatin1Char('=') + strName + strOperand);
    }
    return QStringLiteral("UPDATE ") + QualifiedTable(strCatalog, strSchema, strTable) + QStringLiteral(" SET ")
           + arrAssignments.join(QStringLiteral(", "));
}

bool CDecimalUpdate::ColumnStoresAlias(const QString& strColumn, const QString& strAlias)
{
    // An empty alias would otherwise claim every two-character column.
    return !strAlias.isEmpty() && AsciiEqualsIgnoreCase(strColumn.mid(2), strAlias);
}

QString CDecimalUpdate::FormatDatabaseError(const QString& strError)
{
    return FormatLangString(StringId::DatabaseError, {strError.left(kShownErrorLength)});
}
