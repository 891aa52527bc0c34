#include "editor/editor.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "model/textfile.h"

namespace vanto::editor {

namespace {

struct Point {
    float u, v;
    Point operator+(Point o) const { return {u + o.u, v + o.v}; }
    Point operator-(Point o) const { return {u - o.u, v - o.v}; }
    Point operator*(float k) const { return {u * k, v * k}; }
};

float sign(float v) {
    return v > 0 ? 1.0f : v < 0 ? -1.0f : 0.0f;
}

std::string trimmed(std::string s) {
    const auto a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

std::string shown(double value, const char* pattern) {
    return trimmed(FormatPaddedLocal(value, pattern));
}

double parsed(std::string text) {
    return ParseNumber(text);
}

const char* const BarPatterns[BarFieldCount + 1] = {
    "",           "#####",      "#####",      "",           "0.000000",  "#####0.000",
    "#####0.000", "#####0.000", "#####0.000", "#####0.000", "#####0.000"};

}  // namespace

// One change of the structure, with what it replaced.
struct Editor::Change {
    enum class Kind { Value, TypeName, AddNode, AddBar, RemoveBar } kind;
    Table<float>* table = nullptr;  // for Value
    int row = 0, col = 0;
    float before = 0, after = 0;
    std::string nameBefore{}, nameAfter{};
    std::vector<float> record{};  // the removed or added row(s)
};

// What one user action changed, undone as a whole.
struct Editor::Step {
    std::vector<Change> changes;
};

class Editor::History {
  public:
    void push(Step s) {
        steps_.resize(position_);
        steps_.push_back(std::move(s));
        ++position_;
    }
    const Step* back() { return position_ > 0 ? &steps_[--position_] : nullptr; }
    const Step* forward() { return position_ < steps_.size() ? &steps_[position_++] : nullptr; }
    bool canUndo() const { return position_ > 0; }
    bool canRedo() const { return position_ < steps_.size(); }

