#include "platform/dataset/recordvalues.h"

#include "platform/dataset/deferredtext.h"
#include "platform/error.h"

#include <algorithm>
#include <new>

namespace tev {

namespace {

constexpr size_t align8(size_t n)
{
    return (n + 7) & ~size_t(7);
}

template <typename T> T *at(std::byte *data, quint32 offset)
{
    return std::launder(reinterpret_cast<T *>(data + offset));
}

template <typename T> const T *at(const std::byte *data, quint32 offset)
{
    return std::launder(reinterpret_cast<const T *>(data + offset));
}

bool isNull(const std::byte *data, quint32 bit)
{
    return (at<quint32>(data, (bit / 32) * 4)[0] >> (bit % 32)) & 1u;
}

void setNull(std::byte *data, quint32 bit, bool null)
{
    quint32 &word = *at<quint32>(data, (bit / 32) * 4);
    const quint32 mask = 1u << (bit % 32);
    word = null ? (word | mask) : (word & ~mask);
}

int sign(int c)
{
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

int CompareValues(const QVariant &a, const QVariant &b)
{
    if (IsDeferredText(a) || IsDeferredText(b))
        return CompareValues(PlainValue(a), PlainValue(b));
    const bool an = !a.isValid();
    const bool bn = !b.isValid();
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    // Values of one stored type compare in place, without a converted copy.
    const int at = a.typeId();
    if (at == b.typeId()) {
        if (at == QMetaType::Int) {
            const int x = *static_cast<const int *>(a.constData());
            const int y = *static_cast<const int *>(b.constData());
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        if (at == QMetaType::QString)
            return sign(
                static_cast<const QString *>(a.constData())
                    ->compare(*static_cast<const QString *>(b.constData()), Qt::CaseSensitive));
    }
    const bool anum = a.typeId() == QMetaType::Int || a.typeId() == QMetaType::Double;
    const bool bnum = b.typeId() == QMetaType::Int || b.typeId() == QMetaType::Double;
    if (anum && bnum) {
        if (a.typeId() == QMetaType::Int && b.typeId() == QMetaType::Int) {
            const int x = a.toInt();
            const int y = b.toInt();
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        const double x = a.toDouble();
        const double y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return sign(a.toString().compare(b.toString(), Qt::CaseSensitive));
}

TextStore::Place TextStore::store(int field, const QString &text)
{
    if (size_t(field) >= m_recent.size())
        m_recent.resize(size_t(field) + 1);
    auto &recent = m_recent[size_t(field)];
    const auto it = recent.constFind(text.constData());
    if (it != recent.cend() && it->text.size() == text.size())
        return it->place;
    if (m_chars.size() + size_t(text.size()) >= kNull)
        throw Error(QStringLiteral("The dataset holds more text than it can place"));
    Place place{quint32(m_chars.size()), quint32(text.size())};
    m_chars.insert(m_chars.end(), reinterpret_cast<const char16_t *>(text.constData()),
                   reinterpret_cast<const char16_t *>(text.constData()) + text.size());
    // A few hundred strings per field: values that rows repeat come back among them.
    if (recent.size() >= 256)
        recent.clear();
    recent.insert(text.constData(), Recent{text, place});
    return place;
}

void TextStore::clear()
{
    m_chars = {};
    m_recent.clear();
}

size_t KeyHash(const QVariant &v, size_t seed)
{
    if (IsDeferredText(v))
        return KeyHash(PlainValue(v), seed);
    if (!v.isValid())
        return seed * 31 + 1;
    if (v.typeId() == QMetaType::Int)
        return qHash(v.toInt(), seed);
    if (v.typeId() == QMetaType::Double)
        return qHash(v.toDouble(), seed);
    return qHash(QStringView(v.toString()), seed);
}

RecordLayout::RecordLayout(const std::vector<FieldType> &types)
{
    quint32 nullBits = 0;
    for (FieldType t : types)
        nullBits += (t == FieldType::Integer || t == FieldType::Double) ? 1 : 0;
    // The null bits first, then the eight-byte slots, then the four-byte ones.
    size_t offset = align8(((nullBits + 31) / 32) * 4);
    m_slots.resize(types.size());
    quint32 bit = 0;
    for (size_t i = 0; i < types.size(); ++i) {
        Slot &s = m_slots[i];
        switch (types[i]) {
        case FieldType::Integer:
            s.kind = Kind::Integer;
            s.nullBit = bit++;
            continue;
        case FieldType::Double:
            s.kind = Kind::Double;
            s.nullBit = bit++;
            s.offset = quint32(offset);
            offset += sizeof(double);
            continue;
        case FieldType::String:
            s.kind = Kind::Text;
            s.offset = quint32(offset);
            offset += sizeof(TextStore::Place);
            continue;
        case FieldType::Memo:
            s.kind = Kind::Variant;
            s.offset = quint32(offset);
            offset += sizeof(QVariant);
            continue;
        }
    }
    for (Slot &s : m_slots) {
        if (s.kind == Kind::Integer) {
            s.offset = quint32(offset);
            offset += sizeof(qint32);
        }
    }
    m_bytes = align8(offset);
}

RecordValues::RecordValues(const RecordLayout &layout)
    : m_layout(&layout)
    , m_data(static_cast<std::byte *>(::operator new(layout.bytes())))
{
    std::fill(m_data, m_data + layout.bytes(), std::byte(0));
    for (int i = 0; i < layout.count(); ++i) {
        const RecordLayout::Slot &s = layout.slot(i);
        switch (s.kind) {
        case RecordLayout::Kind::Integer:
        case RecordLayout::Kind::Double:
            setNull(m_data, s.nullBit, true);
            break;
        case RecordLayout::Kind::Text:
            new (m_data + s.offset) TextStore::Place();
            break;
        case RecordLayout::Kind::Variant:
            new (m_data + s.offset) QVariant();
            break;
        }
    }
}

RecordValues::RecordValues(const RecordLayout &layout, const std::vector<QVariant> &values)
    : RecordValues(layout)
{
    assign(values);
}

RecordValues::RecordValues(const RecordValues &other)
{
    copyFrom(other);
}

RecordValues &RecordValues::operator=(const RecordValues &other)
{
    if (this != &other) {
        destroy();
        copyFrom(other);
    }
    return *this;
}

RecordValues::RecordValues(RecordValues &&other) noexcept
    : m_layout(std::exchange(other.m_layout, nullptr))
    , m_data(std::exchange(other.m_data, nullptr))
{}

RecordValues &RecordValues::operator=(RecordValues &&other) noexcept
{
    if (this != &other) {
        destroy();
        m_layout = std::exchange(other.m_layout, nullptr);
        m_data = std::exchange(other.m_data, nullptr);
    }
    return *this;
}

RecordValues::~RecordValues()
{
    destroy();
}

void RecordValues::destroy()
{
    if (!m_data)
        return;
    for (int i = 0; i < m_layout->count(); ++i) {
        const RecordLayout::Slot &s = m_layout->slot(i);
        if (s.kind == RecordLayout::Kind::Variant)
            at<QVariant>(m_data, s.offset)->~QVariant();
    }
    ::operator delete(m_data);
    m_data = nullptr;
}

void RecordValues::copyFrom(const RecordValues &other)
{
    m_layout = other.m_layout;
    if (!other.m_data) {
        m_data = nullptr;
        return;
    }
    m_data = static_cast<std::byte *>(::operator new(m_layout->bytes()));
    // Numbers, null bits and text places are plain bytes; variants are copied as themselves.
    std::copy(other.m_data, other.m_data + m_layout->bytes(), m_data);
    for (int i = 0; i < m_layout->count(); ++i) {
        const RecordLayout::Slot &s = m_layout->slot(i);
        if (s.kind == RecordLayout::Kind::Variant)
            new (m_data + s.offset) QVariant(*at<QVariant>(other.m_data, s.offset));
    }
}

QVariant RecordValues::get(int index) const
{
    const RecordLayout::Slot &s = m_layout->slot(index);
    switch (s.kind) {
    case RecordLayout::Kind::Integer:
        return isNull(m_data, s.nullBit) ? QVariant() : QVariant(*at<qint32>(m_data, s.offset));
    case RecordLayout::Kind::Double:
        return isNull(m_data, s.nullBit) ? QVariant() : QVariant(*at<double>(m_data, s.offset));
    case RecordLayout::Kind::Text: {
        const TextStore::Place place = *at<TextStore::Place>(m_data, s.offset);
        if (place.length == TextStore::kNull)
            return {};
        return QVariant(m_layout->texts().view(place).toString());
    }
    case RecordLayout::Kind::Variant:
        return *at<QVariant>(m_data, s.offset);
    }
    return {};
}

void RecordValues::set(int index, const QVariant &value)
{
    const RecordLayout::Slot &s = m_layout->slot(index);
    switch (s.kind) {
    case RecordLayout::Kind::Integer:
        setNull(m_data, s.nullBit, !value.isValid());
        *at<qint32>(m_data, s.offset) = value.isValid() ? value.toInt() : 0;
        break;
    case RecordLayout::Kind::Double:
        setNull(m_data, s.nullBit, !value.isValid());
        *at<double>(m_data, s.offset) = value.isValid() ? value.toDouble() : 0.0;
        break;
    case RecordLayout::Kind::Text: {
        TextStore::Place &place = *at<TextStore::Place>(m_data, s.offset);
        if (!value.isValid()) {
            place = TextStore::Place();
            break;
        }
        const QString text = value.toString();
        TextStore &texts = m_layout->texts();
        if (place.length != TextStore::kNull && texts.view(place) == text)
            break;
        place = texts.store(index, text);
        break;
    }
    case RecordLayout::Kind::Variant:
        *at<QVariant>(m_data, s.offset) = value;
        break;
    }
}

void RecordValues::assign(const std::vector<QVariant> &values)
{
    for (int i = 0; i < m_layout->count(); ++i)
        set(i, values[size_t(i)]);
}

std::vector<QVariant> RecordValues::toVector() const
{
    std::vector<QVariant> values;
    values.reserve(size_t(m_layout->count()));
    for (int i = 0; i < m_layout->count(); ++i)
        values.push_back(get(i));
    return values;
}

bool RecordValues::appendText(int index, QString &out) const
{
    const RecordLayout::Slot &s = m_layout->slot(index);
    if (s.kind == RecordLayout::Kind::Integer) {
        if (!isNull(m_data, s.nullBit))
            out += QString::number(*at<qint32>(m_data, s.offset));
        return true;
    }
    if (s.kind == RecordLayout::Kind::Text) {
        const TextStore::Place place = *at<TextStore::Place>(m_data, s.offset);
        if (place.length != TextStore::kNull)
            out += m_layout->texts().view(place);
        return true;
    }
    return false;
}

size_t RecordValues::keyHash(int index, size_t seed) const
{
    const RecordLayout::Slot &s = m_layout->slot(index);
    switch (s.kind) {
    case RecordLayout::Kind::Integer:
        return isNull(m_data, s.nullBit) ? seed * 31 + 1
                                         : qHash(*at<qint32>(m_data, s.offset), seed);
    case RecordLayout::Kind::Double:
        return isNull(m_data, s.nullBit) ? seed * 31 + 1
                                         : qHash(*at<double>(m_data, s.offset), seed);
    case RecordLayout::Kind::Text: {
        const TextStore::Place place = *at<TextStore::Place>(m_data, s.offset);
        return place.length == TextStore::kNull ? seed * 31 + 1
                                                : qHash(m_layout->texts().view(place), seed);
    }
    case RecordLayout::Kind::Variant:
        return KeyHash(get(index), seed);
    }
    return seed;
}

int RecordValues::compare(int index, const RecordValues &other) const
{
    const RecordLayout::Slot &s = m_layout->slot(index);
    switch (s.kind) {
    case RecordLayout::Kind::Integer:
    case RecordLayout::Kind::Double: {
        const bool an = isNull(m_data, s.nullBit);
        const bool bn = isNull(other.m_data, s.nullBit);
        if (an || bn)
            return an == bn ? 0 : (an ? -1 : 1);
        if (s.kind == RecordLayout::Kind::Integer) {
            const qint32 x = *at<qint32>(m_data, s.offset);
            const qint32 y = *at<qint32>(other.m_data, s.offset);
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        const double x = *at<double>(m_data, s.offset);
        const double y = *at<double>(other.m_data, s.offset);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case RecordLayout::Kind::Text: {
        const TextStore::Place a = *at<TextStore::Place>(m_data, s.offset);
        const TextStore::Place b = *at<TextStore::Place>(other.m_data, s.offset);
        const bool an = a.length == TextStore::kNull;
        const bool bn = b.length == TextStore::kNull;
        if (an || bn)
            return an == bn ? 0 : (an ? -1 : 1);
        const TextStore &texts = m_layout->texts();
        return sign(texts.view(a).compare(texts.view(b), Qt::CaseSensitive));
    }
    case RecordLayout::Kind::Variant:
        return CompareValues(get(index), other.get(index));
    }
    return 0;
}

} // namespace tev
