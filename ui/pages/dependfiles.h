#pragma once

// Files that go with a sequence (pictures, the format and user-field files) live in the sequence's
// own folder and are named there by their bare names; a gauge gets them copied beside the
// sequence. These routines keep a picked or typed name to that rule.

#include <QString>

namespace tev {

// The message for a name that a sequence cannot depend on.
QString InvalidFileNameMessage();

struct TProjectFile
{
    bool Ok = false;
    QString BareName; // the name without folder, as the project stores it
    QString Message;  // why it was refused
};

// Brings a picked file into the project folder: a file in that folder is taken as it is; a file
// elsewhere is copied there when the folder holds no file of that name, taken without a copy
// when the folder's file of that name has the same contents, and refused when it differs (the
// project would otherwise show and ship another picture than the one picked). A picked link is
// copied only when it leads to a file below Root, the sequence root (see CopyFileSafely).
TProjectFile TakeIntoProjectFolder(const QString &Picked, const QString &ProjectDir,
                                   const QString &Root);

// Whether a typed name is a bare file name: not empty, no folder part, not "." or "..".
bool IsBareFileName(const QString &Name);

} // namespace tev
