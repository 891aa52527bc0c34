#include "model/geometry.h"

#include <cmath>

namespace vanto {

std::array<Vec3, 3> axesFor(double dx, double dy, double dz, double angleDegrees) {
    const double L = std::sqrt(dx * dx + dy * dy + dz * dz);
    const Vec3 x{dx / L, dy / L, dz / L};
    Vec3 y0, z0;
    if (std::abs(x[2]) < 0.999999) {
        const double Lh = std::sqrt(dx * dx + dy * dy);
        z0 = {dy / Lh, -dx / Lh, 0.0};
        y0 = {-x[2] * dx / Lh, -x[2] * dy / Lh, Lh / L};
    } else {
        const double s = x[2] > 0 ? 1.0 : -1.0;
        z0 = {1.0, 0.0, 0.0};
        y0 = {0.0, -s, 0.0};
    }
    // The program has always turned sections with this value of pi; files and
    // drawings agree with it.
    const double ang = angleDegrees / 180.0 * 3.141593;
    if (ang == 0) return {x, y0, z0};
    const double c = std::cos(ang), s = std::sin(ang);
    Vec3 y, z;
    for (int k = 0; k < 3; ++k) {
        y[k] = y0[k] * c + z0[k] * s;
        z[k] = z0[k] * c - y0[k] * s;
    }
    return {x, y, z};
}

}  // namespace vanto
