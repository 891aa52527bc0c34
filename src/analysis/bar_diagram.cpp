#include "analysis/bar_diagram.h"

#include "analysis/engine.h"

namespace vanto::analysis {

namespace {

// 1 / (E·I), or 0 for a section without bending stiffness: its bending terms
// are then left out instead of becoming infinite.
double flexibility(double EI) {
    return EI > 0 ? 1.0 / EI : 0.0;
}

// λ·v for the three components starting at v[0].
std::array<double, 3> toLocal(const std::array<Vec3, 3>& l, const double* v) {
    std::array<double, 3> out{};
    for (int r = 0; r < 3; ++r)
        out[r] = l[r][0] * v[0] + l[r][1] * v[1] + l[r][2] * v[2];
    return out;
}

struct Slopes {
    double y = 0, z = 0;
};

// Relative slopes at the end whose local rotation is `rot` and fixity `own`.
Slopes endSlope(const BarDiagramInput& b, const std::array<double, 3>& rot, double own,
                double other) {
    const double L = b.L;
    const double cyRel = b.dt[1] / L, czRel = b.dt[2] / L;
    double thz = rot[2] - cyRel;
    double thy = -rot[1] - czRel;
    thz = b.qy * L * L * L / 24 * flexibility(b.EIz) * (1 - own) * (1 - other / 2) + own * thz;
    thy = b.qz * L * L * L / 24 * flexibility(b.EIy) * (1 - own) * (1 - other / 2) + own * thy;
    return {thy, thz};
}

}  // namespace

BarDiagramInput barDiagramInput(const StructureData& s, const CaseLoads& loads, int bar,
                                const std::vector<double>& D, const Table<double>& endForces) {
    const BarFrame f = barFrame(s.bars, bar, s.coordinates);
    return barDiagramInput(s, bar, f, barLoadTerms(s, bar, f, loads.bar(bar)), D,
                           endForces.row(bar) + 1);
}

BarDiagramInput barDiagramInput(const StructureData& s, int bar, const BarFrame& f,
                                const BarLoadTerms& t, const std::vector<double>& D,
                                const double* Si) {
    const double* type = s.types.values.row(itemNumber(s.bars(bar, Type)));
    BarDiagramInput in;
    in.L = f.L;
    in.alpha = t.alpha;
    in.beta = t.beta;
    in.qa = t.qv * f.axes[0][2];
    in.qy = t.qy;
    in.qz = t.qz;
    const double E = type[MY] * 10.0;  // t/m²
    in.EIz = E * type[InerZ] / 100000000.0;
    in.EIy = E * type[InerY] / 100000000.0;
    for (int k = 0; k < 6; ++k)
        in.Si[k] = Si[k];
    const double* ui = &D[6 * (f.i - 1) + 1];
    const double* uj = &D[6 * (f.j - 1) + 1];
    const double delta[3] = {uj[0] - ui[0], uj[1] - ui[1], uj[2] - ui[2]};
    in.ti = toLocal(f.axes, ui);
    in.dt = toLocal(f.axes, delta);
    in.ri = toLocal(f.axes, ui + 3);
    in.rj = toLocal(f.axes, uj + 3);
    return in;
}

EndSlopes endSlopes(const BarDiagramInput& b) {
    const Slopes i = endSlope(b, b.ri, b.alpha, b.beta);
    const Slopes j = endSlope(b, b.rj, b.beta, b.alpha);
    return {i.y, i.z, j.y, j.z};
}

DiagramValues diagramValues(const BarDiagramInput& b, double s) {
    const double* S = b.Si.data();
    const double fz = flexibility(b.EIz), fy = flexibility(b.EIy);
    const double cyRel = b.dt[1] / b.L, czRel = b.dt[2] / b.L;
    const Slopes i = endSlope(b, b.ri, b.alpha, b.beta);
    const double s2 = s * s, s3 = s2 * s, s4 = s3 * s;
    DiagramValues v;
    v.N = -(b.qa * s + S[0]);
    v.Vy = -(b.qy * s + S[1]);
    v.Vz = -(b.qz * s + S[2]);
    v.T = -S[3];
    v.My = -(b.qz * s2 / 2 + S[4] + S[2] * s);
    v.Mz = -(S[5] - b.qy * s2 / 2 - S[1] * s);
    v.yRel = (S[1] * s3 / 6 - S[5] * s2 / 2 + b.qy * s4 / 24) * fz + i.z * s;
    v.zRel = (S[2] * s3 / 6 + S[4] * s2 / 2 + b.qz * s4 / 24) * fy + i.y * s;
    v.yAbs = cyRel * s + v.yRel + b.ti[1];
    v.zAbs = czRel * s + v.zRel + b.ti[2];
    v.slopeZ = (S[1] * s2 / 2 - S[5] * s + b.qy * s3 / 6) * fz + i.z;
    v.slopeY = (S[2] * s2 / 2 + S[4] * s + b.qz * s3 / 6) * fy + i.y;
    return v;
}

}  // namespace vanto::analysis
