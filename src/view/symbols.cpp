#include "view/symbols.h"

#include <cmath>

namespace vanto::view {

namespace {

ScreenPoint operator+(ScreenPoint a, ScreenPoint b) {
    return {a.u + b.u, a.v + b.v};
}
ScreenPoint operator-(ScreenPoint a, ScreenPoint b) {
    return {a.u - b.u, a.v - b.v};
}
ScreenPoint operator*(ScreenPoint a, float k) {
    return {a.u * k, a.v * k};
}
float norm2(ScreenPoint a) {
    return a.u * a.u + a.v * a.v;
}

float sign(float v) {
    return v > 0 ? 1.0f : v < 0 ? -1.0f : 0.0f;
}

void line(Surface& out, ScreenPoint a, ScreenPoint b) {
    out.line(a.u, a.v, b.u, b.v);
}
void lineTo(Surface& out, ScreenPoint b) {
    out.lineTo(b.u, b.v);
}

// A 96-dpi screen pixel in twips, the unit of what a picture can show.
constexpr double PixelTwips = 15;

float pixelIn(const Surface& out) {
    return float(std::abs(PixelTwips * out.scaleWidth() / out.widthTwips()));
}

// Moment arrow (M ≠ 0) and rotation restraint about axis d; e is the next axis.
void drawRotation(Surface& out, ScreenPoint P, ScreenPoint d, ScreenPoint e, float s, float M,
                  float restraint, const SymbolOptions& o) {
    auto ink = [&](int index) { out.setForeground(o.ink ? *o.ink : palette16(index)); };
    if (M != 0 && o.loads) {
        ink(1);
        const float L = sign(M) * s * std::log(std::abs(M) + 1);
        const ScreenPoint T = P + d * (1.4f * L);
        line(out, P, T);
        line(out, T, P + (d + e * 0.25f) * L);
        line(out, T, P + (d - e * 0.25f) * L);
    }
    if (!isFree(restraint) && o.restraints) {
        ink(4);
        const float L = 0.9f * s;
        const ScreenPoint Q = P + d * L;
        line(out, P, Q);
        line(out, Q, Q + e * (0.25f * L));
        lineTo(out, Q - e * (0.25f * L));
    }
}

// Force arrow (F ≠ 0) and displacement restraint along axis d.
void drawTranslation(Surface& out, ScreenPoint P, ScreenPoint d, ScreenPoint e, float s, float F,
                     float restraint, const SymbolOptions& o) {
    auto ink = [&](int index) { out.setForeground(o.ink ? *o.ink : palette16(index)); };
    if (F != 0 && o.loads) {
        ink(9);
        const float L = sign(F) * s * std::log(std::abs(F) + 1);
        const ScreenPoint shaft = P + d * L;
        line(out, P, shaft);
        lineTo(out, P + (d + e * 0.3f) * L);
        lineTo(out, P + d * (1.3f * L));
        lineTo(out, P + (d - e * 0.3f) * L);
        lineTo(out, shaft);
    }
    if (!isFree(restraint) && o.restraints) {
        ink(12);
        const float L = 0.7f * s;
        line(out, P, P + (d + e * 0.3f) * L);
        lineTo(out, P + (d - e * 0.3f) * L);
        lineTo(out, P);
    }
}

}  // namespace

Colour ColBarra(float type) {
    const int t = itemNumber(type);
    return palette16(((t % 6) + 6) % 6 + 1);
}

void drawNodeSymbols(Surface& out, ScreenPoint P, const std::array<ScreenPoint, 3>& axes, float s,
                     const float* loads, const float* restraints, const SymbolOptions& o) {
    const ScreenPoint dir[3] = {axes[0] * o.factor, axes[1] * o.factor, axes[2] * o.factor};
    for (int k = 0; k < 3; ++k) {
        const ScreenPoint d = dir[k], e = dir[(k + 1) % 3];
        drawRotation(out, P, d, e, s, loads[k + 4], restraints[k + 4], o);
        drawTranslation(out, P, d, e, s, loads[k + 1], restraints[k + 1], o);
    }
}

void drawLocalAxes(Surface& out, ScreenPoint M, const BarAxes& axes, float s,
                   const SymbolOptions& o) {
    const float k = s * o.factor;
    out.setForeground(o.ink ? *o.ink : palette16(11));
    line(out, M, M + axes[0] * k);
    line(out, M, M + axes[1] * k);
    out.setForeground(o.ink ? *o.ink : palette16(13));
    line(out, M, M + axes[2] * k);
}

void drawBarLoads(Surface& out, ScreenPoint A, ScreenPoint B, const BarAxes& axes,
                  ScreenPoint globalZ, float s, const float* bar, const SymbolOptions& o) {
    const float f = o.factor;
    const ScreenPoint p = axes[0] * (f * s), Bv = B - A;
    const float q[3] = {bar[VerticalLoad], bar[TransverseLoadY], bar[TransverseLoadZ]};
    const ScreenPoint dirs[3] = {globalZ * f, axes[1] * f, axes[2] * f};
    const float pp = norm2(p), bb = norm2(Bv);
    const float pixel = pixelIn(out);
    // Every k-th hatch line of the band, k keeping them two pixels apart.
    const int every = pp > 0 ? std::max(1, int(std::ceil(2 * pixel / std::sqrt(pp)))) : 1;
    for (int c = 0; c < 3; ++c) {
        if (q[c] == 0) continue;
        const float L = -sign(q[c]) * s * std::log(std::abs(q[c]) + 1);
        const ScreenPoint D = dirs[c] * L;
        out.setForeground(o.ink ? *o.ink : palette16(5));
        line(out, A + D, B + D);
        line(out, A, A + D);
        line(out, B, B + D);
        // Without a detail length there is no hatch spacing, and a band
        // thinner than a pixel shows no hatching: the outline only.
        if (bb == 0 || pp == 0 || norm2(D) < pixel * pixel) continue;
        for (int k = 0; k <= 32767 && float(k) * float(k) * pp <= bb; k += every) {
            const ScreenPoint H = A + p * float(k);
            line(out, H, H + D);
        }
    }
}

}  // namespace vanto::view
