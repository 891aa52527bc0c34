#pragma once
// Regular lattices of beams and columns for the benchmarks: nx × ny × nz nodes,
// node n = ((i−1)·ny + (j−1))·nz + k (z fastest), bars along X, Y and Z in the
// lattice generator's order, base level fully fixed, every beam loaded.

#include <filesystem>

#include "model/files.h"

namespace vanto::bench {

struct Lattice {
    int nx, ny, nz;
    double ex = 5, ey = 5, ez = 3;
    int nodes() const { return nx * ny * nz; }
};

inline void writeLattice(const std::filesystem::path& dir, const Lattice& g) {
    const int N = g.nodes();
    const int maxBars = ((g.nx - 1) * g.ny + (g.ny - 1) * g.nx) * g.nz + g.nx * g.ny * (g.nz - 1);
    Table<float> xyz(N, 3), restraints(N, 6), loads(N, 6), bars(maxBars, BarFieldCount);
    int n = 0, b = 0;
    auto addBar = [&](int from, int to, bool beam) {
        ++b;
        bars(b, Origin) = float(from);
        bars(b, End) = float(to);
        bars(b, Type) = beam ? 1.0f : 2.0f;
        bars(b, VerticalLoad) = beam ? -2.0f : 0.0f;
        bars(b, EmpOR) = 1;
        bars(b, EmpEX) = 1;
    };
    for (int i = 1; i <= g.nx; ++i)
        for (int j = 1; j <= g.ny; ++j)
            for (int k = 1; k <= g.nz; ++k) {
                ++n;
                xyz(n, 1) = float(g.ex * (i - 1));
                xyz(n, 2) = float(g.ey * (j - 1));
                xyz(n, 3) = float(g.ez * (k - 1));
                for (int c = 1; c <= 6; ++c)
                    restraints(n, c) = k == 1 ? 0.0f : FreeMarker;
                if (i > 1) addBar(n - g.ny * g.nz, n, true);
                if (j > 1) addBar(n - g.nz, n, true);
                if (k > 1) addBar(n - 1, n, false);
            }
    DiscoX::writeDatos(dir, N, b);
    DiscoX::writeCoordinates(dir, xyz, N);
    DiscoX::writeBars(dir, bars, b);
    DiscoX::writeNodeValues(dir, DiscoX::NodeFile::Restraints, restraints, N);
    DiscoX::writeNodeValues(dir, DiscoX::NodeFile::Loads, loads, N);
    BarTypes<float> types;
    types.count = 2;
    types.values = Table<float>(2, TypeFieldCount);
    types.names = {"", "A42-IPE-----300", "A42-HEB-----300"};
    const float ipe[] = {0, 53.8f, 8360, 604, 20.1f, 2100000, 0.3f, 2600, 7850, 0.012f};
    const float heb[] = {0, 149.1f, 25166, 8563, 192, 2100000, 0.3f, 2600, 7850, 0.012f};
    for (int f = 1; f <= TypeFieldCount; ++f) {
        types.values(1, f) = ipe[f];
        types.values(2, f) = heb[f];
    }
    DiscoX::writeTypes(dir, types);
}

}  // namespace vanto::bench
