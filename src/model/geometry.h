#pragma once
// A bar's local axes: the one rule the calculation, the drawings, the preview
// and the viewer share.
//
// Local x runs along the direction (from the lower-numbered node to the
// higher-numbered one, for a bar). For a direction that is not vertical
// (|cz| < 0.999999) z0 is horizontal and y0 points upwards in the vertical
// plane of the direction; for a vertical one z0 is global X and
// y0 = (0, −sign(cz), 0). The section angle turns y0 and z0 about x.

#include <array>

namespace vanto {

using Vec3 = std::array<double, 3>;

// The axis triad (rows x, y, z in global components) of a direction and a
// section angle in degrees.
std::array<Vec3, 3> axesFor(double dx, double dy, double dz, double angleDegrees);

}  // namespace vanto
