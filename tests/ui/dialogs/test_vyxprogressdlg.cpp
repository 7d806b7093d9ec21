#include "ui/dialogs/vyxprogressdlg.h"
#include "ui/keys.h"
#include "ui/kit/buttonpanel.h"
#include "ui/kit/mainform.h"
#include "ui/kit/progressbar.h"
#include "ui/kit/speedbutton.h"
#include "ui/printers.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace tev {
namespace {

// Every test starts and ends without a global progress window.
class Progress : public ::testing::Test
{
protected:
    void SetUp() override { HideProgress(); }
    void TearDown() override { HideProgress(); }
};

TEST_F(Progress, FiveStepsThroughOneBar)
{
    EXPECT_EQ(ShowProgress(1, 5, 1, QStringLiteral("Preparing...")), 0);
    TVYXProgressDlg *dialog = progressDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->GetLabel(0)->text(), QStringLiteral("Preparing..."));
    for (int i = 1; i <= 5; ++i) {
        const QString file = QStringLiteral("/seq/work%1.seq").arg(i);
        EXPECT_TRUE(StepProgress(file, -1)) << i;
        EXPECT_EQ(dialog->GetLabel(0)->text(), file);
        EXPECT_EQ(dialog->GetBar(0)->position(), i);
    }
    EXPECT_EQ(dialog->BarCount(), 1);
    EXPECT_EQ(dialog->GetBar(0)->value(), 5); // a full bar after the last step
    EXPECT_TRUE(dialog->pnlBottom()->isVisible());
    EXPECT_EQ(dialog->cancelBtn()->geometry(), QRect(316, 5, 80, 35));
}

enum class CancelBy { Button, CancelKey, CtrlBreak };

class ProgressCancel : public ::testing::TestWithParam<CancelBy>
{
protected:
    void SetUp() override { HideProgress(); }
    void TearDown() override { HideProgress(); }
};

TEST_P(ProgressCancel, LatchesUntilTheWindowIsFreed)
{
    ShowProgress(1, 5, 1, QStringLiteral("Preparing..."));
    TVYXProgressDlg *dialog = progressDialog();
    EXPECT_TRUE(StepProgress(QStringLiteral("a.seq"), -1));
    EXPECT_TRUE(StepProgress(QStringLiteral("b.seq"), -1));
    switch (GetParam()) {
    case CancelBy::Button:
        QTest::mouseClick(dialog->cancelBtn(), Qt::LeftButton);
        break;
    case CancelBy::CancelKey:
        test::pressKey(dialog->GetBar(0), Qt::Key_Cancel);
        break;
    case CancelBy::CtrlBreak:
        test::pressKey(dialog, Qt::Key_Pause, Qt::ControlModifier);
        break;
    }
    EXPECT_TRUE(dialog->isHidden());
    EXPECT_FALSE(StepProgress(QStringLiteral("c.seq"), -1));
    EXPECT_EQ(dialog->GetLabel(0)->text(), QStringLiteral("b.seq"));
    EXPECT_EQ(dialog->GetBar(0)->position(), 2);
    EXPECT_FALSE(dialog->SetPosition(4, QStringLiteral("d"), 0));
    EXPECT_EQ(dialog->BarCount(), 1); // the bars stay until the window goes

    HideProgress();
    EXPECT_EQ(progressDialog(), nullptr);
    ShowProgress(1, 3, 1, QStringLiteral("Again"));
    EXPECT_FALSE(progressDialog()->cancelled());
    EXPECT_TRUE(StepProgress(QStringLiteral("e.seq"), -1));
}

INSTANTIATE_TEST_SUITE_P(Table, ProgressCancel,
                         ::testing::Values(CancelBy::Button, CancelBy::CancelKey,
                                           CancelBy::CtrlBreak));

TEST_F(Progress, EscapeDoesNotCancel)
{
    ShowProgress(0, 10, 1, QStringLiteral("Working"));
    test::pressKey(progressDialog(), Qt::Key_Escape);
    EXPECT_FALSE(progressDialog()->cancelled());
    EXPECT_TRUE(StepProgress(QStringLiteral("x"), -1));
}

