#include "analysis/calculation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <random>
#include <sstream>

#include "analysis/bar_diagram.h"
#include "analysis/engine.h"
#include "builder.h"
#include "model/files.h"
#include "model/helpers.h"
#include "model/textfile.h"
#include "reports/listing.h"
#include "support/fakes.h"
#include "support/tempdir.h"
#include "support/thrown.h"

namespace vanto::analysis {
namespace {

using test::Bar;
using test::Builder;
using test::FixedClock;
using test::Section;

// Relative tolerance of the hand results: the solver works in doubles on
// well-conditioned systems, so results agree to many more digits than this.
constexpr double Tight = 1e-9;

struct Solution {
    StructureData data;
    std::vector<double> D, unbalanced;
    Table<double> S;
    std::string diagrams;
};

Solution solve(const Builder& b) {
    Solution s;
    s.data = b.data();
    const StructureData& data = s.data;
    validate(data);
    std::vector<double> F = byDof(data.loads, data.nodeCount);
    s.D = byDof(data.restraints, data.nodeCount);
    BandMatrix K(6 * data.nodeCount, ComputeHalfBandwidth(data.bars, data.barCount));
    test::RecordingObserver obs;
    FixedClock clock;
    EXPECT_TRUE(Ensambla(data, K, F, s.D, obs));
    EXPECT_TRUE(Gauss(K, F, s.D, obs, clock));
    EXPECT_TRUE(Esfuerzos(data, CaseLoads(data, {}), s.D, s.S, s.unbalanced, obs));
    EXPECT_TRUE(Diagramas(data, CaseLoads(data, {}), s.D, s.S, s.diagrams, obs));
    return s;
}

// The displacements by the sparse path, as the calculation finds them
// without dumps of the band.
std::vector<double> solveSparsely(const Builder& b) {
    const StructureData& data = b.data();
    validate(data);
    std::vector<double> F = byDof(data.loads, data.nodeCount);
    std::vector<std::vector<double>> D{byDof(data.restraints, data.nodeCount)};
    SparseSystem K;
    test::RecordingObserver obs;
    FixedClock clock;
    EXPECT_TRUE(assembleSparse(data, F, D[0], K, obs));
    EXPECT_TRUE(solveSparse(std::move(K), D, obs, clock));
    return D[0];
}

// A lattice of nx·ny·nz nodes 5, 5 and 3 m apart, z fastest, every node loaded
// across and down; `supported` fixes the lowest level. Columns are of type 1,
// beams of type 2.
Builder lattice(int nx, int ny, int nz, bool supported, double beamStiffness = 1) {
    Builder b;
    b.type(Section{});
    b.type(Section{.MY = Section{}.MY * beamStiffness});
    for (int i = 0; i < nx; ++i)
        for (int j = 0; j < ny; ++j)
            for (int k = 0; k < nz; ++k) {
                const int n = b.node(5.0 * i, 5.0 * j, 3.0 * k);
                b.load(n, 1, 0.35);
                b.load(n, 3, -1.25);
                if (k == 0 && supported) b.fix({n});
                if (k > 0) b.bar({n - 1, n, 1});
                if (j > 0) b.bar({n - nz, n, 2});
                if (i > 0) b.bar({n - ny * nz, n, 2});
            }
    return b;
}

int dof(int node, int k) {
    return 6 * (node - 1) + k;
}

void expectRel(double actual, double expected, double tol = Tight) {
    EXPECT_NEAR(actual, expected, tol * std::max(1e-12, std::abs(expected)))
        << "expected " << expected;
}

// The numbers of point line k of bar `bar` in DIAGRAMA.RES.
std::vector<double> diagramLine(const std::string& text, int bar, int k) {
    const auto lines = splitLines(text);
    const std::size_t at = 5 + std::size_t(bar - 1) * 12 + 1 + std::size_t(k);
    std::string l = lines.at(at);
    l.replace(l.find("/10"), 3, "   ");
    std::istringstream in(l);
    std::vector<double> v;
    for (std::string w; in >> w;)
        v.push_back(std::stod(w));
    return v;
}

// A horizontal beam along +X between nodes 1 and 2.
Builder beam(double L, Bar bar, Section s = {}) {
    Builder b;
    b.type(s);
    b.node(0, 0, 0);
    b.node(L, 0, 0);
    b.bar(bar);
    return b;
}

// A portal in the XZ plane: columns 1–2 and 4–3 of 4 m fixed at their feet,
// beam 2–3 of 6 m.
Builder portalFrame(const Section& s, const Bar& beam = {2, 3}, const Bar& right = {4, 3}) {
    Builder b;
    b.type(s);
    for (auto [x, z] : {std::pair{0, 0}, {0, 4}, {6, 4}, {6, 0}})
        b.node(x, 0, z);
    b.bar({1, 2});
    b.bar(beam);
    b.bar(right);
    b.fix({1, 4});
    return b;
}

// The portal with loads of every kind; bar 3 is drawn downwards, turned 30°
// and half fixed at its lower-numbered node.
Builder portal() {
    Builder b =
        portalFrame(Section{}, {2, 3, 1, 0, -2.5}, {4, 3, 1, 30, 0, 0.5, -0.25, 15, 0.5, 1});
    b.load(2, 1, 3);
    b.load(3, 3, -1);
    b.load(2, 5, 0.7);
    return b;
}

// A bar along X fixed at node 1: loads at its free end stretch it by EA and
// bend it by EIy (by EIz in the load cases below). Held at both ends, heat gives the axial force
// Pt = 2100000·10/1000·0.000012·20 = 5.04 t, and a settlement d of node 2 the
// end forces 12EId/L³ and 6EId/L².
TEST(HandResults, FixedBarUnderTipLoadsHeatAndSettlement) {
    const double L = 4, P = 1.5, d = 0.01;
    const Section steel;
    Builder tip = beam(L, {});
    tip.fix({1});
    tip.load(2, 1, 2);
    tip.load(2, 2, 1);
    tip.load(2, 3, -P);
    const Solution t = solve(tip);
    expectRel(t.D[dof(2, 1)], 2 * L / steel.EA());
    expectRel(t.D[dof(2, 2)], L * L * L / (3 * steel.EIy()));
    expectRel(t.S(1, 2), P);  // the support holds the bar up and against turning
    expectRel(t.S(1, 6), P * L);

    Builder heat = beam(L, {.dT = 20}, {.A = 10});
    heat.fix({1, 2});
    const Solution h = solve(heat);
    expectRel(h.S(1, 1), 5.04);
    expectRel(h.S(1, 7), -5.04);

    Builder settled = beam(L, {});
    settled.fix({1, 2});
    settled.restrain(2, 3, -d);
    const Solution s = solve(settled);
    const double shear = 12 * steel.EIz() * d / (L * L * L), moment = 6 * steel.EIz() * d / (L * L);
    EXPECT_EQ(s.D[dof(2, 3)], -d);
    expectRel(s.S(1, 2), shear);
    expectRel(s.S(1, 8), -shear);
    expectRel(s.S(1, 6), moment);
    expectRel(s.S(1, 12), moment);
    expectRel(s.unbalanced[dof(1, 3)], -shear);
    expectRel(s.unbalanced[dof(2, 3)], shear);
}

// A horizontal beam under a uniform load q down, its nodes held; an end is
// pinned by its fixity or by a node free to turn about Y. Coefficients: Vi of
// qL, end moments Mi, Mj (hogging) and midspan moment of qL², sag of qL⁴/EI,
// listed end slopes of −qL³/EI. Fixity 0.5 at i with j fixed gives the mean
// of the propped and fixed cases, every value being linear in the fixity:
// Mi = (0 + 1/12)/2 = 1/24, Mj = (1/8 + 1/12)/2 = 5/48, Vi = 1/2 + Mi − Mj =
// 7/16, midspan (1/16 + 1/24)/2 = 5/96, sag (1/192 + 1/384)/2 = 1/256, slope
// at i (1/48 + 0)/2 = 1/96. A pinned j is listed with the sign of the load.
TEST(HandResults, BeamUnderUniformLoadWithEachKindOfEnd) {
    struct Row {
        const char* name;
        int origin, end;
        double alpha, beta;
        bool turnI, turnJ;
        double Vi, Mi, Mj, mid, sag, slopeI, slopeJ;
    };
    const Row rows[] = {
        {"pinned ends", 1, 2, 0, 0, false, false, 1. / 2, 0, 0, 1. / 8, 5. / 384, 1. / 24, 1. / 24},
        {"turning nodes", 1, 2, 1, 1, true, true, 1. / 2, 0, 0, 1. / 8, 5. / 384, 1. / 24,
         -1. / 24},
        {"pinned j", 1, 2, 1, 0, false, false, 5. / 8, 1. / 8, 0, 1. / 16, 1. / 192, 0, 1. / 48},
        {"pinned i", 1, 2, 0, 1, false, false, 3. / 8, 0, 1. / 8, 1. / 16, 1. / 192, 1. / 48, 0},
        {"pinned j, drawn from j", 2, 1, 1, 0, false, false, 5. / 8, 1. / 8, 0, 1. / 16, 1. / 192,
         0, 1. / 48},
        {"turning j", 1, 2, 1, 1, false, true, 5. / 8, 1. / 8, 0, 1. / 16, 1. / 192, 0, -1. / 48},
        {"fixed ends", 1, 2, 1, 1, false, false, 1. / 2, 1. / 12, 1. / 12, 1. / 24, 1. / 384, 0, 0},
        {"fixity 0.5 at i", 1, 2, 0.5, 1, false, false, 7. / 16, 1. / 24, 5. / 48, 5. / 96,
         1. / 256, 1. / 96, 0},
    };
    const double L = 6, q = 1.5, EI = Section{}.EIz();
    const double force = q * L, moment = force * L, slope = moment * L / EI, sag = slope * L;
    for (const Row& r : rows) {
        Builder b = beam(
            L, {.origin = r.origin, .end = r.end, .qv = -q, .empOR = r.alpha, .empEX = r.beta});
        b.fix({1, 2});
        if (r.turnI) b.restrain(1, 5, FreeMarker);
        if (r.turnJ) b.restrain(2, 5, FreeMarker);
        const Solution s = solve(b);
        auto near = [&](double actual, double expected, double scale, const char* what) {
            EXPECT_NEAR(actual, expected * scale, Tight * scale) << r.name << ": " << what;
        };
        near(s.S(1, 2), r.Vi, force, "Vi");
        near(s.S(1, 8), 1 - r.Vi, force, "Vj");
        near(s.S(1, 6), r.Mi, moment, "Mi");
        near(s.S(1, 12), -r.Mj, moment, "Mj");
        // The supports' reactions, with their sign reversed.
        near(s.unbalanced[dof(1, 3)], -r.Vi, force, "reaction at i");
        near(s.unbalanced[dof(2, 3)], r.Vi - 1, force, "reaction at j");
        near(s.unbalanced[dof(1, 5)], r.Mi, moment, "moment reaction at i");
        near(s.unbalanced[dof(2, 5)], -r.Mj, moment, "moment reaction at j");

        const BarDiagramInput in = barDiagramInput(s.data, CaseLoads(s.data, {}), 1, s.D, s.S);
        near(diagramValues(in, 0).Mz, -r.Mi, moment, "moment at i");
        near(diagramValues(in, L).Mz, -r.Mj, moment, "moment at j");
        near(diagramValues(in, L / 2).Mz, r.mid, moment, "midspan moment");
        near(diagramValues(in, L / 2).yRel, -r.sag, sag, "sag");
        near(endSlopes(in).zI, -r.slopeI, slope, "slope at i");
        near(endSlopes(in).zJ, -r.slopeJ, slope, "slope at j");
    }
}

// A fixed 3-4-5 rafter under 2 t/m down along its length: each end holds half
// of the 10 t, 3 t of it along the bar and 4 t across, no horizontal reaction.
TEST(HandResults, RafterUnderItsVerticalLoad) {
    Builder b;
    b.type(Section{});
    b.node(0, 0, 0);
    b.node(4, 0, 3);
    b.bar({.qv = -2});
    b.fix({1, 2});
    const Solution s = solve(b);
    for (int end : {0, 6}) {
        expectRel(s.S(1, end + 1), 3);
        expectRel(std::hypot(s.S(1, end + 2), s.S(1, end + 3)), 4);
    }
    for (int node : {1, 2}) {
        EXPECT_NEAR(s.unbalanced[dof(node, 1)], 0, Tight);
        expectRel(s.unbalanced[dof(node, 3)], -5);
    }
}

TEST(HandResults, PlaneTrussAgainstStatics) {
    Builder b;
    b.type(Section{});
    for (auto [x, z] : {std::pair{0, 0}, {4, 0}, {2, 3}})
        b.node(x, 0, z);
    for (auto [o, e] : {std::pair{1, 2}, {1, 3}, {3, 2}})
        b.bar({o, e, 1, 0, 0, 0, 0, 0, 0, 0});
    for (int n = 1; n <= 3; ++n)
        for (int k : {2, 4, 5, 6})
            b.restrain(n, k);
    for (auto [n, k] : {std::pair{1, 1}, {1, 3}, {2, 3}})
        b.restrain(n, k);
    b.load(3, 3, -10);
    const Solution s = solve(b);
    const double l13 = std::sqrt(13.0);
    const double n13 = -5 * l13 / 3, n12 = 10.0 / 3;
    expectRel(s.S(1, 1), -n12);  // tension: the node pulls the bar's first end back
    expectRel(s.S(1, 7), n12);
    expectRel(s.S(2, 1), -n13);
    expectRel(s.S(3, 1), -n13);  // bar 3–2 runs from node 2, its lower number
    expectRel(s.unbalanced[dof(1, 3)], -5);
    expectRel(s.unbalanced[dof(2, 3)], -5);
    EXPECT_NEAR(s.unbalanced[dof(1, 1)], 0, 1e-9);
}

TEST(HandResults, PortalFrameReactionsAndTheValuesListedAlongItsBars) {
    const Solution s = solve(portal());
    // Free degrees of freedom: residuals. Supports: reactions with reversed sign,
    // so together they equal every load applied.
    double sum[3] = {0, 0, 0};
    for (int n = 1; n <= 4; ++n)
        for (int k = 1; k <= 6; ++k) {
            const double u = s.unbalanced[dof(n, k)];
            if (n == 2 || n == 3)
                EXPECT_NEAR(u, 0, 1e-9);
            else if (k <= 3)
                sum[k - 1] += u;
        }
    // Bar 3 runs down from node 3 to node 4; its loads act along its local y, z.
    const auto ax = axesFor(0, 0, -4, 30);
    for (int c = 0; c < 3; ++c) {
        const double barLoad = 4 * (0.5 * ax[1][c] - 0.25 * ax[2][c]);
        const double nodeLoads = c == 0 ? 3 : c == 2 ? -1 - 2.5 * 6 : 0;
        EXPECT_NEAR(sum[c], nodeLoads + barLoad, 1e-9) << "axis " << c;
    }

    // DIAGRAMA.RES lists the values along the bars, to half a unit of each
    // column's last digit; slopes keep four figures.
    const double halfUnit[] = {0, 5e-4, 5e-4, 5e-4, 5e-4, 5e-4, 5e-4, 5e-3, 5e-3, 5e-3, 5e-3};
    constexpr double halfFigure = 5.0001e-4;
    for (int bar = 1; bar <= 3; ++bar) {
        const BarDiagramInput in = barDiagramInput(s.data, CaseLoads(s.data, {}), bar, s.D, s.S);
        const EndSlopes ends = endSlopes(in);
        for (int k = 0; k <= 10; ++k) {
            const DiagramValues v = diagramValues(in, in.L / 10 * k);
            const double expected[] = {double(k),     v.N,           v.Vy,         v.Vz,
                                       v.T,           v.My,          v.Mz,         v.yRel * 1000,
                                       v.yAbs * 1000, v.zRel * 1000, v.zAbs * 1000};
            const auto line = diagramLine(s.diagrams, bar, k);
            ASSERT_EQ(line.size(), k % 10 == 0 ? 13u : 11u) << bar << " " << k;
            for (int c = 0; c <= 10; ++c)
                EXPECT_NEAR(line[c], expected[c], halfUnit[c]) << bar << " " << k << " " << c;
            if (k % 10) continue;
            const double slopeY = k == 0 ? ends.yI : ends.yJ, slopeZ = k == 0 ? ends.zI : ends.zJ;
            EXPECT_NEAR(line[11], slopeY, halfFigure * std::abs(slopeY)) << bar << " " << k;
            EXPECT_NEAR(line[12], slopeZ, halfFigure * std::abs(slopeZ)) << bar << " " << k;
        }
    }
}

TEST(Mechanisms, TheFirstLooseDegreeOfFreedomIsNamed) {
    Builder pinnedJoint;  // both bars pinned at node 2
    pinnedJoint.type(Section{});
    for (double x : {0, 3, 6})
        pinnedJoint.node(x, 0, 0);
    pinnedJoint.bar({1, 2, 1, 0, 0, 0, 0, 0, 1, 0});
    pinnedJoint.bar({2, 3, 1, 0, 0, 0, 0, 0, 0, 1});
    pinnedJoint.fix({1, 3});
    Builder loneNode = beam(3, {});  // node 3 has no bar
    loneNode.fix({1, 2});
    loneNode.node(9, 9, 9);
    Builder turningNode = loneNode;  // ... and only its turn about Z free
    for (int k = 1; k <= 5; ++k)
        turningNode.restrain(3, k);
    // Large enough that the loose pivots are lost in rounding, not zero.
    const Builder unsupported = lattice(14, 14, 14, false);
    const struct {
        const Builder& b;
        int node, dof;
        const char* message;
    } rows[] = {
        {pinnedJoint, 2, 10, "Detección de mecanismo en el nudo nº: 2, en el Giro X."},
        {loneNode, 3, 13, "Detección de mecanismo en el nudo nº: 3, en el Desplazamiento X."},
        {turningNode, 3, 18, "Detección de mecanismo en el nudo nº: 3, en el Giro Z."},
        {unsupported, 2744, 16459,
         "Detección de mecanismo en el nudo nº: 2744, en el Desplazamiento X."},
    };
    // Both paths name the same degree of freedom.
    for (bool sparse : {false, true})
        for (const auto& r : rows) {
            const auto e = test::thrown<CalculationError>(
                [&] { sparse ? (void)solveSparsely(r.b) : (void)solve(r.b); });
            ASSERT_TRUE(e) << r.message;
            EXPECT_EQ(e->kind(), CalculationError::Kind::Mechanism);
            EXPECT_STREQ(e->what(), r.message) << "sparse " << sparse;
            EXPECT_EQ(std::pair(e->node(), e->dof()), std::pair(r.node, r.dof));
        }
}

TEST(Mechanisms, StiffBeamsOnSoftColumnsStillCalculate) {
    // Beams 10⁶ times stiffer than the columns: pivots fall below 1e-9 of their
    // rows' diagonals, yet the frame stands and both paths balance its loads
    // of 1.25 t to a gram (rounding alone leaves 1e-8 t: the beams carry forces
    // far above the loads).
    const Builder b = lattice(4, 4, 4, true, 1e6);
    const Solution band = solve(b);
    std::vector<double> unbalanced;
    Table<double> S;
    test::RecordingObserver obs;
    ASSERT_TRUE(
        Esfuerzos(band.data, CaseLoads(band.data, {}), solveSparsely(b), S, unbalanced, obs));
    for (const std::vector<double>& u : {band.unbalanced, unbalanced})
        for (std::size_t k = 1; k < u.size(); ++k) {
            if (!isFree(band.data.restraints((k + 5) / 6, (k - 1) % 6 + 1))) continue;
            EXPECT_NEAR(u[k], 0, 1e-6) << k;
        }
}

// A random frame: nodes numbered at random in a 10 m box, a chain of partly
// fixed bars through them and random extra bars, random sections and loads,
// the first node of the chain fixed and a few supports with prescribed values.
Builder randomFrame(std::mt19937& rng, int nodes, int extraBars) {
    std::uniform_real_distribution<double> u(0, 1);
    Builder b;
    for (int t = 0; t < 3; ++t)
        b.type(Section{.A = 20 + 200 * u(rng),
                       .InerZ = 500 + 2e4 * u(rng),
                       .InerY = 300 + 1e4 * u(rng),
                       .MTors = 100 + 3e3 * u(rng)});
    for (int n = 0; n < nodes; ++n)
        b.node(10 * u(rng), 10 * u(rng), 10 * u(rng));
    std::vector<int> order(nodes, 0);
    std::iota(order.begin(), order.end(), 1);
    std::shuffle(order.begin(), order.end(), rng);
    auto bar = [&](int o, int e) {
        b.bar({o, e, 1 + int(3 * u(rng)), 360 * u(rng), -2 * u(rng), u(rng) - 0.5, u(rng) - 0.5,
               u(rng) < 0.2 ? 30 * u(rng) : 0, 0.3 + 0.7 * u(rng), 0.3 + 0.7 * u(rng)});
    };
    for (int k = 1; k < nodes; ++k)
        bar(order[std::size_t(k - 1)], order[std::size_t(k)]);
    for (int k = 0; k < extraBars; ++k) {
        const int o = 1 + int(nodes * u(rng)), e = 1 + int(nodes * u(rng));
        if (o != e) bar(o, e);
    }
    b.fix({order[0]});
    for (int n = 1; n <= nodes; ++n) {
        for (int k = 1; k <= 6; ++k)
            b.load(n, k, u(rng) < 0.3 ? 4 * u(rng) - 2 : 0);
        if (u(rng) < 0.15) b.restrain(n, 1 + int(6 * u(rng)), u(rng) < 0.5 ? 0 : 0.002 * u(rng));
    }
    return b;
}

TEST(SparsePath, SolvesRandomFramesAsTheBandDoes) {
    std::mt19937 rng(11);
    const int sizes[][2] = {{2, 0}, {5, 3}, {12, 10}, {30, 40}, {80, 150}};
    for (int round = 0; round < 4; ++round)
        for (const auto& [nodes, extra] : sizes) {
            const Builder b = randomFrame(rng, nodes, extra);
            const std::vector<double> band = solve(b).D, sparse = solveSparsely(b);
            double largest = 0;
            for (double d : band)
                largest = std::max(largest, std::abs(d));
            for (std::size_t k = 1; k < band.size(); ++k)
                ASSERT_NEAR(sparse[k], band[k], 1e-10 * largest)
                    << nodes << " nodes, round " << round << ", dof " << k;
        }
}

TEST(ResultText, DiagramaHeadingTitleAndPointLines) {
    Builder b = beam(6, Bar{.qv = -1});
    b.fix({1, 2});
    const Solution s = solve(b);
    const auto lines = splitLines(s.diagrams);
    ASSERT_EQ(lines.size(), 5u + 12u);
    EXPECT_EQ(lines[0],
              "(Los desplazamientos o giros relativos lo son respecto la línea recta que une los "
              "dos extremos de la barra");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3],
              "Pos.     Axil  Cort.Y  Cort.Z   Torsor   Mto.Y   Mto.Z   Desplaz Y(mm)  Desplaz "
              "Z(mm) GiroY(rad) GiroZ(rad)");
    EXPECT_EQ(lines[5], "Barra   1");
    EXPECT_EQ(lines[6],
              "   0/10    0.000  -3.000   0.000    0.000   0.000  -3.000    0.00   0.00    0.00   "
              "0.00  0.000E+00  0.000E+00");
    EXPECT_EQ(
        lines[11],
        "   5/10    0.000   0.000   0.000    0.000   0.000   1.500   -1.61  -1.61    0.00   0.00");
    EXPECT_EQ(s.diagrams.substr(s.diagrams.size() - 2), "\r\n");

