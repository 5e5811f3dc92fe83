#pragma once

#include <functional>

// The search of the comparison window's lists: the first row after the
// selected one that matches, wrapping from the last row to the first, the
// selected row itself tested last; with no row selected, the rows from the
// first to the last. -1 when no row matches.
int FindNextRow(int nSelected, int nCount, const std::function<bool(int nRow)>& matches);
