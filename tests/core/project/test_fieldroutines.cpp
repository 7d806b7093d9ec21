#include <gtest/gtest.h>

#include "core/lib/fieldroutines.h"
#include "core/lib/numbers.h"
#include "core/lib/qstringprinter.h"
#include "platform/dataset/memdataset.h"
#include "platform/error.h"

#include <cmath>
#include <limits>

using namespace tev;

namespace {

std::unique_ptr<MemDataSet> makeDataSet(const QStringList &extra = {})
{
    auto ds = std::make_unique<MemDataSet>();
    ds->addField("ID", FieldType::Integer);
    ds->addField("X", FieldType::Double);
    ds->addField("NAME", FieldType::String, 20);
    for (const QString &name : extra)
        ds->addField(name, FieldType::String, 20);
    ds->createDataSet();
    return ds;
}

} // namespace

TEST(FieldRoutines, MissingValuesAreNullFields)
{
    auto ds = makeDataSet();
    ds->append();
    Field &x = ds->fieldByName("X");
    SetFieldDouble(nullptr, 1.0);
    EXPECT_TRUE(std::isnan(GetFieldDouble(nullptr, 2)));

    const std::tuple<const char *, double, bool, QString> cases[] = {
        {"value", 2.375, false, "2.38"},
        {"NaN", NaN, true, ""},
        {"infinity", std::numeric_limits<double>::infinity(), true, ""},
        {"negative", -1.5, false, "-1.50"},
    };
    for (const auto &[label, value, null, text] : cases) {
        SCOPED_TRACE(label);
        x.setAsFloat(7);
        SetFieldDouble(&x, value);
        EXPECT_EQ(x.isNull(), null);
        EXPECT_EQ(FieldToDoubleStr(x, 2, QLatin1Char('.')), text);
        if (null)
            EXPECT_TRUE(std::isnan(GetFieldDouble(&x, 2)));
        else
            EXPECT_DOUBLE_EQ(GetFieldDouble(&x, 2), text.toDouble());
    }
    x.setAsFloat(1.5);
    EXPECT_EQ(FieldToDoubleStr(x, 2, QLatin1Char(',')), "1,50");
}

TEST(FieldRoutines, EditStateHelpers)
{
    auto ds = makeDataSet();
    int posts = 0;
    ds->setAfterPost([&](MemDataSet &) { ++posts; });
    ds->append();
    ds->fieldByName("ID").setAsInteger(1);
    EnsureEditState(*ds);
    EXPECT_EQ(ds->state(), DataSetState::Insert) << "an insert stays an insert";
    EXPECT_EQ(ds->fieldByName("ID").asInteger(), 1);
    PostIfEditing(*ds);
    EXPECT_EQ(posts, 1);
    PostIfEditing(*ds);
    EXPECT_EQ(posts, 1) << "nothing to post in browse state";
    EnsureEditState(*ds);
    EXPECT_EQ(ds->state(), DataSetState::Edit);
    MemDataSet closed;
    closed.addField("A", FieldType::Integer);
    EXPECT_THROW(EnsureEditState(closed), Error) << "the data layer's error passes on";
}

TEST(FieldRoutines, CopyFieldValuesBySameName)
{
    auto source = makeDataSet({"ONLY_SOURCE"});
    source->append();
    source->fieldByName("ID").setAsInteger(5);
    source->fieldByName("NAME").setAsString("n");
    source->fieldByName("ONLY_SOURCE").setAsString("s");
    source->post();

    MemDataSet dest;
    dest.addField("NAME", FieldType::String, 20);
    dest.addField("X", FieldType::Double);
    dest.addField("ID", FieldType::String, 10);
    dest.addField("ONLY_DEST", FieldType::Integer);
    dest.createDataSet();
    dest.append();
    dest.fieldByName("X").setAsFloat(3);
    dest.fieldByName("ONLY_DEST").setAsInteger(9);
    dest.post();

    CopyFieldValues(*source, dest);
    EXPECT_EQ(dest.fieldByName("NAME").asString(), "") << "browse state: nothing changes";

    dest.edit();
    CopyFieldValues(*source, dest);
    dest.post();
    EXPECT_EQ(dest.fieldByName("NAME").asString(), "n");
    EXPECT_TRUE(dest.fieldByName("X").isNull()) << "a null is copied too";
    EXPECT_EQ(dest.fieldByName("ID").asString(), "5") << "any type";
    EXPECT_EQ(dest.fieldByName("ONLY_DEST").asInteger(), 9);

    source->close();
    dest.edit();
    dest.fieldByName("NAME").setAsString("kept");
    CopyFieldValues(*source, dest);
    EXPECT_EQ(dest.fieldByName("NAME").asString(), "kept") << "a closed source copies nothing";
}
