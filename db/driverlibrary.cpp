#include "db/driverlibrary.h"

#include "db/datasources.h"
#include "db/odbc.h"

#include <iterator>

namespace {

// The driver a data source names: a driver of odbcinst.ini, or a library path.
QString DriverOfDataSource(const QString& strDsn)
{
    for (const bool bSystem : {false, true}) {
        QStringList arrNames;
        QStringList arrDrivers;
        ReadDataSources(bSystem, arrNames, arrDrivers);
        for (qsizetype i = 0; i < arrNames.size(); ++i) {
            if (arrNames.at(i).compare(strDsn, Qt::CaseInsensitive) == 0)
                return arrDrivers.value(i);
        }
    }
    return QString();
}

// The "Driver=" attribute of an installed driver, from its zero-separated
// attribute list.
QString LibraryOfInstalledDriver(const QString& strDriver)
{
    SQLHENV hEnv = SQL_NULL_HENV;
    if (!SqlSucceeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &hEnv)))
        return QString();
    SQLSetEnvAttr(hEnv, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLWCHAR szDescription[256];
    SQLWCHAR szAttributes[4096];
    SQLSMALLINT nDescriptionLength = 0;
    SQLSMALLINT nAttributesLength = 0;
    QString strLibrary;
    SQLUSMALLINT nDirection = SQL_FETCH_FIRST;
    while (strLibrary.isEmpty()
           && SqlSucceeded(SQLDriversW(hEnv, nDirection, szDescription, SQLSMALLINT(std::size(szDescription)),
                                       &nDescriptionLength, szAttributes, SQLSMALLINT(std::size(szAttributes)),
                                       &nAttributesLength))) {
        nDirection = SQL_FETCH_NEXT;
        if (FromSqlWChar(szDescription, qsizetype(std::size(szDescription))).compare(strDriver, Qt::CaseInsensitive) != 0)
            continue;
        const qsizetype nChars = std::min<qsizetype>(nAttributesLength, qsizetype(std::size(szAttributes)));
        const QString strAttributes = QString::fromUtf16(reinterpret_cast<const char16_t*>(szAttributes), nChars);
        for (const QString& strAttribute : strAttributes.split(QChar(0), Qt::SkipEmptyParts)) {
            if (strAttribute.startsWith(QLatin1String("Driver="), Qt::CaseInsensitive))
                strLibrary = strAttribute.mid(7);
        }
    }
    SQLFreeHandle(SQL_HANDLE_ENV, hEnv);
    return strLibrary;
}

}  // namespace

QString FindDriverLibrary(const QString& strDsn)
{
    const QString strDriver = DriverOfDataSource(strDsn);
    if (strDriver.isEmpty())
        return QString();
    const QString strLibrary = LibraryOfInstalledDriver(strDriver);
    // A data source may name its driver's library directly.
    return strLibrary.isEmpty() ? strDriver : strLibrary;
}
