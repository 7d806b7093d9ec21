#include "gridfixture.h"
#include "platform/error.h"
#include "support/tempfolder.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/controls/dbgrid/vyxgridcolumnsdbstorage.h"

#include <QDir>
#include <QHeaderView>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <functional>
#include <gtest/gtest.h>

using namespace tev;
using tev::test::MakeSampleChars;
using tev::test::TempFolder;

namespace {

const QString Key = QStringLiteral(R"(Software\Vyx\Tevora\Grids\Chars)");

// Points the per-user registry at a temporary folder for one test.
class RegistryFixture : public ::testing::Test
{
protected:
    RegistryFixture()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_folder.path());
    }
    QSettings Registry() const
    {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Vyx", "Tevora");
    }
    QString Group() const { return "Software/Vyx/Tevora/Grids/Chars/"; }

    TempFolder m_folder;
};

struct Layout
{
    QString fieldName;
    bool visible;
    int width;
    bool operator==(const Layout &) const = default;
};

std::vector<Layout> LayoutOf(const TvyxDBGrid &grid)
{
    std::vector<Layout> layout;
    for (int i = 0; i < grid.Columns()->Count(); ++i) {
        const TColumn *c = grid.Columns()->Items(i);
        layout.push_back({c->FieldName(), c->Visible(), c->Width()});
    }
    return layout;
}

void PrintTo(const Layout &l, std::ostream *os)
{
    *os << l.fieldName.toStdString() << (l.visible ? " shown " : " hidden ") << l.width;
}

struct BoundGrid
{
    BoundGrid()
        : dataSet(MakeSampleChars())
        , model(dataSet.get())
    {
        grid.SetDataSource(&model);
        grid.Columns()->Items(0)->SetWidth(50);
        grid.Columns()->Items(1)->SetWidth(120);
        grid.Columns()->Items(1)->SetVisible(false);
        grid.Columns()->Items(2)->SetWidth(70);
    }
    std::unique_ptr<MemDataSet> dataSet;
    DataSetModel model;
    TvyxDBGrid grid;
};

} // namespace

using GridRegistry = RegistryFixture;

TEST_F(GridRegistry, SaveWritesOneEntryPerColumn)
{
    BoundGrid g;
    g.grid.SaveToRegistry(Key);
    QSettings registry = Registry();
    EXPECT_EQ(registry.value(Group() + "Columns/Count").toInt(), 3);
    const QStringList names{"LABEL", "FEATURE", "NOMINAL"};
    const QList<int> visible{1, 0, 1};
    const QList<int> widths{50, 120, 70};
    for (int n = 0; n < 3; ++n) {
        const QString entry = Group() + "Columns/" + QString::number(n) + "/";
        EXPECT_EQ(registry.value(entry + "FieldName").toString(), names[n]);
        EXPECT_EQ(registry.value(entry + "Index").toInt(), n);
        EXPECT_EQ(registry.value(entry + "Visible").toInt(), visible[n]);
        EXPECT_EQ(registry.value(entry + "Width").toInt(), widths[n]);
    }
}

TEST_F(GridRegistry, SaveErasesEntriesOfAnEarlierLayout)
{
    {
        QSettings registry = Registry();
        registry.setValue(Group() + "Columns/Count", 5);
        registry.setValue(Group() + "Columns/4/FieldName", "OLD");
    }
    BoundGrid g;
    g.grid.SaveToRegistry(Key);
    QSettings registry = Registry();
    EXPECT_EQ(registry.value(Group() + "Columns/Count").toInt(), 3);
    EXPECT_FALSE(registry.contains(Group() + "Columns/4/FieldName"));
}

