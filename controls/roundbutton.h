#pragma once

#include "controls/imagefile.h"

#include <QPushButton>

#include <memory>

// A round picture button (the about button 516); its owner handles the click.
class CRoundButton : public QPushButton
{
    Q_OBJECT

public:
    explicit CRoundButton(QWidget* pParent = nullptr);
    ~CRoundButton() override;

    // Makes the button the circle inscribed in the smaller side of its
    // current size; called once its template rectangle is set.
    void MakeRound();

    int CenterX() const { return m_nCenterX; }
    int CenterY() const { return m_nCenterY; }
    int Radius() const { return m_nRadius; }

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    int m_nCenterX = 0;
    int m_nCenterY = 0;
    int m_nRadius = 0;
    std::unique_ptr<CImageFile> m_pImage;
};
