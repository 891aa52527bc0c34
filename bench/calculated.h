#pragma once
// What the benchmarks that calculate a lattice before timing share: an
// observer that shows nothing and the seconds since a moment.

#include <chrono>

#include "analysis/calculation.h"

namespace vanto::bench {

using Clock = std::chrono::steady_clock;

class Quiet : public analysis::CalcObserver {
  public:
    void report(int, long long, long long) override {}
};

inline double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

}  // namespace vanto::bench
