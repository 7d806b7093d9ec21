#include "ui/controls/vyxpanel.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace tev {

TvyxPanel::TvyxPanel(QWidget *parent)
    : QFrame(parent)
{
    setFocusPolicy(Qt::ClickFocus);
}

void TvyxPanel::keyPressEvent(QKeyEvent *event)
{
    Q_EMIT keyDown(event);
    QFrame::keyPressEvent(event);
}

void TvyxPanel::mousePressEvent(QMouseEvent *event)
{
    QFrame::mousePressEvent(event);
    Q_EMIT mouseDown(event);
    if (isVisible() && isEnabled())
        setFocus(Qt::MouseFocusReason);
}

} // namespace tev