  private:
    std::vector<Step> steps_;
    std::size_t position_ = 0;
};

Editor::Editor(Structure data, Surface& dib, EditorPanels* panels)
    : data_(std::move(data)), dib_(dib), panels_(panels), history_(std::make_unique<History>()) {
    if (!data_.held.has(part::All)) data_.reset(part::All & Parts{~data_.held.bits});
    data_.reserve(data_.nodeCount + ScreenView::SpareRows, data_.barCount + ScreenView::SpareRows);
    screen_.reserve(data_.nodeCount + ScreenView::SpareRows,
                    data_.barCount + ScreenView::SpareRows);
}

Editor::~Editor() = default;

void Editor::open() {
    Perspec(InitialView);
    BuscaPunto(-1000, -1000);
    BuscaBarra(-1000, -1000);
}

// ---- symbols, shared with printing ----

void drawNodeSymbols(Surface& out, ScreenPoint at, const std::array<std::array<float, 2>, 3>& axes,
                     float s, const float* loads, const float* restraints, const SymbolOptions& o) {
    const Point P{at.u, at.v};
    const Point dir[3] = {{axes[0][0] * o.factor, axes[0][1] * o.factor},
                          {axes[1][0] * o.factor, axes[1][1] * o.factor},
                          {axes[2][0] * o.factor, axes[2][1] * o.factor}};
    auto line = [&](Point a, Point b) { out.line(a.u, a.v, b.u, b.v); };
    auto to = [&](Point b) { out.lineTo(b.u, b.v); };
    auto ink = [&](int index) { out.setForeground(o.ink ? *o.ink : palette16(index)); };
    for (int k = 0; k < 3; ++k) {
        const Point d = dir[k], e = dir[(k + 1) % 3];
        const float M = loads[k + 4], rot = restraints[k + 4];
        if (M != 0 && o.loads) {
            ink(1);
            const float L = sign(M) * s * std::log(std::abs(M) + 1);
            const Point T = P + d * (1.4f * L);
            line(P, T);
            line(T, P + (d + e * 0.25f) * L);
            line(T, P + (d - e * 0.25f) * L);
        }
        if (!isFree(rot) && o.restraints) {
            ink(4);
            const float L = 0.9f * s;
            const Point Q = P + d * L;
            line(P, Q);
            line(Q, Q + e * (0.25f * L));
            to(Q - e * (0.25f * L));
        }
        const float F = loads[k + 1], disp = restraints[k + 1];
        if (F != 0 && o.loads) {
            ink(9);
            const float L = sign(F) * s * std::log(std::abs(F) + 1);
            const Point shaft = P + d * L;
            line(P, shaft);
            to(P + (d + e * 0.3f) * L);
            to(P + d * (1.3f * L));
            to(P + (d - e * 0.3f) * L);
            to(shaft);
        }
        if (!isFree(disp) && o.restraints) {
            ink(12);
            const float L = 0.7f * s;
            line(P, P + (d + e * 0.3f) * L);
            to(P + (d - e * 0.3f) * L);
            to(P);
        }
    }
}

void drawLocalAxes(Surface& out, ScreenPoint M, const float* row, float s, const SymbolOptions& o) {
    const float k = s * o.factor;
    out.setForeground(o.ink ? *o.ink : palette16(11));
    out.line(M.u, M.v, M.u + k * row[ScreenView::AxisX], M.v + k * row[ScreenView::AxisX + 1]);
    out.line(M.u, M.v, M.u + k * row[ScreenView::AxisY], M.v + k * row[ScreenView::AxisY + 1]);
    out.setForeground(o.ink ? *o.ink : palette16(13));
    out.line(M.u, M.v, M.u + k * row[ScreenView::AxisZ], M.v + k * row[ScreenView::AxisZ + 1]);
}

void drawBarLoads(Surface& out, ScreenPoint a, ScreenPoint b, const float* row,
                  const std::array<float, 2>& globalZ, float s, const float* bar,
                  const SymbolOptions& o) {
    const Point A{a.u, a.v}, B{b.u, b.v};
    const float f = o.factor;
    const Point ex{row[ScreenView::AxisX] * f, row[ScreenView::AxisX + 1] * f};
    const Point ey{row[ScreenView::AxisY] * f, row[ScreenView::AxisY + 1] * f};
    const Point ez{row[ScreenView::AxisZ] * f, row[ScreenView::AxisZ + 1] * f};
    const Point dZ{globalZ[0] * f, globalZ[1] * f};
    const Point p = ex * s, Bv = B - A;
    const float q[3] = {bar[VerticalLoad], bar[TransverseLoadY], bar[TransverseLoadZ]};
    const Point dirs[3] = {dZ, ey, ez};
    const float pp = p.u * p.u + p.v * p.v, bb = Bv.u * Bv.u + Bv.v * Bv.v;
    auto line = [&](Point x, Point y) { out.line(x.u, x.v, y.u, y.v); };
    for (int c = 0; c < 3; ++c) {
        if (q[c] == 0) continue;
        const float L = -sign(q[c]) * s * std::log(std::abs(q[c]) + 1);
        const Point D = dirs[c] * L;
        out.setForeground(o.ink ? *o.ink : palette16(5));
        line(A + D, B + D);
        line(A, A + D);
        line(B, B + D);
        // Without a detail length there is no hatch spacing: the band keeps
        // its outline only.
        if (bb == 0 || pp == 0) continue;
        for (int k = 0; k <= 32767 && float(k) * float(k) * pp <= bb; ++k) {
            const Point H = A + p * float(k);
            line(H, H + D);
        }
    }
}

// ---- view ----

void Editor::Paso2D() {
    screen_.Paso2D(data_, screen_.view.hm1, screen_.view.hm2, screen_.view.esc,
                   float(dib_.scaleWidth()), float(dib_.scaleHeight()));
}

void Editor::Perspec(int index) {
    screen_.Perspec(index);
    Paso2D();
    DibujaEstr();
}

void Editor::zoomnum(int mode, double a1, double a2, double esc0) {
    screen_.zoomnum(mode, a1, a2, esc0);
    Paso2D();
    // Zoomed so deep that the surface coordinates overflow: back to the
    // previous view.
    const View& v = screen_.view;
    while (!(std::isfinite(v.esc) && std::isfinite(v.hm1) && std::isfinite(v.hm2) &&
             std::abs(v.hm1) < 1e15f && std::abs(v.hm2) < 1e15f) &&
           screen_.depth() > 0) {
        screen_.zoomnum(-1);
        Paso2D();
    }
    DibujaEstr();
}

void Editor::Redibuja() {
    Paso2D();
    DibujaEstr();
}

// ---- drawing ----

Colour Editor::ColBarra(float type) {
    const int t = itemNumber(type);
    return palette16(((t % 6) + 6) % 6 + 1);
}

bool Editor::insideSurface(float u, float v) const {
    return u >= 0 && u <= dib_.scaleWidth() && v >= 0 && v <= dib_.scaleHeight();
}

bool Editor::barVisible(float ua, float va, float ub, float vb) const {
    const float W = float(dib_.scaleWidth()), H = float(dib_.scaleHeight());
    return !((ua < 0 && ub < 0) || (ua > W && ub > W) || (va < 0 && vb < 0) || (va > H && vb > H));
}

void Editor::tag(const char* attribute, int number) {
    if (tags_) tags_->nextItem(attribute, number);
}

void Editor::drawBarLine(int b, Colour colour) {
    const int a = itemNumber(data_.bars(b, Origin)), e = itemNumber(data_.bars(b, End));
    if (a < 1 || a > data_.nodeCount || e < 1 || e > data_.nodeCount) return;
    dib_.setForeground(colour);
    tag("data-bar", b);
    dib_.line(screen_.nodeU(a), screen_.nodeV(a), screen_.nodeU(e), screen_.nodeV(e));
}

void Editor::DibujaEstr() {
    dib_.setPenMode(PenMode::Copy);
    dib_.setBackground(background);
    dib_.clear();
    markedNode_ = 0;
    shownBar_ = 0;
    for (int b = 1; b <= data_.barCount; ++b) {
        const int a = itemNumber(data_.bars(b, Origin)), e = itemNumber(data_.bars(b, End));
        if (a < 1 || a > data_.nodeCount || e < 1 || e > data_.nodeCount) continue;
        if (!barVisible(screen_.nodeU(a), screen_.nodeV(a), screen_.nodeU(e), screen_.nodeV(e)))
            continue;
        const bool selected = multiple_ && screen_.bars(b, ScreenView::BarSelected) == 1;
        drawBarLine(b, selected ? Highlight : ColBarra(data_.bars(b, Type)));
    }
    if (mode_ == Mode::Nodes) {
        DibujaNu();
        if (multiple_)
            DibujaSelec();
        else
            refreshNodePanel(1);
    } else {
        DibujaBa();
        if (!multiple_) refreshBarPanel(1);
    }
}

void Editor::DibujaNu() {
    const float s = detailLength();
    if (HScal != 0) {
        for (int n = 1; n <= data_.nodeCount; ++n) {
            const float u = screen_.nodeU(n), v = screen_.nodeV(n);
            if (!insideSurface(u, v)) continue;
            drawNodeSymbols(dib_, {u, v}, screen_.axes, s, data_.loads.row(n),
                            data_.restraints.row(n), {});
        }
    }
    dib_.setForeground(palette16(11));
    for (int n = 1; n <= data_.nodeCount; ++n) {
        const float u = screen_.nodeU(n), v = screen_.nodeV(n);
        if (!insideSurface(u, v)) continue;
        tag("data-node", n);
        dib_.fillBox(u - MarkSize, v - MarkSize, u + MarkSize, v + MarkSize);
    }
}

void Editor::DibujaBa() {
    const float s = detailLength();
    for (int b = 1; b <= data_.barCount; ++b) {
        const float* row = screen_.bars.row(b);
        const ScreenPoint M{row[ScreenView::MidU], row[ScreenView::MidV]};
        const int a = itemNumber(data_.bars(b, Origin)), e = itemNumber(data_.bars(b, End));
        if (a < 1 || a > data_.nodeCount || e < 1 || e > data_.nodeCount) continue;
        if (insideSurface(M.u, M.v)) {
            if (VerEjeLoc) drawLocalAxes(dib_, M, row, s, {});
            dib_.setForeground(palette16(10));
            dib_.fillBox(M.u - MarkSize, M.v - MarkSize, M.u + MarkSize, M.v + MarkSize);
        }
        const ScreenPoint A{screen_.nodeU(a), screen_.nodeV(a)};
        const ScreenPoint B{screen_.nodeU(e), screen_.nodeV(e)};
        if (!barVisible(A.u, A.v, B.u, B.v)) continue;
        drawBarLoads(dib_, A, B, row, screen_.axes[2], s, data_.bars.row(b), {});
        const ScreenPoint p{row[ScreenView::AxisX] * s, row[ScreenView::AxisX + 1] * s};
        for (int end = 0; end < 2; ++end) {
            const float fixity = data_.bars(b, end == 0 ? EmpOR : EmpEX);
            if (!(fixity < 1)) continue;
            dib_.setForeground(palette16(fixity < 0.0001f ? 12 : 14));
            if (end == 0)
                dib_.line(A.u, A.v, A.u + 0.7f * p.u, A.v + 0.7f * p.v);
            else
                dib_.line(B.u, B.v, B.u - 0.7f * p.u, B.v - 0.7f * p.v);
        }
    }
}

void Editor::selectNodeMark(int n) {
    dib_.setPenMode(PenMode::Xor);
    dib_.setLineStyle(LineStyle::Solid);
    dib_.setForeground(MarkOutline);
    dib_.circle(screen_.nodeU(n), screen_.nodeV(n), MarkSize, SelectionColour);
    dib_.setPenMode(PenMode::Copy);
}

void Editor::DibujaSelec() {
    for (int n = 1; n <= data_.nodeCount; ++n)
        if (screen_.nodes(n, ScreenView::NodeSelected) == 1) selectNodeMark(n);
}

void Editor::numberNodes() {
    dib_.setFont({"Courier New", 6, false});
    const float W = float(dib_.scaleWidth()), H = float(dib_.scaleHeight());
    for (int n = 1; n <= data_.nodeCount; ++n) {
        const std::string t = std::to_string(n);
        const float x0 = screen_.nodeU(n) - MarkSize, y0 = screen_.nodeV(n) - MarkSize;
        if (!(x0 > 0 && x0 < W && y0 > 0 && y0 < H)) continue;
        dib_.setForeground(palette16(1));
        dib_.fillBox(x0, y0, x0 + float(t.size()) * MarkSize * 6.5f, y0 + MarkSize);
        dib_.setForeground(palette16(11));
        dib_.text(x0 + MarkSize, y0 - 1.2, t);
    }
}

void Editor::numberBars() {
    dib_.setFont({"Courier New", 6, false});
    const float W = float(dib_.scaleWidth()), H = float(dib_.scaleHeight());
    for (int b = 1; b <= data_.barCount; ++b) {
        const std::string t = std::to_string(b);
        const float x0 = screen_.bars(b, ScreenView::MidU) - MarkSize;
        const float y0 = screen_.bars(b, ScreenView::MidV) - MarkSize;
        if (!(x0 > 0 && x0 < W && y0 > 0 && y0 < H)) continue;
        dib_.setForeground(palette16(2));
        dib_.fillBox(x0, y0, x0 + float(t.size()) * MarkSize * 6.5f, y0 + MarkSize);
        dib_.setForeground(palette16(10));
        dib_.text(x0 + MarkSize, y0 - 1.2, t);
    }
}

// ---- modes ----

void Editor::setMode(Mode mode) {
    mode_ = mode;
    DibujaEstr();
}

void Editor::setMultiple(bool on) {
    multiple_ = on;
    if (on) {
        for (int n = 0; n <= screen_.nodes.maxRow(); ++n)
            screen_.nodes(n, ScreenView::NodeSelected) = 0;
        for (int b = 0; b <= screen_.bars.maxRow(); ++b)
            screen_.bars(b, ScreenView::BarSelected) = 0;
    }
    if (mode_ == Mode::Nodes) {
        refreshNodePanel(0);
        currentNode_ = nodeCursor_ = 0;
    } else {
        refreshBarPanel(0);
        currentBar_ = barCursor_ = 0;
    }
    if (panels_) panels_->enablePanel(mode_, on);
    if (!on) DibujaEstr();
}

// ---- picking ----

void Editor::BuscaPunto(float x, float y) {
    if (!(std::abs(x - float(lastNodeX_)) <= Tolerance &&
          std::abs(y - float(lastNodeY_)) <= Tolerance))
        nodeCursor_ = 0;
    lastNodeX_ = int(std::lround(x)), lastNodeY_ = int(std::lround(y));
    int found = 0;
    for (int n = nodeCursor_ + 1; n <= data_.nodeCount; ++n)
        if (std::abs(x - screen_.nodeU(n)) < Tolerance &&
            std::abs(y - screen_.nodeV(n)) < Tolerance) {
            found = n;
            break;
        }
    if (found) {
        nodeCursor_ = currentNode_ = found;
        if (panels_) panels_->enablePanel(Mode::Nodes, true);
        refreshNodePanel(1);
        return;
    }
    nodeCursor_ = data_.nodeCount;
    refreshNodePanel(0);
    currentNode_ = 0;
    if (panels_) panels_->enablePanel(Mode::Nodes, false);
}

void Editor::BuscaBarra(float x, float y) {
    if (!(std::abs(x - float(lastBarX_)) <= Tolerance &&
          std::abs(y - float(lastBarY_)) <= Tolerance))
        barCursor_ = 0;
    lastBarX_ = int(std::lround(x)), lastBarY_ = int(std::lround(y));
    int found = 0;
    for (int b = barCursor_ + 1; b <= data_.barCount; ++b)
        if (std::abs(x - screen_.bars(b, ScreenView::MidU)) < Tolerance &&
            std::abs(y - screen_.bars(b, ScreenView::MidV)) < Tolerance) {
            found = b;
            break;
        }
    if (found) {
        barCursor_ = currentBar_ = found;
        if (panels_) panels_->enablePanel(Mode::Bars, true);
        refreshBarPanel(1);
        return;
    }
    barCursor_ = data_.barCount;
    refreshBarPanel(0);
    currentBar_ = 0;
    if (panels_) panels_->enablePanel(Mode::Bars, false);
}

int Editor::PuntoCercano(float& x, float& y, int n) const {
    for (int i = n + 1; i <= data_.nodeCount; ++i) {
        const float u = screen_.nodeU(i), v = screen_.nodeV(i);
        if (std::abs(x - u) < Tolerance && std::abs(y - v) < Tolerance) {
            x = u, y = v;
            return i;
        }
    }
    return 0;
}

// ---- panels ----

void Editor::refreshNodePanel(int show) {
    if (show == 1 && currentNode_ >= 1 && currentNode_ <= data_.nodeCount) {
        if (markedNode_ != currentNode_) {
            if (markedNode_ != 0) selectNodeMark(markedNode_);
            selectNodeMark(currentNode_);
            markedNode_ = currentNode_;
        }
        if (panels_) panels_->showNode(currentNode_);
        return;
    }
    if (markedNode_ != 0) selectNodeMark(markedNode_);
    markedNode_ = 0;
    if (panels_) panels_->showNode(0);
}

void Editor::refreshBarPanel(int show) {
    if (show == 1 && currentBar_ >= 1 && currentBar_ <= data_.barCount) {
        if (shownBar_ != 0 && shownBar_ != currentBar_ && shownBar_ <= data_.barCount)
            drawBarLine(shownBar_, ColBarra(data_.bars(shownBar_, Type)));
        drawBarLine(currentBar_, Highlight);
        shownBar_ = currentBar_;
        if (panels_) panels_->showBar(currentBar_);
        return;
    }
    if (shownBar_ != 0 && shownBar_ <= data_.barCount && !multiple_)
        drawBarLine(shownBar_, ColBarra(data_.bars(shownBar_, Type)));
    shownBar_ = 0;
    if (panels_) panels_->showBar(0);
}

std::string Editor::nodeText(int node, NodeGroup group, int k) const {
    if (node < 1 || node > data_.nodeCount) return {};
    switch (group) {
        case NodeGroup::Coordinates:
            return shown(data_.coordinates(node, k), "####0.000");
        case NodeGroup::Loads:
            return shown(data_.loads(node, k), "####0.000");
        case NodeGroup::Restraints: {
            const float r = data_.restraints(node, k);
            return isFree(r) ? "Libre" : shown(r, "###0.000");
        }
    }
    return {};
}

std::string Editor::barText(int bar, int field) const {
    if (bar < 1 || bar > data_.barCount || field < 1 || field > BarFieldCount) return {};
    if (field == Type) return std::to_string(itemNumber(data_.bars(bar, Type)));
    return shown(data_.bars(bar, field), BarPatterns[field]);
}

std::string Editor::typeText(int type, int field) const {
    if (type < 1 || type > data_.types.count) return {};
    return trimmed(writtenValue(data_.types.values(type, field)));
}

// ---- commits and undo ----

std::vector<int> Editor::targets(bool bars) const {
    std::vector<int> out;
    if (!multiple_) {
        const int c = bars ? currentBar_ : currentNode_;
        if (c >= 1 && c <= (bars ? data_.barCount : data_.nodeCount)) out.push_back(c);
        return out;
    }
    const int count = bars ? data_.barCount : data_.nodeCount;
    for (int i = 1; i <= count; ++i)
        if ((bars ? screen_.bars(i, ScreenView::BarSelected)
                  : screen_.nodes(i, ScreenView::NodeSelected)) == 1)
            out.push_back(i);
    return out;
}

bool isLibre(const std::string& text) {
    std::string t = text;
    while (!t.empty() && t.back() == ' ')
        t.pop_back();
    if (t.size() != 5) return false;
    for (char& c : t)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return t == "LIBRE";
}

void Editor::commitNode(NodeGroup group, int k, const std::string& text) {
    if (text.empty()) return;
    const float value =
        group == NodeGroup::Restraints && isLibre(text) ? FreeMarker : float(parsed(text));
    Table<float>& table = group == NodeGroup::Coordinates ? data_.coordinates
                          : group == NodeGroup::Loads     ? data_.loads
                                                          : data_.restraints;
    Step step;
    for (int n : targets(false))
        if (table(n, k) != value)
            step.changes.push_back({Change::Kind::Value, &table, n, k, table(n, k), value});
    record(std::move(step));
}

void Editor::commitBar(int field, const std::string& text) {
    if (text.empty() || field < 1 || field > BarFieldCount) return;
    const float value = float(parsed(text));
    Step step;
    for (int b : targets(true))
        if (data_.bars(b, field) != value)
            step.changes.push_back(
                {Change::Kind::Value, &data_.bars, b, field, data_.bars(b, field), value});
    record(std::move(step));
}

void Editor::chooseType(int index) {
    const float value = float(index + 1);
    Step step;
    for (int b : targets(true))
        if (data_.bars(b, Type) != value)
            step.changes.push_back(
                {Change::Kind::Value, &data_.bars, b, Type, data_.bars(b, Type), value});
    record(std::move(step));
}

void Editor::commitType(int type, int field, const std::string& text) {
    if (type < 1 || type > data_.types.count || field < 1 || field > TypeFieldCount) return;
    const float value = text.empty() ? 0.0f : float(parsed(text));
    Table<float>& t = data_.types.values;
    if (t(type, field) == value) return;
    Step step;
    step.changes.push_back({Change::Kind::Value, &t, type, field, t(type, field), value});
    record(std::move(step));
}

void Editor::commitTypeName(int type, const std::string& text) {
    if (type < 1 || type > data_.types.count) return;
    std::string& name = data_.types.names[std::size_t(type)];
    if (name == text) return;
    Step step;
    Change c{Change::Kind::TypeName};
    c.row = type;
    c.nameBefore = name;
    c.nameAfter = text;
    step.changes.push_back(std::move(c));
    record(std::move(step));
}

void Editor::setMaterial(int type, bool steel) {
    static const char* const Steel[5] = {"2100000", "0.25", "2363", "7850", "0.012"};
    static const char* const Concrete[5] = {"292402", "0.2", "250", "2500", "0.011"};
    for (int i = 0; i < 5; ++i)
        commitType(type, 5 + i, (steel ? Steel : Concrete)[i]);
}

void Editor::record(Step step) {
    if (step.changes.empty()) return;
    apply(step, true);
    history_->push(std::move(step));
}

void Editor::apply(const Step& step, bool forward) {
    const int barWidth = BarFieldCount + 1, screenWidth = ScreenView::AxisZ + 2;
    auto applyOne = [&](const Change& c, bool fwd) {
        switch (c.kind) {
            case Change::Kind::Value:
                (*c.table)(c.row, c.col) = fwd ? c.after : c.before;
                return;
            case Change::Kind::TypeName:
                data_.types.names[std::size_t(c.row)] = fwd ? c.nameAfter : c.nameBefore;
                return;
            case Change::Kind::AddNode:
                if (fwd) {
                    const int n = data_.addNode(c.record[0], c.record[1], c.record[2]);
                    screen_.placeNode(data_, n);
                    screen_.nodes(n, ScreenView::NodeSelected) = 0;
                } else {
                    --data_.nodeCount;
                }
                return;
            case Change::Kind::AddBar:
                if (fwd) {
                    const int b = data_.addBar(0, 0);
                    std::copy(c.record.begin(), c.record.end(), data_.bars.row(b));
                    screen_.placeBarMidpoint(data_, b);
                    screen_.bars(b, ScreenView::BarSelected) = 0;
                } else {
                    --data_.barCount;
                }
                return;
            case Change::Kind::RemoveBar: {
                const int k = c.row, n = data_.barCount;
                float* bars = data_.bars.row(0);
                screen_.reserve(0, n + 1);
                float* scr = screen_.bars.row(0);
                if (fwd) {
                    std::copy(bars + (k + 1) * barWidth, bars + (n + 1) * barWidth,
                              bars + k * barWidth);
                    std::copy(scr + (k + 1) * screenWidth, scr + (n + 1) * screenWidth,
                              scr + k * screenWidth);
                    --data_.barCount;
                } else {
                    data_.addBar(0, 0);  // grows the table when full
                    bars = data_.bars.row(0);
                    std::copy_backward(bars + k * barWidth, bars + n * barWidth + barWidth,
                                       bars + (n + 1) * barWidth + barWidth);
                    std::copy(c.record.begin(), c.record.end(), bars + k * barWidth);
                    std::copy_backward(scr + k * screenWidth, scr + (n + 1) * screenWidth,
                                       scr + (n + 2) * screenWidth);
                    std::fill(scr + k * screenWidth, scr + (k + 1) * screenWidth, 0.0f);
                    screen_.placeBarMidpoint(data_, k);
                }
                return;
            }
        }
    };
    if (forward) {
        for (const Change& c : step.changes)
            applyOne(c, true);
    } else {
        for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it)
            applyOne(*it, false);
    }
}

bool Editor::undo() {
    const Step* s = history_->back();
    if (!s) return false;
    apply(*s, false);
    if (currentNode_ > data_.nodeCount) currentNode_ = nodeCursor_ = 0;
    if (currentBar_ > data_.barCount) currentBar_ = barCursor_ = 0;
    return true;
}

bool Editor::redo() {
    const Step* s = history_->forward();
    if (!s) return false;
    apply(*s, true);
    return true;
}

bool Editor::canUndo() const {
    return history_->canUndo();
}
bool Editor::canRedo() const {
    return history_->canRedo();
}

// ---- graphical editing ----

void Editor::PonQuitaBarra(int a, int b) {
    if (rubber_) {
        dib_.setPenMode(PenMode::Xor);
        dib_.setForeground(SelectionColour);
        dib_.line(pressX_, pressY_, (*rubber_)[0], (*rubber_)[1]);
        rubber_.reset();
    }
    dib_.setPenMode(PenMode::Copy);
    if (b == a || a < 1 || a > data_.nodeCount) return;
    Step step;
    if (b != 0) {
        if (a > b) std::swap(a, b);
        for (int k = 1; k <= data_.barCount; ++k) {
            const int o = itemNumber(data_.bars(k, Origin)), e = itemNumber(data_.bars(k, End));
            if (!((o == a && e == b) || (o == b && e == a))) continue;
            Change c{Change::Kind::RemoveBar};
            c.row = k;
            c.record.assign(data_.bars.row(k), data_.bars.row(k) + BarFieldCount + 1);
            step.changes.push_back(std::move(c));
            record(std::move(step));
            if (currentBar_ >= k) currentBar_ = barCursor_ = 0;
            if (shownBar_ >= k) shownBar_ = 0;
            dib_.setForeground(background);
            dib_.line(screen_.nodeU(a), screen_.nodeV(a), screen_.nodeU(b), screen_.nodeV(b));
            return;
        }
    } else {
        Change node{Change::Kind::AddNode};
        node.record = {data_.coordinates(a, 1) - 1, data_.coordinates(a, 2) + 1,
                       data_.coordinates(a, 3) + 1};
        step.changes.push_back(std::move(node));
        b = data_.nodeCount + 1;
    }
    Change bar{Change::Kind::AddBar};
    bar.record.assign(BarFieldCount + 1, 0.0f);
    bar.record[Origin] = float(a);
    bar.record[End] = float(b);
    bar.record[Type] = 1;
    bar.record[EmpOR] = 1;
    bar.record[EmpEX] = 1;
    step.changes.push_back(std::move(bar));
    record(std::move(step));
    drawBarLine(data_.barCount, ColBarra(1));
    const float u = screen_.nodeU(b), v = screen_.nodeV(b);
    if (b == data_.nodeCount && mode_ == Mode::Nodes) {
        dib_.setForeground(palette16(11));
        tag("data-node", b);
        dib_.fillBox(u - MarkSize, v - MarkSize, u + MarkSize, v + MarkSize);
    }
    if (mode_ == Mode::Bars) {
        const float mu = screen_.bars(data_.barCount, ScreenView::MidU);
        const float mv = screen_.bars(data_.barCount, ScreenView::MidV);
        dib_.setForeground(palette16(10));
        dib_.fillBox(mu - MarkSize, mv - MarkSize, mu + MarkSize, mv + MarkSize);
    }
}

void Editor::drawRubber(float x, float y) {
    if (pressed_ == Button::Left) {
        dib_.setForeground(zoomWindowMode ? palette16(ZoomColourIndex) : SelectionColour);
        dib_.rectangle(pressX_, pressY_, x, y);
    } else {
        dib_.setForeground(SelectionColour);
        dib_.line(pressX_, pressY_, x, y);
    }
}

void Editor::mouseDown(const PointerEvent& e) {
    if (panels_) panels_->takeOverEdits();
    float x = float(e.x), y = float(e.y);
    pressed_ = e.button;
    rubber_.reset();
    dragStart_ = 0;
    if (e.button == Button::Left && !multiple_ && !zoomWindowMode) {
        if (mode_ == Mode::Nodes)
            BuscaPunto(x, y);
        else
            BuscaBarra(x, y);
    }
    if (e.button == Button::Right) {
        const int n = PuntoCercano(x, y);
        if (n != 0) dragStart_ = n;
    }
    pressX_ = x, pressY_ = y;
    dib_.moveTo(x, y);
}

void Editor::mouseMove(const PointerEvent& e) {
    const bool left =
        pressed_ == Button::Left && e.held(Button::Left) && (multiple_ || zoomWindowMode);
    const bool right = pressed_ == Button::Right && e.held(Button::Right) && dragStart_ != 0;
    if (!left && !right) return;
    dib_.setPenMode(PenMode::Xor);
    if (rubber_) drawRubber((*rubber_)[0], (*rubber_)[1]);
    drawRubber(float(e.x), float(e.y));
    rubber_ = std::array<float, 2>{float(e.x), float(e.y)};
    dib_.setPenMode(PenMode::Copy);
}

void Editor::mouseUp(const PointerEvent& e) {
    const unsigned button = e.button;
    pressed_ = Button::None;
    if (button == Button::Right) {
        if (dragStart_ == 0) return;
        float x = float(e.x), y = float(e.y);
        const int b = PuntoCercano(x, y);
        const int a = dragStart_;
        dragStart_ = 0;
        PonQuitaBarra(a, b);
        return;
    }
    if (button != Button::Left) return;
    if (!zoomWindowMode && !multiple_) return;
    if (rubber_) {
        dib_.setPenMode(PenMode::Xor);
        pressed_ = Button::Left;
        drawRubber((*rubber_)[0], (*rubber_)[1]);
        pressed_ = Button::None;
        dib_.setPenMode(PenMode::Copy);
        rubber_.reset();
    }
    float x1 = pressX_, y1 = pressY_, x2 = float(e.x), y2 = float(e.y);
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (zoomWindowMode) {
        const auto z =
            screen_.zoomWindow(x1, y1, x2, y2, float(dib_.scaleWidth()), float(dib_.scaleHeight()));
        zoomWindowMode = false;
        zoomnum(1, z[0], z[1], z[2]);
        return;
    }
    if (x2 - x1 < Tolerance) x1 = x2 - Tolerance, x2 = x2 + Tolerance;
    if (y2 - y1 < Tolerance) y1 = y2 - Tolerance, y2 = y2 + Tolerance;
    auto inside = [&](float u, float v) { return u > x1 && u < x2 && v > y1 && v < y2; };
    if (mode_ == Mode::Nodes) {
        for (int n = 1; n <= data_.nodeCount; ++n) {
            if (!inside(screen_.nodeU(n), screen_.nodeV(n))) continue;
            float& flag = screen_.nodes(n, ScreenView::NodeSelected);
            flag = flag == 1 ? 0.0f : 1.0f;
            selectNodeMark(n);
        }
        refreshNodePanel(0);
        return;
    }
    for (int b = 1; b <= data_.barCount; ++b) {
        if (!inside(screen_.bars(b, ScreenView::MidU), screen_.bars(b, ScreenView::MidV))) continue;
        float& flag = screen_.bars(b, ScreenView::BarSelected);
        flag = flag == 1 ? 0.0f : 1.0f;
        drawBarLine(b, flag == 1 ? Highlight : ColBarra(data_.bars(b, Type)));
    }
    refreshBarPanel(0);
}

// ---- typing rules ----

std::string typeNameAsTyped(const std::string& text, int& cursor) {
    std::string cut = firstCharacters(text, TypeNameLength);
    std::string out;
    for (char c : cut) {
        if (c == ' ')
            out += "\xC2\xB7";  // ·
        else
            out += c;
    }
    cursor = std::min(cursor, int(characterCount(out)));
    return out;
}

std::optional<std::string> clampedFixity(const std::string& text) {
    std::string t = text;
    if (t.find_first_of("0123456789") == std::string::npos) return std::nullopt;
    const double v = ParseNumber(t);
    if (v < 0) return std::string("0");
    if (v > 1) return std::string("1");
    return std::nullopt;
}

std::string toggledRestraint(const std::string& text) {
    return isLibre(text) ? "0" : "Libre";
}

}  // namespace vanto::editor

