#include "buttongroupfixture.h"

#include <QAction>
#include <QGestureEvent>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace tev {
namespace {

using test::Captions;
using test::Centre;
using test::MakeGroup;
using test::MoveMouse;

constexpr TvyxGrpButtonOptions kGroupStyle = gboFullSize | gboShowCaptions | gboGroupStyle;

// Records the events of a group in the order they fire.
struct EventLog
{
    QStringList entries;
    void Attach(TvyxButtonGroup &group)
    {
        group.setOnButtonClicked(
            [this](QObject *, int index) { entries << QStringLiteral("clicked %1").arg(index); });
        group.setOnHotButton(
            [this](QObject *, int index) { entries << QStringLiteral("hot %1").arg(index); });
        group.setOnChange([this](QObject *) { entries << "change"; });
        group.setOnClick([this](QObject *) { entries << "click"; });
    }
};

TEST(ButtonGroup, Defaults)
{
    TvyxButtonGroup group;
    EXPECT_EQ(group.ButtonOptions(), gboFullSize | gboShowCaptions);
    EXPECT_EQ(group.ButtonWidth(), 24);
    EXPECT_EQ(group.ButtonHeight(), 24);
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_EQ(group.size(), QSize(100, 100));
    EXPECT_EQ(group.focusPolicy(), Qt::TabFocus);
}

TEST(ButtonGroup, ScrollBarForThreeFullSizeButtonsOfHeight35)
{
    auto group = std::make_unique<TvyxButtonGroup>();
    group->setButtonHeight(35);
    group->resize(100, 100);
    group->show();
    for (int i = 0; i < 3; ++i)
        group->Items().Add();
    QApplication::processEvents();
    EXPECT_EQ(group->RowsInView(), 2);
    EXPECT_TRUE(group->ScrollBarShown());
    EXPECT_TRUE(group->verticalScrollBar()->isVisible());
    EXPECT_EQ(group->PageAmount(), 2);
    EXPECT_EQ(group->ScrollBarMax(), 1);
    // Qt counts positions without the page: 0..2 rows with a page of 2.
    EXPECT_EQ(group->verticalScrollBar()->maximum(), 1);
    EXPECT_EQ(group->verticalScrollBar()->pageStep(), 2);

    group->Items().Delete(2);
    EXPECT_FALSE(group->ScrollBarShown());
    EXPECT_FALSE(group->verticalScrollBar()->isVisible());
}

TEST(ButtonGroup, SizeAndOptionChangesScrollBackToTop)
{
    auto group = MakeGroup(Captions(10), 100, 48);
    group->ScrollRows(TScrollCode::Bottom);
    EXPECT_EQ(group->HiddenItems(), 8);
    group->resize(100, 72);
    QApplication::processEvents();
    EXPECT_EQ(group->HiddenItems(), 0);
    EXPECT_EQ(group->ScrollBarMax(), 7);
    group->ScrollRows(TScrollCode::LineDown);
    group->setButtonOptions(gboShowCaptions);
    EXPECT_EQ(group->HiddenItems(), 0);
}

TEST(ButtonGroup, ScrollBarMovesTheRows)
{
    auto group = MakeGroup(Captions(10), 100, 48);
    group->verticalScrollBar()->setValue(3);
    EXPECT_EQ(group->HiddenItems(), 3);
    EXPECT_EQ(group->IndexOfButtonAt(5, 5), 3);
    group->ScrollRows(TScrollCode::LineUp);
    EXPECT_EQ(group->verticalScrollBar()->value(), 2);
}

struct IntoViewCase
{
    const char *name;
    int hiddenBefore, index, hiddenAfter;
};

class ScrollIntoView : public ::testing::TestWithParam<IntoViewCase>
{
};

// Ten full-size buttons, three rows in view: at most 7 hidden rows.
TEST_P(ScrollIntoView, Rows)
{
    const IntoViewCase &c = GetParam();
    auto group = MakeGroup(Captions(10), 100, 72);
    group->ScrollRows(TScrollCode::ThumbPosition, c.hiddenBefore);
    group->ScrollIntoView(c.index);
    EXPECT_EQ(group->HiddenItems(), c.hiddenAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScrollIntoView,
                         ::testing::Values(IntoViewCase{"AlreadyVisible", 2, 3, 2},
                                           IntoViewCase{"BelowScrollsToLastRow", 0, 5, 3},
                                           IntoViewCase{"BelowStopsAtTheEnd", 0, 9, 7},
                                           IntoViewCase{"AboveLeavesOneRowAbove", 6, 3, 2},
                                           IntoViewCase{"AboveStopsAtTop", 6, 0, 0},
                                           IntoViewCase{"OutOfRangeDoesNothing", 2, 10, 2},
                                           IntoViewCase{"NegativeDoesNothing", 2, -1, 2}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ButtonGroup, ItemScrollsItselfIntoView)
{
    auto group = MakeGroup(Captions(10), 100, 72);
    group->Items().Items(8)->ScrollIntoView();
    EXPECT_EQ(group->HiddenItems(), 6);
}

TEST(ButtonGroup, ClickSelectsInGroupStyle)
{
    auto group = MakeGroup(Captions(4), 100, 100, kGroupStyle);
    EventLog log;
    log.Attach(*group);
    QTest::mouseClick(group->viewport(), Qt::LeftButton, {}, Centre(*group, 2));
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_EQ(group->FocusIndex(), 2);
    EXPECT_TRUE(group->hasFocus());
    EXPECT_EQ(log.entries, QStringList({"clicked 2", "change", "click"}));
}

TEST(ButtonGroup, ClickOnSelectedButtonDoesNotClickAgain)
{
    auto group = MakeGroup(Captions(4), 100, 100, kGroupStyle);
    group->setItemIndex(1);
    EventLog log;
    log.Attach(*group);
    QTest::mousePress(group->viewport(), Qt::LeftButton, {}, Centre(*group, 1));
    EXPECT_EQ(group->DownIndex(), -1);
    QTest::mouseRelease(group->viewport(), Qt::LeftButton, {}, Centre(*group, 1));
    EXPECT_EQ(log.entries, QStringList({"click"}));
}

TEST(ButtonGroup, ReleaseElsewhereDoesNotClick)
{
    auto group = MakeGroup(Captions(4), 100, 100);
    EventLog log;
    log.Attach(*group);
    QTest::mousePress(group->viewport(), Qt::LeftButton, {}, Centre(*group, 0));
    EXPECT_EQ(group->DownIndex(), 0);
    QTest::mouseRelease(group->viewport(), Qt::LeftButton, {}, Centre(*group, 1));
    EXPECT_EQ(group->DownIndex(), -1);
    EXPECT_EQ(log.entries, QStringList({"click"}));
}

TEST(ButtonGroup, ClickOnEmptySpaceOnlyFiresOnClick)
{
    auto group = MakeGroup(Captions(2), 100, 100);
    EventLog log;
    log.Attach(*group);
    QTest::mouseClick(group->viewport(), Qt::LeftButton, {}, QPoint(50, 90));
    EXPECT_EQ(log.entries, QStringList({"click"}));
}

TEST(ButtonGroup, RightButtonDoesNothing)
{
    auto group = MakeGroup(Captions(2), 100, 100);
    EventLog log;
    log.Attach(*group);
    QTest::mousePress(group->viewport(), Qt::RightButton, {}, Centre(*group, 1));
    EXPECT_EQ(group->DownIndex(), -1);
    QTest::mouseRelease(group->viewport(), Qt::RightButton, {}, Centre(*group, 1));
    EXPECT_TRUE(log.entries.isEmpty());
    EXPECT_NE(group->FocusIndex(), 1);
}

TEST(ButtonGroup, ClickActionOrder)
{
    auto group = MakeGroup(Captions(3), 100, 100);
    QAction action;
    int triggered = 0;
    QObject::connect(&action, &QAction::triggered, &action, [&] { ++triggered; });
    QStringList calls;
    EventLog log;
    log.Attach(*group);
    // 0: own handler and action; 1: action only; 2: neither.
    group->Items().Items(0)->setAction(&action);
    group->Items().Items(0)->setOnClick([&](QObject *sender) {
        calls << (sender == group.get() ? "own handler" : "wrong sender");
    });
    group->Items().Items(1)->setAction(&action);
    for (int i = 0; i < 3; ++i)
        group->ClickButton(i);
    EXPECT_EQ(calls, QStringList({"own handler"}));
    EXPECT_EQ(triggered, 1);
    EXPECT_EQ(log.entries, QStringList({"clicked 2"}));
    EXPECT_EQ(group->FocusIndex(), 2);
}

TEST(ButtonGroup, HotFollowsTheMouseAndLeave)
{
    auto group = MakeGroup({"A", "-", "C"}, 100, 100);
    EventLog log;
    log.Attach(*group);
    MoveMouse(group->viewport(), Centre(*group, 0));
    MoveMouse(group->viewport(), Centre(*group, 0) + QPoint(1, 1));
    MoveMouse(group->viewport(), Centre(*group, 1)); // a separator is never hot
    MoveMouse(group->viewport(), Centre(*group, 2));
    EXPECT_EQ(group->HotIndex(), 2);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(group->viewport(), &leave);
    EXPECT_EQ(group->HotIndex(), -1);
    EXPECT_EQ(log.entries, QStringList({"hot 0", "hot -1", "hot 2", "hot -1"}));
}

TEST(ButtonGroup, SeparatorIsNeverClickedByTheMouse)
{
    auto group = MakeGroup({"A", "-"}, 100, 100);
    EventLog log;
    log.Attach(*group);
    QTest::mouseClick(group->viewport(), Qt::LeftButton, {}, Centre(*group, 1));
    EXPECT_EQ(log.entries, QStringList({"click"}));
}

TEST(ButtonGroup, ItemIndexOnlyInGroupStyle)
{
    auto group = MakeGroup(Captions(3), 100, 100);
    EventLog log;
    log.Attach(*group);
    group->setItemIndex(1);
    EXPECT_EQ(group->ItemIndex(), -1);
    group->setButtonOptions(kGroupStyle);
    group->setItemIndex(1);
    group->setItemIndex(1);
    EXPECT_EQ(group->ItemIndex(), 1);
    group->setButtonOptions(gboFullSize);
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_EQ(log.entries, QStringList({"change"}));
}

TEST(ButtonGroup, FirstFocusFocusesTheFirstButton)
{
    TvyxButtonGroup group;
    group.Items().Add();
    group.Items().Add();
    EXPECT_EQ(group.FocusIndex(), -1);
    TButtonDrawState painted;
    group.setOnAfterDrawButton(
        [&](QObject *, int index, QPainter &, const QRect &, TButtonDrawState state) {
            if (index == 0)
                painted = state;
        });
    group.show();
    group.activateWindow();
    group.setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(group.hasFocus());
    EXPECT_EQ(group.FocusIndex(), 0);
    group.viewport()->grab();
    EXPECT_EQ(painted, TButtonDrawState(bdsFocused));
    group.clearFocus();
    group.viewport()->grab();
    EXPECT_EQ(painted, TButtonDrawState());
    EXPECT_EQ(group.FocusIndex(), 0);
}

TEST(ButtonGroup, FocusWithoutItemsStaysNone)
{
    auto empty = MakeGroup({}, 100, 100);
    empty->setFocus();
    EXPECT_EQ(empty->FocusIndex(), -1);
}

struct KeyCase
{
    const char *name;
    bool groupStyle;
    int start;
    Qt::Key key;
    int expected;
};

class Keys : public ::testing::TestWithParam<KeyCase>
{
};

// A 3 x 4 grid (3 per row, 4 rows in view) of 11 buttons.
TEST_P(Keys, MoveSelectionOrFocus)
{
    const KeyCase &c = GetParam();
    auto group =
        MakeGroup(Captions(11), 90, 96,
                  c.groupStyle ? TvyxGrpButtonOptions(gboGroupStyle) : TvyxGrpButtonOptions());
    group->setButtonWidth(30);
    if (c.groupStyle)
        group->setItemIndex(c.start);
    else
        group->ClickButton(c.start);
    QTest::keyClick(group.get(), c.key);
    EXPECT_EQ(c.groupStyle ? group->ItemIndex() : group->FocusIndex(), c.expected);
    if (c.groupStyle) {
        EXPECT_EQ(group->FocusIndex(), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Keys,
    ::testing::Values(KeyCase{"DownARow", true, 1, Qt::Key_Down, 4},
                      KeyCase{"DownClampsToLast", true, 9, Qt::Key_Down, 10},
                      KeyCase{"UpClampsToFirst", true, 1, Qt::Key_Up, 0},
                      KeyCase{"Left", true, 4, Qt::Key_Left, 3},
                      KeyCase{"Right", true, 4, Qt::Key_Right, 5},
                      KeyCase{"PageDownByRowsInView", true, 2, Qt::Key_PageDown, 6},
                      KeyCase{"PageUp", true, 6, Qt::Key_PageUp, 2},
                      KeyCase{"Home", true, 7, Qt::Key_Home, 0},
                      KeyCase{"End", true, 2, Qt::Key_End, 10},
                      KeyCase{"NoSelectionDownSelectsFirstRowStep", true, -1, Qt::Key_Down, 2},
                      KeyCase{"FocusMovesWithoutGroupStyle", false, 1, Qt::Key_Down, 4},
                      KeyCase{"FocusEnd", false, 1, Qt::Key_End, 10}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ButtonGroup, KeysSelectSeparatorsAndScroll)
{
    auto group = MakeGroup({"A", "-", "C", "D", "E"}, 100, 48, kGroupStyle);
    group->setItemIndex(0);
    QTest::keyClick(group.get(), Qt::Key_Down);
    EXPECT_EQ(group->ItemIndex(), 1);
    QTest::keyClick(group.get(), Qt::Key_End);
    EXPECT_EQ(group->ItemIndex(), 4);
    EXPECT_EQ(group->HiddenItems(), 3);
}

TEST(ButtonGroup, KeysOnEmptyGroupChangeNothing)
{
    auto group = MakeGroup({}, 100, 100, kGroupStyle);
    EventLog log;
    log.Attach(*group);
    for (Qt::Key key : {Qt::Key_Home, Qt::Key_End, Qt::Key_Down, Qt::Key_Up, Qt::Key_Return})
        QTest::keyClick(group.get(), key);
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_TRUE(log.entries.isEmpty());
}

TEST(ButtonGroup, EnterClicksInGroupStyleOnly)
{
    auto group = MakeGroup(Captions(3), 100, 100, kGroupStyle);
    EventLog log;
    log.Attach(*group);
    group->setItemIndex(2);
    QTest::keyClick(group.get(), Qt::Key_Return);
    QTest::keyClick(group.get(), Qt::Key_Space);
    EXPECT_EQ(log.entries, QStringList({"change", "clicked 2", "clicked 2"}));

    auto plain = MakeGroup(Captions(3), 100, 100);
    EventLog plainLog;
    plainLog.Attach(*plain);
    plain->ClickButton(1);
    plainLog.entries.clear();
    QTest::keyClick(plain.get(), Qt::Key_Return);
    EXPECT_TRUE(plainLog.entries.isEmpty());
}

void Wheel(QWidget *widget, int delta, Qt::KeyboardModifiers modifiers)
{
    QWheelEvent wheel(QPointF(10, 10), widget->mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}

struct WheelCase
{
    const char *name;
    int delta;
    Qt::KeyboardModifiers modifiers;
    int hiddenAfter;
};

class WheelSteps : public ::testing::TestWithParam<WheelCase>
{
};

// 20 buttons, 4 rows in view, starting 5 rows down.
TEST_P(WheelSteps, ScrollRowsOrPages)
{
    const WheelCase &c = GetParam();
    auto group = MakeGroup(Captions(20), 100, 96);
    group->ScrollRows(TScrollCode::ThumbPosition, 5);
    MoveMouse(group->viewport(), Centre(*group, 6));
    ASSERT_EQ(group->HotIndex(), 6);
    Wheel(group->viewport(), c.delta, c.modifiers);
    EXPECT_EQ(group->HiddenItems(), c.hiddenAfter);
    EXPECT_EQ(group->HotIndex(), -1);
}

INSTANTIATE_TEST_SUITE_P(Cases, WheelSteps,
                         ::testing::Values(WheelCase{"Down", -120, Qt::NoModifier, 6},
                                           WheelCase{"Up", 120, Qt::NoModifier, 4},
                                           WheelCase{"CtrlPagesDown", -120, Qt::ControlModifier, 9},
                                           WheelCase{"CtrlPagesUp", 120, Qt::ControlModifier, 1},
                                           WheelCase{"ShiftScrollsNothing", -120, Qt::ShiftModifier,
                                                     5},
                                           WheelCase{"AltScrollsNothing", -120, Qt::AltModifier, 5},
                                           WheelCase{"CtrlShiftPages", -120,
                                                     Qt::ControlModifier | Qt::ShiftModifier, 9}),
                         [](const auto &info) { return std::string(info.param.name); });

// The wheel over the scroll bar follows the same rule as over the buttons, not the scroll bar's
// own (three lines a step, Shift a page).
TEST_P(WheelSteps, OverTheScrollBarToo)
{
    const WheelCase &c = GetParam();
    auto group = MakeGroup(Captions(20), 100, 96);
    group->ScrollRows(TScrollCode::ThumbPosition, 5);
    MoveMouse(group->viewport(), Centre(*group, 6));
    ASSERT_TRUE(group->ScrollBarShown());
    ASSERT_TRUE(group->verticalScrollBar()->isVisible());
    Wheel(group->verticalScrollBar(), c.delta, c.modifiers);
    EXPECT_EQ(group->HiddenItems(), c.hiddenAfter);
    EXPECT_EQ(group->verticalScrollBar()->value(), c.hiddenAfter);
    EXPECT_EQ(group->HotIndex(), -1);
}

// An event filter that takes the wheel is the user's own handling: the group does nothing.
TEST(ButtonGroup, WheelTakenByUserHandlerIsLeftAlone)
{
    auto group = MakeGroup(Captions(20), 100, 96);
    struct Eater : QObject
    {
        bool eventFilter(QObject *, QEvent *e) override { return e->type() == QEvent::Wheel; }
    } eater;
    group->viewport()->installEventFilter(&eater);
    Wheel(group->viewport(), -120, Qt::NoModifier);
    EXPECT_EQ(group->HiddenItems(), 0);
}

class PanGroup : public TvyxButtonGroup
{
public:
    using TvyxButtonGroup::PanGesture;
};

TEST(ButtonGroup, PanStepsScrollOneRowEach)
{
    PanGroup group;
    group.resize(100, 96);
    for (int i = 0; i < 20; ++i)
        group.Items().Add();
    group.show();
    QApplication::processEvents();
    group.PanGesture(Qt::GestureStarted, 100);
    group.PanGesture(Qt::GestureUpdated, 40); // a long way up: still one row
    group.PanGesture(Qt::GestureUpdated, 40); // no movement counts as down
    EXPECT_EQ(group.HiddenItems(), 2);
    group.PanGesture(Qt::GestureUpdated, 41);
    EXPECT_EQ(group.HiddenItems(), 1);
    group.PanGesture(Qt::GestureFinished, 500);
    EXPECT_EQ(group.HiddenItems(), 1);
}

TEST(ButtonGroup, HintIsHintOrCaption)
{
    auto group = MakeGroup({"Save", "-", "Open"}, 100, 100);
    group->Items().Items(2)->setHint("Open a file");
    const auto hintAt = [&](QPoint pos) {
        QHelpEvent help(QEvent::ToolTip, pos, group->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(group->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(hintAt(QPoint(50, 95)), QString());
    EXPECT_EQ(hintAt(Centre(*group, 0)), "Save");
    EXPECT_EQ(hintAt(Centre(*group, 1)), "-");
    EXPECT_EQ(hintAt(Centre(*group, 2)), "Open a file");
}

TEST(ButtonGroup, ButtonSizeIgnoresNonPositive)
{
    TvyxButtonGroup group;
    group.setButtonHeight(0);
    group.setButtonWidth(-3);
    EXPECT_EQ(group.ButtonHeight(), 24);
    EXPECT_EQ(group.ButtonWidth(), 24);
}

TEST(ButtonGroup, SingleBorderSinksTheFrame)
{
    TvyxButtonGroup group;
    group.setBorderStyle(TvyxButtonGroup::TBorderStyle::Single);
    EXPECT_EQ(group.frameShadow(), QFrame::Sunken);
    EXPECT_GT(group.frameWidth(), 0);
    group.setBorderStyle(TvyxButtonGroup::TBorderStyle::None);
    EXPECT_EQ(group.frameWidth(), 0);
}

} // namespace
} // namespace tev
