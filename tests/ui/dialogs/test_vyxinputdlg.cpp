#include "drive.h"
#include "ui/dialogs/vyxinputdlg.h"
#include "ui/kit/buttonpanel.h"
#include "ui/kit/speedbutton.h"

#include "ui/keys.h"
#include "ui/printers.h"
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace tev {
namespace {

struct ControlCase
{
    const char *name;
    int maxLength;
    bool memo;
    int editLimit; // QLineEdit's maximum length when it is an edit
};

class InputBoxControl : public ::testing::TestWithParam<ControlCase>
{
};

TEST_P(InputBoxControl, IsAnEditUpTo100AndAMemoAbove)
{
    const ControlCase &c = GetParam();
    TvyxInputDlg dialog;
    dialog.setup(QStringLiteral("Name"), c.maxLength, QStringLiteral("abc"));
    QWidget *ctrl = dialog.InputCtrl();
    ASSERT_NE(ctrl, nullptr);
    EXPECT_EQ(dialog.hasMemo(), c.memo);
    EXPECT_EQ(ctrl->geometry().topLeft(), QPoint(10, 30));
    EXPECT_EQ(ctrl->width(), 380);
    EXPECT_EQ(dialog.width(), 400);
    EXPECT_EQ(dialog.height(), std::max(30 + ctrl->height() + 45 + 10, 100));
    EXPECT_EQ(dialog.inputText(), QStringLiteral("abc"));
    if (c.memo) {
        EXPECT_NE(qobject_cast<QPlainTextEdit *>(ctrl), nullptr);
        EXPECT_EQ(ctrl->height(), 90);
        EXPECT_EQ(dialog.height(), 175);
    } else {
        auto *edit = qobject_cast<QLineEdit *>(ctrl);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->maxLength(), c.editLimit);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, InputBoxControl,
                         ::testing::Values(ControlCase{"NoLimit", 0, false, 32767},
                                           ControlCase{"Length25", 25, false, 25},
                                           ControlCase{"Length100", 100, false, 100},
                                           ControlCase{"Length101", 101, true, 0},
                                           ControlCase{"Length400", 400, true, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(InputBox, PanelButtonsStandAtTheRightEdge)
{
    TvyxInputDlg dialog;
    dialog.setup(QStringLiteral("Name"), 25, QString());
    EXPECT_EQ(dialog.cancelBtn()->geometry(), QRect(310, 5, 80, 35));
    EXPECT_EQ(dialog.okBtn()->geometry(), QRect(230, 5, 80, 35));
    EXPECT_EQ(dialog.panel()->height(), 45);
    EXPECT_EQ(dialog.cancelBtn()->objectName(), QStringLiteral("CancelBtn"));
    EXPECT_EQ(dialog.okBtn()->objectName(), QStringLiteral("OKBtn"));
}

TEST(InputBox, LongPromptWrapsAndTheControlStaysAt30)
{
    TvyxInputDlg dialog;
    dialog.setup(QStringLiteral("A very long prompt for a field label. ").repeated(5), 25, {});
    EXPECT_TRUE(dialog.msgLabel()->wordWrap());
    EXPECT_EQ(dialog.msgLabel()->width(), 380);
    EXPECT_EQ(dialog.InputCtrl()->y(), 30);
}

// Types into the box's control, then performs the closing act.
enum class Close { EnterKey, OkButton, CancelButton, EscapeKey, CancelKey };

struct QueryCase
{
    const char *name;
    int maxLength;
    Close close;
    bool expected;
    QString expectedValue;
};

class InputBoxQuery : public ::testing::TestWithParam<QueryCase>
{
};

TEST_P(InputBoxQuery, ReturnsTheTextOnlyWhenConfirmed)
{
    const QueryCase &c = GetParam();
    test::DriveDialogs drive([&](QDialog &dialog) {
        auto &box = static_cast<TvyxInputDlg &>(dialog);
        QWidget *ctrl = box.InputCtrl();
        QTest::keyClick(ctrl, Qt::Key_End, box.hasMemo() ? Qt::ControlModifier : Qt::NoModifier);
        QTest::keyClicks(ctrl, QStringLiteral("X"));
        switch (c.close) {
        case Close::EnterKey:
            QTest::keyClick(ctrl, Qt::Key_Return);
            if (box.isVisible()) // the memo took Enter as a line break
                QTest::keyClicks(ctrl, QStringLiteral("Y"));
            break;
        case Close::OkButton:
            QTest::mouseClick(box.okBtn(), Qt::LeftButton);
            break;
        case Close::CancelButton:
            QTest::mouseClick(box.cancelBtn(), Qt::LeftButton);
            break;
        case Close::EscapeKey:
            QTest::keyClick(ctrl, Qt::Key_Escape);
            break;
        case Close::CancelKey:
            test::pressKey(ctrl, Qt::Key_Cancel);
            break;
        }
    });
    QString value = QStringLiteral("old");
    EXPECT_EQ(VyxInputQuery(QString(), QStringLiteral("Label"), value, c.maxLength), c.expected);
    EXPECT_EQ(value, c.expectedValue);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InputBoxQuery,
    ::testing::Values(
        QueryCase{"EditEnterConfirms", 100, Close::EnterKey, true, "oldX"},
        QueryCase{"EditOkButton", 25, Close::OkButton, true, "oldX"},
        QueryCase{"EditCancelButtonKeepsValue", 25, Close::CancelButton, false, "old"},
        QueryCase{"EditEscapeKeepsValue", 25, Close::EscapeKey, false, "old"},
        QueryCase{"EditCancelKeyKeepsValue", 100, Close::CancelKey, false, "old"},
        // In the memo Enter adds a line and the box stays open: the runner ends unconfirmed.
        QueryCase{"MemoEnterAddsALine", 101, Close::EnterKey, false, "old"},
        QueryCase{"MemoOkButton", 101, Close::OkButton, true, "oldX"},
        QueryCase{"MemoEscapeKeepsValue", 400, Close::EscapeKey, false, "old"},
        QueryCase{"MemoCancelKeyKeepsValue", 400, Close::CancelKey, false, "old"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(InputBox, MemoTakesEnterAsALineBreakAndOkConfirmsBothLines)
{
    test::DriveDialogs drive([](QDialog &dialog) {
        auto &box = static_cast<TvyxInputDlg &>(dialog);
        QWidget *ctrl = box.InputCtrl();
        QTest::keyClick(ctrl, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(ctrl, Qt::Key_Return);
        EXPECT_TRUE(box.isVisible());
        QTest::keyClicks(ctrl, QStringLiteral("line 2"));
        QTest::keyClick(ctrl, Qt::Key_Tab);
        QTest::mouseClick(box.okBtn(), Qt::LeftButton);
    });
    QString value = QStringLiteral("line 1");
    EXPECT_TRUE(VyxInputQuery(QString(), QStringLiteral("Notes"), value, 400));
    EXPECT_EQ(value, QStringLiteral("line 1\nline 2\t"));
}

TEST(InputBox, MemoHoldsAtMostTheMaximumLength)
{
    test::DriveDialogs drive([](QDialog &dialog) {
        auto &box = static_cast<TvyxInputDlg &>(dialog);
        QTest::keyClick(box.InputCtrl(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(box.InputCtrl(), QStringLiteral("12345"));
        QTest::mouseClick(box.okBtn(), Qt::LeftButton);
    });
    QString value = QString(99, QLatin1Char('a'));
    EXPECT_TRUE(VyxInputQuery(QString(), QStringLiteral("Notes"), value, 101));
    EXPECT_EQ(value, QString(99, QLatin1Char('a')) + QStringLiteral("12"));
}

// A stored value longer than today's limit survives a confirmation untouched; typing stops.
class InputBoxLongValue : public ::testing::TestWithParam<int>
{
};

TEST_P(InputBoxLongValue, IsKeptWholeAndCannotGrow)
{
    const int maxLength = GetParam();
    const QString stored(maxLength + 5, QLatin1Char('s'));
    test::DriveDialogs drive([](QDialog &dialog) {
        auto &box = static_cast<TvyxInputDlg &>(dialog);
        QTest::keyClick(box.InputCtrl(), Qt::Key_End,
                        box.hasMemo() ? Qt::ControlModifier : Qt::NoModifier);
        QTest::keyClicks(box.InputCtrl(), QStringLiteral("XY"));
        QTest::mouseClick(box.okBtn(), Qt::LeftButton);
    });
    QString value = stored;
    EXPECT_TRUE(VyxInputQuery(QString(), QStringLiteral("Name"), value, maxLength));
    EXPECT_EQ(value, stored);
}

INSTANTIATE_TEST_SUITE_P(Table, InputBoxLongValue, ::testing::Values(25, 100, 101, 400));

} // namespace
} // namespace tev
