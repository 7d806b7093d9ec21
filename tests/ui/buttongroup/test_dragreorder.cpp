#include "buttongroupfixture.h"

#include "ui/controls/buttongroup/grppainting.h"

#include <QDialog>
#include <QShortcut>
#include <gtest/gtest.h>

namespace tev {
namespace {

using test::Centre;
using test::MakeGroup;
using test::MoveMouse;
using test::Order;

constexpr TvyxGrpButtonOptions kReorder =
    gboFullSize | gboShowCaptions | gboGroupStyle | gboAllowReorder;

// Presses on button index and moves just past the drag threshold, which starts the drag.
void StartDrag(TvyxButtonGroup &group, int index)
{
    const QPoint start = Centre(group, index);
    QTest::mousePress(group.viewport(), Qt::LeftButton, {}, start);
    MoveMouse(group.viewport(), start + QPoint(QApplication::startDragDistance(), 0),
              Qt::LeftButton);
}

void DragTo(TvyxButtonGroup &group, QPoint pos)
{
    MoveMouse(group.viewport(), pos, Qt::LeftButton);
}

void Drop(TvyxButtonGroup &group, QPoint pos)
{
    QTest::mouseRelease(group.viewport(), Qt::LeftButton, {}, pos);
}

struct Recorder
{
    QStringList events;
    void Attach(TvyxButtonGroup &group)
    {
        group.setOnReorderButton([this](QObject *, int oldIndex, int newIndex) {
            events << QStringLiteral("reorder %1 %2").arg(oldIndex).arg(newIndex);
        });
        group.setOnChange([this](QObject *) { events << "change"; });
        group.setOnClick([this](QObject *) { events << "click"; });
        group.setOnButtonClicked(
            [this](QObject *, int index) { events << QStringLiteral("clicked %1").arg(index); });
        group.setOnHotButton(
            [this](QObject *, int index) { events << QStringLiteral("hot %1").arg(index); });
    }
};

TEST(DragReorder, TargetIndexAt)
{
    // One column of four 24-pixel buttons in a 100 x 120 client.
    auto column = MakeGroup({"A", "B", "C", "D"}, 100, 120, kReorder);
    EXPECT_EQ(column->TargetIndexAt(50, 30), 1);  // upper half of B
    EXPECT_EQ(column->TargetIndexAt(50, 36), 1);  // the middle still counts as upper
    EXPECT_EQ(column->TargetIndexAt(50, 37), 2);  // lower half of B
    EXPECT_EQ(column->TargetIndexAt(50, 100), 4); // below the last button
    EXPECT_EQ(column->TargetIndexAt(-5, 30), -1); // outside

    // A grid of 3 per row, 30 wide, 7 buttons: the last row holds one button.
    auto grid = MakeGroup(test::Captions(7), 100, 100, kReorder & ~gboFullSize);
    grid->setButtonWidth(30);
    grid->setButtonHeight(20);
    EXPECT_EQ(grid->TargetIndexAt(40, 5), 1);  // left half of button 1
    EXPECT_EQ(grid->TargetIndexAt(50, 5), 2);  // right half of button 1
    EXPECT_EQ(grid->TargetIndexAt(35, 45), 7); // right of the last button, same row
    EXPECT_EQ(grid->TargetIndexAt(5, 70), 7);  // below the last row
    EXPECT_EQ(grid->TargetIndexAt(95, 5), -1); // the strip right of the columns
}

TEST(DragReorder, DragBelowTheLastButton)
{
    auto group = MakeGroup({"A", "B", "C", "D"}, 100, 100, kReorder);
    Recorder recorder;
    recorder.Attach(*group);
    StartDrag(*group, 1);
    EXPECT_TRUE(group->DragImageList().Dragging());
    EXPECT_EQ(group->DownIndex(), -1);
    DragTo(*group, QPoint(50, 85)); // lower half of D
    EXPECT_EQ(group->InsertTop(), 4);
    EXPECT_EQ(group->InsertBottom(), 3);
    Drop(*group, QPoint(50, 85));
    EXPECT_EQ(Order(*group), QStringList({"A", "C", "D", "B"}));
    EXPECT_EQ(group->InsertTop(), -1);
    EXPECT_EQ(group->InsertBottom(), -1);
    EXPECT_EQ(group->DragIndex(), -1);
    EXPECT_FALSE(group->DragImageList().Dragging());
    // No click and no OnClick after a drag; the press made B hot before the drag cleared it.
    EXPECT_EQ(recorder.events, QStringList({"reorder 1 3"}));
}

TEST(DragReorder, MoveUpToTheTop)
{
    auto group = MakeGroup({"A", "B", "C", "D"}, 100, 100, kReorder);
    StartDrag(*group, 3);
    DragTo(*group, QPoint(50, 3));
    EXPECT_EQ(group->InsertTop(), 0);
    EXPECT_EQ(group->InsertBottom(), -1);
    Drop(*group, QPoint(50, 3));
    EXPECT_EQ(Order(*group), QStringList({"D", "A", "B", "C"}));
}

// Escape ends a drag where it is: nothing moves, no mark stays, the release clicks nothing, and
// the key does not reach the dialog around the control (which would close on it).
TEST(DragReorder, EscapeCancelsTheDrag)
{
    QDialog dialog;
    int shortcuts = 0;
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), &dialog);
    QObject::connect(escape, &QShortcut::activated, &dialog, [&] { ++shortcuts; });
    auto *group = new TvyxButtonGroup(&dialog);
    group->setButtonOptions(kReorder);
    group->resize(100, 100);
    for (const char *caption : {"A", "B", "C", "D"})
        group->Items().Add()->setCaption(QString::fromLatin1(caption));
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    Recorder recorder;
    recorder.Attach(*group);
    group->setItemIndex(1);
    recorder.events.clear();

