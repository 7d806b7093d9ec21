#pragma once

#include <QPointer>
#include <QWidget>

namespace tev {

// A splitter bar beside a panel of fixed width: dragging it changes the panel's width within the
// panel's minimum and the room its parent leaves. Unlike QSplitter it keeps the width a plain
// property of the panel, which is what the window's stored layout reads and writes.
class TPanelSplitter : public QWidget
{
    Q_OBJECT

public:
    // Side: where the panel lies, seen from the bar (Qt::AlignLeft or Qt::AlignRight).
    TPanelSplitter(QWidget *Panel, Qt::Alignment Side, int Thickness, int MinPanelWidth,
                   QWidget *parent);

    // Sets the panel's width, kept at or above MinPanelWidth.
    void SetPanelWidth(int Width);
    int PanelWidth() const;

Q_SIGNALS:
    void Moved(int Width);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPointer<QWidget> FPanel;
    Qt::Alignment FSide;
    int FMinPanelWidth;
    bool FDragging = false;
    int FStartX = 0;
    int FStartWidth = 0;
};

} // namespace tev
