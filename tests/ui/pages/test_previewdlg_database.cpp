// The image point editor on a work project in the embedded database: points placed by point
// name, kept or undone, reach the database only with the project's save, and the change log is
// settled before the characteristics page writes to the database.

#include "pagesfixture.h"

#include "core/lib/qstringprinter.h"
#include "core/project/changestate.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/kit/speedbutton.h"
#include "ui/pages/picturebox.h"
#include "ui/pickers/pickers.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>

using namespace tev;
using namespace tev::test;

namespace {

class EditorInDatabase : public PagesFixture
{
protected:
    void SetUp() override
    {
        openWork();
        // Two characteristics of the point "B1": H1's, and H2 given the same point name.
        gotoLabel(QStringLiteral("H2"));
        MemDataSet &chars = project().DataSetChars();
        chars.edit();
        chars.fieldByName(QStringLiteral("FEATURE")).setAsString(QStringLiteral("B1"));
        chars.post();
        project().Save();
        ASSERT_EQ(stored("FEATURE").mid(0, 3), QStringList({"B1", "B1", "B3"}));
        window->show();
        projectPage->hide();
        gotoLabel(QStringLiteral("H1"));
        preview->Execute();
        preview->resize(610, 450);
        QApplication::processEvents();
        // bore.png is 8 x 6: in 400 x 400 the scale is 50 and 50 pixels lie above it.
        ASSERT_EQ(child<TPictureBox>(preview, "CharImage")->Picture().size(), QSize(8, 6));
        preview->BulletBtnClick();
        file = fileBytes();
    }

    void TearDown() override
    {
        DialogAnswers no;
        no.answerMessages({mrNo});
        preview->close();
    }

    QStringList points() const
    {
        QStringList result;
        const QStringList x = stored("IMAGEX");
        const QStringList y = stored("IMAGEY");
        for (int i = 0; i < 3; ++i)
            result << x.value(i) + QLatin1Char(',') + y.value(i);
        return result;
    }

    QStringList shownPoints()
    {
        QStringList result;
        MemDataSet &chars = project().DataSetChars();
        const MemDataSet::Bookmark here = chars.bookmark();
        for (const char *label : {"H1", "H2", "H3"}) {
            gotoLabel(QLatin1String(label));
            result << chars.fieldByName(QStringLiteral("IMAGEX")).asString() + QLatin1Char(',') +
                          chars.fieldByName(QStringLiteral("IMAGEY")).asString();
        }
        chars.gotoBookmark(here);
        return result;
    }

