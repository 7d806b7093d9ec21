#include "appfixture.h"
#include "core/app/tevsettings.h"
#include "core/db/tevdatamodule.h"
#include "core/lang/languages.h"
#include "core/project/tevproject.h"
#include "platform/ini/tinifile.h"
#include "support/app/firebirdserver.h"
#include "ui/appdialogs/linklabel.h"
#include "ui/appdialogs/tevsettingsdlg.h"
#include "ui/controls/buttongroup/vyxbuttongroup.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/kit/speedbutton.h"
#include "ui/pickers/pickers.h"

#include "ui/keys.h"
#include "ui/printers.h"
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace tev {
namespace {

using test::Drive;

// A message box the dialog showed: its caption, text and buttons.
struct Shown
{
    QString caption;
    QString text;
};

class Settings : public test::AppDialogTest
{
protected:
    // Runs the dialog; message boxes are recorded and answered with m_boxAnswer.
    bool run(const std::function<void(TTevSettingsDlg &)> &action)
    {
        Drive<TTevSettingsDlg> drive(action, [this](QDialog &dialog) {
            auto *box = qobject_cast<TKelMsgDlg *>(&dialog);
            EXPECT_NE(box, nullptr);
            if (!box)
                return int(mrCancel);
            m_boxes << Shown{box->windowTitle(), box->msgLabel()->text()};
            return m_boxAnswer;
        });
        const bool ok = ExecuteSettingsDlg(&app());
        EXPECT_EQ(drive.runs(), 1);
        m_stillOpen = drive.stillOpen();
        return ok;
    }

    static void ok(TTevSettingsDlg &d) { QTest::mouseClick(d.OKBtn, Qt::LeftButton); }

    static void clickGroupButton(TTevSettingsDlg &d, int index)
    {
        QTest::mouseClick(d.BtnGroup->viewport(), Qt::LeftButton, {},
                          d.BtnGroup->GetButtonRect(index).center());
    }

    TTevConnection &connection() { return *app().Data().Database(); }

    QList<Shown> m_boxes;
    int m_boxAnswer = mrOk;
    bool m_stillOpen = false;
};

TEST_F(Settings, CaptionsPagesAndGroups)
{
    run([](TTevSettingsDlg &d) {
        EXPECT_EQ(d.windowTitle(), "Settings");
        EXPECT_EQ(d.size(), QSize(1083, 701));
        EXPECT_EQ(d.BtnGroup->width(), 175);
        EXPECT_EQ(d.BtnGroup->ButtonHeight(), 35);
        ASSERT_EQ(d.BtnGroup->Items().Count(), 2);
        EXPECT_EQ(d.BtnGroup->Items().Items(0)->Caption(), "System");
        EXPECT_EQ(d.BtnGroup->Items().Items(1)->Caption(), "Preferences");
        EXPECT_EQ(d.BtnGroup->ItemIndex(), 0);
        ASSERT_EQ(d.PageCtrl->count(), 2);
        EXPECT_FALSE(d.PageCtrl->tabBar()->isVisible());
        EXPECT_EQ(d.PageCtrl->tabText(0), "General");
        EXPECT_EQ(d.PageCtrl->tabText(1), "Preferences");
        EXPECT_EQ(d.PageCtrl->currentWidget(), d.TabGeneral);
        EXPECT_EQ(d.TabGeneral->findChild<QLabel *>("TabGeneralHeading")->text(), "System");
        EXPECT_EQ(d.TabPreferences->findChild<QLabel *>("TabPreferencesHeading")->text(),
                  "Preferences");
        EXPECT_EQ(d.OKBtn->text(), "OK");
        EXPECT_EQ(d.CancelBtn->text(), "Cancel");
        EXPECT_LT(d.OKBtn->x(), d.CancelBtn->x());

        // Labels in the order of the page, with their controls.
        const QList<std::pair<QString, QString>> labels = {
            {"EditSEQDir", "Root Directory"},
            {"EditMasterRootDir", "Default Master Directory"},
            {"EditWorkRootDir", "Default Work Directory"},
            {"ComboSEQEncoding", "File Encoding"},
            {"ComboDBType", "Type"},
            {"ComboDBDriver", "Driver"},
            {"EditDBServer", "Server"},
            {"EditDBDatabase", "Database"},
            {"EditDBUserName", "User Name"},
            {"EditDBPassword", "Password"},
            {"EditFormatFile", "Format File (*.fmt)"},
            {"EditPrjPickList", "User defined Fields (*.uif)"},
            {"ComboPRJUnits", "Unit of Measure"}};
        int lastY = -1;
        for (const auto &[control, text] : labels) {
            const auto *label = d.TabGeneral->findChild<QLabel *>("Label" + control);
            ASSERT_NE(label, nullptr) << control.toStdString();
            EXPECT_EQ(label->text(), text);
            EXPECT_EQ(label->buddy()->objectName(), control);
            EXPECT_GT(label->y(), lastY) << control.toStdString();
            lastY = label->y();
        }
        QStringList groups;
        for (const QLabel *label : d.TabGeneral->findChildren<QLabel *>())
            if (label->font().bold())
                groups << label->text();
        EXPECT_EQ(groups, QStringList({"SEQ Files", "Database", "Project"}));
        EXPECT_EQ(d.ChkFormatFilePerProject->text(), "Individual Copy per each Project");
        EXPECT_EQ(d.ChkPicklistPerProject->text(), "Individual Copy per each Project");
        EXPECT_EQ(d.LTestConnection->text(), "Test Connection");
        EXPECT_EQ(d.LTestConnection->cursor().shape(), Qt::PointingHandCursor);
        for (SpeedButton *b : {d.BtnSEQDir, d.BtnMasterRootDir, d.BtnWorkRootDir, d.BtnDBDatabase,
                               d.BtnFormatFile, d.BtnPrjPickList})
            EXPECT_EQ(b->text(), "...");
        EXPECT_EQ(d.TabPreferences->findChild<QLabel *>("LabelComboLanguage")->text(), "Language");
        d.CancelBtnClick();
    });
}

TEST_F(Settings, ListsAndWhatCanBeChanged)
{
    run([](TTevSettingsDlg &d) {
        QStringList encodings;
        for (int i = 0; i < d.ComboSEQEncoding->count(); ++i)
            encodings << d.ComboSEQEncoding->itemText(i);
        EXPECT_EQ(encodings, QStringList({"437", "850", "1252", "28591", "28592", "28593", "28594",
                                          "28595", "28596", "28597", "28598", "28599", "28603",
                                          "28605", "65000", "65001", "1200", "1201"}));
        EXPECT_TRUE(d.ComboSEQEncoding->isEditable());
        EXPECT_EQ(d.ComboSEQEncoding->completer(), nullptr);
        EXPECT_EQ(d.ComboSEQEncoding->maxVisibleItems(), 10);
        EXPECT_EQ(d.ComboDBType->itemText(0), "Embedded");
        EXPECT_EQ(d.ComboDBType->itemText(1), "Server");
        EXPECT_EQ(d.ComboDBDriver->itemText(0), "FB");
        EXPECT_EQ(d.ComboDBDriver->itemText(1), "MSSQL");
        EXPECT_EQ(d.ComboDBDriver->itemText(2), "ORA");
        EXPECT_EQ(d.ComboPRJUnits->itemText(0), "Inch");
        EXPECT_EQ(d.ComboPRJUnits->itemText(1), "mm");
        for (QWidget *w :
             {static_cast<QWidget *>(d.ComboDBType), static_cast<QWidget *>(d.ComboDBDriver),
              static_cast<QWidget *>(d.EditDBServer), static_cast<QWidget *>(d.EditDBUserName),
              static_cast<QWidget *>(d.EditDBPassword)}) {
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
            EXPECT_FALSE(d.findChild<QLabel *>("Label" + w->objectName())->isEnabled());
        }
        EXPECT_TRUE(d.EditDBDatabase->isEnabled());
        EXPECT_TRUE(d.BtnDBDatabase->isEnabled());
        EXPECT_EQ(d.EditDBPassword->echoMode(), QLineEdit::Password);
        EXPECT_TRUE(d.EditFormatFile->isReadOnly());
        EXPECT_TRUE(d.EditPrjPickList->isReadOnly());
        EXPECT_FALSE(d.EditSEQDir->isReadOnly());
        // Every code page the list offers can be used.
        for (const QString &e : encodings)
            EXPECT_TRUE(IsKnownEncoding(e)) << e.toStdString();
        d.CancelBtnClick();
    });
}

TEST_F(Settings, OwnerSetsTheHeight)
{
    QWidget owner;
    owner.resize(900, 800);
    TTevSettingsDlg dialog(&owner);
    EXPECT_EQ(dialog.height(), 720);
}

// Beside a window of 1280 x 721 the dialog opens with every field of a page in sight, the last
// one ("Unit of Measure") included.
TEST_F(Settings, BesideALaptopWindowEveryFieldIsInSight)
{
    QWidget owner;
    owner.resize(1280, 721);
    TTevSettingsDlg dialog(&owner);
    dialog.SetApp(&app());
    dialog.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.height(), 648);
    EXPECT_TRUE(dialog.ComboPRJUnits->isVisible());
    for (const char *name : {"TabGeneral", "TabPreferences"}) {
        dialog.PageCtrl->setCurrentWidget(dialog.findChild<QWidget *>(name));
        QCoreApplication::processEvents();
        auto *scroll = dialog.findChild<QScrollArea *>(QString::fromLatin1(name) + "Scroll");
        ASSERT_NE(scroll, nullptr) << name;
        EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0) << name;
        const QRect view = scroll->viewport()->rect();
        for (QWidget *field :
             scroll->widget()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (field->isHidden())
                continue;
            const QRect shown(field->mapTo(scroll->viewport(), QPoint()), field->size());
            EXPECT_TRUE(view.contains(shown)) << field->objectName().toStdString();
        }
    }
}

