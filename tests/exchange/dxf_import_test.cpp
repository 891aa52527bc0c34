// DXF import: nodes and bars from the lines of a drawing.

#include "exchange/dxf_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>

#include "exchange_support.h"
#include "model/helpers.h"

namespace vanto::exchange {
namespace {

using test::TempDir;

// One LINE entity as a drawing program writes it.
std::string line(Point a, Point b, const char* name = "LINE") {
    auto v = [](float x) { return writtenValue(x) + "\n"; };
    return std::string("  0\n") + name + "\n  8\n0\n 10\n" + v(a.x) + " 20\n" + v(a.y) + " 30\n" +
           v(a.z) + " 11\n" + v(b.x) + " 21\n" + v(b.y) + " 31\n" + v(b.z);
}

std::string drawing(const std::string& entities) {
    return "  0\nSECTION\n  2\nENTITIES\n" + entities + "  0\nENDSEC\n  0\nEOF\n";
}

// Imports `dxf` into a fresh structure directory.
struct Imported {
    TempDir dir;
    test::RecordingMessages messages;
    Summary summary;
    explicit Imported(const std::string& dxf) {
        dir.write("dibujo.dxf", dxf);
        summary = dxfin(dir.path(), dir / "dibujo.dxf", messages);
    }
    Structure structure() const { return test::readStructure(dir.path()); }
};

TEST(DxfImport, LinesGiveNodesAndBars) {
    const std::string polyline =
        "  0\nPOLYLINE\n  8\n0\n 66\n1\n  0\nVERTEX\n  8\n0\n 10\n50\n 20\n50\n  0\nSEQEND\n";
    const std::string arc = "  0\nARC\n  8\n0\n 10\n9\n 20\n9\n 30\n0\n 40\n1\n 50\n0\n 51\n90\n";
    // A text reading "LINE" and a layer named "line" are no line entities.
    const std::string text = "  0\nTEXT\n  8\nline\n 10\n7\n 20\n7\n  1\nLINE\n";
    const Point o{0, 0, 0}, x{1, 0, 0}, far{2, 0, 0};
    const struct {
        const char* why;
        std::string entities;
        int nodes;
        std::vector<std::string> ends;
        float x1 = 0;  // x of node 1
    } cases[] = {
        {"ends within the tolerance", line(o, x) + line({1.015f, 0, 0}, far), 3, {"1-2", "2-3"}},
        {"ends apart", line(o, x) + line({1.03f, 0, 0}, far), 4, {"1-2", "3-4"}},
        // The tolerance is a distance in space, not per axis.
        {"diagonal", line(o, x) + line({1.015f, 0.015f, 0}, far), 4, {"1-2", "3-4"}},
        {"smaller number first, duplicates kept",
         line(o, x) + line(far, o) + line(x, o),
         3,
         {"1-2", "1-3", "1-2"}},
        // A zero-length line makes a node but no bar.
        {"zero length",
         line({5, 5, 0}, {5, 5, 0}) + line(o, {5, 5, 0.01f}) + line(o, o),
         2,
         {"1-2"},
         5},
        {"entity names in any case, others ignored",
         polyline + line(o, x, "line") + arc + text + line(x, {1, 1, 0}, "3dLine") +
             line({1, 1, 0}, {0, 1, 0}, "Line"),
         4,
         {"1-2", "2-3", "3-4"}},
    };
    for (const auto& c : cases) {
        Imported im(drawing(c.entities));
        const auto w = im.structure();
        EXPECT_EQ(w.nodeCount, c.nodes) << c.why;
        EXPECT_EQ(test::barEnds(w), c.ends) << c.why;
        EXPECT_EQ(w.coordinates(1, 1), c.x1) << c.why;
    }
}

TEST(DxfImport, LooseLinesAreWarnedAboutAndStillImported) {
    auto loose = [](int count) {
        std::string e;
        for (int i = 0; i < count; ++i)
            e += line({float(10 * i), 0, 0}, {float(10 * i + 1), 0, 0});
        return drawing(e);
    };
    Imported ten(loose(10));  // 20 nodes > 1.1 · 10 + 5
    ASSERT_EQ(ten.messages.shown.size(), 1u);
    EXPECT_EQ(ten.messages.shown[0].title, "¡ Aviso !");
    EXPECT_EQ(
        ten.messages.shown[0].text,
        "Esta estructura tiene gran número de barras\nsin conectar entre sí, eso podría ser \n"
        "un error, por lo que debería revisarla.");
    EXPECT_EQ(ten.messages.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(ten.summary.outcome, Outcome::Written);
    EXPECT_EQ(ten.structure().barCount, 10);

    Imported five(loose(5));  // 10 nodes < 1.1 · 5 + 5
    EXPECT_TRUE(five.messages.shown.empty());
    EXPECT_FALSE(manyLooseBars(16, 10));
    EXPECT_TRUE(manyLooseBars(17, 10));
}

TEST(DxfImport, MissingCoordinatesKeepThoseOfThePreviousLine) {
    // A flat drawing that leaves out the heights; the second line also omits its start x.
    Imported im(
        drawing("  0\nLINE\n  8\n0\n 10\n1\n 20\n2\n 11\n3\n 21\n4\n"
                "  0\nLINE\n  8\n0\n 20\n7\n 11\n5\n 21\n6\n"));
    const auto w = im.structure();
    ASSERT_EQ(w.nodeCount, 4);
    EXPECT_EQ(w.coordinates(3, 1), 1.0f);  // x of the first start point
    EXPECT_EQ(w.coordinates(3, 2), 7.0f);
    EXPECT_EQ(w.coordinates(4, 3), 0.0f);
}

TEST(DxfImport, DrawingWithoutLinesChangesNothing) {
    TempDir dir;
    test::writeChain(dir.path(), 3);
    dir.write("vacio.dxf", drawing("  0\nCIRCLE\n  8\n0\n 10\n1\n 20\n1\n 40\n2\n"));
    const std::string before = test::snapshot(dir.path());
    test::RecordingMessages messages;
    EXPECT_EQ(dxfin(dir.path(), dir / "vacio.dxf", messages).outcome, Outcome::NothingWritten);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "¡ Aviso !");
    EXPECT_EQ(messages.shown[0].text, "El fichero no contiene ninguna LINEA o 3DLINEA.");
    EXPECT_EQ(test::snapshot(dir.path()), before);

    dir.write("vacio.dxf", "");
    EXPECT_EQ(dxfin(dir.path(), dir / "vacio.dxf", messages).outcome, Outcome::NothingWritten);
    EXPECT_EQ(messages.shown.size(), 2u);
}

TEST(DxfImport, BrokenDrawingsLeaveTheStructureAsItWas) {
    const std::string good = line({0, 0, 0}, {1, 0, 0});
    struct Case {
        const char* why;
        std::string dxf;
        int line;  // where the message must point
    };
    const Case cases[] = {
        {"cut inside a line", "  0\nSECTION\n  2\nENTITIES\n" + good.substr(0, good.rfind(" 31")),
         4 + 2},
        {"cut after a code", drawing(good).substr(0, drawing(good).rfind("EOF")), 0},
        {"no end mark", "  0\nSECTION\n  2\nENTITIES\n" + good + "  0\nENDSEC\n", 0},
        {"code that is no number", "  0\nSECTION\n  2\nENTITIES\n" + good + "\nLINE\n  0\nEOF\n",
         0},
        {"name for a coordinate", drawing("  0\nLINE\n 10\nuno\n 11\n1\n"), 8},
        {"coordinate beyond 32 bits", drawing("  0\nLINE\n 10\n1E39\n 11\n1\n"), 8},
        {"binary drawing", "AutoCAD Binary DXF\r\n\x1a", 1},
    };
    for (const Case& c : cases) {
        TempDir dir;
        test::writeChain(dir.path(), 3);
        dir.write("INCOG.RES", "0\r\n");
        dir.write("roto.dxf", c.dxf);
        const std::string before = test::snapshot(dir.path());
        test::RecordingMessages messages;
        const auto e =
            test::thrown<ExchangeError>([&] { dxfin(dir.path(), dir / "roto.dxf", messages); });
        ASSERT_TRUE(e) << c.why;
        EXPECT_NE(std::string(e->what()).find("roto.dxf, línea "), std::string::npos) << e->what();
        if (c.line) {
            EXPECT_EQ(e->line(), c.line) << c.why << ": " << e->what();
        }
        EXPECT_EQ(test::snapshot(dir.path()), before) << c.why;
        EXPECT_TRUE(messages.shown.empty()) << c.why;
    }
}

// The index numbers the nodes as a literal search of them in order, the
// first node within the tolerance winning.
void expectLinearNumbering(const std::vector<Point>& points) {
    NodeIndex index;
    std::vector<Point> nodes;
    for (std::size_t i = 0; i < points.size(); ++i) {
        std::size_t n = 0;
        while (n < nodes.size() && !coincident(nodes[n], points[i]))
            ++n;
        if (n == nodes.size()) nodes.push_back(points[i]);
        ASSERT_EQ(index.findOrAdd(points[i]), int(n) + 1) << "point " << i;
    }
}

TEST(DxfNodeIndex, NumbersNodesExactlyAsTheLinearSearch) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> unit(0, 1);
    std::uniform_int_distribution<int> cell(-20, 20);
    std::uniform_real_distribution<float> tiny(-1e-5f, 1e-5f);

