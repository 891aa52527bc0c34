// The perspective viewer: fit and projection worked by hand, clipping, turns
// and moves, the observer distance kept positive, nodes behind the observer,
// the mouse against the buttons, the colours and visor.dat.

#include "viewer/visor.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/files.h"
#include "support/tempdir.h"
#include "ui/recording.h"

namespace vanto::viewer {
namespace {

using Point = std::array<float, 3>;

Structure frame(std::initializer_list<Point> nodes,
                std::initializer_list<std::array<int, 3>> bars) {
    Structure s;
    s.reset(part::Geometry);
    for (const auto& p : nodes)
        s.addNode(p[0], p[1], p[2]);
    for (const auto& b : bars)
        s.addBar(float(b[0]), float(b[1]), float(b[2]));
    return s;
}

// A 4 m × 6 m × 2 m box (structure x, y, z), bars along its edges at the base.
Structure box() {
    return frame({{0, 0, 0}, {4, 0, 0}, {4, 6, 0}, {0, 6, 2}}, {{1, 2, 1}, {2, 3, 2}, {3, 4, 15}});
}

Visor loaded(const Structure& s, float w = 1200, float h = 600) {
    Visor v;
    v.load(s);
    v.reset(w, h);
    v.project();
    return v;
}

PointerEvent at(double x, double y, unsigned buttons) {
    return {.x = x, .y = y, .buttons = buttons};
}

TEST(Visor, ResetCentresAndFitsTheLimitingDirection) {
    const struct {
        Structure s;
        float w, h;
        float D, k;     // k after the 0.75
        Point working;  // of node 1
    } cases[] = {
        // Viewer X = y (6 m, h 3), Y = z (2 m, h 1), Z = x (4 m, h 2).
        // 600/1200 = 0.5 > 1/3: the width limits, k = 0.75 · 1200 / 6.
        {box(), 1200, 600, 12, 150, {-3, -1, -2}},
        // 1200/600 = 2 > 1/3 too; k = 0.75 · 600 / 6.
        {box(), 600, 1200, 12, 75, {-3, -1, -2}},
        // A flat structure: its half height is taken as 1 m, and so is its
        // half width; 600/6000 < 1/1, the height limits: D = 4, k = 0.75 · 600 / 2.
        {frame({{0, 0, 5}, {0, 1, 5}}, {{1, 2, 1}}), 6000, 600, 4, 225, {-1, -1, -1}},
    };
    for (const auto& c : cases) {
        const Visor v = loaded(c.s, c.w, c.h);
        EXPECT_FLOAT_EQ(v.state().D, c.D);
        EXPECT_FLOAT_EQ(v.state().F, c.D);
        EXPECT_FLOAT_EQ(v.scale(), c.k);
        EXPECT_EQ(v.working(1), c.working);
    }
    // Node 1 of the box at (−3, −1, −2): t = (12 + 2) / 12.
    const Visor v = loaded(box());
    EXPECT_NEAR(v.u(1), 150 * -3 / (14.0 / 12) + 600, 1e-3);
    EXPECT_NEAR(v.v(1), 300 + 150 / (14.0 / 12), 1e-3);
}

TEST(Visor, DrawsYellowByTypeOrAsTheAnaglyphPair) {
    Visor v = loaded(box());
    test::RecordingSurface s(1200, 600);
    v.draw(s);
    ASSERT_EQ(s.calls.front().op, "clear");
    auto lines = s.of("line");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].colour, rgb(255, 255, 0));
    EXPECT_NEAR(lines[0].x1, v.u(1), 1e-3);
    EXPECT_NEAR(lines[0].y2, v.v(2), 1e-3);

    v.colourByType = true;
    v.draw(s);
    lines = s.of("line");
    // Types 1, 2 and 15: Palette16 2, 3 and 2, drawn colour by colour.
    EXPECT_EQ(lines[0].colour, rgb(0, 128, 0));
    EXPECT_EQ(lines[1].colour, rgb(0, 128, 0));
    EXPECT_NEAR(lines[1].x2, v.u(4), 1e-3);
    EXPECT_EQ(lines[2].colour, rgb(0, 128, 128));

