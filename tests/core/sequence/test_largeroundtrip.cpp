#include <gtest/gtest.h>

#include "core/lib/qstringprinter.h"
#include "core/project/tevproject.h"
#include "core/sequence/sequencecolumns.h"
#include "core/sequence/sequencetesthelpers.h"
#include "platform/text/tencoding.h"
#include "support/tempfolder.h"

#include <algorithm>

using namespace tev;
using tev::test::kCharFields;
using tev::test::readBytes;
using tev::test::table;

namespace {

// A work sequence of n characteristics with the variety a large routine has: 2,000 groups, "@"
// formulas, templates, pictures, numbers written in several ways, empty and missing fields,
// text beyond ASCII and the ";&" escapes.
QByteArray makeLargeSequence(int n)
{
    QString text = QStringLiteral("$TYPE 0\r\n$DEPENDS \r\n$FORMAT W.FMT\r\n$PROJECTNAME Large\r\n"
                                  "$NDECIMALS 3\r\n$GENERATOR Tevora\r\n$ROUTINE\r\n");
    text += SequenceColumnLine() + QStringLiteral("\r\n");
    for (int i = 0; i < n; ++i) {
        QString row;
        for (const SequenceColumn &c : kSequenceColumns) {
            const QLatin1String name(c.name.data(), qsizetype(c.name.size()));
            QString v;
            if (name == QLatin1String("LABEL"))
                v = QStringLiteral("L%1").arg(i);
            else if (name == QLatin1String("FORMULA"))
                v = i % 5 == 4 ? QStringLiteral("@F") : QStringLiteral("F%1").arg(i % 7);
            else if (name == QLatin1String("FEATURE"))
                v = i % 3 == 0 ? QStringLiteral("DIA") : QStringLiteral("Lä;&nge");
            else if (name == QLatin1String("NOM_VALUE"))
                v = i % 4 == 0 ? QString() : QStringLiteral("%1.12549").arg(i % 1000);
            else if (name == QLatin1String("MIN_VALUE"))
                v = QStringLiteral("-%1,5").arg(i % 17);
            else if (name == QLatin1String("MAX_VALUE"))
                v = QStringLiteral("%1e-3").arg(i % 97);
            else if (name == QLatin1String("ALGORITHM"))
                v = i % 10 == 0 ? QStringLiteral("T%1.TEM(1,2)").arg(i % 3) : QStringLiteral("ALG");
            else if (name == QLatin1String("BMP_IMAGE"))
                v = i % 7 == 0 ? QString() : QStringLiteral("img%1.bmp").arg(i % 20);
            else if (name == QLatin1String("BMP_COL") || name == QLatin1String("BMP_ROW"))
                v = QString::number(i % 640);
            else if (name == QLatin1String("NDECIMALS"))
                v = QString::number(i % 6);
            else if (name == QLatin1String("GROUPNAME"))
                v = QStringLiteral("Group %1").arg(i / 50);
            else if (name == QLatin1String("POINTNAME"))
                v = QStringLiteral("P%1").arg(i % 100);
            else if (name == QLatin1String("SCANOPTIONS"))
                v = QStringLiteral("a=1;b=2");
            else if (i % 11 == 0)
                v = QStringLiteral(" x%1 ").arg(i % 13);
            row += v + QLatin1Char('\t');
        }
        text += row + QStringLiteral("\r\n");
    }
    return TEncoding::Windows1252()->GetBytes(text);
}

void readInto(TTevProject &project, const QString &root, const QString &name)
{
    project.SetRootDir(root);
    project.BeginUpdate();
    project.ReadSequenceFile(root + QLatin1Char('/') + name);
    project.EndUpdate();
}

} // namespace

// Read, write, read a generated sequence of 100,000 characteristics: the same datasets, and
// the second write gives the same bytes as the first.
TEST(LargeSequence, ReadWriteReadGivesTheSameDatasetsAndBytes)
{
    test::TempFolder root;
    test::writeBytes(root.file("large.seq"), makeLargeSequence(100000));

    TTevProject a(nullptr, nullptr);
    readInto(a, root.path(), "large.seq");
    ASSERT_EQ(a.DataSetChars().recordCount(), 100000);
    EXPECT_EQ(a.GroupCount(), 2000);
    // Written over the file it was read from, so that the second read names the same source.
    a.WriteFile(root.file("large.seq"));

    TTevProject b(nullptr, nullptr);
    readInto(b, root.path(), "large.seq");
    // The typed fields; PARAMS keeps each value as the file wrote it, and the generated file
    // writes numbers in forms the writer does not use.
    const QStringList rowsA = table(a.DataSetChars(), kCharFields);
    const QStringList rowsB = table(b.DataSetChars(), kCharFields);
    ASSERT_EQ(rowsB.size(), rowsA.size());
    // The first row that differs, not a dump of all of them.
    const auto differ = std::mismatch(rowsA.begin(), rowsA.end(), rowsB.begin());
    EXPECT_TRUE(differ.first == rowsA.end()) << differ.first->toStdString() << "\n"
                                             << differ.second->toStdString();
    EXPECT_EQ(b.Depends(), a.Depends());
    EXPECT_EQ(QStringList(b.Depends().split(' ')).size(), 1 + 20 + 3) << b.Depends().toStdString();
    EXPECT_TRUE(b.Depends().startsWith("W.FMT img0.bmp img1.bmp img10.bmp"))
        << b.Depends().toStdString();
    EXPECT_TRUE(b.Depends().endsWith("img9.bmp T0.TEM T1.TEM T2.TEM")) << b.Depends().toStdString();

    b.WriteFile(root.file("second.seq"));
    const QByteArray first = readBytes(root.file("large.seq"));
    EXPECT_TRUE(readBytes(root.file("second.seq")) == first);
    EXPECT_GT(first.size(), 10'000'000);
}