TEST_F(Settings, FieldsShowTheSettingsAndTheConnection)
{
    TTevSettings &s = app().Settings();
    s.SetDefaultMasterDir(seq("Masters"));
    s.SetDefaultWorkDir(seq("Work"));
    s.SetFileEncoding("850");
    s.SetDBType(TTevDBType::dbtClientServer);
    s.SetFormatFile("/formats/a.fmt");
    s.SetFormatPerProject(true);
    s.SetPickListFile("/formats/b.uif");
    s.SetPickListPerProject(false);
    s.SetUnits(1);
    connection().setParam("Server", "db-host");
    run([&](TTevSettingsDlg &d) {
        EXPECT_EQ(d.EditSEQDir->text(), seq());
        EXPECT_EQ(d.EditMasterRootDir->text(), seq("Masters"));
        EXPECT_EQ(d.EditWorkRootDir->text(), seq("Work"));
        EXPECT_EQ(d.ComboSEQEncoding->currentText(), "850");
        EXPECT_EQ(d.ComboDBType->currentIndex(), 1);
        EXPECT_EQ(d.ComboDBDriver->currentText(), "FB");
        EXPECT_EQ(d.EditDBServer->text(), "db-host");
        EXPECT_EQ(d.EditDBDatabase->text(), connection().param("Database"));
        EXPECT_EQ(d.EditDBDatabase->toolTip(), connection().param("Database"));
        EXPECT_EQ(d.EditDBUserName->text(), "SYSDBA");
        EXPECT_EQ(d.EditDBPassword->text(), "plumtrees");
        EXPECT_EQ(d.EditFormatFile->text(), "/formats/a.fmt");
        EXPECT_TRUE(d.ChkFormatFilePerProject->isChecked());
        EXPECT_EQ(d.EditPrjPickList->text(), "/formats/b.uif");
        EXPECT_FALSE(d.ChkPicklistPerProject->isChecked());
        EXPECT_EQ(d.ComboPRJUnits->currentText(), "mm");
        d.CancelBtnClick();
    });
}

