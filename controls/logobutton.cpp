#include "controls/logobutton.h"

#include "app/shellfunctions.h"
#include "controls/windowfunctions.h"
#include "res/resourceimages.h"

#include <QPainter>

CLogoButton::CLogoButton(QWidget* pParent)
    : QPushButton(pParent),
      m_strURL(MakerWebAddress())
{
    auto pImage = std::make_unique<CImageFile>();
    if (pImage->Load(CompanionFilePath(DOC_LOGO)))
        m_pImage = std::move(pImage);
    setCursor(LoadHandCursor());
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QPushButton::clicked, this, &CLogoButton::OnClicked);
}

CLogoButton::~CLogoButton() = default;

void CLogoButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBandColor);
    if (m_pImage)
        m_pImage->Draw(painter, rect(), true);
}

void CLogoButton::OnClicked()
{
    if (!ShellOpenUrl(m_strURL.isEmpty() ? text() : m_strURL))
        MessageBeep();
}
