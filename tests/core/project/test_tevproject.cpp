#include <gtest/gtest.h>

#include "core/lib/qstringprinter.h"
#include "core/project/changestate.h"
#include "core/project/fakeprojectdatabase.h"
#include "core/project/tevproject.h"
#include "core/sequence/sequencefile.h"
#include "platform/error.h"
#include "platform/text/formatsettings.h"

#include <QSignalSpy>

using namespace tev;

namespace {

// A project with its record built from a header, and a handle on the database flag that the
// life-cycle operations set.
class TestProject : public TTevProject
{
public:
    using TTevProject::SetExistsInDatabase;
    using TTevProject::TTevProject;

    void open(const QStringList &header)
    {
        BeginUpdate();
        BuildProjectRecord(header);
        EndUpdate();
    }
};

} // namespace

TEST(ChangeState, TextsAndSummary)
{
    const std::tuple<quint32, const char *, const char *> cases[] = {
        {0, "OK", "OK"},
        {1, "New project", "New project"},
        {2, "Header change", "Header changed"},
        {3, "Changed", "New project"},
        {4, "New characteristic(s)", "characteristic(s) changed"},
        {6, "Changed", "Header changed, characteristic(s) changed"},
        {8, "File has unknown characteristic(s)", "characteristic(s) changed"},
        {16, "Spec. change", "characteristic(s) changed"},
        {32, "Changed", ""},
        {64, "Changed", ""},
        {128, "Characteristic(s) changed", "characteristic(s) changed"},
    };
    for (const auto &[state, text, summary] : cases) {
        SCOPED_TRACE(state);
        EXPECT_EQ(ChangeStateToText(state), QLatin1String(text));
        EXPECT_EQ(ChangeStateSummary(state), QLatin1String(summary));
    }
}

TEST(TTevProject, EmptyProjectReadsEmptyValues)
{
    TestProject project(nullptr, nullptr);
    EXPECT_TRUE(project.Empty());
    EXPECT_EQ(project.ProjectName(), "");
    EXPECT_EQ(project.ChangeState(), 0u);
    EXPECT_EQ(project.FileType(), TTevFileType::pftUnknown);
    EXPECT_EQ(project.FileContextName(), "");
    EXPECT_EQ(project.Generator(), "");
    EXPECT_EQ(project.Units(), 1);
    EXPECT_EQ(project.ColumnSeparator(), QLatin1Char('\t'));
    EXPECT_TRUE(project.AutoUpdate());
    EXPECT_FALSE(project.IsUpdating());
    QSignalSpy state(&project, &TTevProject::OnStateChanged);
    project.SetChangeState(2);
    project.SetProjectName("x");
    EXPECT_TRUE(project.Empty()) << "setters do nothing on an empty project";
    EXPECT_EQ(state.count(), 0);
    EXPECT_EQ(project.Defaults().Decimals, 2);
}

