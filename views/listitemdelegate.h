#pragma once

#include <QStyledItemDelegate>

class CZembraListCtrl;

// Owner drawing: every cell of a list is painted by the list itself, with
// its own cutting and colour rules; all rows are one height.
class CListItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit CListItemDelegate(CZembraListCtrl* pList);

    void paint(QPainter* pPainter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    CZembraListCtrl* m_pList;
};
