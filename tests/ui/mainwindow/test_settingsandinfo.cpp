#include "mainwindowfixture.h"

#include "ui/appdialogs/kelaboutbox.h"
#include "ui/appdialogs/tevsettingsdlg.h"

#include <QLineEdit>

namespace tev::test {
namespace {

// A work project in the database, open with an unsaved header change; the settings dialog is
// answered with OK and, when given, a new sequence root.
class SettingsCommand : public SequenceWindowTest
{
protected:
    void SetUp() override
    {
        start();
        form().show();
        createWork(QStringLiteral("Work/W1.seq"), QStringLiteral("W1"));
        click(QStringLiteral("Work/W1.seq"));
        ASSERT_TRUE(project().ExistsInDatabase());
        project().Save();
        m_saved = fileBytes(QStringLiteral("Work/W1.seq"));
        project().SetVersion(QStringLiteral("7.1"));
        ASSERT_NE(project().ChangeState(), 0u);
    }

    // Runs Settings...; the dialog gets the root (unless empty) and OK, message boxes the
    // answers in order.
    QStringList runSettings(const QString &newRoot, QList<int> answers)
    {
        DialogAnswers dialogs;
        dialogs.onDialog([&](QDialog &dialog) {
            if (auto *settings = qobject_cast<TTevSettingsDlg *>(&dialog)) {
                if (!newRoot.isEmpty())
                    settings->EditSEQDir->setText(newRoot);
                return int(mrOk);
            }
            return answers.isEmpty() ? int(mrCancel) : answers.takeFirst();
        });
        form().MISettingsClick();
        return dialogs.texts();
    }

    QString workFile() { return m_seq.file(QStringLiteral("Work/W1.seq")); }

    TempFolder m_otherRoot;
    QByteArray m_saved;
};

TEST_F(SettingsCommand, ANewRootAsksFirstAndCancelChangesNothing)
{
    const QString root = form().App()->SEQDir();
    const QStringList texts = runSettings(m_otherRoot.path(), {mrCancel});
    EXPECT_EQ(texts, QStringList({QStringLiteral("TevSettingsDlg"), "Save changes?"}));
    EXPECT_EQ(form().App()->SEQDir(), root);
    EXPECT_EQ(form().Tree()->Root(), root);
    EXPECT_EQ(project().FileName(), workFile());
    EXPECT_EQ(project().Version(), QStringLiteral("7.1"));
    EXPECT_EQ(fileBytes(QStringLiteral("Work/W1.seq")), m_saved);
}

TEST_F(SettingsCommand, ANewRootSavesOnYesThenClosesTheProjectAndShowsTheNewTree)
{
    runSettings(m_otherRoot.path(), {mrYes});
    EXPECT_TRUE(fileBytes(QStringLiteral("Work/W1.seq")).contains("$VERSION 7.1"));
    EXPECT_TRUE(project().Empty());
    EXPECT_EQ(form().App()->SEQDir(), m_otherRoot.path());
    EXPECT_EQ(form().Tree()->Root(), m_otherRoot.path());
    EXPECT_TRUE(form().Tree()->selectedItems().isEmpty());
}

TEST_F(SettingsCommand, ANewRootAnsweredNoDropsTheChanges)
{
    runSettings(m_otherRoot.path(), {mrNo});
    EXPECT_EQ(fileBytes(QStringLiteral("Work/W1.seq")), m_saved);
    EXPECT_TRUE(project().Empty());
    EXPECT_EQ(form().App()->SEQDir(), m_otherRoot.path());
}

TEST_F(SettingsCommand, OtherSettingsLeaveTheOpenProjectAlone)
{
    const QStringList texts = runSettings(QString(), {});
    EXPECT_EQ(texts, QStringList({QStringLiteral("TevSettingsDlg")}));
    EXPECT_EQ(project().FileName(), workFile());
    EXPECT_EQ(project().Version(), QStringLiteral("7.1"));
    EXPECT_EQ(form().Tree()->Root(), m_seq.root());
}

TEST_F(SettingsCommand, ACancelledDialogChangesNothing)
{
    DialogAnswers dialogs({mrCancel});
    form().MISettingsClick();
    EXPECT_EQ(dialogs.texts(), QStringList({QStringLiteral("TevSettingsDlg")}));
    EXPECT_EQ(project().Version(), QStringLiteral("7.1"));
    EXPECT_EQ(form().App()->SEQDir(), m_seq.root());
}

class Info : public MainWindowTest
{
};

TEST_F(Info, ShowsTheAboutBoxOfTheProgram)
{
    TTevMainForm &w = start();
    w.MIHelpAboutClick();
    QList<TKelAboutBox *> boxes;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<TKelAboutBox *>(widget); box && box->isVisible())
            boxes << box;
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_FALSE(boxes.constFirst()->LVersionText->text().isEmpty());
    boxes.constFirst()->CloseClick();
}

} // namespace
} // namespace tev::test
