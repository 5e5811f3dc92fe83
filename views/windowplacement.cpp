#include "views/windowplacement.h"

#include "app/placementtext.h"
#include "app/qalmetapp.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void RestoreWindowPlacement(QWidget* pWindow, int nFrameIndex)
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    const QScreen* pScreen = pWindow->screen() != nullptr ? pWindow->screen() : QGuiApplication::primaryScreen();
    if (pApp == nullptr || pScreen == nullptr)
        return;
    QString strRect;
    bool bZoomed = false;
    pApp->GetSettings().LoadWindowPlacement(strRect, bZoomed, nFrameIndex, pScreen->availableGeometry().size());
    QRect rect;
    // A rectangle of fewer than four numbers leaves the platform's placement.
    if (!ParseWindowRect(strRect, rect))
        return;
    pWindow->setGeometry(rect);
    if (bZoomed)
        pWindow->setWindowState(pWindow->windowState() | Qt::WindowMaximized);
}

void SaveWindowPlacement(const QWidget* pWindow, int nFrameIndex)
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    if (pApp == nullptr)
        return;
    const bool bZoomed = pWindow->isMaximized();
    const QRect normal = bZoomed ? pWindow->normalGeometry() : pWindow->geometry();
    pApp->GetSettings().SaveWindowPlacement(FormatWindowRect(normal), bZoomed, nFrameIndex);
}
