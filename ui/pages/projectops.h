#pragma once

// The order, group and file-name operations of the project that the pages call, in one place.
// They are reached through the project's meta-object, by name, so that the pages work with a
// project that offers them and do nothing with one that does not (yet).

#include <QString>
#include <QtGlobal>

namespace tev {

class TTevProject;

namespace ProjectOps {

QString GetDistinctCharFieldValues(TTevProject &Project, const QString &AFieldName);
void SetCharFilter(TTevProject &Project, const QString &AFilter);
void MoveCharacteristic(TTevProject &Project, bool Up);
void MoveGroup(TTevProject &Project, bool Up);
void RenameGroup(TTevProject &Project, const QString &OldGroup, const QString &NewGroup);
// 0 done, 1 no current characteristic, 2 file name not valid.
quint32 ChangeGroupImage(TTevProject &Project, const QString &AGroupName, const QString &AFileName);
void ToggleSelectedChar(TTevProject &Project);
bool ValidDependsFileName(TTevProject &Project, const QString &AFileName);
void Save(TTevProject &Project);

} // namespace ProjectOps

} // namespace tev
