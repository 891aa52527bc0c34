#include "editor/printing.h"

#include "view/page.h"

namespace vanto::editor {

namespace {

using view::ScreenPoint;

struct Page {
    double W, H;
    bool inside(ScreenPoint p) const { return p.u >= 0 && p.u <= W && p.v >= 0 && p.v <= H; }
    bool mayShow(ScreenPoint a, ScreenPoint b) const {
        return !((a.u < 0 && b.u < 0) || (a.u > W && b.u > W) || (a.v < 0 && b.v < 0) ||
                 (a.v > H && b.v > H));
    }
};

void blackBox(Surface& page, ScreenPoint at, float half) {
    page.setForeground(0);
    page.fillBox(at.u - half, at.v - half, at.u + half, at.v + half);
}

}  // namespace

void printStructure(Surface& page, const Editor& editor, const PrintOptions& o) {
    const Structure& s = editor.data();
    const view::ScreenView& screen = editor.screen();
    const Page area{page.scaleWidth(), page.scaleHeight()};
    const float f = float(view::pageLayout(editor.dib(), page, o.percent).scale());
    auto node = [&](int n) { return ScreenPoint{screen.node(n).u * f, screen.node(n).v * f}; };
    page.setPenMode(PenMode::Copy);
    page.setForeground(0);
    for (int b = 1; b <= s.barCount; ++b) {
        const auto ends = view::barEnds(s, b);
        if (!ends || !area.mayShow(node(ends->i), node(ends->j))) continue;
        page.line(node(ends->i).u, node(ends->i).v, node(ends->j).u, node(ends->j).v);
    }
    const float half = 0.6f * MarkSize * f;
    const float detail = detailLength(editor.drawOptions().HScal);
    const view::SymbolOptions symbols{f, Colour(0), o.loads, o.restraints};
    for (int n = 1; n <= s.nodeCount; ++n) {
        if (!area.inside(node(n))) continue;
        blackBox(page, node(n), half);
        if (editor.drawOptions().HScal != 0)
            view::drawNodeSymbols(page, node(n), screen.globalAxes(), detail, s.loads.row(n),
                                  s.restraints.row(n), symbols);
    }
    for (int b = 1; b <= s.barCount; ++b) {
        const auto ends = view::barEnds(s, b);
        const ScreenPoint M{screen.midpoint(b).u * f, screen.midpoint(b).v * f};
        if (!ends || !area.inside(M)) continue;
        if (o.localAxes) {
            view::drawLocalAxes(page, M, screen.barAxes(b), detail, symbols);
            blackBox(page, M, half);
        }
        if (o.loads)
            view::drawBarLoads(page, node(ends->i), node(ends->j), screen.barAxes(b),
                               screen.globalAxes()[2], detail, s.bars.row(b), symbols);
    }
}

}  // namespace vanto::editor
