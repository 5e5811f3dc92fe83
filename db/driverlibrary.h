#pragma once

#include <QString>

// The library file of the ODBC driver a data source names, as the driver
// manager's lists give it (user data sources first, as it looks them up);
// empty when the data source or its driver is unknown. Read before
// connecting, for what that driver must be told.
QString FindDriverLibrary(const QString& strDsn);
