#pragma once

// The values of one record of the in-memory dataset, each stored as its field's type: an integer
// in four bytes, a float in eight, a text as eight bytes that place it in the dataset's text
// store, and only a memo (which may hold deferred text, deferredtext.h) as a variant. A record of
// a large routine takes a quarter of the room of a variant per field, and records compare field
// by field without conversions.
//
// The layout (where each field lives in a record's block) is made once per dataset opening from
// the field types. A null integer or float is a bit of the block; a null text is a text of no
// place. The text store only grows: a text that many records share (a project name, a group) is
// stored once when it comes as one shared string, an unchanged text is never stored again, and
// a changed one leaves its old characters behind until the dataset is emptied or closed.

#include "platform/dataset/field.h"

#include <QHash>
#include <QString>
#include <QStringView>
#include <QVariant>
#include <cstddef>
#include <memory>
#include <vector>

namespace tev {

// The characters of the texts of a dataset's records, one after another.
class TextStore
{
public:
    static constexpr quint32 kNull = 0xffffffffu;
    struct Place
    {
        quint32 offset = 0;
        quint32 length = kNull;
    };

    QStringView view(Place place) const
    {
        return QStringView(m_chars.data() + place.offset, qsizetype(place.length));
    }
    // Stores a text of a field; a text that is the very string stored last for that field
    // (shared, as a reader hands out one string for a repeated value) is not stored again.
    Place store(int field, const QString &text);
    void clear();

private:
    struct Recent
    {
        QString text; // keeps the string alive, so its address names it
        Place place;
    };
    std::vector<char16_t> m_chars;
    std::vector<QHash<const void *, Recent>> m_recent;
};

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
    TextStore &texts() const { return *m_texts; }

private:
    std::vector<Slot> m_slots;
    size_t m_bytes = 0;
    std::unique_ptr<TextStore> m_texts = std::make_unique<TextStore>();
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
    // Appends an integer or text value as text (nothing for null); false for other kinds.
    bool appendText(int index, QString &out) const;
    // The value's hash as KeyHash gives it for the value as a variant.
    size_t keyHash(int index, size_t seed) const;

private:
    void destroy();
    void copyFrom(const RecordValues &other);

    const RecordLayout *m_layout = nullptr;
    std::byte *m_data = nullptr;
};

// Order of two values of the dataset: null first; numbers by value; texts case-sensitively.
int CompareValues(const QVariant &a, const QVariant &b);
// A hash of a value of the dataset for a key of several fields.
size_t KeyHash(const QVariant &value, size_t seed);

} // namespace tev
