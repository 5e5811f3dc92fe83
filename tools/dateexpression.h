#pragma once

#include <QString>

// The statistics date expression goes into "SELECT MAX(expression) FROM
// table" as the user typed it. Any expression is accepted as long as it
// stays inside its MAX( ): no ';', no comment, every quote closed, and no
// parenthesis closed that it did not open, as every database family reads
// quotes (the backslash escapes of MariaDB, the dollar quotes of PostgreSQL,
// the brackets of SQL Server, the q-quotes of Oracle).
// 0 when it is accepted, else the identifier of the string naming the
// reason (its %s takes the expression).
int CheckDateExpression(const QString& strExpression);

// The refusal in the interface language; empty when it is accepted.
QString DateExpressionRefusal(const QString& strExpression);
