#include "compare/sortednames.h"

#include "db/asciitext.h"

#include <algorithm>

namespace {

struct NameLess
{
    bool bCase;
    bool operator()(const QString& a, const QString& b) const { return CompareNames(a, b, bCase) < 0; }
};

}  // namespace

int CompareNames(const QString& a, const QString& b, bool bCase)
{
    if (bCase)
        return QStringView(a).compare(QStringView(b), Qt::CaseSensitive);
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = AsciiLowerChar(a.at(i).unicode());
        const char16_t cb = AsciiLowerChar(b.at(i).unicode());
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void AddSorted(QStringList& arrNames, const QString& strName, bool bCase)
{
    if (arrNames.isEmpty() || CompareNames(strName, arrNames.last(), bCase) >= 0)
        arrNames.append(strName);
    else
        InsertSorted(arrNames, strName, bCase);
}

void InsertSorted(QStringList& arrNames, const QString& strName, bool bCase)
{
    const auto it = std::upper_bound(arrNames.begin(), arrNames.end(), strName, NameLess{bCase});
    arrNames.insert(it, strName);
}

int BinarySearch(const QStringList& arrNames, const QString& strName, bool bCase)
{
    const auto it = std::lower_bound(arrNames.cbegin(), arrNames.cend(), strName, NameLess{bCase});
    if (it == arrNames.cend() || CompareNames(*it, strName, bCase) != 0)
        return -1;
    return int(it - arrNames.cbegin());
}
