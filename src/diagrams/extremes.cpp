#include "diagrams/extremes.h"

#include <array>

namespace vanto::diagrams {

namespace {

// Keeps the first place where the greatest and the smallest value occur.
void consider(KindExtremes& e, double value, int bar, double x, bool first) {
    if (first || value > e.max.value) e.max = {value, bar, x};
    if (first || value < e.min.value) e.min = {value, bar, x};
}

// Where a quadratic force has its vertex inside the bar, if it does: the
// moments' derivatives are the shears, which vanish at x = −V1 / q.
double vertex(const DiagramBar& bar, char code) {
    const analysis::BarDiagramInput& in = bar.in;
    if (code == 'F' && in.qz != 0) return -in.Si[2] / in.qz;
    if (code == 'M' && in.qy != 0) return -in.Si[1] / in.qy;
    return -1;
}

KindExtremes forceExtremes(const DiagramData& data, char code) {
    KindExtremes e;
    bool first = true;
    for (int b = 1; b <= data.barCount; ++b) {
        const DiagramBar& bar = data.bars[std::size_t(b)];
        const double L = bar.in.L;
        const double inside = vertex(bar, code);
        const std::array<double, 3> xs{0, inside > 0 && inside < L ? inside : 0, L};
        for (double x : xs) {
            consider(e, diagramValue(analysis::diagramValues(bar.in, x), code), b, x, first);
            first = false;
        }
    }
    return e;
}

KindExtremes displacementExtremes(const DiagramData& data) {
    KindExtremes e;
    for (int b = 1; b <= data.barCount; ++b) {
        const DiagramBar& bar = data.bars[std::size_t(b)];
        // The shape is linear in S; at S = 0.01 it is displaced by exactly
        // the displacements.
        const auto at0 = deformedShape(data, bar, 0), at1 = deformedShape(data, bar, 0.01);
        for (std::size_t k = 0; k < at0.size(); ++k) {
            double d2 = 0;
            for (int a = 0; a < 3; ++a)
                d2 += (at1[k][a] - at0[k][a]) * (at1[k][a] - at0[k][a]);
            const double d = std::sqrt(d2);
            if ((b == 1 && k == 0) || d > e.max.value) e.max = {d, b, double(k) * bar.in.L / 10};
        }
    }
    e.min = e.max;
    return e;
}

// The largest displacement of bar b's drawn points, and where.
BarValue largestDisplacement(const DiagramData& data, int b) {
    const DiagramBar& bar = data.bars[std::size_t(b)];
    const auto at0 = deformedShape(data, bar, 0), at1 = deformedShape(data, bar, 0.01);
    BarValue best{0, -1};
    for (std::size_t k = 0; k < at0.size(); ++k) {
        double d2 = 0;
        for (int a = 0; a < 3; ++a)
            d2 += (at1[k][a] - at0[k][a]) * (at1[k][a] - at0[k][a]);
        if (std::sqrt(d2) > best.value) best = {double(k) * bar.in.L / 10, std::sqrt(d2)};
    }
    return best;
}

}  // namespace

std::vector<BarValue> barLabelValues(const DiagramData& data, int b, char code, double negligible) {
    std::vector<BarValue> out;
    auto add = [&](const BarValue& v) {
        if (!(std::abs(v.value) >= negligible)) return;
        for (const BarValue& o : out)
            if (o.x == v.x && o.bound == v.bound) return;
        out.push_back(v);
    };
    if (code == 'D') {
        if (data.isEnvelope()) return out;
        add(largestDisplacement(data, b));
        return out;
    }
    const DiagramBar& bar = data.bars[std::size_t(b)];
    const double L = bar.in.L;
    const bool moment = code == 'F' || code == 'M';
    const Bound bounds[] = {Bound::Upper, Bound::Lower};
    for (Bound bound : bounds) {
        if (bound == Bound::Lower && !data.isEnvelope()) break;
        const std::array<double, 11> v = barValues(data, b, code, bound);
        std::vector<BarValue> at;
        for (int i = 0; i <= 10; ++i)
            at.push_back({i * L / 10, v[std::size_t(i)], bound});
        const double inside = data.isEnvelope() ? -1 : vertex(bar, code);
        if (inside > 0 && inside < L)
            at.push_back({inside, diagramValue(analysis::diagramValues(bar.in, inside), code)});
        const auto [lo, hi] = std::minmax_element(
            at.begin(), at.end(),
            [](const BarValue& a, const BarValue& c) { return a.value < c.value; });
        if (hi->value - lo->value <= 1e-9 * std::max(std::abs(hi->value), 1.0)) {
            add({L / 2, hi->value, bound});
            continue;
        }
        if (moment) add(at.front()), add(at[10]);
        if (!data.isEnvelope() || bound == Bound::Upper) add(*hi);
        if (!data.isEnvelope() || bound == Bound::Lower) add(*lo);
    }
    return out;
}

KindExtremes diagramExtremes(const DiagramData& data, char code) {
    diagramKind(code);  // throws for an unknown code
    return code == 'D' ? displacementExtremes(data) : forceExtremes(data, code);
}

double ordinatePerScale(char code, const KindExtremes& extremes) {
    return code == 'D' ? 100 * extremes.largest() : extremes.largest();
}

double fittedDiagramScale(double maxBarLength, double largestOrdinate) {
    if (!(largestOrdinate > 0) || !(maxBarLength > 0) || !std::isfinite(largestOrdinate)) return 1;
    return FittedShare * maxBarLength / largestOrdinate;
}

double fittedDiagramScale(const DiagramData& data, std::string_view codes) {
    double largest = 0;
    for (char code : codes)
        largest = std::max(largest, ordinatePerScale(code, diagramExtremes(data, code)));
    return fittedDiagramScale(data.maxBarLength, largest);
}

}  // namespace vanto::diagrams
