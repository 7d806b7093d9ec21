#pragma once

#include <QString>
#include <utility>
#include <vector>

namespace tev {

class DataSet;
class Field;

// The field-merge routine of the data module, with its field pairs found once: a propagation or a
// load merges thousands of records between the same two datasets, and finding each field by name
// for every record costs more than the merge.
//
// Merge carries every field value of Src's current record that differs from the same-named field
// of Dst's record being edited into it (floats compared at the given decimals, a NULL float equal
// to nothing; other values equal when both are NULL, equal, or equal as text), skipping the
// ignored names (a ";"-separated list, without regard to case). The record's STATE, else its
// TEMPSTATE, receives the bits of what differed, which are also or-ed into Bits.
class FieldMerge
{
public:
    FieldMerge(const DataSet &Src, DataSet &Dst, const QString &IgnoreFields);
    void Merge(int Bit, int &Bits, int Decimals) const;

private:
    struct Pair
    {
        const Field *src;
        Field *dst;
    };
    std::vector<Pair> m_pairs;
    Field *m_state = nullptr;
};

// CopyFieldValues with its field pairs found once: every field of Dest's record being edited
// takes the value of Src's same-named field, for record after record.
class FieldCopy
{
public:
    FieldCopy(const DataSet &Src, DataSet &Dst);
    void Copy() const;

private:
    std::vector<std::pair<const Field *, Field *>> m_pairs;
};

} // namespace tev
