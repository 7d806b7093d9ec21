#pragma once

// Scope guards of the project's operations (internal to core/project).

#include "core/project/tevproject.h"
#include "platform/dataset/memdataset.h"

#include <QLoggingCategory>

namespace tev {

Q_DECLARE_LOGGING_CATEGORY(lcProject)

// Sets the update flag for one operation and clears it on every exit. The flag has no nesting
// count: an inner operation clears it for its caller too, as the life cycle expects.
class TTevProject::UpdateScope
{
public:
    explicit UpdateScope(TTevProject &Project)
        : m_project(Project)
    {
        m_project.FUpdating = true;
    }
    ~UpdateScope() { m_project.FUpdating = false; }
    UpdateScope(const UpdateScope &) = delete;
    UpdateScope &operator=(const UpdateScope &) = delete;

private:
    TTevProject &m_project;
};

// The frame of the order and group operations: the characteristic dataset's controls stopped
// and the update flag set; at Restore (or at the end of the scope, after an error) the filter
// text and switch, the routine index and the current record (the first when it is gone) come
// back, TEMPID is null again everywhere, and the flag is cleared. The controls update again when
// the frame goes.
class TTevProject::OrderFrame
{
public:
    explicit OrderFrame(TTevProject &Project);
    ~OrderFrame();
    OrderFrame(const OrderFrame &) = delete;
    OrderFrame &operator=(const OrderFrame &) = delete;

    MemDataSet &chars() { return m_chars; }
    const QString &filter() const { return m_filter; }
    MemDataSet::Bookmark current() const { return m_current; }
    // Marks that TEMPID may hold scratch numbers that an error must clear.
    void usesTempIds() { m_tempIds = true; }
    void Restore();

private:
    TTevProject &m_project;
    MemDataSet &m_chars;
    DisableControlsGuard m_controls;
    QString m_filter;
    bool m_filtered;
    MemDataSet::Bookmark m_current;
    bool m_tempIds = false;
    bool m_restored = false;
};

// What the database held of the project at its last open or save: the project record and every
// characteristic, read from the database before this client's first write after it.
struct TTevProject::StoredCopy
{
    StoredCopy();
    MemDataSet Header;
    MemDataSet Chars;
};

} // namespace tev
