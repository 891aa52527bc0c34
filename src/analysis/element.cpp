#include "analysis/element.h"

#include <cmath>

#include "model/structure.h"

namespace vanto::analysis {

BarFrame barFrame(const Table<float>& bars, int bar, const Table<double>& xyz) {
    BarFrame f;
    f.i = itemNumber(bars(bar, Origin));
    f.j = itemNumber(bars(bar, End));
    if (f.i > f.j) std::swap(f.i, f.j);
    f.dx = xyz(f.j, 1) - xyz(f.i, 1);
    f.dy = xyz(f.j, 2) - xyz(f.i, 2);
    f.dz = xyz(f.j, 3) - xyz(f.i, 3);
    f.L = std::sqrt(f.dx * f.dx + f.dy * f.dy + f.dz * f.dz);
    f.axes = axesFor(f.dx, f.dy, f.dz, bars(bar, Angle));
    return f;
}

LocalBlocks localStiffness(const double* type, double L, double a, double b) {
    const double EA = type[A] * type[MY] / 1000.0 / L;
    const double EIz1 = type[MY] * type[InerZ] / 10000000.0 / L;
    const double EIz2 = EIz1 / L, EIz3 = EIz2 / L;
    const double EIy1 = type[MY] * type[InerY] / 10000000.0 / L;
    const double EIy2 = EIy1 / L, EIy3 = EIy2 / L;
    const double G = type[MY] / (2.0 * (1.0 + type[Mu]));
    const double GJ = G * type[MTors] / 10000000.0 / L;

    const double shear = 3 * a + 3 * b + 6 * a * b;
    LocalBlocks k;
    // Indices 0..5: axial, translation y, translation z, torsion, rotation y, rotation z.
    k.ii[0][0] = EA;
    k.jj[0][0] = EA;
    k.ij[0][0] = -EA;
    k.ii[1][1] = k.jj[1][1] = shear * EIz3;
    k.ij[1][1] = -shear * EIz3;
    k.ii[2][2] = k.jj[2][2] = shear * EIy3;
    k.ij[2][2] = -shear * EIy3;
    k.ii[3][3] = k.jj[3][3] = a * b * GJ;
    k.ij[3][3] = -a * b * GJ;
    k.ii[4][4] = a * (3 + b) * EIy1;
    k.jj[4][4] = b * (3 + a) * EIy1;
    k.ij[4][4] = 2 * a * b * EIy1;
    k.ii[5][5] = a * (3 + b) * EIz1;
    k.jj[5][5] = b * (3 + a) * EIz1;
    k.ij[5][5] = 2 * a * b * EIz1;

    k.ii[1][5] = k.ii[5][1] = a * (3 + 3 * b) * EIz2;
    k.jj[1][5] = k.jj[5][1] = -b * (3 + 3 * a) * EIz2;
    k.ij[1][5] = b * (3 + 3 * a) * EIz2;
    k.ij[5][1] = -a * (3 + 3 * b) * EIz2;

    k.ii[2][4] = k.ii[4][2] = -a * (3 + 3 * b) * EIy2;
    k.jj[2][4] = k.jj[4][2] = b * (3 + 3 * a) * EIy2;
    k.ij[2][4] = -b * (3 + 3 * a) * EIy2;
    k.ij[4][2] = a * (3 + 3 * b) * EIy2;
    return k;
}

namespace {

// Tᵀ·K·T for one 6×6 block, T = diag(λ, λ), done 3×3 sub-block by sub-block.
Mat6 transform(const Mat6& k, const std::array<Vec3, 3>& l) {
    Mat6 g{};
    for (int bi = 0; bi < 2; ++bi) {
        for (int bj = 0; bj < 2; ++bj) {
            // t = K_sub · λ
            double t[3][3];
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c) {
                    double s = 0;
                    for (int m = 0; m < 3; ++m)
                        s += k[3 * bi + r][3 * bj + m] * l[m][c];
                    t[r][c] = s;
                }
            // λᵀ · t
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c) {
                    double s = 0;
                    for (int m = 0; m < 3; ++m)
                        s += l[m][r] * t[m][c];
                    g[3 * bi + r][3 * bj + c] = s;
                }
        }
    }
    return g;
}

}  // namespace

LocalBlocks toGlobal(const LocalBlocks& local, const std::array<Vec3, 3>& axes) {
    return {transform(local.ii, axes), transform(local.ij, axes), transform(local.jj, axes)};
}

}  // namespace vanto::analysis