    // A value that fills its pattern keeps a blank before it.
    Builder heavy = beam(6, Bar{.qv = -100});
    heavy.fix({1, 2});
    EXPECT_EQ(splitLines(solve(heavy).diagrams)[6],
              "   0/10    0.000 -300.000   0.000    0.000   0.000 -300.000    0.00   0.00    0.00 "
              "  0.00  0.000E+00  0.000E+00");

    // From bar 1000 on the number fills its columns: a blank stays after "Barra".
    Builder chain;
    chain.type(Section{});
    for (int n = 0; n <= 1000; ++n) {
        chain.node(n, 0, 0);
        chain.fix({n + 1});
        if (n) chain.bar({n, n + 1});
    }
    const auto titles = splitLines(solve(chain).diagrams);
    EXPECT_EQ(titles[5 + 998 * 12], "Barra 999");
    EXPECT_EQ(titles[5 + 999 * 12], "Barra 1000");
}

TEST(ResultText, MatrixDumpLines) {
    Builder b = beam(2, {});
    b.fix({1});
    b.load(2, 3, -1);
    const StructureData& data = b.data();
    BandMatrix K(12, ComputeHalfBandwidth(data.bars, data.barCount));
    std::vector<double> F = byDof(data.loads, 2), D = byDof(data.restraints, 2);
    test::RecordingObserver obs;
    ASSERT_TRUE(Ensambla(data, K, F, D, obs));
    const auto lines = splitLines(matrixDump(K, F, D));
    ASSERT_EQ(lines.size(), 12u);
    // EA/L = 105000 on the axial diagonal; node 1 fixed, node 2 free.
    EXPECT_EQ(lines[0].substr(0, 12 + 12), "      0.00 |  105000.000");
    EXPECT_EQ(lines[0].substr(lines[0].size() - 10), " |  dX1·0");
    EXPECT_EQ(lines[8].substr(0, 12), "     -1.00 |");
    EXPECT_EQ(lines[11].substr(lines[11].size() - 10), " |  gZ2·?");
    EXPECT_EQ(characterCount(lines[6]), 11u + 1 + 12 * 12 + 4 + 3 + 1 + 1);
}

