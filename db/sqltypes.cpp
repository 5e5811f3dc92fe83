#include "db/sqltypes.h"

namespace {

struct SqlTypeName
{
    int nCode;
    const char* pszName;
};

// ODBC 2 and ODBC 3 codes of the date and time types share their names.
constexpr SqlTypeName kSqlTypeNames[] = {
    {1, "CHAR"},
    {2, "NUMERIC"},
    {3, "DECIMAL"},
    {4, "INTEGER"},
    {5, "SMALLINT"},
    {6, "FLOAT"},
    {7, "REAL"},
    {8, "DOUBLE"},
    {9, "DATE"},
    {91, "DATE"},
    {10, "TIME"},
    {92, "TIME"},
    {11, "TIMESTAMP"},
    {93, "TIMESTAMP"},
    {12, "VARCHAR"},
    {101, "INTERVAL YEAR"},
    {102, "INTERVAL MONTH"},
    {103, "INTERVAL DAY"},
    {104, "INTERVAL HOUR"},
    {105, "INTERVAL MINUTE"},
    {106, "INTERVAL SECOND"},
    {107, "INTERVAL YEAR TO MONTH"},
    {108, "INTERVAL DAY TO HOUR"},
    {109, "INTERVAL DAY TO MINUTE"},
    {110, "INTERVAL DAY TO SECOND"},
    {111, "INTERVAL HOUR TO MINUTE"},
    {112, "INTERVAL HOUR TO SECOND"},
    {113, "INTERVAL MINUTE TO SECOND"},
    {-1, "LONG VARCHAR"},
    {-2, "BINARY"},
    {-3, "VARBINARY"},
    {-4, "LONG VARBINARY"},
    {-5, "BIGINT"},
    {-6, "TINYINT"},
    {-7, "BIT"},
    {-8, "WCHAR"},
    {-9, "VARWCHAR"},
    {-10, "LONG WVARCHAR"},
    {-11, "GUID"},
};

}  // namespace

QString GetSqlTypeName(int nSqlType)
{
    for (const SqlTypeName& entry : kSqlTypeNames) {
        if (entry.nCode == nSqlType)
            return QLatin1String(entry.pszName);
    }
    return QString::number(nSqlType);
}
