#include "flows.h"

#include "ui/appdialogs/tevsettingsdlg.h"

#include <QComboBox>

namespace tev::test {
namespace {

using SettingsFlow = Flow;

// Answers the settings dialog: Change sets its fields, then OK; other dialogs get OK.
std::function<int(QDialog &)> settingsAnswer(std::function<void(TTevSettingsDlg &)> change)
{
    return [change](QDialog &dialog) {
        auto *settings = qobject_cast<TTevSettingsDlg *>(&dialog);
        if (!settings)
            return int(mrOk);
        settings->show();
        change(*settings);
        settings->OKBtnClick();
        return settings->result();
    };
}

TEST_F(SettingsFlow, ANewWorkFolderAndEncodingAreUsedByTheNextNewAndOpen)
{
    ASSERT_TRUE(QDir().mkpath(seq(QStringLiteral("Press"))));
    {
        ProgramAnswers answers;
        answers.onDialog(settingsAnswer([this](TTevSettingsDlg &d) {
            d.EditWorkRootDir->setText(seq(QStringLiteral("Press")));
            d.ComboSEQEncoding->setEditText(QStringLiteral("UTF-8"));
        }));
        form().MISettingsClick();
        EXPECT_EQ(answers.texts(), QStringList({"TevSettingsDlg"}));
    }

    click(SequenceTree::Housing);
    QString proposedFolder;
    {
        ProgramAnswers answers;
        answers.onDialog([&](QDialog &dialog) {
            auto *wizard = qobject_cast<TTevProjectDialog *>(&dialog);
            if (!wizard)
                return int(mrOk);
            proposedFolder = wizard->EditFilePath->text();
            wizard->EditProjectName->setText(QStringLiteral("Prüfplan Süd"));
            wizard->EditFileName->setText(QStringLiteral("P1.seq"));
            wizard->UpdateButtons();
            wizard->FinishBtnClick();
            return wizard->result();
        });
        form().ToolBtnNewClick();
    }
    EXPECT_TRUE(proposedFolder.startsWith(QStringLiteral("Press"))) << proposedFolder.toStdString();
    const QString relative = QDir::cleanPath(proposedFolder + QStringLiteral("/P1.seq"));
    const QByteArray written = fileBytes(relative);
    ASSERT_FALSE(written.isEmpty()) << relative.toStdString();
    EXPECT_TRUE(written.contains("$PROJECTNAME Pr\xc3\xbc"
                                 "fplan S\xc3\xbc"
                                 "d"))
        << written.left(400).toStdString();
    EXPECT_EQ(rows("select PROJECTNAME, FILENAME from PROJECTS"),
              QStringList({QStringLiteral("Prüfplan Süd|") + relative}));

    // The next open reads the file in the same encoding.
    restart();
    click(relative);
    EXPECT_EQ(project().ProjectName(), QStringLiteral("Prüfplan Süd"));
}

TEST_F(SettingsFlow, ARootMovedToASubFolderRewritesTheStoredNames)
{
    createWithWizard(SequenceTree::Housing, QStringLiteral("Work/Cell 2/"),
                     QStringLiteral("W1.seq"));
    ASSERT_EQ(rows("select FILENAME from PROJECTS"), QStringList({"Work/Cell 2/W1.seq"}));
    {
        ProgramAnswers answers({mrYes, mrOk, mrOk});
        answers.onDialog(settingsAnswer(
            [this](TTevSettingsDlg &d) { d.EditSEQDir->setText(seq(QStringLiteral("Work"))); }));
        form().MISettingsClick();
    }
    EXPECT_EQ(form().App()->SEQDir(), seq(QStringLiteral("Work")));
    EXPECT_EQ(rows("select FILENAME from PROJECTS"), QStringList({"Cell 2/W1.seq"}));

    // The work project opens from the new root as a project of the database.
    restart();
    click(QStringLiteral("Cell 2/W1.seq"));
    EXPECT_TRUE(project().ExistsInDatabase());
    EXPECT_EQ(project().FileName(), seq(QStringLiteral("Work/Cell 2/W1.seq")));
}

} // namespace
} // namespace tev::test
