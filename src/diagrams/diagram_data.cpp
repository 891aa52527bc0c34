#include "diagrams/diagram_data.h"

#include <algorithm>
#include <cctype>

#include "analysis/engine.h"
#include "model/files.h"
#include "model/structure_data.h"

namespace vanto::diagrams {

namespace fs = std::filesystem;

const DiagramKind& diagramKind(char code) {
    for (const DiagramKind& k : DiagramKinds)
        if (k.code == code) return k;
    throw std::invalid_argument(std::string("diagram code ") + code);
}

namespace {

analysis::StructureData loadCalculated(const fs::path& dir) {
    // Without case 1's results, any other result file is left from before.
    if (!fileExists(dir, "INCOG.RES")) throw DiagramError(NotCalculatedText);
    analysis::StructureData calc = loadStructure<double>(dir, part::All);
    analysis::validate(calc);
    return calc;
}

DiagramData loadSet(const fs::path& dir, const analysis::StructureData& calc,
                    const ResultSet& set) {
    const bool known = set.kind == ResultSet::Kind::Case
                           ? set.number <= calc.cases.count()
                           : set.number <= int(calc.cases.combinations.size());
    if (!known) throw DiagramError(UnknownSetText + set.code() + ".");
    const int N = calc.nodeCount, B = calc.barCount;
    const auto D = DiscoX::readNodeResults<double>(dir, DiscoX::NodeResult::Displacements, N, set);
    if (!D) throw DiagramError(NotCalculatedText);
    const auto forces = DiscoX::readEndForces(dir, B, set);
    if (!forces)
        throw FileError(FileError::Kind::Missing,
                        findFile(dir, DiscoX::resultFileName("ESFUERZO", set)));
    const analysis::CaseLoads loads(calc, set);
    const std::vector<double> nodeLoads = loads.nodeLoads();
    Table<double> endForces(B, 12);
    for (int b = 1; b <= B; ++b)
        for (int k = 1; k <= 12; ++k)
            endForces(b, k) = (*forces)(b, k);

    DiagramData d;
    d.nodeCount = N;
    d.barCount = B;
    d.nodes.resize(std::size_t(N) + 1);
    d.nodeLoads.resize(std::size_t(N) + 1);
    d.restraints.resize(std::size_t(N) + 1);
    d.displacements.resize(std::size_t(N) + 1);
    for (int n = 1; n <= N; ++n) {
        for (int axis = 0; axis < 3; ++axis)
            d.nodes[n][axis] = calc.coordinates(n, axis + 1);
        for (int k = 0; k < 6; ++k) {
            d.nodeLoads[n][k] = nodeLoads[6 * std::size_t(n - 1) + k + 1];
            d.restraints[n][k] = calc.restraints(n, k + 1);
            d.displacements[n][k] = (*D)[6 * std::size_t(n - 1) + k + 1];
        }
    }
    d.bars.resize(std::size_t(B) + 1);
    for (int b = 1; b <= B; ++b) {
        const analysis::BarFrame f = analysis::barFrame(calc.bars, b, calc.coordinates);
        DiagramBar& bar = d.bars[b];
        bar.i = f.i;
        bar.j = f.j;
        bar.p1 = d.nodes[f.i];
        bar.p2 = d.nodes[f.j];
        bar.axes = f.axes;
        bar.in = analysis::barDiagramInput(calc, loads, b, *D, endForces);
        const analysis::BarLoads q = loads.bar(b);
        bar.loads = {q.qv, q.qy, q.qz};
        d.maxBarLength = std::max(d.maxBarLength, f.L);
    }
    return d;
}

constexpr const char* ForceCodes = "XYZTFM";

}  // namespace

DiagramData loadDiagramData(const fs::path& dir, const ResultSet& set) {
    return loadSet(dir, loadCalculated(dir), set);
}

std::optional<ShownSet> parseShownSet(std::string_view text) {
    std::string lower(text);
    for (char& ch : lower)
        ch = char(std::tolower(static_cast<unsigned char>(ch)));
    if (lower == EnvelopeChoice) return ShownSet{{}, true};
    const auto set = parseResultSet(text);
    if (!set) return std::nullopt;
    return ShownSet{*set, false};
}

DiagramData loadEnvelopeData(const fs::path& dir) {
    const analysis::StructureData calc = loadCalculated(dir);
    std::vector<ResultSet> sources = resultSets(calc.cases);
    if (!calc.cases.combinations.empty())
        std::erase_if(sources, [](const ResultSet& r) { return r.kind == ResultSet::Kind::Case; });
    DiagramData d = loadSet(dir, calc, {});
    d.envelope.assign(std::size_t(d.barCount) + 1, {});
    for (std::size_t k = 0; k < sources.size(); ++k) {
        const DiagramData from = loadSet(dir, calc, sources[k]);
        for (int b = 1; b <= d.barCount; ++b) {
            BarEnvelope& e = d.envelope[std::size_t(b)];
            const analysis::BarDiagramInput& in = from.bars[std::size_t(b)].in;
            for (int i = 0; i <= 10; ++i) {
                const analysis::DiagramValues v = analysis::diagramValues(in, i * in.L / 10);
                for (std::size_t f = 0; f < 6; ++f) {
                    const double value = diagramValue(v, ForceCodes[f]);
                    if (k == 0 || value > e.upper[f][i]) e.upper[f][i] = value;
                    if (k == 0 || value < e.lower[f][i]) e.lower[f][i] = value;
                }
            }
        }
    }
    // An envelope is no load set: nothing to draw as its loads.
    for (auto& loads : d.nodeLoads)
        loads.fill(0);
    for (DiagramBar& bar : d.bars)
        bar.loads.fill(0);
    return d;
}

DiagramData loadShownSet(const fs::path& dir, const ShownSet& shown) {
    return shown.envelope ? loadEnvelopeData(dir) : loadDiagramData(dir, shown.set);
}

std::array<double, 11> barValues(const DiagramData& data, int b, char code, Bound bound) {
    std::array<double, 11> v{};
    if (data.isEnvelope()) {
        const std::size_t f = std::size_t(std::string_view(ForceCodes).find(code));
        if (f == std::string_view::npos) throw std::invalid_argument(std::string("code ") + code);
        const BarEnvelope& e = data.envelope[std::size_t(b)];
        return bound == Bound::Upper ? e.upper[f] : e.lower[f];
    }
    const analysis::BarDiagramInput& in = data.bars[std::size_t(b)].in;
    for (int i = 0; i <= 10; ++i)
        v[std::size_t(i)] = diagramValue(analysis::diagramValues(in, i * in.L / 10), code);
    return v;
}

double diagramValue(const analysis::DiagramValues& v, char code) {
    switch (code) {
        case 'X':
            return v.N;
        case 'Y':
            return v.Vy;
        case 'Z':
            return v.Vz;
        case 'T':
            return v.T;
        case 'F':
            return v.My;
        case 'M':
            return v.Mz;
    }
    throw std::invalid_argument(std::string("diagram code ") + code);
}

std::array<Vec3, 13> diagramOutline(const DiagramBar& bar, char code, double S) {
    std::array<double, 11> values{};
    for (int i = 0; i <= 10; ++i)
        values[std::size_t(i)] =
            diagramValue(analysis::diagramValues(bar.in, i * bar.in.L / 10), code);
    return diagramOutline(bar, code, values, S);
}

std::array<Vec3, 13> diagramOutline(const DiagramBar& bar, char code,
                                    const std::array<double, 11>& values, double S) {
    const DiagramKind& kind = diagramKind(code);
    const Vec3& ex = bar.axes[0];
    const Vec3& side = bar.axes[kind.side < 0 ? 1 : 2];
    const double sign = kind.side < 0 ? -1.0 : 1.0;
    std::array<Vec3, 13> p{};
    p[0] = bar.p1;
    for (int i = 0; i <= 10; ++i) {
        const double x = i * bar.in.L / 10;
        const double off = sign * S * values[std::size_t(i)];
        for (int a = 0; a < 3; ++a)
            p[i + 1][a] = bar.p1[a] + x * ex[a] + off * side[a];
    }
    p[12] = bar.p2;
    return p;
}

Deflections deflections(const DiagramBar& bar) {
    Deflections w;
    for (int i = 0; i < 10; ++i) {
        const analysis::DiagramValues v = analysis::diagramValues(bar.in, i * bar.in.L / 10);
        w.y[i] = v.yAbs;
        w.z[i] = v.zAbs;
    }
    w.y[10] = bar.in.ti[1] + bar.in.dt[1];
    w.z[10] = bar.in.ti[2] + bar.in.dt[2];
    return w;
}

std::array<Vec3, 11> deformedShape(const DiagramData& data, const DiagramBar& bar, double S) {
    const double A = 100 * S;
    const auto& [ex, ey, ez] = bar.axes;
    const double L = bar.in.L;
    const std::array<double, 6>& ti = data.displacements[bar.i];
    const std::array<double, 6>& tj = data.displacements[bar.j];
    std::array<Vec3, 11> p{};
    for (int i = 0; i < 10; ++i) {
        const double x = i * L / 10;
        const analysis::DiagramValues v = analysis::diagramValues(bar.in, x);
        // Bending and chord terms only: the translation of i is added whole.
        const double wy = v.yAbs - bar.in.ti[1], wz = v.zAbs - bar.in.ti[2];
        const double ax = i * bar.in.dt[0] / 10;
        for (int a = 0; a < 3; ++a)
            p[i][a] = bar.p1[a] + (x + A * ax) * ex[a] + A * (ti[a] + wy * ey[a] + wz * ez[a]);
    }
    for (int a = 0; a < 3; ++a)
        p[10][a] = bar.p2[a] + A * tj[a];
    return p;
}

}  // namespace vanto::diagrams
