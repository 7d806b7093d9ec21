#include "core/sequence/routinerowtext.h"

#include "core/lib/textroutines.h"
#include "core/sequence/routinetable.h"
#include "core/sequence/sequencecolumns.h"

#include <algorithm>

namespace tev {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

bool sameUpperName(QStringView name, const QString &upperName)
{
    if (name.isEmpty())
        return false;
    // Upper-casing can change the length of text beyond ASCII; ASCII compares in place.
    if (!isAscii(name))
        return name.toString().toUpper() == upperName;
    return name.size() == upperName.size() && name.compare(upperName, Qt::CaseInsensitive) == 0;
}

// Walks the TAB-separated fields of a line one by one.
class FieldCursor
{
public:
    explicit FieldCursor(QStringView line)
        : m_line(line)
    {}
    QStringView next()
    {
        const qsizetype tab = FindTab(m_line, m_at);
        const qsizetype end = tab < 0 ? m_line.size() : tab;
        const QStringView field = m_line.sliced(m_at, end - m_at);
        m_at = tab < 0 ? m_line.size() : tab + 1;
        return field;
    }

private:
    QStringView m_line;
    qsizetype m_at = 0;
};

// The field at a position of a line; a null view when the line has fewer fields.
QStringView fieldAt(QStringView line, qsizetype position)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < position; ++i) {
        const qsizetype tab = FindTab(line, start);
        if (tab < 0)
            return {};
        start = tab + 1;
    }
    const qsizetype tab = FindTab(line, start);
    return line.sliced(start, (tab < 0 ? line.size() : tab) - start);
}

// What WriteCfgString does to a list of these lines, on the text itself: the first line named
// Name (without regard to case) is removed, and "Name=Value" is added as the last line.
void ReplaceParamLast(QString &Params, QStringView Name, QStringView Value)
{
    const QChar *chars = Params.constData();
    const qsizetype n = Params.size();
    const qsizetype k = Name.size();
    for (qsizetype start = 0; start < n;) {
        qsizetype end = start;
        while (end < n && chars[end].unicode() != u'\r')
            ++end;
        const QStringView line(chars + start, end - start);
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq == k && line.left(k).compare(Name, Qt::CaseInsensitive) == 0) {
            // The line with the break that ends it, or the one before when it is the last.
            if (end < n)
                Params.remove(start, end + 2 - start);
            else
                Params.truncate(start >= 2 ? start - 2 : 0);
            break;
        }
        start = end + 2;
    }
    if (!Params.isEmpty())
        Params += kCrLf;
    Params += Name;
    Params += QLatin1Char('=');
    Params += Value;
}

qsizetype routineIndex(std::string_view name)
{
    for (size_t i = 0; i < kSequenceColumns.size(); ++i) {
        if (kSequenceColumns[i].name == name)
            return qsizetype(i);
    }
    return -1;
}

const qsizetype kFormulaColumn = routineIndex("FORMULA");
const qsizetype kAlgorithmColumn = routineIndex("ALGORITHM");

} // namespace

qsizetype FindTab(QStringView line, qsizetype from)
{
    const QChar *chars = line.data();
    const qsizetype n = line.size();
    for (qsizetype i = from; i < n; ++i) {
        if (chars[i].unicode() == u'\t')
            return i;
    }
    return -1;
}

qsizetype SplitFields(QStringView line, qsizetype limit, std::vector<QStringView> &fields)
{
    fields.clear();
    qsizetype count = 0;
    for (qsizetype start = 0;; ++count) {
        const qsizetype tab = FindTab(line, start);
        const qsizetype end = tab < 0 ? line.size() : tab;
        if (count < limit)
            fields.push_back(line.sliced(start, end - start));
        if (tab < 0)
            return count + 1;
        start = tab + 1;
    }
}

namespace {

constexpr quint32 kOwnRow = 0x80000000u;

} // namespace

RoutineRowText::RoutineRowText(const QString &columnLine, std::shared_ptr<const CompactLines> lines)
    : m_line(columnLine)
    , m_columnCount(QStringView(columnLine).count(QLatin1Char('\t')) + 1)
    , m_namesLength(columnLine.size() - (m_columnCount - 1))
    , m_lines(std::move(lines))
{
    int formulas = 0;
    int algorithms = 0;
    FieldCursor names(m_line);
    for (qsizetype i = 0; i < m_columnCount; ++i) {
        const QStringView name = names.next();
        if (!isAscii(name) || name.contains(QLatin1Char('=')))
            m_plainNames = false;
        formulas += name.compare(QLatin1String("FORMULA"), Qt::CaseInsensitive) == 0 ? 1 : 0;
        algorithms += name.compare(QLatin1String("ALGORITHM"), Qt::CaseInsensitive) == 0 ? 1 : 0;
    }
    if (formulas > 1 || algorithms > 1)
        m_plainNames = false;
    m_formulaPos = position(QStringLiteral("FORMULA"));
    m_algorithmPos = position(QStringLiteral("ALGORITHM"));
}

