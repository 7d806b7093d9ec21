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

#include "core/project/projectdatabase.h"
#include "core/project/tevdefaults.h"
#include "core/sequence/filetype.h"
#include "platform/dataset/memdataset.h"
#include "platform/text/tencoding.h"
#include "platform/text/tstringlist.h"

#include <QObject>
#include <QStringList>
#include <memory>

namespace tev {

class TTevProject : public QObject
{
    Q_OBJECT
    // The project's properties as scripts see them ("App.Project.ProjectName").
    Q_PROPERTY(bool AutoUpdate READ AutoUpdate WRITE SetAutoUpdate)
    Q_PROPERTY(quint32 ChangeState READ ChangeState WRITE SetChangeState)
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
    const QStringList &FileLines() const { return FFile; }
    TTevFileType FileType() const;
    QString Generator() const;
    int GroupCount() const { return FGroups.Count(); }
    QString Groups(int Index) const;
    void SetGroups(int Index, const QString &Value);
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
    void BeginUpdate() { FUpdating = true; }
    void EndUpdate() { FUpdating = false; }
    bool IsUpdating() const { return FUpdating; }
    // Both accept a file type and have no effect.
    void ChangeFileType(TTevFileType NewType);
    void ChangeFileContext(TTevFileType AFileType);

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

protected:
    // Set by the life-cycle operations (opening, loading from and creating in the database).
    void SetExistsInDatabase(bool Value) { FExistsInDatabase = Value; }

private:
    bool HasRecord() const;
    void FillProjectRecord(const QStringList &Lines);
    void SetHeaderProperty(const QString &Name, const QString &Value);
    void ProjectAfterPost();
    void WriteHeader(QStringList &Lines) const;
    void WriteRoutine(QStringList &Lines);
    Field &ProjectField(const char *Name) const;

    bool FAutoUpdate = true;
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
    QStringList FFile;
    QString FLoadError;
    TStringList FGroups;
};

// The text of a file type (see filetype.h) and of change states (see changestate.h) are plain
// routines of the project unit too.

} // namespace tev
