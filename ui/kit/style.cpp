#include "ui/kit/style.h"

#include "ui/kit/colors.h"

#include <QApplication>
#include <QStyleFactory>

namespace tev {

QPalette slatePalette()
{
    const QColor window = colorFromValue(clVYXCtrlBackground); // RGB(59, 59, 59)
    const QColor base(47, 52, 58);
    const QColor text(235, 235, 235);
    const QColor dimmed = colorFromValue(kColorDimmedText);
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, window);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, dimmed);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, colorFromValue(kColorButtonPanel));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Highlight, colorFromValue(clVYXSelected));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, colorFromValue(clVYXSelected).lighter(150));
    p.setColor(QPalette::Light, window.lighter(140));
    p.setColor(QPalette::Midlight, window.lighter(120));
    p.setColor(QPalette::Mid, window.darker(120));
    p.setColor(QPalette::Dark, window.darker(150));
    p.setColor(QPalette::Shadow, Qt::black);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, dimmed.darker(140));
    return p;
}

bool trySetStyle(QApplication &app, const QString &name)
{
    if (name != QLatin1String(kStyleName))
        return false;
    QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion"));
    if (!fusion)
        return false;
    app.setStyle(fusion);
    app.setPalette(slatePalette());
    return true;
}

QColor styledPanelColor()
{
    return QApplication::palette().color(QPalette::Window);
}

} // namespace tev
