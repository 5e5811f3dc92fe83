#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>

// The system's pictures, drawn by its own code: the 16 x 16 strips of the
// bitmap resources, the icon, the hand cursor, the frames of the working
// animation and the companion pictures written beside the executable.

namespace ResourceId {
inline constexpr int AppIcon = 128;
inline constexpr int ImageStrip = 134;     // user, computer, table, view, binoculars, column, key column
inline constexpr int TickBoxes = 186;      // empty, ticked
inline constexpr int ItemCommands = 187;   // select, open, delete
inline constexpr int HandCursor = 200;
inline constexpr int WorkingAnimation = 511;
}  // namespace ResourceId

// Images of the shared strip (bitmap 134).
enum : int
{
    IMG_USER = 0,
    IMG_COMPUTER = 1,
    IMG_TABLE = 2,
    IMG_VIEW = 3,
    IMG_BINOCULARS = 4,
    IMG_COLUMN = 5,
    IMG_KEY_COLUMN = 6,
};

inline constexpr int kStripImageSize = 16;

// A strip of 16 x 16 images side by side on a transparent ground; null for
// an unknown bitmap id.
QImage DrawBitmapStrip(int nBitmapId);
// The 16 x 16 images of a strip, in order.
QList<QPixmap> LoadImageList(int nBitmapId);

QImage DrawIconImage(int nSize);
QIcon LoadAppIcon();

QImage DrawHandCursorImage();
QCursor LoadHandCursor();

int AnimationFrameCount();
QImage DrawAnimationFrame(int nFrame, int nSize);

// BtnInfo, Logo and Icon (DOC_BTNINFO, DOC_LOGO, DOC_ICON); null otherwise.
QImage DrawCompanionPicture(int nDocumentKind);

// The application's shared image list (bitmap 134), created at start-up.
void CreateSharedImageList();
const QList<QPixmap>& SharedImageList();
