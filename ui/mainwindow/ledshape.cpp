#include "ui/mainwindow/ledshape.h"

#include <QMouseEvent>
#include <QPainter>

namespace tev {

TLedShape::TLedShape(QWidget *parent)
    : QWidget(parent)
    , m_brush(Qt::red)
{
    setCursor(Qt::PointingHandCursor);
    setFixedSize(10, 10);
}

void TLedShape::setBrushColor(const QColor &color)
{
    if (color == m_brush)
        return;
    m_brush = color;
    update();
}

void TLedShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(m_brush);
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void TLedShape::mouseReleaseEvent(QMouseEvent *event)
{
    if (rect().contains(event->position().toPoint()))
        Q_EMIT mouseUp();
    QWidget::mouseReleaseEvent(event);
}

} // namespace tev
