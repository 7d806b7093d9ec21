#pragma once

// The fit of a picture into an image control that shows it stretched proportionally and centred.
// The characteristics page and the image point editor draw their pictures with it, place the
// point marker with it and turn clicks into picture coordinates with it, so that the three always
// agree. Every routine answers nothing for a picture or control without area, where the fit
// would divide by zero.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

namespace tev {

struct TPictureFit
{
    double Scale = 0;
    int OffsetX = 0;
    int OffsetY = 0;
};

// The marker never gets smaller than this, whatever the control's size.
inline constexpr int kMinBulletSize = 10;

// A picture relatively taller than the control (or of equal aspect) is scaled to the control's
// height and centred horizontally; a wider one is scaled to its width and centred vertically.
// Offsets are truncated toward zero. Small pictures are scaled up as well.
std::optional<TPictureFit> FitPicture(QSize Picture, QSize Control);

// The rectangle the picture covers inside the control (control coordinates).
std::optional<QRectF> FittedPictureRect(QSize Picture, QSize Control);

// The marker of a picture point: its side is the control's smaller side div 40, at least
// kMinBulletSize; its centre lies on the point. Control is the image control's rectangle in its
// parent, and so is the result.
std::optional<QRect> BulletRect(QSize Picture, const QRect &Control, int ImageX, int ImageY);

// The picture point under Pos (coordinates of the control's parent). Points beside the picture
// are not clamped: they lie below 0 or beyond the picture's size.
std::optional<QPoint> PicturePoint(QSize Picture, const QRect &Control, QPoint Pos);

} // namespace tev
