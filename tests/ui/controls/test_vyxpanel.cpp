#include "ui/controls/vyxpanel.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace tev {
namespace {

TEST(VyxPanel, TakesTheFocusWhenClickedAndReportsKeys)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *edit = new QLineEdit(&window);
    auto *panel = new TvyxPanel(&window);
    panel->setMinimumSize(100, 50);
    layout->addWidget(edit);
    layout->addWidget(panel);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    int clicks = 0;
    QList<int> keys;
    QObject::connect(panel, &TvyxPanel::mouseDown, panel, [&clicks] { ++clicks; });
    QObject::connect(panel, &TvyxPanel::keyDown, panel,
                     [&keys](QKeyEvent *e) { keys << e->key(); });
    QTest::mouseClick(panel, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(panel->hasFocus());
    QTest::keyClick(panel, Qt::Key_F5);
    EXPECT_EQ(keys, QList<int>{Qt::Key_F5});

    panel->setEnabled(false);
    edit->setFocus();
    QTest::mouseClick(panel, Qt::LeftButton);
    EXPECT_FALSE(panel->hasFocus());
}

} // namespace
} // namespace tev
