#pragma once

#include <QColor>
#include <QLabel>

// A static text that behaves as a web link: underlined, blue until visited.
class CStaticLink : public QLabel
{
    Q_OBJECT

public:
    explicit CStaticLink(QWidget* pParent = nullptr);

    QColor CurrentColor() const { return m_bVisited ? m_crVisited : m_crUnvisited; }

    QColor m_crUnvisited{0, 0, 255};
    QColor m_crVisited{128, 0, 128};
    bool m_bVisited = false;
    QString m_strURL;

protected:
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;

private:
    void OnClicked();
};
