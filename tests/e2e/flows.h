#pragma once

#include "support/app/wholeprogram.h"
#include "ui/appdialogs/tevprojectdlg.h"
#include "ui/dialogs/vyxinputdlg.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace tev::test {

// The whole program driven through its window's commands, as a user does.
class Flow : public WholeProgram
{
protected:
    void SetUp() override { start(); }

    // Answers the new-project wizard: the folder (relative to the sequence folder) and the file
    // name, then Finish; every other dialog gets OK.
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

    // Answers an input box with this text and OK.
    static std::function<int(QDialog &)> typeInto(const QString &text)
    {
        return [text](QDialog &dialog) {
            auto *box = qobject_cast<TvyxInputDlg *>(&dialog);
            EXPECT_NE(box, nullptr) << dialog.objectName().toStdString();
            if (!box)
                return int(mrCancel);
            if (auto *edit = qobject_cast<QLineEdit *>(box->InputCtrl()))
                edit->setText(text);
            else if (auto *memo = qobject_cast<QPlainTextEdit *>(box->InputCtrl()))
                memo->setPlainText(text);
            return int(mrOk);
        };
    }

    // Creates a work project from the master with the wizard, as the New button does.
    void createWithWizard(const QString &master, const QString &folder, const QString &name)
    {
        click(master);
        ProgramAnswers answers;
        answers.onDialog(finishWizard(folder, name));
        form().ToolBtnNewClick();
    }

    // The characteristics of the work project stored under this file name, in their order:
    // "LABEL|GROUPNAME|ACTIVE|NOMINAL".
    QStringList storedChars(const QString &fileName)
    {
        return rows(QStringLiteral("select c.LABEL, c.GROUPNAME, c.ACTIVE, c.NOMINAL from "
                                   "CHARACTERISTICS c join PROJECTS p on p.PROJECTID = c.PROJECTID "
                                   "where p.FILENAME = '%1' order by c.CHARID")
                        .arg(fileName));
    }
};

} // namespace tev::test