TEST(TTevProject, HeaderValuesThroughTheRecord)
{
    struct Case
    {
        const char *label;
        QString line;
        std::function<QString(TTevProject &)> read;
        QString expected;
    };
    const Case cases[] = {
        {"value trimmed", "$VERSION   1.2 ", [](TTevProject &p) { return p.Version(); }, "1.2"},
        {"keyword in other case is not found", "$format F.FMT",
         [](TTevProject &p) { return p.Format(); }, ""},
        {"line breaks restored", "$LONGDESC a\\r\\nb", [](TTevProject &p) { return p.LongDesc(); },
         "a\r\nb"},
        {"short description", "$SHORTDESC  Gap", [](TTevProject &p) { return p.ShortDesc(); },
         "Gap"},
        {"units default", "$UNITS ", [](TTevProject &p) { return QString::number(p.Units()); },
         "3"},
        {"units not a number", "$UNITS mm",
         [](TTevProject &p) { return QString::number(p.Units()); }, "3"},
        {"units", "$UNITS 2", [](TTevProject &p) { return QString::number(p.Units()); }, "2"},
        {"limits empty", "$LIMITS ", [](TTevProject &p) { return QString::number(p.Limits()); },
         "0"},
        {"limits as an 8-bit value", "$LIMITS 300",
         [](TTevProject &p) { return QString::number(p.Limits()); }, "44"},
        {"decimals not a number", "$NDECIMALS x",
         [](TTevProject &p) { return QString::number(p.NDecimals()); }, "0"},
        {"routine changes", "$TYPE 1",
         [](TTevProject &p) { return QString::number(p.RoutineChanges()); }, "1"},
        {"routine changes other text", "$TYPE yes",
         [](TTevProject &p) { return QString::number(p.RoutineChanges()); }, "0"},
        {"keyword without value", "$VERIFY",
         [](TTevProject &p) { return p.GetHeaderValue("$VERIFY"); }, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        TestProject project(nullptr, nullptr);
        project.Defaults().Units = 3;
        project.open({c.line, "$ROUTINE"});
        EXPECT_EQ(c.read(project), c.expected);
    }
}

TEST(TTevProject, HeaderSettersChangeStateAndEvents)
{
    TestProject project(nullptr, nullptr);
    project.open({"$VERSION 1", "$ROUTINE"});
    QSignalSpy state(&project, &TTevProject::OnStateChanged);
    QSignalSpy change(&project, &TTevProject::OnChange);

    project.SetVersion("1");
    EXPECT_EQ(state.count(), 0) << "the same value changes nothing";
    EXPECT_EQ(project.ChangeState(), 0u);

    project.SetLongDesc("a\r\nb");
    EXPECT_EQ(state.count(), 1);
    EXPECT_EQ(project.ChangeState(), 2u);
    EXPECT_TRUE(project.Header().contains("$LONGDESC=a\\r\\nb"));
    EXPECT_EQ(project.LongDesc(), "a\r\nb");

    // Bit 2 is set already: the next header change stays in the edit buffer, readable.
    project.SetVersion("");
    EXPECT_EQ(state.count(), 1);
    EXPECT_TRUE(project.DataSetProject().editing());
    EXPECT_FALSE(project.Header().contains("$VERSION")) << "an empty value removes the line";
    project.SetShortDesc("");
    EXPECT_TRUE(project.Header().contains("$SHORTDESC=")) << "a missing keyword is added";
    EXPECT_EQ(change.count(), 0);

    project.SetChangeState(0);
    EXPECT_FALSE(project.DataSetProject().editing()) << "the state change posts the header";
    EXPECT_EQ(state.count(), 2);
    project.SetChangeState(0);
    EXPECT_EQ(state.count(), 2);

    project.BeginUpdate();
    project.SetChangeState(128);
    project.DoChange();
    EXPECT_EQ(state.count(), 3) << "OnStateChanged fires while updating";
    EXPECT_EQ(change.count(), 0) << "OnChange does not";
    project.BeginUpdate();
    project.EndUpdate();
    EXPECT_FALSE(project.IsUpdating()) << "no nesting count";
    project.DoChange();
    EXPECT_EQ(change.count(), 1);
}

TEST(TTevProject, ProjectNameAndImageSetters)
{
    TestProject project(nullptr, nullptr);
    project.open({"$PROJECTNAME P", "$ROUTINE"});
    project.SetProjectName("P");
    EXPECT_EQ(project.ChangeState(), 0u);
    project.SetProjectName("Q");
    EXPECT_EQ(project.ProjectName(), "Q");
    EXPECT_EQ(project.GetHeaderValue("$PROJECTNAME"), "P") << "the writer puts the name there";
    EXPECT_EQ(project.ChangeState(), 2u);
    project.SetImageFileName("c.png");
    EXPECT_EQ(project.ImageFileName(), "c.png");
    EXPECT_EQ(project.GetHeaderValue("$COVERLABEL"), "c.png");
}

TEST(TTevProject, AutoUpdateWritesOnPostsOnlyWhenAllowed)
{
    struct Case
    {
        const char *label;
        bool autoUpdate;
        bool inDatabase;
        bool updating;
        int writes;
    };
    const Case cases[] = {
        {"all set", true, true, false, 1},
        {"auto-update off", false, true, false, 0},
        {"not in the database", true, false, false, 0},
        {"update flag set", true, true, true, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        test::FakeProjectDatabase db;
        TestProject project(nullptr, &db);
        project.SetRootDir("/seq");
        project.SetFileName("/seq/Sub/W.seq");
        project.open({"$GENERATOR Tevora", "$ROUTINE"});
        project.SetAutoUpdate(c.autoUpdate);
        project.SetExistsInDatabase(c.inDatabase);
        if (c.updating)
            project.BeginUpdate();
        db.calls.clear();
        project.SetShortDesc("new");
        const QStringList expected(c.writes, QStringLiteral("WriteProject Sub/W.seq 3"));
        EXPECT_EQ(db.calls, expected);
    }
}

TEST(TTevProject, DisplayTexts)
{
    TestProject project(nullptr, nullptr);
    MemDataSet &chars = project.DataSetChars();
    chars.append();
    chars.fieldByName("PROJECTID").setAsInteger(0);
    chars.fieldByName("CHARID").setAsInteger(12);
    chars.fieldByName("TEMPID").setAsInteger(2147483647);
    chars.fieldByName("DECIMALS").setAsInteger(3);
    chars.fieldByName("NOMINAL").setAsFloat(1.5);
    chars.fieldByName("STATE").setAsInteger(8);
    EXPECT_EQ(chars.fieldByName("PROJECTID").displayText(), "");
    EXPECT_EQ(chars.fieldByName("CHARID").displayText(), "12");
    EXPECT_EQ(chars.fieldByName("TEMPID").displayText(), "");
    EXPECT_EQ(chars.fieldByName("GROUPID").displayText(), "");
    {
        DecimalSeparatorGuard comma(QLatin1Char(','));
        EXPECT_EQ(chars.fieldByName("NOMINAL").displayText(), "1,500");
    }
    EXPECT_EQ(chars.fieldByName("LSL").displayText(), "");
    EXPECT_EQ(chars.fieldByName("STATE").displayText(), "File has unknown characteristic(s)");
    chars.fieldByName("STATE").clear();
    EXPECT_EQ(chars.fieldByName("STATE").displayText(), "OK");

    const std::tuple<const char *, const char *, int, bool> display[] = {
        {"CHARID", "ID", 5, true},         {"FEATURE", "POINTNAME", 10, true},
        {"CHARTYPE", "FEATURE", 10, true}, {"GROUPID", "GROUPID", 0, false},
        {"LABEL", "LABEL", 20, true},      {"REF_FILENAME", "REF_FILENAME", 50, true},
        {"NOMINAL", "NOMINAL", 7, true},   {"DECIMALS", "DECIMALS", 8, true},
        {"STATE", "STATE", 20, true},      {"PARAMS", "PARAMS", 0, false},
    };
    for (const auto &[name, label, width, visible] : display) {
        SCOPED_TRACE(name);
        const Field &f = chars.fieldByName(name);
        EXPECT_EQ(f.displayLabel(), QLatin1String(label));
        EXPECT_EQ(f.displayWidth(), width);
        EXPECT_EQ(f.visible(), visible);
    }
    EXPECT_EQ(chars.fieldByName("STATE").alignment(), Qt::AlignLeft);
    EXPECT_EQ(chars.fieldByName("CHARID").alignment(), Qt::AlignRight);
    EXPECT_THROW(chars.post(), Error) << "FEATURE and LABEL are required";
}

TEST(TTevProject, ProjectStateTextsTakeEffectWhenReopened)
{
    TestProject project(nullptr, nullptr);
    MemDataSet &ds = project.DataSetProject();
    EXPECT_FALSE(ds.fieldByName("STATE").hasGetTextHandler());
    ds.close();
    ds.open();
    ds.append();
    Field &state = ds.fieldByName("STATE");
    EXPECT_EQ(state.displayText(), "");
    const std::pair<const char *, int> entered[] = {
        {"OK", 0}, {"Header change", 2}, {"Changed", 32}, {"Spec. change", 16}, {"x", 0}};
    for (const auto &[text, value] : entered) {
        state.setText(text);
        EXPECT_EQ(state.asInteger(), value) << text;
    }
    ds.fieldByName("FILETYPE").setAsInteger(2);
    EXPECT_EQ(ds.fieldByName("FILETYPE").displayText(), "Sentavo Sequence (*.mseq)");
}

TEST(TTevProject, FileNamesAndGroups)
{
    TestProject project(nullptr, nullptr);
    project.SetRootDir("/data/seq");
    project.SetFileName("/data/seq/Sub/W1.seq");
    EXPECT_EQ(project.RelativeFileName(), "Sub/W1.seq");
    EXPECT_EQ(project.FileName(), "/data/seq/Sub/W1.seq");
    EXPECT_EQ(project.Directory(), "/data/seq/Sub/");
    EXPECT_EQ(project.SEQName(), "W1");
    project.SetFileName("/DATA/SEQ/W2.seq");
    EXPECT_EQ(project.RelativeFileName(), "W2.seq") << "the root is compared without case";
    project.SetFileName("/other/W3.seq");
    EXPECT_EQ(project.RelativeFileName(), "/other/W3.seq");
    EXPECT_EQ(project.FileName(), "/data/seq//other/W3.seq");
    project.SetFileName("/data/seq");
    EXPECT_EQ(project.RelativeFileName(), "");
    EXPECT_EQ(project.MakeAbsoluteFileName("/data/seq/A.seq"), "/data/seq/A.seq");
    EXPECT_EQ(project.MakeAbsoluteFileName("A.seq"), "/data/seq/A.seq");

    EXPECT_EQ(project.GroupCount(), 0);
    EXPECT_EQ(project.Groups(-1), "");
    project.SetGroups(0, "x");
    EXPECT_EQ(project.GroupCount(), 0);
}

TEST(TTevProject, DefaultHeaderAndDateStamp)
{
    EXPECT_EQ(DateStamp(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))), "03/05/2024@14:07:09");
    const QString header = DefaultHeader("P", 3, QDateTime(QDate(2024, 12, 31), QTime(0, 0, 1)));
    EXPECT_EQ(header, "$TYPE=0\r\n$LOGPROFILES=\r\n$DEPENDS=\r\n$KELWORKS=\r\n"
                      "$KELWORKORGSVERSION=\r\n$FORMAT=\r\n$PICKLIST=\r\n$VERIFY=0\r\n"
                      "$DATE=12/31/2024@00:00:01\r\n$UNITS=\r\n$VERSION=\r\n$PROJECTNAME=P\r\n"
                      "$LONGDESC=\r\n$SHORTDESC=\r\n$LIMITS=\r\n$NDECIMALS=3\r\n"
                      "$GENERATOR=Tevora");
    TestProject project(nullptr, nullptr);
    project.Defaults().Decimals = 4;
    project.open({"$PROJECTNAME Open one", "$ROUTINE"});
    const QStringList lines = project.DefaultHeader().split("\r\n");
    ASSERT_EQ(lines.size(), 17);
    EXPECT_EQ(lines[11], "$PROJECTNAME=Open one");
    EXPECT_EQ(lines[15], "$NDECIMALS=4");
}
