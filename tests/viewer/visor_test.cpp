// The perspective viewer: orientation, fit and projection worked by hand, a
// deep structure kept inside the picture, clipping, turns and moves, the
// distances kept positive, nodes behind the observer, the mouse against the
// buttons, the colours and visor.dat.

#include "viewer/visor.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/tempdir.h"
#include "ui/recording.h"

namespace vanto::viewer {
namespace {

using Point = std::array<float, 3>;

Visor loaded(std::initializer_list<Point> nodes, std::initializer_list<std::array<int, 3>> bars,
             float w = 1200, float h = 600) {
    Structure s;
    s.reset(part::Geometry);
    for (const auto& p : nodes)
        s.addNode(p[0], p[1], p[2]);
    for (const auto& b : bars)
        s.addBar(float(b[0]), float(b[1]), float(b[2]));
    Visor v;
    v.load(s);
    v.reset(w, h);
    v.project();
    return v;
}

// 4 m × 6 m × 2 m (structure x, y, z), a body: viewer X = y (half 3),
// Y = z (half 1), Z = x (half 2); 600/1200 > 1/3, the width limits:
// D = F = 4 · 3. Nodes 2 and 3 are nearest (Z = 2, t = 10/12) at |X| = 3:
// k = 0.75 · 600 / (3 · 12/10) = 125.
Visor box(float w = 1200, float h = 600) {
    return loaded({{0, 0, 0}, {4, 0, 0}, {4, 6, 0}, {0, 6, 2}}, {{1, 2, 1}, {2, 3, 2}, {3, 4, 15}},
                  w, h);
}
const Point corner{-3, -1, -2};  // node 1 of the box, centred

PointerEvent at(double x, double y, unsigned buttons) {
    return {.x = x, .y = y, .buttons = buttons};
}

// Working coordinates are floats of a few metres turned a few times: each turn
// may round them by an ulp or two (2.4e-7 m at 3 m), and the compiler may
// fold a constant angle's sine at build time where a button computes it.
constexpr float TurnTolerance = 1e-5f;

void expectSameFigure(const Visor& a, const Visor& b) {
    for (int n = 1; n <= a.nodeCount(); ++n)
        for (std::size_t c = 0; c < 3; ++c)
            EXPECT_NEAR(a.working(n)[c], b.working(n)[c], TurnTolerance) << n << " " << c;
}

// Where each node lies in the picture: the largest of |u − W/2| / (W/2) and
// |v − H/2| / (H/2), over both images; above 1 is outside.
float reach(const Visor& v, float w, float h) {
    float most = 0;
    for (int n = 1; n <= v.nodeCount(); ++n)
        for (float u : {v.u(n), v.u2(n)})
            most =
                std::max({most, std::abs(u - w / 2) / (w / 2), std::abs(v.v(n) - h / 2) / (h / 2)});
    return most;
}
constexpr float FitTolerance = 1e-5f;

TEST(Visor, OrientsByTheExtentsAndFramesEveryNodeInsideOnOpeningAndOnEncuadrar) {
    struct Case {
        const char* what;
        Visor v;
        int depth;
        Point node1;
        float D, k;
    } cases[] = {
        {"body", box(), 1, corner, 12, 125},
        // 40 m deep, 4 × 3 across; the height limits, D = 4 · 20 puts the
        // observer in front; node 2 nearest, t = 60/80: k = 0.75 · 300 / 2.
        {"deep", loaded({{0, 0, 0}, {40, 4, 3}}, {{1, 2, 1}}), 1, {-2, -1.5f, -20}, 80, 112.5f},
        // Frame in xz, 6 × 4, seen from −y; every node at Z = 0, t = 1; the
        // height limits: D = 4 · 2, k = 0.75 · 300 / 2.
        {"xz", loaded({{0, 0, 0}, {0, 0, 4}, {6, 0, 4}}, {{1, 3, 1}}), 2, {-3, -2, 0}, 8, 112.5f},
        // Grillage, 12 × 9, from above: D = 4 · 4.5, k = 0.75 · 300 / 4.5.
        {"xy", loaded({{0, 0, 0}, {12, 0, 0}, {12, 9, 0}}, {{1, 2, 1}}), 3, {-6, -4.5f, 0}, 18, 50},
        // A beam along x: thinnest y and z, y first; seen from the front.
        {"x", loaded({{0, 0, 0}, {6, 0, 0}}, {{1, 2, 1}}), 2, {-3, 0, 0}, 12, 150},
    };
    for (Case& c : cases) {
        EXPECT_EQ(c.v.depthAxis(), c.depth) << c.what;
        EXPECT_FLOAT_EQ(c.v.state().D, c.D) << c.what;
        EXPECT_FLOAT_EQ(c.v.state().F, c.D) << c.what;
        EXPECT_FLOAT_EQ(c.v.scale(), c.k) << c.what;
        EXPECT_EQ(c.v.working(1), c.node1) << c.what;
        EXPECT_NEAR(reach(c.v, 1200, 600), Visor::Fill, FitTolerance) << c.what;

        // Turned, moved and brought near, cut by the picture; framed again,
        // both images of the anaglyph inside, the turns kept.
        for (int index : {2, 2, 1})
            c.v.Giro(index);
        for (int i = 0; i < 3; ++i)
            c.v.Desp(1);
        for (int i = 0; i < 5; ++i)
            c.v.DistObs(2);
        c.v.project();
        EXPECT_GT(reach(c.v, 1200, 600), 1) << c.what;
        const auto turned = c.v.state().turn;
        c.v.anaglyph = true;
        c.v.fitToPicture();
        c.v.project();
        EXPECT_NEAR(reach(c.v, 1200, 600), Visor::Fill, FitTolerance) << c.what;
        EXPECT_EQ(c.v.state().turn, turned) << c.what;
    }
    const Visor b = box();  // node 1: t = (12 + 2) / 12
    EXPECT_NEAR(b.u(1), 600 - 125 * 3 / (14.0 / 12), 1e-3);
    EXPECT_NEAR(b.v(1), 300 + 125 / (14.0 / 12), 1e-3);
}

TEST(Visor, LoadLeavesOutBarsNamingMissingNodes) {
    // Four nodes; each bar names node 0 or 5 at one end, but the last two,
    // which join the first node and the last either way round.
    Visor v = loaded({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 1}},
                     {{0, 2, 1}, {2, 0, 1}, {5, 2, 1}, {2, 5, 1}, {1, 4, 1}, {4, 1, 1}});
    EXPECT_EQ(v.barCount(), 2);
    test::RecordingSurface s(1200, 600);
    v.draw(s);
    const auto lines = s.of("line");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NEAR(lines[0].x2, v.u(4), 1e-3);
    EXPECT_NEAR(lines[1].x2, v.u(1), 1e-3);
}

TEST(Visor, DrawsYellowByTypeOrAsTheAnaglyphPair) {
    Visor v = box();
    test::RecordingSurface s(1200, 600);
    v.draw(s);
    auto lines = s.of("line");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].colour, rgb(255, 255, 0));
    EXPECT_NEAR(lines[0].x1, v.u(1), 1e-3);
    EXPECT_NEAR(lines[0].y2, v.v(2), 1e-3);

    v.colourByType = true;  // types 1, 15 and 2: Palette16 2, 2, 3
    v.draw(s);
    lines = s.of("line");
    EXPECT_EQ(lines[1].colour, rgb(0, 128, 0));
    EXPECT_EQ(lines[2].colour, rgb(0, 128, 128));

    v.anaglyph = true;
    v.red = redSwatch(-255);
    v.project();
    v.draw(s);
    lines = s.of("line");
    ASSERT_EQ(lines.size(), 6u);  // blue first, the red image over it
    EXPECT_EQ(lines[0].colour, rgb(0, 0, 255));
    EXPECT_EQ(lines[3].colour, rgb(255, 255, 255));
    EXPECT_NEAR(lines[3].x1 - lines[0].x1, v.scale() * 0.5 / (14.0 / 12), 1e-3);
    EXPECT_EQ(lines[3].y1, lines[0].y1);
}

