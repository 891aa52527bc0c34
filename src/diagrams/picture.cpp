#include "diagrams/picture.h"

#include <algorithm>
#include <cmath>

#include "diagrams/bar_detail.h"
#include "view/page.h"
#include "view/symbols.h"
#include "view/zoom_window.h"

namespace vanto::diagrams {

using view::ScreenPoint;

double diagramScaleOf(int v) {
    return v < 100 ? v / 100.0 : (v - 90) / 10.0;
}

DiagramPicture::DiagramPicture(DiagramData data, Structure structure)
    : data_(std::move(data)), structure_(std::move(structure)) {}

DiagramPicture DiagramPicture::load(const std::filesystem::path& dir) {
    DiagramData data = loadDiagramData(dir);
    return DiagramPicture(std::move(data), loadStructure<float>(dir, part::All));
}

void DiagramPicture::Perspec(int index, float W, float H) {
    screen_.Perspec(index);
    Paso2D(W, H);
}

void DiagramPicture::Paso2D(float W, float H) {
    screen_.Paso2D(structure_, W, H);
}

void DiagramPicture::zoomnum(int mode, float W, float H) {
    screen_.zoomnum(mode);
    Paso2D(W, H);
}

void DiagramPicture::zoomInto(const std::array<float, 3>& window, float W, float H) {
    view::zoomInto(screen_, window);
    Paso2D(W, H);
}

namespace {

struct Area {
    double W, H;
    explicit Area(const Surface& s) : W(s.scaleWidth()), H(s.scaleHeight()) {}
    bool inside(double u, double v) const { return u >= 0 && u <= W && v >= 0 && v <= H; }
};

}  // namespace

void DiagramPicture::DibujaEstr(Surface& s, double c, const PictureOptions& o, bool printer,
                                double z) const {
    s.setPenMode(PenMode::Copy);
    s.setLineStyle(LineStyle::Solid);
    if (!printer) {
        s.setBackground(0);
        s.clear();
    }
    const Area area(s);
    s.setForeground(BarColour);
    for (int b = 1; b <= structure_.barCount; ++b) {
        const auto ends = view::barEnds(structure_, b);
        if (!ends) continue;
        const double ua = screen_.node(ends->i).u * c, va = screen_.node(ends->i).v * c;
        const double ub = screen_.node(ends->j).u * c, vb = screen_.node(ends->j).v * c;
        if ((ua < 0 && ub < 0) || (ua > area.W && ub > area.W) || (va < 0 && vb < 0) ||
            (va > area.H && vb > area.H))
            continue;
        if (o.types) s.setForeground(view::ColBarra(structure_.bars(b, Type)));
        s.line(ua, va, ub, vb);
    }
    DibujaNu(s, c, o, z);
    if (!printer) DibujaBa(s, o);
    s.setLineStyle(LineStyle::Solid);
    for (const DiagramKind& k : DiagramKinds)
        if (o.codes.find(k.code) != std::string::npos) DiagramaDib(k.code, s, c, o.S);
    if (o.nodeNumbers) numberLabels(s, screen_.nodes(), Numbered::Nodes, z, c, printer);
    if (o.barNumbers) numberLabels(s, screen_.midpoints(), Numbered::Bars, z, c, printer);
}

void DiagramPicture::DibujaNu(Surface& s, double c, const PictureOptions& o, double z) const {
    const Area area(s);
    if (o.HScal != 0 && (o.loads || o.restraints)) {
        const view::SymbolOptions symbols{float(c), std::nullopt, o.loads, o.restraints};
        const float detail = float(o.HScal) / 50;
        for (int n = 1; n <= structure_.nodeCount; ++n) {
            const ScreenPoint P{float(screen_.node(n).u * c), float(screen_.node(n).v * c)};
            if (!area.inside(P.u, P.v)) continue;
            view::drawNodeSymbols(s, P, screen_.globalAxes(), detail, structure_.loads.row(n),
                                  structure_.restraints.row(n), symbols);
        }
    }
    s.setForeground(palette16(11));
    for (int n = 1; n <= structure_.nodeCount; ++n) {
        const double u = screen_.node(n).u * c, v = screen_.node(n).v * c;
        if (area.inside(float(u), float(v))) s.fillBox(u - z, v - z, u + z, v + z);
    }
}

void DiagramPicture::DibujaBa(Surface& s, const PictureOptions& o) const {
    const Area area(s);
    const float detail = float(o.HScal) / 50;
    const float z = float(ScreenMarkSize);
    for (int b = 1; b <= structure_.barCount; ++b) {
        const ScreenPoint M = screen_.midpoint(b);
        if (!area.inside(M.u, M.v)) continue;
        s.setForeground(palette16(10));
        s.fillBox(M.u - z, M.v - z, M.u + z, M.v + z);
        if (o.localAxes) view::drawLocalAxes(s, M, screen_.barAxes(b), detail, {});
        const auto ends = view::barEnds(structure_, b);
        if (o.loads && ends)
            view::drawBarLoads(s, screen_.node(ends->i), screen_.node(ends->j), screen_.barAxes(b),
                               screen_.globalAxes()[2], detail, structure_.bars.row(b), {});
    }
}

void DiagramPicture::print(Surface& page, const Surface& screen, const PictureOptions& o,
                           int percent, const std::string& title) const {
    const view::PageLayout layout = view::pageLayout(screen, page, percent);
    DibujaEstr(page, layout.scale(), o, true, std::floor(ScreenMarkSize * layout.fit * 0.5));
    page.setForeground(0);
    page.setFont({"Arial", 10, false});
    page.text(0, 0.92 * page.scaleHeight(), title);
}

namespace {

// Half a pixel of a 96-dpi screen: points of a diagram closer than this to
// the line that replaces them are left out, which keeps dense structures
// quick to draw and looks the same.
constexpr double SmallestDetailTwips = 7.5;

using Point2 = std::array<double, 2>;

// Whether p lies within tol of the segment a–b (tol2 = tol²), without roots
// or divisions: this runs for every point of every diagram.
bool nearSegment(const Point2& p, const Point2& a, const Point2& b, double tol2) {
    const double dx = b[0] - a[0], dy = b[1] - a[1];
    const double wx = p[0] - a[0], wy = p[1] - a[1];
    const double t = wx * dx + wy * dy, len2 = dx * dx + dy * dy;
    if (t <= 0) return wx * wx + wy * wy <= tol2;
    if (t >= len2) {
        const double ex = p[0] - b[0], ey = p[1] - b[1];
        return ex * ex + ey * ey <= tol2;
    }
    const double cross = wx * dy - wy * dx;
    return cross * cross <= tol2 * len2;
}

// The polyline p[0..n) from the current point p[0], each run of points that
// stays within `tol` of its chord drawn as that chord.
void drawPolyline(Surface& s, const Point2* p, std::size_t n, double tol) {
    const double tol2 = tol * tol;
    std::size_t a = 0;
    while (a + 1 < n) {
        std::size_t b = a + 1;
        for (; b + 1 < n; ++b) {
            bool straight = true;
            for (std::size_t k = a + 1; k <= b && straight; ++k)
                straight = nearSegment(p[k], p[a], p[b + 1], tol2);
            if (!straight) break;
        }
        s.lineTo(p[b][0], p[b][1]);
        a = b;
    }
}

}  // namespace

const std::vector<DiagramPicture::Projected>& DiagramPicture::projected(std::size_t kind) const {
    KindCache& cache = cache_[kind];
    const view::ViewRows& rows = screen_.view().rows;
    if (cache.valid && cache.rows.right == rows.right && cache.rows.up == rows.up)
        return cache.points;
    const char code = DiagramKinds[kind].code;
    const std::size_t per = code == 'D' ? 11 : 13;
    cache.points.assign(per * std::size_t(data_.barCount), {});
    const view::View unit(rows);
    auto place = [&](Projected& q, const Vec3& at0, const Vec3& at1) {
        float u, v, du, dv;
        unit.axo3d2dj(0, 0, 1, float(at0[0]), float(at0[1]), float(at0[2]), u, v);
        unit.axo3d2dj(0, 0, 1, float(at1[0] - at0[0]), float(at1[1] - at0[1]),
                      float(at1[2] - at0[2]), du, dv);
        q = {u, v, du, dv};
    };
    for (int b = 1; b <= data_.barCount; ++b) {
        const DiagramBar& bar = data_.bars[std::size_t(b)];
        Projected* q = &cache.points[per * std::size_t(b - 1)];
        if (code == 'D') {
            const auto s0 = deformedShape(data_, bar, 0), s1 = deformedShape(data_, bar, 1);
            for (std::size_t k = 0; k < per; ++k)
                place(q[k], s0[k], s1[k]);
        } else {
            const auto o0 = diagramOutline(bar, code, 0), o1 = diagramOutline(bar, code, 1);
            for (std::size_t k = 0; k < per; ++k)
                place(q[k], o0[k], o1[k]);
        }
    }
    cache.rows = rows;
    cache.valid = true;
    return cache.points;
}

void DiagramPicture::DiagramaDib(char code, Surface& s, double c, double S) const {
    const DiagramKind& kind = diagramKind(code);
    const std::size_t index = std::size_t(&kind - DiagramKinds.data());
    const std::vector<Projected>& points = projected(index);
    const std::size_t per = code == 'D' ? 11 : 13;
    const double W = s.scaleWidth(), H = s.scaleHeight();
    const double tol = SmallestDetailTwips * std::abs(W / s.widthTwips());
    const view::View& shown = screen_.view();
    s.setPenMode(PenMode::Copy);
    s.setLineStyle(LineStyle::Solid);
    s.setForeground(kind.colour);
    std::array<Point2, 13> p{};
    for (int b = 1; b <= data_.barCount; ++b) {
        const Projected* q = &points[per * std::size_t(b - 1)];
        double umin = 0, umax = 0, vmin = 0, vmax = 0;
        for (std::size_t k = 0; k < per; ++k) {
            const float u = q[k].u + float(S) * q[k].du;
            const float v = q[k].v + float(S) * q[k].dv;
            p[k] = {(shown.hm1 + shown.esc * u) * c, (shown.hm2 + shown.esc * v) * c};
            if (k == 0) {
                umin = umax = p[0][0], vmin = vmax = p[0][1];
            } else {
                umin = std::min(umin, p[k][0]), umax = std::max(umax, p[k][0]);
                vmin = std::min(vmin, p[k][1]), vmax = std::max(vmax, p[k][1]);
            }
        }
        // A figure wholly beyond one side of the surface draws nothing.
        if (umax < 0 || umin > W || vmax < 0 || vmin > H) continue;
        if (code == 'D') s.point(p[0][0], p[0][1]);
        s.moveTo(p[0][0], p[0][1]);
        drawPolyline(s, p.data(), per, tol);
    }
}

}  // namespace vanto::diagrams
