#pragma once

#include "platform/dataset/memdataset.h"

#include <QVariant>
#include <memory>
#include <vector>

namespace tev::test {

struct CharRow
{
    QVariant label;
    QVariant feature;
    QVariant nominal;
};

// A characteristic-like dataset: LABEL, FEATURE (text) and NOMINAL (number), rows in this order.
inline std::unique_ptr<MemDataSet> MakeChars(const std::vector<CharRow> &rows)
{
    auto ds = std::make_unique<MemDataSet>();
    ds->addField("LABEL", FieldType::String, 20);
    ds->addField("FEATURE", FieldType::String, 30);
    ds->addField("NOMINAL", FieldType::Double);
    ds->createDataSet();
    for (const CharRow &row : rows) {
        ds->append();
        ds->fieldByName("LABEL").setValue(row.label);
        ds->fieldByName("FEATURE").setValue(row.feature);
        ds->fieldByName("NOMINAL").setValue(row.nominal);
        ds->post();
    }
    ds->first();
    return ds;
}

inline std::unique_ptr<MemDataSet> MakeSampleChars()
{
    return MakeChars({{"C", "Width", 3.5},
                      {QVariant(), "Height", 1.0},
                      {"A", "Depth", QVariant()},
                      {"B", QVariant(), 12.0}});
}

} // namespace tev::test
