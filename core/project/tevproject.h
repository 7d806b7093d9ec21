#pragma once

// TTevProject: the one sequence open in the program. It holds the project record (the sequence
// header as name=value lines in PARAMS) and the characteristic dataset, the group list, the file
// lines, the change state and whether the sequence has its database row. It reads and writes
// sequence files; opening, saving and the master references build on these operations.
//
// The events are Qt signals: OnChange when the content changed as a whole (not while the update
// flag is set), OnStateChanged whenever the stored change state changes, OnUnknownFile for a
// work sequence without database row. A post of the project record writes the whole project to
// the database (AutoUpdate) when it is there and the update flag is clear.
//
// The life cycle (open, new, save, close, delete, master references, "Send to Sensor", recovery)
// lives in tevproject_lifecycle.cpp and tevproject_references.cpp, the order and group
// operations in tevproject_order.cpp. Every operation clears the update flag on every exit and
// restores the characteristic dataset's filter, index and current record after an error.
// Changes that reach the database but not the file (moves, groups, pictures, the active flag,
// added masters) set change bit 128, so that the file is known to be behind.
//
// Other clients may write the same project. Every write of the project checks that the stored
// project is still the one this client last read or wrote (storedstamp.h); when it is not,
// OnStaleWrite asks the owner whether to overwrite. Nobody asked (a script), the write fails
// with StaleWriteError; the user keeps the other save, a save fails with a declined
// StaleWriteError and the automatic writes store nothing until the next save or open. What the
// database held at the last open or save is kept from the first write after it, so that the
// user's "No" to saving can write it back (RevertStored); tevproject_stored.cpp.
//
// File names that come from files or the database (dependency names, stored project and master
// names) are resolved against the sequence root only; a name that would reach outside its folder
// or the root is refused. The operations and properties are reachable through the meta-object
// system, so that scripts bind them by name.

#include "core/project/filereport.h"
#include "core/project/progressstep.h"
#include "core/project/projectdatabase.h"
#include "core/project/storedstamp.h"
#include "core/project/tevdefaults.h"
#include "core/sequence/compactlines.h"
#include "core/sequence/filetype.h"
#include "platform/dataset/memdataset.h"
#include "platform/text/tencoding.h"
#include "platform/text/tstringlist.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace tev {

class TTevProject : public QObject
{
    Q_OBJECT
    // The project's properties as scripts see them ("App.Project.ProjectName").
    Q_PROPERTY(bool AutoUpdate READ AutoUpdate WRITE SetAutoUpdate)
    Q_PROPERTY(quint32 ChangeState READ ChangeState WRITE SetChangeState)
    Q_PROPERTY(QChar ColumnSeparator READ ColumnSeparator WRITE SetColumnSeparator)
    Q_PROPERTY(tev::MemDataSet *DataSetChars READ DataSetCharsPtr CONSTANT)
    Q_PROPERTY(tev::MemDataSet *DataSetProject READ DataSetProjectPtr CONSTANT)
    Q_PROPERTY(QString Directory READ Directory)
    Q_PROPERTY(bool Empty READ Empty)
    Q_PROPERTY(bool ExistsInDatabase READ ExistsInDatabase)
    Q_PROPERTY(QString FileContextName READ FileContextName)
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(QString FileText READ FileText)
    Q_PROPERTY(tev::TTevFileType FileType READ FileType)
    Q_PROPERTY(QString Generator READ Generator)
    Q_PROPERTY(int GroupCount READ GroupCount)
    Q_PROPERTY(QString Header READ Header)
    Q_PROPERTY(QString ImageFileName READ ImageFileName WRITE SetImageFileName)
    Q_PROPERTY(QString ProjectDir READ ProjectDir)
    Q_PROPERTY(int ProjectId READ ProjectId)
    Q_PROPERTY(QString ProjectName READ ProjectName WRITE SetProjectName)
    Q_PROPERTY(QString RelativeFileName READ RelativeFileName)
    Q_PROPERTY(QString RootDir READ RootDir WRITE SetRootDir)
    Q_PROPERTY(QString SEQName READ SEQName)
    Q_PROPERTY(QString Depends READ Depends WRITE SetDepends)
    Q_PROPERTY(QString Format READ Format WRITE SetFormat)
    Q_PROPERTY(qint8 Limits READ Limits WRITE SetLimits)
    Q_PROPERTY(qint8 LogProfiles READ LogProfiles WRITE SetLogProfiles)
    Q_PROPERTY(QString LongDesc READ LongDesc WRITE SetLongDesc)
    Q_PROPERTY(int NDecimals READ NDecimals WRITE SetNDecimals)
    Q_PROPERTY(QString Picklist READ Picklist WRITE SetPicklist)
    Q_PROPERTY(bool RoutineChanges READ RoutineChanges WRITE SetRoutineChanges)
    Q_PROPERTY(QString ShortDesc READ ShortDesc WRITE SetShortDesc)
    Q_PROPERTY(qint8 Units READ Units WRITE SetUnits)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)

