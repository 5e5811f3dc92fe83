#include "views/findnextrow.h"

int FindNextRow(int nSelected, int nCount, const std::function<bool(int nRow)>& matches)
{
    if (nSelected < 0 || nSelected >= nCount) {
        for (int nRow = 0; nRow < nCount; ++nRow) {
            if (matches(nRow))
                return nRow;
        }
        return -1;
    }
    // The last step comes back to the selected row.
    for (int nStep = 1; nStep <= nCount; ++nStep) {
        const int nRow = (nSelected + nStep) % nCount;
        if (matches(nRow))
            return nRow;
    }
    return -1;
}
