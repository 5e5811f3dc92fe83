#pragma once

#include "db/columninfo.h"

#include <QHash>   // std::hash of QString
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CStatement;

// The columns of every table of one schema, read with one catalog call (or
// a few, by table-name prefix) and kept for the lookups of a run: a run over
// thousands of tables then costs a round trip or a few per side instead of
// one per table. Tables are keyed by their catalog spelling, exactly as a
// table's own reading matches them.
class CColumnSnapshot
{
public:
    // Reads the schema's columns on the statement. False, with nothing kept,
    // when the driver refuses the call or answers in a way a table's own
    // reading would not (a table's rows apart, out of ordinal order, or a
    // row without a table name): its answer cannot stand in for the
    // reading it replaces. A fetch error raises.
    bool Read(CStatement& statement, const QString& strEscape, const QString& strCatalog, const QString& strOwner);

    // Reads the columns of the tables an escaped name pattern matches (a
    // null one: all), adding them to those read before: a schema read in
    // parts. False as Read, and then what the snapshot holds is not to be
    // used; a table met in two parts is such an answer.
    bool ReadPart(CStatement& statement, const QString& strEscape, const QString& strCatalog,
                  const QString& strOwner, const QString& strTablePattern);

    // Reads the columns an unescaped column pattern matches, in every table
    // of the schema, adding them to those of other patterns: a snapshot of
    // some columns only, for a lookup that wants no others. A table that
    // two patterns give different columns is left to its own reading. False
    // as Read.
    bool ReadMatching(CStatement& statement, const QString& strEscape, const QString& strCatalog,
                      const QString& strOwner, const QString& strColumnPattern);

    // Answers only for these tables (the schema's listing read before the
    // parts): another name may be one no part's pattern covers.
    void CoverOnly(const QStringList& arrTables);

    // The table's columns in catalog order; empty for a table the schema
    // does not have, as a table's own reading finds none; null for a table
    // the snapshot does not cover, to be read on its own.
    const std::vector<CColumnInfo>* Columns(const QString& strTable) const;

    // What the parts read so far hold.
    int TableCount() const;
    qint64 ColumnCount() const;

private:
    // Node-based: the table being filled stays where it is as others arrive.
    std::unordered_map<QString, std::vector<CColumnInfo>> m_tables;
    std::unordered_set<QString> m_covered;
    bool m_bCoversAll = true;
    // The few type names are shared rather than held once per column.
    QSet<QString> m_typeNames;
    std::unordered_set<QString> m_unordered;
    // Checks a run of rows (one catalog call) as Read does and passes each
    // table's column on with its ordinal.
    bool ReadChecked(CStatement& statement, const QString& strEscape, const QString& strCatalog,
                     const QString& strOwner, const QString& strTablePattern, const QString& strColumnPattern,
                     const std::function<void(const QString& strTable, bool bFirst, int nOrdinal,
                                              CColumnInfo&& column)>& onColumn);
};

// Splits a schema's table names (sorted by UTF-16 code units, no two equal)
// into catalog-call parts of at most nMaxTables names each: one escaped
// search pattern per part, a name prefix followed by '%', or a whole name
// alone. No two patterns match the same name, and each name is matched by
// one of them. One part (a null pattern, all tables) when they are few, or
// when a name cannot be spelled as a pattern.
QStringList TableNameParts(const QStringList& arrSortedNames, int nMaxTables, const QString& strEscape);
// The same parts, one at a time: maxTables is asked again at each split
// (a reader may size the parts by what the earlier ones held) and onPart
// returns false to stop; false then. The patterns stay disjoint and cover
// every name whatever the sizes asked.
bool ForEachTableNamePart(const QStringList& arrSortedNames, const QString& strEscape,
                          const std::function<int()>& maxTables, const std::function<bool(const QString&)>& onPart);
