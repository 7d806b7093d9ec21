#pragma once

#include <QString>

// Constants that the database module, the application object and the settings dialog share.
namespace tev {

// Kind of database; stored as its ordinal in integer text.
enum class TTevDBType { dbtEmbedded = 0, dbtClientServer = 1 };

// How the sequence folder moved (result of GetDirectoryChangeMode).
enum class TDirectoryChangeMode {
    dcmNoChange = 0,      // old and new folder are the same text
    dcmSubDirAdded = 1,   // the new folder lies inside the old one
    dcmSubDirRemoved = 2, // the old folder lies inside the new one
    dcmTopDirChanged = 3, // kept for the ordinals; GetDirectoryChangeMode never gives it
    dcmOther = 4,         // the folders are unrelated
};

// Classifies a move of the sequence folder from OldDir to NewDir. The texts are compared exactly
// (with case). When one folder lies inside the other, SubDir receives the part that the longer
// one adds, with its leading "/" (e.g. "/Work"); otherwise SubDir is left untouched. A folder
// lies inside another only at a path delimiter: /x/Seq2 is not inside /x/Seq, so stored file
// names are never rewritten for a folder that merely shares a prefix.
TDirectoryChangeMode GetDirectoryChangeMode(const QString &OldDir, const QString &NewDir,
                                            QString &SubDir);

// The change bit of a characteristic column code 0..16 (codes 2-6: 128; 7-11 and 15: 16;
// 12: 64; 16: 32; every other code: 0).
int ColumnChangeFlag(int Code);

} // namespace tev