// Whole calculations through the structure files.
class Calculation : public ::testing::Test {
  protected:
    test::TempDir dir;
    FixedClock clock;
    test::RecordingObserver observer;

    CalcOutcome run(const Builder& b, CalcOptions options = {}) {
        b.write(dir.path());
        return runCalculation(dir.path(), options, observer, clock);
    }
    // The refusal of the structure `b` writes, or of the directory as it is.
    CalculationError::Kind refused(const Builder* b, std::string* message = nullptr) {
        if (b) b->write(dir.path());
        const auto e = test::thrown<CalculationError>(
            [&] { runCalculation(dir.path(), {}, observer, clock); });
        EXPECT_TRUE(e) << "the calculation was not refused";
        if (e && message) *message = e->what();
        return e ? e->kind() : CalculationError::Kind::NotFinite;
    }
    bool anyResult() const {
        for (const char* f : {"INCOG.RES", "ESFUERZO.RES", "DESEQUIL.RES", "DIAGRAMA.RES",
                              "listado.txt", "Resultad.res"})
            if (fileExists(dir.path(), f)) return true;
        return false;
    }
};

TEST_F(Calculation, WritesTheResultsAndTheTriangulatedMatrix) {
    Builder b = beam(4, Bar{.qv = -1});
    b.fix({1});
    b.load(2, 3, -1);
    ASSERT_EQ(run(b, {true, true}), CalcOutcome::Completed);
    const auto D =
        DiscoX::readNodeResults<double>(dir.path(), DiscoX::NodeResult::Displacements, 2);
    ASSERT_TRUE(D);
    // q·L⁴/(8EI) + P·L³/(3EI), both down.
    const double EI = Section{}.EIz();
    expectRel((*D)[dof(2, 3)], -(256.0 / (8 * EI) + 64.0 / (3 * EI)));
    EXPECT_EQ(splitLines(dir.read("INCOG.RES")).size(), 12u);
    EXPECT_EQ(splitLines(dir.read("ESFUERZO.RES")).size(), 12u);
    // The solver leaves each displacement in the last field of matriz.tri.
    const auto tri = splitLines(dir.read("matriz.tri"));
    EXPECT_NE(tri[8].find("dZ2·" + writtenValue((*D)[9])), std::string::npos);
}

