#include "cli/clicommands.h"

#include "app/language.h"
#include "cli/clierror.h"
#include "cli/clioutput.h"
#include "cli/schemachoices.h"
#include "cli/tableindexlist.h"
#include "compare/structureexport.h"
#include "db/datasources.h"
#include "db/schemakey.h"
#include "res/stringids.h"

namespace {

// Where a JDE system table was found: catalog.owner(.table), or "-".
QString Place(const QString& strCatalog, const QString& strOwner, const QString& strTable = QString())
{
    if (strCatalog.isEmpty() && strOwner.isEmpty() && strTable.isEmpty())
        return QStringLiteral("-");
    QString strPlace = MakeSchemaKey(strCatalog, strOwner);
    if (!strTable.isEmpty())
        strPlace += u'.' + strTable;
    return strPlace;
}

}  // namespace

int CCliCommands::Dsns()
{
    for (int nKind = 0; nKind < 2; ++nKind) {
        QStringList arrNames;
        QStringList arrDrivers;
        ReadDataSources(nKind == 1, arrNames, arrDrivers);
        const QString strKind = nKind == 1 ? QStringLiteral("system") : QStringLiteral("user");
        for (qsizetype i = 0; i < arrNames.size(); ++i)
            PrintLine(strKind + u'\t' + arrNames.at(i) + u'\t' + arrDrivers.at(i));
    }
    return CLI_SUCCESS;
}

int CCliCommands::Schemas()
{
    CDBData& data = *m_app.GetDatabase(DB_TOOLS);
    Connect(data, m_pArgs->Required("dsn"));
    data.LoadDatabaseInfo(nullptr);
    for (auto it = data.m_mapSchemas.cbegin(); it != data.m_mapSchemas.cend(); ++it)
        PrintLine(QStringLiteral("%1\t%2\t%3").arg(it.key(), data.GetSchemaDisplayName(it.key())).arg(it.value()));
    PrintLine(QStringLiteral("F98611\t") + Place(data.m_strF98611Catalog, data.m_strF98611Owner));
    PrintLine(QStringLiteral("object librarian\t") + Place(data.m_strOLCatalog, data.m_strOLOwner, data.m_strOLTable));
    PrintLine(QStringLiteral("data dictionary\t") + Place(data.m_strDDCatalog, data.m_strDDOwner, data.m_strDDTable));
    return CLI_SUCCESS;
}

QString CCliCommands::OpenSchema(CDBData& data, const QString& strDsn, const char* pszSchemaOption)
{
    Connect(data, strDsn);
    QStringList arrKeys;
    CSchemaChoices choices;
    data.FillSchemaCombo(arrKeys, choices);
    choices.SetKeys(arrKeys);
    const int nItem = ChooseSchema(choices, m_pArgs->Value(pszSchemaOption), strDsn, pszSchemaOption);
    data.m_strSchema = choices.Key(nItem);
    CTableIndexList list;
    if (!data.LoadTableList(list))
        throw CCliError::Failure(QStringLiteral("cannot read the table list of data source '%1'").arg(strDsn));
    return choices.Text(nItem);
}

int CCliCommands::Tables()
{
    CDBData& data = *m_app.GetDatabase(DB_LEFT);
    OpenSchema(data, m_pArgs->Required("dsn"), "schema");
    for (int i = 0; i < int(data.m_arrTables.size()); ++i)
        PrintLine((data.IsView(i) ? QStringLiteral("view\t") : QStringLiteral("table\t")) + data.GetTableName(i));
    return CLI_SUCCESS;
}

int CCliCommands::Structure()
{
    CDBData& data = *m_app.GetDatabase(DB_LEFT);
    const QString strDsn = m_pArgs->Required("dsn");
    const QString strTable = m_pArgs->Required("table");
    OpenSchema(data, strDsn, "schema");
    if (!data.m_arrTables.contains(strTable))
        throw CCliError::Failure(QStringLiteral("no table '%1' in data source '%2'").arg(strTable, strDsn));
    CColumnInfoArray arrFields;
    CIndexInfoArray arrIndexes;
    if (!data.LoadColumns(strTable, arrFields) || !data.LoadIndexes(strTable, arrIndexes))
        throw CCliError::Failure(QStringLiteral("cannot read the structure of table '%1'").arg(strTable));

    PrintLine(LoadLangString(StringId::FieldsTab));
    for (const auto& pField : arrFields)
        PrintLine(QStringLiteral("\t%1\t%2").arg(pField->GetColumnText(0), pField->GetColumnText(1)));
    PrintLine(LoadLangString(StringId::IndexesTab));
    for (const auto& pIndex : arrIndexes) {
        for (int nRow = 0; nRow < int(pIndex->m_arrColumns.size()); ++nRow)
            PrintLine(QStringLiteral("\t%1\t%2\t%3")
                          .arg(pIndex->GetColumnText(nRow, 0), pIndex->GetColumnText(nRow, 1),
                               pIndex->GetColumnText(nRow, 2)));
    }
    const CZembraParam& options = m_app.GetOptions();
    return ExportIfAsked([&](CExportFile& file) { return WriteTableStructure(file, options, arrFields, arrIndexes); });
}
