#pragma once
// The structure editor without its window: drawing on the surface `Dib`,
// picking, graphical editing, the panels' rules and undo. The window owns the
// controls and hands pointer events and typed texts over; a test does the same
// with a recording surface.
//
// Drawing units are those of the surface (twips in the editor): the pick
// tolerance is 65, marks are 12 either side. Colours are Palette16 entries
// unless given as RGB.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/view.h"
#include "model/input.h"
#include "model/structure_data.h"
#include "model/surface.h"

namespace vanto::editor {

enum class Mode { Nodes, Bars };

// The three value groups of the node panel: coordinates (1..3), loads and
// restraints (1..6).
enum class NodeGroup { Coordinates, Loads, Restraints };

// What the editor asks of its panels; the window implements it.
class EditorPanels {
  public:
    virtual ~EditorPanels() = default;
    // Shows node n (or bar n) in its panel, normal backgrounds; 0 empties the
    // fields and greys them.
    virtual void showNode(int node) = 0;
    virtual void showBar(int bar) = 0;
    virtual void enablePanel(Mode mode, bool enabled) = 0;
    virtual bool panelEnabled(Mode mode) const = 0;
    // Commits what is typed in the visible panel, as if each field lost focus.
    virtual void takeOverEdits() = 0;
};

// Told which item the next figure draws, so that an SVG can label it.
class ItemTags {
  public:
    virtual ~ItemTags() = default;
    virtual void nextItem(const char* attribute, int number) = 0;
};

// Symbols drawn by the editor and by printing: at `factor` times the screen
// directions, in `ink` when given (black on paper), else in their colours.
struct ScreenPoint {
    float u, v;
};
struct SymbolOptions {
    float factor = 1;
    std::optional<Colour> ink;
    bool loads = true;
    bool restraints = true;
};
// Node load arrows and restraint marks at `at`; loads and restraints are the
// node's rows (components 1..6).
void drawNodeSymbols(Surface& out, ScreenPoint at, const std::array<std::array<float, 2>, 3>& axes,
                     float s, const float* loads, const float* restraints, const SymbolOptions& o);
// A bar's three local axes from its midpoint; `row` is its BarScreenTable row.
void drawLocalAxes(Surface& out, ScreenPoint mid, const float* row, float s,
                   const SymbolOptions& o);
// A bar's distributed-load bands between its ends a and b; `bar` its record.
void drawBarLoads(Surface& out, ScreenPoint a, ScreenPoint b, const float* row,
                  const std::array<float, 2>& globalZ, float s, const float* bar,
                  const SymbolOptions& o);

class Editor {
  public:
    static constexpr float Tolerance = ScreenView::PickTolerance;
    static constexpr float MarkSize = 12;
    static constexpr Colour Highlight = rgb(255, 255, 0);
    static constexpr Colour SelectionColour = rgb(200, 200, 0);
    static constexpr Colour MarkOutline = rgb(0, 0, 255);
    static constexpr int ZoomColourIndex = 10;

    // Takes the structure (all parts held) and draws on `dib`.
    Editor(Structure data, Surface& dib, EditorPanels* panels = nullptr);
    ~Editor();

    Structure& data() { return data_; }
    const Structure& data() const { return data_; }
    ScreenView& screen() { return screen_; }
    const ScreenView& screen() const { return screen_; }
    Surface& dib() { return dib_; }
    const Surface& dib() const { return dib_; }
    void setTags(ItemTags* tags) { tags_ = tags; }

    // Background of `Dib`; removed bars are drawn over in it.
    Colour background = 0;
    // Detail scale, 0..100; the detail length is HScal / 50 m.
    int HScal = 30;
    bool VerEjeLoc = false;
    bool zoomWindowMode = false;

    Mode mode() const { return mode_; }
    bool multiple() const { return multiple_; }
    int currentNode() const { return currentNode_; }
    int currentBar() const { return currentBar_; }
    float detailLength() const { return float(HScal) / 50; }

    // Opening: view 7 fitted, nothing picked.
    void open();

    // The view: Perspec sets a fixed view and redraws; zoomnum works the
    // history, recomputes and redraws; Redibuja recomputes for the view as it
    // is and redraws.
    void Perspec(int index);
    void zoomnum(int mode, double a1 = 0, double a2 = 0, double esc0 = 0);
    void Redibuja();
    void Paso2D();

