#include "controls/tabctrlex.h"

#include <QPainter>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>

namespace {

// The tab bar of the control: the style draws each tab's shape, the
// control its contents, the selected tab last since it overlaps the others.
class OwnerDrawnTabBar : public QTabBar
{
public:
    OwnerDrawnTabBar(const CTabCtrlEx& control, QWidget* pParent) : QTabBar(pParent), m_control(control) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        const int nSelected = currentIndex();
        for (int nItem = 0; nItem < count(); ++nItem) {
            if (nItem != nSelected)
                DrawTab(painter, nItem);
        }
        if (nSelected >= 0)
            DrawTab(painter, nSelected);
    }

private:
    void DrawTab(QStylePainter& painter, int nItem)
    {
        QStyleOptionTab option;
        initStyleOption(&option, nItem);
        painter.drawControl(QStyle::CE_TabBarTabShape, option);
        // The contents stay inside the shape's border, and above the page's
        // edge, which the tabs overlap.
        const int nBorder = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
        const int nOverlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, &option, this);
        m_control.DrawItem(painter, nItem,
                           option.rect.adjusted(nBorder + 1, 0, -nBorder - 1,
                                                -nOverlap - CTabCtrlEx::kUnselectedExtension));
    }

    const CTabCtrlEx& m_control;
};

}  // namespace

CTabCtrlEx::CTabCtrlEx(QWidget* pParent) : QTabWidget(pParent)
{
    setTabBar(new OwnerDrawnTabBar(*this, this));
    setDocumentMode(false);
    m_crSelText = palette().color(QPalette::ButtonText);
    m_crText = m_crSelText;
}

void CTabCtrlEx::SetImageList(const QList<QPixmap>& arrImages)
{
    m_arrImages = arrImages;
}

int CTabCtrlEx::InsertItem(int nItem, const QString& strText, int nImage)
{
    const QPixmap image = m_arrImages.value(nImage);
    // The icon also gives the tab its room; the control draws it itself.
    const int nIndex = insertTab(nItem, new QWidget(this), image.isNull() ? QIcon() : QIcon(image), strText);
    tabBar()->setTabData(nIndex, image.isNull() ? -1 : nImage);
    return nIndex;
}

int CTabCtrlEx::GetItemImage(int nItem) const
{
    const QVariant image = tabBar()->tabData(nItem);
    return image.isValid() ? image.toInt() : -1;
}

QRect CTabCtrlEx::GetItemRect(int nItem) const
{
    return tabBar()->tabRect(nItem).translated(tabBar()->pos());
}

void CTabCtrlEx::DrawItem(QPainter& painter, int nItem, const QRect& rect) const
{
    if (nItem < 0 || nItem >= count())
        return;
    const QString strText = tabText(nItem);
    const QPixmap image = m_arrImages.value(GetItemImage(nItem));
    const bool bSelected = nItem == currentIndex();

    painter.save();
    QRect area = rect.adjusted(0, kEdgeHeight, 0, 0);
    painter.fillRect(bSelected ? area : area.adjusted(0, 0, 0, kUnselectedExtension), palette().brush(QPalette::Button));
    if (!image.isNull()) {
        area.setLeft(area.left() + painter.fontMetrics().horizontalAdvance(u' '));
        painter.drawPixmap(area.left(), area.top(), image);
        area.setLeft(area.left() + image.width());
    }
    if (bSelected) {
        painter.setPen(m_crSelText);
        area.setTop(area.top() - kEdgeHeight);
        painter.drawText(area, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, strText);
    } else {
        painter.setPen(m_crText);
        painter.drawText(area, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine, strText);
    }
    painter.restore();
}
