#include "analysis/loads.h"

namespace vanto::analysis {

namespace {

// Adds `value` times the global components of `axis` to three entries of F.
void addAlong(std::vector<double>& F, int first, const Vec3& axis, double value) {
    F[first] += value * axis[0];
    F[first + 1] += value * axis[1];
    F[first + 2] += value * axis[2];
}

// The four load fields of bar b in case k, in the order of BarLoads.
const float* caseBarLoads(const StructureData& s, int k, int b) {
    return k == 1 ? s.bars.row(b) + VerticalLoad : s.cases.loadCase(k).barLoads.row(b) + 1;
}

const Table<double>& caseNodeLoads(const StructureData& s, int k) {
    return k == 1 ? s.loads : s.cases.loadCase(k).nodeLoads;
}

}  // namespace

CaseLoads::CaseLoads(const StructureData& s, const ResultSet& set) : s_(&s) {
    if (set.kind == ResultSet::Kind::Case) {
        terms_.emplace_back(set.number, 1.0);
        return;
    }
    const std::vector<double>& factors = s.cases.combinations[std::size_t(set.number - 1)].factors;
    for (std::size_t k = 0; k < factors.size(); ++k)
        if (factors[k] != 0) terms_.emplace_back(int(k) + 1, factors[k]);
}

BarLoads CaseLoads::bar(int b) const {
    // One case alone takes its values as they are.
    if (terms_.size() == 1 && terms_[0].second == 1) {
        const float* q = caseBarLoads(*s_, terms_[0].first, b);
        return {q[0], q[1], q[2], q[3]};
    }
    BarLoads sum;
    for (const auto& [k, f] : terms_) {
        const float* q = caseBarLoads(*s_, k, b);
        sum.qv += f * q[0];
        sum.qy += f * q[1];
        sum.qz += f * q[2];
        sum.dT += f * q[3];
    }
    return sum;
}

std::vector<double> CaseLoads::nodeLoads() const {
    const int n = s_->nodeCount;
    std::vector<double> F(6 * std::size_t(n) + 1, 0.0);
    const bool alone = terms_.size() == 1 && terms_[0].second == 1;
    for (const auto& [k, f] : terms_) {
        const Table<double>& t = caseNodeLoads(*s_, k);
        for (int node = 1; node <= n; ++node)
            for (int c = 1; c <= 6; ++c) {
                double& to = F[6 * std::size_t(node - 1) + c];
                to = alone ? t(node, c) : to + f * t(node, c);
            }
    }
    return F;
}

BarLoadTerms barLoadTerms(const StructureData& s, int bar, const BarFrame& f, const BarLoads& q) {
    const float* b = s.bars.row(bar);
    const double* type = s.types.values.row(itemNumber(b[Type]));
    BarLoadTerms t;
    t.L = f.L;
    t.alpha = b[EmpOR];
    t.beta = b[EmpEX];
    t.qv = q.qv;
    t.qy = q.qy + f.axes[1][2] * t.qv;
    t.qz = q.qz + f.axes[2][2] * t.qv;
    t.Pv = f.axes[0][2] * t.qv * f.L / 2;
    t.dT = q.dT;
    t.Pt = type[MY] * type[A] / 1000.0 * (type[CdTerm] / 1000.0) * t.dT;
    return t;
}

void addBarLoads(const BarLoadTerms& t, const BarFrame& f, std::vector<double>& F) {
    const Vec3 &x = f.axes[0], &y = f.axes[1], &z = f.axes[2];
    const int ti = 6 * (f.i - 1) + 1, ri = ti + 3;  // translations and rotations of i
    const int tj = 6 * (f.j - 1) + 1, rj = tj + 3;
    if (t.qv != 0) {
        addAlong(F, ti, x, t.Pv);
        addAlong(F, tj, x, t.Pv);
    }
    if (t.qy != 0) {
        addAlong(F, ti, y, t.Vi(t.qy));
        addAlong(F, tj, y, t.Vj(t.qy));
        addAlong(F, ri, z, t.Mi(t.qy));
        addAlong(F, rj, z, -t.Mj(t.qy));
    }
    if (t.qz != 0) {
        addAlong(F, ti, z, t.Vi(t.qz));
        addAlong(F, tj, z, t.Vj(t.qz));
        addAlong(F, ri, y, -t.Mi(t.qz));
        addAlong(F, rj, y, t.Mj(t.qz));
    }
    if (t.dT != 0) {
        addAlong(F, ti, x, -t.Pt);
        addAlong(F, tj, x, t.Pt);
    }
}

std::vector<double> loadVector(const StructureData& s, const CaseLoads& loads) {
    std::vector<double> F = loads.nodeLoads();
    for (int bar = 1; bar <= s.barCount; ++bar) {
        const BarFrame f = barFrame(s.bars, bar, s.coordinates);
        addBarLoads(barLoadTerms(s, bar, f, loads.bar(bar)), f, F);
    }
    return F;
}

}  // namespace vanto::analysis
