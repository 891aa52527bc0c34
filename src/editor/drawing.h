#pragma once
// The editor's drawing: the structure on the kept picture `Dib` (bars, then
// node symbols and marks in node mode, or bar marks, local axes, loads and
// end fixities in bar mode), node and bar numbers over it, and the transient
// marks of what is picked, drawn on the overlay above the picture.
//
// Drawing units are those of the surface (twips in the editor): marks are 12
// either side. Colours are Palette16 entries unless given as RGB.

#include "editor/selection.h"
#include "model/structure_data.h"
#include "model/surface.h"
#include "view/screen_view.h"
#include "view/symbols.h"

namespace vanto::editor {

// The size labels and printed marks are measured in, twips.
inline constexpr float MarkSize = 12;
// Half the side of a node's or bar's mark on the screen: three pixels, big
// enough to see and aim at (the pick tolerance is 65). The picked node's
// circle is twice as wide, so that it shows round the mark.
inline constexpr float ScreenMarkSize = 45;
inline constexpr Colour Highlight = rgb(255, 255, 0);
inline constexpr Colour SelectionColour = rgb(200, 200, 0);
inline constexpr Colour MarkOutline = rgb(0, 0, 255);

struct DrawOptions {
    Mode mode = Mode::Nodes;
    int HScal = 30;          // detail scale 0..100: symbols HScal / 50 m long
    bool localAxes = false;  // VerEjeLoc, bar mode only
    Colour background = 0;
    float gridStep = 0.5f;  // m; its dots show in the plane views (0: none)
};

inline float detailLength(int HScal) {
    return float(HScal) / 50;
}

// DibujaEstr without the marks: clears `dib` and draws the grid of the plane
// views and the structure as the screen view places it. `tags` hears which node or bar each mark or
// line is.
void DibujaEstr(Surface& dib, const Structure& s, const view::ScreenView& screen,
                const DrawOptions& o, view::ItemTags* tags = nullptr);

// Bar b's line in `colour`, when both its nodes exist.
void drawBarLine(Surface& out, const Structure& s, const view::ScreenView& screen, int b,
                 Colour colour, view::ItemTags* tags = nullptr);
// A node's or a bar's mark: a filled square ±12 in Palette16 11 or 10.
void drawItemMark(Surface& out, view::ScreenPoint at, int paletteIndex);

// The numbers of every node, or of every bar at its midpoint, over the picture.
void numberNodes(Surface& dib, const Structure& s, const view::ScreenView& screen);
void numberBars(Surface& dib, const Structure& s, const view::ScreenView& screen);

// The marks of what is picked: in node mode a circle on the current node, or
// on every selected one (DibujaSelec); in bar mode the current bar, or every
// selected one, in the highlight colour. The caller clears the overlay.
void drawMarks(Surface& overlay, const Structure& s, const view::ScreenView& screen,
               const Selection& picked);

}  // namespace vanto::editor
