// The characteristics page on a work project in the embedded database: filters, group tools,
// moves and the ACTIVE click reach the project, its database rows and its file.

#include "pagesfixture.h"

#include "core/lib/qstringprinter.h"
#include "core/project/changestate.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/dialogs/vyxinputdlg.h"
#include "ui/kit/colors.h"
#include "ui/kit/modalresult.h"
#include "ui/kit/modalrunner.h"
#include "ui/kit/speedbutton.h"
#include "ui/pickers/pickers.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QToolTip>

using namespace tev;
using namespace tev::test;

namespace {

class CharsInDatabase : public PagesFixture
{
protected:
    void SetUp() override
    {
        openWork();
        window->show();
        projectPage->hide();
        QApplication::processEvents();
    }

    QListWidget *groups() { return child<QListWidget>(charsPage, "GroupFilterBox"); }
    QListWidget *masters() { return child<QListWidget>(charsPage, "RefFileFilterBox"); }
    SpeedButton *button(const char *name) { return child<SpeedButton>(charsPage, name); }

    static QStringList items(QListWidget *box)
    {
        QStringList result;
        for (int i = 0; i < box->count(); ++i)
            result << box->item(i)->text();
        return result;
    }

    // Selects an item by its text as a click does.
    void select(QListWidget *box, const QString &text)
    {
        const QList<QListWidgetItem *> found = box->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        const QRect rect = box->visualItemRect(found.first());
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, rect.center());
        QApplication::processEvents();
        ASSERT_EQ(box->currentItem(), found.first());
    }

    QString selectedGroup()
    {
        return groups()->currentItem() ? groups()->currentItem()->text() : "";
    }
    QString filter() const { return project().DataSetChars().filter(); }
    bool filtered() const { return project().DataSetChars().filtered(); }
    QString current(const char *field) const
    {
        return project().DataSetChars().fieldByName(QLatin1String(field)).asString();
    }

    int gridColumn(const QString &field)
    {
        TvyxDBGrid *grid = charsPage->GridChars();
        for (int i = 0; i < grid->Columns()->Count(); ++i)
            if (grid->Columns()->Items(i)->FieldName() == field)
                return i;
        ADD_FAILURE() << field.toStdString();
        return 0;
    }

    // Presses and releases the mouse on a cell of the grid.
    void clickCell(int row, const QString &field)
    {
        TvyxDBGrid *grid = charsPage->GridChars();
        const QRect rect = grid->visualRect(grid->model()->index(row, gridColumn(field)));
        ASSERT_TRUE(rect.isValid());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
        QApplication::processEvents();
    }
};

TEST_F(CharsInDatabase, FilterListsShowTheMastersAndGroups)
{
    EXPECT_EQ(items(masters()), QStringList({QStringLiteral("> Master files"),
                                             SequenceTree::Housing, SequenceTree::Shaft}));
    // In routine order.
    EXPECT_EQ(items(groups()), QStringList({"> Groups", "Bore", "Face", "Diameter", "Runout"}));
    EXPECT_EQ(masters()->currentRow(), 0);
    EXPECT_EQ(groups()->currentRow(), 0);
    EXPECT_FALSE(filtered());
    EXPECT_EQ(project().DataSetChars().recordCount(), 10);
}

TEST_F(CharsInDatabase, SelectingFiltersByGroupAndMaster)
{
    select(groups(), QStringLiteral("Face"));
    EXPECT_EQ(filter(), QStringLiteral("(GROUPNAME = 'Face')"));
    EXPECT_EQ(routine(), QStringList({"Face/H4", "Face/H5", "Face/H6"}));

    select(masters(), SequenceTree::Shaft);
    EXPECT_EQ(
        filter(),
        QStringLiteral("(GROUPNAME = 'Face') and (REF_FILENAME = '%1')").arg(SequenceTree::Shaft));
    EXPECT_TRUE(routine().isEmpty());

    // The headings stand for no condition.
    select(groups(), QStringLiteral("> Groups"));
    EXPECT_EQ(filter(), QStringLiteral("(REF_FILENAME = '%1')").arg(SequenceTree::Shaft));
    EXPECT_EQ(routine(), QStringList({"Diameter/S1", "Diameter/S2", "Runout/S3", "Runout/S4"}));
    select(masters(), QStringLiteral("> Master files"));
    EXPECT_FALSE(filtered());
    EXPECT_EQ(routine().size(), 10);
}

