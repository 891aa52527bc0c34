#pragma once
// The flat detail of one bar (the diagram window's small view and its
// printing), and the number labels of the large view.
//
// The detail is drawn in metres of the bar: its axis runs across the
// picture, and each ticked diagram is scaled on its own so that it fills the
// height, positive values below the axis except the local-y deflection. The
// numbers (extremes, and ends of the moments) carry their units, so no value
// ruler is needed; a metre ruler runs along the foot.

#include <span>
#include <string>

#include "diagrams/diagram_data.h"
#include "model/surface.h"
#include "view/projection.h"

namespace vanto::diagrams {

// The detail's background and the colours of its two deflection curves.
inline constexpr Colour DetailBackground = rgb(40, 40, 40);
inline constexpr Colour DeflectionYColour = rgb(255, 192, 128);  // "Deform. Y-"
inline constexpr Colour DeflectionZColour = rgb(255, 0, 255);    // "Deform. Z"

struct DetailOptions {
    std::string codes;     // the ticked kinds, from "XYZTFMD"
    bool printer = false;  // paper: no clearing, no boxes, black rulers
};

// The unit of a kind's values as written: "t", "m·t" or "cm".
const char* unitOf(char code);

// A box on a surface, in its units.
struct DetailArea {
    double left, top, width, height;
};

// DibujaBarra2D: the detail of bar `bar` (1..barCount) filling `surface`,
// cleared first and scaled in metres.
void DibujaBarra2D(const DiagramData& data, int bar, Surface& surface,
                   const DetailOptions& options);
// The same on paper (or any surface) inside `area`, nothing cleared.
void drawBarDetail(const DiagramData& data, int bar, Surface& surface, const DetailArea& area,
                   const DetailOptions& options);

// The detail after a press that hit no bar: cleared, its middle band covered
// by a plain grey box.
void emptyDetail(const DiagramData& data, Surface& surface);

// NumeraBarras and NumeraNudos: the number of every item at its position on
// the surface (index 0 unused), with the mark size z. Bars get green labels on
// dark green boxes, nodes cyan ones on dark blue; on the printer the labels
// have outlined boxes and a font sized by c.
enum class Numbered { Bars, Nodes };
void numberLabels(Surface& surface, std::span<const view::ScreenPoint> positions, Numbered what,
                  double z, double c, bool printer);

}  // namespace vanto::diagrams
