#pragma once

// The script library "VYXWin": the window placement, picture and shell routines.

#include <QString>
#include <memory>

#include "core/picture/picture.h"
#include "platform/script/scriptlibrary.h"

namespace tev::scripting {

class TatVYXWinLibrary : public script::ScriptLibrary
{
public:
    using ScriptLibrary::ScriptLibrary;
    void Init() override;
    static QString LibraryName() { return QStringLiteral("VYXWin"); }
};

// Adds "VYXWin" to the engine's library list for loading by name; once per process.
void RegisterVYXWinLibrary();

// The native side of a picture a script holds. Pictures are no Qt objects, so a host hands one
// to a script as an object of this kind, sharing it: what GraphicToBitmap does to it the host
// sees.
class TPictureObject : public script::NativeObject
{
public:
    explicit TPictureObject(std::shared_ptr<TPicture> picture)
        : picture(std::move(picture))
    {}
    std::shared_ptr<TPicture> picture;
};

} // namespace tev::scripting
