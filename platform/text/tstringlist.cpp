#include "platform/text/tstringlist.h"

#include "platform/error.h"
#include "platform/file/regularfile.h"
#include "platform/file/savefilewhole.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace tev {

namespace {

// Blanks and control characters; the non-strict delimited form treats them as delimiters.
bool IsBlankOrControl(QChar c)
{
    return c.unicode() <= 32;
}

} // namespace

TStringList::TStringList(const QStringList &lines)
{
    AddStrings(lines);
}

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw Error(QStringLiteral("List index out of bounds (%1)").arg(index));
}

void TStringList::CheckNotSorted() const
{
    if (m_sorted)
        throw Error(QStringLiteral("Operation not allowed on sorted list"));
}

QString TStringList::Strings(int index) const
{
    CheckIndex(index);
    return m_items.at(index).text;
}

void TStringList::SetStrings(int index, const QString &s)
{
    CheckNotSorted();
    CheckIndex(index);
    m_items[index].text = s;
}

QObject *TStringList::Objects(int index) const
{
    CheckIndex(index);
    return m_items.at(index).object.data();
}

void TStringList::SetObjects(int index, QObject *object)
{
    CheckIndex(index);
    m_items[index].object = object;
}

int TStringList::Add(const QString &s)
{
    return AddObject(s, nullptr);
}

int TStringList::AddObject(const QString &s, QObject *object)
{
    int index = Count();
    if (m_sorted) {
        if (Find(s, index)) {
            switch (m_duplicates) {
            case TDuplicates::dupIgnore:
                return index;
            case TDuplicates::dupError:
                throw Error(QStringLiteral("String list does not allow duplicates"));
            case TDuplicates::dupAccept:
                break;
            }
        }
    }
    m_items.insert(index, Item{s, object});
    return index;
}

int TStringList::AddPair(const QString &name, const QString &value, QObject *object)
{
    return AddObject(name + m_nameValueSeparator + value, object);
}

void TStringList::AddStrings(const TStringList &other)
{
    // Copied first, so that adding a list to itself adds each line once.
    const QList<Item> items = other.m_items;
    for (const Item &item : items)
        AddObject(item.text, item.object.data());
}

void TStringList::AddStrings(const QStringList &lines)
{
    for (const QString &line : lines)
        Add(line);
}

void TStringList::Insert(int index, const QString &s)
{
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, const QString &s, QObject *object)
{
    CheckNotSorted();
    if (index < 0 || index > Count())
        throw Error(QStringLiteral("List index out of bounds (%1)").arg(index));
    m_items.insert(index, Item{s, object});
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    m_items.removeAt(index);
}

void TStringList::Clear()
{
    m_items.clear();
}

void TStringList::Exchange(int index1, int index2)
{
    CheckNotSorted();
    CheckIndex(index1);
    CheckIndex(index2);
    m_items.swapItemsAt(index1, index2);
}

void TStringList::Move(int currentIndex, int newIndex)
{
    CheckNotSorted();
    CheckIndex(currentIndex);
    CheckIndex(newIndex);
    m_items.move(currentIndex, newIndex);
}

bool TStringList::Equals(const TStringList &other) const
{
    if (Count() != other.Count())
        return false;
    for (int i = 0; i < Count(); ++i) {
        if (m_items.at(i).text != other.m_items.at(i).text)
            return false;
    }
    return true;
}

int TStringList::CompareStrings(const QString &s1, const QString &s2) const
{
    return QString::compare(s1, s2, CaseSensitivity());
}

int TStringList::IndexOf(const QString &s) const
{
    if (m_sorted) {
        int index = 0;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i) {
        if (CompareStrings(m_items.at(i).text, s) == 0)
            return i;
    }
    return -1;
}

int TStringList::IndexOfName(const QString &name) const
{
    for (int i = 0; i < Count(); ++i) {
        const QString &line = m_items.at(i).text;
        const int pos = SeparatorPos(line);
        if (pos >= 0 && QStringView(line).left(pos).compare(name, CaseSensitivity()) == 0)
            return i;
    }
    return -1;
}

int TStringList::IndexOfObject(const QObject *object) const
{
    for (int i = 0; i < Count(); ++i) {
        if (m_items.at(i).object.data() == object)
            return i;
    }
    return -1;
}

