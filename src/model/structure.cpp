#include "model/structure.h"

#include <cstdlib>

namespace vanto {

std::int32_t ComputeHalfBandwidth(const Table<float>& bars, int barCount) {
    int m = 0;
    for (int b = 1; b <= barCount; ++b) {
        const int d = std::abs(itemNumber(bars(b, Origin)) - itemNumber(bars(b, End)));
        if (d > m) m = d;
    }
    return 6 * (m + 1);
}

std::filesystem::path structureDirectoryOf(const std::filesystem::path& workDirectory,
                                           const std::string& name) {
    return workDirectory / ("-" + name);
}

}  // namespace vanto
