#include <gtest/gtest.h>

#include "core/lib/qstringprinter.h"
#include "core/project/tevproject.h"
#include "core/sequence/filetype.h"
#include "core/sequence/sequencefile.h"
#include "core/sequence/sequencetesthelpers.h"
#include "platform/error.h"
#include "platform/text/formatsettings.h"
#include "support/fifoguard.h"
#include "support/tempfolder.h"
#include <QRegularExpression>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

using namespace tev;
using tev::test::fixture;
using tev::test::kCharFields;
using tev::test::table;

namespace {

// Reads a copy of a fixture (or of given bytes) under a temporary sequence root.
struct Opened
{
    test::TempFolder root;
    TTevProject project{nullptr, nullptr};

    explicit Opened(const QString &fixtureName, TEncoding::Ptr encoding = nullptr)
    {
        QFile::copy(fixture(fixtureName), root.file(fixtureName));
        read(fixtureName, encoding);
    }
    Opened(const QString &name, const QByteArray &bytes)
    {
        test::writeBytes(root.file(name), bytes);
        read(name, nullptr);
    }
    void read(const QString &name, TEncoding::Ptr encoding)
    {
        project.SetRootDir(root.path());
        project.SetFileEncoding(std::move(encoding));
        project.BeginUpdate();
        project.ReadSequenceFile(root.file(name));
        project.EndUpdate();
    }
};

QStringList expectedMasterTable(const QString &file)
{
    const QString seq = QString(file).remove(QRegularExpression("\\.seq$"));
    const QString tail = "|" + file + "|" + seq + "|Master caf\u00e9 \u0081|0||";
    return {
        "1|1|L1|G1|P1b|POS|11|||b.bmp|10|20|3|1|8" + tail,
        "1|2|L2|G1|P2|DIA|1.5|||a.bmp|-1|5|2|1|8" + tail,
        "1|4|L4|G1|P4|FLAT|||||-1|-1|2|1|8" + tail,
        "2|3|L3|Gr\u00e9|P3|||||a.bmp|1|2|1|1|8" + tail,
    };
}

const QString kMasterHeader = "$TYPE=0\r\n$DEPENDS=F.FMT a.bmp b.bmp GAP.TEM\r\n$FORMAT=F.FMT\r\n"
                              "$PICKLIST=\r\n$SHORTDESC= Gap\r\n$VERSION=  1.2 \r\n"
                              "$PROJECTNAME=Master caf\u00e9 \u0081\r\n$LONGDESC=a\\r\\nb\r\n"
                              "$GENERATOR=Ombrix\r\n$COVERLABEL=cover.bmp\r\n$CUSTOM=a=b\r\n"
                              "$LIMITS=0";

} // namespace

TEST(SequenceFileTypes, ExtensionsAndCaptions)
{
    const std::tuple<const char *, TTevFileType, const char *> cases[] = {
        {".seq", TTevFileType::pftSEQ, "Kelmetra Sequence (*.seq)"},
        {".mseq", TTevFileType::pftMSEQ, "Sentavo Sequence (*.mseq)"},
        {".SEQ", TTevFileType::pftUnknown, "Undefined"},
        {"", TTevFileType::pftUnknown, "Undefined"},
        {".txt", TTevFileType::pftUnknown, "Undefined"},
    };
    for (const auto &[ext, type, text] : cases) {
        SCOPED_TRACE(ext);
        EXPECT_EQ(FileTypeOfExt(ext), type);
        EXPECT_EQ(FileTypeToText(FileTypeOfExt(ext)), QLatin1String(text));
    }
}