bool TStringList::Find(const QString &s, int &index) const
{
    // Lower bound, so that among equal lines the first one is found.
    int low = 0;
    int high = Count();
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (CompareStrings(m_items.at(mid).text, s) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    index = low;
    return low < Count() && CompareStrings(m_items.at(low).text, s) == 0;
}

QString TStringList::Names(int index) const
{
    const QString line = Strings(index);
    const int pos = SeparatorPos(line);
    return pos >= 0 ? line.left(pos) : QString();
}

QString TStringList::ValueFromIndex(int index) const
{
    const QString line = Strings(index);
    const int pos = SeparatorPos(line);
    return pos >= 0 ? line.mid(pos + 1) : QString();
}

void TStringList::SetValueFromIndex(int index, const QString &value)
{
    CheckIndex(index);
    if (value.isEmpty()) {
        Delete(index);
        return;
    }
    const QString line = Names(index) + m_nameValueSeparator + value;
    if (m_sorted) {
        // A sorted list keeps its order: the line moves to its new place.
        QObject *object = Objects(index);
        Delete(index);
        AddObject(line, object);
    } else {
        m_items[index].text = line;
    }
}

QString TStringList::Values(const QString &name) const
{
    const int index = IndexOfName(name);
    return index >= 0 ? ValueFromIndex(index) : QString();
}

void TStringList::SetValues(const QString &name, const QString &value)
{
    const int index = IndexOfName(name);
    if (value.isEmpty()) {
        if (index >= 0)
            Delete(index);
        return;
    }
    const QString line = name + m_nameValueSeparator + value;
    if (index < 0) {
        Add(line);
    } else if (m_sorted) {
        QObject *object = Objects(index);
        Delete(index);
        AddObject(line, object);
    } else {
        m_items[index].text = line;
    }
}

QString TStringList::Text() const
{
    QString result;
    for (int i = 0; i < Count(); ++i) {
        result += m_items.at(i).text;
        if (m_trailingLineBreak || i + 1 < Count())
            result += m_lineBreak;
    }
    return result;
}

void TStringList::SetText(const QString &text)
{
    Clear();
    if (text.isEmpty())
        return;
    QStringList lines;
    if (m_lineBreak == QLatin1String("\r\n")) {
        // The usual break also accepts lone CR and lone LF, as files from other systems have.
        qsizetype start = 0;
        qsizetype i = 0;
        while (i < text.size()) {
            const QChar c = text.at(i);
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                lines.append(text.mid(start, i - start));
                if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                    text.at(i + 1) == QLatin1Char('\n'))
                    ++i;
                start = i + 1;
            }
            ++i;
        }
        if (start < text.size())
            lines.append(text.mid(start));
    } else if (m_lineBreak.isEmpty()) {
        lines.append(text);
    } else {
        lines = text.split(m_lineBreak);
        // A break after the last line ends it and starts no new one.
        if (text.endsWith(m_lineBreak))
            lines.removeLast();
    }
    AddStrings(lines);
}

QString TStringList::DelimitedTextWith(QChar delimiter, QChar quoteChar, bool strict) const
{
    if (Count() == 1 && m_items.first().text.isEmpty())
        return QString(2, quoteChar);
    QString result;
    for (int i = 0; i < Count(); ++i) {
        const QString &s = m_items.at(i).text;
        bool quote = s.contains(delimiter) || s.contains(quoteChar);
        if (!strict && !quote)
            quote = std::any_of(s.begin(), s.end(), IsBlankOrControl);
        if (i > 0)
            result += delimiter;
        if (quote) {
            QString doubled = s;
            doubled.replace(quoteChar, QString(2, quoteChar));
            result += quoteChar + doubled + quoteChar;
        } else {
            result += s;
        }
    }
    return result;
}

