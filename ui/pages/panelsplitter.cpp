#include "ui/pages/panelsplitter.h"

#include <QMouseEvent>
#include <algorithm>

namespace tev {

TPanelSplitter::TPanelSplitter(QWidget *Panel, Qt::Alignment Side, int Thickness, int MinPanelWidth,
                               QWidget *parent)
    : QWidget(parent)
    , FPanel(Panel)
    , FSide(Side)
    , FMinPanelWidth(MinPanelWidth)
{
    setFixedWidth(Thickness);
    setCursor(Qt::SplitHCursor);
}

int TPanelSplitter::PanelWidth() const
{
    // The fixed width, also before the panel was ever laid out.
    return FPanel ? FPanel->minimumWidth() : 0;
}

void TPanelSplitter::SetPanelWidth(int Width)
{
    if (!FPanel)
        return;
    const int width = std::max(Width, FMinPanelWidth);
    FPanel->setFixedWidth(width);
    Q_EMIT Moved(width);
}

void TPanelSplitter::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !FPanel)
        return;
    FDragging = true;
    FStartX = int(event->globalPosition().x());
    FStartWidth = FPanel->width();
}

void TPanelSplitter::mouseMoveEvent(QMouseEvent *event)
{
    if (!FDragging)
        return;
    const int delta = int(event->globalPosition().x()) - FStartX;
    int width = FSide == Qt::AlignLeft ? FStartWidth + delta : FStartWidth - delta;
    // Never wider than the room the parent has, so the grid between keeps some width.
    if (parentWidget())
        width = std::min(width, parentWidget()->width() - 2 * this->width() - 60);
    SetPanelWidth(width);
}

void TPanelSplitter::mouseReleaseEvent(QMouseEvent *)
{
    FDragging = false;
}

} // namespace tev
