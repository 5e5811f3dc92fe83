#include "controls/updownctrl.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

CUpDownCtrl::CUpDownCtrl(QWidget* pParent)
    : QWidget(pParent),
      m_pUp(new QToolButton(this)),
      m_pDown(new QToolButton(this))
{
    for (QToolButton* pButton : {m_pUp, m_pDown}) {
        pButton->setAutoRepeat(true);
        // The buddy keeps the keyboard focus, as with the platform's arrows.
        pButton->setFocusPolicy(Qt::NoFocus);
    }
    m_pUp->setArrowType(Qt::UpArrow);
    m_pDown->setArrowType(Qt::DownArrow);
    connect(m_pUp, &QToolButton::clicked, this, [this] { Step(1); });
    connect(m_pDown, &QToolButton::clicked, this, [this] { Step(-1); });
}

void CUpDownCtrl::SetBuddy(QLineEdit* pBuddy)
{
    if (m_pBuddy)
        m_pBuddy->removeEventFilter(this);
    m_pBuddy = pBuddy;
    if (m_pBuddy)
        m_pBuddy->installEventFilter(this);
}

void CUpDownCtrl::SetRange(int nLower, int nUpper)
{
    m_nLower = std::min(nLower, nUpper);
    m_nUpper = std::max(nLower, nUpper);
    m_nPos = std::clamp(m_nPos, m_nLower, m_nUpper);
}

int CUpDownCtrl::GetPos() const
{
    if (m_pBuddy) {
        bool bNumber = false;
        const int nValue = m_pBuddy->text().trimmed().toInt(&bNumber);
        if (bNumber)
            return std::clamp(nValue, m_nLower, m_nUpper);
    }
    return m_nPos;
}

void CUpDownCtrl::Step(int nDelta)
{
    if (!isEnabled())
        return;
    m_nPos = std::clamp(GetPos() + nDelta, m_nLower, m_nUpper);
    if (m_pBuddy)
        m_pBuddy->setText(QString::number(m_nPos));
}

bool CUpDownCtrl::eventFilter(QObject* pObject, QEvent* pEvent)
{
    // The type first: a buddy being destroyed still sends events while it is
    // only a QWidget, and comparing with the QPointer casts it to QLineEdit.
    if (pEvent->type() == QEvent::KeyPress && pObject == m_pBuddy) {
        const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
        if (nKey == Qt::Key_Up || nKey == Qt::Key_Down) {
            Step(nKey == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(pObject, pEvent);
}

void CUpDownCtrl::resizeEvent(QResizeEvent*)
{
    const int nHalf = height() / 2;
    m_pUp->setGeometry(0, 0, width(), nHalf);
    m_pDown->setGeometry(0, nHalf, width(), height() - nHalf);
}

void CUpDownCtrl::SetButtonNames(const QString& strUp, const QString& strDown)
{
    m_pUp->setAccessibleName(strUp);
    m_pUp->setToolTip(strUp);
    m_pDown->setAccessibleName(strDown);
    m_pDown->setToolTip(strDown);
}
