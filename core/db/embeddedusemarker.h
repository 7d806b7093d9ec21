#pragma once

#include <QString>

namespace tev {

// Tells whether a process of ours ended without closing an embedded database file: a marker
// file beside it ("Tevora.fdb.open") says "open" while any process of ours has the database
// open, and is emptied by the last one that closes it. The engine keeps no such mark of its own.
//
// Every process that uses the file holds a lock on the marker, which the system drops when the
// process ends, however it ends. The first process to open the file holds it alone and finds out
// whether the marker still says "open" from a process that is gone; a process that comes while
// another one has the file open waits until that one holds it shared, so it never opens a file
// that is being mended.
//
// A marker that cannot be made (a folder without write access) tells nothing: the database is
// opened without it.
class EmbeddedUseMarker
{
public:
    explicit EmbeddedUseMarker(const QString &databaseFile);
    ~EmbeddedUseMarker();
    EmbeddedUseMarker(const EmbeddedUseMarker &) = delete;
    EmbeddedUseMarker &operator=(const EmbeddedUseMarker &) = delete;

    // Whether a process of ours ended with the file open, and this one holds the file alone.
    bool uncleanEnd() const { return m_uncleanEnd; }
    // Marks the file open and lets other processes of ours open it too; call before opening it.
    void markOpen();

    static QString markerFile(const QString &databaseFile);

private:
    int m_fd = -1;
    bool m_uncleanEnd = false;
};

} // namespace tev
