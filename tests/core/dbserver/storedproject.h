#pragma once

#include <QSet>
#include <QSqlDatabase>
#include <QString>

namespace tev {
class TTevDataModule;
}

namespace tev::test {

// What the database holds of one project, read in one statement (so from one snapshot): its
// project row and its characteristic rows. The test clients write every row of a save with one
// marker (NOMINAL, and "MARKER=<n>" in the project's PARAMS), so one save's rows share it.
struct StoredProject
{
    bool exists = false;
    int rows = 0;
    int distinctLabels = 0;
    // The markers of the project row and of every characteristic row.
    QSet<int> markers;

    // Every row of one save, none missing, none twice.
    bool whole(int expectedRows) const
    {
        return exists && rows == expectedRows && distinctLabels == rows && markers.size() == 1;
    }
    int marker() const { return markers.size() == 1 ? *markers.begin() : -1; }
};

StoredProject ReadStoredProject(const QSqlDatabase &db, const QString &fileName);

// The characteristic rows of one project that came from one master, read in one statement.
StoredProject ReadMasterRows(const QSqlDatabase &db, const QString &fileName,
                             const QString &masterFileName);

// Stores a work project built on one master: its name is its file name, its rows rows of the
// master (labels L00001.., NOMINAL 1), and the master is its reference.
void StoreWorkOfMaster(TTevDataModule &data, const QString &fileName, const QString &masterFileName,
                       int rows);

} // namespace tev::test
