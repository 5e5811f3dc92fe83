#pragma once

#include "views/zembralistctrl.h"

#include <QColor>

// The text colour of a comparison status: black, navy, green and red for
// statuses 0 to 3, grey for any other value.
QColor GetStatusColor(int nStatus);

// A comparison result list: each row in the colour of its item's status
// (the item's image number), bold for the statuses 1 to 3, and the whole
// text of a cut cell in a tooltip.
class CCompareListCtrl : public CZembraListCtrl
{
    Q_OBJECT

public:
    explicit CCompareListCtrl(QWidget* pParent = nullptr);

    int GetItemStatus(int nRow) const { return GetItemImage(nRow); }
    QFont GetItemFont(int nRow) const override;

protected:
    void DrawItemText(QPainter& painter, int nRow, int nColumn, const QRect& cell) const override;
};
