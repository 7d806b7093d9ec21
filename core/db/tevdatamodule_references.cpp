// The master references of the data module: which masters a project is built from, and the
// propagation of a changed master into the characteristic rows of every project built on it.

#include "core/db/tevdatamodule.h"

#include "core/db/fieldmerge.h"
#include "core/db/tevrowset.h"
#include "core/db/walkallrecords.h"
#include "core/db/worksession.h"
#include "core/lib/fieldroutines.h"
#include "platform/dataset/memdataset.h"
#include "platform/error.h"

#include <QHash>
#include <QPair>
#include <QSet>
#include <algorithm>
#include <map>

namespace tev {

namespace {

QString Lines(std::initializer_list<QString> lines)
{
    return QStringList(lines).join(QLatin1Char('\n'));
}

// PROJECTS.REF_STATE of a project whose rows a propagation added or removed.
constexpr int RefChanged = 256;
constexpr int NewCharacteristicBit = 4;

const QStringList CharacteristicsKey{"PROJECTID", "CHARID", "LABEL"};
const QString SelectDependingProjects =
    Lines({"select PROJECTID", "from REFPROJECTS", "where REF_FILENAME = :REF_FILENAME"});

// A copy of a dataset's records, every one whatever its filter, in LABEL order; the dataset comes
// back at its first record in CHARID order within the groups, its filter as it was.
std::unique_ptr<MemDataSet> InLabelOrder(MemDataSet &source)
{
    auto copy = std::make_unique<MemDataSet>();
    for (int i = 0; i < source.fieldCount(); ++i) {
        const Field &f = source.field(i);
        copy->addField(f.fieldName(), f.dataType(), f.size());
    }
    copy->createDataSet();
    DisableControlsGuard controls(source);
    WalkAllRecords walk(source);
    walk.restoreIndex(QStringLiteral("IDX_GROUPID_CHARID"));
    walk.start(QStringLiteral("IDX_LABEL"));
    for (; !source.eof(); source.next()) {
        copy->append();
        for (int i = 0; i < source.fieldCount(); ++i)
            copy->field(i).setValue(source.field(i).value());
        copy->post();
    }
    return copy;
}

// The keys (CHARID and LABEL) of one project's rows, kept up to date with the rows a propagation
// inserts or moves, so that a free CHARID needs no query per row.
class FreeCharIds
{
public:
    void add(int charId, const QString &label)
    {
        ++m_counts[charId];
        m_keys.insert({charId, label});
    }
    // Whether a row of the project other than the one asking holds this key.
    bool taken(int charId, const QString &label) const { return m_keys.contains({charId, label}); }
    // A row's CHARID changed from one to the other.
    void move(int from, int to, const QString &label)
    {
        remove(from, label);
        add(to, label);
    }
    // The CHARID a new row takes for a master row's charId: a CHARID one row already has, or one
    // that a row of the same label holds (another master's), moves past the largest; a free
    // one, or one several rows share, is kept.
    int GetFreeCharId(int charId, const QString &label)
    {
        const auto count = m_counts.find(charId);
        const bool once = count != m_counts.end() && count->second == 1;
        const int id = once || taken(charId, label) ? m_counts.rbegin()->first + 1 : charId;
        add(id, label);
        return id;
    }

private:
    void remove(int charId, const QString &label)
    {
        m_keys.remove({charId, label});
        const auto count = m_counts.find(charId);
        if (count != m_counts.end() && --count->second <= 0)
            m_counts.erase(count);
    }

