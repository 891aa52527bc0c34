#pragma once
// The flat detail of one bar (the diagram window's small view and its
// printing), and the number labels of the large view.
//
// The detail is drawn in metres: the bar axis runs horizontally from x = 0.8
// to 0.8 + L; values are drawn S per unit, positive below the axis except the
// local-y deflection. Every coordinate handed to the surface is multiplied by
// the output scale c (1 on the screen; printing passes page fraction × fit).

#include <span>
#include <string>

#include "diagrams/diagram_data.h"
#include "model/surface.h"
#include "view/projection.h"

namespace vanto::diagrams {

// The detail's background and the colours of its two deflection curves.
inline constexpr Colour DetailBackground = rgb(162, 162, 162);
inline constexpr Colour DeflectionYColour = rgb(255, 192, 128);  // "Deform. Y-"
inline constexpr Colour DeflectionZColour = rgb(255, 0, 255);    // "Deform. Z"

struct DetailOptions {
    std::string codes;        // the ticked kinds, from "XYZTFMD"
    double S = 1;             // DiagramScale
    bool printer = false;     // the printer: no clearing, no boxes, black rulers
    double pageFraction = 1;  // HPrn / 100, used on the printer only
};

// DibujaBarra2D: the detail of bar `bar` (1..barCount) on `surface`. On the
// screen the surface is cleared and given a scale of (MaxBarLength + 1.6) m
// across with the same scale down.
void DibujaBarra2D(const DiagramData& data, int bar, Surface& surface, double c,
                   const DetailOptions& options);

// Print2D: the detail of `bar` as `detail` shows it, on `page` at `percent`
// of it. The caller ends the document.
void printBarDetail(Surface& page, const DiagramData& data, int bar, const Surface& detail,
                    const DetailOptions& options, int percent);

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
