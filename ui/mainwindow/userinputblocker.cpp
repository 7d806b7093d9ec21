#include "ui/mainwindow/userinputblocker.h"

#include <QCoreApplication>
#include <QEvent>

namespace tev {

UserInputBlocker::UserInputBlocker()
{
    QCoreApplication::instance()->installEventFilter(this);
    ++s_active;
}

UserInputBlocker::~UserInputBlocker()
{
    --s_active;
    QCoreApplication::instance()->removeEventFilter(this);
}

bool UserInputBlocker::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
        ++m_dropped;
        event->ignore();
        return true;
    default:
        return false;
    }
}

} // namespace tev
