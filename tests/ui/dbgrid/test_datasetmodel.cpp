#include "gridfixture.h"
#include "platform/error.h"
#include "ui/models/datasetmodel.h"
#include "vectordataset.h"

#include <QLocale>
#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

using namespace tev;
using tev::test::MakeSampleChars;

namespace {

QStringList Column(const QAbstractItemModel &model, int column, int role = Qt::DisplayRole)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.data(model.index(row, column), role).toString();
    return texts;
}

} // namespace

TEST(DataSetModel, ShowsFieldsRowsAndGetTextHandlers)
{
    auto ds = MakeSampleChars();
    ds->fieldByName("FEATURE").setDisplayLabel("Feature");
    ds->fieldByName("NOMINAL").setOnGetText([](const Field &f) {
        return f.isNull() ? QStringLiteral("-") : QStringLiteral("%1 mm").arg(f.asFloat());
    });
    DataSetModel model(ds.get());
    ASSERT_EQ(model.columnCount(), 3);
    ASSERT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "LABEL");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Feature");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, DataSetModel::FieldNameRole).toString(),
              "FEATURE");
    EXPECT_EQ(Column(model, 0), (QStringList{"C", "", "A", "B"}));
    EXPECT_EQ(Column(model, 2), (QStringList{"3.5 mm", "1 mm", "-", "12 mm"}));
    EXPECT_EQ(Column(model, 2, Qt::EditRole), (QStringList{"3.5", "1", "", "12"}));
    EXPECT_FALSE(model.data(model.index(4, 0)).isValid());
    EXPECT_FALSE(model.data(model.index(0, 3)).isValid());
    EXPECT_EQ(model.fieldColumn("nominal"), 2);
    EXPECT_EQ(model.fieldColumn("GONE"), -1);
}

TEST(DataSetModel, ReadingKeepsTheCursorOnItsRecord)
{
    auto ds = MakeSampleChars();
    ds->next();
    ds->next();
    DataSetModel model(ds.get());
    EXPECT_EQ(ds->fieldByName("FEATURE").asString(), "Depth");
    EXPECT_EQ(model.currentRow(), 2);
    model.refresh();
    EXPECT_EQ(ds->fieldByName("FEATURE").asString(), "Depth");
}

