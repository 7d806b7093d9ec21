#include <gtest/gtest.h>

#include "platform/dataset/memdataset.h"
#include "platform/error.h"

#include <cmath>
#include <functional>
#include <optional>
#include <tuple>

using tev::DataSetState;
using tev::FieldType;
using tev::MemDataSet;

namespace {

struct Row
{
    std::optional<int> id;
    QString name;
    QString group;
    std::optional<double> value;
};

// ID integer (required), NAME string 10 (required), GRP string 10, VAL double, NOTE memo.
std::unique_ptr<MemDataSet> makeDataSet(const std::vector<Row> &rows = {})
{
    auto ds = std::make_unique<MemDataSet>();
    ds->addField("ID", FieldType::Integer, 0, true);
    ds->addField("NAME", FieldType::String, 10, true);
    ds->addField("GRP", FieldType::String, 10);
    ds->addField("VAL", FieldType::Double);
    ds->addField("NOTE", FieldType::Memo);
    ds->addIndex("IDX_ID", "ID");
    ds->addIndex("IDX_GRP_ID", "GRP; ID");
    ds->addIndex("IDX_NAME", "NAME");
    ds->createDataSet();
    for (const Row &r : rows) {
        ds->append();
        if (r.id)
            ds->fieldByName("ID").setAsInteger(*r.id);
        ds->fieldByName("NAME").setAsString(r.name);
        ds->fieldByName("GRP").setAsString(r.group);
        if (r.value)
            ds->fieldByName("VAL").setAsFloat(*r.value);
        ds->post();
    }
    return ds;
}

std::vector<Row> sampleRows()
{
    return {{3, "c", "B", 1.5},
            {1, "a", "A", std::nullopt},
            {2, "b", "B", -2.0},
            {4, "d", "A", 10.0},
            {5, "it's", "", 0.0}};
}

// The NAME values of the visible records in cursor order.
QStringList names(MemDataSet &ds)
{
    QStringList result;
    for (ds.first(); !ds.eof(); ds.next())
        result << ds.fieldByName("NAME").asString();
    return result;
}

} // namespace

TEST(MemDataSetFields, TypedValuesNullsAndConversions)
{
    auto ds = makeDataSet();
    ds->append();
    auto &id = ds->fieldByName("id");
    auto &name = ds->fieldByName("NAME");
    auto &val = ds->fieldByName("VAL");
    auto &note = ds->fieldByName("NOTE");
    EXPECT_TRUE(id.isNull());
    id.setAsString(" 42 ");
    EXPECT_EQ(id.asInteger(), 42);
    name.setAsString("");
    EXPECT_TRUE(name.isNull()) << "an empty text stored in a string field reads as null";
    note.setAsString("");
    EXPECT_TRUE(note.isNull());
    val.setAsFloat(2.25);
    EXPECT_DOUBLE_EQ(val.asFloat(), 2.25);
    EXPECT_THROW(id.setAsString("abc"), tev::Error);
    EXPECT_THROW(id.setValue(1.5), tev::Error);
    EXPECT_EQ(ds->findField("nothing"), nullptr);
    EXPECT_THROW(ds->fieldByName("nothing"), tev::Error);
}