TEST_F(Settings, ButtonGroupChoosesThePage)
{
    run([](TTevSettingsDlg &d) {
        clickGroupButton(d, 1);
        EXPECT_EQ(d.PageCtrl->currentWidget(), d.TabPreferences);
        EXPECT_EQ(d.BtnGroup->ItemIndex(), 1);
        clickGroupButton(d, 0);
        EXPECT_EQ(d.PageCtrl->currentWidget(), d.TabGeneral);
        d.CancelBtnClick();
    });
}

TEST_F(Settings, EnterAndEscapeDoNotCloseIt)
{
    run([](TTevSettingsDlg &d) {
        test::pressKey(d.EditMasterRootDir, Qt::Key_Return);
        test::pressKey(d.EditMasterRootDir, Qt::Key_Escape);
    });
    EXPECT_TRUE(m_stillOpen);
}

TEST_F(Settings, OkWithoutChangesWritesBackButNeitherReconnectsNorMoves)
{
    app().Settings().SetDefaultWorkDir(seq("Work"));
    app().Settings().SetFormatFile("/f/a.fmt");
    app().Project().SetRootDir("/somewhere/else");
    QSignalSpy disconnects(&app().Data(), &TTevDataModule::AfterDisconnect);
    ASSERT_TRUE(run(ok));
    EXPECT_EQ(disconnects.count(), 0);
    EXPECT_TRUE(app().DatabaseConnected());
    // Every field was written back: an empty text removes its line, the switches get theirs.
    const TTevSettings &s = app().Settings();
    EXPECT_EQ(s.DefaultWorkDir(), seq("Work"));
    EXPECT_EQ(s.FormatFile(), "/f/a.fmt");
    EXPECT_EQ(s.FileEncoding(), "1252");
    EXPECT_EQ(s.IndexOfName("DefaultMasterDir"), -1);
    EXPECT_EQ(s.Values("FormatPerProject"), "NO");
    EXPECT_EQ(s.Values("PickListPerProject"), "NO");
    EXPECT_EQ(app().SEQDir(), seq());
    // ApplySettings ran: the project's root follows the settings again.
    EXPECT_EQ(app().Project().RootDir(), seq());
    EXPECT_TRUE(m_boxes.isEmpty());
}

