#include "cli/schemachoices.h"

#include "cli/namespellings.h"
#include "db/dbdata.h"
#include "db/schemakey.h"

#include <algorithm>

void CSchemaChoices::ResetContent()
{
    m_items.clear();
}

void CSchemaChoices::AddItem(const QString& strText, int nData)
{
    const QPair<QString, int> item(strText, nData);
    m_items.insert(std::upper_bound(m_items.begin(), m_items.end(), item,
                                    [](const auto& a, const auto& b) { return a.first < b.first; }),
                   item);
}

void CSchemaChoices::SetSchemaList(const CDBData& data)
{
    ResetContent();
    SetKeys(data.m_mapSchemas.keys());
    for (int i = 0; i < int(m_arrKeys.size()); ++i)
        AddItem(data.GetSchemaDisplayName(m_arrKeys.at(i)), i);
}

QString CSchemaChoices::Name(int nItem) const
{
    const QString strText = Text(nItem);
    return strText.isEmpty() ? Key(nItem) : strText;
}

QList<int> CSchemaChoices::Find(const QString& strSchema) const
{
    CNameSpellings spellings;
    for (int i = 0; i < Count(); ++i) {
        spellings.Add(i, Text(i));
        spellings.Add(i, Key(i));
    }
    return spellings.Find(strSchema);
}

QString CSchemaChoices::UnnamedKey()
{
    return MakeSchemaKey(QString(), QString());
}

bool CSchemaChoices::IsUnnamedOnly() const
{
    return Count() == 1 && Key(0) == UnnamedKey();
}

QStringList CSchemaChoices::Names() const
{
    QStringList arrNames;
    for (int i = 0; i < Count(); ++i)
        arrNames.append(Name(i));
    return arrNames;
}

QString CSchemaChoices::Describe() const
{
    return Names().join(QStringLiteral(", "));
}