public:
    // The clock of the date stamps; tests set one of their own.
    using TClock = std::function<QDateTime()>;

    explicit TTevProject(QObject *AOwner, ProjectDatabase *AData);
    ~TTevProject() override;

    // Properties.
    bool AutoUpdate() const { return FAutoUpdate; }
    void SetAutoUpdate(bool Value) { FAutoUpdate = Value; }
    quint32 ChangeState() const;
    void SetChangeState(quint32 Value);
    QChar ColumnSeparator() const { return FColumnSeparator; }
    void SetColumnSeparator(QChar Value) { FColumnSeparator = Value; }
    MemDataSet &DataSetChars() const { return *FCDSChars; }
    MemDataSet &DataSetProject() const { return *FCDSProject; }
    MemDataSet *DataSetCharsPtr() const { return FCDSChars.get(); }
    MemDataSet *DataSetProjectPtr() const { return FCDSProject.get(); }
    TTevDefaults &Defaults() { return FDefaults; }
    const TTevDefaults &Defaults() const { return FDefaults; }
    QString Directory() const;
    bool Empty() const;
    bool ExistsInDatabase() const { return FExistsInDatabase; }
    QString FileContextName() const;
    TEncoding::Ptr FileEncoding() const { return FFileEncoding; }
    void SetFileEncoding(TEncoding::Ptr Value) { FFileEncoding = std::move(Value); }
    QString FileName() const;
    void SetFileName(const QString &Value);
    QString FileText() const;
    // The file lines as a list, made when asked: the project keeps them compactly.
    const QStringList &FileLines() const;
    TTevFileType FileType() const;
    QString Generator() const;
    int GroupCount() const { return FGroups.Count(); }
    Q_INVOKABLE QString Groups(int Index) const;
    Q_INVOKABLE void SetGroups(int Index, const QString &Value);
    QString Header() const;
    QString ImageFileName() const;
    void SetImageFileName(const QString &Value);
    QString ProjectDir() const { return Directory(); }
    int ProjectId() const;
    QString ProjectName() const;
    void SetProjectName(const QString &Value);
    QString RelativeFileName() const { return FRelativeFileName; }
    QString RootDir() const { return FRootDir; }
    void SetRootDir(const QString &Value) { FRootDir = Value; }
    QString SEQName() const;
    void SetClock(TClock Clock);
    // Whether the open file was read completely: loaded, with a column line, without an error.
    bool ReadComplete() const { return FReadComplete; }
    // What the last copy or removal of files did (New, AddMasterProject, ExportAll, Delete,
    // RecoverDirectory), with every file skipped or failed.
    const TFileReport &LastFileReport() const { return FLastFileReport; }

    // Header-backed properties.
    QString Depends() const;
    void SetDepends(const QString &Value);
    QString Format() const;
    void SetFormat(const QString &Value);
    qint8 Limits() const;
    void SetLimits(qint8 Value);
    qint8 LogProfiles() const;
    void SetLogProfiles(qint8 Value);
    QString LongDesc() const;
    void SetLongDesc(const QString &Value);
    int NDecimals() const;
    void SetNDecimals(int Value);
    QString Picklist() const;
    void SetPicklist(const QString &Value);
    bool RoutineChanges() const;
    void SetRoutineChanges(bool Value);
    QString ShortDesc() const;
    void SetShortDesc(const QString &Value);
    qint8 Units() const;
    void SetUnits(qint8 Value);
    QString Version() const;
    void SetVersion(const QString &Value);

    // The update flag: set and cleared, without a nesting count.
    Q_INVOKABLE void BeginUpdate() { FUpdating = true; }
    Q_INVOKABLE void EndUpdate() { FUpdating = false; }
    Q_INVOKABLE bool IsUpdating() const { return FUpdating; }
    // Both accept a file type and have no effect.
    Q_INVOKABLE void ChangeFileType(tev::TTevFileType NewType);
    Q_INVOKABLE void ChangeFileContext(tev::TTevFileType AFileType);

    // Life cycle. File names of New, AddMasterProject and RemoveMasterProject are relative to
    // RootDir; OpenFile and LoadFromDB take full names. Errors of the files and of the database
    // pass to the caller as tev::Error.

    // Opens a sequence file; nothing happens when no such file exists. A work sequence is merged
    // with its database row. An error closes the project, fires the events and passes on.
    Q_INVOKABLE void OpenFile(const QString &AFileName);
    // Reads the stored project into the open one; true when the database has it.
    Q_INVOKABLE bool LoadFromDB(const QString &AFileName);
    // Creates a work project in the database (false when it has that file name already) and
    // fills it from the master and the templates; the caller saves it. Refuses a file name
    // without name part or with an extension other than ".seq" or ".mseq", and a missing master.
    Q_INVOKABLE bool New(const QString &AFileName, const QString &AProjectName,
                         tev::TTevFileType AFileType, const QString &AMasterFileName,
                         const QString &AFormatTemplateFile, const QString &AUIFTemplateFile);
    // Saves a work sequence to the database and its file; nothing for other sequences.
    Q_INVOKABLE void Save();
    Q_INVOKABLE void SaveHeader();
    Q_INVOKABLE void Close();
    // Deletes the project from the database and, when asked, its file; the report names the file
    // when it could not be removed.
    Q_INVOKABLE tev::TFileReport Delete(bool ADeleteFile);
    Q_INVOKABLE void AddMasterProject(const QString &AMasterFileName);
    Q_INVOKABLE void RemoveMasterProject(const QString &AMasterFileName);
    // A work sequence takes its masters' current characteristics in memory; a master is carried
    // into every depending project's rows and files (the callback once per project). Refuses a
    // master that was not read completely.
    Q_INVOKABLE void UpdateReferences(const tev::TProgressStepItFunc &ProgressFunction = {});
    // "Send to Sensor": copies the sequence file and its dependencies into DestDir; files that
    // exist there stay untouched. The report lists what was skipped or failed.
    Q_INVOKABLE tev::TFileReport ExportAll(const QString &DestDir);
    // Writes the files of the folder that the database has but the disk lacks.
    Q_INVOKABLE void RecoverDirectory(const QString &APath);

    // The stored project as this client last read or wrote it.
    const TStoredStamp &StoredStamp() const { return FStoredStamp; }
    // Whether this client wrote the project to the database since it was last opened or saved
    // (header edits, moves and the active flag are written at once).
    bool WrittenSinceSaved() const;
    // Writes back what the database held when the project was last opened or saved, when this
    // client wrote the project since and no other client did after it: another user's later
    // save is never overwritten. True when it wrote. The records in memory stay as they are.
    bool RevertStored();

    // Order and groups of the characteristics.
    Q_INVOKABLE void MoveCharacteristic(bool Up);
    Q_INVOKABLE void MoveGroup(bool Up);
    Q_INVOKABLE void MoveFeatureToGroup(const QString &AGroup, const QString &AFeature,
                                        const QString &ANewGroup, int ANewGroupId = -1);
    Q_INVOKABLE void ExchangeFeatures(const QString &AGroupName, const QString &AFeature1,
                                      const QString &AFeature2);
    Q_INVOKABLE void RenameGroup(const QString &OldGroup, const QString &NewGroup);
    // 0 done, 1 no current characteristic, 2 the file name is not valid.
    Q_INVOKABLE quint32 ChangeGroupImage(const QString &AGroupName, const QString &AFileName);
    Q_INVOKABLE void ToggleSelectedChar();
    Q_INVOKABLE void SetCharFilter(const QString &AFilter);
    Q_INVOKABLE QString GetDistinctCharFieldValues(const QString &AFieldName);
    // Numbers the characteristics 1 to n in routine order and the groups densely, and writes
    // them to the database when the project is there.
    Q_INVOKABLE void RenumberChars();
    // Whether the file exists (a relative name below RootDir) and its name is an 8.3 name.
    Q_INVOKABLE bool ValidDependsFileName(const QString &AFileName) const;

    // Header storage and record helpers, used by the life cycle and the ordering operations.
    QString GetHeaderValue(const QString &Name) const;
    bool SetHeaderValue(const QString &Name, const QString &Value);
    QString MakeRelativeFileName(const QString &Name) const;
    QString MakeAbsoluteFileName(const QString &Name) const;
    void SetGenerator(const QString &Value);
    void SetFileType(TTevFileType Value);
    QString GetCharParam(const QString &Name) const;
    void SetCharParam(const QString &Name, const QString &Value);
    void DoChange();
    void DoStateChanged();

    // Sequence files.
    // The file part of opening: FileName := AFileName, the lines loaded with FileEncoding (a
    // load that fails leaves them empty), the project record built, the routine read.
    void ReadSequenceFile(const QString &AFileName);
    // Why the last ReadSequenceFile found no lines: the file is missing, unreadable or not a
    // regular file. Empty when it was loaded.
    const QString &LoadError() const { return FLoadError; }
    void BuildProjectRecord(const QStringList &Lines);
    // Adds or updates the characteristics of a routine table. RefFileName is the source file
    // (relative name), RefProjectName its project name for a master, empty for the open file.
    void ReadRoutine(const QString &RefFileName, const QString &RefProjectName,
                     const QStringList &Lines, bool EmptyFirst);
    // The same on lines held compactly; the characteristics keep their rows in them.
    void ReadRoutine(const QString &RefFileName, const QString &RefProjectName,
                     const std::shared_ptr<const CompactLines> &Lines, bool EmptyFirst);
    void MergeHeader(const QString &MasterHeader);
    QString ReadRefProjectName(const QString &FileName) const;
    void UpdateDepends();
    QStringList CollectDependFiles();
    QString GetDependsList() const;
    QString DefaultHeader() const;
    // Writes the header and the active characteristics; see SaveSequenceLines for how the old
    // file is replaced. Errors of the file system pass to the caller.
    void WriteFile(const QString &FileName);

