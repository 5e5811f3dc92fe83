#pragma once

#include <QString>

// The name shown for an ODBC SQL type code; unknown codes show their digits.
QString GetSqlTypeName(int nSqlType);