TEST_F(Settings, OkWritesTheSettingsAndTheLanguageToTheirStores)
{
    ASSERT_TRUE(run([&](TTevSettingsDlg &d) {
        d.EditMasterRootDir->setText(seq("Masters"));
        d.EditWorkRootDir->setText(seq("Work"));
        d.ComboSEQEncoding->setEditText("850");
        d.EditFormatFile->setText("/f/a.fmt");
        d.ChkFormatFilePerProject->setChecked(true);
        d.EditPrjPickList->setText("/f/b.uif");
        d.ChkPicklistPerProject->setChecked(true);
        d.ComboPRJUnits->setCurrentIndex(1);
        d.ComboLanguage->setCurrentIndex(d.ComboLanguage->findText("Italiano"));
        ok(d);
    }));
    const TTevSettings &s = app().Settings();
    EXPECT_EQ(s.DefaultMasterDir(), seq("Masters"));
    EXPECT_EQ(s.DefaultWorkDir(), seq("Work"));
    EXPECT_EQ(s.FileEncoding(), "850");
    EXPECT_EQ(s.FormatFile(), "/f/a.fmt");
    EXPECT_TRUE(s.FormatPerProject());
    EXPECT_EQ(s.PickListFile(), "/f/b.uif");
    EXPECT_TRUE(s.PickListPerProject());
    EXPECT_EQ(s.Units(), 1);
    EXPECT_FALSE(s.UseSysLanguage());
    EXPECT_EQ(CurrentLanguage(), kLangItalian);
    // Applied to the project.
    EXPECT_EQ(app().Project().Defaults().FormatFile, "/f/a.fmt");
    EXPECT_EQ(app().Project().Defaults().Units, 1);
    EXPECT_EQ(app().Project().FileEncoding()->CodePage(), 850);

    // The application object stores them when it ends: the table and the per-user file.
    m_app.reset();
    TTevDataModule data(m_env.rootDir());
    TTevSettings stored;
    data.ReadSystemSettings(stored);
    EXPECT_EQ(stored.FileEncoding(), "850");
    EXPECT_EQ(stored.DefaultWorkDir(), seq("Work"));
    EXPECT_EQ(stored.Units(), 1);
    EXPECT_TRUE(m_env.readPerUserSettings().contains("Language=16"));
}

TEST_F(Settings, CancelLeavesEverythingAndPutsTheLanguageBack)
{
    SetCurrentLanguage(kLangEnglish);
    app().Settings().SetUseSysLanguage(false);
    const QString before = app().Settings().Text();
    const QString database = connection().param("Database");
    EXPECT_FALSE(run([&](TTevSettingsDlg &d) {
        d.EditMasterRootDir->setText("/changed");
        d.ComboSEQEncoding->setEditText("437");
        d.EditDBDatabase->setText("/changed.fdb");
        d.ComboPRJUnits->setCurrentIndex(1);
        // A language takes effect when it is chosen...
        d.ComboLanguage->setCurrentIndex(d.ComboLanguage->findText("Deutsch"));
        Q_EMIT d.ComboLanguage->activated(d.ComboLanguage->currentIndex());
        EXPECT_EQ(CurrentLanguage(), kLangGerman);
        d.ComboLanguage->setCurrentIndex(0);
        Q_EMIT d.ComboLanguage->activated(0);
        EXPECT_TRUE(app().Settings().UseSysLanguage());
        QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
    }));
    // ...and Cancel takes it back.
    EXPECT_EQ(CurrentLanguage(), kLangEnglish);
    EXPECT_FALSE(app().Settings().UseSysLanguage());
    EXPECT_EQ(app().Settings().Text(), before);
    EXPECT_EQ(connection().param("Database"), database);
    EXPECT_TRUE(app().DatabaseConnected());
}

