#include "diagrams/picture.h"

#include <algorithm>
#include <cmath>

#include "diagrams/bar_detail.h"
#include "diagrams/extremes.h"
#include "view/page.h"
#include "view/symbols.h"
#include "view/zoom_window.h"

namespace vanto::diagrams {

using view::ScreenPoint;

double diagramScaleOf(int v) {
    return v < 100 ? v / 100.0 : (v - 90) / 10.0;
}

int openingView(const Structure& s) {
    std::array<float, 3> lo{}, hi{};
    for (int n = 1; n <= s.nodeCount; ++n)
        for (int a = 0; a < 3; ++a) {
            const float v = s.coordinates(n, a + 1);
            lo[a] = n == 1 ? v : std::min(lo[a], v);
            hi[a] = n == 1 ? v : std::max(hi[a], v);
        }
    const float extent = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2], 1.0f});
    auto flat = [&](int a) { return hi[a] - lo[a] <= 1e-6f * extent; };
    if (s.nodeCount > 1 && !flat(2) && flat(1)) return 4;  // "Alzado xz"
    if (s.nodeCount > 1 && !flat(2) && flat(0)) return 3;  // "Alzado yz"
    return view::InitialView;
}

DiagramPicture::DiagramPicture(DiagramData data, Structure structure)
    : data_(std::move(data)), structure_(std::move(structure)) {}