// Each case changes the saved grid (or the saved entries) and names the layout after loading.
TEST_F(GridRegistry, LoadRestoresOrderVisibilityAndWidths)
{
    struct Case
    {
        const char *name;
        std::function<void(TvyxDBGrid &, QSettings &, const QString &)> change;
        std::vector<Layout> expected;
    };
    const std::vector<Layout> saved{
        {"LABEL", true, 50}, {"FEATURE", false, 120}, {"NOMINAL", true, 70}};
    const std::vector<Case> cases = {
        {"user reordered, resized and showed columns",
         [](TvyxDBGrid &grid, QSettings &, const QString &) {
             grid.Columns()->Items(2)->SetIndex(0);
             grid.Columns()->Items(1)->SetWidth(300);
             grid.ColumnByFieldName("FEATURE")->SetVisible(true);
         },
         saved},
        {"entry of a field without a column is skipped",
         [](TvyxDBGrid &grid, QSettings &registry, const QString &group) {
             registry.setValue(group + "Columns/0/FieldName", "GONE");
             grid.Columns()->Items(0)->SetWidth(99);
         },
         {{"LABEL", true, 99}, {"FEATURE", false, 120}, {"NOMINAL", true, 70}}},
        {"missing values keep the current settings",
         [](TvyxDBGrid &grid, QSettings &registry, const QString &group) {
             registry.remove(group + "Columns/2/Width");
             registry.remove(group + "Columns/2/Visible");
             grid.Columns()->Items(2)->SetWidth(33);
             grid.Columns()->Items(2)->SetVisible(false);
         },
         {{"LABEL", true, 50}, {"FEATURE", false, 120}, {"NOMINAL", false, 33}}},
        {"missing entry section is skipped",
         [](TvyxDBGrid &grid, QSettings &registry, const QString &group) {
             registry.remove(group + "Columns/1");
             grid.Columns()->Items(1)->SetVisible(true);
         },
         {{"LABEL", true, 50}, {"FEATURE", true, 120}, {"NOMINAL", true, 70}}},
        {"Boolean as text",
         [](TvyxDBGrid &grid, QSettings &registry, const QString &group) {
             registry.setValue(group + "Columns/1/Visible", "true");
             grid.Columns()->Items(1)->SetVisible(false);
         },
         {{"LABEL", true, 50}, {"FEATURE", true, 120}, {"NOMINAL", true, 70}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Registry().clear();
        BoundGrid g;
        g.grid.SaveToRegistry(Key);
        {
            QSettings registry = Registry();
            c.change(g.grid, registry, Group());
        }
        g.grid.LoadFromRegistry(Key);
        EXPECT_EQ(LayoutOf(g.grid), c.expected);
        EXPECT_EQ(g.grid.horizontalHeader()->sectionSize(0), c.expected[0].width);
        EXPECT_EQ(g.grid.isColumnHidden(1), !c.expected[1].visible);
    }
}

TEST_F(GridRegistry, LoadOfAKeyWithoutColumnsChangesNothing)
{
    BoundGrid g;
    const auto before = LayoutOf(g.grid);
    g.grid.LoadFromRegistry(R"(Software\Vyx\Tevora\Nothing)");
    EXPECT_EQ(LayoutOf(g.grid), before);
}

TEST_F(GridRegistry, StoreThatCannotBeWrittenThrows)
{
    // The registry file's place is taken by a folder.
    ASSERT_TRUE(QDir(m_folder.path()).mkpath("Vyx/Tevora.conf"));
    BoundGrid g;
    EXPECT_THROW(g.grid.SaveToRegistry(Key), Error);
}

namespace {

// A database in a temporary folder with a GRIDCOLUMNS-like table.
class StoredColumns : public ::testing::Test
{
protected:
    StoredColumns()
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", m_connection);
            db.setDatabaseName(m_folder.file("layouts.db"));
            EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
            QSqlQuery q(db);
            EXPECT_TRUE(q.exec("create table GRIDCOLUMNS (ID varchar(40), COLUMNS blob)"));
            EXPECT_TRUE(q.exec("create table LAYOUTS (NAME varchar(40), DATA blob)"));
        }
        m_grid.SetDataSource(&m_model);
        TvyxGridColumnsDBStorage *storage = m_grid.ColumnsDBStorage();
        storage->SetConnection(m_connection);
        storage->SetId("Chars");
        storage->SetActive(true);
    }
    ~StoredColumns() override
    {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
    void Store(const QString &table, const QString &id, const QByteArray &data)
    {
        QSqlQuery q(QSqlDatabase::database(m_connection, false));
        q.prepare("insert into " + table + " values (:ID, :DATA)");
        q.bindValue(":ID", id);
        q.bindValue(":DATA", data);
        EXPECT_TRUE(q.exec()) << q.lastError().text().toStdString();
    }

    const QString m_connection = "gridcolumns";
    TempFolder m_folder;
    std::unique_ptr<MemDataSet> m_dataSet = MakeSampleChars();
    DataSetModel m_model{m_dataSet.get()};
    TvyxDBGrid m_grid;
};

const QByteArray StoredLayout = R"([{"FieldName": "NOMINAL", "Title": "Nominal", "Width": 80},
                                    {"FieldName": "LABEL", "Visible": false}])";

} // namespace

