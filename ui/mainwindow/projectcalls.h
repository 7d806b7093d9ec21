#pragma once

// The life-cycle operations of the project as the window calls them. They are reached through
// the meta-object system until the project declares them; then these become direct calls.

#include "core/project/tevproject.h"

#include <QMetaObject>

namespace tev::projectcalls {

inline void Close(TTevProject &project)
{
    QMetaObject::invokeMethod(&project, "Close");
}

inline void OpenFile(TTevProject &project, const QString &fileName)
{
    QMetaObject::invokeMethod(&project, "OpenFile", Q_ARG(QString, fileName));
}

inline void Save(TTevProject &project)
{
    QMetaObject::invokeMethod(&project, "Save");
}

inline void RecoverDirectory(TTevProject &project, const QString &path)
{
    QMetaObject::invokeMethod(&project, "RecoverDirectory", Q_ARG(QString, path));
}

} // namespace tev::projectcalls
