#include "core/sequence/routinetable.h"

#include "core/lib/fieldroutines.h"
#include "core/lib/numbers.h"
#include "core/lib/textroutines.h"
#include "core/sequence/routinerowtext.h"
#include "core/sequence/sequencecolumns.h"
#include "platform/dataset/memdataset.h"
#include "platform/error.h"
#include "platform/text/tstringlist.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace tev {

namespace {

QString seqName(const QString &fileName)
{
    return QFileInfo(fileName).completeBaseName();
}

} // namespace

QString FirstParamValue(QStringView Params, QStringView Name)
{
    // A line names Name when its first "=" follows Name's length of characters equal to Name
    // without regard to case (Name itself holds no "="); the length is checked first, as most
    // lines have another name.
    const QChar *chars = Params.data();
    const qsizetype n = Params.size();
    const qsizetype k = Name.size();
    qsizetype start = 0;
    while (start <= n) {
        qsizetype end = start;
        while (end < n && chars[end].unicode() != u'\r')
            ++end;
        if (end - start > k && chars[start + k].unicode() == u'=' &&
            Params.sliced(start, k).compare(Name, Qt::CaseInsensitive) == 0)
            return Params.sliced(start + k + 1, end - start - k - 1).toString();
        start = end + 1;
        if (start < n && chars[start].unicode() == u'\n')
            ++start;
    }
    return {};
}

QString CurrentParamValue(const MemDataSet &Chars, int ParamsIndex, QStringView Name)
{
    const QVariant &stored = Chars.storedValue(ParamsIndex);
    if (IsDeferredText(stored)) {
        const auto &deferred = *static_cast<const DeferredText *>(stored.constData());
        if (const auto *source = dynamic_cast<const RoutineRowText *>(deferred.source.get()))
            return source->paramValue(deferred.row, deferred.extra, Name);
    }
    return FirstParamValue(PlainValue(stored).toString(), Name);
}