TEST_F(Calculation, CommaLocaleKeepsPointsInResultFiles) {
    setDecimalSeparator(',');
    Builder b = beam(4, Bar{.qv = -1.5});
    b.fix({1, 2});
    ASSERT_EQ(run(b), CalcOutcome::Completed);
    setDecimalSeparator('.');
    EXPECT_EQ(dir.read("DIAGRAMA.RES").find(','), std::string::npos);
    EXPECT_EQ(dir.read("ESFUERZO.RES").find(','), std::string::npos);
    EXPECT_NE(dir.read("listado.txt").find("1,500"), std::string::npos);
}

TEST_F(Calculation, RefusesBadBarsBeforeWritingAnything) {
    Builder badNode = beam(4, {}), badType = beam(4, {}), zero = beam(4, {}), area = beam(4, {});
    Builder huge = beam(4, {}), negative = beam(4, {});
    huge.bar({1, 2, 1, 0, 0, 0, 0, 0, 1e38, 1});
    negative.bar({1, 2, 1, 0, 0, 0, 0, 0, 1, -0.5});
    badNode.bar({2, 5});
    badType.bar({1, 2, 3});
    zero.node(4, 0, 0);
    zero.bar({2, 3});
    area.type(Section{.A = 0});
    area.bar({1, 2, 2});
    using K = CalculationError::Kind;
    for (const auto& [b, kind, message] :
         {std::tuple{&badNode, K::BadNode,
                     "La barra nº 2 une los nudos 2 y 5, pero la estructura tiene 2 nudos."},
          {&badType, K::UndefinedType, " Está usando un tipo de barra que no está definido       "},
          {&zero, K::ZeroLength, "La barra nº 2 tiene longitud nula: sus nudos 2 y 3 coinciden."},
          {&area, K::ZeroArea, "Ojo: area nula en la barra 2"},
          {&huge, K::BadFixity,
           "La barra nº 2 tiene un coeficiente de empotramiento 1e+38 en el origen: debe estar "
           "entre 0 y 1."},
          {&negative, K::BadFixity,
           "La barra nº 2 tiene un coeficiente de empotramiento -0.5 en el extremo: debe estar "
           "entre 0 y 1."}}) {
        std::string msg;
        EXPECT_EQ(refused(b, &msg), kind) << message;
        EXPECT_EQ(msg, message);
        EXPECT_FALSE(anyResult()) << message;
    }
}