void TStringList::SetDelimitedTextWith(const QString &text, QChar delimiter, QChar quoteChar,
                                       bool strict)
{
    Clear();
    const qsizetype n = text.size();
    qsizetype p = 0;
    auto skipBlanks = [&] {
        if (!strict) {
            while (p < n && IsBlankOrControl(text.at(p)))
                ++p;
        }
    };
    skipBlanks();
    while (p < n) {
        QString item;
        if (text.at(p) == quoteChar) {
            // Quoted item: a doubled quote stands for one; an unclosed quote runs to the end.
            ++p;
            while (p < n) {
                if (text.at(p) == quoteChar) {
                    if (p + 1 < n && text.at(p + 1) == quoteChar) {
                        item += quoteChar;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text.at(p);
                ++p;
            }
        } else {
            const qsizetype start = p;
            while (p < n && text.at(p) != delimiter && (strict || !IsBlankOrControl(text.at(p))))
                ++p;
            item = text.mid(start, p - start);
        }
        Add(item);
        skipBlanks();
        if (p < n && text.at(p) == delimiter) {
            ++p;
            // A delimiter at the very end leaves one empty item behind it.
            if (p == n)
                Add(QString());
            skipBlanks();
        }
    }
}

QString TStringList::CommaText() const
{
    return DelimitedTextWith(QLatin1Char(','), QLatin1Char('"'), false);
}

void TStringList::SetCommaText(const QString &text)
{
    SetDelimitedTextWith(text, QLatin1Char(','), QLatin1Char('"'), false);
}

QString TStringList::DelimitedText() const
{
    return DelimitedTextWith(m_delimiter, m_quoteChar, m_strictDelimiter);
}

void TStringList::SetDelimitedText(const QString &text)
{
    SetDelimitedTextWith(text, m_delimiter, m_quoteChar, m_strictDelimiter);
}

QStringList TStringList::ToStringList() const
{
    QStringList result;
    result.reserve(Count());
    for (const Item &item : m_items)
        result.append(item.text);
    return result;
}

void TStringList::SetTextFromBytes(const QByteArray &data, const TEncoding::Ptr &encoding)
{
    int preambleLength = 0;
    TEncoding::Ptr used = encoding;
    if (used) {
        if (const QByteArray preamble = used->GetPreamble();
            !preamble.isEmpty() && data.startsWith(preamble))
            preambleLength = int(preamble.size());
    } else {
        used = TEncoding::DetectByPreamble(data, m_defaultEncoding, preambleLength);
    }
    SetText(used->GetString(QByteArrayView(data).sliced(preambleLength)));
    m_encoding = used;
}

QByteArray TStringList::TextBytes(const TEncoding::Ptr &encoding) const
{
    const TEncoding::Ptr used = encoding ? encoding : (m_encoding ? m_encoding : m_defaultEncoding);
    QByteArray data = m_writeBOM ? used->GetPreamble() : QByteArray();
    data += used->GetBytes(Text());
    return data;
}

void TStringList::SetDefaultEncoding(const TEncoding::Ptr &encoding)
{
    m_defaultEncoding = encoding ? encoding : TEncoding::ANSI();
}

void TStringList::LoadFromFile(const QString &fileName, const TEncoding::Ptr &encoding)
{
    SetTextFromBytes(ReadRegularFile(fileName), encoding);
}

void TStringList::SaveToFile(const QString &fileName, const TEncoding::Ptr &encoding) const
{
    SaveFileWhole(fileName, TextBytes(encoding));
}

void TStringList::LoadFromStream(QIODevice &stream, const TEncoding::Ptr &encoding)
{
    SetTextFromBytes(stream.readAll(), encoding);
}

void TStringList::SaveToStream(QIODevice &stream, const TEncoding::Ptr &encoding) const
{
    const QByteArray data = TextBytes(encoding);
    if (stream.write(data) != data.size())
        throw Error(QStringLiteral("Stream write error. %1").arg(stream.errorString()));
}

void TStringList::Sort()
{
    std::stable_sort(m_items.begin(), m_items.end(), [this](const Item &a, const Item &b) {
        return CompareStrings(a.text, b.text) < 0;
    });
}

void TStringList::CustomSort(const TCompareFunc &compare)
{
    // The comparison sees the list unchanged while the order is worked out.
    std::vector<int> order(m_items.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return compare(*this, a, b) < 0; });
    QList<Item> sorted;
    sorted.reserve(m_items.size());
    for (int i : order)
        sorted.append(m_items.at(i));
    m_items = std::move(sorted);
}

void TStringList::SetSorted(bool sorted)
{
    if (sorted && !m_sorted)
        Sort();
    m_sorted = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive)
{
    if (caseSensitive == m_caseSensitive)
        return;
    m_caseSensitive = caseSensitive;
    if (m_sorted)
        Sort();
}

} // namespace tev
