#include "ui/kit/buttonpanel.h"

#include <QAbstractButton>
#include <QPointer>

namespace tev {

ButtonPanel::ButtonPanel(QWidget *parent)
    : QWidget(parent)
{
    // Without a role of its own the panel would take its form's and ignore its colour.
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);
}

void ButtonPanel::setColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
}

QColor ButtonPanel::color() const
{
    return palette().color(QPalette::Window);
}

void ButtonPanel::addRightAligned(QAbstractButton *button, int width, const QMargins &margins,
                                  int height)
{
    button->setParent(this);
    m_slots.append({button, width, margins, height});
    relayout();
}

void ButtonPanel::relayout()
{
    int right = this->width();
    for (const Slot &slot : std::as_const(m_slots)) {
        if (!slot.button || slot.button->parent() != this || slot.button->isHidden())
            continue;
        right -= slot.margins.right();
        const int h =
            slot.height > 0 ? slot.height : height() - slot.margins.top() - slot.margins.bottom();
        slot.button->setGeometry(right - slot.width, slot.margins.top(), slot.width, h);
        right -= slot.width + slot.margins.left();
    }
}

void ButtonPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

} // namespace tev
