#pragma once

#include <QIODevice>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

#include "platform/text/tencoding.h"

namespace tev {

namespace detail {
// One line of a TStringList with its object.
struct TStringListItem
{
    QString text;
    QPointer<QObject> object;
};
} // namespace detail
} // namespace tev

// Lines move by memory copy when the list inserts or deletes in the middle.
Q_DECLARE_TYPEINFO(tev::detail::TStringListItem, Q_RELOCATABLE_TYPE);

namespace tev {

// An ordered list of text lines, each with an optional associated object, that doubles as a
// name=value list. It behaves like the string list that the program's settings, sequence headers,
// characteristic parameters and user scripts were written against:
// - a line's name is the text before its first NameValueSeparator ("=" by default); lines without
//   a separator have an empty name and an empty value;
// - names and lines compare without regard to case unless CaseSensitive is set;
// - a Sorted list keeps its lines in order and handles equal lines by Duplicates; the order is
//   that of the characters' codes after case folding, the same on every machine, so that lists
//   written to files do not change with the user's locale (CustomSort gives any other order);
// - Text joins the lines with LineBreak (CR LF, as in the files the program reads and writes),
//   CommaText and DelimitedText give one line with quoted items.
// Index errors and operations a sorted list forbids throw tev::Error, as a script expects.
// Associated objects are not owned: a QPointer turns into nullptr when its object goes away.
class TStringList
{
public:
    enum class TDuplicates { dupIgnore, dupAccept, dupError };
    // Negative when the first line sorts before the second, 0 when equal, positive after.
    using TCompareFunc = std::function<int(const TStringList &list, int index1, int index2)>;

    TStringList() = default;
    explicit TStringList(const QStringList &lines);
    virtual ~TStringList() = default;
    TStringList(const TStringList &) = default;
    TStringList &operator=(const TStringList &) = default;
    TStringList(TStringList &&) noexcept = default;
    TStringList &operator=(TStringList &&) noexcept = default;

    int Count() const { return int(m_items.size()); }
    bool IsEmpty() const { return m_items.isEmpty(); }

    // Lines and objects by index.
    QString Strings(int index) const;
    void SetStrings(int index, const QString &s);
    QString operator[](int index) const { return Strings(index); }
    QObject *Objects(int index) const;
    void SetObjects(int index, QObject *object);

    // Adding and removing. Add and AddObject return the index of the line, which in a sorted
    // list is its sorted place (or, with dupIgnore, the place of the equal line already there;
    // with dupAccept the new line goes before the equal ones).
    int Add(const QString &s);
    int AddObject(const QString &s, QObject *object);
    void Append(const QString &s) { Add(s); }
    int AddPair(const QString &name, const QString &value, QObject *object = nullptr);
    void AddStrings(const TStringList &other);
    void AddStrings(const QStringList &lines);
    void Insert(int index, const QString &s);
    void InsertObject(int index, const QString &s, QObject *object);
    void Delete(int index);
    void Clear();
    void Exchange(int index1, int index2);
    void Move(int currentIndex, int newIndex);
    // Copies the lines, objects and every setting of other.
    void Assign(const TStringList &other) { *this = other; }
    bool Equals(const TStringList &other) const;

    // Searching. IndexOf and IndexOfName use the list's comparison (CaseSensitive); a sorted list
    // searches by halving. Find works on sorted lists: true when found, and Index receives the
    // place of the line or where it would be inserted.
    int IndexOf(const QString &s) const;
    int IndexOfName(const QString &name) const;
    int IndexOfObject(const QObject *object) const;
    bool Find(const QString &s, int &index) const;

    // Name=value access.
    QString Names(int index) const;
    QString ValueFromIndex(int index) const;
    void SetValueFromIndex(int index, const QString &value);
    // The value of the first line named name; empty when there is none.
    QString Values(const QString &name) const;
    // Sets the value of the first line named name, appending a line when there is none; an empty
    // value deletes the line instead.
    void SetValues(const QString &name, const QString &value);

    // Whole-list text forms.
    QString Text() const;
    void SetText(const QString &text);
    QString CommaText() const;
    void SetCommaText(const QString &text);
    QString DelimitedText() const;
    void SetDelimitedText(const QString &text);
    QStringList ToStringList() const;

