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

// Every pattern here begins with a blank: a value too wide for its pattern
// keeps one in front, so that two fields never run together.
void appendField(std::string& out, const NumberPattern& pattern, double value) {
    const std::size_t at = out.size();
    pattern.appendPadded(out, value);
    if (at < out.size() && out[at] != ' ') out.insert(at, 1, ' ');
}

}  // namespace

bool Diagramas(const StructureData& data, const std::vector<double>& D,
               const Table<double>& endForces, std::string& text, CalcObserver& observer) {
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
            appendField(text, p.force, v.N);
            appendField(text, p.force, v.Vy);
            appendField(text, p.force, v.Vz);
            appendField(text, p.torsion, v.T);
            appendField(text, p.force, v.My);
            appendField(text, p.force, v.Mz);
            appendField(text, p.relative, v.yRel * 1000);
            appendField(text, p.absolute, v.yAbs * 1000);
            appendField(text, p.relative, v.zRel * 1000);
            appendField(text, p.absolute, v.zAbs * 1000);
            if (k == 0) {
                appendField(text, p.slope, ends.yI);
                appendField(text, p.slope, ends.zI);
            } else if (k == 10) {
                appendField(text, p.slope, ends.yJ);
                appendField(text, p.slope, ends.zJ);
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
