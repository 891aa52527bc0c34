#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "analysis/calculation.h"
#include "diagrams/picture.h"
#include "support/fakes.h"
#include "support/structures.h"
#include "support/tempdir.h"
#include "ui/recording.h"

namespace vanto::diagrams {
namespace {

class Quiet : public analysis::CalcObserver {
  public:
    void report(int, long long, long long) override {}
};

DiagramPicture calculatedPortal(const test::TempDir& dir) {
    test::portal().write(dir.path());
    Quiet observer;
    test::FixedClock clock;
    analysis::runCalculation(dir.path(), {}, observer, clock);
    return DiagramPicture::load(dir.path());
}

std::vector<test::DrawCall> linesIn(const test::RecordingSurface& s, Colour colour) {
    std::vector<test::DrawCall> out;
    for (const auto& c : s.of("line"))
        if (c.colour == colour) out.push_back(c);
    return out;
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
    test::Frame f;
    const int a = f.node(0, 0, 0), b = f.node(5, 0, 0);
    f.fix(a);
    f.bar(a, b, 1, -2);
    f.loads[1] = {0.5f, 1, 0.2f, 0.3f, 0, 0};
    test::TempDir dir;
    f.write(dir.path());
    Quiet observer;
    test::FixedClock clock;
    analysis::runCalculation(dir.path(), {}, observer, clock);
    DiagramPicture p = DiagramPicture::load(dir.path());
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
        const auto lines = linesIn(s, k.colour);
        ASSERT_FALSE(lines.empty()) << k.code;
        std::vector<std::array<double, 2>> drawn{{lines[0].x1, lines[0].y1}};
        for (const auto& l : lines)
            drawn.push_back({l.x2, l.y2});
        std::size_t next = 0;
        for (const Vec3& P : points) {
            float u, v;
            p.screen().view.axo3d2d(float(P[0]), float(P[1]), float(P[2]), u, v);
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
TEST(DiagramPicture, TheTickedKindsOnly) {
    test::TempDir dir;
    DiagramPicture p = calculatedPortal(dir);
    test::RecordingSurface s(3000, 2000);
    p.Paso2D(3000, 2000);
    PictureOptions o;
    o.codes = "MD";
    p.DibujaEstr(s, 1, o);
    EXPECT_EQ(linesIn(s, BarColour).size(), 3u);
    EXPECT_FALSE(linesIn(s, diagramKind('M').colour).empty());
    EXPECT_FALSE(linesIn(s, diagramKind('D').colour).empty());
    for (char code : std::string("XYZTF"))
        EXPECT_TRUE(linesIn(s, diagramKind(code).colour).empty()) << code;
}

// A click in zoom-window mode (zero width or height) is widened as the
// editor widens it; a small window that is drawn is kept as it is.
TEST(DiagramPicture, ZoomWindows) {
    test::TempDir dir;
    DiagramPicture p = calculatedPortal(dir);
    p.Paso2D(3000, 2000);
    const float esc = p.screen().view.esc;
    struct Case {
        float x1, y1, x2, y2;
        bool widened;
    };
    for (const Case& k : {Case{500, 400, 500, 400, true}, Case{500, 400, 500, 430, true},
                          Case{510, 410, 500, 400, false}}) {
        const auto z = p.zoomWindow(k.x1, k.y1, k.x2, k.y2, 3000, 2000);
        for (float v : z)
            EXPECT_TRUE(std::isfinite(v));
        if (k.widened) {
            EXPECT_EQ(z, p.screen().zoomWindow(k.x1, k.y1, k.x2, k.y2, 3000, 2000));
        } else {
            EXPECT_NEAR(z[2], esc * 200, esc * 200 * 1e-5);  // 2000 / 10: the limiting height
        }
    }
}

TEST(DiagramPicture, DiagramScaleFromTheScrollBar) {
    const std::pair<int, double> table[] = {{0, 0},   {1, 0.01},  {99, 0.99},
                                            {100, 1}, {101, 1.1}, {200, 11}};
    for (const auto& [v, S] : table)
        EXPECT_DOUBLE_EQ(diagramScaleOf(v), S) << v;
}

}  // namespace
}  // namespace vanto::diagrams
