#include "pagesfixture.h"

#include "../keys.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/kit/colors.h"
#include "ui/pages/captionpanel.h"
#include "ui/pages/picturebox.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QTableWidget>

using namespace tev;
using namespace tev::test;

namespace {

const QStringList kMaster = {QStringLiteral("$GENERATOR Ombrix"),
                             QStringLiteral("$PROJECTNAME Shaft")};

class CharsPage : public PagesFixture
{
protected:
    void showChars()
    {
        projectPage->hide();
        window->show();
        QApplication::processEvents();
    }

    // The grid's pixels of the cell of a row and a field (the "Specs" column by its title).
    QImage cell(int row, const QString &column)
    {
        TvyxDBGrid *grid = charsPage->GridChars();
        int col = -1;
        for (int i = 0; i < grid->Columns()->Count(); ++i) {
            TColumn *c = grid->Columns()->Items(i);
            if (c->FieldName() == column || c->Title() == column)
                col = i;
        }
        EXPECT_GE(col, 0) << column.toStdString();
        const QRect rect = grid->visualRect(grid->model()->index(row, col));
        return grid->viewport()->grab(rect).toImage();
    }

    // Pixels of text: clearly unlike the cell's background (text is drawn smoothed).
    static int countInk(const QImage &image, const QRect &area)
    {
        const QColor background = image.pixelColor(1, 1);
        const QRect box = area.intersected(image.rect());
        int n = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += std::abs(c.red() - background.red()) +
                                 std::abs(c.green() - background.green()) +
                                 std::abs(c.blue() - background.blue()) >
                             60
                         ? 1
                         : 0;
            }
        return n;
    }

    static int countColor(const QImage &image, const QColor &color, const QRect &area = {})
    {
        const QRect box = area.isNull() ? image.rect() : area.intersected(image.rect());
        int n = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                n += image.pixelColor(x, y) == color ? 1 : 0;
        return n;
    }
};

TEST_F(CharsPage, GridColumnsInOrder)
{
    TvyxDBGrid *grid = charsPage->GridChars();
    const QStringList fields = {"CHARID",   "GROUPNAME", "FEATURE", "LABEL",
                                "CHARTYPE", "STATE",     "",        "ACTIVE"};
    const QStringList titles = {"ID",      "GROUPNAME", "POINTNAME", "LABEL",
                                "FEATURE", "STATE",     "Specs",     "ACTIVE"};
    const int widths[] = {35, 150, 100, 120, 75, 100, 70, 50};
    readFile(writeFile(QStringLiteral("m.seq"),
                       SequenceText(kMaster, {{QStringLiteral("C1"), QStringLiteral("P1"),
                                               QStringLiteral("G1")}})));
    ASSERT_EQ(grid->Columns()->Count(), fields.size());
    for (int i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(grid->Columns()->Items(i)->FieldName(), fields[i]) << i;
        EXPECT_EQ(grid->model()->headerData(i, Qt::Horizontal).toString(), titles[i]) << i;
        EXPECT_EQ(grid->horizontalHeader()->sectionSize(i), widths[i]) << i;
    }
    EXPECT_EQ(grid->DefaultRowHeight(), 19);
}

TEST_F(CharsPage, MasterFileCellsPaintDimmedWithSpecsAndTick)
{
    readFile(writeFile(QStringLiteral("m.seq"),
                       SequenceText(kMaster, {{QStringLiteral("C1"), QStringLiteral("P1"),
                                               QStringLiteral("G1"), 12.5, 12.4, 12.6},
                                              {QStringLiteral("C2"), QStringLiteral("P2"),
                                               QStringLiteral("G1"), 3, 2, 4}})));
    showChars();
    project().DataSetChars().first(); // row 0 selected, row 1 not
    QApplication::processEvents();
    const QColor grid = colorFromValue(0x625A4B);
    const QColor selected = colorFromValue(clVYXSelected);
    const QColor dimmed = colorFromValue(kColorDimmedText);

    const QImage state1 = cell(1, QStringLiteral("STATE"));
    // Not in the database: STATE 8 ("New characteristic(s)"... drawn like any other cell:
    // dimmed text on the grid's colour, no red.
    EXPECT_EQ(state1.pixelColor(1, 1), grid);
    EXPECT_EQ(countColor(state1, colorFromValue(clVYXCorpRed)), 0);
    EXPECT_GT(countColor(state1, dimmed), 0);
    // The selected row's cells lie on the selection colour.
    EXPECT_EQ(cell(0, QStringLiteral("LABEL")).pixelColor(1, 1), selected);

    // Specs: the nominal ends at 40 pixels; the limits are right of it, upper above lower.
    const QImage specs = cell(1, QStringLiteral("Specs"));
    const int h = specs.height();
    EXPECT_GT(countInk(specs, QRect(0, 0, 40, h)), 0);
    EXPECT_EQ(countInk(specs, QRect(40, 0, 1, h)), 0);
    EXPECT_GT(countInk(specs, QRect(41, 0, specs.width() - 41, h / 2)), 0);
    EXPECT_GT(countInk(specs, QRect(41, h / 2, specs.width() - 41, h - h / 2)), 0);
    // The limits end 4 pixels before the cell's right edge (W, one pixel narrower).
    EXPECT_EQ(countInk(specs, QRect(specs.width() - 5, 0, 5, h)), 0);

    // ACTIVE 1: the box's frame and a tick through its middle.
    const QImage active = cell(1, QStringLiteral("ACTIVE"));
    const QPoint centre(active.width() / 2 + 2, active.height() / 2 + 1);
    EXPECT_GT(countColor(active, dimmed, QRect(centre - QPoint(2, 2), QSize(5, 5))), 0);
}

