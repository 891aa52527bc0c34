#include <gtest/gtest.h>

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

// Every kind's polyline of the beam (bar 2) is the projection of its outline
// from diagram_data, times the output scale, in the kind's colour.
TEST(DiagramPicture, PolylinesAreTheOutlinesProjectedAndScaled) {
    test::TempDir dir;
    DiagramPicture p = calculatedPortal(dir);
    test::RecordingSurface s(3000, 2000);
    p.Paso2D(3000, 2000);
    const double S = 0.5, c = 0.5;
    const DiagramBar& beam = p.data().bars[2];
    for (const DiagramKind& k : DiagramKinds) {
        s.clear();
        p.DiagramaDib(k.code, s, c, S);
        std::vector<Vec3> points;
        if (k.code == 'D') {
            const auto shape = deformedShape(p.data(), beam, S);
            points.assign(shape.begin(), shape.end());
        } else {
            const auto outline = diagramOutline(beam, k.code, S);
            points.assign(outline.begin(), outline.end());
        }
        const auto lines = linesIn(s, k.colour);
        const std::size_t per = points.size() - 1;
        ASSERT_EQ(lines.size(), 3 * per) << k.code;
        for (std::size_t m = 0; m < per; ++m) {
            float u, v;
            p.screen().view.axo3d2d(float(points[m + 1][0]), float(points[m + 1][1]),
                                    float(points[m + 1][2]), u, v);
            EXPECT_NEAR(lines[per + m].x2, u * c, 1e-3) << k.code << m;
            EXPECT_NEAR(lines[per + m].y2, v * c, 1e-3) << k.code << m;
        }
    }
    // The window's picture holds the ticked kinds only, after the bars.
    s.clear();
    PictureOptions o;
    o.codes = "MD";
    p.DibujaEstr(s, 1, o);
    EXPECT_EQ(linesIn(s, BarColour).size(), 3u);
    EXPECT_EQ(linesIn(s, diagramKind('M').colour).size(), 36u);
    EXPECT_EQ(linesIn(s, diagramKind('D').colour).size(), 30u);
    EXPECT_TRUE(linesIn(s, diagramKind('X').colour).empty());
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
