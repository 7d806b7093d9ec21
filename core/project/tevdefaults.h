#pragma once

#include <QString>

namespace tev {

// The project's defaults; the application object fills all but Decimals from the settings.
struct TTevDefaults
{
    int Decimals = 2;   // "$NDECIMALS" of a new work sequence
    QString FormatFile; // "$FORMAT" of a file whose header lacks it
    bool FormatPerProject = false;
    QString PickListFile; // "$PICKLIST" of a file whose header lacks it
    bool PickListPerProject = false;
    int Units = 1; // Units when "$UNITS" is empty or not a number
};

} // namespace tev
