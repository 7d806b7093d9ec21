#pragma once

#include <QHash>
#include <QString>
#include <vector>

namespace tev {

// New contents for several files, written beside them under temporary names and put in place
// only once the work they belong to has succeeded (a database transaction committed): a failure
// before that leaves every file as it was. A staged file replaces its file in one step (a
// rename) and takes the permissions of the file it replaces. A link is followed, as
// SaveFileWhole follows it: its target is replaced. Staged files not put in place are removed
// when the object ends.
class StagedFiles
{
public:
    StagedFiles() = default;
    ~StagedFiles();
    StagedFiles(const StagedFiles &) = delete;
    StagedFiles &operator=(const StagedFiles &) = delete;

    // The name to write fileName's new content under, in the same folder; fileName is replaced
    // by it in PutInPlace.
    QString Stage(const QString &fileName);
    // Puts the content staged for fileName (as given to Stage) in place. Throws tev::Error
    // "Cannot write file "<name>": <cause>" when it cannot; the file is then unchanged.
    void PutInPlace(const QString &fileName);

private:
    std::vector<QString> m_temporaries; // emptied once put in place
    QHash<QString, size_t> m_byName;    // the last staged for each name
};

} // namespace tev
