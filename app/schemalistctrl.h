#pragma once

#include <QColor>
#include <QList>
#include <QListWidget>
#include <QPixmap>
#include <QStringList>

class CDBData;
class QStyleOptionViewItem;

// The schema list of the main dialog: one row per schema with its tick box;
// a press on the box ticks or unticks the schema (a double click there
// toggles it once), a click on the text only selects the row, and Space
// toggles the tick of the current row.
class CSchemaListCtrl : public QListWidget
{
    Q_OBJECT

public:
    explicit CSchemaListCtrl(QWidget* pParent = nullptr);

    void InitList(CDBData* pDB);
    void FillSchemas();

    // The row's text, supplied on demand; empty when the row cannot be read.
    QString GetItemText(int nRow) const;
    QString GetSchemaKey(int nRow) const;
    // Where the tick box and the text of a row lie, in viewport coordinates.
    QRect TickRect(int nRow) const;
    QRect LabelRect(int nRow) const;

    void DrawItem(QPainter& painter, const QStyleOptionViewItem& option, int nRow) const;

    QList<QPixmap> m_pStateImages;
    CDBData* m_pDB = nullptr;
    QStringList m_arrSchemas;
    QColor m_crTextColor;
    QColor m_crTextBkColor;
    QColor m_crBkColor;

protected:
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    // The row whose tick box the left button hits, or -1.
    int TickRowAt(const QMouseEvent* pEvent) const;
    void ToggleTick(int nRow);
};
