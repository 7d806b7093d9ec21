#include "appfixture.h"
#include "ui/appdialogs/tevprojectdeldlg.h"
#include "ui/kit/speedbutton.h"

#include "ui/keys.h"
#include "ui/printers.h"
#include <QCheckBox>
#include <QTest>

namespace tev {
namespace {

using test::Drive;

TEST(DeleteDialog, CaptionsAndTheFlagsPassedIn)
{
    for (const bool inDatabase : {true, false}) {
        Drive<TTevDelProjectDlg> drive([&](TTevDelProjectDlg &d) {
            EXPECT_EQ(d.windowTitle(), "Delete Project");
            EXPECT_EQ(d.body()->size() + QSize(0, TvyxCustomDlg::kPanelHeight), QSize(350, 130));
            EXPECT_EQ(d.ChkRemoveFromDB->text(), "Remove Project from Database");
            EXPECT_EQ(d.ChkDeleteFile->text(), "Delete File");
            EXPECT_EQ(d.ChkRemoveFromDB->isChecked(), inDatabase);
            EXPECT_FALSE(d.ChkRemoveFromDB->isEnabled());
            EXPECT_TRUE(d.ChkDeleteFile->isEnabled());
            EXPECT_LT(d.ChkRemoveFromDB->y(), d.ChkDeleteFile->y());
            EXPECT_EQ(d.ChkRemoveFromDB->pos(), QPoint(20, 20));
            d.CancelBtnClick();
        });
        bool remove = inDatabase, deleteFile = true;
        ExecuteDelProjectDlg(remove, deleteFile);
    }
}

struct DelCase
{
    const char *name;
    bool untickDeleteFile;
    Qt::Key key; // Qt::Key_unknown: the OK button
    int result;
};

void PrintTo(const DelCase &c, std::ostream *os)
{
    *os << c.name;
}

class DeleteDialogClose : public ::testing::TestWithParam<DelCase>
{
};

TEST_P(DeleteDialogClose, WritesBackOnlyOnOk)
{
    const DelCase &c = GetParam();
    bool stillOpen = false;
    Drive<TTevDelProjectDlg> drive([&](TTevDelProjectDlg &d) {
        if (c.untickDeleteFile)
            QTest::mouseClick(d.ChkDeleteFile, Qt::LeftButton, {},
                              QPoint(5, d.ChkDeleteFile->height() / 2));
        if (c.key == Qt::Key_unknown)
            QTest::mouseClick(d.okBtn(), Qt::LeftButton);
        else
            test::pressKey(d.ChkDeleteFile, c.key);
        stillOpen = d.isVisible();
    });
    bool remove = true, deleteFile = true;
    const bool ok = ExecuteDelProjectDlg(remove, deleteFile);
    EXPECT_EQ(ok, c.result == 1);
    EXPECT_EQ(stillOpen, c.result == 0);
    EXPECT_TRUE(remove);
    EXPECT_EQ(deleteFile, !(ok && c.untickDeleteFile));
}

INSTANTIATE_TEST_SUITE_P(Table, DeleteDialogClose,
                         ::testing::Values(DelCase{"OkKeepsBoth", false, Qt::Key_unknown, 1},
                                           DelCase{"OkWritesUnticked", true, Qt::Key_unknown, 1},
                                           DelCase{"EnterWritesUnticked", true, Qt::Key_Return, 1},
                                           DelCase{"CancelKeyLeavesBoth", true, Qt::Key_Cancel, 2},
                                           DelCase{"EscapeDoesNothing", true, Qt::Key_Escape, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace tev
