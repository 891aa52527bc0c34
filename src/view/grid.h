#pragma once
// The plane views ("Planta", "Alzado xz", "Alzado yz"): the model plane they
// show, the model point under a surface point, and the grid of points new
// nodes snap to, drawn as faint dots.

#include <array>
#include <optional>

#include "model/surface.h"
#include "view/projection.h"

namespace vanto::view {

// Which model axis (0 x, 1 y, 2 z) runs to the right and which up, each with
// its sense (+1 or −1).
struct ViewPlane {
    int right, up;
    float rightSense, upSense;
};
// The plane of a view whose screen right and up are both model axes; nullopt
// for the oblique views.
std::optional<ViewPlane> viewPlane(const View& view);

// The model point seen at (u, v) of a plane view; its third coordinate, along
// the line of sight, is `depth`'s.
std::array<float, 3> pointUnder(const View& view, const ViewPlane& plane, float u, float v,
                                const std::array<float, 3>& depth);

// `value` to the nearest multiple of `step`; unchanged when step ≤ 0.
float snapped(float value, float step);

// Grid dots closer than this on the surface (twips, 8 pixels) are not drawn.
inline constexpr float MinimumGridSpacing = 120;
inline constexpr Colour GridColour = rgb(80, 80, 80);

// The points of a grid of `step` metres in the plane of `view` that fall on
// the W × H surface, as dots; nothing in an oblique view, for a step ≤ 0, or
// when the dots would come closer than MinimumGridSpacing.
void drawGrid(Surface& s, const View& view, float step, float W, float H);

}  // namespace vanto::view
