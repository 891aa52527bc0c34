#include "diagrams/bar_detail.h"

#include <cmath>
#include <cstdlib>

#include "diagrams/results_dxf.h"

namespace vanto::diagrams {

namespace {

// The detail's width in metres: the longest bar and room for the numbers.
double detailWidth(const DiagramData& data) {
    return data.maxBarLength + 1.6;
}

}  // namespace

void DibujaBarra2D(const DiagramData& data, int b, Surface& s, double c, const DetailOptions& o) {
    const DiagramBar& bar = data.bars[b];
    const double L = bar.in.L, S = o.S;
    const double SW = detailWidth(data);
    const double SH = SW * (s.heightTwips() / s.widthTwips());
    const double p = o.printer ? o.pageFraction : 1.0;
    if (!o.printer) {
        s.setBackground(DetailBackground);
        s.clear();
        s.setScale(0, 0, SW, SH);
    }
    const double yc = o.printer ? SH / 4 : SH / 2;
    const double u = SW / 48 * p;
    const auto line = [&](double x1, double y1, double x2, double y2) {
        s.line(x1 * c, y1 * c, x2 * c, y2 * c);
    };
    const auto lineTo = [&](double x, double y) { s.lineTo(x * c, y * c); };
    const auto text = [&](double x, double y, const std::string& t) { s.text(x * c, y * c, t); };

    s.setFont({"Arial", o.printer ? std::floor(16 * p) : 13, true});
    s.setForeground(palette16(10));
    text(SW - 0.8 + u, u / 2, std::to_string(b));

    for (const DiagramKind& kind : DiagramKinds) {
        if (kind.side == 0 || o.codes.find(kind.code) == std::string::npos) continue;
        s.setForeground(kind.colour);
        s.moveTo(0.8 * c, yc * c);
        for (int i = 0; i <= 10; ++i) {
            const double x = i * L / 10;
            lineTo(0.8 + x, yc + S * diagramValue(analysis::diagramValues(bar.in, x), kind.code));
        }
        lineTo(0.8 + L, yc);
    }

    if (o.codes.find('D') != std::string::npos) {
        const Deflections w = deflections(bar);
        const double A = 100 * S;
        const struct {
            const std::array<double, 11>& values;
            double sign;
            Colour colour;
        } curves[] = {{w.y, -1, DeflectionYColour}, {w.z, +1, DeflectionZColour}};
        for (const auto& curve : curves) {
            s.setForeground(curve.colour);
            s.moveTo(0.8 * c, (yc + curve.sign * A * curve.values[0]) * c);
            for (int i = 1; i <= 10; ++i)
                lineTo(0.8 + i * L / 10, yc + curve.sign * A * curve.values[i]);
            lineTo(0.8 + L, yc);
        }
    }

    s.setForeground(palette16(0));
    line(0.8, yc, 0.8 + L, yc);

    // Node numbers: the origin's left of the axis, the end's right of it.
    s.setFont({"Arial", o.printer ? std::floor(8 * p) : 7, true});
    const double g = (o.printer ? 0.3 : 0.2) * u, Y0 = yc - u / 2;
    const struct {
        int node;
        bool origin;
    } ends[] = {{bar.i, true}, {bar.j, false}};
    for (const auto& e : ends) {
        const std::string t = std::to_string(e.node);
        const double n = double(t.size());
        const double X0 = e.origin ? 0.8 - 0.9 * u * (n + 0.1) - g : 0.8 + L + 0.7 * u;
        if (!o.printer) {
            s.setForeground(palette16(1));
            s.fillBox(X0 * c, Y0 * c, (X0 + 0.9 * n * (u - g)) * c, (Y0 + 1.2 * u) * c);
        }
        s.setForeground(palette16(11));
        text(X0 + u / 5, Y0 - u / (e.origin ? 50 : 25), t);
    }

    // Metre ruler along the lower edge.
    const Colour rulerColour = o.printer ? palette16(0) : palette16(15);
    s.setForeground(rulerColour);
    s.setFont({"Arial", o.printer ? 8 * p : 7, false});
    const double yr = 2 * yc - 1.4 * u;
    double t = 0;
    for (int k = 0;; ++k) {
        t = 0.5 * k;
        if (!(t < L)) break;
        line(0.8 + t, yr, 0.8 + t, yr + 2 * u);
        text(0.8 + t + 0.3 * u, yr + 0.2 * u, writtenValue(t));
    }
    text(0.8 + t - u, yr - 1.2 * u, "metros");

    // Value ruler along the left edge.
    const double step = rulerStep(yc, S, o.printer ? 10 : 7);
    static const NumberPattern label("#0.00");
    const auto tick = [&](double y, double value) {
        line(0, y, 2.5 * u, y);
        std::string v;
        label.appendPoint(v, value);
        text(0.1 * u, y, v);
    };
    tick(yc, 0);
    if (S > 0)
        for (int k = 1;; ++k) {
            const double d = k * S * step;
            if (!(d < yc)) break;
            tick(yc - d, -k * step);
            tick(yc + d, k * step);
        }
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

int BarPicker::press(double x, double y, const std::vector<std::array<float, 2>>& midpoints) {
    if (std::abs(x - double(lastX_)) > Tolerance || std::abs(y - double(lastY_)) > Tolerance)
        current_ = 0;
    lastX_ = std::lround(x);
    lastY_ = std::lround(y);
    const int count = int(midpoints.size()) - 1;
    for (int b = current_ + 1; b <= count; ++b)
        if (std::abs(midpoints[b][0] - x) < Tolerance &&
            std::abs(midpoints[b][1] - y) < Tolerance) {
            current_ = b;
            return b;
        }
    current_ = 0;
    return 0;
}

void numberLabels(Surface& s, const std::vector<std::array<float, 2>>& positions, Numbered what,
                  double z, double c, bool printer) {
    const double W = s.scaleWidth(), H = s.scaleHeight();
    const bool bars = what == Numbered::Bars;
    s.setFont({"Courier New", printer ? std::floor(4 * c) : 6, false});
    for (std::size_t k = 1; k < positions.size(); ++k) {
        const double X1 = std::floor(positions[k][0] - 4 * z);
        const double Y1 = std::floor(positions[k][1] - 4 * z);
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
