#pragma once
// The largest and smallest value of each diagram kind over a calculated
// structure, where they occur, and the diagram scale that makes the drawn
// diagrams readable.
//
// Abscissae x are metres from the bar's lower-numbered node i, as in
// diagram_data.h. Internal forces vary along a bar at most quadratically
// (uniform loads), so their extremes lie at an end or where the derivative
// vanishes, and are found exactly. The deformed shape ("D") is measured as
// the length of the displacement of its eleven drawn points, in metres.

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "diagrams/diagram_data.h"

namespace vanto::diagrams {

struct Extreme {
    double value = 0;  // t or m·t; for "D" a displacement, m
    int bar = 0;       // 0 when the structure has no bars
    double x = 0;      // m from node i
};

struct KindExtremes {
    // For "D" both hold the largest displacement.
    Extreme max, min;
    double largest() const { return std::max(std::abs(max.value), std::abs(min.value)); }
};

KindExtremes diagramExtremes(const DiagramData& data, char code);

// The share of the longest bar that the largest ordinate of fitted diagrams
// takes on the drawing.
inline constexpr double FittedShare = 0.25;

// The drawn ordinate, per unit of DiagramScale, of a kind's largest value:
// the value itself, or 100 times a displacement (the shape is drawn in cm).
double ordinatePerScale(char code, const KindExtremes& extremes);

// The DiagramScale at which the largest ordinate is FittedShare of the
// longest bar: `largestOrdinate` is the greatest ordinatePerScale of the
// diagrams shown. 1 when there is nothing to fit (all values zero, no bars).
double fittedDiagramScale(double maxBarLength, double largestOrdinate);
// The same for the kinds `codes` (from "XYZTFMD") of `data`.
double fittedDiagramScale(const DiagramData& data, std::string_view codes);

// A value written on a bar ("Valores" and the bar detail): where along the
// bar, what, and on which outline of an envelope it lies.
struct BarValue {
    double x;      // m from node i
    double value;  // t, m·t; for "D" the displacement, m
    Bound bound = Bound::Upper;
};
// The values written on bar `b` for kind `code`: its largest and smallest
// (for an envelope, the largest of the upper outline and the smallest of the
// lower one) and, for the moments "F" and "M", the value at each end; a
// constant diagram once, at mid-length; values below `negligible` in size
// are left out. For "D", the largest displacement of the drawn points.
std::vector<BarValue> barLabelValues(const DiagramData& data, int b, char code,
                                     double negligible = 0.005);

}  // namespace vanto::diagrams
