#pragma once

#include <QPixmap>
#include <QToolButton>

namespace tev {

// A flat button that never takes the focus, with a glyph: one bitmap holding NumGlyphs images
// side by side (up, disabled, down, stay down), the first of which is shown.
class SpeedButton : public QToolButton
{
    Q_OBJECT
public:
    explicit SpeedButton(QWidget *parent = nullptr);
    SpeedButton(const QString &caption, QWidget *parent);

    QPixmap glyph() const { return m_glyph; }
    void setGlyph(const QPixmap &glyph);

    int numGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int count); // 1 to 4

private:
    void updateIcon();

    QPixmap m_glyph;
    int m_numGlyphs = 1;
};

// The dialogs' flat panel button: white caption in the given font.
SpeedButton *makePanelButton(const QString &objectName, const QString &caption, const QFont &font,
                             QWidget *parent);

} // namespace tev
