#pragma once

#include <functional>

// The search of the comparison window's lists: the first row after the
// selected one that matches, wrapping from the last row to the first, the
// selected row itself tested last; with no row selected, the rows from the
// first to the last. -1 when no row matches.
int FindNextRow(int nSelected, int nCount, const std::function<bool(int nRow)>& matches);

class CZembraListCtrl;
class QLineEdit;
class QPushButton;
class QString;

// Enter or Return while the search field has the focus: the key that
// searches as the button does.
bool IsSearchKey(int nKey, const QLineEdit* pEdit);

// The search field of a list and its button: the button shows the
// binoculars and is enabled exactly while the field holds a text; both are
// named for screen readers.
void SetUpSearchField(QLineEdit& edit, QPushButton& button);

// The search field of a list (its button or Enter): beeps for an empty text
// or when no row matches, else selects the next matching row; the field keeps
// the focus with its text selected. matches gets a row's item data and the
// searched text in ASCII lower case.
void SearchNextRow(QLineEdit& edit, CZembraListCtrl& list,
                   const std::function<bool(int nItemData, const QString& strLower)>& matches);
