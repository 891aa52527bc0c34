#pragma once
// The parallel view of a structure on a drawing surface, shared by the editor,
// the diagram window and the previews.
//
// Units: model points in metres; the surface in its own units (twips in the
// editor) with the origin at the top left and v growing downwards. A view
// gives each point, before scaling, a screen right and a screen up as linear
// functions of x, y, z; then
//     u = hm1 + esc · right,   v = hm2 − esc · up.
// The eight fixed views are such rows, and so is the preview's turning triad.
// Arithmetic is in 32-bit floats, as the editor has always drawn.
//
// Using it (the editor does so; the diagram window passes DiagramScreen):
//   ScreenView sv(EditorScreen);         // view 7, not yet fitted
//   sv.Perspec(i);                       // one of FixedViews; resets the zoom history
//   sv.Paso2D(structure, sv.view.hm1, sv.view.hm2, sv.view.esc, W, H);
//                                        // fits when unfitted, fills the tables
//   sv.nodeU(n), sv.nodeV(n), sv.bars(b, ScreenView::MidU) ...   // draw and pick
//   sv.zoomnum(1, a1, a2, e) / sv.zoomnum(-1) / sv.zoomnum(0), then Paso2D again
//   sv.zoomWindow(x1, y1, x2, y2, W, H) gives the (hm1, hm2, esc) for zoomnum(1)
//   DibujaEjes(ejes, sv.view, sv.rule().axesColour) draws the axes indicator.
// View alone (projection, fit, unscaled) serves pictures without tables.

#include <array>
#include <optional>

#include "model/arrays.h"
#include "model/geometry.h"
#include "model/helpers.h"
#include "model/structure_data.h"
#include "model/surface.h"

namespace vanto::editor {

struct ViewRows {
    std::array<float, 3> right{};
    std::array<float, 3> up{};
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
// The view the editor opens in.
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

    // The point (X, Y, Z) on the surface: a across, b down.
    void axo3d2d(float X, float Y, float Z, float& a, float& b) const {
        axo3d2dj(hm1, hm2, esc, X, Y, Z, a, b);
    }
    // The same with another origin and scale.
    void axo3d2dj(float hm1j, float hm2j, float escj, float X, float Y, float Z, float& a,
                  float& b) const;

    // Scales and centres nodes 1..nodeCount of `xyz` (node, axis) on a
    // surface W wide and H high. Without nodes the model origin stands in.
    void fit(const Table<float>& xyz, int nodeCount, float W, float H, const FitRule& rule);

    // A surface point back to unscaled projection coordinates, (right, −up):
    // what axo3d2dj(0, 0, 1, …) gives for the points seen there.
    std::array<float, 2> unscaled(float u, float v) const {
        return {(u - hm1) / esc, (v - hm2) / esc};
    }

    ViewRows rows;
    float hm1 = 0, hm2 = 0, esc = 1;
};

// What differs between the editor's screen view and the diagram window's.
struct ScreenViewRule {
    FitRule fit;
    // Line colour of the axes indicator; none keeps the surface's foreground.
    std::optional<Colour> axesColour;
};
inline const ScreenViewRule EditorScreen{EditorFit, rgb(255, 255, 0)};  // Palette16 14
inline const ScreenViewRule DiagramScreen{DiagramFit, std::nullopt};

// A view on a surface with its zoom history and the screen tables every
// drawing and pick reads (see Paso2D).
//
// A caller changes the view through Perspec() or zoomnum() and then calls
// Paso2D(view.hm1, view.hm2, view.esc, ...) and redraws; Paso2D alone renews
// the tables for the view as it is.
class ScreenView {
  public:
    static constexpr int HistoryDepth = 30;
    // Pick tolerance and the half-width of a click's zoom window, drawing units.
    static constexpr float PickTolerance = 65;
    // Rows kept beyond the counts for items added while editing; the tables
    // grow past them when needed.
    static constexpr int SpareRows = 100;

    explicit ScreenView(const ScreenViewRule& rule = EditorScreen);

    const ScreenViewRule& rule() const { return rule_; }
    int viewIndex() const { return viewIndex_; }
    int depth() const { return depth_; }

    // Takes the coefficients of fixed view `index` (0..7) and resets the
    // history, so that the next Paso2D fits the structure.
    void Perspec(int index);

    // History: 1 saves the view and takes (a1, a2, esc0) unless 30 are saved;
    // -1 ("Previo") goes back one; 0 resets to an unfitted view. Other modes
    // change nothing.
    void zoomnum(int mode, double a1 = 0, double a2 = 0, double esc0 = 0);

    // The (hm1, hm2, esc) that shows the window with corners (x1, y1),
    // (x2, y2) on a W × H surface. A window narrower than the pick tolerance
    // is widened to 20 tolerances each side of (x2, y2).
    std::array<float, 3> zoomWindow(float x1, float y1, float x2, float y2, float W, float H) const;

    // Takes (hm1p, hm2p, escp) as the view, fits `s` to the W × H surface if
    // the origin is (0, 0), and rebuilds the screen tables. Every bar leaves
    // with its lower-numbered node as Origin (written back into `s`).
    void Paso2D(Structure& s, float hm1p, float hm2p, float escp, float W, float H);

    // Room for this many nodes and bars in the tables, keeping what they hold.
    void reserve(int nodes, int bars);

    // Stores node n's screen position, or bar b's midpoint, for one item
    // added between two recomputations.
    void placeNode(const Structure& s, int n);
    void placeBarMidpoint(const Structure& s, int b);

    // Screen position of node n (u, v), (0, 0) for a node that does not exist.
    float nodeU(int n) const { return validNode(n) ? nodes(n, NodeU) : 0; }
    float nodeV(int n) const { return validNode(n) ? nodes(n, NodeV) : 0; }
    bool validNode(int n) const { return n >= 1 && n <= nodes.maxRow(); }

    View view;

    // NodeScreenTable (node, column): selected flag, u, v.
    enum : int { NodeSelected = 0, NodeU = 1, NodeV = 2 };
    Table<float> nodes;
    // BarScreenTable (bar, column): selected flag, midpoint u v, screen
    // directions of local x, y, z (each the image of the unit vector minus
    // the image of the model origin, so scaled by esc).
    enum : int { BarSelected = 0, MidU = 1, MidV = 2, AxisX = 3, AxisY = 5, AxisZ = 7 };
    Table<float> bars;
    // GlobalAxisDirections: (du, dv) of global X, Y and Z.
    std::array<std::array<float, 2>, 3> axes{};

  private:
    ScreenViewRule rule_;
    int viewIndex_ = InitialView;
    int depth_ = 0;
    std::array<std::array<float, 3>, HistoryDepth + 1> saved_{};
};

// The axes indicator: clears `ejes` and draws global x, y, z as `view` turns
// them, filling 70% of the surface, each labelled at its end.
void DibujaEjes(Surface& ejes, const View& view, std::optional<Colour> lineColour);

}  // namespace vanto::editor