TEST(Visor, TurnsComeBackAfterAFullTurnMovesAddAndAResetForgetsBoth) {
    const struct {
        int plus, minus;
        Point quarter;  // node 1 after six clicks of 15°
    } axes[] = {{1, 4, {-3, 2, -1}}, {2, 5, {-2, -1, 3}}, {3, 6, {1, -3, -2}}};
    for (const auto& a : axes) {
        Visor v = box();
        for (int i = 1; i <= 24; ++i) {
            v.Giro(a.plus);
            for (std::size_t c = 0; c < 3 && (i == 6 || i == 24); ++c)
                EXPECT_NEAR(v.working(1)[c], i == 6 ? a.quarter[c] : corner[c], TurnTolerance);
        }
        EXPECT_NEAR(std::remainder(v.state().turn[std::size_t(a.plus - 1)], Visor::FullTurn), 0,
                    1e-5);
        v.Desp(a.minus);  // 1.5 m back along the axis
        EXPECT_FLOAT_EQ(v.working(1)[std::size_t(a.plus - 1)],
                        corner[std::size_t(a.plus - 1)] - 1.5f);
        EXPECT_FLOAT_EQ(v.state().displacement[std::size_t(a.plus - 1)], -1.5f);
        v.reset(1200, 600);
        EXPECT_EQ(v.working(1), corner);
        EXPECT_EQ(v.state().turn, (std::array<float, 3>{}));
        EXPECT_EQ(v.state().displacement, (std::array<float, 3>{}));
    }
}

