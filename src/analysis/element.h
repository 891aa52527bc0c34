#pragma once
// Bar geometry, local axes and element stiffness.
//
// Local axes (model/geometry.h): x runs from the lower-numbered node i to the
// higher-numbered j. The fixity coefficients stay with their ends of the bar
// record: EmpOR is α, EmpEX is β, whatever the node order.
//
// Stiffness units: t and m (areas cm², inertias cm⁴, moduli kg/cm² converted).
// End degrees of freedom: translation x, y, z, rotation x, y, z.

#include <array>
#include <vector>

#include "model/arrays.h"
#include "model/geometry.h"

namespace vanto::analysis {

using Mat6 = std::array<std::array<double, 6>, 6>;

struct BarFrame {
    int i = 0, j = 0;  // node numbers, i < j
    double dx = 0, dy = 0, dz = 0;
    double L = 0;
    std::array<Vec3, 3> axes{};  // λ: rows are local x, y, z
};

// Geometry of bar `bar`. Coordinates (node, axis), in m.
BarFrame barFrame(const Table<float>& bars, int bar, const Table<double>& xyz);

// The three local 6×6 blocks Kii, Kij (row at i, column at j) and Kjj.
struct LocalBlocks {
    Mat6 ii{}, ij{}, jj{};
};
// type: the bar type's values, fields 1..9 (A, InerZ, InerY, MTors, MY, mu, ...).
LocalBlocks localStiffness(const double* type, double L, double alpha, double beta);

// Global blocks Gii, Gij, Gjj = Tᵀ·K·T, T = diag(λ, λ).
LocalBlocks toGlobal(const LocalBlocks& local, const std::array<Vec3, 3>& axes);

}  // namespace vanto::analysis
