#include "analysis/element.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace vanto::analysis {
namespace {

// Section with EIz = 2100 t·m², EIy = 1050 t·m², EA = 210000 t, GJ/L scaled by G.
const double section[] = {0, 100, 10000, 5000, 2000, 2100000, 0.3, 2600, 7850, 0.012};
constexpr double EIz = 2100, EIy = 1050, EA = 210000;
constexpr double GJ = 2100000.0 / 2.6 * 2000 / 1e7;

void expectNear(double actual, double expected) {
    EXPECT_NEAR(actual, expected, 1e-12 * std::max(1.0, std::abs(expected)));
}

TEST(Axes, KnownTriads) {
    // dz = 0.9999995·L counts as vertical; 0.999998·L does not.
    const double lean = std::sqrt(1 - 0.9999995 * 0.9999995);
    const double steep = std::sqrt(1 - 0.999998 * 0.999998);
    struct Row {
        double dx, dy, dz, angle;
        Vec3 y, z;
    };
    const Row rows[] = {
        {5, 0, 0, 0, {0, 0, 1}, {0, -1, 0}},  // y up, z along −Y
        {5, 0, 0, 90, {0, -1, 0}, {0, 0, -1}},
        {0, 0, 3, 0, {0, -1, 0}, {1, 0, 0}},
        {0, 0, -3, 0, {0, 1, 0}, {1, 0, 0}},
        {0, 5, 0, 0, {0, 0, 1}, {1, 0, 0}},
        {lean, 0, 0.9999995, 0, {0, -1, 0}, {1, 0, 0}},
        {steep, 0, 0.999998, 0, {-0.999998, 0, steep}, {0, -1, 0}},
    };
    for (const Row& r : rows) {
        const auto ax = axesFor(r.dx, r.dy, r.dz, r.angle);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(ax[1][k], r.y[k], 1e-6) << r.dx << " " << r.dz << " " << r.angle;
            EXPECT_NEAR(ax[2][k], r.z[k], 1e-6) << r.dx << " " << r.dz << " " << r.angle;
        }
    }
}

// Known terms of the element with fixed, pinned and half-fixed ends; a
// pinned end takes no torsion, a truss bar only its axial stiffness.
TEST(Stiffness, EndFixities) {
    const double L = 4, L2 = L * L, L3 = L2 * L;
    const LocalBlocks k = localStiffness(section, L, 1, 1);
    const LocalBlocks propped = localStiffness(section, L, 1, 0);
    const LocalBlocks semi = localStiffness(section, L, 0.5, 1);
    // clang-format off
    const std::pair<double, double> checks[] = {
        {k.ii[0][0], EA / L}, {k.ij[0][0], -EA / L}, {k.ii[3][3], GJ / L},
        {k.ii[1][1], 12 * EIz / L3}, {k.ii[1][5], 6 * EIz / L2}, {k.ii[5][5], 4 * EIz / L},
        {k.ij[5][5], 2 * EIz / L}, {k.ij[1][5], 6 * EIz / L2}, {k.ij[5][1], -6 * EIz / L2},
        {k.jj[1][5], -6 * EIz / L2}, {k.ii[2][2], 12 * EIy / L3}, {k.ii[2][4], -6 * EIy / L2},
        {k.jj[4][4], 4 * EIy / L}, {propped.ii[1][1], 3 * EIz / L3},
        {propped.ii[1][5], 3 * EIz / L2}, {propped.ii[5][5], 3 * EIz / L},
        {propped.jj[5][5], 0}, {propped.ij[5][5], 0}, {propped.ii[3][3], 0},
        {semi.ii[1][1], 7.5 * EIz / L3}, {semi.ii[5][5], 2 * EIz / L}};
    // clang-format on
    for (std::size_t i = 0; i < std::size(checks); ++i) {
        SCOPED_TRACE(i);
        expectNear(checks[i].first, checks[i].second);
    }
    const LocalBlocks truss = localStiffness(section, L, 0, 0);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 6; ++c) {
            const double expected = r == 0 && c == 0 ? EA / L : 0;
            expectNear(truss.ii[r][c], expected);
            expectNear(truss.jj[r][c], expected);
            expectNear(truss.ij[r][c], -expected);
        }
}

// Bars of any direction, section angle and fixities.
TEST(Stiffness, RandomBarsHaveOrthonormalAxesAndASymmetricGlobalElement) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-5, 5), f(0, 1);
    for (int t = 0; t < 200; ++t) {
        const double dx = u(rng), dy = u(rng), dz = u(rng);
        const auto ax = axesFor(dx, dy, dz, u(rng) * 30);
        const Vec3 &x = ax[0], &y = ax[1], &z = ax[2];
        const Vec3 cross{x[1] * y[2] - x[2] * y[1], x[2] * y[0] - x[0] * y[2],
                         x[0] * y[1] - x[1] * y[0]};
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(cross[k], z[k], 1e-12);  // right-handed
        EXPECT_NEAR(y[0] * y[0] + y[1] * y[1] + y[2] * y[2], 1, 1e-12);
        EXPECT_NEAR(x[0] * y[0] + x[1] * y[1] + x[2] * y[2], 0, 1e-12);

        const double L = std::sqrt(dx * dx + dy * dy + dz * dz);
        const LocalBlocks g = toGlobal(localStiffness(section, L, f(rng), f(rng)), ax);
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 6; ++c) {
                EXPECT_NEAR(g.ii[r][c], g.ii[c][r], 1e-9 * std::abs(g.ii[r][r]) + 1e-9);
                EXPECT_NEAR(g.jj[r][c], g.jj[c][r], 1e-9 * std::abs(g.jj[r][r]) + 1e-9);
            }
        // A rigid translation produces no forces: Gii + Gij = 0 on the translations.
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(g.ii[r][c] + g.ij[r][c], 0, 1e-6);
    }
}

}  // namespace
}  // namespace vanto::analysis
