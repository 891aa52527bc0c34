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

    using V = DiagramValues;
    struct Case {
        const char* name;
        const BarDiagramInput* in;
        double s;
        double V::*field;
        double expected;
    };
    const Case cases[] = {
        {"simple y, slope at i", &alongY, 0, &V::slopeZ, -q * L3 / (24 * EIz)},
        {"simple y, midspan moment", &alongY, L / 2, &V::Mz, q * L2 / 8},
        {"simple y, midspan sag", &alongY, L / 2, &V::yRel, -5 * q * L4 / (384 * EIz)},
        {"simple y, midspan slope", &alongY, L / 2, &V::slopeZ, 0},
        {"simple y, slope at j", &alongY, L, &V::slopeZ, q * L3 / (24 * EIz)},
        {"simple z, shear at i", &alongZ, 0, &V::Vz, -q * L / 2},
        {"simple z, slope at i", &alongZ, 0, &V::slopeY, -q * L3 / (24 * EIy)},
        {"simple z, midspan moment", &alongZ, L / 2, &V::My, -q * L2 / 8},
        {"simple z, midspan sag", &alongZ, L / 2, &V::zRel, -5 * q * L4 / (384 * EIy)},
        {"simple z, midspan slope", &alongZ, L / 2, &V::slopeY, 0},
        {"cantilever, root moment", &cantilever, 0, &V::Mz, -P * L},
        {"cantilever, shear", &cantilever, L / 3, &V::Vy, -P},
        {"cantilever, slope at the root", &cantilever, 0, &V::slopeZ, P * L2 / (3 * EIz)},
        {"cantilever, middle", &cantilever, L / 2, &V::yAbs, -5 * P * L3 / (48 * EIz)},
        {"cantilever, middle from the chord", &cantilever, L / 2, &V::yRel, P * L3 / (16 * EIz)},
        {"cantilever, tip", &cantilever, L, &V::yAbs, -P * L3 / (3 * EIz)},
        {"cantilever, tip from the chord", &cantilever, L, &V::yRel, 0},
        {"cantilever, tip slope", &cantilever, L, &V::slopeZ, -P * L2 / (6 * EIz)},
        {"rigid, along y", &rigid, L / 4, &V::yAbs, 0.02 + turn * L / 4},
        {"rigid, along z", &rigid, L / 4, &V::zAbs, -0.03 - turn * L / 4},
        {"rigid, from the chord y", &rigid, L / 4, &V::yRel, 0},
        {"rigid, from the chord z", &rigid, L / 4, &V::zRel, 0},
        {"rigid, slope y", &rigid, L / 4, &V::slopeY, 0},
        {"rigid, slope z", &rigid, L / 4, &V::slopeZ, 0},
        {"column, foot", &column, 0, &V::N, -2 * L - P},
        {"column, head", &column, L, &V::N, -P},
        {"column, torque", &column, L / 2, &V::T, -0.4},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(diagramValues(*c.in, c.s).*c.field, c.expected,
                    Exact * std::max(1.0, std::abs(c.expected)))
            << c.name;

    // A pinned end takes the loaded beam's slope with the sign of the load, at
    // j too; a fixed end its node's turn less the chord's.
    const struct {
        const char* name;
        double actual, expected;
    } ends[] = {
        {"simple y at j", endSlopes(alongY).zJ, -q * L3 / (24 * EIz)},
        {"simple z at j", endSlopes(alongZ).yJ, -q * L3 / (24 * EIy)},
        {"cantilever root", endSlopes(cantilever).zI, P * L2 / (3 * EIz)},
        {"cantilever tip", endSlopes(cantilever).zJ, -P * L2 / (6 * EIz)},
        {"rigid at i", endSlopes(rigid).yI, 0},
        {"rigid at j", endSlopes(rigid).zJ, 0},
    };
    for (const auto& e : ends)
        EXPECT_NEAR(e.actual, e.expected, Exact) << e.name;
}

}  // namespace
}  // namespace vanto::analysis
