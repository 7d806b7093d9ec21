#include "core/db/statementwatch.h"

#include "core/db/connectionstate.h"

#include <QSqlDriver>
#include <QVariant>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include <ibase.h>

namespace tev {

namespace {

using Clock = std::chrono::steady_clock;

class Watchdog
{
public:
    static Watchdog &instance()
    {
        static Watchdog watchdog;
        return watchdog;
    }

    // remote: a server connection, whose attachment is aborted when the cancel goes unanswered.
    quint64 arm(isc_db_handle handle, Clock::time_point deadline, bool remote)
    {
        std::lock_guard lock(m_mutex);
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
        const quint64 id = m_next++;
        m_entries.emplace(id, Entry{handle, deadline, remote, Stage::Armed});
        // Calls come and go by the thousand; the thread is woken only when it would sleep past
        // the new deadline.
        if (deadline < m_wakeAt)
            m_wake.notify_one();
        return id;
    }

    // Removes the entry; true when it had fired. A cancel or abort under way is finished first,
    // since it runs under the same lock: the handle is never touched after the call returned.
    bool disarm(quint64 id)
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_entries.find(id);
        if (it == m_entries.end())
            return false;
        const bool fired = it->second.stage != Stage::Armed;
        m_entries.erase(it);
        return fired;
    }

    ~Watchdog()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
            m_wake.notify_one();
        }
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    enum class Stage { Armed, Cancelled, Aborted };

    struct Entry
    {
        isc_db_handle handle;
        Clock::time_point deadline;
        bool remote;
        Stage stage;
    };

    Watchdog() = default;

    static bool pending(const Entry &entry)
    {
        return entry.stage == Stage::Armed || (entry.stage == Stage::Cancelled && entry.remote);
    }

    void run()
    {
        std::unique_lock lock(m_mutex);
        while (!m_stop) {
            Entry *next = nullptr;
            for (auto &[id, entry] : m_entries)
                if (pending(entry) && (!next || entry.deadline < next->deadline))
                    next = &entry;
            if (!next) {
                m_wakeAt = Clock::time_point::max();
                m_wake.wait(lock);
                continue;
            }
            if (Clock::now() < next->deadline) {
                m_wakeAt = next->deadline;
                m_wake.wait_until(lock, m_wakeAt);
                continue;
            }
            ISC_STATUS_ARRAY status{};
            isc_db_handle handle = next->handle;
            if (next->stage == Stage::Armed) {
                next->stage = Stage::Cancelled;
                next->deadline += std::chrono::seconds(StatementWatch::AbortGraceSeconds);
                fb_cancel_operation(status, &handle, fb_cancel_raise);
            } else {
                // The server has not answered the cancel: give up the attachment without it.
                next->stage = Stage::Aborted;
                fb_cancel_operation(status, &handle, fb_cancel_abort);
            }
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::map<quint64, Entry> m_entries;
    quint64 m_next = 1;
    Clock::time_point m_wakeAt = Clock::time_point::max();
    bool m_stop = false;
    std::thread m_thread;
};

isc_db_handle FirebirdHandle(const QSqlDatabase &db)
{
    if (db.driverName() != QLatin1String("QIBASE") || !db.driver())
        return 0;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || handle.metaType() != QMetaType::fromType<isc_db_handle>())
        return 0;
    return *static_cast<const isc_db_handle *>(handle.constData());
}

} // namespace

StatementWatch::StatementWatch(const QSqlDatabase &db)
{
    const ConnectionState *state = ConnectionState::of(db);
    if (!state || state->lockWaitSeconds() <= 0)
        return;
    const isc_db_handle handle = FirebirdHandle(db);
    if (handle == 0)
        return;
    m_id = Watchdog::instance().arm(handle,
                                    Clock::now() + std::chrono::seconds(state->lockWaitSeconds()),
                                    !db.hostName().isEmpty());
}

StatementWatch::~StatementWatch()
{
    finish();
}

bool StatementWatch::finish()
{
    if (m_id != 0) {
        m_fired = Watchdog::instance().disarm(m_id);
        m_id = 0;
    }
    return m_fired;
}

} // namespace tev
