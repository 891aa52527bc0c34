#pragma once
// Structures built in memory for the renumbering tests and benchmark.

#include <vector>

#include "model/structure.h"
#include "renumber/renumbering.h"

namespace vanto::test {

// A structure with the given bars (origin, end), default bar fields and
// distinct coordinates, restraints and loads per node so that moves show.
inline renumber::StructureData structureWith(int nodeCount,
                                             const std::vector<std::pair<int, int>>& bars) {
    renumber::StructureData d;
    d.nodeCount = nodeCount;
    d.barCount = int(bars.size());
    d.bars = Table<float>(d.barCount, BarFieldCount);
    for (int b = 1; b <= d.barCount; ++b) {
        d.bars(b, Origin) = float(bars[b - 1].first);
        d.bars(b, End) = float(bars[b - 1].second);
        d.bars(b, Type) = 1;
        d.bars(b, EmpOR) = 1;
        d.bars(b, EmpEX) = 1;
    }
    d.coordinates = Table<float>(nodeCount, 3);
    d.restraints.assign(6 * std::size_t(nodeCount) + 1, 1234.0);
    d.loads.assign(6 * std::size_t(nodeCount) + 1, 0.0);
    for (int n = 1; n <= nodeCount; ++n) {
        for (int a = 1; a <= 3; ++a)
            d.coordinates(n, a) = float(10 * n + a);
        d.loads[6 * std::size_t(n - 1) + 3] = -double(n);
    }
    return d;
}

// The lattice generator's grid of nx · ny · nz nodes, node
// ((i−1)·ny + (j−1))·nz + k, with its beams and columns in the generator's
// order, foundation beams included.
inline renumber::StructureData lattice(int nx, int ny, int nz) {
    std::vector<std::pair<int, int>> bars;
    int n = 0;
    for (int i = 1; i <= nx; ++i)
        for (int j = 1; j <= ny; ++j)
            for (int k = 1; k <= nz; ++k) {
                ++n;
                if (i > 1) bars.emplace_back(n - ny * nz, n);
                if (j > 1) bars.emplace_back(n - nz, n);
                if (k > 1) bars.emplace_back(n - 1, n);
            }
    renumber::StructureData d = structureWith(n, bars);
    n = 0;
    for (int i = 1; i <= nx; ++i)
        for (int j = 1; j <= ny; ++j)
            for (int k = 1; k <= nz; ++k) {
                ++n;
                d.coordinates(n, 1) = 5.0f * float(i - 1);
                d.coordinates(n, 2) = 6.0f * float(j - 1);
                d.coordinates(n, 3) = 3.0f * float(k - 1);
            }
    return d;
}

}  // namespace vanto::test
