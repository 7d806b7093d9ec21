#pragma once

// The values of one record of the in-memory dataset, each stored as its field's type: an integer
// in four bytes, a float in eight, a text as the text itself, and only a memo (which may hold
// deferred text, deferredtext.h) as a variant. A record of a large routine takes less than half
// the room of a variant per field, and records compare field by field without conversions.
//
// The layout (where each field lives in a record's block) is made once per dataset opening from
// the field types. A null integer or float is a bit of the block; a null text is the null text,
// which is what the fields store for an empty one.

#include "platform/dataset/field.h"

#include <QString>
#include <QVariant>
#include <cstddef>
#include <vector>

namespace tev {

class RecordLayout
{
public:
    enum class Kind : quint8 { Integer, Double, Text, Variant };
    struct Slot
    {
        Kind kind;
        quint32 offset;
        quint32 nullBit; // Integer and Double
    };

    explicit RecordLayout(const std::vector<FieldType> &types);

    int count() const { return int(m_slots.size()); }
    const Slot &slot(int index) const { return m_slots[size_t(index)]; }
    size_t bytes() const { return m_bytes; }

private:
    std::vector<Slot> m_slots;
    size_t m_bytes = 0;
};

class RecordValues
{
public:
    RecordValues() = default;
    // All null.
    explicit RecordValues(const RecordLayout &layout);
    // From a record buffer of converted values (what Field::convert gives, or deferred text).
    RecordValues(const RecordLayout &layout, const std::vector<QVariant> &values);
    RecordValues(const RecordValues &other);
    RecordValues &operator=(const RecordValues &other);
    RecordValues(RecordValues &&other) noexcept;
    RecordValues &operator=(RecordValues &&other) noexcept;
    ~RecordValues();

    // The value as a variant (deferred text stays deferred); invalid for null.
    QVariant get(int index) const;
    void set(int index, const QVariant &value);
    void assign(const std::vector<QVariant> &values);
    std::vector<QVariant> toVector() const;

    // Order of the two records' values of one field: null first, then by value.
    int compare(int index, const RecordValues &other) const;

private:
    void destroy();
    void copyFrom(const RecordValues &other);

    const RecordLayout *m_layout = nullptr;
    std::byte *m_data = nullptr;
};

// Order of two values of the dataset: null first; numbers by value; texts case-sensitively.
int CompareValues(const QVariant &a, const QVariant &b);

} // namespace tev
