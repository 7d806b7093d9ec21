#include "gridfixture.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/controls/dbgrid/vyxgridcolumnsdbstorage.h"
#include "vectordataset.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

using namespace tev;
using tev::test::MakeChars;
using tev::test::MakeSampleChars;

namespace {

const QString Up = QStringLiteral("\u02C4");
const QString Down = QStringLiteral("\u02C5");

// A shown grid over a dataset; the model sorts when the case says the source is sortable.
struct GridFixture
{
    explicit GridFixture(std::unique_ptr<MemDataSet> data, bool sortable = true)
        : dataSet(std::move(data))
        , model(dataSet.get())
    {
        model.setSortable(sortable);
        grid.SetDataSource(&model);
        grid.resize(640, 320);
        grid.show();
        grid.SetOnTitleClick([this](TColumn *column) { titleClicks << column->FieldName(); });
    }

    QPoint TitleCentre(int column) const
    {
        const QHeaderView *header = grid.horizontalHeader();
        return QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                      header->height() / 2);
    }
    void Click(int pressColumn, int releaseColumn)
    {
        QWidget *viewport = grid.horizontalHeader()->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, TitleCentre(pressColumn));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, TitleCentre(releaseColumn));
    }
    QStringList Labels() const
    {
        QStringList labels;
        for (int row = 0; row < grid.model()->rowCount(); ++row)
            labels << grid.model()->index(row, 0).data().toString();
        return labels;
    }
    QStringList Arrows() const
    {
        QStringList arrows;
        for (int column = 0; column < grid.Columns()->Count(); ++column)
            arrows << grid.TitleArrow(column);
        return arrows;
    }
    QImage ArrowStrip(int column)
    {
        const QImage header = grid.horizontalHeader()->grab().toImage();
        const QHeaderView *h = grid.horizontalHeader();
        const int right = h->sectionViewportPosition(column) + h->sectionSize(column);
        return header.copy(QRect(right - 16, 0, 16, h->height()));
    }

    std::unique_ptr<MemDataSet> dataSet;
    DataSetModel model;
    TvyxDBGrid grid;
    QStringList titleClicks;
};

} // namespace

TEST(VyxDBGrid, Defaults)
{
    TvyxDBGrid grid;
    EXPECT_EQ(grid.SortOptions(), soNullFirst | soDescNullLast);
    EXPECT_TRUE(grid.SortFieldNames().isEmpty());
    EXPECT_FALSE(grid.ThumbTracking());
    EXPECT_EQ(grid.DefaultRowHeight(), 24);
    EXPECT_EQ(grid.MouseDownCell(), TGridCoord());
    ASSERT_NE(grid.ColumnsDBStorage(), nullptr);
    EXPECT_EQ(grid.ColumnsDBStorage()->parent(), &grid);
}

