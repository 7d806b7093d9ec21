#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace tev::test {

// Presses and releases a key on a widget through the application, as a keyboard would. QTest's
// key clicks cannot send keys without an ASCII form, such as Qt::Key_Cancel.
inline void pressKey(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(widget, &release);
}

} // namespace tev::test
