// The symbols over a structure and the SVG surface that vanto-cli draw writes.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/structure.h"
#include "ui/recording.h"
#include "view/svg_surface.h"
#include "view/symbols.h"

namespace vanto::view {
namespace {

using test::RecordingSurface;

// Global X right, Y up-right, Z up, 100 units per metre.
const std::array<ScreenPoint, 3> Axes{{{100, 0}, {50, -50}, {0, -100}}};

// A −2 t load along Y: a shaft ln 3 · s long towards −Y with a head at 1.3
// times that, and one of 1 t along X; a fixed displacement (0.05 as well as
// 0) is a red triangle, a fixed rotation a dark red T; 1234 draws nothing.
// On paper all in black.
TEST(Symbols, NodeLoadsAndRestraints) {
    float loads[7] = {0, 1, -2, 0, 0, 0, 0};
    float restraints[7] = {0, FreeMarker, FreeMarker, 0.05f, FreeMarker, FreeMarker, 0};
    RecordingSurface s;
    drawNodeSymbols(s, {1000, 1000}, Axes, 0.6f, loads, restraints, {});
    const float L = -0.6f * std::log(3.0f);
    const auto shaft = s.of("line")[5];
    EXPECT_EQ(shaft.colour, palette16(9));
    EXPECT_NEAR(shaft.x2, 1000 + 50 * L, 1e-3);
    EXPECT_NEAR(shaft.y2, 1000 - 50 * L, 1e-3);
    EXPECT_EQ(s.of("line", palette16(9)).size(), 10u);  // two shafts and closed heads
    EXPECT_EQ(s.of("line", palette16(12)).size(), 3u);  // the triangle along Z, 0.7·s long
    EXPECT_NEAR(s.of("line")[13].x2, 1000 + 0.42f * 30, 1e-3);
    EXPECT_NEAR(s.of("line")[13].y2, 1000 - 0.42f * 100, 1e-3);
    EXPECT_EQ(s.of("line", palette16(4)).size(), 3u);  // the T about Z
    EXPECT_EQ(s.calls.size(), 16u);

    restraints[3] = 0;
    test::RecordingPrinter paper;
    drawNodeSymbols(paper, {10, 10}, Axes, 0.6f, loads, restraints, {2, Colour(0), true, false});
    EXPECT_EQ(paper.of("line", 0).size(), paper.calls.size());
    EXPECT_EQ(paper.calls.size(), 10u);  // the loads only
    EXPECT_NEAR(paper.of("line")[5].x2, 10 + 2 * 50 * L, 1e-3);
    EXPECT_EQ(ColBarra(7), ColBarra(1));
    EXPECT_EQ(ColBarra(1), palette16(2));
}

// A beam 320 units long with a load of −2 t/m, on a surface of 15 units a
// pixel: hatch lines every detail length along the bar, never closer than
// two pixels; a band less than a pixel deep has no hatching.
TEST(Symbols, LoadBandsHatchWhatAPixelShows) {
    const float bar[11] = {0, 1, 2, 1, 0, -2, 0, 0, 0, 1, 1};
    const struct {
        float perMetre;  // local x on the screen
        ScreenPoint Z;   // global Z on the screen
        std::size_t hatch;
    } cases[] = {
        {100, {0, -100}, 6},  // 60 apart: 0, 60, ..., 300
        {50, {0, -100}, 11},  // 30 apart, two pixels: 0, 30, ..., 300
        {25, {0, -100}, 11},  // 15 apart: every other, 0, 30, ..., 300
        {100, {0, -20}, 0},   // 13 deep
    };
    for (const auto& c : cases) {
        RecordingSurface s;
        const BarAxes axes{{{c.perMetre, 0}, {0, -100}, {0, 100}}};
        drawBarLoads(s, {100, 500}, {420, 500}, axes, c.Z, 0.6f, bar, {});
        EXPECT_EQ(s.of("line", palette16(5)).size(), 3 + c.hatch) << c.perMetre;
        // The band is drawn on the side away from the load, ln 3 · s deep.
        EXPECT_NEAR(s.of("line")[0].y1, 500 + 0.6f * std::log(3.0f) * c.Z.v, 1e-3);
    }
}

// Text sits on its baseline, one ascent of its font below its top; figures
// with coordinates that are not finite are left out, with their tags.
TEST(Svg, BaselinesTagsAndNoNaN) {
    SvgSurface svg(1440, 720);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    svg.setFont({"Courier New", 6, false});
    svg.text(100, 200, "12");
    EXPECT_DOUBLE_EQ(svg.textHeight("12"), 6 * 20 * 1.2);  // twips
    svg.nextItem("data-node", 3);
    svg.line(nan, 0, 10, 10);
    svg.fillBox(0, 0, 24, std::numeric_limits<double>::infinity());
    svg.nextItem("data-bar", 2);
    svg.line(0, 0, 10, 10);
    const std::string doc = svg.document();
    EXPECT_NE(doc.find("<text x=\"100\" y=\"299.96\""), std::string::npos) << doc;
    EXPECT_EQ(doc.find("nan"), std::string::npos);
    EXPECT_EQ(doc.find("inf"), std::string::npos);
    EXPECT_EQ(doc.find("data-node"), std::string::npos);
    EXPECT_NE(doc.find("<line data-bar=\"2\" x1=\"0\""), std::string::npos);
}

}  // namespace
}  // namespace vanto::view
