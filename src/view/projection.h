#pragma once
// The parallel projection of a structure onto a drawing surface: the eight
// fixed views, the previews' turning triad and the fit that scales and
// centres a structure on a surface.
//
// Units: model points in metres; the surface in its own units (twips in the
// editor) with the origin at the top left and v growing downwards. A view
// gives each point, before scaling, a screen right and a screen up as linear
// functions of x, y, z; then
//     u = hm1 + esc · right,   v = hm2 − esc · up.
// Arithmetic is in 32-bit floats, as the editor has always drawn.

#include <array>

#include "model/arrays.h"
#include "model/geometry.h"

namespace vanto::view {

// A point on a surface, in its units.
struct ScreenPoint {
    float u = 0, v = 0;
    bool operator==(const ScreenPoint&) const = default;
};

struct ViewRows {
    std::array<float, 3> right{};
    std::array<float, 3> up{};
    bool operator==(const ViewRows&) const = default;
};

// A fixed view by its table coefficients: right = uy·y − ux·x,
// up = vz·z − vx·x − vy·y.
struct FixedView {
    const char* caption;
    float vx, vy, vz, uy, ux;

    constexpr ViewRows rows() const { return {{-ux, uy, 0}, {-vx, -vy, vz}}; }
};

inline constexpr std::array<FixedView, 8> FixedViews{{
    {"DIN-5", 0.395f, 0.124f, 0.55f, 0.496f, 0.225f},
    {"Caballera", 0.5f, 0, 1, 1, 0.5f},
    {"Planta", 0, -1, 0, 0, -1},
    {"Alzado yz", 0, 0, 1, 1, 0},
    {"Alzado xz", 0, 0, 1, 0, -1},
    {"Isometría", 0.5f, 0.5f, 1, 0.866f, 0.866f},
    {"Militar", 0.866f, 0.5f, 0.5f, 0.866f, 0.5f},
    {"Otra", 0.7f, 0.22f, 0.75f, 1, 0.3f},
}};
inline constexpr int Din5View = 0;
inline constexpr int PlantaView = 2;
// The view the editor and the diagram window open in.
inline constexpr int InitialView = 7;

// Seen through an axis triad (model/geometry.h): the second axis is screen
// right, the third screen up; the first, towards the eye, is left out.
ViewRows triadRows(const std::array<Vec3, 3>& triad);

// How a fit fills the surface.
struct FitRule {
    // Share of the limiting dimension the structure fills.
    double margin;
    // Stands for an extent of exactly 0 so that the scale stays finite; 0
    // keeps the extent as it is.
    float zeroExtent;
    // Centre the nodes' own box rather than the box as widened to zeroExtent.
    bool centreNodes;
};
inline constexpr FitRule EditorFit{0.9, 0.7f, false};
inline constexpr FitRule DiagramFit{0.75, 0, false};
inline constexpr FitRule PreviewFit{0.9, 0.1f, true};

class View {
  public:
    View() = default;
    explicit View(const ViewRows& rows) : rows(rows) {}
    explicit View(const FixedView& fixed) : rows(fixed.rows()) {}

    // An origin of exactly (0, 0) means the view is still to be fitted.
    bool fitted() const { return hm1 != 0 || hm2 != 0; }
    // Origin and scale all finite and within what a surface can take.
    bool usable() const;

    // The point (X, Y, Z) on the surface: a across, b down.
    void axo3d2d(float X, float Y, float Z, float& a, float& b) const {
        axo3d2dj(hm1, hm2, esc, X, Y, Z, a, b);
    }
    ScreenPoint at(float X, float Y, float Z) const {
        ScreenPoint p;
        axo3d2d(X, Y, Z, p.u, p.v);
        return p;
    }
    // The same with another origin and scale.
    void axo3d2dj(float hm1j, float hm2j, float escj, float X, float Y, float Z, float& a,
                  float& b) const;

    // Scales and centres nodes 1..nodeCount of `xyz` (node, axis) on a
    // surface W wide and H high. Without nodes the model origin stands in.
    // Under a rule that keeps zero extents, a structure seen as a single
    // point is shown centred at the scale of a 0.7 m extent.
    void fit(const Table<float>& xyz, int nodeCount, float W, float H, const FitRule& rule);

    // A surface point back to unscaled projection coordinates, (right, −up):
    // what axo3d2dj(0, 0, 1, …) gives for the points seen there.
    std::array<float, 2> unscaled(float u, float v) const {
        return {(u - hm1) / esc, (v - hm2) / esc};
    }

    ViewRows rows;
    float hm1 = 0, hm2 = 0, esc = 1;
};

}  // namespace vanto::view
