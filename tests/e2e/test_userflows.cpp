#include "flows.h"

#include "platform/crash/crashexception.h"
#include "platform/crash/exceptionhandlers.h"
#include "ui/appdialogs/tevprojectdeldlg.h"
#include "ui/pages/tevprojectpage.h"
#include "ui/pickers/pickers.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QRegularExpression>

namespace tev::test {
namespace {

// The sequence file with one line changed by Edit (given the line, returns the new one or an
// empty string to remove it), and lines added after the routine's last line.
QByteArray editRoutine(const QByteArray &file,
                       const std::function<QByteArray(const QByteArray &)> &edit,
                       const QByteArray &added = {})
{
    QList<QByteArray> lines = file.split('\n');
    QList<QByteArray> out;
    for (const QByteArray &line : lines) {
        const QByteArray changed = edit(line);
        if (!changed.isEmpty() || line.isEmpty())
            out << changed;
    }
    while (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    QByteArray text = out.join('\n') + '\n';
    return text + added;
}

QByteArray lineOf(const QByteArray &file, const QByteArray &label)
{
    for (const QByteArray &line : file.split('\n'))
        if (line.startsWith(label + '\t'))
            return line;
    return {};
}

QStringList labelsOf(const QStringList &storedChars)
{
    QStringList labels;
    for (const QString &row : storedChars)
        labels << row.section(QLatin1Char('|'), 0, 0);
    return labels;
}

using UserFlows = Flow;

TEST_F(UserFlows, AMasterChangedOnDiskReachesEveryWorkFileAndItsRowsByUpdate)
{
    createWithWizard(SequenceTree::Housing, QStringLiteral("Work/"), QStringLiteral("W1.seq"));
    createWithWizard(SequenceTree::Housing, QStringLiteral("Work/Cell 2/"),
                     QStringLiteral("W2.seq"));
    ASSERT_EQ(rows("select FILENAME from PROJECTS order by FILENAME"),
              QStringList({"Work/Cell 2/W2.seq", "Work/W1.seq"}));
    click(QStringLiteral("Masters"));

    // The master's maker changes a nominal, adds a characteristic and removes one.
    const QByteArray master = fileBytes(SequenceTree::Housing);
    const QByteArray h6 = lineOf(master, "H6");
    ASSERT_FALSE(h6.isEmpty());
    QByteArray h7 = h6;
    h7.replace(0, 2, "H7");
    writeFileBytes(SequenceTree::Housing, editRoutine(
                                              master,
                                              [](const QByteArray &line) {
                                                  if (line.startsWith("H4\t"))
                                                      return QByteArray();
                                                  if (line.startsWith("H1\t")) {
                                                      QByteArray changed = line;
                                                      return changed.replace("\t42.000\t",
                                                                             "\t42.100\t");
                                                  }
                                                  return line;
                                              },
                                              h7 + '\n'));

    click(SequenceTree::Housing);
    {
        ProgramAnswers answers({mrOk, mrOk});
        form().UpdateReferencesBtnClick();
        EXPECT_TRUE(answers.texts().isEmpty()) << answers.texts().join('|').toStdString();
    }
    for (const QString &work :
         {QStringLiteral("Work/W1.seq"), QStringLiteral("Work/Cell 2/W2.seq")}) {
        SCOPED_TRACE(work.toStdString());
        const QByteArray file = fileBytes(work);
        EXPECT_TRUE(lineOf(file, "H4").isEmpty());
        EXPECT_FALSE(lineOf(file, "H7").isEmpty());
        EXPECT_TRUE(lineOf(file, "H1").contains("\t42.100\t")) << lineOf(file, "H1").toStdString();
        EXPECT_TRUE(lineOf(file, "H2").contains("\t42.000\t"));
        const QStringList stored = storedChars(work);
        EXPECT_EQ(labelsOf(stored), QStringList({"H1", "H2", "H3", "H5", "H6", "H7"}))
            << stored.join(' ').toStdString();
        EXPECT_TRUE(stored.value(0).endsWith(QStringLiteral("|42.1")))
            << stored.value(0).toStdString();
    }
}

TEST_F(UserFlows, UnsavedChangesAreAskedForAndCancelKeepsEverything)
{
    createWithWizard(SequenceTree::Housing, QStringLiteral("Work/"), QStringLiteral("W1.seq"));
    const QString work = seq(QStringLiteral("Work/W1.seq"));
    ASSERT_EQ(project().FileName(), work);
    {
        ProgramAnswers answers;
        answers.onDialog(typeInto(QStringLiteral("7.7")));
        form().ProjectPage()->BtnPRJVersionClick();
    }
    ASSERT_NE(project().ChangeState(), 0u);
    const QByteArray onDisk = fileBytes(QStringLiteral("Work/W1.seq"));
    const quint32 state = project().ChangeState();
    auto keptEverything = [&] {
        EXPECT_EQ(project().FileName(), work);
        EXPECT_EQ(selectedPath(), work);
        EXPECT_EQ(project().Version(), QStringLiteral("7.7"));
        EXPECT_EQ(project().ChangeState(), state);
        EXPECT_EQ(fileBytes(QStringLiteral("Work/W1.seq")), onDisk);
    };

    {
        SCOPED_TRACE("a move in the tree");
        ProgramAnswers answers({mrCancel});
        click(SequenceTree::Shaft);
        EXPECT_EQ(answers.texts(), QStringList({"Save changes?"}));
        keptEverything();
    }
    {
        SCOPED_TRACE("F5");
        ProgramAnswers answers({mrCancel});
        QTest::keyClick(form().Tree(), Qt::Key_F5);
        QCoreApplication::processEvents();
        EXPECT_EQ(answers.texts(), QStringList({"Save changes?"}));
        keptEverything();
    }
    {
        SCOPED_TRACE("closing the window");
        ProgramAnswers answers({mrCancel});
        EXPECT_FALSE(close());
        EXPECT_EQ(answers.texts(), QStringList({"Save changes?"}));
        EXPECT_TRUE(form().isVisible());
        keptEverything();
    }
    // Yes at the close: the change is on disk and in the database at the next start.
    {
        ProgramAnswers answers({mrYes});
        EXPECT_TRUE(close());
    }
    EXPECT_TRUE(fileBytes(QStringLiteral("Work/W1.seq")).contains("$VERSION 7.7"));
    restart();
    click(QStringLiteral("Work/W1.seq"));
    EXPECT_EQ(project().Version(), QStringLiteral("7.7"));
}

// The header edit is written to the database at once; "No" at the close takes it back, so the
// project opens unchanged at the next start.
TEST_F(UserFlows, NoAtTheCloseLeavesTheDatabaseAsTheLastSave)
{
    createWithWizard(SequenceTree::Housing, QStringLiteral("Work/"), QStringLiteral("W1.seq"));
    {
        ProgramAnswers answers;
        answers.onDialog(typeInto(QStringLiteral("2.0")));
        form().ProjectPage()->BtnPRJVersionClick();
    }
    {
        ProgramAnswers answers({mrYes});
        ASSERT_TRUE(close());
    }
    restart();
    click(QStringLiteral("Work/W1.seq"));
    ASSERT_EQ(project().Version(), QStringLiteral("2.0"));
    const QByteArray onDisk = fileBytes(QStringLiteral("Work/W1.seq"));
    const QStringList stored = rows(QStringLiteral("select PARAMS from PROJECTS"));
    {
        ProgramAnswers answers;
        answers.onDialog(typeInto(QStringLiteral("3.0")));
        form().ProjectPage()->BtnPRJVersionClick();
    }
    ASSERT_TRUE(rows(QStringLiteral("select PARAMS from PROJECTS")).value(0).contains("=3.0"));
    {
        ProgramAnswers answers({mrNo});
        EXPECT_TRUE(close());
        EXPECT_EQ(answers.texts(), QStringList({"Save changes?"}));
    }
    EXPECT_EQ(fileBytes(QStringLiteral("Work/W1.seq")), onDisk);
    EXPECT_EQ(rows(QStringLiteral("select PARAMS from PROJECTS")), stored);
    restart();
    click(QStringLiteral("Work/W1.seq"));
    EXPECT_EQ(project().Version(), QStringLiteral("2.0"));
    EXPECT_EQ(project().ChangeState(), 0u);
}

TEST_F(UserFlows, SendToSensorCopiesTheProjectAndItsFilesIntoTheChosenFolder)
{
    createWithWizard(SequenceTree::Housing, QStringLiteral("Work/"), QStringLiteral("W1.seq"));
    TempFolder sensor;
    PickerAnswerGuard picker([&](const PickerRequest &request) {
        EXPECT_EQ(request.kind, PickerRequest::Folder);
        return QStringList{sensor.path()};
    });
    ProgramAnswers answers({mrOk});
    form().ToolBntExportClick();
    const QStringList copied = filesBelow(sensor.path());
    for (const char *name :
         {"W1.seq", "GAP.TEM", "HOUSING.FMT", "HOUSING.uif", "bore.png", "face.kelb"})
        EXPECT_TRUE(copied.contains(QLatin1String(name)))
            << name << " in " << copied.join(' ').toStdString();
    QFile copy(QDir(sensor.path()).filePath(QStringLiteral("W1.seq")));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), fileBytes(QStringLiteral("Work/W1.seq")));
}

TEST_F(UserFlows, DeleteWithDatabaseAndFileLeavesNothingBehind)
{
    createWithWizard(SequenceTree::Housing, QStringLiteral("Work/"), QStringLiteral("W1.seq"));
    createWithWizard(SequenceTree::Shaft, QStringLiteral("Work/"), QStringLiteral("W2.seq"));
    click(QStringLiteral("Work/W1.seq"));
    {
        ProgramAnswers answers;
        answers.onDialog([](QDialog &dialog) {
            auto *del = qobject_cast<TTevDelProjectDlg *>(&dialog);
            EXPECT_NE(del, nullptr) << dialog.objectName().toStdString();
            if (!del)
                return int(mrCancel);
            del->ChkRemoveFromDB->setChecked(true);
            del->ChkDeleteFile->setChecked(true);
            return int(mrOk);
        });
        form().FileDelete1Execute();
    }
    EXPECT_FALSE(QFileInfo::exists(seq(QStringLiteral("Work/W1.seq"))));
    EXPECT_EQ(rows("select FILENAME from PROJECTS"), QStringList({"Work/W2.seq"}));
    EXPECT_EQ(rows("select distinct p.FILENAME from CHARACTERISTICS c join PROJECTS p on "
                   "p.PROJECTID = c.PROJECTID"),
              QStringList({"Work/W2.seq"}));
    EXPECT_EQ(rows("select count(*) from CHARACTERISTICS where PROJECTID not in "
                   "(select PROJECTID from PROJECTS)"),
              QStringList({"0"}));
    EXPECT_EQ(rows("select REF_FILENAME from REFPROJECTS"), QStringList({SequenceTree::Shaft}));
    EXPECT_TRUE(project().Empty());

    restart();
    EXPECT_EQ(form().Tree()->FindNode(QStringLiteral("Work/W1.seq")), nullptr);
    EXPECT_TRUE(QFileInfo::exists(seq(QStringLiteral("Work/W2.seq"))));
}

TEST_F(UserFlows, AUserScriptAddsAToolsItemWhoseHandlerWritesAFile)
{
    stop();
    const QString scriptDir = TTevApp(nullptr, m_env.exeName()).ScriptDir();
    ASSERT_TRUE(QDir().mkpath(scriptDir));
    const QString output = QDir(scriptDir).filePath(QStringLiteral("shown.txt"));
    {
        QFile script(QDir(scriptDir).filePath(QStringLiteral("TevMain.pas")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(R"(
uses
  Classes, SysUtils, VYXLib;

procedure WriteShownProject(Sender: TObject);
var
  Lines: TStringList;
begin
  Lines := TStringList.Create;
  try
    Lines.Add('Project: ' + Form.LProjectName.Caption);
    Lines.SaveToFile(AddBackSlash(App.ScriptDir) + 'shown.txt');
  finally
    Lines.Free;
  end;
end;

procedure FormCreate(Sender: TObject);
begin
  Form.MITools.Visible := True;
  Form.MIScript1.Caption := 'Write Shown Project';
  Form.MIScript1.Visible := True;
  Form.MIScript1.OnClick := 'WriteShownProject';
end;
)");
    }
    ProgramAnswers answers;
    start();
    EXPECT_TRUE(answers.texts().isEmpty()) << answers.texts().join('|').toStdString();
    click(SequenceTree::Housing);
    auto *item = child<QAction>("MIScript1");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isVisible());
    EXPECT_TRUE(child<QAction>("MITools")->isVisible());
    EXPECT_EQ(item->text(), QStringLiteral("Write Shown Project"));
    item->trigger();
    QFile written(output);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    // A string list writes the system's 8-bit code page, as scripts expect.
    EXPECT_EQ(QString::fromLatin1(written.readAll()).trimmed(),
              QStringLiteral("Project: ") + project().ProjectName());
}

TEST_F(UserFlows, AFailingToolsItemOfAUserScriptReachesTheErrorHandlingAndTheWindowGoesOn)
{
    stop();
    const QString scriptDir = TTevApp(nullptr, m_env.exeName()).ScriptDir();
    ASSERT_TRUE(QDir().mkpath(scriptDir));
    {
        QFile script(QDir(scriptDir).filePath(QStringLiteral("TevMain.pas")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(R"(
uses
  Classes, SysUtils, VYXLib;

procedure FailingTool(Sender: TObject);
begin
  raise Exception.Create('The tool failed on purpose.');
end;

procedure FormCreate(Sender: TObject);
begin
  Form.MITools.Visible := True;
  Form.MIScript1.Caption := 'Failing Tool';
  Form.MIScript1.Visible := True;
  Form.MIScript1.OnClick := 'FailingTool';
end;
)");
    }
    QStringList reported;
    RegisterExceptionHandler([&](CrashException &e, bool &handled) {
        reported << e.ExceptMessage();
        handled = true;
    });
    start();
    child<QAction>("MIScript1")->trigger();
    clearExceptionHandlers();
    ASSERT_EQ(reported.size(), 1);
    EXPECT_TRUE(reported.first().contains(QStringLiteral("The tool failed on purpose.")))
        << reported.first().toStdString();
    // The window goes on: a master opens.
    click(SequenceTree::Housing);
    EXPECT_EQ(project().FileName(), seq(SequenceTree::Housing));
}

} // namespace
} // namespace tev::test
