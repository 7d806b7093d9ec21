#pragma once

#include <QPixmap>
#include <QPoint>
#include <functional>

namespace tev {

// The picture of the dragged button. The group paints it over its buttons at the pointer, so a
// drag never leaves the control: reordering is a move inside one group.
class TvyxGrpDragImageList
{
public:
    void Clear();
    // Makes image the only picture; the hot spot is the point of it held under the pointer.
    void SetImage(const QPixmap &image, QPoint hotSpot);
    int Count() const { return m_image.isNull() ? 0 : 1; }
    const QPixmap &Image() const { return m_image; }
    QPoint HotSpot() const { return m_hotSpot; }

    bool Dragging() const { return m_dragging; }
    void setDragging(bool dragging) { m_dragging = dragging; }
    bool Visible() const { return m_visible; }
    void Show() { m_visible = true; }
    void Hide() { m_visible = false; }

private:
    QPixmap m_image;
    QPoint m_hotSpot;
    bool m_dragging = false;
    bool m_visible = false;
};

// What the edge auto-scroll waits with. The loop blocks the interface thread and reads the
// pointer itself, so tests replace the clock, the sleep and the pointer.
struct TvyxGrpAutoScrollClock
{
    std::function<qint64()> TickCount; // milliseconds, monotonic
    std::function<void(int ms)> Sleep; // blocks the calling thread
    std::function<QPoint()> CursorPos; // global position of the pointer

    // The real clock, sleep and pointer.
    static TvyxGrpAutoScrollClock System();
};

// Delays between two rows of edge auto-scroll: quick near the very edge, slower further in.
inline constexpr int kAutoScrollBand = 6;      // pixels from the edge that scroll
inline constexpr int kAutoScrollOuterBand = 3; // pixels from the edge that scroll quickly
inline constexpr int kAutoScrollOuterDelay = 250;
inline constexpr int kAutoScrollInnerDelay = 500;

} // namespace tev
