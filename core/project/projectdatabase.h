#pragma once

#include "core/project/storedstamp.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace tev {

class DataSet;
class MemDataSet;

enum class TTevDBUpdateMode { dbumNone, dbumSaveHeader, dbumSaveChars, dbumSaveAll };

// Merges a stored project into the project and characteristic datasets, as ReadProject does
// (Stamp receives its stamp); false when the project is not stored.
using TStoredProjectReader =
    std::function<bool(MemDataSet &CDSHeader, MemDataSet &CDSChars, TStoredStamp *Stamp)>;
// Called by a propagation for each depending project once its rows are written, inside the
// propagation's transaction: the project's file name (empty when its row is gone) and a reader
// of its stored rows as they stand now, which reads nothing from the database again.
using TDependingProjectFunc =
    std::function<void(const QString &FileName, const TStoredProjectReader &Read)>;

// What the project model needs of the database module (TTevDataModule). The model holds this
// seam, not the module, so that it is built and tested without a database: the database module
// implements it, and tests use a double that records the calls. Names and arguments are the
// module's; file names are relative to the sequence root.
//
// Stamp (optional): ReadProject leaves in it what it read; a write checks it against the stored
// project first and throws StaleWriteError, storing nothing, when another client wrote the project
// since; after the write it holds the new stamp. Without it, nothing is checked.
class ProjectDatabase
{
public:
    virtual ~ProjectDatabase() = default;

    // The new PROJECTID, or -1 when a project with that file name exists.
    virtual int CreateProject(const QString &FileName, const QString &ProjectName, int FileType,
                              const QString &Params) = 0;
    virtual void DeleteProject(const QString &FileName) = 0;
    // True when the project is in the database; its header and characteristics merged in.
    virtual bool ReadProject(const QString &FileName, MemDataSet &CDSHeader, MemDataSet &CDSChars,
                             TStoredStamp *Stamp = nullptr) = 0;
    virtual void WriteProject(const QString &FileName, MemDataSet &CDSHeader, MemDataSet &CDSChars,
                              TTevDBUpdateMode UpdateMode, TStoredStamp *Stamp = nullptr) = 0;
    virtual int WriteProjectHeader(const QString &FileName, MemDataSet &CDSHeader,
                                   TStoredStamp *Stamp = nullptr) = 0;
    virtual void WriteProjectChars(int ProjectId, MemDataSet &CDSChars,
                                   TStoredStamp *Stamp = nullptr) = 0;
    virtual void UpdateChar(int ProjectId, MemDataSet &CDSChars, TStoredStamp *Stamp = nullptr) = 0;
    virtual QString GetProjectFileName(int ProjectId) = 0;
    // An open result set of FILENAME values, or nullptr on error.
    virtual std::unique_ptr<DataSet> FindProjects(const QString &FileFilter) = 0;

    // Master references.
    virtual void AddRefProject(int ProjectId, const QString &RefFileName,
                               const QString &RefProjectName) = 0;
    virtual void RemoveRefProject(int ProjectId, const QString &RefFileName) = 0;
    virtual bool ExistsReference(int ProjectId, const QString &RefFileName) = 0;
    virtual void GetRefProjects(int ProjectId, QStringList &List) = 0;
    virtual void GetDependingProjects(const QString &FileName, QStringList &List) = 0;
    // Carries the master into every depending project, in one transaction; Dependent (when
    // given) is called for each of them in turn, and a failure in it undoes the propagation.
    virtual void UpdateDependingProjects(const QString &FileName, MemDataSet &CDSChars,
                                         bool SaveAll,
                                         const TDependingProjectFunc &Dependent = {}) = 0;
};

} // namespace tev