    v.anaglyph = true;
    v.red = redSwatch(-255);
    v.project();
    v.draw(s);
    lines = s.of("line");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0].colour, rgb(0, 0, 255));
    EXPECT_EQ(lines[3].colour, rgb(255, 255, 255));
    // The second eye half a metre to the right: k · 0.5 / t further.
    EXPECT_NEAR(lines[3].x1 - lines[0].x1, 150 * 0.5 / (14.0 / 12), 1e-3);
    EXPECT_EQ(lines[3].y1, lines[0].y1);
}

TEST(Visor, TurnsAboutEachAxisComeBackAfterAFullTurn) {
    const Point start{-3, -1, -2};  // node 1 of the box
    const struct {
        int plus, minus;
        Point quarter;  // after six clicks of 15°
    } axes[] = {
        {1, 4, {-3, 2, -1}},  // Y' = −Z, Z' = Y
        {2, 5, {-2, -1, 3}},  // Z' = −X, X' = Z
        {3, 6, {1, -3, -2}},  // X' = −Y, Y' = X
    };
    for (const auto& a : axes) {
        Visor v = loaded(box());
        for (int i = 0; i < 6; ++i)
            v.Giro(a.plus);
        for (std::size_t c = 0; c < 3; ++c)
            EXPECT_NEAR(v.working(1)[c], a.quarter[c], 1e-5);
        EXPECT_NEAR(v.state().turn[std::size_t(a.plus - 1)], Visor::Pi / 2, 1e-6);
        for (int i = 0; i < 18; ++i)
            v.Giro(a.plus);
        for (std::size_t c = 0; c < 3; ++c)
            EXPECT_NEAR(v.working(1)[c], start[c], 1e-5);
        EXPECT_NEAR(std::remainder(v.state().turn[std::size_t(a.plus - 1)], Visor::FullTurn), 0,
                    1e-5);
        // The negative button undoes the positive one; its total keeps its sign.
        Visor back = loaded(box());
        back.step = Visor::SmallStep;
        back.Giro(a.minus);
        EXPECT_FLOAT_EQ(back.state().turn[std::size_t(a.plus - 1)], -Visor::Pi / 180);
        back.Giro(a.plus);
        for (std::size_t c = 0; c < 3; ++c)
            EXPECT_NEAR(back.working(1)[c], start[c], 1e-5);
    }
}

TEST(Visor, MovesAndAResetForgetsEverything) {
    Visor v = loaded(box());
    v.Desp(1);  // +1.5 m along X
    v.step = Visor::SmallStep;
    v.Desp(6);  // −0.1 m along Z
    EXPECT_FLOAT_EQ(v.working(1)[0], -1.5f);
    EXPECT_FLOAT_EQ(v.working(1)[2], -2.1f);
    EXPECT_FLOAT_EQ(v.state().displacement[0], 1.5f);
    EXPECT_FLOAT_EQ(v.state().displacement[2], -0.1f);
    v.Giro(3);
    ASSERT_TRUE(v.DistObs(1));
    v.reset(1200, 600);
    EXPECT_EQ(v.working(1), (Point{-3, -1, -2}));
    EXPECT_EQ(v.state().turn, (std::array<float, 3>{}));
    EXPECT_EQ(v.state().displacement, (std::array<float, 3>{}));
    EXPECT_EQ(v.state().D, 12);
}

