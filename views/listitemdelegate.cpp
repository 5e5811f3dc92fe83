#include "views/listitemdelegate.h"

#include "views/zembralistctrl.h"

CListItemDelegate::CListItemDelegate(CZembraListCtrl* pList) : QStyledItemDelegate(pList), m_pList(pList) {}

void CListItemDelegate::paint(QPainter* pPainter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    m_pList->DrawCell(*pPainter, option, index);
}

QSize CListItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return QSize(option.rect.width(), m_pList->GetRowHeight());
}