TEST_F(Progress, TwoShowsStackTwoBarsAndMinusOneIsTheNewest)
{
    EXPECT_EQ(ShowProgress(0, 10, 1, QStringLiteral("Outer")), 0);
    EXPECT_EQ(ShowProgress(0, 4, 2, QStringLiteral("Inner")), 1);
    TVYXProgressDlg *dialog = progressDialog();
    ASSERT_EQ(dialog->BarCount(), 2);
    QLabel *l0 = dialog->GetLabel(0);
    QLabel *l1 = dialog->GetLabel(1);
    ProgressBar *b0 = dialog->GetBar(0);
    ProgressBar *b1 = dialog->GetBar(1);
    ASSERT_TRUE(l0 && l1 && b0 && b1);
    EXPECT_EQ(dialog->findChild<ProgressBar *>(QStringLiteral("ProgressBar1")), b1);
    EXPECT_LT(l0->y(), b0->y());
    EXPECT_LT(b0->y(), l1->y());
    EXPECT_LT(l1->y(), b1->y());
    EXPECT_EQ(b0->geometry(), QRect(10, l0->geometry().bottom() + 11, 386, 25));
    EXPECT_EQ(dialog->height(), b1->geometry().bottom() + 1 + 5 + 45);

    EXPECT_TRUE(StepProgress(QStringLiteral("inner step"), -1));
    EXPECT_EQ(b1->position(), 2);
    EXPECT_EQ(l1->text(), QStringLiteral("inner step"));
    EXPECT_EQ(b0->position(), 0);
    EXPECT_EQ(l0->text(), QStringLiteral("Outer"));
}

// The step family on two bars: bar 0 steps by 2 up to 10, bar 1 by 10 up to 100.
struct StepCase
{
    const char *name;
    std::function<bool(TVYXProgressDlg &)> op;
    bool expected;
    int position0, position1;
    const char *caption0, *caption1;
};

class ProgressSteps : public ::testing::TestWithParam<StepCase>
{
protected:
    void TearDown() override { HideProgress(); }
};

