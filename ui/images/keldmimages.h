#pragma once

#include <QIcon>
#include <QMetaObject>
#include <QObject>
#include <QStringList>

class QWidget;

namespace tev {

class SpeedButton;

// The program's icon collection: 20 named icons, drawn for this program as SVG so that they stay
// sharp at any size. The main window's image lists and the image editor draw from it by name.
class ImageCollection
{
public:
    static int count();
    static QString name(int index); // e.g. "Large Icons\\Save negative"
    static int indexOf(const QString &name);
    static QIcon icon(const QString &name); // a null icon for an unknown name
    static QIcon icon(int index);
    // A picture of size x size device pixels for a window with that pixel ratio.
    static QPixmap pixmap(const QString &name, int size, qreal devicePixelRatio = 1.0);
};

// The image module: holds the collection and, whenever a form becomes active, rescales the
// glyphs of that form's speed buttons to the screen's pixel density.
class TKelDMImages : public QObject
{
    Q_OBJECT
public:
    explicit TKelDMImages(QObject *owner = nullptr);

    static ImageCollection imageCollection() { return {}; }

    // Rescales the glyphs of every speed button of the active form.
    void ScreenActiveFormChange();
    // The same for a given form, with its screen's density.
    static void rescaleFormGlyphs(QWidget &form);

private:
    void DataModuleCreate();
};

// The glyph size of a button: its height in whole steps of 8 pixels, at most 32, times the
// screen's pixels per inch / 96 (truncated). The glyph is stretched to that many device pixels
// per image; the window's device pixel ratio is set on it, so that Qt does not scale it again.
int glyphSize(int buttonHeight, int pixelsPerInch);
void RescaleSpeedButtonGlyph(SpeedButton &button, int pixelsPerInch, qreal devicePixelRatio);

} // namespace tev
