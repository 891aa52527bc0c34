#include "editor/angle_picture.h"

#include <algorithm>
#include <cmath>

namespace vanto::editor {

void drawAnglePicture(Surface& out, float angleDegrees) {
    const double W = out.scaleWidth(), H = out.scaleHeight();
    const double cu = W / 2, cv = H / 2 + H * 0.04, r = std::min(W, H) * 0.36;
    const double b = angleDegrees / 180.0 * 3.141593, c = std::cos(b), s = std::sin(b);
    // Screen images of the unturned (y0 up, z0 right) and turned local axes.
    const double y0[2] = {0, -1}, z0[2] = {1, 0};
    const double y[2] = {c * y0[0] + s * z0[0], c * y0[1] + s * z0[1]};
    const double z[2] = {c * z0[0] - s * y0[0], c * z0[1] - s * y0[1]};
    auto at = [&](double py, double pz, double& u, double& v) {
        u = cu + r * (py * y[0] + pz * z[0]);
        v = cv + r * (py * y[1] + pz * z[1]);
    };
    out.setBackground(rgb(255, 255, 255));
    out.clear();
    out.setFont({"Arial", 9, true});
    // Unturned axes, dashed grey.
    out.setForeground(palette16(8));
    out.setLineStyle(LineStyle::Dash);
    out.line(cu, cv, cu + 1.15 * r * y0[0], cv + 1.15 * r * y0[1]);
    out.line(cu, cv, cu + 1.15 * r * z0[0], cv + 1.15 * r * z0[1]);
    out.setLineStyle(LineStyle::Solid);
    out.text(cu + 1.15 * r * y0[0] - 60, cv + 1.15 * r * y0[1] - out.textHeight("y") - 20, "y0");
    out.text(cu + 1.15 * r * z0[0] - out.textWidth("z0"), cv + 40, "z0");
    // The section, an I with its web along local y.
    const double pts[][2] = {{0.5, -0.32},   {0.5, 0.32},    {0.42, 0.32},  {0.42, 0.04},
                             {-0.42, 0.04},  {-0.42, 0.32},  {-0.5, 0.32},  {-0.5, -0.32},
                             {-0.42, -0.32}, {-0.42, -0.04}, {0.42, -0.04}, {0.42, -0.32}};
    out.setForeground(palette16(1));
    out.setLineWidth(2);
    double u, v;
    at(pts[11][0], pts[11][1], u, v);
    out.moveTo(u, v);
    for (const auto& p : pts) {
        at(p[0], p[1], u, v);
        out.lineTo(u, v);
    }
    out.setLineWidth(1);
    // Turned axes with their labels.
    out.setForeground(palette16(12));
    out.line(cu, cv, cu + 1.15 * r * y[0], cv + 1.15 * r * y[1]);
    out.text(cu + 1.2 * r * y[0] + 40, cv + 1.2 * r * y[1] - 100, "y");
    out.setForeground(palette16(2));
    out.line(cu, cv, cu + 1.15 * r * z[0], cv + 1.15 * r * z[1]);
    out.text(cu + 1.2 * r * z[0], cv + 1.2 * r * z[1] + 20, "z");
    // The bar axis comes out of the picture.
    out.setForeground(0);
    out.circle(cu, cv, r * 0.07, rgb(255, 255, 255));
    out.circle(cu, cv, r * 0.02, 0);
    out.text(cu - r * 0.3, cv + r * 0.08, "x");
    // The angle, from y0 towards z0.
    out.setForeground(palette16(5));
    const double ra = r * 0.75;
    out.moveTo(cu, cv - ra);
    for (int i = 1; i <= 16; ++i) {
        const double t = b * i / 16;
        out.lineTo(cu + ra * std::sin(t), cv - ra * std::cos(t));
    }
    out.text(cu + ra * std::sin(b / 2) + 40, cv - ra * std::cos(b / 2) - 160, "\xCE\xB2");  // β
    out.setForeground(0);
    out.setFont({"Arial", 8, false});
    out.text(80, H - out.textHeight("Á") - 60, "\xC3\x81ngulo \xCE\xB2: giro de y, z sobre x");
}

}  // namespace vanto::editor
