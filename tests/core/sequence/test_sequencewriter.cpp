#include <gtest/gtest.h>

#include "core/lib/qstringprinter.h"
#include "core/project/tevproject.h"
#include "core/sequence/sequencefile.h"
#include "core/sequence/sequencetesthelpers.h"
#include "platform/error.h"
#include "platform/text/formatsettings.h"
#include "support/tempfolder.h"

#include <QDir>
#include <csignal>
#include <sys/resource.h>

using namespace tev;
using tev::test::fixture;
using tev::test::kCharFields;
using tev::test::readBytes;
using tev::test::table;

namespace {

void readInto(TTevProject &project, const QString &root, const QString &name,
              TEncoding::Ptr encoding = nullptr)
{
    project.SetRootDir(root);
    project.SetFileEncoding(std::move(encoding));
    project.BeginUpdate();
    project.ReadSequenceFile(QDir(root).filePath(name));
    project.EndUpdate();
}

} // namespace

TEST(SequenceWriter, WorkSequenceByteForByte)
{
    test::TempFolder root;
    QFile::copy(fixture("work.seq"), root.file("work.seq"));
    TTevProject project(nullptr, nullptr);
    SetDecimalSeparator(QLatin1Char(','));
    readInto(project, root.path(), "work.seq");
    project.WriteFile("out.seq");
    EXPECT_EQ(DecimalSeparator(), QLatin1Char(','));
    SetDecimalSeparator(QLatin1Char('.'));
    EXPECT_EQ(readBytes(root.file("out.seq")), readBytes(fixture("work_expected.seq")));
    EXPECT_EQ(project.FileText().toLatin1(), readBytes(fixture("work_expected.seq")))
        << "the file lines hold the text as written";
}

TEST(SequenceWriter, OnlyActiveCharacteristicsAndTheCurrentRecordStays)
{
    test::TempFolder root;
    QFile::copy(fixture("work.seq"), root.file("work.seq"));
    TTevProject project(nullptr, nullptr);
    readInto(project, root.path(), "work.seq");
    MemDataSet &chars = project.DataSetChars();
    const std::pair<const char *, QVariant> activity[] = {{"C1", 0}, {"C2", QVariant()}};
    for (const auto &[label, value] : activity) {
        ASSERT_TRUE(chars.locate("LABEL", {label}));
        chars.edit();
        chars.fieldByName("ACTIVE").setValue(value);
        chars.post();
    }
    chars.setFilter("LABEL = 'C3'");
    chars.setFiltered(true);
    project.WriteFile(root.file("out.seq"));
    EXPECT_TRUE(chars.filtered());
    EXPECT_EQ(chars.fieldByName("LABEL").asString(), "C3") << "current record restored";
    QStringList labels;
    for (const QString &line : QString::fromLatin1(readBytes(root.file("out.seq"))).split("\r\n")) {
        if (line.startsWith('C'))
            labels << line.section('\t', 0, 0);
    }
    EXPECT_EQ(labels, QStringList({"C4", "C3"}));
}

TEST(SequenceWriter, ReadWriteReadGivesTheSameDatasets)
{
    const std::pair<const char *, TEncoding::Ptr> cases[] = {
        {"master.seq", nullptr},
        {"master_utf8bom.seq", TEncoding::UTF8()},
        {"monitor.mseq", nullptr},
        {"work.seq", nullptr},
    };
    for (const auto &[name, encoding] : cases) {
        SCOPED_TRACE(name);
        test::TempFolder first;
        QFile::copy(fixture(name), first.file(name));
        TTevProject a(nullptr, nullptr);
        readInto(a, first.path(), name, encoding);
        a.WriteFile(name);
        if (encoding) {
            EXPECT_TRUE(readBytes(first.file(name)).startsWith(encoding->GetPreamble()));
        }
        TTevProject b(nullptr, nullptr);
        readInto(b, first.path(), name, encoding);

        // CHARIDs count in file order, which the writer makes the routine order.
        QStringList fields = kCharFields;
        fields.removeAll("CHARID");
        EXPECT_EQ(table(b.DataSetChars(), fields), table(a.DataSetChars(), fields));
        EXPECT_EQ(b.Header(), a.Header());
        EXPECT_EQ(b.DataSetProject().fieldByName("GENERATOR").asString(), a.Generator());

        // Writing the second read again gives the same bytes.
        b.WriteFile("again.seq");
        EXPECT_EQ(readBytes(first.file("again.seq")), readBytes(first.file(name)));
    }
}