TEST_F(Settings, LanguageListIsRebuiltInTheChosenLanguage)
{
    SetCurrentLanguage(kLangEnglish);
    app().Settings().SetUseSysLanguage(false);
    run([](TTevSettingsDlg &d) {
        QStringList items;
        for (int i = 0; i < d.ComboLanguage->count(); ++i)
            items << d.ComboLanguage->itemText(i);
        EXPECT_EQ(items, QStringList({LoadLangString(kTextSystemLanguage, kLangEnglish), "Deutsch",
                                      "English", "Italiano", "Português"}));
        EXPECT_EQ(d.ComboLanguage->currentText(), "English");
        d.ComboLanguage->setCurrentIndex(1);
        Q_EMIT d.ComboLanguage->activated(1);
        EXPECT_EQ(d.ComboLanguage->itemText(0), LoadLangString(kTextSystemLanguage, kLangGerman));
        EXPECT_EQ(d.ComboLanguage->currentText(), "Deutsch");
        d.ComboLanguage->setCurrentIndex(0);
        Q_EMIT d.ComboLanguage->activated(0);
        EXPECT_EQ(d.ComboLanguage->currentIndex(), 0);
        // The tests run in the C locale, whose language the program does not offer.
        EXPECT_EQ(CurrentLanguage(), kLangEnglish);
        ok(d);
    });
    EXPECT_TRUE(app().Settings().UseSysLanguage());
}

TEST_F(Settings, UseOfTheSystemLanguageSelectsItemZero)
{
    app().Settings().SetUseSysLanguage(true);
    run([](TTevSettingsDlg &d) {
        EXPECT_EQ(d.ComboLanguage->currentIndex(), 0);
        d.CancelBtnClick();
    });
}

TEST_F(Settings, ANewDatabaseFileReconnectsAndGoesToTheConnectionFile)
{
    const QString newFile = m_env.file("DB/Other.fdb");
    QSignalSpy connects(&app().Data(), &TTevDataModule::AfterConnect);
    ASSERT_TRUE(run([&](TTevSettingsDlg &d) {
        d.EditDBDatabase->setText(newFile);
        ok(d);
    }));
    EXPECT_EQ(connects.count(), 1);
    EXPECT_TRUE(app().DatabaseConnected());
    EXPECT_EQ(connection().param("Database"), newFile);
    EXPECT_TRUE(m_boxes.isEmpty());
    // The upgrade made the schema in the new file.
    TTevSettings readBack;
    app().Data().ReadSystemSettings(readBack);
    m_app.reset();
    TIniFile ini(m_env.file("Config/Config.ini"));
    EXPECT_EQ(ini.ReadString("Database", "Database", ""), newFile);
}

TEST_F(Settings, AFailedReconnectIsReported)
{
    ASSERT_TRUE(run([&](TTevSettingsDlg &d) {
        // A file stands where the database's folder would have to be made.
        d.EditDBDatabase->setText(m_env.file("bin/tevora/x.fdb"));
        ok(d);
    }));
    EXPECT_FALSE(app().DatabaseConnected());
    ASSERT_EQ(m_boxes.size(), 1);
    EXPECT_EQ(m_boxes[0].text, "Unable to connect to database.\nCannot create the folder \"" +
                                   m_env.file("bin/tevora") + "\".");
}

TEST_F(Settings, FieldsThatCannotBeChangedAreNotWrittenBack)
{
    // Written in other letters than the list's item, and a driver the list does not offer: both
    // are shown and stay as they are.
    connection().setParam("DriverId", "fb");
    connection().setParam("Server", "");
    QSignalSpy disconnects(&app().Data(), &TTevDataModule::AfterDisconnect);
    ASSERT_TRUE(run([](TTevSettingsDlg &d) {
        EXPECT_EQ(d.ComboDBDriver->currentText(), "FB");
        ok(d);
    }));
    EXPECT_EQ(connection().param("DriverId"), "fb");
    EXPECT_EQ(disconnects.count(), 0);

    connection().setParam("DriverId", "FBEmbedded");
    ASSERT_TRUE(run([](TTevSettingsDlg &d) {
        EXPECT_EQ(d.ComboDBDriver->currentText(), "FBEmbedded");
        EXPECT_EQ(d.ComboDBDriver->count(), 4);
        ok(d);
    }));
    EXPECT_EQ(connection().param("DriverId"), "FBEmbedded");
    EXPECT_EQ(disconnects.count(), 0);
    EXPECT_TRUE(app().DatabaseConnected());
}

