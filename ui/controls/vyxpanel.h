#pragma once

#include <QFrame>

class QKeyEvent;
class QMouseEvent;

namespace tev {

// A panel that reports its key presses and takes the keyboard focus when it is clicked, so that
// it can receive keys at all (the main window's details panel).
class TvyxPanel : public QFrame
{
    Q_OBJECT
public:
    explicit TvyxPanel(QWidget *parent = nullptr);

Q_SIGNALS:
    void keyDown(QKeyEvent *event); // OnKeyDown
    void mouseDown(QMouseEvent *event);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};

} // namespace tev
