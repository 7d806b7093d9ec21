#pragma once

// TTevDataModule owns the program's one database connection, named "Tevora", and runs all SQL of
// the core on it: the connection file "Config/Config.ini", the schema creation and upgrade, and
// the project, characteristic and settings operations.
//
// The database is an embedded Firebird file (driver "FB", Qt's QIBASE) or a SQL Server database
// (driver "MSSQL", Qt's QODBC). Statements are fixed lines joined with line breaks with named
// parameters; ids are allocated by the program as the largest plus 1. Result sets that the
// operations edit are fetched fully into row sets (TTevRowSet) whose posts become UPDATE or
// INSERT statements keyed by the primary key.
//
// Several installations may share one database on a Firebird server. Writes that must not mix
// with another client's run in one transaction (saving a project, propagating a master); a
// conflict with another client's transaction fails the later one with a DatabaseError naming it,
// and a statement never waits longer than the connection's lock-wait limit. A statement that
// finds the connection to the server gone fails with a clear error, and the next operation opens
// the connection again; what the caller holds in memory is never changed by a failed write.
// Every write of a project row gives it a new write stamp (a trigger on Firebird, a rowversion
// on SQL Server), so that a client can tell that another one wrote the project since it read it
// (storedstamp.h).

#include "core/constants/tevconst.h"
#include "core/db/sqlstatement.h"
#include "core/db/tevconnection.h"
#include "core/db/tevschemasql.h"
#include "core/lib/versions.h"
#include "core/project/projectdatabase.h"
#include "platform/text/tstringlist.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>

namespace tev {

class DataSet;
class DatabaseError;
class MemDataSet;
class SqlSession;
class TTevRowSet;
class WorkSession;

class TTevDataModule : public QObject, public ProjectDatabase
{
    Q_OBJECT

public:
    // Reads the connection file (writing its section when missing, which is the only error that
    // leaves the constructor) and opens the connection; a failed open leaves it disconnected.
    explicit TTevDataModule(const QString &appRootDir, QObject *parent = nullptr);
    // Writes the connection parameters back to the connection file. A write error cannot leave a
    // destructor: call SaveConnectionParams first to see it.
    ~TTevDataModule() override;

    const QString &AppRootDir() const { return FAppRootDir; }
    TTevConnection *Database() const { return FDatabase; }
    bool Connected() const;

    bool Reconnect();
    // Whether a temporary connection "TempDB" with these parameters opens; the module's own
    // connection is not touched. Reason, when given, receives why it did not open, in the
    // engine's words where it gave some (TTevConnection::openFailure).
    bool TestDBConnection(const TStringList &ConnectionParams, QString *Reason = nullptr);

    // The connection file below the application root.
    QString ConnectionFileName() const;
    void SaveConnectionParams();

    // Receives every statement text before it runs (diagnostics and tests).
    void SetSqlTrace(SqlTrace trace) { FSqlTrace = std::move(trace); }

    // Schema: creates what is missing and stamps the version; nothing when not connected.
    void UpgradeDatabase(const TProductVersion &productVersion);

    // Projects. A project is identified by its file name relative to the sequence root.
    int CreateProject(const QString &FileName, const QString &ProjectName, int FileType,
                      const QString &Params) override;
    void DeleteProject(const QString &FileName) override;
    bool ProjectExists(const QString &FileName, QString &ProjectName);
    QString GetProjectFileName(int ProjectId) override;
    // The FILENAME values matching the filter ("*" is any text); nullptr on any error.
    std::unique_ptr<DataSet> FindProjects(const QString &FileFilter) override;

    // Merges the stored project into the records read from its file; false when not stored.
    // Stamp receives the stored project's write stamp, read before its rows: a write between
    // the reads makes the next write of this client stale, never the other way round.
    bool ReadProject(const QString &FileName, MemDataSet &CDSHeader, MemDataSet &CDSChars,
                     TStoredStamp *Stamp = nullptr) override;
    // Writes the project row and replaces its characteristic rows in one transaction. On any
    // error it rolls back, leaves the records as they were and passes the error on. With a
    // Stamp, a project that another client wrote since is refused with StaleWriteError.
    void WriteProject(const QString &FileName, MemDataSet &CDSHeader, MemDataSet &CDSChars,
                      TTevDBUpdateMode UpdateMode, TStoredStamp *Stamp = nullptr) override;
    int WriteProjectHeader(const QString &FileName, MemDataSet &CDSHeader,
                           TStoredStamp *Stamp = nullptr) override;
    // Replaces the project's characteristic rows in one transaction, as WriteProject does.
    void WriteProjectChars(int ProjectId, MemDataSet &CDSChars,
                           TStoredStamp *Stamp = nullptr) override;
    void UpdateChar(int ProjectId, MemDataSet &CDSChars, TStoredStamp *Stamp = nullptr) override;
    QString GetCharImages(int ProjectId);
    void ChangeDirectories(TDirectoryChangeMode DirChangeMode, const QString &SubDir);

    // Master references. AddReference returns the SUBID of the reference, new or existing.
    int AddReference(int ProjectId, const QString &RefFileName, const QString &RefProjectName);
    void AddRefProject(int ProjectId, const QString &RefFileName,
                       const QString &RefProjectName) override;
    void RemoveRefProject(int ProjectId, const QString &RefFileName) override;
    bool ExistsReference(int ProjectId, const QString &RefFileName) override;
    void GetRefProjects(int ProjectId, QStringList &List) override;
    void GetDependingProjects(const QString &FileName, QStringList &List) override;
    // Carries the master's characteristics into every project that references it, in one
    // transaction: on any error nothing changed and the error passes on. A depending project that
    // another client saves at the same time makes one of the two fail as a conflict. Each
    // depending project's rows are read once; Dependent receives them, and what it writes to
    // the database (renumbered rows) joins the transaction.
    void UpdateDependingProjects(const QString &FileName, MemDataSet &CDSChars, bool SaveAll,
                                 const TDependingProjectFunc &Dependent = {}) override;

