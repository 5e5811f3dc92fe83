#include "views/zembralistctrl.h"

#include "controls/windowfunctions.h"
#include "res/resourceimages.h"
#include "views/infobullewnd.h"
#include "views/listitemdelegate.h"
#include "views/listitemmodel.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Room left of the icon, and the margin of a text inside its cell.
constexpr int kIconMargin = 2;
constexpr int kTextMargin = 2;
// MakeShortString's reserve: the two text margins.
constexpr int kTextOffset = 2 * kTextMargin;

// The image blended half and half with a colour, as a selected row shows it.
QPixmap Blend50(const QPixmap& image, const QColor& color)
{
    QPixmap blended = image;
    QPainter painter(&blended);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.setOpacity(0.5);
    painter.fillRect(blended.rect(), color);
    return blended;
}

QString WithoutTrailingSpace(QString strText)
{
    while (!strText.isEmpty() && strText.back().isSpace())
        strText.chop(1);
    return strText;
}

}  // namespace

CZembraListCtrl::CZembraListCtrl(int nToolTipMode, QWidget* pParent)
    : QTreeView(pParent),
      m_nToolTipMode(nToolTipMode),
      m_pModel(new CListItemModel(this)),
      m_crBkColor(palette().color(QPalette::Active, QPalette::Base)),
      m_crTextBkColor(m_crBkColor)
{
    setModel(m_pModel);
    setItemDelegate(new CListItemDelegate(this));
    setHeaderHidden(true);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    // Any width, down to 0 for a column the owner hides.
    header()->setMinimumSectionSize(0);
    setRootIsDecorated(false);
    setIndentation(0);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    viewport()->setMouseTracking(true);
    m_pToolTip = new CInfoBulleWnd(this);
    connect(m_pModel, &QAbstractItemModel::modelReset, this, &CZembraListCtrl::ResetHotCell);
}

CZembraListCtrl::~CZembraListCtrl() = default;

void CZembraListCtrl::SetItemSource(const IListItemSource* pSource)
{
    m_pModel->SetSource(pSource);
}

void CZembraListCtrl::SetItems(QList<int> arrItems)
{
    m_pModel->SetItems(std::move(arrItems));
}

void CZembraListCtrl::SetItemCount(int nCount)
{
    m_pModel->SetItemCount(nCount);
}

void CZembraListCtrl::DeleteAllItems()
{
    m_pModel->SetItems({});
}

int CZembraListCtrl::GetItemCount() const
{
    return m_pModel->GetItemCount();
}

int CZembraListCtrl::GetItemData(int nRow) const
{
    return m_pModel->GetItem(nRow);
}

QString CZembraListCtrl::GetItemText(int nRow, int nColumn) const
{
    return m_pModel->GetItemText(nRow, nColumn);
}

int CZembraListCtrl::GetItemImage(int nRow) const
{
    return m_pModel->GetItemImage(nRow);
}

void CZembraListCtrl::RedrawItems(int nFirst, int nLast)
{
    m_pModel->RefreshRows(nFirst, nLast);
}

void CZembraListCtrl::InsertColumn(int nColumn, const QString& strHeading, Qt::Alignment format, int nWidth)
{
    m_pModel->InsertColumn(nColumn, strHeading, format);
    setColumnWidth(std::clamp(nColumn, 0, GetColumnCount() - 1), nWidth);
}

void CZembraListCtrl::AutoSizeColumn(int nColumn)
{
    int nWidest = 0;
    for (int nRow = 0; nRow < GetItemCount(); ++nRow) {
        const QFontMetrics metrics(GetItemFont(nRow), viewport());
        nWidest = std::max(nWidest, metrics.horizontalAdvance(GetItemText(nRow, nColumn)));
    }
    setColumnWidth(nColumn, nWidest + kTextOffset + (nColumn == 0 ? IconSpace() : 0));
}

int CZembraListCtrl::GetColumnCount() const
{
    return m_pModel->columnCount();
}

