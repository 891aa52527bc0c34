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
    d.reset(part::Geometry | part::Restraints | part::Loads);
    for (const auto& [origin, end] : bars)
        d.addBar(float(origin), float(end));
    for (int n = 1; n <= nodeCount; ++n) {
        for (int a = 1; a <= 3; ++a)
            d.coordinates(n, a) = 10 * n + a;
        d.loads(n, 3) = -n;
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
    for (int m = 0; m < n; ++m) {
        d.coordinates(m + 1, 1) = 5.0 * (m / (ny * nz));
        d.coordinates(m + 1, 2) = 6.0 * (m / nz % ny);
        d.coordinates(m + 1, 3) = 3.0 * (m % nz);
    }
    return d;
}

}  // namespace vanto::test
