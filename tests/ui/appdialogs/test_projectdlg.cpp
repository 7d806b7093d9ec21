#include "appfixture.h"
#include "core/app/tevsettings.h"
#include "ui/appdialogs/tevprojectdlg.h"
#include "ui/kit/buttonpanel.h"
#include "ui/kit/speedbutton.h"
#include "ui/pickers/pickers.h"

#include "ui/keys.h"
#include "ui/printers.h"
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

namespace tev {
namespace {

using test::Drive;

// The values handed to the wizard and back.
struct Values
{
    QString name = "Line 9";
    QString file = "Work/";
    QString master;
    TTevFileType type = TTevFileType::pftSEQ;
    QString format = "from-caller.fmt";
    QString userFields = "from-caller.uif";
};

class Wizard : public test::AppDialogTest
{
protected:
    bool run(Values &v, const std::function<void(TTevProjectDialog &)> &action)
    {
        Drive<TTevProjectDialog> drive(action);
        const bool ok =
            ExecuteProjectDialog(&app(), v.name, v.file, v.master, v.type, v.format, v.userFields);
        EXPECT_EQ(drive.runs(), 1);
        m_stillOpen = drive.stillOpen();
        return ok;
    }

    static void finish(TTevProjectDialog &w)
    {
        ASSERT_TRUE(w.FinishBtn->isEnabled());
        QTest::mouseClick(w.FinishBtn, Qt::LeftButton);
    }

