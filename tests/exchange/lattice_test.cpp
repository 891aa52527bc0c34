// The lattice generator: node numbering, bars and their order, kept data.

#include "exchange/lattice.h"

#include <gtest/gtest.h>

#include "exchange_support.h"
#include "model/structure_data.h"
#include "support/load_cases.h"

namespace vanto::exchange {
namespace {

using test::TempDir;

LatticeOptions grid(double nx, double ny, double nz, double e = 1, bool keep = false) {
    return {.nx = nx, .ny = ny, .nz = nz, .ex = e, .ey = e, .ez = e, .keepCurrent = keep};
}

TEST(Lattice, TwoByOneByTwoWithFoundationBeams) {
    TempDir dir;
    LatticeOptions o = grid(2, 1, 2);
    o.foundationBeams = true;
    EXPECT_EQ(generateLattice(dir.path(), o).outcome, Outcome::Written);
    // Nodes (0,0,0), (0,0,1), (1,0,0), (1,0,1): all x, then all y, then all z.
    EXPECT_EQ(dir.read("COORDENA.DAT"),
              test::crlf({"0", "0", "1", "1", "0", "0", "0", "0", "0", "1", "0", "1"}));
    // Bars 1-2, 1-3, 2-4, 3-4: type 1, no loads, no angle, fixed at both ends.
    EXPECT_EQ(dir.read("BARRAS.DAT"),
              "1,2,1,0,0,0,0,0,1,1\r\n1,3,1,0,0,0,0,0,1,1\r\n2,4,1,0,0,0,0,0,1,1\r\n"
              "3,4,1,0,0,0,0,0,1,1\r\n");
    EXPECT_EQ(dir.read("DATOS.DAT"), "\"Vanto 2.11\"\r\n4\r\n4\r\n");
    // The structure was completed with the default bar types.
    EXPECT_EQ(DiscoX::readTypes<float>(dir.path()).count, 33);
}

TEST(Lattice, BarOptionsDecideWhichBarsExist) {
    const struct {
        LatticeOptions grid;
        bool create, foundation, keep;
        int nodes;
        std::vector<std::string> ends;
    } cases[] = {
        {grid(2, 1, 2), true, false, false, 4, {"1-2", "2-4", "3-4"}},
        {grid(2, 1, 2), false, true, false, 4, {}},  // foundation beams alone create nothing
        {grid(3, 3, 1), true, false, false, 9, {}},  // one level only
        {grid(3, 3, 1),
         true,
         true,
         false,
         9,
         {"1-2", "2-3", "1-4", "2-5", "4-5", "3-6", "5-6", "4-7", "5-8", "7-8", "6-9", "8-9"}},
        {grid(1, 1, 2), true, false, true, 2, {"1-2"}},  // keeping a new structure: from nothing
    };
    for (auto c : cases) {
        TempDir dir;
        c.grid.createBars = c.create;
        c.grid.foundationBeams = c.foundation;
        c.grid.keepCurrent = c.keep;
        EXPECT_EQ(generateLattice(dir.path(), c.grid).nodeCount, c.nodes);
        EXPECT_EQ(test::barEnds(test::readStructure(dir.path())), c.ends);
    }
}

TEST(Lattice, NodesRunFastestAlongZAndBarsFollowTheFullGrid) {
    TempDir dir;
    // The window's defaults: 3 × 4 × 5 points spaced 5, 6 and 3.
    const Summary s =
        generateLattice(dir.path(), {.ox = 10, .oy = -2, .oz = 0.5, .foundationBeams = true});
    // ((nx−1)·ny + (ny−1)·nx)·nz + nx·ny·(nz−1)
    EXPECT_EQ(s.barCount, (2 * 4 + 3 * 3) * 5 + 3 * 4 * 4);
    const auto w = test::readStructure(dir.path());
    ASSERT_EQ(w.nodeCount, 60);
    // Point (i, j, k) = (2, 3, 4) is node ((2−1)·4 + (3−1))·5 + 4 = 34.
    EXPECT_EQ(w.coordinates(34, 1), 15.0f);
    EXPECT_EQ(w.coordinates(34, 2), 10.0f);
    EXPECT_EQ(w.coordinates(34, 3), 9.5f);
    // Its bars, in order: from the node before it along x, along y, below it.
    std::vector<std::string> to34;
    for (const auto& b : test::barEnds(w))
        if (b.ends_with("-34")) to34.push_back(b);
    EXPECT_EQ(to34, (std::vector<std::string>{"14-34", "29-34", "33-34"}));
}

TEST(Lattice, KeepingTheStructureAppendsAfterItsNodesAndBars) {
    TempDir dir;
    test::writeChain(dir.path(), 10);
    dir.write("NOTAS.DAT", "Mi estructura.\r\n");
    dir.write("TIPOS.DAT", "cabecera\r\n0\r\n");
    dir.write("INCOG.RES", "0\r\n");
    const auto before = test::readStructure(dir.path());
    const std::string bars = dir.read("BARRAS.DAT"), restraints = dir.read("COACCION.DAT");

    const Summary s = generateLattice(dir.path(), grid(2, 1, 2, 1, true));
    EXPECT_EQ(s.nodeCount, 14);
    EXPECT_EQ(s.barCount, 12);

    const auto w = test::readStructure(dir.path());
    // The kept rows, unchanged.
    EXPECT_TRUE(dir.read("BARRAS.DAT").starts_with(bars));
    EXPECT_TRUE(dir.read("COACCION.DAT").starts_with(restraints));
    for (int n = 1; n <= 10; ++n)
        for (int a = 1; a <= 3; ++a)
            EXPECT_EQ(w.coordinates(n, a), before.coordinates(n, a));
    // The first grid node is node 11.
    EXPECT_EQ(w.coordinates(11, 1), 0.0f);
    EXPECT_EQ(w.coordinates(12, 3), 1.0f);
    const auto ends = test::barEnds(w);
    EXPECT_EQ(std::vector<std::string>(ends.begin() + 9, ends.end()),
              (std::vector<std::string>{"11-12", "12-14", "13-14"}));
    EXPECT_EQ(w.restraints(11, 1), 1234.0f);
    // The description and the bar types stay; the old results are gone.
    EXPECT_EQ(dir.read("NOTAS.DAT"), "Mi estructura.\r\n");
    EXPECT_EQ(dir.read("TIPOS.DAT"), "cabecera\r\n0\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "INCOG.RES"));
}

// Load cases grow with a kept structure, unloaded on the new nodes and bars;
// a new lattice replaces them with none.
TEST(Lattice, LoadCasesGrowWithTheKeptStructureAndGoWithANewOne) {
    TempDir dir;
    test::writeChain(dir.path(), 10);
    test::writeThreeCases(dir.path(), 10, 9);
    dir.write("INCOG.H02", "0\r\n");
    generateLattice(dir.path(), grid(2, 1, 2, 1, true));
    const Structure s = loadStructure<float>(dir.path(), part::All);
    ASSERT_EQ(s.cases.count(), 3);
    EXPECT_EQ(s.cases.loadCase(2).nodeLoads(2, 1), 1.25f);
    EXPECT_EQ(s.cases.loadCase(2).nodeLoads(14, 1), 0);
    EXPECT_EQ(s.cases.loadCase(3).barLoads(9, 4), 20);
    EXPECT_EQ(s.cases.loadCase(3).barLoads(12, 4), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "INCOG.H02"));

    generateLattice(dir.path(), grid(2, 1, 2));
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_FALSE(isLoadCaseFile(e.path().filename().string())) << e.path();
}

// A zero spacing and a negative count are refused from the window's test.
TEST(Lattice, RefusesUnusableOptionsOrAnUnreadableKeptStructure) {
    TempDir dir;
    test::writeChain(dir.path(), 3);
    dir.write("BARRAS.DAT", "1,2,1\r\n");  // to keep, it cannot be read
    const std::string before = test::snapshot(dir.path());
    // A zero count (0.4 rounds to 0) silently makes nothing.
    for (const LatticeOptions& o : {grid(0, 4, 5), grid(3, 0.4, 5)})
        EXPECT_EQ(generateLattice(dir.path(), o).outcome, Outcome::NothingWritten);
    for (const LatticeOptions& o :
         {grid(2, 3, -1), grid(1000, 1000, 10), grid(1e30, 1, 1), grid(2, 2, 2, std::nan(""))})
        EXPECT_THROW(generateLattice(dir.path(), o), ExchangeError);
    const LatticeOptions keep = grid(2, 2, 2, 1, true);
    EXPECT_THROW(generateLattice(dir.path(), keep), FileError);
    EXPECT_EQ(test::snapshot(dir.path()), before);
    dir.write("DATOS.DAT", "\"Otro 1.0\"\r\n3\r\n2\r\n");
    EXPECT_THROW(generateLattice(dir.path(), keep), ExchangeError);
}

TEST(Lattice, BoxTextsReadAsPlainNumbers) {
    const std::pair<const char*, double> texts[] = {
        {"5", 5},    {" 2.5 m", 2.5}, {"2,5", 2} /* a comma ends it */, {"-.5", -0.5}, {"1E2", 100},
        {"tres", 0}, {"", 0}};
    for (const auto& [text, value] : texts)
        EXPECT_EQ(plainNumber(text), value) << text;
    // Counts are rounded to the nearest integer: 2.6 points are 3.
    TempDir dir;
    EXPECT_EQ(generateLattice(dir.path(), grid(2.6, 1, 1)).nodeCount, 3);
}

}  // namespace
}  // namespace vanto::exchange
