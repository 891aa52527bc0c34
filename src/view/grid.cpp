#include "view/grid.h"

#include <cmath>

namespace vanto::view {

namespace {

// The axis a row of a view is, with its sense, when it is one.
std::optional<std::array<float, 2>> axisOf(const std::array<float, 3>& row) {
    std::optional<std::array<float, 2>> found;
    for (int a = 0; a < 3; ++a) {
        if (row[std::size_t(a)] == 0) continue;
        if (found || std::abs(row[std::size_t(a)]) != 1) return std::nullopt;
        found = std::array<float, 2>{float(a), row[std::size_t(a)]};
    }
    return found;
}

}  // namespace

std::optional<ViewPlane> viewPlane(const View& view) {
    const auto right = axisOf(view.rows.right), up = axisOf(view.rows.up);
    if (!right || !up || (*right)[0] == (*up)[0]) return std::nullopt;
    return ViewPlane{int((*right)[0]), int((*up)[0]), (*right)[1], (*up)[1]};
}

std::array<float, 3> pointUnder(const View& view, const ViewPlane& plane, float u, float v,
                                const std::array<float, 3>& depth) {
    std::array<float, 3> p = depth;
    p[std::size_t(plane.right)] = (u - view.hm1) / view.esc * plane.rightSense;
    p[std::size_t(plane.up)] = (view.hm2 - v) / view.esc * plane.upSense;
    return p;
}

float snapped(float value, float step) {
    if (!(step > 0)) return value;
    const float s = std::round(value / step) * step;
    return s == 0 ? 0.0f : s;  // no "-0" in the files
}

void drawGrid(Surface& s, const View& view, float step, float W, float H) {
    const auto plane = viewPlane(view);
    if (!plane || !(step > 0) || !(step * std::abs(view.esc) >= MinimumGridSpacing)) return;
    // Screen right and up of the surface's corners, in metres.
    const float r0 = -view.hm1 / view.esc, r1 = (W - view.hm1) / view.esc;
    const float t0 = (view.hm2 - H) / view.esc, t1 = view.hm2 / view.esc;
    s.setPenMode(PenMode::Copy);
    s.setForeground(GridColour);
    for (float i = std::ceil(std::min(r0, r1) / step); i * step <= std::max(r0, r1); ++i)
        for (float j = std::ceil(std::min(t0, t1) / step); j * step <= std::max(t0, t1); ++j)
            s.point(view.hm1 + view.esc * i * step, view.hm2 - view.esc * j * step);
}

}  // namespace vanto::view
