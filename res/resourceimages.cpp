#include "res/resourceimages.h"

#include "app/shellfunctions.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <functional>

namespace {

const QColor kNavy(29, 41, 75);
const QColor kOrange(231, 75, 20);
const QColor kSky(141, 210, 239);
const QColor kSteel(70, 100, 150);

using Painter = std::function<void(QPainter&)>;

QImage Draw(int cx, int cy, const Painter& paint)
{
    QImage image(cx, cy, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return image;
}

void DrawUser(QPainter& p)
{
    p.setPen(QPen(kNavy, 1));
    p.setBrush(QColor(240, 200, 160));
    p.drawEllipse(QRectF(5, 1.5, 6, 6));
    p.setBrush(kSteel);
    QPainterPath body;
    body.moveTo(2, 15);
    body.cubicTo(2, 9, 14, 9, 14, 15);
    body.closeSubpath();
    p.drawPath(body);
}

void DrawComputer(QPainter& p)
{
    p.setPen(QPen(kNavy, 1));
    p.setBrush(QColor(200, 205, 215));
    p.drawRect(QRectF(1.5, 1.5, 13, 9));
    p.setBrush(kSky);
    p.drawRect(QRectF(3.5, 3.5, 9, 5));
    p.setBrush(QColor(200, 205, 215));
    p.drawRect(QRectF(6.5, 10.5, 3, 2));
    p.drawRect(QRectF(3.5, 12.5, 9, 2));
}

void DrawGrid(QPainter& p, const QColor& header)
{
    p.setPen(QPen(kNavy, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.fillRect(QRectF(2, 3, 12, 3), header);
    for (double y : {6.5, 9.5})
        p.drawLine(QPointF(1.5, y), QPointF(14.5, y));
    p.drawLine(QPointF(6.5, 2.5), QPointF(6.5, 13.5));
}

void DrawTable(QPainter& p)
{
    DrawGrid(p, kSteel);
}

void DrawView(QPainter& p)
{
    DrawGrid(p, QColor(90, 160, 90));
    p.setPen(QPen(kOrange, 1.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(8, 8, 6, 6));
}

void DrawBinoculars(QPainter& p)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(60, 60, 70));
    p.drawRect(QRectF(3, 2, 3, 6));
    p.drawRect(QRectF(10, 2, 3, 6));
    p.drawRect(QRectF(6, 5, 4, 3));
    p.setBrush(kSky);
    p.drawEllipse(QRectF(1, 7, 6.5, 6.5));
    p.drawEllipse(QRectF(8.5, 7, 6.5, 6.5));
}

void DrawColumn(QPainter& p)
{
    p.setPen(QPen(kNavy, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.fillRect(QRectF(6, 2, 4, 12), QColor(255, 210, 120));
    p.drawLine(QPointF(5.5, 1.5), QPointF(5.5, 14.5));
    p.drawLine(QPointF(10.5, 1.5), QPointF(10.5, 14.5));
}

void DrawKeyColumn(QPainter& p)
{
    DrawColumn(p);
    p.setPen(QPen(QColor(170, 120, 0), 1.5));
    p.setBrush(QColor(250, 200, 40));
    p.drawEllipse(QRectF(1, 9, 5, 5));
    p.drawLine(QPointF(5.5, 11.5), QPointF(14, 11.5));
    p.drawLine(QPointF(12.5, 11.5), QPointF(12.5, 14));
}

void DrawTickBox(QPainter& p, bool bTicked)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(80, 80, 80));
    p.setBrush(Qt::white);
    p.drawRect(2, 2, 11, 11);
    if (bTicked) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0, 110, 0), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(4.5, 7.5), QPointF(6.8, 10.5), QPointF(11, 4.5)}));
    }
}

void DrawSelect(QPainter& p)
{
    p.setPen(QPen(kNavy, 1));
    p.setBrush(kSky);
    p.drawPolygon(QPolygonF({QPointF(4, 1), QPointF(4, 14), QPointF(7, 11), QPointF(9.5, 15), QPointF(11, 14),
                             QPointF(8.5, 10), QPointF(12.5, 10)}));
}

void DrawOpen(QPainter& p)
{
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(250, 210, 90));
    p.drawPolygon(QPolygonF({QPointF(1.5, 3.5), QPointF(6, 3.5), QPointF(7.5, 5), QPointF(13.5, 5),
                             QPointF(13.5, 13.5), QPointF(1.5, 13.5)}));
    p.setBrush(QColor(255, 230, 140));
    p.drawPolygon(QPolygonF({QPointF(3.5, 7.5), QPointF(15, 7.5), QPointF(13.5, 13.5), QPointF(1.5, 13.5)}));
}

