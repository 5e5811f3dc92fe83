#include "compare/compareexport.h"

#include "app/language.h"
#include "compare/aliascolumntitle.h"
#include "compare/aliascomparison.h"
#include "compare/comparestatus.h"
#include "compare/exportfile.h"
#include "compare/tablecomparison.h"
#include "compare/zembraparam.h"
#include "res/stringids.h"

namespace {

// Calls visit(record) for each field record of a different table, in
// stored order; nothing for any other table.
template <class Visit> void ForEachField(const CTableComparison& result, int nTable, Visit visit)
{
    qint64 nPosition = 0;
    int nCount = 0;
    qint16 nNameLen = 0;
    qint16 nTypeLen = 0;
    if (!result.GetTableColumns(nTable, nPosition, nCount, nNameLen, nTypeLen))
        return;
    for (int nField = 0; nField < nCount; ++nField) {
        if (const auto pRecord = result.ReadColumnResult(nField, nPosition, nNameLen, nTypeLen))
            visit(*pRecord);
    }
}

// The fields of an item's line: its status symbol, its name.
QStringList ItemFields(int nStatus, const QString& strName)
{
    return {GetStatusSymbol(nStatus), strName};
}

bool IsStatusChosen(const CZembraParam& options, int nFirstOption, int nStatus)
{
    return nStatus >= 0 && nStatus < CMP_STATUS_COUNT && options.IsOptionSet(nFirstOption + nStatus);
}

}  // namespace

QString GetStatusSymbol(int nStatus)
{
    static const char* const kSymbols[CMP_STATUS_COUNT] = {"=", ">", "<", "<>"};
    return nStatus >= 0 && nStatus < CMP_STATUS_COUNT ? QLatin1String(kSymbols[nStatus]) : QString();
}

void WriteStatusLegend(CExportFile& file, const QString& strLeftTitle, const QString& strRightTitle)
{
    for (int nStatus = 0; nStatus < CMP_STATUS_COUNT; ++nStatus) {
        QString strWord = LoadLangString(StringId::StatusWordBase + nStatus);
        if (strWord.isEmpty())
            continue;
        strWord.replace(QStringLiteral("%LDB%"), strLeftTitle).replace(QStringLiteral("%RDB%"), strRightTitle);
        file.WriteFields(ItemFields(nStatus, strWord));
    }
    for (int i = 0; i < 3; ++i)
        file.WriteLine();
}

bool WriteTableExport(CExportFile& file, const CZembraParam& options, const CTableComparison& result,
                      const QString& strLeftTitle, const QString& strRightTitle)
{
    WriteStatusLegend(file, strLeftTitle, strRightTitle);
    for (int nTable = 0; nTable < result.m_astrCompareTables.size() && file.IsOk(); ++nTable) {
        const int nStatus = result.GetTableStatus(nTable);
        if (!IsStatusChosen(options, OPT_EXPORT_TABLES_SAME, nStatus))
            continue;
        file.WriteFields(ItemFields(nStatus, result.m_astrCompareTables.at(nTable)));
        if (nStatus != CMP_DIFFERENT)
            continue;
        ForEachField(result, nTable, [&](const CColumnCompareInfo& field) {
            if (IsStatusChosen(options, OPT_EXPORT_DIFF_FIELDS_SAME, field.m_nStatus))
                file.WriteFields(QStringList{QString(), QString()} + ItemFields(field.m_nStatus, field.m_strName));
        });
    }
    return file.Finish();
}

bool WriteFieldExport(CExportFile& file, const CZembraParam& options, const CTableComparison& result, int nTable,
                      bool bSqlTypes, const QString& strLeftTitle, const QString& strRightTitle)
{
    WriteStatusLegend(file, strLeftTitle, strRightTitle);
    ForEachField(result, nTable, [&](const CColumnCompareInfo& field) {
        if (!IsStatusChosen(options, OPT_EXPORT_FIELDS_SAME, field.m_nStatus))
            return;
        QStringList arrFields = ItemFields(field.m_nStatus, field.GetColumnText(0));
        if (bSqlTypes) {
            for (int nColumn = 1; nColumn < CColumnCompareInfo::kColumnCount; ++nColumn)
                arrFields.append(field.GetColumnText(nColumn));
        }
        file.WriteFields(arrFields);
    });
    return file.Finish();
}

bool WriteAliasExport(CExportFile& file, const CZembraParam& options, const CAliasComparison& result,
                      const QString& strLeftTitle, const QString& strRightTitle)
{
    WriteStatusLegend(file, strLeftTitle, strRightTitle);
    QStringList arrCodes = {QString(), QString()};
    QStringList arrNames = {QString(), LoadLangString(StringId::AliasTitle)};
    for (int nAttribute = 0; nAttribute < StringId::AliasAttributeCount; ++nAttribute) {
        if (!options.IsOptionSet(OPT_COMPARE_DTAT + nAttribute))
            continue;
        arrCodes.append(GetAliasColumnTitle(nAttribute, true, false));
        arrNames.append(GetAliasColumnTitle(nAttribute, false, true));
    }
    file.WriteFields(arrCodes);
    file.WriteFields(arrNames);

    CAliasComparison::CResultReader reader(result);
    for (int nSlot = 0; nSlot < result.m_nAliasSlots && file.IsOk(); ++nSlot) {
        const auto pInfo = reader.Read(nSlot);
        if (!pInfo || !IsStatusChosen(options, OPT_EXPORT_ALIASES_SAME, pInfo->m_nStatus))
            continue;
        QStringList arrFields = ItemFields(pInfo->m_nStatus, pInfo->m_strAlias);
        for (int nColumn = 1; nColumn < CAliasCompareInfo::kColumnCount; ++nColumn) {
            if (options.IsOptionSet(OPT_COMPARE_DTAT + nColumn - 1))
                arrFields.append(pInfo->GetColumnText(nColumn, options));
        }
        file.WriteFields(arrFields);
    }
    return file.Finish();
}
