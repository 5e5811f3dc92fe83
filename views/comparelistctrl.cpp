#include "views/comparelistctrl.h"

#include "compare/comparestatus.h"

#include <QPainter>

namespace {

const QColor kStatusColors[CMP_STATUS_COUNT] = {
    QColor(0, 0, 0),    // CMP_SAME
    QColor(0, 0, 128),  // CMP_LEFT_ONLY
    QColor(0, 128, 0),  // CMP_RIGHT_ONLY
    QColor(255, 0, 0),  // CMP_DIFFERENT
};
const QColor kUnknownStatusColor(128, 128, 128);

bool IsBoldStatus(int nStatus)
{
    return nStatus == CMP_LEFT_ONLY || nStatus == CMP_RIGHT_ONLY || nStatus == CMP_DIFFERENT;
}

}  // namespace

QColor GetStatusColor(int nStatus)
{
    return nStatus >= 0 && nStatus < CMP_STATUS_COUNT ? kStatusColors[nStatus] : kUnknownStatusColor;
}

CCompareListCtrl::CCompareListCtrl(QWidget* pParent) : CZembraListCtrl(TOOLTIP_CUT_CELLS, pParent) {}

QFont CCompareListCtrl::GetItemFont(int nRow) const
{
    QFont font = CZembraListCtrl::GetItemFont(nRow);
    if (IsBoldStatus(GetItemStatus(nRow)))
        font.setWeight(QFont::Bold);
    return font;
}

void CCompareListCtrl::DrawItemText(QPainter& painter, int nRow, int nColumn, const QRect& cell) const
{
    // Selected rows keep their status colour on the highlight.
    const QPen previous = painter.pen();
    painter.setPen(GetStatusColor(GetItemStatus(nRow)));
    CZembraListCtrl::DrawItemText(painter, nRow, nColumn, cell);
    painter.setPen(previous);
}
