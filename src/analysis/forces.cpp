// End forces of the bars and unbalanced node forces.

#include "analysis/engine.h"

namespace vanto::analysis {

namespace {

// λ·v for the three components starting at v[first].
Vec3 toLocal(const std::array<Vec3, 3>& l, const std::vector<double>& v, int first) {
    Vec3 out{};
    for (int r = 0; r < 3; ++r)
        out[r] = l[r][0] * v[first] + l[r][1] * v[first + 1] + l[r][2] * v[first + 2];
    return out;
}

// Subtracts λᵀ·s (s local, three components) from F at `first`.
void subtractGlobal(std::vector<double>& F, int first, const std::array<Vec3, 3>& l,
                    const double* s) {
    for (int c = 0; c < 3; ++c)
        F[first + c] -= l[0][c] * s[0] + l[1][c] * s[1] + l[2][c] * s[2];
}

}  // namespace

void elasticEndForces(const LocalBlocks& k, const BarFrame& f, const std::vector<double>& D,
                      double S[12]) {
    const int ti = 6 * (f.i - 1) + 1, tj = 6 * (f.j - 1) + 1;
    double u[12];
    const Vec3 parts[4] = {toLocal(f.axes, D, ti), toLocal(f.axes, D, ti + 3),
                           toLocal(f.axes, D, tj), toLocal(f.axes, D, tj + 3)};
    for (int p = 0; p < 4; ++p)
        for (int c = 0; c < 3; ++c)
            u[3 * p + c] = parts[p][c];
    for (int r = 0; r < 6; ++r) {
        double si = 0, sj = 0;
        for (int c = 0; c < 6; ++c) {
            si += k.ii[r][c] * u[c] + k.ij[r][c] * u[6 + c];
            sj += k.ij[c][r] * u[c] + k.jj[r][c] * u[6 + c];
        }
        S[r] = si;
        S[6 + r] = sj;
    }
}

void subtractFixedEndForces(const BarLoadTerms& t, double S[12]) {
    if (t.qv != 0) {
        S[0] -= t.Pv;
        S[6] -= t.Pv;
    }
    if (t.qy != 0) {
        S[1] -= t.Vi(t.qy);
        S[7] -= t.Vj(t.qy);
        S[5] -= t.Mi(t.qy);
        S[11] += t.Mj(t.qy);
    }
    if (t.qz != 0) {
        S[2] -= t.Vi(t.qz);
        S[8] -= t.Vj(t.qz);
        S[4] += t.Mi(t.qz);
        S[10] -= t.Mj(t.qz);
    }
    if (t.dT != 0) {
        S[0] += t.Pt;
        S[6] -= t.Pt;
    }
}

bool Esfuerzos(const StructureData& data, const CaseLoads& loads, const std::vector<double>& D,
               Table<double>& endForces, std::vector<double>& unbalanced, CalcObserver& observer) {
    endForces = Table<double>(data.barCount, 12);
    unbalanced = loads.nodeLoads();
    for (int bar = 1; bar <= data.barCount; ++bar) {
        observer.report(StageEndForces, bar, data.barCount);
        const BarFrame f = barFrame(data.bars, bar, data.coordinates);
        const float* b = data.bars.row(bar);
        const double* type = data.types.values.row(itemNumber(b[Type]));
        const BarLoadTerms t = barLoadTerms(data, bar, f, loads.bar(bar));

        double* S = endForces.row(bar) + 1;  // S[0..11] are forces 1..12
        elasticEndForces(localStiffness(type, f.L, b[EmpOR], b[EmpEX]), f, D, S);
        const int ti = 6 * (f.i - 1) + 1, tj = 6 * (f.j - 1) + 1;
        subtractGlobal(unbalanced, ti, f.axes, S);
        subtractGlobal(unbalanced, ti + 3, f.axes, S + 3);
        subtractGlobal(unbalanced, tj, f.axes, S + 6);
        subtractGlobal(unbalanced, tj + 3, f.axes, S + 9);
        addBarLoads(t, f, unbalanced);
        subtractFixedEndForces(t, S);
        if (observer.stopRequested()) return false;
    }
    return true;
}

}  // namespace vanto::analysis
