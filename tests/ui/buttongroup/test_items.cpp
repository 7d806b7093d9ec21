#include "buttongroupfixture.h"

#include <gtest/gtest.h>

namespace tev {
namespace {

using test::MakeGroup;
using test::Order;

TEST(ButtonItems, SeparatorIsExactlyDash)
{
    TvyxGrpButtonItems items;
    TvyxGrpButtonItem *item = items.Add();
    for (const auto &[caption, separator] :
         {std::pair{"-", true}, {"--", false}, {" -", false}, {"", false}}) {
        item->setCaption(QString::fromLatin1(caption));
        EXPECT_EQ(item->Separator(), separator) << caption;
    }
}

TEST(ButtonItems, AddItemPlacesAndNegativeIndexAppends)
{
    auto group = MakeGroup({"A", "B"}, 100, 100);
    group->Items().AddItem(nullptr, 0)->setCaption("First");
    group->Items().AddItem(nullptr, -1)->setCaption("Last");
    group->Items().Insert(2)->setCaption("Middle");
    EXPECT_EQ(Order(*group), QStringList({"First", "A", "Middle", "B", "Last"}));
}

TEST(ButtonItems, AddItemWithoutItemOrGroupGivesNothing)
{
    TvyxGrpButtonItems items;
    EXPECT_EQ(items.AddItem(nullptr, 0), nullptr);
    EXPECT_EQ(items.Count(), 0);
    auto own = std::make_unique<TvyxGrpButtonItem>(&items);
    TvyxGrpButtonItem *added = items.AddItem(std::move(own), 0);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Collection(), &items);
}

TEST(ButtonItems, IDsStayUniqueAcrossMovesAndDeletes)
{
    TvyxGrpButtonItems items;
    const int a = items.Add()->ID();
    const int b = items.Add()->ID();
    items.Delete(0);
    const int c = items.Add()->ID();
    EXPECT_NE(a, b);
    EXPECT_NE(c, a);
    EXPECT_NE(c, b);
    items.Move(1, 0);
    EXPECT_EQ(items.IndexOfID(c), 0);
    EXPECT_EQ(items.IndexOfID(a), -1);
}

TEST(ButtonItems, AssignCopiesIntoOwnCollection)
{
    TvyxGrpButtonItems source;
    TvyxGrpButtonItem *item = source.Add();
    item->setCaption("Save");
    item->setHint("Save the file");
    item->setImageIndex(3);
    auto group = MakeGroup({"Old"}, 100, 100);
    group->setItems(source);
    ASSERT_EQ(group->Items().Count(), 1);
    const TvyxGrpButtonItem *copy = group->Items().Items(0);
    EXPECT_NE(copy, item);
    EXPECT_EQ(copy->Caption(), "Save");
    EXPECT_EQ(copy->Hint(), "Save the file");
    EXPECT_EQ(copy->ImageIndex(), 3);
    EXPECT_EQ(copy->ButtonGroup(), group.get());
}

TEST(ButtonItems, FreedActionIsForgotten)
{
    TvyxGrpButtonItems items;
    TvyxGrpButtonItem *item = items.Add();
    {
        QAction action;
        item->setAction(&action);
        EXPECT_EQ(item->Action(), &action);
    }
    EXPECT_EQ(item->Action(), nullptr);
}

TEST(ButtonItems, IndexOfButtonIsExactAndFirst)
{
    auto group = MakeGroup({"Alpha", "alpha", "Alpha"}, 100, 100);
    EXPECT_EQ(group->IndexOfButton("Alpha"), 0);
    EXPECT_EQ(group->IndexOfButton("alpha"), 1);
    EXPECT_EQ(group->IndexOfButton("ALPHA"), -1);
}

// A change of the collection outside an update follows the item remembered by the last update,
// or clears the selection and focus when none was remembered.
TEST(ButtonItems, SelectionFollowsTheRememberedItem)
{
    auto group =
        MakeGroup({"A", "B", "C"}, 100, 100, gboFullSize | gboShowCaptions | gboGroupStyle);
    group->setItemIndex(1);
    group->Items().BeginUpdate();
    group->Items().Move(1, 2);
    group->Items().EndUpdate();
    EXPECT_EQ(group->ItemIndex(), 2);
    group->Items().Insert(0)->setCaption("New");
    EXPECT_EQ(group->ItemIndex(), 3);
    EXPECT_EQ(group->Items().Items(3)->Caption(), "B");

    group->Items().Delete(3);
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_EQ(group->FocusIndex(), -1);
}

TEST(ButtonItems, ChangeWithoutRememberedItemClearsSelection)
{
    auto group = MakeGroup({"A", "B"}, 100, 100, gboFullSize | gboShowCaptions | gboGroupStyle);
    group->setItemIndex(1);
    group->Items().Add()->setCaption("C");
    EXPECT_EQ(group->ItemIndex(), -1);
}

TEST(ButtonItems, CollectionChangeRecomputesScrollRange)
{
    auto group = MakeGroup(test::Captions(3), 100, 100);
    EXPECT_FALSE(group->ScrollBarShown());
    group->Items().BeginUpdate();
    for (int i = 0; i < 10; ++i)
        group->Items().Add();
    EXPECT_FALSE(group->ScrollBarShown()); // nothing happens inside an update
    group->Items().EndUpdate();
    EXPECT_TRUE(group->ScrollBarShown());
    EXPECT_EQ(group->ScrollBarMax(), 13 - 4);
}

TEST(ButtonItems, AssignGroupCopiesItemsSizesAndOptions)
{
    auto source = MakeGroup({"A", "B"}, 100, 100, gboGroupStyle | gboShowCaptions);
    source->setButtonHeight(30);
    source->setButtonWidth(40);
    TvyxButtonGroup target;
    target.Assign(*source);
    EXPECT_EQ(Order(target), QStringList({"A", "B"}));
    EXPECT_EQ(target.ButtonHeight(), 30);
    EXPECT_EQ(target.ButtonWidth(), 40);
    EXPECT_EQ(target.ButtonOptions(), source->ButtonOptions());
}

} // namespace
} // namespace tev
