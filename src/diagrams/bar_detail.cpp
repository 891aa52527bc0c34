#include "diagrams/bar_detail.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "diagrams/extremes.h"
#include "diagrams/paper.h"

namespace vanto::diagrams {

namespace {

// The share of the detail's width on each side of the bar, for the node
// numbers.
constexpr double SideShare = 0.1;

// The detail's frame on one surface: coordinates are metres of the bar
// from the left edge of the picture and from its top, placed on the surface
// at (ox + k·x, oy + k·y).
struct Frame {
    Surface& s;
    bool printer;
    double ox, oy, k;
    double SW, SH;  // width and height, m
    double x0;      // where the axis starts
    double yc;      // height of the axis
    double half;    // the height a diagram's largest value takes
    double th;      // text height, m

    double X(double x) const { return ox + k * x; }
    double Y(double y) const { return oy + k * y; }
    void line(double x1, double y1, double x2, double y2) const {
        s.line(X(x1), Y(y1), X(x2), Y(y2));
    }
    void moveTo(double x, double y) const { s.moveTo(X(x), Y(y)); }
    void lineTo(double x, double y) const { s.lineTo(X(x), Y(y)); }
    void text(double x, double y, const std::string& t) const { s.text(X(x), Y(y), t); }
    double width(const std::string& t) const { return s.textWidth(t) / k; }
};

double largestOf(const std::array<double, 11>& v) {
    double m = 0;
    for (double x : v)
        m = std::max(m, std::abs(x));
    return m;
}

// Values written beside their points, each moved away from the axis while
// it would cover one written before.
class Labels {
  public:
    explicit Labels(const Frame& f) : f_(f) {}
    void add(double x, double y, bool above, const std::string& t) {
        const double w = f_.width(t), h = f_.th;
        double x1 = std::clamp(x - w / 2, 0.0, std::max(0.0, f_.SW - w));
        double y1 = above ? y - h : y;
        for (int tries = 0; tries < 4; ++tries, y1 += above ? -h : h) {
            const bool clear = std::none_of(boxes_.begin(), boxes_.end(), [&](const auto& b) {
                return x1 < b[2] && b[0] < x1 + w && y1 < b[3] && b[1] < y1 + h;
            });
            if (!clear) continue;
            boxes_.push_back({x1, y1, x1 + w, y1 + h});
            f_.text(x1, y1, t);
            return;
        }
    }

