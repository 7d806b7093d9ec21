#include "support/tempfolder.h"
#include "ui/controls/vyxdirectorytreeview.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/dialogs/vyxinputdlg.h"
#include "ui/kit/modalrunner.h"
#include "ui/kit/speedbutton.h"
#include "ui/pickers/pickers.h"
#include "ui/pickers/tevfolderpickerdlg.h"

#include "ui/keys.h"
#include "ui/printers.h"
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace tev {
namespace {

struct FilterCase
{
    const char *name;
    const char *filter;
    QStringList expected;
};

void PrintTo(const FilterCase &c, std::ostream *os)
{
    *os << c.name;
}

class NameFilters : public ::testing::TestWithParam<FilterCase>
{
};

TEST_P(NameFilters, Converted)
{
    EXPECT_EQ(QtNameFilters(QString::fromUtf8(GetParam().filter)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NameFilters,
    ::testing::Values(
        FilterCase{
            "DescriptionWithPatterns", "Sequence files (*.seq)|*.seq", {"Sequence files (*.seq)"}},
        FilterCase{"AllFilesMatchesEveryName",
                   "Firebird Database (*.fdb)|*.fdb|All files|*.*",
                   {"Firebird Database (*.fdb)", "All files (*)"}},
        FilterCase{"PatternAsDescription",
                   "*.fmt|*.fmt|*.fms|*.fms|*.*|*.*",
                   {"*.fmt (*.fmt)", "*.fms (*.fms)", "*.* (*)"}},
        FilterCase{"SeveralPatterns", "Sequences|*.seq;*.mseq", {"Sequences (*.seq *.mseq)"}},
        FilterCase{"DescriptionOtherThanPatterns", "SEQ (*.txt)|*.seq", {"SEQ (*.txt) (*.seq)"}},
        FilterCase{"LoneDescription", "*.uif", {"*.uif (*.uif)"}}, FilterCase{"Empty", "", {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PickerAnswer, HandlerSeesTheRequestAndAnswers)
{
    QList<PickerRequest> seen;
    PickerAnswerGuard guard([&](const PickerRequest &r) {
        seen << r;
        switch (r.kind) {
        case PickerRequest::Open:
            return QStringList{"/a/one.seq", "/a/two.seq"};
        case PickerRequest::Save:
            return QStringList{"/a/saved.fdb"};
        case PickerRequest::Folder:
            return QStringList{"/a/folder/"};
        }
        return QStringList();
    });
    EXPECT_EQ(PickOpenFile(nullptr, "Open", "/a", "SEQ (*.seq)|*.seq"), "/a/one.seq");
    EXPECT_EQ(PickOpenFiles(nullptr, "Open", "/a", "SEQ (*.seq)|*.seq", true),
              QStringList({"/a/one.seq", "/a/two.seq"}));
    EXPECT_EQ(PickOpenFiles(nullptr, "Open", "/a", "", false), QStringList({"/a/one.seq"}));
    EXPECT_EQ(PickSaveFile(nullptr, "Save", "/a/x.fdb", "F|*.fdb", ".fdb"), "/a/saved.fdb");
    // Folders come back without a trailing delimiter, as the pickers give them.
    EXPECT_EQ(PickFolder(nullptr, "Pick", "/a/b", "/a"), "/a/folder");

    ASSERT_EQ(seen.size(), 5);
    EXPECT_EQ(seen[0].kind, PickerRequest::Open);
    EXPECT_EQ(seen[0].title, "Open");
    EXPECT_EQ(seen[0].folder, "/a");
    EXPECT_EQ(seen[0].filter, "SEQ (*.seq)|*.seq");
    EXPECT_FALSE(seen[0].multiSelect);
    EXPECT_TRUE(seen[1].multiSelect);
    EXPECT_EQ(seen[3].kind, PickerRequest::Save);
    EXPECT_EQ(seen[3].folder, "/a/x.fdb");
    EXPECT_EQ(seen[4].kind, PickerRequest::Folder);
    EXPECT_EQ(seen[4].folder, "/a/b");
    EXPECT_EQ(seen[4].root, "/a");
}

TEST(PickerAnswer, EmptyAnswerIsCancelAndGuardsNest)
{
    PickerAnswerGuard outer([](const PickerRequest &) { return QStringList{"/outer"}; });
    {
        PickerAnswerGuard inner([](const PickerRequest &) { return QStringList(); });
        EXPECT_EQ(PickFolder(nullptr, "", "/x"), "");
        EXPECT_EQ(PickOpenFile(nullptr, "", "/x", ""), "");
        EXPECT_TRUE(PickOpenFiles(nullptr, "", "/x", "", true).isEmpty());
    }
    EXPECT_EQ(PickFolder(nullptr, "", "/x"), "/outer");
}

// A root holding A/B and Zeta, plus a sibling "Seq2" beside the root that shares its prefix.
class FolderPicker : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir(m_temp.path()).mkpath("Seq/A/B");
        QDir(m_temp.path()).mkpath("Seq/Zeta");
        QDir(m_temp.path()).mkpath("Seq2/Other");
        m_currentBefore = QDir::currentPath();
    }
    void TearDown() override { QDir::setCurrent(m_currentBefore); }

    QString root() const { return m_temp.file("Seq"); }

    test::TempFolder m_temp;
    QString m_currentBefore;
};

TEST_F(FolderPicker, StartsAtTheStartFolderInsideTheRoot)
{
    TTevFolderPickerDlg picker(nullptr, "Pick", root(), root() + "/A/B");
    EXPECT_EQ(picker.windowTitle(), "Select Folder");
    EXPECT_EQ(picker.Caption()->text(), "Pick");
    EXPECT_FALSE(picker.Caption()->isHidden());
    EXPECT_EQ(picker.SelectedFolder(), root() + "/A/B");
    // The tree shows folders only, and the current folder of the process stays.
    EXPECT_EQ(QDir::currentPath(), m_currentBefore);
    EXPECT_EQ(picker.Tree()->topNode()->text(0), root());
}

TEST_F(FolderPicker, MissingStartFolderSelectsTheNearestExistingOne)
{
    TTevFolderPickerDlg picker(nullptr, "", root(), root() + "/A/Missing/Deeper");
    EXPECT_EQ(picker.SelectedFolder(), root() + "/A");
}

TEST_F(FolderPicker, StartOutsideTheRootSelectsTheRoot)
{
    // "Seq2" begins with the root's text but is not inside it.
    TTevFolderPickerDlg picker(nullptr, "", root(), m_temp.file("Seq2/Other"));
    EXPECT_EQ(picker.SelectedFolder(), root());
    TTevFolderPickerDlg picker2(nullptr, "", root() + "/", "/elsewhere");
    EXPECT_EQ(picker2.SelectedFolder(), root());
}

struct KeyCase
{
    const char *name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int expected;
};

void PrintTo(const KeyCase &c, std::ostream *os)
{
    *os << c.name;
}

class FolderPickerKeys : public FolderPicker, public ::testing::WithParamInterface<KeyCase>
{
};

TEST_P(FolderPickerKeys, CloseTheDialog)
{
    TTevFolderPickerDlg picker(nullptr, "", root(), root() + "/Zeta");
    int result = -1;
    ModalRunnerGuard runner([&](QDialog &dialog) {
        dialog.show();
        test::pressKey(picker.Tree(), GetParam().key, GetParam().modifiers);
        result = dialog.result();
        return result;
    });
    EXPECT_EQ(runModal(picker), GetParam().expected);
    EXPECT_EQ(result, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, FolderPickerKeys,
                         ::testing::Values(KeyCase{"Enter", Qt::Key_Return, {}, 1},
                                           KeyCase{"Escape", Qt::Key_Escape, {}, 2},
                                           KeyCase{"CancelKey", Qt::Key_Cancel, {}, 2}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(FolderPicker, PickFolderWithRootRunsOurPicker)
{
    QString title;
    ModalRunnerGuard runner([&](QDialog &dialog) {
        auto *picker = qobject_cast<TTevFolderPickerDlg *>(&dialog);
        EXPECT_NE(picker, nullptr);
        if (!picker)
            return int(mrCancel);
        title = picker->Caption()->text();
        picker->SelectFolder(root() + "/Zeta");
        QTest::mouseClick(picker->findChild<SpeedButton *>("OKBtn"), Qt::LeftButton);
        return picker->result();
    });
    EXPECT_EQ(PickFolder(nullptr, "Default Directory", root() + "/A", root()), root() + "/Zeta");
    EXPECT_EQ(title, "Default Directory");
}

TEST_F(FolderPicker, CancelGivesNothing)
{
    ModalRunnerGuard runner([&](QDialog &dialog) {
        QTest::mouseClick(dialog.findChild<SpeedButton *>("CancelBtn"), Qt::LeftButton);
        return dialog.result();
    });
    EXPECT_EQ(PickFolder(nullptr, "", root() + "/A", root()), "");
}

// Answers the picker by pressing "New Folder" and the input box by typing name (or cancelling).
class NewFolderRun
{
public:
    NewFolderRun(const QString &name, bool confirm)
        : m_guard([this, name, confirm](QDialog &dialog) {
            if (auto *input = qobject_cast<TvyxInputDlg *>(&dialog)) {
                m_prompted = true;
                static_cast<QLineEdit *>(input->InputCtrl())->setText(name);
                return int(confirm ? mrOk : mrCancel);
            }
            if (auto *box = qobject_cast<TKelMsgDlg *>(&dialog)) {
                m_message = box->msgLabel()->text();
                return int(mrOk);
            }
            auto *picker = qobject_cast<TTevFolderPickerDlg *>(&dialog);
            picker->show();
            QTest::mouseClick(picker->findChild<SpeedButton *>("NewFolderBtn"), Qt::LeftButton);
            m_selected = picker->SelectedFolder();
            return int(mrOk);
        })
    {}
    bool prompted() const { return m_prompted; }
    QString message() const { return m_message; }
    QString selected() const { return m_selected; }

private:
    ModalRunnerGuard m_guard;
    bool m_prompted = false;
    QString m_message;
    QString m_selected;
};

TEST_F(FolderPicker, NewFolderIsMadeBelowTheSelectedOneAndSelected)
{
    NewFolderRun run("Line 7", true);
    EXPECT_EQ(PickFolder(nullptr, "", root() + "/A", root()), root() + "/A/Line 7");
    EXPECT_TRUE(run.prompted());
    EXPECT_TRUE(QDir(root() + "/A/Line 7").exists());
    EXPECT_EQ(run.message(), "");
    EXPECT_EQ(QDir::currentPath(), m_currentBefore);
}

TEST_F(FolderPicker, NewFolderCancelledMakesNothing)
{
    NewFolderRun run("Line 7", false);
    EXPECT_EQ(PickFolder(nullptr, "", root() + "/A", root()), root() + "/A");
    EXPECT_FALSE(QDir(root() + "/A/Line 7").exists());
}

struct BadNameCase
{
    const char *name;
    const char *folderName;
    const char *message;
};

void PrintTo(const BadNameCase &c, std::ostream *os)
{
    *os << c.name;
}

class NewFolderBadName : public FolderPicker, public ::testing::WithParamInterface<BadNameCase>
{
};

TEST_P(NewFolderBadName, IsRefusedWithAMessage)
{
    NewFolderRun run(GetParam().folderName, true);
    EXPECT_EQ(PickFolder(nullptr, "", root() + "/A", root()), root() + "/A");
    const QString expected = GetParam().message
                                 ? QString::fromUtf8(GetParam().message)
                                 : QString("\"B\" already exists in \"%1\".").arg(root() + "/A");
    EXPECT_EQ(run.message(), expected);
    EXPECT_EQ(QDir(root() + "/A").entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"B"});
}

INSTANTIATE_TEST_SUITE_P(
    Table, NewFolderBadName,
    ::testing::Values(BadNameCase{"Empty", "  ", "\"\" cannot be the name of a folder."},
                      BadNameCase{"Delimiter", "x/y", "\"x/y\" cannot be the name of a folder."},
                      BadNameCase{"DotDot", "..", "\"..\" cannot be the name of a folder."},
                      BadNameCase{"Exists", "B", nullptr}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace tev
