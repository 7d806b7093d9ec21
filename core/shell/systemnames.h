#pragma once

#include <QString>

namespace tev {

// The longest computer name the program hands out, as a NetBIOS name is.
inline constexpr int kMaxComputerNameLength = 15;

// The computer's network name (the host name), cut to kMaxComputerNameLength characters; the
// empty text when the system cannot supply it.
QString GetComputerName();

// The login name of the user the program runs as, in full; the empty text when the system
// cannot supply it.
QString GetWindowsUserName();

} // namespace tev
