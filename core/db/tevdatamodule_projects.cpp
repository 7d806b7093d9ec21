// The project operations of the data module: the project row, its characteristic rows, the merge
// of stored rows into the records read from a file, stored file names after the sequence root
// moved, and the system settings.

#include "core/db/tevdatamodule.h"

#include "core/db/connectionstate.h"
#include "core/db/databaseerror.h"
#include "core/db/dbtransaction.h"
#include "core/db/fieldmerge.h"
#include "core/db/tevrowset.h"
#include "core/db/walkallrecords.h"
#include "core/db/worksession.h"
#include "core/lib/fieldroutines.h"
#include "core/lib/paths.h"
#include "platform/dataset/memdataset.h"
#include "platform/error.h"

#include <QLoggingCategory>
#include <QSet>
#include <QSqlError>
#include <QSqlRecord>
#include <optional>

namespace tev {

namespace {

Q_LOGGING_CATEGORY(lcProjects, "tevora.data.projects")

const QString IdxLabel = QStringLiteral("IDX_LABEL");
const QString IdxGroupIdCharId = QStringLiteral("IDX_GROUPID_CHARID");
const QStringList ProjectsKey{"PROJECTID"};
const QStringList CharacteristicsKey{"PROJECTID", "CHARID", "LABEL"};
const QStringList RefProjectsKey{"PROJECTID", "SUBID"};

// Saves of a new project that start again when another client took the same new PROJECTID.
constexpr int NewProjectAttempts = 5;

// CONFIGURATION.NAME and STRVALUE hold at most this many characters.
constexpr int SettingTextLength = 100;

QString Lines(std::initializer_list<QString> lines)
{
    return QStringList(lines).join(QLatin1Char('\n'));
}

// Change bits of a project and its characteristics.
constexpr int HeaderChangeBit = 2;
constexpr int NewCharacteristicBit = 4;
constexpr int UnknownCharacteristicBit = 8;

const QString SelectProjectByFileName =
    Lines({"select *", "from PROJECTS", "where FILENAME = :FILENAME"});
const QString SelectNextProjectId =
    Lines({"select MAX(PROJECTID) as MAX_PROJECTID", "from PROJECTS"});
const QString LockProjectRowSql =
    Lines({"update PROJECTS", "set REF_STATE = REF_STATE", "where PROJECTID = :PROJECTID"});
const QString DeleteProjectCharsSql =
    Lines({"delete from CHARACTERISTICS", "where PROJECTID = :PROJECTID"});
const QString SelectProjectChars =
    Lines({"select *", "from CHARACTERISTICS", "where PROJECTID = :PROJECTID", "order by CHARID"});

// Stores the header record in the project's row, open in project (empty for a new project), and
// returns the project's id.
int StoreHeader(TTevRowSet &project, MemDataSet &CDSHeader, const std::function<int()> &nextId)
{
    int id;
    if (!project.isEmpty()) {
        project.edit();
        id = project.fieldByName(QStringLiteral("PROJECTID")).asInteger();
    } else {
        id = nextId();
        project.append();
    }
    CopyFieldValues(CDSHeader, project);
    project.fieldByName(QStringLiteral("PROJECTID")).setAsInteger(id);
    project.fieldByName(QStringLiteral("STATE")).setAsInteger(0);
    project.post();
    return id;
}

int NextProjectId(SqlSession &session)
{
    const SqlRows rows = session.select(SelectNextProjectId);
    return rows.rows.empty() ? 1 : rows.rows.front().front().toInt() + 1;
}

// The stamp of a project by its FILENAME (a text key) or PROJECTID.
QString StampSql(const TTevSchemaSql &schema, const QVariant &key)
{
    return Lines({"select " + schema.WriteStampValue(), "from PROJECTS",
                  key.typeId() == QMetaType::QString ? "where FILENAME = :FILENAME"
                                                     : "where PROJECTID = :PROJECTID"});
}

SqlBindings StampKey(const QVariant &key)
{
    if (key.typeId() == QMetaType::QString)
        return {{"FILENAME", key}};
    return {{"PROJECTID", key}};
}

TStoredStamp StampOf(bool rowExists, const QVariant &value)
{
    if (!rowExists)
        return TStoredStamp::Missing();
    if (value.isNull() || !value.isValid())
        return TStoredStamp::Stored(std::nullopt);
    return TStoredStamp::Stored(value.toLongLong());
}

} // namespace

std::unique_ptr<TTevRowSet> TTevDataModule::OpenRowSet(const QString &sql,
                                                       const SqlBindings &bindings,
                                                       const QString &table,
                                                       const QStringList &keyFields) const
{
    auto rows = std::make_unique<TTevRowSet>(UsableDatabase(), table, keyFields, FSqlTrace);
    try {
        rows->open(sql, bindings);
    } catch (const DatabaseError &e) {
        if (!MayRetry(e, sql))
            throw;
        rows = std::make_unique<TTevRowSet>(UsableDatabase(), table, keyFields, FSqlTrace);
        rows->open(sql, bindings);
    }
    return rows;
}

void TTevDataModule::MergeChangedFields(const DataSet &Src, DataSet &Dst, int Bit, int &Bits,
                                        int Decimals, const QString &IgnoreFields)
{
    FieldMerge(Src, Dst, IgnoreFields).Merge(Bit, Bits, Decimals);
}

bool TTevDataModule::KeepsWriteStamps() const
{
    if (!FWriteStamps) {
        const TTevSchemaSql schema(FDatabase->driverId());
        FWriteStamps =
            ColumnExists(schema, QStringLiteral("PROJECTS"), QStringLiteral("WRITESTAMP"));
    }
    return *FWriteStamps;
}

TStoredStamp TTevDataModule::ReadStoredStamp(SqlSession &session, const QVariant &key) const
{
    const TTevSchemaSql schema(FDatabase->driverId());
    const SqlRows rows = session.select(StampSql(schema, key), StampKey(key));
    return rows.rows.empty() ? TStoredStamp::Missing() : StampOf(true, rows.rows.front().front());
}

void TTevDataModule::CheckStoredStamp(SqlSession &session, const QVariant &key,
                                      const TStoredStamp &Expected) const
{
    if (!Expected.checks())
        return;
    const TStoredStamp stored = ReadStoredStamp(session, key);
    if (!Expected.matches(stored.kind() == TStoredStamp::Kind::Stored, stored.value()))
        throw StaleWriteError(
            QStringLiteral("Another user saved this project after it was last read or saved "
                           "here. Nothing of this write was stored; open the project again to "
                           "see their changes."));
}

int TTevDataModule::GetNextProjectId()
{
    QSqlQuery query = Run(SelectNextProjectId);
    return query.next() ? query.value(0).toInt() + 1 : 1;
}

int TTevDataModule::CreateProject(const QString &FileName, const QString &ProjectName, int FileType,
                                  const QString &Params)
{
    auto project = OpenRowSet(Lines({"select *", "from PROJECTS", "where FILENAME = :FILENAME"}),
                              {{"FILENAME", FileName}}, QStringLiteral("PROJECTS"), ProjectsKey);
    if (!project->isEmpty())
        return -1;
    const int id = GetNextProjectId();
    project->append();
    project->fieldByName(QStringLiteral("PROJECTID")).setAsInteger(id);
    project->fieldByName(QStringLiteral("PROJECTNAME")).setAsString(ProjectName);
    project->fieldByName(QStringLiteral("FILENAME")).setAsString(FileName);
    project->fieldByName(QStringLiteral("FILETYPE")).setAsInteger(FileType);
    project->fieldByName(QStringLiteral("PARAMS")).setAsString(Params);
    project->post();
    return id;
}

void TTevDataModule::DeleteProject(const QString &FileName)
{
    // Trigger DEL_PROJECTS removes the project's characteristics and references.
    Run(Lines({"delete from PROJECTS", "where FILENAME = :FILENAME"}), {{"FILENAME", FileName}});
}

bool TTevDataModule::ProjectExists(const QString &FileName, QString &ProjectName)
{
    QSqlQuery query =
        Run(Lines({"select PROJECTNAME", "from PROJECTS", "where FILENAME = :FILENAME"}),
            {{"FILENAME", FileName}});
    if (!query.next())
        return false;
    ProjectName = query.value(0).toString();
    return true;
}

QString TTevDataModule::GetProjectFileName(int ProjectId)
{
    QSqlQuery query =
        Run(Lines({"select FILENAME", "from PROJECTS", "where PROJECTID = :PROJECTID"}),
            {{"PROJECTID", ProjectId}});
    return query.next() ? query.value(0).toString() : QString();
}

std::unique_ptr<DataSet> TTevDataModule::FindProjects(const QString &FileFilter)
{
    QString filter = FileFilter;
    filter.replace(QLatin1Char('*'), QLatin1Char('%'));
    try {
        return OpenRowSet(
            Lines({"select FILENAME", "from PROJECTS", "where FILENAME like :FILENAME"}),
            {{"FILENAME", filter}});
    } catch (const Error &e) {
        qCInfo(lcProjects) << "FindProjects failed:" << e.message();
        return nullptr;
    }
}

bool TTevDataModule::ReadProject(const QString &FileName, MemDataSet &CDSHeader,
                                 MemDataSet &CDSChars, TStoredStamp *Stamp)
{
    DisableControlsGuard controls(CDSChars);
    WalkAllRecords walk(CDSChars);
    walk.restoreIndex(IdxGroupIdCharId);
    if (Stamp) {
        *Stamp = TStoredStamp();
        if (KeepsWriteStamps()) {
            const TTevSchemaSql schema(FDatabase->driverId());
            QSqlQuery stamp = Run(StampSql(schema, FileName), StampKey(FileName));
            *Stamp = stamp.next() ? StampOf(true, stamp.value(0)) : TStoredStamp::Missing();
        }
    }

    auto project = OpenRowSet(Lines({"select *", "from PROJECTS", "where FILENAME = :FILENAME"}),
                              {{"FILENAME", FileName}});
    if (project->isEmpty())
        return false;
    const int projectId = project->fieldByName(QStringLiteral("PROJECTID")).asInteger();
    auto chars = OpenRowSet(Lines({"select *", "from CHARACTERISTICS",
                                   "where PROJECTID = :PROJECTID", "order by CHARID"}),
                            {{"PROJECTID", projectId}});
    MergeStoredProject(FileName, *project, *chars, CDSHeader, CDSChars);
    return true;
}

void TTevDataModule::MergeStoredProject(const QString &FileName, const DataSet &project,
                                        TTevRowSet &chars, MemDataSet &CDSHeader,
                                        MemDataSet &CDSChars)
{
    DisableControlsGuard controls(CDSChars);
    WalkAllRecords walk(CDSChars);
    walk.restoreIndex(IdxGroupIdCharId);
    const int projectId = project.fieldByName(QStringLiteral("PROJECTID")).asInteger();

    int headerBits = 0;
    if (!CDSHeader.isEmpty()) {
        CDSHeader.edit();
        CDSHeader.fieldByName(QStringLiteral("PROJECTID")).setAsInteger(projectId);
    } else {
        CDSHeader.append();
    }
    MergeChangedFields(project, CDSHeader, HeaderChangeBit, headerBits, 0, QStringLiteral("STATE"));
    CDSHeader.post();

    walk.start(IdxLabel);
    // A stored row matches the record of its LABEL from the same source (REF_FILENAME): two
    // masters may share a label. Rows read from the project's own file carry the file's own name,
    // while stored rows that came from a master carry the master's; so a stored row that finds
    // no record of its source then matches an unmatched record of its LABEL read from the file,
    // and the stored source wins. A record matches one row at most, so no stored row is lost.
    Field *refField = CDSChars.findField(QStringLiteral("REF_FILENAME"));
    const QString keyFields =
        refField ? QStringLiteral("LABEL;REF_FILENAME") : QStringLiteral("LABEL");
    Field &label = CDSChars.fieldByName(QStringLiteral("LABEL"));
    Field &rowLabel = chars.fieldByName(QStringLiteral("LABEL"));
    Field *rowRef = chars.findField(QStringLiteral("REF_FILENAME"));
    QSet<MemDataSet::Bookmark> matched;
    std::vector<bool> rowDone(size_t(chars.recordCount()), false);
    int charBits = 0;
    // byFileName: match a record read from the project's own file instead of the row's source.
    auto mergeInto = [&](int row, bool byFileName) {
        chars.setRecNo(row);
        QVariantList key{label.convert(rowLabel.value())};
        if (refField)
            key << refField->convert(byFileName || !rowRef ? QVariant(FileName) : rowRef->value());
        if (!CDSChars.locate(keyFields, key) || matched.contains(CDSChars.bookmark()))
            return;
        CDSChars.edit();
        if (Field *state = CDSChars.findField(QStringLiteral("STATE")))
            state->setAsInteger(0);
        MergeChangedFields(chars, CDSChars, 0, charBits, 4, QString());
        CDSChars.post();
        matched.insert(CDSChars.bookmark());
        rowDone[size_t(row)] = true;
    };
    // Into records read from the file; loaded into emptied datasets, every row is appended.
    const bool fromFile = !CDSChars.isEmpty();
    for (int row = 0; fromFile && row < chars.recordCount(); ++row)
        mergeInto(row, false);
    if (fromFile && refField && rowRef) {
        for (int row = 0; row < chars.recordCount(); ++row)
            if (!rowDone[size_t(row)])
                mergeInto(row, true);
    }
    const FieldCopy copy(chars, CDSChars);
    for (int row = 0; row < chars.recordCount(); ++row) {
        if (rowDone[size_t(row)])
            continue;
        chars.setRecNo(row);
        CDSChars.append();
        copy.Copy();
        if (chars.fieldByName(QStringLiteral("ACTIVE")).asInteger() == 1) {
            CDSChars.fieldByName(QStringLiteral("STATE")).setAsInteger(NewCharacteristicBit);
            charBits |= NewCharacteristicBit;
        }
        CDSChars.post();
    }

    if (charBits != 0) {
        CDSHeader.edit();
        Field &state = CDSHeader.fieldByName(QStringLiteral("STATE"));
        state.setAsInteger(state.asInteger() | charBits);
        CDSHeader.post();
    }
}

int TTevDataModule::WriteProjectHeader(const QString &FileName, MemDataSet &CDSHeader,
                                       TStoredStamp *Stamp)
{
    PostIfEditing(CDSHeader);
    if (!Stamp || !KeepsWriteStamps()) {
        auto project = OpenRowSet(SelectProjectByFileName, {{"FILENAME", FileName}},
                                  QStringLiteral("PROJECTS"), ProjectsKey);
        return StoreHeader(*project, CDSHeader, [this] { return GetNextProjectId(); });
    }
    DbTransaction transaction(*FDatabase);
    QtSqlSession session(FDatabase->database(), FSqlTrace);
    CheckStoredStamp(session, FileName, *Stamp);
    const int id = WriteProjectHeader(session, FileName, CDSHeader);
    const TStoredStamp written = ReadStoredStamp(session, id);
    transaction.commit();
    *Stamp = written;
    return id;
}

void TTevDataModule::LockProjectRow(int ProjectId)
{
    Run(LockProjectRowSql, {{"PROJECTID", ProjectId}});
}

void TTevDataModule::LockProjectRow(SqlSession &session, int ProjectId)
{
    session.run(LockProjectRowSql, {{"PROJECTID", ProjectId}});
}

void TTevDataModule::DeleteProjectChars(int ProjectId)
{
    Run(DeleteProjectCharsSql, {{"PROJECTID", ProjectId}});
}

void TTevDataModule::WriteProject(const QString &FileName, MemDataSet &CDSHeader,
                                  MemDataSet &CDSChars, TTevDBUpdateMode UpdateMode,
                                  TStoredStamp *Stamp)
{
    Q_UNUSED(UpdateMode); // the header and every characteristic are always written
    WriteProjectRows(&FileName, &CDSHeader, 0, CDSChars, Stamp);
}

void TTevDataModule::WriteProjectChars(int ProjectId, MemDataSet &CDSChars, TStoredStamp *Stamp)
{
    WriteProjectRows(nullptr, nullptr, ProjectId, CDSChars, Stamp);
}

void TTevDataModule::WriteProjectRows(const QString *FileName, MemDataSet *CDSHeader, int ProjectId,
                                      MemDataSet &CDSChars, TStoredStamp *Stamp)
{
    // Pending edits are posted before the transaction: a post may reach the database itself.
    if (CDSHeader)
        PostIfEditing(*CDSHeader);
    PostIfEditing(CDSChars);
    DisableControlsGuard controls(CDSChars);
    WalkAllRecords walk(CDSChars);
    // The records whose STATE or PROJECTID the save changes; the others are left alone.
    std::vector<MemDataSet::Bookmark> toMark;
    // Ids are the largest plus 1, so another client saving a new project at the same moment may
    // take the same PROJECTID. The later project row is then refused as a duplicate and nothing
    // of that save is stored; it starts again in a new transaction, which sees the other project
    // and takes the next id. Inside a caller's transaction it cannot start again.
    const ConnectionState *connection = ConnectionState::of(FDatabase->database());
    const bool ownTransaction = !connection || connection->transactionDepth() == 0;
    // The stamp is compared and read again inside the write's transaction: a save committed by
    // another client after it began makes the write fail as a conflict instead.
    const bool stamps = Stamp && KeepsWriteStamps();
    std::optional<TStoredStamp> written;
    for (int attempt = 1;; ++attempt) {
        bool idTaken = false;
        try {
            toMark.clear();
            // Inside a propagation, the save joins its transaction.
            WorkSession work(*FDatabase, FSqlTrace, FWork);
            SqlSession &session = work.session();
            if (stamps)
                CheckStoredStamp(session, CDSHeader ? QVariant(*FileName) : QVariant(ProjectId),
                                 *Stamp);
            if (CDSHeader) {
                try {
                    ProjectId = WriteProjectHeader(session, *FileName, *CDSHeader);
                } catch (const DatabaseError &e) {
                    idTaken = e.failure() == DatabaseFailure::DuplicateKey;
                    throw;
                }
            }
            // A header that did not change leaves its row alone; the rows below must not.
            session.run(LockProjectRowSql, {{"PROJECTID", ProjectId}});
            session.run(DeleteProjectCharsSql, {{"PROJECTID", ProjectId}});
            walk.start();
            InsertProjectChars(session, ProjectId, CDSChars, toMark);
            if (stamps)
                written = ReadStoredStamp(session, ProjectId);
            work.commit();
            break;
        } catch (const DatabaseError &) {
            if (!idTaken || !ownTransaction || attempt == NewProjectAttempts)
                throw;
        }
    }
    if (written)
        *Stamp = *written;
    // Only what is stored is marked: after a failed save the records keep their state.
    Field &state = CDSChars.fieldByName(QStringLiteral("STATE"));
    Field &projectId = CDSChars.fieldByName(QStringLiteral("PROJECTID"));
    for (const MemDataSet::Bookmark bookmark : toMark) {
        CDSChars.gotoBookmark(bookmark);
        CDSChars.edit();
        state.setAsInteger(state.asInteger() & ~UnknownCharacteristicBit);
        if (projectId.isNull() || projectId.asInteger() == 0)
            projectId.setAsInteger(ProjectId);
        CDSChars.post();
    }
}

int TTevDataModule::WriteProjectHeader(SqlSession &session, const QString &FileName,
                                       MemDataSet &CDSHeader)
{
    PostIfEditing(CDSHeader);
    TTevRowSet project(session, QStringLiteral("PROJECTS"), ProjectsKey, FSqlTrace);
    project.open(SelectProjectByFileName, {{"FILENAME", FileName}});
    return StoreHeader(project, CDSHeader, [&session] { return NextProjectId(session); });
}

void TTevDataModule::InsertProjectChars(SqlSession &session, int ProjectId, MemDataSet &CDSChars,
                                        std::vector<MemDataSet::Bookmark> &toMark)
{
    // The stored columns: every column of the table that the records have, and PROJECTID. The
    // empty result gives the table's columns and types.
    TTevRowSet table(session, QStringLiteral("CHARACTERISTICS"), CharacteristicsKey, FSqlTrace);
    table.open(SelectProjectChars, {{"PROJECTID", ProjectId}});
    struct Column
    {
        const Field *source; // nullptr: PROJECTID
        FieldType type;
        QString name;
    };
    std::vector<Column> columns;
    QStringList names;
    QStringList marks;
    for (int i = 0; i < table.fieldCount(); ++i) {
        const Field &f = table.field(i);
        const Field *source = CDSChars.findField(f.fieldName());
        const bool isProjectId = f.fieldName() == QLatin1String("PROJECTID");
        if (!source && !isProjectId)
            continue;
        columns.push_back({isProjectId ? nullptr : source, f.dataType(), f.fieldName()});
        names << f.fieldName();
        marks << QStringLiteral("?");
    }
    const QString sql =
        QStringLiteral("insert into CHARACTERISTICS\n  (%1)\nvalues\n  (%2)")
            .arg(names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    PreparedSql &insert = session.prepared(sql);
    const QVariant projectIdValue(ProjectId);
    const Field &state = CDSChars.fieldByName(QStringLiteral("STATE"));
    const Field &projectId = CDSChars.fieldByName(QStringLiteral("PROJECTID"));
    toMark.reserve(size_t(CDSChars.recordCount()));
    for (; !CDSChars.eof(); CDSChars.next()) {
        if (FSqlTrace)
            FSqlTrace(sql);
        for (size_t c = 0; c < columns.size(); ++c) {
            const Column &column = columns[c];
            insert.bind(int(c),
                        column.source
                            ? Field::convertTo(column.type, column.name, column.source->value())
                            : projectIdValue,
                        column.type);
        }
        insert.execute();
        const QVariant s = state.value();
        if (!s.isValid() || (s.toInt() & UnknownCharacteristicBit) != 0 || projectId.isNull() ||
            projectId.asInteger() == 0)
            toMark.push_back(CDSChars.bookmark());
    }
}

void TTevDataModule::UpdateChar(int ProjectId, MemDataSet &CDSChars, TStoredStamp *Stamp)
{
    const bool stamps = Stamp && KeepsWriteStamps();
    std::optional<DbTransaction> transaction;
    std::optional<QtSqlSession> session;
    if (stamps) {
        transaction.emplace(*FDatabase);
        session.emplace(FDatabase->database(), FSqlTrace);
        CheckStoredStamp(*session, ProjectId, *Stamp);
    }
    auto chars = OpenRowSet(Lines({"select *", "from CHARACTERISTICS",
                                   "where PROJECTID = :PROJECTID", "order by CHARID"}),
                            {{"PROJECTID", ProjectId}}, QStringLiteral("CHARACTERISTICS"),
                            CharacteristicsKey);
    if (!chars->locate(QStringLiteral("CHARID"),
                       CDSChars.fieldByName(QStringLiteral("CHARID")).value()))
        return;
    Field &state = CDSChars.fieldByName(QStringLiteral("STATE"));
    const int s = state.asInteger();
    int bits = s;
    chars->edit();
    MergeChangedFields(CDSChars, *chars, s, bits,
                       CDSChars.fieldByName(QStringLiteral("DECIMALS")).asInteger(), QString());
    chars->post();
    // The project's row takes a new stamp: a client holding the project sees it changed.
    LockProjectRow(ProjectId);
    if (stamps) {
        const TStoredStamp written = ReadStoredStamp(*session, ProjectId);
        transaction->commit();
        *Stamp = written;
    }
    CDSChars.edit();
    state.setAsInteger(s);
    CDSChars.post();
}

QString TTevDataModule::GetCharImages(int ProjectId)
{
    QSqlQuery query = Run(
        Lines({"select distinct IMAGE", "from CHARACTERISTICS", "where PROJECTID = :PROJECTID"}),
        {{"PROJECTID", ProjectId}});
    QString result;
    while (query.next())
        result += query.value(0).toString() + QStringLiteral("\r\n");
    return result;
}

void TTevDataModule::ChangeDirectories(TDirectoryChangeMode DirChangeMode, const QString &SubDir)
{
    if (DirChangeMode != TDirectoryChangeMode::dcmSubDirAdded &&
        DirChangeMode != TDirectoryChangeMode::dcmSubDirRemoved)
        return;
    QString sub = SubDir;
    auto isDelimiter = [](QChar c) { return c == QLatin1Char('/') || c == QLatin1Char('\\'); };
    while (!sub.isEmpty() && isDelimiter(sub.front()))
        sub.remove(0, 1);
    while (!sub.isEmpty() && isDelimiter(sub.back()))
        sub.chop(1);
    const QString prefix = AddBackSlash(sub);

    auto projects = OpenRowSet(Lines({"select PROJECTID, FILENAME", "from PROJECTS"}), {},
                               QStringLiteral("PROJECTS"), ProjectsKey);
    RewriteFileNames(*projects, QStringLiteral("FILENAME"), DirChangeMode, prefix);
    auto chars =
        OpenRowSet(Lines({"select PROJECTID, CHARID, LABEL, REF_FILENAME", "from CHARACTERISTICS"}),
                   {}, QStringLiteral("CHARACTERISTICS"), CharacteristicsKey);
    RewriteFileNames(*chars, QStringLiteral("REF_FILENAME"), DirChangeMode, prefix);
    auto refs = OpenRowSet(Lines({"select PROJECTID, SUBID, REF_FILENAME", "from REFPROJECTS"}), {},
                           QStringLiteral("REFPROJECTS"), RefProjectsKey);
    RewriteFileNames(*refs, QStringLiteral("REF_FILENAME"), DirChangeMode, prefix);
}

void TTevDataModule::RewriteFileNames(TTevRowSet &rows, const QString &field,
                                      TDirectoryChangeMode mode, const QString &prefix)
{
    Field &name = rows.fieldByName(field);
    for (rows.first(); !rows.eof(); rows.next()) {
        rows.edit();
        const QString value = name.asString();
        if (mode == TDirectoryChangeMode::dcmSubDirAdded) {
            // The new root lies below the old one: names inside it lose the part between them.
            if (value.startsWith(prefix, Qt::CaseSensitive))
                name.setAsString(value.mid(prefix.size()));
        } else {
            name.setAsString(prefix + value);
        }
        rows.post();
    }
}

void TTevDataModule::ReadSystemSettings(TStringList &Params)
{
    // A connection found lost is opened again by the statement; one never opened is left alone.
    if (!Connected() && !FDatabase->lost())
        return;
    QSqlQuery query = Run(Lines({"select *", "from CONFIGURATION", "where SECTION = :SECTION"}),
                          {{"SECTION", QStringLiteral("System")}});
    const int nameColumn = query.record().indexOf(QStringLiteral("NAME"));
    const int valueColumn = query.record().indexOf(QStringLiteral("STRVALUE"));
    while (query.next()) {
        const QString name = query.value(nameColumn).toString();
        const QString value = query.value(valueColumn).toString();
        if (Params.IndexOfName(name) < 0)
            Params.Add(name + QLatin1Char('=') + value);
        else
            Params.SetValues(name, value); // an empty value deletes the line
    }
}

void TTevDataModule::WriteSystemSettings(const TStringList &Params)
{
    if (!Connected() && !FDatabase->lost())
        return;
    SqlBindings rows;
    for (const QString &line : Params.ToStringList()) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QString name = line.left(eq);
        const QString value = line.mid(eq + 1);
        if (name.size() > SettingTextLength || value.size() > SettingTextLength)
            throw Error(QStringLiteral("The setting \"%1\" is too long for the database: names "
                                       "and values hold at most %2 characters.")
                            .arg(name.left(40))
                            .arg(SettingTextLength));
        rows.emplace_back(name, value);
    }
    DbTransaction transaction(*FDatabase);
    Run(Lines({"delete", "from CONFIGURATION", "where SECTION = :SECTION"}),
        {{"SECTION", QStringLiteral("System")}});
    const QString insert = Lines({"insert into CONFIGURATION", "  (SECTION, NAME, STRVALUE)",
                                  "values", "  (:SECTION, :NAME, :STRVALUE)"});
    for (const auto &[name, value] : rows)
        Run(insert, {{"SECTION", QStringLiteral("System")}, {"NAME", name}, {"STRVALUE", value}});
    transaction.commit();
}

} // namespace tev
