#include <gtest/gtest.h>

#include "core/lib/qstringprinter.h"
#include "core/sequence/compactlines.h"
#include "core/sequence/sequencefile.h"

using namespace tev;

// The compact lines are the lines SplitSequenceLines gives, for text of one-byte characters and
// for text beyond them, and join back to the file's text with CR LF.
TEST(CompactLines, HoldsTheLinesOfTheText)
{
    const QString texts[] = {
        QString(),
        QStringLiteral("a\r\nb\rc\nd"),
        QStringLiteral("$X 1\r\n\r\nä\tß\t\r\n"),
        QStringLiteral("€ 1\r\nline two\r\n\r\n"),
        QStringLiteral("\n\n"),
    };
    for (const QString &text : texts) {
        SCOPED_TRACE(text.toStdString());
        const QStringList expected = SplitSequenceLines(text);
        const CompactLines lines = CompactLines::fromText(text);
        EXPECT_EQ(lines.toStringList(), expected);
        ASSERT_EQ(lines.count(), expected.size());
        for (qsizetype i = 0; i < lines.count(); ++i)
            EXPECT_EQ(lines.line(i), expected[i]);
        const CompactLines fromList = CompactLines::fromLines(expected);
        EXPECT_EQ(fromList.toStringList(), expected);
        QString joined;
        for (const QString &line : expected)
            joined += line + QStringLiteral("\r\n");
        EXPECT_EQ(lines.fileText(), joined);
    }
}
