#include "cli/namespellings.h"

#include "db/asciitext.h"

CNameSpellings::CNameSpellings(const QStringList& arrNames)
{
    for (int i = 0; i < int(arrNames.size()); ++i)
        Add(i, arrNames.at(i));
}

void CNameSpellings::Add(int nItem, const QString& strSpelling)
{
    m_spellings.append({nItem, strSpelling});
}

QList<int> CNameSpellings::Find(const QString& strName, bool bCaseBlind) const
{
    const auto Collect = [&](bool (*pfnEqual)(const QString&, const QString&)) {
        QList<int> arrItems;
        for (const auto& [nItem, strSpelling] : m_spellings) {
            if (pfnEqual(strSpelling, strName) && !arrItems.contains(nItem))
                arrItems.append(nItem);
        }
        return arrItems;
    };
    const QList<int> arrExact = Collect([](const QString& a, const QString& b) { return a == b; });
    if (!arrExact.isEmpty() || !bCaseBlind)
        return arrExact;
    return Collect(&AsciiEqualsIgnoreCase);
}