    // Points on and next to the cell borders (multiples of the tolerance).
    std::vector<Point> borders;
    for (int i = 0; i < 4000; ++i)
        borders.push_back({cell(rng) * 0.02f + tiny(rng), cell(rng) * 0.02f + tiny(rng),
                           (i % 3) * 0.02f + tiny(rng)});
    expectLinearNumbering(borders);

    // Chains: each point within the tolerance of the one before, so that a
    // point may be near several nodes and the first must win.
    std::vector<Point> chains;
    for (int c = 0; c < 40; ++c) {
        Point p{unit(rng) * 2, unit(rng) * 2, unit(rng) * 2};
        for (int i = 0; i < 60; ++i) {
            chains.push_back(p);
            const float step = 0.0199f * unit(rng);
            const float angle = 6.2832f * unit(rng);
            p.x += step * std::cos(angle);
            p.y += step * std::sin(angle) * 0.8f;
            p.z += step * 0.6f * unit(rng);
        }
    }
    std::shuffle(chains.begin() + 1200, chains.end(), rng);
    expectLinearNumbering(chains);

    // Dense random clouds, with negative and far-away coordinates.
    std::vector<Point> clouds;
    for (int i = 0; i < 5000; ++i) {
        clouds.push_back({unit(rng) * 0.3f - 0.15f, unit(rng) * 0.3f, 0});
        if (i < 200) clouds.push_back({1e30f * (i % 7), -3e38f, 1e-30f * i});
        if (i < 500) clouds.push_back({-1e6f + unit(rng) * 0.1f, 1e6f, 0.01f * (i % 5)});
    }
    expectLinearNumbering(clouds);

