#pragma once

#include "platform/script/scriptobject.h"
#include "platform/text/tstringlist.h"

namespace tev::script {

// The native side of a script's TStringList: the routine library's string list. Host adapters
// reach it with NativeCall::GetInputArgAsNative<StringListObject>(i).
class StringListObject : public NativeObject
{
public:
    tev::TStringList list;
};

} // namespace tev::script
