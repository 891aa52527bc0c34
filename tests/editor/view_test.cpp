#include "editor/view.h"

#include <gtest/gtest.h>

#include <string>

#include "support/structures.h"

namespace vanto::editor {
namespace {

Table<float> nodes(const std::vector<std::array<float, 3>>& points) {
    return test::Frame::table(points);
}

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
        // Any point, origin and scale give what the table's formula gives in
        // 32-bit floats, to the bit.
        for (float x : {-7.3f, 12.9f})
            for (float z : {-2.2f, 3.7f}) {
                const float y = x * 0.37f - z;
                view.axo3d2dj(31.5f, -8.25f, 417.3f, x, y, z, a, b);
                EXPECT_EQ(a, 31.5f + 417.3f * (f.uy * y - f.ux * x)) << c.caption;
                EXPECT_EQ(b, -8.25f - 417.3f * (f.vz * z - f.vx * x - f.vy * y)) << c.caption;
            }
    }
}

// Known answers on a 3000 × 2000 surface (unless said), node 1's image given.
TEST(View, FitVariantsAndZeroExtents) {
    const auto single = nodes({{2, 3, 4}});
    const auto plumb = nodes({{1, 1, 0}, {1, 1, 5}});                          // a point in plan
    const auto frame = nodes({{0, 0, 0}, {10, 0, 0}, {10, 0, 5}, {0, 0, 5}});  // 10 × 5 in xz
    const auto column = nodes({{3, 0, 0}, {3, 0, 4}});
    const struct {
        const char* name;
        const Table<float>& xyz;
        int view;
        FitRule rule;
        float H, esc, u, v;
    } cases[] = {
        // Both extents 0.7: 0.9 · 2000 / 0.7, the 0.7 box centred.
        {"single node", single, InitialView, EditorFit, 2000, float(1800 / 0.7), 600, 100},
        {"vertical line in Planta", plumb, PlantaView, EditorFit, 2000, float(1800 / 0.7), 600,
         100},
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

}  // namespace
}  // namespace vanto::editor
