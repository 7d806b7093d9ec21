#pragma once

#include <QString>

class QWidget;

namespace tev {

// The section of the placement store that holds a window's placement.
inline constexpr char kWindowPlacementSection[] = "Window";

// Window placement: position relative to the monitor the window is on, size, state and monitor
// number, kept in the section "Window" of the store that AppRegKey names (see TPlacementStore):
//   "Left", "Top"   the window's frame position minus the top-left corner of its monitor
//   "Height", "Width"   the window's size
//   "WindowState"   0 normal, 1 minimised, 2 maximised
//   "Monitor"       the monitor's number in QGuiApplication::screens(), counted from 0
// Errors of opening or writing the store throw tev::Error.

// Restores the placement of AForm. Values missing from the store keep the window's current
// ones. A monitor that no longer exists gives way to the primary one. A stored state of 2
// maximises the window; a minimised window comes back normal. Without a section "Window" the
// window keeps its automatic placement.
void ReadWindowPlacementFromRegistry(QWidget *AForm, const QString &AppRegKey);

// Writes "Left", "Top", "Height", "Width", "WindowState" and "Monitor", in this order.
void WriteWindowPlacementToRegistry(QWidget *AForm, const QString &AppRegKey);

} // namespace tev
