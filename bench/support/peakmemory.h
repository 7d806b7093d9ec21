#pragma once

// The process's memory as the kernel counts it, for benchmarks that hold a peak against a limit.

namespace tevbench {

// A line of /proc/self/status in bytes ("VmRSS:" what the process holds now, "VmHWM:" its peak
// since the last reset); -1 when it cannot be read.
long long StatusBytes(const char *key);

// Gives freed heap back to the system and sets the peak to what the process holds now.
void ResetPeak();

} // namespace tevbench
