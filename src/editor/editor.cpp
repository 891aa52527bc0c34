#include "editor/editor.h"

#include <algorithm>
#include <span>

#include "model/helpers.h"
#include "view/grid.h"

namespace vanto::editor {

namespace {

constexpr float Tolerance = Selection::Tolerance;
// Rows kept beyond the counts for items added while editing.
constexpr int SpareRows = 100;
// Half the side of the box a structure seen as one point is framed in, m.
constexpr float OnePointFrame = 5;
// Where a node dragged into empty space goes without a place, from its start.
constexpr float FixedOffset[3] = {-1, 1, 1};

constexpr const char* RightButtonHint =
    "Botón derecho: pinchar en nudo y arrastrar para poner/quitar barras";

// Items 1..count of a screen table, as far as it holds them.
std::span<const view::ScreenPoint> upTo(std::span<const view::ScreenPoint> table, int count) {
    return table.first(std::min(table.size(), std::size_t(std::max(count, 0)) + 1));
}

// `s` with the node and bar loads of its case k, to draw that case.
Structure withCaseLoads(const Structure& s, int k) {
    Structure out = s;
    const LoadCase<float>& c = s.cases.loadCase(k);
    for (int n = 1; n <= s.nodeCount; ++n)
        for (int j = 1; j <= 6; ++j)
            out.loads(n, j) = c.nodeLoads(n, j);
    for (int b = 1; b <= s.barCount; ++b)
        for (int j = 0; j < CaseBarFieldCount; ++j)
            out.bars(b, CaseBarFields[j]) = c.barLoads(b, j + 1);
    return out;
}

}  // namespace

Editor::Editor(Structure data, Surface& dib, Surface* overlay, EditorPanels* panels)
    : history_([&] {
          if (!data.held.has(part::All)) data.reset(part::All & Parts{~data.held.bits});
          data.reserve(data.nodeCount + SpareRows, data.barCount + SpareRows);
          return std::move(data);
      }()),
      dib_(dib),
      overlay_(overlay),
      panels_(panels) {}

void Editor::open() {
    Perspec(openingView());
    BuscaPunto(-1000, -1000);
    BuscaBarra(-1000, -1000);
}

int Editor::openingView() const {
    constexpr int AlzadoXZ = 4;
    return data().nodeCount == 1 && data().barCount == 0 ? AlzadoXZ : view::InitialView;
}

// ---- view ----

void Editor::Paso2D() {
    const float W = float(dib_.scaleWidth()), H = float(dib_.scaleHeight());
    if (!screen_.view().fitted() && frameOnePoint(W, H)) return;
    screen_.Paso2D(data(), W, H);
}

// A structure seen as one point (a new one, or one node) would be fitted to
// 0.7 m, too close to draw the first bars on; it gets some metres round it.
bool Editor::frameOnePoint(float W, float H) {
    const Structure& s = data();
    if (s.nodeCount < 1) return false;
    view::View v = screen_.view();
    const view::ScreenPoint first =
        v.at(s.coordinates(1, 1), s.coordinates(1, 2), s.coordinates(1, 3));
    for (int n = 2; n <= s.nodeCount; ++n)
        if (!(v.at(s.coordinates(n, 1), s.coordinates(n, 2), s.coordinates(n, 3)) == first))
            return false;
    Table<float> box(2, 3);
    for (int a = 1; a <= 3; ++a) {
        box(1, a) = s.coordinates(1, a) - OnePointFrame;
        box(2, a) = s.coordinates(1, a) + OnePointFrame;
    }
    v.fit(box, 2, W, H, view::EditorFit);
    screen_.Paso2D(s, v.hm1, v.hm2, v.esc, W, H);
    return true;
}

void Editor::Perspec(int index) {
    screen_.Perspec(index);
    Paso2D();
    DibujaEstr();
}

void Editor::zoomnum(int mode, double a1, double a2, double esc0) {
    if (mode == 1)
        view::zoomInto(screen_, {float(a1), float(a2), float(esc0)});
    else
        screen_.zoomnum(mode);
    Paso2D();
    DibujaEstr();
}

void Editor::Redibuja() {
    Paso2D();
    DibujaEstr();
}

void Editor::setZoomWindowMode(bool on) {
    gestures_.setZoomWindowMode(on);
    drawMarks();
}

// ---- drawing ----

void Editor::DibujaEstr() {
    options_.mode = mode();
    const int k = rules_.loadCase();
    if (k == 1)
        editor::DibujaEstr(dib_, data(), screen_, options_);
    else
        editor::DibujaEstr(dib_, withCaseLoads(data(), k), screen_, options_);
    if (!multiple()) showPanel(mode(), true);
    drawMarks();
}

void Editor::numberNodes() {
    editor::numberNodes(dib_, data(), screen_);
}

void Editor::numberBars() {
    editor::numberBars(dib_, data(), screen_);
}

void Editor::drawMarks() {
    if (!overlay_) return;
    overlay_->clear();
    editor::drawMarks(*overlay_, data(), screen_, picked_);
    gestures_.drawFigure(*overlay_);
}

// ---- modes ----

void Editor::setMode(Mode mode) {
    picked_.setMode(mode);
    DibujaEstr();
}

void Editor::setMultiple(bool on) {
    picked_.setMultiple(on);
    if (mode() == Mode::Nodes)
        refreshNodePanel(0);
    else
        refreshBarPanel(0);
    if (panels_) panels_->enablePanel(mode(), on);
    if (!on)
        DibujaEstr();
    else
        drawMarks();
}

// ---- picking ----

void Editor::BuscaPunto(float x, float y) {
    const auto nodes = upTo(screen_.nodes(), data().nodeCount);
    const bool found = picked_.pick(Mode::Nodes, x, y, nodes) != 0;
    if (found && panels_) panels_->enablePanel(Mode::Nodes, true);
    refreshNodePanel(found ? 1 : 0);
    if (!found && panels_) panels_->enablePanel(Mode::Nodes, false);
}

void Editor::BuscaBarra(float x, float y) {
    const auto bars = upTo(screen_.midpoints(), data().barCount);
    const bool found = picked_.pick(Mode::Bars, x, y, bars) != 0;
    if (found && panels_) panels_->enablePanel(Mode::Bars, true);
    refreshBarPanel(found ? 1 : 0);
    if (!found && panels_) panels_->enablePanel(Mode::Bars, false);
}

int Editor::PuntoCercano(float& x, float& y, int n) const {
    const auto nodes = upTo(screen_.nodes(), data().nodeCount);
    const int found = view::firstWithin(nodes, x, y, Tolerance, n);
    if (found) x = screen_.node(found).u, y = screen_.node(found).v;
    return found;
}

void Editor::toggleInside(float x1, float y1, float x2, float y2) {
    const bool nodes = mode() == Mode::Nodes;
    const int count = nodes ? data().nodeCount : data().barCount;
    for (int i = 1; i <= count; ++i) {
        const view::ScreenPoint p = nodes ? screen_.node(i) : screen_.midpoint(i);
        if (p.u > x1 && p.u < x2 && p.v > y1 && p.v < y2) picked_.toggle(mode(), i);
    }
    if (nodes)
        refreshNodePanel(0);
    else
        refreshBarPanel(0);
    drawMarks();
}

bool Editor::takeOverEdits() {
    return !panels_ || panels_->takeOverEdits();
}

void Editor::showPanel(Mode m, bool current) {
    if (!panels_) return;
    const int item = current ? picked_.current(m) : 0;
    if (m == Mode::Nodes)
        panels_->showNode(item >= 1 && item <= data().nodeCount ? item : 0);
    else
        panels_->showBar(item >= 1 && item <= data().barCount ? item : 0);
}

void Editor::refreshNodePanel(int show) {
    showPanel(Mode::Nodes, show == 1);
    drawMarks();
}

void Editor::refreshBarPanel(int show) {
    showPanel(Mode::Bars, show == 1);
    drawMarks();
}

// ---- graphical editing ----

void Editor::PonQuitaBarra(int a, int b, const std::optional<std::array<float, 3>>& place) {
    drawMarks();  // the line that followed the pointer goes
    if (b == a || a < 1 || a > data().nodeCount || b < 0 || b > data().nodeCount) return;
    if (b == 0) return addBarFrom(a, 0, place);
    if (a > b) std::swap(a, b);
    for (int k = 1; k <= data().barCount; ++k) {
        const int o = itemNumber(data().bars(k, Origin)), e = itemNumber(data().bars(k, End));
        if (!((o == a && e == b) || (o == b && e == a))) continue;
        Transaction(history_).removeBar(k);
        screen_.dropBar(k);
        picked_.barRemoved(k);
        dib_.setForeground(options_.background);
        dib_.line(screen_.node(a).u, screen_.node(a).v, screen_.node(b).u, screen_.node(b).v);
        drawMarks();
        return;
    }
    addBarFrom(a, b, {});
}

// A new bar a–b, and first a new node b at `place` (by default (−1, +1, +1) m
// from a) when b is 0; both drawn on the picture as they come, one undo step.
void Editor::addBarFrom(int a, int b, const std::optional<std::array<float, 3>>& place) {
    int bar = 0;
    {
        Transaction t(history_);
        if (b == 0) {
            const Table<float>& c = data().coordinates;
            const std::array<float, 3> p =
                place ? *place
                      : std::array<float, 3>{c(a, 1) + FixedOffset[0], c(a, 2) + FixedOffset[1],
                                             c(a, 3) + FixedOffset[2]};
            b = t.addNode(p[0], p[1], p[2]);
            screen_.placeNode(data(), b);
        }
        bar = t.addBar(a, b);
        screen_.placeBar(data(), bar);
    }
    drawBarLine(dib_, data(), screen_, bar, view::ColBarra(1));
    if (b == data().nodeCount && mode() == Mode::Nodes) drawItemMark(dib_, screen_.node(b), 11);
    if (mode() == Mode::Bars) drawItemMark(dib_, screen_.midpoint(bar), 10);
    drawMarks();
}

std::optional<std::array<float, 3>> Editor::newNodePlace(int from, float u, float v,
                                                         bool fixedOffset) const {
    const auto plane = view::viewPlane(screen_.view());
    if (fixedOffset || !plane || from < 1 || from > data().nodeCount) return std::nullopt;
    const Table<float>& c = data().coordinates;
    auto p = view::pointUnder(screen_.view(), *plane, u, v, {c(from, 1), c(from, 2), c(from, 3)});
    for (int axis : {plane->right, plane->up})
        p[std::size_t(axis)] = view::snapped(p[std::size_t(axis)], gridStep());
    return p;
}

int Editor::nodeAt(const std::array<float, 3>& place) const {
    const Table<float>& c = data().coordinates;
    for (int n = 1; n <= data().nodeCount; ++n)
        if (c(n, 1) == place[0] && c(n, 2) == place[1] && c(n, 3) == place[2]) return n;
    return 0;
}

std::string Editor::hintLine(std::optional<view::ScreenPoint> pointer) const {
    std::string hint;
    if (zoomWindowMode())
        hint = "Ventana: pulse y arrastre con el botón izquierdo sobre la zona que quiere ver";
    else if (multiple())
        hint = std::string(
                   "Seleccionar varios/as: arrastre con el botón izquierdo un recuadro "
                   "alrededor de ") +
               (mode() == Mode::Nodes ? "los nudos" : "las marcas de las barras") +
               " para marcarlos o desmarcarlos; lo escrito en el panel va a todos";
    else
        hint = std::string("Botón izquierdo: ver ") +
               (mode() == Mode::Nodes ? "un nudo" : "una barra (su marca central)") + ".   " +
               RightButtonHint + " (en vacío, con nudo nuevo)";
    const auto plane = view::viewPlane(screen_.view());
    if (!pointer || !plane) return hint;
    // The point first, where the eye finds it however narrow the line.
    const auto p = view::pointUnder(screen_.view(), *plane, pointer->u, pointer->v, {0, 0, 0});
    std::string at;
    for (int axis : {plane->right, plane->up}) {
        const float value = view::snapped(p[std::size_t(axis)], gridStep());
        at += std::string(1, "xyz"[axis]) + " = " + FormatPaddedLocal(value, "0.00") + "  ";
    }
    return at + "m      " + hint;
}

// ---- undo ----

void Editor::afterHistoryStep() {
    picked_.keepWithin(data().nodeCount, data().barCount);
    rules_.setLoadCase(rules_.loadCase());  // the case may have gone
    Paso2D();
}

bool Editor::undo() {
    if (!history_.undo()) return false;
    afterHistoryStep();
    return true;
}

bool Editor::redo() {
    if (!history_.redo()) return false;
    afterHistoryStep();
    return true;
}

}  // namespace vanto::editor
