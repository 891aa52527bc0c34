#pragma once
// Frames built node by node and written to disk, for the window tests.

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "model/files.h"
#include "model/structure.h"
#include "model/structure_data.h"
#include "support/tempdir.h"

namespace vanto::test {

struct Frame {
    std::vector<std::array<float, 3>> nodes;
    std::vector<std::array<float, 10>> bars;  // the ten bar fields
    std::vector<std::array<float, 6>> restraints;
    std::vector<std::array<float, 6>> loads;
    // Steel: IPE 300-like beam (type 1) and HEB 200-like column (type 2).
    std::vector<std::array<float, 9>> types = {
        {53.8f, 8360, 604, 20.1f, 2100000, 0.3f, 2600, 7850, 0.012f},
        {78.1f, 5696, 2003, 63.4f, 2100000, 0.3f, 2600, 7850, 0.012f},
    };

    int node(float x, float y, float z) {
        nodes.push_back({x, y, z});
        restraints.push_back(
            {FreeMarker, FreeMarker, FreeMarker, FreeMarker, FreeMarker, FreeMarker});
        loads.push_back({0, 0, 0, 0, 0, 0});
        return int(nodes.size());
    }
    void fix(int n) { restraints[std::size_t(n - 1)] = {0, 0, 0, 0, 0, 0}; }
    int bar(int origin, int end, int type, float verticalLoad = 0, float empOR = 1,
            float empEX = 1) {
        bars.push_back(
            {float(origin), float(end), float(type), 0, verticalLoad, 0, 0, 0, empOR, empEX});
        return int(bars.size());
    }

    void write(const std::filesystem::path& dir) const {
        std::filesystem::create_directories(dir);
        const int N = int(nodes.size()), B = int(bars.size());
        DiscoX::writeDatos(dir, N, B);
        DiscoX::writeCoordinates(dir, table(nodes), N);
        DiscoX::writeBars(dir, table(bars), B);
        DiscoX::writeNodeValues(dir, DiscoX::NodeFile::Restraints, table(restraints), N);
        DiscoX::writeNodeValues(dir, DiscoX::NodeFile::Loads, table(loads), N);
        BarTypes<float> t;
        t.count = int(types.size());
        t.values = table(types);
        t.names.assign(types.size() + 1, "HEB-200");
        t.names[0] = "";
        if (t.count > 0) t.names[1] = "IPE-300";
        DiscoX::writeTypes(dir, t);
    }

    template <std::size_t C>
    static Table<float> table(const std::vector<std::array<float, C>>& rows) {
        Table<float> t(int(rows.size()), int(C));
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (std::size_t c = 0; c < C; ++c)
                t(int(r + 1), int(c + 1)) = rows[r][c];
        return t;
    }
};

// The frame as a structure read back from its files.
inline Structure loaded(const Frame& f) {
    TempDir dir;
    f.write(dir.path());
    return loadStructure<float>(dir.path(), part::All);
}

// A portal frame in the XZ plane: columns of 4 m fixed at the base, a 6 m beam
// with 3 t/m, 2 t sideways at the head of the left column.
inline Frame portal() {
    Frame f;
    const int a = f.node(0, 0, 0), b = f.node(0, 0, 4), c = f.node(6, 0, 4), d = f.node(6, 0, 0);
    f.fix(a);
    f.fix(d);
    f.bar(a, b, 2);
    f.bar(b, c, 1, -3);
    f.bar(d, c, 2);
    f.loads[std::size_t(b - 1)][0] = 2;
    return f;
}

// One bar of type 1 under `verticalLoad`, from a node fixed at the origin to a
// free node at (x, y, z).
inline Frame cantilever(float x, float y, float z, float verticalLoad = 0) {
    Frame f;
    f.fix(f.node(0, 0, 0));
    f.node(x, y, z);
    f.bar(1, 2, 1, verticalLoad);
    return f;
}

// A bar pinned at both ends and free to turn about its axis: a mechanism.
inline Frame mechanism() {
    Frame f;
    const int a = f.node(0, 0, 0), b = f.node(4, 0, 0);
    f.fix(a);
    f.bar(a, b, 1, -1, 0, 0);
    return f;
}

// A lattice of nx · ny · nz nodes 5 m × 6 m × 3 m apart, numbered with the
// height fastest (node ((i−1)·ny + (j−1))·nz + k): columns between levels,
// beams along X and Y on every floor with 2 t/m, the ground level fixed.
inline Frame lattice(int nx, int ny, int nz) {
    Frame f;
    for (int i = 1; i <= nx; ++i)
        for (int j = 1; j <= ny; ++j)
            for (int k = 1; k <= nz; ++k) {
                const int n = f.node(5.0f * float(i - 1), 6.0f * float(j - 1), 3.0f * float(k - 1));
                if (k == 1) f.fix(n);
                if (k > 1) f.bar(n - 1, n, 2);
                if (k > 1 && i > 1) f.bar(n - ny * nz, n, 1, -2);
                if (k > 1 && j > 1) f.bar(n - nz, n, 1, -2);
            }
    return f;
}

}  // namespace vanto::test