TEST_F(Calculation, MechanismLeavesEarlierResultsAlone) {
    Builder ok = beam(4, {});
    ok.fix({1});
    ok.load(2, 3, -1);
    ASSERT_EQ(run(ok), CalcOutcome::Completed);
    const std::string before = dir.read("INCOG.RES");
    Builder loose = beam(4, {});
    loose.load(2, 3, -1);
    EXPECT_EQ(refused(&loose), CalculationError::Kind::Mechanism);
    EXPECT_EQ(dir.read("INCOG.RES"), before);
}

TEST_F(Calculation, StopDuringTheFactorizationWritesNothing) {
    observer.stopAtStage = StageReduction;
    EXPECT_EQ(run(lattice(8, 8, 8, true)), CalcOutcome::Stopped);
    EXPECT_FALSE(anyResult());
}

TEST(BandMemory, WarnsAboveAFewHundredMegabytesRefusesWhatTheMachineLacks) {
    const struct {
        double bytes, available;
        BandVerdict verdict;
    } rows[] = {
        {100e6, 8e9, BandVerdict::Fine}, {500e6, 8e9, BandVerdict::Fine},
        {501e6, 8e9, BandVerdict::Warn}, {8e9, 8e9, BandVerdict::Warn},
        {9e9, 8e9, BandVerdict::Refuse}, {300e6, 200e6, BandVerdict::Refuse},
    };
    for (const auto& r : rows)
        EXPECT_EQ(judgeBand(r.bytes, r.available), r.verdict) << r.bytes << " " << r.available;
    // Rows padded to whole cache lines: 2406 positions take 2408.
    EXPECT_EQ(bandBytes(96000, 2406), 96000.0 * 2408 * 8);
}

