#pragma once
// Bar geometry, local axes and element stiffness.
//
// Local axes: x runs from the lower-numbered node i to the higher-numbered j.
// For a bar that is not vertical (|cz| < 0.999999) z0 is horizontal and y0
// points upwards in the vertical plane of the bar; for a vertical bar z0 is
// global X and y0 = (0, −sign(cz), 0). The section angle turns y0 and z0 about
// x. The fixity coefficients stay with their ends of the bar record: EmpOR is
// α, EmpEX is β, whatever the node order.
//
// Stiffness units: t and m (areas cm², inertias cm⁴, moduli kg/cm² converted).
// End degrees of freedom: translation x, y, z, rotation x, y, z.

#include <array>
#include <vector>

#include "model/arrays.h"

namespace vanto::analysis {

using Vec3 = std::array<double, 3>;
using Mat6 = std::array<std::array<double, 6>, 6>;

// The axis triad (rows x, y, z in global components) of a direction and a
// section angle in degrees; the rule every bar, the preview and the viewer use.
std::array<Vec3, 3> axesFor(double dx, double dy, double dz, double angleDegrees);

struct BarFrame {
    int i = 0, j = 0;  // node numbers, i < j
    double dx = 0, dy = 0, dz = 0;
    double L = 0;
    std::array<Vec3, 3> axes{};  // λ: rows are local x, y, z
};

// Geometry of bar `bar`. Coordinates flat, (axis−1)·N + node, in m.
BarFrame barFrame(const Table<float>& bars, int bar, const std::vector<double>& xyz, int nodeCount);

// The three local 6×6 blocks Kii, Kij (row at i, column at j) and Kjj.
struct LocalBlocks {
    Mat6 ii{}, ij{}, jj{};
};
// type: the bar type's values, fields 1..9 (A, InerZ, InerY, MTors, MY, mu, ...).
LocalBlocks localStiffness(const double* type, double L, double alpha, double beta);

// Global blocks Gii, Gij, Gjj = Tᵀ·K·T, T = diag(λ, λ).
LocalBlocks toGlobal(const LocalBlocks& local, const std::array<Vec3, 3>& axes);

}  // namespace vanto::analysis
