#include "analysis/bar_diagram.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vanto::analysis {
namespace {

// A few roundings of values of order one.
constexpr double Exact = 1e-12;
constexpr double L = 8, q = 3, P = 1.5, EIz = 2100, EIy = 1050, turn = 0.002;
constexpr double L2 = L * L, L3 = L2 * L, L4 = L3 * L;

BarDiagramInput bar(double fixity, std::array<double, 6> Si) {
    BarDiagramInput b;
    b.L = L;
    b.alpha = b.beta = fixity;
    b.EIz = EIz;
    b.EIy = EIy;
    b.Si = Si;
    return b;
}

TEST(DiagramValues, HandResultsAlongTheBarAndAtItsEnds) {
    // Hand-made bars: loads, end forces at i from statics, end displacements.
    // Simply supported, loaded along −y or −z.
    BarDiagramInput alongY = bar(0, {0, q * L / 2}), alongZ = bar(0, {0, 0, q * L / 2});
    alongY.qy = alongZ.qz = -q;
    // Fixed at i, a load P down along y at the free end j, which moves and turns.
    BarDiagramInput cantilever = bar(1, {0, P, 0, 0, 0, P * L});
    cantilever.dt[1] = -P * L3 / (3 * EIz);
    cantilever.rj[2] = -P * L2 / (2 * EIz);
    // Both ends turned alike about local y and z, and moved: nothing bends.
    BarDiagramInput rigid = bar(1, {});
    rigid.ti = {0.01, 0.02, -0.03};
    rigid.dt = {0, turn * L, -turn * L};
    rigid.ri = rigid.rj = {0, turn, turn};
    // A column carrying its own axial load, a load P at j and a torque.
    BarDiagramInput column = bar(1, {2 * L + P, 0, 0, 0.4});
    column.qa = -2;

    auto at = [](const BarDiagramInput& b, double s) { return diagramValues(b, s); };
    const struct {
        const char* name;
        double actual, expected;
    } checks[] = {
        {"simple y, slope at i", at(alongY, 0).slopeZ, -q * L3 / (24 * EIz)},
        {"simple y, midspan moment", at(alongY, L / 2).Mz, q * L2 / 8},
        {"simple y, midspan sag", at(alongY, L / 2).yRel, -5 * q * L4 / (384 * EIz)},
        {"simple y, midspan slope", at(alongY, L / 2).slopeZ, 0},
        {"simple y, slope at j", at(alongY, L).slopeZ, q * L3 / (24 * EIz)},
        {"simple z, shear at i", at(alongZ, 0).Vz, -q * L / 2},
        {"simple z, slope at i", at(alongZ, 0).slopeY, -q * L3 / (24 * EIy)},
        {"simple z, midspan moment", at(alongZ, L / 2).My, -q * L2 / 8},
        {"simple z, midspan sag", at(alongZ, L / 2).zRel, -5 * q * L4 / (384 * EIy)},
        {"simple z, midspan slope", at(alongZ, L / 2).slopeY, 0},
        {"cantilever, root moment", at(cantilever, 0).Mz, -P * L},
        {"cantilever, shear", at(cantilever, L / 3).Vy, -P},
        {"cantilever, slope at the root", at(cantilever, 0).slopeZ, P * L2 / (3 * EIz)},
        {"cantilever, middle", at(cantilever, L / 2).yAbs, -5 * P * L3 / (48 * EIz)},
        {"cantilever, middle from the chord", at(cantilever, L / 2).yRel, P * L3 / (16 * EIz)},
        {"cantilever, tip", at(cantilever, L).yAbs, -P * L3 / (3 * EIz)},
        {"cantilever, tip from the chord", at(cantilever, L).yRel, 0},
        {"cantilever, tip slope", at(cantilever, L).slopeZ, -P * L2 / (6 * EIz)},
        {"rigid, along y", at(rigid, L / 4).yAbs, 0.02 + turn * L / 4},
        {"rigid, along z", at(rigid, L / 4).zAbs, -0.03 - turn * L / 4},
        {"rigid, from the chord y", at(rigid, L / 4).yRel, 0},
        {"rigid, from the chord z", at(rigid, L / 4).zRel, 0},
        {"rigid, slope y", at(rigid, L / 4).slopeY, 0},
        {"rigid, slope z", at(rigid, L / 4).slopeZ, 0},
        {"column, foot", at(column, 0).N, -2 * L - P},
        {"column, head", at(column, L).N, -P},
        {"column, torque", at(column, L / 2).T, -0.4},
        // A pinned end takes the loaded beam's slope with the sign of the load,
        // at j too; a fixed end its node's turn less the chord's.
        {"simple y, end slope at j", endSlopes(alongY).zJ, -q * L3 / (24 * EIz)},
        {"simple z, end slope at j", endSlopes(alongZ).yJ, -q * L3 / (24 * EIy)},
        {"cantilever, end slope at the root", endSlopes(cantilever).zI, P * L2 / (3 * EIz)},
        {"cantilever, end slope at the tip", endSlopes(cantilever).zJ, -P * L2 / (6 * EIz)},
        {"rigid, end slope at i", endSlopes(rigid).yI, 0},
        {"rigid, end slope at j", endSlopes(rigid).zJ, 0},
    };
    for (const auto& c : checks)
        EXPECT_NEAR(c.actual, c.expected, Exact * std::max(1.0, std::abs(c.expected))) << c.name;
}

}  // namespace
}  // namespace vanto::analysis
