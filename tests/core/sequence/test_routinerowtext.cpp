#include <gtest/gtest.h>

#include "core/lib/qstringprinter.h"
#include "core/sequence/routinerowtext.h"
#include "core/sequence/routinetable.h"
#include "core/sequence/sequencecolumns.h"

using namespace tev;

namespace {

struct Row
{
    QString line;
    quint32 rule;
};

struct Case
{
    const char *name;
    QString columns;
    std::vector<Row> rows;
    bool plain; // the writer takes the values from the row
};

QString columnName(const SequenceColumn &c)
{
    return QString::fromLatin1(c.name.data(), qsizetype(c.name.size()));
}

} // namespace

// A row's values taken from the kept row answer exactly what the built name=value text answers:
// the first line of each name, the "@" rule's moved FORMULA and ALGORITHM lines included.
TEST(RoutineRowText, ValuesFromTheRowEqualThoseOfTheBuiltText)
{
    const quint32 none = RoutineRowText::kNoRule;
    const quint32 noAlgorithm = RoutineRowText::kRuleWithoutAlgorithm;
    const quint32 ofRow0 = RoutineRowText::ruleWithAlgorithmOf(0);
    const Case cases[] = {
        {"the routine columns",
         SequenceColumnLine(),
         {{"L1\tF1\tDIA\t\t\t\t\t\t\t\t\t1\t2\t3\t\t\t0\t1\t T1.TEM(1) \timg.bmp\t4\t5", none},
          {"L2\t@G\tDIA", ofRow0},
          {"L3\t @H@ \tDIA\tc1", noAlgorithm}},
         true},
        {"lower-case names, a short row and an empty name",
         "label\tformula\t\tScale\talgorithm\tpointname",
         {{"L1\tF\tx\t2\tA1\tP", none}, {"L2\t@\tx", ofRow0}, {"L3\tG\t\t\t", none}},
         true},
        {"FORMULA twice",
         "LABEL\tFORMULA\tALGORITHM\tFORMULA\tPOINTNAME",
         {{"L1\tF\tA\tF2\tP", none}, {"L2\t@F\tB\tF3\tP", ofRow0}},
         false},
        {"a name with \"=\"",
         "LABEL\tA=B\tFORMULA\tALGORITHM\tPOINTNAME",
         {{"L1\tv\tF\tA\tP", none}, {"L2\tw\t@\tB\tP", ofRow0}},
         false},
        {"a name beyond ASCII",
         QStringLiteral("LABEL\tALGORıTHM\tFORMULA\tSCALE\tPOINTNAME"),
         {{"L1\tv\tF\t1\tP", none}, {"L2\tw\t@\t2\tP", ofRow0}},
         false},
    };
    QStringList names = {"LABEL", "formula", "ALGORITHM", "Scale", "POINTNAME", "MISSING", "A"};
    for (const SequenceColumn &c : kSequenceColumns)
        names << columnName(c);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RoutineRowText rows(c.columns);
        for (const Row &r : c.rows)
            rows.addRow(r.line);
        for (quint32 i = 0; i < quint32(c.rows.size()); ++i) {
            SCOPED_TRACE(c.rows[i].line.toStdString());
            const quint32 rule = c.rows[i].rule;
            const QString text = rows.text(i, rule);
            for (const QString &name : std::as_const(names))
                EXPECT_EQ(rows.paramValue(i, rule, name), FirstParamValue(text, name))
                    << name.toStdString();
            std::vector<QStringView> values;
            std::vector<QStringView> scratch;
            QString rowText;
            QString formula;
            QString algorithm;
            ASSERT_EQ(rows.routineValues(i, rule, values, scratch, rowText, formula, algorithm),
                      c.plain);
            if (!c.plain)
                continue;
            for (size_t k = 0; k < kSequenceColumns.size(); ++k) {
                const QString name = columnName(kSequenceColumns[k]);
                EXPECT_EQ(values[k].toString(), FirstParamValue(text, name)) << name.toStdString();
            }
        }
    }
}

// The text is the one the reader has always stored: name=value lines in column order, empty
// names left out, and for an "@" row FORMULA without "@" and the earlier row's algorithm moved
// to the end.
TEST(RoutineRowText, TextOfAnAtRowMovesFormulaAndAlgorithmToTheEnd)
{
    RoutineRowText rows("LABEL\tFORMULA\t\tALGORITHM\tPOINTNAME");
    rows.addRow("L1\tF\tgone\t A1 \tP");
    rows.addRow("L2\t@F@2\tgone\tA2\tQ");
    EXPECT_EQ(rows.text(0, RoutineRowText::kNoRule),
              "LABEL=L1\r\nFORMULA=F\r\nALGORITHM= A1 \r\nPOINTNAME=P");
    EXPECT_EQ(rows.text(1, RoutineRowText::ruleWithAlgorithmOf(0)),
              "LABEL=L2\r\nPOINTNAME=Q\r\nFORMULA=F2\r\nALGORITHM=A1");
    EXPECT_EQ(rows.text(1, RoutineRowText::kRuleWithoutAlgorithm),
              "LABEL=L2\r\nPOINTNAME=Q\r\nFORMULA=F2\r\nALGORITHM=");
}
