#pragma once

#include <QString>
#include <QStringList>

// The tables registered in the JDE object librarian, kept sorted without
// regard to ASCII letter case (duplicates kept) and looked up by bisection.
// An empty set filters nothing out.
class CRegisteredTables
{
public:
    void Insert(const QString& strTable);
    bool Contains(const QString& strTable) const;
    bool IsEmpty() const { return m_arrTables.isEmpty(); }
    void Clear() { m_arrTables.clear(); }
    const QStringList& Tables() const { return m_arrTables; }

    // Whether a table is looked at: every table when the set is empty.
    bool Admits(const QString& strTable) const { return IsEmpty() || Contains(strTable); }

private:
    QStringList m_arrTables;
};