    bool m_stillOpen = false;
};

TEST_F(Wizard, CaptionsPagesAndItems)
{
    Values v;
    run(v, [](TTevProjectDialog &w) {
        EXPECT_EQ(w.windowTitle(), "New Project");
        EXPECT_EQ(w.size(), QSize(593, 293));
        ASSERT_EQ(w.PageCtrl->count(), 3);
        EXPECT_FALSE(w.PageCtrl->tabBar()->isVisible());
        EXPECT_EQ(w.PageCtrl->currentIndex(), 0);
        const QStringList names = {"TabGeneral", "TabMaster", "TabDetails"};
        const QStringList tabs = {"General", "Master", "Details"};
        const QStringList headings = {"General", "Reference", "Details"};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(w.PageCtrl->widget(i)->objectName(), names[i]);
            EXPECT_EQ(w.PageCtrl->tabText(i), tabs[i]);
            EXPECT_EQ(w.PageCtrl->widget(i)->findChild<QLabel *>(names[i] + "Heading")->text(),
                      headings[i]);
        }
        const QList<std::pair<QString, QString>> labels = {
            {"EditProjectName", "Project Name"}, {"ComboFileType", "Project Type"},
            {"EditFileName", "File Name"},       {"EditFilePath", "Directory"},
            {"EditMasterFile", "Ref. Master"},   {"EditFormatFile", "Format Definition (*.fmt)"},
            {"EditUserFields", "User Fields"}};
        for (const auto &[control, text] : labels) {
            const auto *label = w.findChild<QLabel *>("Label" + control);
            ASSERT_NE(label, nullptr) << control.toStdString();
            EXPECT_EQ(label->text(), text);
            EXPECT_EQ(label->buddy()->objectName(), control);
        }
        EXPECT_FALSE(w.ComboFileType->isEnabled());
        ASSERT_EQ(w.ComboFileType->count(), 3);
        EXPECT_EQ(w.ComboFileType->itemText(0), "");
        EXPECT_EQ(w.ComboFileType->itemText(1), "Work Sequence (*.seq)");
        EXPECT_EQ(w.ComboFileType->itemText(2), "Sentavo Sequence (*.mseq)");
        for (QLineEdit *e : {w.EditFilePath, w.EditMasterFile, w.EditFormatFile, w.EditUserFields})
            EXPECT_TRUE(e->isReadOnly()) << e->objectName().toStdString();
        for (SpeedButton *b : {w.BtnFilePath, w.BtnMasterFile, w.BtnFormatFile, w.BtnUserFields})
            EXPECT_EQ(b->text(), "...");
        EXPECT_EQ(w.BackBtn->text(), "Back");
        EXPECT_EQ(w.NextBtn->text(), "Next");
        EXPECT_EQ(w.FinishBtn->text(), "Finish");
        EXPECT_EQ(w.CancelBtn->text(), "Cancel");
        EXPECT_EQ(w.Panel->height(), 45);
    });
}

TEST_F(Wizard, BackAndNextMoveThroughThePagesInOrder)
{
    Values v;
    run(v, [](TTevProjectDialog &w) {
        EXPECT_FALSE(w.BackBtn->isVisible());
        EXPECT_TRUE(w.NextBtn->isVisible());
        QTest::mouseClick(w.NextBtn, Qt::LeftButton);
        EXPECT_EQ(w.PageCtrl->currentWidget(), w.TabMaster);
        EXPECT_TRUE(w.BackBtn->isVisible());
        EXPECT_TRUE(w.NextBtn->isVisible());
        // Left to right: Back, Next, Finish, Cancel, flush with the right edge.
        EXPECT_LT(w.BackBtn->x(), w.NextBtn->x());
        EXPECT_LT(w.NextBtn->x(), w.FinishBtn->x());
        EXPECT_LT(w.FinishBtn->x(), w.CancelBtn->x());
        EXPECT_EQ(w.CancelBtn->geometry().right(), w.Panel->width() - 11);
        QTest::mouseClick(w.NextBtn, Qt::LeftButton);
        EXPECT_EQ(w.PageCtrl->currentWidget(), w.TabDetails);
        EXPECT_FALSE(w.NextBtn->isVisible());
        EXPECT_LT(w.BackBtn->x(), w.FinishBtn->x());
        QTest::mouseClick(w.BackBtn, Qt::LeftButton);
        QTest::mouseClick(w.BackBtn, Qt::LeftButton);
        EXPECT_EQ(w.PageCtrl->currentWidget(), w.TabGeneral);
        EXPECT_FALSE(w.BackBtn->isVisible());
    });
}

TEST_F(Wizard, ProposalsAreShownAndFinishReturnsThem)
{
    Values v;
    v.name = "Line 9";
    v.file = "Work/Line9.seq";
    v.master = test::SequenceTree::Housing;
    app().Settings().SetFormatFile("default.fmt");
    app().Settings().SetPickListFile("default.uif");
    ASSERT_TRUE(run(v, [&](TTevProjectDialog &w) {
        EXPECT_EQ(w.EditProjectName->text(), "Line 9");
        EXPECT_EQ(w.EditFilePath->text(), "Work/");
        EXPECT_EQ(w.EditFilePath->toolTip(), "Work/");
        EXPECT_EQ(w.EditFileName->text(), "Line9.seq");
        EXPECT_EQ(w.ComboFileType->currentIndex(), 1);
        EXPECT_EQ(w.EditMasterFile->text(), "Masters/Housing.seq");
        // The values the caller passed for the detail files are not shown.
        EXPECT_EQ(w.EditFormatFile->text(), "HOUSING.FMT");
        EXPECT_EQ(w.EditUserFields->text(), "HOUSING.uif");
        finish(w);
    }));
    EXPECT_EQ(v.name, "Line 9");
    EXPECT_EQ(v.file, "Work/Line9.seq");
    EXPECT_EQ(v.type, TTevFileType::pftSEQ);
    EXPECT_EQ(v.master, "Masters/Housing.seq");
    EXPECT_EQ(v.format, "Masters/HOUSING.FMT");
    EXPECT_EQ(v.userFields, "Masters/HOUSING.uif");
}

// The master's header against the settings' default format and pick-list files.
struct HeaderCase
{
    const char *name;
    QStringList header;
    bool formatDefault;
    bool pickListDefault;
    const char *format;
    const char *userFields;
};

void PrintTo(const HeaderCase &c, std::ostream *os)
{
    *os << c.name;
}

class WizardHeader : public Wizard, public ::testing::WithParamInterface<HeaderCase>
{
};

TEST_P(WizardHeader, ProposesTheDetailFiles)
{
    const HeaderCase &c = GetParam();
    QStringList lines = c.header;
    lines << "$GENERATOR Ombrix"
          << "$ROUTINE"
          << "LABEL\tFORMULA"
          << "$FORMAT late.fmt";
    writeSeqFile("Masters/m.seq", lines);
    app().Settings().SetFormatFile(c.formatDefault ? "default.fmt" : "");
    app().Settings().SetPickListFile(c.pickListDefault ? "default.uif" : "");
    Values v;
    v.master = "Masters/m.seq";
    QString shownFormat, shownUserFields;
    run(v, [&](TTevProjectDialog &w) {
        shownFormat = w.EditFormatFile->text();
        shownUserFields = w.EditUserFields->text();
        w.EditFileName->setText("x");
        finish(w);
    });
    EXPECT_EQ(shownFormat, c.format);
    EXPECT_EQ(shownUserFields, c.userFields);
    EXPECT_EQ(v.format, *c.format ? "Masters/" + QString(c.format) : QString());
    EXPECT_EQ(v.userFields, *c.userFields ? "Masters/" + QString(c.userFields) : QString());
}

INSTANTIATE_TEST_SUITE_P(
    Table, WizardHeader,
    ::testing::Values(
        HeaderCase{"FormatLineWithDefault",
                   {"$TYPE 1", "$FORMAT a.fmt", "$DEPENDS b.fmt c.uif"},
                   true,
                   false,
                   "a.fmt",
                   "c.uif"},
        HeaderCase{"DependsWithoutDefault",
                   {"$TYPE 1", "$FORMAT a.fmt", "$DEPENDS b.fmt c.uif"},
                   false,
                   false,
                   "b.fmt",
                   "c.uif"},
        HeaderCase{"PickListLineWithDefault",
                   {"$DEPENDS b.fmt c.uif", "$PICKLIST p.uif"},
                   false,
                   true,
                   "b.fmt",
                   "p.uif"},
        HeaderCase{"PickListLineWithoutDefault",
                   {"$DEPENDS b.fmt c.uif", "$PICKLIST p.uif"},
                   false,
                   false,
                   "b.fmt",
                   "c.uif"},
        HeaderCase{"FmtBeforeFms", {"$DEPENDS X.FMS y.fmt"}, false, false, "y.fmt", ""},
        HeaderCase{"FmsWhenNoFmt", {"$DEPENDS X.FMS pic.png"}, false, false, "X.FMS", ""},
        HeaderCase{"ExtensionWithoutRegardToCase",
                   {"$DEPENDS A.FMT B.UIF"},
                   false,
                   false,
                   "A.FMT",
                   "B.UIF"},
        // The scan ends with the header: "$FORMAT late.fmt" after the table is not seen.
        HeaderCase{"NothingInTheHeader", {"$TYPE 1"}, true, true, "", ""},
        HeaderCase{"LastDependsLineCounts",
                   {"$DEPENDS one.fmt", "$DEPENDS two.fmt"},
                   false,
                   false,
                   "two.fmt",
                   ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Wizard, MissingMasterIsNotRead)
{
    Values v;
    v.master = "Masters/Missing.seq";
    run(v, [](TTevProjectDialog &w) {
        EXPECT_EQ(w.EditMasterFile->text(), "Masters/Missing.seq");
        EXPECT_EQ(w.EditFormatFile->text(), "");
        EXPECT_EQ(w.EditUserFields->text(), "");
    });
}

TEST_F(Wizard, MasterIsFoundInTheSequenceFolderWhateverTheCurrentFolder)
{
    QDir::setCurrent(QDir::rootPath());
    Values v;
    v.master = test::SequenceTree::Shaft;
    run(v, [](TTevProjectDialog &w) { EXPECT_EQ(w.EditFormatFile->text(), "SHAFT.FMT"); });
}

struct ExtCase
{
    const char *name;
    TTevFileType type;
    const char *typed;
    const char *expected;
};

void PrintTo(const ExtCase &c, std::ostream *os)
{
    *os << c.name;
}

class WizardExtension : public Wizard, public ::testing::WithParamInterface<ExtCase>
{
};

TEST_P(WizardExtension, LeavingTheFileNameApplies)
{
    const ExtCase &c = GetParam();
    Values v;
    v.type = c.type;
    v.master = test::SequenceTree::Housing;
    QString afterLeaving;
    run(v, [&](TTevProjectDialog &w) {
        w.EditFileName->setFocus();
        QTest::keyClicks(w.EditFileName, c.typed);
        w.EditProjectName->setFocus();
        afterLeaving = w.EditFileName->text();
        w.CancelBtnClick();
    });
    EXPECT_EQ(afterLeaving, c.expected);
}

TEST_P(WizardExtension, FinishApplies)
{
    const ExtCase &c = GetParam();
    Values v;
    v.type = c.type;
    v.master = test::SequenceTree::Housing;
    ASSERT_TRUE(run(v, [&](TTevProjectDialog &w) {
        w.EditFileName->setText(c.typed);
        finish(w);
    }));
    EXPECT_EQ(v.file, "Work/" + QString(c.expected));
    EXPECT_EQ(v.type, c.type);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WizardExtension,
    ::testing::Values(ExtCase{"WorkGetsSeq", TTevFileType::pftSEQ, "abc", "abc.seq"},
                      ExtCase{"WorkReplacesTxt", TTevFileType::pftSEQ, "abc.txt", "abc.seq"},
                      ExtCase{"MonitorGetsMseq", TTevFileType::pftMSEQ, "abc", "abc.mseq"},
                      ExtCase{"MonitorReplacesSeq", TTevFileType::pftMSEQ, "abc.seq", "abc.mseq"},
                      ExtCase{"OnlyTheLastDot", TTevFileType::pftSEQ, "a.b.c", "a.b.seq"}),
    [](const auto &info) { return std::string(info.param.name); });

// Finish against the fields; the details are never required.
struct FinishCase
{
    const char *name;
    const char *project;
    const char *fileName;
    TTevFileType type;
    const char *master;
    bool enabled;
    const char *folder = "Work/";
};

void PrintTo(const FinishCase &c, std::ostream *os)
{
    *os << c.name;
}

class WizardFinish : public Wizard, public ::testing::WithParamInterface<FinishCase>
{
};

TEST_P(WizardFinish, EnabledExactlyWhenComplete)
{
    const FinishCase &c = GetParam();
    Values v;
    v.name = c.project;
    v.file = QString(c.folder) + c.fileName;
    v.type = c.type;
    v.master = c.master;
    bool enabled = false;
    run(v, [&](TTevProjectDialog &w) { enabled = w.FinishBtn->isEnabled(); });
    EXPECT_EQ(enabled, c.enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WizardFinish,
    ::testing::Values(
        FinishCase{"Complete", "P", "a.seq", TTevFileType::pftSEQ, "Masters/Housing.seq", true},
        FinishCase{"MonitorComplete", "P", "a.mseq", TTevFileType::pftMSEQ, "Masters/Housing.seq",
                   true},
        FinishCase{"NoProjectName", "", "a.seq", TTevFileType::pftSEQ, "Masters/Housing.seq",
                   false},
        FinishCase{"NoFileName", "P", "", TTevFileType::pftSEQ, "Masters/Housing.seq", false},
        FinishCase{"NoFileType", "P", "a.seq", TTevFileType::pftUnknown, "Masters/Housing.seq",
                   false},
        FinishCase{"NoMaster", "P", "a.seq", TTevFileType::pftSEQ, "", false},
        FinishCase{"MonitorNoMaster", "P", "a.mseq", TTevFileType::pftMSEQ, "", false},
        FinishCase{"NoDirectory", "P", "a.seq", TTevFileType::pftSEQ, "Masters/Housing.seq", false,
                   ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Wizard, FinishFollowsEveryFieldChange)
{
    Values v;
    v.master = test::SequenceTree::Housing;
    run(v, [](TTevProjectDialog &w) {
        EXPECT_FALSE(w.FinishBtn->isEnabled()); // "Work/" leaves the file name empty
        QTest::keyClicks(w.EditFileName, "new");
        EXPECT_TRUE(w.FinishBtn->isEnabled());
        w.EditProjectName->clear();
        EXPECT_FALSE(w.FinishBtn->isEnabled());
        QTest::keyClicks(w.EditProjectName, "Q");
        EXPECT_TRUE(w.FinishBtn->isEnabled());
    });
}

struct KeyCase
{
    const char *name;
    bool complete;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int result;
    bool stillOpen;
};

void PrintTo(const KeyCase &c, std::ostream *os)
{
    *os << c.name;
}

class WizardKeys : public Wizard, public ::testing::WithParamInterface<KeyCase>
{
};

TEST_P(WizardKeys, InAnyField)
{
    const KeyCase &c = GetParam();
    Values v;
    v.master = c.complete ? test::SequenceTree::Housing : QString();
    const Values before = v;
    int result = -1;
    const bool ok = run(v, [&](TTevProjectDialog &w) {
        w.EditFileName->setText("abc");
        test::pressKey(w.EditProjectName, c.key, c.modifiers);
        result = w.result();
    });
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(m_stillOpen, c.stillOpen);
    EXPECT_EQ(ok, c.result == 1);
    if (ok) {
        // Enter finishes as Finish does, extension included.
        EXPECT_EQ(v.file, "Work/abc.seq");
    } else {
        EXPECT_EQ(v.file, before.file);
        EXPECT_EQ(v.format, before.format);
        EXPECT_EQ(v.userFields, before.userFields);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, WizardKeys,
    ::testing::Values(KeyCase{"EnterFinishes", true, Qt::Key_Return, {}, 1, false},
                      KeyCase{
                          "EnterWhileIncompleteDoesNothing", false, Qt::Key_Return, {}, 0, true},
                      KeyCase{"CancelKey", true, Qt::Key_Cancel, {}, 2, false},
                      KeyCase{"CtrlBreak", false, Qt::Key_Pause, Qt::ControlModifier, 2, false},
                      KeyCase{"EscapeIsNotHandled", true, Qt::Key_Escape, {}, 0, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Wizard, CancelWritesNothing)
{
    Values v;
    v.master = test::SequenceTree::Housing;
    const Values before = v;
    EXPECT_FALSE(run(v, [](TTevProjectDialog &w) {
        w.EditProjectName->setText("changed");
        QTest::mouseClick(w.CancelBtn, Qt::LeftButton);
    }));
    EXPECT_EQ(v.name, before.name);
    EXPECT_EQ(v.file, before.file);
    EXPECT_EQ(v.master, before.master);
    EXPECT_EQ(v.type, before.type);
    EXPECT_EQ(v.format, before.format);
    EXPECT_EQ(v.userFields, before.userFields);
}

TEST_F(Wizard, FolderPickerIsRootedAtTheSequenceFolder)
{
    QList<PickerRequest> requests;
    PickerAnswerGuard answer([&](const PickerRequest &r) {
        requests << r;
        return QStringList{seq("Work/Cell 2")};
    });
    Values v;
    v.master = test::SequenceTree::Housing;
    ASSERT_TRUE(run(v, [](TTevProjectDialog &w) {
        w.EditFileName->setText("abc");
        QTest::mouseClick(w.BtnFilePath, Qt::LeftButton);
        EXPECT_EQ(w.EditFilePath->text(), "Work/Cell 2");
        EXPECT_EQ(w.EditFilePath->toolTip(), "Work/Cell 2");
        finish(w);
    }));
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].kind, PickerRequest::Folder);
    EXPECT_EQ(requests[0].title, "");
    EXPECT_EQ(requests[0].root, seq());
    EXPECT_EQ(requests[0].folder, seq() + "/Work/");
    EXPECT_EQ(v.file, "Work/Cell 2/abc.seq");
}

TEST_F(Wizard, ChoosingTheSequenceFolderItselfShowsItsPath)
{
    PickerAnswerGuard answer([&](const PickerRequest &) { return QStringList{seq()}; });
    Values v;
    v.master = test::SequenceTree::Housing;
    ASSERT_TRUE(run(v, [&](TTevProjectDialog &w) {
        w.EditFileName->setText("top");
        QTest::mouseClick(w.BtnFilePath, Qt::LeftButton);
        EXPECT_EQ(w.EditFilePath->text(), seq());
        EXPECT_EQ(w.EditFilePath->toolTip(), seq());
        // The sequence folder itself is a place for a project, when it was chosen.
        finish(w);
    }));
    EXPECT_EQ(v.file, "top.seq");
}

TEST_F(Wizard, WithoutADirectoryNeitherFinishNorEnterCreatesAProject)
{
    Values v;
    v.file = "";
    v.master = test::SequenceTree::Housing;
    const Values before = v;
    EXPECT_FALSE(run(v, [](TTevProjectDialog &w) {
        EXPECT_EQ(w.EditFilePath->text(), "");
        QTest::keyClicks(w.EditFileName, "abc");
        EXPECT_FALSE(w.FinishBtn->isEnabled());
        test::pressKey(w.EditFileName, Qt::Key_Return);
        QTest::mouseClick(w.FinishBtn, Qt::LeftButton);
        EXPECT_EQ(w.result(), 0);
    }));
    EXPECT_TRUE(m_stillOpen);
    EXPECT_EQ(v.file, before.file);
}

TEST_F(Wizard, FolderPickerCancelledChangesNothing)
{
    PickerAnswerGuard answer([&](const PickerRequest &) { return QStringList(); });
    Values v;
    run(v, [](TTevProjectDialog &w) {
        QTest::mouseClick(w.BtnFilePath, Qt::LeftButton);
        EXPECT_EQ(w.EditFilePath->text(), "Work/");
    });
}

TEST_F(Wizard, TargetOutsideTheSequenceFolderKeepsFinishDisabledAndSaysWhy)
{
    Values v;
    v.file = "../Elsewhere/abc.seq";
    v.master = test::SequenceTree::Housing;
    run(v, [&](TTevProjectDialog &w) {
        EXPECT_FALSE(w.FinishBtn->isEnabled());
        EXPECT_TRUE(w.LblFinishHint->isVisible());
        EXPECT_EQ(w.LblFinishHint->text(),
                  QString("The target file lies outside the sequence folder \"%1\".").arg(seq()));
        w.EditFileName->setText("../../abc.seq");
        EXPECT_FALSE(w.FinishBtn->isEnabled());
    });
}

TEST_F(Wizard, AbsoluteProposalInsideTheSequenceFolderIsShownRelative)
{
    Values v;
    v.file = seq("Work") + "/";
    v.master = seq(test::SequenceTree::Housing);
    run(v, [&](TTevProjectDialog &w) {
        EXPECT_EQ(w.EditFilePath->text(), "Work/");
        EXPECT_EQ(w.EditMasterFile->text(), "Masters/Housing.seq");
        EXPECT_EQ(w.EditFormatFile->text(), "HOUSING.FMT");
        EXPECT_FALSE(w.LblFinishHint->isVisible());
    });
}

TEST_F(Wizard, MasterPickedOutsideTheSequenceFolderKeepsFinishDisabledAndSaysWhy)
{
    test::TempFolder outside;
    const QString foreign = outside.file("foreign.seq");
    QFile::copy(seq(test::SequenceTree::Housing), foreign);
    PickerAnswerGuard answer([&](const PickerRequest &) { return QStringList{foreign}; });
    Values v;
    run(v, [&](TTevProjectDialog &w) {
        w.EditFileName->setText("abc");
        QTest::mouseClick(w.NextBtn, Qt::LeftButton);
        QTest::mouseClick(w.BtnMasterFile, Qt::LeftButton);
        EXPECT_EQ(w.EditMasterFile->text(), foreign);
        EXPECT_FALSE(w.FinishBtn->isEnabled());
        EXPECT_TRUE(w.LblFinishHint->isVisible());
        EXPECT_EQ(w.LblFinishHint->text(),
                  QString("The master lies outside the sequence folder \"%1\".").arg(seq()));
    });
}

TEST_F(Wizard, MasterPickerStartsAtTheMasterOrTheDefaultMasterFolder)
{
    QList<PickerRequest> requests;
    PickerAnswerGuard answer([&](const PickerRequest &r) {
        requests << r;
        return QStringList();
    });
    app().Settings().SetDefaultMasterDir(seq("Masters"));
    Values with;
    with.master = test::SequenceTree::Housing;
    run(with, [](TTevProjectDialog &w) { QTest::mouseClick(w.BtnMasterFile, Qt::LeftButton); });
    Values without;
    run(without, [](TTevProjectDialog &w) {
        QTest::mouseClick(w.BtnMasterFile, Qt::LeftButton);
        EXPECT_EQ(w.EditMasterFile->text(), "");
    });
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0].kind, PickerRequest::Open);
    EXPECT_EQ(requests[0].filter, "Sequence files (*.seq)|*.seq");
    EXPECT_EQ(requests[0].folder, seq(test::SequenceTree::Housing));
    EXPECT_EQ(requests[1].folder, seq("Masters"));
}

TEST_F(Wizard, ANewMasterReplacesTheDetailFilesOfThePreviousOne)
{
    PickerAnswerGuard answer(
        [&](const PickerRequest &) { return QStringList{seq(test::SequenceTree::Shaft)}; });
    Values v;
    v.master = test::SequenceTree::Housing;
    ASSERT_TRUE(run(v, [](TTevProjectDialog &w) {
        EXPECT_EQ(w.EditFormatFile->text(), "HOUSING.FMT");
        EXPECT_EQ(w.EditUserFields->text(), "HOUSING.uif");
        QTest::mouseClick(w.BtnMasterFile, Qt::LeftButton);
        EXPECT_EQ(w.EditMasterFile->text(), "Masters/Shaft.seq");
        EXPECT_EQ(w.EditFormatFile->text(), "SHAFT.FMT");
        EXPECT_EQ(w.EditUserFields->text(), "");
        w.EditFileName->setText("abc");
        finish(w);
    }));
    EXPECT_EQ(v.master, "Masters/Shaft.seq");
    EXPECT_EQ(v.format, "Masters/SHAFT.FMT");
    EXPECT_EQ(v.userFields, "");
}

struct DetailCase
{
    const char *name;
    const char *picked; // below the sequence folder, or absolute
    const char *shown;
    const char *returned;
};

void PrintTo(const DetailCase &c, std::ostream *os)
{
    *os << c.name;
}

class WizardDetailFile : public Wizard, public ::testing::WithParamInterface<DetailCase>
{
};

TEST_P(WizardDetailFile, PickedFormatFile)
{
    const DetailCase &c = GetParam();
    writeSeqFile("Formats/shared.fmt", {"x"});
    QList<PickerRequest> requests;
    PickerAnswerGuard answer([&](const PickerRequest &r) {
        requests << r;
        return QStringList{seq(c.picked)};
    });
    Values v;
    v.master = test::SequenceTree::Housing;
    ASSERT_TRUE(run(v, [&](TTevProjectDialog &w) {
        QTest::mouseClick(w.BtnFormatFile, Qt::LeftButton);
        EXPECT_EQ(w.EditFormatFile->text(), c.shown);
        w.EditFileName->setText("abc");
        finish(w);
    }));
    EXPECT_EQ(v.format, c.returned);
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].filter, "*.fmt|*.fmt|*.fms|*.fms|*.*|*.*");
    // Starts in the master's folder with the current name preselected.
    EXPECT_EQ(requests[0].folder, seq("Masters/HOUSING.FMT"));
}

INSTANTIATE_TEST_SUITE_P(Table, WizardDetailFile,
                         ::testing::Values(DetailCase{"InTheMastersFolder", "Masters/SHAFT.fmt",
                                                      "SHAFT.fmt", "Masters/SHAFT.fmt"},
                                           DetailCase{"ElsewhereInTheSequenceFolder",
                                                      "Formats/shared.fmt", "Formats/shared.fmt",
                                                      "Formats/shared.fmt"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(Wizard, UserFieldsPickerAndAnEmptyFormatField)
{
    QList<PickerRequest> requests;
    PickerAnswerGuard answer([&](const PickerRequest &r) {
        requests << r;
        return QStringList{seq("Masters/HOUSING.uif")};
    });
    Values v;
    v.master = test::SequenceTree::Shaft;
    ASSERT_TRUE(run(v, [&](TTevProjectDialog &w) {
        w.EditFormatFile->clear();
        QTest::mouseClick(w.BtnUserFields, Qt::LeftButton);
        EXPECT_EQ(w.EditUserFields->text(), "HOUSING.uif");
        w.EditFileName->setText("abc");
        finish(w);
    }));
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].filter, "*.uif|*.uif");
    EXPECT_EQ(requests[0].folder, seq("Masters"));
    // An empty field stays empty rather than naming the master's folder.
    EXPECT_EQ(v.format, "");
    EXPECT_EQ(v.userFields, "Masters/HOUSING.uif");
}

TEST(FindDependsFile, FirstMatchIgnoringCase)
{
    EXPECT_EQ(FindDependsFile("a.png B.FMT c.fmt", ".fmt"), "B.FMT");
    EXPECT_EQ(FindDependsFile("a.png b.uif", ".fmt"), "");
    EXPECT_EQ(FindDependsFile("", ".fmt"), "");
    EXPECT_EQ(FindDependsFile("fmt x.fmt.bak", ".fmt"), "");
}

} // namespace
} // namespace tev