void CZembraListCtrl::SetImageList(const QList<QPixmap>& arrImages)
{
    m_arrImages = arrImages;
    viewport()->update();
}

void CZembraListCtrl::SetBkColor(const QColor& color)
{
    m_crBkColor = color;
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, color);
    viewport()->setPalette(palette);
    viewport()->update();
}

void CZembraListCtrl::SetTextBkColor(const QColor& color)
{
    m_crTextBkColor = color;
    viewport()->update();
}

int CZembraListCtrl::GetSelectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

void CZembraListCtrl::SelectRow(int nRow)
{
    if (nRow < 0 || nRow >= GetItemCount()) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = m_pModel->index(nRow, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

int CZembraListCtrl::RowAt(int y) const
{
    if (GetColumnCount() == 0)
        return -1;
    const QModelIndex index = indexAt(QPoint(columnViewportPosition(0), y));
    return index.isValid() ? index.row() : -1;
}

int CZembraListCtrl::GetTopIndex() const
{
    return RowAt(0);
}

int CZembraListCtrl::GetCountPerPage() const
{
    return viewport()->height() / GetRowHeight();
}

int CZembraListCtrl::GetRowHeight() const
{
    return std::max(kStripImageSize, fontMetrics().height() + 2);
}

int CZembraListCtrl::IconSpace() const
{
    return m_arrImages.isEmpty() ? 0 : kIconMargin + kStripImageSize;
}

QRect CZembraListCtrl::GetItemRect(int nRow) const
{
    const QRect first = visualRect(m_pModel->index(nRow, 0));
    if (first.isEmpty())
        return QRect();
    return QRect(columnViewportPosition(0), first.top(), header()->length(), first.height());
}

QRect CZembraListCtrl::GetIconRect(int nRow) const
{
    const QRect first = visualRect(m_pModel->index(nRow, 0));
    if (first.isEmpty() || m_arrImages.isEmpty())
        return QRect();
    return IconRectIn(first);
}

QRect CZembraListCtrl::IconRectIn(const QRect& firstCell) const
{
    return QRect(firstCell.left() + kIconMargin, firstCell.top() + (firstCell.height() - kStripImageSize) / 2,
                 kStripImageSize, kStripImageSize);
}

QRect CZembraListCtrl::GetLabelRect(int nRow) const
{
    return GetCellRect(nRow, 0);
}

QRect CZembraListCtrl::GetCellRect(int nRow, int nColumn) const
{
    QRect cell = visualRect(m_pModel->index(nRow, nColumn));
    if (nColumn == 0 && !cell.isEmpty())
        cell.setLeft(cell.left() + IconSpace());
    return cell;
}

CZembraListCtrl::DrawnText CZembraListCtrl::GetDrawnText(const QFontMetrics& metrics, const QString& strText,
                                                         int nCellWidth, Qt::Alignment format)
{
    const QString strShort = MakeShortString(metrics, strText, nCellWidth, kTextOffset);
    // A cut text always starts at the left, where its beginning is read.
    if (strShort != strText)
        return {strShort, Qt::AlignLeft};
    return {strShort, format & Qt::AlignHorizontal_Mask};
}

int CZembraListCtrl::AvailableWidth(int nColumn) const
{
    return nColumn > 0 ? columnWidth(nColumn) : columnWidth(0) - IconSpace();
}

int CZembraListCtrl::HitTestEx(const QPoint& point, int* pnColumn, QRect* pCell) const
{
    int nRow = -1;
    int nColumn = -1;
    QRect cell;
    if (viewport()->rect().contains(point)) {
        nRow = RowAt(point.y());
        if (nRow >= 0) {
            nColumn = columnAt(point.x());
            if (nColumn >= 0)
                cell = GetCellRect(nRow, nColumn);
        }
    }
    if (pnColumn != nullptr)
        *pnColumn = nColumn;
    if (pCell != nullptr)
        *pCell = cell;
    return nRow;
}

bool CZembraListCtrl::IsTextTruncated(const QString& strText, int nRow, int nColumn) const
{
    if (strText.isEmpty())
        return false;
    const QFontMetrics metrics(GetItemFont(nRow), viewport());
    return AvailableWidth(nColumn) < metrics.horizontalAdvance(strText) + kTextOffset;
}

bool CZembraListCtrl::ShowToolTip(int nRow, int nColumn, const QRect& cell)
{
    if (m_nToolTipMode != TOOLTIP_CUT_CELLS)
        return false;
    if (nColumn < 0)
        return true;
    const QString strText = WithoutTrailingSpace(GetItemText(nRow, nColumn));
    if (!strText.isEmpty() && IsTextTruncated(strText, nRow, nColumn)) {
        // In the row's own font the whole text starts where the cut one
        // stands and covers it.
        m_pToolTip->setFont(GetItemFont(nRow));
        m_pToolTip->setGeometry(QRect(viewport()->mapToGlobal(cell.topLeft()), cell.size()));
        m_pToolTip->SetText(strText);
        m_pToolTip->Arm();
    }
    return true;
}

QFont CZembraListCtrl::GetItemFont(int) const
{
    return font();
}

void CZembraListCtrl::DrawCell(QPainter& painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int nRow = index.row();
    const int nColumn = index.column();
    // The selection is shown whether the list has the focus or not.
    const bool bSelected = option.state & QStyle::State_Selected;
    painter.save();
    QRect cell = option.rect;
    if (nColumn == 0) {
        // The icon stands on the list's background, the row starts after it.
        const int nIconSpace = IconSpace();
        painter.fillRect(QRect(cell.left(), cell.top(), nIconSpace, cell.height()), m_crBkColor);
        cell.setLeft(cell.left() + nIconSpace);
    }
    DrawBackground(painter, nRow, bSelected, cell);
    if (nColumn == 0 && !m_arrImages.isEmpty())
        DrawSmallIcon(painter, nRow, IconRectIn(option.rect), bSelected);
    DrawItemText(painter, nRow, nColumn, cell);
    painter.restore();
}

void CZembraListCtrl::drawRow(QPainter* pPainter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QTreeView::drawRow(pPainter, option, index);
    // The focused row of the focused list is framed, from its label on.
    if (!hasFocus() || index.row() != currentIndex().row())
        return;
    const bool bSelected = selectionModel()->isRowSelected(index.row(), QModelIndex());
    const int nLeft = columnViewportPosition(0) + IconSpace();
    const QRect frame(nLeft, option.rect.top(), header()->length() - IconSpace(), option.rect.height());
    pPainter->save();
    pPainter->setPen(QPen(palette().color(QPalette::Active, bSelected ? QPalette::HighlightedText : QPalette::Text), 1,
                          Qt::DotLine));
    pPainter->setBrush(Qt::NoBrush);
    pPainter->drawRect(frame.adjusted(0, 0, -1, -1));
    pPainter->restore();
}

void CZembraListCtrl::DrawBackground(QPainter& painter, int, bool bSelected, const QRect& rect) const
{
    const QPalette& colors = palette();
    if (!isEnabled()) {
        painter.setPen(colors.color(QPalette::Disabled, QPalette::Text));
        painter.fillRect(rect, colors.color(QPalette::Disabled, QPalette::Button));
    } else if (bSelected) {
        painter.setPen(colors.color(QPalette::Active, QPalette::HighlightedText));
        painter.fillRect(rect, colors.color(QPalette::Active, QPalette::Highlight));
    } else {
        painter.setPen(colors.color(QPalette::Active, QPalette::Text));
        painter.fillRect(rect, m_crTextBkColor);
    }
}

void CZembraListCtrl::DrawSmallIcon(QPainter& painter, int nRow, const QRect& icon, bool bSelected) const
{
    const int nImage = GetItemImage(nRow);
    if (nImage < 0 || nImage >= m_arrImages.size() || icon.width() < 2)
        return;
    const QColor highlight = palette().color(QPalette::Active, QPalette::Highlight);
    const QPixmap& image = m_arrImages[nImage];
    painter.drawPixmap(icon.topLeft(), bSelected ? Blend50(image, highlight) : image);
    if (!isEnabled()) {
        // Every other pixel of a disabled list's icon takes the highlight.
        painter.setBrushOrigin(icon.topLeft());
        painter.fillRect(icon, QBrush(highlight, Qt::Dense4Pattern));
    }
}

void CZembraListCtrl::DrawItemText(QPainter& painter, int nRow, int nColumn, const QRect& cell) const
{
    const QString strText = GetItemText(nRow, nColumn);
    if (strText.isEmpty())
        return;
    const QFont font = GetItemFont(nRow);
    painter.setFont(font);
    const Qt::Alignment format = nColumn == 0 ? Qt::AlignLeft : m_pModel->GetColumnFormat(nColumn);
    const DrawnText drawn = GetDrawnText(QFontMetrics(font, viewport()), strText, cell.width(), format);
    painter.drawText(cell.adjusted(kTextMargin, 0, -kTextMargin, 0),
                     drawn.alignment | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip, drawn.strText);
}

bool CZembraListCtrl::HasFocusInForm() const
{
    const QWidget* pFocus = QApplication::focusWidget();
    if (pFocus == nullptr)
        return false;
    if (pFocus == this || isAncestorOf(pFocus))
        return true;
    const QWidget* pForm = parentWidget();
    return pForm != nullptr && pForm->isAncestorOf(pFocus);
}

void CZembraListCtrl::TrackToolTip(const QPoint& point)
{
    if (point == m_lastPoint || !HasFocusInForm())
        return;
    if (m_nToolTipMode != TOOLTIP_NONE) {
        SetCaptured(true);
        int nColumn = -1;
        QRect cell;
        const int nRow = HitTestEx(point, &nColumn, &cell);
        if (nRow != m_nHotItem || nColumn != m_nHotSubItem) {
            m_pToolTip->HideToolTip();
            if (nRow >= 0)
                ShowToolTip(nRow, nColumn, cell);
        }
        m_nHotItem = nRow;
        m_nHotSubItem = nColumn;
        if (nRow < 0)
            SetCaptured(false);
    }
    m_lastPoint = point;
}

void CZembraListCtrl::SetCaptured(bool bCaptured)
{
    if (bCaptured == m_bCaptured)
        return;
    m_bCaptured = bCaptured;
    if (bCaptured)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

void CZembraListCtrl::ResetHotCell()
{
    SetCaptured(false);
    m_pToolTip->HideToolTip();
    m_nHotItem = -1;
    m_nHotSubItem = -1;
    m_lastPoint = QPoint(-1, -1);
}

void CZembraListCtrl::mouseMoveEvent(QMouseEvent* pEvent)
{
    TrackToolTip(pEvent->position().toPoint());
    QTreeView::mouseMoveEvent(pEvent);
}

bool CZembraListCtrl::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    // The viewport's own moves come through mouseMoveEvent.
    if (m_bCaptured && pEvent->type() == QEvent::MouseMove && pWatched->isWidgetType() && pWatched != viewport()) {
        const QPointF global = static_cast<QMouseEvent*>(pEvent)->globalPosition();
        TrackToolTip(viewport()->mapFromGlobal(global.toPoint()));
    }
    return QTreeView::eventFilter(pWatched, pEvent);
}

bool CZembraListCtrl::viewportEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::Leave)
        ResetHotCell();
    const bool bResult = QTreeView::viewportEvent(pEvent);
    if (pEvent->type() == QEvent::Resize)
        emit viewportResized();
    return bResult;
}

void CZembraListCtrl::scrollContentsBy(int dx, int dy)
{
    // The cells move away from under the tooltip.
    ResetHotCell();
    QTreeView::scrollContentsBy(dx, dy);
}

void CZembraListCtrl::hideEvent(QHideEvent* pEvent)
{
    ResetHotCell();
    QTreeView::hideEvent(pEvent);
}

void CZembraListCtrl::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::ActivationChange && !isActiveWindow())
        ResetHotCell();
    QTreeView::changeEvent(pEvent);
}
