#pragma once

// Measuring an operation beside its limit on a shared, noisy machine.
//
// Blocks of runs of one operation followed by blocks of its limit let a burst of load from other
// processes fall on one side only, so the ratio says more about the machine than about the code.
// Here the operations run in turn, one round per benchmark iteration, and each is summed up by its
// median, which a few disturbed rounds do not move. The ratio of the first operation's median to
// the last one's is the figure to hold against a limit.

#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

namespace tevbench {

struct TimedStep
{
    std::string name;              // counter prefix: "<name>_ms" is reported
    std::function<void()> run;     // timed
    std::function<void()> prepare; // untimed, before each run; may be empty
};

// Runs every step once per iteration of `state`, in the given order, and reports each step's
// median wall time in milliseconds as "<name>_ms", and "ratio": the first step's median over the
// last step's (the limit). With more than two steps, each step between them is also held against
// the first as "ratio_<name>" (the first's median over that step's). The time the library
// reports per iteration is the first step's (manual time, so call `->UseManualTime()` on the
// registration).
void RunAlternately(benchmark::State &state, const std::vector<TimedStep> &steps);

// The median of the samples (the mean of the middle two for an even count); 0 for none.
double Median(std::vector<double> samples);

} // namespace tevbench
