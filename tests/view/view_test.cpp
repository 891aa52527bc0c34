// The view: the fixed views, the fit, the screen tables, the zoom history and
// window, picking, the axes indicator and the page layout.

#include <gtest/gtest.h>

#include <string>

#include "support/structures.h"
#include "ui/recording.h"
#include "view/page.h"
#include "view/picker.h"
#include "view/screen_view.h"
#include "view/zoom_window.h"

namespace vanto::view {
namespace {

// Images of the unit points X, Y, Z at origin (0, 0) and scale 1, worked out
// by hand from the view table: X → (−ux, vx), Y → (uy, vy), Z → (0, −vz).
TEST(View, EightFixedViews) {
    const struct {
        const char* caption;
        float x[2], y[2], z[2];
    } cases[] = {
        {"DIN-5", {-0.225f, 0.395f}, {0.496f, 0.124f}, {0, -0.55f}},
        {"Caballera", {-0.5f, 0.5f}, {1, 0}, {0, -1}},
        {"Planta", {1, 0}, {0, -1}, {0, 0}},  // x right, y up
        {"Alzado yz", {0, 0}, {1, 0}, {0, -1}},
        {"Alzado xz", {1, 0}, {0, 0}, {0, -1}},
        {"Isometría", {-0.866f, 0.5f}, {0.866f, 0.5f}, {0, -1}},
        {"Militar", {-0.5f, 0.866f}, {0.866f, 0.5f}, {0, -0.5f}},
        {"Otra", {-0.3f, 0.7f}, {1, 0.22f}, {0, -0.75f}},
    };
    for (int i = 0; i < 8; ++i) {
        const auto& c = cases[i];
        const FixedView& f = FixedViews[std::size_t(i)];
        EXPECT_EQ(std::string(f.caption), c.caption);
        const View view(f);
        const float* expected[3] = {c.x, c.y, c.z};
        float a, b;
        for (int axis = 0; axis < 3; ++axis) {
            float p[3] = {0, 0, 0};
            p[axis] = 1;
            view.axo3d2dj(0, 0, 1, p[0], p[1], p[2], a, b);
            EXPECT_FLOAT_EQ(a, expected[axis][0]) << c.caption << " axis " << axis;
            EXPECT_FLOAT_EQ(b, expected[axis][1]) << c.caption << " axis " << axis;
        }
    }
}

// Known answers on a 3000 × 2000 surface (unless said), node 1's image given.
TEST(View, FitVariantsAndZeroExtents) {
    const auto single = test::Frame::table<3>({{2, 3, 4}});
    const auto plumb = test::Frame::table<3>({{1, 1, 0}, {1, 1, 5}});  // a point in plan
    const auto frame =
        test::Frame::table<3>({{0, 0, 0}, {10, 0, 0}, {10, 0, 5}, {0, 0, 5}});  // 10 × 5 in xz
    const auto column = test::Frame::table<3>({{3, 0, 0}, {3, 0, 4}});
    const struct {
        const char* name;
        const Table<float>& xyz;
        int view;
        FitRule rule;
        float H, esc, u, v;
    } cases[] = {
        // Both extents 0.7: 0.9 · 2000 / 0.7, the 0.7 box centred.
        {"single node", single, InitialView, EditorFit, 2000, float(1800 / 0.7), 600, 100},
        // The diagram window keeps zero extents, but a point gets 0.7, centred.
        {"point, diagram window", plumb, PlantaView, DiagramFit, 2000, float(1500 / 0.7), 1500,
         1000},
        // The previews widen to 0.1 and centre the nodes themselves.
        {"preview, vertical line", plumb, PlantaView, PreviewFit, 2000, 18000, 1500, 1000},
        // The width limits: 0.9 · 3000 / 10; the height limits in a flat picture.
        {"frame", frame, 4, EditorFit, 2000, 270, 150, 1675},
        {"frame, flat picture", frame, 4, EditorFit, 500, 90, 1050, 475},
        {"frame, diagram window", frame, 4, DiagramFit, 2000, 225, 375, 1562.5f},
        // A zero width kept: centred on the line; widened to 0.7: off by half of it.
        {"column, diagram window", column, 4, DiagramFit, 2000, 375, 1500, 1750},
        {"column, editor", column, 4, EditorFit, 2000, 450, 1342.5f, 1900},
    };
    for (const auto& c : cases) {
        View view(FixedViews[std::size_t(c.view)]);
        EXPECT_FALSE(view.fitted());
        view.fit(c.xyz, c.xyz.maxRow(), 3000, c.H, c.rule);
        EXPECT_TRUE(view.fitted()) << c.name;
        EXPECT_FLOAT_EQ(view.esc, c.esc) << c.name;
        float a, b;
        view.axo3d2d(c.xyz(1, 1), c.xyz(1, 2), c.xyz(1, 3), a, b);
        EXPECT_NEAR(a, c.u, 0.01) << c.name;
        EXPECT_NEAR(b, c.v, 0.01) << c.name;
    }
}

// "Otra" at origin (1000, 3000), 100 units per metre: node (2, 3, 4) is
// right 3 − 0.3·2 = 2.4, up 0.75·4 − 0.7·2 − 0.22·3 = 0.94. Local axes are
// taken from the lower-numbered node, whatever order the bar is stored in,
// and the structure is left as it is.
TEST(ScreenView, TablesFromTheStructureLeftAsItIs) {
    test::Frame f;
    const int o = f.node(0, 0, 0), p = f.node(2, 3, 4);
    f.node(0, 0, 3), f.node(4, 0, 0);
    f.bar(o, p, 1), f.bar(3, o, 1), f.bar(o, 4, 1), f.bar(o, 9, 1), f.bar(0, 4, 1);
    const Structure s = test::loaded(f);
    ScreenView sv;
    sv.Paso2D(s, 1000, 3000, 100, 6000, 4000);
    EXPECT_NEAR(sv.node(p).u, 1240, 1e-3);
    EXPECT_NEAR(sv.node(p).v, 2906, 1e-3);
    EXPECT_NEAR(sv.midpoint(1).u, 1120, 1e-3);
    EXPECT_NEAR(sv.midpoint(1).v, 2953, 1e-3);
    const auto& g = sv.globalAxes();
    const struct {
        int bar;
        Vec3 y, z;
    } axes[] = {
        {2, {0, -1, 0}, {1, 0, 0}},  // upwards from node 1, stored 3 → 1
        {3, {0, 0, 1}, {0, -1, 0}},  // along X
    };
    for (const auto& c : axes)
        for (int k = 0; k < 2; ++k) {
            const ScreenPoint& drawn = sv.barAxes(c.bar)[std::size_t(k + 1)];
            const Vec3& w = k == 0 ? c.y : c.z;
            EXPECT_NEAR(drawn.u, w[0] * g[0].u + w[1] * g[1].u + w[2] * g[2].u, 1e-3) << c.bar;
            EXPECT_NEAR(drawn.v, w[0] * g[0].v + w[1] * g[1].v + w[2] * g[2].v, 1e-3) << c.bar;
        }
    EXPECT_EQ(s.bars(2, Origin), 3);
    // Node numbers from 1 to NodeCount name nodes; 0 and 5 do not.
    EXPECT_EQ(barEnds(s, 2)->i, 1);
    EXPECT_EQ(barEnds(s, 3)->j, 4);
    EXPECT_FALSE(barEnds(s, 4));
    EXPECT_FALSE(barEnds(s, 5));
    EXPECT_EQ(sv.midpoint(4), ScreenPoint{});
}

TEST(ScreenView, ZoomHistoryWindowsAndStepBack) {
    ScreenView sv;
    sv.Paso2D(test::loaded(test::portal()), 100, 200, 3, 5200, 2600);
    for (int i = 1; i <= 31; ++i)
        sv.zoomnum(1, 100 + i, 200 + i, 3 + i);
    EXPECT_EQ(sv.depth(), 30);
    EXPECT_EQ(sv.view().hm1, 130);  // the 31st changed nothing
    for (int i = 0; i < 32; ++i)
        sv.zoomnum(-1);
    EXPECT_EQ(sv.depth(), 0);
    EXPECT_EQ(sv.view().esc, 3);

    // A click at (1500, 1000) zooms on 2600 × 2600 around it: on a 5200 × 2600
    // surface the height limits, e' = 2600 / (2600 / 3).
    auto z = zoomWindow(sv.view(), 1500, 1000, 1500, 1000, 5200, 2600, SmallWindows::Widen);
    EXPECT_FLOAT_EQ(z[2], 3);
    EXPECT_NEAR(z[0] + (1500 - 100), 2600, 1e-2);  // the click comes to the centre
    EXPECT_NEAR(z[1] + (1000 - 200), 1300, 1e-2);
    EXPECT_EQ(zoomWindow(sv.view(), 1500, 1000, 1500, 1000, 5200, 2600, SmallWindows::WidenEmpty),
              z);
    // The diagram window keeps a small window that is drawn: 26 high of 2600.
    z = zoomWindow(sv.view(), 1500, 1000, 1510, 1026, 5200, 2600, SmallWindows::WidenEmpty);
    EXPECT_NEAR(z[2], 300, 1e-2);

    // Too deep for the surface's coordinates: back where it was.
    zoomInto(sv, {1e30f, 1e30f, 1e30f});
    EXPECT_EQ(sv.depth(), 0);
    zoomInto(sv, {1, 2, 3});
    EXPECT_EQ(sv.depth(), 1);
}

// Three nodes on one spot: presses there step through them, then nothing
// (the editor) or round again (the diagram window); exactly the tolerance
// away is not within reach, but is the same spot.
TEST(Picker, CyclesThroughItemsOnOneSpot) {
    const std::vector<ScreenPoint> at = {{}, {1000, 1000}, {1010, 995}, {3000, 0}, {990, 1000}};
    const struct {
        CyclingPicker::AfterLast after;
        std::vector<std::array<float, 3>> presses;  // x, y, picked
    } cases[] = {
        {CyclingPicker::AfterLast::Stay,
         {{1000, 1000, 1},
          {1005, 1000, 2},
          {1000, 990, 4},
          {1000, 1000, 0},
          {1000, 1000, 0},
          {3000, 0, 3},
          {1000, 1000, 1},
          {1065, 1000, 2}}},
        {CyclingPicker::AfterLast::Restart,
         {{1000, 1000, 1}, {1000, 1000, 2}, {1000, 1000, 4}, {1000, 1000, 0}, {1000, 1000, 1}}},
    };
    for (const auto& c : cases) {
        CyclingPicker picker(65, c.after);
        for (const auto& p : c.presses) {
            EXPECT_EQ(picker.press(p[0], p[1], at), int(p[2])) << p[0] << "," << p[1];
            EXPECT_EQ(picker.current(), int(p[2]));
        }
    }
    EXPECT_EQ(firstWithin(at, 1065, 1000, 65), 2);  // 1 is 65 away, 2 is 55
    EXPECT_EQ(firstWithin(at, 1075.1f, 1000, 65), 0);
    EXPECT_EQ(firstWithin(at, 1000, 1000, 65, 2), 4);
}

// "Alzado xz": x to the right, z up, y seen end-on; 70% of the limiting
// dimension, labels 36 right of and above the ends.
TEST(Indicators, AxesAndPageLayout) {
    test::RecordingSurface ejes(1000, 1000);
    DibujaEjes(ejes, View(FixedViews[4]), palette16(14));
    const auto lines = ejes.of("line");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].x2 - lines[0].x1, 700);  // x
    EXPECT_EQ(lines[1].x2, lines[1].x1);        // y
    EXPECT_EQ(lines[2].y1 - lines[2].y2, 700);  // z
    for (const auto& l : lines)
        EXPECT_EQ(l.colour, palette16(14));
    EXPECT_EQ(ejes.of("text")[2].text, "z");
    EXPECT_EQ(ejes.of("text")[2].x1, lines[2].x2 + 36);

    // The height limits a 6000 × 4000 picture on a 12000 × 4000 page.
    const PageLayout page = pageLayout(6000, 4000, 12000, 4000, 50);
    EXPECT_DOUBLE_EQ(page.fit, 1);
    EXPECT_DOUBLE_EQ(page.scale(), 0.5);
    EXPECT_DOUBLE_EQ(pageLayout(6000, 4000, 9000, 9000, 100).fit, 1.5);
}

}  // namespace
}  // namespace vanto::view