TEST_F(CharsInDatabase, AQuoteInAGroupNameIsDoubledInTheFilter)
{
    select(groups(), QStringLiteral("Bore"));
    DialogAnswers answers(QStringLiteral("O'Brien"));
    button("BtnRenameGroup")->click();
    EXPECT_EQ(answers.prompts, QStringList({QStringLiteral("Group Name")}));
    EXPECT_EQ(selectedGroup(), QStringLiteral("O'Brien"));
    EXPECT_EQ(filter(), QStringLiteral("(GROUPNAME = 'O''Brien')"));
    EXPECT_EQ(routine(), QStringList({"O'Brien/H1", "O'Brien/H2", "O'Brien/H3"}));
}

struct ButtonCase
{
    const char *name;
    const char *group; // the selected item
    bool image, up, down, rename;
};

class GroupButtons : public CharsInDatabase, public ::testing::WithParamInterface<ButtonCase>
{
};

TEST_P(GroupButtons, FollowTheSelectedGroup)
{
    const ButtonCase &c = GetParam();
    select(groups(), QLatin1String(c.group));
    EXPECT_EQ(button("BtnGroupImage")->isEnabled(), c.image);
    EXPECT_EQ(button("BtnGroupUp")->isEnabled(), c.up);
    EXPECT_EQ(button("BtnGroupDown")->isEnabled(), c.down);
    EXPECT_EQ(button("BtnRenameGroup")->isEnabled(), c.rename);
}

