#include "ui/pages/panelsplitter.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QTest>
#include <gtest/gtest.h>

using namespace tev;

namespace {

struct DragCase
{
    const char *name;
    Qt::Alignment side;
    int dx;
    int width;
};

class PanelSplitterDrag : public ::testing::TestWithParam<DragCase>
{
};

TEST_P(PanelSplitterDrag, ChangesThePanelWidthWithinItsMinimum)
{
    const DragCase &c = GetParam();
    QWidget window;
    window.resize(800, 300);
    auto *layout = new QHBoxLayout(&window);
    auto *panel = new QWidget(&window);
    auto *middle = new QWidget(&window);
    panel->setFixedWidth(200);
    auto *splitter = new TPanelSplitter(panel, c.side, 5, 25, &window);
    if (c.side == Qt::AlignLeft) {
        layout->addWidget(panel);
        layout->addWidget(splitter);
        layout->addWidget(middle, 1);
    } else {
        layout->addWidget(middle, 1);
        layout->addWidget(splitter);
        layout->addWidget(panel);
    }
    window.show();
    QApplication::processEvents();
    int moved = -1;
    QObject::connect(splitter, &TPanelSplitter::Moved, &window, [&](int w) { moved = w; });
    const QPoint start(2, 100);
    QTest::mousePress(splitter, Qt::LeftButton, {}, start);
    QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(c.dx, 0)),
                     QPointF(splitter->mapToGlobal(start + QPoint(c.dx, 0))), Qt::LeftButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(splitter, &move);
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, start + QPoint(c.dx, 0));
    EXPECT_EQ(splitter->PanelWidth(), c.width);
    EXPECT_EQ(moved, c.width);
}

INSTANTIATE_TEST_SUITE_P(Cases, PanelSplitterDrag,
                         ::testing::Values(DragCase{"LeftPanelWider", Qt::AlignLeft, 40, 240},
                                           DragCase{"LeftPanelAtMinimum", Qt::AlignLeft, -400, 25},
                                           DragCase{"RightPanelWider", Qt::AlignRight, -30, 230},
                                           DragCase{"RightPanelNarrower", Qt::AlignRight, 50, 150}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(PanelSplitter, WidthBeforeLayout)
{
    QWidget parent;
    auto *panel = new QWidget(&parent);
    TPanelSplitter splitter(panel, Qt::AlignLeft, 5, 25, &parent);
    splitter.SetPanelWidth(180);
    EXPECT_EQ(splitter.PanelWidth(), 180);
    splitter.SetPanelWidth(0);
    EXPECT_EQ(splitter.PanelWidth(), 25);
}

} // namespace