    // Files and streams (read from the current position to the end).
    // Loading without an encoding takes the one a byte-order mark names, else DefaultEncoding
    // (Windows-1252, in which every byte survives a load and a save); with an encoding, a mark of
    // that encoding is skipped. The encoding used is kept in Encoding.
    // Saving without an encoding uses Encoding, else DefaultEncoding, and starts with the
    // encoding's byte-order mark when WriteBOM is set; lines are joined as in Text.
    // Throws tev::Error when a file cannot be read or written; only a regular file is read (a
    // FIFO or a device is refused rather than waited on or read without end), and a failed save
    // leaves an existing file as it was.
    void LoadFromFile(const QString &fileName, const TEncoding::Ptr &encoding = nullptr);
    void SaveToFile(const QString &fileName, const TEncoding::Ptr &encoding = nullptr) const;
    void LoadFromStream(QIODevice &stream, const TEncoding::Ptr &encoding = nullptr);
    void SaveToStream(QIODevice &stream, const TEncoding::Ptr &encoding = nullptr) const;
    TEncoding::Ptr Encoding() const { return m_encoding; }
    TEncoding::Ptr DefaultEncoding() const { return m_defaultEncoding; }
    void SetDefaultEncoding(const TEncoding::Ptr &encoding);
    bool WriteBOM() const { return m_writeBOM; }
    void SetWriteBOM(bool writeBOM) { m_writeBOM = writeBOM; }

    // Ordering.
    void Sort();
    void CustomSort(const TCompareFunc &compare);
    // The list's comparison of two texts: case-insensitive unless CaseSensitive is set.
    int CompareStrings(const QString &s1, const QString &s2) const;

    // Settings.
    bool Sorted() const { return m_sorted; }
    void SetSorted(bool sorted);
    bool CaseSensitive() const { return m_caseSensitive; }
    void SetCaseSensitive(bool caseSensitive);
    TDuplicates Duplicates() const { return m_duplicates; }
    void SetDuplicates(TDuplicates duplicates) { m_duplicates = duplicates; }
    QChar NameValueSeparator() const { return m_nameValueSeparator; }
    void SetNameValueSeparator(QChar separator) { m_nameValueSeparator = separator; }
    QChar Delimiter() const { return m_delimiter; }
    void SetDelimiter(QChar delimiter) { m_delimiter = delimiter; }
    QChar QuoteChar() const { return m_quoteChar; }
    void SetQuoteChar(QChar quoteChar) { m_quoteChar = quoteChar; }
    bool StrictDelimiter() const { return m_strictDelimiter; }
    void SetStrictDelimiter(bool strict) { m_strictDelimiter = strict; }
    QString LineBreak() const { return m_lineBreak; }
    void SetLineBreak(const QString &lineBreak) { m_lineBreak = lineBreak; }
    bool TrailingLineBreak() const { return m_trailingLineBreak; }
    void SetTrailingLineBreak(bool trailing) { m_trailingLineBreak = trailing; }

    // Batches of changes; kept for callers written against the original list, which call them
    // around bulk edits. The list has no change events, so they only count.
    void BeginUpdate() { ++m_updateCount; }
    void EndUpdate()
    {
        if (m_updateCount > 0)
            --m_updateCount;
    }
    int UpdateCount() const { return m_updateCount; }

private:
    using Item = detail::TStringListItem;

    void CheckIndex(int index) const;
    void CheckNotSorted() const;
    Qt::CaseSensitivity CaseSensitivity() const
    {
        return m_caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    }
    int SeparatorPos(const QString &line) const { return line.indexOf(m_nameValueSeparator); }
    void SetTextFromBytes(const QByteArray &data, const TEncoding::Ptr &encoding);
    QByteArray TextBytes(const TEncoding::Ptr &encoding) const;
    QString DelimitedTextWith(QChar delimiter, QChar quoteChar, bool strict) const;
    void SetDelimitedTextWith(const QString &text, QChar delimiter, QChar quoteChar, bool strict);

    QList<Item> m_items;
    bool m_sorted = false;
    bool m_caseSensitive = false;
    TDuplicates m_duplicates = TDuplicates::dupIgnore;
    QChar m_nameValueSeparator = QLatin1Char('=');
    QChar m_delimiter = QLatin1Char(',');
    QChar m_quoteChar = QLatin1Char('"');
    bool m_strictDelimiter = false;
    QString m_lineBreak = QStringLiteral("\r\n");
    bool m_trailingLineBreak = true;
    int m_updateCount = 0;
    TEncoding::Ptr m_encoding;
    TEncoding::Ptr m_defaultEncoding = TEncoding::ANSI();
    bool m_writeBOM = true;
};

} // namespace tev