TEST(SequenceReader, MasterFixtureAsTables)
{
    const std::pair<const char *, TEncoding::Ptr> variants[] = {
        {"master.seq", nullptr},
        {"master_lf.seq", TEncoding::Windows1252()},
        {"master_utf8bom.seq", TEncoding::UTF8()},
    };
    for (const auto &[name, encoding] : variants) {
        SCOPED_TRACE(name);
        Opened o(name, encoding);
        TTevProject &p = o.project;
        EXPECT_EQ(table(p.DataSetChars(), kCharFields), expectedMasterTable(name));
        EXPECT_EQ(p.Header(), kMasterHeader);
        EXPECT_EQ(p.ShortDesc(), "Gap");
        EXPECT_EQ(p.Version(), "1.2");
        EXPECT_EQ(p.LongDesc(), "a\r\nb");
        EXPECT_EQ(p.GetHeaderValue("$CUSTOM"), "a=b");
        EXPECT_EQ(p.Depends(), "F.FMT a.bmp b.bmp GAP.TEM");
        EXPECT_EQ(p.GetDependsList(), "F.FMT\r\na.bmp\r\nb.bmp\r\nGAP.TEM");
        EXPECT_EQ(p.ImageFileName(), "cover.bmp");
        EXPECT_EQ(p.Generator(), "Ombrix");
        EXPECT_EQ(p.FileType(), TTevFileType::pftSEQ);
        EXPECT_EQ(p.FileContextName(), "Master Sequence (*.seq)");
        EXPECT_EQ(p.GroupCount(), 2);
        EXPECT_EQ(p.Groups(1), "Gr\u00e9");
        EXPECT_EQ(p.DataSetProject().fieldByName("FILENAME").asString(), name);

        // The "@" rule, unknown columns and the lower-case label column in PARAMS.
        MemDataSet &chars = p.DataSetChars();
        ASSERT_TRUE(chars.locate("LABEL", {"L2"}));
        EXPECT_EQ(p.GetCharParam("FORMULA"), "B");
        EXPECT_EQ(p.GetCharParam("ALGORITHM"), "X");
        EXPECT_EQ(p.GetCharParam("EXTRA"), "e2");
        EXPECT_EQ(p.GetCharParam("NOM_VALUE"), "1,5");
        EXPECT_TRUE(chars.fieldByName("PARAMS").asString().startsWith("label=L2\r\n"));
        EXPECT_TRUE(chars.fieldByName("PARAMS").asString().endsWith(
            "EXTRA=e2\r\nFORMULA=B\r\nALGORITHM=X"));
        ASSERT_TRUE(chars.locate("LABEL", {"L1"}));
        EXPECT_EQ(p.GetCharParam("FORMULA"), "E") << "the second row updates the first";
        EXPECT_FALSE(chars.locate("GROUPNAME", {"G9"})) << "a blank LABEL adds nothing";
    }
}

TEST(SequenceReader, WithoutAMarkTheUtf8FileReadsAsAnsi)
{
    // The mark of another encoding is text: the first line no longer begins with "$", so the
    // header ends before it, and the UTF-8 bytes read as Windows-1252 characters.
    Opened o("master_utf8bom.seq", TEncoding::Windows1252());
    EXPECT_EQ(o.project.ProjectName(), "");
    EXPECT_FALSE(o.project.Header().contains("$TYPE"));
    EXPECT_EQ(o.project.DataSetChars().recordCount(), 4);
    EXPECT_EQ(o.project.Groups(1), "Gr\u00c3\u00a9");
}

TEST(SequenceReader, MonitorAndWorkKinds)
{
    Opened monitor("monitor.mseq");
    EXPECT_EQ(monitor.project.FileType(), TTevFileType::pftMSEQ);
    EXPECT_EQ(monitor.project.Generator(), "Tevora");
    EXPECT_EQ(monitor.project.FileContextName(), "Sentavo Sequence (*.mseq)");
    EXPECT_EQ(table(monitor.project.DataSetChars(), {"LABEL", "NOMINAL", "DECIMALS"}),
              QStringList({"M1|20.5|1", "M2|21|1"}));

    Opened work("work.seq");
    EXPECT_EQ(work.project.FileContextName(), "Work Sequence (*.seq)");

    const std::tuple<const char *, const char *, const char *> generators[] = {
        {"A.seq", "", "Ombrix"},
        {"A.mseq", "", "Sentavo"},
        {"A.SEQ", "", ""},
        {"A.seq", "$GENERATOR \r\n", "Ombrix"},
        {"A.seq", "$GENERATOR Other\r\n", "Other"},
    };
    for (const auto &[name, header, generator] : generators) {
        SCOPED_TRACE(std::string(name) + " " + header);
        Opened o(name, QByteArray(header) + "$ROUTINE\r\n");
        EXPECT_EQ(o.project.Generator(), QLatin1String(generator));
    }
    Opened upper("A.SEQ", QByteArray("$ROUTINE\r\n"));
    EXPECT_EQ(upper.project.FileContextName(), "Master Sequence (*.seq)");
}

