#include <gtest/gtest.h>

#include "platform/dataset/deferredtext.h"
#include "platform/dataset/memdataset.h"
#include "platform/error.h"

using namespace tev;

namespace {

// Entry n reads "text n"; counts how often a text is built.
class NumberedText : public DeferredTextSource
{
public:
    QString text(quint32 row, quint32 extra) const override
    {
        ++built;
        return QStringLiteral("text %1").arg(row + extra);
    }
    mutable int built = 0;
};

struct Fixture
{
    MemDataSet ds;
    std::shared_ptr<NumberedText> source = std::make_shared<NumberedText>();

    Fixture()
    {
        ds.addField("ID", FieldType::Integer, 0, true);
        ds.addField("NOTE", FieldType::Memo);
        ds.addIndex("IDX_NOTE", "NOTE");
        ds.createDataSet();
        for (quint32 i : {3u, 1u, 2u}) {
            ds.append();
            ds.fieldByName("ID").setAsInteger(int(i));
            ds.setCurrentDeferred(1, DeferredText{source, i, 0});
            ds.post();
        }
    }
};

} // namespace

// A record's deferred text reads, sorts, filters and locates as the text it stands for, and
// stays deferred until a value is stored through the field.
TEST(DeferredText, ReadsSortsFiltersAndLocatesAsItsText)
{
    Fixture f;
    Field &note = f.ds.fieldByName("NOTE");
    f.ds.setIndexName("IDX_NOTE");
    QStringList order;
    for (f.ds.first(); !f.ds.eof(); f.ds.next())
        order << note.asString();
    EXPECT_EQ(order, QStringList({"text 1", "text 2", "text 3"}));

    ASSERT_TRUE(f.ds.locate("NOTE", {QStringLiteral("text 2")}));
    EXPECT_EQ(f.ds.fieldByName("ID").asInteger(), 2);
    EXPECT_TRUE(IsDeferredText(f.ds.storedValue(1)));

    f.ds.setFilter("NOTE = 'text 3'");
    f.ds.setFiltered(true);
    EXPECT_EQ(f.ds.recordCount(), 1);
    EXPECT_EQ(f.ds.fieldByName("ID").asInteger(), 3);
    f.ds.setFiltered(false);

    f.ds.locate("ID", {1});
    f.ds.edit();
    note.setAsString("plain");
    f.ds.post();
    EXPECT_FALSE(IsDeferredText(f.ds.storedValue(1)));
    EXPECT_EQ(note.asString(), "plain");
}

// Cancelling logged changes gives the record its deferred text back, and a memo holds nothing
// else: deferred text in another field is refused.
TEST(DeferredText, ChangeLogRestoresItAndOnlyMemosTakeIt)
{
    Fixture f;
    f.ds.setLogChanges(true);
    f.ds.locate("ID", {2});
    f.ds.edit();
    f.ds.fieldByName("NOTE").clear();
    f.ds.post();
    EXPECT_TRUE(f.ds.fieldByName("NOTE").isNull());
    f.ds.cancelUpdates();
    f.ds.locate("ID", {2});
    EXPECT_EQ(f.ds.fieldByName("NOTE").asString(), "text 2");

    f.ds.edit();
    EXPECT_THROW(f.ds.setCurrentDeferred(0, DeferredText{f.source, 0, 0}), Error);
    f.ds.cancel();
}
