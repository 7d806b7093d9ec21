#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>

class QPainter;

namespace tev {

// A list of equally sized button images. Groups repaint on Changed and forget a list that is
// destroyed, so one list can serve several groups and be freed before them.
class TvyxGrpImageList : public QObject
{
    Q_OBJECT
public:
    TvyxGrpImageList(int width, int height, QObject *parent = nullptr);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Count() const { return int(m_images.size()); }

    // Scales the image to the list's size; returns its index.
    int Add(const QPixmap &image);
    void Clear();
    // Draws image Index with its top left at (x, y); an index out of range draws nothing.
    void Draw(QPainter &canvas, int x, int y, int index) const;

Q_SIGNALS:
    void Changed();

private:
    int m_width;
    int m_height;
    QList<QPixmap> m_images;
};

} // namespace tev
