#include "views/findnextrow.h"

#include "controls/waitcursor.h"
#include "controls/windowfunctions.h"
#include "app/language.h"
#include "db/asciitext.h"
#include "res/resourceimages.h"
#include "res/stringids.h"
#include "views/zembralistctrl.h"

#include <QLineEdit>
#include <QPushButton>

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

bool IsSearchKey(int nKey, const QLineEdit* pEdit)
{
    return (nKey == Qt::Key_Return || nKey == Qt::Key_Enter) && pEdit != nullptr && pEdit->hasFocus();
}

void SetUpSearchField(QLineEdit& edit, QPushButton& button)
{
    button.setText(QString());
    button.setIcon(QIcon(SharedImageList().value(IMG_BINOCULARS)));
    button.setAccessibleName(LoadLangString(StringId::SearchButton));
    edit.setAccessibleName(LoadLangString(StringId::SearchText));
    QObject::connect(&edit, &QLineEdit::textChanged, &button,
                     [&button](const QString& strText) { EnableControl(&button, !strText.isEmpty()); });
    EnableControl(&button, !edit.text().isEmpty());
}

void SearchNextRow(QLineEdit& edit, CZembraListCtrl& list,
                   const std::function<bool(int nItemData, const QString& strLower)>& matches)
{
    CWaitCursor wait;
    const QString strText = edit.text();
    if (strText.isEmpty()) {
        MessageBeep();
        return;
    }
    edit.selectAll();
    edit.setFocus();
    const QString strLower = AsciiLower(strText);
    const int nFound = FindNextRow(list.GetSelectedRow(), list.GetItemCount(),
                                   [&](int nRow) { return matches(list.GetItemData(nRow), strLower); });
    if (nFound < 0)
        MessageBeep();
    else
        list.SelectRow(nFound);
}