INSTANTIATE_TEST_SUITE_P(Cases, GroupButtons,
                         ::testing::Values(ButtonCase{"Heading", "> Groups", false, false, false,
                                                      false},
                                           ButtonCase{"First", "Bore", true, false, true, true},
                                           ButtonCase{"Middle", "Diameter", true, true, true, true},
                                           ButtonCase{"Last", "Runout", true, true, false, true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(CharsInDatabase, ArrowKeysInTheGroupListUpdateTheButtons)
{
    select(groups(), QStringLiteral("Diameter"));
    groups()->setFocus();
    QTest::keyClick(groups(), Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_EQ(selectedGroup(), QStringLiteral("Runout"));
    EXPECT_FALSE(button("BtnGroupDown")->isEnabled());
    EXPECT_EQ(filter(), QStringLiteral("(GROUPNAME = 'Runout')"));
}

TEST_F(CharsInDatabase, OutsideTheDatabaseEverythingIsDisplayOnly)
{
    charsPage->ClearRecentCharImage();
    project().OpenFile(tree->file(SequenceTree::Housing));
    ASSERT_FALSE(project().ExistsInDatabase());
    QApplication::processEvents();
    EXPECT_EQ(masters()->count(), 0);
    EXPECT_EQ(items(groups()), QStringList({"> Groups", "Bore", "Face"}));
    select(groups(), QStringLiteral("Bore"));
    for (const char *name : {"BtnGroupImage", "BtnGroupUp", "BtnGroupDown", "BtnRenameGroup",
                             "BtnCharUp", "BtnCharDown"})
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    EXPECT_TRUE(charsPage->GridChars()->ReadOnly());
    // An ACTIVE cell does not react.
    project().DataSetChars().first();
    clickCell(0, QStringLiteral("ACTIVE"));
    EXPECT_EQ(current("ACTIVE"), QStringLiteral("1"));
}

TEST_F(CharsInDatabase, GroupMovesKeepTheGroupSelectedAndDoNotSave)
{
    const QByteArray file = fileBytes();
    ASSERT_EQ(routine(),
              QStringList({"Bore/H1", "Bore/H2", "Bore/H3", "Face/H4", "Face/H5", "Face/H6",
                           "Diameter/S1", "Diameter/S2", "Runout/S3", "Runout/S4"}));
    select(groups(), QStringLiteral("Face"));
    button("BtnGroupUp")->click();
    EXPECT_EQ(selectedGroup(), QStringLiteral("Face"));
    EXPECT_EQ(filter(), QStringLiteral("(GROUPNAME = 'Face')"));
    select(groups(), QStringLiteral("> Groups"));
    const QStringList moved = {"Face/H4", "Face/H5",     "Face/H6",     "Bore/H1",   "Bore/H2",
                               "Bore/H3", "Diameter/S1", "Diameter/S2", "Runout/S3", "Runout/S4"};
    EXPECT_EQ(routine(), moved);
    // The database has the new order at once; the file waits for the save.
    EXPECT_EQ(stored("LABEL"),
              QStringList({"H4", "H5", "H6", "H1", "H2", "H3", "S1", "S2", "S3", "S4"}));
    EXPECT_EQ(fileBytes(), file);
    EXPECT_TRUE(project().ChangeState() & ChangeStateBits::CharacteristicsChanged);

    select(groups(), QStringLiteral("Diameter"));
    button("BtnGroupDown")->click();
    EXPECT_EQ(selectedGroup(), QStringLiteral("Diameter"));
    EXPECT_EQ(stored("LABEL"),
              QStringList({"H4", "H5", "H6", "H1", "H2", "H3", "S3", "S4", "S1", "S2"}));
    EXPECT_EQ(fileBytes(), file);
}

TEST_F(CharsInDatabase, RenameWritesTheDatabaseAndSaves)
{
    select(groups(), QStringLiteral("Runout"));
    DialogAnswers answers(QStringLiteral("Wobble"));
    button("BtnRenameGroup")->click();
    EXPECT_EQ(items(groups()), QStringList({"> Groups", "Bore", "Face", "Diameter", "Wobble"}));
    EXPECT_EQ(selectedGroup(), QStringLiteral("Wobble"));
    EXPECT_EQ(stored("GROUPNAME").mid(8), QStringList({"Wobble", "Wobble"}));
    // Saved at once: the file has the new name and the project is unchanged.
    EXPECT_TRUE(fileBytes().contains("\tWobble\t"));
    EXPECT_FALSE(fileBytes().contains("\tRunout\t"));
    EXPECT_EQ(project().ChangeState(), 0u);
    EXPECT_TRUE(answers.messages.isEmpty());
}

struct RefusedRename
{
    const char *name;
    std::optional<QString> input;
    bool message;
};

class RenameRefused : public CharsInDatabase, public ::testing::WithParamInterface<RefusedRename>
{
};

TEST_P(RenameRefused, ChangesNothing)
{
    const RefusedRename &c = GetParam();
    select(groups(), QStringLiteral("Bore"));
    const QByteArray file = fileBytes();
    const QStringList rows = stored("GROUPNAME");
    DialogAnswers answers(c.input);
    button("BtnRenameGroup")->click();
    EXPECT_EQ(answers.messages.size(), c.message ? 1 : 0);
    EXPECT_EQ(stored("GROUPNAME"), rows);
    EXPECT_EQ(fileBytes(), file);
    EXPECT_EQ(selectedGroup(), QStringLiteral("Bore"));
    EXPECT_EQ(items(groups()), QStringList({"> Groups", "Bore", "Face", "Diameter", "Runout"}));
}

INSTANTIATE_TEST_SUITE_P(Cases, RenameRefused,
                         ::testing::Values(RefusedRename{"Cancelled", std::nullopt, false},
                                           RefusedRename{"Empty", QString(), true},
                                           RefusedRename{"Blank", QStringLiteral("   "), true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(CharsInDatabase, CharacteristicMovesThroughTheButtons)
{
    // The ends of the dataset are met by moving there.
    gotoLabel(QStringLiteral("H3"));
    QApplication::processEvents();
    project().DataSetChars().first();
    QApplication::processEvents();
    EXPECT_FALSE(button("BtnCharUp")->isEnabled());
    EXPECT_TRUE(button("BtnCharDown")->isEnabled());
    gotoLabel(QStringLiteral("H2"));
    QApplication::processEvents();
    button("BtnCharDown")->click();
    EXPECT_EQ(current("LABEL"), QStringLiteral("H2"));
    EXPECT_EQ(routine().mid(0, 3), QStringList({"Bore/H1", "Bore/H3", "Bore/H2"}));
    EXPECT_EQ(stored("LABEL").mid(0, 3), QStringList({"H1", "H3", "H2"}));
    // Down again leaves the group for the next one.
    button("BtnCharDown")->click();
    EXPECT_EQ(current("GROUPNAME"), QStringLiteral("Face"));
    button("BtnCharUp")->click();
    EXPECT_EQ(current("GROUPNAME"), QStringLiteral("Bore"));
    EXPECT_EQ(stored("GROUPNAME").mid(0, 4), QStringList({"Bore", "Bore", "Bore", "Face"}));

    project().DataSetChars().last();
    QApplication::processEvents();
    EXPECT_FALSE(button("BtnCharDown")->isEnabled());
}

TEST_F(CharsInDatabase, ClickOnActiveFlipsItInTheDatabase)
{
    ASSERT_EQ(stored("ACTIVE").value(1), QStringLiteral("1"));
    clickCell(1, QStringLiteral("ACTIVE"));
    EXPECT_EQ(current("LABEL"), QStringLiteral("H2"));
    EXPECT_EQ(current("ACTIVE"), QStringLiteral("0"));
    EXPECT_EQ(stored("ACTIVE").value(1), QStringLiteral("0"));
    EXPECT_TRUE(project().ChangeState() & ChangeStateBits::CharacteristicsChanged);
    // Another column of the row does nothing; the tick comes back with a second click.
    clickCell(1, QStringLiteral("LABEL"));
    EXPECT_EQ(stored("ACTIVE").value(1), QStringLiteral("0"));
    clickCell(1, QStringLiteral("ACTIVE"));
    EXPECT_EQ(stored("ACTIVE").value(1), QStringLiteral("1"));
    // The save leaves an inactive characteristic out of the file.
    clickCell(2, QStringLiteral("ACTIVE"));
    project().Save();
    EXPECT_FALSE(fileBytes().contains("\nH3\t"));
    EXPECT_TRUE(fileBytes().contains("\nH2\t"));
}

TEST_F(CharsInDatabase, NoKeyDeletesACharacteristic)
{
    TvyxDBGrid *grid = charsPage->GridChars();
    grid->setFocus();
    gotoLabel(QStringLiteral("H2"));
    QApplication::processEvents();
    for (const auto &[key, modifiers] : std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>{
             {Qt::Key_Delete, {}},
             {Qt::Key_Delete, Qt::ControlModifier},
             {Qt::Key_Backspace, {}},
             {Qt::Key_Minus, Qt::ControlModifier}}) {
        DialogAnswers yes;
        yes.answerMessages({mrYes, mrYes});
        QTest::keyClick(grid, key, modifiers);
        QApplication::processEvents();
        EXPECT_EQ(project().DataSetChars().recordCount(), 10) << key;
    }
    EXPECT_EQ(stored("LABEL").size(), 10);
}

// The STATE cell's text colour in the database.
struct StateCase
{
    const char *name;
    int state;
    TColor color; // 0: the grid's white
};

class StateColors : public CharsInDatabase, public ::testing::WithParamInterface<StateCase>
{
};

TEST_P(StateColors, PaintTheCellText)
{
    const StateCase &c = GetParam();
    MemDataSet &chars = project().DataSetChars();
    gotoLabel(QStringLiteral("H3"));
    chars.edit();
    chars.fieldByName(QStringLiteral("STATE")).setAsInteger(c.state);
    chars.post();
    chars.first();
    QApplication::processEvents();
    TvyxDBGrid *grid = charsPage->GridChars();
    const QRect rect = grid->visualRect(grid->model()->index(2, gridColumn("STATE")));
    const QImage cell = grid->viewport()->grab(rect).toImage();
    ASSERT_FALSE(cell.isNull());
    EXPECT_EQ(cell.pixelColor(1, 1), colorFromValue(0x625A4B));
    const QColor expected = c.color ? colorFromValue(c.color) : QColor(Qt::white);
    int found = 0;
    int others = 0;
    for (int y = 0; y < cell.height(); ++y)
        for (int x = 0; x < cell.width(); ++x) {
            const QColor p = cell.pixelColor(x, y);
            found += p == expected ? 1 : 0;
            for (TColor other : {clVYXOrange, clVYXCorpRed})
                others += other != c.color && p == colorFromValue(other) ? 1 : 0;
        }
    EXPECT_GT(found, 0);
    EXPECT_EQ(others, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, StateColors,
                         ::testing::Values(StateCase{"Four", 4, clVYXOrange},
                                           StateCase{"Eight", 8, clVYXCorpRed},
                                           StateCase{"Sixteen", 16, clVYXOrange},
                                           StateCase{"Other", 2, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

// A STATE text wider than its column shows whole in the cell's tool tip; a text that fits
// has none.
TEST_F(CharsInDatabase, ACutCellTextShowsWholeInItsTip)
{
    MemDataSet &chars = project().DataSetChars();
    gotoLabel(QStringLiteral("H3"));
    chars.edit();
    chars.fieldByName(QStringLiteral("STATE")).setAsInteger(8);
    chars.post();
    chars.first();
    QApplication::processEvents();
    TvyxDBGrid *grid = charsPage->GridChars();
    const auto cell = [&](int row, const QString &field) {
        return grid->visualRect(grid->model()->index(row, gridColumn(field)));
    };
    const auto tip = [&](int row, const QString &field) {
        return charsPage->GridCellTip(row, grid->Columns()->Items(gridColumn(field)),
                                      cell(row, field));
    };
    EXPECT_EQ(grid->columnWidth(gridColumn("STATE")), 100);
    EXPECT_EQ(tip(2, QStringLiteral("STATE")),
              QStringLiteral("File has unknown characteristic(s)"));
    EXPECT_EQ(tip(0, QStringLiteral("STATE")), QString()); // "OK" fits
    EXPECT_EQ(tip(0, QStringLiteral("LABEL")), QString());
    EXPECT_EQ(tip(0, QStringLiteral("ACTIVE")), QString());

    // Resting the mouse on the cell shows the tip.
    const QPoint at = cell(2, QStringLiteral("STATE")).center();
    QHelpEvent help(QEvent::ToolTip, at, grid->viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid->viewport(), &help);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("File has unknown characteristic(s)"));
    QToolTip::hideText();
}

TEST_F(CharsInDatabase, GroupPictureFromElsewhereIsCopiedIn)
{
    const QString work = tree->file(QStringLiteral("Work/"));
    ASSERT_FALSE(QFile::exists(work + QStringLiteral("cover.png")));
    select(groups(), QStringLiteral("Face"));
    gotoLabel(QStringLiteral("H5"));
    PickerAnswerGuard picker([&](const PickerRequest &request) {
        EXPECT_EQ(request.kind, PickerRequest::Open);
        return QStringList({tree->file(QStringLiteral("Masters/cover.png"))});
    });
    DialogAnswers answers;
    button("BtnGroupImage")->click();
    EXPECT_TRUE(answers.messages.isEmpty()) << answers.messages.join('|').toStdString();
    EXPECT_TRUE(QFile::exists(work + QStringLiteral("cover.png")));
    EXPECT_EQ(stored("IMAGE").mid(0, 6), QStringList({"bore.png", "bore.png", "bore.png",
                                                      "cover.png", "cover.png", "cover.png"}));
    EXPECT_EQ(charsPage->RecentCharImage(), QStringLiteral("cover.png"));
}

struct RefusedPicture
{
    const char *name;
    const char *picked; // below the tree
    const char *message;
};

class GroupPictureRefused : public CharsInDatabase,
                            public ::testing::WithParamInterface<RefusedPicture>
{
};

TEST_P(GroupPictureRefused, ChangesNothing)
{
    const RefusedPicture &c = GetParam();
    // A different picture of the same name as the project's own.
    QDir().mkpath(tree->file(QStringLiteral("Other")));
    QImage other(5, 5, QImage::Format_RGB32);
    other.fill(Qt::red);
    ASSERT_TRUE(other.save(tree->file(QStringLiteral("Other/bore.png"))));
    select(groups(), QStringLiteral("Diameter"));
    gotoLabel(QStringLiteral("S1"));
    const QStringList before = stored("IMAGE");
    PickerAnswerGuard picker(
        [&](const PickerRequest &) { return QStringList({tree->file(QLatin1String(c.picked))}); });
    DialogAnswers answers;
    button("BtnGroupImage")->click();
    ASSERT_EQ(answers.messages.size(), 1);
    // The message box shows each carriage return as a line break.
    EXPECT_TRUE(
        answers.messages.first().startsWith(QString::fromLatin1(c.message).replace('\r', '\n')))
        << answers.messages.first().toStdString();
    EXPECT_EQ(stored("IMAGE"), before);
    EXPECT_FALSE(QFile::exists(tree->file(QStringLiteral("Work/Bore detail.png"))));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GroupPictureRefused,
    ::testing::Values(RefusedPicture{"NotAnEightThreeName", "Masters/Bore detail.png",
                                     "Invalid file name.\r\rFilename must comply with DOS 8.3 "
                                     "convention."},
                      RefusedPicture{"OtherFileOfTheSameName", "Other/bore.png",
                                     "The project folder already holds a different file named "
                                     "\"bore.png\""}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
