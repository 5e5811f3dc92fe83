#include "res/stringtable.h"

#include <QHash>

namespace {

const StringResource kStrings[] = {
    {1160, "Croissant", "Ascending"},
    {1161, "Décroissant", "Descending"},
};

QHash<int, QString> BuildIndex()
{
    QHash<int, QString> index;
    for (const StringResource& row : kStrings)
        index.insert(row.nId, QString::fromUtf8(row.pszFrench));
    // French identifiers win where an English twin (n + 1000) would collide with one.
    for (const StringResource& row : kStrings) {
        if (row.pszEnglish != nullptr && !index.contains(row.nId + 1000))
            index.insert(row.nId + 1000, QString::fromUtf8(row.pszEnglish));
    }
    return index;
}

}  // namespace

std::span<const StringResource> StringResources()
{
    return kStrings;
}

QString FindStringResource(int nResourceId)
{
    static const QHash<int, QString> index = BuildIndex();
    return index.value(nResourceId);
}
