// CDBData: where the JDE system tables live, the database owners declared in
// F98611, the schema list offered to the tools and its selection.

#include "db/dbdata.h"

#include "db/asciitext.h"
#include "db/catalogrow.h"
#include "db/schemakey.h"
#include "db/sqltext.h"

namespace {

bool IsOneOf(const QString& strTable, const char* pszFirst, const char* pszSecond)
{
    return AsciiEqualsIgnoreCase(strTable, QLatin1String(pszFirst))
           || AsciiEqualsIgnoreCase(strTable, QLatin1String(pszSecond));
}

}  // namespace

void CDBData::LoadDatabaseInfo(CMessageTarget* /*pProgress: this work has no progress*/)
{
    ScanCatalog();
    LoadJdeOwners();
    BuildSchemaList();
}

void CDBData::NoteSystemTable(const QString& strCatalog, const QString& strOwner, const QString& strTable,
                              bool bWithF98611)
{
    // The first occurrence wins; one under an empty catalog and owner leaves
    // the place open for a later one.
    if (bWithF98611 && m_strF98611Catalog.isEmpty() && m_strF98611Owner.isEmpty()
        && AsciiEqualsIgnoreCase(strTable, QStringLiteral("F98611"))) {
        m_strF98611Catalog = strCatalog;
        m_strF98611Owner = strOwner;
        m_strF98611Table = strTable;
    }
    if (m_strOLCatalog.isEmpty() && m_strOLOwner.isEmpty() && IsOneOf(strTable, "F9860", "F9801")) {
        m_strOLCatalog = strCatalog;
        m_strOLOwner = strOwner;
        m_strOLTable = strTable;
    }
    if (m_strDDCatalog.isEmpty() && m_strDDOwner.isEmpty() && IsOneOf(strTable, "F9210", "F9201")) {
        m_strDDCatalog = strCatalog;
        m_strDDOwner = strOwner;
        m_strDDTable = strTable;
    }
}

void CDBData::ScanCatalog()
{
    m_strOLTable.clear();
    m_strDDTable.clear();
    m_strF98611Catalog.clear();
    m_strF98611Owner.clear();
    m_strF98611Table.clear();
    m_strOLCatalog.clear();
    m_strOLOwner.clear();
    m_strDDCatalog.clear();
    m_strDDOwner.clear();
    m_mapAllSchemas.clear();
    m_mapAllCatalogs.clear();
    m_mapAllOwners.clear();

    const bool bScanned = ScanAllTables(kTablesOnly, [&](const CCatalogRow& row, const QString& strKey) {
        const QString strCatalog = row.Catalog();
        const QString strOwner = row.Owner();
        NoteSystemTable(strCatalog, strOwner, row.Table(), true);
        auto it = m_mapAllSchemas.find(strKey);
        if (it != m_mapAllSchemas.end()) {
            ++it.value();
        } else {
            m_mapAllSchemas.insert(strKey, 1);
            m_mapAllCatalogs.insert(strKey, strCatalog);
            m_mapAllOwners.insert(strKey, strOwner);
        }
    });
    if (!bScanned) {
        m_mapAllSchemas.clear();
        m_mapAllCatalogs.clear();
        m_mapAllOwners.clear();
    }
}

void CDBData::LoadJdeOwners()
{
    m_mapJdeSchemas.clear();
    m_mapJdeCatalogs.clear();
    m_mapJdeOwners.clear();

    // Spelled as the scan found it; the plain name when the scan did not.
    const QString strTable = m_strF98611Table.isEmpty() ? QStringLiteral("F98611") : m_strF98611Table;
    const QString strFrom = QStringLiteral(" FROM ") + QualifyName(m_strF98611Catalog, m_strF98611Owner, strTable)
                            + QStringLiteral(" WHERE OMOCM1=?");
    const bool bRead = RunStatement(false, [&](CStatement& statement) {
        statement.BindParameter(1, QStringLiteral("DB"));
        try {
            statement.ExecDirect(QStringLiteral("SELECT OMDATB2, OMOOWN") + strFrom);
        } catch (const CDBException&) {
            // Releases whose F98611 has no OMDATB2 column.
            statement.ExecDirect(QStringLiteral("SELECT NULL AS OMDATB2, OMOOWN") + strFrom);
        }
        CTextBuffer dataSource;
        CTextBuffer owner;
        statement.BindText(1, dataSource);
        statement.BindText(2, owner);
        while (statement.Fetch()) {
            const QString strCatalog = TrimRight(dataSource.Text());
            const QString strOwner = TrimRight(owner.Text());
            if (strCatalog.isEmpty() && strOwner.isEmpty())
                continue;
            const QString strKey = MakeSchemaKey(strCatalog, strOwner);
            if (m_mapJdeSchemas.contains(strKey))
                continue;
            m_mapJdeSchemas.insert(strKey, -1);
            m_mapJdeCatalogs.insert(strKey, strCatalog);
            m_mapJdeOwners.insert(strKey, strOwner);
        }
        return true;
    });
    if (!bRead) {
        m_mapJdeSchemas.clear();
        m_mapJdeCatalogs.clear();
        m_mapJdeOwners.clear();
    }
}

