#include "ui/images/keldmimages.h"

#include "ui/kit/speedbutton.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <array>

// Resources in a static library are registered explicitly, outside any namespace.
static void initImageResources()
{
    Q_INIT_RESOURCE(images);
}

namespace tev {

namespace {

struct NamedIcon
{
    const char *name;
    const char *file;
};

// In collection order: the index is part of the interface.
constexpr std::array<NamedIcon, 20> kIcons{{
    {"Large Icons\\CloseX negative", "closex-negative"},
    {"Large Icons\\Open negative", "open-negative"},
    {"Large Icons\\Save negative", "save-negative"},
    {"Large Icons\\Printer negative", "printer-negative"},
    {"Large Icons\\Refresh negative", "refresh-negative"},
    {"Large Icons\\Timer negative", "timer-negative"},
    {"Large Icons\\Pen negative", "pen-negative"},
    {"Large Icons\\FullScreen negative", "fullscreen-negative"},
    {"Tree Icons\\Tree Line negative", "tree-line-negative"},
    {"Tree Icons\\Tree Collapsed negative", "tree-collapsed-negative"},
    {"Tree Icons\\Tree Expanded negative", "tree-expanded-negative"},
    {"Tree Icons\\Kel dark_red", "kel-dark-red"},
    {"Tree Icons\\Ombrix", "ombrix"},
    {"Objects\\Obj FeatureBox negative", "obj-featurebox-negative"},
    {"New negativ", "new-negativ"},
    {"Large Icons\\Trash negative", "trash-negative"},
    {"Large Icons\\Export negative", "export-negative"},
    {"16x16\\Tool-font color", "tool-font-color"},
    {"16x16\\Tool-color bucket", "tool-color-bucket"},
    {"Undo negativ", "undo-negativ"},
}};

// The largest glyph a button gets, before the density factor.
constexpr int kMaxGlyphSize = 32;

void ensureResources()
{
    static const bool done = (initImageResources(), true);
    Q_UNUSED(done);
}

// The one module whose hook is active: a new module replaces the hook of an earlier one.
QMetaObject::Connection &activeFormHook()
{
    static QMetaObject::Connection connection;
    return connection;
}

} // namespace

int ImageCollection::count()
{
    return int(kIcons.size());
}

QString ImageCollection::name(int index)
{
    if (index < 0 || index >= count())
        return {};
    return QString::fromLatin1(kIcons[std::size_t(index)].name);
}

int ImageCollection::indexOf(const QString &name)
{
    for (int i = 0; i < count(); ++i)
        if (name == QLatin1String(kIcons[std::size_t(i)].name))
            return i;
    return -1;
}

QIcon ImageCollection::icon(int index)
{
    if (index < 0 || index >= count())
        return {};
    ensureResources();
    return QIcon(QStringLiteral(":/tevora/images/icons/%1.svg")
                     .arg(QLatin1String(kIcons[std::size_t(index)].file)));
}

QIcon ImageCollection::icon(const QString &name)
{
    return icon(indexOf(name));
}

QPixmap ImageCollection::pixmap(const QString &name, int size, qreal devicePixelRatio)
{
    const QIcon i = icon(name);
    if (i.isNull() || size <= 0)
        return {};
    QPixmap p = i.pixmap(QSize(size, size), 1.0);
    p.setDevicePixelRatio(devicePixelRatio);
    return p;
}

int glyphSize(int buttonHeight, int pixelsPerInch)
{
    const int size = std::min(buttonHeight / 8 * 8, kMaxGlyphSize);
    return int(qint64(size) * pixelsPerInch / 96);
}

void RescaleSpeedButtonGlyph(SpeedButton &button, int pixelsPerInch, qreal devicePixelRatio)
{
    const int scaled = glyphSize(button.height(), pixelsPerInch);
    if (button.glyph().isNull())
        return; // an empty glyph stays empty
    if (scaled <= 0) {
        button.setGlyph(QPixmap());
        return;
    }
    // The original filled with white only to mark the transparent colour; an alpha channel
    // does that here.
    QPixmap bitmap(scaled * button.numGlyphs(), scaled);
    bitmap.fill(Qt::transparent);
    {
        QPainter painter(&bitmap);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QPixmap glyph = button.glyph();
        painter.drawPixmap(bitmap.rect(), glyph, glyph.rect());
    }
    bitmap.setDevicePixelRatio(devicePixelRatio);
    button.setGlyph(bitmap);
}

TKelDMImages::TKelDMImages(QObject *owner)
    : QObject(owner)
{
    setObjectName(QStringLiteral("KelDMImages"));
    ensureResources();
    DataModuleCreate();
}

void TKelDMImages::DataModuleCreate()
{
    QObject::disconnect(activeFormHook());
    activeFormHook() = connect(qApp, &QGuiApplication::focusWindowChanged, this,
                               &TKelDMImages::ScreenActiveFormChange);
}

void TKelDMImages::ScreenActiveFormChange()
{
    if (QWidget *form = QApplication::activeWindow())
        rescaleFormGlyphs(*form);
}

void TKelDMImages::rescaleFormGlyphs(QWidget &form)
{
    // Qt lays widgets out in device-independent pixels: the density in device pixels per inch
    // is the logical density times the ratio.
    const qreal ratio = form.devicePixelRatioF();
    const int pixelsPerInch = qRound(form.logicalDpiY() * ratio);
    for (SpeedButton *button : form.findChildren<SpeedButton *>())
        RescaleSpeedButtonGlyph(*button, pixelsPerInch, ratio);
}

} // namespace tev
