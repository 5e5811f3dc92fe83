#include "views/listitemmodel.h"

#include "views/listitemsource.h"

#include <algorithm>
#include <numeric>

CListItemModel::CListItemModel(QObject* pParent) : QAbstractTableModel(pParent) {}

void CListItemModel::SetSource(const IListItemSource* pSource)
{
    beginResetModel();
    m_pSource = pSource;
    endResetModel();
}

void CListItemModel::SetItems(QList<int> arrItems)
{
    beginResetModel();
    m_arrItems = std::move(arrItems);
    endResetModel();
}

void CListItemModel::SetItemCount(int nCount)
{
    QList<int> arrItems(std::max(nCount, 0));
    std::iota(arrItems.begin(), arrItems.end(), 0);
    SetItems(std::move(arrItems));
}

int CListItemModel::GetItem(int nRow) const
{
    return nRow >= 0 && nRow < m_arrItems.size() ? m_arrItems[nRow] : -1;
}

QString CListItemModel::GetItemText(int nRow, int nColumn, bool bAccessible) const
{
    const int nItem = GetItem(nRow);
    if (m_pSource == nullptr || nItem < 0 || nColumn < 0 || nColumn >= m_arrColumns.size())
        return QString();
    return bAccessible ? m_pSource->GetItemAccessibleText(nItem, nColumn) : m_pSource->GetItemText(nItem, nColumn);
}

int CListItemModel::GetItemImage(int nRow) const
{
    const int nItem = GetItem(nRow);
    if (m_pSource == nullptr || nItem < 0)
        return -1;
    return m_pSource->GetItemImage(nItem);
}

void CListItemModel::RefreshRows(int nFirst, int nLast)
{
    nFirst = std::max(nFirst, 0);
    nLast = std::min(nLast, GetItemCount() - 1);
    if (nFirst <= nLast && !m_arrColumns.isEmpty())
        emit dataChanged(index(nFirst, 0), index(nLast, columnCount() - 1));
}

void CListItemModel::InsertColumn(int nColumn, const QString& strHeading, Qt::Alignment format)
{
    nColumn = std::clamp(nColumn, 0, int(m_arrColumns.size()));
    beginInsertColumns(QModelIndex(), nColumn, nColumn);
    m_arrColumns.insert(nColumn, Column{strHeading, format & Qt::AlignHorizontal_Mask});
    endInsertColumns();
}

Qt::Alignment CListItemModel::GetColumnFormat(int nColumn) const
{
    return nColumn >= 0 && nColumn < m_arrColumns.size() ? m_arrColumns[nColumn].format : Qt::AlignLeft;
}

int CListItemModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : GetItemCount();
}

int CListItemModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_arrColumns.size());
}

QVariant CListItemModel::data(const QModelIndex& index, int nRole) const
{
    if (!index.isValid())
        return QVariant();
    switch (nRole) {
    case Qt::DisplayRole:
        return GetItemText(index.row(), index.column());
    case Qt::AccessibleTextRole:
        return GetItemText(index.row(), index.column(), true);
    case Qt::AccessibleDescriptionRole:
        return index.column() == 0 && m_pSource != nullptr && GetItem(index.row()) >= 0
                   ? m_pSource->GetItemDescription(GetItem(index.row()))
                   : QString();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(GetColumnFormat(index.column()) | Qt::AlignVCenter);
    case ItemNumberRole:
        return GetItem(index.row());
    case ImageRole:
        // Only the first column of a row has an image.
        return index.column() == 0 ? GetItemImage(index.row()) : -1;
    default:
        return QVariant();
    }
}

QVariant CListItemModel::headerData(int nSection, Qt::Orientation orientation, int nRole) const
{
    if (orientation == Qt::Horizontal && nRole == Qt::DisplayRole && nSection >= 0 && nSection < m_arrColumns.size())
        return m_arrColumns[nSection].strHeading;
    return QAbstractTableModel::headerData(nSection, orientation, nRole);
}

Qt::ItemFlags CListItemModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