TEST_F(Settings, TestConnectionReportsAndLeavesTheLiveConnection)
{
    const QString database = connection().param("Database");
    const QString missing = m_env.file("DB/NotThere.fdb");
    QSignalSpy disconnects(&app().Data(), &TTevDataModule::AfterDisconnect);
    run([&](TTevSettingsDlg &d) {
        QTest::mouseClick(d.LTestConnection, Qt::LeftButton);
        d.EditDBDatabase->setText(missing);
        QTest::mouseClick(d.LTestConnection, Qt::LeftButton);
        d.CancelBtnClick();
    });
    ASSERT_EQ(m_boxes.size(), 2);
    EXPECT_EQ(m_boxes[0].text, "Database connection successfully tested.");
    EXPECT_EQ(m_boxes[1].text, "Unable to connect to database.\nI/O error during \"open\" "
                               "operation for file \"" +
                                   missing +
                                   "\" - Error while trying to open file - No such file or "
                                   "directory");
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(connection().param("Database"), database);
    EXPECT_EQ(disconnects.count(), 0);
}

// A server's user and password come from the connection file; a wrong one is tested with the
// engine's reason.
TEST_F(Settings, TestConnectionShowsWhyTheServerRefused)
{
    const test::FirebirdServer &server = test::FirebirdServer::shared();
    const QString shared = m_env.file("DB/Shared.fdb");
    {
        TTevConnection create("Create");
        create.setParams(TStringList(QStringList{
            "DriverId=FB", "Server=" + server.host(), "Database=" + shared, "User_Name=SYSDBA",
            "Password=" + server.password(), "OpenMode=OpenOrCreate"}));
        create.open();
    }
    run([&](TTevSettingsDlg &d) {
        d.EditDBServer->setText(server.host());
        d.EditDBDatabase->setText(shared);
        d.EditDBPassword->setText("not-the-password");
        QTest::mouseClick(d.LTestConnection, Qt::LeftButton);
        d.EditDBPassword->setText(test::FirebirdServer::password());
        QTest::mouseClick(d.LTestConnection, Qt::LeftButton);
        d.CancelBtnClick();
    });
    ASSERT_EQ(m_boxes.size(), 2);
    EXPECT_EQ(m_boxes[0].text, "Unable to connect to database.\nYour user name and password are "
                               "not defined. Ask your database administrator to set up a "
                               "Firebird login.");
    EXPECT_EQ(m_boxes[1].text, "Database connection successfully tested.");
    EXPECT_TRUE(app().DatabaseConnected());
    EXPECT_EQ(connection().param("Server"), "");
}

struct RootCase
{
    const char *name;
    const char *chosen; // below the temporary folder holding the sequence folder
    bool asks;
    int answer;
    bool taken;
};

void PrintTo(const RootCase &c, std::ostream *os)
{
    *os << c.name;
}

class SettingsRootPicker : public Settings, public ::testing::WithParamInterface<RootCase>
{
};

