// The master references of the data module: which masters a project is built from, and the
// propagation of a changed master into the characteristic rows of every project built on it.

#include "core/db/tevdatamodule.h"

#include "core/db/dbtransaction.h"
#include "core/db/tevrowset.h"
#include "core/db/walkallrecords.h"
#include "core/lib/fieldroutines.h"
#include "platform/dataset/memdataset.h"
#include "platform/error.h"

#include <QHash>
#include <QPair>
#include <algorithm>

namespace tev {

namespace {

QString Lines(std::initializer_list<QString> lines)
{
    return QStringList(lines).join(QLatin1Char('\n'));
}

// TEMPSTATE of a master's row not (yet) found among the master's characteristics.
constexpr int NotInRefFile = 4;
// PROJECTS.REF_STATE of a project whose rows a propagation added or removed.
constexpr int RefChanged = 256;
constexpr int NewCharacteristicBit = 4;

const QStringList CharacteristicsKey{"PROJECTID", "CHARID", "LABEL"};

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
    QSqlQuery query =
        Run(Lines({"select PROJECTID", "from REFPROJECTS", "where REF_FILENAME = :REF_FILENAME"}),
            {{"REF_FILENAME", FileName}});
    while (query.next())
        List << QString::number(query.value(0).toInt());
}

void TTevDataModule::SetRefChanged(int ProjectId)
{
    Run(Lines({"update PROJECTS", "set REF_STATE = :REF_STATE", "where PROJECTID = :PROJECTID"}),
        {{"REF_STATE", RefChanged}, {"PROJECTID", ProjectId}});
}

int TTevDataModule::GetFreeCharId(int ProjectId, int CharId)
{
    QSqlQuery query = Run(Lines({"select MAX(CHARID) as MAX_CHARID,",
                                 " sum(case when CHARID = :CHARID then 1 else 0 end) CHARID_EXISTS",
                                 "from CHARACTERISTICS", "where PROJECTID = :PROJECTID"}),
                          {{"CHARID", CharId}, {"PROJECTID", ProjectId}});
    if (query.next() && !query.value(1).isNull() && query.value(1).toInt() == 1)
        return query.value(0).toInt() + 1;
    return CharId;
}

void TTevDataModule::UpdateDependingProjects(const QString &FileName, MemDataSet &CDSChars,
                                             bool SaveAll)
{
    // A full reference keeps only the project's id, name and group id; the normal one also keeps
    // the project's own group name, active flag, image, point and sequence name.
    const QString ignore =
        SaveAll ? QStringLiteral("PROJECTID;PROJECTNAME;GROUPID;")
                : QStringLiteral("PROJECTID;PROJECTNAME;GROUPID;GROUPNAME;ACTIVE;IMAGE;IMAGEX;"
                                 "IMAGEY;ACTIVE;SEQNAME");

    // The propagation is one transaction: a failure leaves every project as it was. The
    // depending projects' rows are locked first, in id order, as a save locks its project's row:
    // of a propagation and another client's save of one of these projects, whichever comes
    // second waits for the first and then fails as a conflict, before it changed anything.
    DbTransaction transaction(*FDatabase);
    QStringList depending;
    GetDependingProjects(FileName, depending);
    std::vector<std::pair<int, bool>> projects; // id, changed
    for (const QString &text : depending) {
        bool ok = false;
        const int id = text.toInt(&ok);
        if (ok)
            projects.emplace_back(id, false);
    }
    std::vector<int> lockOrder;
    for (const auto &[projectId, changed] : projects)
        lockOrder.push_back(projectId);
    std::sort(lockOrder.begin(), lockOrder.end());
    lockOrder.erase(std::unique(lockOrder.begin(), lockOrder.end()), lockOrder.end());
    for (int projectId : lockOrder)
        LockProjectRow(projectId);

    DisableControlsGuard controls(CDSChars);
    WalkAllRecords walk(CDSChars);
    walk.restoreIndex(QStringLiteral("IDX_GROUPID_CHARID"));

    Run(Lines({"update CHARACTERISTICS", "set TEMPSTATE = :NOTINREFFILE",
               "where REF_FILENAME = :REF_FILENAME"}),
        {{"NOTINREFFILE", NotInRefFile}, {"REF_FILENAME", FileName}});

    auto rows = OpenRowSet(
        Lines({"select * from CHARACTERISTICS", "where REF_FILENAME = :REF_FILENAME",
               "order by LABEL, PROJECTID"}),
        {{"REF_FILENAME", FileName}}, QStringLiteral("CHARACTERISTICS"), CharacteristicsKey);
    // The local index on LABEL;PROJECTID of the open result.
    QHash<QPair<QString, int>, int> byLabel;
    Field &rowLabel = rows->fieldByName(QStringLiteral("LABEL"));
    Field &rowProject = rows->fieldByName(QStringLiteral("PROJECTID"));
    for (rows->first(); !rows->eof(); rows->next())
        byLabel.insert({rowLabel.asString(), rowProject.asInteger()}, rows->recNo());

    walk.start(QStringLiteral("IDX_LABEL"));
    Field &label = CDSChars.fieldByName(QStringLiteral("LABEL"));
    Field &decimals = CDSChars.fieldByName(QStringLiteral("DECIMALS"));
    Field &charId = CDSChars.fieldByName(QStringLiteral("CHARID"));
    for (; !CDSChars.eof(); CDSChars.next()) {
        for (auto &[projectId, changed] : projects) {
            const auto found = byLabel.constFind({label.asString(), projectId});
            int bits = 0;
            if (found != byLabel.cend()) {
                rows->setRecNo(*found);
                rows->edit();
                MergeChangedFields(CDSChars, *rows, 0, bits, decimals.asInteger(), ignore);
                rows->post();
            } else {
                rows->append();
                MergeChangedFields(CDSChars, *rows, NewCharacteristicBit, bits,
                                   decimals.asInteger(), QString());
                rowProject.setAsInteger(projectId);
                rows->fieldByName(QStringLiteral("CHARID"))
                    .setAsInteger(GetFreeCharId(projectId, charId.asInteger()));
                rows->fieldByName(QStringLiteral("TEMPSTATE")).setAsInteger(0);
                rows->post();
                byLabel.insert({label.asString(), projectId}, rows->recNo());
                if (bits != 0)
                    changed = true;
            }
        }
    }
    for (const auto &[projectId, changed] : projects)
        if (changed)
            SetRefChanged(projectId);
    rows.reset();

    // Projects holding rows of the master that the master no longer has.
    QSqlQuery gone =
        Run(Lines({"select distinct PROJECTID", "from CHARACTERISTICS",
                   "where REF_FILENAME = :REF_FILENAME", " and TEMPSTATE = :NOTINREFFILE"}),
            {{"REF_FILENAME", FileName}, {"NOTINREFFILE", NotInRefFile}});
    std::vector<int> goneProjects;
    while (gone.next())
        goneProjects.push_back(gone.value(0).toInt());
    gone.finish();
    for (int projectId : goneProjects)
        SetRefChanged(projectId);
    Run(Lines({"delete from CHARACTERISTICS", "where REF_FILENAME = :REF_FILENAME",
               " and TEMPSTATE = :NOTINREFFILE"}),
        {{"REF_FILENAME", FileName}, {"NOTINREFFILE", NotInRefFile}});
    transaction.commit();
}

} // namespace tev