void DrawDelete(QPainter& p)
{
    p.setPen(QPen(QColor(200, 20, 20), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

QImage DrawStrip(const QList<Painter>& images)
{
    return Draw(kStripImageSize * int(images.size()), kStripImageSize, [&](QPainter& p) {
        for (qsizetype i = 0; i < images.size(); ++i) {
            p.save();
            p.translate(double(i * kStripImageSize), 0);
            images[i](p);
            p.restore();
        }
    });
}

// The product mark: a navy tile with the orange band and a white "K".
void DrawMark(QPainter& p, double size)
{
    const double r = size / 8;
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    p.drawRoundedRect(QRectF(0, 0, size, size), r, r);
    p.setBrush(kOrange);
    p.drawRect(QRectF(0, size * 0.78, size, size * 0.08));
    p.setPen(QPen(Qt::white, size * 0.12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(size * 0.32, size * 0.16), QPointF(size * 0.32, size * 0.66));
    p.drawPolyline(QPolygonF({QPointF(size * 0.70, size * 0.16), QPointF(size * 0.36, size * 0.42),
                              QPointF(size * 0.72, size * 0.66)}));
}

void DrawInfoButton(QPainter& p, double size)
{
    QRadialGradient gradient(size * 0.4, size * 0.35, size * 0.6);
    gradient.setColorAt(0, QColor(90, 130, 200));
    gradient.setColorAt(1, kNavy);
    p.setPen(QPen(kOrange, size * 0.05));
    p.setBrush(gradient);
    p.drawEllipse(QRectF(size * 0.03, size * 0.03, size * 0.94, size * 0.94));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(int(size * 0.62));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, QStringLiteral("?"));
}

void DrawLogo(QPainter& p, int cx, int cy)
{
    DrawMark(p, cy);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(cy * 42 / 100);
    p.setFont(font);
    p.setPen(kNavy);
    const QRectF text(cy * 1.15, 0, cx - cy * 1.15, cy * 0.62);
    p.drawText(text, Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("TALVORIN"));
    font.setBold(false);
    font.setPixelSize(cy * 20 / 100);
    p.setFont(font);
    p.setPen(kOrange);
    p.drawText(QRectF(cy * 1.18, cy * 0.64, cx, cy * 0.34), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("Kitvane  ·  JD Edwards DBA tools"));
}

}  // namespace

QImage DrawBitmapStrip(int nBitmapId)
{
    switch (nBitmapId) {
    case ResourceId::ImageStrip:
        return DrawStrip({DrawUser, DrawComputer, DrawTable, DrawView, DrawBinoculars, DrawColumn, DrawKeyColumn});
    case ResourceId::TickBoxes:
        return DrawStrip({[](QPainter& p) { DrawTickBox(p, false); }, [](QPainter& p) { DrawTickBox(p, true); }});
    case ResourceId::ItemCommands:
        return DrawStrip({DrawSelect, DrawOpen, DrawDelete});
    default:
        return QImage();
    }
}

QList<QPixmap> LoadImageList(int nBitmapId)
{
    const QImage strip = DrawBitmapStrip(nBitmapId);
    QList<QPixmap> images;
    for (int x = 0; x + kStripImageSize <= strip.width(); x += kStripImageSize)
        images.append(QPixmap::fromImage(strip.copy(x, 0, kStripImageSize, kStripImageSize)));
    return images;
}

QImage DrawIconImage(int nSize)
{
    return Draw(nSize, nSize, [nSize](QPainter& p) { DrawMark(p, nSize); });
}

QIcon LoadAppIcon()
{
    QIcon icon;
    for (int nSize : {16, 32, 48})
        icon.addPixmap(QPixmap::fromImage(DrawIconImage(nSize)));
    return icon;
}

QImage DrawHandCursorImage()
{
    return Draw(32, 32, [](QPainter& p) {
        QPainterPath hand;
        hand.moveTo(9, 14);
        hand.lineTo(9, 3);
        hand.cubicTo(9, 0.5, 13, 0.5, 13, 3);
        hand.lineTo(13, 11);
        hand.lineTo(21, 12.5);
        hand.cubicTo(24, 13, 25, 14.5, 25, 17);
        hand.lineTo(24, 24);
        hand.cubicTo(23.5, 27, 22, 29, 19, 29);
        hand.lineTo(12, 29);
        hand.cubicTo(10, 29, 9, 28, 8, 26);
        hand.lineTo(3.5, 18);
        hand.cubicTo(2.5, 16, 5, 14, 7, 15.5);
        hand.closeSubpath();
        p.setPen(QPen(Qt::black, 1.2));
        p.setBrush(Qt::white);
        p.drawPath(hand);
        for (double x : {16.5, 20.5})
            p.drawLine(QPointF(x, 12.5), QPointF(x, 18));
    });
}

QCursor LoadHandCursor()
{
    // The tip of the finger is the hot spot.
    return QCursor(QPixmap::fromImage(DrawHandCursorImage()), 11, 1);
}

int AnimationFrameCount()
{
    return 12;
}

QImage DrawAnimationFrame(int nFrame, int nSize)
{
    // A ring of dots whose brightest dot turns one step per frame.
    return Draw(nSize, nSize, [=](QPainter& p) {
        const int nDots = AnimationFrameCount();
        const double centre = nSize / 2.0;
        const double radius = nSize * 0.36;
        const double dot = nSize * 0.09;
        p.setPen(Qt::NoPen);
        for (int i = 0; i < nDots; ++i) {
            const int nAge = (nFrame - i + nDots) % nDots;
            QColor colour = nAge == 0 ? kOrange : kSteel;
            colour.setAlphaF(1.0 - 0.07 * nAge);
            p.setBrush(colour);
            const double angle = 2 * M_PI * i / nDots - M_PI / 2;
            p.drawEllipse(QPointF(centre + radius * std::cos(angle), centre + radius * std::sin(angle)), dot, dot);
        }
    });
}

QImage DrawCompanionPicture(int nDocumentKind)
{
    switch (nDocumentKind) {
    case DOC_BTNINFO:
        return Draw(64, 64, [](QPainter& p) { DrawInfoButton(p, 64); });
    case DOC_LOGO:
        return Draw(400, 90, [](QPainter& p) { DrawLogo(p, 400, 90); });
    case DOC_ICON:
        return DrawIconImage(128);
    default:
        return QImage();
    }
}

namespace {

QList<QPixmap>& SharedImages()
{
    static QList<QPixmap> images;
    return images;
}

}  // namespace

void CreateSharedImageList()
{
    if (SharedImages().isEmpty())
        SharedImages() = LoadImageList(ResourceId::ImageStrip);
}

const QList<QPixmap>& SharedImageList()
{
    return SharedImages();
}
