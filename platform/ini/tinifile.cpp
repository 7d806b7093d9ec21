#include "platform/ini/tinifile.h"
#include "platform/text/integertext.h"

#include <QFile>
#include <QStringDecoder>
#include <optional>
#include <sys/stat.h>
#include <vector>

#include "platform/error.h"
#include "platform/file/regularfile.h"
#include "platform/file/savefilewhole.h"
#include "platform/text/tencoding.h"

namespace tev {

namespace {

enum class LineKind { Other, Section, Key };

// What identifies one state of the file on disk; a change means someone else wrote it.
struct FileStamp
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    qint64 modifiedSeconds = 0;
    qint64 modifiedNanoseconds = 0;

    bool operator==(const FileStamp &o) const
    {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
               modifiedSeconds == o.modifiedSeconds && modifiedNanoseconds == o.modifiedNanoseconds;
    }
};

FileStamp stampOf(const QString &fileName)
{
    FileStamp stamp;
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(fileName).constData(), &st) == 0) {
        stamp.exists = true;
        stamp.device = st.st_dev;
        stamp.inode = st.st_ino;
        stamp.size = st.st_size;
        stamp.modifiedSeconds = st.st_mtim.tv_sec;
        stamp.modifiedNanoseconds = st.st_mtim.tv_nsec;
    }
    return stamp;
}

// Valid UTF-8 to its very end: a stateless decoder counts a sequence cut off by the end of the
// bytes as an error, where a stateful one would keep it for a next chunk that never comes.
bool IsValidUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString probe = utf8(bytes); // decoding is lazy; this runs it
    return !utf8.hasError();
}

bool isBlank(QStringView s)
{
    return s.trimmed().isEmpty();
}

QString unquote(QString value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

// Names are matched trimmed on both sides, as the file's own are read: a write to " Key " finds
// the line "Key=..." instead of adding a second one that no read would reach.
bool sameName(QStringView a, QStringView b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// How a reader takes the bytes of a file: the encoding of its byte-order mark, else UTF-8 when the
// bytes are valid UTF-8, else Windows-1252.
struct Decoded
{
    TEncoding::Ptr encoding;
    bool withPreamble = false;
    QString text;
};

Decoded decode(QByteArrayView bytes)
{
    Decoded result;
    int preamble = 0;
    result.encoding = TEncoding::DetectByPreamble(bytes, nullptr, preamble);
    result.withPreamble = result.encoding != nullptr;
    if (!result.encoding)
        result.encoding = IsValidUtf8(bytes) ? TEncoding::UTF8() : TEncoding::Windows1252();
    result.text = result.encoding->GetString(bytes.sliced(preamble));
    return result;
}

void checkName(const QString &name, const char *what, const QString &forbidden)
{
    const QString trimmed = name.trimmed();
    bool bad = trimmed.isEmpty() || name.contains(u'\r') || name.contains(u'\n');
    for (const QChar c : forbidden)
        bad = bad || name.contains(c);
    if (bad)
        throw Error(QStringLiteral("\"%1\" is not a valid ini file %2 name.")
                        .arg(name, QLatin1String(what)));
}

} // namespace

struct TIniFile::Line
{
    QString text;
    QString ending; // "\r\n", "\n", "\r" or empty for a last line without one
    LineKind kind = LineKind::Other;
    QString name;  // section or key name, trimmed
    QString value; // key value, trimmed and unquoted

    static Line parse(QString text, QString ending)
    {
        Line line;
        line.text = std::move(text);
        line.ending = std::move(ending);
        const QStringView t = QStringView(line.text).trimmed();
        if (t.startsWith(u'[')) {
            const qsizetype close = t.indexOf(u']');
            line.kind = LineKind::Section;
            line.name = t.mid(1, close < 0 ? -1 : close - 1).trimmed().toString();
        } else if (!t.isEmpty() && t.front() != u';' && t.front() != u'#') {
            const qsizetype eq = t.indexOf(u'=');
            if (eq > 0) {
                line.kind = LineKind::Key;
                line.name = t.left(eq).trimmed().toString();
                line.value = unquote(t.mid(eq + 1).trimmed().toString());
            }
        }
        return line;
    }
};

struct TIniFile::Contents
{
    FileStamp stamp;
    bool readFailed = false;
    TEncoding::Ptr encoding = TEncoding::UTF8();
    bool withPreamble = false;
    std::vector<Line> lines;

    // Index of the first header of section, or -1.
    qsizetype findSection(QStringView section) const
    {
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].kind == LineKind::Section && sameName(lines[i].name, section))
                return qsizetype(i);
        }
        return -1;
    }

    // One past the last line of the section whose header is at index header.
    qsizetype sectionEnd(qsizetype header) const
    {
        qsizetype i = header + 1;
        while (i < qsizetype(lines.size()) && lines[size_t(i)].kind != LineKind::Section)
            ++i;
        return i;
    }

    const Line *findKey(QStringView section, QStringView ident) const
    {
        const qsizetype header = findSection(section);
        if (header < 0)
            return nullptr;
        for (qsizetype i = header + 1, end = sectionEnd(header); i < end; ++i) {
            const Line &line = lines[size_t(i)];
            if (line.kind == LineKind::Key && sameName(line.name, ident))
                return &line;
        }
        return nullptr;
    }

    QString newLineEnding() const
    {
        for (const Line &line : lines) {
            if (!line.ending.isEmpty())
                return line.ending;
        }
        return QStringLiteral("\n");
    }

    void load(const QString &fileName)
    {
        if (!stamp.exists)
            return;
        QByteArray bytes;
        try {
            bytes = ReadRegularFile(fileName);
        } catch (const Error &) {
            readFailed = true;
            return;
        }
        Decoded decoded = decode(bytes);
        encoding = std::move(decoded.encoding);
        withPreamble = decoded.withPreamble;
        const QString &text = decoded.text;
        qsizetype start = 0;
        while (start < text.size()) {
            qsizetype end = start;
            while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
                ++end;
            qsizetype next = end;
            if (next < text.size())
                next += (text[next] == u'\r' && next + 1 < text.size() && text[next + 1] == u'\n')
                            ? 2
                            : 1;
            lines.push_back(Line::parse(text.mid(start, end - start), text.mid(end, next - end)));
            start = next;
        }
    }

    QString text() const
    {
        QString text;
        for (const Line &line : lines)
            text += line.text + line.ending;
        return text;
    }

    QByteArray bytes(const QString &text) const
    {
        QByteArray out = withPreamble ? encoding->GetPreamble() : QByteArray();
        out += encoding->GetBytes(text);
        return out;
    }
};