TEST(SequenceReader, HeaderEdges)
{
    struct Case
    {
        const char *label;
        QByteArray bytes;
        QString header;
    };
    const Case cases[] = {
        {"defaults appended", "$TYPE 0\r\n$ROUTINE\r\n",
         "$TYPE=0\r\n$LIMITS=0\r\n$FORMAT=D.FMT\r\n$PICKLIST=D.UIF\r\n$DEPENDS=D.FMT D.UIF "},
        {"empty values stay empty", "$FORMAT \r\n$PICKLIST \r\n$LIMITS \r\n",
         "$FORMAT=\r\n$PICKLIST=\r\n$LIMITS=\r\n$DEPENDS= "},
        {"header ends without $ROUTINE", "$A 1\r\nLABEL\tB\tC\tD\tE\t\r\n$B 2\r\n",
         "$A=1\r\n$LIMITS=0\r\n$FORMAT=D.FMT\r\n$PICKLIST=D.UIF\r\n$DEPENDS=D.FMT D.UIF "},
        {"CR line ends and a value with =", "$A x=y\r$ROUTINE\r",
         "$A=x=y\r\n$LIMITS=0\r\n$FORMAT=D.FMT\r\n$PICKLIST=D.UIF\r\n$DEPENDS=D.FMT D.UIF "},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        test::TempFolder root;
        test::writeBytes(root.file("A.seq"), c.bytes);
        TTevProject project(nullptr, nullptr);
        project.Defaults().FormatFile = "D.FMT";
        project.Defaults().PickListFile = "D.UIF";
        project.SetRootDir(root.path());
        project.ReadSequenceFile(root.file("A.seq"));
        EXPECT_EQ(project.Header(), c.header);
    }
}

TEST(SequenceReader, DependsListExactly)
{
    // Images b.bmp, a.bmp, a.bmp, B.BMP; templates GAP.TEM( and gap.tem(; format F.FMT.
    const QByteArray routine = "$ROUTINE\r\nLABEL\tBMP_IMAGE\tALGORITHM\tPOINTNAME\tX\t\r\n"
                               "1\tb.bmp\tGAP.TEM(1,2)\tp\t\t\r\n"
                               "2\ta.bmp\tgap.tem(1)\tp\t\t\r\n"
                               "3\ta.bmp\tT.TEM\tp\t\t\r\n"
                               "4\tB.BMP\tx.TEM(\tp\t\t\r\n"
                               "5\t  \t\tp\t\t\r\n";
    const std::pair<QByteArray, const char *> cases[] = {
        {"$FORMAT F.FMT\r\n$PICKLIST \r\n", "F.FMT a.bmp b.bmp GAP.TEM x.TEM"},
        {"$FORMAT \r\n$PICKLIST P.UIF\r\n", " P.UIF a.bmp b.bmp GAP.TEM x.TEM"},
        {"$FORMAT \r\n", " a.bmp b.bmp GAP.TEM x.TEM"},
    };
    for (const auto &[header, depends] : cases) {
        SCOPED_TRACE(header.constData());
        Opened o("A.seq", header + routine);
        EXPECT_EQ(o.project.GetHeaderValue("$DEPENDS"), QString(depends).trimmed());
        const QString line = o.project.Header().split("\r\n").filter("$DEPENDS=").value(0);
        EXPECT_EQ(line, QStringLiteral("$DEPENDS=") + depends);
    }
}

