#include "editor/printing.h"

namespace vanto::editor {

double pageFactor(double W, double H, double PW, double PH, int percent) {
    const double f = H / PH > W / PW ? PH / H : PW / W;
    return f * percent / 100.0;
}

void printStructure(Surface& page, const Editor& editor, const PrintOptions& o) {
    const Structure& s = editor.data();
    const ScreenView& screen = editor.screen();
    const double PW = page.scaleWidth(), PH = page.scaleHeight();
    const float f =
        float(pageFactor(editor.dib().scaleWidth(), editor.dib().scaleHeight(), PW, PH, o.percent));
    const Colour black = 0;
    auto inside = [&](float u, float v) { return u >= 0 && u <= PW && v >= 0 && v <= PH; };
    auto node = [&](int n) { return ScreenPoint{screen.nodeU(n) * f, screen.nodeV(n) * f}; };
    auto valid = [&](int n) { return n >= 1 && n <= s.nodeCount; };
    page.setPenMode(PenMode::Copy);
    page.setForeground(black);
    for (int b = 1; b <= s.barCount; ++b) {
        const int a = itemNumber(s.bars(b, Origin)), e = itemNumber(s.bars(b, End));
        if (!valid(a) || !valid(e)) continue;
        const ScreenPoint A = node(a), B = node(e);
        if ((A.u < 0 && B.u < 0) || (A.u > PW && B.u > PW) || (A.v < 0 && B.v < 0) ||
            (A.v > PH && B.v > PH))
            continue;
        page.line(A.u, A.v, B.u, B.v);
    }
    const float half = 0.6f * Editor::MarkSize * f;
    const float detail = editor.detailLength();
    const SymbolOptions symbols{f, black, o.loads, o.restraints};
    for (int n = 1; n <= s.nodeCount; ++n) {
        const ScreenPoint P = node(n);
        if (!inside(P.u, P.v)) continue;
        page.setForeground(black);
        page.fillBox(P.u - half, P.v - half, P.u + half, P.v + half);
        if (editor.HScal != 0)
            drawNodeSymbols(page, P, screen.axes, detail, s.loads.row(n), s.restraints.row(n),
                            symbols);
    }
    for (int b = 1; b <= s.barCount; ++b) {
        const int a = itemNumber(s.bars(b, Origin)), e = itemNumber(s.bars(b, End));
        if (!valid(a) || !valid(e)) continue;
        const float* row = screen.bars.row(b);
        const ScreenPoint M{row[ScreenView::MidU] * f, row[ScreenView::MidV] * f};
        if (!inside(M.u, M.v)) continue;
        if (o.localAxes) {
            drawLocalAxes(page, M, row, detail, symbols);
            page.setForeground(black);
            page.fillBox(M.u - half, M.v - half, M.u + half, M.v + half);
        }
        if (o.loads)
            drawBarLoads(page, node(a), node(e), row, screen.axes[2], detail, s.bars.row(b),
                         symbols);
    }
}

}  // namespace vanto::editor