TEST(SequenceWriter, HeaderLinesFromTheRecord)
{
    test::TempFolder root;
    test::writeBytes(root.file("A.seq"), "$PROJECTNAME Old\r\n$COVERLABEL c.bmp\r\n"
                                         "$X a=b\r\n$FLAG\r\n$ROUTINE\r\n");
    TTevProject project(nullptr, nullptr);
    readInto(project, root.path(), "A.seq");
    project.SetProjectName("New");
    project.SetImageFileName("");
    project.WriteFile("A.seq");
    EXPECT_EQ(QString::fromLatin1(readBytes(root.file("A.seq"))).section("$ROUTINE", 0, 0),
              "$PROJECTNAME New\r\n$X a=b\r\n$FLAG\r\n$LIMITS 0\r\n$FORMAT \r\n$PICKLIST \r\n"
              "$DEPENDS  \r\n$GENERATOR Ombrix\r\n");
}

TEST(SequenceWriter, EncodingOfTheLastReadAndAnsiBefore)
{
    test::TempFolder root;
    TTevProject project(nullptr, nullptr);
    project.SetRootDir(root.path());
    project.DataSetProject().append();
    project.DataSetProject().fieldByName("PROJECTNAME").setAsString("caf\u00e9");
    project.DataSetProject().post();
    project.WriteFile("ansi.seq");
    EXPECT_TRUE(readBytes(root.file("ansi.seq")).startsWith("$PROJECTNAME caf\xe9\r\n"));

    QFile::copy(fixture("master.seq"), root.file("master.seq"));
    readInto(project, root.path(), "master.seq", TEncoding::Unicode());
    project.WriteFile("utf16.seq");
    const QByteArray bytes = readBytes(root.file("utf16.seq"));
    EXPECT_TRUE(bytes.startsWith("\xff\xfe$\0T\0"));
}

// A write that fails part way (here: the file size limit of the process) reports the file
// and leaves the old sequence whole.
TEST(SequenceWriter, FailedWriteKeepsTheOldFile)
{
    test::TempFolder root;
    QFile::copy(fixture("work.seq"), root.file("work.seq"));
    TTevProject project(nullptr, nullptr);
    readInto(project, root.path(), "work.seq");
    const QByteArray old = readBytes(root.file("work.seq"));

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 200;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    SetDecimalSeparator(QLatin1Char(','));
    QString message;
    try {
        project.WriteFile("work.seq");
    } catch (const Error &e) {
        message = e.message();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(DecimalSeparator(), QLatin1Char(','));
    SetDecimalSeparator(QLatin1Char('.'));

    EXPECT_TRUE(message.startsWith("Cannot write file \"" + root.file("work.seq") + "\""))
        << message.toStdString();
    EXPECT_EQ(readBytes(root.file("work.seq")), old);
    EXPECT_EQ(QDir(root.path()).entryList(QDir::Files), QStringList({"work.seq"}))
        << "no temporary file is left";
    EXPECT_TRUE(project.FileText().contains("$LIMITS 0")) << "the lines hold the new text";

    EXPECT_THROW(project.WriteFile(root.file("missing/folder/x.seq")), Error);
}

// The reader skips lines that begin with "$" and rows with a blank label, so the writer refuses
// such a label instead of writing a characteristic that the next read would drop.
TEST(SequenceWriter, ALabelTheReaderWouldSkipIsRefused)
{
    const char *const labels[] = {"$X", " \t$X", "   "};
    for (const char *label : labels) {
        SCOPED_TRACE(label);
        test::TempFolder root;
        QFile::copy(fixture("work.seq"), root.file("work.seq"));
        TTevProject project(nullptr, nullptr);
        readInto(project, root.path(), "work.seq");
        const QByteArray old = readBytes(root.file("work.seq"));
        MemDataSet &chars = project.DataSetChars();
        chars.last();
        chars.edit();
        chars.fieldByName("LABEL").setAsString(label);
        chars.post();
        QString message;
        try {
            project.WriteFile("work.seq");
        } catch (const Error &e) {
            message = e.message();
        }
        EXPECT_EQ(message, QStringLiteral("The characteristic \"%1\" cannot be written: a label "
                                          "that is blank or begins with \"$\" would not be read "
                                          "back")
                               .arg(label));
        EXPECT_EQ(readBytes(root.file("work.seq")), old);
    }
}
