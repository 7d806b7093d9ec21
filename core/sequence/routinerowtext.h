#pragma once

#include "core/sequence/compactlines.h"
#include "platform/dataset/deferredtext.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>
#include <vector>

// The rows of one read of a routine table, kept as the file holds them, and each row's
// name=value lines built from them only when they are read. A characteristic's PARAMS is such a
// row: the file's line is shared with the file lines, where the text of all its columns would
// take ten times the row.
namespace tev {

// The position of the next TAB at or after `from`, -1 when there is none. A plain loop: the
// general substring search costs several times more per character.
qsizetype FindTab(QStringView line, qsizetype from);

// Splits a line at every TAB into views of it, keeping at most `limit` of them in `fields` (a
// vector reused from line to line); returns how many fields the line has. Fields beyond the
// limit are counted, never stored, so a line of a million TABs costs no memory of its own.
qsizetype SplitFields(QStringView line, qsizetype limit, std::vector<QStringView> &fields);

class RoutineRowText : public DeferredTextSource
{
public:
    // What a row's "@" rule did: nothing, or FORMULA without its "@" and the algorithm of an
    // earlier row (none at all before the first row that had its own).
    static constexpr quint32 kNoRule = 0;
    static constexpr quint32 kRuleWithoutAlgorithm = 1;
    static quint32 ruleWithAlgorithmOf(quint32 row) { return row + 2; }

    // Rows are lines of `lines`, or texts of their own.
    RoutineRowText(const QString &columnLine,
                   std::shared_ptr<const CompactLines> lines = std::make_shared<CompactLines>());

    qsizetype columnCount() const { return m_columnCount; }
    // The first column whose name is upperName in upper case; -1 when there is none.
    qsizetype position(const QString &upperName) const;
    // The length of all names, to size a row's text at once.
    qsizetype namesLength() const { return m_namesLength; }

    // Keeps a row, a line of the lines as they are or a text of its own (a line after the
    // reader's "&" replacements); returns its number.
    quint32 addLine(qsizetype lineIndex);
    quint32 addRow(const QString &line);
    QString row(quint32 row) const;

    // The row's name=value lines joined by CR LF, as the reader has always stored them.
    QString text(quint32 row, quint32 extra) const override;

    // The value of the first line named Name (without regard to case) of that text.
    QString paramValue(quint32 row, quint32 extra, QStringView name) const;

    // Each of the 65 routine columns' value in that text (the first line of its name), for the
    // writer, without building the text. False when the column names hold something that only
    // the built text answers exactly (text beyond ASCII, "=", FORMULA or ALGORITHM twice).
    // The views point into rowText, formula and algorithm.
    bool routineValues(quint32 row, quint32 extra, std::vector<QStringView> &values,
                       std::vector<QStringView> &scratch, QString &rowText, QString &formula,
                       QString &algorithm) const;

private:
    // The "@" rule's two values of a row.
    void ruleValues(quint32 row, quint32 extra, QString &formula, QString &algorithm) const;
    QString trimmedField(quint32 row, qsizetype position) const;

    // The names stay in the line: a table of them would cost several times the line when it
    // holds many short ones.
    QString m_line;
    qsizetype m_columnCount = 0;
    qsizetype m_namesLength = 0;
    mutable QHash<QString, qsizetype> m_positions;
    mutable QString m_lastName;
    mutable qsizetype m_lastPosition = -1;
    std::shared_ptr<const CompactLines> m_lines;
    // Per row its line, or with the top bit set its place among the texts of their own.
    std::vector<quint32> m_rows;
    QStringList m_ownRows;
    bool m_plainNames = true;
    qsizetype m_formulaPos = -1;
    qsizetype m_algorithmPos = -1;
    // The column of each routine column's name, -1 when the line has none; found at the first
    // write.
    mutable std::vector<qsizetype> m_routinePos;
};

} // namespace tev
