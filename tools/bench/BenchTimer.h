#pragma once

#include <algorithm>
#include <chrono>
#include <functional>

namespace garrison::bench {

inline double seconds(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best of several runs: the least disturbed by the rest of the machine.
inline double best(int runs, const std::function<void()> &work)
{
    double fastest = 1e9;
    for (int i = 0; i < runs; ++i)
        fastest = std::min(fastest, seconds(work));
    return fastest;
}

} // namespace garrison::bench