// Each case is a list of title clicks (pressed column, released column) and what follows.
TEST(VyxDBGrid, TitleClickSorting)
{
    struct Case
    {
        const char *name;
        bool sortable;
        std::vector<std::pair<int, int>> clicks;
        QStringList labels;
        QString sortFieldNames;
        QStringList arrows;
        QStringList titleClicks;
    };
    const QStringList data{"C", "", "A", "B"};
    const std::vector<Case> cases = {
        {"first click: ascending, empty values first",
         true,
         {{0, 0}},
         {"", "A", "B", "C"},
         "LABEL",
         {Up, "", ""},
         {"LABEL"}},
        {"second click: descending",
         true,
         {{0, 0}, {0, 0}},
         {"C", "B", "A", ""},
         "LABEL",
         {Down, "", ""},
         {"LABEL", "LABEL"}},
        {"third click: ascending again",
         true,
         {{0, 0}, {0, 0}, {0, 0}},
         {"", "A", "B", "C"},
         "LABEL",
         {Up, "", ""},
         {"LABEL", "LABEL", "LABEL"}},
        {"another title starts ascending",
         true,
         {{0, 0}, {0, 0}, {1, 1}},
         {"B", "A", "", "C"},
         "FEATURE",
         {"", Up, ""},
         {"LABEL", "LABEL", "FEATURE"}},
        {"back to a title sorted before",
         true,
         {{0, 0}, {0, 0}, {1, 1}, {0, 0}},
         {"", "A", "B", "C"},
         "LABEL",
         {Up, "", ""},
         {"LABEL", "LABEL", "FEATURE", "LABEL"}},
        {"numbers",
         true,
         {{2, 2}, {2, 2}},
         {"B", "C", "", "A"},
         "NOMINAL",
         {"", "", Down},
         {"NOMINAL", "NOMINAL"}},
        {"press and release on different titles", true, {{0, 1}}, data, "", {"", "", ""}, {}},
        {"client dataset: no sorting, the event still comes",
         false,
         {{0, 0}, {0, 0}},
         data,
         "",
         {"", "", ""},
         {"LABEL", "LABEL"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        GridFixture f(MakeSampleChars(), c.sortable);
        for (const auto &[press, release] : c.clicks)
            f.Click(press, release);
        EXPECT_EQ(f.Labels(), c.labels);
        EXPECT_EQ(f.grid.SortFieldNames(), c.sortFieldNames);
        EXPECT_EQ(f.Arrows(), c.arrows);
        EXPECT_EQ(f.titleClicks, c.titleClicks);
        EXPECT_EQ(f.dataSet->fieldByName("LABEL").asString(), "C") << "the record stays current";
    }
}

TEST(VyxDBGrid, TitleClickEventOnlyWithTheOption)
{
    GridFixture f(MakeSampleChars());
    f.grid.SetOptions(TvyxDBGrid::DefaultOptions & ~dgTitleClick);
    f.Click(0, 0);
    EXPECT_TRUE(f.titleClicks.isEmpty());
    EXPECT_EQ(f.grid.SortFieldNames(), "LABEL");
}

TEST(VyxDBGrid, SortSettersNeedAnOpenSortableSource)
{
    TvyxDBGrid alone;
    alone.SetSortFieldNames("LABEL");
    alone.SetSortOptions(soDescending);
    EXPECT_TRUE(alone.SortFieldNames().isEmpty());
    EXPECT_EQ(alone.SortOptions(), TvyxDBGrid::DefaultSortOptions);

    GridFixture closed(MakeSampleChars());
    closed.dataSet->close();
    closed.grid.SetSortFieldNames("LABEL");
    EXPECT_TRUE(closed.grid.SortFieldNames().isEmpty());

    GridFixture client(MakeSampleChars(), false);
    client.grid.ToggleSortingOrder();
    EXPECT_EQ(client.grid.SortOptions(), TvyxDBGrid::DefaultSortOptions);
}

TEST(VyxDBGrid, ArrowIsPaintedAtTheRightEndOfTheSortedTitle)
{
    GridFixture f(MakeSampleChars());
    const QImage plain0 = f.ArrowStrip(0);
    const QImage plain1 = f.ArrowStrip(1);
    f.Click(0, 0);
    const QImage up = f.ArrowStrip(0);
    EXPECT_NE(up, plain0);
    EXPECT_EQ(f.ArrowStrip(1), plain1);
    f.Click(0, 0);
    const QImage down = f.ArrowStrip(0);
    EXPECT_NE(down, plain0);
    EXPECT_NE(up, down);
    f.Click(1, 1);
    EXPECT_EQ(f.ArrowStrip(0), plain0);
    EXPECT_NE(f.ArrowStrip(1), plain1);
}

TEST(VyxDBGrid, ColumnByFieldNameIsExact)
{
    GridFixture f(MakeSampleChars());
    ASSERT_NE(f.grid.ColumnByFieldName("FEATURE"), nullptr);
    EXPECT_EQ(f.grid.ColumnByFieldName("FEATURE")->Index(), 1);
    EXPECT_EQ(f.grid.ColumnByFieldName("feature"), nullptr);
    EXPECT_EQ(f.grid.ColumnByFieldName("GONE"), nullptr);
    f.grid.SetOptions(TvyxDBGrid::DefaultOptions & ~dgIndicator);
    EXPECT_EQ(f.grid.ColumnByFieldName("GONE"), nullptr);
}

TEST(VyxDBGrid, CanEditShow)
{
    struct Case
    {
        const char *name;
        TDBGridOptions options;
        bool readOnly;
        std::optional<bool> answer; // what the handler sets; none: no handler
        bool byKey;
        bool askedWith;
        bool opens;
    };
    const std::vector<Case> cases = {
        {"no handler", TvyxDBGrid::DefaultOptions, false, std::nullopt, false, true, true},
        {"handler allows", TvyxDBGrid::DefaultOptions, false, true, false, true, true},
        {"handler refuses", TvyxDBGrid::DefaultOptions, false, false, false, true, false},
        {"handler refuses a typed key", TvyxDBGrid::DefaultOptions, false, false, true, true,
         false},
        {"typed key opens", TvyxDBGrid::DefaultOptions, false, true, true, true, true},
        {"read-only grid, handler overrides", TvyxDBGrid::DefaultOptions, true, true, false, false,
         true},
        {"no indicator column", TvyxDBGrid::DefaultOptions & ~dgIndicator, false, true, false, true,
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        GridFixture f(MakeSampleChars());
        f.grid.SetOptions(c.options);
        f.grid.SetReadOnly(c.readOnly);
        QStringList asked;
        bool askedWith = !c.askedWith;
        if (c.answer)
            f.grid.SetOnCanEditShow([&](TColumn *column, bool &canEdit) {
                asked << column->FieldName();
                askedWith = canEdit;
                canEdit = *c.answer;
            });
        const QModelIndex cell = f.grid.model()->index(1, 2);
        f.grid.setCurrentIndex(cell);
        if (c.byKey)
            QTest::keyClick(&f.grid, Qt::Key_7);
        else
            f.grid.edit(cell);
        const auto editors = f.grid.viewport()->findChildren<QLineEdit *>();
        const bool open = std::any_of(editors.begin(), editors.end(),
                                      [](const QLineEdit *e) { return e->isVisible(); });
        EXPECT_EQ(open, c.opens);
        if (c.answer) {
            EXPECT_EQ(asked, QStringList{"NOMINAL"}) << "the current cell's column";
            EXPECT_EQ(askedWith, c.askedWith);
        }
    }
}

TEST(VyxDBGrid, EditingACellPostsTheRecord)
{
    GridFixture f(MakeSampleChars());
    const QModelIndex cell = f.grid.model()->index(2, 1);
    f.grid.setCurrentIndex(cell);
    EXPECT_EQ(f.dataSet->fieldByName("LABEL").asString(), "A") << "the grid moves the record";
    f.grid.edit(cell);
    auto *editor = f.grid.viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "Depth");
    editor->setText("Bore");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits through a queued call
    EXPECT_EQ(f.dataSet->state(), DataSetState::Browse);
    EXPECT_EQ(f.dataSet->fieldByName("FEATURE").asString(), "Bore");
    f.dataSet->first();
    EXPECT_EQ(f.grid.currentIndex().row(), 0) << "the grid follows the record";
}

TEST(VyxDBGrid, TopLeftChanged)
{
    struct Case
    {
        const char *name;
        std::function<void(TvyxDBGrid &)> action;
        int events;
    };
    const std::vector<Case> cases = {
        {"scroll down", [](TvyxDBGrid &g) { g.verticalScrollBar()->setValue(10); }, 1},
        {"scroll down twice",
         [](TvyxDBGrid &g) {
             g.verticalScrollBar()->setValue(10);
             g.verticalScrollBar()->setValue(20);
         },
         2},
        {"no move", [](TvyxDBGrid &g) { g.verticalScrollBar()->setValue(0); }, 0},
        {"scroll right",
         [](TvyxDBGrid &g) {
             g.horizontalScrollBar()->setValue(g.horizontalScrollBar()->maximum());
         },
         1},
        {"current cell moves below the page",
         [](TvyxDBGrid &g) { g.setCurrentIndex(g.model()->index(150, 0)); }, 1},
        {"current cell within the page",
         [](TvyxDBGrid &g) { g.setCurrentIndex(g.model()->index(2, 0)); }, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<test::CharRow> rows;
        for (int i = 0; i < 200; ++i)
            rows.push_back({QString::number(i), QString(30, QChar(u'x')), i});
        GridFixture f(MakeChars(rows));
        f.grid.resize(200, 200);
        QApplication::processEvents();
        int events = 0;
        QObject *sender = nullptr;
        f.grid.SetOnTopLeftChanged([&](QObject *s) {
            ++events;
            sender = s;
        });
        c.action(f.grid);
        EXPECT_EQ(events, c.events);
        if (events) {
            EXPECT_EQ(sender, &f.grid);
        }
    }
}

TEST(VyxDBGrid, ThumbTrackingMovesTheRowsWhileDragging)
{
    for (const bool tracking : {false, true}) {
        SCOPED_TRACE(tracking ? "tracking" : "no tracking");
        std::vector<test::CharRow> rows;
        for (int i = 0; i < 200; ++i)
            rows.push_back({QString::number(i), "x", i});
        GridFixture f(MakeChars(rows));
        f.grid.SetThumbTracking(tracking);
        QScrollBar *bar = f.grid.verticalScrollBar();
        bar->setSliderDown(true);
        bar->setSliderPosition(50);
        EXPECT_EQ(f.grid.rowAt(0) > 0, tracking);
        bar->setSliderDown(false);
        EXPECT_GT(f.grid.rowAt(0), 0);
    }
}

TEST(VyxDBGrid, DataSourceDestroyedFirstLeavesAnEmptyGrid)
{
    auto ds = MakeSampleChars();
    TvyxDBGrid grid;
    {
        DataSetModel model(ds.get());
        grid.SetDataSource(&model);
        grid.show();
        ASSERT_EQ(grid.model()->rowCount(), 4);
    }
    EXPECT_EQ(grid.DataSource(), nullptr);
    EXPECT_EQ(grid.model()->rowCount(), 0);
    EXPECT_EQ(grid.model()->columnCount(), 0);
    grid.repaint();
}

// When the grid's data is replaced, its rows follow the sort the arrow shows, or the arrow goes.
TEST(VyxDBGrid, ReplacedDataKeepsArrowAndOrderTogether)
{
    const auto labelled = [] {
        return std::make_unique<test::VectorDataSet>(
            QStringList{"LABEL", "FEATURE", "NOMINAL"},
            std::vector<std::vector<QVariant>>{{"Z", "Zoom", 1.0},
                                               {"M", "Mass", 2.0},
                                               {QVariant(), "None", 3.0},
                                               {"B", "Bore", 4.0}});
    };
    struct Case
    {
        const char *name;
        int clicks; // on the LABEL title
        std::function<void(GridFixture &, std::vector<std::unique_ptr<DataSet>> &,
                           std::vector<std::unique_ptr<DataSetModel>> &)>
            replace;
        QStringList labels;
        QString sortFieldNames;
        QString labelArrow;
    };
    const std::vector<Case> cases = {
        {"another dataset with the sorted field",
         1,
         [&](GridFixture &f, auto &data, auto &) {
             data.push_back(labelled());
             f.model.setDataSet(data.back().get());
         },
         {"", "B", "M", "Z"},
         "LABEL",
         Up},
        {"a query closed and another opened, as the SQL page runs a statement",
         1,
         [&](GridFixture &f, auto &data, auto &) {
             f.model.setDataSet(nullptr);
             data.push_back(labelled());
             f.model.setDataSet(data.back().get());
         },
         {"", "B", "M", "Z"},
         "LABEL",
         Up},
        {"descending carries over",
         2,
         [&](GridFixture &f, auto &data, auto &) {
             data.push_back(labelled());
             f.model.setDataSet(data.back().get());
         },
         {"Z", "M", "B", ""},
         "LABEL",
         Down},
        {"the same dataset attached again",
         1,
         [](GridFixture &f, auto &, auto &) { f.model.setDataSet(f.dataSet.get()); },
         {"C", "", "A", "B"}, // the program's client dataset: not sortable, so no arrow
         "",
         ""},
        {"another data source",
         2,
         [&](GridFixture &f, auto &data, auto &models) {
             data.push_back(labelled());
             models.push_back(std::make_unique<DataSetModel>(data.back().get()));
             f.grid.SetDataSource(models.back().get());
         },
         {"Z", "M", "B", ""},
         "LABEL",
         Down},
        {"a dataset without the sorted field",
         1,
         [](GridFixture &f, auto &data, auto &) {
             data.push_back(std::make_unique<test::VectorDataSet>(
                 QStringList{"NAME"}, std::vector<std::vector<QVariant>>{{"b"}, {"a"}}));
             f.model.setDataSet(data.back().get());
         },
         {"b", "a"},
         "",
         ""},
        {"no data source",
         1,
         [](GridFixture &f, auto &, auto &) { f.grid.SetDataSource(nullptr); },
         {},
         "",
         ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::unique_ptr<DataSet>> data;
        std::vector<std::unique_ptr<DataSetModel>> models;
        auto f = std::make_unique<GridFixture>(MakeSampleChars());
        for (int i = 0; i < c.clicks; ++i)
            f->Click(0, 0);
        c.replace(*f, data, models);
        EXPECT_EQ(f->Labels(), c.labels);
        EXPECT_EQ(f->grid.SortFieldNames(), c.sortFieldNames);
        EXPECT_EQ(f->grid.Columns()->Count() > 0 ? f->grid.TitleArrow(0) : QString(), c.labelArrow);
        f.reset(); // before the data it shows
    }
}

// A column without a field (a computed column such as the characteristics grid's "Specs") never
// sorts and never shows an arrow.
TEST(VyxDBGrid, AColumnWithoutAFieldHasNoArrow)
{
    for (const bool sortable : {false, true}) {
        SCOPED_TRACE(sortable ? "sortable" : "client dataset");
        GridFixture f(MakeSampleChars(), sortable);
        TDBGridColumns *columns = f.grid.Columns();
        columns->Clear();
        columns->Add()->SetFieldName("LABEL");
        columns->Add()->SetTitle("Specs");
        EXPECT_EQ(f.Arrows(), QStringList({"", ""}));
        f.Click(1, 1);
        EXPECT_EQ(f.Arrows(), QStringList({"", ""}));
        EXPECT_EQ(f.titleClicks, QStringList({""})) << "the title-click event still comes";
        f.Click(0, 0);
        f.Click(1, 1);
        EXPECT_EQ(f.grid.SortFieldNames(), sortable ? "LABEL" : "");
        EXPECT_EQ(f.Arrows(), QStringList({sortable ? Up : "", ""}));
        EXPECT_EQ(f.Labels(),
                  sortable ? QStringList({"", "A", "B", "C"}) : QStringList({"C", "", "A", "B"}));
    }
}

namespace {

TEST(VyxDBGridTitleArrow, ColumnWithoutFieldNeverShowsTheArrow)
{
    auto data = MakeSampleChars();
    DataSetModel model(data.get());
    TvyxDBGrid grid;
    grid.SetDataSource(&model);
    TDBGridColumns &columns = *grid.Columns();
    columns.BeginUpdate();
    columns.Clear();
    columns.Add()->SetFieldName(QStringLiteral("LABEL"));
    TColumn *computed = columns.Add();
    computed->SetTitle(QStringLiteral("Specs"));
    columns.EndUpdate();
    // Nothing sorted: the sort field is empty, like the computed column's field.
    ASSERT_TRUE(grid.SortFieldNames().isEmpty());
    EXPECT_TRUE(grid.TitleArrow(0).isEmpty());
    EXPECT_TRUE(grid.TitleArrow(1).isEmpty());
}

} // namespace