TEST(SequenceReader, ColumnAndRowEdges)
{
    struct Case
    {
        const char *label;
        QByteArray routine;
        QStringList rows; // LABEL|FEATURE|IMAGEX|NOMINAL
    };
    const Case cases[] = {
        {"4-field first line skipped",
         "a\tb\tc\td\r\nLABEL\tPOINTNAME\tBMP_COL\tNOM_VALUE\tX\t\r\n"
         "L\tP\t3\t1.25\t\t\r\n",
         {"L|P|3|1.25"}},
        {"short lines skipped", "LABEL\tPOINTNAME\tBMP_COL\tNOM_VALUE\tX\t\r\nL\tP\r\n", {}},
        {"row shorter than the column line",
         "LABEL\tPOINTNAME\tBMP_COL\tNOM_VALUE\tX\tY\t\r\n"
         "L\tP\t\t2\t\r\n",
         {"L|P|-1|2"}},
        {"'& and &; joined",
         "LABEL\tPOINTNAME\tBMP_COL\tNOM_VALUE\tX\t\r\n"
         "L\tA;&B&;C\tx\t\t\t\r\n",
         {"L|A&B&C|-1|"}},
        {"trimmed values",
         "LABEL\tPOINTNAME\tBMP_COL\tNOM_VALUE\tX\t\r\n L \t P \t 4 \t 1.5 \t\t\r\n",
         {"L|P|4|1.5"}},
        {"labels are case-sensitive",
         "LABEL\tPOINTNAME\tBMP_COL\tNOM_VALUE\tX\t\r\n"
         "a\tP\t1\t\t\t\r\nA\tQ\t2\t\t\t\r\n",
         {"a|P|1|", "A|Q|2|"}},
        {"not a number reads null",
         "LABEL\tPOINTNAME\tBMP_COL\tNOM_VALUE\tX\t\r\n"
         "L\tP\t1\t1,234.5\t\t\r\n",
         {"L|P|1|"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        Opened o("A.seq", "$ROUTINE\r\n" + c.routine);
        EXPECT_EQ(table(o.project.DataSetChars(), {"LABEL", "FEATURE", "IMAGEX", "NOMINAL"}),
                  c.rows);
    }
}

TEST(SequenceReader, BadRowsStopTheReadWithTheLine)
{
    struct Case
    {
        const char *label;
        QByteArray routine;
        const char *message;
        QStringList kept; // LABELs read before the fault
    };
    const QByteArray columns = "LABEL\tPOINTNAME\tFEATURE\tNOM_VALUE\tX\t\r\n";
    const Case cases[] = {
        {"no LABEL column",
         "A\tPOINTNAME\tC\tD\tE\t\r\nL\tP\t\t\t\t\r\n",
         "Line 3: the column line has no LABEL column",
         {}},
        {"more fields than columns",
         columns + "L1\tP\t\t\t\t\r\nL2\tP\t\t\t\t\tx\t\r\n",
         "Line 4: the row has 8 fields, the column line only 6",
         {"L1"}},
        {"missing point name",
         columns + "L1\tP\t\t\t\t\r\nL2\t \t\t\t\t\r\n",
         "Line 4: characteristic \"L2\": Field 'FEATURE' must have a value",
         {"L1"}},
        {"feature type over its 10 characters",
         columns + "L1\tP\t0123456789X\t\t\t\r\n",
         "Line 3: characteristic \"L1\": Value of field 'CHARTYPE' is 11 characters long",
         {}},
        {"label shorter than its position",
         "A\tB\tC\tD\tE\tF\tLABEL\tPOINTNAME\t\r\nx\ty\tz\tw\tv\r\n",
         "Line 3: the row has 5 fields",
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        test::TempFolder root;
        test::writeBytes(root.file("A.seq"), "$ROUTINE\r\n" + c.routine);
        TTevProject project(nullptr, nullptr);
        project.SetRootDir(root.path());
        SetDecimalSeparator(QLatin1Char(','));
        try {
            project.ReadSequenceFile(root.file("A.seq"));
            ADD_FAILURE() << "read did not fail";
        } catch (const Error &e) {
            EXPECT_TRUE(e.message().startsWith(QLatin1String(c.message))) << e.what();
        }
        EXPECT_EQ(DecimalSeparator(), QLatin1Char(',')) << "the separator is restored";
        SetDecimalSeparator(QLatin1Char('.'));
        MemDataSet &chars = project.DataSetChars();
        EXPECT_EQ(chars.state(), DataSetState::Browse);
        EXPECT_FALSE(chars.controlsDisabled());
        EXPECT_EQ(table(chars, {"LABEL"}), c.kept);
    }
}

TEST(SequenceReader, RereadUnderAFilterUpdatesInsteadOfDuplicating)
{
    Opened o("master.seq");
    TTevProject &p = o.project;
    MemDataSet &chars = p.DataSetChars();
    chars.setFilter("GROUPNAME = 'Gr\u00e9'");
    chars.setFiltered(true);
    ASSERT_EQ(chars.recordCount(), 1);
    p.ReadRoutine(p.RelativeFileName(), QString(), p.FileLines(), false);
    EXPECT_TRUE(chars.filtered()) << "the filter is on again";
    EXPECT_EQ(chars.filter(), "GROUPNAME = 'Gr\u00e9'");
    EXPECT_EQ(chars.recordCount(), 1);
    chars.setFiltered(false);
    EXPECT_EQ(table(chars, {"CHARID", "LABEL"}), QStringList({"1|L1", "2|L2", "4|L4", "3|L3"}));

    // A master read into the same dataset counts on from the largest CHARID.
    chars.setFilter("CHARID < 2");
    chars.setFiltered(true);
    p.ReadRoutine("Masters/M.seq", "Master M", p.FileLines(), false);
    chars.setFiltered(false);
    EXPECT_EQ(chars.recordCount(), 8);
    chars.setIndexName("IDX_CHARID");
    EXPECT_EQ(table(chars, {"CHARID", "LABEL", "REF_FILENAME", "REF_PROJECTNAME", "SEQNAME",
                            "REF_GROUPNAME"}),
              QStringList({"1|L1|master.seq||master|", "2|L2|master.seq||master|",
                           "3|L3|master.seq||master|", "4|L4|master.seq||master|",
                           "5|L1|Masters/M.seq|Master M|M|G1", "6|L2|Masters/M.seq|Master M|M|G1",
                           "7|L3|Masters/M.seq|Master M|M|Gr\u00e9",
                           "8|L4|Masters/M.seq|Master M|M|G1"}));
}

TEST(SequenceReader, UnreadableFileGivesAnEmptyProjectOfItsKind)
{
    test::TempFolder root;
    TTevProject project(nullptr, nullptr);
    project.SetRootDir(root.path());
    project.ReadSequenceFile(root.file("gone.mseq"));
    EXPECT_FALSE(project.Empty());
    EXPECT_EQ(project.Generator(), "Sentavo");
    EXPECT_EQ(project.Header(), "$LIMITS=0\r\n$FORMAT=\r\n$PICKLIST=\r\n$DEPENDS= ");
    EXPECT_TRUE(project.DataSetChars().isEmpty());
}

namespace {

// Runs in a child process: opens a file as the project with a minute and a gigabyte to spare,
// prints the load error and exits with 0 when the project came out empty.
[[noreturn]] void readBounded(const QString &root, const QString &name)
{
    alarm(60);
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t room = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t(1) << 30);
    const rlimit limit{room, room};
    setrlimit(RLIMIT_AS, &limit);
    TTevProject project(nullptr, nullptr);
    project.SetRootDir(root);
    project.ReadSequenceFile(root + "/" + name);
    std::fprintf(stderr, "%s\n", qPrintable(project.LoadError()));
    std::_Exit(project.DataSetChars().isEmpty() && project.FileLines().isEmpty() ? 0 : 1);
}

} // namespace

// A FIFO would block the open for ever and a device such as /dev/zero would fill the memory:
// only regular files are read, anything else opens as an empty project and keeps the reason.
TEST(SequenceReader, NonRegularFilesOpenAsAnEmptyProject)
{
    test::TempFolder root;
    const QString fifo = root.file("x.seq");
    test::FifoGuard guard(fifo);
    ASSERT_TRUE(guard.made());
    TTevProject project(nullptr, nullptr);
    project.SetRootDir(root.path());
    project.ReadSequenceFile(fifo);
    EXPECT_TRUE(project.DataSetChars().isEmpty());
    EXPECT_EQ(project.Generator(), "Ombrix");
    EXPECT_TRUE(project.LoadError().contains("not a regular file"))
        << project.LoadError().toStdString();

    project.ReadSequenceFile(root.file("missing.seq"));
    EXPECT_TRUE(project.LoadError().contains("No such file")) << project.LoadError().toStdString();
    ASSERT_TRUE(QFile::copy(fixture("master.seq"), root.file("master.seq")));
    ASSERT_TRUE(QFile::link(root.file("master.seq"), root.file("link.seq")));
    project.ReadSequenceFile(root.file("link.seq"));
    EXPECT_EQ(project.LoadError(), "") << "a link to a regular file reads as the file";
    EXPECT_EQ(project.DataSetChars().recordCount(), 4);

    EXPECT_THROW(LoadSequenceLinesByPreamble(fifo), Error);
    EXPECT_EQ(project.ReadRefProjectName("x.seq"), "");

    // In a child bounded in time and memory, where a read of /dev/zero ends.
    GTEST_FLAG_SET(death_test_style, "fast");
    ASSERT_TRUE(QFile::link("/dev/zero", root.file("zero.seq")));
    EXPECT_EXIT(readBounded(root.path(), "zero.seq"), ::testing::ExitedWithCode(0),
                "it is a device, not a regular file");
}

namespace {

// Resident memory in kB: the current size, or the peak since the last resetPeakMemory.
qint64 residentKb(const char *field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field, 0) == 0)
            return std::stoll(line.substr(std::string(field).size()));
    }
    return -1;
}