    // Settings of section "System" in CONFIGURATION; nothing when not connected.
    void ReadSystemSettings(TStringList &Params);
    // Rewrites the stored settings in one transaction: on any error they stay as they were.
    void WriteSystemSettings(const TStringList &Params);

    // Carries differing field values of Src's current record into Dst's edited record.
    static void MergeChangedFields(const DataSet &Src, DataSet &Dst, int Bit, int &Bits,
                                   int Decimals, const QString &IgnoreFields);

Q_SIGNALS:
    void AfterConnect(tev::TTevDataModule *sender);
    void AfterDisconnect(tev::TTevDataModule *sender);

private:
    void LoadConnectionParams();
    void DatabaseAfterConnect();
    void DatabaseAfterDisconnect();

    // The connection for the next statement, opened again first when it was found lost.
    QSqlDatabase UsableDatabase() const;
    // A SELECT that finds the connection gone before any transaction of ours runs is tried once
    // more on the connection opened again: it changed nothing (not after a server that did not
    // answer). Its rows are fetched before it
    // returns (RunSqlFetched).
    QSqlQuery Run(const QString &sql, const SqlBindings &bindings = {}) const;
    bool MayRetry(const DatabaseError &error, const QString &sql) const;
    std::unique_ptr<TTevRowSet> OpenRowSet(const QString &sql, const SqlBindings &bindings,
                                           const QString &table = {},
                                           const QStringList &keyFields = {}) const;

    // Schema steps.
    bool CatalogueHasRow(const TTevSchemaSql::CatalogueQuery &check,
                         const QStringList &names) const;
    bool TableExists(const TTevSchemaSql &schema, const QString &table) const;
    bool TriggerExists(const TTevSchemaSql &schema, const QString &trigger) const;
    bool ColumnExists(const TTevSchemaSql &schema, const QString &table,
                      const QString &column) const;
    void AddColumn(const TTevSchemaSql &schema, const QString &table, const QString &column,
                   TTevSchemaSql::ColumnKind kind, int size, bool notNull,
                   const QString &defaultText);
    void CreateTableIfMissing(const TTevSchemaSql &schema, const QString &table,
                              const QString &statement);
    TProductVersion ReadDBVersion();
    void WriteDBVersion(const TProductVersion &version);
    void CreateSchema(const TTevSchemaSql &schema);
    void WidenFloatColumns(const TTevSchemaSql &schema);
    void AddConfiguration(const TTevSchemaSql &schema);
    void AddDBKey(const TTevSchemaSql &schema);
    void AddWriteStamps(const TTevSchemaSql &schema);

    // Project operations.
    int GetNextProjectId();
    // Whether PROJECTS keeps write stamps (an older database does not until it is upgraded).
    bool KeepsWriteStamps() const;
    // The stored project's stamp, by FILENAME (a QString key) or PROJECTID.
    TStoredStamp ReadStoredStamp(SqlSession &session, const QVariant &key) const;
    // Throws StaleWriteError when the stored project is no longer the one Expected was taken of.
    void CheckStoredStamp(SqlSession &session, const QVariant &key,
                          const TStoredStamp &Expected) const;
    // Writes the project's row without changing it, inside a transaction: another client's
    // transaction that writes the same project (a save, a propagation) then waits for this one
    // and fails as a conflict, instead of mixing its rows with these.
    void LockProjectRow(int ProjectId);
    void LockProjectRow(SqlSession &session, int ProjectId);
    void DeleteProjectChars(int ProjectId);
    // Writes the header (when given) and replaces the characteristic rows in one transaction.
    void WriteProjectRows(const QString *FileName, MemDataSet *CDSHeader, int ProjectId,
                          MemDataSet &CDSChars, TStoredStamp *Stamp);
    int WriteProjectHeader(SqlSession &session, const QString &FileName, MemDataSet &CDSHeader);
    // Inserts a row for every record from the current one on, through one prepared statement;
    // toMark receives the records whose STATE or PROJECTID the save then changes.
    void InsertProjectChars(SqlSession &session, int ProjectId, MemDataSet &CDSChars,
                            std::vector<quint64> &toMark); // bookmarks
    void SetRefChanged(SqlSession &session, int ProjectId);
    // One depending project's part of UpdateDependingProjects, inside its transaction: rows
    // receives every row of the project, read once and left as the propagation wrote them.
    void UpdateProjectFromMaster(SqlSession &session, const QString &FileName, int ProjectId,
                                 MemDataSet &CDSChars, const QString &ignore, TTevRowSet &rows);
    // Merges a stored project, given as its PROJECTS row and its characteristic rows, into the
    // records read from its file (the second half of ReadProject).
    void MergeStoredProject(const QString &FileName, const DataSet &project, TTevRowSet &chars,
                            MemDataSet &CDSHeader, MemDataSet &CDSChars);
    void RewriteFileNames(TTevRowSet &rows, const QString &field, TDirectoryChangeMode mode,
                          const QString &prefix);

    QString FAppRootDir;
    QPointer<TTevConnection> FDatabase;
    SqlTrace FSqlTrace;
    // The work running on the connection (a propagation), which the writes inside it join.
    WorkSession *FWork = nullptr;
    // KeepsWriteStamps, asked once per connection and schema upgrade.
    mutable std::optional<bool> FWriteStamps;
};

} // namespace tev
