#include "controls/imagefile.h"

#include "controls/windowfunctions.h"

#include <QPainter>

#include <cstdlib>
#include <utility>

bool CImageFile::Load(const QString& strPath)
{
    m_image = QImage();
    return !strPath.isEmpty() && m_image.load(strPath);
}

QRect CImageFile::FitRect(int nLeft, int nTop, int nRight, int nBottom, int nWidth, int nHeight, bool bFit)
{
    if (nLeft == 0 && nTop == 0 && nRight == 0 && nBottom == 0) {
        nRight = nWidth;
        nBottom = nHeight;
    }
    if (bFit && nWidth > 0 && nHeight > 0) {
        if (std::llabs(static_cast<long long>(nRight - nLeft) * nHeight)
            < std::llabs(static_cast<long long>(nBottom - nTop) * nWidth)) {
            const int nFitHeight = MulDiv(nRight - nLeft, nHeight, nWidth);
            nTop = (nTop + nBottom - nFitHeight) / 2;
            nBottom = nTop + nFitHeight;
        } else {
            const int nFitWidth = MulDiv(nBottom - nTop, nWidth, nHeight);
            nLeft = (nLeft + nRight - nFitWidth) / 2;
            nRight = nLeft + nFitWidth;
        }
    }
    if (nLeft > nRight)
        std::swap(nLeft, nRight);
    if (nTop > nBottom)
        std::swap(nTop, nBottom);
    return QRect(QPoint(nLeft, nTop), QPoint(nRight - 1, nBottom - 1));
}

void CImageFile::Draw(QPainter& painter, int nLeft, int nTop, int nRight, int nBottom, bool bFit) const
{
    if (m_image.isNull())
        return;
    const QRect target = FitRect(nLeft, nTop, nRight, nBottom, m_image.width(), m_image.height(), bFit);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_image);
    painter.restore();
}

void CImageFile::Draw(QPainter& painter, const QRect& rect, bool bFit) const
{
    Draw(painter, rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1, bFit);
}
