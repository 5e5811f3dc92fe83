#pragma once

#include "db/columninfo.h"
#include "db/statement.h"

#include <QString>

#include <functional>

// Table-type lists of SQLTablesW. No blank after the comma: the SQLite
// driver does not skip it.
inline const QString kTablesAndViews = QStringLiteral("'TABLE','VIEW'");
inline const QString kTablesOnly = QStringLiteral("'TABLE'");

// The first three columns of every catalog result (TABLE_CAT, TABLE_SCHEM,
// TABLE_NAME), read whole, and whether a row is of the table asked for:
// pattern arguments may bring in rows of look-alike names, which are passed
// over. Names keep their trailing blanks ("canary " is not "canary"),
// unless the driver returns them in fixed-width CHAR columns, whose padding
// is removed.
class CCatalogRow
{
public:
    // After the catalog call: binds the columns and reads their types.
    void Bind(CStatement& statement);

    QString Catalog() const { return Name(0); }
    QString Owner() const { return Name(1); }
    QString Table() const { return Name(2); }

    // An empty name asked for matches every row. The table's letter case
    // counts (table names always come from the catalog); a catalog or
    // owner may come from JDE's own tables, in JDE's letter case.
    bool Matches(const QString& strCatalog, const QString& strOwner, const QString& strTable = QString()) const;

private:
    QString Name(int nPart) const;

    CTextBuffer m_parts[3];
    bool m_bFixedWidth[3] = {false, false, false};
};

// Reads the columns of one table on the statement, in the driver's order:
// owner and table passed as escaped patterns (strEscape: the driver's
// search-pattern escape), rows of other tables passed over. onColumn returns
// false to stop. False when the catalog call fails; a fetch error raises.
bool ReadTableColumns(CStatement& statement, const QString& strEscape, const QString& strCatalog,
                      const QString& strOwner, const QString& strTable,
                      const std::function<bool(const CColumnInfo&)>& onColumn);

// One row of a whole schema's column catalog: the table it belongs to, as
// the catalog spells it, and the column's ORDINAL_POSITION (0 when the
// driver gives none).
struct CSchemaColumn
{
    QString strTable;
    int nOrdinal = 0;
    CColumnInfo column;
};

// Reads the columns of every table of a schema whose name the table
// pattern matches (a null pattern: all of them) with one catalog call, rows
// of other schemas passed over. False when the catalog call fails; a fetch
// error raises.
// A column pattern (null: all columns) keeps only the columns it matches.
bool ReadSchemaColumns(CStatement& statement, const QString& strEscape, const QString& strCatalog,
                       const QString& strOwner, const QString& strTablePattern, const QString& strColumnPattern,
                       const std::function<bool(const CSchemaColumn&)>& onColumn);
