// The lattice generator: node numbering, bars and their order, kept data.

#include "exchange/lattice.h"

#include <gtest/gtest.h>

#include "exchange_support.h"

namespace vanto::exchange {
namespace {

using test::TempDir;

LatticeOptions grid(double nx, double ny, double nz, double e = 1) {
    LatticeOptions o;
    o.nx = nx;
    o.ny = ny;
    o.nz = nz;
    o.ex = o.ey = o.ez = e;
    return o;
}

TEST(Lattice, TwoByOneByTwoWithFoundationBeams) {
    TempDir dir;
    LatticeOptions o = grid(2, 1, 2);
    o.foundationBeams = true;
    const Summary s = generateLattice(dir.path(), o);
    EXPECT_EQ(s.outcome, Outcome::Written);
    EXPECT_EQ(s.nodeCount, 4);
    EXPECT_EQ(s.barCount, 4);

    const auto w = test::readStructure(dir.path());
    const float expected[5][3] = {{}, {0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {1, 0, 1}};
    for (int n = 1; n <= 4; ++n)
        for (int a = 1; a <= 3; ++a)
            EXPECT_EQ(w.coordinates(n, a), expected[n][a - 1]) << n << ' ' << a;
    // Bars 1-2, 1-3, 2-4, 3-4: type 1, no loads, no angle, fixed at both ends.
    EXPECT_EQ(dir.read("BARRAS.DAT"),
              "1,2,1,0,0,0,0,0,1,1\r\n1,3,1,0,0,0,0,0,1,1\r\n2,4,1,0,0,0,0,0,1,1\r\n"
              "3,4,1,0,0,0,0,0,1,1\r\n");
    EXPECT_EQ(dir.read("DATOS.DAT"), "\"Vanto 2.11\"\r\n4\r\n4\r\n");
    // The structure was completed with the default bar types.
    EXPECT_EQ(DiscoX::readTypes<float>(dir.path()).count, 33);
}

TEST(Lattice, BarOptionsDecideWhichBarsExist) {
    {
        TempDir dir;
        generateLattice(dir.path(), grid(2, 1, 2));  // no foundation beams
        EXPECT_EQ(test::barEnds(test::readStructure(dir.path())),
                  (std::vector<std::string>{"1-2", "2-4", "3-4"}));
    }
    {
        TempDir dir;
        LatticeOptions o = grid(2, 1, 2);
        o.createBars = false;
        o.foundationBeams = true;  // alone it creates nothing
        EXPECT_EQ(generateLattice(dir.path(), o).barCount, 0);
        EXPECT_EQ(test::readStructure(dir.path()).nodeCount, 4);
    }
    {
        TempDir dir;
        EXPECT_EQ(generateLattice(dir.path(), grid(3, 3, 1)).barCount, 0);  // one level only
        LatticeOptions o = grid(3, 3, 1);
        o.foundationBeams = true;
        EXPECT_EQ(generateLattice(dir.path(), o).barCount, 12);
    }
    {
        TempDir dir;  // keeping a new structure starts from nothing
        LatticeOptions o = grid(1, 1, 2);
        o.keepCurrent = true;
        EXPECT_EQ(generateLattice(dir.path(), o).nodeCount, 2);
        EXPECT_EQ(test::barEnds(test::readStructure(dir.path())),
                  (std::vector<std::string>{"1-2"}));
    }
}

TEST(Lattice, NodesRunFastestAlongZAndBarsFollowTheFullGrid) {
    TempDir dir;
    LatticeOptions o = grid(3, 4, 5);
    o.ex = 5;
    o.ey = 6;
    o.ez = 3;
    o.ox = 10;
    o.oy = -2;
    o.oz = 0.5;
    o.foundationBeams = true;
    const Summary s = generateLattice(dir.path(), o);
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

    LatticeOptions o = grid(2, 1, 2);
    o.keepCurrent = true;
    const Summary s = generateLattice(dir.path(), o);
    EXPECT_EQ(s.nodeCount, 14);
    EXPECT_EQ(s.barCount, 12);

    const auto w = test::readStructure(dir.path());
    // The kept rows, unchanged.
    for (int n = 1; n <= 10; ++n)
        for (int k = 1; k <= 6; ++k) {
            EXPECT_EQ(w.restraints(n, k), before.restraints(n, k));
            if (k <= 3) {
                EXPECT_EQ(w.coordinates(n, k), before.coordinates(n, k));
            }
        }
    for (int b = 1; b <= 9; ++b)
        for (int f = 1; f <= BarFieldCount; ++f)
            EXPECT_EQ(w.bars(b, f), before.bars(b, f));
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

// A zero spacing and a negative count are refused from the window's test.
TEST(Lattice, RefusesUnusableOptionsWithoutWriting) {
    TempDir dir;
    test::writeChain(dir.path(), 3);
    const std::string before = test::snapshot(dir.path());
    // A zero count (0.4 rounds to 0) silently makes nothing.
    for (const LatticeOptions& o : {grid(0, 4, 5), grid(3, 0.4, 5)})
        EXPECT_EQ(generateLattice(dir.path(), o).outcome, Outcome::NothingWritten);
    for (const LatticeOptions& o :
         {grid(2, 3, -1), grid(1000, 1000, 10), grid(1e30, 1, 1), grid(2, 2, 2, std::nan(""))})
        EXPECT_THROW(generateLattice(dir.path(), o), ExchangeError);
    EXPECT_EQ(test::snapshot(dir.path()), before);
}

TEST(Lattice, KeptStructureThatCannotBeReadIsLeftAsItWas) {
    TempDir dir;
    test::writeChain(dir.path(), 3);
    dir.write("BARRAS.DAT", "1,2,1\r\n");
    const std::string before = test::snapshot(dir.path());
    LatticeOptions o = grid(2, 2, 2);
    o.keepCurrent = true;
    EXPECT_THROW(generateLattice(dir.path(), o), FileError);
    EXPECT_EQ(test::snapshot(dir.path()), before);

    dir.write("DATOS.DAT", "\"Otro 1.0\"\r\n3\r\n2\r\n");
    EXPECT_THROW(generateLattice(dir.path(), o), ExchangeError);
}

TEST(Lattice, BoxTextsReadAsPlainNumbers) {
    EXPECT_EQ(plainNumber("5"), 5);
    EXPECT_EQ(plainNumber(" 2.5 m"), 2.5);
    EXPECT_EQ(plainNumber("2,5"), 2);  // a comma ends the number
    EXPECT_EQ(plainNumber("-.5"), -0.5);
    EXPECT_EQ(plainNumber("1E2"), 100);
    EXPECT_EQ(plainNumber("tres"), 0);
    EXPECT_EQ(plainNumber(""), 0);
    // Counts are rounded to the nearest integer: 2.6 points are 3.
    TempDir dir;
    EXPECT_EQ(generateLattice(dir.path(), grid(2.6, 1, 1)).nodeCount, 3);
}

}  // namespace
}  // namespace vanto::exchange
