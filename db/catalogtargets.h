#pragma once

#include <QString>

// What the catalog reader fills: the schema combo box and the table list of
// the database selection form, or plain containers in tests and on the
// command line.

class ISchemaCombo
{
public:
    virtual ~ISchemaCombo() = default;
    virtual void ResetContent() = 0;
    // The combo sorts its items by text; nData leads back to the schema key.
    virtual void AddItem(const QString& strText, int nData) = 0;
};

class ITableList
{
public:
    virtual ~ITableList() = default;
    virtual void DeleteAllItems() = 0;
    // One item per table; its text and icon come from GetTableName / IsView(nIndex).
    virtual void AppendItem(int nIndex) = 0;
};
