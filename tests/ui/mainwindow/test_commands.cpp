#include "mainwindowfixture.h"

#include "ui/appdialogs/tevprojectdeldlg.h"
#include "ui/appdialogs/tevprojectdlg.h"
#include "ui/dialogs/vyxinputdlg.h"
#include "ui/keys.h"
#include "ui/pickers/pickers.h"
#include "ui/printers.h"

#include <QAction>
#include <QCheckBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QSignalSpy>
#include <QToolButton>

namespace tev::test {
namespace {

class Commands : public SequenceWindowTest
{
protected:
    void SetUp() override
    {
        start();
        form().show();
    }

    // Answers the wizard with a file name relative to the sequence folder: Finish.
    static std::function<int(QDialog &)> finishWizard(const QString &folder, const QString &name)
    {
        return [folder, name](QDialog &dialog) {
            auto *wizard = qobject_cast<TTevProjectDialog *>(&dialog);
            if (!wizard)
                return int(mrOk);
            wizard->EditFilePath->setText(folder);
            wizard->EditFileName->setText(name);
            wizard->UpdateButtons();
            wizard->FinishBtnClick();
            return wizard->result();
        };
    }

    static QStringList filesBelow(const QString &folder)
    {
        QStringList files;
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next().mid(folder.size() + 1);
        files.sort();
        return files;
    }
};

TEST_F(Commands, NewFromTheOpenMasterCreatesSavesAndSelectsTheProject)
{
    click(SequenceTree::Housing);
    DialogAnswers answers;
    answers.onDialog(finishWizard(QStringLiteral("Work/"), QStringLiteral("New1.seq")));
    form().ToolBtnNewClick();
    const QString file = m_seq.file(QStringLiteral("Work/New1.seq"));
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(column("select FILENAME from PROJECTS"), QStringList({"Work/New1.seq"}));
    EXPECT_EQ(column("select REF_FILENAME from REFPROJECTS"), QStringList({SequenceTree::Housing}));
    EXPECT_EQ(selectedPath(), file);
    EXPECT_EQ(project().FileName(), file);
    EXPECT_TRUE(project().ExistsInDatabase());
}

TEST_F(Commands, FileNewProjectOpensTheWizardAsCtrlNDoes)
{
    click(SequenceTree::Housing);
    auto *item = child<QAction>("MIFileNew");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("New Project...\tCtrl+N"));
    QStringList shown;
    DialogAnswers answers;
    answers.onDialog([&](QDialog &dialog) {
        shown << dialog.objectName();
        return finishWizard(QStringLiteral("Work/"), QStringLiteral("FromMenu.seq"))(dialog);
    });
    item->trigger();
    EXPECT_EQ(shown, QStringList({QStringLiteral("TevProjectDialog")}));
    EXPECT_TRUE(QFileInfo::exists(m_seq.file(QStringLiteral("Work/FromMenu.seq"))));
    EXPECT_EQ(column("select FILENAME from PROJECTS"), QStringList({"Work/FromMenu.seq"}));
    EXPECT_EQ(selectedPath(), m_seq.file(QStringLiteral("Work/FromMenu.seq")));
}

TEST_F(Commands, TheHeadingShowsTheNameAfterARenameAndAfterCtrlS)
{
    createWork(QStringLiteral("Work/W1.seq"), QStringLiteral("W1"));
    click(QStringLiteral("Work/W1.seq"));
    auto *heading = child<QLabel>("LProjectName");
    EXPECT_EQ(heading->text(), QStringLiteral("W1"));
    for (const QString &name : {QStringLiteral("Renamed"), QStringLiteral("Renamed twice")}) {
        DialogAnswers answers;
        answers.onDialog([&](QDialog &dialog) {
            auto *box = qobject_cast<TvyxInputDlg *>(&dialog);
            EXPECT_NE(box, nullptr) << dialog.objectName().toStdString();
            if (!box)
                return int(mrCancel);
            qobject_cast<QLineEdit *>(box->InputCtrl())->setText(name);
            return int(mrOk);
        });
        QTest::mouseClick(child<QWidget>("BtnPRJProjectName"), Qt::LeftButton);
        EXPECT_EQ(project().ProjectName(), name);
        EXPECT_EQ(heading->text(), name);
        child<QAction>("FileSave1")->trigger(); // Ctrl+S
        EXPECT_EQ(project().ChangeState(), 0u);
        EXPECT_EQ(heading->text(), name);
    }
    EXPECT_EQ(column("select PROJECTNAME from PROJECTS"), QStringList({"Renamed twice"}));
}

TEST_F(Commands, ACancelledWizardChangesNothing)
{
    click(SequenceTree::Housing);
    DialogAnswers answers({mrCancel});
    form().ToolBtnNewClick();
    EXPECT_TRUE(column("select FILENAME from PROJECTS").isEmpty());
    EXPECT_EQ(project().FileName(), m_seq.file(SequenceTree::Housing));
}

struct ReplaceCase
{
    const char *name;
    QString target;     // relative, existing
    QList<int> answers; // after the wizard
    QString message;    // the start of the message shown after the wizard
    bool replaced;
    bool monitor = false; // started as a monitor sequence
};

void PrintTo(const ReplaceCase &c, std::ostream *os)
{
    *os << c.name;
}

class ReplaceProject : public Commands, public ::testing::WithParamInterface<ReplaceCase>
{
};

TEST_P(ReplaceProject, AsksOnlyForWorkSequencesOfOurs)
{
    const ReplaceCase &c = GetParam();
    if (c.target == QLatin1String("Work/W1.seq"))
        createWork(c.target, QStringLiteral("W1"));
    click(SequenceTree::Housing);
    const QByteArray before = fileBytes(c.target);
    const int rows = column("select count(*) from PROJECTS").value(0).toInt();
    QList<int> answers = c.answers;
    QStringList texts;
    DialogAnswers dialogs;
    const QFileInfo target(c.target);
    dialogs.onDialog([&](QDialog &dialog) {
        if (qobject_cast<TTevProjectDialog *>(&dialog))
            return finishWizard(target.path() + QLatin1Char('/'), target.fileName())(dialog);
        return answers.isEmpty() ? int(mrCancel) : answers.takeFirst();
    });
    c.monitor ? form().MSEQ1Click() : form().ToolBtnNewClick();
    ASSERT_GE(dialogs.texts().size(), 2);
    EXPECT_TRUE(dialogs.texts()[1].startsWith(c.message)) << dialogs.texts()[1].toStdString();
    if (!c.replaced) {
        EXPECT_EQ(fileBytes(c.target), before);
        EXPECT_EQ(column("select count(*) from PROJECTS").value(0).toInt(), rows);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Targets, ReplaceProject,
    ::testing::Values(ReplaceCase{"TheMasterItself",
                                  SequenceTree::Housing,
                                  {},
                                  "\"Masters/Housing.seq\" is the "
                                  "master",
                                  false},
                      ReplaceCase{"AMonitorFile",
                                  SequenceTree::Room,
                                  {},
                                  "\"Monitor/Room.mseq\" is not a work "
                                  "sequence",
                                  false,
                                  true},
                      ReplaceCase{"AnswerNo",
                                  SequenceTree::Line1,
                                  {mrNo},
                                  "\"Work/Line1.seq\" already exists. Replace project?",
                                  false},
                      ReplaceCase{"YesButTheDatabaseHasIt",
                                  QStringLiteral("Work/W1.seq"),
                                  {mrYes, mrOk},
                                  "\"Work/W1.seq\" already exists. Replace project?",
                                  false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Commands, YesReplacesAWorkFileWithoutRowAndTheFailingNewShowsWhy)
{
    click(SequenceTree::Housing);
    DialogAnswers dialogs;
    QList<int> answers{mrYes};
    dialogs.onDialog([&](QDialog &dialog) {
        if (qobject_cast<TTevProjectDialog *>(&dialog))
            return finishWizard(QStringLiteral("Work/"), QStringLiteral("Line1.seq"))(dialog);
        return answers.isEmpty() ? int(mrOk) : answers.takeFirst();
    });
    form().ToolBtnNewClick();
    EXPECT_EQ(column("select FILENAME from PROJECTS"), QStringList({SequenceTree::Line1}));
    EXPECT_EQ(project().FileName(), m_seq.file(SequenceTree::Line1));

    // The database has it now: Yes shows the error and saves nothing.
    const QByteArray before = fileBytes(SequenceTree::Line1);
    click(SequenceTree::Housing);
    answers = {mrYes, mrOk};
    form().ToolBtnNewClick();
    EXPECT_TRUE(dialogs.texts().last().startsWith(QStringLiteral("The project could not be "
                                                                 "created")))
        << dialogs.texts().last().toStdString();
    EXPECT_EQ(fileBytes(SequenceTree::Line1), before);
}

TEST_F(Commands, SaveWritesTheFileAndCtrlSFollowsTheButton)
{
    createWork(QStringLiteral("Work/W1.seq"), QStringLiteral("W1"));
    click(QStringLiteral("Work/W1.seq"));
    project().SetVersion(QStringLiteral("3.2"));
    child<QAction>("FileSave1")->trigger();
    EXPECT_TRUE(fileBytes(QStringLiteral("Work/W1.seq")).contains("$VERSION 3.2"));
    EXPECT_EQ(project().ChangeState(), 0u);

    // A work file without row: the action is disabled and the slot does nothing either.
    click(SequenceTree::Line1);
    const QByteArray before = fileBytes(SequenceTree::Line1);
    project().SetVersion(QStringLiteral("9"));
    EXPECT_FALSE(child<QAction>("FileSave1")->isEnabled());
    form().FileSave1Execute();
    EXPECT_EQ(fileBytes(SequenceTree::Line1), before);
    EXPECT_TRUE(
        column("select FILENAME from PROJECTS where FILENAME = 'Work/Line1.seq'").isEmpty());
}

TEST_F(Commands, DeleteWithDatabaseAndFileSelectsTheFolder)
{
    createWork(QStringLiteral("Work/W1.seq"), QStringLiteral("W1"));
    click(QStringLiteral("Work/W1.seq"));
    DialogAnswers dialogs;
    dialogs.onDialog([](QDialog &dialog) {
        auto *del = qobject_cast<TTevDelProjectDlg *>(&dialog);
        EXPECT_NE(del, nullptr);
        if (del) {
            EXPECT_TRUE(del->ChkRemoveFromDB->isChecked());
            EXPECT_TRUE(del->ChkDeleteFile->isChecked());
        }
        return int(mrOk);
    });
    form().FileDelete1Execute();
    EXPECT_FALSE(QFileInfo::exists(m_seq.file(QStringLiteral("Work/W1.seq"))));
    EXPECT_TRUE(column("select FILENAME from PROJECTS").isEmpty());
    EXPECT_TRUE(project().Empty());
    EXPECT_EQ(selectedPath(), m_seq.file(QStringLiteral("Work")));
    EXPECT_EQ(form().Tree()->FindNode(QStringLiteral("Work/W1.seq")), nullptr);
}

TEST_F(Commands, AfterRemovingOnlyFromTheDatabaseAClickOnTheSelectedNodeOpensTheFile)
{
    createWork(QStringLiteral("Work/W1.seq"), QStringLiteral("W1"));
    const QString file = m_seq.file(QStringLiteral("Work/W1.seq"));
    click(QStringLiteral("Work/W1.seq"));
    DialogAnswers dialogs;
    dialogs.onDialog([](QDialog &dialog) {
        auto *del = qobject_cast<TTevDelProjectDlg *>(&dialog);
        EXPECT_NE(del, nullptr);
        if (del)
            del->ChkDeleteFile->setChecked(false);
        return int(mrOk);
    });
    form().FileDelete1Execute();
    EXPECT_TRUE(column("select FILENAME from PROJECTS").isEmpty());
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_TRUE(project().Empty());
    EXPECT_EQ(selectedPath(), file);

    click(QStringLiteral("Work/W1.seq"));
    EXPECT_EQ(project().FileName(), file);
    EXPECT_FALSE(project().Empty());
    EXPECT_FALSE(project().ExistsInDatabase());
    EXPECT_EQ(child<QLabel>("LProjectName")->text(), QStringLiteral("W1"));
    EXPECT_EQ(selectedPath(), file);
    // Once open, a click on it again reads nothing anew.
    QSignalSpy changes(&project(), &TTevProject::OnChange);
    click(QStringLiteral("Work/W1.seq"));
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(Commands, DeletingOnlyTheFileOfAProjectWithoutRowClosesIt)
{
    click(SequenceTree::Line1);
    ASSERT_FALSE(project().ExistsInDatabase());
    DialogAnswers dialogs({mrOk});
    form().FileDelete1Execute();
    EXPECT_FALSE(QFileInfo::exists(m_seq.file(SequenceTree::Line1)));
    EXPECT_TRUE(project().Empty());
    EXPECT_FALSE(child<QToolButton>("ToolBtnDelete")->isEnabled());
}

TEST_F(Commands, SendToSensorCopiesTheFilesAndReportsThoseLeftAlone)
{
    createWork(QStringLiteral("Work/W1.seq"), QStringLiteral("W1"));
    click(QStringLiteral("Work/W1.seq"));
    TempFolder sensor;
    QStringList titles;
    PickerAnswerGuard picker([&](const PickerRequest &request) {
        titles << request.title;
        EXPECT_EQ(request.kind, PickerRequest::Folder);
        return QStringList{sensor.path()};
    });
    {
        DialogAnswers dialogs;
        form().ToolBntExportClick();
        EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join('|').toStdString();
    }
    EXPECT_EQ(titles, QStringList({"Save"}));
    const QStringList copied = filesBelow(sensor.path());
    EXPECT_TRUE(copied.contains(QStringLiteral("W1.seq")));
    EXPECT_TRUE(copied.contains(QStringLiteral("bore.png")));

    DialogAnswers again({mrOk});
    form().ToolBntExportClick();
    ASSERT_EQ(again.texts().size(), 1);
    EXPECT_TRUE(again.texts()[0].contains(QStringLiteral("W1.seq")));
    EXPECT_TRUE(again.texts()[0].contains(QStringLiteral("already there")));
}

TEST_F(Commands, SendToSensorAsksForUnsavedChanges)
{
    createWork(QStringLiteral("Work/W1.seq"), QStringLiteral("W1"));
    click(QStringLiteral("Work/W1.seq"));
    project().SetVersion(QStringLiteral("5"));
    TempFolder sensor;
    PickerAnswerGuard picker([&](const PickerRequest &) { return QStringList{sensor.path()}; });
    {
        DialogAnswers dialogs({mrCancel});
        form().ToolBntExportClick();
        EXPECT_EQ(dialogs.texts(), QStringList({"Save changes?"}));
        EXPECT_TRUE(filesBelow(sensor.path()).isEmpty());
    }
    DialogAnswers dialogs({mrYes});
    form().ToolBntExportClick();
    QFile copy(sensor.file(QStringLiteral("W1.seq")));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_TRUE(copy.readAll().contains("$VERSION 5"));
}

TEST_F(Commands, SendToSensorIsDisabledWithoutProject)
{
    EXPECT_FALSE(child<QToolButton>("ToolBntExport")->isEnabled());
    int asked = 0;
    PickerAnswerGuard picker([&](const PickerRequest &) {
        ++asked;
        return QStringList();
    });
    form().ToolBntExportClick();
    EXPECT_EQ(asked, 0);
}

} // namespace
} // namespace tev::test
