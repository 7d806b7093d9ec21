#include "ui/mainwindow/treeselectiongate.h"

#include "ui/keys.h"
#include "ui/printers.h"

#include <QCoreApplication>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace tev {
namespace {

// A tree "top[a[a1, a2], b[b1]]" behind a gate whose answer the test sets.
class SelectionGate : public ::testing::Test
{
protected:
    SelectionGate()
    {
        m_tree.setSelectionMode(QAbstractItemView::ExtendedSelection);
        m_top = new QTreeWidgetItem(&m_tree, {"top"});
        m_a = new QTreeWidgetItem(m_top, {"a"});
        m_a1 = new QTreeWidgetItem(m_a, {"a1"});
        m_a2 = new QTreeWidgetItem(m_a, {"a2"});
        m_b = new QTreeWidgetItem(m_top, {"b"});
        m_b1 = new QTreeWidgetItem(m_b, {"b1"});
        m_tree.expandAll();
        m_gate = new TTreeSelectionGate(m_tree.model(), &m_tree);
        m_gate->SetOnChanging([this](const QModelIndex &target) {
            m_asked << (target.isValid() ? target.data().toString() : QStringLiteral("-"));
            return m_allow;
        });
        m_tree.setSelectionModel(m_gate);
        m_tree.resize(300, 300);
        m_tree.show();
        m_tree.setCurrentItem(m_a1);
        m_asked.clear();
    }

    void click(QTreeWidgetItem *item, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(m_tree.viewport(), Qt::LeftButton, modifiers,
                          m_tree.visualItemRect(item).center());
    }

    QStringList selected() const
    {
        QStringList names;
        for (QTreeWidgetItem *item : m_tree.selectedItems())
            names << item->text(0);
        names.sort();
        return names;
    }

    QTreeWidget m_tree;
    TTreeSelectionGate *m_gate = nullptr;
    QTreeWidgetItem *m_top, *m_a, *m_a1, *m_a2, *m_b, *m_b1;
    QStringList m_asked;
    bool m_allow = true;
};

TEST_F(SelectionGate, ARefusedClickLeavesSelectionAndCurrentNode)
{
    m_allow = false;
    click(m_b1);
    EXPECT_EQ(m_asked, QStringList({"b1"}));
    EXPECT_EQ(selected(), QStringList({"a1"}));
    EXPECT_EQ(m_tree.currentItem(), m_a1);
}

TEST_F(SelectionGate, AnAllowedClickAsksOnce)
{
    click(m_b1);
    EXPECT_EQ(m_asked, QStringList({"b1"}));
    EXPECT_EQ(selected(), QStringList({"b1"}));
    EXPECT_EQ(m_tree.currentItem(), m_b1);
}

TEST_F(SelectionGate, AClickOnTheSelectedNodeAsksNothing)
{
    click(m_a1);
    EXPECT_TRUE(m_asked.isEmpty());
    EXPECT_EQ(selected(), QStringList({"a1"}));
}

TEST_F(SelectionGate, ARefusedKeyLeavesTheCurrentNode)
{
    m_allow = false;
    test::pressKey(&m_tree, Qt::Key_Down);
    EXPECT_EQ(m_asked, QStringList({"a2"}));
    EXPECT_EQ(m_tree.currentItem(), m_a1);
    // The answer holds for the one key press; the next press asks again.
    QCoreApplication::processEvents();
    m_allow = true;
    test::pressKey(&m_tree, Qt::Key_Down);
    EXPECT_EQ(m_tree.currentItem(), m_a2);
    EXPECT_EQ(selected(), QStringList({"a2"}));
}

TEST_F(SelectionGate, SeveralNodesAreSelectedAmongSiblingsOnly)
{
    click(m_a2, Qt::ControlModifier);
    EXPECT_EQ(selected(), QStringList({"a1", "a2"}));
    click(m_b1, Qt::ControlModifier);
    EXPECT_EQ(selected(), QStringList({"a1", "a2"}));
    // A plain click starts a new selection anywhere.
    click(m_b1);
    EXPECT_EQ(selected(), QStringList({"b1"}));
}

TEST_F(SelectionGate, ProgrammaticChangesAskToo)
{
    m_allow = false;
    m_tree.setCurrentItem(m_b);
    EXPECT_EQ(m_asked, QStringList({"b"}));
    EXPECT_EQ(selected(), QStringList({"a1"}));
}

} // namespace
} // namespace tev
