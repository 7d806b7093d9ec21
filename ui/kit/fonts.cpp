#include "ui/kit/fonts.h"

#include <QStringList>

namespace tev {

QFont dialogFont(FontFace face, int pixelSize)
{
    QFont font;
    const QString designed =
        face == FontFace::Tahoma ? QStringLiteral("Tahoma") : QStringLiteral("Segoe UI");
    font.setFamilies({designed, QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace tev
