#pragma once

// Small helpers shared by the benchmarks: medians and percentiles of timed samples.

#include <algorithm>
#include <chrono>
#include <vector>

namespace mirufon::bench
{

using BenchClock = std::chrono::steady_clock;

inline double MicrosecondsSince(BenchClock::time_point start)
{
    return std::chrono::duration<double, std::micro>(BenchClock::now() - start).count();
}

// The value at a fraction of the sorted samples (0.5 the median, 1.0 the worst).
inline double Percentile(std::vector<double> samples, double fraction)
{
    if (samples.empty())
    {
        return 0.0;
    }
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1));
    return samples[index];
}

} // namespace mirufon::bench