TEST_P(ProgressSteps, ChangeTheAddressedBarOnly)
{
    const StepCase &c = GetParam();
    HideProgress();
    ShowProgress(0, 10, 2, QStringLiteral("zero"));
    ShowProgress(0, 100, 10, QStringLiteral("one"));
    TVYXProgressDlg &dialog = *progressDialog();
    bool delivered = false;
    QTimer::singleShot(0, &dialog, [&delivered] { delivered = true; });
    EXPECT_EQ(c.op(dialog), c.expected);
    EXPECT_TRUE(delivered) << "pending events are processed at every step";
    EXPECT_EQ(dialog.GetBar(0)->position(), c.position0);
    EXPECT_EQ(dialog.GetBar(1)->position(), c.position1);
    EXPECT_EQ(dialog.GetLabel(0)->text(), QString::fromUtf8(c.caption0));
    EXPECT_EQ(dialog.GetLabel(1)->text(), QString::fromUtf8(c.caption1));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProgressSteps,
    ::testing::Values(
        StepCase{"StepItNewest", [](auto &d) { return d.StepIt(); }, true, 0, 10, "zero", "one"},
        StepCase{"StepItIndex0", [](auto &d) { return d.StepIt(0); }, true, 2, 0, "zero", "one"},
        StepCase{"StepItMinusOne", [](auto &d) { return d.StepIt(-1); }, true, 0, 10, "zero",
                 "one"},
        StepCase{"StepItCaption", [](auto &d) { return d.StepIt(QStringLiteral("c")); }, true, 0,
                 10, "zero", "c"},
        StepCase{"StepItCaptionIndex0", [](auto &d) { return d.StepIt(QStringLiteral("c"), 0); },
                 true, 2, 0, "c", "one"},
        StepCase{"SetPosition", [](auto &d) { return d.SetPosition(7, QStringLiteral("p"), 0); },
                 true, 7, 0, "p", "one"},
        StepCase{"SetPositionClampsToMax",
                 [](auto &d) { return d.SetPosition(500, QStringLiteral("p"), -1); }, true, 0, 100,
                 "zero", "p"},
        StepCase{"StepItIndexEqualToCount", [](auto &d) { return d.StepIt(2); }, false, 0, 0,
                 "zero", "one"},
        StepCase{"StepItIndex5", [](auto &d) { return d.StepIt(5); }, false, 0, 0, "zero", "one"},
        StepCase{"StepItIndexBelowMinusOne", [](auto &d) { return d.StepIt(-2); }, false, 0, 0,
                 "zero", "one"},
        StepCase{"SetPositionBadIndex",
                 [](auto &d) { return d.SetPosition(3, QStringLiteral("p"), 9); }, false, 0, 0,
                 "zero", "one"},
        StepCase{"StepPastTheEndStartsOver",
                 [](auto &d) {
                     for (int i = 0; i < 6; ++i)
                         d.StepIt(0);
                     return d.StepIt(0);
                 },
                 true, 4, 0, "zero", "one"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Progress, MarqueeOnTopHidesCancelAndRunsTheTimer)
{
    ShowProgress(0, 10, 1, QStringLiteral("Files"));
    TVYXProgressDlg *dialog = progressDialog();
    EXPECT_TRUE(dialog->pnlBottom()->isVisible());
    EXPECT_FALSE(dialog->marqueeTimer()->isActive());

    // The clock starts before the timer does: a loaded machine may delay the check after the
    // start, but no timer fires early, so two steps always take most of two intervals.
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(dialog->InitMarquee(QStringLiteral("Waiting for the database")), 1);
    EXPECT_FALSE(dialog->pnlBottom()->isVisible());
    EXPECT_TRUE(dialog->marqueeTimer()->isActive());
    EXPECT_EQ(dialog->marqueeTimer()->interval(), 200);
    EXPECT_EQ(dialog->height(), dialog->GetBar(1)->geometry().bottom() + 1 + 5);

    while (dialog->GetBar(1)->position() < 20 && clock.elapsed() < 5000)
        QTest::qWait(50);
    EXPECT_GE(dialog->GetBar(1)->position(), 20) << "two timer steps";
    EXPECT_GE(clock.elapsed(), 350);
    EXPECT_EQ(dialog->GetBar(0)->position(), 0) << "normal bars are not stepped by the timer";

    dialog->FinishRecentProgress();
    EXPECT_EQ(dialog->BarCount(), 1);
    EXPECT_TRUE(dialog->pnlBottom()->isVisible());
    EXPECT_FALSE(dialog->marqueeTimer()->isActive());
}

TEST_F(Progress, FinishOnlyTheNewestBarAndReuseItsIndex)
{
    ShowProgress(0, 10, 1, QStringLiteral("a"));
    ShowProgress(0, 10, 1, QStringLiteral("b"));
    TVYXProgressDlg *dialog = progressDialog();
    dialog->FinishProgress(0);
    dialog->FinishProgress(-1);
    EXPECT_EQ(dialog->BarCount(), 2);
    dialog->FinishProgress(1);
    EXPECT_EQ(dialog->BarCount(), 1);
    EXPECT_EQ(dialog->GetLabel(1), nullptr);
    EXPECT_EQ(dialog->GetBar(1), nullptr);
    EXPECT_EQ(ShowProgress(0, 3, 1, QStringLiteral("c")), 1);
    EXPECT_EQ(dialog->GetLabel(1)->text(), QStringLiteral("c"));
}

TEST_F(Progress, WithoutBarsNothingIsTouched)
{
    ShowProgress(0, 10, 1, QStringLiteral("only"));
    TVYXProgressDlg *dialog = progressDialog();
    dialog->FinishRecentProgress();
    dialog->FinishRecentProgress(); // no bar: nothing
    dialog->FinishAll();
    EXPECT_EQ(dialog->BarCount(), 0);
    EXPECT_EQ(dialog->height(), 5);
    EXPECT_FALSE(dialog->pnlBottom()->isVisible());
    EXPECT_FALSE(StepProgress(QStringLiteral("x"), -1));
    EXPECT_FALSE(dialog->StepIt());
}

TEST_F(Progress, StepWithoutAWindowYieldsFalse)
{
    EXPECT_FALSE(StepProgress(QStringLiteral("before"), -1));
    ShowProgress(0, 1, 1, QStringLiteral("x"));
    HideProgress();
    EXPECT_FALSE(StepProgress(QStringLiteral("after"), -1));
    HideProgress(); // twice is harmless
}

TEST_F(Progress, WindowIsBorderlessOnTopAndNotModal)
{
    ShowProgress(0, 1, 1, QStringLiteral("x"));
    TVYXProgressDlg *dialog = progressDialog();
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->width(), 406);
}

// The window lists of the desktop name the progress window as they name the program.
TEST_F(Progress, WindowCarriesTheProgramsCaption)
{
    ShowProgress(0, 1, 1, QStringLiteral("x"));
    EXPECT_EQ(progressDialog()->windowTitle(), QStringLiteral("Tevora"));
    HideProgress();

    setApplicationTitle(QStringLiteral("Tevora Test"));
    ShowProgress(0, 1, 1, QStringLiteral("x"));
    const QString caption = progressDialog()->windowTitle();
    setApplicationTitle(QStringLiteral("Tevora"));
    EXPECT_EQ(caption, QStringLiteral("Tevora Test"));
}

} // namespace
} // namespace tev
