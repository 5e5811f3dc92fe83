#pragma once

#include "db/columninfo.h"

#include <QHash>   // std::hash of QString
#include <QString>

#include <unordered_map>
#include <vector>

class CStatement;

// The columns of every table of one schema, read with one catalog call and
// kept for the lookups of a run: a run over thousands of tables then costs
// one round trip per side instead of one per table. Tables are keyed by
// their catalog spelling, exactly as a table's own reading matches them.
class CColumnSnapshot
{
public:
    // Reads the schema's columns on the statement. False, with nothing kept,
    // when the driver refuses the call or answers in a way a table's own
    // reading would not (a table's rows apart, out of ordinal order, or a
    // row without a table name): its answer cannot stand in for the
    // reading it replaces. A fetch error raises.
    bool Read(CStatement& statement, const QString& strEscape, const QString& strCatalog, const QString& strOwner);

    // The table's columns in catalog order; empty for a table the schema
    // does not have, as a table's own reading finds none.
    const std::vector<CColumnInfo>& Columns(const QString& strTable) const;

private:
    // Node-based: the table being filled stays where it is as others arrive.
    std::unordered_map<QString, std::vector<CColumnInfo>> m_tables;
};
