#include "ui/controls/buttongroup/grpdragreorder.h"

#include "ui/controls/buttongroup/vyxbuttongroup.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QPainter>
#include <QScopedValueRollback>
#include <QThread>

namespace tev {

// ---- TvyxGrpDragImageList ----

void TvyxGrpDragImageList::Clear()
{
    m_image = QPixmap();
    m_hotSpot = QPoint();
}

void TvyxGrpDragImageList::SetImage(const QPixmap &image, QPoint hotSpot)
{
    m_image = image;
    m_hotSpot = hotSpot;
}

TvyxGrpAutoScrollClock TvyxGrpAutoScrollClock::System()
{
    TvyxGrpAutoScrollClock clock;
    clock.TickCount = [] {
        static QElapsedTimer timer;
        if (!timer.isValid())
            timer.start();
        return timer.elapsed();
    };
    clock.Sleep = [](int ms) { QThread::msleep(ulong(std::max(0, ms))); };
    clock.CursorPos = [] { return QCursor::pos(); };
    return clock;
}

// ---- Drag reorder of the button group ----

void TvyxButtonGroup::setDragIndex(int index)
{
    m_dragIndex = index;
    m_dragStarted = true;
}

int TvyxButtonGroup::TargetIndexAt(int x, int y) const
{
    const int count = m_buttonItems->Count();
    int index = IndexOfButtonAt(x, y);
    if (index == -1) {
        // Below or right of the last button means after it.
        const QRect r = GetButtonRect(count);
        if (y >= r.y() + r.height() ||
            (y >= r.y() && ((m_buttonOptions & gboFullSize) || x >= r.x())))
            return count;
        return -1;
    }
    const QRect r = GetButtonRect(index);
    if (ButtonsPerRow() == 1) {
        if (y > r.y() + r.height() / 2)
            ++index;
    } else if (x > r.x() + r.width() / 2) {
        ++index;
    }
    return index;
}

void TvyxButtonGroup::SetInsertionPoints(int insertionIndex)
{
    if (insertionIndex == m_insertTop)
        return;
    RemoveInsertionPoints();
    // The bar sits between button T - 1 and button T and is drawn on both.
    if (ButtonsPerRow() == 1) {
        m_insertTop = insertionIndex;
        m_insertBottom = insertionIndex - 1;
    } else {
        m_insertLeft = insertionIndex;
        m_insertRight = insertionIndex - 1;
    }
    InvalidateButton(m_insertTop);
    InvalidateButton(m_insertLeft);
    InvalidateButton(m_insertRight);
    InvalidateButton(m_insertBottom);
}

void TvyxButtonGroup::RemoveInsertionPoints()
{
    for (int *mark : {&m_insertTop, &m_insertLeft, &m_insertRight, &m_insertBottom}) {
        if (*mark != -1) {
            const int old = *mark;
            *mark = -1;
            InvalidateButton(old);
        }
    }
}

void TvyxButtonGroup::StartDrag(QPoint pos)
{
    m_dragStartPos = pos;
    const int oldDown = m_downIndex;
    m_downIndex = -1;
    InvalidateButton(oldDown);
    if (m_hotIndex != -1) {
        const int oldHot = m_hotIndex;
        m_hotIndex = -1;
        InvalidateButton(oldHot);
        viewport()->repaint();
        HotButtonChanged();
    }
    m_dragStarted = true;

    if (m_dragIndex == -1) {
        m_dragImageList.Clear();
    } else {
        const QRect r = GetButtonRect(m_dragIndex);
        QPixmap picture(r.size());
        picture.fill(Qt::transparent);
        {
            QPainter canvas(&picture);
            TButtonDrawState state = bdsDragged;
            if (m_dragIndex == m_itemIndex)
                state |= bdsSelected;
            PaintButton(m_dragIndex, canvas, state, QRect(QPoint(0, 0), r.size()));
        }
        const int threshold = QApplication::startDragDistance();
        m_dragImageList.SetImage(picture,
                                 QPoint(pos.x() - r.x() - threshold, pos.y() - r.y() - threshold));
    }
    m_dragImageList.setDragging(true);
    m_dragImageList.Show();
    m_dragPos = pos;
    m_dragAccepted = false;
    viewport()->update();
}

void TvyxButtonGroup::DragOver(QPoint pos)
{
    m_dragPos = pos;
    if (!viewport()->rect().contains(pos)) {
        // The pointer left the control: no drop is shown until it comes back.
        m_dragAccepted = false;
        RemoveInsertionPoints();
        viewport()->update();
        return;
    }
    DragAutoScroll(pos);
    const int target = TargetIndexAt(pos.x(), pos.y());
    m_dragAccepted = target != -1 && target != m_dragIndex && target != m_dragIndex + 1 &&
                     m_buttonItems->Count() > 1;
    if (m_dragAccepted)
        SetInsertionPoints(target);
    else
        RemoveInsertionPoints();
    viewport()->update();
}

// Blocks the interface thread while the pointer rests in the band along the top or bottom edge,
// scrolling a row at a time: the user holds the button still there and watches rows go by.
void TvyxButtonGroup::DragAutoScroll(QPoint pos)
{
    const int width = viewport()->width();
    const int height = viewport()->height();
    const auto inDownBand = [&](QPoint p) {
        return p.y() >= height - kAutoScrollBand && p.y() <= height && p.x() >= 0 && p.x() <= width;
    };
    const auto inUpBand = [&](QPoint p) {
        return p.y() >= 0 && p.y() <= kAutoScrollBand && p.x() >= 0 && p.x() <= width;
    };
    bool down;
    if (m_hiddenItems < m_scrollBarMax && inDownBand(pos))
        down = true;
    else if (m_hiddenItems > 0 && inUpBand(pos))
        down = false;
    else
        return;

    RemoveInsertionPoints();
    viewport()->repaint();
    bool firstStep = true;
    qint64 lastStep = 0;
    for (;;) {
        const QPoint p = viewport()->mapFromGlobal(m_autoScrollClock.CursorPos());
        if (down ? (!inDownBand(p) || m_hiddenItems >= m_scrollBarMax)
                 : (!inUpBand(p) || m_hiddenItems <= 0))
            break;
        const bool outer =
            down ? p.y() >= height - kAutoScrollOuterBand : p.y() <= kAutoScrollOuterBand;
        const int delay = outer ? kAutoScrollOuterDelay : kAutoScrollInnerDelay;
        if (!firstStep) {
            const qint64 elapsed = m_autoScrollClock.TickCount() - lastStep;
            if (elapsed < delay)
                m_autoScrollClock.Sleep(int(delay - elapsed));
        }
        firstStep = false;
        lastStep = m_autoScrollClock.TickCount();
        m_dragPos = p;
        ScrollRows(down ? TScrollCode::LineDown : TScrollCode::LineUp);
    }
}

void TvyxButtonGroup::DragDrop(int x, int y)
{
    RemoveInsertionPoints();
    if (m_dragIndex < 0)
        return;
    int target = TargetIndexAt(x, y);
    if (target > m_dragIndex)
        --target;
    if (target != -1)
        MoveButton(m_dragIndex, target);
    m_dragIndex = -1;
}

void TvyxButtonGroup::EndDrag(QPoint pos)
{
    if (m_dragAccepted && viewport()->rect().contains(pos))
        DragDrop(pos.x(), pos.y());
    m_dragIndex = -1;
    m_dragAccepted = false;
    RemoveInsertionPoints();
    m_dragImageList.setDragging(false);
    m_dragImageList.Hide();
    viewport()->update();
}

// The button is still held: the drag stays started, so its release clicks nothing.
void TvyxButtonGroup::CancelDrag()
{
    m_dragIndex = -1;
    m_dragAccepted = false;
    RemoveInsertionPoints();
    m_dragImageList.setDragging(false);
    m_dragImageList.Hide();
    viewport()->update();
}

void TvyxButtonGroup::MoveButton(int oldIndex, int newIndex)
{
    {
        QScopedValueRollback<bool> ignore(m_ignoreUpdate, true);
        const TvyxGrpButtonItem *selected = m_buttonItems->Items(m_itemIndex);
        const int selectedID = selected ? selected->ID() : -1;
        m_buttonItems->Move(oldIndex, newIndex);
        if (selectedID != -1)
            m_itemIndex = m_buttonItems->IndexOfID(selectedID);
    }
    viewport()->repaint();
    if (m_onReorderButton)
        m_onReorderButton(this, oldIndex, newIndex);
}

void TvyxButtonGroup::PaintDragImage(QPainter &canvas)
{
    if (!m_dragImageList.Dragging() || !m_dragImageList.Visible() || m_dragImageList.Count() == 0)
        return;
    canvas.setOpacity(0.7);
    canvas.drawPixmap(m_dragPos - m_dragImageList.HotSpot(), m_dragImageList.Image());
    canvas.setOpacity(1);
}

} // namespace tev
