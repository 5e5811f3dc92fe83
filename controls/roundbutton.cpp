#include "controls/roundbutton.h"

#include "app/shellfunctions.h"
#include "controls/windowfunctions.h"
#include "res/resourceimages.h"

#include <QPainter>
#include <QRegion>

#include <algorithm>

CRoundButton::CRoundButton(QWidget* pParent)
    : QPushButton(pParent)
{
    auto pImage = std::make_unique<CImageFile>();
    if (pImage->Load(CompanionFilePath(DOC_BTNINFO)))
        m_pImage = std::move(pImage);
    setCursor(LoadHandCursor());
}

CRoundButton::~CRoundButton() = default;

void CRoundButton::MakeRound()
{
    const int d = std::min(width(), height());
    m_nCenterX = d / 2;
    m_nCenterY = d / 2;
    m_nRadius = d / 2 - 1;
    setMask(QRegion(0, 0, d, d, QRegion::Ellipse));
    resize(d, d);
}

void CRoundButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(205, 212, 218));
    if (m_pImage)
        m_pImage->Draw(painter, rect(), true);
}
