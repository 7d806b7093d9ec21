#pragma once

#include <QString>
#include <functional>

namespace tev {

// A progress callback: ACaption names the step just done, BarIndex the bar to step (-1 the
// newest). The result says whether to go on; the progress dialog's StepProgress has this shape.
using TProgressStepItFunc = std::function<bool(const QString &ACaption, int BarIndex)>;

} // namespace tev