TEST_F(CharsPage, InactiveCharacteristicShowsAnEmptyBox)
{
    readFile(writeFile(
        QStringLiteral("m.seq"),
        SequenceText(kMaster,
                     {{QStringLiteral("C1"), QStringLiteral("P1"), QStringLiteral("G1")},
                      {QStringLiteral("C2"), QStringLiteral("P2"), QStringLiteral("G1")}})));
    MemDataSet &chars = project().DataSetChars();
    gotoLabel(QStringLiteral("C2"));
    chars.edit();
    chars.fieldByName(QStringLiteral("ACTIVE")).setAsInteger(0);
    chars.post();
    chars.first();
    showChars();
    const QColor dimmed = colorFromValue(kColorDimmedText);
    const QImage active = cell(1, QStringLiteral("ACTIVE"));
    const QPoint centre(active.width() / 2 + 2, active.height() / 2 + 1);
    EXPECT_EQ(countColor(active, dimmed, QRect(centre - QPoint(2, 2), QSize(5, 5))), 0);
    EXPECT_GT(countColor(active, dimmed), 0); // the frame
}

class CharPicture : public CharsPage
{
protected:
    void SetUp() override
    {
        writePicture(QStringLiteral("p.png"), {400, 300}, Qt::darkGreen);
        readFile(
            writeFile(QStringLiteral("m.seq"),
                      SequenceText(kMaster, {{"C1", "P1", "G1", {}, {}, {}, "p.png", 200, 100},
                                             {"C2", "P2", "G1", {}, {}, {}, "p.png", 0, 0},
                                             {"C3", "P3", "G2", {}, {}, {}, "", 10, 10},
                                             {"C4", "P4", "G2", {}, {}, {}, "bad.png", 10, 10}})));
        writeFile(QStringLiteral("bad.png"), QStringLiteral("no picture"));
        charsPage->SetCharDetailsWidth(250);
        showChars();
    }
};

TEST_F(CharPicture, BulletSitsOnThePoint)
{
    gotoLabel(QStringLiteral("C1"));
    QApplication::processEvents();
    auto *image = child<TPictureBox>(charsPage, "CharImage");
    auto *bullet = child<QWidget>(charsPage, "Bullet");
    ASSERT_EQ(image->size(), QSize(250, 250));
    ASSERT_TRUE(image->HasPicture());
    // 400 x 300 in 250 x 250: scale 0.625, 31 pixels above; the point (200, 100) at (125, 93).
    EXPECT_TRUE(bullet->isVisible());
    EXPECT_EQ(bullet->geometry(), QRect(120, 88, 10, 10));
    // The marker is painted there, above the picture.
    const QImage shown = child<QWidget>(charsPage, "PnlCharImage")->grab().toImage();
    EXPECT_EQ(shown.pixelColor(125, 93), QColor(Qt::cyan));
    EXPECT_EQ(shown.pixelColor(125, 150), QColor(Qt::darkGreen));
}

TEST_F(CharPicture, SamePictureIsNotReadAgainAndNoneClearsIt)
{
    gotoLabel(QStringLiteral("C1"));
    QApplication::processEvents();
    ASSERT_EQ(charsPage->RecentCharImage(), QStringLiteral("p.png"));
    // The file goes; the next characteristic names the same picture and still shows it.
    ASSERT_TRUE(QFile::remove(seqDir() + QStringLiteral("/p.png")));
    gotoLabel(QStringLiteral("C2"));
    QApplication::processEvents();
    auto *image = child<TPictureBox>(charsPage, "CharImage");
    EXPECT_TRUE(image->HasPicture());
    EXPECT_EQ(child<QWidget>(charsPage, "Bullet")->geometry(), QRect(-5, 26, 10, 10));
    // A characteristic without picture clears it and hides the marker.
    gotoLabel(QStringLiteral("C3"));
    QApplication::processEvents();
    EXPECT_FALSE(image->HasPicture());
    EXPECT_TRUE(charsPage->RecentCharImage().isEmpty());
    EXPECT_FALSE(child<QWidget>(charsPage, "Bullet")->isVisible());
}

