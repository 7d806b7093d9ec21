// The references page: the masters a work sequence is built on, or the work sequences built on
// a master, and the commands that add, remove and update references.

#include "ui/mainwindow/tevmainform.h"

#include "core/app/tevapp.h"
#include "core/db/tevconnection.h"
#include "core/db/tevdatamodule.h"
#include "core/db/tevrowset.h"
#include "core/project/filereport.h"
#include "core/project/tevproject.h"
#include "platform/crash/exceptionhandlers.h"
#include "platform/error.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/dialogs/vyxprogressdlg.h"
#include "ui/kit/speedbutton.h"
#include "ui/mainwindow/userinputblocker.h"
#include "ui/models/datasetmodel.h"
#include "ui/pickers/pickers.h"

#include <QDir>
#include <QToolButton>
#include <optional>

namespace tev {

namespace {

// Display widths of the references' columns, in characters.
constexpr int kIntegerWidth = 5;
constexpr int kTextWidth = 50;
constexpr int kFileTypeWidth = 30;

const QStringList kWorkReferences = {
    QStringLiteral("select SUBID as ID, 0 as FILETYPE, REF_FILENAME as FILENAME, "
                   "REF_PROJECTNAME as PROJECTNAME"),
    QStringLiteral("from REFPROJECTS"), QStringLiteral("where PROJECTID = :PROJECTID")};

const QStringList kMasterReferences = {
    QStringLiteral("select Ref.PROJECTID as ID, P.FILETYPE, P.FILENAME, P.PROJECTNAME"),
    QStringLiteral("from REFPROJECTS Ref, PROJECTS P"),
    QStringLiteral("where Ref.PROJECTID = P.PROJECTID"),
    QStringLiteral(" and REF_FILENAME = :REF_FILENAME")};

// Holds the project's update flag for one scope, also when the scope ends by an error.
class ProjectUpdate
{
public:
    explicit ProjectUpdate(TTevProject &project)
        : m_project(project)
    {
        m_project.BeginUpdate();
    }
    ~ProjectUpdate() { m_project.EndUpdate(); }
    ProjectUpdate(const ProjectUpdate &) = delete;
    ProjectUpdate &operator=(const ProjectUpdate &) = delete;

private:
    TTevProject &m_project;
};

// The progress window of one operation, without a Cancel button; freed in every case.
class ProgressWindow
{
public:
    explicit ProgressWindow(int count)
    {
        ShowProgress(1, count, 1, QStringLiteral("Preparing..."));
        if (TVYXProgressDlg *dialog = progressDialog())
            dialog->cancelBtn()->hide();
    }
    ~ProgressWindow() { HideProgress(); }
    ProgressWindow(const ProgressWindow &) = delete;
    ProgressWindow &operator=(const ProgressWindow &) = delete;
};

// The name of a file below a folder relative to it; empty for a file outside.
QString InsideFolder(const QString &folder, const QString &file)
{
    const QString root = QDir::cleanPath(folder);
    const QString path = QDir::cleanPath(QDir(root).absoluteFilePath(file));
    if (root.isEmpty() || !path.startsWith(root + QLatin1Char('/')))
        return {};
    return path.mid(root.size() + 1);
}

} // namespace

void TTevMainForm::UpdateReferencesQuery()
{
    FDatSrcReferences->setDataSet(nullptr);
    FQuReferences.reset();
    TTevProject &project = Project();
    const QString generator = project.Generator();
    const bool work = generator == QLatin1String("Tevora");
    const bool master = generator == QLatin1String("Ombrix");
    FToolbarMasterFiles->setVisible(!project.Empty() && (master || project.ExistsInDatabase()));
    if (master)
        FUpdateReferencesBtn->setEnabled(true);
    if (!project.Empty() && (work || master) && FApp->Data().Connected()) {
        // A query that fails is reported; the grid stays empty and the window goes on.
        try {
            auto references = std::make_unique<TTevRowSet>(FApp->Data().Database()->database());
            if (work)
                references->open(kWorkReferences.join(QLatin1Char('\n')),
                                 {{QStringLiteral("PROJECTID"), project.ProjectId()}});
            else
                references->open(kMasterReferences.join(QLatin1Char('\n')),
                                 {{QStringLiteral("REF_FILENAME"), project.RelativeFileName()}});
            for (int i = 0; i < references->fieldCount(); ++i) {
                Field &field = references->field(i);
                field.setDisplayWidth(field.dataType() == FieldType::Integer ? kIntegerWidth
                                                                             : kTextWidth);
            }
            if (Field *fileType = references->findField(QStringLiteral("FILETYPE"))) {
                fileType->setOnGetText(
                    [this](const Field &f) { return FileTypeGetText(f.value()); });
                fileType->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                fileType->setDisplayWidth(kFileTypeWidth);
            }
            FQuReferences = std::move(references);
            FDatSrcReferences->setDataSet(FQuReferences.get());
        } catch (...) {
            HandleCurrentException();
        }
    }
    UpdateReferencesButtons();
}

void TTevMainForm::UpdateReferencesButtons()
{
    if (!FApp)
        return;
    TTevProject &project = Project();
    const bool workInDB =
        project.ExistsInDatabase() && project.Generator() == QLatin1String("Tevora");
    FAddReferenceBtn->setEnabled(!project.Empty());
    FRemoveMasterBtn->setEnabled(workInDB && FQuReferences && FDatSrcReferences->currentRow() >= 0);
    FUpdateReferencesBtn->setEnabled(!project.Empty());
}

QString TTevMainForm::FileTypeGetText(const QVariant &Value) const
{
    if (!Value.isValid() || Value.isNull())
        return {};
    switch (Value.toInt()) {
    case 0:
        return QStringLiteral("Master Sequence (*.seq)");
    case 1:
        return QStringLiteral("Work Sequence (*.seq)");
    case 2:
        return QStringLiteral("Sentavo Sequence (*.mseq)");
    default:
        return {};
    }
}

void TTevMainForm::AddReferenceBtnClick()
{
    TTevProject &project = Project();
    if (project.Empty())
        return;
    if (project.Generator() != QLatin1String("Tevora")) {
        NewProject(TTevFileType::pftSEQ); // the open file is proposed as the master
        return;
    }
    const QStringList files =
        PickOpenFiles(this, QString(), FApp->Settings().DefaultMasterDir(),
                      QStringLiteral("Sequence editor file (*.seq)|*.seq"), true);
    QStringList masters, refused;
    for (const QString &file : files) {
        const QString relative = InsideFolder(project.RootDir(), file);
        if (relative.isEmpty())
            refused << QStringLiteral("\"%1\" is not in the sequence folder.").arg(file);
        else if (relative == project.RelativeFileName())
            refused << QStringLiteral("\"%1\" is the project itself.").arg(relative);
        else
            masters << relative;
    }
    if (!refused.isEmpty())
        KelShowMessage(QStringLiteral("Only other sequences in the sequence folder \"%1\" can be "
                                      "masters.\n\n%2")
                           .arg(project.RootDir(), refused.join(QLatin1Char('\n'))));
    if (masters.isEmpty() || !SettleEditor())
        return;
    TFileReport copies;
    {
        const ProjectUpdate update(project);
        for (const QString &master : masters) {
            project.AddMasterProject(master);
            copies.Add(project.LastFileReport());
        }
    }
    SaveProject();
    ShowFileProblems(QStringLiteral("Some files of the masters could not be copied."), {},
                     copies.Failed);
    UpdateReferencesQuery();
    project.DoChange();
}

void TTevMainForm::RemoveMasterBtnClick()
{
    TTevProject &project = Project();
    if (!FRemoveMasterBtn->isEnabled() || !FQuReferences || FQuReferences->isEmpty())
        return;
    const QString master = FQuReferences->fieldByName(QStringLiteral("FILENAME")).asString();
    if (KelConfirm(QStringLiteral("Remove entry?")) != mrOk || !SettleEditor())
        return;
    {
        const ProjectUpdate update(project);
        project.RemoveMasterProject(master);
    }
    TakeBaseline();
    UpdateReferencesQuery();
}

void TTevMainForm::UpdateReferencesBtnClick()
{
    TTevProject &project = Project();
    if (project.Empty() || !SettleEditor())
        return;
    const bool master = project.Generator() != QLatin1String("Tevora");
    const QString masterFile = project.FileName();
    QStringList expected;
    if (master && FQuReferences) {
        const DisableControlsGuard quiet(*FQuReferences);
        for (FQuReferences->first(); !FQuReferences->eof(); FQuReferences->next())
            expected << FQuReferences->fieldByName(QStringLiteral("FILENAME")).asString();
    }
    QStringList rewritten;
    try {
        // A master's database changes cannot be undone half-way: no Cancel, and no other
        // command while the files are written. A work sequence is saved, which may ask whether
        // to overwrite another user's save.
        std::optional<UserInputBlocker> blocker;
        if (master)
            blocker.emplace();
        const ProgressWindow progress(FQuReferences ? FQuReferences->recordCount() : 0);
        project.UpdateReferences([&rewritten](const QString &ACaption, int BarIndex) {
            rewritten << ACaption;
            return StepProgress(ACaption, BarIndex);
        });
        // A work sequence holds its masters' characteristics unsaved: they stay changes.
        if (master)
            TakeBaseline();
    } catch (const Error &error) {
        // A work sequence whose save the user declined keeps its changes on screen, unsaved.
        const auto *stale = dynamic_cast<const StaleWriteError *>(&error);
        if (stale && stale->declined())
            return;
        if (master && project.FileName() != masterFile) {
            try {
                project.OpenFile(masterFile);
            } catch (...) {
                HandleCurrentException();
            }
        }
        // A work sequence that was not saved keeps counting as changed.
        if (master)
            TakeBaseline();
        ReportUpdateFailure(error.message(), project.RootDir(), expected, rewritten);
    }
}

void TTevMainForm::ReportUpdateFailure(const QString &Message, const QString &Root,
                                       const QStringList &Expected, const QStringList &Rewritten)
{
    QStringList done;
    for (const QString &file : Rewritten) {
        const QString relative = InsideFolder(Root, file);
        done << (relative.isEmpty() ? file : relative);
    }
    QStringList lines{QStringLiteral("Update Reference stopped:"), Message};
    if (!Expected.isEmpty() || !done.isEmpty()) {
        QStringList missing;
        for (const QString &file : Expected)
            if (!done.contains(file))
                missing << file;
        lines << QString() << QStringLiteral("Written again:")
              << (done.isEmpty() ? QStringList{QStringLiteral("(none)")} : done);
        lines << QString() << QStringLiteral("Not written again:")
              << (missing.isEmpty() ? QStringList{QStringLiteral("(none)")} : missing);
    }
    KelShowMessage(lines.join(QLatin1Char('\n')));
}

} // namespace tev
