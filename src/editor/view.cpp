#include "editor/view.h"

#include <algorithm>
#include <cmath>

namespace vanto::editor {

ViewRows triadRows(const std::array<Vec3, 3>& triad) {
    ViewRows r;
    for (int k = 0; k < 3; ++k) {
        r.right[k] = float(triad[1][k]);
        r.up[k] = float(triad[2][k]);
    }
    return r;
}

void View::axo3d2dj(float hm1j, float hm2j, float escj, float X, float Y, float Z, float& a,
                    float& b) const {
    // Summed in the order of the fixed views' formulas (uy·y − ux·x and
    // vz·z − vx·x − vy·y), so that float results agree with them to the bit.
    const float right = rows.right[1] * Y + rows.right[0] * X + rows.right[2] * Z;
    const float up = rows.up[2] * Z + rows.up[0] * X + rows.up[1] * Y;
    a = hm1j + escj * right;
    b = hm2j - escj * up;
}

void View::fit(const Table<float>& xyz, int nodeCount, float W, float H, const FitRule& rule) {
    float umin, umax, vmin, vmax;
    if (nodeCount < 1) {
        axo3d2dj(0, 0, 1, 0, 0, 0, umin, vmin);
    } else {
        axo3d2dj(0, 0, 1, xyz(1, 1), xyz(1, 2), xyz(1, 3), umin, vmin);
    }
    umax = umin;
    vmax = vmin;
    for (int n = 1; n <= nodeCount; ++n) {
        float u, v;
        axo3d2dj(0, 0, 1, xyz(n, 1), xyz(n, 2), xyz(n, 3), u, v);
        umin = std::min(umin, u), umax = std::max(umax, u);
        vmin = std::min(vmin, v), vmax = std::max(vmax, v);
    }
    float du = umax - umin, dv = vmax - vmin;
    const float boxU = du, boxV = dv;
    if (rule.zeroExtent != 0) {
        if (du == 0) du = rule.zeroExtent;
        if (dv == 0) dv = rule.zeroExtent;
    }
    // The quotients are compared as 32-bit values.
    const float byHeight = float(double(dv) / H), byWidth = float(double(du) / W);
    esc = byHeight > byWidth ? float(rule.margin * H / dv) : float(rule.margin * W / du);
    const float cu = rule.centreNodes ? boxU : du, cv = rule.centreNodes ? boxV : dv;
    hm1 = (W - esc * cu) / 2 - esc * umin;
    hm2 = (H - esc * cv) / 2 - esc * vmin;
}

}  // namespace vanto::editor

namespace vanto::editor {

ScreenView::ScreenView(const ScreenViewRule& rule) : rule_(rule) {
    Perspec(InitialView);
}

void ScreenView::Perspec(int index) {
    if (index < 0 || index >= int(FixedViews.size())) return;
    viewIndex_ = index;
    view.rows = FixedViews[std::size_t(index)].rows();
    zoomnum(0);
}

void ScreenView::zoomnum(int mode, double a1, double a2, double esc0) {
    switch (mode) {
        case 1:
            if (depth_ >= HistoryDepth) return;
            saved_[std::size_t(++depth_)] = {view.hm1, view.hm2, view.esc};
            view.hm1 = float(a1), view.hm2 = float(a2), view.esc = float(esc0);
            return;
        case -1: {
            if (depth_ <= 0) return;
            const auto& t = saved_[std::size_t(depth_--)];
            view.hm1 = t[0], view.hm2 = t[1], view.esc = t[2];
            return;
        }
        case 0:
            depth_ = 0;
            view.hm1 = 0, view.hm2 = 0, view.esc = 1;
            return;
        default:
            return;
    }
}

std::array<float, 3> ScreenView::zoomWindow(float x1, float y1, float x2, float y2, float W,
                                            float H) const {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 - x1 < PickTolerance) x1 = x2 - 20 * PickTolerance, x2 = x2 + 20 * PickTolerance;
    if (y2 - y1 < PickTolerance) y1 = y2 - 20 * PickTolerance, y2 = y2 + 20 * PickTolerance;
    const auto [u1, v1] = view.unscaled(x1, y1);
    const auto [u2, v2] = view.unscaled(x2, y2);
    const float w = u2 - u1, h = v2 - v1;
    const float e = h / H > w / W ? H / h : W / w;
    return {(W - w * e) / 2 - u1 * e, (H - h * e) / 2 - v1 * e, e};
}

void ScreenView::reserve(int nodeRows, int barRows) {
    if (nodes.empty()) nodes = Table<float>(0, NodeV);
    if (bars.empty()) bars = Table<float>(0, AxisZ + 1);
    if (nodeRows > nodes.maxRow()) nodes.resizeRows(std::max(nodeRows, 2 * nodes.maxRow()));
    if (barRows > bars.maxRow()) bars.resizeRows(std::max(barRows, 2 * bars.maxRow()));
}