TEST(Visor, DistanceAndPerspectiveStayPositive) {
    const struct {
        int step;
        bool angulo;
        int index;
        bool accepted;
        float factor;
    } cases[] = {
        {15, false, 1, true, 16.0f / 15},
        {15, false, 2, true, 14.0f / 15},
        {15, true, 1, true, 14.0f / 15},
        {15, true, 2, true, 16.0f / 15},
        {1, false, 1, true, 2},
        {1, false, 2, false, 1},  // D would be 0
        {1, true, 1, false, 1},   // F would be 0
        {1, true, 2, true, 2},
    };
    for (const auto& c : cases) {
        Visor v = loaded(box());
        v.step = c.step;
        const bool accepted = c.angulo ? v.Angulo(c.index) : v.DistObs(c.index);
        EXPECT_EQ(accepted, c.accepted) << c.step << c.angulo << c.index;
        EXPECT_FLOAT_EQ(c.angulo ? v.state().F : v.state().D, 12 * c.factor);
        EXPECT_FLOAT_EQ(c.angulo ? v.state().D : v.state().F, 12);
    }
    // Thousands of "-" clicks never reach zero, nor "+" clicks infinity.
    Visor v = loaded(box());
    for (int i = 0; i < 5000; ++i) {
        v.step = Visor::LargeStep;
        v.DistObs(2);
        v.step = Visor::SmallStep;
        v.Angulo(2);
    }
    EXPECT_GT(v.state().D, 0);
    EXPECT_TRUE(std::isfinite(v.state().F));
}

TEST(Visor, BarsReachingBehindTheObserverAreCutAtTheNearPlane) {
    // A long structure in depth: viewer Z from −50 to 50, D = F = 4, so the
    // nodes at x = 100 lie behind the observer.
    const Structure s = frame({{0, 0, 0}, {100, 1.5f, 0}, {100, 0, 0}, {0, 2, 0}},
                              {{1, 2, 1}, {2, 3, 1}, {4, 1, 1}});
    Visor v = loaded(s, 1000, 1000);
    ASSERT_EQ(v.state().D, 4);
    ASSERT_GT(v.working(2)[2], v.state().D);
    test::RecordingSurface pic(1000, 1000);
    v.draw(pic);
    const auto lines = pic.of("line");
    // Bar 2 (both ends behind) is not drawn.
    ASSERT_EQ(lines.size(), 2u);
    // Bar 1 from (X −1, Z −50, t 13.5) in front to (0.5, 50, t −11.5) behind
    // meets t = 0.01 at X = −1 + 1.5 · 13.49 / 25 < 0: it runs down and to the
    // left out of the picture, not across it to the right as the node
    // behind, taken at t = 1e-7, would.
    EXPECT_NEAR(lines[0].x1, v.u(1), 1e-3);
    EXPECT_NEAR(lines[0].y1, v.v(1), 1e-3);
    EXPECT_LT(lines[0].x2, lines[0].x1);
    EXPECT_EQ(lines[0].y2, 1000);
    EXPECT_GT(v.u(2), 1000);
    // Bar 3 lies wholly in front.
    EXPECT_NEAR(lines[1].x1, v.u(4), 1e-3);
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
        {{-50, 25, 150, 25}, true, {0, 25, 100, 25}},     // horizontal, clamped
        {{30, -5, 30, 80}, true, {30, 0, 30, 50}},        // vertical, clamped
        {{0, 10, 0, 40}, false, {0, 10, 0, 40}},          // on the left border
        {{10, 50, 90, 50}, false, {10, 50, 90, 50}},      // on the bottom border
        {{110, 10, 120, 40}, false, {110, 10, 120, 40}},  // beyond the right
        {{30, -5, 40, -20}, false, {30, -5, 40, -20}},    // beyond the top
        {{-10, 5, 5, -10}, false, {-5, 0, -5, 0}},        // past the corner
    };
    for (const auto& c : cases) {
        auto p = c.in;
        EXPECT_EQ(LinR(p[0], p[1], p[2], p[3], 100, 50), c.visible) << c.in[0] << "," << c.in[1];
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_NEAR(p[i], c.out[i], 1e-4) << c.in[0] << "," << c.in[1] << " " << i;
    }
}