TIniFile::TIniFile(QString fileName)
    : m_fileName(std::move(fileName))
{}

TIniFile::~TIniFile() = default;

const TIniFile::Contents &TIniFile::current() const
{
    const FileStamp stamp = stampOf(m_fileName);
    if (!m_contents || !(m_contents->stamp == stamp) || m_contents->readFailed) {
        auto fresh = std::make_unique<Contents>();
        fresh->stamp = stamp;
        fresh->load(m_fileName);
        m_contents = std::move(fresh);
    }
    return *m_contents;
}

void TIniFile::save(Contents contents)
{
    auto fail = [&](const QString &reason) {
        return Error(QStringLiteral("Cannot write file \"%1\": %2").arg(m_fileName, reason));
    };
    // The file must read back as written. A file without a mark in Windows-1252 cannot hold
    // every character, and its bytes may happen to be valid UTF-8, which a reader would take
    // them for: then it becomes UTF-8, which holds every text and reads back as such.
    const QString text = contents.text();
    QByteArray bytes = contents.bytes(text);
    if (decode(bytes).text != text && !contents.withPreamble) {
        contents.encoding = TEncoding::UTF8();
        bytes = contents.bytes(text);
    }
    if (decode(bytes).text != text)
        throw fail(QStringLiteral("the text cannot be stored in its encoding (%1)")
                       .arg(contents.encoding->EncodingName()));
    SaveFileWhole(m_fileName, bytes);
    contents.stamp = stampOf(m_fileName);
    m_contents = std::make_unique<Contents>(std::move(contents));
}

QString TIniFile::ReadString(const QString &section, const QString &ident,
                             const QString &defaultValue) const
{
    const Line *line = current().findKey(section, ident);
    return line ? line->value : defaultValue;
}

