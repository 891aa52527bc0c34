#pragma once
// The structure editor without its window, put together from its pieces: the
// structure and its undo history (history.h), what is picked (selection.h),
// the panels' rules (panels.h), the drawing (drawing.h) and the pointer
// (gestures.h), over the screen view of src/view. The window owns the
// controls and hands pointer events and typed texts over; a test does the
// same with recording surfaces.
//
// The structure is drawn on the kept picture `Dib`; what is picked and the
// figures that follow the pointer are drawn on its overlay, so picking never
// redraws the structure. Without an overlay they are not drawn at all.

#include <array>
#include <optional>
#include <string>

#include "editor/drawing.h"
#include "editor/gestures.h"
#include "editor/history.h"
#include "editor/panels.h"
#include "editor/selection.h"
#include "model/input.h"
#include "model/structure_data.h"
#include "model/surface.h"
#include "view/screen_view.h"

namespace vanto::editor {

// What the editor asks of its panels; the window implements it.
class EditorPanels {
  public:
    virtual ~EditorPanels() = default;
    // Shows node n (or bar n) in its panel, normal backgrounds; 0 empties the
    // fields and greys them.
    virtual void showNode(int node) = 0;
    virtual void showBar(int bar) = 0;
    virtual void enablePanel(Mode mode, bool enabled) = 0;
    // Commits what is typed in the visible panel, as if each field lost focus;
    // false when a field refused its text (the panel has said why).
    virtual bool takeOverEdits() = 0;
};

class Editor {
  public:
    // Takes the structure (all parts held) and draws on `dib` and `overlay`.
    Editor(Structure data, Surface& dib, Surface* overlay = nullptr,
           EditorPanels* panels = nullptr);

    const Structure& data() const { return history_.data(); }
    const view::ScreenView& screen() const { return screen_; }
    const Selection& picked() const { return picked_; }
    PanelRules& panels() { return rules_; }
    const Surface& dib() const { return dib_; }
    const DrawOptions& drawOptions() const { return options_; }

    Mode mode() const { return picked_.mode(); }
    bool multiple() const { return picked_.multiple(); }
    int currentNode() const { return picked_.current(Mode::Nodes); }
    int currentBar() const { return picked_.current(Mode::Bars); }

    // Background of `Dib`; removed bars are drawn over in it.
    void setBackground(Colour colour) { options_.background = colour; }
    // HScal, 0..100, and VerEjeLoc; the next DibujaEstr shows them.
    void setDetailScale(int HScal) { options_.HScal = HScal; }
    void setLocalAxesShown(bool on) { options_.localAxes = on; }
    // The grid new nodes snap to in the plane views, metres (0: none); the
    // next DibujaEstr shows it.
    float gridStep() const { return options_.gridStep; }
    void setGridStep(float step) { options_.gridStep = step > 0 ? step : 0; }
    // The "Ventana" mode: the next left drag marks a zoom window.
    bool zoomWindowMode() const { return gestures_.zoomWindowMode(); }
    void setZoomWindowMode(bool on);

    // Opening: the opening view fitted, nothing picked.
    void open();
    // View 7, or "Alzado xz" for a new structure (one node and no bar), which
    // then shows some metres around its node.
    int openingView() const;

    // The view: Perspec sets a fixed view and redraws; zoomnum works the
    // history, recomputes and redraws; Redibuja recomputes for the view as it
    // is and redraws.
    void Perspec(int index);
    void zoomnum(int mode, double a1 = 0, double a2 = 0, double esc0 = 0);
    void Redibuja();
    void Paso2D();

    // The full redraw: the structure, the panel of the current item, the marks.
    void DibujaEstr();
    void numberNodes();
    void numberBars();
    // Renews the overlay: the marks of what is picked and the pointer's figure.
    void drawMarks();

    // Modes and the multiple selection (Selecci).
    void setMode(Mode mode);
    void setMultiple(bool on);

    // The pointer on `Dib`.
    void mouseDown(const PointerEvent& e) { gestures_.press(e); }
    void mouseMove(const PointerEvent& e) { gestures_.move(e); }
    void mouseUp(const PointerEvent& e) { gestures_.release(e); }

    // What the pointer does: pick the next node or bar at a point; find the
    // first node after n within the tolerance of (x, y), snapping x, y to it;
    // end a right drag from node a at node b, or in empty space (b = 0) where
    // a new node goes to `place`, or (−1, +1, +1) m from a without one;
    // toggle the items strictly inside a box.
    void BuscaPunto(float x, float y);
    void BuscaBarra(float x, float y);
    int PuntoCercano(float& x, float& y, int n = 0) const;
    void PonQuitaBarra(int a, int b, const std::optional<std::array<float, 3>>& place = {});
    void toggleInside(float x1, float y1, float x2, float y2);
    // False when the panel refused a typed text; the pointer then does nothing.
    bool takeOverEdits();

    // Where a right drag from node `from` released at (u, v) in empty space
    // puts its new node: in a plane view the point there, on the grid, at
    // `from`'s depth; nothing (the fixed offset) in an oblique view or with
    // `fixedOffset`.
    std::optional<std::array<float, 3>> newNodePlace(int from, float u, float v,
                                                     bool fixedOffset) const;
    // The node at exactly `place`, 0 for none.
    int nodeAt(const std::array<float, 3>& place) const;

    // The line under the picture: what the mouse does in the present mode
    // and, with the pointer at (u, v) in a plane view, the point under it on
    // the grid.
    std::string hintLine(std::optional<view::ScreenPoint> pointer) const;

    // Panel refresh with 1 (show the current item) or 0 (clear).
    void refreshNodePanel(int show);
    void refreshBarPanel(int show);

    // Undo and redo of one user action, the screen tables renewed; false
    // when there is none. The caller redraws (DibujaEstr).
    bool undo();
    bool redo();
    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    // Anything changed since opening.
    bool changed() const { return canUndo(); }

  private:
    // The panel of mode m shows its current item, or nothing.
    void showPanel(Mode m, bool current);
    void afterHistoryStep();
    void addBarFrom(int a, int b, const std::optional<std::array<float, 3>>& place);
    // Fits a structure seen as one point to some metres around it.
    bool frameOnePoint(float W, float H);

    EditHistory history_;
    Selection picked_;
    PanelRules rules_{history_, picked_};
    view::ScreenView screen_{view::EditorScreen};
    Gestures gestures_{*this};
    DrawOptions options_;
    Surface& dib_;
    Surface* overlay_;
    EditorPanels* panels_;
};

}  // namespace vanto::editor
