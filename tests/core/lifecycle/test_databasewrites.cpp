// When the database is written: every operation of the life cycle and of the order and group
// operations against the real module, with the writes it makes, in one table.

#include "core/lib/qstringprinter.h"
#include "lifecyclefixture.h"
#include "platform/dataset/memdataset.h"
#include "recordingdatabase.h"

#include <QFile>
#include <QSqlQuery>
#include <cctype>
#include <functional>

using namespace tev;
using namespace tev::test;

namespace {

// One case's own tree, database and project.
struct Environment
{
    Environment()
    {
        EXPECT_TRUE(data.Connected());
        data.UpgradeDatabase(TProductVersion{1, 0, 0, 0});
        project.SetRootDir(tree.root());
        project.SetClock([] { return SequenceTree::SavedAt(); });
    }
    QString file(const QString &relative) const { return tree.file(relative); }
    void exec(const QString &sql)
    {
        QSqlQuery q(data.Database()->database());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
    }
    void createWork(const QString &relative, const QString &name, const QStringList &masters)
    {
        EXPECT_TRUE(project.New(relative, name, TTevFileType::pftSEQ, masters.value(0), {}, {}));
        for (int i = 1; i < masters.size(); ++i)
            project.AddMasterProject(masters[i]);
        project.Save();
    }
    void line1() { createWork(SequenceTree::Line1, "Line 1", {SequenceTree::Housing}); }
    void line2()
    {
        createWork(SequenceTree::Line2, "Line 2", {SequenceTree::Housing, SequenceTree::Shaft});
    }
    void go(const QString &label)
    {
        EXPECT_TRUE(project.DataSetChars().locate("LABEL", {label})) << label.toStdString();
    }

