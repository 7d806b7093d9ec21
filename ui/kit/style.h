#pragma once

#include <QColor>
#include <QPalette>

class QApplication;

namespace tev {

// The program's visual style "KelMSlateGray": Qt's Fusion style with a dark slate palette.
inline constexpr char kStyleName[] = "KelMSlateGray";

QPalette slatePalette();

// Applies the style to the application. Returns false (and leaves the look) for an unknown name.
bool trySetStyle(QApplication &app, const QString &name);

// The panel colour of the style in effect, as dialogs ask for it.
QColor styledPanelColor();

} // namespace tev
