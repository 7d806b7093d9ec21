#pragma once

#include <QString>

#include "platform/text/tencoding.h"

namespace tev {

// The encoding that a setting names: a Windows code page number ("1252", "850", "65001") or an
// encoding name ("utf-8", "iso-8859-1"). UTF-8 for the empty text, for a code page or a name
// that is not supported, and on any other failure; never raises.
TEncoding::Ptr GetEncodingByName(const QString &AEncodingName);

} // namespace tev
