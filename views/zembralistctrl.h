#pragma once

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QTreeView>

class CInfoBulleWnd;
class CListItemModel;
class IListItemSource;
class QStyleOptionViewItem;

// The owner-drawn list of the comparison window: a report of one or more
// columns without header, in the owner's order (never sorted), one row
// selected at most and the selection always shown. Its rows hold the
// owner's item numbers only; texts and images are asked from the owner's
// source when a row is drawn or read. A text that does not fit its cell is
// cut with "..."; in tooltip mode 2 the whole text of a cut cell shows over
// the cell once the pointer has rested on it.
class CZembraListCtrl : public QTreeView
{
    Q_OBJECT

public:
    enum ToolTipMode : int
    {
        TOOLTIP_NONE = 0,
        TOOLTIP_CUT_CELLS = 2,
    };

    // What a cell shows of its text: the text cut with "..." to the cell,
    // aligned by the column's format unless it was cut.
    struct DrawnText
    {
        QString strText;
        Qt::Alignment alignment;
    };

    explicit CZembraListCtrl(int nToolTipMode = TOOLTIP_NONE, QWidget* pParent = nullptr);
    ~CZembraListCtrl() override;

    int GetToolTipMode() const { return m_nToolTipMode; }
    CInfoBulleWnd& GetToolTipWnd() const { return *m_pToolTip; }

    // The owner's items. The source must outlive the list or be replaced.
    void SetItemSource(const IListItemSource* pSource);
    void SetItems(QList<int> arrItems);
    void SetItemCount(int nCount);
    void DeleteAllItems();
    int GetItemCount() const;
    // The item number of a row, -1 outside the rows.
    int GetItemData(int nRow) const;
    QString GetItemText(int nRow, int nColumn) const;
    int GetItemImage(int nRow) const;
    // The owner's data of these rows changed: they are drawn again.
    void RedrawItems(int nFirst, int nLast);

    // The format is the alignment of the column's texts (left, right or
    // centred); the first column is always left-aligned.
    void InsertColumn(int nColumn, const QString& strHeading, Qt::Alignment format = Qt::AlignLeft,
                      int nWidth = 100);
    int GetColumnCount() const;
    int GetColumnWidth(int nColumn) const { return columnWidth(nColumn); }
    void SetColumnWidth(int nColumn, int nWidth) { setColumnWidth(nColumn, nWidth); }
    // Sizes a column to its widest text over all rows, so that none is cut.
    void AutoSizeColumn(int nColumn);

    // Icons of the first column from these 16 x 16 images (the shared image
    // list); without images the rows have no icon.
    void SetImageList(const QList<QPixmap>& arrImages);
    // Background of the list and of its unselected rows.
    void SetBkColor(const QColor& color);
    QColor GetBkColor() const { return m_crBkColor; }
    void SetTextBkColor(const QColor& color);
    QColor GetTextBkColor() const { return m_crTextBkColor; }

    // The selected row, -1 for none.
    int GetSelectedRow() const;
    // Selects and focuses this row alone and scrolls it into view; -1
    // clears the selection.
    void SelectRow(int nRow);
    int GetTopIndex() const;
    int GetCountPerPage() const;
    int GetRowHeight() const;

    // Where a row lies, in viewport coordinates: all its columns, the icon,
    // the label (the first column after the icon) and a cell (the label for
    // the first column). Empty for a row that is not laid out.
    QRect GetItemRect(int nRow) const;
    QRect GetIconRect(int nRow) const;
    QRect GetLabelRect(int nRow) const;
    QRect GetCellRect(int nRow, int nColumn) const;

    // What a cell nCellWidth pixels wide shows of a text (2 pixels of
    // margin on each side).
    static DrawnText GetDrawnText(const QFontMetrics& metrics, const QString& strText, int nCellWidth,
                                  Qt::Alignment format);

    // The row under a viewport point, -1 for none; the column (-1 beyond the
    // columns) and the cell go to the optional out-parameters.
    virtual int HitTestEx(const QPoint& point, int* pnColumn = nullptr, QRect* pCell = nullptr) const;
    // True when the text does not fit the cell of this row and column.
    virtual bool IsTextTruncated(const QString& strText, int nRow, int nColumn) const;
    // Lays the tooltip over a cut cell and starts its delay; true in mode 2.
    virtual bool ShowToolTip(int nRow, int nColumn, const QRect& cell);
    // The font a row's texts are drawn and measured in.
    virtual QFont GetItemFont(int nRow) const;

    // Paints one cell; the list's delegate calls it.
    void DrawCell(QPainter& painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;

signals:
    // The rows' area changed size, also without the list's own resize: a
    // scroll bar came or went.
    void viewportResized();

protected:
    // Fills the part of a cell behind its text and sets the pen of the text.
    virtual void DrawBackground(QPainter& painter, int nRow, bool bSelected, const QRect& rect) const;
    virtual void DrawSmallIcon(QPainter& painter, int nRow, const QRect& icon, bool bSelected) const;
    // Draws the text of a cell with the painter's pen.
    virtual void DrawItemText(QPainter& painter, int nRow, int nColumn, const QRect& cell) const;

    void drawRow(QPainter* pPainter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    bool viewportEvent(QEvent* pEvent) override;
    void scrollContentsBy(int dx, int dy) override;
    void hideEvent(QHideEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private:
    int RowAt(int y) const;
    // Width taken by the icon at the left of the first column.
    int IconSpace() const;
    // The icon's place in a row's first cell.
    QRect IconRectIn(const QRect& firstCell) const;
    int AvailableWidth(int nColumn) const;
    bool HasFocusInForm() const;
    void TrackToolTip(const QPoint& point);
    // Nothing under the pointer any more: the tooltip goes.
    void ResetHotCell();
    // While the pointer is on the rows, the list follows it wherever it
    // goes (over its own tooltip too), so leaving the rows is never missed.
    void SetCaptured(bool bCaptured);

    int m_nToolTipMode;
    CListItemModel* m_pModel;   // child of the list
    CInfoBulleWnd* m_pToolTip;  // child window of the list
    QList<QPixmap> m_arrImages;
    QColor m_crBkColor;
    QColor m_crTextBkColor;
    int m_nHotItem = -1;
    int m_nHotSubItem = -1;
    QPoint m_lastPoint{-1, -1};
    bool m_bCaptured = false;
};
