// The order and groups of the open sequence's characteristics: moves, group renames and
// pictures, the active flag, the renumbering that keeps the numbers dense, the filter and the
// distinct values of the filter lists.
//
// Routine order is GROUPID, then CHARID. The walks below collect bookmarks first and then edit
// the records, so that a record whose GROUPID or CHARID changes cannot be met twice or missed.

#include "core/lib/fieldroutines.h"
#include "core/lib/paths.h"
#include "core/project/changestate.h"
#include "core/project/dependencyfiles.h"
#include "core/project/projectscopes.h"
#include "platform/error.h"

#include <QFileInfo>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace tev {

namespace {

const QString kIdxGroupIdCharId = QStringLiteral("IDX_GROUPID_CHARID");
const QString kIdxLabel = QStringLiteral("IDX_LABEL");

// A text constant of a filter expression.
QString QuotedStr(const QString &Text)
{
    return QLatin1Char('\'') + QString(Text).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

// The records of the current view in the current order.
std::vector<MemDataSet::Bookmark> Bookmarks(MemDataSet &Chars)
{
    std::vector<MemDataSet::Bookmark> result;
    result.reserve(size_t(Chars.recordCount()));
    for (Chars.first(); !Chars.eof(); Chars.next())
        result.push_back(Chars.bookmark());
    return result;
}

QString NamePart(const QString &FileName)
{
    return FileName.mid(FileName.lastIndexOf(QLatin1Char('/')) + 1);
}

// Brings back the index, the filter switch and the current record of a dataset when the scope
// ends, also by an exception: a caller (a script too) keeps the view it had.
class ViewKeeper
{
public:
    explicit ViewKeeper(MemDataSet &DataSet)
        : m_dataSet(DataSet)
        , m_index(DataSet.indexName())
        , m_filtered(DataSet.filtered())
        , m_current(DataSet.bookmark())
    {}
    ~ViewKeeper()
    {
        try {
            m_dataSet.setIndexName(m_index);
            if (m_dataSet.filtered() != m_filtered)
                m_dataSet.setFiltered(m_filtered);
            if (m_dataSet.bookmarkValid(m_current))
                m_dataSet.gotoBookmark(m_current);
        } catch (const std::exception &e) {
            // The error that ended the scope, if any, wins.
            qCWarning(lcProject) << "Cannot restore the characteristics' view:" << e.what();
        }
    }
    ViewKeeper(const ViewKeeper &) = delete;
    ViewKeeper &operator=(const ViewKeeper &) = delete;

private:
    MemDataSet &m_dataSet;
    QString m_index;
    bool m_filtered;
    MemDataSet::Bookmark m_current;
};

} // namespace

TTevProject::OrderFrame::OrderFrame(TTevProject &Project)
    : m_project(Project)
    , m_chars(*Project.FCDSChars)
    , m_controls(m_chars)
    , m_filter(m_chars.filter())
    , m_filtered(m_chars.filtered())
    , m_current(m_chars.bookmark())
{
    m_project.FUpdating = true;
}

TTevProject::OrderFrame::~OrderFrame()
{
    try {
        Restore();
    } catch (const std::exception &e) {
        qCWarning(lcProject) << "Cannot restore the characteristics' view:" << e.what();
        m_project.FUpdating = false;
    }
}

void TTevProject::OrderFrame::Restore()
{
    if (m_restored)
        return;
    m_restored = true;
    if (m_chars.editing())
        m_chars.cancel();
    if (m_tempIds) {
        m_chars.setFiltered(false);
        Field &tempId = m_chars.fieldByName(QStringLiteral("TEMPID"));
        for (const MemDataSet::Bookmark b : Bookmarks(m_chars)) {
            m_chars.gotoBookmark(b);
            if (tempId.isNull())
                continue;
            m_chars.edit();
            tempId.clear();
            m_chars.post();
        }
    }
    m_chars.setFiltered(false);
    m_chars.setFilter(m_filter);
    m_chars.setFiltered(m_filtered);
    m_chars.setIndexName(kIdxGroupIdCharId);
    if (m_chars.bookmarkValid(m_current))
        m_chars.gotoBookmark(m_current);
    else
        m_chars.first();
    m_project.FUpdating = false;
}

void TTevProject::RenumberChars()
{
    RenumberCharsImpl(true);
}

void TTevProject::RenumberCharsImpl(bool AlwaysWrite)
{
    OrderFrame frame(*this);
    MemDataSet &ds = frame.chars();
    ds.setFiltered(false);
    ds.setFilter(QString());
    ds.setIndexName(kIdxGroupIdCharId);
    const std::vector<MemDataSet::Bookmark> order = Bookmarks(ds);
    Field &groupId = ds.fieldByName(QStringLiteral("GROUPID"));
    Field &groupName = ds.fieldByName(QStringLiteral("GROUPNAME"));
    Field &charId = ds.fieldByName(QStringLiteral("CHARID"));
    Field &tempId = ds.fieldByName(QStringLiteral("TEMPID"));
    Field &state = ds.fieldByName(QStringLiteral("STATE"));

    // Whether the database lacks something the records hold: a new number, or a record read
    // from the file that the database has no row for. The numbers are found first and only the
    // records whose numbers change are edited: a project loaded from the database mostly has
    // them already.
    bool changed = false;
    std::vector<int> groups(order.size());
    int g = 0;
    QString previous;
    for (size_t i = 0; i < order.size(); ++i) {
        ds.gotoBookmark(order[i]);
        const QString name = groupName.asString();
        if (i == 0)
            g = groupId.asInteger();
        else if (name != previous)
            ++g;
        previous = name;
        groups[i] = g;
        if (quint32(state.asInteger()) & ChangeStateBits::UnknownCharacteristics)
            changed = true;
    }
    for (size_t i = 0; i < order.size(); ++i) {
        ds.gotoBookmark(order[i]);
        const int id = int(i) + 1;
        const bool newGroup = groupId.isNull() || groupId.asInteger() != groups[i];
        const bool newNumber = charId.isNull() || charId.asInteger() != id;
        if (!newGroup && !newNumber && tempId.isNull())
            continue;
        changed = changed || newGroup || newNumber;
        ds.edit();
        if (newGroup)
            groupId.setAsInteger(groups[i]);
        if (newNumber)
            charId.setAsInteger(id);
        tempId.clear();
        ds.post();
    }
    if ((AlwaysWrite || changed) && FExistsInDatabase && FData && ProjectId() > 0)
        WriteStored(WriteKind::Automatic,
                    [&](TStoredStamp *Stamp) { FData->WriteProjectChars(ProjectId(), ds, Stamp); });
    frame.Restore();
}

void TTevProject::MoveCharacteristic(bool Up)
{
    MemDataSet &ds = *FCDSChars;
    if (ds.isEmpty())
        return;
    OrderFrame frame(*this);
    ds.setIndexName(kIdxGroupIdCharId);
    PostIfEditing(ds);
    Field &groupId = ds.fieldByName(QStringLiteral("GROUPID"));
    Field &groupName = ds.fieldByName(QStringLiteral("GROUPNAME"));
    Field &charId = ds.fieldByName(QStringLiteral("CHARID"));
    const MemDataSet::Bookmark self = ds.bookmark();
    const QString group = groupName.asString();
    const QVariant ownCharId = charId.value();
    if (Up)
        ds.prior();
    else
        ds.next();
    if (ds.bookmark() != self) {
        const QString otherGroup = groupName.asString();
        if (otherGroup != group) {
            // It leaves its group for the neighbour's, where its CHARID places it.
            const QVariant otherGroupId = groupId.value();
            ds.gotoBookmark(self);
            ds.edit();
            groupId.setValue(otherGroupId);
            groupName.setAsString(otherGroup);
            ds.post();
        } else {
            const QVariant otherCharId = charId.value();
            ds.edit();
            charId.setValue(ownCharId);
            ds.post();
            ds.gotoBookmark(self);
            ds.edit();
            charId.setValue(otherCharId);
            ds.post();
        }
        if (FExistsInDatabase && FData && ProjectId() > 0)
            WriteStored(WriteKind::Automatic, [&](TStoredStamp *Stamp) {
                FData->WriteProject(FRelativeFileName, *FCDSProject, ds,
                                    TTevDBUpdateMode::dbumSaveAll, Stamp);
            });
        MarkDatabaseOnlyChange();
    }
    frame.Restore();
}

void TTevProject::MoveGroup(bool Up)
{
    MemDataSet &ds = *FCDSChars;
    if (ds.isEmpty())
        return;
    PostIfEditing(ds);
    Field &groupId = ds.fieldByName(QStringLiteral("GROUPID"));
    Field &groupName = ds.fieldByName(QStringLiteral("GROUPNAME"));
    const int a = groupId.asInteger();
    const QString n = groupName.asString();
    {
        OrderFrame frame(*this);
        // The neighbour is the next GROUPID in routine order, not A plus or minus 1: a
        // characteristic moved into another group can leave a gap in the numbers.
        ds.setFiltered(false);
        bool found = false;
        int b = 0;
        for (ds.first(); !ds.eof(); ds.next()) {
            const int id = groupId.asInteger();
            if ((Up && id < a && (!found || id > b)) || (!Up && id > a && (!found || id < b))) {
                b = id;
                found = true;
            }
        }
        if (!found)
            return;
        ds.setFilter(QStringLiteral("(GROUPID = %1 ) or (GROUPID = %2)").arg(a).arg(b));
        ds.setFiltered(true);
        ds.setIndexName(kIdxLabel);
        for (const MemDataSet::Bookmark bm : Bookmarks(ds)) {
            ds.gotoBookmark(bm);
            ds.edit();
            if (groupName.asString() == n)
                groupId.setAsInteger(b);
            else if (groupId.asInteger() == b)
                groupId.setAsInteger(a);
            ds.post();
        }
        MarkDatabaseOnlyChange();
        frame.Restore();
    }
    RenumberChars();
}

void TTevProject::MoveFeatureToGroup(const QString &AGroup, const QString &AFeature,
                                     const QString &ANewGroup, int ANewGroupId)
{
    // Into its own group it would find the same characteristics for ever.
    if (AGroup == ANewGroup)
        return;
    MemDataSet &ds = *FCDSChars;
    PostIfEditing(ds);
    Field &groupId = ds.fieldByName(QStringLiteral("GROUPID"));
    Field &groupName = ds.fieldByName(QStringLiteral("GROUPNAME"));
    if (ANewGroupId == -1) {
        if (!ds.locate(QStringLiteral("GROUPNAME"), {ANewGroup}))
            return;
        ANewGroupId = groupId.asInteger();
    }
    DisableControlsGuard controls(ds);
    {
        OrderFrame frame(*this);
        bool moved = false;
        while (ds.locate(QStringLiteral("GROUPNAME;FEATURE"), {AGroup, AFeature})) {
            ds.edit();
            groupId.setAsInteger(ANewGroupId);
            groupName.setAsString(ANewGroup);
            ds.post();
            moved = true;
        }
        if (moved)
            MarkDatabaseOnlyChange();
        frame.Restore();
    }
    RenumberChars();
    ds.locate(QStringLiteral("GROUPNAME;FEATURE"), {ANewGroup, AFeature});
}

void TTevProject::ExchangeFeatures(const QString &AGroupName, const QString &AFeature1,
                                   const QString &AFeature2)
{
    MemDataSet &ds = *FCDSChars;
    PostIfEditing(ds);
    DisableControlsGuard controls(ds);
    {
        OrderFrame frame(*this);
        frame.usesTempIds();
        Field &groupId = ds.fieldByName(QStringLiteral("GROUPID"));
        Field &charId = ds.fieldByName(QStringLiteral("CHARID"));
        Field &tempId = ds.fieldByName(QStringLiteral("TEMPID"));
        ds.setIndexName(kIdxGroupIdCharId);
        auto run = [&](const QString &feature) {
            ds.setFilter(QStringLiteral("(GROUPNAME = %1) and (FEATURE = %2)")
                             .arg(QuotedStr(AGroupName), QuotedStr(feature)));
            ds.setFiltered(true);
            return Bookmarks(ds);
        };
        const std::vector<MemDataSet::Bookmark> run1 = run(AFeature1);
        const std::vector<MemDataSet::Bookmark> run2 = run(AFeature2);

        // The group's characteristics in routine order; the two runs must be two neighbouring
        // blocks of one group, or the new numbers would collide.
        ds.setFilter(QStringLiteral("GROUPNAME = %1").arg(QuotedStr(AGroupName)));
        const std::vector<MemDataSet::Bookmark> group = Bookmarks(ds);
        auto positions = [&](const std::vector<MemDataSet::Bookmark> &r, int &gid) {
            std::vector<size_t> result;
            for (const MemDataSet::Bookmark b : r) {
                result.push_back(size_t(std::find(group.begin(), group.end(), b) - group.begin()));
                ds.gotoBookmark(b);
                if (result.size() == 1 && gid == INT_MIN)
                    gid = groupId.asInteger();
                else if (groupId.asInteger() != gid)
                    gid = INT_MAX;
            }
            return result;
        };
        int gid = INT_MIN;
        const std::vector<size_t> p1 = positions(run1, gid);
        const std::vector<size_t> p2 = positions(run2, gid);
        auto contiguous = [](const std::vector<size_t> &p) {
            for (size_t i = 1; i < p.size(); ++i)
                if (p[i] != p[i - 1] + 1)
                    return false;
            return true;
        };
        const bool valid = AFeature1 != AFeature2 && !p1.empty() && !p2.empty() && gid != INT_MAX &&
                           contiguous(p1) && contiguous(p2) &&
                           (p1.back() + 1 == p2.front() || p2.back() + 1 == p1.front());
        if (!valid)
            throw Error(QStringLiteral("The points \"%1\" and \"%2\" of the group \"%3\" are not "
                                       "two neighbouring runs of characteristics; they are not "
                                       "exchanged.")
                            .arg(AFeature1, AFeature2, AGroupName));

        // The later run takes the first numbers of both, the earlier one the rest.
        std::vector<int> numbers;
        for (const auto *r : {&run1, &run2})
            for (const MemDataSet::Bookmark b : *r) {
                ds.gotoBookmark(b);
                numbers.push_back(charId.asInteger());
            }
        std::sort(numbers.begin(), numbers.end());
        std::vector<MemDataSet::Bookmark> newOrder = p1.front() < p2.front() ? run2 : run1;
        const auto &second = p1.front() < p2.front() ? run1 : run2;
        newOrder.insert(newOrder.end(), second.begin(), second.end());
        for (size_t i = 0; i < newOrder.size(); ++i) {
            ds.gotoBookmark(newOrder[i]);
            ds.edit();
            tempId.setAsInteger(numbers[i]);
            ds.post();
        }
        ds.setFilter(QStringLiteral("TEMPID > 0"));
        while (ds.recordCount() > 0) {
            ds.first();
            ds.edit();
            charId.setAsInteger(tempId.asInteger());
            tempId.clear();
            ds.post();
        }
        if (FExistsInDatabase && FData && ProjectId() > 0)
            WriteStored(WriteKind::Automatic, [&](TStoredStamp *Stamp) {
                FData->WriteProjectChars(ProjectId(), ds, Stamp);
            });
        MarkDatabaseOnlyChange();
        frame.Restore();
    }
    ds.locate(QStringLiteral("GROUPNAME;FEATURE"), {AGroupName, AFeature1});
}

void TTevProject::RenameGroup(const QString &OldGroup, const QString &NewGroup)
{
    MemDataSet &ds = *FCDSChars;
    if (ds.isEmpty())
        return;
    const int size = ds.fieldByName(QStringLiteral("GROUPNAME")).size();
    if (NewGroup.trimmed().isEmpty() || NewGroup.contains(QLatin1Char('\t')) ||
        NewGroup.contains(QLatin1Char('\r')) || NewGroup.contains(QLatin1Char('\n')) ||
        NewGroup.size() > size)
        throw Error(QStringLiteral("\"%1\" cannot name a group: a group name is not empty, holds "
                                   "no tab or line break and at most %2 characters.")
                        .arg(NewGroup.left(size + 20))
                        .arg(size));
    if (OldGroup == NewGroup)
        return;
    PostIfEditing(ds);
    {
        OrderFrame frame(*this);
        Field &groupId = ds.fieldByName(QStringLiteral("GROUPID"));
        Field &groupName = ds.fieldByName(QStringLiteral("GROUPNAME"));
        ds.setFiltered(false);
        ds.setIndexName(kIdxGroupIdCharId);
        // The old group's number is its first characteristic's, whatever record is current.
        if (!ds.locate(QStringLiteral("GROUPNAME"), {OldGroup}))
            return;
        int g = groupId.asInteger();
        // Renaming into an existing group joins it.
        if (ds.locate(QStringLiteral("GROUPNAME"), {NewGroup}))
            g = groupId.asInteger();
        ds.setIndexName(kIdxLabel);
        for (const MemDataSet::Bookmark b : Bookmarks(ds)) {
            ds.gotoBookmark(b);
            if (groupName.asString() != OldGroup)
                continue;
            ds.edit();
            groupName.setAsString(NewGroup);
            groupId.setAsInteger(g);
            ds.post();
        }
        MarkDatabaseOnlyChange();
        frame.Restore();
    }
    RenumberChars();
}

quint32 TTevProject::ChangeGroupImage(const QString &AGroupName, const QString &AFileName)
{
    Q_UNUSED(AGroupName); // the group is the current characteristic's, as the callers pass it
    MemDataSet &ds = *FCDSChars;
    if (ds.isEmpty())
        return 1;
    if (!ValidDependsFileName(AFileName))
        return 2;
    PostIfEditing(ds);
    const QString image = NamePart(AFileName);
    OrderFrame frame(*this);
    Field &imageField = ds.fieldByName(QStringLiteral("IMAGE"));
    const QString group = ds.fieldByName(QStringLiteral("GROUPNAME")).asString();
    ds.setFilter(QStringLiteral("GROUPNAME = ") + QuotedStr(group));
    ds.setFiltered(true);
    for (const MemDataSet::Bookmark b : Bookmarks(ds)) {
        ds.gotoBookmark(b);
        ds.edit();
        imageField.setAsString(image);
        SetCharParam(QStringLiteral("BMP_IMAGE"), image);
        ds.post();
    }
    if (FExistsInDatabase && FData && ProjectId() > 0)
        WriteStored(WriteKind::Automatic,
                    [&](TStoredStamp *Stamp) { FData->WriteProjectChars(ProjectId(), ds, Stamp); });
    MarkDatabaseOnlyChange();
    frame.Restore();
    return 0;
}

void TTevProject::ToggleSelectedChar()
{
    MemDataSet &ds = *FCDSChars;
    if (ds.isEmpty())
        return;
    try {
        EnsureEditState(ds);
        Field &active = ds.fieldByName(QStringLiteral("ACTIVE"));
        active.setAsInteger(std::abs(active.asInteger() - 1));
        if (FData && ProjectId() > 0)
            WriteStored(WriteKind::Automatic,
                        [&](TStoredStamp *Stamp) { FData->UpdateChar(ProjectId(), ds, Stamp); });
        PostIfEditing(ds);
    } catch (...) {
        if (ds.editing())
            ds.cancel();
        throw;
    }
    MarkDatabaseOnlyChange();
}

void TTevProject::SetCharFilter(const QString &AFilter)
{
    MemDataSet &ds = *FCDSChars;
    if (AFilter.isEmpty()) {
        ds.setFiltered(false);
        ds.setFilter(QString());
    } else {
        ds.setFilter(AFilter);
        ds.setFiltered(true);
    }
}

QString TTevProject::GetDistinctCharFieldValues(const QString &AFieldName)
{
    MemDataSet &ds = *FCDSChars;
    DisableControlsGuard controls(ds);
    ViewKeeper view(ds);
    Field &field = ds.fieldByName(AFieldName);
    ds.setIndexName(QStringLiteral("IDX_FILTER_") + AFieldName);
    ds.setFiltered(false);
    QString result;
    QString previous;
    bool first = true;
    for (ds.first(); !ds.eof(); ds.next()) {
        const QString value = field.asString();
        if (first || value != previous)
            result += value + QStringLiteral("\r\n");
        previous = value;
        first = false;
    }
    return result;
}

bool TTevProject::ValidDependsFileName(const QString &AFileName) const
{
    const QString full = PathIsRelative(AFileName) ? AddBackSlash(FRootDir) + AFileName : AFileName;
    return QFileInfo(full).isFile() && IsShortFileName(NamePart(AFileName));
}

} // namespace tev
