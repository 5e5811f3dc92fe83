#include "tools/decimalupdate.h"

#include "app/language.h"
#include "app/prompt.h"
#include "app/resultlinewriter.h"
#include "db/asciitext.h"
#include "db/dbdata.h"
#include "res/stringids.h"
#include "tools/registeredtables.h"
#include "tools/taskprogress.h"

void CDecimalUpdate::GenerateDecimalUpdate(const QString& strPath, bool bByAlias, const QString& strName,
                                           bool bMultiply, int nPower, CMessageTarget* pDlg)
{
    // The column listings of every table come from one catalog call per schema.
    const CDBData::CColumnSnapshotScope snapshots(m_data);
    RunGuarded(strPath, [&] {
        CTaskProgress progress(pDlg);
        SetRangeForTables(progress);
        bool bCancel = false;

        QStringList arrAliases;
        if (bByAlias) {
            arrAliases.append(strName.trimmed());
        } else if (!GetClassAliases(strName.trimmed(), arrAliases, pDlg, bCancel)) {
            FailOnDatabaseError(strPath, m_data.GetLastError());
            return;
        }
        if (bCancel)
            return;
        if (arrAliases.isEmpty()) {
            m_prompt.ShowMessage(LoadLangString(StringId::AliasListUnavailable), CPrompt::Ok);
            return;
        }

        CRegisteredTables registered;
        if (ReadSelectedTables(strPath, registered, pDlg, bCancel) && !bCancel)
            WriteDecimalUpdates(strPath, registered, arrAliases, bMultiply, nPower, pDlg, bCancel);
    });
}

bool CDecimalUpdate::GetClassAliases(const QString& strClass, QStringList& arrAliases, CMessageTarget* pDlg,
                                     bool& bCancel)
{
    arrAliases.clear();
    // Found means named: an engine without catalogs and owners (SQLite)
    // leaves both parts of the place empty.
    if (bCancel || m_data.m_strDDTable.isEmpty())
        return true;
    const QString strSql = QStringLiteral("SELECT FRDTAI FROM ")
                           + QualifiedTable(m_data.m_strDDCatalog, m_data.m_strDDOwner, m_data.m_strDDTable)
                           + QStringLiteral(" WHERE FRCLAS=?");
    CTaskProgress progress(pDlg);
    const bool bRead = ReadTextColumn(strSql, {strClass}, progress, bCancel,
                                      [&](const QString& strAlias) { arrAliases.append(strAlias); });
    if (!bRead || bCancel)
        arrAliases.clear();
    return bRead || bCancel;
}

bool CDecimalUpdate::WriteDecimalUpdates(const QString& strPath, const CRegisteredTables& registered,
                                         const QStringList& arrAliases, bool bMultiply, int nPower,
                                         CMessageTarget* pDlg, bool& bCancel)
{
    CTaskProgress progress(pDlg);
    const QSet<QString> aliasKeys = AliasKeys(arrAliases);
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
                bContinue = WriteTableUpdate(schema.strCatalog, schema.strOwner, strTable, strPath, aliasKeys,
                                             bMultiply, nPower, nModified);
                // A failed line is shown already; a statement stopped by
                // the user's cancel ends the run as a cancel.
                if (!bContinue && !LineFailed() && !CancelledMeanwhile(progress, bCancel))
                    FailOnDatabaseError(strPath, m_data.GetLastError());
                if (!bContinue)
                    break;
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
    else if (bContinue && nModified == 0)
        AppendLine(strPath, LINE_DECIMAL_UPDATE, LoadLangString(StringId::NoTableToUpdate));
    return bContinue;
}

bool CDecimalUpdate::WriteTableUpdate(const QString& strCatalog, const QString& strSchema, const QString& strTable,
                                      const QString& strPath, const QStringList& arrAliases, bool bMultiply,
                                      int nPower, int& nModified)
{
    return WriteTableUpdate(strCatalog, strSchema, strTable, strPath, AliasKeys(arrAliases), bMultiply, nPower,
                            nModified);
}

bool CDecimalUpdate::WriteTableUpdate(const QString& strCatalog, const QString& strSchema, const QString& strTable,
                                      const QString& strPath, const QSet<QString>& aliasKeys, bool bMultiply,
                                      int nPower, int& nModified)
{
    QStringList arrColumns;
    const bool bListed = m_data.ReadColumns(strCatalog, strSchema, strTable, [&](const CColumnInfo& column) {
        const QString& strColumn = column.m_strName;
        if (aliasKeys.contains(ColumnKey(strColumn)) && !arrColumns.contains(strColumn))
            arrColumns.append(strColumn);
        return true;
    });
    if (!bListed)
        return false;
    if (arrColumns.isEmpty())
        return true;
    ++nModified;
    return AppendLine(strPath, LINE_DECIMAL_UPDATE,
                      MakeUpdateStatement(strCatalog, strSchema, strTable, arrColumns, bMultiply, nPower));
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

QSet<QString> CDecimalUpdate::AliasKeys(const QStringList& arrAliases)
{
    QSet<QString> keys;
    for (const QString& strAlias : arrAliases) {
        // An empty alias would otherwise claim every two-character column.
        if (!strAlias.isEmpty())
            keys.insert(AsciiLower(strAlias));
    }
    return keys;
}

QString CDecimalUpdate::ColumnKey(const QString& strColumn)
{
    return AsciiLower(strColumn.mid(2));
}

int CDecimalUpdate::ClosingLineKind() const
{
    return LINE_DECIMAL_UPDATE;
}
