// The previews: which view they draw, depth shading, turning with the mouse,
// and the structures they cannot draw; the picture of a bar's angle.

#include "editor/preview.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "editor/angle_picture.h"
#include "support/structures.h"
#include "support/tempdir.h"
#include "ui/recording.h"

namespace vanto::editor {
namespace {

constexpr double Step = 2.0 / 180.0 * 3.141593;

PointerEvent at(double x, double y, unsigned buttons = Button::Left) {
    return {.x = x, .y = y, .buttons = buttons};
}

TEST(Preview, DrawsThroughItsTriadShadedByDepth) {
    test::TempDir dir;
    test::Frame f;
    // Bars across the view at depth (X) 10, 0 and 5.
    f.bar(f.node(10, 0, 0), f.node(10, 4, 0), 1);
    f.bar(f.node(0, 0, 2), f.node(0, 4, 2), 1);
    f.bar(f.node(5, 0, 1), f.node(5, 4, 1), 1);
    f.write(dir.path());
    Preview p;
    ASSERT_EQ(p.load(dir.path()), PreviewState::Drawn);
    p.setView({1, 0, 0}, -90);  // along +X with Z up: screen right is Y
    test::RecordingSurface s(3000, 2000);
    p.draw(s);
    EXPECT_EQ(s.calls.front().op, "clear");
    const auto lines = s.of("line");
    ASSERT_EQ(lines.size(), 3u);
    // Y across, Z up; the width 4 m limits: 675 twips per metre, centred.
    EXPECT_NEAR(lines[0].x1, 150, 1e-3);
    EXPECT_NEAR(lines[0].x2, 2850, 1e-3);
    EXPECT_NEAR(lines[0].y1, 1675, 1e-3);
    EXPECT_NEAR(lines[1].y1, 325, 1e-3);
    EXPECT_EQ(lines[0].colour, rgb(0, 0, 128));
    // 88% of the way to white: 0.88 · 255 = 224.4, 0.12 · 128 + 224.4 = 239.76.
    EXPECT_EQ(lines[1].colour, rgb(224, 224, 240));
    EXPECT_EQ(lines[2].colour, BlendColour(0, 0, 128, 255, 255, 255, 0.44f));
}

TEST(Preview, LeftDragTurnsTheDirectionTwoDegreesPastTheThreshold) {
    Preview p;
    p.press(at(1000, 1000));
    EXPECT_FALSE(p.drag(at(1040, 1000)));  // 40 is not past the threshold
    EXPECT_FALSE(p.drag(at(1100, 1000, Button::None)));
    const auto before = p.direction();
    EXPECT_TRUE(p.drag(at(1041, 1000)));
    const auto after = p.direction();
    EXPECT_EQ(after[1], before[1]);
    const double a0 = std::atan2(before[0], before[2]);
    EXPECT_NEAR(std::atan2(after[0], after[2]) - a0, Step, 1e-6);
    EXPECT_NEAR(std::hypot(after[0], after[2]), std::hypot(before[0], before[2]), 1e-5);
    // The stored point moved: dragging back past it turns the other way.
    EXPECT_TRUE(p.drag(at(1000, 1000)));
    EXPECT_NEAR(std::atan2(p.direction()[0], p.direction()[2]), a0, 1e-5);
    EXPECT_EQ(p.roll(), Preview::InitialRoll);  // horizontal steps keep the roll

    // Downwards turns the other pair and recomputes the roll; all the way
    // round the view never breaks.
    p.press(at(0, 0));
    const auto top = p.direction();
    EXPECT_TRUE(p.drag(at(0, 100)));
    EXPECT_EQ(p.direction()[0], top[0]);
    EXPECT_NEAR(std::atan2(p.direction()[1], p.direction()[2]) - std::atan2(top[1], top[2]), -Step,
                1e-6);
    EXPECT_NE(p.roll(), Preview::InitialRoll);
    for (int i = 0; i < 200; ++i) {
        EXPECT_TRUE(p.drag(at(0, (i + 2) * 100.0)));
        EXPECT_TRUE(std::isfinite(p.roll()));
    }
}

TEST(Preview, RightDragTurnsTheRollAboutOneDegreePerOnePointSevenMoves) {
    Preview p;
    const float r0 = p.roll();
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(p.drag(at(0, 0, Button::Right)));
    EXPECT_TRUE(p.drag(at(0, 0, Button::Right)));  // the counter passed 2
    EXPECT_EQ(p.roll(), r0 + 1);
    int changes = 1;
    for (int i = 0; i < 166; ++i)
        changes += p.drag(at(0, 0, Button::Right));
    // 170 moves: about 100 degrees.
    EXPECT_GE(changes, 98);
    EXPECT_LE(changes, 101);
    EXPECT_EQ(p.roll(), r0 + float(changes));
}

TEST(Preview, AnotherStructureStartsFromTheInitialView) {
    test::TempDir a, b;
    test::portal().write(a.path());
    test::portal().write(b.path());
    Preview p;
    p.load(a.path());
    p.press(at(0, 0));
    p.drag(at(100, 100));
    p.load(a.path());  // the same structure keeps its view
    EXPECT_NE(p.direction(), Preview::InitialDirection);
    p.load(b.path());
    EXPECT_EQ(std::pair(p.direction(), p.roll()),
              std::pair(Preview::InitialDirection, Preview::InitialRoll));
}

TEST(Preview, StructuresThatCannotBeDrawn) {
    test::TempDir empty;
    Preview p;
    EXPECT_EQ(p.load(empty.path()), PreviewState::NoData);
    test::RecordingSurface s;
    p.draw(s);
    EXPECT_TRUE(s.of("line").empty());

    test::TempDir old;
    test::portal().write(old.path());
    old.write("DATOS.DAT", "\"Otro programa 1.0\"\r\n4\r\n3\r\n");
    EXPECT_EQ(p.load(old.path()), PreviewState::OtherVersion);
    DinPreview din;
    EXPECT_FALSE(din.load(old.path()));

    // A bar naming a node that does not exist is left out.
    test::TempDir odd;
    test::Frame f = test::portal();
    f.bar(1, 99, 1);
    f.write(odd.path());
    EXPECT_EQ(p.load(odd.path()), PreviewState::Drawn);
    p.draw(s);
    EXPECT_EQ(s.of("line").size(), 3u);

    odd.write("BARRAS.DAT", "1,2,1,0,0,0,0,0,1,1\r\n2,x\r\n");  // damaged
    EXPECT_THROW(p.load(odd.path()), FileError);
}

TEST(DinPreview, FixedViewInYellowOnBlack) {
    test::TempDir dir;
    test::Frame f;
    f.bar(f.node(0, 0, 0), f.node(10, 0, 0), 1);
    f.write(dir.path());
    DinPreview p;
    ASSERT_TRUE(p.load(dir.path()));
    test::RecordingSurface s(3000, 2000);
    p.draw(s);
    const auto lines = s.of("line");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].colour, rgb(255, 255, 0));
    // Along X the image runs 2.25 left and 3.95 down per 10 m; the height
    // limits: 1800 twips for 3.95, centred.
    const double across = 1800 * 2.25 / 3.95;
    EXPECT_NEAR(lines[0].x1, 1500 + across / 2, 0.01);
    EXPECT_NEAR(lines[0].y1, 100, 0.01);
    EXPECT_NEAR(lines[0].x2, 1500 - across / 2, 0.01);
    EXPECT_NEAR(lines[0].y2, 1900, 0.01);
}

// The angle picture turns local y from up towards z0 (right) by the angle,
// and z from right towards down.
TEST(AnglePicture, AxesTurnFromYTowardsZ) {
    for (float angle : {30.0f, 90.0f}) {
        test::RecordingSurface s;
        drawAnglePicture(s, angle);
        const double b = angle * std::acos(-1.0) / 180;
        auto direction = [&](Colour colour) {
            const test::DrawCall l = s.of("line", colour).at(0);
            const double length = std::hypot(l.x2 - l.x1, l.y2 - l.y1);
            return std::array<double, 2>{(l.x2 - l.x1) / length, (l.y2 - l.y1) / length};
        };
        const auto y = direction(palette16(12)), z = direction(palette16(2));
        EXPECT_NEAR(y[0], std::sin(b), 1e-6) << angle;
        EXPECT_NEAR(y[1], -std::cos(b), 1e-6) << angle;
        EXPECT_NEAR(z[0], std::cos(b), 1e-6) << angle;
        EXPECT_NEAR(z[1], std::sin(b), 1e-6) << angle;
    }
}

}  // namespace
}  // namespace vanto::editor
