#include "cli/clicommands.h"

#include "app/language.h"
#include "cli/clierror.h"
#include "cli/clioutput.h"
#include "cli/namespellings.h"
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
    const QString strSchema = m_pArgs->Value(pszSchemaOption);
    const int nItem = NamesUnnamedSchema(choices, strSchema, strDsn)
                          ? 0
                          : ChooseSchema(choices, strSchema, strDsn, pszSchemaOption);
    data.m_strSchema = choices.Key(nItem);
    CTableIndexList list;
    if (!data.LoadTableList(list))
        throw CCliError::Failure(
            QStringLiteral("cannot read the table list of data source '%1': %2").arg(strDsn, DriverReason(data)));
    ThrowIfCancelled();
    return choices.Text(nItem);
}

bool CCliCommands::NamesUnnamedSchema(const CSchemaChoices& choices, const QString& strSchema, const QString& strDsn)
{
    // A catalog that names no schema keeps every table in one unnamed
    // schema, which the JDE owner table may still name (the demo's F98611
    // calls SQLite's schema main): the names the tools offer are its names too.
    if (!choices.IsUnnamedOnly() || strSchema.isEmpty() || !choices.Find(strSchema).isEmpty())
        return false;
    CDBData& owners = *m_app.GetDatabase(DB_TOOLS);
    Connect(owners, strDsn);
    owners.LoadDatabaseInfo(nullptr);
    ThrowIfCancelled();
    CSchemaChoices ownerChoices;
    ownerChoices.SetSchemaList(owners);
    return OnlyMatch(ownerChoices.Find(strSchema),
                     QStringLiteral("schema '%1' of data source '%2'").arg(strSchema, strDsn), ownerChoices.Names())
           >= 0;
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
    const int nTable = OnlyMatch(CNameSpellings(data.m_arrTables).Find(strTable),
                                 QStringLiteral("table '%1'").arg(strTable), data.m_arrTables);
    if (nTable < 0)
        throw CCliError::Failure(QStringLiteral("no table '%1' in data source '%2'").arg(strTable, strDsn));
    const QString strName = data.m_arrTables.at(nTable);
    CColumnInfoArray arrFields;
    CIndexInfoArray arrIndexes;
    if (!data.LoadColumns(strName, arrFields) || !data.LoadIndexes(strName, arrIndexes))
        throw CCliError::Failure(
            QStringLiteral("cannot read the structure of table '%1': %2").arg(strName, DriverReason(data)));

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
    ExportIfAsked([&](CExportFile& file) { return WriteTableStructure(file, options, arrFields, arrIndexes); });
    return CLI_SUCCESS;
}
