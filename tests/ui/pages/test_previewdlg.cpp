#include "pagesfixture.h"

#include "core/picture/picture.h"
#include "core/project/changestate.h"
#include "ui/kit/modalresult.h"
#include "ui/kit/modalrunner.h"
#include "ui/pages/picturebox.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTest>

using namespace tev;
using namespace tev::test;

namespace {

const QStringList kWork = {QStringLiteral("$GENERATOR Tevora"),
                           QStringLiteral("$PROJECTNAME Shaft")};

struct Point
{
    int x;
    int y;
    bool operator==(const Point &) const = default;
};

class PreviewDlg : public PagesFixture
{
protected:
    void SetUp() override
    {
        writePicture(QStringLiteral("g.png"), {200, 100}, Qt::darkBlue);
        readFile(writeFile(QStringLiteral("w.seq"),
                           SequenceText(kWork, {{"A1", "P1", "G1", {}, {}, {}, "g.png", 1, 1},
                                                {"A2", "P1", "G1", {}, {}, {}, "g.png", 2, 2},
                                                {"B1", "P2", "G1", {}, {}, {}, "g.png", 3, 3},
                                                {"A3", "P1", "G1", {}, {}, {}, "g.png", 4, 4}})));
        gotoLabel(QStringLiteral("A2"));
        preview->Execute();
        // 200 + 10 + 400 wide, 50 + 400 high: the picture panel is 400 x 400.
        preview->resize(610, 450);
        QApplication::processEvents();
        ASSERT_EQ(child<TPictureBox>(preview, "CharImage")->size(), QSize(400, 400));
        ASSERT_TRUE(child<TPictureBox>(preview, "CharImage")->HasPicture());
        preview->BulletBtnClick();
        ASSERT_TRUE(preview->BulletMode());
    }

    void TearDown() override
    {
        // Whatever a test left logged, the editor closes without a question.
        ModalRunnerGuard no([](QDialog &) { return int(mrNo); });
        preview->close();
    }

    Point pointOf(const QString &label)
    {
        MemDataSet &chars = project().DataSetChars();
        const MemDataSet::Bookmark here = chars.bookmark();
        gotoLabel(label);
        const Point p{chars.fieldByName(QStringLiteral("IMAGEX")).asInteger(),
                      chars.fieldByName(QStringLiteral("IMAGEY")).asInteger()};
        chars.gotoBookmark(here);
        return p;
    }

    QString currentLabel() const
    {
        return project().DataSetChars().fieldByName(QStringLiteral("LABEL")).asString();
    }
};

TEST_F(PreviewDlg, ClickSetsEveryCharacteristicOfThePointName)
{
    preview->PlacePointAt({100, 150});
    EXPECT_EQ(pointOf(QStringLiteral("A1")), (Point{50, 25}));
    EXPECT_EQ(pointOf(QStringLiteral("A2")), (Point{50, 25}));
    EXPECT_EQ(pointOf(QStringLiteral("A3")), (Point{50, 25}));
    EXPECT_EQ(pointOf(QStringLiteral("B1")), (Point{3, 3}));
    EXPECT_EQ(currentLabel(), QStringLiteral("A2"));
    // Point edits make the project changed, without writing it anywhere yet.
    EXPECT_TRUE(project().ChangeState() & ChangeStateBits::CharacteristicsChanged);
    // The marker follows through the page's refresh: centre on (100, 150).
    QApplication::processEvents();
    EXPECT_EQ(child<QWidget>(preview, "Bullet")->geometry(), QRect(95, 145, 10, 10));
}

TEST_F(PreviewDlg, ClickInTheMarginIsStoredAsItIs)
{
    preview->PlacePointAt({100, 50});
    EXPECT_EQ(pointOf(QStringLiteral("A2")), (Point{50, -25}));
}

TEST_F(PreviewDlg, ClickThroughTheMouse)
{
    auto *image = child<TPictureBox>(preview, "CharImage");
    QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(100, 150));
    EXPECT_EQ(pointOf(QStringLiteral("A2")), (Point{50, 25}));
}

TEST_F(PreviewDlg, NoToolOrNoPictureChangesNothing)
{
    preview->BulletBtnClick();
    ASSERT_FALSE(preview->BulletMode());
    preview->PlacePointAt({100, 150});
    EXPECT_EQ(pointOf(QStringLiteral("A2")), (Point{2, 2}));

    preview->BulletBtnClick();
    preview->UpdatePicture(nullptr);
    preview->PlacePointAt({100, 150});
    EXPECT_EQ(pointOf(QStringLiteral("A2")), (Point{2, 2}));
    EXPECT_FALSE(child<QWidget>(preview, "Bullet")->isVisible());
    EXPECT_EQ(project().ChangeState(), 0u);
}

TEST_F(PreviewDlg, MarkerHiddenWithoutX)
{
    MemDataSet &chars = project().DataSetChars();
    chars.edit();
    chars.fieldByName(QStringLiteral("IMAGEX")).clear();
    chars.fieldByName(QStringLiteral("IMAGEY")).setAsInteger(7);
    chars.post();
    QApplication::processEvents();
    preview->UpdateCharPointPosition();
    EXPECT_FALSE(child<QWidget>(preview, "Bullet")->isVisible());
}

