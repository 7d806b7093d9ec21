// The life cycle of the open sequence: opening, loading from the database, creating, saving,
// closing and deleting it, "Send to Sensor" and the recovery of files from the database.

#include "core/lib/fieldroutines.h"
#include "core/lib/paths.h"
#include "core/project/changestate.h"
#include "core/project/dependencyfiles.h"
#include "core/project/projectscopes.h"
#include "core/sequence/sequencefile.h"
#include "platform/error.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaMethod>

namespace tev {

Q_LOGGING_CATEGORY(lcProject, "tevora.project")

namespace {

const QString kTevora = QStringLiteral("Tevora");
const QString kCrLf = QStringLiteral("\r\n");

QString NamePart(const QString &FileName)
{
    return FileName.mid(FileName.lastIndexOf(QLatin1Char('/')) + 1);
}

// The name without its extension (from the last dot on).
QString WithoutExtension(const QString &Name)
{
    const qsizetype dot = Name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? Name : Name.left(dot);
}

QString ExtensionOf(const QString &Name)
{
    const qsizetype dot = Name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : Name.mid(dot);
}

// Copies a template over a file of the project folder; the template may already be that file.
void CopyReplacing(const QString &Source, const QString &Target, const QString &Root,
                   TFileReport &Report)
{
    const QString name = NamePart(Target);
    if (!QFileInfo(Source).isFile()) {
        Report.Failed << QStringLiteral("%1: the file \"%2\" does not exist").arg(name, Source);
        return;
    }
    if (IsSameFile(Source, Target)) {
        Report.Skipped << name + QStringLiteral(": already the project's file");
        return;
    }
    const QString reason = CopyFileSafely(Source, Target, Root);
    if (reason.isEmpty())
        Report.Copied << name;
    else
        Report.Failed << name + QStringLiteral(": ") + reason;
}

} // namespace

QString TFileReport::Summary() const
{
    QStringList lines;
    for (const QString &s : Failed)
        lines << QStringLiteral("Not copied: ") + s;
    for (const QString &s : Skipped)
        lines << QStringLiteral("Skipped: ") + s;
    return lines.join(QLatin1Char('\n'));
}

bool TTevProject::IsWorkSequence() const
{
    return Generator() == kTevora;
}

void TTevProject::SetClock(TClock Clock)
{
    FClock = std::move(Clock);
}

QDateTime TTevProject::Now() const
{
    return FClock ? FClock() : QDateTime::currentDateTime();
}

void TTevProject::PrepareSavedHeader()
{
    SetHeaderValue(QStringLiteral("$DATE"), DateStamp(Now()));
    // Reading the file computes the depends from the characteristics again.
    UpdateDepends();
    // The file's header takes some values from their columns; the stored one must agree, or
    // opening the file finds a changed header.
    const QString header = HeaderWithColumns().Text();
    if (header != ProjectField("PARAMS").asString()) {
        EnsureEditState(*FCDSProject);
        ProjectField("PARAMS").setAsString(header);
    }
}

void TTevProject::SetChangeStateQuietly(quint32 Value)
{
    const bool was = FUpdating;
    FUpdating = true;
    try {
        SetChangeState(Value);
    } catch (...) {
        FUpdating = was;
        throw;
    }
    FUpdating = was;
}

void TTevProject::MarkDatabaseOnlyChange()
{
    SetChangeStateQuietly(ChangeState() | ChangeStateBits::CharacteristicsChanged);
}

void TTevProject::CheckInsideRoot(const QString &RelativeName, const char *What) const
{
    if (!IsNameBelowRoot(RelativeName))
        throw Error(QStringLiteral("The %1 \"%2\" does not lie below the sequence folder \"%3\"; "
                                   "it is refused.")
                        .arg(QLatin1String(What), RelativeName, FRootDir));
}

QString TTevProject::FolderOf(const QString &RelativeName) const
{
    return AddBackSlash(FRootDir) +
           RelativeName.left(RelativeName.lastIndexOf(QLatin1Char('/')) + 1);
}

void TTevProject::EnsureProjectId()
{
    if (!FData || Empty() || ProjectId() > 0)
        return;
    // Writing the row teaches us its id: references and later writes need it.
    int id = 0;
    WriteStored(WriteKind::Explicit, [&](TStoredStamp *Stamp) {
        id = FData->WriteProjectHeader(FRelativeFileName, *FCDSProject, Stamp);
    });
    if (id <= 0)
        return;
    const bool was = FUpdating;
    FUpdating = true;
    EnsureEditState(*FCDSProject);
    ProjectField("PROJECTID").setAsInteger(id);
    FCDSProject->post();
    FUpdating = was;
}

void TTevProject::OpenFile(const QString &AFileName)
{
    if (!QFileInfo(AFileName).isFile())
        return;
    if (!FRootDir.isEmpty())
        CheckInsideRoot(MakeRelativeFileName(AFileName), "sequence file");
    {
        UpdateScope scope(*this);
        try {
            bool stored = true;
            {
                // The views hear of the new content once, when it is all read.
                const DatasetsQuiet quiet(*this);
                FExistsInDatabase = false;
                Close();
                ReadSequenceFile(AFileName);
                stored = !IsWorkSequence() || LoadFromDB(FileName());
            }
            if (!stored)
                ImportUnknownFile(AFileName);
        } catch (...) {
            // Not left half read: the project is closed, the views hear of it, the error goes on.
            FUpdating = true;
            try {
                Close();
            } catch (const std::exception &e) {
                qCWarning(lcProject) << "Cannot close the project after a failed open:" << e.what();
            }
            FUpdating = false;
            DoStateChanged();
            DoChange();
            throw;
        }
        DoStateChanged();
    }
    DoChange();
}

void TTevProject::ImportUnknownFile(const QString &AFileName)
{
    if (!isSignalConnected(QMetaMethod::fromSignal(&TTevProject::OnUnknownFile)))
        return;
    bool doCreate = false;
    Q_EMIT OnUnknownFile(AFileName, Generator(), FileType(), &doCreate);
    if (!doCreate || !FData)
        return;
    const int id =
        FData->CreateProject(FRelativeFileName, ProjectName(), int(FileType()), Header());
    if (id >= 0)
        LoadFromDB(AFileName);
    // The rest writes the project itself; a post must not write it again.
    UpdateScope scope(*this);
    EnsureProjectId();
    WriteStored(WriteKind::Explicit, [this](TStoredStamp *Stamp) {
        FData->WriteProject(FRelativeFileName, *FCDSProject, *FCDSChars,
                            TTevDBUpdateMode::dbumSaveAll, Stamp);
    });
    FExistsInDatabase = true;
    UpdateRefProjects();
    MarkSaved();
}

bool TTevProject::LoadFromDB(const QString &AFileName)
{
    return LoadStoredProject(
        AFileName, [this](MemDataSet &CDSHeader, MemDataSet &CDSChars, TStoredStamp *Stamp) {
            return FData && FData->ReadProject(FRelativeFileName, CDSHeader, CDSChars, Stamp);
        });
}

bool TTevProject::LoadStoredProject(const QString &AFileName, const TStoredProjectReader &Read)
{
    UpdateScope scope(*this);
    const DatasetsQuiet quiet(*this);
    SetFileName(AFileName);
    FSavedStamp.reset(); // the state read below is the new one
    if (!Read(*FCDSProject, *FCDSChars, &FStoredStamp))
        return false;
    FExistsInDatabase = true;
    SetGenerator(kTevora);
    RenumberCharsImpl(false);
    MarkSaved();
    return true;
}

bool TTevProject::New(const QString &AFileName, const QString &AProjectName, TTevFileType AFileType,
                      const QString &AMasterFileName, const QString &AFormatTemplateFile,
                      const QString &AUIFTemplateFile)
{
    const QString relative = MakeRelativeFileName(AFileName);
    const QString name = NamePart(relative);
    const QString extension = ExtensionOf(name);
    if (WithoutExtension(name).isEmpty())
        throw Error(QStringLiteral("The new sequence file \"%1\" has no name.").arg(AFileName));
    if (extension != FileTypeExt(TTevFileType::pftSEQ) &&
        extension != FileTypeExt(TTevFileType::pftMSEQ))
        throw Error(QStringLiteral("The new sequence file \"%1\" must end in \".seq\" or "
                                   "\".mseq\".")
                        .arg(AFileName));
    CheckInsideRoot(relative, "new sequence file");
    QString masterRelative;
    if (!AMasterFileName.isEmpty()) {
        masterRelative = MakeRelativeFileName(AMasterFileName);
        CheckInsideRoot(masterRelative, "master sequence");
        if (!QFileInfo(AddBackSlash(FRootDir) + masterRelative).isFile())
            throw Error(
                QStringLiteral("The master sequence \"%1\" does not exist.").arg(AMasterFileName));
    }
    if (!FData)
        throw Error(
            QStringLiteral("There is no database to create the project \"%1\" in.").arg(AFileName));

    const QString header = DefaultHeader();
    if (FData->CreateProject(relative, AProjectName, int(AFileType), header) == -1)
        return false;

    UpdateScope scope(*this);
    Close();
    // Loading clears the update flag: the later posts of the record write the new project.
    LoadFromDB(AddBackSlash(FRootDir) + relative);
    FExistsInDatabase = true;
    // The master's files are copied below with the project's, so that each file is copied, and
    // reported, once: the files adding the master brings, then the project's own.
    QStringList depends;
    if (!masterRelative.isEmpty() && MergeMasterProject(masterRelative))
        depends = GetDependsList().split(kCrLf);
    SetChangeState(ChangeStateBits::HeaderChange);
    SetFileType(FileTypeOfExt(extension));
    SetHeaderValue(QStringLiteral("$PROJECTNAME"), ProjectName());
    SetHeaderValue(QStringLiteral("$DATE"), DateStamp(Now()));
    const QString masterDir = FolderOf(masterRelative);
    TFileReport report;
    const QStringList templates{
        CopyTemplate(QStringLiteral("$FORMAT"), AFormatTemplateFile, FDefaults.FormatPerProject,
                     relative, masterDir, report),
        CopyTemplate(QStringLiteral("$PICKLIST"), AUIFTemplateFile, FDefaults.PickListPerProject,
                     relative, masterDir, report)};
    UpdateDepends();
    depends += GetDependsList().split(kCrLf);
    depends.removeIf([&templates](const QString &name) {
        return !name.isEmpty() && templates.contains(name, Qt::CaseInsensitive);
    });
    report.Add(CopyDependencyFiles(depends, masterDir, FolderOf(relative)));
    FLastFileReport = report;
    return true;
}

QString TTevProject::CopyTemplate(const QString &Keyword, const QString &TemplateFile,
                                  bool PerProject, const QString &RelativeName,
                                  const QString &MasterDir, TFileReport &Report)
{
    const QString projectDir = FolderOf(RelativeName);
    const QString templateName = NamePart(TemplateFile);
    if (!templateName.isEmpty()) {
        const QString target =
            PerProject ? WithoutExtension(NamePart(RelativeName)) + ExtensionOf(templateName)
                       : templateName;
        SetHeaderValue(Keyword, target);
        if (PathIsRelative(TemplateFile) && !IsNameBelowRoot(TemplateFile)) {
            Report.Failed << QStringLiteral("%1: the template \"%2\" does not lie below the "
                                            "sequence folder")
                                 .arg(target, TemplateFile);
            return target;
        }
        const QString source =
            PathIsRelative(TemplateFile) ? AddBackSlash(FRootDir) + TemplateFile : TemplateFile;
        CopyReplacing(source, projectDir + target, FRootDir, Report);
        return target;
    }
    // No template: the file the master names is copied beside the project.
    const QString named = GetHeaderValue(Keyword);
    if (named.isEmpty())
        return {};
    if (!IsPlainFileName(named)) {
        Report.Failed << named + QStringLiteral(": not a plain file name, not copied");
        return named;
    }
    const QString source = FindFileInFolder(MasterDir, named);
    if (source.isEmpty()) {
        Report.Failed << QStringLiteral("%1: not found in \"%2\"").arg(named, MasterDir);
        return named;
    }
    CopyReplacing(source, projectDir + named, FRootDir, Report);
    return named;
}

void TTevProject::Close()
{
    const bool hadRecord = !Empty();
    FExistsInDatabase = false;
    FRelativeFileName.clear();
    FFile = std::make_shared<const CompactLines>();
    FFileLines.clear();
    FGroups.Clear();
    FReadComplete = false;
    ForgetStored();
    SetChangeState(0);
    if (hadRecord) {
        FCDSChars->emptyDataSet();
        FCDSProject->emptyDataSet();
        DoChange();
    }
}

void TTevProject::Save()
{
    if (!IsWorkSequence())
        return;
    // Held throughout: the posts of the record must not write the whole project again.
    UpdateScope scope(*this);
    PrepareSavedHeader();
    if (FData) {
        EnsureProjectId();
        WriteStored(WriteKind::Explicit, [this](TStoredStamp *Stamp) {
            FData->WriteProject(FRelativeFileName, *FCDSProject, *FCDSChars,
                                TTevDBUpdateMode::dbumSaveAll, Stamp);
        });
        UpdateRefProjects();
    }
    WriteFile(FileName());
    SetChangeState(0);
    MarkSaved();
}

void TTevProject::SaveHeader()
{
    if (!IsWorkSequence())
        return;
    UpdateScope scope(*this);
    PrepareSavedHeader();
    if (FData) {
        int id = 0;
        WriteStored(WriteKind::Explicit, [&](TStoredStamp *Stamp) {
            id = FData->WriteProjectHeader(FRelativeFileName, *FCDSProject, Stamp);
        });
        if (ProjectId() <= 0 && id > 0) {
            EnsureEditState(*FCDSProject);
            ProjectField("PROJECTID").setAsInteger(id);
            FCDSProject->post();
        }
    }
    WriteFile(FileName());
    SetChangeState(ChangeState() & ~ChangeStateBits::HeaderChange);
    MarkSaved();
}

TFileReport TTevProject::Delete(bool ADeleteFile)
{
    TFileReport report;
    if (!FRelativeFileName.isEmpty()) {
        if (FData)
            FData->DeleteProject(FRelativeFileName);
        if (ADeleteFile) {
            QFile file(FileName());
            const QString name = NamePart(FRelativeFileName);
            if (!file.exists())
                report.Skipped << name + QStringLiteral(": there is no such file");
            else if (file.remove())
                report.Copied << name;
            else
                report.Failed << name + QStringLiteral(": ") + file.errorString();
        }
    }
    Close();
    FLastFileReport = report;
    return report;
}

TFileReport TTevProject::ExportAll(const QString &DestDir)
{
    if (Empty())
        return {};
    if (!QFileInfo(DestDir).isDir())
        throw Error(QStringLiteral("The folder \"%1\" does not exist.").arg(DestDir));
    QStringList list{NamePart(FRelativeFileName)};
    list += GetDependsList().split(kCrLf);
    FLastFileReport = CopyDependencyFiles(list, Directory(), DestDir);
    return FLastFileReport;
}

TFileReport TTevProject::CopyDependencyFiles(const QStringList &List, const QString &SourceDir,
                                             const QString &DestDir)
{
    TFileReport report;
    QStringList done;
    for (const QString &line : List) {
        if (line.isEmpty() || done.contains(line, Qt::CaseInsensitive))
            continue;
        done << line;
        if (!IsPlainFileName(line)) {
            report.Failed << line + QStringLiteral(": not a plain file name, not copied");
            continue;
        }
        // An existing file is never replaced; on the gauges' file systems a name that differs
        // only in case is the same file.
        if (!FindFileInFolder(DestDir, line).isEmpty()) {
            report.Skipped << line + QStringLiteral(": already there");
            continue;
        }
        const QString source = FindFileInFolder(SourceDir, line);
        if (source.isEmpty()) {
            report.Failed << QStringLiteral("%1: not found in \"%2\"").arg(line, SourceDir);
            continue;
        }
        const QString reason = CopyFileSafely(source, AddBackSlash(DestDir) + line, FRootDir);
        if (reason.isEmpty())
            report.Copied << line;
        else
            report.Failed << line + QStringLiteral(": ") + reason;
    }
    return report;
}

void TTevProject::RecoverDirectory(const QString &APath)
{
    if (!FData)
        return;
    const QString relative = MakeRelativeFileName(APath);
    if (!relative.isEmpty())
        CheckInsideRoot(relative, "folder");
    const QString folder = AddBackSlash(relative);
    QStringList names;
    {
        std::unique_ptr<DataSet> found = FData->FindProjects(folder + QLatin1Char('*'));
        if (!found)
            return;
        Field &fileName = found->fieldByName(QStringLiteral("FILENAME"));
        for (found->first(); !found->eof(); found->next())
            names << fileName.asString();
    }
    TFileReport report;
    for (const QString &name : names) {
        if (name.left(name.lastIndexOf(QLatin1Char('/')) + 1) != folder)
            continue;
        if (!IsNameBelowRoot(name)) {
            report.Failed << name + QStringLiteral(": does not lie below the sequence folder, "
                                                   "refused");
            continue;
        }
        const QString full = AddBackSlash(FRootDir) + name;
        if (QFileInfo::exists(full))
            continue;
        Close();
        if (LoadFromDB(full)) {
            WriteFile(FileName());
            report.Copied << name;
        }
        Close();
    }
    FLastFileReport = report;
}

} // namespace tev
