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
// TABLE_NAME), and whether a row is of the table asked for: pattern
// arguments may bring in rows of look-alike names, which are passed over.
class CCatalogRow
{
public:
    void Bind(CStatement& statement);

    QString Catalog() const { return m_catalog.Text(); }
    QString Owner() const { return m_owner.Text(); }
    QString Table() const { return m_table.Text(); }

    // An empty name asked for matches every row.
    bool Matches(const QString& strCatalog, const QString& strOwner, const QString& strTable = QString()) const;

private:
    CTextBuffer m_catalog;
    CTextBuffer m_owner;
    CTextBuffer m_table;
};

// Reads the columns of one table on the statement, in the driver's order:
// owner and table passed as escaped patterns (strEscape: the driver's
// search-pattern escape), rows of other tables passed over. onColumn returns
// false to stop. False when the catalog call fails; a fetch error raises.
bool ReadTableColumns(CStatement& statement, const QString& strEscape, const QString& strCatalog,
                      const QString& strOwner, const QString& strTable,
                      const std::function<bool(const CColumnInfo&)>& onColumn);