qsizetype RoutineRowText::position(const QString &upperName) const
{
    const auto known = m_positions.constFind(upperName);
    if (known != m_positions.cend())
        return *known;
    qsizetype found = -1;
    FieldCursor names(m_line);
    for (qsizetype i = 0; i < m_columnCount && found < 0; ++i) {
        if (sameUpperName(names.next(), upperName))
            found = i;
    }
    m_positions.insert(upperName, found);
    return found;
}

quint32 RoutineRowText::addLine(qsizetype lineIndex)
{
    m_rows.push_back(quint32(lineIndex));
    return quint32(m_rows.size() - 1);
}

quint32 RoutineRowText::addRow(const QString &line)
{
    m_rows.push_back(kOwnRow | quint32(m_ownRows.size()));
    m_ownRows.append(line);
    return quint32(m_rows.size() - 1);
}

QString RoutineRowText::row(quint32 row) const
{
    const quint32 at = m_rows[row];
    return (at & kOwnRow) ? m_ownRows[qsizetype(at & ~kOwnRow)] : m_lines->line(qsizetype(at));
}

QString RoutineRowText::trimmedField(quint32 row, qsizetype position) const
{
    if (position < 0)
        return {};
    return TrimText(fieldAt(this->row(row), position).toString());
}

void RoutineRowText::ruleValues(quint32 row, quint32 extra, QString &formula,
                                QString &algorithm) const
{
    formula = trimmedField(row, m_formulaPos).remove(QLatin1Char('@'));
    algorithm =
        extra == kRuleWithoutAlgorithm ? QString() : trimmedField(extra - 2, m_algorithmPos);
}

QString RoutineRowText::text(quint32 row, quint32 extra) const
{
    const QString line = this->row(row);
    const qsizetype fieldCount = QStringView(line).count(QLatin1Char('\t')) + 1;
    // The name=value lines written straight into text sized for all of them at once.
    QString params(line.size() + m_namesLength + 3 * fieldCount, Qt::Uninitialized);
    QChar *const begin = params.data();
    QChar *out = begin;
    qsizetype start = 0;
    FieldCursor names(m_line);
    for (qsizetype i = 0; i < fieldCount; ++i) {
        const qsizetype tab = FindTab(line, start);
        const qsizetype end = tab < 0 ? line.size() : tab;
        const QStringView name = names.next();
        if (!name.isEmpty()) {
            if (out != begin) {
                *out++ = QLatin1Char('\r');
                *out++ = QLatin1Char('\n');
            }
            out = std::copy(name.begin(), name.end(), out);
            *out++ = QLatin1Char('=');
            out = std::copy(line.begin() + start, line.begin() + end, out);
        }
        start = end + 1;
    }
    params.truncate(out - begin);
    if (extra != kNoRule) {
        QString formula;
        QString algorithm;
        ruleValues(row, extra, formula, algorithm);
        ReplaceParamLast(params, u"FORMULA", formula);
        ReplaceParamLast(params, u"ALGORITHM", algorithm);
    }
    return params;
}

QString RoutineRowText::paramValue(quint32 row, quint32 extra, QStringView name) const
{
    if (!m_plainNames || !isAscii(name))
        return FirstParamValue(text(row, extra), name);
    if (extra != kNoRule) {
        const bool formula = name.compare(QLatin1String("FORMULA"), Qt::CaseInsensitive) == 0;
        if (formula || name.compare(QLatin1String("ALGORITHM"), Qt::CaseInsensitive) == 0) {
            QString f;
            QString a;
            ruleValues(row, extra, f, a);
            return formula ? f : a;
        }
    }
    // Names of ASCII characters compare without regard to case as their upper-case forms do.
    // A walk over many rows asks for one name again and again.
    if (name.compare(m_lastName, Qt::CaseSensitive) != 0) {
        m_lastName = name.toString();
        m_lastPosition = position(m_lastName.toUpper());
    }
    const qsizetype p = m_lastPosition;
    return p < 0 ? QString() : fieldAt(this->row(row), p).toString();
}

bool RoutineRowText::routineValues(quint32 row, quint32 extra, std::vector<QStringView> &values,
                                   std::vector<QStringView> &scratch, QString &rowText,
                                   QString &formula, QString &algorithm) const
{
    if (!m_plainNames)
        return false;
    if (m_routinePos.empty()) {
        for (const SequenceColumn &c : kSequenceColumns)
            m_routinePos.push_back(
                position(QString::fromLatin1(c.name.data(), qsizetype(c.name.size()))));
    }
    rowText = this->row(row);
    const qsizetype fieldCount = SplitFields(rowText, m_columnCount, scratch);
    values.resize(m_routinePos.size());
    for (size_t i = 0; i < m_routinePos.size(); ++i) {
        const qsizetype p = m_routinePos[i];
        values[i] = p >= 0 && p < fieldCount ? scratch[size_t(p)] : QStringView();
    }
    if (extra != kNoRule) {
        ruleValues(row, extra, formula, algorithm);
        values[size_t(kFormulaColumn)] = formula;
        values[size_t(kAlgorithmColumn)] = algorithm;
    }
    return true;
}

} // namespace tev