Q_SIGNALS:
    void OnChange();
    void OnStateChanged();
    void OnUnknownFile(const QString &FileName, const QString &Generator, TTevFileType FileType,
                       bool *DoCreate);
    // A write found the project written by another client since this one read or wrote it;
    // the handler sets the answer (NotAsked when it leaves it).
    void OnStaleWrite(tev::TStaleAnswer *Answer);

protected:
    // Set by the life-cycle operations (opening, loading from and creating in the database).
    void SetExistsInDatabase(bool Value) { FExistsInDatabase = Value; }

private:
    class UpdateScope;
    class OrderFrame;
    struct StoredCopy;

    // Writes the user asked for (Save) and writes that follow edits at once.
    enum class WriteKind { Explicit, Automatic };
    // Runs one write of the project with the stale check (Write receives the stamp to check and
    // update). Automatic writes keep what is stored first, and store nothing while the user keeps
    // another user's save; false when nothing was written.
    bool WriteStored(WriteKind Kind, const std::function<void(TStoredStamp *)> &Write);
    TStaleAnswer AskStale();
    void KeepStoredCopy();
    // The project as stored now is the one of the last open or save.
    void MarkSaved();
    void ForgetStored();

    bool HasRecord() const;
    bool IsWorkSequence() const;
    QDateTime Now() const;
    // OnUnknownFile, and the import of the open work sequence when the handler asks for it.
    void ImportUnknownFile(const QString &AFileName);
    // LoadFromDB with the stored project taken from Read.
    bool LoadStoredProject(const QString &AFileName, const TStoredProjectReader &Read);
    // The change state set with the update flag held, so that the post writes nothing.
    void SetChangeStateQuietly(quint32 Value);
    void MarkDatabaseOnlyChange();
    // Brings the header to what the file gets (date, depends and the values kept in their own
    // columns), so that the database row and the file of a save hold the same header.
    void PrepareSavedHeader();
    // Learns the project's id from the database when the record has none (the row is created).
    void EnsureProjectId();
    TFileReport CopyDependencyFiles(const QStringList &List, const QString &SourceDir,
                                    const QString &DestDir);
    // Returns the name of the file it copied or reported, empty when there was none.
    QString CopyTemplate(const QString &Keyword, const QString &TemplateFile, bool PerProject,
                         const QString &AFileName, const QString &MasterDir, TFileReport &Report);
    // AddMasterProject without the copy of the master's files; false when the master file does
    // not exist.
    bool MergeMasterProject(const QString &Relative);
    void UpdateRefProjects();
    void CheckInsideRoot(const QString &RelativeName, const char *What) const;
    QString FolderOf(const QString &RelativeName) const;
    void RenumberCharsImpl(bool AlwaysWrite);
    void FillProjectRecord(const QStringList &Lines);
    void SetHeaderProperty(const QString &Name, const QString &Value);
    void ProjectAfterPost();
    // The header as files get it: the values kept in their own columns replace the stored ones.
    TStringList HeaderWithColumns() const;
    void WriteHeader(QStringList &Lines) const;
    void WriteRoutine(QStringList &Lines);
    Field &ProjectField(const char *Name) const;

    bool FAutoUpdate = true;
    bool FReadComplete = false;
    TClock FClock;
    TFileReport FLastFileReport;
    QChar FColumnSeparator = QLatin1Char('\t');
    ProjectDatabase *FData = nullptr;
    TTevDefaults FDefaults;
    bool FExistsInDatabase = false;
    TEncoding::Ptr FFileEncoding;
    // The encoding the file lines were last read with; the writer encodes with it.
    TEncoding::Ptr FLinesEncoding;
    QString FRelativeFileName;
    QString FRootDir;
    bool FUpdating = false;
    std::unique_ptr<MemDataSet> FCDSChars;
    std::unique_ptr<MemDataSet> FCDSProject;
    // The file lines, shared with the rows the characteristics keep.
    std::shared_ptr<const CompactLines> FFile = std::make_shared<const CompactLines>();
    mutable QStringList FFileLines;
    QString FLoadError;
    TStringList FGroups;
    // See StoredStamp; FSavedStamp is it at the last open or save (none while the project has
    // no stored state), FSavedCopy what the database held then, kept from the first write after.
    TStoredStamp FStoredStamp;
    std::optional<TStoredStamp> FSavedStamp;
    std::unique_ptr<StoredCopy> FSavedCopy;
    bool FStaleKept = false;
};

// The text of a file type (see filetype.h) and of change states (see changestate.h) are plain
// routines of the project unit too.

} // namespace tev
