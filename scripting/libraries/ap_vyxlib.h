#pragma once

// The script library "VYXLib": the routine library's text, list, number, conversion, path,
// version and colour routines under their own names, the colour constants, and the record
// TProductVersion.

#include <QString>

#include "core/lib/versions.h"
#include "platform/script/scriptlibrary.h"
#include "platform/text/tencoding.h"

namespace tev::scripting {

class TatVYXLibLibrary : public script::ScriptLibrary
{
public:
    using ScriptLibrary::ScriptLibrary;
    void Init() override;
    static QString LibraryName() { return QStringLiteral("VYXLib"); }
};

// Adds "VYXLib" to the engine's library list for loading by name; once per process.
void RegisterVYXLibLibrary();

// The object form of a TProductVersion in scripts: the four fields as read-write properties.
// Every routine that returns a version makes a new one, owned by the script.
class TProductVersionWrapper : public script::NativeObject
{
public:
    explicit TProductVersionWrapper(const TProductVersion &record = {})
        : m_record(record)
    {}
    TProductVersion ObjToRec() const { return m_record; }
    TProductVersion &record() { return m_record; }

private:
    TProductVersion m_record;
};

// The object GetEncodingByName returns: the encoding, shared with whoever else uses it.
class TEncodingObject : public script::NativeObject
{
public:
    explicit TEncodingObject(TEncoding::Ptr encoding)
        : encoding(std::move(encoding))
    {}
    TEncoding::Ptr encoding;
};

} // namespace tev::scripting