TEST(Visor, DistanceAndPerspectiveStayPositive) {
    const struct {
        int step;
        bool angulo;
        int index;
        bool accepted;
        float factor;
    } cases[] = {
        {15, false, 1, true, 16.0f / 15}, {15, true, 1, true, 14.0f / 15},  // "+" nearer on F
        {1, false, 1, true, 2},           {1, true, 2, true, 2},
        {1, false, 2, false, 1},  // D would be 0
        {1, true, 1, false, 1},   // F would be 0
    };
    for (const auto& c : cases) {
        Visor v = box();
        v.step = c.step;
        EXPECT_EQ(c.angulo ? v.Angulo(c.index) : v.DistObs(c.index), c.accepted);
        EXPECT_FLOAT_EQ(c.angulo ? v.state().F : v.state().D, 12 * c.factor);
        EXPECT_FLOAT_EQ(c.angulo ? v.state().D : v.state().F, 12);
    }
}

TEST(Visor, BarsReachingBehindTheObserverAreCutAtTheNearPlane) {
    // Viewer Z from −50 to 50, the observer brought to D = F = 4: the nodes at
    // x = 100 lie behind. Node 5, with no bar, makes it a body seen along x.
    Visor v = loaded({{0, 0, 0}, {100, 1.5f, 0}, {100, 0, 0}, {0, 2, 0}, {0, 0, 2}},
                     {{1, 2, 1}, {2, 3, 1}, {4, 1, 1}}, 1000, 1000);
    ASSERT_EQ(v.state().D, 200);
    v.scaleDistance(0.02f);
    v.scalePerspective(0.02f);
    v.project();
    test::RecordingSurface pic(1000, 1000);
    v.draw(pic);
    const auto lines = pic.of("line");
    ASSERT_EQ(lines.size(), 2u);  // bar 2, wholly behind, is not drawn
    // Bar 1 from (X −1, t 13.5) to (0.5, t −11.5) meets t = 0.01 at
    // X = −1 + 1.5 · 13.49 / 25 < 0: it runs down and left out of the picture,
    // not across it to the right, where the node behind, at t = 1e-7, projects.
    EXPECT_NEAR(lines[0].x1, v.u(1), 1e-3);
    EXPECT_LT(lines[0].x2, lines[0].x1);
    EXPECT_EQ(lines[0].y2, 1000);
    EXPECT_GT(v.u(2), 1000);
    EXPECT_NEAR(lines[1].x1, v.u(4), 1e-3);  // bar 3 wholly in front
    EXPECT_NEAR(lines[1].x2, v.u(1), 1e-3);
}

