#include "core/sequence/compactlines.h"

#include <algorithm>

namespace tev {

namespace {

// The lines of text as views, split as SplitSequenceLines splits them.
std::vector<QStringView> splitLines(QStringView text)
{
    std::vector<QStringView> lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        lines.push_back(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1].unicode() == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.push_back(text.sliced(start));
    return lines;
}

} // namespace

template <typename Lines> CompactLines CompactLines::build(const Lines &lines, qsizetype count)
{
    CompactLines result;
    qsizetype total = 0;
    bool wide = false;
    for (qsizetype i = 0; i < count; ++i) {
        const QStringView line(lines[i]);
        total += line.size();
        wide = wide ||
               std::any_of(line.begin(), line.end(), [](QChar c) { return c.unicode() > 0xff; });
    }
    result.m_wide = wide;
    result.m_starts.reserve(size_t(count) + 1);
    if (wide)
        result.m_wideText.reserve(total);
    else
        result.m_narrow.reserve(total);
    qsizetype at = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const QStringView line(lines[i]);
        result.m_starts.push_back(at);
        if (wide) {
            result.m_wideText.append(line);
        } else {
            const qsizetype base = result.m_narrow.size();
            result.m_narrow.resize(base + line.size());
            char *out = result.m_narrow.data() + base;
            for (QChar c : line)
                *out++ = char(c.unicode());
        }
        at += line.size();
    }
    result.m_starts.push_back(at);
    return result;
}

CompactLines CompactLines::fromText(QStringView text)
{
    const std::vector<QStringView> lines = splitLines(text);
    return build(lines, qsizetype(lines.size()));
}

CompactLines CompactLines::fromLines(const QStringList &lines)
{
    return build(lines, lines.size());
}

QString CompactLines::line(qsizetype index) const
{
    const qsizetype start = m_starts[size_t(index)];
    const qsizetype length = m_starts[size_t(index) + 1] - start;
    if (m_wide)
        return m_wideText.mid(start, length);
    return QString::fromLatin1(m_narrow.constData() + start, length);
}

QStringList CompactLines::toStringList() const
{
    QStringList lines;
    lines.reserve(count());
    for (qsizetype i = 0; i < count(); ++i)
        lines.append(line(i));
    return lines;
}

QString CompactLines::fileText() const
{
    QString text;
    text.reserve((m_wide ? m_wideText.size() : m_narrow.size()) + 2 * count());
    for (qsizetype i = 0; i < count(); ++i) {
        text += line(i);
        text += QLatin1String("\r\n");
    }
    return text;
}

} // namespace tev