    SequenceTree tree;
    TempAppRoot root;
    TTevDataModule data{root.path()};
    RecordingDatabase recorder{data};
    TTevProject project{nullptr, &recorder};
};

struct Case
{
    const char *operation;
    std::function<void(Environment &)> setUp;
    std::function<void(Environment &)> run;
    QStringList writes;
};

const QString Line1 = SequenceTree::Line1;
const QString Line2 = SequenceTree::Line2;

const Case kCases[] = {
    {"post of the project record",
     [](Environment &e) { e.line1(); },
     [](Environment &e) { e.project.SetProjectName("One"); },
     // The name is posted, then the change state.
     {"WriteProject " + Line1, "WriteProject " + Line1}},
    {"post of the project record while updating",
     [](Environment &e) { e.line1(); },
     [](Environment &e) {
         e.project.BeginUpdate();
         e.project.SetProjectName("One");
         e.project.EndUpdate();
     },
     {}},
    {"post of the project record without AutoUpdate",
     [](Environment &e) { e.line1(); },
     [](Environment &e) {
         e.project.SetAutoUpdate(false);
         e.project.SetProjectName("One");
     },
     {}},
    {"post of a master's record",
     [](Environment &e) { e.project.OpenFile(e.file(SequenceTree::Housing)); },
     [](Environment &e) { e.project.SetProjectName("One"); },
     {}},
    {"LoadFromDB that finds the project, nothing to renumber",
     [](Environment &e) {
         e.line1();
         e.project.Close();
     },
     [](Environment &e) { e.project.LoadFromDB(e.file(Line1)); },
     {}},
    {"OpenFile of a work sequence as stored",
     [](Environment &e) { e.line1(); },
     [](Environment &e) { e.project.OpenFile(e.file(Line1)); },
     {}},
    {"OpenFile of a work sequence whose file has a row the database lacks",
     [](Environment &e) {
         e.line1();
         e.exec("delete from CHARACTERISTICS where LABEL = 'H6'");
     },
     [](Environment &e) { e.project.OpenFile(e.file(Line1)); },
     {"WriteProjectChars 1"}},
    {"OpenFile of a work sequence without row, not imported",
     [](Environment &) {},
     [](Environment &e) { e.project.OpenFile(e.file(Line1)); },
     {}},
    {"OpenFile of a work sequence without row, imported",
     [](Environment &e) {
         QObject::connect(
             &e.project, &TTevProject::OnUnknownFile, &e.project,
             [](const QString &, const QString &, TTevFileType, bool *create) { *create = true; });
     },
     [](Environment &e) { e.project.OpenFile(e.file(Line1)); },
     {"CreateProject " + Line1, "WriteProjectChars 1", "WriteProject " + Line1,
      "AddRefProject 1 " + Line1}},
    {"OpenFile of a master",
     [](Environment &) {},
     [](Environment &e) { e.project.OpenFile(e.file(SequenceTree::Housing)); },
     {}},
    {"New from a master",
     [](Environment &) {},
     [](Environment &e) {
         e.project.New("Work/W.seq", "W", TTevFileType::pftSEQ, SequenceTree::Housing, {}, {});
     },
     {"CreateProject Work/W.seq", "AddRefProject 1 Masters/Housing.seq",
      "WriteProject Work/W.seq"}},
    {"New of a name the database has",
     [](Environment &e) { e.line1(); },
     [](Environment &e) {
         e.project.New(Line1, "W", TTevFileType::pftSEQ, SequenceTree::Housing, {}, {});
     },
     {"CreateProject " + Line1}},
    {"Save",
     [](Environment &e) { e.line1(); },
     [](Environment &e) { e.project.Save(); },
     {"WriteProject " + Line1}},
    {"Save of a work sequence without row",
     [](Environment &e) { e.project.OpenFile(e.file(Line1)); },
     [](Environment &e) { e.project.Save(); },
     {"WriteProjectHeader " + Line1, "WriteProject " + Line1, "AddRefProject 1 " + Line1}},
    {"Save of a master",
     [](Environment &e) { e.project.OpenFile(e.file(SequenceTree::Housing)); },
     [](Environment &e) { e.project.Save(); },
     {}},
    {"SaveHeader",
     [](Environment &e) { e.line1(); },
     [](Environment &e) { e.project.SaveHeader(); },
     {"WriteProjectHeader " + Line1}},
    {"AddMasterProject",
     [](Environment &e) { e.line1(); },
     [](Environment &e) { e.project.AddMasterProject(SequenceTree::Shaft); },
     {"AddRefProject 1 Masters/Shaft.seq"}},
    {"AddMasterProject to a work sequence without row",
     [](Environment &e) { e.project.OpenFile(e.file(Line1)); },
     [](Environment &e) { e.project.AddMasterProject(SequenceTree::Shaft); },
     {}},
    {"RemoveMasterProject",
     [](Environment &e) { e.line2(); },
     [](Environment &e) { e.project.RemoveMasterProject(SequenceTree::Shaft); },
     {"RemoveRefProject 1 Masters/Shaft.seq", "WriteProject " + Line2}},
    {"UpdateReferences of a work sequence",
     [](Environment &e) { e.line1(); },
     [](Environment &e) { e.project.UpdateReferences(); },
     {"WriteProject " + Line1, "AddRefProject 1 Masters/Housing.seq"}},
    {"UpdateReferences of a master, numbers unchanged",
     [](Environment &e) {
         e.line1();
         e.line2();
         e.project.OpenFile(e.file(SequenceTree::Housing));
     },
     [](Environment &e) { e.project.UpdateReferences(); },
     {"UpdateDependingProjects Masters/Housing.seq"}},
    {"UpdateReferences of a master that lost a characteristic",
     [](Environment &e) {
         e.line1();
         e.line2();
         e.project.OpenFile(e.file(SequenceTree::Housing));
         e.go("H3");
         e.project.DataSetChars().deleteRecord();
     },
     [](Environment &e) { e.project.UpdateReferences(); },
     {"UpdateDependingProjects Masters/Housing.seq", "WriteProjectChars 1", "WriteProjectChars 2"}},
    {"Delete",
     [](Environment &e) { e.line1(); },
     [](Environment &e) { e.project.Delete(true); },
     {"DeleteProject " + Line1}},
    {"Close", [](Environment &e) { e.line1(); }, [](Environment &e) { e.project.Close(); }, {}},
    {"RecoverDirectory",
     [](Environment &e) {
         e.line1();
         QFile::remove(e.file(Line1));
     },
     [](Environment &e) { e.project.RecoverDirectory(e.file("Work")); },
     {}},
    {"ExportAll",
     [](Environment &e) { e.line1(); },
     [](Environment &e) { e.project.ExportAll(e.file("Monitor")); },
     {}},
    {"ToggleSelectedChar",
     [](Environment &e) { e.line1(); },
     [](Environment &e) { e.project.ToggleSelectedChar(); },
     {"UpdateChar 1"}},
    {"MoveCharacteristic",
     [](Environment &e) {
         e.line1();
         e.go("H2");
     },
     [](Environment &e) { e.project.MoveCharacteristic(true); },
     {"WriteProject " + Line1}},
    {"MoveGroup",
     [](Environment &e) { e.line1(); },
     [](Environment &e) { e.project.MoveGroup(false); },
     {"WriteProjectChars 1"}},
    {"MoveFeatureToGroup",
     [](Environment &e) { e.line1(); },
     [](Environment &e) { e.project.MoveFeatureToGroup("Bore", "B2", "Face", -1); },
     {"WriteProjectChars 1"}},
    {"ExchangeFeatures",
     [](Environment &e) { e.line1(); },
     [](Environment &e) { e.project.ExchangeFeatures("Bore", "B1", "B2"); },
     {"WriteProjectChars 1"}},
    {"RenameGroup",
     [](Environment &e) { e.line1(); },
     [](Environment &e) { e.project.RenameGroup("Bore", "Bohrung"); },
     {"WriteProjectChars 1"}},
    {"ChangeGroupImage",
     [](Environment &e) { e.line1(); },
     [](Environment &e) { e.project.ChangeGroupImage("Bore", e.file("Masters/shaft.png")); },
     {"WriteProjectChars 1"}},
    {"RenumberChars",
     [](Environment &e) { e.line1(); },
     [](Environment &e) { e.project.RenumberChars(); },
     {"WriteProjectChars 1"}},
    {"MoveCharacteristic of a master",
     [](Environment &e) {
         e.project.OpenFile(e.file(SequenceTree::Housing));
         e.go("H2");
     },
     [](Environment &e) { e.project.MoveCharacteristic(true); },
     {}},
    {"SetCharFilter, GetDistinctCharFieldValues, ValidDependsFileName",
     [](Environment &e) { e.line1(); },
     [](Environment &e) {
         e.project.SetCharFilter("GROUPNAME = 'Bore'");
         e.project.GetDistinctCharFieldValues("GROUPNAME");
         e.project.ValidDependsFileName("Masters/bore.png");
     },
     {}},
};

class DatabaseWrites : public ::testing::TestWithParam<Case>
{
};

} // namespace

TEST_P(DatabaseWrites, OfTheOperation)
{
    const Case &c = GetParam();
    Environment e;
    c.setUp(e);
    e.recorder.writes.clear();
    c.run(e);
    EXPECT_EQ(e.recorder.writes, c.writes) << c.operation;
    EXPECT_FALSE(e.project.IsUpdating()) << c.operation;
}

INSTANTIATE_TEST_SUITE_P(Table, DatabaseWrites, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case> &info) {
                             std::string name;
                             for (const char *p = info.param.operation; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p)))
                                     name += *p;
                             return name;
                         });
