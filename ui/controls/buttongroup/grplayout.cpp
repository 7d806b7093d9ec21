#include "ui/controls/buttongroup/grplayout.h"

#include "ui/controls/buttongroup/vyxbuttongroup.h"

#include <QScopedValueRollback>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

namespace tev {

int TvyxGrpLayout::ButtonsPerRow() const
{
    if (FullSize)
        return 1;
    return std::max(1, ClientWidth / ButtonWidth);
}

int TvyxGrpLayout::RowsInView() const
{
    return ClientHeight / ButtonHeight;
}

QRect TvyxGrpLayout::ButtonRect(int index) const
{
    const int perRow = ButtonsPerRow();
    const int i = index - HiddenItems * perRow;
    const int top = (i / perRow) * ButtonHeight;
    if (FullSize)
        return QRect(0, top, ClientWidth, ButtonHeight);
    return QRect((i % perRow) * ButtonWidth, top, ButtonWidth, ButtonHeight);
}

int TvyxGrpLayout::IndexOfButtonAt(int x, int y) const
{
    if (x < 0 || x >= ClientWidth || y < 0 || y >= ClientHeight)
        return -1;
    const int perRow = ButtonsPerRow();
    const int row = y / ButtonHeight;
    int column = 0;
    if (!FullSize) {
        column = x / ButtonWidth;
        if (column >= perRow)
            return -1;
    }
    const int index = (HiddenItems + row) * perRow + column;
    if (index >= Count || (row + 1) * ButtonHeight > ClientHeight)
        return -1;
    return index;
}

TvyxGrpScrollRange ComputeScrollRange(const TvyxGrpLayout &layout)
{
    TvyxGrpScrollRange range;
    const int perRow = layout.ButtonsPerRow();
    const int rowsInView = layout.RowsInView();
    if (rowsInView * perRow >= layout.Count)
        return range;
    range.ShowScrollBar = true;
    range.TotalRows = layout.Count / perRow + (layout.Count % perRow != 0 ? 1 : 0);
    range.PageAmount = std::min(rowsInView, range.TotalRows);
    range.ScrollBarMax = range.TotalRows - range.PageAmount;
    return range;
}

int ScrolledHiddenItems(TScrollCode code, int position, int hiddenItems, int pageAmount,
                        int scrollBarMax)
{
    switch (code) {
    case TScrollCode::LineUp:
        return hiddenItems > 0 ? hiddenItems - 1 : hiddenItems;
    case TScrollCode::LineDown:
        return hiddenItems < scrollBarMax ? hiddenItems + 1 : hiddenItems;
    case TScrollCode::PageUp:
        return std::max(0, hiddenItems - pageAmount);
    case TScrollCode::PageDown:
        return std::min(scrollBarMax, hiddenItems + pageAmount);
    case TScrollCode::ThumbPosition:
    case TScrollCode::ThumbTrack:
        return position;
    case TScrollCode::Top:
        return 0;
    case TScrollCode::Bottom:
        return scrollBarMax;
    case TScrollCode::EndScroll:
        break;
    }
    return hiddenItems;
}

// ---- Scrolling of the button group ----

void TvyxButtonGroup::UpdateScrollRange()
{
    // Every recomputation scrolls back to the top.
    m_hiddenItems = 0;
    m_scrollBarMax = 0;
    const TvyxGrpScrollRange range = ComputeScrollRange(Layout());
    if (range.ShowScrollBar) {
        m_pageAmount = range.PageAmount;
        m_scrollBarMax = range.ScrollBarMax;
    }
    {
        // Qt counts a scroll bar's positions without the page, so its maximum is the largest
        // number of hidden rows.
        QScopedValueRollback<bool> syncing(m_settingScrollBar, true);
        QScrollBar *bar = verticalScrollBar();
        bar->setRange(0, m_scrollBarMax);
        bar->setPageStep(std::max(1, m_pageAmount));
        bar->setSingleStep(1);
        bar->setValue(0);
    }
    if (range.ShowScrollBar != m_scrollBarShown) {
        // Set first: the new viewport width comes back here through the resize.
        m_scrollBarShown = range.ShowScrollBar;
        setVerticalScrollBarPolicy(range.ShowScrollBar ? Qt::ScrollBarAlwaysOn
                                                       : Qt::ScrollBarAlwaysOff);
    }
}

void TvyxButtonGroup::ScrollRows(TScrollCode code, int position)
{
    const int hidden =
        std::clamp(ScrolledHiddenItems(code, position, m_hiddenItems, m_pageAmount, m_scrollBarMax),
                   0, m_scrollBarMax);
    if (hidden == m_hiddenItems)
        return;
    m_hiddenItems = hidden;
    {
        QScopedValueRollback<bool> syncing(m_settingScrollBar, true);
        verticalScrollBar()->setValue(hidden);
    }
    viewport()->repaint();
}

void TvyxButtonGroup::scrollContentsBy(int, int)
{
    if (!m_settingScrollBar)
        ScrollRows(TScrollCode::ThumbPosition, verticalScrollBar()->value());
}

void TvyxButtonGroup::ScrollIntoView(int index)
{
    if (index < 0 || index >= m_buttonItems->Count())
        return;
    const int perRow = ButtonsPerRow();
    int first = m_hiddenItems * perRow;
    if (first > index) {
        // Stops with the button on the second visible row when a row above it exists.
        while (first >= index && m_hiddenItems > 0) {
            ScrollRows(TScrollCode::LineUp);
            first = m_hiddenItems * perRow;
        }
    } else {
        while (index >= first + RowsInView() * perRow && m_hiddenItems < m_scrollBarMax) {
            ScrollRows(TScrollCode::LineDown);
            first = m_hiddenItems * perRow;
        }
    }
}

// A wheel event that an event filter consumed never gets here: that is the user's own wheel
// handling. Every wheel step that does get here is consumed.
void TvyxButtonGroup::wheelEvent(QWheelEvent *e)
{
    e->accept();
    InvalidateButton(m_hotIndex);
    m_hotIndex = -1;
    // Qt turns the wheel sideways while Alt is held.
    const int delta = e->angleDelta().y() != 0 ? e->angleDelta().y() : e->angleDelta().x();
    if (m_scrollBarMax <= 0 || delta == 0)
        return;
    const Qt::KeyboardModifiers mods = e->modifiers();
    if (mods & Qt::ControlModifier)
        ScrollRows(delta < 0 ? TScrollCode::PageDown : TScrollCode::PageUp);
    else if (!(mods & (Qt::ShiftModifier | Qt::AltModifier)))
        ScrollRows(delta < 0 ? TScrollCode::LineDown : TScrollCode::LineUp);
}

// Each step of a pan scrolls exactly one row, whatever its distance.
void TvyxButtonGroup::PanGesture(Qt::GestureState state, qreal y)
{
    switch (state) {
    case Qt::GestureStarted:
        m_panPoint = y;
        break;
    case Qt::GestureUpdated:
        ScrollRows(y - m_panPoint > 0 ? TScrollCode::LineUp : TScrollCode::LineDown);
        m_panPoint = y;
        break;
    default:
        break;
    }
}

} // namespace tev
