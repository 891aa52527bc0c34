// Internal forces and deflections at eleven points of every bar (DIAGRAMA.RES).
//
// Along a bar, s runs from the lower-numbered node i (s = 0) to j (s = L).
// Deflections are in the bar's local y and z, relative to the chord joining the
// displaced ends and absolute; they are written in mm, slopes in rad.

#include <cmath>

#include "analysis/engine.h"
#include "model/helpers.h"

namespace vanto::analysis {

namespace {

double dot(const Vec3& a, const double* v) {
    return a[0] * v[0] + a[1] * v[1] + a[2] * v[2];
}

// 1 / (E·I), or 0 for a section without bending stiffness: its bending terms
// are then left out instead of becoming infinite.
double flexibility(double EI) {
    return EI > 0 ? 1.0 / EI : 0.0;
}

struct Patterns {
    NumberPattern index{" ##0"};
    NumberPattern force{" ##0.000"};
    NumberPattern torsion{"  ##0.000"};
    NumberPattern relative{"  ##0.00"};
    NumberPattern absolute{" ##0.00"};
    NumberPattern slope{"  0.000E+00"};
};

}  // namespace

bool Diagramas(const CalcData& data, const std::vector<double>& D, const Table<double>& endForces,
               std::string& text, CalcObserver& observer) {
    static const Patterns p;
    text.clear();
    text.reserve(std::size_t(data.barCount) * 12 * 112 + 600);
    text +=
        "(Los desplazamientos o giros relativos lo son respecto la línea recta que une los dos "
        "extremos de la barra\r\n"
        "en la estructura deformada. En general el desplazamiento relativo máximo nos dará la "
        "flecha de las vigas)\r\n"
        "\r\n"
        "Pos.     Axil  Cort.Y  Cort.Z   Torsor   Mto.Y   Mto.Z   Desplaz Y(mm)  Desplaz Z(mm) "
        "GiroY(rad) GiroZ(rad)\r\n"
        "         (t)     (t)     (t)     (m·t)   (m·t)   (m·t)   Relat. Absol.  Relat. Absol.  "
        "Relativo   Relativo\r\n";

    for (int bar = 1; bar <= data.barCount; ++bar) {
        observer.report(StageDiagrams, bar, data.barCount);
        const BarFrame f = barFrame(data.bars, bar, data.xyz, data.nodeCount);
        const BarLoadTerms t = barLoadTerms(data, bar, f);
        const double* type = data.types.values.row(itemNumber(data.bars(bar, Type)));
        const Vec3 &y = f.axes[1], &z = f.axes[2];
        const double L = f.L, alpha = t.alpha, beta = t.beta;
        const double qa = t.qv * f.axes[0][2];
        const double E = type[MY] * 10.0;  // t/m²
        const double fz = flexibility(E * type[InerZ] / 100000000.0);
        const double fy = flexibility(E * type[InerY] / 100000000.0);
        const double* S = endForces.row(bar);  // S[1..12]
        const double* ui = &D[6 * (f.i - 1) + 1];
        const double* uj = &D[6 * (f.j - 1) + 1];
        const double delta[3] = {uj[0] - ui[0], uj[1] - ui[1], uj[2] - ui[2]};
        const double cyRel = dot(y, delta) / L;
        const double czRel = dot(z, delta) / L;

        // End slopes relative to the chord; a pinned end takes the slope of a
        // uniformly loaded beam, a fixed end its node's rotation.
        auto slopes = [&](const double* rot, double own, double other, double& thy, double& thz) {
            thz = z[0] * rot[0] + z[1] * rot[1] + z[2] * rot[2] - cyRel;
            thy = -(y[0] * rot[0] + y[1] * rot[1] + y[2] * rot[2]) - czRel;
            thz = t.qy * L * L * L / 24 * fz * (1 - own) * (1 - other / 2) + own * thz;
            thy = t.qz * L * L * L / 24 * fy * (1 - own) * (1 - other / 2) + own * thy;
        };
        double thyI, thzI, thyJ, thzJ;
        slopes(ui + 3, alpha, beta, thyI, thzI);
        slopes(uj + 3, beta, alpha, thyJ, thzJ);
        const double yi = dot(y, ui), zi = dot(z, ui);

        text += "Barra";
        p.index.appendPaddedLocal(text, bar);
        text += "\r\n";
        for (int k = 0; k <= 10; ++k) {
            const double s = L / 10 * k, s2 = s * s, s3 = s2 * s, s4 = s3 * s;
            const double N = -(qa * s + S[1]);
            const double Vy = -(t.qy * s + S[2]);
            const double Vz = -(t.qz * s + S[3]);
            const double T = -S[4];
            const double My = -(t.qz * s2 / 2 + S[5] + S[3] * s);
            const double Mz = -(S[6] - t.qy * s2 / 2 - S[2] * s);
            const double vrel = (S[2] * s3 / 6 - S[6] * s2 / 2 + t.qy * s4 / 24) * fz + thzI * s;
            const double wrel = (S[3] * s3 / 6 + S[5] * s2 / 2 + t.qz * s4 / 24) * fy + thyI * s;
            const double vabs = cyRel * s + vrel + yi;
            const double wabs = czRel * s + wrel + zi;

            p.index.appendPadded(text, k);
            text += "/10 ";
            p.force.appendPadded(text, N);
            p.force.appendPadded(text, Vy);
            p.force.appendPadded(text, Vz);
            p.torsion.appendPadded(text, T);
            p.force.appendPadded(text, My);
            p.force.appendPadded(text, Mz);
            p.relative.appendPadded(text, vrel * 1000);
            p.absolute.appendPadded(text, vabs * 1000);
            p.relative.appendPadded(text, wrel * 1000);
            p.absolute.appendPadded(text, wabs * 1000);
            if (k == 0) {
                p.slope.appendPadded(text, thyI);
                p.slope.appendPadded(text, thzI);
            } else if (k == 10) {
                p.slope.appendPadded(text, thyJ);
                p.slope.appendPadded(text, thzJ);
            }
            text += "\r\n";
        }
        if (observer.stopRequested()) return false;
    }
    return true;
}

std::string matrixDump(const BandMatrix& K, const std::vector<double>& F,
                       const std::vector<double>& D) {
    static const NumberPattern rhs("      0.00 ");
    static const NumberPattern entry(" ######0.000");
    static const char* const labels[6] = {"gZ", "dX", "dY", "dZ", "gX", "gY"};
    const int n = K.size();
    std::string out;
    out.reserve(std::size_t(n) * (std::size_t(n) * 12 + 40));
    for (int r = 1; r <= n; ++r) {
        rhs.appendPadded(out, F[r]);
        out += '|';
        for (int c = 1; c <= n; ++c)
            entry.appendPadded(out, K.at(r, c));
        out += " |  ";
        out += labels[r % 6];
        out += std::to_string((r + 5) / 6);
        out += "·";
        out += isFree(D[r]) ? std::string("?") : writtenValue(D[r]);
        out += "\r\n";
    }
    return out;
}

}  // namespace vanto::analysis