    // Exactly at the tolerance: 0.02 apart is one node (as float values allow).
    expectLinearNumbering({{0, 0, 0}, {0.02f, 0, 0}, {0.04f, 0, 0}, {0.0200001f, 0, 0}});
}

// Two lines meeting at a corner give three nodes and two bars, from old
// Macintosh line ends too; far drawings are read as fast as near ones.
TEST(DxfImport, CornerWithOldMacintoshLineEndsAndFarDrawings) {
    std::string cr = drawing(line({0, 0, 0}, {4, 0, 0}) + line({4, 0, 0}, {4, 0, 3}));
    std::replace(cr.begin(), cr.end(), '\n', '\r');
    Imported im(cr);
    EXPECT_EQ(im.summary.outcome, Outcome::Written);
    EXPECT_EQ(im.dir.read("COORDENA.DAT"), "0\r\n4\r\n4\r\n0\r\n0\r\n0\r\n0\r\n0\r\n3\r\n");
    EXPECT_EQ(im.dir.read("BARRAS.DAT"), "1,2,1,0,0,0,0,0,1,1\r\n2,3,1,0,0,0,0,0,1,1\r\n");
    EXPECT_TRUE(im.messages.shown.empty());

    // 20,000 lines far beyond the grid's range: every point is a node of its
    // own, found as fast as near the origin.
    std::vector<DxfLine> far;
    for (int k = 1; k <= 20000; ++k)
        far.push_back({{1e17f * k, 0, 0}, {1e17f * k, 1e17f, 0}});
    const auto start = std::chrono::steady_clock::now();
    const auto g = buildDxfGeometry(far, nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    ASSERT_TRUE(g);
    EXPECT_EQ(g->nodes.size(), 40000u);
    EXPECT_EQ(g->bars.size(), 20000u);
}

}  // namespace
}  // namespace vanto::exchange