TEST_F(Calculation, BandPathRefusesABandBeyondTheMachine) {
    // One bar from node 1 to node 30000: a band of 259 GB.
    Builder b = beam(4, {});
    for (int n = 3; n <= 30000; ++n)
        b.node(n, 1, 0);
    b.bar({1, 30000});
    const auto e = test::thrown<CalculationError>([&] { run(b, {false, true}); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->kind(), CalculationError::Kind::BandTooLarge);
    const std::string message = e->what();
    EXPECT_EQ(message.rfind("La matriz en banda (semiancho 180000) ocupa 259200 MB y la máquina "
                            "solo dispone de ",
                            0),
              0u)
        << message;
    EXPECT_NE(message.find("Use \"Renumerar\" para reducir la banda"), std::string::npos);
    EXPECT_FALSE(anyResult());
}

TEST_F(Calculation, OtherVersion) {
    std::string msg;
    dir.write("DATOS.DAT", "\"Vanto 3.0\"\r\n2\r\n1\r\n");
    EXPECT_EQ(refused(nullptr, &msg), CalculationError::Kind::OtherVersion);
    EXPECT_EQ(msg, "Estructura no compatible con la versión actual del programa");
    dir.write("DATOS.DAT", "\"Vanto 2.11\"\r\n2\r\n1\r\n");
    EXPECT_THROW(runCalculation(dir.path(), {}, observer, clock), FileError);
}

// Load cases: every case solved with the same factorization, each against
// its hand result, and the combinations as factored sums.
class LoadCases : public Calculation {
  protected:
    static constexpr ResultSet H1{}, H2{ResultSet::Kind::Case, 2}, H3{ResultSet::Kind::Case, 3};
    static constexpr ResultSet C1{ResultSet::Kind::Combination, 1};
    static constexpr ResultSet C2{ResultSet::Kind::Combination, 2};

    std::vector<double> displacements(const ResultSet& set) const {
        return DiscoX::readNodeResults<double>(dir.path(), DiscoX::NodeResult::Displacements, nodes,
                                               set)
            .value();
    }
    // End forces as written (32 bits on reading back: relative 1e-6).
    Table<float> forces(const ResultSet& set) const {
        return DiscoX::readEndForces(dir.path(), bars, set).value();
    }
    static void expectFloat(double actual, double expected) {
        EXPECT_NEAR(actual, expected, 1e-6 * std::max(1.0, std::abs(expected)));
    }
    int nodes = 2, bars = 1;
};

// A bar along X fixed at node 1, whose support settles 1 cm in case 1 only.
// Case 1, a tip load P down: the tip falls PL³/(3EIz) more and turns PL²/(2EIz).
// Case 2, a uniform load q down: qL⁴/(8EIz), qL³/(6EIz), support moment qL²/2.
// Case 3, heat ΔT: the tip moves α·ΔT·L along the bar, and no force arises.
TEST_F(LoadCases, CantileverCaseByCaseOnBothSolvers) {
    const double L = 4, P = 1.5, q = 2, dT = 20, settle = 0.01;
    const Section steel;
    Builder b = beam(L, {});
    b.fix({1});
    b.restrain(1, 3, -settle);
    b.load(2, 3, -P);
    b.addCase("Uniforme");
    b.caseBarLoad(2, 1, VerticalLoad, -q);
    b.addCase("Calor");
    b.caseBarLoad(3, 1, TemperatureChange, dT);
    b.combination("ELU", {1.35, 1.5, 0.6});
    const double EI = steel.EIz();
    for (bool band : {false, true}) {
        SCOPED_TRACE(band ? "band" : "sparse");
        ASSERT_EQ(run(b, {band, false}), CalcOutcome::Completed);
        const auto d1 = displacements(H1), d2 = displacements(H2), d3 = displacements(H3);
        expectRel(d1[dof(2, 3)], -settle - P * L * L * L / (3 * EI));
        expectRel(d1[dof(2, 5)], P * L * L / (2 * EI));
        EXPECT_EQ(d2[dof(1, 3)], 0);
        expectRel(d2[dof(2, 3)], -q * L * L * L * L / (8 * EI));
        expectRel(d2[dof(2, 5)], q * L * L * L / (6 * EI));
        expectFloat(forces(H2)(1, 6), q * L * L / 2);
        expectRel(d3[dof(2, 1)], steel.CdTerm / 1000 * dT * L);
        expectFloat(forces(H3)(1, 1), 0);
        // The combination: 1.35·H1 + 1.5·H2 + 0.6·H3.
        const auto c = displacements(C1);
        for (int k = 1; k <= 12; ++k)
            expectRel(c[k], 1.35 * d1[k] + 1.5 * d2[k] + 0.6 * d3[k], 1e-12);
    }
}

// The portal, columns of height h and beam of span L, every bar of
// EI = 2100 t·m² about both axes and so large an area that no bar shortens,
// as the hand results assume. With
// c = EI/h and b = EI/L, slope deflection gives:
// - a horizontal load H at node 2: sway Δ and joint turn θ = kΔ with
//   k = 6c/(h(4c + 6b)) and H = 4c/h·(6/h − 3k)·Δ; column moments
//   2c(θ − 3Δ/h) at the foot and 2c(2θ − 3Δ/h) at the head;
// - a uniform load q on the beam: θ = qL²/12/(4c + 2b), moments 2cθ and 4cθ;
// - the beam heated by ΔT: the heads part by δ = α·ΔT·L/2 each and turn
//   θ = 3cδ/(h(2c + b)), moments as under the sway with δ for Δ.
TEST_F(LoadCases, PortalFrameCaseByCase) {
    const double h = 4, L = 6, H = 2, q = 3, dT = 25;
    const Section stiff{.A = 1e6, .InerZ = 10000, .InerY = 10000};
    Builder b = portalFrame(stiff);
    b.load(2, 1, H);
    b.addCase("Uniforme");
    b.caseBarLoad(2, 2, VerticalLoad, -q);
    b.addCase("Calor");
    b.caseBarLoad(3, 2, TemperatureChange, dT);
    b.combination("ELU", {1.35, 1.5, 0});
    b.combination("Servicio", {1, 1, 1});
    nodes = 4, bars = 3;
    ASSERT_EQ(run(b), CalcOutcome::Completed);

    const double EI = stiff.EIz(), c = EI / h, cb = EI / L;
    const double k = 6 * c / (h * (4 * c + 6 * cb));
    const double sway = H / (4 * c / h * (6 / h - 3 * k)), turn = k * sway;
    const auto d1 = displacements(H1);
    expectRel(d1[dof(2, 1)], sway, 1e-6);
    expectRel(d1[dof(3, 1)], sway, 1e-6);
    expectRel(std::abs(d1[dof(2, 5)]), turn, 1e-6);
    expectFloat(std::abs(forces(H1)(1, 5)), std::abs(2 * c * (turn - 3 * sway / h)));
    expectFloat(std::abs(forces(H1)(1, 11)), std::abs(2 * c * (2 * turn - 3 * sway / h)));

    const double theta = q * L * L / 12 / (4 * c + 2 * cb);
    const auto d2 = displacements(H2);
    EXPECT_NEAR(d2[dof(2, 1)], 0, 1e-8);  // the beam's own shortening
    expectRel(std::abs(d2[dof(2, 5)]), theta, 1e-6);
    expectFloat(std::abs(forces(H2)(1, 5)), 2 * c * theta);
    expectFloat(std::abs(forces(H2)(2, 6)), 4 * c * theta);

    const double delta = stiff.CdTerm / 1000 * dT * L / 2;
    const double heated = 3 * c * delta / (h * (2 * c + cb));
    const auto d3 = displacements(H3);
    expectRel(d3[dof(2, 1)], -delta, 1e-6);
    expectRel(d3[dof(3, 1)], delta, 1e-6);
    expectFloat(std::abs(forces(H3)(1, 5)), std::abs(2 * c * (heated - 3 * delta / h)));

    // Combination 2 is the plain sum: its end forces are the sums of the cases'.
    const Table<float> f1 = forces(H1), f2 = forces(H2), f3 = forces(H3), fc = forces(C2);
    for (int bar = 1; bar <= 3; ++bar)
        for (int i = 1; i <= 12; ++i)
            EXPECT_NEAR(fc(bar, i), f1(bar, i) + f2(bar, i) + f3(bar, i), 1e-5) << bar << " " << i;
}

// The envelope lists, at every point of every bar, the largest and smallest
// of the combinations' values and which gives each; case 1 keeps its files.
TEST_F(LoadCases, EnvelopeTakesTheExtremesOfTheCombinations) {
    Builder b = portal();
    b.addCase("Viento");
    b.caseLoad(2, 2, 1, -4);
    b.caseBarLoad(2, 1, TransverseLoadZ, 0.8);
    b.combination("ELU", {1.35, 1.5});
    b.combination("Servicio", {1, -0.6});
    nodes = 4, bars = 3;
    ASSERT_EQ(run(b), CalcOutcome::Completed);
    const std::string c1 = dir.read("DIAGRAMA.C01"), c2 = dir.read("DIAGRAMA.C02");
    const auto envelope = splitLines(dir.read("ENVOLVEN.RES"));
    ASSERT_EQ(envelope.size(), 4u + 3 * (1 + 11 * 4));
    // The words after the line's label ("0/10 máx", "por", "mín").
    auto numbers = [](const std::string& line) {
        std::istringstream in(line);
        std::vector<std::string> words;
        for (std::string w; in >> w;)
            words.push_back(w);
        words.erase(words.begin(), words.end() - 10);
        return words;
    };
    for (int bar = 1; bar <= 3; ++bar)
        for (int k = 0; k <= 10; ++k) {
            const std::size_t at = 4 + std::size_t(bar - 1) * 45 + 1 + std::size_t(k) * 4;
            const auto max = numbers(envelope[at]), maxBy = numbers(envelope[at + 1]);
            const auto min = numbers(envelope[at + 2]), minBy = numbers(envelope[at + 3]);
            const auto v1 = diagramLine(c1, bar, k), v2 = diagramLine(c2, bar, k);
            for (int q = 0; q < 10; ++q) {
                const double a = v1[q + 1], z = v2[q + 1];
                EXPECT_EQ(std::stod(max[q]), std::max(a, z)) << bar << " " << k << " " << q;
                EXPECT_EQ(std::stod(min[q]), std::min(a, z)) << bar << " " << k << " " << q;
                if (a != z) {
                    EXPECT_EQ(maxBy[q], a > z ? "C01" : "C02");
                    EXPECT_EQ(minBy[q], a < z ? "C01" : "C02");
                }
            }
        }
    // The results listing: every case and combination titled, then each
    // bar's extremes along it (bar 1's largest values, here).
    const auto listing = splitLines(dir.read("Resultad.res"));
    for (const char* title : {"HIPOTESIS 1: Hipótesis 1", "HIPOTESIS 2: Viento",
                              "COMBINACION 2: Servicio = 1·H01 - 0.6·H02",
                              "ENVOLVENTE DE LAS COMBINACIONES: VALORES EXTREMOS EN CADA BARRA "
                              "(t, m·t)"})
        EXPECT_NE(std::find(listing.begin(), listing.end(), title), listing.end()) << title;
    const auto row = std::find_if(listing.begin(), listing.end(),
                                  [](const std::string& l) { return l.starts_with("  1 máx"); });
    ASSERT_NE(row, listing.end());
    std::istringstream words(row->substr(std::string("  1 máx").size()));
    for (int q = 0; q < 6; ++q) {
        double largest = -1e300;
        for (int k = 0; k <= 10; ++k)
            largest = std::max(largest, std::stod(numbers(envelope[5 + std::size_t(k) * 4])[q]));
        std::string value, by;
        words >> value >> by;
        EXPECT_EQ(std::stod(value), largest) << q;
    }

    // Every set's sections, made from the calculation's values, are those its
    // result files give when read back.
    EXPECT_TRUE(dir.read("Resultad.res").starts_with(reports::resultsListing(dir.path(), clock)));

    // Case 1's results are those of the structure alone.
    const std::string withCases = dir.read("INCOG.RES");
    run(portal());
    EXPECT_EQ(dir.read("INCOG.RES"), withCases);
    EXPECT_FALSE(fileExists(dir.path(), "ENVOLVEN.RES"));
    EXPECT_FALSE(fileExists(dir.path(), "INCOG.H02"));
}

}  // namespace
}  // namespace vanto::analysis
