#include "cli/schemachoices.h"

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

int CSchemaChoices::Find(const QString& strSchema) const
{
    for (int i = 0; i < Count(); ++i) {
        if (Text(i) == strSchema)
            return i;
    }
    for (int i = 0; i < Count(); ++i) {
        if (Key(i) == strSchema)
            return i;
    }
    return -1;
}

QString CSchemaChoices::Describe() const
{
    QStringList arrTexts;
    for (int i = 0; i < Count(); ++i)
        arrTexts.append(Text(i).isEmpty() ? Key(i) : Text(i));
    return arrTexts.join(QStringLiteral(", "));
}
