#include "ui/pages/picturefit.h"

#include <algorithm>

namespace tev {

std::optional<TPictureFit> FitPicture(QSize Picture, QSize Control)
{
    const int pw = Picture.width();
    const int ph = Picture.height();
    const int cw = Control.width();
    const int ch = Control.height();
    if (pw <= 0 || ph <= 0 || cw <= 0 || ch <= 0)
        return std::nullopt;
    TPictureFit fit;
    const double pictureAspect = double(ph) / pw;
    const double controlAspect = double(ch) / cw;
    if (pictureAspect >= controlAspect) {
        fit.Scale = double(ch) / ph;
        fit.OffsetX = int(cw - pw * fit.Scale) / 2;
    } else {
        fit.Scale = double(cw) / pw;
        fit.OffsetY = int(ch - ph * fit.Scale) / 2;
    }
    return fit;
}

std::optional<QRectF> FittedPictureRect(QSize Picture, QSize Control)
{
    const std::optional<TPictureFit> fit = FitPicture(Picture, Control);
    if (!fit)
        return std::nullopt;
    return QRectF(fit->OffsetX, fit->OffsetY, Picture.width() * fit->Scale,
                  Picture.height() * fit->Scale);
}

std::optional<QRect> BulletRect(QSize Picture, const QRect &Control, int ImageX, int ImageY)
{
    const std::optional<TPictureFit> fit = FitPicture(Picture, Control.size());
    if (!fit)
        return std::nullopt;
    const int side =
        std::max(std::min(Control.width(), Control.height()) / 40, int(kMinBulletSize));
    const int left = int(fit->Scale * ImageX) + Control.left() + fit->OffsetX - side / 2;
    const int top = int(fit->Scale * ImageY) + Control.top() + fit->OffsetY - side / 2;
    return QRect(left, top, side, side);
}

std::optional<QPoint> PicturePoint(QSize Picture, const QRect &Control, QPoint Pos)
{
    const std::optional<TPictureFit> fit = FitPicture(Picture, Control.size());
    if (!fit)
        return std::nullopt;
    return QPoint(int((Pos.x() - Control.left() - fit->OffsetX) / fit->Scale),
                  int((Pos.y() - Control.top() - fit->OffsetY) / fit->Scale));
}

} // namespace tev
