#pragma once

#include <QSplitter>
#include <QSplitterHandle>

// A splitter whose panes are sized by their window alone: its bars are
// drawn in the accent colour, show no resize cursor and ignore the mouse,
// so they can never be dragged.
class CBaseSplitWnd : public QSplitter
{
    Q_OBJECT

public:
    static constexpr int kBarWidth = 4;

    explicit CBaseSplitWnd(Qt::Orientation orientation, QWidget* pParent = nullptr);

protected:
    QSplitterHandle* createHandle() override;
};

// The bar between two panes of a CBaseSplitWnd.
class CSplitterBar : public QSplitterHandle
{
    Q_OBJECT

public:
    CSplitterBar(Qt::Orientation orientation, QSplitter* pParent);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
};