TEST(Visor, ADragTurnsAsTheOneDegreeButtonsAndTheWheelAsDistObs) {
    Visor buttons = loaded(box()), mouse = loaded(box());
    buttons.step = Visor::SmallStep;
    for (int i = 0; i < 5; ++i)
        buttons.Giro(2);  // right: about the vertical axis
    for (int i = 0; i < 3; ++i)
        buttons.Giro(4);  // up: about the horizontal axis, negative
    mouse.press(at(500, 500, Button::Left));
    EXPECT_FALSE(mouse.drag(at(540, 500, Button::Left)));  // not yet one degree
    for (double x = 545; x <= 725; x += 45)
        EXPECT_TRUE(mouse.drag(at(x + 10, 500, Button::Left)));
    EXPECT_TRUE(mouse.drag(at(735, 500 - 3 * 45 - 20, Button::Left)));
    EXPECT_FALSE(mouse.drag(at(900, 900, Button::None)));
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(mouse.working(n), buttons.working(n)) << n;
    EXPECT_EQ(mouse.state().turn, buttons.state().turn);

    // Moving with the right button: the centre plane follows the pointer.
    Visor moved = loaded(frame({{0, 0, 0}, {2, 2, 2}, {1, 1, 1}}, {{1, 2, 1}}));
    const float u0 = moved.u(3), v0 = moved.v(3);  // node 3 at the working origin
    moved.press(at(100, 100, Button::Right));
    ASSERT_TRUE(moved.drag(at(160, 70, Button::Right)));
    moved.project();
    EXPECT_NEAR(moved.u(3) - u0, 60, 1e-3);
    EXPECT_NEAR(moved.v(3) - v0, -30, 1e-3);

    // Two notches away from the user: twice the "-" of the large step.
    Visor wheel = loaded(box()), clicks = loaded(box());
    ASSERT_TRUE(wheel.wheel({.kind = PointerEvent::Kind::Wheel, .wheel = 2}));
    clicks.DistObs(2);
    clicks.DistObs(2);
    EXPECT_EQ(wheel.state().D, clicks.state().D);
}

TEST(VisorColours, ScrollValuesAndTheirFile) {
    const struct {
        int v;
        Colour red, blue;
    } swatches[] = {
        {0, rgb(255, 0, 0), rgb(0, 0, 255)},
        {255, rgb(0, 0, 0), rgb(0, 0, 0)},  // black: invisible on the picture
        {-255, rgb(255, 255, 255), rgb(255, 255, 255)},
        {16, rgb(239, 0, 0), rgb(0, 0, 239)},
        {-16, rgb(255, 16, 16), rgb(16, 16, 255)},
    };
    for (const auto& s : swatches) {
        EXPECT_EQ(redSwatch(s.v), s.red) << s.v;
        EXPECT_EQ(blueSwatch(s.v), s.blue) << s.v;
    }

    test::TempDir dir;
    EXPECT_EQ(readColours(dir.path()), std::nullopt);  // missing
    writeColours(dir.path(), {12, -255});
    EXPECT_EQ(dir.read("visor.dat"), " 12 \r\n-255 \r\n");
    EXPECT_EQ(readColours(dir.path()), (ColourSettings{12, -255}));
    EXPECT_EQ(coloursText({0, 255}), " 0 \r\n 255 \r\n");

    for (const char* bad : {"", "7\r\n", "abc\r\n1\r\n", "1.5\r\n2\r\n", "256\r\n0\r\n",
                            "0\r\n-300\r\n", "\xff\xfe\x00"}) {
        dir.write("visor.dat", bad);
        EXPECT_EQ(readColours(dir.path()), std::nullopt) << bad;
    }
    dir.write("VISOR.DAT", "-3,4");  // any case, any separator
    std::filesystem::remove(dir / "visor.dat");
    EXPECT_EQ(readColours(dir.path()), (ColourSettings{-3, 4}));
}

}  // namespace
}  // namespace vanto::viewer
