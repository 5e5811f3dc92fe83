#pragma once

#include "controls/imagefile.h"

#include <QPushButton>

#include <memory>

// The clickable logo of the bottom band (control 524): opens the maker's web site.
class CLogoButton : public QPushButton
{
    Q_OBJECT

public:
    explicit CLogoButton(QWidget* pParent = nullptr);
    ~CLogoButton() override;

    QString m_strURL;

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    void OnClicked();

    std::unique_ptr<CImageFile> m_pImage;
};