void CDBData::BuildSchemaList()
{
    m_mapSchemas.clear();
    m_mapSchemaCatalogs.clear();
    m_mapSchemaOwners.clear();
    m_mapSelected.clear();
    FreeSchemaTables();

    bool bFound = false;
    for (auto it = m_mapJdeSchemas.begin(); it != m_mapJdeSchemas.end(); ++it) {
        // Only owners the scan did not see cost a catalog call of their own.
        const auto scanned = m_mapAllSchemas.constFind(it.key());
        const int nCount = scanned != m_mapAllSchemas.cend() ? scanned.value() : CountSchemaTables(it.key());
        if (nCount >= 1) {
            it.value() = nCount;
            bFound = true;
        }
    }

    const QMap<QString, int>& source = bFound ? m_mapJdeSchemas : m_mapAllSchemas;
    const QMap<QString, QString>& catalogs = bFound ? m_mapJdeCatalogs : m_mapAllCatalogs;
    const QMap<QString, QString>& owners = bFound ? m_mapJdeOwners : m_mapAllOwners;
    for (auto it = source.cbegin(); it != source.cend(); ++it) {
        const auto catalog = catalogs.constFind(it.key());
        const auto owner = owners.constFind(it.key());
        if (it.value() < 1 || catalog == catalogs.cend() || owner == owners.cend())
            continue;
        if (catalog.value().isEmpty() && owner.value().isEmpty())
            continue;
        m_mapSchemas.insert(it.key(), it.value());
        m_mapSchemaCatalogs.insert(it.key(), catalog.value());
        m_mapSchemaOwners.insert(it.key(), owner.value());
        m_mapSelected.insert(it.key(), true);
    }
}

int CDBData::CountTables(const QString& strCatalog, const QString& strOwner)
{
    if (!IsConnected())
        return 0;
    return RunStatement(-1, [&](CStatement& statement) {
        if (!statement.Tables(strCatalog, SearchPattern(strOwner), QString(), kTablesOnly))
            return 0;
        CCatalogRow row;
        row.Bind(statement);
        int nCount = 0;
        while (statement.Fetch()) {
            if (!row.Matches(strCatalog, strOwner))
                continue;
            NoteSystemTable(row.Catalog(), row.Owner(), row.Table(), false);
            ++nCount;
        }
        return nCount;
    });
}

int CDBData::CountSchemaTables(const QString& strKey)
{
    const auto catalog = m_mapJdeCatalogs.constFind(strKey);
    const auto owner = m_mapJdeOwners.constFind(strKey);
    if (catalog == m_mapJdeCatalogs.cend() || owner == m_mapJdeOwners.cend())
        return 0;
    if (catalog.value().isEmpty() && owner.value().isEmpty())
        return 0;
    return CountTables(catalog.value(), owner.value());
}

void CDBData::GetSchemaKeys(QStringList& arrKeys) const
{
    arrKeys = m_mapSchemas.keys();
}

QString CDBData::GetSchemaDisplayName(const QString& strKey) const
{
    const QString strCatalog = m_mapSchemaCatalogs.value(strKey);
    const QString strOwner = m_mapSchemaOwners.value(strKey);
    if (strCatalog.isEmpty())
        return strOwner;
    if (strOwner.isEmpty())
        return strCatalog;
    return strKey;
}

bool CDBData::IsSchemaSelected(const QString& strKey) const
{
    return m_mapSelected.value(strKey, false);
}

void CDBData::ToggleSchemaSelected(const QString& strKey)
{
    m_mapSelected.insert(strKey, !IsSchemaSelected(strKey));
}

bool CDBData::HasSelectedSchema() const
{
    for (bool bSelected : m_mapSelected) {
        if (bSelected)
            return true;
    }
    return false;
}

int CDBData::CountSelectedTables() const
{
    int nTables = 0;
    for (auto it = m_mapSelected.cbegin(); it != m_mapSelected.cend(); ++it) {
        if (it.value())
            nTables += m_mapSchemas.value(it.key(), 0);
    }
    return nTables;
}

bool CDBData::LoadSchemaTables(CMessageTarget* pProgress, bool& bCancel)
{
    FreeSchemaTables();
    for (auto it = m_mapSelected.cbegin(); it != m_mapSelected.cend() && !bCancel; ++it) {
        if (!it.value())
            continue;
        QStringList arrTables;
        if (!ListTables(m_mapSchemaCatalogs.value(it.key()), m_mapSchemaOwners.value(it.key()), arrTables, pProgress,
                        bCancel))
            return false;
        // Kept even when the cancel flag cut it short.
        m_mapSchemaTables.insert(it.key(), arrTables);
    }
    return true;
}

void CDBData::FreeSchemaTables()
{
    m_mapSchemaTables.clear();
}