  private:
    const Frame& f_;
    std::vector<std::array<double, 4>> boxes_;
};

void drawForces(const Frame& f, const DiagramData& data, int b, const DetailOptions& o,
                Labels& labels) {
    const double L = data.bars[std::size_t(b)].in.L;
    const int outlines = data.isEnvelope() ? 2 : 1;
    for (const DiagramKind& kind : DiagramKinds) {
        if (kind.side == 0 || o.codes.find(kind.code) == std::string::npos) continue;
        std::array<std::array<double, 11>, 2> v{};
        double largest = 0;
        for (int k = 0; k < outlines; ++k) {
            v[std::size_t(k)] = barValues(data, b, kind.code, k ? Bound::Lower : Bound::Upper);
            largest = std::max(largest, largestOf(v[std::size_t(k)]));
        }
        const double scale = largest > 0 ? f.half / largest : 0;
        f.s.setForeground(o.printer ? printColour(kind.colour) : kind.colour);
        for (int k = 0; k < outlines; ++k) {
            f.moveTo(f.x0, f.yc);
            for (int i = 0; i <= 10; ++i)
                f.lineTo(f.x0 + i * L / 10, f.yc + scale * v[std::size_t(k)][std::size_t(i)]);
            f.lineTo(f.x0 + L, f.yc);
        }
        for (const BarValue& value : barLabelValues(data, b, kind.code))
            labels.add(f.x0 + value.x, f.yc + scale * value.value, value.value < 0,
                       valueText(value.value) + " " + unitOf(kind.code));
    }
}

void drawDeflections(const Frame& f, const DiagramData& data, int b, const DetailOptions& o,
                     Labels& labels) {
    if (o.codes.find('D') == std::string::npos || data.isEnvelope()) return;
    const double L = data.bars[std::size_t(b)].in.L;
    const Deflections w = deflections(data.bars[std::size_t(b)]);
    const double largest = std::max(largestOf(w.y), largestOf(w.z));
    const double scale = largest > 0 ? f.half / largest : 0;
    const struct {
        const std::array<double, 11>& values;
        double sign;
        Colour colour;
        const char* axis;
    } curves[] = {{w.y, -1, DeflectionYColour, "y "}, {w.z, +1, DeflectionZColour, "z "}};
    for (const auto& curve : curves) {
        f.s.setForeground(o.printer ? printColour(curve.colour) : curve.colour);
        f.moveTo(f.x0, f.yc + curve.sign * scale * curve.values[0]);
        std::size_t far = 0;
        for (std::size_t i = 1; i <= 10; ++i) {
            f.lineTo(f.x0 + double(i) * L / 10, f.yc + curve.sign * scale * curve.values[i]);
            if (std::abs(curve.values[i]) > std::abs(curve.values[far])) far = i;
        }
        f.lineTo(f.x0 + L, f.yc);
        const double y = curve.sign * curve.values[far];
        if (std::abs(curve.values[far]) * 100 >= 0.005)
            labels.add(f.x0 + double(far) * L / 10, f.yc + scale * y, y < 0,
                       curve.axis + valueText(100 * curve.values[far]) + " cm");
    }
}

// The title (bar, nodes, length) and the legend of the drawn diagrams with
// their units.
void drawHeading(const Frame& f, const DiagramData& data, int b, const DetailOptions& o) {
    const DiagramBar& bar = data.bars[std::size_t(b)];
    const Colour ink = o.printer ? palette16(0) : palette16(15);
    f.s.setForeground(ink);
    f.s.setFont({"Arial", o.printer ? 10.0 : 8.0, true});
    f.text(0.2 * f.th, 0.2 * f.th,
           "Barra " + std::to_string(b) + " (nudos " + std::to_string(bar.i) + "-" +
               std::to_string(bar.j) + "), L = " + valueText(bar.in.L) + " m");
    f.s.setFont({"Arial", o.printer ? 9.0 : 7.0, false});
    double x = 0.2 * f.th;
    for (const DiagramKind& kind : DiagramKinds) {
        if (o.codes.find(kind.code) == std::string::npos) continue;
        if (kind.code == 'D' && data.isEnvelope()) continue;
        const std::string t = kind.code == 'D'
                                  ? std::string("Deformada y, z (cm)")
                                  : kind.caption + std::string(" (") + unitOf(kind.code) + ")";
        f.s.setForeground(o.printer ? printColour(kind.colour) : kind.colour);
        f.text(x, 1.4 * f.th, t);
        x += f.width(t) + f.th;
    }
}

// The origin node's number left of the axis, the end node's right of it.
void drawNodeNumbers(const Frame& f, const DiagramBar& bar) {
    const struct {
        int node;
        double x;
    } ends[] = {{bar.i, f.x0 - 0.3 * f.th}, {bar.j, f.x0 + bar.in.L + 0.3 * f.th}};
    for (const auto& e : ends) {
        const std::string t = std::to_string(e.node);
        const double w = f.width(t);
        const double x1 = e.node == bar.i ? e.x - w : e.x, y1 = f.yc - f.th / 2;
        if (!f.printer) {
            f.s.setForeground(palette16(1));
            f.s.fillBox(f.X(x1), f.Y(y1), f.X(x1 + w), f.Y(y1 + f.th));
        }
        f.s.setForeground(f.printer ? rgb(0, 0, 128) : palette16(11));
        f.text(x1, y1, t);
    }
}

// Ticks along the foot at a round step, the word "metros" after them.
void drawMetreRuler(const Frame& f, double L) {
    f.s.setForeground(f.printer ? palette16(0) : palette16(15));
    double step = 0.5;
    for (double s : {0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0})
        if ((step = s) * 10 >= L) break;
    const double yr = f.SH - 1.6 * f.th;
    double t = 0;
    for (int k = 0;; ++k) {
        t = step * k;
        if (!(t <= L + 1e-9)) break;
        f.line(f.x0 + t, yr, f.x0 + t, yr + 0.6 * f.th);
        f.text(f.x0 + t + 0.15 * f.th, yr + 0.5 * f.th, writtenValue(t));
    }
    f.line(f.x0, yr, f.x0 + L, yr);
    f.text(f.x0 + L - f.width("metros"), yr - f.th, "metros");
}

}  // namespace

const char* unitOf(char code) {
    switch (code) {
        case 'X':
        case 'Y':
        case 'Z':
            return "t";
        case 'D':
            return "cm";
    }
    return "m·t";
}

void drawBarDetail(const DiagramData& data, int b, Surface& s, const DetailArea& area,
                   const DetailOptions& o) {
    const DiagramBar& bar = data.bars[std::size_t(b)];
    const double L = bar.in.L > 0 ? bar.in.L : 1;
    const double SW = L / (1 - 2 * SideShare);
    const double k = area.width / SW, SH = area.height / k;
    s.setPenMode(PenMode::Copy);
    s.setLineStyle(LineStyle::Solid);
    s.setFont({"Arial", o.printer ? 9.0 : 7.0, false});
    const double th = s.textHeight("0") / k;
    // Heading on top (two lines), ruler at the foot (two), numbers round the
    // curves (one each side).
    const double top = 2.8 * th, foot = 2.2 * th;
    const double yc = top + (SH - top - foot) / 2;
    const double half = std::max(0.0, (SH - top - foot) / 2 - 1.2 * th);
    const Frame f{s, o.printer, area.left, area.top, k, SW, SH, SideShare * SW, yc, half, th};
    drawHeading(f, data, b, o);
    s.setFont({"Arial", o.printer ? 9.0 : 7.0, false});
    Labels labels(f);
    drawForces(f, data, b, o, labels);
    drawDeflections(f, data, b, o, labels);
    s.setForeground(o.printer ? palette16(0) : palette16(7));
    f.line(f.x0, yc, f.x0 + bar.in.L, yc);
    drawNodeNumbers(f, bar);
    drawMetreRuler(f, bar.in.L);
}

void DibujaBarra2D(const DiagramData& data, int b, Surface& s, const DetailOptions& o) {
    s.setBackground(DetailBackground);
    s.clear();
    s.resetScale();
    drawBarDetail(data, b, s, {0, 0, s.scaleWidth(), s.scaleHeight()}, o);
}

void emptyDetail(const DiagramData&, Surface& s) {
    s.setBackground(DetailBackground);
    s.clear();
    s.resetScale();
    const double W = s.scaleWidth(), H = s.scaleHeight();
    s.setForeground(palette16(8));
    s.fillBox(0, H / 4, W, 3 * H / 4);
}

void numberLabels(Surface& s, std::span<const view::ScreenPoint> positions, Numbered what, double z,
                  double c, bool printer) {
    const double W = s.scaleWidth(), H = s.scaleHeight();
    const bool bars = what == Numbered::Bars;
    s.setFont({"Courier New", printer ? std::floor(4 * c) : 6, false});
    for (std::size_t k = 1; k < positions.size(); ++k) {
        const double X1 = std::floor(positions[k].u - 4 * z);
        const double Y1 = std::floor(positions[k].v - 4 * z);
        if (!(X1 > 0 && X1 < W && Y1 > 0 && Y1 < H)) continue;
        const std::string t = std::to_string(k);
        const double n = double(t.size());
        if (printer) {
            s.setForeground(palette16(2));
            s.rectangle(X1 * c, Y1 * c, (X1 + 4.7 * z * n) * c, (Y1 + 7 * z) * c);
        } else {
            s.setForeground(palette16(bars ? 2 : 1));
            s.fillBox(X1 * c, Y1 * c, (X1 + 6.5 * z * n) * c, (Y1 + 8 * z) * c);
        }
        s.setForeground(palette16(bars ? 10 : 11));
        if (printer)
            s.text((X1 + 0.8 * z) * c, (Y1 + 1.9 * z) * c, t);
        else
            s.text(X1 * c, (Y1 - 0.1 * z) * c, t);
    }
}

}  // namespace vanto::diagrams
