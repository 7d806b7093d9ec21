#include "ui/pages/captionpanel.h"

#include <QPainter>

namespace tev {

TCaptionPanel::TCaptionPanel(QWidget *parent)
    : QFrame(parent)
{}

void TCaptionPanel::SetCaption(const QString &Caption)
{
    if (FCaption == Caption)
        return;
    FCaption = Caption;
    update();
}

void TCaptionPanel::SetShowCaption(bool Show)
{
    if (FShowCaption == Show)
        return;
    FShowCaption = Show;
    update();
}

void TCaptionPanel::SetColor(const QColor &Color)
{
    FColor = Color;
    update();
}

void TCaptionPanel::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        if (FColor.isValid())
            painter.fillRect(rect(), FColor);
        if (FShowCaption && !FCaption.isEmpty()) {
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(rect(), Qt::AlignCenter, FCaption);
        }
    }
    QFrame::paintEvent(event);
}

} // namespace tev
