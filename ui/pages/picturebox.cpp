#include "ui/pages/picturebox.h"

#include "ui/pages/picturefit.h"

#include <QMouseEvent>
#include <QPainter>

namespace tev {

TPictureBox::TPictureBox(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_NoSystemBackground); // transparent: the panel's colour shows around it
}

void TPictureBox::SetPicture(const QImage &Picture)
{
    FPicture = Picture;
    update();
}

void TPictureBox::paintEvent(QPaintEvent *)
{
    const std::optional<QRectF> target = FittedPictureRect(FPicture.size(), size());
    if (!target)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(*target, FPicture);
}

void TPictureBox::mousePressEvent(QMouseEvent *event)
{
    FPressed = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void TPictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = FPressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    FPressed = false;
    QWidget::mouseReleaseEvent(event);
    if (click)
        Q_EMIT Clicked(event->position().toPoint());
}

TBulletShape::TBulletShape(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setMinimumSize(kMinBulletSize, kMinBulletSize);
    resize(kMinBulletSize, kMinBulletSize);
    setCursor(Qt::CrossCursor);
    setEnabled(false);
    hide();
}

void TBulletShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(Qt::cyan));
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

} // namespace tev
