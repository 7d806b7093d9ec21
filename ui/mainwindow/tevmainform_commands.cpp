// The commands of the tool bar and the menus: New, Delete, Save, "Send to Sensor", Settings and
// Info.

#include "ui/mainwindow/tevmainform.h"

#include "core/app/tevapp.h"
#include "core/db/tevconnection.h"
#include "core/db/tevdatamodule.h"
#include "core/lib/paths.h"
#include "core/project/filereport.h"
#include "core/project/tevproject.h"
#include "core/sequence/sequencefile.h"
#include "platform/error.h"
#include "platform/text/tstringlist.h"
#include "ui/appdialogs/kelaboutbox.h"
#include "ui/appdialogs/tevprojectdeldlg.h"
#include "ui/appdialogs/tevprojectdlg.h"
#include "ui/appdialogs/tevsettingsdlg.h"
#include "ui/controls/vyxdirectorytreeview.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/pages/tevcharspage.h"
#include "ui/pickers/pickers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopedValueRollback>

namespace tev {

namespace {

// The "$GENERATOR" of a sequence file; empty when it cannot be read.
QString FileGenerator(const QString &fileName)
{
    try {
        TStringList header;
        header.SetText(ParseHeader(LoadSequenceLinesByPreamble(fileName)));
        return header.Values(QStringLiteral("$GENERATOR"));
    } catch (const Error &) {
        return {};
    }
}

bool SameFile(const QString &a, const QString &b)
{
    const QFileInfo fa(a), fb(b);
    return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}

} // namespace

void TTevMainForm::ToolBtnNewClick()
{
    NewProject(TTevFileType::pftSEQ);
}

void TTevMainForm::SEQ1Click()
{
    NewProject(TTevFileType::pftSEQ);
}

void TTevMainForm::MSEQ1Click()
{
    NewProject(TTevFileType::pftMSEQ);
}

void TTevMainForm::NewProject(TTevFileType FileType)
{
    if (!ResolveChanges())
        return;
    TTevProject &project = Project();
    const TTevSettings &settings = FApp->Settings();
    const QString root = project.RootDir();
    QString fileName = settings.DefaultWorkDir().isEmpty()
                           ? QString()
                           : GetRelativeFileName(root, AddBackSlash(settings.DefaultWorkDir()));
    QString projectName = project.ProjectName();
    // The open master is proposed as the master of the new project.
    QString master = project.Empty() || project.Generator() == QLatin1String("Tevora")
                         ? QString()
                         : GetRelativeFileName(root, project.FileName());
    QString formatFile = settings.FormatFile();
    QString userFieldsFile = settings.PickListFile();
    TTevFileType fileType = FileType;
    if (!ExecuteProjectDialog(FApp.get(), projectName, fileName, master, fileType, formatFile,
                              userFieldsFile))
        return;

    const QString target = QDir(root).filePath(fileName);
    if (QFileInfo::exists(target)) {
        // Only a work sequence of ours is ever replaced, and never the master it is made from.
        if (!master.isEmpty() && SameFile(target, QDir(root).filePath(master))) {
            KelShowMessage(QStringLiteral("\"%1\" is the master of the new project and cannot "
                                          "be replaced.")
                               .arg(fileName));
            return;
        }
        if (FileGenerator(target) != QLatin1String("Tevora")) {
            KelShowMessage(QStringLiteral("\"%1\" is not a work sequence of Tevora and cannot "
                                          "be replaced.")
                               .arg(fileName));
            return;
        }
        if (KelMessageDlg(QLatin1Char('"') + fileName +
                              QStringLiteral("\" already exists. Replace project?"),
                          buttonSet({mbYes, mbNo}), QString()) != mrYes)
            return;
    }
    if (!SettleEditor())
        return;
    bool created = false;
    try {
        created = project.New(fileName, projectName, fileType, master, formatFile, userFieldsFile);
    } catch (const Error &error) {
        KelShowMessage(
            QStringLiteral("The project could not be created.\n\n%1").arg(error.message()));
        return;
    }
    if (!created) {
        KelShowMessage(QStringLiteral("The project could not be created: the database already "
                                      "holds a project \"%1\".")
                           .arg(fileName));
        return;
    }
    const TFileReport copies = project.LastFileReport();
    project.Save();
    ShowFileProblems(QStringLiteral("Some files of the new project could not be copied."), {},
                     copies.Failed);

    QTreeWidgetItem *node = nullptr;
    {
        const QScopedValueRollback updating(FUpdatingTree, true);
        FTree->RefreshNodes();
        node = FTree->FindNode(fileName);
        SelectTreeNode(node);
    }
    TreeChange(node);
}

void TTevMainForm::FileDelete1Execute()
{
    TTevProject &project = Project();
    if (project.Generator() != QLatin1String("Tevora") || !SettleEditor())
        return;
    bool removeFromDB = project.ExistsInDatabase();
    bool deleteFile = true;
    if (!ExecuteDelProjectDlg(removeFromDB, deleteFile))
        return;
    QTreeWidgetItem *selected = FTree->currentItem();
    QTreeWidgetItem *parent = selected ? selected->parent() : nullptr;
    if (removeFromDB) {
        const TFileReport report = project.Delete(deleteFile);
        ShowFileProblems(QStringLiteral("The project's file could not be deleted."), {},
                         report.Failed);
    } else if (deleteFile) {
        const QString fileName = project.FileName();
        // A file outside the database leaves the window with its file.
        project.Close();
        if (!QFile::remove(fileName) && QFileInfo::exists(fileName))
            ShowFileProblems(QStringLiteral("The project's file could not be deleted."), {},
                             {fileName});
    }
    if (deleteFile && parent) {
        {
            const QScopedValueRollback updating(FUpdatingTree, true);
            FTree->AddSubDirectories(parent, FTree->SubLevels());
            SelectTreeNode(parent);
            parent->setExpanded(true);
        }
        TreeChange(parent);
    }
}

void TTevMainForm::FileSave1Execute()
{
    // The shortcut follows the button: only a project in the database is saved.
    if (!Project().ExistsInDatabase())
        return;
    SaveProject();
    UpdateFileText();
}

void TTevMainForm::ToolBntExportClick()
{
    TTevProject &project = Project();
    if (project.Empty() || !ResolveChanges())
        return;
    const QString folder = PickFolder(this, QStringLiteral("Save"), QString());
    if (folder.isEmpty())
        return;
    const TFileReport report = project.ExportAll(folder);
    ShowFileProblems(
        QStringLiteral("Send to Sensor: not every file was copied to \"%1\".").arg(folder),
        report.Skipped, report.Failed);
}

void TTevMainForm::MISettingsClick()
{
    // A new root or database leaves the open project behind: its changes are settled and it is
    // closed before the switch, so that nothing is written into the new place by mistake.
    const auto settleProject = [this] {
        if (!ResolveChanges())
            return false;
        FCharsPage->ClearRecentCharImage();
        Project().Close();
        TakeBaseline();
        return true;
    };
    if (!ExecuteSettingsDlg(FApp.get(), settleProject))
        return;
    UpdateTreeRoot();
    TranslateForm();
}

void TTevMainForm::MIHelpAboutClick()
{
    ShowAboutBox(FApp.get());
}

void TTevMainForm::AddClientBtnClick()
{
    // Points the open dialog at the selected node's folder; what the user picks is not used.
    QString folder = TvyxDirectoryTreeView::GetFullPath(FTree->currentItem());
    if (!QFileInfo(folder).isDir())
        folder = QFileInfo(folder).path();
    PickOpenFiles(this, QString(), folder,
                  QStringLiteral("Sequence Editor File (*.seq)|*.seq|Sentavo Sequence File "
                                 "(*.mseq)|*.mseq"),
                  true);
}

void TTevMainForm::ShowFileProblems(const QString &Title, const QStringList &Skipped,
                                    const QStringList &Failed)
{
    if (Skipped.isEmpty() && Failed.isEmpty())
        return;
    QStringList lines{Title};
    if (!Skipped.isEmpty())
        lines << QString() << QStringLiteral("Left alone, already there:") << Skipped;
    if (!Failed.isEmpty())
        lines << QString() << QStringLiteral("Failed:") << Failed;
    KelShowMessage(lines.join(QLatin1Char('\n')));
}

} // namespace tev
