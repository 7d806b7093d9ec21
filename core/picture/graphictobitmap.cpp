#include "core/picture/graphictobitmap.h"

#include "core/picture/picture.h"

#include <QPainter>

#include <exception>

namespace tev {

void GraphicToBitmap(TPicture &APicture)
{
    if (!APicture.HasGraphic() || APicture.GraphicIsBitmap())
        return;
    try {
        const QImage &graphic = APicture.Image();
        QImage bitmap(graphic.size(), QImage::Format_ARGB32);
        if (bitmap.isNull() && !graphic.isNull())
            return; // no memory for it: keep the graphic
        bitmap.fill(Qt::transparent);
        if (!graphic.isNull()) {
            QPainter painter(&bitmap);
            painter.drawImage(0, 0, graphic);
        }
        APicture.SetBitmap(bitmap);
    } catch (const std::exception &) {
        // Swallowed by design: the caller shows whatever graphic the picture still holds.
    }
}

} // namespace tev