TEST_F(StoredColumns, DefaultsAndStatement)
{
    TvyxGridColumnsDBStorage storage;
    EXPECT_FALSE(storage.Active());
    EXPECT_TRUE(storage.Connection().isEmpty());
    EXPECT_TRUE(storage.Id().isEmpty());
    EXPECT_EQ(storage.SelectStatement(), "select COLUMNS\nfrom GRIDCOLUMNS\nwhere ID = :IDFIELD");
}

TEST_F(StoredColumns, LoadReplacesTheColumns)
{
    Store("GRIDCOLUMNS", "Other", "[]");
    Store("GRIDCOLUMNS", "Chars", StoredLayout);
    m_grid.LoadColumns();
    ASSERT_EQ(m_grid.Columns()->Count(), 2);
    EXPECT_EQ(m_grid.Columns()->Items(0)->FieldName(), "NOMINAL");
    EXPECT_EQ(m_grid.model()->headerData(0, Qt::Horizontal).toString(), "Nominal");
    EXPECT_EQ(m_grid.Columns()->Items(0)->Width(), 80);
    EXPECT_EQ(m_grid.horizontalHeader()->sectionSize(0), 80);
    EXPECT_EQ(m_grid.Columns()->Items(1)->FieldName(), "LABEL");
    EXPECT_TRUE(m_grid.isColumnHidden(1));
    EXPECT_EQ(m_grid.model()->index(0, 1).data().toString(), "C");
    EXPECT_FALSE(m_grid.Columns()->DefaultState());
}

TEST_F(StoredColumns, TableAndFieldNamesAreConfigurable)
{
    Store("LAYOUTS", "Chars", StoredLayout);
    TvyxGridColumnsDBStorage *storage = m_grid.ColumnsDBStorage();
    storage->SetTableName("LAYOUTS");
    storage->SetIdFieldName("NAME");
    storage->SetValueFieldName("DATA");
    m_grid.LoadColumns();
    EXPECT_EQ(m_grid.Columns()->Count(), 2);
}

// Each case leaves the columns as they were.
TEST_F(StoredColumns, NothingToLoadLeavesTheColumns)
{
    struct Case
    {
        const char *name;
        std::function<void(TvyxGridColumnsDBStorage &, const QString &)> setUp;
    };
    const std::vector<Case> cases = {
        {"inactive", [](TvyxGridColumnsDBStorage &s, const QString &) { s.SetActive(false); }},
        {"no connection",
         [](TvyxGridColumnsDBStorage &s, const QString &) { s.SetConnection(QString()); }},
        {"unknown connection",
         [](TvyxGridColumnsDBStorage &s, const QString &) { s.SetConnection("nowhere"); }},
        {"closed connection", [](TvyxGridColumnsDBStorage &,
                                 const QString &c) { QSqlDatabase::database(c, false).close(); }},
        {"no row for the id",
         [](TvyxGridColumnsDBStorage &s, const QString &) { s.SetId("Missing"); }},
        {"missing table",
         [](TvyxGridColumnsDBStorage &s, const QString &) { s.SetTableName("NOTABLE"); }},
    };
    Store("GRIDCOLUMNS", "Chars", StoredLayout);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TvyxGridColumnsDBStorage *storage = m_grid.ColumnsDBStorage();
        storage->SetActive(true);
        storage->SetConnection(m_connection);
        storage->SetId("Chars");
        storage->SetTableName("GRIDCOLUMNS");
        QSqlDatabase::database(m_connection, true);
        c.setUp(*storage, m_connection);
        m_grid.LoadColumns();
        EXPECT_EQ(m_grid.Columns()->Count(), 3);
        EXPECT_TRUE(m_grid.Columns()->DefaultState());
    }
}

TEST_F(StoredColumns, DamagedStoredColumnsLeaveAnEmptyCollection)
{
    for (const QByteArray &data : {QByteArray("not json"), QByteArray(R"({"FieldName": "A"})"),
                                   QByteArray(R"([{"Width": 3}])"), QByteArray()}) {
        SCOPED_TRACE(data.toStdString());
        m_grid.Columns()->RestoreDefaults();
        QSqlQuery(QSqlDatabase::database(m_connection)).exec("delete from GRIDCOLUMNS");
        Store("GRIDCOLUMNS", "Chars", data);
        m_grid.LoadColumns();
        EXPECT_EQ(m_grid.Columns()->Count(), 0);
        EXPECT_EQ(m_grid.model()->columnCount(), 0);
    }
}