void ScreenView::placeNode(const Structure& s, int n) {
    reserve(n, 0);
    const Table<float>& c = s.coordinates;
    view.axo3d2d(c(n, 1), c(n, 2), c(n, 3), nodes(n, NodeU), nodes(n, NodeV));
}

void ScreenView::placeBarMidpoint(const Structure& s, int b) {
    reserve(0, b);
    const int a = itemNumber(s.bars(b, Origin)), e = itemNumber(s.bars(b, End));
    if (a < 1 || a > s.nodeCount || e < 1 || e > s.nodeCount) return;
    const Table<float>& c = s.coordinates;
    view.axo3d2d((c(a, 1) + c(e, 1)) / 2, (c(a, 2) + c(e, 2)) / 2, (c(a, 3) + c(e, 3)) / 2,
                 bars(b, MidU), bars(b, MidV));
}

void ScreenView::Paso2D(Structure& s, float hm1p, float hm2p, float escp, float W, float H) {
    view.hm1 = hm1p, view.hm2 = hm2p, view.esc = escp;
    if (!view.fitted()) view.fit(s.coordinates, s.nodeCount, W, H, rule_.fit);
    reserve(s.nodeCount + SpareRows, s.barCount + SpareRows);
    const Table<float>& c = s.coordinates;
    for (int n = 1; n <= s.nodeCount; ++n)
        view.axo3d2d(c(n, 1), c(n, 2), c(n, 3), nodes(n, NodeU), nodes(n, NodeV));
    float ou, ov;
    view.axo3d2d(0, 0, 0, ou, ov);
    auto direction = [&](float x, float y, float z, float* out) {
        float u, v;
        view.axo3d2d(x, y, z, u, v);
        out[0] = u - ou;
        out[1] = v - ov;
    };
    for (int b = 1; b <= s.barCount; ++b) {
        float* row = bars.row(b);
        std::fill(row + MidU, row + AxisZ + 2, 0.0f);
        int a = itemNumber(s.bars(b, Origin)), e = itemNumber(s.bars(b, End));
        // A bar naming a node that does not exist (typed into the panel) has
        // no place on the screen until it is corrected.
        if (a < 1 || a > s.nodeCount || e < 1 || e > s.nodeCount) continue;
        if (a > e) {
            std::swap(a, e);
            std::swap(s.bars(b, Origin), s.bars(b, End));
        }
        view.axo3d2d((c(a, 1) + c(e, 1)) / 2, (c(a, 2) + c(e, 2)) / 2, (c(a, 3) + c(e, 3)) / 2,
                     row[MidU], row[MidV]);
        const float dx = c(e, 1) - c(a, 1), dy = c(e, 2) - c(a, 2), dz = c(e, 3) - c(a, 3);
        // A bar of zero length has no axes to show.
        if (dx == 0 && dy == 0 && dz == 0) continue;
        const auto t = axesFor(dx, dy, dz, s.bars(b, Angle));
        for (int k = 0; k < 3; ++k)
            direction(float(t[k][0]), float(t[k][1]), float(t[k][2]), row + AxisX + 2 * k);
    }
    direction(1, 0, 0, axes[0].data());
    direction(0, 1, 0, axes[1].data());
    direction(0, 0, 1, axes[2].data());
}

void DibujaEjes(Surface& ejes, const View& view, std::optional<Colour> lineColour) {
    const double W = ejes.scaleWidth(), H = ejes.scaleHeight();
    ejes.clear();
    const float points[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    float u[4], v[4];
    for (int i = 0; i < 4; ++i)
        view.axo3d2dj(0, 0, 1, points[i][0], points[i][1], points[i][2], u[i], v[i]);
    const float umin = *std::min_element(u, u + 4), umax = *std::max_element(u, u + 4);
    const float vmin = *std::min_element(v, v + 4), vmax = *std::max_element(v, v + 4);
    const double du = umax - umin, dv = vmax - vmin;
    if (!(du > 0 || dv > 0) || !(W > 0 && H > 0)) return;
    const double k = dv / H > du / W ? 0.7 * H / dv : 0.7 * W / du;
    const double o1 = (W - k * du) / 2 - k * umin, o2 = (H - k * dv) / 2 - k * vmin;
    for (int i = 0; i < 4; ++i) {
        view.axo3d2dj(float(o1), float(o2), float(k), points[i][0], points[i][1], points[i][2],
                      u[i], v[i]);
        u[i] = std::round(u[i]), v[i] = std::round(v[i]);
    }
    const char* labels[3] = {"x", "y", "z"};
    for (int i = 1; i <= 3; ++i) {
        if (lineColour) ejes.setForeground(*lineColour);
        ejes.line(u[0], v[0], u[i], v[i]);
        ejes.text(u[i] + 36, v[i] - 36, labels[i - 1]);
    }
}

}  // namespace vanto::editor
