#pragma once

#include "ui/controls/buttongroup/vyxbuttongroup.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>
#include <memory>

namespace tev::test {

// A shown group with one item per caption, sized so that its viewport is width x height
// (without a scroll bar).
inline std::unique_ptr<TvyxButtonGroup>
MakeGroup(const QStringList &captions, int width, int height,
          TvyxGrpButtonOptions options = gboFullSize | gboShowCaptions)
{
    auto group = std::make_unique<TvyxButtonGroup>();
    group->setButtonOptions(options);
    group->resize(width, height);
    for (const QString &caption : captions)
        group->Items().Add()->setCaption(caption);
    group->show();
    QApplication::processEvents();
    // A shown window focuses its control; tests that want the focus take it themselves.
    group->clearFocus();
    return group;
}

inline QStringList Captions(int n)
{
    QStringList captions;
    for (int i = 0; i < n; ++i)
        captions << QStringLiteral("Button %1").arg(i);
    return captions;
}

inline QStringList Order(const TvyxButtonGroup &group)
{
    QStringList captions;
    for (int i = 0; i < group.Items().Count(); ++i)
        captions << group.Items().Items(i)->Caption();
    return captions;
}

// A mouse move as the window system sends it, with the buttons held.
inline void MoveMouse(QWidget *widget, QPoint pos, Qt::MouseButtons buttons = Qt::NoButton)
{
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, buttons,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// The centre of button index, in viewport coordinates.
inline QPoint Centre(const TvyxButtonGroup &group, int index)
{
    return group.GetButtonRect(index).center();
}

} // namespace tev::test