TEST_P(SettingsRootPicker, WarnsOnlyForAnUnrelatedFolder)
{
    const RootCase &c = GetParam();
    // The sequence folder is <tmp>/<name>; its parent is <tmp>.
    const QString parent = QFileInfo(seq()).path();
    const QString chosen = c.chosen == QString("..")           ? parent
                           : QString(c.chosen).startsWith("/") ? parent + c.chosen
                                                               : seq(c.chosen);
    QList<PickerRequest> requests;
    PickerAnswerGuard answer([&](const PickerRequest &r) {
        requests << r;
        return QStringList{chosen};
    });
    m_boxAnswer = c.answer;
    QString field;
    run([&](TTevSettingsDlg &d) {
        QTest::mouseClick(d.BtnSEQDir, Qt::LeftButton);
        field = d.EditSEQDir->text();
        d.CancelBtnClick();
    });
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].kind, PickerRequest::Folder);
    EXPECT_EQ(requests[0].title, "SEQ");
    EXPECT_EQ(requests[0].root, "");
    EXPECT_EQ(requests[0].folder, seq());
    EXPECT_EQ(m_boxes.size(), c.asks ? 1 : 0);
    if (c.asks) {
        EXPECT_EQ(m_boxes[0].caption, "Warning");
        EXPECT_EQ(m_boxes[0].text,
                  "This change in the root directory would lead to existing projects becoming "
                  "unusable due to invalid SEQ file links.\nContinue anyway?");
    }
    EXPECT_EQ(field, c.taken ? chosen : seq());
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsRootPicker,
    ::testing::Values(RootCase{"SubFolder", "Work", false, mrOk, true},
                      RootCase{"Parent", "..", false, mrOk, true},
                      RootCase{"UnrelatedCancelled", "/Other", true, mrCancel, false},
                      RootCase{"UnrelatedConfirmed", "/Other", true, mrOk, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Settings, ATypedUnrelatedRootIsQuestionedAtOk)
{
    test::TempFolder other;
    m_boxAnswer = mrCancel;
    bool closedAtFirst = true;
    QString fieldAfterCancel;
    ASSERT_TRUE(run([&](TTevSettingsDlg &d) {
        d.EditSEQDir->setText(other.path());
        ok(d);
        closedAtFirst = !d.isVisible();
        fieldAfterCancel = d.EditSEQDir->text();
        d.EditSEQDir->setText(other.path());
        m_boxAnswer = mrOk;
        ok(d);
    }));
    EXPECT_FALSE(closedAtFirst);
    EXPECT_EQ(fieldAfterCancel, seq());
    EXPECT_EQ(m_boxes.size(), 2);
    EXPECT_EQ(app().SEQDir(), other.path());
    EXPECT_EQ(app().Project().RootDir(), other.path());
}

TEST_F(Settings, ARootConfirmedInThePickerIsNotQuestionedAgain)
{
    test::TempFolder other;
    PickerAnswerGuard answer([&](const PickerRequest &) { return QStringList{other.path()}; });
    ASSERT_TRUE(run([&](TTevSettingsDlg &d) {
        QTest::mouseClick(d.BtnSEQDir, Qt::LeftButton);
        ok(d);
    }));
    EXPECT_EQ(m_boxes.size(), 1);
    EXPECT_EQ(app().SEQDir(), other.path());
}

TEST_F(Settings, ATypedSubFolderMovesTheRootWithoutAQuestion)
{
    ASSERT_TRUE(run([&](TTevSettingsDlg &d) {
        d.EditSEQDir->setText(seq("Work"));
        ok(d);
    }));
    EXPECT_TRUE(m_boxes.isEmpty());
    EXPECT_EQ(app().SEQDir(), seq("Work"));
}

struct DefaultDirCase
{
    const char *name;
    bool master;
    const char *field; // "" for a field outside the root
    const char *expectedStart;
};

void PrintTo(const DefaultDirCase &c, std::ostream *os)
{
    *os << c.name;
}

class SettingsDefaultDirs : public Settings, public ::testing::WithParamInterface<DefaultDirCase>
{
};

TEST_P(SettingsDefaultDirs, PickerIsRootedAtTheRootField)
{
    const DefaultDirCase &c = GetParam();
    const QString fieldText = QString(c.field) == "SIBLING" ? seq() + "2/Other" : seq(c.field);
    const QString expectedStart = QString(c.expectedStart).isEmpty() ? seq() : seq(c.expectedStart);
    QList<PickerRequest> requests;
    PickerAnswerGuard answer([&](const PickerRequest &r) {
        requests << r;
        return QStringList{seq("Work/Cell 2")};
    });
    QString after;
    run([&](TTevSettingsDlg &d) {
        QLineEdit *field = c.master ? d.EditMasterRootDir : d.EditWorkRootDir;
        field->setText(fieldText);
        QTest::mouseClick(c.master ? d.BtnMasterRootDir : d.BtnWorkRootDir, Qt::LeftButton);
        after = field->text();
        d.CancelBtnClick();
    });
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].title, c.master ? "Default Directory for Master Routines"
                                          : "Default Directory for Work Routines");
    EXPECT_EQ(requests[0].root, seq());
    EXPECT_EQ(requests[0].folder, expectedStart);
    EXPECT_EQ(after, seq("Work/Cell 2"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsDefaultDirs,
    ::testing::Values(DefaultDirCase{"MasterInside", true, "Masters", "Masters"},
                      DefaultDirCase{"WorkInside", false, "Work", "Work"},
                      // A sibling whose name begins with the root's is not inside it.
                      DefaultDirCase{"WorkInSibling", false, "SIBLING", ""}),
    [](const auto &info) { return std::string(info.param.name); });

struct FilePickCase
{
    const char *name;
    int button; // 0 database, 1 format, 2 user fields
    const char *filter;
};

void PrintTo(const FilePickCase &c, std::ostream *os)
{
    *os << c.name;
}

class SettingsFilePickers : public Settings, public ::testing::WithParamInterface<FilePickCase>
{
};

TEST_P(SettingsFilePickers, TakeTheFullName)
{
    const FilePickCase &c = GetParam();
    QList<PickerRequest> requests;
    PickerAnswerGuard answer([&](const PickerRequest &r) {
        requests << r;
        return QStringList{"/picked/file.x"};
    });
    QString after;
    run([&](TTevSettingsDlg &d) {
        const QList<std::pair<SpeedButton *, QLineEdit *>> pairs = {
            {d.BtnDBDatabase, d.EditDBDatabase},
            {d.BtnFormatFile, d.EditFormatFile},
            {d.BtnPrjPickList, d.EditPrjPickList}};
        pairs[c.button].second->setText("/start/name.y");
        QTest::mouseClick(pairs[c.button].first, Qt::LeftButton);
        after = pairs[c.button].second->text();
        if (c.button == 0) {
            EXPECT_EQ(d.EditDBDatabase->toolTip(), "/picked/file.x");
        }
        d.CancelBtnClick();
    });
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].kind, PickerRequest::Open);
    EXPECT_EQ(requests[0].title, "Select format definition file");
    EXPECT_EQ(requests[0].filter, c.filter);
    EXPECT_EQ(requests[0].folder, "/start/name.y");
    EXPECT_EQ(after, "/picked/file.x");
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsFilePickers,
    ::testing::Values(FilePickCase{"Database", 0, "Firebird Database (*.fdb)|*.fdb|All files|*.*"},
                      FilePickCase{"Format", 1, "Format definition (*.fmt)|*.fmt|All files|*.*"},
                      FilePickCase{"UserFields", 2, "User definition (*.uif)|*.uif|All files|*.*"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Settings, ChosenEncodingLosesItsDescription)
{
    run([](TTevSettingsDlg &d) {
        d.ComboSEQEncoding->addItem("1252 Western European");
        const int index = d.ComboSEQEncoding->count() - 1;
        d.ComboSEQEncoding->setCurrentIndex(index);
        Q_EMIT d.ComboSEQEncoding->activated(index);
        EXPECT_EQ(d.ComboSEQEncoding->currentText(), "1252");
        d.CancelBtnClick();
    });
}

struct EncodingCase
{
    const char *name;
    const char *typed;
    bool accepted;
};

void PrintTo(const EncodingCase &c, std::ostream *os)
{
    *os << c.name;
}

class SettingsEncoding : public Settings, public ::testing::WithParamInterface<EncodingCase>
{
};

TEST_P(SettingsEncoding, UnknownIsRefusedAtOk)
{
    const EncodingCase &c = GetParam();
    bool closed = false;
    run([&](TTevSettingsDlg &d) {
        d.ComboSEQEncoding->setEditText(c.typed);
        ok(d);
        closed = !d.isVisible();
        if (!closed)
            d.CancelBtnClick();
    });
    EXPECT_EQ(closed, c.accepted);
    if (c.accepted) {
        EXPECT_TRUE(m_boxes.isEmpty());
        EXPECT_EQ(app().Settings().FileEncoding(), c.typed);
    } else {
        ASSERT_EQ(m_boxes.size(), 1);
        EXPECT_EQ(m_boxes[0].text, QString("The file encoding \"%1\" is not known. Enter a code "
                                           "page number such as 1252 or 65001.")
                                       .arg(c.typed));
        EXPECT_EQ(app().Settings().FileEncoding(), "1252");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SettingsEncoding,
                         ::testing::Values(EncodingCase{"CodePage", "28605", true},
                                           EncodingCase{"Name", "windows-1250", true},
                                           EncodingCase{"TypedWithDescription", "1252 Western",
                                                        false},
                                           EncodingCase{"UnknownNumber", "99999", false},
                                           EncodingCase{"UnknownName", "klingon", false},
                                           EncodingCase{"Empty", "", false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(Settings, FieldsNamingNoFolderAreRed)
{
    run([&](TTevSettingsDlg &d) {
        const QColor red(175, 21, 27);
        d.EditMasterRootDir->setText(seq("Masters"));
        EXPECT_NE(d.EditMasterRootDir->palette().color(QPalette::Text), red);
        d.EditMasterRootDir->setText(seq("Missing"));
        EXPECT_EQ(d.EditMasterRootDir->palette().color(QPalette::Text), red);
        // A file name is no folder.
        EXPECT_EQ(d.EditDBDatabase->palette().color(QPalette::Text), red);
        EXPECT_NE(d.EditSEQDir->palette().color(QPalette::Text), red);
        d.CancelBtnClick();
    });
}

} // namespace
} // namespace tev
