#pragma once
// A view on a surface with its zoom history and the screen tables that every
// drawing and pick reads, shared by the editor, the diagram window and
// vanto-cli draw. It reads the structure and never writes it.
//
// Using it:
//   ScreenView sv(EditorScreen);        // view 7, not yet fitted
//   sv.Perspec(i);                      // one of FixedViews; resets the history
//   sv.Paso2D(structure, W, H);         // fits when unfitted, fills the tables
//   sv.node(n), sv.midpoint(b), sv.barAxes(b)   // draw and pick
//   sv.zoomnum(1, a1, a2, e) / sv.zoomnum(-1) / sv.zoomnum(0), then Paso2D
//   DibujaEjes(ejes, sv.view(), sv.rule().axesColour) draws the axes indicator.

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "model/helpers.h"
#include "model/structure_data.h"
#include "model/surface.h"
#include "view/projection.h"

namespace vanto::view {

// What differs between the editor's screen view and the diagram window's.
struct ScreenViewRule {
    FitRule fit;
    // Line colour of the axes indicator; none keeps the surface's foreground.
    std::optional<Colour> axesColour;
};
inline const ScreenViewRule EditorScreen{EditorFit, rgb(255, 255, 0)};  // Palette16 14
inline const ScreenViewRule DiagramScreen{DiagramFit, std::nullopt};

// A bar's nodes in the order the calculation takes them: i the
// lower-numbered, j the other. Local x runs from i to j.
struct BarEnds {
    int i, j;
};
// Bar b's ends, when both name nodes of `s`.
std::optional<BarEnds> barEnds(const Structure& s, int b);

// Screen directions of a bar's local axes x, y, z: each the image of the unit
// vector minus the image of the model origin, so scaled by esc.
using BarAxes = std::array<ScreenPoint, 3>;

class ScreenView {
  public:
    static constexpr int HistoryDepth = 30;

    explicit ScreenView(const ScreenViewRule& rule = EditorScreen);

    const ScreenViewRule& rule() const { return rule_; }
    const View& view() const { return view_; }
    int viewIndex() const { return viewIndex_; }
    int depth() const { return depth_; }

    // Takes the coefficients of fixed view `index` (0..7) and resets the
    // history, so that the next Paso2D fits the structure.
    void Perspec(int index);

    // History: 1 saves the view and takes (a1, a2, esc0) unless 30 are saved;
    // -1 ("Previo") goes back one; 0 resets to an unfitted view. Other modes
    // change nothing.
    void zoomnum(int mode, double a1 = 0, double a2 = 0, double esc0 = 0);

    // Takes (hm1p, hm2p, escp) as the view, fits `s` to the W × H surface if
    // the origin is (0, 0), and rebuilds the screen tables.
    void Paso2D(const Structure& s, float hm1p, float hm2p, float escp, float W, float H);
    // The same for the view as it is.
    void Paso2D(const Structure& s, float W, float H) {
        Paso2D(s, view_.hm1, view_.hm2, view_.esc, W, H);
    }

    // One node or bar added, or bar b removed, between two recomputations.
    void placeNode(const Structure& s, int n);
    void placeBar(const Structure& s, int b);
    void dropBar(int b);

    // Screen position of node n, of bar b's midpoint; (0, 0) for an item the
    // tables do not hold, or a bar whose nodes do not exist.
    ScreenPoint node(int n) const { return at(nodes_, n); }
    ScreenPoint midpoint(int b) const { return at(midpoints_, b); }
    const BarAxes& barAxes(int b) const;
    // The tables themselves, index 0 unused, for picking.
    std::span<const ScreenPoint> nodes() const { return nodes_; }
    std::span<const ScreenPoint> midpoints() const { return midpoints_; }
    // GlobalAxisDirections: the screen directions of global X, Y and Z.
    const std::array<ScreenPoint, 3>& globalAxes() const { return globalAxes_; }

  private:
    static ScreenPoint at(const std::vector<ScreenPoint>& t, int i) {
        return i >= 1 && i < int(t.size()) ? t[std::size_t(i)] : ScreenPoint{};
    }
    ScreenPoint direction(float x, float y, float z) const;
    void computeBar(const Structure& s, int b);

    ScreenViewRule rule_;
    View view_;
    int viewIndex_ = InitialView;
    int depth_ = 0;
    std::array<std::array<float, 3>, HistoryDepth + 1> saved_{};
    std::vector<ScreenPoint> nodes_, midpoints_;
    std::vector<BarAxes> barAxes_;
    std::array<ScreenPoint, 3> globalAxes_{};
    ScreenPoint origin_;  // the model origin's image
};

// The axes indicator: clears `ejes` and draws global x, y, z as `view` turns
// them, filling 70% of the surface, each labelled at its end.
void DibujaEjes(Surface& ejes, const View& view, std::optional<Colour> lineColour);

}  // namespace vanto::view
