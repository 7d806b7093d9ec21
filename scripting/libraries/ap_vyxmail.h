#pragma once

// The script library "VYXMail": the SSL and TLS name routines, Simple MAPI mail, the constant
// DefaultSSLVersion and the mail component TvyxEMail, which scripts create, fill and send.

#include <QString>

#include "platform/script/scriptlibrary.h"

namespace tev::scripting {

class TatVYXMailLibrary : public script::ScriptLibrary
{
public:
    using ScriptLibrary::ScriptLibrary;
    void Init() override;
    static QString LibraryName() { return QStringLiteral("VYXMail"); }
};

// Adds "VYXMail" to the engine's library list for loading by name; once per process.
void RegisterVYXMailLibrary();

} // namespace tev::scripting
