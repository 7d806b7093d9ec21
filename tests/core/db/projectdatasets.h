#pragma once

#include "platform/dataset/memdataset.h"

#include <memory>

namespace tev::test {

// The project's header and characteristic datasets with the fields the database stores and the
// ones only in memory, as the project model builds them.
std::unique_ptr<MemDataSet> MakeHeaderDataSet();
std::unique_ptr<MemDataSet> MakeCharsDataSet();

// Appends a characteristic record; NOMINAL is the given value (NaN for none).
void AddChar(MemDataSet &chars, int charId, const QString &label, const QString &refFileName,
             double nominal, int active = 1);

} // namespace tev::test
