#pragma once

#include <QList>
#include <QMargins>
#include <QWidget>

class QAbstractButton;

namespace tev {

// The dialogs' bottom panel: a flat coloured strip whose buttons are stacked against its right
// edge. Pixel positions are part of the dialogs' design, so the panel places its buttons itself
// instead of through a layout, which would also widen a box that has too many buttons.
class ButtonPanel : public QWidget
{
    Q_OBJECT
public:
    explicit ButtonPanel(QWidget *parent = nullptr);

    void setColor(const QColor &color);
    QColor color() const;

    // Adds a button at the left of those added before (the first one sits at the right edge).
    // A height of 0 lets the button fill the panel's height within its margins.
    void addRightAligned(QAbstractButton *button, int width, const QMargins &margins,
                         int height = 0);

    void relayout();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Slot
    {
        QAbstractButton *button;
        int width;
        QMargins margins;
        int height;
    };
    QList<Slot> m_slots;
};

} // namespace tev