void TIniFile::WriteString(const QString &section, const QString &ident, const QString &value)
{
    checkName(section, "section", QStringLiteral("]"));
    checkName(ident, "key", QStringLiteral("="));
    if (ident.trimmed().startsWith(u'[') || ident.trimmed().startsWith(u';') ||
        ident.trimmed().startsWith(u'#'))
        throw Error(QStringLiteral("\"%1\" is not a valid ini file key name.").arg(ident));
    if (value.contains(u'\r') || value.contains(u'\n'))
        throw Error(
            QStringLiteral("The value of the ini file key \"%1\" holds a line break.").arg(ident));

    const Contents &now = current();
    if (now.readFailed)
        throw Error(
            QStringLiteral("Cannot read the file \"%1\"; it is left unchanged.").arg(m_fileName));
    Contents next = now;
    const QString ending = next.newLineEnding();
    auto &lines = next.lines;
    const qsizetype header = next.findSection(section);
    if (header >= 0) {
        const qsizetype end = next.sectionEnd(header);
        qsizetype lastKey = header;
        for (qsizetype i = header + 1; i < end; ++i) {
            Line &line = lines[size_t(i)];
            if (line.kind != LineKind::Key)
                continue;
            if (sameName(line.name, ident)) {
                // Keep the key as the file spells it, and the blanks around "=".
                const qsizetype eq = line.text.indexOf(u'=');
                qsizetype valueStart = eq + 1;
                while (valueStart < line.text.size() && line.text[valueStart].isSpace())
                    ++valueStart;
                const QString text = line.text.left(valueStart) + value;
                if (text == line.text)
                    return;
                line = Line::parse(text, line.ending);
                save(std::move(next));
                return;
            }
            lastKey = i;
        }
        Line &before = lines[size_t(lastKey)];
        if (before.ending.isEmpty())
            before.ending = ending;
        lines.insert(lines.begin() + lastKey + 1,
                     Line::parse(ident.trimmed() + u'=' + value, ending));
    } else {
        if (!lines.empty()) {
            if (lines.back().ending.isEmpty())
                lines.back().ending = ending;
            if (!isBlank(lines.back().text))
                lines.push_back(Line::parse(QString(), ending));
        }
        lines.push_back(Line::parse(u'[' + section.trimmed() + u']', ending));
        lines.push_back(Line::parse(ident.trimmed() + u'=' + value, ending));
    }
    save(std::move(next));
}

int TIniFile::ReadInteger(const QString &section, const QString &ident, int defaultValue) const
{
    const Line *line = current().findKey(section, ident);
    return line ? ParseIntegerText(line->value.trimmed()).value_or(defaultValue) : defaultValue;
}

void TIniFile::WriteInteger(const QString &section, const QString &ident, int value)
{
    WriteString(section, ident, QString::number(value));
}

bool TIniFile::ReadBool(const QString &section, const QString &ident, bool defaultValue) const
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const QString &section, const QString &ident, bool value)
{
    WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TIniFile::SectionExists(const QString &section) const
{
    return current().findSection(section) >= 0;
}

bool TIniFile::ValueExists(const QString &section, const QString &ident) const
{
    return current().findKey(section, ident) != nullptr;
}

QStringList TIniFile::ReadSections() const
{
    QStringList names;
    for (const Line &line : current().lines) {
        if (line.kind == LineKind::Section && !names.contains(line.name, Qt::CaseInsensitive))
            names.append(line.name);
    }
    return names;
}

QStringList TIniFile::ReadSection(const QString &section) const
{
    const Contents &contents = current();
    QStringList names;
    const qsizetype header = contents.findSection(section);
    if (header < 0)
        return names;
    for (qsizetype i = header + 1, end = contents.sectionEnd(header); i < end; ++i) {
        if (contents.lines[size_t(i)].kind == LineKind::Key)
            names.append(contents.lines[size_t(i)].name);
    }
    return names;
}

QStringList TIniFile::ReadSectionValues(const QString &section) const
{
    QStringList values;
    for (const QString &name : ReadSection(section))
        values.append(name + u'=' + ReadString(section, name, QString()));
    return values;
}

void TIniFile::DeleteKey(const QString &section, const QString &ident)
{
    const Contents &now = current();
    const qsizetype header = now.findSection(section);
    if (header < 0 || !now.findKey(section, ident))
        return;
    Contents next = now;
    const qsizetype end = next.sectionEnd(header);
    for (qsizetype i = end - 1; i > header; --i) {
        const Line &line = next.lines[size_t(i)];
        if (line.kind == LineKind::Key && sameName(line.name, ident))
            next.lines.erase(next.lines.begin() + i);
    }
    save(std::move(next));
}

void TIniFile::EraseSection(const QString &section)
{
    const Contents &now = current();
    if (now.findSection(section) < 0)
        return;
    Contents next = now;
    for (qsizetype header; (header = next.findSection(section)) >= 0;)
        next.lines.erase(next.lines.begin() + header, next.lines.begin() + next.sectionEnd(header));
    save(std::move(next));
}

} // namespace tev
