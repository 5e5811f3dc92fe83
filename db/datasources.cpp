#include "db/datasources.h"

#include "db/odbc.h"

#include <iterator>

void ReadDataSources(bool bSystem, QStringList& arrNames, QStringList& arrDrivers)
{
    SQLHENV hEnv = SQL_NULL_HENV;
    if (!SqlSucceeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &hEnv)))
        return;
    SQLSetEnvAttr(hEnv, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLWCHAR szName[SQL_MAX_DSN_LENGTH * 4 + 1];
    SQLWCHAR szDriver[1024];
    SQLSMALLINT nNameLength = 0;
    SQLSMALLINT nDriverLength = 0;
    SQLUSMALLINT nDirection = bSystem ? SQL_FETCH_FIRST_SYSTEM : SQL_FETCH_FIRST_USER;
    while (SqlSucceeded(SQLDataSourcesW(hEnv, nDirection, szName, SQLSMALLINT(std::size(szName)), &nNameLength,
                                        szDriver, SQLSMALLINT(std::size(szDriver)), &nDriverLength))) {
        nDirection = SQL_FETCH_NEXT;
        const QString strName = FromSqlWChar(szName, qsizetype(std::size(szName)));
        if (strName.isEmpty())
            continue;
        arrNames.append(strName);
        arrDrivers.append(FromSqlWChar(szDriver, qsizetype(std::size(szDriver))));
    }
    SQLFreeHandle(SQL_HANDLE_ENV, hEnv);
}