DiagramPicture DiagramPicture::load(const std::filesystem::path& dir, const ShownSet& shown) {
    DiagramData data = loadShownSet(dir, shown);
    Structure s = loadStructure<float>(dir, part::All);
    // The symbols show the loads of the set drawn (none for the envelope).
    if (shown.envelope || shown.set != ResultSet{}) {
        for (int n = 1; n <= s.nodeCount; ++n)
            for (int k = 0; k < 6; ++k)
                s.loads(n, k + 1) = float(data.nodeLoads[std::size_t(n)][std::size_t(k)]);
        for (int b = 1; b <= s.barCount; ++b)
            for (int k = 0; k < 3; ++k)
                s.bars(b, CaseBarFields[k]) =
                    float(data.bars[std::size_t(b)].loads[std::size_t(k)]);
    }
    return DiagramPicture(std::move(data), std::move(s));
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

void DiagramPicture::fitDrawn(const PictureOptions& o, float W, float H) {
    if (!(W > 0 && H > 0)) return;
    PictureOptions bare = o;
    bare.nodeNumbers = bare.barNumbers = bare.values = false;
    // Measured on a surface far larger than the picture, so nothing is culled.
    constexpr double Reach = 20;
    // Twips as many as units: points are dropped as on a screen.
    ExtentSurface extent(W, H, (2 * Reach + 1) * W, (2 * Reach + 1) * H);
    extent.setScale(-Reach * W, -Reach * H, (2 * Reach + 1) * W, (2 * Reach + 1) * H);
    DibujaEstr(extent, 1, bare, true, 0);
    if (extent.empty()) return;
    const double margin = 0.05 * std::min(W, H);
    const double spanU = extent.right - extent.left, spanV = extent.bottom - extent.top;
    if (extent.left >= margin && extent.right <= W - margin && extent.top >= margin &&
        extent.bottom <= H - margin)
        return;
    const double k = std::min(
        {1.0, (W - 2 * margin) / std::max(spanU, 1e-9), (H - 2 * margin) / std::max(spanV, 1e-9)});
    const view::View& v = screen_.view();
    // The extent's centre in projection coordinates goes to the middle.
    const double cu = ((extent.left + extent.right) / 2 - v.hm1) / v.esc;
    const double cv = ((extent.top + extent.bottom) / 2 - v.hm2) / v.esc;
    const double esc = v.esc * k;
    if (!std::isfinite(esc) || !(esc > 0)) return;
    screen_.Paso2D(structure_, float(W / 2 - esc * cu), float(H / 2 - esc * cv), float(esc), W, H);
}

namespace {

// The surface's drawing area, wherever its scale puts it.
struct Area {
    double L, T, W, H;
    explicit Area(const Surface& s)
        : L(s.scaleLeft()), T(s.scaleTop()), W(L + s.scaleWidth()), H(T + s.scaleHeight()) {}
    bool inside(double u, double v) const { return u >= L && u <= W && v >= T && v <= H; }
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
        if ((ua < area.L && ub < area.L) || (ua > area.W && ub > area.W) ||
            (va < area.T && vb < area.T) || (va > area.H && vb > area.H))
            continue;
        if (o.types) s.setForeground(view::ColBarra(structure_.bars(b, Type)));
        s.line(ua, va, ub, vb);
    }
    DibujaNu(s, c, o, z);
    DibujaBa(s, c, o, printer);
    s.setLineStyle(LineStyle::Solid);
    for (const DiagramKind& k : DiagramKinds)
        if (o.codes.find(k.code) != std::string::npos) DiagramaDib(k.code, s, c, o.S);
    if (o.values && !printer) valueLabels(s, c, o);
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

// The bar marks and local axes on the screen; the bar loads on the screen
// and on paper.
void DiagramPicture::DibujaBa(Surface& s, double c, const PictureOptions& o, bool printer) const {
    if (printer && !(o.loads && o.HScal != 0)) return;
    const Area area(s);
    const float detail = float(o.HScal) / 50;
    const float z = float(ScreenMarkSize);
    const view::SymbolOptions scaled{float(c), std::nullopt, true, true};
    auto at = [&](const ScreenPoint& p) { return ScreenPoint{float(p.u * c), float(p.v * c)}; };
    for (int b = 1; b <= structure_.barCount; ++b) {
        const ScreenPoint M = at(screen_.midpoint(b));
        if (!area.inside(M.u, M.v)) continue;
        if (!printer) {
            s.setForeground(palette16(10));
            s.fillBox(M.u - z, M.v - z, M.u + z, M.v + z);
            if (o.localAxes) view::drawLocalAxes(s, M, screen_.barAxes(b), detail, {});
        }
        const auto ends = view::barEnds(structure_, b);
        if (o.loads && ends)
            view::drawBarLoads(s, at(screen_.node(ends->i)), at(screen_.node(ends->j)),
                               screen_.barAxes(b), screen_.globalAxes()[2], detail,
                               structure_.bars.row(b), printer ? scaled : view::SymbolOptions{});
    }
}

double DiagramPicture::print(Surface& page, const Surface& screen, const PictureOptions& o,
                             int percent, const TitleBlock& title) const {
    PictureOptions bare = o;
    bare.nodeNumbers = bare.barNumbers = bare.values = false;
    // Everything drawn, measured: bars, symbols, diagrams; of a zoomed view
    // only what the screen shows.
    const double W = screen.scaleWidth(), H = screen.scaleHeight();
    constexpr double Reach = 20;
    // Twips as many as units: points are dropped as on a screen.
    ExtentSurface extent(W, H, (2 * Reach + 1) * W, (2 * Reach + 1) * H);
    extent.setScale(-Reach * W, -Reach * H, (2 * Reach + 1) * W, (2 * Reach + 1) * H);
    DibujaEstr(extent, 1, bare, true, 0);
    double u0 = 0, u1 = W, v0 = 0, v1 = H;
    if (!extent.empty()) {
        const bool zoomed = screen_.depth() > 0;
        u0 = zoomed ? std::max(extent.left, 0.0) : extent.left;
        u1 = zoomed ? std::min(extent.right, W) : extent.right;
        v0 = zoomed ? std::max(extent.top, 0.0) : extent.top;
        v1 = zoomed ? std::min(extent.bottom, H) : extent.bottom;
    }
    const double L0 = page.scaleLeft(), T0 = page.scaleTop();
    const double PW = page.scaleWidth(), PH = page.scaleHeight();
    // Room around the drawing for the numbers and values near its edges.
    const double gap = 0.04 * std::min(PW, PH);
    const double room = titleBlockHeight(page);
    const double spanU = std::max(u1 - u0, 1e-9 * W), spanV = std::max(v1 - v0, 1e-9 * H);
    const double c = std::min((PW - 2 * gap) / spanU, (PH - room - 3 * gap) / spanV) *
                     std::clamp(percent, 1, 100) / 100.0;
    page.setScale(L0 + u0 * c - gap, T0 + v0 * c - gap, PW, PH);
    PaperSurface paper(page);
    paper.setLineWidth(1);
    DibujaEstr(paper, c, bare, true, std::max(1.0, std::floor(ScreenMarkSize * c * 0.5)));
    if (o.nodeNumbers) paperNumberLabels(page, screen_.nodes(), Numbered::Nodes, c);
    if (o.barNumbers) paperNumberLabels(page, screen_.midpoints(), Numbered::Bars, c);
    if (o.values) valueLabels(page, c, o, {SmallestPrintedPoints, true});
    page.setScale(L0, T0, PW, PH);
    drawTitleBlock(page, title);
    return c;
}

namespace {

// Cells of a surface taken by values and node marks, so that no value
// covers another or a mark; beyond the surface nothing is free.
class Occupancy {
  public:
    Occupancy(const Area& a, double cell)
        : a_(a),
          cell_(cell),
          nx_(std::max(1, int(std::ceil((a.W - a.L) / cell)))),
          ny_(std::max(1, int(std::ceil((a.H - a.T) / cell)))),
          taken_(std::size_t(nx_) * std::size_t(ny_), false) {}
    bool isFree(double x1, double y1, double x2, double y2) const {
        if (!(x1 >= a_.L && x2 <= a_.W && y1 >= a_.T && y2 <= a_.H)) return false;
        bool free = true;
        visit(x1, y1, x2, y2, [&](std::size_t k) { free = free && !taken_[k]; });
        return free;
    }
    void take(double x1, double y1, double x2, double y2) {
        visit(x1, y1, x2, y2, [&](std::size_t k) { taken_[k] = true; });
    }

  private:
    template <class F>
    void visit(double x1, double y1, double x2, double y2, F f) const {
        const int i1 = std::clamp(int((x1 - a_.L) / cell_), 0, nx_ - 1);
        const int i2 = std::clamp(int((x2 - a_.L) / cell_), 0, nx_ - 1);
        const int j1 = std::clamp(int((y1 - a_.T) / cell_), 0, ny_ - 1);
        const int j2 = std::clamp(int((y2 - a_.T) / cell_), 0, ny_ - 1);
        for (int j = j1; j <= j2; ++j)
            for (int i = i1; i <= i2; ++i)
                f(std::size_t(j) * std::size_t(nx_) + std::size_t(i));
    }
    Area a_;
    double cell_;
    int nx_, ny_;
    std::vector<bool> taken_;
};

}  // namespace

// Text on the black screen: a dark kind colour (the axial forces' blue) is
// lightened half way to white, so that its numbers read.
static Colour screenInk(Colour c) {
    const int r = c & 0xFF, g = c >> 8 & 0xFF, b = c >> 16 & 0xFF;
    if (0.299 * r + 0.587 * g + 0.114 * b >= 90) return c;
    return rgb((r + 255) / 2, (g + 255) / 2, (b + 255) / 2);
}

// Where a value of barLabelValues lies on its drawn diagram, in model space:
// on the outline, or on the deformed shape for "D".
static Vec3 valuePoint(const DiagramData& data, const DiagramBar& bar, char code,
                       const BarValue& value, double S) {
    Vec3 at{};
    if (code == 'D') {
        const double L = bar.in.L > 0 ? bar.in.L : 1;
        const auto k = std::size_t(std::clamp(std::lround(value.x / L * 10), 0L, 10L));
        return deformedShape(data, bar, S)[k];
    }
    const DiagramKind& kind = diagramKind(code);
    const Vec3& side = bar.axes[kind.side < 0 ? 1 : 2];
    const double off = (kind.side < 0 ? -1.0 : 1.0) * S * value.value;
    for (int a = 0; a < 3; ++a)
        at[a] = bar.p1[a] + value.x * bar.axes[0][a] + off * side[a];
    return at;
}

void DiagramPicture::valueLabels(Surface& s, double c, const PictureOptions& o,
                                 const LabelStyle& style) const {
    const Area area(s);
    s.setPenMode(PenMode::Copy);
    s.setFont({"Arial", style.points, false});
    const double h = s.textHeight("0");
    // Numbers are digits, a sign and a point: one width per character is
    // close enough to place them, and spares measuring every text.
    const double digit = s.textWidth("0");
    if (!(h > 0)) return;
    Occupancy taken(area, h / 3);
    for (int n = 1; n <= structure_.nodeCount; ++n) {
        const double u = screen_.node(n).u * c, v = screen_.node(n).v * c;
        if (area.inside(u, v)) taken.take(u - h / 3, v - h / 3, u + h / 3, v + h / 3);
    }
    const view::View& shown = screen_.view();
    auto project = [&](const Vec3& p) {
        float u = 0, v = 0;
        shown.axo3d2d(float(p[0]), float(p[1]), float(p[2]), u, v);
        return std::array<double, 2>{u * c, v * c};
    };
    for (const DiagramKind& kind : DiagramKinds) {
        if (o.codes.find(kind.code) == std::string::npos) continue;
        s.setForeground(style.paper ? printColour(kind.colour) : screenInk(kind.colour));
        for (int b = 1; b <= data_.barCount; ++b) {
            const ScreenPoint M = screen_.midpoint(b);
            if (!area.inside(M.u * c, M.v * c)) continue;
            const DiagramBar& bar = data_.bars[std::size_t(b)];
            const auto e1 = project(bar.p1), e2 = project(bar.p2);
            // A bar shorter on the surface than a line of text carries none.
            if (std::hypot(e2[0] - e1[0], e2[1] - e1[1]) < h) continue;
            for (const BarValue& value : barLabelValues(data_, b, kind.code)) {
                Vec3 base{};
                for (int a = 0; a < 3; ++a)
                    base[a] = bar.p1[a] + value.x * bar.axes[0][a];
                const auto p = project(valuePoint(data_, bar, kind.code, value, o.S));
                const auto q = project(base);
                const std::string t = valueText(kind.code == 'D' ? 100 * value.value : value.value);
                const double w = digit * double(t.size());
                // Beyond the diagram's point, away from the bar; moved towards
                // the bar's middle when that place is taken.
                const double y = p[1] <= q[1] ? p[1] - h : p[1];
                double dx = M.u * c - q[0], dy = M.v * c - q[1];
                const double len = std::hypot(dx, dy);
                if (len > 0) dx /= len, dy /= len;
                for (double shift : {0.0, 0.6, 1.2}) {
                    const double x1 = p[0] - w / 2 + shift * (w + h) * dx;
                    const double y1 = y + shift * (w + h) * dy;
                    if (!taken.isFree(x1, y1, x1 + w, y1 + h)) continue;
                    taken.take(x1, y1, x1 + w, y1 + h);
                    s.text(x1, y1, t);
                    break;
                }
            }
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
    const view::ViewRows& rows = screen_.view().rows;
    if (cache.valid && cache.rows.right == rows.right && cache.rows.up == rows.up)
        return cache.points;
    const char code = DiagramKinds[kind].code;
    const std::size_t per = (code == 'D' ? 11 : 13) * std::size_t(outlines(code));
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
            for (int k = 0; k < outlines(code); ++k) {
                const auto v = barValues(data_, b, code, k == 0 ? Bound::Upper : Bound::Lower);
                const auto o0 = diagramOutline(bar, code, v, 0),
                           o1 = diagramOutline(bar, code, v, 1);
                for (std::size_t m = 0; m < 13; ++m)
                    place(q[13 * std::size_t(k) + m], o0[m], o1[m]);
            }
        }
    }
    cache.rows = rows;
    cache.valid = true;
    return cache.points;
}

void DiagramPicture::DiagramaDib(char code, Surface& s, double c, double S) const {
    const DiagramKind& kind = diagramKind(code);
    const std::size_t index = std::size_t(&kind - DiagramKinds.data());
    // An envelope has no deformed shape.
    if (code == 'D' && data_.isEnvelope()) return;
    const std::vector<Projected>& points = projected(index);
    const std::size_t per = code == 'D' ? 11 : 13;
    const std::size_t perBar = per * std::size_t(outlines(code));
    const Area area(s);
    const double tol = SmallestDetailTwips * std::abs(s.scaleWidth() / s.widthTwips());
    const view::View& shown = screen_.view();
    s.setPenMode(PenMode::Copy);
    s.setLineStyle(LineStyle::Solid);
    s.setForeground(kind.colour);
    std::array<Point2, 13> p{};
    for (std::size_t f = 0; f < perBar / per * std::size_t(data_.barCount); ++f) {
        const Projected* q = &points[per * f];
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
        if (umax < area.L || umin > area.W || vmax < area.T || vmin > area.H) continue;
        if (code == 'D') s.point(p[0][0], p[0][1]);
        s.moveTo(p[0][0], p[0][1]);
        drawPolyline(s, p.data(), per, tol);
    }
}

}  // namespace vanto::diagrams