void ReadRoutineRows(const QString &RefFileName, const QString &RefProjectName,
                     const std::shared_ptr<const CompactLines> &Lines, RoutineTarget &Target)
{
    MemDataSet &ds = Target.chars;
    auto field = [&](const char *name) -> Field & { return ds.fieldByName(QLatin1String(name)); };
    Field &fProjectId = field("PROJECTID");
    Field &fGroupId = field("GROUPID");
    Field &fCharId = field("CHARID");
    Field &fProjectName = field("PROJECTNAME");
    Field &fGroupName = field("GROUPNAME");
    Field &fFeature = field("FEATURE");
    Field &fLabel = field("LABEL");
    Field &fCharType = field("CHARTYPE");
    Field &fImage = field("IMAGE");
    Field &fImageX = field("IMAGEX");
    Field &fImageY = field("IMAGEY");
    Field &fDecimals = field("DECIMALS");
    Field &fRefFileName = field("REF_FILENAME");
    Field &fRefProjectName = field("REF_PROJECTNAME");
    Field &fRefGroupName = field("REF_GROUPNAME");
    Field &fActive = field("ACTIVE");
    Field &fState = field("STATE");
    Field &fSeqName = field("SEQNAME");
    constexpr size_t kFloatColumns = 5;
    const std::pair<const char *, Field *> floats[kFloatColumns] = {
        {"NOM_VALUE", &field("NOMINAL")}, {"MIN_VALUE", &field("LSL")},
        {"MAX_VALUE", &field("USL")},     {"RMIN_VALUE", &field("LREAS")},
        {"RMAX_VALUE", &field("UREAS")},
    };
    const QString refSeqName = seqName(RefFileName);
    const bool hasRefProject = !RefProjectName.isEmpty();

    // The group list is searched through a table of its case-folded names, so that a routine of
    // many groups does not cost a list search per row; new names still go through the list.
    QHash<QString, int> groups;
    for (int i = Target.groups.Count() - 1; i >= 0; --i)
        groups.insert(Target.groups.Strings(i).toCaseFolded(), i);
    auto groupIndex = [&](const QString &name) {
        const QString key = name.toCaseFolded();
        const auto it = groups.constFind(key);
        if (it != groups.cend())
            return *it;
        // The table holds every listed name, so a name it misses is new to a list that compares
        // without regard to case and keeps its order: it is appended without a list search.
        const int index = Target.groups.Sorted() || Target.groups.CaseSensitive()
                              ? AddDistinctStringListItem(Target.groups, name)
                              : Target.groups.Add(name);
        groups.insert(key, index);
        return index;
    };

    // Values that many rows share (groups, feature types, pictures, point names) are kept once;
    // a routine of unique values stops adding them after a few thousand.
    QSet<QString> shared;
    auto share = [&shared](const QString &value) {
        if (value.isEmpty())
            return value;
        const auto it = shared.constFind(value);
        if (it != shared.cend())
            return *it;
        if (shared.size() < 4096)
            shared.insert(value);
        return value;
    };

    std::shared_ptr<RoutineRowText> columns;
    // The columns the reader takes, found once in the column line.
    struct Positions
    {
        qsizetype groupName, image, col, row, pointName, feature, decimals, formula;
        qsizetype numbers[kFloatColumns];
    } at{};
    qsizetype labelPos = -1;
    std::vector<QStringView> fields;
    const int paramsIndex = ds.fieldIndex(QStringLiteral("PARAMS"));
    // The row whose algorithm the "@" rule gives; none before the first row with its own.
    std::optional<quint32> algorithmRow;

    for (qsizetype lineNo = 0; lineNo < Lines->count(); ++lineNo) {
        QString line = Lines->line(lineNo);
        if (line.startsWith(QLatin1Char('$')))
            continue;
        const qsizetype length = line.size();
        if (line.contains(QLatin1Char('&'))) {
            line.replace(QLatin1String(";&"), QLatin1String("&"));
            line.replace(QLatin1String("&;"), QLatin1String("&"));
        }
        // The replacements only ever shorten a line.
        const bool replaced = line.size() != length;
        if (!columns) {
            if (QStringView(line).count(QLatin1Char('\t')) >= 4) {
                columns = std::make_shared<RoutineRowText>(line, Lines);
                labelPos = columns->position(QStringLiteral("LABEL"));
                at.groupName = columns->position(QStringLiteral("GROUPNAME"));
                at.image = columns->position(QStringLiteral("BMP_IMAGE"));
                at.col = columns->position(QStringLiteral("BMP_COL"));
                at.row = columns->position(QStringLiteral("BMP_ROW"));
                at.pointName = columns->position(QStringLiteral("POINTNAME"));
                at.feature = columns->position(QStringLiteral("FEATURE"));
                at.decimals = columns->position(QStringLiteral("NDECIMALS"));
                at.formula = columns->position(QStringLiteral("FORMULA"));
                for (size_t i = 0; i < kFloatColumns; ++i)
                    at.numbers[i] = columns->position(QLatin1String(floats[i].first));
            }
            continue;
        }
        const qsizetype fieldCount = SplitFields(line, columns->columnCount(), fields);
        if (fieldCount < 5)
            continue;
        auto lineError = [&](const QString &what) {
            return Error(QStringLiteral("Line %1: %2").arg(lineNo + 1).arg(what));
        };
        if (labelPos < 0)
            throw lineError(QStringLiteral("the column line has no LABEL column"));
        if (labelPos >= fieldCount)
            throw lineError(QStringLiteral("the row has %1 fields, too few to hold the LABEL "
                                           "column (column %2)")
                                .arg(fieldCount)
                                .arg(labelPos + 1));
        if (TrimText(fields[size_t(labelPos)].toString()).isEmpty())
            continue;
        if (fieldCount > columns->columnCount())
            throw lineError(QStringLiteral("the row has %1 fields, the column line only %2")
                                .arg(fieldCount)
                                .arg(columns->columnCount()));

        auto rowValue = [&](qsizetype pos) {
            return pos < 0 || pos >= fieldCount ? QString()
                                                : TrimText(fields[size_t(pos)].toString());
        };

        const QString label = rowValue(labelPos);
        try {
            if (ds.locate(QStringLiteral("REF_FILENAME;LABEL"), {RefFileName, label})) {
                ds.edit();
            } else {
                ds.append();
                ++Target.lastId;
                fProjectId.setAsInteger(Target.projectId);
                fCharId.setAsInteger(Target.lastId);
                fLabel.setAsString(label);
                const QString groupName = share(rowValue(at.groupName));
                if (hasRefProject)
                    fRefGroupName.setAsString(groupName);
                fGroupName.setAsString(groupName);
                fImage.setAsString(share(rowValue(at.image)));
                fImageX.setAsInteger(StrToIntDef(rowValue(at.col), -1));
                fImageY.setAsInteger(StrToIntDef(rowValue(at.row), -1));
                fActive.setAsInteger(1);
                fState.setAsInteger(8);
            }
            fProjectName.setAsString(Target.projectName);
            fGroupId.setAsInteger(1 + groupIndex(fGroupName.asString()));
            fFeature.setAsString(share(rowValue(at.pointName)));
            fCharType.setAsString(share(rowValue(at.feature)));
            const int decimals = StrToIntDef(rowValue(at.decimals), 2);
            fDecimals.setAsInteger(decimals);
            for (size_t i = 0; i < kFloatColumns; ++i)
                SetFieldDouble(floats[i].second,
                               StrToDouble(rowValue(at.numbers[i]), decimals, true));
            fRefFileName.setAsString(RefFileName);
            fSeqName.setAsString(refSeqName);
            if (hasRefProject)
                fRefProjectName.setAsString(RefProjectName);

            // PARAMS is the row itself; its text is built when it is read. The "@" rule: a
            // formula marked with "@" takes the algorithm of the last row that had its own.
            const quint32 row = replaced ? columns->addRow(line) : columns->addLine(lineNo);
            quint32 rule = RoutineRowText::kNoRule;
            if (rowValue(at.formula).contains(QLatin1Char('@')))
                rule = algorithmRow ? RoutineRowText::ruleWithAlgorithmOf(*algorithmRow)
                                    : RoutineRowText::kRuleWithoutAlgorithm;
            else
                algorithmRow = row;
            ds.setCurrentDeferred(paramsIndex, DeferredText{columns, row, rule});
            ds.post();
        } catch (const Error &e) {
            ds.cancel();
            throw lineError(QStringLiteral("characteristic \"%1\": %2").arg(label, e.message()));
        }
    }
}

