#include "controls/windowfunctions.h"

#include "app/formattext.h"
#include "app/qalmetapp.h"
#include "app/shellfunctions.h"
#include "controls/guiprompt.h"
#include "res/stringids.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include <atomic>
#include <cstdlib>

namespace {

std::atomic<int> g_nBeeps{0};

bool CanTakeFocus(const QWidget* pWidget)
{
    return pWidget->isEnabled() && pWidget->isVisible() && (pWidget->focusPolicy() & Qt::TabFocus);
}

}  // namespace

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long nProduct = static_cast<long long>(a) * b;
    const long long nHalf = std::llabs(c) / 2;
    const bool bNegative = (nProduct < 0) != (c < 0);
    const long long nResult = (std::llabs(nProduct) + nHalf) / std::llabs(c);
    return static_cast<int>(bNegative ? -nResult : nResult);
}

QString MakeShortString(const QFontMetrics& metrics, const QString& strText, int nWidth, int nOffset)
{
    if (strText.isEmpty() || metrics.horizontalAdvance(strText) + nOffset <= nWidth)
        return strText;
    const QString strDots = QStringLiteral("...");
    const int nReserved = nOffset + metrics.horizontalAdvance(strDots);
    if (nReserved >= nWidth)
        return QString();
    QString strShort = strText;
    while (!strShort.isEmpty() && metrics.horizontalAdvance(strShort) + nReserved > nWidth)
        strShort.chop(1);
    return strShort + strDots;
}

bool EnableControl(QWidget* pControl, bool bEnable)
{
    const bool bWasDisabled = !pControl->isEnabled();
    if (!bEnable && pControl->hasFocus()) {
        for (QWidget* pNext = pControl->nextInFocusChain(); pNext != nullptr && pNext != pControl;
             pNext = pNext->nextInFocusChain()) {
            if (pNext->window() == pControl->window() && CanTakeFocus(pNext)) {
                pNext->setFocus(Qt::TabFocusReason);
                pNext->repaint();
                break;
            }
        }
    }
    pControl->setEnabled(bEnable);
    return bWasDisabled;
}

QString MakerWebAddress()
{
    return QStringLiteral("https://www.talvorin.com/");
}

CDBData* ToolsDatabase()
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    return pApp ? pApp->GetDatabase(DB_TOOLS) : nullptr;
}

QString CompanionFilePath(int nKind)
{
    if (const CQalmetApp* pApp = CQalmetApp::GetInstance())
        return pApp->GetDocumentPath(nKind);
    return FindCompanionFile(nKind, QCoreApplication::applicationDirPath(), QStringLiteral("ENG"));
}

bool OpenDocument(const QString& strPath)
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    if (pApp == nullptr || !QFileInfo::exists(strPath))
        return false;
    if (pApp->OpenWithAssociatedProgram(strPath))
        return true;
    CGuiPrompt().ShowMessage(FormatLangString(StringId::NoProgramOpensFile, {QDir::toNativeSeparators(strPath)}),
                             CPrompt::Ok);
    return false;
}

bool ShellOpenUrl(const QString& strUrl)
{
    const QUrl url(strUrl);
    return url.isValid() && !url.isEmpty() && QDesktopServices::openUrl(url);
}

void MessageBeep()
{
    ++g_nBeeps;
    QApplication::beep();
}

int BeepCount()
{
    return g_nBeeps;
}

void DrawBottomBand(QPainter& painter, const QRect& client, int nBandTop)
{
    painter.fillRect(QRect(client.left(), nBandTop, client.width(), client.bottom() + 1 - nBandTop), kBandColor);
    painter.setPen(QPen(kAccentColor, 2));
    painter.drawLine(client.left(), nBandTop, client.right() + 1, nBandTop);
}
