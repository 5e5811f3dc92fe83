#pragma once

#include "db/catalogtargets.h"

#include <QList>

// The table list of a side as numbers into the data source's own list.
class CTableIndexList : public ITableList
{
public:
    void DeleteAllItems() override { m_items.clear(); }
    void AppendItem(int nIndex) override { m_items.append(nIndex); }

    const QList<int>& Items() const { return m_items; }

private:
    QList<int> m_items;
};
