#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

class IListItemSource;

// The rows of an owner-drawn list: the owner's item numbers and nothing
// else. Texts and images are asked from the owner's source each time a row
// is drawn or read, so a list of any length costs one number per row.
class CListItemModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role : int
    {
        ItemNumberRole = Qt::UserRole,  // the owner's item number of a row
        ImageRole,                      // the item's image, -1 for none
    };

    explicit CListItemModel(QObject* pParent = nullptr);

    void SetSource(const IListItemSource* pSource);

    // The rows in order, one per item number.
    void SetItems(QList<int> arrItems);
    // Items 0 .. nCount - 1.
    void SetItemCount(int nCount);
    int GetItemCount() const { return int(m_arrItems.size()); }
    // The item number of a row, -1 outside the rows.
    int GetItem(int nRow) const;
    // The text shown, or what a screen reader reads of the cell.
    QString GetItemText(int nRow, int nColumn, bool bAccessible = false) const;
    int GetItemImage(int nRow) const;
    // The owner's data of these rows changed: they are asked again.
    void RefreshRows(int nFirst, int nLast);

    // The column's format is the alignment of its texts.
    void InsertColumn(int nColumn, const QString& strHeading, Qt::Alignment format);
    Qt::Alignment GetColumnFormat(int nColumn) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int nRole = Qt::DisplayRole) const override;
    QVariant headerData(int nSection, Qt::Orientation orientation, int nRole = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Column
    {
        QString strHeading;
        Qt::Alignment format;
    };

    const IListItemSource* m_pSource = nullptr;
    QList<int> m_arrItems;
    QList<Column> m_arrColumns;
};