TEST_F(PreviewDlg, SaveKeepsAndUndoRevertsToTheLastSave)
{
    MemDataSet &chars = project().DataSetChars();
    preview->SaveBtnClick(); // nothing logged: nothing happens
    EXPECT_EQ(chars.changeCount(), 0);

    preview->PlacePointAt({100, 150});
    EXPECT_GT(chars.changeCount(), 0);
    preview->SaveBtnClick();
    EXPECT_EQ(chars.changeCount(), 0);
    const quint32 saved = project().ChangeState();
    EXPECT_TRUE(saved & ChangeStateBits::CharacteristicsChanged);

    preview->PlacePointAt({300, 300});
    EXPECT_EQ(pointOf(QStringLiteral("A1")), (Point{150, 100}));
    preview->UndoBtnClick();
    EXPECT_EQ(pointOf(QStringLiteral("A1")), (Point{50, 25}));
    EXPECT_EQ(pointOf(QStringLiteral("A3")), (Point{50, 25}));
    EXPECT_EQ(project().ChangeState(), saved);
}

TEST_F(PreviewDlg, UndoAllRestoresTheStateBeforeTheEditor)
{
    preview->PlacePointAt({100, 150});
    preview->UndoBtnClick();
    EXPECT_EQ(pointOf(QStringLiteral("A1")), (Point{1, 1}));
    EXPECT_EQ(pointOf(QStringLiteral("A2")), (Point{2, 2}));
    EXPECT_EQ(project().ChangeState(), 0u);
}

struct CloseCase
{
    const char *name;
    int answer;
    bool closes;
    Point a1; // afterwards
};

class CloseQuestion : public PreviewDlg, public ::testing::WithParamInterface<CloseCase>
{
};

TEST_P(CloseQuestion, Answer)
{
    const CloseCase &c = GetParam();
    preview->PlacePointAt({100, 150});
    int asked = 0;
    QString message;
    {
        ModalRunnerGuard answer([&](QDialog &dialog) {
            ++asked;
            if (auto *label = dialog.findChild<QLabel *>(QStringLiteral("MsgLabel")))
                message = label->text();
            return c.answer;
        });
        preview->close();
    }
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(message, QStringLiteral("Save changes?"));
    EXPECT_EQ(preview->isVisible(), !c.closes);
    EXPECT_EQ(pointOf(QStringLiteral("A1")), c.a1);
    MemDataSet &chars = project().DataSetChars();
    // Closed: the log is off (and settled); kept open: the log goes on with its changes.
    EXPECT_EQ(chars.logChanges(), !c.closes);
    EXPECT_EQ(chars.changeCount() > 0, !c.closes);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CloseQuestion,
    ::testing::Values(CloseCase{"Yes", mrYes, true, {50, 25}},
                      CloseCase{"EnterCountsAsYes", mrOk, true, {50, 25}},
                      CloseCase{"No", mrNo, true, {1, 1}},
                      // Escape and the close box answer Cancel: the editor stays open.
                      CloseCase{"Cancel", mrCancel, false, {50, 25}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(PreviewDlg, CloseWithoutChangesAsksNothingAndHidesOnly)
{
    int asked = 0;
    {
        ModalRunnerGuard answer([&](QDialog &) {
            ++asked;
            return int(mrYes);
        });
        preview->close();
    }
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(preview->isVisible());
    EXPECT_FALSE(project().DataSetChars().logChanges());
    // Not freed: it opens again with its point tool as it was.
    preview->Execute();
    EXPECT_TRUE(preview->isVisible());
    EXPECT_TRUE(preview->BulletMode());
    EXPECT_TRUE(project().DataSetChars().logChanges());
}

TEST_F(PreviewDlg, FirstShowTakesTheOwnersRightEdge)
{
    // The fixture's editor was shown once already; a new one opens beside its owner.
    TTevPreviewDlg fresh(window.get());
    window->setGeometry(100, 50, 1000, 600);
    fresh.Execute();
    QApplication::processEvents();
    const QRect owner = window->frameGeometry();
    EXPECT_EQ(fresh.frameGeometry().height(), owner.height());
    EXPECT_EQ(fresh.frameGeometry().width(), owner.height() + 200 - 50);
    EXPECT_EQ(fresh.frameGeometry().right(), owner.right());
    EXPECT_EQ(fresh.frameGeometry().top(), owner.top());
    fresh.close();
}

TEST_F(PreviewDlg, PointNamesCompareWithCase)
{
    MemDataSet &chars = project().DataSetChars();
    gotoLabel(QStringLiteral("A3"));
    chars.edit();
    chars.fieldByName(QStringLiteral("FEATURE")).setAsString(QStringLiteral("p1"));
    chars.post();
    gotoLabel(QStringLiteral("A2"));
    preview->PlacePointAt({100, 150});
    EXPECT_EQ(pointOf(QStringLiteral("A1")), (Point{50, 25}));
    EXPECT_EQ(pointOf(QStringLiteral("A3")), (Point{4, 4}));
}

} // namespace

namespace {

TEST_F(PreviewDlg, ALogNeverRevertsTheNextProject)
{
    preview->PlacePointAt({100, 150});
    ASSERT_GT(project().DataSetChars().changeCount(), 0);
    // Another file is read underneath the editor, and the project reports the change.
    readFile(writeFile(QStringLiteral("next.seq"),
                       SequenceText(kWork, {{"N1", "P1", "G1"}, {"N2", "P2", "G1"}})));
    project().DoChange();
    EXPECT_EQ(project().DataSetChars().changeCount(), 0);
    EXPECT_TRUE(project().DataSetChars().logChanges());
    int asked = 0;
    {
        ModalRunnerGuard no([&](QDialog &) {
            ++asked;
            return int(mrNo);
        });
        preview->UndoBtnClick();
        preview->close();
    }
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(project().DataSetChars().recordCount(), 2);
}

} // namespace
