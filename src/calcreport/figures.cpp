#include "calcreport/figures.h"

#include <algorithm>
#include <cmath>

#include "diagrams/paper.h"
#include "view/symbols.h"

namespace vanto::calcreport {

namespace {

// Half-sides of the node marks, twips: with their symbols on the structure's
// figure, small under a diagram.
constexpr double NodeMark = 22, SmallNodeMark = 10;
// Detail scale of the supports and loads: symbols 0.6 m long.
constexpr int SymbolScale = 30;

}  // namespace

ReportFigures::ReportFigures(const diagrams::DiagramData& data, Structure structure)
    : picture_(data, std::move(structure)), view_(diagrams::openingView(picture_.structure())) {}

const char* ReportFigures::viewCaption() const {
    return view::FixedViews[std::size_t(view_)].caption;
}

void ReportFigures::fit(Surface& page, const Box& area) {
    // The picture draws from (0, 0): the area's top left corner.
    page.setScale(-area.left, -area.top, page.widthTwips(), page.heightTwips());
    picture_.Perspec(view_, float(area.width), float(area.height));
}

void ReportFigures::structure(Surface& page, const Box& area) {
    fit(page, area);
    diagrams::PaperSurface paper(page);
    paper.setLineWidth(1);
    diagrams::PictureOptions o;
    o.HScal = SymbolScale;
    o.loads = o.restraints = true;
    picture_.DibujaEstr(paper, 1, o, true, detailed() ? NodeMark : 0);
    if (!detailed()) return;
    // The window draws the bars' loads on the screen only.
    const view::ScreenView& sv = picture_.screen();
    const Structure& s = picture_.structure();
    for (int b = 1; b <= s.barCount; ++b) {
        const auto ends = view::barEnds(s, b);
        if (!ends) continue;
        view::drawBarLoads(paper, sv.node(ends->i), sv.node(ends->j), sv.barAxes(b),
                           sv.globalAxes()[2], float(SymbolScale) / 50, s.bars.row(b), {});
    }
    diagrams::paperNumberLabels(page, sv.nodes(), diagrams::Numbered::Nodes, 1);
    diagrams::paperNumberLabels(page, sv.midpoints(), diagrams::Numbered::Bars, 1);
}

void ReportFigures::diagram(Surface& page, const Box& area, char code, double S,
                            const diagrams::KindExtremes& e, const std::string& unit) {
    fit(page, area);
    diagrams::PaperSurface structureInk(page, rgb(0, 0, 0));
    structureInk.setLineWidth(1);
    diagrams::PictureOptions o;
    o.HScal = 0;
    picture_.DibujaEstr(structureInk, 1, o, true, detailed() ? SmallNodeMark : 0);
    diagrams::PaperSurface paper(page);
    picture_.DiagramaDib(code, paper, 1, S);
    const double scale = code == 'D' ? 100 : 1;
    if (code == 'D' || e.max.value == e.min.value) {
        markExtreme(page, area, code, S, e.max, fixedText(e.max.value * scale, 3) + " " + unit);
        return;
    }
    markExtreme(page, area, code, S, e.max, "máx. " + fixedText(e.max.value, 3) + " " + unit);
    markExtreme(page, area, code, S, e.min, "mín. " + fixedText(e.min.value, 3) + " " + unit);
}

void ReportFigures::markExtreme(Surface& page, const Box& area, char code, double S,
                                const diagrams::Extreme& e, const std::string& label) {
    const diagrams::DiagramData& data = picture_.data();
    if (e.bar < 1 || e.bar > data.barCount) return;
    const diagrams::DiagramBar& bar = data.bars[std::size_t(e.bar)];
    Vec3 p{};
    if (code == 'D') {
        const double L = bar.in.L > 0 ? bar.in.L : 1;
        const auto k = std::size_t(std::clamp(std::lround(e.x / L * 10), 0L, 10L));
        p = diagrams::deformedShape(data, bar, S)[k];
    } else {
        const diagrams::DiagramKind& kind = diagrams::diagramKind(code);
        const Vec3& side = bar.axes[kind.side < 0 ? 1 : 2];
        const double offset = (kind.side < 0 ? -1.0 : 1.0) * S * e.value;
        for (int a = 0; a < 3; ++a)
            p[a] = bar.p1[a] + e.x * bar.axes[0][a] + offset * side[a];
    }
    float u = 0, v = 0;
    picture_.screen().view().axo3d2d(float(p[0]), float(p[1]), float(p[2]), u, v);
    if (!std::isfinite(u) || !std::isfinite(v)) return;
    page.setPenMode(PenMode::Copy);
    page.setLineStyle(LineStyle::Solid);
    page.setLineWidth(1);
    page.setForeground(rgb(0, 0, 0));
    page.circle(u, v, 28, rgb(0, 0, 0));
    page.setFont({"Arial", 8, true});
    const double w = page.textWidth(label), h = page.textHeight(label);
    // Right of the mark, or left of it at the area's right edge.
    const double x = u + 80 + w > area.width ? u - 80 - w : u + 80;
    const double y = std::clamp(double(v) - h - 40, 0.0, std::max(0.0, area.height - h));
    page.setForeground(rgb(255, 255, 255));
    page.fillBox(x - 30, y, x + w + 30, y + h);
    page.setForeground(rgb(0, 0, 0));
    page.text(x, y, label);
}

}  // namespace vanto::calcreport
