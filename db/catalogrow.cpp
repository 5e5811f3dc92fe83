#include "db/catalogrow.h"

#include "db/sqltext.h"

void CCatalogRow::Bind(CStatement& statement)
{
    statement.BindText(1, m_catalog);
    statement.BindText(2, m_owner);
    statement.BindText(3, m_table);
}

bool CCatalogRow::Matches(const QString& strCatalog, const QString& strOwner, const QString& strTable) const
{
    return CatalogNameMatches(strCatalog, Catalog()) && CatalogNameMatches(strOwner, Owner())
           && CatalogNameMatches(strTable, Table());
}

bool ReadTableColumns(CStatement& statement, const QString& strEscape, const QString& strCatalog,
                      const QString& strOwner, const QString& strTable,
                      const std::function<bool(const CColumnInfo&)>& onColumn)
{
    if (!statement.Columns(strCatalog, EscapeSearchPattern(strOwner, strEscape),
                           EscapeSearchPattern(strTable, strEscape), QString()))
        return false;
    CCatalogRow row;
    CTextBuffer column;
    CTextBuffer typeName;
    SQLSMALLINT nSqlType = 0;
    SQLINTEGER nSize = 0;
    row.Bind(statement);
    statement.BindText(4, column);
    statement.BindShort(5, nSqlType);
    statement.BindText(6, typeName);
    statement.BindLong(7, nSize);
    for (;;) {
        nSqlType = 0;   // a NULL number reads as 0
        nSize = 0;
        if (!statement.Fetch())
            return true;
        if (!row.Matches(strCatalog, strOwner, strTable))
            continue;
        if (!onColumn(CColumnInfo(column.Text(), nSqlType, typeName.Text(), nSize)))
            return true;
    }
}