TEST(Visor, LinRClipsToThePicture) {
    const struct {
        std::array<float, 4> in;
        bool visible;
        std::array<float, 4> out;
    } cases[] = {
        {{10, 10, 90, 40}, true, {10, 10, 90, 40}},       // inside
        {{-10, 10, 10, 30}, true, {0, 20, 10, 30}},       // across the left side
        {{50, -10, 60, 10}, true, {55, 0, 60, 10}},       // the top
        {{90, 10, 110, 30}, true, {90, 10, 100, 20}},     // the right
        {{40, 40, 60, 60}, true, {40, 40, 50, 50}},       // the bottom (h = 50)
        {{-50, 25, 150, 25}, true, {0, 25, 100, 25}},     // horizontal
        {{30, -5, 30, 80}, true, {30, 0, 30, 50}},        // vertical
        {{0, 10, 0, 40}, false, {0, 10, 0, 40}},          // on the left border
        {{10, 50, 90, 50}, false, {10, 50, 90, 50}},      // on the bottom border
        {{110, 10, 120, 40}, false, {110, 10, 120, 40}},  // beyond the right
        {{-10, 5, 5, -10}, false, {-5, 0, -5, 0}},        // past the corner
    };
    for (const auto& c : cases) {
        auto p = c.in;
        EXPECT_EQ(LinR(p[0], p[1], p[2], p[3], 100, 50), c.visible) << c.in[0] << "," << c.in[1];
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_NEAR(p[i], c.out[i], 1e-4) << c.in[0] << "," << c.in[1] << " " << i;
    }
}

TEST(Visor, DragsTurnAsTheButtonsAndMoveWithThePointer) {
    Visor buttons = box(), mouse = box();
    buttons.step = Visor::SmallStep;
    // Right about the vertical axis, up about the horizontal, then down one degree.
    for (int index : {2, 2, 2, 4, 4, 1})
        buttons.Giro(index);
    mouse.press(at(500, 500, Button::Left));
    EXPECT_FALSE(mouse.drag(at(540, 500, Button::Left)));  // not yet one degree
    EXPECT_TRUE(mouse.drag(at(600, 500, Button::Left)));
    EXPECT_TRUE(mouse.drag(at(640, 500 - 2 * 45 - 20, Button::Left)));
    EXPECT_TRUE(mouse.drag(at(640, 500 - 45 + 10, Button::Left)));
    EXPECT_FALSE(mouse.drag(at(900, 900, Button::None)));
    expectSameFigure(mouse, buttons);

    // The right button: node 3, at the working origin, follows the pointer.
    Visor moved = loaded({{0, 0, 0}, {2, 2, 2}, {1, 1, 1}}, {{1, 2, 1}});
    const float u0 = moved.u(3), v0 = moved.v(3);
    moved.press(at(100, 100, Button::Right));
    ASSERT_TRUE(moved.drag(at(160, 70, Button::Right)));
    moved.project();
    EXPECT_NEAR(moved.u(3) - u0, 60, 1e-3);
    EXPECT_NEAR(moved.v(3) - v0, -30, 1e-3);
}

TEST(VisorColours, ScrollValuesAndTheirFile) {
    const struct {
        int v;
        Colour red, blue;
    } swatches[] = {
        {0, rgb(255, 0, 0), rgb(0, 0, 255)},
        {255, rgb(0, 0, 0), rgb(0, 0, 0)},  // black: invisible on the picture
        {-255, rgb(255, 255, 255), rgb(255, 255, 255)},
        {-16, rgb(255, 16, 16), rgb(16, 16, 255)},
    };
    for (const auto& s : swatches) {
        EXPECT_EQ(redSwatch(s.v), s.red) << s.v;
        EXPECT_EQ(blueSwatch(s.v), s.blue) << s.v;
    }
    test::TempDir dir;
    writeColours(dir.path(), {12, -255});
    EXPECT_EQ(dir.read("visor.dat"), " 12 \r\n-255 \r\n");
    EXPECT_EQ(readColours(dir.path()), (ColourSettings{12, -255}));
    for (const char* bad : {"7\r\n", "abc\r\n1\r\n", "1.5 2", "256 0", "0 -300", "\xff\xfe"}) {
        dir.write("visor.dat", bad);
        EXPECT_EQ(readColours(dir.path()), std::nullopt) << bad;
    }
    std::filesystem::remove(dir / "visor.dat");
    EXPECT_EQ(readColours(dir.path()), std::nullopt);  // missing
}

}  // namespace
}  // namespace vanto::viewer