namespace vanto::editor {

void drawAnglePicture(Surface& out, float angleDegrees) {
    const double W = out.scaleWidth(), H = out.scaleHeight();
    const double cu = W / 2, cv = H / 2 + H * 0.04, r = std::min(W, H) * 0.36;
    const double b = angleDegrees / 180.0 * 3.141593, c = std::cos(b), s = std::sin(b);
    // Screen images of the unturned (y0 up, z0 right) and turned local axes.
    const double y0[2] = {0, -1}, z0[2] = {1, 0};
    const double y[2] = {c * y0[0] + s * z0[0], c * y0[1] + s * z0[1]};
    const double z[2] = {c * z0[0] - s * y0[0], c * z0[1] - s * y0[1]};
    auto at = [&](double py, double pz, double& u, double& v) {
        u = cu + r * (py * y[0] + pz * z[0]);
        v = cv + r * (py * y[1] + pz * z[1]);
    };
    out.setBackground(rgb(255, 255, 255));
    out.clear();
    out.setFont({"Arial", 9, true});
    // Unturned axes, dashed grey.
    out.setForeground(palette16(8));
    out.setLineStyle(LineStyle::Dash);
    out.line(cu, cv, cu + 1.15 * r * y0[0], cv + 1.15 * r * y0[1]);
    out.line(cu, cv, cu + 1.15 * r * z0[0], cv + 1.15 * r * z0[1]);
    out.setLineStyle(LineStyle::Solid);
    out.text(cu + 1.15 * r * y0[0] - 60, cv + 1.15 * r * y0[1] - out.textHeight("y") - 20, "y0");
    out.text(cu + 1.15 * r * z0[0] - out.textWidth("z0"), cv + 40, "z0");
    // The section, an I with its web along local y.
    const double pts[][2] = {{0.5, -0.32},   {0.5, 0.32},    {0.42, 0.32},  {0.42, 0.04},
                             {-0.42, 0.04},  {-0.42, 0.32},  {-0.5, 0.32},  {-0.5, -0.32},
                             {-0.42, -0.32}, {-0.42, -0.04}, {0.42, -0.04}, {0.42, -0.32}};
    out.setForeground(palette16(1));
    out.setLineWidth(2);
    double u, v;
    at(pts[11][0], pts[11][1], u, v);
    out.moveTo(u, v);
    for (const auto& p : pts) {
        at(p[0], p[1], u, v);
        out.lineTo(u, v);
    }
    out.setLineWidth(1);
    // Turned axes with their labels.
    out.setForeground(palette16(12));
    out.line(cu, cv, cu + 1.15 * r * y[0], cv + 1.15 * r * y[1]);
    out.text(cu + 1.2 * r * y[0] + 40, cv + 1.2 * r * y[1] - 100, "y");
    out.setForeground(palette16(2));
    out.line(cu, cv, cu + 1.15 * r * z[0], cv + 1.15 * r * z[1]);
    out.text(cu + 1.2 * r * z[0], cv + 1.2 * r * z[1] + 20, "z");
    // The bar axis comes out of the picture.
    out.setForeground(0);
    out.circle(cu, cv, r * 0.07, rgb(255, 255, 255));
    out.circle(cu, cv, r * 0.02, 0);
    out.text(cu - r * 0.3, cv + r * 0.08, "x");
    // The angle, from y0 towards z0.
    out.setForeground(palette16(5));
    const double ra = r * 0.75;
    out.moveTo(cu, cv - ra);
    for (int i = 1; i <= 16; ++i) {
        const double t = b * i / 16;
        out.lineTo(cu + ra * std::sin(t), cv - ra * std::cos(t));
    }
    out.text(cu + ra * std::sin(b / 2) + 40, cv - ra * std::cos(b / 2) - 160, "\xCE\xB2");  // β
    out.setForeground(0);
    out.setFont({"Arial", 8, false});
    out.text(80, H - out.textHeight("Á") - 60, "\xC3\x81ngulo \xCE\xB2: giro de y, z sobre x");
}

}  // namespace vanto::editor