    // Drawing.
    void DibujaEstr();
    void DibujaNu();
    void DibujaBa();
    void DibujaSelec();
    void numberNodes();
    void numberBars();
    static Colour ColBarra(float type);

    // Modes and the multiple selection (Selecci).
    void setMode(Mode mode);
    void setMultiple(bool on);

    // The pointer on `Dib`.
    void mouseDown(const PointerEvent& e);
    void mouseMove(const PointerEvent& e);
    void mouseUp(const PointerEvent& e);
    void BuscaPunto(float x, float y);
    void BuscaBarra(float x, float y);
    // First node after n within the tolerance of (x, y); snaps x, y to it.
    int PuntoCercano(float& x, float& y, int n = 0) const;
    void PonQuitaBarra(int a, int b);

    // Panel refresh with 1 (show and mark the current item) or 0 (clear).
    void refreshNodePanel(int show);
    void refreshBarPanel(int show);

    // Panel texts, with the display patterns and the locale's separator.
    std::string nodeText(int node, NodeGroup group, int k) const;
    std::string barText(int bar, int field) const;
    std::string typeText(int type, int field) const;

    // Field commits: an empty text changes nothing; "LIBRE" (any case,
    // trailing blanks) frees a restraint. Applied to the current item, or to
    // every selected one with the multiple selection on.
    void commitNode(NodeGroup group, int k, const std::string& text);
    void commitBar(int field, const std::string& text);
    // The bar type at list position `index` (0-based) for the current or
    // selected bars.
    void chooseType(int index);
    // A type's value (empty stores 0) and name.
    void commitType(int type, int field, const std::string& text);
    void commitTypeName(int type, const std::string& text);
    // "Acero" and "Hormigón": fields 5..9 of a type.
    void setMaterial(int type, bool steel);

    // Undo and redo of every change since opening; false when there is none.
    // The caller recomputes and redraws (Redibuja).
    bool undo();
    bool redo();
    bool canUndo() const;
    bool canRedo() const;
    // Everything since opening, as the files would hold it.
    bool changed() const { return canUndo(); }

  private:
    struct Change;
    struct Step;
    class History;

    void selectNodeMark(int n);
    void drawBarLine(int b, Colour colour);
    void drawRubber(float x, float y);
    void record(Step step);
    void apply(const Step& step, bool forward);
    std::vector<int> targets(bool bars) const;
    bool insideSurface(float u, float v) const;
    bool barVisible(float ua, float va, float ub, float vb) const;
    void tag(const char* attribute, int number);

    Structure data_;
    Surface& dib_;
    EditorPanels* panels_;
    ItemTags* tags_ = nullptr;
    ScreenView screen_;
    std::unique_ptr<History> history_;

    Mode mode_ = Mode::Nodes;
    bool multiple_ = false;
    int currentNode_ = 0, currentBar_ = 0;
    int markedNode_ = 0, shownBar_ = 0;
    // Where the next pick on the same spot goes on from.
    int nodeCursor_ = 0, barCursor_ = 0;
    int lastNodeX_ = 0, lastNodeY_ = 0, lastBarX_ = 0, lastBarY_ = 0;
    float pressX_ = 0, pressY_ = 0;
    int dragStart_ = 0;
    unsigned pressed_ = Button::None;
    std::optional<std::array<float, 2>> rubber_;
};

// The explanation behind `Ang`: a section turned by `angleDegrees` about the
// bar axis, which comes out of the picture, with local y and z before and
// after the turn. Fills the whole surface.
void drawAnglePicture(Surface& out, float angleDegrees = 30);

// Cuts a type name to 15 characters and shows each blank as "·"; `cursor`
// (characters) is kept on the same character.
std::string typeNameAsTyped(const std::string& text, int& cursor);
// The text a fixity field becomes while typing: "0" below 0, "1" above 1.
std::optional<std::string> clampedFixity(const std::string& text);
// Double-click on a restraint field: "0" for "LIBRE", "Libre" otherwise.
std::string toggledRestraint(const std::string& text);
bool isLibre(const std::string& text);

}  // namespace vanto::editor
