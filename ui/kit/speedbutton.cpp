#include "ui/kit/speedbutton.h"

#include "ui/kit/colors.h"

#include <QIcon>

namespace tev {

SpeedButton::SpeedButton(QWidget *parent)
    : QToolButton(parent)
{
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

SpeedButton::SpeedButton(const QString &caption, QWidget *parent)
    : SpeedButton(parent)
{
    setText(caption);
}

void SpeedButton::setGlyph(const QPixmap &glyph)
{
    m_glyph = glyph;
    updateIcon();
}

void SpeedButton::setNumGlyphs(int count)
{
    m_numGlyphs = std::clamp(count, 1, 4);
    updateIcon();
}

void SpeedButton::updateIcon()
{
    if (m_glyph.isNull()) {
        setIcon(QIcon());
        return;
    }
    const int w = m_glyph.width() / m_numGlyphs;
    QPixmap first = m_glyph.copy(0, 0, w, m_glyph.height());
    first.setDevicePixelRatio(m_glyph.devicePixelRatio());
    setIcon(QIcon(first));
    setIconSize(first.deviceIndependentSize().toSize());
}

SpeedButton *makePanelButton(const QString &objectName, const QString &caption, const QFont &font,
                             QWidget *parent)
{
    auto *button = new SpeedButton(caption, parent);
    button->setObjectName(objectName);
    button->setFont(font);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // White only while enabled: a disabled button (Finish before the wizard is complete) must not
    // look clickable.
    QPalette p = button->palette();
    const QColor disabled = colorFromValue(kColorDimmedText).darker(140);
    for (auto role : {QPalette::ButtonText, QPalette::WindowText}) {
        p.setColor(QPalette::Active, role, Qt::white);
        p.setColor(QPalette::Inactive, role, Qt::white);
        p.setColor(QPalette::Disabled, role, disabled);
    }
    button->setPalette(p);
    return button;
}

} // namespace tev
