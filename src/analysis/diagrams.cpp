// The text of DIAGRAMA.RES: the values along every bar at eleven points, s =
// L/10·k, deflections written in mm and slopes in rad.

#include "analysis/bar_diagram.h"
#include "analysis/engine.h"
#include "model/helpers.h"

namespace vanto::analysis {

namespace {

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
        const BarDiagramInput in = barDiagramInput(data, bar, D, endForces);
        const EndSlopes ends = endSlopes(in);
        text += "Barra";
        p.index.appendPaddedLocal(text, bar);
        text += "\r\n";
        for (int k = 0; k <= 10; ++k) {
            const DiagramValues v = diagramValues(in, in.L / 10 * k);
            p.index.appendPadded(text, k);
            text += "/10 ";
            p.force.appendPadded(text, v.N);
            p.force.appendPadded(text, v.Vy);
            p.force.appendPadded(text, v.Vz);
            p.torsion.appendPadded(text, v.T);
            p.force.appendPadded(text, v.My);
            p.force.appendPadded(text, v.Mz);
            p.relative.appendPadded(text, v.yRel * 1000);
            p.absolute.appendPadded(text, v.yAbs * 1000);
            p.relative.appendPadded(text, v.zRel * 1000);
            p.absolute.appendPadded(text, v.zAbs * 1000);
            if (k == 0) {
                p.slope.appendPadded(text, ends.yI);
                p.slope.appendPadded(text, ends.zI);
            } else if (k == 10) {
                p.slope.appendPadded(text, ends.yJ);
                p.slope.appendPadded(text, ends.zJ);
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
