#include "view/zoom_window.h"

#include <algorithm>

namespace vanto::view {

namespace {
// The pick tolerance, which also sets what a small window is.
constexpr float Tolerance = 65;
}  // namespace

std::array<float, 3> zoomWindow(const View& view, float x1, float y1, float x2, float y2, float W,
                                float H, SmallWindows small) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    // A click without dragging would divide by zero.
    const bool widen = small == SmallWindows::Widen || x2 == x1 || y2 == y1;
    if (widen && x2 - x1 < Tolerance) x1 = x2 - 20 * Tolerance, x2 = x2 + 20 * Tolerance;
    if (widen && y2 - y1 < Tolerance) y1 = y2 - 20 * Tolerance, y2 = y2 + 20 * Tolerance;
    const auto [u1, v1] = view.unscaled(x1, y1);
    const auto [u2, v2] = view.unscaled(x2, y2);
    const float w = u2 - u1, h = v2 - v1;
    const float e = h / H > w / W ? H / h : W / w;
    return {(W - w * e) / 2 - u1 * e, (H - h * e) / 2 - v1 * e, e};
}

void zoomInto(ScreenView& screen, const std::array<float, 3>& window) {
    screen.zoomnum(1, window[0], window[1], window[2]);
    while (!screen.view().usable() && screen.depth() > 0)
        screen.zoomnum(-1);
}

std::array<float, 3> ZoomWindowTool::release(float x, float y, const View& view, float W, float H) {
    const ScreenPoint p = drag_.from();
    setActive(false);
    return zoomWindow(view, p.u, p.v, x, y, W, H, small_);
}

void drawBand(Surface& overlay, const Drag& drag, Colour colour) {
    if (!drag.to()) return;
    overlay.setPenMode(PenMode::Copy);
    overlay.setLineStyle(LineStyle::Solid);
    overlay.setForeground(colour);
    overlay.rectangle(drag.from().u, drag.from().v, drag.to()->u, drag.to()->v);
}

}  // namespace vanto::view