namespace {

// Whether name in upper case is upperAscii, for names of ASCII characters only: the others take
// the general upper-casing.
bool sameAsciiUpper(QStringView name, const QString &upperAscii)
{
    if (name.size() != upperAscii.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        char16_t c = name[i].unicode();
        if (c >= 0x80)
            return false;
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - (u'a' - u'A'));
        if (c != upperAscii[i].unicode())
            return false;
    }
    return true;
}

} // namespace

QStringList WriteRoutineRows(MemDataSet &Chars)
{
    struct Column
    {
        ColumnSource source;
        Field *field = nullptr;
        int index = -1;
    };
    std::vector<Column> columns;
    // Column position by upper-case name, to place a record's PARAMS lines.
    QHash<QString, int> positions;
    std::vector<QString> names;
    for (const SequenceColumn &c : kSequenceColumns) {
        Column col{c.source};
        if (c.source != ColumnSource::Params) {
            const QString name = QString::fromLatin1(c.field.data(), qsizetype(c.field.size()));
            col.field = &Chars.fieldByName(name);
            col.index = Chars.fieldIndex(name);
        }
        names.push_back(QString::fromLatin1(c.name.data(), qsizetype(c.name.size())));
        positions.insert(names.back(), int(columns.size()));
        columns.push_back(col);
    }
    // A name that a later column repeats belongs to that column in the table.
    std::vector<bool> ownName;
    for (size_t i = 0; i < names.size(); ++i)
        ownName.push_back(positions.value(names[i]) == int(i));
    Field &active = Chars.fieldByName(QStringLiteral("ACTIVE"));
    Field &labelField = Chars.fieldByName(QStringLiteral("LABEL"));
    Field &decimalsField = Chars.fieldByName(QStringLiteral("DECIMALS"));
    Field &paramsField = Chars.fieldByName(QStringLiteral("PARAMS"));

    const int paramsIndex = Chars.fieldIndex(QStringLiteral("PARAMS"));

    QStringList rows;
    std::vector<QStringView> values(columns.size());
    std::vector<bool> seen(columns.size());
    std::vector<QStringView> scratch;
    QString rowText;
    QString formula;
    QString algorithm;
    QString upperName;
    qsizetype lastLength = 0;
    // The current record's row from its fields and the PARAMS values in `values`.
    auto buildRow = [&]() {
        const int decimals = decimalsField.asInteger();
        QString row;
        row.reserve(lastLength);
        for (size_t i = 0; i < columns.size(); ++i) {
            const Column &c = columns[i];
            switch (c.source) {
            case ColumnSource::Text:
                Chars.appendAsString(c.index, row);
                break;
            case ColumnSource::Float:
                row += FieldToDoubleStr(*c.field, decimals, QChar());
                break;
            case ColumnSource::Params:
                row += values[i];
                break;
            }
            row += QLatin1Char('\t');
        }
        lastLength = row.size();
        return row;
    };
    for (Chars.first(); !Chars.eof(); Chars.next()) {
        if (active.asInteger() == 0)
            continue;
        // The reader skips a line that begins with "$" and a row whose label is blank: such a
        // row would be written, and then lost at the next read without a word.
        const QString label = TrimText(labelField.asString());
        if (label.isEmpty() || label.startsWith(QLatin1Char('$')))
            throw Error(QStringLiteral("The characteristic \"%1\" cannot be written: a label that "
                                       "is blank or begins with \"$\" would not be read back")
                            .arg(labelField.asString()));
        // A row as the reader kept it gives its values without its text being built.
        const QVariant &stored = Chars.storedValue(paramsIndex);
        if (IsDeferredText(stored)) {
            const auto &deferred = *static_cast<const DeferredText *>(stored.constData());
            const auto *source = dynamic_cast<const RoutineRowText *>(deferred.source.get());
            if (source && source->routineValues(deferred.row, deferred.extra, values, scratch,
                                                rowText, formula, algorithm)) {
                rows.append(buildRow());
                continue;
            }
        }
        // The first value of each column's name in PARAMS, as views into the text. The reader
        // writes the lines in column order, so the column after the last one found is tried
        // first; other names go through the table.
        const QString text = paramsField.asString();
        std::fill(values.begin(), values.end(), QStringView());
        std::fill(seen.begin(), seen.end(), false);
        const QStringView all(text);
        const qsizetype length = all.size();
        size_t expected = 0;
        for (qsizetype start = 0; start <= length;) {
            qsizetype cr = start;
            while (cr + 1 < length &&
                   !(all[cr].unicode() == u'\r' && all[cr + 1].unicode() == u'\n'))
                ++cr;
            if (cr + 1 >= length)
                cr = -1;
            const qsizetype end = cr < 0 ? length : cr;
            const QStringView line = all.sliced(start, end - start);
            start = cr < 0 ? length + 1 : cr + 2;
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (eq < 0)
                continue;
            const QStringView name = line.left(eq);
            int at = -1;
            if (expected < columns.size() && ownName[expected] &&
                sameAsciiUpper(name, names[expected])) {
                at = int(expected);
            } else {
                upperName = name.toString().toUpper();
                at = positions.value(upperName, -1);
            }
            if (at >= 0) {
                expected = size_t(at) + 1;
                if (!seen[size_t(at)]) {
                    seen[size_t(at)] = true;
                    values[size_t(at)] = line.sliced(eq + 1);
                }
            }
        }
        rows.append(buildRow());
    }
    return rows;
}

} // namespace tev
