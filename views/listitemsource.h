#pragma once

#include <QString>

// What a list shows of one of its owner's items, asked for when a row is
// drawn or read: the owner keeps the data, the list only the item numbers
// of its rows.
class IListItemSource
{
public:
    virtual ~IListItemSource() = default;

    // The text of a column of an item; empty for a column the item has not.
    virtual QString GetItemText(int nItem, int nColumn) const = 0;
    // The item's image in the list's image list, -1 for none. The
    // comparison lists read it as the item's comparison status.
    virtual int GetItemImage(int nItem) const = 0;
    // What assistive technologies say of an item besides its texts (what
    // its image shows); empty for nothing more.
    virtual QString GetItemDescription(int) const { return QString(); }
    // What a screen reader reads of a cell: its text unless the owner
    // names a cell it leaves blank on screen.
    virtual QString GetItemAccessibleText(int nItem, int nColumn) const { return GetItemText(nItem, nColumn); }
};
