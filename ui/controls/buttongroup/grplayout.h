#pragma once

#include "ui/controls/buttongroup/grptypes.h"

#include <QRect>

namespace tev {

// The geometry of a button group at one moment: where each button sits and which button a client
// point hits. Only whole rows count as visible; integer division truncates toward zero.
struct TvyxGrpLayout
{
    int ClientWidth = 0;
    int ClientHeight = 0;
    int ButtonWidth = 24;
    int ButtonHeight = 24;
    bool FullSize = true;
    int HiddenItems = 0; // rows scrolled out above the view
    int Count = 0;

    int ButtonsPerRow() const;
    int RowsInView() const;
    // No range check: indexes outside the view give rectangles outside the client area.
    QRect ButtonRect(int index) const;
    // -1 outside the client area, in the strip right of the last column, past the last item and
    // in a row cut off at the bottom.
    int IndexOfButtonAt(int x, int y) const;
};

// The scroll bar that a layout needs, always counted from the top.
struct TvyxGrpScrollRange
{
    bool ShowScrollBar = false;
    int TotalRows = 0;
    int PageAmount = 0;
    int ScrollBarMax = 0; // the largest number of hidden rows
};

TvyxGrpScrollRange ComputeScrollRange(const TvyxGrpLayout &layout);

// The number of hidden rows after a scroll step from hiddenItems.
int ScrolledHiddenItems(TScrollCode code, int position, int hiddenItems, int pageAmount,
                        int scrollBarMax);

} // namespace tev
