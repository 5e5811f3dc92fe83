#include "app/schemalistctrl.h"

#include "controls/windowfunctions.h"
#include "db/dbdata.h"
#include "res/resourceimages.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kTextBufferSize = 260;

// Owner drawing: every row is painted by the list itself.
class SchemaRowDelegate : public QStyledItemDelegate
{
public:
    explicit SchemaRowDelegate(CSchemaListCtrl* pList) : QStyledItemDelegate(pList), m_pList(pList) {}

    void paint(QPainter* pPainter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        m_pList->DrawItem(*pPainter, option, index.row());
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return QSize(option.rect.width(), std::max(kStripImageSize, option.fontMetrics.height() + 2));
    }

private:
    CSchemaListCtrl* m_pList;
};

}  // namespace

CSchemaListCtrl::CSchemaListCtrl(QWidget* pParent)
    : QListWidget(pParent),
      m_crTextColor(palette().color(QPalette::Text)),
      m_crTextBkColor(palette().color(QPalette::Base)),
      m_crBkColor(palette().color(QPalette::Base))
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setItemDelegate(new SchemaRowDelegate(this));
}

void CSchemaListCtrl::InitList(CDBData* pDB)
{
    m_pDB = pDB;
    if (m_pStateImages.isEmpty())
        m_pStateImages = LoadImageList(ResourceId::TickBoxes);
}

void CSchemaListCtrl::FillSchemas()
{
    clear();
    m_arrSchemas.clear();
    if (m_pDB == nullptr)
        return;
    m_pDB->GetSchemaKeys(m_arrSchemas);
    for (qsizetype i = 0; i < m_arrSchemas.size(); ++i) {
        auto* pItem = new QListWidgetItem(this);
        pItem->setData(Qt::UserRole, int(i));
    }
}

QString CSchemaListCtrl::GetSchemaKey(int nRow) const
{
    const QListWidgetItem* pItem = item(nRow);
    if (pItem == nullptr)
        return QString();
    return m_arrSchemas.value(pItem->data(Qt::UserRole).toInt());
}

QString CSchemaListCtrl::GetItemText(int nRow) const
{
    const QListWidgetItem* pItem = item(nRow);
    const int nIndex = pItem ? pItem->data(Qt::UserRole).toInt() : -1;
    if (m_pDB == nullptr || nIndex < 0 || nIndex >= m_arrSchemas.size())
        return QString();
    return m_pDB->GetSchemaDisplayName(m_arrSchemas[nIndex]).left(kTextBufferSize - 1);
}

QRect CSchemaListCtrl::TickRect(int nRow) const
{
    const QRect row = visualItemRect(item(nRow));
    return QRect(row.topLeft(), QSize(kStripImageSize, kStripImageSize));
}

QRect CSchemaListCtrl::LabelRect(int nRow) const
{
    const QRect row = visualItemRect(item(nRow));
    const int nImage = m_pStateImages.isEmpty() ? 0 : kStripImageSize;
    return row.adjusted(nImage, 0, 0, 0);
}

void CSchemaListCtrl::DrawItem(QPainter& painter, const QStyleOptionViewItem& option, int nRow) const
{
    const QString strText = GetItemText(nRow);
    const QRect row = option.rect;
    const int nImage = m_pStateImages.isEmpty() ? 0 : kStripImageSize;
    const QRect label = row.adjusted(nImage, 0, 0, 0);
    const bool bSelected = option.state & QStyle::State_Selected;
    // The selected row is shown highlighted, so a click on the text is seen.
    painter.fillRect(label, bSelected ? palette().brush(QPalette::Highlight) : QBrush(m_crTextBkColor));
    if (m_pStateImages.size() == 2 && m_pDB != nullptr)
        painter.drawPixmap(row.topLeft(), m_pStateImages[m_pDB->IsSchemaSelected(GetSchemaKey(nRow)) ? 1 : 0]);
    const QRect text = label.adjusted(2, 0, -2, 0);
    painter.setPen(bSelected ? palette().color(QPalette::HighlightedText) : m_crTextColor);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                     MakeShortString(option.fontMetrics, strText, label.width(), 4));
}

int CSchemaListCtrl::TickRowAt(const QMouseEvent* pEvent) const
{
    if (pEvent->button() != Qt::LeftButton || m_pStateImages.isEmpty() || m_pDB == nullptr)
        return -1;
    const QPoint pos = pEvent->position().toPoint();
    const QListWidgetItem* pItem = itemAt(pos);
    if (pItem == nullptr)
        return -1;
    const int nRow = row(pItem);
    return pos.x() < LabelRect(nRow).left() ? nRow : -1;
}

void CSchemaListCtrl::ToggleTick(int nRow)
{
    m_pDB->ToggleSchemaSelected(GetSchemaKey(nRow));
    viewport()->update(TickRect(nRow));
}

void CSchemaListCtrl::mousePressEvent(QMouseEvent* pEvent)
{
    if (const int nRow = TickRowAt(pEvent); nRow >= 0) {
        ToggleTick(nRow);
        return;
    }
    QListWidget::mousePressEvent(pEvent);
}

void CSchemaListCtrl::mouseDoubleClickEvent(QMouseEvent* pEvent)
{
    // The first click has toggled the tick already. The view would replay
    // this second click as a press when the row differs from the last
    // pressed one, toggling the tick back.
    if (TickRowAt(pEvent) >= 0)
        return;
    QListWidget::mouseDoubleClickEvent(pEvent);
}

void CSchemaListCtrl::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() != Qt::Key_Space || pEvent->modifiers() != Qt::NoModifier) {
        QListWidget::keyPressEvent(pEvent);
        return;
    }
    // Holding the key down toggles once.
    const int nRow = currentRow();
    if (!pEvent->isAutoRepeat() && nRow >= 0 && m_pDB != nullptr && !m_pStateImages.isEmpty()) {
        // Selected, so the user sees which schema changed.
        setCurrentRow(nRow);
        ToggleTick(nRow);
    }
}