    std::map<int, int> m_counts; // CHARID -> rows holding it; the last is the largest
    QSet<QPair<int, QString>> m_keys;
};

} // namespace

int TTevDataModule::AddReference(int ProjectId, const QString &RefFileName,
                                 const QString &RefProjectName)
{
    QSqlQuery max = Run(Lines({"select MAX(SUBID) as MAX_SUBID", "from REFPROJECTS",
                               "where PROJECTID = :PROJECTID"}),
                        {{"PROJECTID", ProjectId}});
    const int subId = (max.next() ? max.value(0).toInt() : 0) + 1;
    max.finish();
    auto refs = OpenRowSet(Lines({"select * from REFPROJECTS", "where PROJECTID = :PROJECTID",
                                  " and REF_FILENAME = :REF_FILENAME"}),
                           {{"PROJECTID", ProjectId}, {"REF_FILENAME", RefFileName}},
                           QStringLiteral("REFPROJECTS"), {"PROJECTID", "SUBID"});
    if (!refs->isEmpty())
        return refs->fieldByName(QStringLiteral("SUBID")).asInteger();
    refs->append();
    refs->fieldByName(QStringLiteral("PROJECTID")).setAsInteger(ProjectId);
    refs->fieldByName(QStringLiteral("REF_FILENAME")).setAsString(RefFileName);
    refs->fieldByName(QStringLiteral("SUBID")).setAsInteger(subId);
    refs->fieldByName(QStringLiteral("REF_PROJECTNAME")).setAsString(RefProjectName);
    refs->post();
    return subId;
}

void TTevDataModule::AddRefProject(int ProjectId, const QString &RefFileName,
                                   const QString &RefProjectName)
{
    AddReference(ProjectId, RefFileName, RefProjectName);
}

void TTevDataModule::RemoveRefProject(int ProjectId, const QString &RefFileName)
{
    const SqlBindings bindings{{"PROJECTID", ProjectId}, {"REF_FILENAME", RefFileName}};
    Run(Lines({"delete from CHARACTERISTICS", "where PROJECTID = :PROJECTID",
               " and REF_FILENAME = :REF_FILENAME"}),
        bindings);
    Run(Lines({"delete from REFPROJECTS", "where PROJECTID = :PROJECTID",
               " and REF_FILENAME = :REF_FILENAME"}),
        bindings);
}

bool TTevDataModule::ExistsReference(int ProjectId, const QString &RefFileName)
{
    QSqlQuery query = Run(Lines({"select * from REFPROJECTS", "where PROJECTID = :PROJECTID",
                                 " and REF_FILENAME = :REF_FILENAME"}),
                          {{"PROJECTID", ProjectId}, {"REF_FILENAME", RefFileName}});
    return query.next();
}

void TTevDataModule::GetRefProjects(int ProjectId, QStringList &List)
{
    List.clear();
    QSqlQuery query = Run(Lines({"select SUBID, REF_FILENAME", "from REFPROJECTS",
                                 "where PROJECTID = :PROJECTID", "order by SUBID"}),
                          {{"PROJECTID", ProjectId}});
    while (query.next())
        List << query.value(1).toString();
}

void TTevDataModule::GetDependingProjects(const QString &FileName, QStringList &List)
{
    List.clear();
    QSqlQuery query = Run(SelectDependingProjects, {{"REF_FILENAME", FileName}});
    while (query.next())
        List << QString::number(query.value(0).toInt());
}

void TTevDataModule::SetRefChanged(SqlSession &session, int ProjectId)
{
    session.run(
        Lines({"update PROJECTS", "set REF_STATE = :REF_STATE", "where PROJECTID = :PROJECTID"}),
        {{"REF_STATE", RefChanged}, {"PROJECTID", ProjectId}});
}

void TTevDataModule::UpdateDependingProjects(const QString &FileName, MemDataSet &CDSChars,
                                             bool SaveAll, const TDependingProjectFunc &Dependent)
{
    // A full reference keeps only the project's id, name and group id; the normal one also keeps
    // the project's own group name, active flag, image, point and sequence name.
    const QString ignore =
        SaveAll ? QStringLiteral("PROJECTID;PROJECTNAME;GROUPID;")
                : QStringLiteral("PROJECTID;PROJECTNAME;GROUPID;GROUPNAME;ACTIVE;IMAGE;IMAGEX;"
                                 "IMAGEY;ACTIVE;SEQNAME");
    // Dependent loads each depending project into the datasets the master came in.
    const std::unique_ptr<MemDataSet> master = InLabelOrder(CDSChars);

    // The propagation is one transaction: a failure leaves every project as it was. The
    // depending projects' rows are locked first, in id order, as a save locks its project's row:
    // of a propagation and another client's save of one of these projects, whichever comes
    // second waits for the first and then fails as a conflict, before it changed anything.
    // Asked before the transaction: the catalogue is read through Qt's driver.
    const bool stamps = KeepsWriteStamps();
    WorkSession work(*FDatabase, FSqlTrace, FWork);
    SqlSession &session = work.session();
    std::vector<int> lockOrder;
    for (const std::vector<QVariant> &row :
         session.select(SelectDependingProjects, {{"REF_FILENAME", FileName}}).rows)
        lockOrder.push_back(row.front().toInt());
    std::sort(lockOrder.begin(), lockOrder.end());
    lockOrder.erase(std::unique(lockOrder.begin(), lockOrder.end()), lockOrder.end());
    for (int projectId : lockOrder)
        LockProjectRow(session, projectId);

    // The master's rows are reached project by project through the key's leading PROJECTID, so
    // that no statement scans the whole table: with many depending projects, one statement
    // over all of them would outlast the watchdog that bounds a statement's lock wait.
    for (int projectId : lockOrder) {
        TTevRowSet rows(session, QStringLiteral("CHARACTERISTICS"), CharacteristicsKey, FSqlTrace);
        UpdateProjectFromMaster(session, FileName, projectId, *master, ignore, rows);
        if (!Dependent)
            continue;
        TTevRowSet project(session, {}, {}, FSqlTrace);
        project.open(Lines({"select *", "from PROJECTS", "where PROJECTID = :PROJECTID"}),
                     {{"PROJECTID", projectId}});
        const QString file = project.isEmpty()
                                 ? QString()
                                 : project.fieldByName(QStringLiteral("FILENAME")).asString();
        Dependent(file, [&](MemDataSet &CDSHeader, MemDataSet &CDSChars, TStoredStamp *Stamp) {
            if (Stamp)
                *Stamp = stamps ? ReadStoredStamp(session, projectId) : TStoredStamp();
            if (project.isEmpty())
                return false;
            MergeStoredProject(file, project, rows, CDSHeader, CDSChars);
            return true;
        });
    }

    // Rows of the master in projects that no longer name it: none of them is among the master's
    // characteristics any more, so they go, and their projects are marked changed.
    const SqlRows holders =
        session.select(Lines({"select distinct PROJECTID", "from CHARACTERISTICS",
                              "where REF_FILENAME = :REF_FILENAME"}),
                       {{"REF_FILENAME", FileName}});
    for (const std::vector<QVariant> &row : holders.rows) {
        const int projectId = row.front().toInt();
        if (std::binary_search(lockOrder.begin(), lockOrder.end(), projectId))
            continue;
        session.run(Lines({"delete from CHARACTERISTICS", "where PROJECTID = :PROJECTID",
                           " and REF_FILENAME = :REF_FILENAME"}),
                    {{"PROJECTID", projectId}, {"REF_FILENAME", FileName}});
        SetRefChanged(session, projectId);
    }
    work.commit();
}

void TTevDataModule::UpdateProjectFromMaster(SqlSession &session, const QString &FileName,
                                             int ProjectId, MemDataSet &CDSChars,
                                             const QString &ignore, TTevRowSet &rows)
{
    // Every row of the project, read once: its keys give the free CHARIDs, its rows of the
    // master take the master's values, and the caller hands all of them on.
    rows.open(Lines({"select *", "from CHARACTERISTICS", "where PROJECTID = :PROJECTID",
                     "order by CHARID"}),
              {{"PROJECTID", ProjectId}});
    FreeCharIds freeIds;
    QHash<QString, int> byLabel;
    Field &rowLabel = rows.fieldByName(QStringLiteral("LABEL"));
    Field &rowRef = rows.fieldByName(QStringLiteral("REF_FILENAME"));
    Field &rowProject = rows.fieldByName(QStringLiteral("PROJECTID"));
    Field &rowCharId = rows.fieldByName(QStringLiteral("CHARID"));
    Field &rowTempState = rows.fieldByName(QStringLiteral("TEMPSTATE"));
    // Which stored rows the master still has: the project's other rows stay, and a row that did
    // not change is not written at all.
    const int storedCount = rows.recordCount();
    std::vector<bool> kept(size_t(storedCount), true);
    for (int i = 0; i < storedCount; ++i) {
        rows.setRecNo(i);
        const QString label = rowLabel.asString();
        freeIds.add(rowCharId.asInteger(), label);
        if (rowRef.asString() == FileName) {
            byLabel.insert(label, i);
            kept[size_t(i)] = false;
        }
    }

    const FieldMerge merge(CDSChars, rows, ignore);
    const FieldMerge mergeNew(CDSChars, rows, QString());
    bool changed = false;
    Field &label = CDSChars.fieldByName(QStringLiteral("LABEL"));
    Field &decimals = CDSChars.fieldByName(QStringLiteral("DECIMALS"));
    Field &charId = CDSChars.fieldByName(QStringLiteral("CHARID"));
    for (CDSChars.first(); !CDSChars.eof(); CDSChars.next()) {
        const auto row = byLabel.constFind(label.asString());
        int bits = 0;
        if (row != byLabel.cend()) {
            if (*row < storedCount)
                kept[size_t(*row)] = true;
            rows.setRecNo(*row);
            const int ownId = rowCharId.asInteger();
            rows.edit();
            merge.Merge(0, bits, decimals.asInteger());
            // The master's CHARID, unless a row of another source holds it with this label.
            const int masterId = rowCharId.asInteger();
            if (masterId != ownId) {
                if (freeIds.taken(masterId, rowLabel.asString()))
                    rowCharId.setAsInteger(ownId);
                else
                    freeIds.move(ownId, masterId, rowLabel.asString());
            }
            rows.post();
        } else {
            rows.append();
            mergeNew.Merge(NewCharacteristicBit, bits, decimals.asInteger());
            rowProject.setAsInteger(ProjectId);
            const int id = freeIds.GetFreeCharId(charId.asInteger(), label.asString());
            rowCharId.setAsInteger(id);
            rowTempState.setAsInteger(0);
            rows.post();
            byLabel.insert(label.asString(), rows.recNo());
            if (bits != 0)
                changed = true;
        }
    }
    // Rows of the master that the master no longer has; from the last, as a deletion moves the
    // rows after it.
    for (int i = storedCount - 1; i >= 0; --i) {
        if (kept[size_t(i)])
            continue;
        rows.setRecNo(i);
        rows.deleteRecord();
        changed = true;
    }
    if (changed)
        SetRefChanged(session, ProjectId);
}

} // namespace tev
