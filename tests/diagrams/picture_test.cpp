#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "calculated.h"
#include "diagrams/picture.h"
#include "ui/recording.h"

namespace vanto::diagrams {
namespace {

DiagramPicture calculatedPicture(const test::Frame& f) {
    test::TempDir dir;
    calculated(f, dir);
    return DiagramPicture::load(dir.path());
}

double toPolyline(const std::vector<std::array<double, 2>>& line, double x, double y) {
    double best = 1e300;
    for (std::size_t k = 0; k + 1 < line.size(); ++k) {
        const auto& a = line[k];
        const auto& b = line[k + 1];
        const double dx = b[0] - a[0], dy = b[1] - a[1], len2 = dx * dx + dy * dy;
        const double t =
            len2 > 0 ? std::clamp(((x - a[0]) * dx + (y - a[1]) * dy) / len2, 0.0, 1.0) : 0;
        best = std::min(best, std::hypot(x - a[0] - t * dx, y - a[1] - t * dy));
    }
    return best;
}

// A loaded cantilever, one bar: every kind's drawn polyline runs through the
// projected points of its outline (or deformed shape) from diagram_data, times
// the output scale, leaving out only points within half a pixel (7.5 twips)
// of the line drawn; the moment's parabola stays curved.
TEST(DiagramPicture, PolylinesFollowTheOutlines) {
    test::Frame f = test::cantilever(5, 0, 0, -2);
    f.loads[1] = {0.5f, 1, 0.2f, 0.3f, 0, 0};
    DiagramPicture p = calculatedPicture(f);
    test::RecordingSurface s(3000, 2000);
    p.Paso2D(3000, 2000);
    const double S = 0.5, c = 0.5;
    const DiagramBar& bar = p.data().bars[1];
    for (const DiagramKind& k : DiagramKinds) {
        s.clear();
        p.DiagramaDib(k.code, s, c, S);
        std::vector<Vec3> points;
        if (k.code == 'D') {
            const auto shape = deformedShape(p.data(), bar, S);
            points.assign(shape.begin(), shape.end());
        } else {
            const auto outline = diagramOutline(bar, k.code, S);
            points.assign(outline.begin(), outline.end());
        }
        const auto lines = s.of("line", k.colour);
        ASSERT_FALSE(lines.empty()) << k.code;
        std::vector<std::array<double, 2>> drawn{{lines[0].x1, lines[0].y1}};
        for (const auto& l : lines)
            drawn.push_back({l.x2, l.y2});
        std::size_t next = 0;
        for (const Vec3& P : points) {
            float u, v;
            p.screen().view().axo3d2d(float(P[0]), float(P[1]), float(P[2]), u, v);
            EXPECT_LE(toPolyline(drawn, u * c, v * c), 7.5 + 0.5) << k.code;
            if (next < drawn.size() &&
                std::hypot(drawn[next][0] - u * c, drawn[next][1] - v * c) < 0.5)
                ++next;
        }
        EXPECT_EQ(next, drawn.size()) << k.code << ": a vertex that is no outline point";
        if (k.code == 'M') {
            EXPECT_GT(lines.size(), 3u);  // not straightened
        }
    }
}

// The window's picture holds the ticked kinds only, after the bars.
TEST(DiagramPicture, TheTickedKindsOnlyOnScreenAndPaper) {
    DiagramPicture p = calculatedPicture(test::portal());
    test::RecordingSurface s(3000, 2000);
    p.Paso2D(3000, 2000);
    PictureOptions o;
    o.codes = "MD";
    p.DibujaEstr(s, 1, o);
    EXPECT_EQ(s.of("line", BarColour).size(), 3u);
    EXPECT_FALSE(s.of("line", diagramKind('M').colour).empty());
    EXPECT_FALSE(s.of("line", diagramKind('D').colour).empty());
    for (char code : std::string("XYZTF"))
        EXPECT_TRUE(s.of("line", diagramKind(code).colour).empty()) << code;

    // On paper: framed above the title block, the bars in black, the
    // diagram in its print colour, the block's texts at the foot.
    test::RecordingPrinter page(9000, 12000);
    o.values = true;
    const double c = p.print(page, s, o, 100,
                             {"/obras/-Portico", "Diagramas: Flector Z", "", "", {7, 12, 2026}});
    EXPECT_TRUE(page.of("line", BarColour).empty());
    const auto moment = page.of("line", printColour(diagramKind('M').colour));
    ASSERT_FALSE(moment.empty());
    double lo = 1e30, hi = -1e30;
    for (const auto& l : moment)
        lo = std::min({lo, l.y1, l.y2}), hi = std::max({hi, l.y1, l.y2});
    EXPECT_LT(hi - lo, 12000 - titleBlockHeight(page));
    EXPECT_GT(c, 1);  // enlarged from the 3000-wide screen
    bool named = false, dated = false;
    for (const auto& t : page.of("text"))
        named |= t.text == "/obras/-Portico", dated |= t.text == "Fecha: 07/12/2026";
    EXPECT_TRUE(named && dated);
    EXPECT_GE(page.font.size, SmallestPrintedPoints);
}

// A single vertical bar seen in "Planta" is a point: drawn at the centre,
// every coordinate finite.
TEST(DiagramPicture, APointDrawsFinite) {
    test::Frame f = test::cantilever(0, 0, 3);
    f.loads[1] = {1, 0, 0, 0, 0, 0};
    DiagramPicture p = calculatedPicture(f);
    test::RecordingSurface s(3000, 2000);
    p.Perspec(2, 3000, 2000);
    PictureOptions o;
    o.codes = "XYZTFMD";
    o.nodeNumbers = true;
    p.DibujaEstr(s, 1, o);
    EXPECT_NEAR(p.screen().node(1).u, 1500, 1e-3);
    EXPECT_NEAR(p.screen().node(1).v, 1000, 1e-3);
    for (const auto& c : s.calls)
        for (double v : {c.x1, c.y1, c.x2, c.y2})
            EXPECT_TRUE(std::isfinite(v)) << c.op;
}

}  // namespace
}  // namespace vanto::diagrams
