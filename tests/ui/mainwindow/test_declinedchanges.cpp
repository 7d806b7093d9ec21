// "Save changes?" answered No on every road that asks it: the database (PROJECTS and
// CHARACTERISTICS) and the file are as the last save left them, although a header edit and a
// move were written to the database at once. And a save that finds the project saved by another
// user asks before it overwrites anything.

#include "mainwindowfixture.h"

#include "scripting/host/tvyxscripter.h"
#include "ui/appdialogs/tevsettingsdlg.h"
#include "ui/keys.h"
#include "ui/pickers/pickers.h"

#include <QLineEdit>
#include <sstream>

namespace tev::test {
namespace {

const QString Work = QStringLiteral("Work/W1.seq");
const QString StaleQuestion = QStringLiteral("Another user saved this project after you opened "
                                             "it. Overwrite their changes?");

// A saved work project, open, with a header edit and a move of a characteristic that are both
// already in the database.
class DeclinedChanges : public SequenceWindowTest
{
protected:
    void SetUp() override
    {
        start();
        form().show();
        m_file = openSavedWork(Work, QStringLiteral("W1"));
        m_stored = stored();
        ASSERT_TRUE(m_stored.value(0).contains(QStringLiteral("$VERSION=")));
        project().SetVersion(QStringLiteral("3.0"));
        project().DataSetChars().first();
        project().MoveCharacteristic(false);
        ASSERT_NE(stored(), m_stored);
        ASSERT_TRUE(stored().value(0).contains(QStringLiteral("$VERSION=3.0")));
    }

    // The project's PARAMS, then its rows as "CHARID:LABEL".
    QStringList stored()
    {
        return column("select PARAMS from PROJECTS where FILENAME = '" + Work + "'") +
               column("select c.CHARID || ':' || c.LABEL from CHARACTERISTICS c "
                      "join PROJECTS p on p.PROJECTID = c.PROJECTID order by c.CHARID");
    }

    QByteArray m_file;
    QStringList m_stored;
};

// The roads that ask "Save changes?".
enum class Road { Close, TreeMove, F5, New, Settings, SendToSensor };

void PrintTo(Road road, std::ostream *os)
{
    static const char *const names[] = {"Close", "TreeMove", "F5",
                                        "New",   "Settings", "SendToSensor"};
    *os << names[int(road)];
}

class EveryRoad : public DeclinedChanges, public ::testing::WithParamInterface<Road>
{
protected:
    // Takes the road; message boxes are answered No, the settings dialog gets a new root and
    // OK, the new-project wizard Cancel, the folder of "Send to Sensor" is Elsewhere.
    QStringList take(Road road)
    {
        DialogAnswers answers;
        answers.onDialog([&](QDialog &dialog) {
            if (auto *settings = qobject_cast<TTevSettingsDlg *>(&dialog)) {
                settings->EditSEQDir->setText(m_elsewhere.path());
                return int(mrOk);
            }
            return int(qobject_cast<TKelMsgDlg *>(&dialog) ? mrNo : mrCancel);
        });
        PickerAnswerGuard picker(
            [&](const PickerRequest &) { return QStringList{m_elsewhere.path()}; });
        switch (road) {
        case Road::Close:
            EXPECT_TRUE(form().close());
            break;
        case Road::TreeMove:
            click(SequenceTree::Housing);
            break;
        case Road::F5:
            test::pressKey(form().Tree(), Qt::Key_F5);
            break;
        case Road::New:
            form().ToolBtnNewClick();
            break;
        case Road::Settings:
            form().MISettingsClick();
            break;
        case Road::SendToSensor:
            form().ToolBntExportClick();
            break;
        }
        return answers.texts();
    }

