#include "editor/drawing.h"

#include <functional>
#include <string>
#include <vector>

#include "view/grid.h"

namespace vanto::editor {

namespace {

using view::ScreenPoint;

struct Area {
    float W, H;
    explicit Area(const Surface& s) : W(float(s.scaleWidth())), H(float(s.scaleHeight())) {}
    bool inside(ScreenPoint p) const { return p.u >= 0 && p.u <= W && p.v >= 0 && p.v <= H; }
    // Whether a line a–b may show: not both ends beyond one side.
    bool mayShow(ScreenPoint a, ScreenPoint b) const {
        return !((a.u < 0 && b.u < 0) || (a.u > W && b.u > W) || (a.v < 0 && b.v < 0) ||
                 (a.v > H && b.v > H));
    }
};

void tag(view::ItemTags* tags, const char* attribute, int number) {
    if (tags) tags->nextItem(attribute, number);
}

// DibujaNu: load and restraint symbols, then the node marks.
void DibujaNu(Surface& dib, const Structure& s, const view::ScreenView& screen,
              const DrawOptions& o, view::ItemTags* tags) {
    const Area area(dib);
    if (o.HScal != 0)
        for (int n = 1; n <= s.nodeCount; ++n)
            if (area.inside(screen.node(n)))
                view::drawNodeSymbols(dib, screen.node(n), screen.globalAxes(),
                                      detailLength(o.HScal), s.loads.row(n), s.restraints.row(n),
                                      {});
    for (int n = 1; n <= s.nodeCount; ++n) {
        if (!area.inside(screen.node(n))) continue;
        tag(tags, "data-node", n);
        drawItemMark(dib, screen.node(n), 11);
    }
}

// A bar's end fixity marks: towards the middle from the end whose fixity is
// below 1, Palette16 12 when pinned, 14 when partly fixed. EmpOR belongs to
// the lower-numbered node i.
void drawFixities(Surface& dib, ScreenPoint A, ScreenPoint B, ScreenPoint p, const float* bar) {
    for (int end = 0; end < 2; ++end) {
        const float fixity = bar[end == 0 ? EmpOR : EmpEX];
        if (!(fixity < 1)) continue;
        dib.setForeground(palette16(fixity < 0.0001f ? 12 : 14));
        const ScreenPoint from = end == 0 ? A : B;
        const float k = end == 0 ? 0.7f : -0.7f;
        dib.line(from.u, from.v, from.u + k * p.u, from.v + k * p.v);
    }
}

// DibujaBa: bar marks and local axes, loads and end fixities.
void DibujaBa(Surface& dib, const Structure& s, const view::ScreenView& screen,
              const DrawOptions& o) {
    const Area area(dib);
    const float detail = detailLength(o.HScal);
    for (int b = 1; b <= s.barCount; ++b) {
        const auto ends = view::barEnds(s, b);
        if (!ends) continue;
        const ScreenPoint M = screen.midpoint(b);
        const view::BarAxes& axes = screen.barAxes(b);
        if (area.inside(M)) {
            if (o.localAxes) view::drawLocalAxes(dib, M, axes, detail, {});
            drawItemMark(dib, M, 10);
        }
        const ScreenPoint A = screen.node(ends->i), B = screen.node(ends->j);
        if (!area.mayShow(A, B)) continue;
        view::drawBarLoads(dib, A, B, axes, screen.globalAxes()[2], detail, s.bars.row(b), {});
        drawFixities(dib, A, B, {axes[0].u * detail, axes[0].v * detail}, s.bars.row(b));
    }
}

void numberItems(Surface& dib, int count, const std::function<ScreenPoint(int)>& at, int box,
                 int ink) {
    dib.setFont({"Courier New", 6, false});
    const Area area(dib);
    for (int i = 1; i <= count; ++i) {
        const std::string t = std::to_string(i);
        const float x0 = at(i).u - MarkSize, y0 = at(i).v - MarkSize;
        if (!(x0 > 0 && x0 < area.W && y0 > 0 && y0 < area.H)) continue;
        dib.setForeground(palette16(box));
        dib.fillBox(x0, y0, x0 + float(t.size()) * MarkSize * 6.5f, y0 + MarkSize);
        dib.setForeground(palette16(ink));
        dib.text(x0 + MarkSize, y0 - 1.2, t);
    }
}

void nodeCircle(Surface& overlay, ScreenPoint at) {
    overlay.setForeground(MarkOutline);
    overlay.circle(at.u, at.v, 2 * ScreenMarkSize, SelectionColour);
}

}  // namespace

void drawItemMark(Surface& out, ScreenPoint at, int paletteIndex) {
    out.setForeground(palette16(paletteIndex));
    out.fillBox(at.u - ScreenMarkSize, at.v - ScreenMarkSize, at.u + ScreenMarkSize,
                at.v + ScreenMarkSize);
}

void drawBarLine(Surface& out, const Structure& s, const view::ScreenView& screen, int b,
                 Colour colour, view::ItemTags* tags) {
    const auto ends = view::barEnds(s, b);
    if (!ends) return;
    const ScreenPoint a = screen.node(itemNumber(s.bars(b, Origin)));
    const ScreenPoint e = screen.node(itemNumber(s.bars(b, End)));
    out.setForeground(colour);
    tag(tags, "data-bar", b);
    out.line(a.u, a.v, e.u, e.v);
}

void DibujaEstr(Surface& dib, const Structure& s, const view::ScreenView& screen,
                const DrawOptions& o, view::ItemTags* tags) {
    dib.setPenMode(PenMode::Copy);
    dib.setBackground(o.background);
    dib.clear();
    const Area area(dib);
    view::drawGrid(dib, screen.view(), o.gridStep, area.W, area.H);
    for (int b = 1; b <= s.barCount; ++b) {
        const auto ends = view::barEnds(s, b);
        if (!ends || !area.mayShow(screen.node(ends->i), screen.node(ends->j))) continue;
        drawBarLine(dib, s, screen, b, view::ColBarra(s.bars(b, Type)), tags);
    }
    if (o.mode == Mode::Nodes)
        DibujaNu(dib, s, screen, o, tags);
    else
        DibujaBa(dib, s, screen, o);
}

void numberNodes(Surface& dib, const Structure& s, const view::ScreenView& screen) {
    numberItems(
        dib, s.nodeCount, [&](int n) { return screen.node(n); }, 1, 11);
}

void numberBars(Surface& dib, const Structure& s, const view::ScreenView& screen) {
    numberItems(
        dib, s.barCount, [&](int b) { return screen.midpoint(b); }, 2, 10);
}

void drawMarks(Surface& overlay, const Structure& s, const view::ScreenView& screen,
               const Selection& picked) {
    overlay.setPenMode(PenMode::Copy);
    overlay.setLineStyle(LineStyle::Solid);
    const Mode m = picked.mode();
    const int count = m == Mode::Nodes ? s.nodeCount : s.barCount;
    const auto items =
        picked.multiple() ? picked.targets(m, count) : std::vector<int>{picked.current(m)};
    for (int item : items) {
        if (item < 1 || item > count) continue;
        if (m == Mode::Nodes)
            nodeCircle(overlay, screen.node(item));
        else
            drawBarLine(overlay, s, screen, item, Highlight);
    }
}

}  // namespace vanto::editor