    const QStringList kBefore = {"120,80", "180,80", "150,140"};
    QByteArray file;
};

TEST_F(EditorInDatabase, PointsReachTheDatabaseWithTheSave)
{
    ASSERT_EQ(points(), kBefore);
    preview->PlacePointAt({125, 175}); // (2, 2) in the picture
    EXPECT_EQ(shownPoints(), QStringList({"2,2", "2,2", "150,140"}));
    EXPECT_EQ(project().DataSetChars().fieldByName(QStringLiteral("LABEL")).asString(),
              QStringLiteral("H1"));
    // The project is changed; the database and the file wait for the save.
    EXPECT_TRUE(project().ChangeState() & ChangeStateBits::CharacteristicsChanged);
    EXPECT_EQ(points(), kBefore);
    EXPECT_EQ(fileBytes(), file);
    // The page's marker follows: 8 x 6 in 250 x 250 is scale 31.25, 31 pixels above.
    EXPECT_EQ(child<QWidget>(charsPage, "Bullet")->geometry(), QRect(57, 88, 10, 10));

    preview->SaveBtnClick();
    EXPECT_EQ(project().DataSetChars().changeCount(), 0);
    project().Save();
    EXPECT_EQ(points(), QStringList({"2,2", "2,2", "150,140"}));
    EXPECT_TRUE(fileBytes().contains("bore.png\t2\t2\t"));
    EXPECT_EQ(project().ChangeState(), 0u);
}

TEST_F(EditorInDatabase, UndoRestoresThePointsAndTheState)
{
    const quint32 state = project().ChangeState();
    preview->PlacePointAt({125, 175});
    preview->UndoBtnClick();
    EXPECT_EQ(shownPoints(), kBefore);
    EXPECT_EQ(project().ChangeState(), state);
    EXPECT_EQ(points(), kBefore);
}

struct CloseCase
{
    const char *name;
    int answer;
    bool closed;
    bool kept;
};

class EditorClose : public EditorInDatabase, public ::testing::WithParamInterface<CloseCase>
{
};

TEST_P(EditorClose, AnswersTheQuestion)
{
    const CloseCase &c = GetParam();
    preview->PlacePointAt({125, 175});
    DialogAnswers answers;
    answers.answerMessages({c.answer});
    preview->close();
    EXPECT_EQ(answers.messages, QStringList({QStringLiteral("Save changes?")}));
    EXPECT_EQ(preview->isVisible(), !c.closed);
    EXPECT_EQ(shownPoints(), c.kept ? QStringList({"2,2", "2,2", "150,140"}) : kBefore);
    EXPECT_EQ(project().DataSetChars().logChanges(), !c.closed);
    // Nothing reached the database either way.
    EXPECT_EQ(points(), kBefore);
}

INSTANTIATE_TEST_SUITE_P(Cases, EditorClose,
                         ::testing::Values(CloseCase{"Yes", mrYes, true, true},
                                           CloseCase{"Enter", mrOk, true, true},
                                           CloseCase{"No", mrNo, true, false},
                                           CloseCase{"Escape", mrCancel, false, true}),
                         [](const auto &info) { return std::string(info.param.name); });

// A page operation that writes the characteristics asks about the editor's log first.
TEST_F(EditorInDatabase, GroupRenameAsksAboutTheLogFirst)
{
    charsPage->FillFilterLists();
    auto *groups = child<QListWidget>(charsPage, "GroupFilterBox");
    groups->setCurrentRow(1);
    ASSERT_EQ(groups->currentItem()->text(), QStringLiteral("Bore"));
    gotoLabel(QStringLiteral("H1"));
    preview->PlacePointAt({125, 175});
    {
        DialogAnswers answers(QStringLiteral("Bores"));
        answers.answerMessages({mrCancel});
        child<SpeedButton>(charsPage, "BtnRenameGroup")->click();
        EXPECT_EQ(answers.messages, QStringList({QStringLiteral("Save changes?")}));
        EXPECT_EQ(stored("GROUPNAME").value(0), QStringLiteral("Bore"));
        EXPECT_GT(project().DataSetChars().changeCount(), 0);
    }
    {
        // Yes keeps the points: the rename's save writes them with it.
        DialogAnswers answers(QStringLiteral("Bores"));
        answers.answerMessages({mrYes});
        child<SpeedButton>(charsPage, "BtnRenameGroup")->click();
        EXPECT_EQ(stored("GROUPNAME").value(0), QStringLiteral("Bores"));
        EXPECT_EQ(points(), QStringList({"2,2", "2,2", "150,140"}));
        EXPECT_EQ(project().DataSetChars().changeCount(), 0);
    }
    // Undo after that has nothing to take back from the database's state.
    preview->UndoBtnClick();
    EXPECT_EQ(shownPoints(), QStringList({"2,2", "2,2", "150,140"}));
    EXPECT_EQ(project().DataSetChars().fieldByName(QStringLiteral("GROUPNAME")).asString(),
              QStringLiteral("Bores"));
}

TEST_F(EditorInDatabase, ActiveClickAfterAnUndoneLogKeepsTheDatabaseTrue)
{
    preview->PlacePointAt({125, 175});
    DialogAnswers answers;
    answers.answerMessages({mrNo});
    charsPage->GridCharsMouseUp(
        charsPage->GridChars()->visualRect(charsPage->GridChars()->model()->index(0, 7)).center());
    EXPECT_EQ(answers.messages, QStringList({QStringLiteral("Save changes?")}));
    // The points went back before the flag was written; the database holds both truths.
    EXPECT_EQ(shownPoints(), kBefore);
    EXPECT_EQ(stored("ACTIVE").value(0), QStringLiteral("0"));
    EXPECT_EQ(points(), kBefore);
    preview->UndoBtnClick();
    EXPECT_EQ(project().DataSetChars().fieldByName(QStringLiteral("ACTIVE")).asString(),
              QStringLiteral("0"));
}

} // namespace

namespace {

TEST_F(EditorInDatabase, ChangeImageGivesTheGroupThePictureAfterTheLogIsSettled)
{
    preview->PlacePointAt({125, 175});
    PickerAnswerGuard picker([&](const PickerRequest &request) {
        EXPECT_EQ(request.folder, tree->file(QStringLiteral("Work/bore.png")));
        return QStringList({tree->file(QStringLiteral("Masters/cover.png"))});
    });
    DialogAnswers answers;
    answers.answerMessages({mrYes});
    child<SpeedButton>(preview, "OpenBtn")->click();
    EXPECT_EQ(answers.messages, QStringList({QStringLiteral("Save changes?")}));
    EXPECT_EQ(stored("IMAGE").mid(0, 4),
              QStringList({"cover.png", "cover.png", "cover.png", "face.kelb"}));
    // The kept points went to the database with the pictures; nothing is left to undo.
    EXPECT_EQ(points(), QStringList({"2,2", "2,2", "150,140"}));
    EXPECT_EQ(project().DataSetChars().changeCount(), 0);
    EXPECT_TRUE(QFile::exists(tree->file(QStringLiteral("Work/cover.png"))));
    EXPECT_EQ(child<TPictureBox>(preview, "CharImage")->Picture().size(), QSize(4, 4));
}

} // namespace
