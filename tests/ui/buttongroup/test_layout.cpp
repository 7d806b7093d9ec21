#include "ui/controls/buttongroup/grplayout.h"

#include <gtest/gtest.h>

namespace tev {
namespace {

TvyxGrpLayout MakeLayout(int width, int height, int bw, int bh, bool fullSize, int count,
                         int hidden = 0)
{
    TvyxGrpLayout layout;
    layout.ClientWidth = width;
    layout.ClientHeight = height;
    layout.ButtonWidth = bw;
    layout.ButtonHeight = bh;
    layout.FullSize = fullSize;
    layout.Count = count;
    layout.HiddenItems = hidden;
    return layout;
}

struct RowsCase
{
    const char *name;
    int width, height, bw, bh;
    bool fullSize;
    int perRow, rowsInView;
};

class LayoutRows : public ::testing::TestWithParam<RowsCase>
{
};

TEST_P(LayoutRows, ButtonsPerRowAndRowsInView)
{
    const RowsCase &c = GetParam();
    const TvyxGrpLayout layout = MakeLayout(c.width, c.height, c.bw, c.bh, c.fullSize, 10);
    EXPECT_EQ(layout.ButtonsPerRow(), c.perRow);
    EXPECT_EQ(layout.RowsInView(), c.rowsInView);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LayoutRows,
    ::testing::Values(RowsCase{"FullSizeIsOnePerRow", 300, 100, 24, 24, true, 1, 4},
                      RowsCase{"GridFillsTheWidth", 100, 100, 30, 24, false, 3, 4},
                      RowsCase{"NarrowerThanOneButtonStillOne", 10, 100, 30, 24, false, 1, 4},
                      RowsCase{"OnlyWholeRows", 100, 47, 24, 24, false, 4, 1},
                      RowsCase{"LowerThanOneRowIsNone", 100, 20, 24, 24, true, 1, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Layout, ButtonRectsFollowRowsAndHiddenRows)
{
    const TvyxGrpLayout grid = MakeLayout(100, 100, 30, 20, false, 10, 1);
    // Row 1 is scrolled out, so index 3 (row 1) is the first visible button.
    EXPECT_EQ(grid.ButtonRect(3), QRect(0, 0, 30, 20));
    EXPECT_EQ(grid.ButtonRect(5), QRect(60, 0, 30, 20));
    EXPECT_EQ(grid.ButtonRect(7), QRect(30, 20, 30, 20));
    const TvyxGrpLayout full = MakeLayout(120, 100, 30, 20, true, 10);
    EXPECT_EQ(full.ButtonRect(2), QRect(0, 40, 120, 20));
}

struct HitCase
{
    const char *name;
    int x, y;
    int expected;
};

class LayoutHit : public ::testing::TestWithParam<HitCase>
{
};

// Three 30-pixel buttons per row in a 100-pixel client leave a 10-pixel strip on the right;
// 7 items, rows of 20 pixels, 70 pixels high (3 whole rows, a fourth cut off).
TEST_P(LayoutHit, IndexOfButtonAt)
{
    const HitCase &c = GetParam();
    const TvyxGrpLayout layout = MakeLayout(100, 70, 30, 20, false, 7);
    EXPECT_EQ(layout.IndexOfButtonAt(c.x, c.y), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LayoutHit,
    ::testing::Values(HitCase{"FirstButton", 0, 0, 0}, HitCase{"ThirdColumn", 89, 5, 2},
                      HitCase{"StripRightOfLastColumn", 92, 5, -1}, HitCase{"SecondRow", 35, 25, 4},
                      HitCase{"PastTheLastItem", 35, 45, -1}, HitCase{"LastItem", 5, 45, 6},
                      HitCase{"LeftOfClient", -1, 5, -1}, HitCase{"BelowClient", 5, 70, -1},
                      HitCase{"RightOfClient", 100, 5, -1}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Layout, RowCutOffAtTheBottomIsNotHit)
{
    const TvyxGrpLayout layout = MakeLayout(100, 50, 30, 20, true, 7);
    EXPECT_EQ(layout.IndexOfButtonAt(5, 39), 1);
    EXPECT_EQ(layout.IndexOfButtonAt(5, 45), -1);
}

TEST(Layout, HitTestCountsHiddenRows)
{
    const TvyxGrpLayout layout = MakeLayout(100, 60, 30, 20, false, 12, 2);
    EXPECT_EQ(layout.IndexOfButtonAt(35, 5), 7);
}

struct RangeCase
{
    const char *name;
    int width, height, bh;
    bool fullSize;
    int count;
    bool shown;
    int totalRows, page, max;
};

class LayoutRange : public ::testing::TestWithParam<RangeCase>
{
};

TEST_P(LayoutRange, ScrollRange)
{
    const RangeCase &c = GetParam();
    const TvyxGrpScrollRange range =
        ComputeScrollRange(MakeLayout(c.width, c.height, 30, c.bh, c.fullSize, c.count));
    EXPECT_EQ(range.ShowScrollBar, c.shown);
    if (c.shown) {
        EXPECT_EQ(range.TotalRows, c.totalRows);
        EXPECT_EQ(range.PageAmount, c.page);
        EXPECT_EQ(range.ScrollBarMax, c.max);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LayoutRange,
    ::testing::Values(RangeCase{"EverythingFits", 100, 100, 24, true, 4, false, 0, 0, 0},
                      RangeCase{"EmptyFits", 100, 100, 24, true, 0, false, 0, 0, 0},
                      RangeCase{"ThreeRowsTwoInView", 100, 100, 35, true, 3, true, 3, 2, 1},
                      RangeCase{"GridWithRemainderRow", 100, 40, 20, false, 7, true, 3, 2, 1},
                      RangeCase{"NoWholeRowInView", 100, 10, 20, true, 2, true, 2, 0, 2}),
    [](const auto &info) { return std::string(info.param.name); });

struct ScrollCase
{
    const char *name;
    TScrollCode code;
    int position, hidden, expected;
};

class LayoutScroll : public ::testing::TestWithParam<ScrollCase>
{
};

// Page 3, at most 5 hidden rows.
TEST_P(LayoutScroll, ScrolledHiddenItems)
{
    const ScrollCase &c = GetParam();
    EXPECT_EQ(ScrolledHiddenItems(c.code, c.position, c.hidden, 3, 5), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LayoutScroll,
    ::testing::Values(ScrollCase{"LineUp", TScrollCode::LineUp, 0, 2, 1},
                      ScrollCase{"LineUpAtTop", TScrollCode::LineUp, 0, 0, 0},
                      ScrollCase{"LineDown", TScrollCode::LineDown, 0, 2, 3},
                      ScrollCase{"LineDownAtEnd", TScrollCode::LineDown, 0, 5, 5},
                      ScrollCase{"PageUpStopsAtTop", TScrollCode::PageUp, 0, 2, 0},
                      ScrollCase{"PageDown", TScrollCode::PageDown, 0, 1, 4},
                      ScrollCase{"PageDownStopsAtEnd", TScrollCode::PageDown, 0, 4, 5},
                      ScrollCase{"Thumb", TScrollCode::ThumbTrack, 4, 1, 4},
                      ScrollCase{"Top", TScrollCode::Top, 0, 4, 0},
                      ScrollCase{"Bottom", TScrollCode::Bottom, 0, 1, 5},
                      ScrollCase{"EndScroll", TScrollCode::EndScroll, 0, 3, 3}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace tev
