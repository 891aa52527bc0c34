#pragma once
// The results as two DXF drawings in the structure directory:
//   Resul-3D.dxf  the structure in its own coordinates with node and bar
//                 numbers, node loads, restraints, bar loads, local axes, the
//                 six internal-force diagrams and the deformed shape;
//   Resul-2D.dxf  one sheet per bar, ten to a column, with its diagrams,
//                 deflections and a value ruler.
// Both start with the header file capas.dxf (layer table) from the program's
// directory; entities carry no colour of their own. Lines end in CR LF;
// coordinates use the pattern "0.0####", text positions and heights
// "0.0#####". Every diagram is written, at the scale S of diagram_data.h.

#include <filesystem>
#include <string>

#include "diagrams/diagram_data.h"
#include "model/platform.h"

namespace vanto::diagrams {

inline constexpr const char* LayersFileName = "capas.dxf";
inline constexpr const char* Dxf3DName = "Resul-3D.dxf";
inline constexpr const char* Dxf2DName = "Resul-2D.dxf";

// Layout of the 2D sheets, m: origin of the grid, sheet height, inner
// margin, width of the ruler column.
inline constexpr double SheetX0 = 0, SheetY0 = 50, SheetH = 5, SheetMargin = 0.1, RulerWidth = 0.4;

// The sheet width for the longest bar.
double sheetWidth(double maxBarLength);

// The frame of bar `bar`'s sheet (bars from 1, ten sheets per column from the
// top, then the next column to the right).
struct Sheet {
    double left, right, bottom, top;
};
Sheet sheetOf(int bar, double width);

// The step of a value ruler: 0.125 doubled, at least once, until
// span / (S·step) < limit. A scale that is not positive draws every value on
// the axis, so the first step is kept.
double rulerStep(double span, double S, double limit);

enum class DxfOutcome { Written, Stopped };

// Case 1 writes Resul-3D.dxf and Resul-2D.dxf; any other set the same names
// with "-" and its code: Resul-3D-H02.dxf, Resul-2D-envolvente.dxf.
std::string dxfSuffix(const ShownSet& shown);
std::string dxfName(const char* name, const std::string& suffix);

// Writes both files into `dir`. The header is read from `programDirectory`;
// without it a DiagramError names the file that is missing. Both drawings
// go to temporary files renamed over the old ones only when both are
// complete, so a failure or a stop leaves the earlier drawings as they were.
// Progress stage 1 counts the bars. Throws FileError (WriteFailed) when the
// directory refuses the files.
DxfOutcome writeResultsDxf(const DiagramData& data, const std::filesystem::path& dir,
                           const std::filesystem::path& programDirectory, double S,
                           Progress* progress = nullptr, const std::string& suffix = "");

}  // namespace vanto::diagrams
