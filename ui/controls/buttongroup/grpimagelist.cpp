#include "ui/controls/buttongroup/grpimagelist.h"

#include <QPainter>

namespace tev {

TvyxGrpImageList::TvyxGrpImageList(int width, int height, QObject *parent)
    : QObject(parent)
    , m_width(width)
    , m_height(height)
{}

int TvyxGrpImageList::Add(const QPixmap &image)
{
    m_images.append(
        image.size() == QSize(m_width, m_height)
            ? image
            : image.scaled(m_width, m_height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    Q_EMIT Changed();
    return Count() - 1;
}

void TvyxGrpImageList::Clear()
{
    m_images.clear();
    Q_EMIT Changed();
}

void TvyxGrpImageList::Draw(QPainter &canvas, int x, int y, int index) const
{
    if (index < 0 || index >= Count())
        return;
    canvas.drawPixmap(x, y, m_images[index]);
}

} // namespace tev
