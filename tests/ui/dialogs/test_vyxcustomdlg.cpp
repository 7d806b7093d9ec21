#include "drive.h"
#include "ui/dialogs/vyxcustomdlg.h"
#include "ui/kit/buttonpanel.h"
#include "ui/kit/modalrunner.h"
#include "ui/kit/speedbutton.h"
#include "ui/kit/style.h"

#include "ui/keys.h"
#include "ui/printers.h"
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace tev {
namespace {

// A derived dialog as the application dialogs make them: own controls in the body.
class NameDlg : public TvyxCustomDlg
{
public:
    explicit NameDlg(QWidget *owner)
        : TvyxCustomDlg(owner)
        , edit(new QLineEdit(body()))
    {
        (new QVBoxLayout(body()))->addWidget(edit);
    }
    QLineEdit *edit;
};

enum class Act { Key, OkButton, CancelButton, CloseBox };

struct BaseCase
{
    const char *name;
    Act act;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int expected;
    bool staysOpen;
};

class BaseDialog : public ::testing::TestWithParam<BaseCase>
{
};

TEST_P(BaseDialog, KeysAndButtons)
{
    const BaseCase &c = GetParam();
    QWidget owner;
    NameDlg dialog(&owner);
    test::DriveDialogs drive([&](QDialog &) {
        switch (c.act) {
        case Act::Key:
            test::pressKey(dialog.edit, c.key, c.modifiers);
            break;
        case Act::OkButton:
            QTest::mouseClick(dialog.okBtn(), Qt::LeftButton);
            break;
        case Act::CancelButton:
            QTest::mouseClick(dialog.cancelBtn(), Qt::LeftButton);
            break;
        case Act::CloseBox:
            dialog.close();
            break;
        }
    });
    EXPECT_EQ(runModal(dialog), c.expected);
    EXPECT_EQ(drive.stillVisible(), c.staysOpen);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BaseDialog,
    ::testing::Values(
        BaseCase{"EscapeDoesNothing", Act::Key, Qt::Key_Escape, {}, 0, true},
        BaseCase{"CancelKeyCancels", Act::Key, Qt::Key_Cancel, {}, 2, false},
        BaseCase{"CtrlBreakCancels", Act::Key, Qt::Key_Pause, Qt::ControlModifier, 2, false},
        BaseCase{"EnterConfirms", Act::Key, Qt::Key_Return, {}, 1, false},
        BaseCase{"KeypadEnterConfirms", Act::Key, Qt::Key_Enter, Qt::KeypadModifier, 1, false},
        BaseCase{"OkButton", Act::OkButton, Qt::Key_unknown, {}, 1, false},
        BaseCase{"CancelButton", Act::CancelButton, Qt::Key_unknown, {}, 2, false},
        BaseCase{"CloseBoxCancels", Act::CloseBox, Qt::Key_unknown, {}, 2, false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(BaseDialogLayout, ButtonsPanelAndNames)
{
    NameDlg dialog(nullptr);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Dialog"));
    EXPECT_EQ(dialog.size(), QSize(400, 400));
    EXPECT_EQ(dialog.panel()->geometry(), QRect(0, 355, 400, 45));
    EXPECT_EQ(dialog.cancelBtn()->geometry(), QRect(310, 5, 80, 35));
    EXPECT_EQ(dialog.okBtn()->geometry(), QRect(230, 5, 75, 35));
    EXPECT_EQ(dialog.panel()->color(), styledPanelColor());
    EXPECT_EQ(dialog.findChild<SpeedButton *>(QStringLiteral("OKBtn")), dialog.okBtn());
    EXPECT_EQ(dialog.okBtn()->focusPolicy(), Qt::NoFocus);
}

// The base dialog has a dialog border: the user cannot resize it, nor a dialog built on it at
// the size that dialog chose.
TEST(BaseDialogLayout, HasAFixedSize)
{
    class SmallDlg : public TvyxCustomDlg
    {
    public:
        SmallDlg()
            : TvyxCustomDlg(nullptr)
        {
            resize(350, 130);
        }
    };
    NameDlg base(nullptr);
    SmallDlg derived;
    for (QWidget *dialog : {static_cast<QWidget *>(&base), static_cast<QWidget *>(&derived)}) {
        const QSize chosen = dialog->size();
        dialog->show();
        EXPECT_EQ(dialog->size(), chosen);
        EXPECT_EQ(dialog->minimumSize(), chosen);
        EXPECT_EQ(dialog->maximumSize(), chosen);
        dialog->resize(chosen + QSize(100, 100));
        EXPECT_EQ(dialog->size(), chosen);
    }
    EXPECT_EQ(derived.size(), QSize(350, 130));
}

} // namespace
} // namespace tev
