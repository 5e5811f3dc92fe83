#include "db/catalogrow.h"

#include "db/sqltext.h"

void CCatalogRow::Bind(CStatement& statement)
{
    for (int nPart = 0; nPart < 3; ++nPart) {
        const SQLUSMALLINT nColumn = SQLUSMALLINT(nPart + 1);
        m_bFixedWidth[nPart] = statement.IsFixedWidthText(nColumn);
        statement.BindText(nColumn, m_parts[nPart]);
    }
}

QString CCatalogRow::Name(int nPart) const
{
    const QString strName = m_parts[nPart].Text();
    return m_bFixedWidth[nPart] ? RemovePadding(strName) : strName;
}

bool CCatalogRow::Matches(const QString& strCatalog, const QString& strOwner, const QString& strTable) const
{
    return CatalogNameMatches(strCatalog, Catalog(), true) && CatalogNameMatches(strOwner, Owner(), true)
           && CatalogNameMatches(strTable, Table(), false);
}

namespace {

// The one reading of a column catalog result. The ordinal is read only for a
// whole schema, whose reader checks it; a table's own reading asks for no
// more than the driver has always been asked.
bool ReadColumnRows(CStatement& statement, const QString& strEscape, const QString& strCatalog,
                    const QString& strOwner, bool bWholeSchema, const QString& strTable,
                    const QString& strTablePattern, const QString& strColumnPattern,
                    const std::function<bool(const CSchemaColumn&)>& onColumn)
{
    if (!statement.Columns(strCatalog, EscapeSearchPattern(strOwner, strEscape),
                           bWholeSchema ? strTablePattern : EscapeSearchPattern(strTable, strEscape),
                           strColumnPattern))
        return false;
    constexpr SQLUSMALLINT kOrdinalColumn = 17;
    CCatalogRow row;
    CTextBuffer column;
    CTextBuffer typeName;
    SQLSMALLINT nSqlType = 0;
    SQLINTEGER nSize = 0;
    SQLINTEGER nOrdinal = 0;
    row.Bind(statement);
    const bool bFixedWidthName = statement.IsFixedWidthText(4);
    statement.BindText(4, column);
    statement.BindShort(5, nSqlType);
    statement.BindText(6, typeName);
    statement.BindLong(7, nSize);
    if (bWholeSchema && statement.CountResultColumns() >= kOrdinalColumn)
        statement.BindLong(kOrdinalColumn, nOrdinal);
    CSchemaColumn found;
    for (;;) {
        nSqlType = 0;   // a NULL number reads as 0
        nSize = 0;
        nOrdinal = 0;
        if (!statement.Fetch())
            return true;
        if (!row.Matches(strCatalog, strOwner, strTable))
            continue;
        if (bWholeSchema)
            found.strTable = row.Table();
        found.nOrdinal = int(nOrdinal);
        found.column = CColumnInfo(bFixedWidthName ? RemovePadding(column.Text()) : column.Text(), nSqlType,
                                   typeName.Text(), nSize);
        if (!onColumn(found))
            return true;
    }
}

}  // namespace

bool ReadTableColumns(CStatement& statement, const QString& strEscape, const QString& strCatalog,
                      const QString& strOwner, const QString& strTable,
                      const std::function<bool(const CColumnInfo&)>& onColumn)
{
    return ReadColumnRows(statement, strEscape, strCatalog, strOwner, false, strTable, QString(), QString(),
                          [&](const CSchemaColumn& found) { return onColumn(found.column); });
}

bool ReadSchemaColumns(CStatement& statement, const QString& strEscape, const QString& strCatalog,
                       const QString& strOwner, const QString& strTablePattern, const QString& strColumnPattern,
                       const std::function<bool(const CSchemaColumn&)>& onColumn)
{
    return ReadColumnRows(statement, strEscape, strCatalog, strOwner, true, QString(), strTablePattern,
                          strColumnPattern, onColumn);
}