    StartDrag(*group, 1);
    DragTo(*group, QPoint(50, 85));
    ASSERT_EQ(group->InsertTop(), 4);
    QTest::keyClick(group, Qt::Key_Escape);
    EXPECT_FALSE(group->DragImageList().Dragging());
    EXPECT_EQ(group->DragIndex(), -1);
    EXPECT_EQ(group->InsertTop(), -1);
    EXPECT_EQ(group->InsertBottom(), -1);
    EXPECT_TRUE(dialog.isVisible()) << "the dialog did not get the key";
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_EQ(shortcuts, 0);

    DragTo(*group, QPoint(50, 60)); // the button is still held: no new drag
    EXPECT_FALSE(group->DragImageList().Dragging());
    EXPECT_EQ(group->InsertTop(), -1);
    Drop(*group, QPoint(50, 60));
    EXPECT_EQ(Order(*group), QStringList({"A", "B", "C", "D"}));
    EXPECT_EQ(group->ItemIndex(), 1);
    recorder.events.removeIf([](const QString &e) { return e.startsWith("hot"); });
    EXPECT_EQ(recorder.events, QStringList()) << "no reorder, no click";

    // Without a drag, Escape is not the control's: it goes on as before.
    QTest::keyClick(group, Qt::Key_Escape);
    EXPECT_EQ(shortcuts, 1);
}

struct RefusedCase
{
    const char *name;
    QStringList captions;
    int dragged;
    QPoint over;
};

class DragRefused : public ::testing::TestWithParam<RefusedCase>
{
};

