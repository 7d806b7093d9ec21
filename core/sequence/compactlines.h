#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

// The lines of a sequence file held compactly: the lines one after another in one block, and
// where each begins. Text whose characters all fit in one byte (nearly every sequence) keeps one
// byte per character, other text two; a list of line strings takes more than twice as much.
namespace tev {

class CompactLines
{
public:
    CompactLines() = default;
    // Splits text at CR LF, CR or LF; a line break at the end adds no empty line.
    static CompactLines fromText(QStringView text);
    static CompactLines fromLines(const QStringList &lines);

    qsizetype count() const { return m_starts.empty() ? 0 : qsizetype(m_starts.size()) - 1; }
    bool isEmpty() const { return count() == 0; }
    QString line(qsizetype index) const;
    QStringList toStringList() const;
    // The lines joined by CR LF, with a CR LF after the last.
    QString fileText() const;

private:
    template <typename Lines> static CompactLines build(const Lines &lines, qsizetype count);

    bool m_wide = false;
    QByteArray m_narrow;
    QString m_wideText;
    // Where each line begins, and after the last where the block ends.
    std::vector<qsizetype> m_starts;
};

} // namespace tev