TEST(MemDataSetFields, RequiredAndSizeAreCheckedAtPost)
{
    struct Case
    {
        const char *label;
        std::optional<int> id;
        QString name;
        QString group;
        const char *message; // nullptr: the post succeeds
    };
    const Case cases[] = {
        {"all given", 1, "n", "g", nullptr},
        {"required integer missing", std::nullopt, "n", "g", "Field 'ID' must have a value"},
        {"required text empty", 1, "", "g", "Field 'NAME' must have a value"},
        {"text of exactly the size", 1, "0123456789", "g", nullptr},
        {"text over the size", 1, "n", "0123456789X", "Value of field 'GRP' is 11 characters"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        auto ds = makeDataSet();
        ds->append();
        if (c.id)
            ds->fieldByName("ID").setAsInteger(*c.id);
        ds->fieldByName("NAME").setAsString(c.name);
        ds->fieldByName("GRP").setAsString(c.group);
        if (!c.message) {
            ds->post();
            EXPECT_EQ(ds->recordCount(), 1);
            continue;
        }
        try {
            ds->post();
            ADD_FAILURE() << "post did not fail";
        } catch (const tev::Error &e) {
            EXPECT_TRUE(e.message().startsWith(QLatin1String(c.message))) << e.what();
        }
        EXPECT_EQ(ds->state(), DataSetState::Insert) << "a refused post keeps the edit";
        EXPECT_EQ(ds->recordCount(), 0);
    }
}

TEST(MemDataSetFields, DisplayPropertiesAndTextHandlers)
{
    auto ds = makeDataSet({{1, "a", "A", 1.0}});
    auto &id = ds->fieldByName("ID");
    EXPECT_EQ(id.displayLabel(), "ID");
    EXPECT_TRUE(id.visible());
    EXPECT_EQ(id.alignment(), Qt::AlignRight);
    EXPECT_EQ(ds->fieldByName("NAME").alignment(), Qt::AlignLeft);
    id.setOnGetText([](const tev::Field &f) { return QStringLiteral("#%1").arg(f.asInteger()); });
    id.setOnSetText([](tev::Field &f, const QString &t) { f.setAsInteger(t.mid(1).toInt()); });
    ds->first();
    EXPECT_EQ(id.displayText(), "#1");
    ds->edit();
    id.setText("#7");
    EXPECT_EQ(id.asInteger(), 7);
    EXPECT_EQ(ds->fieldByName("NAME").displayText(), "a");
}

TEST(MemDataSetStates, EditAppendPostCancelDelete)
{
    auto ds = makeDataSet(sampleRows());
    int afterPost = 0;
    ds->setAfterPost([&](MemDataSet &) { ++afterPost; });
    ds->setIndexName("IDX_ID");
    ds->first();
    ds->edit();
    ds->fieldByName("NAME").setAsString("x");
    ds->edit(); // a second edit does nothing: the buffer stays
    EXPECT_EQ(ds->fieldByName("NAME").asString(), "x") << "reads see the edit buffer";
    ds->cancel();
    EXPECT_EQ(ds->fieldByName("NAME").asString(), "a");
    EXPECT_EQ(afterPost, 0);

    ds->edit();
    ds->fieldByName("NAME").setAsString("x");
    ds->post();
    EXPECT_EQ(afterPost, 1);
    EXPECT_EQ(ds->state(), DataSetState::Browse);
    EXPECT_EQ(ds->fieldByName("NAME").asString(), "x");

    ds->append();
    EXPECT_TRUE(ds->fieldByName("ID").isNull());
    ds->cancel();
    EXPECT_EQ(ds->recordCount(), 5);

    ds->first();
    ds->deleteRecord();
    EXPECT_EQ(ds->recordCount(), 4);
    EXPECT_EQ(ds->fieldByName("ID").asInteger(), 2) << "the next record becomes current";
    ds->last();
    ds->deleteRecord();
    EXPECT_EQ(ds->fieldByName("ID").asInteger(), 4) << "after the last, the one before";
    EXPECT_THROW(ds->fieldByName("ID").setAsInteger(1), tev::Error) << "not in edit state";

    ds->emptyDataSet();
    EXPECT_EQ(ds->recordCount(), 0);
    EXPECT_THROW(ds->deleteRecord(), tev::Error);
    ds->edit(); // edit of an empty dataset appends
    EXPECT_EQ(ds->state(), DataSetState::Insert);
}

TEST(MemDataSetStates, PendingEditIsPostedBeforeTheseOperations)
{
    using Op = std::function<void(MemDataSet &)>;
    const std::vector<std::pair<const char *, Op>> ops = {
        {"next", [](MemDataSet &d) { d.next(); }},
        {"first", [](MemDataSet &d) { d.first(); }},
        {"last", [](MemDataSet &d) { d.last(); }},
        {"locate", [](MemDataSet &d) { d.locate("NAME", {"c"}); }},
        {"index change", [](MemDataSet &d) { d.setIndexName("IDX_NAME"); }},
        {"filter text", [](MemDataSet &d) { d.setFilter("ID > 0"); }},
        {"filter switch", [](MemDataSet &d) { d.setFiltered(true); }},
        {"append", [](MemDataSet &d) { d.append(); }},
    };
    for (const auto &[label, op] : ops) {
        SCOPED_TRACE(label);
        auto ds = makeDataSet(sampleRows());
        int posts = 0;
        ds->setAfterPost([&](MemDataSet &) { ++posts; });
        ds->setIndexName("IDX_ID");
        ds->first();
        ds->edit();
        ds->fieldByName("VAL").setAsFloat(99);
        op(*ds);
        EXPECT_EQ(posts, 1);
        ASSERT_TRUE(ds->locate("ID", {1}));
        EXPECT_DOUBLE_EQ(ds->fieldByName("VAL").asFloat(), 99);
    }
    // Emptying posts too (the post fires), then deletes everything.
    auto ds = makeDataSet(sampleRows());
    int posts = 0;
    ds->setAfterPost([&](MemDataSet &) { ++posts; });
    ds->edit();
    ds->fieldByName("VAL").setAsFloat(1);
    ds->emptyDataSet();
    EXPECT_EQ(posts, 1);
}

TEST(MemDataSetCursor, BofAndEofAsTheDataLayerSetsThem)
{
    struct Case
    {
        const char *label;
        int records;
        std::vector<std::string> steps;
        bool bof;
        bool eof;
        int id; // current ID, 0 for none
    };
    const Case cases[] = {
        {"empty after first", 0, {"first"}, true, true, 0},
        {"empty after next", 0, {"next"}, true, true, 0},
        {"first", 3, {"first"}, true, false, 1},
        {"first, next", 3, {"first", "next"}, false, false, 2},
        {"next past the end stays on the last", 3, {"last", "next"}, false, true, 3},
        {"last", 3, {"last"}, false, true, 3},
        {"prior before the start stays on the first", 3, {"first", "prior"}, true, false, 1},
        {"last, prior", 3, {"last", "prior"}, false, false, 2},
        {"one record: first, next", 1, {"first", "next"}, false, true, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<Row> rows;
        for (int i = 1; i <= c.records; ++i)
            rows.push_back({i, QString::number(i), "", std::nullopt});
        auto ds = makeDataSet(rows);
        ds->setIndexName("IDX_ID");
        for (const std::string &s : c.steps) {
            if (s == "first")
                ds->first();
            else if (s == "next")
                ds->next();
            else if (s == "prior")
                ds->prior();
            else
                ds->last();
        }
        EXPECT_EQ(ds->bof(), c.bof);
        EXPECT_EQ(ds->eof(), c.eof);
        EXPECT_EQ(ds->fieldByName("ID").asInteger(), c.id);
    }
}

TEST(MemDataSetCursor, ControlsAreQuietWhileDisabledWithNesting)
{
    auto ds = makeDataSet(sampleRows());
    int notifications = 0;
    ds->addObserver([&](MemDataSet::Notification) { ++notifications; });
    ds->disableControls();
    ds->disableControls();
    ds->first();
    ds->next();
    ds->enableControls();
    EXPECT_EQ(notifications, 0);
    EXPECT_TRUE(ds->controlsDisabled());
    ds->enableControls();
    EXPECT_EQ(notifications, 1) << "one refresh when the last disable ends";
    ds->next();
    EXPECT_EQ(notifications, 2);
    {
        tev::DisableControlsGuard guard(*ds);
        ds->next();
    }
    EXPECT_EQ(notifications, 3);
}

TEST(MemDataSetCursor, EnablingControlsTellsWhatHappenedMeanwhile)
{
    using N = MemDataSet::Notification;
    const struct
    {
        const char *what;
        std::function<void(MemDataSet &)> change;
        std::vector<N> heard;
    } cases[] = {
        {"nothing", [](MemDataSet &) {}, {}},
        {"a move", [](MemDataSet &ds) { ds.next(); }, {N::Scrolled}},
        {"an edit",
         [](MemDataSet &ds) {
             ds.edit();
             ds.fieldByName("VAL").setAsFloat(7);
             ds.post();
         },
         {N::DataChanged}},
        {"a move and an append",
         [](MemDataSet &ds) {
             ds.next();
             ds.append();
             ds.fieldByName("ID").setAsInteger(9);
             ds.fieldByName("NAME").setAsString("z");
             ds.post();
         },
         {N::DataChanged}},
    };
    for (const auto &c : cases) {
        auto ds = makeDataSet(sampleRows());
        ds->first();
        std::vector<N> heard;
        ds->addObserver([&](N n) { heard.push_back(n); });
        {
            const tev::DisableControlsGuard quiet(*ds);
            c.change(*ds);
        }
        EXPECT_EQ(heard, c.heard) << c.what;
    }
}

TEST(MemDataSetKeys, ARecordIsReadByItsKeyWithoutMovingTheCursor)
{
    auto ds = makeDataSet(sampleRows());
    ds->setIndexName("IDX_ID");
    const std::vector<tev::DataSet::RecordKey> keys = ds->recordKeys();
    ASSERT_EQ(keys.size(), 5U);
    auto nameOf = [&](tev::DataSet::RecordKey key) {
        const tev::ReadRecordScope read(*ds, key);
        return ds->fieldByName("NAME").asString();
    };
    ds->first();
    ds->next(); // "b"
    int notifications = 0;
    ds->addObserver([&](MemDataSet::Notification) { ++notifications; });
    QStringList read;
    for (const auto key : keys)
        read << nameOf(key);
    EXPECT_EQ(read, QStringList({"a", "b", "c", "d", "it's"})) << "in the cursor's order";
    EXPECT_EQ(ds->fieldByName("NAME").asString(), "b");
    EXPECT_EQ(ds->currentKey(), keys[1]);
    EXPECT_EQ(notifications, 0);

    // The record being edited reads its edit buffer; the others their stored values.
    ds->edit();
    ds->fieldByName("NAME").setAsString("bb");
    EXPECT_EQ(nameOf(keys[1]), "bb");
    EXPECT_EQ(nameOf(keys[2]), "c");
    EXPECT_EQ(ds->fieldByName("NAME").asString(), "bb") << "the scope's end restores the fields";
    ds->cancel();

    ds->gotoKey(keys[3]);
    EXPECT_EQ(ds->fieldByName("NAME").asString(), "d");
    ds->deleteRecord();
    EXPECT_TRUE(ds->recordKeys() ==
                (std::vector<tev::DataSet::RecordKey>{keys[0], keys[1], keys[2], keys[4]}));
    {
        const tev::ReadRecordScope read(*ds, keys[3]);
        EXPECT_TRUE(ds->fieldByName("NAME").isNull()) << "a gone record reads as nulls";
    }
}

TEST(MemDataSetIndexes, OrderSwitchingAndPostedRecordsMoving)
{
    auto ds = makeDataSet(sampleRows());
    EXPECT_EQ(names(*ds), QStringList({"c", "a", "b", "d", "it's"})) << "order of insertion";
    ds->setIndexName("IDX_GRP_ID");
    EXPECT_EQ(names(*ds), QStringList({"it's", "a", "d", "b", "c"})) << "null group first";
    ds->setIndexName("IDX_ID");
    EXPECT_EQ(names(*ds), QStringList({"a", "b", "c", "d", "it's"}));
    EXPECT_THROW(ds->setIndexName("IDX_NONE"), tev::Error);
    EXPECT_EQ(ds->indexName(), "IDX_ID");

    // A posted record moves to its place and stays current.
    ds->first();
    ds->edit();
    ds->fieldByName("ID").setAsInteger(10);
    ds->post();
    EXPECT_EQ(ds->fieldByName("NAME").asString(), "a");
    EXPECT_EQ(names(*ds), QStringList({"b", "c", "d", "it's", "a"}));

    // The current record stays current across an index switch.
    ASSERT_TRUE(ds->locate("NAME", {"d"}));
    ds->setIndexName("IDX_NAME");
    EXPECT_EQ(ds->fieldByName("NAME").asString(), "d");

    // Key lookup on the active index.
    ds->setIndexName("IDX_GRP_ID");
    EXPECT_TRUE(ds->findKey({"B"}));
    EXPECT_EQ(ds->fieldByName("NAME").asString(), "b");
    EXPECT_TRUE(ds->findKey({"B", 3}));
    EXPECT_EQ(ds->fieldByName("NAME").asString(), "c");
    EXPECT_FALSE(ds->findKey({"C"}));
    EXPECT_EQ(ds->fieldByName("NAME").asString(), "c");
}

TEST(MemDataSetFilters, Expressions)
{
    struct Case
    {
        const char *filter;
        QStringList visible; // in ID order
    };
    const Case cases[] = {
        {"GRP = 'B'", {"b", "c"}},
        {"NAME = 'it''s'", {"it's"}},
        {"ID > 3", {"d", "it's"}},
        {"ID >= 3", {"c", "d", "it's"}},
        {"ID < 2", {"a"}},
        {"ID <= 2", {"a", "b"}},
        {"ID <> 2", {"a", "c", "d", "it's"}},
        {"VAL > 1.2", {"c", "d"}},
        {"VAL = -2", {"b"}},
        {"VAL <> 1.5", {"b", "d", "it's"}}, // null compares false, also with <>
        {"GRP = ''", {}},                   // the empty text is null in a string field
        {"(GRP = 'A') or (GRP = 'B') and ID > 2", {"a", "c", "d"}},
        {"((GRP = 'A') or (GRP = 'B')) and (ID > 2)", {"c", "d"}},
        {"not (GRP = 'A')", {"b", "c", "it's"}},
        {"(ID = 3 ) or (ID = 4)", {"c", "d"}},
        {"grp = 'B' AND [ID] = 2", {"b"}},
        {"ID = '4'", {"d"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.filter);
        auto ds = makeDataSet(sampleRows());
        ds->setIndexName("IDX_ID");
        ds->setFilter(c.filter);
        EXPECT_EQ(names(*ds).size(), 5) << "the text alone does not filter";
        ds->setFiltered(true);
        EXPECT_EQ(names(*ds), c.visible);
        EXPECT_EQ(ds->recordCount(), c.visible.size());
    }
}

TEST(MemDataSetFilters, BadExpressionsAreRefusedWithTheirPosition)
{
    const std::pair<const char *, const char *> cases[] = {
        {"GRP = ", "operand expected at the end"},
        {"(GRP = 'A'", "')' expected (to close '(' at position 1)"},
        {"NOPE = 1", "unknown field 'NOPE'"},
        {"GRP = 'A", "unterminated text constant"},
        {"ID = 'x'", "'x' is not a number"},
        {"GRP", "comparison operator expected"},
        {"ID = 1 ID", "unexpected 'ID'"},
    };
    for (const auto &[text, message] : cases) {
        SCOPED_TRACE(text);
        auto ds = makeDataSet(sampleRows());
        ds->setFilter("ID = 1");
        ds->setFiltered(true);
        try {
            ds->setFilter(text);
            ADD_FAILURE() << "accepted";
        } catch (const tev::Error &e) {
            EXPECT_TRUE(e.message().contains(QLatin1String(message))) << e.what();
        }
        EXPECT_EQ(ds->filter(), "ID = 1") << "the old filter stays";
        EXPECT_EQ(ds->recordCount(), 1);
    }
}

TEST(MemDataSetFilters, RecordThatStopsMatchingLeavesTheView)
{
    auto ds = makeDataSet(sampleRows());
    ds->setIndexName("IDX_ID");
    ds->setFilter("GRP = 'B'");
    ds->setFiltered(true);
    ds->first();
    EXPECT_EQ(ds->fieldByName("NAME").asString(), "b");
    ds->edit();
    ds->fieldByName("GRP").setAsString("A");
    ds->post();
    EXPECT_EQ(ds->recordCount(), 1);
    EXPECT_EQ(ds->fieldByName("NAME").asString(), "c") << "the cursor moves on";
    ds->edit();
    ds->fieldByName("GRP").setAsString("A");
    ds->post();
    EXPECT_EQ(ds->recordCount(), 0);
    EXPECT_TRUE(ds->eof());
    EXPECT_TRUE(ds->fieldByName("NAME").isNull());
    ds->setFiltered(false);
    EXPECT_EQ(ds->recordCount(), 5);
    EXPECT_EQ(ds->filter(), "GRP = 'B'") << "the text stays when filtering is off";
}

TEST(MemDataSetLocate, OneToThreeFieldsHonouringTheFilter)
{
    struct Case
    {
        const char *label;
        const char *index;
        const char *filter;
        const char *fields;
        QVariantList values;
        const char *found; // nullptr: not found
    };
    const Case cases[] = {
        {"one field", "", "", "NAME", {"b"}, "b"},
        {"two fields", "", "", "GRP;ID", {"B", 3}, "c"},
        {"three fields", "", "", "GRP; ID; NAME", {"A", 4, "d"}, "d"},
        {"case-sensitive", "", "", "NAME", {"B"}, nullptr},
        {"number as text", "", "", "ID", {"2"}, "b"},
        {"null matches an empty text", "", "", "GRP", {""}, "it's"},
        {"first in the active order", "IDX_ID", "", "GRP", {"B"}, "b"},
        {"first in another order", "IDX_NAME", "", "GRP", {"A"}, "a"},
        {"through the active index", "IDX_GRP_ID", "", "GRP", {"B"}, "b"},
        {"hidden by the filter", "IDX_ID", "ID > 2", "NAME", {"b"}, nullptr},
        {"filter on the index path", "IDX_GRP_ID", "ID > 2", "GRP", {"B"}, "c"},
        {"filter on the hash path", "IDX_ID", "ID > 2", "GRP", {"A"}, "d"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        auto ds = makeDataSet(sampleRows());
        ds->setIndexName(c.index);
        if (*c.filter) {
            ds->setFilter(c.filter);
            ds->setFiltered(true);
        }
        ds->last();
        const QString before = ds->fieldByName("NAME").asString();
        EXPECT_EQ(ds->locate(c.fields, c.values), c.found != nullptr);
        EXPECT_EQ(ds->fieldByName("NAME").asString(), c.found ? QString(c.found) : before);
    }
    auto ds = makeDataSet(sampleRows());
    EXPECT_THROW(ds->locate("ID;NAME;GRP;VAL", {1, "a", "A", 1}), tev::Error);
    EXPECT_THROW(ds->locate("ID", {1, 2}), tev::Error);
}

TEST(MemDataSetLocate, HashLookupFollowsPostsAndDeletes)
{
    auto ds = makeDataSet(sampleRows());
    ASSERT_TRUE(ds->locate("GRP;NAME", {"B", "b"}));
    ds->edit();
    ds->fieldByName("NAME").setAsString("bb");
    ds->post();
    EXPECT_FALSE(ds->locate("GRP;NAME", {"B", "b"}));
    EXPECT_TRUE(ds->locate("GRP;NAME", {"B", "bb"}));
    ds->deleteRecord();
    EXPECT_FALSE(ds->locate("GRP;NAME", {"B", "bb"}));
    ds->append();
    ds->fieldByName("ID").setAsInteger(9);
    ds->fieldByName("NAME").setAsString("n");
    ds->fieldByName("GRP").setAsString("B");
    ds->post();
    ds->first();
    EXPECT_TRUE(ds->locate("GRP;NAME", {"B", "n"}));
    EXPECT_EQ(ds->fieldByName("ID").asInteger(), 9);
    ds->emptyDataSet();
    EXPECT_FALSE(ds->locate("GRP;NAME", {"B", "n"}));
}

TEST(MemDataSetBookmarks, ValidityAndReturn)
{
    auto ds = makeDataSet(sampleRows());
    ASSERT_TRUE(ds->locate("NAME", {"b"}));
    const auto mark = ds->bookmark();
    ds->first();
    EXPECT_TRUE(ds->bookmarkValid(mark));
    ds->gotoBookmark(mark);
    EXPECT_EQ(ds->fieldByName("NAME").asString(), "b");
    ds->setFilter("NAME <> 'b'");
    ds->setFiltered(true);
    EXPECT_FALSE(ds->bookmarkValid(mark)) << "hidden by the filter";
    EXPECT_THROW(ds->gotoBookmark(mark), tev::Error);
    ds->setFiltered(false);
    ds->gotoBookmark(mark);
    ds->deleteRecord();
    EXPECT_FALSE(ds->bookmarkValid(mark));
    EXPECT_FALSE(ds->bookmarkValid(0));
}

TEST(MemDataSetChangeLog, CancelUpdatesRestoresAndMergeKeeps)
{
    struct Case
    {
        const char *label;
        std::function<void(MemDataSet &)> change;
        int changeCount;
    };
    auto setVal = [](MemDataSet &d, const char *name, double v) {
        ASSERT_TRUE(d.locate("NAME", {name}));
        d.edit();
        d.fieldByName("VAL").setAsFloat(v);
        d.post();
    };
    const Case cases[] = {
        {"one edit", [&](MemDataSet &d) { setVal(d, "a", 7); }, 1},
        {"two edits of one record",
         [&](MemDataSet &d) {
             setVal(d, "a", 7);
             setVal(d, "a", 8);
         },
         1},
        {"edits of two records",
         [&](MemDataSet &d) {
             setVal(d, "a", 7);
             setVal(d, "b", 8);
         },
         2},
        {"append",
         [](MemDataSet &d) {
             d.append();
             d.fieldByName("ID").setAsInteger(6);
             d.fieldByName("NAME").setAsString("f");
             d.post();
         },
         1},
        {"edit, then delete",
         [&](MemDataSet &d) {
             setVal(d, "c", 0);
             d.deleteRecord();
         },
         1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        auto ds = makeDataSet(sampleRows());
        ds->setIndexName("IDX_ID");
        auto snapshot = [&]() {
            QStringList s;
            for (ds->first(); !ds->eof(); ds->next())
                s << ds->fieldByName("NAME").asString() + "=" + ds->fieldByName("VAL").asString();
            return s;
        };
        const QStringList before = snapshot();
        EXPECT_EQ(ds->changeCount(), 0) << "the log is off";
        c.change(*ds);
        EXPECT_EQ(ds->changeCount(), 0);
        ds->cancelUpdates();
        EXPECT_NE(snapshot(), before) << "nothing was logged to undo";

        ds = makeDataSet(sampleRows());
        ds->setIndexName("IDX_ID");
        ds->setLogChanges(true);
        c.change(*ds);
        EXPECT_EQ(ds->changeCount(), c.changeCount);
        const QStringList changed = snapshot();
        ds->cancelUpdates();
        EXPECT_EQ(ds->changeCount(), 0);
        EXPECT_EQ(snapshot(), before);
        EXPECT_TRUE(ds->locate("NAME", {"c"})) << "locate still finds restored records";

        c.change(*ds);
        ds->mergeChangeLog();
        EXPECT_EQ(ds->changeCount(), 0);
        ds->cancelUpdates();
        EXPECT_EQ(snapshot(), changed);
    }
}
