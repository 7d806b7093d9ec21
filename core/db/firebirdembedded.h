#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace tev {

class EmbeddedUseMarker;

// Embedded Firebird: the engine runs inside our process from the private folder <root>/FB.
//
// The client library reads FIREBIRD, FIREBIRD_LOCK and FIREBIRD_TMP once, at its first call, so
// they are set before that call and cannot change later in the process. A lock folder or sort
// folder already given in the environment is kept: it is how a test, or an administrator, moves
// them. Otherwise they lie below the vendor home, which every process of this installation
// shares: two processes on one database file must share one lock folder.

// Sets the environment for the client library, once per process; later calls do nothing.
void PrepareFirebirdEnvironment(const QString &vendorHome);

// Whether PrepareFirebirdEnvironment has run in this process.
bool FirebirdEnvironmentPrepared();

// Creates an empty database file in UTF8 through the client API (Qt's driver cannot create one).
// Without a server the parent folder is created when missing. With a server ("host" or
// "host/port") the server creates the file on its machine, in a folder that must exist there.
// An existing file is never replaced. Throws tev::Error with the engine's message.
void CreateFirebirdDatabase(const QString &fileName, const QString &userName,
                            const QString &server = {}, const QString &password = {});

// What one validation of a database file found, as the engine counts it (the counts gfix -v
// prints).
struct FirebirdValidation
{
    int errors = 0;
    int warnings = 0;
    // The engine's summary, one line per kind ("Number of index page errors : 1").
    QStringList summary;

    bool clean() const { return errors == 0 && warnings == 0; }
};

// Validates every page and record of an embedded database file through the engine's service
// manager, without changing it. Validation needs the file to itself: it waits while another
// process has it open. Throws tev::Error when the service cannot run.
FirebirdValidation ValidateFirebirdDatabase(const QString &fileName, const QString &userName);

// What RepairFirebirdDatabase found and did.
struct FirebirdRepair
{
    FirebirdValidation found; // the first validation
    FirebirdValidation left;  // the last one
    int passes = 0;           // validations that were allowed to change the file
    bool swept = false;
    bool indexesRebuilt = false;
    bool mended = false;
};

// Mends an embedded database file after the program ended while it was open. A process killed
// while it writes leaves the file readable and its committed rows whole, but the engine's own
// validation can find pages and record versions that the unfinished writes left: pages taken
// from the free list and not yet used (orphans), data pages not yet entered in their table's
// list, record versions half removed by garbage collection. In this order, until a validation
// finds nothing: validations that may change the file (each enters, frees or re-marks what it
// can; an orphan is freed only by a pass that finds nothing else), a sweep (it finishes the
// garbage collection that was cut off), a rebuild of the indexes when index pages are flawed
// (validation mends none of them), and as a last resort the engine's mend, which makes
// what is still broken readable at the cost of the broken records. Throws tev::Error when the
// service cannot run.
FirebirdRepair RepairFirebirdDatabase(const QString &fileName, const QString &userName);

// Takes the use marker of an embedded database file before the file is opened (see
// EmbeddedUseMarker) and, when a process of ours ended with the file open, repairs the file first
// (RepairFirebirdDatabase). What was found and done goes to the log; a repair that cannot run is
// logged and the file opened all the same. Returns the marker, to be kept while the file is open.
std::unique_ptr<EmbeddedUseMarker> BeginEmbeddedUse(const QString &fileName,
                                                    const QString &userName);

} // namespace tev