TEST_P(DragRefused, NoMarksAndNoMove)
{
    const RefusedCase &c = GetParam();
    auto group = MakeGroup(c.captions, 100, 100, kReorder);
    Recorder recorder;
    recorder.Attach(*group);
    StartDrag(*group, c.dragged);
    DragTo(*group, c.over);
    EXPECT_EQ(group->InsertTop(), -1);
    EXPECT_EQ(group->InsertBottom(), -1);
    Drop(*group, c.over);
    EXPECT_EQ(Order(*group), c.captions);
    EXPECT_TRUE(recorder.events.isEmpty()) << recorder.events.join(", ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DragRefused,
    ::testing::Values(RefusedCase{"JustBelowItself", {"A", "B", "C", "D"}, 1, QPoint(50, 40)},
                      RefusedCase{"OwnUpperHalf", {"A", "B", "C", "D"}, 1, QPoint(50, 30)},
                      RefusedCase{"SingleItem", {"A"}, 0, QPoint(50, 80)},
                      RefusedCase{"OutsideTheControl", {"A", "B", "C"}, 0, QPoint(50, 140)}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DragReorder, LeavingTheControlRemovesTheMarks)
{
    auto group = MakeGroup({"A", "B", "C", "D"}, 100, 100, kReorder);
    StartDrag(*group, 0);
    DragTo(*group, QPoint(50, 85));
    EXPECT_EQ(group->InsertTop(), 4);
    DragTo(*group, QPoint(150, 85));
    EXPECT_EQ(group->InsertTop(), -1);
    DragTo(*group, QPoint(50, 85));
    EXPECT_EQ(group->InsertTop(), 4);
}

TEST(DragReorder, SelectionStaysWithItsItemWithoutOnChange)
{
    auto group = MakeGroup({"A", "B", "C", "D"}, 100, 100, kReorder);
    group->setItemIndex(2);
    Recorder recorder;
    recorder.Attach(*group);
    StartDrag(*group, 0);
    DragTo(*group, QPoint(50, 95));
    Drop(*group, QPoint(50, 95));
    EXPECT_EQ(Order(*group), QStringList({"B", "C", "D", "A"}));
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_EQ(recorder.events, QStringList({"reorder 0 3"}));
}

TEST(DragReorder, GridMarksAreLeftAndRight)
{
    auto group = MakeGroup(test::Captions(6), 90, 100, kReorder & ~gboFullSize);
    group->setButtonWidth(30);
    StartDrag(*group, 0);
    DragTo(*group, QPoint(50, 30)); // right half of button 4
    EXPECT_EQ(group->InsertLeft(), 5);
    EXPECT_EQ(group->InsertRight(), 4);
    EXPECT_EQ(group->InsertTop(), -1);
    Drop(*group, QPoint(50, 30));
    EXPECT_EQ(Order(*group), QStringList({"Button 1", "Button 2", "Button 3", "Button 4",
                                          "Button 0", "Button 5"}));
}

TEST(DragReorder, WithoutTheOptionNothingDrags)
{
    auto group = MakeGroup({"A", "B", "C"}, 100, 100, kReorder & ~gboAllowReorder);
    StartDrag(*group, 0);
    EXPECT_FALSE(group->DragImageList().Dragging());
    EXPECT_EQ(group->HotIndex(), 0);
    Drop(*group, Centre(*group, 0) + QPoint(QApplication::startDragDistance(), 0));
    EXPECT_EQ(group->ItemIndex(), 0); // an ordinary click
}

TEST(DragReorder, DragPictureOfTheSelectedButtonLooksSelected)
{
    auto group = MakeGroup({"A", "B"}, 100, 100, kReorder);
    const QColor color(59, 59, 59);
    group->setColor(color);
    group->setItemIndex(1);
    TButtonDrawState drawn;
    group->setOnAfterDrawButton(
        [&](QObject *, int, QPainter &, const QRect &, TButtonDrawState state) { drawn = state; });
    StartDrag(*group, 1);
    EXPECT_EQ(drawn, bdsDragged | bdsSelected);
    const QImage picture = group->DragImageList().Image().toImage();
    EXPECT_EQ(picture.size(), QSize(100, 24));
    EXPECT_EQ(picture.pixelColor(90, 3), HighlightShade(color, kSelectedLuma));
}

TEST(DragReorder, SettingDragIndexSuppressesTheNextClick)
{
    auto group = MakeGroup({"A", "B"}, 100, 100, kReorder);
    Recorder recorder;
    recorder.Attach(*group);
    QTest::mousePress(group->viewport(), Qt::LeftButton, {}, Centre(*group, 0));
    group->setDragIndex(0);
    QTest::mouseRelease(group->viewport(), Qt::LeftButton, {}, Centre(*group, 0));
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_FALSE(group->DragStarted());
    EXPECT_FALSE(recorder.events.contains("clicked 0"));
}

// A clock that only moves when slept on, and a pointer that rests where the test puts it.
struct FakeClock
{
    qint64 now = 1000;
    QList<int> sleeps;
    QPoint cursor;
    int cursorReadsLeft = 1000; // then the pointer leaves the band
    TvyxGrpAutoScrollClock Make(QWidget *viewport)
    {
        TvyxGrpAutoScrollClock clock;
        clock.TickCount = [this] { return now; };
        clock.Sleep = [this](int ms) {
            sleeps << ms;
            now += ms;
        };
        clock.CursorPos = [this, viewport] {
            return viewport->mapToGlobal(--cursorReadsLeft >= 0 ? cursor : QPoint(50, 50));
        };
        return clock;
    }
};

struct AutoScrollCase
{
    const char *name;
    int fromBottom; // pixels above the bottom edge; negative: below the top edge
    int startHidden;
    int cursorReads;
    int hiddenAfter;
    QList<int> sleeps;
};

class AutoScroll : public ::testing::TestWithParam<AutoScrollCase>
{
};

// 20 buttons of 24 pixels, 4 rows in view: at most 16 hidden rows.
TEST_P(AutoScroll, RowsAndDelays)
{
    const AutoScrollCase &c = GetParam();
    auto group = MakeGroup(test::Captions(20), 100, 96, kReorder);
    FakeClock clock;
    group->setAutoScrollClock(clock.Make(group->viewport()));
    group->ScrollRows(TScrollCode::ThumbPosition, c.startHidden);
    StartDrag(*group, c.startHidden + 1);
    const QPoint edge(50, c.fromBottom >= 0 ? 96 - c.fromBottom : -c.fromBottom);
    clock.cursor = edge;
    clock.cursorReadsLeft = c.cursorReads;
    DragTo(*group, edge);
    EXPECT_EQ(group->HiddenItems(), c.hiddenAfter);
    EXPECT_EQ(clock.sleeps, c.sleeps);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoScroll,
    ::testing::Values(
        // The first row goes at once; each read after a step checks the pointer again.
        AutoScrollCase{"OuterBandEvery250ms", 2, 0, 3, 3, {250, 250}},
        AutoScrollCase{"InnerBandEvery500ms", 5, 0, 3, 3, {500, 500}},
        AutoScrollCase{"StopsAtTheLastRow", 2, 12, 1000, 16, {250, 250, 250}},
        AutoScrollCase{"UpwardOuterBand", -1, 5, 2, 3, {250}},
        AutoScrollCase{"UpwardInnerBandStopsAtTop", -5, 2, 1000, 0, {500}},
        AutoScrollCase{"OutsideTheBandNothing", 8, 0, 1000, 0, {}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace tev

namespace tev {
namespace {

TEST(DragReorder, StartingADragClearsTheHotButton)
{
    auto group = test::MakeGroup({"A", "B", "C"}, 100, 100, kReorder);
    Recorder recorder;
    recorder.Attach(*group);
    test::MoveMouse(group->viewport(), test::Centre(*group, 1));
    StartDrag(*group, 1);
    EXPECT_EQ(group->HotIndex(), -1);
    EXPECT_EQ(recorder.events, QStringList({"hot 1", "hot -1"}));
    // Moves during the drag make no button hot.
    DragTo(*group, test::Centre(*group, 2));
    EXPECT_EQ(group->HotIndex(), -1);
    test::MoveMouse(group->viewport(), QPoint(50, 95), Qt::LeftButton);
    Drop(*group, QPoint(50, 95));
    EXPECT_EQ(test::Order(*group), QStringList({"A", "C", "B"}));
}

} // namespace
} // namespace tev