bool resetPeakMemory()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return bool(clear.flush());
}

} // namespace

// Memory stays proportional to the file however TAB-dense its lines are: fields beyond the
// column line are never stored, and a line is not copied field by field to be split.
TEST(SequenceReader, TabDenseLinesCostMemoryInProportionToTheFile)
{
    constexpr int kFields = 4 * 1024 * 1024;
    QByteArray columns = "LABEL\tPOINTNAME\tFEATURE\tNOM_VALUE\tX\t\r\n";
    QByteArray dense;
    dense.reserve(2 * kFields);
    for (int i = 0; i < kFields; ++i)
        dense += "A\t";
    struct Case
    {
        const char *name;
        QByteArray bytes;
        const char *error; // what the read stops with; empty when it does not
        double maxRatio;   // peak growth of resident memory over the file size
    };
    const Case cases[] = {
        {"one line of 4 million A<TAB> as the column line", dense, "", 6},
        {"a row of 4 million fields under a column line of 6", columns + dense,
         "Line 2: the row has 4194305 fields, the column line only 6", 6},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder root;
        test::writeBytes(root.file("dense.seq"), c.bytes);
        TTevProject project(nullptr, nullptr);
        project.SetRootDir(root.path());
        ASSERT_TRUE(resetPeakMemory());
        const qint64 before = residentKb("VmRSS:");
        QString error;
        try {
            project.ReadSequenceFile(root.file("dense.seq"));
        } catch (const Error &e) {
            error = e.message();
        }
        const qint64 growth = residentKb("VmHWM:") - before;
        EXPECT_EQ(error, QLatin1String(c.error));
        EXPECT_TRUE(project.DataSetChars().isEmpty());
        const double ratio = double(growth) * 1024 / double(c.bytes.size());
        EXPECT_LT(ratio, c.maxRatio)
            << growth << " kB for a file of " << c.bytes.size() / 1024 << " kB";
    }
}

