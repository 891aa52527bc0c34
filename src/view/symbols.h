#pragma once
// The symbols the editor and the diagram window draw over a structure: node
// load arrows and restraint marks, a bar's local axes and distributed-load
// bands, and the colour of a bar by its type.
//
// Symbols are sized by the detail length s (metres, HScal / 50) times the
// screen directions of the screen view, which carry its scale; `factor`
// scales them further (the page factor on paper). Colours are Palette16
// entries unless `ink` gives one colour for all (black on paper).

#include <array>
#include <optional>

#include "model/helpers.h"
#include "model/surface.h"
#include "view/screen_view.h"

namespace vanto::view {

// ColBarra: Palette16((type mod 6) + 1), so type 7 looks like type 1.
Colour ColBarra(float type);

struct SymbolOptions {
    float factor = 1;
    std::optional<Colour> ink;
    bool loads = true;
    bool restraints = true;
};

// Node load arrows and restraint marks at `at`; loads and restraints are the
// node's rows (components 1..6), `axes` the global axis directions.
void drawNodeSymbols(Surface& out, ScreenPoint at, const std::array<ScreenPoint, 3>& axes, float s,
                     const float* loads, const float* restraints, const SymbolOptions& o);
// A bar's three local axes from its midpoint.
void drawLocalAxes(Surface& out, ScreenPoint mid, const BarAxes& axes, float s,
                   const SymbolOptions& o);
// A bar's distributed-load bands between its ends i and j (BarEnds), with
// `bar` its record. The hatching shows what a pixel of a 96-dpi screen can:
// its lines are at least two pixels apart, and a band less than a pixel deep
// has none.
void drawBarLoads(Surface& out, ScreenPoint i, ScreenPoint j, const BarAxes& axes,
                  ScreenPoint globalZ, float s, const float* bar, const SymbolOptions& o);

// Told which item the next figure draws, so that an SVG can label it.
class ItemTags {
  public:
    virtual ~ItemTags() = default;
    virtual void nextItem(const char* attribute, int number) = 0;
};

}  // namespace vanto::view
