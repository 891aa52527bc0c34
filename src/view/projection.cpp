#include "view/projection.h"

#include <algorithm>
#include <cmath>

namespace vanto::view {

namespace {

// The extent a structure seen as one point is given, as the editor has always
// given each zero extent.
constexpr float PointExtent = 0.7f;
// Beyond this a surface coordinate is no coordinate any more.
constexpr float LargestOrigin = 1e15f;

}  // namespace

ViewRows triadRows(const std::array<Vec3, 3>& triad) {
    ViewRows r;
    for (int k = 0; k < 3; ++k) {
        r.right[k] = float(triad[1][k]);
        r.up[k] = float(triad[2][k]);
    }
    return r;
}

bool View::usable() const {
    return std::isfinite(esc) && std::isfinite(hm1) && std::isfinite(hm2) &&
           std::abs(hm1) < LargestOrigin && std::abs(hm2) < LargestOrigin;
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
    // Seen as a point, a rule that keeps zero extents has no finite scale:
    // the point goes to the centre at the scale of the editor's zero extent.
    const bool point = du == 0 && dv == 0 && rule.zeroExtent == 0;
    const float zero = point ? PointExtent : rule.zeroExtent;
    if (zero != 0) {
        if (du == 0) du = zero;
        if (dv == 0) dv = zero;
    }
    // The quotients are compared as 32-bit values.
    const float byHeight = float(double(dv) / H), byWidth = float(double(du) / W);
    esc = byHeight > byWidth ? float(rule.margin * H / dv) : float(rule.margin * W / du);
    const bool centreNodes = rule.centreNodes || point;
    const float cu = centreNodes ? boxU : du, cv = centreNodes ? boxV : dv;
    hm1 = (W - esc * cu) / 2 - esc * umin;
    hm2 = (H - esc * cv) / 2 - esc * vmin;
}

}  // namespace vanto::view
