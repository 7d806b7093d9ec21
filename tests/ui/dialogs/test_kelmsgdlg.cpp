#include "drive.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/kit/buttonpanel.h"

#include "ui/keys.h"
#include "ui/printers.h"
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

namespace tev {
namespace {

QList<QPushButton *> buttonsLeftToRight(QDialog &dialog)
{
    QList<QPushButton *> buttons =
        dialog.findChild<ButtonPanel *>(QStringLiteral("Panel"))->findChildren<QPushButton *>();
    std::sort(buttons.begin(), buttons.end(),
              [](auto *a, auto *b) { return a->geometry().x() < b->geometry().x(); });
    return buttons;
}

struct ButtonSetCase
{
    const char *name;
    TMsgDlgButtons buttons;
    QStringList captions; // left to right
    QList<int> results;
};

class MessageBoxButtons : public ::testing::TestWithParam<ButtonSetCase>
{
};

TEST_P(MessageBoxButtons, StandInBitOrderFlushRightWithTheirResults)
{
    const ButtonSetCase &c = GetParam();
    for (int i = 0; i <= c.captions.size(); ++i) {
        // Run once per button, clicking it; the last run only checks the layout.
        QStringList captions;
        QList<QRect> geometry;
        test::DriveDialogs drive([&](QDialog &dialog) {
            const auto buttons = buttonsLeftToRight(dialog);
            for (auto *b : buttons) {
                captions << b->text();
                geometry << b->geometry();
                EXPECT_FALSE(b->isDefault());
                EXPECT_FALSE(b->autoDefault());
            }
            if (i < buttons.size())
                QTest::mouseClick(buttons[i], Qt::LeftButton);
        });
        const int result = KelMessageDlg(QStringLiteral("Go on?"), c.buttons, QString());
        EXPECT_EQ(captions, c.captions);
        for (int k = 0; k < geometry.size(); ++k) {
            EXPECT_EQ(geometry[k].width(), 100);
            EXPECT_EQ(geometry[k].height(), 40);
            EXPECT_EQ(geometry[k].right() + 1, 400 - 100 * (int(geometry.size()) - 1 - k));
        }
        if (i < c.results.size())
            EXPECT_EQ(result, c.results[i]) << "button " << i;
        else
            EXPECT_EQ(result, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MessageBoxButtons,
    ::testing::Values(
        ButtonSetCase{"YesNo", buttonSet({mbYes, mbNo}), {"Yes", "No"}, {6, 7}},
        ButtonSetCase{"OkCancel", buttonSet({mbOK, mbCancel}), {"OK", "Cancel"}, {1, 2}},
        ButtonSetCase{"OkAlone", buttonSet({mbOK}), {"OK"}, {1}},
        ButtonSetCase{"OkCancelAbort",
                      buttonSet({mbOK, mbCancel, mbAbort}),
                      {"OK", "Cancel", "Cancel"},
                      {1, 2, 2}},
        ButtonSetCase{"HelpAlone", buttonSet({mbHelp}), {}, {}}, ButtonSetCase{"Empty", 0, {}, {}},
        ButtonSetCase{"HighBitsOnly", TMsgDlgButtons(0xF000), {}, {}},
        // Six buttons run past the box's left edge; the box does not widen.
        ButtonSetCase{"SixRunPastTheLeftEdge",
                      buttonSet({mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbClose}),
                      {"Retry", "Ignore", "All", "No to all", "Yes to all", "Close"},
                      {4, 5, 12, 13, 14, 8}}),
    [](const auto &info) { return std::string(info.param.name); });

struct KeyCase
{
    const char *name;
    TMsgDlgButtons buttons;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool toButton; // send to the first button instead of the form
    int expected;
};

class MessageBoxKeys : public ::testing::TestWithParam<KeyCase>
{
};

TEST_P(MessageBoxKeys, GiveOkOrCancelWhateverTheButtons)
{
    const KeyCase &c = GetParam();
    test::DriveDialogs drive([&](QDialog &dialog) {
        QWidget *target = &dialog;
        if (c.toButton)
            target = buttonsLeftToRight(dialog).value(0);
        ASSERT_NE(target, nullptr);
        test::pressKey(target, c.key, c.modifiers);
    });
    EXPECT_EQ(KelMessageDlg(QStringLiteral("Question"), c.buttons, QStringLiteral("Warning")),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MessageBoxKeys,
    ::testing::Values(
        KeyCase{"EnterWithYesNo", buttonSet({mbYes, mbNo}), Qt::Key_Return, {}, false, 1},
        KeyCase{"KeypadEnterWithYesNo", buttonSet({mbYes, mbNo}), Qt::Key_Enter, Qt::KeypadModifier,
                false, 1},
        KeyCase{"EnterOnFocusedNoButton", buttonSet({mbNo}), Qt::Key_Return, {}, true, 1},
        KeyCase{"EscapeWithYesNo", buttonSet({mbYes, mbNo}), Qt::Key_Escape, {}, false, 2},
        KeyCase{"CancelKeyWithYesNo", buttonSet({mbYes, mbNo}), Qt::Key_Cancel, {}, false, 2},
        KeyCase{"CtrlBreakWithOk", buttonSet({mbOK}), Qt::Key_Pause, Qt::ControlModifier, false, 2},
        KeyCase{"EnterWithHelpAlone", buttonSet({mbHelp}), Qt::Key_Return, {}, false, 1},
        KeyCase{"EscapeWithNoButtons", 0, Qt::Key_Escape, {}, false, 2},
        KeyCase{"CancelKeyWithNoButtons", 0, Qt::Key_Cancel, {}, false, 2},
        KeyCase{"OtherKeyDoesNothing", buttonSet({mbOK}), Qt::Key_A, {}, false, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(MessageBoxLayout, NarrowMessageStaysOnOneLineInABoxOfMinimumHeight)
{
    TKelMsgDlg dialog;
    dialog.setMessage(QStringLiteral("Save changes?"));
    EXPECT_FALSE(dialog.msgLabel()->wordWrap());
    EXPECT_LT(dialog.msgLabel()->width(), 380);
    EXPECT_EQ(dialog.msgLabel()->pos(), QPoint(10, 8));
    EXPECT_EQ(dialog.size(), QSize(400, 100));
    EXPECT_EQ(dialog.panel()->geometry(), QRect(0, 60, 400, 40));
}

TEST(MessageBoxLayout, WideMessageWrapsAt380AndTheBoxGrows)
{
    TKelMsgDlg dialog;
    const QString text = QStringLiteral("The master sequence changed. ").repeated(8);
    dialog.setMessage(text);
    QLabel *label = dialog.msgLabel();
    EXPECT_TRUE(label->wordWrap());
    EXPECT_EQ(label->width(), 380);
    const int lineHeight = label->fontMetrics().height();
    EXPECT_GE(label->height(), 3 * lineHeight);
    EXPECT_EQ(dialog.width(), 400);
    EXPECT_EQ(dialog.height(), label->height() + 40 + 18);
    EXPECT_EQ(dialog.panel()->geometry().bottom() + 1, dialog.height());
}

TEST(MessageBoxLayout, LineBreaksInTheTextBreakLinesWithoutWrapping)
{
    TKelMsgDlg dialog;
    dialog.setMessage(QStringLiteral("One\r\nTwo\r\nThree\nFour\nFive"));
    QLabel *label = dialog.msgLabel();
    EXPECT_FALSE(label->wordWrap());
    EXPECT_EQ(label->text().count(QLatin1Char('\n')), 4);
    EXPECT_EQ(dialog.height(), std::max(label->height() + 58, 100));
    EXPECT_GT(dialog.height(), 100);
}

// A database's message names a long path: the word wider than the box breaks inside, so that
// no part of it is cut off at the right.
TEST(MessageBoxLayout, AWordWiderThanTheBoxBreaksInside)
{
    TKelMsgDlg dialog;
    const QString path = QStringLiteral("/home/user/Documents/Kelmetra/SEQ/") +
                         QStringLiteral("VeryLongFolderName").repeated(8) +
                         QStringLiteral("/Tevora.fdb");
    const QString text =
        QStringLiteral("I/O error during \"open\" operation for file \"%1\"").arg(path);
    dialog.setMessage(text);
    QLabel *label = dialog.msgLabel();
    EXPECT_TRUE(label->wordWrap());
    EXPECT_EQ(label->width(), 380);
    EXPECT_EQ(label->text(), text);
    const QFontMetrics metrics = label->fontMetrics();
    const int pathLines = (metrics.horizontalAdvance(path) + 379) / 380;
    EXPECT_GE(pathLines, 3);
    EXPECT_GE(label->height(), (pathLines + 1) * metrics.height() - 2);
    EXPECT_EQ(dialog.height(), label->height() + 40 + 18);
    // The text is drawn: ink reaches the label's last lines.
    const QImage shown = label->grab().toImage();
    bool inkAtTheBottom = false;
    for (int y = shown.height() - metrics.height(); y < shown.height() && !inkAtTheBottom; ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixelColor(x, y) != shown.pixelColor(0, 0)) {
                inkAtTheBottom = true;
                break;
            }
    EXPECT_TRUE(inkAtTheBottom);
}

// A message too long for the screen scrolls inside a box that keeps its buttons in sight.
TEST(MessageBoxLayout, AVeryLongMessageScrollsInABoxOfBoundedHeight)
{
    TKelMsgDlg dialog;
    QStringList lines;
    for (int i = 1; i <= 200; ++i)
        lines << QStringLiteral("Work/Cell %1/Line.seq: not found").arg(i);
    dialog.setMessage(lines.join(QLatin1Char('\n')));
    QLabel *label = dialog.msgLabel();
    EXPECT_EQ(label->text(), lines.join(QLatin1Char('\n')));
    EXPECT_EQ(dialog.height(), TKelMsgDlg::kMaxTextHeight + 40 + 18);
    EXPECT_LE(dialog.height() + 40, 721); // with a title bar, on a laptop's screen
    QScrollArea *scroll = dialog.scrollArea();
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll->widget(), label);
    EXPECT_EQ(scroll->geometry(), QRect(10, 8, 380, TKelMsgDlg::kMaxTextHeight));
    EXPECT_GE(label->height(), 200 * label->fontMetrics().height() - 200);
    EXPECT_LE(label->width() + scroll->verticalScrollBar()->sizeHint().width(), 380);
    dialog.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(scroll->isVisible());
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(dialog.panel()->geometry().bottom() + 1, dialog.height());

    // A short message afterwards sits on the box again.
    dialog.setMessage(QStringLiteral("Done."));
    EXPECT_EQ(label->parentWidget(), &dialog);
    EXPECT_EQ(label->pos(), QPoint(10, 8));
    EXPECT_FALSE(scroll->isVisible());
    EXPECT_EQ(dialog.size(), QSize(400, 100));
}

TEST(MessageBoxLayout, CarriesTheComponentNames)
{
    TKelMsgDlg dialog;
    EXPECT_NE(dialog.findChild<QLabel *>(QStringLiteral("MsgLabel")), nullptr);
    EXPECT_NE(dialog.findChild<ButtonPanel *>(QStringLiteral("Panel")), nullptr);
    EXPECT_EQ(dialog.panel()->color(), QColor(80, 80, 80));
}

TEST(MessageBoxRoutines, ConfirmAndShowMessageUseTheirButtonSets)
{
    QStringList captions;
    test::DriveDialogs drive([&](QDialog &dialog) {
        captions.clear();
        for (auto *b : buttonsLeftToRight(dialog))
            captions << b->text();
        EXPECT_TRUE(dialog.windowTitle().isEmpty());
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(KelConfirm(QStringLiteral("Delete?")), 2);
    EXPECT_EQ(captions, (QStringList{"OK", "Cancel"}));
    KelShowMessage(QStringLiteral("Done."));
    EXPECT_EQ(captions, QStringList{"OK"});
    EXPECT_EQ(drive.runs(), 2);
}

// Without a replaced runner the box runs its own modal loop; a timer acts on the modal widget.
TEST(MessageBoxRoutines, RunsARealModalLoop)
{
    QTimer::singleShot(0, qApp, [] {
        QWidget *modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        QTest::keyClick(modal, Qt::Key_Return);
    });
    EXPECT_EQ(KelMessageDlg(QStringLiteral("Really?"), buttonSet({mbYes, mbNo}), QString()), 1);
}

// Focus starts on the first button of the set (Yes, or OK), so Space answers as users of such
// boxes expect; Tab goes on to the next button.
TEST(MessageBoxRoutines, FocusStartsOnTheFirstButton)
{
    struct Case
    {
        const char *name;
        TMsgDlgButtons buttons;
        QString focused;
        QString afterTab;
        int spaceResult;
    };
    const Case cases[] = {
        {"Yes and No", buttonSet({mbYes, mbNo}), "Yes", "No", mrYes},
        {"OK and Cancel", buttonSet({mbOK, mbCancel}), "OK", "Cancel", mrOk},
        {"No, Cancel and Retry", buttonSet({mbNo, mbCancel, mbRetry}), "No", "Cancel", mrNo},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QString focused;
        QString afterTab;
        QTimer::singleShot(0, qApp, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            modal->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(modal));
            auto *button = qobject_cast<QPushButton *>(QApplication::focusWidget());
            if (!button) {
                QTest::keyClick(modal, Qt::Key_Escape); // ends the loop; the checks fail
                return;
            }
            focused = button->text();
            QTest::keyClick(button, Qt::Key_Tab);
            if (auto *next = qobject_cast<QPushButton *>(QApplication::focusWidget()))
                afterTab = next->text();
            QTest::keyClick(button, Qt::Key_Backtab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        });
        EXPECT_EQ(KelMessageDlg(QStringLiteral("Really?"), c.buttons, QString()), c.spaceResult);
        EXPECT_EQ(focused, c.focused);
        EXPECT_EQ(afterTab, c.afterTab);
    }
}

} // namespace
} // namespace tev
