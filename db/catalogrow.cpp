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
    const bool bFixedWidthName = statement.IsFixedWidthText(4);
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
        const QString strName = bFixedWidthName ? RemovePadding(column.Text()) : column.Text();
        if (!onColumn(CColumnInfo(strName, nSqlType, typeName.Text(), nSize)))
            return true;
    }
}