TEST(SequenceReader, MergeHeaderFillsOnlyWhatIsMissingOrEmpty)
{
    Opened o("A.seq", QByteArray("$A 1\r\n$B \r\n$C x\r\n$ROUTINE\r\n"));
    o.project.MergeHeader("$A=2\r\n$B=3\r\n$D=4\r\n$E=\r\n $F=5\r\n$COVERLABEL=c.bmp\r\n$B=9");
    EXPECT_EQ(o.project.Header(), "$A=1\r\n$B=3\r\n$C=x\r\n$LIMITS=0\r\n$FORMAT=\r\n$PICKLIST=\r\n"
                                  "$DEPENDS= \r\n$D=4\r\n $F=5\r\n$COVERLABEL=c.bmp");
}

TEST(SequenceReader, ReadRefProjectName)
{
    test::TempFolder root;
    test::writeBytes(root.file("M.seq"),
                     "$PROJECTNAMEX no\r\n$PROJECTNAME  Name \r\n" + QByteArray(120, 'z'));
    test::writeBytes(root.file("L.seq"), "$PROJECTNAME " + QByteArray(120, 'n') + "\r\n");
    TTevProject project(nullptr, nullptr);
    project.SetRootDir(root.path());
    EXPECT_EQ(project.ReadRefProjectName("M.seq"), " Name ");
    EXPECT_EQ(project.ReadRefProjectName(root.file("M.seq")), " Name ");
    EXPECT_EQ(project.ReadRefProjectName("L.seq"), QString(100, 'n'));
    EXPECT_EQ(project.ReadRefProjectName("none.seq"), "");
}

TEST(SequenceFiles, LinesByByteOrderMarkOrAnsi)
{
    const QString text = "$PROJECTNAME caf\u00e9\r\n$ROUTINE\n";
    const std::pair<const char *, QByteArray> cases[] = {
        {"UTF-8", "\xef\xbb\xbf" + TEncoding::UTF8()->GetBytes(text)},
        {"UTF-16 LE", "\xff\xfe" + TEncoding::Unicode()->GetBytes(text)},
        {"UTF-16 BE", "\xfe\xff" + TEncoding::BigEndianUnicode()->GetBytes(text)},
        {"no mark: ANSI", TEncoding::Windows1252()->GetBytes(text)},
    };
    for (const auto &[label, bytes] : cases) {
        SCOPED_TRACE(label);
        test::TempFolder folder;
        test::writeBytes(folder.file("M.seq"), bytes);
        EXPECT_EQ(LoadSequenceLinesByPreamble(folder.file("M.seq")),
                  QStringList({"$PROJECTNAME caf\u00e9", "$ROUTINE"}));
    }
    test::TempFolder folder;
    EXPECT_THROW(LoadSequenceLinesByPreamble(folder.file("none.seq")), Error);
    EXPECT_THROW(LoadSequenceLines(folder.file("none.seq"), nullptr), Error);
}