    TempFolder m_elsewhere;
};

TEST_P(EveryRoad, NoLeavesTheDatabaseAndTheFileAsTheLastSaveLeftThem)
{
    const QStringList texts = take(GetParam());
    EXPECT_TRUE(texts.contains(QStringLiteral("Save changes?"))) << texts.join('|').toStdString();
    EXPECT_EQ(stored(), m_stored);
    EXPECT_EQ(fileBytes(Work), m_file);
    if (GetParam() == Road::SendToSensor) {
        // What is sent is the file as saved.
        QFile sent(m_elsewhere.file(QStringLiteral("W1.seq")));
        EXPECT_TRUE(sent.open(QIODevice::ReadOnly));
        EXPECT_EQ(sent.readAll(), m_file);
    }
}

INSTANTIATE_TEST_SUITE_P(Roads, EveryRoad,
                         ::testing::Values(Road::Close, Road::TreeMove, Road::F5, Road::New,
                                           Road::Settings, Road::SendToSensor),
                         [](const auto &info) {
                             std::ostringstream name;
                             PrintTo(info.param, &name);
                             return name.str();
                         });

// Another user saved the open project after it was opened here.
class StaleSave : public DeclinedChanges
{
protected:
    void SetUp() override
    {
        DeclinedChanges::SetUp();
        project().Save();
        m_file = fileBytes(Work);
        // Their save renews the project's write stamp, as every write of the row does.
        QSqlQuery theirs(db());
        ASSERT_TRUE(theirs.exec("update PROJECTS set PROJECTNAME = 'theirs'"));
        m_stored = stored();
    }
    QStringList names() { return column("select PROJECTNAME from PROJECTS"); }
};

TEST_F(StaleSave, SaveAsksAndNoStoresNothingAndKeepsTheChanges)
{
    {
        DialogAnswers answers({mrNo, mrNo});
        // The name is written at once and asks first; then the save asks again.
        project().SetProjectName(QStringLiteral("mine"));
        form().FileSave1Execute();
        EXPECT_EQ(answers.texts(), QStringList({StaleQuestion, StaleQuestion}));
    }
    EXPECT_EQ(names(), QStringList({"theirs"}));
    EXPECT_EQ(stored(), m_stored);
    EXPECT_EQ(fileBytes(Work), m_file);
    EXPECT_EQ(project().ProjectName(), QStringLiteral("mine"));
    EXPECT_NE(project().ChangeState(), 0u);
}

TEST_F(StaleSave, YesOverwritesTheOtherSave)
{
    {
        DialogAnswers answers({mrYes});
        project().SetVersion(QStringLiteral("4.0"));
        form().FileSave1Execute();
        EXPECT_EQ(answers.texts(), QStringList({StaleQuestion}));
    }
    EXPECT_EQ(names(), QStringList({"W1"}));
    EXPECT_TRUE(fileBytes(Work).contains("$VERSION 4.0"));
    EXPECT_EQ(project().ChangeState(), 0u);
}

TEST_F(StaleSave, TheSaveQuestionsYesThenNoKeepsTheProjectOpen)
{
    // The edit asks at once (No), "Save changes?" Yes asks again before the save (No).
    DialogAnswers answers({mrNo, mrYes, mrNo});
    project().SetVersion(QStringLiteral("4.0"));
    click(SequenceTree::Housing);
    EXPECT_EQ(answers.texts(), QStringList({StaleQuestion, "Save changes?", StaleQuestion}));
    EXPECT_EQ(project().FileName(), m_seq.file(Work));
    EXPECT_EQ(selectedPath(), m_seq.file(Work));
    EXPECT_EQ(names(), QStringList({"theirs"}));
    EXPECT_EQ(fileBytes(Work), m_file);
}

TEST_F(StaleSave, UpdateReferenceOfTheWorkProjectAsksBeforeItSaves)
{
    {
        DialogAnswers answers({mrNo});
        form().UpdateReferencesBtnClick();
        EXPECT_EQ(answers.texts(), QStringList({StaleQuestion}));
    }
    EXPECT_EQ(names(), QStringList({"theirs"}));
    EXPECT_EQ(fileBytes(Work), m_file);
    DialogAnswers answers({mrYes});
    form().UpdateReferencesBtnClick();
    EXPECT_EQ(answers.texts(), QStringList({StaleQuestion}));
    EXPECT_EQ(names(), QStringList({"W1"}));
}

TEST_F(StaleSave, NoToSavingLeavesTheOtherUsersSave)
{
    {
        DialogAnswers answers({mrYes});
        project().SetVersion(QStringLiteral("4.0")); // written over their save
        EXPECT_EQ(answers.texts(), QStringList({StaleQuestion}));
    }
    ASSERT_EQ(names(), QStringList({"W1"}));
    DialogAnswers answers({mrNo});
    click(SequenceTree::Housing);
    EXPECT_EQ(answers.texts(), QStringList({"Save changes?"}));
    // What was stored before this client wrote goes back: the other user's save.
    EXPECT_EQ(names(), QStringList({"theirs"}));
    EXPECT_EQ(stored(), m_stored);
}

// A script saves the project that another user saved: it gets an error, nobody is asked.
class StaleScriptSave : public StaleSave
{
protected:
    StaleScriptSave()
    {
        TTevApp app(nullptr, m_env.exeName());
        QDir().mkpath(app.ScriptDir());
        QFile script(QDir(app.ScriptDir()).filePath(QStringLiteral("TevMain.pas")));
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("procedure SaveFromScript;\nbegin\n  App.Project.Save;\nend;\n");
    }
};

TEST_F(StaleScriptSave, TheScriptGetsAClearErrorAndNothingIsStored)
{
    DialogAnswers answers;
    try {
        form().Scripter()->ExecuteMethod(QStringLiteral("SaveFromScript"));
        ADD_FAILURE() << "the script's save went through";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Another user saved this project")))
            << e.message().toStdString();
    }
    EXPECT_TRUE(answers.texts().isEmpty()) << answers.texts().join('|').toStdString();
    EXPECT_EQ(names(), QStringList({"theirs"}));
    EXPECT_EQ(fileBytes(Work), m_file);
}

} // namespace
} // namespace tev::test
