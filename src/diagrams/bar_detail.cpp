#include "diagrams/bar_detail.h"

#include <cmath>

#include "diagrams/results_dxf.h"
#include "view/page.h"

namespace vanto::diagrams {

namespace {

// The detail's width in metres: the longest bar and room for the numbers.
double detailWidth(const DiagramData& data) {
    return data.maxBarLength + 1.6;
}

// The detail's frame on one surface: every coordinate is in metres and
// handed over times c.
struct Frame {
    Surface& s;
    double c;
    bool printer;
    double SW, SH;  // scale width and height, m
    double yc;      // height of the bar axis
    double u;       // text unit
    double p;       // page fraction on the printer, 1 on the screen

    void line(double x1, double y1, double x2, double y2) const {
        s.line(x1 * c, y1 * c, x2 * c, y2 * c);
    }
    void moveTo(double x, double y) const { s.moveTo(x * c, y * c); }
    void lineTo(double x, double y) const { s.lineTo(x * c, y * c); }
    void text(double x, double y, const std::string& t) const { s.text(x * c, y * c, t); }
};

// The ticked kinds, each from the axis start through its eleven values and
// back to the axis end; then the deflection curves.
void drawCurves(const Frame& f, const DiagramBar& bar, const DetailOptions& o) {
    const double L = bar.in.L, S = o.S;
    for (const DiagramKind& kind : DiagramKinds) {
        if (kind.side == 0 || o.codes.find(kind.code) == std::string::npos) continue;
        f.s.setForeground(kind.colour);
        f.moveTo(0.8, f.yc);
        for (int i = 0; i <= 10; ++i) {
            const double x = i * L / 10;
            f.lineTo(0.8 + x,
                     f.yc + S * diagramValue(analysis::diagramValues(bar.in, x), kind.code));
        }
        f.lineTo(0.8 + L, f.yc);
    }
    if (o.codes.find('D') == std::string::npos) return;
    const Deflections w = deflections(bar);
    const double A = 100 * S;
    const struct {
        const std::array<double, 11>& values;
        double sign;
        Colour colour;
    } curves[] = {{w.y, -1, DeflectionYColour}, {w.z, +1, DeflectionZColour}};
    for (const auto& curve : curves) {
        f.s.setForeground(curve.colour);
        f.moveTo(0.8, f.yc + curve.sign * A * curve.values[0]);
        for (int i = 1; i <= 10; ++i)
            f.lineTo(0.8 + i * L / 10, f.yc + curve.sign * A * curve.values[i]);
        f.lineTo(0.8 + L, f.yc);
    }
}

// The origin node's number left of the axis, the end node's right of it.
void drawNodeNumbers(const Frame& f, const DiagramBar& bar) {
    const double L = bar.in.L, u = f.u;
    f.s.setFont({"Arial", f.printer ? std::floor(8 * f.p) : 7, true});
    const double g = (f.printer ? 0.3 : 0.2) * u, Y0 = f.yc - u / 2;
    const struct {
        int node;
        bool origin;
    } ends[] = {{bar.i, true}, {bar.j, false}};
    for (const auto& e : ends) {
        const std::string t = std::to_string(e.node);
        const double n = double(t.size());
        const double X0 = e.origin ? 0.8 - 0.9 * u * (n + 0.1) - g : 0.8 + L + 0.7 * u;
        if (!f.printer) {
            f.s.setForeground(palette16(1));
            f.s.fillBox(X0 * f.c, Y0 * f.c, (X0 + 0.9 * n * (u - g)) * f.c, (Y0 + 1.2 * u) * f.c);
        }
        f.s.setForeground(palette16(11));
        f.text(X0 + u / 5, Y0 - u / (e.origin ? 50 : 25), t);
    }
}

// Ticks every half metre along the lower edge, then the word "metros".
void drawMetreRuler(const Frame& f, double L) {
    f.s.setForeground(f.printer ? palette16(0) : palette16(15));
    f.s.setFont({"Arial", f.printer ? 8 * f.p : 7, false});
    const double yr = 2 * f.yc - 1.4 * f.u;
    double t = 0;
    for (int k = 0;; ++k) {
        t = 0.5 * k;
        if (!(t < L)) break;
        f.line(0.8 + t, yr, 0.8 + t, yr + 2 * f.u);
        f.text(0.8 + t + 0.3 * f.u, yr + 0.2 * f.u, writtenValue(t));
    }
    f.text(0.8 + t - f.u, yr - 1.2 * f.u, "metros");
}

// Ticks along the left edge at the values of a step fitting the height, up
// and down from the axis, labelled with what they are worth.
void drawValueRuler(const Frame& f, double S) {
    const double step = rulerStep(f.yc, S, f.printer ? 10 : 7);
    static const NumberPattern label("#0.00");
    const auto tick = [&](double y, double value) {
        f.line(0, y, 2.5 * f.u, y);
        std::string v;
        label.appendPoint(v, value);
        f.text(0.1 * f.u, y, v);
    };
    tick(f.yc, 0);
    if (!(S > 0)) return;
    for (int k = 1;; ++k) {
        const double d = k * S * step;
        if (!(d < f.yc)) break;
        tick(f.yc - d, -k * step);
        tick(f.yc + d, k * step);
    }
}

}  // namespace

void DibujaBarra2D(const DiagramData& data, int b, Surface& s, double c, const DetailOptions& o) {
    const DiagramBar& bar = data.bars[std::size_t(b)];
    const double SW = detailWidth(data);
    const double SH = SW * (s.heightTwips() / s.widthTwips());
    const double p = o.printer ? o.pageFraction : 1.0;
    if (!o.printer) {
        s.setBackground(DetailBackground);
        s.clear();
        s.setScale(0, 0, SW, SH);
    }
    const Frame f{s, c, o.printer, SW, SH, o.printer ? SH / 4 : SH / 2, SW / 48 * p, p};
    s.setFont({"Arial", o.printer ? std::floor(16 * p) : 13, true});
    s.setForeground(palette16(10));
    f.text(SW - 0.8 + f.u, f.u / 2, std::to_string(b));
    drawCurves(f, bar, o);
    s.setForeground(palette16(0));
    f.line(0.8, f.yc, 0.8 + bar.in.L, f.yc);
    drawNodeNumbers(f, bar);
    drawMetreRuler(f, bar.in.L);
    drawValueRuler(f, o.S);
}

void printBarDetail(Surface& page, const DiagramData& data, int bar, const Surface& detail,
                    const DetailOptions& o, int percent) {
    const view::PageLayout layout = view::pageLayout(detail, page, percent);
    DibujaBarra2D(data, bar, page, layout.scale(), {o.codes, o.S, true, layout.fraction});
}

void emptyDetail(const DiagramData& data, Surface& s) {
    const double SW = detailWidth(data);
    const double SH = SW * (s.heightTwips() / s.widthTwips());
    s.setBackground(DetailBackground);
    s.clear();
    s.setScale(0, 0, SW, SH);
    s.setForeground(palette16(8));
    s.fillBox(0, SH / 4, SW, 3 * SH / 4);
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
