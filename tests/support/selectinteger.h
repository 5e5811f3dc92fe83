#pragma once

#include "db/dbdata.h"

namespace kvtest {

// The first integer of a query's first row, read with the system's own
// statement pattern; -1 on any failure. The rest of the result stays unread.
inline int SelectInteger(CDBData& data, const QString& strSql)
{
    return data.RunStatement(-1, [&](CStatement& statement) {
        statement.ExecDirect(strSql);
        SQLINTEGER nValue = -1;
        statement.BindLong(1, nValue);
        return statement.Fetch() ? int(nValue) : -1;
    });
}

}  // namespace kvtest
