#pragma once

#include <QImage>
#include <QRect>
#include <QString>

class QPainter;

// One picture read from a file (PNG with its transparency).
class CImageFile
{
public:
    // Replaces any previous picture; false, holding nothing, when the file
    // cannot be read as an image.
    bool Load(const QString& strPath);
    bool IsLoaded() const { return !m_image.isNull(); }
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }

    // Draws the picture scaled into the rectangle (left, top, right, bottom);
    // (0, 0, n, n) stands for the picture's own size. With bFit the
    // proportions are kept and the picture is centred.
    void Draw(QPainter& painter, int nLeft, int nTop, int nRight, int nBottom, bool bFit) const;
    void Draw(QPainter& painter, const QRect& rect, bool bFit) const;

    // The rectangle Draw paints into, for a picture of nWidth x nHeight.
    static QRect FitRect(int nLeft, int nTop, int nRight, int nBottom, int nWidth, int nHeight, bool bFit);

private:
    QImage m_image;
};
