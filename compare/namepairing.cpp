#include "compare/namepairing.h"

#include "compare/sortednames.h"

#include <algorithm>
#include <numeric>

namespace {

// The list's indexes sorted under the rule, equal names by code units.
std::vector<int> SortedIndexes(const QStringList& arrNames, bool bCase)
{
    std::vector<int> arrIndexes(size_t(arrNames.size()));
    std::iota(arrIndexes.begin(), arrIndexes.end(), 0);
    std::stable_sort(arrIndexes.begin(), arrIndexes.end(), [&](int a, int b) {
        const int nCompare = CompareNames(arrNames.at(a), arrNames.at(b), bCase);
        return nCompare != 0 ? nCompare < 0 : arrNames.at(a) < arrNames.at(b);
    });
    return arrIndexes;
}

// The end of the run of names equal under the rule to strName, from nFrom.
size_t GroupEnd(const QStringList& arrNames, const std::vector<int>& arrSorted, size_t nFrom, const QString& strName,
                bool bCase)
{
    while (nFrom < arrSorted.size() && CompareNames(arrNames.at(arrSorted[nFrom]), strName, bCase) == 0)
        ++nFrom;
    return nFrom;
}

// Pairs one group of names equal under the rule (a few spellings of one
// name at most) and appends its pairs in code-unit order of the names shown.
void PairGroup(const QStringList& arrLeft, const int* pLeft, size_t nLeft, const QStringList& arrRight,
               const int* pRight, size_t nRight, std::vector<CNamePair>& arrPairs)
{
    std::vector<CNamePair> arrGroup;
    std::vector<bool> abRightUsed(nRight, false);
    std::vector<int> arrLeftAlone;
    for (size_t i = 0; i < nLeft; ++i) {
        size_t j = 0;
        while (j < nRight && (abRightUsed[j] || arrRight.at(pRight[j]) != arrLeft.at(pLeft[i])))
            ++j;
        if (j < nRight) {
            abRightUsed[j] = true;
            arrGroup.push_back({pLeft[i], pRight[j]});
        } else {
            arrLeftAlone.push_back(pLeft[i]);
        }
    }
    size_t j = 0;
    for (const int nLeftIndex : arrLeftAlone) {
        while (j < nRight && abRightUsed[j])
            ++j;
        if (j < nRight) {
            abRightUsed[j] = true;
            arrGroup.push_back({nLeftIndex, pRight[j]});
        } else {
            arrGroup.push_back({nLeftIndex, -1});
        }
    }
    for (size_t k = 0; k < nRight; ++k) {
        if (!abRightUsed[k])
            arrGroup.push_back({-1, pRight[k]});
    }
    auto shown = [&](const CNamePair& pair) -> const QString& {
        return pair.nLeft >= 0 ? arrLeft.at(pair.nLeft) : arrRight.at(pair.nRight);
    };
    std::stable_sort(arrGroup.begin(), arrGroup.end(),
                     [&](const CNamePair& a, const CNamePair& b) { return shown(a) < shown(b); });
    arrPairs.insert(arrPairs.end(), arrGroup.begin(), arrGroup.end());
}

}  // namespace

std::vector<CNamePair> PairNames(const QStringList& arrLeft, const QStringList& arrRight, bool bCase)
{
    const std::vector<int> arrLeftSorted = SortedIndexes(arrLeft, bCase);
    const std::vector<int> arrRightSorted = SortedIndexes(arrRight, bCase);
    std::vector<CNamePair> arrPairs;
    arrPairs.reserve(arrLeftSorted.size() + arrRightSorted.size());

    // One walk over both sorted lists, a group of equal names at a time.
    size_t i = 0;
    size_t j = 0;
    while (i < arrLeftSorted.size() || j < arrRightSorted.size()) {
        const bool bLeftFirst = j == arrRightSorted.size()
                                || (i < arrLeftSorted.size()
                                    && CompareNames(arrLeft.at(arrLeftSorted[i]), arrRight.at(arrRightSorted[j]), bCase) <= 0);
        const QString& strName = bLeftFirst ? arrLeft.at(arrLeftSorted[i]) : arrRight.at(arrRightSorted[j]);
        const size_t iEnd = GroupEnd(arrLeft, arrLeftSorted, i, strName, bCase);
        const size_t jEnd = GroupEnd(arrRight, arrRightSorted, j, strName, bCase);
        PairGroup(arrLeft, arrLeftSorted.data() + i, iEnd - i, arrRight, arrRightSorted.data() + j, jEnd - j, arrPairs);
        i = iEnd;
        j = jEnd;
    }
    return arrPairs;
}
