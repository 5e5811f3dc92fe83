#pragma once

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QTabWidget>

// A tab control that draws its tabs' contents itself over the shapes the
// style draws: each tab on the button face, its image one space from its
// left edge, its text centred on one line (in the middle of a selected
// tab, on the bottom of the others). Its pages are empty: the owner lays
// its own controls over the page area.
class CTabCtrlEx : public QTabWidget
{
    Q_OBJECT

public:
    // Height of the system's 3-D edge: a tab's contents start below it.
    static constexpr int kEdgeHeight = 2;
    // An unselected tab's background reaches this much further down.
    static constexpr int kUnselectedExtension = 2;

    explicit CTabCtrlEx(QWidget* pParent = nullptr);

    // The images the tabs name by number (a shared strip).
    void SetImageList(const QList<QPixmap>& arrImages);
    // Inserts a tab with its text and its image (-1: none); its index.
    int InsertItem(int nItem, const QString& strText, int nImage = -1);
    // The tab's image number, -1 for none.
    int GetItemImage(int nItem) const;
    // Where a tab lies, in the control's coordinates.
    QRect GetItemRect(int nItem) const;
    // Draws the contents of a tab inside rect (the tab bar's coordinates);
    // nothing for a negative item.
    void DrawItem(QPainter& painter, int nItem, const QRect& rect) const;

    QColor m_crSelText;
    QColor m_crText;

private:
    QList<QPixmap> m_arrImages;
};
