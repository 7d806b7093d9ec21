#include "bench/support/alternating.h"

#include <algorithm>
#include <chrono>

namespace tevbench {

double Median(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    const auto mid = samples.begin() + std::ptrdiff_t(samples.size() / 2);
    std::nth_element(samples.begin(), mid, samples.end());
    if (samples.size() % 2 == 1)
        return *mid;
    const double upper = *mid;
    const double lower = *std::max_element(samples.begin(), mid);
    return (lower + upper) / 2;
}

void RunAlternately(benchmark::State &state, const std::vector<TimedStep> &steps)
{
    using Clock = std::chrono::steady_clock;
    std::vector<std::vector<double>> seconds(steps.size());
    for (auto _ : state) {
        double first = 0;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            if (steps[i].prepare)
                steps[i].prepare();
            const auto start = Clock::now();
            steps[i].run();
            const double s = std::chrono::duration<double>(Clock::now() - start).count();
            seconds[i].push_back(s);
            if (i == 0)
                first = s;
        }
        state.SetIterationTime(first);
    }
    if (steps.empty())
        return;
    for (std::size_t i = 0; i < steps.size(); ++i)
        state.counters[steps[i].name + "_ms"] = Median(seconds[i]) * 1000;
    const double first = Median(seconds.front());
    const double limit = Median(seconds.back());
    if (limit > 0)
        state.counters["ratio"] = first / limit;
    for (std::size_t i = 1; i + 1 < steps.size(); ++i) {
        const double other = Median(seconds[i]);
        if (other > 0)
            state.counters["ratio_" + steps[i].name] = first / other;
    }
}

} // namespace tevbench
