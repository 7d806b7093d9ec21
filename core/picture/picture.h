#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace tev {

// A holder of one graphic that can load files: our stand-in for the platform's picture class.
// The graphic is kept as an image together with the name of its format as Qt's image readers
// call it ("bmp", "png", "jpeg", "svg", ...); "bmp" marks a bitmap. A picture without a graphic
// has an empty format. A vector graphic (SVG) is held rasterised at its own default size.
class TPicture
{
public:
    TPicture() = default;

    bool HasGraphic() const { return !m_format.isEmpty(); }
    // Whether the graphic is a bitmap (a bitmap file, a decoded gauge bitmap or a converted one).
    bool GraphicIsBitmap() const { return m_format == BitmapFormat(); }
    QByteArray GraphicFormat() const { return m_format; }
    const QImage &Image() const { return m_image; }
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }

    // Takes `image` as the graphic, a bitmap.
    void SetBitmap(const QImage &image);
    // Takes `image` as the graphic, of the reader format `format`.
    void SetGraphic(const QImage &image, const QByteArray &format);
    void Clear();

    // Loads a file through Qt's image readers, which pick the format by the file's extension.
    // An unknown extension or a file the reader cannot read throws tev::Error; the picture then
    // keeps its graphic.
    void LoadFromFile(const QString &fileName);

    static QByteArray BitmapFormat() { return QByteArrayLiteral("bmp"); }

private:
    QImage m_image;
    QByteArray m_format;
};

} // namespace tev
