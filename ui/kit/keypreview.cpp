#include "ui/kit/keypreview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace tev {

DialogKey classifyKey(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return DialogKey::Enter;
    case Qt::Key_Escape:
        return DialogKey::Escape;
    case Qt::Key_Cancel:
        return DialogKey::Cancel;
    case Qt::Key_Pause:
        // Break is Ctrl+Pause on a PC keyboard; Pause alone is no cancel key.
        return event.modifiers().testFlag(Qt::ControlModifier) ? DialogKey::Cancel
                                                               : DialogKey::Other;
    default:
        return DialogKey::Other;
    }
}

KeyPreviewFilter::KeyPreviewFilter(QWidget *form, Handler handler)
    : QObject(form)
    , m_form(form)
    , m_handler(std::move(handler))
{
    qApp->installEventFilter(this);
}

KeyPreviewFilter::~KeyPreviewFilter()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool KeyPreviewFilter::isInsideForm(const QWidget *widget) const
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (w == m_form)
            return true;
        if (w->isWindow() && w->windowType() != Qt::Popup)
            return false;
    }
    return false;
}

bool KeyPreviewFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto *receiver = static_cast<QWidget *>(watched);
    if (!isInsideForm(receiver))
        return false;
    // An ignored press travels on to the parent of its last receiver: that is the same press.
    if (event == m_lastEvent && m_lastReceiver && m_lastReceiver->parentWidget() == receiver) {
        m_lastReceiver = receiver;
        return false;
    }
    m_lastEvent = event;
    m_lastReceiver = receiver;
    m_handler(*static_cast<QKeyEvent *>(event));
    return false;
}

} // namespace tev
