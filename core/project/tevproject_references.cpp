// The master references of the open sequence: adding and removing a master, recording the
// masters its characteristics come from, and carrying a changed master into its work sequences.

#include "core/lib/numbers.h"
#include "core/lib/paths.h"
#include "core/project/dependencyfiles.h"
#include "core/project/projectscopes.h"
#include "core/sequence/sequencefile.h"
#include "platform/error.h"
#include "platform/file/stagedfiles.h"
#include "platform/text/tstringlist.h"

#include <QFileInfo>

namespace tev {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

void TTevProject::AddMasterProject(const QString &AMasterFileName)
{
    const QString relative = MakeRelativeFileName(AMasterFileName);
    if (MergeMasterProject(relative))
        FLastFileReport =
            CopyDependencyFiles(GetDependsList().split(kCrLf), FolderOf(relative), Directory());
}

bool TTevProject::MergeMasterProject(const QString &Relative)
{
    CheckInsideRoot(Relative, "master sequence");
    const QString full = AddBackSlash(FRootDir) + Relative;
    if (!QFileInfo(full).isFile())
        return false;
    const QStringList lines = LoadSequenceLinesByPreamble(full);
    const QString masterHeader = ParseHeader(lines);
    MergeHeader(masterHeader);
    TStringList parsed;
    parsed.SetText(masterHeader);
    const QString refProjectName = parsed.Values(QStringLiteral("$PROJECTNAME"));
    ReadRoutine(Relative, refProjectName, lines, false);
    if (FData && ProjectId() > 0)
        FData->AddRefProject(ProjectId(), Relative, refProjectName);
    MarkDatabaseOnlyChange();
    DoChange();
    UpdateDepends();
    return true;
}

void TTevProject::RemoveMasterProject(const QString &AMasterFileName)
{
    if (FData && ProjectId() > 0)
        FData->RemoveRefProject(ProjectId(), MakeRelativeFileName(AMasterFileName));
    const QString name = FileName();
    Close();
    if (LoadFromDB(name)) {
        UpdateDepends();
        Save();
    }
    OpenFile(name);
    DoChange();
}

void TTevProject::UpdateRefProjects()
{
    if (!FData || ProjectId() <= 0)
        return;
    MemDataSet &ds = *FCDSChars;
    TStringList names;
    names.SetSorted(true);
    names.SetDuplicates(TStringList::TDuplicates::dupIgnore);
    const MemDataSet::Bookmark mark = ds.bookmark();
    {
        DisableControlsGuard controls(ds);
        FilterOffGuard filterOff(ds);
        Field &ref = ds.fieldByName(QStringLiteral("REF_FILENAME"));
        for (ds.first(); !ds.eof(); ds.next()) {
            const QString name = ref.asString();
            if (!name.isEmpty())
                names.Add(name);
        }
    }
    if (ds.bookmarkValid(mark))
        ds.gotoBookmark(mark);
    else
        ds.first();
    for (const QString &name : names.ToStringList()) {
        if (!IsNameBelowRoot(name)) {
            qCWarning(lcProject) << "A characteristic names the source" << name
                                 << "outside the sequence folder; it is not recorded.";
            continue;
        }
        if (!FData->ExistsReference(ProjectId(), name))
            FData->AddRefProject(ProjectId(), name, ReadRefProjectName(name));
    }
}

void TTevProject::UpdateReferences(const TProgressStepItFunc &ProgressFunction)
{
    if (Empty())
        return;
    if (IsWorkSequence()) {
        Save();
        if (!FData || ProjectId() <= 0)
            return;
        QStringList masters;
        FData->GetRefProjects(ProjectId(), masters);
        for (const QString &master : masters)
            AddMasterProject(master);
        return;
    }
    // A master read only in part would delete its missing characteristics from every project.
    if (!FReadComplete)
        throw Error(QStringLiteral("The master sequence \"%1\" was not read completely (it could "
                                   "not be loaded, it has no routine table with a column line, or "
                                   "reading it failed). It is not carried into its work "
                                   "sequences; none was changed.")
                        .arg(FRelativeFileName));
    if (!FData)
        return;
    const QString masterFile = FileName();
    const QString master = FRelativeFileName;
    // Each depending project is loaded from the rows the propagation wrote, without reading them
    // again, and its file written under a temporary name, inside the propagation's transaction.
    // The files replace the old ones once it committed: a failure leaves the rows and the files
    // as they were.
    StagedFiles staged;
    std::vector<std::pair<QString, bool>> projects; // full file name, whether written
    try {
        FData->UpdateDependingProjects(
            master, *FCDSChars, false,
            [&](const QString &stored, const TStoredProjectReader &read) {
                Close();
                const QString name = AddBackSlash(FRootDir) + stored;
                bool written = false;
                if (stored.isEmpty() || !IsNameBelowRoot(stored)) {
                    if (!stored.isEmpty())
                        qCWarning(lcProject) << "The project" << stored
                                             << "does not lie below the sequence folder; its "
                                                "file is not written.";
                } else if (LoadStoredProject(name, read)) {
                    WriteFile(staged.Stage(FileName()));
                    SetChangeStateQuietly(0);
                    written = true;
                }
                projects.emplace_back(name, written);
            });
        Close();
        for (const auto &[name, written] : projects) {
            if (written)
                staged.PutInPlace(name);
            if (ProgressFunction)
                ProgressFunction(name, -1);
        }
    } catch (...) {
        // The master is open again whatever happened to a work sequence.
        try {
            OpenFile(masterFile);
        } catch (const std::exception &e) {
            qCWarning(lcProject) << "Cannot open the master again:" << e.what();
        }
        throw;
    }
    OpenFile(masterFile);
}

} // namespace tev
