#include "view/screen_view.h"

#include <algorithm>
#include <cmath>

namespace vanto::view {

std::optional<BarEnds> barEnds(const Structure& s, int b) {
    if (b < 1 || b > s.barCount) return std::nullopt;
    const int a = itemNumber(s.bars(b, Origin)), e = itemNumber(s.bars(b, End));
    if (a < 1 || a > s.nodeCount || e < 1 || e > s.nodeCount) return std::nullopt;
    return a < e ? BarEnds{a, e} : BarEnds{e, a};
}

ScreenView::ScreenView(const ScreenViewRule& rule) : rule_(rule) {
    Perspec(InitialView);
}

void ScreenView::Perspec(int index) {
    if (index < 0 || index >= int(FixedViews.size())) return;
    viewIndex_ = index;
    view_.rows = FixedViews[std::size_t(index)].rows();
    zoomnum(0);
}

void ScreenView::zoomnum(int mode, double a1, double a2, double esc0) {
    switch (mode) {
        case 1:
            if (depth_ >= HistoryDepth) return;
            saved_[std::size_t(++depth_)] = {view_.hm1, view_.hm2, view_.esc};
            view_.hm1 = float(a1), view_.hm2 = float(a2), view_.esc = float(esc0);
            return;
        case -1: {
            if (depth_ <= 0) return;
            const auto& t = saved_[std::size_t(depth_--)];
            view_.hm1 = t[0], view_.hm2 = t[1], view_.esc = t[2];
            return;
        }
        case 0:
            depth_ = 0;
            view_.hm1 = 0, view_.hm2 = 0, view_.esc = 1;
            return;
        default:
            return;
    }
}

const BarAxes& ScreenView::barAxes(int b) const {
    static const BarAxes none{};
    return b >= 1 && b < int(barAxes_.size()) ? barAxes_[std::size_t(b)] : none;
}

ScreenPoint ScreenView::direction(float x, float y, float z) const {
    const ScreenPoint p = view_.at(x, y, z);
    return {p.u - origin_.u, p.v - origin_.v};
}

void ScreenView::placeNode(const Structure& s, int n) {
    if (n < 1 || n > s.nodeCount) return;
    if (n >= int(nodes_.size())) nodes_.resize(std::size_t(n) + 1);
    const Table<float>& c = s.coordinates;
    nodes_[std::size_t(n)] = view_.at(c(n, 1), c(n, 2), c(n, 3));
}

void ScreenView::placeBar(const Structure& s, int b) {
    if (b < 1 || b > s.barCount) return;
    if (b >= int(midpoints_.size())) {
        midpoints_.resize(std::size_t(b) + 1);
        barAxes_.resize(std::size_t(b) + 1);
    }
    computeBar(s, b);
}

void ScreenView::dropBar(int b) {
    if (b < 1 || b >= int(midpoints_.size())) return;
    midpoints_.erase(midpoints_.begin() + b);
    barAxes_.erase(barAxes_.begin() + b);
}

void ScreenView::computeBar(const Structure& s, int b) {
    ScreenPoint& mid = midpoints_[std::size_t(b)];
    BarAxes& axes = barAxes_[std::size_t(b)];
    mid = {}, axes = {};
    // A bar naming a node that does not exist (typed into the panel) has no
    // place on the screen until it is corrected.
    const auto ends = barEnds(s, b);
    if (!ends) return;
    const Table<float>& c = s.coordinates;
    const int i = ends->i, j = ends->j;
    mid = view_.at((c(i, 1) + c(j, 1)) / 2, (c(i, 2) + c(j, 2)) / 2, (c(i, 3) + c(j, 3)) / 2);
    const float dx = c(j, 1) - c(i, 1), dy = c(j, 2) - c(i, 2), dz = c(j, 3) - c(i, 3);
    // A bar of zero length has no axes to show.
    if (dx == 0 && dy == 0 && dz == 0) return;
    const auto t = axesFor(dx, dy, dz, s.bars(b, Angle));
    for (std::size_t k = 0; k < 3; ++k)
        axes[k] = direction(float(t[k][0]), float(t[k][1]), float(t[k][2]));
}

void ScreenView::Paso2D(const Structure& s, float hm1p, float hm2p, float escp, float W, float H) {
    view_.hm1 = hm1p, view_.hm2 = hm2p, view_.esc = escp;
    if (!view_.fitted()) view_.fit(s.coordinates, s.nodeCount, W, H, rule_.fit);
    nodes_.assign(std::size_t(std::max(s.nodeCount, 0)) + 1, {});
    midpoints_.assign(std::size_t(std::max(s.barCount, 0)) + 1, {});
    barAxes_.assign(midpoints_.size(), {});
    for (int n = 1; n <= s.nodeCount; ++n)
        placeNode(s, n);
    origin_ = view_.at(0, 0, 0);
    for (int b = 1; b <= s.barCount; ++b)
        computeBar(s, b);
    globalAxes_ = {direction(1, 0, 0), direction(0, 1, 0), direction(0, 0, 1)};
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

}  // namespace vanto::view
