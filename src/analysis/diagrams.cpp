// The text of DIAGRAMA.RES: the values along every bar at eleven points, s =
// L/10·k, deflections written in mm and slopes in rad.

#include <cstring>

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

// The pattern of each listed value, in the order of ListedValues.
const NumberPattern& listedPattern(const Patterns& p, int q) {
    static const NumberPattern* const order[ListedQuantities] = {
        &p.force, &p.force,    &p.force,    &p.torsion,  &p.force,
        &p.force, &p.relative, &p.absolute, &p.relative, &p.absolute};
    return *order[q];
}

// Deflections are listed in mm.
double listedScale(int q) {
    return q >= 6 ? 1000 : 1;
}

// The listed values, a line's worth of fields put together before they are
// appended.
void appendListed(std::string& out, const Patterns& p, const ListedValues& v) {
    char line[ListedQuantities * 80];
    char* at = line;
    for (int q = 0; q < ListedQuantities; ++q) {
        const NumberPattern& pattern = listedPattern(p, q);
        const double value = v[q] * listedScale(q);
        char* const end = pattern.writePadded(at, value);
        if (!end) {
            out.append(line, at);
            at = line;
            appendField(out, pattern, value);
        } else if (*at != ' ') {
            std::memmove(at + 1, at, std::size_t(end - at));
            *at = ' ';
            at = end + 1;
        } else {
            at = end;
        }
    }
    out.append(line, at);
}

// "Barra" and the number in four columns, with a blank between them always.
void appendBarTitle(std::string& out, const Patterns& p, int bar) {
    out += "Barra";
    const std::size_t at = out.size();
    p.index.appendPaddedLocal(out, bar);
    if (out[at] != ' ') out.insert(at, 1, ' ');
    out += "\r\n";
}

const Patterns& patterns() {
    static const Patterns p;
    return p;
}

}  // namespace

ListedValues listedValues(const DiagramValues& v) {
    return {v.N, v.Vy, v.Vz, v.T, v.My, v.Mz, v.yRel, v.yAbs, v.zRel, v.zAbs};
}

bool Diagramas(const StructureData& data, const CaseLoads& loads, const std::vector<double>& D,
               const Table<double>& endForces, std::string& text, CalcObserver& observer) {
    const Patterns& p = patterns();
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
        const BarDiagramInput in = barDiagramInput(data, loads, bar, D, endForces);
        const EndSlopes ends = endSlopes(in);
        appendBarTitle(text, p, bar);
        for (int k = 0; k <= 10; ++k) {
            p.index.appendPadded(text, k);
            text += "/10 ";
            appendListed(text, p, listedValues(diagramValues(in, in.L / 10 * k)));
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

std::array<PointEnvelope, 11> barEnvelope(const StructureData& s, int bar,
                                          const std::vector<EnvelopeSource>& sources) {
    const BarFrame f = barFrame(s.bars, bar, s.coordinates);
    const float* b = s.bars.row(bar);
    const LocalBlocks k =
        localStiffness(s.types.values.row(itemNumber(b[Type])), f.L, b[EmpOR], b[EmpEX]);
    std::array<PointEnvelope, 11> envelope{};
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const std::vector<double>& D = *sources[i].D;
        const BarLoadTerms t = barLoadTerms(s, bar, f, sources[i].loads.bar(bar));
        double S[12];
        elasticEndForces(k, f, D, S);
        subtractFixedEndForces(t, S);
        const BarDiagramInput in = barDiagramInput(s, bar, f, t, D, S);
        for (int point = 0; point <= 10; ++point) {
            const ListedValues v = listedValues(diagramValues(in, in.L / 10 * point));
            for (int q = 0; q < ListedQuantities; ++q)
                envelope[point][q].take(v[q], int(i));
        }
    }
    return envelope;
}

namespace {

// The "por" line: each value's source code right-aligned in the value's
// columns (the widths of the listed values' patterns).
void appendSources(std::string& out, const PointEnvelope& e, bool max,
                   const std::vector<std::string>& codes) {
    static constexpr std::size_t columns[ListedQuantities] = {8, 8, 8, 9, 8, 8, 8, 7, 8, 7};
    out += "        por";
    for (int q = 0; q < ListedQuantities; ++q) {
        const std::string& code = codes[std::size_t(max ? e[q].maxBy : e[q].minBy)];
        if (code.size() < columns[q]) out.append(columns[q] - code.size(), ' ');
        out += code;
    }
    out += "\r\n";
}

}  // namespace

std::string envelopeHeading(bool overCombinations) {
    return std::string(overCombinations
                           ? "Envolvente de las combinaciones: en cada punto de cada barra, el "
                             "valor máximo y el mínimo de cada magnitud y la combinación que lo "
                             "da.\r\n"
                           : "Envolvente de las hipótesis: en cada punto de cada barra, el valor "
                             "máximo y el mínimo de cada magnitud y la hipótesis que lo da.\r\n") +
           "\r\n"
           "Pos.        Axil  Cort.Y  Cort.Z   Torsor   Mto.Y   Mto.Z   Desplaz Y(mm)  Desplaz "
           "Z(mm)\r\n"
           "            (t)     (t)     (t)     (m·t)   (m·t)   (m·t)   Relat. Absol.  Relat. "
           "Absol.\r\n";
}

bool Envolvente(const StructureData& s, const std::vector<EnvelopeSource>& sources,
                const std::vector<std::string>& codes, int first, int last, std::string& text,
                std::vector<std::array<Extreme, 6>>& barExtremes, CalcObserver& observer) {
    const Patterns& p = patterns();
    text.clear();
    text.reserve(std::size_t(last - first + 1) * 45 * 90);
    for (int bar = first; bar <= last; ++bar) {
        observer.report(StageEnvelope, bar, s.barCount);
        const auto envelope = barEnvelope(s, bar, sources);
        appendBarTitle(text, p, bar);
        std::array<Extreme, 6>& along = barExtremes[std::size_t(bar)];
        for (int k = 0; k <= 10; ++k) {
            const PointEnvelope& e = envelope[k];
            ListedValues max{}, min{};
            for (int q = 0; q < ListedQuantities; ++q) {
                max[q] = e[q].max;
                min[q] = e[q].min;
                if (q >= 6) continue;
                Extreme& x = along[std::size_t(q)];
                if (e[q].max > x.max) x.max = e[q].max, x.maxBy = e[q].maxBy;
                if (e[q].min < x.min) x.min = e[q].min, x.minBy = e[q].minBy;
            }
            p.index.appendPadded(text, k);
            text += "/10 máx";
            appendListed(text, p, max);
            text += "\r\n";
            appendSources(text, e, true, codes);
            text += "        mín";
            appendListed(text, p, min);
            text += "\r\n";
            appendSources(text, e, false, codes);
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
