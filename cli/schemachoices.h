#pragma once

#include "db/catalogtargets.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The schemas a side offers, as a combo box shows them (sorted by text,
// each leading back to its key); a schema is named by its text or its key.
class CSchemaChoices : public ISchemaCombo
{
public:
    void ResetContent() override;
    void AddItem(const QString& strText, int nData) override;

    // The keys the item data index.
    void SetKeys(const QStringList& arrKeys) { m_arrKeys = arrKeys; }

    int Count() const { return int(m_items.size()); }
    QString Text(int nItem) const { return m_items.at(nItem).first; }
    QString Key(int nItem) const { return m_arrKeys.value(m_items.at(nItem).second); }
    // The item named by its text, else by its key; -1 when none.
    int Find(const QString& strSchema) const;
    // "a, b, c" for a message.
    QString Describe() const;

private:
    QList<QPair<QString, int>> m_items;
    QStringList m_arrKeys;
};
