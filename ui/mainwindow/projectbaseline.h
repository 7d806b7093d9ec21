#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tev {

class TTevProject;

// What the open project looked like right after it was read, so that the save question can tell
// the user's changes from the marks that reading itself leaves: a work sequence whose stored
// header differs from its file's opens as "Header changed", and asking to save it every time the
// selection moves would train users to answer without reading.
//
// A project counts as changed since then when its change state differs, or when the values of
// its record or of its visible characteristics do (a header edit keeps "Header changed" as it
// was). A dataset in the middle of an edit always counts as changed.
class TProjectBaseline
{
public:
    void Take(TTevProject &Project);
    void Clear() { m_taken = false; }
    bool Taken() const { return m_taken; }
    bool ChangedSince(TTevProject &Project) const;

    // A digest of the project record and of the characteristics the filter shows, in order.
    static QByteArray Fingerprint(TTevProject &Project);

private:
    bool m_taken = false;
    quint32 m_state = 0;
    QByteArray m_fingerprint;
};

} // namespace tev
