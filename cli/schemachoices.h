#pragma once

#include "db/catalogtargets.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class CDBData;

// The schemas a side offers, as a combo box shows them (sorted by text,
// each leading back to its key); a schema is named by its text or its key,
// in any letter case when that leaves no doubt (CNameSpellings).
class CSchemaChoices : public ISchemaCombo
{
public:
    void ResetContent() override;
    void AddItem(const QString& strText, int nData) override;

    // The keys the item data index.
    void SetKeys(const QStringList& arrKeys) { m_arrKeys = arrKeys; }
    // The schemas the main dialog offers the tools (read by LoadDatabaseInfo).
    void SetSchemaList(const CDBData& data);

    int Count() const { return int(m_items.size()); }
    QString Text(int nItem) const { return m_items.at(nItem).first; }
    QString Key(int nItem) const { return m_arrKeys.value(m_items.at(nItem).second); }
    // The text, or the key when the text is empty.
    QString Name(int nItem) const;
    // The items strSchema names.
    QList<int> Find(const QString& strSchema) const;
    // The key of the schema of a catalog that names none (SQLite).
    static QString UnnamedKey();
    // Only the unnamed schema.
    bool IsUnnamedOnly() const;
    // Name() of every item.
    QStringList Names() const;
    // "a, b, c" for a message.
    QString Describe() const;

private:
    QList<QPair<QString, int>> m_items;
    QStringList m_arrKeys;
};
