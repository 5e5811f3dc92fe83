#pragma once

#include "db/odbc.h"

#include <QSet>
#include <QString>

// How names and values go into SQL text. Every statement the system runs or
// writes names its tables and columns through QuoteIdentifier /
// QualifyName; values go to the server as bound parameters, and SqlLiteral
// is kept for text that cannot carry a parameter.

// What the engine does with a name in SQL text, as the driver reports it
// when connecting.
struct IdentifierRule
{
    QString strQuote = QStringLiteral("\"");   // SQL_IDENTIFIER_QUOTE_CHAR
    // SQL_IDENTIFIER_CASE: how the engine folds a name written without
    // quotes. The SQL standard's folding (upper case) until a driver says.
    SQLUSMALLINT nCase = SQL_IC_UPPER;
    // The driver's own reserved words (SQL_KEYWORDS), in lower case; ODBC's
    // list counts too.
    QSet<QString> reservedWords;
};

// A letter, then letters, digits, "_" and "$": the characters every engine
// takes in a name without quotes ("#" starts a comment on MariaDB, "@" a
// variable).
bool IsPlainIdentifier(const QString& strName);

// Whether a name written without quotes reaches exactly the object of that
// name: a plain name that is no reserved word, which the engine does not
// fold into another name.
bool StaysUnquoted(const QString& strName, const IdentifierRule& rule);

// A name that stays unquoted unchanged; any other between the quote
// character, with the quote character doubled inside.
QString QuoteIdentifier(const QString& strName, const IdentifierRule& rule);

// catalog.owner.table, empty parts left out, each part by QuoteIdentifier.
QString QualifyName(const QString& strCatalog, const QString& strOwner, const QString& strTable,
                    const IdentifierRule& rule);

// A value between single quotes, inner single quotes doubled, and
// backslashes doubled too on an engine that reads them as escapes inside
// a literal.
QString SqlLiteral(const QString& strValue, bool bBackslashEscapes);

// Whether the engine reads a backslash inside a literal as an escape:
// MySQL and MariaDB do by default, from their SQL_DBMS_NAME.
bool BackslashEscapesLiterals(const QString& strDbmsName);

// A name as a catalog search pattern: "_" and "%" preceded by the driver's
// escape (unchanged when the driver has none). The escape character itself
// becomes "_", which matches it: drivers disagree on how an escaped escape
// reaches the server, and the rows are checked against the exact name.
QString EscapeSearchPattern(const QString& strName, const QString& strEscape);

// Padding removed from a name read from a fixed-width (CHAR) catalog
// column: trailing blanks only.
QString RemovePadding(const QString& strName);

// Whether a name returned by a catalog call is the one asked for: always
// when nothing was asked for or when the driver reports no such part (no
// catalogs, no owners), else equal, trailing blanks included (a fixed-width
// column's padding is removed before), and in letter case too unless
// bIgnoreCase. Keeps the wildcards of a pattern argument, and drivers that
// match patterns without letter case, from ever widening a result.
bool CatalogNameMatches(const QString& strWanted, const QString& strFound, bool bIgnoreCase);
