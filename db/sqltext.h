#pragma once

#include <QString>

// How names and values go into SQL text. Every statement the system runs or
// writes names its tables through QualifyName and its values through
// SqlLiteral, so a name or value read from a database can never end one
// statement and start another.

// Letters, digits, "_", "$", "#" and "@" only: such a name is used as it
// stands, so the database folds its letter case as it always does.
bool IsPlainIdentifier(const QString& strName);

// A plain name unchanged; any other between the quote character, with the
// quote character doubled inside.
QString QuoteIdentifier(const QString& strName, const QString& strQuote);

// catalog.owner.table, empty parts left out.
QString QualifyName(const QString& strCatalog, const QString& strOwner, const QString& strTable,
                    const QString& strQuote);

// A value between single quotes, inner single quotes doubled.
QString SqlLiteral(const QString& strValue);

// A name as a catalog search pattern: "_", "%" and the escape itself
// preceded by the driver's escape (unchanged when the driver has none).
QString EscapeSearchPattern(const QString& strName, const QString& strEscape);

// Whether a name returned by a catalog call is the one asked for: always
// when nothing was asked for or when the driver reports no such part (no
// catalogs, no owners), else equal ignoring ASCII letter case and trailing
// white space. Keeps the wildcards of a pattern argument from ever widening
// a result; letter case stays the driver's business.
bool CatalogNameMatches(const QString& strWanted, const QString& strFound);