// Each case changes the dataset and names what the model shows afterwards.
TEST(DataSetModel, ReflectsDataSetChanges)
{
    struct Case
    {
        const char *name;
        std::function<void(MemDataSet &)> change;
        QStringList features;
        int currentRow;
    };
    const std::vector<Case> cases = {
        {"edit and post",
         [](MemDataSet &d) {
             d.edit();
             d.fieldByName("FEATURE").setAsString("Radius");
             d.post();
         },
         {"Radius", "Height", "Depth", ""},
         0},
        {"edit buffer before the post",
         [](MemDataSet &d) {
             d.edit();
             d.fieldByName("FEATURE").setAsString("Typing");
         },
         {"Typing", "Height", "Depth", ""},
         0},
        {"cancel of an edit",
         [](MemDataSet &d) {
             d.edit();
             d.fieldByName("FEATURE").setAsString("Typing");
             d.cancel();
         },
         {"Width", "Height", "Depth", ""},
         0},
        {"append shows a last row before the post",
         [](MemDataSet &d) {
             d.append();
             d.fieldByName("FEATURE").setAsString("New");
         },
         {"Width", "Height", "Depth", "", "New"},
         4},
        {"append and cancel",
         [](MemDataSet &d) {
             d.append();
             d.cancel();
         },
         {"Width", "Height", "Depth", ""},
         0},
        {"delete", [](MemDataSet &d) { d.deleteRecord(); }, {"Height", "Depth", ""}, 0},
        {"filter on",
         [](MemDataSet &d) {
             d.setFilter("NOMINAL > 2");
             d.setFiltered(true);
         },
         {"Width", ""},
         0},
        {"index switch",
         [](MemDataSet &d) { d.setIndexName("BYLABEL"); },
         {"Height", "Depth", "", "Width"},
         3},
        {"scroll", [](MemDataSet &d) { d.last(); }, {"Width", "Height", "Depth", ""}, 3},
        {"emptied", [](MemDataSet &d) { d.emptyDataSet(); }, {}, -1},
        {"closed", [](MemDataSet &d) { d.close(); }, {}, -1},
        {"changes under disabled controls show at the end",
         [](MemDataSet &d) {
             DisableControlsGuard quiet(d);
             d.last();
             d.deleteRecord();
         },
         {"Width", "Height", "Depth"},
         2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto ds = std::make_unique<MemDataSet>();
        ds->addField("LABEL", FieldType::String, 20);
        ds->addField("FEATURE", FieldType::String, 30);
        ds->addField("NOMINAL", FieldType::Double);
        ds->addIndex("BYLABEL", "LABEL");
        ds->createDataSet();
        for (const auto &[label, feature, nominal] :
             std::vector<std::tuple<QVariant, QVariant, QVariant>>{{"C", "Width", 3.5},
                                                                   {QVariant(), "Height", 1.0},
                                                                   {"A", "Depth", QVariant()},
                                                                   {"B", QVariant(), 12.0}}) {
            ds->append();
            ds->fieldByName("LABEL").setValue(label);
            ds->fieldByName("FEATURE").setValue(feature);
            ds->fieldByName("NOMINAL").setValue(nominal);
            ds->post();
        }
        ds->first();
        DataSetModel model(ds.get());
        c.change(*ds);
        EXPECT_EQ(Column(model, 1), c.features);
        EXPECT_EQ(model.currentRow(), c.currentRow);
    }
}

TEST(DataSetModel, SetDataEditsThroughTheSetTextHandlerAndPosts)
{
    auto ds = MakeSampleChars();
    ds->fieldByName("FEATURE").setOnSetText(
        [](Field &f, const QString &text) { f.setAsString(text.toUpper()); });
    DataSetModel model(ds.get());
    QSignalSpy rows(&model, &DataSetModel::currentRowChanged);
    ASSERT_TRUE(model.setData(model.index(2, 1), "bore"));
    EXPECT_EQ(ds->state(), DataSetState::Browse);
    EXPECT_EQ(ds->fieldByName("FEATURE").asString(), "BORE");
    EXPECT_EQ(model.currentRow(), 2);
    EXPECT_EQ(Column(model, 1), (QStringList{"Width", "Height", "BORE", ""}));
    EXPECT_FALSE(rows.isEmpty());
}

TEST(DataSetModel, SetDataThatFailsCancelsAndReports)
{
    auto ds = MakeSampleChars();
    DataSetModel model(ds.get());
    QSignalSpy errors(&model, &DataSetModel::errorOccurred);
    EXPECT_FALSE(model.setData(model.index(1, 2), "not a number"));
    EXPECT_EQ(ds->state(), DataSetState::Browse);
    ASSERT_EQ(errors.count(), 1);
    EXPECT_FALSE(errors.at(0).at(0).toString().isEmpty());
    EXPECT_EQ(Column(model, 2, Qt::EditRole), (QStringList{"3.5", "1", "", "12"}));
    EXPECT_FALSE(model.setData(model.index(9, 2), "1"));
}

TEST(DataSetModel, NamedIndexesOrderTheRows)
{
    struct Case
    {
        const char *name;
        QString fields;
        TFDSortOptions options;
        QStringList labels;
    };
    const std::vector<Case> cases = {
        {"ascending, nulls first", "LABEL", soNullFirst | soDescNullLast, {"", "A", "B", "C"}},
        {"descending, nulls last",
         "LABEL",
         soNullFirst | soDescNullLast | soDescending,
         {"C", "B", "A", ""}},
        {"ascending, nulls last", "LABEL", {}, {"A", "B", "C", ""}},
        {"descending, nulls first", "LABEL", soDescending, {"", "C", "B", "A"}},
        {"numbers as numbers", "NOMINAL", soNullFirst, {"A", "", "C", "B"}},
        {"unknown field keeps the order", "GONE", soNullFirst, {"C", "", "A", "B"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto ds = MakeSampleChars();
        DataSetModel model(ds.get());
        model.addIndex(c.fields, c.fields, c.options);
        model.setIndexName(c.fields);
        EXPECT_EQ(Column(model, 0), c.labels);
        EXPECT_EQ(ds->fieldByName("FEATURE").asString(), "Width") << "the cursor stays";
        EXPECT_EQ(Column(model, 0)[model.currentRow()], "C");
    }
}

namespace {

// Sets the program's default locale for one scope.
class DefaultLocale
{
public:
    explicit DefaultLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(m_saved); }
    DefaultLocale(const DefaultLocale &) = delete;
    DefaultLocale &operator=(const DefaultLocale &) = delete;

private:
    QLocale m_saved;
};

} // namespace

// Text sorts by the locale's collation: accents and case after the letters, not by code unit
// (which would put "Zeta" before "apple" and "Äpfel" last).
TEST(DataSetModel, TextSortsByTheLocalesCollation)
{
    const DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
    struct Case
    {
        const char *name;
        TFDSortOptions options;
        QStringList features;
    };
    const std::vector<Case> cases = {
        {"ascending", {}, {"apfel", "Apfel", "Äpfel", "apple", "banana", "Zeta"}},
        {"descending", soDescending, {"Zeta", "banana", "apple", "Äpfel", "Apfel", "apfel"}},
        // Without case the two spellings of apfel are equal and keep the data's order.
        {"without case", soNoCase, {"Apfel", "apfel", "Äpfel", "apple", "banana", "Zeta"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto ds = test::MakeChars({{"1", "Apfel", 1.0},
                                   {"2", "Zeta", 2.0},
                                   {"3", "apple", 3.0},
                                   {"4", "banana", 4.0},
                                   {"5", "Äpfel", 5.0},
                                   {"6", "apfel", 6.0}});
        DataSetModel model(ds.get());
        model.addIndex("FEATURE", "FEATURE", c.options);
        model.setIndexName("FEATURE");
        EXPECT_EQ(Column(model, 1), c.features);
    }
}

namespace {

std::unique_ptr<test::VectorDataSet> MakeVectorData()
{
    return std::make_unique<test::VectorDataSet>(
        QStringList{"NAME", "CITY"},
        std::vector<std::vector<QVariant>>{{"Ada", "Bern"}, {"Cy", QVariant()}, {"Bo", "Arles"}});
}

} // namespace

TEST(DataSetModelOtherDataSets, ReadsThroughTheInterfaceAndKeepsTheCursor)
{
    auto ds = MakeVectorData();
    ds->first();
    ds->next();
    ds->next();
    DataSetModel model(ds.get());
    EXPECT_TRUE(model.sortable());
    EXPECT_EQ(Column(model, 0), (QStringList{"Ada", "Cy", "Bo"}));
    EXPECT_EQ(ds->cursor(), 2);
    EXPECT_EQ(model.currentRow(), 2);
    EXPECT_FALSE(ds->controlsDisabled());
}

TEST(DataSetModelOtherDataSets, RefreshShowsChangesAndSortingOrdersRows)
{
    auto ds = MakeVectorData();
    DataSetModel model(ds.get());
    ds->rows()[0][0] = "Al";
    EXPECT_EQ(Column(model, 0)[0], "Al") << "values are read when a view asks for them";
    ds->rows().push_back({"Di", "Chur"});
    EXPECT_EQ(model.rowCount(), 3) << "no notifications: the owner refreshes";
    model.refresh();
    EXPECT_EQ(Column(model, 0), (QStringList{"Al", "Cy", "Bo", "Di"}));

    model.addIndex("CITY", "CITY", soNullFirst);
    model.setIndexName("CITY");
    EXPECT_EQ(Column(model, 0), (QStringList{"Cy", "Bo", "Al", "Di"}));
    EXPECT_EQ(model.currentRow(), 2) << "the first record, now last";
    ASSERT_TRUE(model.moveTo(0));
    EXPECT_EQ(ds->cursor(), 1);
}

TEST(DataSetModelOtherDataSets, SetDataEditsTheRecordOfTheRow)
{
    auto ds = MakeVectorData();
    DataSetModel model(ds.get());
    model.addIndex("NAME", "NAME", {});
    model.setIndexName("NAME");
    ASSERT_TRUE(model.setData(model.index(1, 1), "Basel")); // Bo, the third record
    EXPECT_EQ(ds->rows()[2][1].toString(), "Basel");
    EXPECT_EQ(ds->state(), DataSetState::Browse);
    EXPECT_EQ(Column(model, 1), (QStringList{"Bern", "Basel", ""}));
}