TEST_F(CharPicture, UnreadablePictureSaysSo)
{
    gotoLabel(QStringLiteral("C4"));
    QApplication::processEvents();
    EXPECT_FALSE(child<TPictureBox>(charsPage, "CharImage")->HasPicture());
    EXPECT_EQ(child<TCaptionPanel>(charsPage, "PnlCharDetails")->Caption(),
              QStringLiteral("Unable to load image file"));
    EXPECT_FALSE(child<QWidget>(charsPage, "Bullet")->isVisible());
    // A readable one clears the caption again.
    gotoLabel(QStringLiteral("C1"));
    QApplication::processEvents();
    EXPECT_TRUE(child<TCaptionPanel>(charsPage, "PnlCharDetails")->Caption().isEmpty());
}

TEST_F(CharPicture, PictureAreaStaysSquare)
{
    charsPage->SetCharDetailsWidth(300);
    QApplication::processEvents();
    EXPECT_EQ(child<QWidget>(charsPage, "PnlCharImage")->size(), QSize(300, 300));
    EXPECT_EQ(charsPage->CharDetailsWidth(), 300);
}

TEST_F(CharsPage, ParametersShowAsRows)
{
    readFile(writeFile(QStringLiteral("m.seq"),
                       SequenceText(kMaster, {{QStringLiteral("C1"), QStringLiteral("P1"),
                                               QStringLiteral("G1"), 1.5}})));
    auto *editor = child<QTableWidget>(charsPage, "CharParamsEditor");
    EXPECT_FALSE(charsPage->CharParamsEditorVisible());
    ASSERT_GT(editor->rowCount(), 10);
    bool found = false;
    for (int row = 0; row < editor->rowCount(); ++row)
        if (editor->item(row, 0)->text() == QLatin1String("NOM_VALUE"))
            found = editor->item(row, 1)->text() == QLatin1String("1.5");
    EXPECT_TRUE(found);

    charsPage->ExpandCharDetailsBtnClick();
    EXPECT_TRUE(charsPage->CharParamsEditorVisible());
    EXPECT_TRUE(child<QWidget>(charsPage, "ExpandCharDetailsBtn")->isHidden());
    EXPECT_FALSE(child<QWidget>(charsPage, "CollapseCharDetailsBtn")->isHidden());
    charsPage->SetCharParamsEditorVisible(false);
    EXPECT_FALSE(child<QWidget>(charsPage, "ExpandCharDetailsBtn")->isHidden());
    EXPECT_TRUE(child<QWidget>(charsPage, "CollapseCharDetailsBtn")->isHidden());
}

TEST_F(CharsPage, LayoutWidthsKeepTheirMinimum)
{
    EXPECT_EQ(charsPage->CharFilterWidth(), 200);
    EXPECT_EQ(charsPage->CharDetailsWidth(), 250);
    charsPage->SetCharFilterWidth(120);
    EXPECT_EQ(charsPage->CharFilterWidth(), 120);
    charsPage->SetCharFilterWidth(3);
    EXPECT_EQ(charsPage->CharFilterWidth(), 25);
}

TEST_F(CharsPage, DownArrowOnTheLastRowAddsNothing)
{
    readFile(writeFile(
        QStringLiteral("m.seq"),
        SequenceText(kMaster,
                     {{QStringLiteral("C1"), QStringLiteral("P1"), QStringLiteral("G1")},
                      {QStringLiteral("C2"), QStringLiteral("P2"), QStringLiteral("G1")}})));
    showChars();
    TvyxDBGrid *grid = charsPage->GridChars();
    grid->setFocus();
    gotoLabel(QStringLiteral("C2"));
    QApplication::processEvents();
    pressKey(grid, Qt::Key_Down);
    QApplication::processEvents();
    MemDataSet &chars = project().DataSetChars();
    EXPECT_EQ(chars.recordCount(), 2);
    EXPECT_EQ(chars.fieldByName(QStringLiteral("LABEL")).asString(), QStringLiteral("C2"));
    EXPECT_EQ(chars.state(), DataSetState::Browse);
    // On another row the key moves down as usual.
    gotoLabel(QStringLiteral("C1"));
    QApplication::processEvents();
    pressKey(grid, Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_EQ(chars.fieldByName(QStringLiteral("LABEL")).asString(), QStringLiteral("C2"));
}

} // namespace
