#include "diagrams/picture.h"

#include <algorithm>
#include <cmath>

#include "diagrams/bar_detail.h"
#include "editor/editor.h"

namespace vanto::diagrams {

using editor::ScreenPoint;
using editor::ScreenView;

double diagramScaleOf(int v) {
    return v < 100 ? v / 100.0 : (v - 90) / 10.0;
}

DiagramPicture::DiagramPicture(DiagramData data, Structure structure)
    : data_(std::move(data)), structure_(std::move(structure)) {}

DiagramPicture DiagramPicture::load(const std::filesystem::path& dir) {
    DiagramData data = loadDiagramData(dir);
    return DiagramPicture(std::move(data), loadStructure<float>(dir, part::All));
}

void DiagramPicture::Paso2D(float W, float H) {
    const editor::View& v = screen_.view;
    screen_.Paso2D(structure_, v.hm1, v.hm2, v.esc, W, H);
}

void DiagramPicture::zoomnum(int mode, float W, float H, double a1, double a2, double esc0) {
    screen_.zoomnum(mode, a1, a2, esc0);
    Paso2D(W, H);
    const editor::View& v = screen_.view;
    while (!(std::isfinite(v.esc) && std::isfinite(v.hm1) && std::isfinite(v.hm2) &&
             std::abs(v.hm1) < 1e15f && std::abs(v.hm2) < 1e15f) &&
           screen_.depth() > 0) {
        screen_.zoomnum(-1);
        Paso2D(W, H);
    }
}

std::array<float, 3> DiagramPicture::zoomWindow(float x1, float y1, float x2, float y2, float W,
                                                float H) const {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    // A click without dragging would divide by zero.
    if (x2 == x1 || y2 == y1) return screen_.zoomWindow(x1, y1, x2, y2, W, H);
    const auto [u1, v1] = screen_.view.unscaled(x1, y1);
    const auto [u2, v2] = screen_.view.unscaled(x2, y2);
    const float w = u2 - u1, h = v2 - v1;
    const float e = h / H > w / W ? H / h : W / w;
    return {(W - w * e) / 2 - u1 * e, (H - h * e) / 2 - v1 * e, e};
}

std::vector<std::array<float, 2>> DiagramPicture::midpoints() const {
    std::vector<std::array<float, 2>> m(std::size_t(data_.barCount) + 1);
    for (int b = 1; b <= data_.barCount; ++b)
        m[std::size_t(b)] = {screen_.bars(b, ScreenView::MidU), screen_.bars(b, ScreenView::MidV)};
    return m;
}

std::vector<std::array<float, 2>> DiagramPicture::nodePositions() const {
    std::vector<std::array<float, 2>> p(std::size_t(data_.nodeCount) + 1);
    for (int n = 1; n <= data_.nodeCount; ++n)
        p[std::size_t(n)] = {screen_.nodeU(n), screen_.nodeV(n)};
    return p;
}

void DiagramPicture::DibujaEstr(Surface& s, double c, const PictureOptions& o, bool printer,
                                double z) const {
    s.setPenMode(PenMode::Copy);
    s.setLineStyle(LineStyle::Solid);
    if (!printer) {
        s.setBackground(0);
        s.clear();
    }
    const double W = s.scaleWidth(), H = s.scaleHeight();
    s.setForeground(BarColour);
    for (int b = 1; b <= structure_.barCount; ++b) {
        const int i = itemNumber(structure_.bars(b, Origin));
        const int j = itemNumber(structure_.bars(b, End));
        const double ua = screen_.nodeU(i) * c, va = screen_.nodeV(i) * c;
        const double ub = screen_.nodeU(j) * c, vb = screen_.nodeV(j) * c;
        if ((ua < 0 && ub < 0) || (ua > W && ub > W) || (va < 0 && vb < 0) || (va > H && vb > H))
            continue;
        if (o.types) s.setForeground(editor::Editor::ColBarra(structure_.bars(b, Type)));
        s.line(ua, va, ub, vb);
    }
    DibujaNu(s, c, o, z);
    if (!printer) DibujaBa(s, o);
    s.setLineStyle(LineStyle::Solid);
    for (const DiagramKind& k : DiagramKinds)
        if (o.codes.find(k.code) != std::string::npos) DiagramaDib(k.code, s, c, o.S);
    if (o.nodeNumbers) numberLabels(s, nodePositions(), Numbered::Nodes, z, c, printer);
    if (o.barNumbers) numberLabels(s, midpoints(), Numbered::Bars, z, c, printer);
}

void DiagramPicture::DibujaNu(Surface& s, double c, const PictureOptions& o, double z) const {
    const double W = s.scaleWidth(), H = s.scaleHeight();
    auto inside = [&](float u, float v) { return u >= 0 && u <= W && v >= 0 && v <= H; };
    if (o.HScal != 0 && (o.loads || o.restraints)) {
        const editor::SymbolOptions symbols{float(c), std::nullopt, o.loads, o.restraints};
        const float detail = float(o.HScal) / 50;
        for (int n = 1; n <= structure_.nodeCount; ++n) {
            const ScreenPoint P{float(screen_.nodeU(n) * c), float(screen_.nodeV(n) * c)};
            if (!inside(P.u, P.v)) continue;
            editor::drawNodeSymbols(s, P, screen_.axes, detail, structure_.loads.row(n),
                                    structure_.restraints.row(n), symbols);
        }
    }
    s.setForeground(palette16(11));
    for (int n = 1; n <= structure_.nodeCount; ++n) {
        const double u = screen_.nodeU(n) * c, v = screen_.nodeV(n) * c;
        if (inside(float(u), float(v))) s.fillBox(u - z, v - z, u + z, v + z);
    }
}

void DiagramPicture::DibujaBa(Surface& s, const PictureOptions& o) const {
    const double W = s.scaleWidth(), H = s.scaleHeight();
    const float detail = float(o.HScal) / 50;
    const float z = float(ScreenMarkSize);
    for (int b = 1; b <= structure_.barCount; ++b) {
        const float* row = screen_.bars.row(b);
        const ScreenPoint M{row[ScreenView::MidU], row[ScreenView::MidV]};
        if (!(M.u >= 0 && M.u <= W && M.v >= 0 && M.v <= H)) continue;
        s.setForeground(palette16(10));
        s.fillBox(M.u - z, M.v - z, M.u + z, M.v + z);
        if (o.localAxes) editor::drawLocalAxes(s, M, row, detail, {});
        if (o.loads) {
            const int i = itemNumber(structure_.bars(b, Origin));
            const int j = itemNumber(structure_.bars(b, End));
            editor::drawBarLoads(s, {screen_.nodeU(i), screen_.nodeV(i)},
                                 {screen_.nodeU(j), screen_.nodeV(j)}, row, screen_.axes[2], detail,
                                 structure_.bars.row(b), {});
        }
    }
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
    const editor::ViewRows& rows = screen_.view.rows;
    if (cache.valid && cache.rows.right == rows.right && cache.rows.up == rows.up)
        return cache.points;
    const char code = DiagramKinds[kind].code;
    const std::size_t per = code == 'D' ? 11 : 13;
    cache.points.assign(per * std::size_t(data_.barCount), {});
    const editor::View unit(rows);
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
    const editor::View& view = screen_.view;
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
            p[k] = {(view.hm1 + view.esc * u) * c, (view.hm2 + view.esc * v) * c};
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
