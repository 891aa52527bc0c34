#include "reports/listing.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "model/files.h"
#include "model/helpers.h"
#include "model/parallel.h"
#include "model/structure.h"
#include "model/structure_data.h"
#include "model/textfile.h"

namespace vanto::reports {

namespace fs = std::filesystem;

namespace {

constexpr const char* NotCalculated = "Todavía no está efectuado el cálculo de la estructura.";

// A number in its pattern's columns, with the locale's separator. A number too
// wide for its pattern keeps one blank in front where the pattern has one, so
// that it never runs into the text before it: the listing is read back word
// by word.
std::string cell(double value, std::string_view pattern) {
    // The listing's few patterns, each parsed once.
    struct Parsed {
        std::string text;
        NumberPattern pattern;
    };
    static thread_local std::vector<Parsed> parsed;
    auto it = std::find_if(parsed.begin(), parsed.end(),
                           [&](const Parsed& p) { return p.text == pattern; });
    if (it == parsed.end())
        it = parsed.insert(parsed.end(), {std::string(pattern), NumberPattern(pattern)});
    std::string s;
    it->pattern.appendPaddedLocal(s, value);
    if (!pattern.empty() && pattern.front() == ' ' && (s.empty() || s.front() != ' '))
        s.insert(0, 1, ' ');
    return s;
}

// A number as Basic prints it in a list: a blank or "-", the digits, a blank.
std::string freeInteger(long long n) {
    return (n < 0 ? "-" : " ") + std::to_string(n < 0 ? -n : n) + " ";
}

// A 32-bit value with up to 7 significant digits, never with an exponent.
std::string freeFloat(float value) {
    if (!std::isfinite(value)) return std::string(" ") + (std::isnan(value) ? "NaN" : "Inf") + " ";
    if (value == 0) return " 0 ";
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::abs(double(value)),
                                   std::chars_format::scientific, 6);
    const std::string sci(buf, res.ptr);  // d.dddddde±XX
    const std::size_t e = sci.find('e');
    std::string digits = sci.substr(0, 1) + sci.substr(2, e - 2);
    const int exponent = std::atoi(sci.c_str() + e + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string text;
    if (exponent < 0) {
        text = "0" + std::string(1, decimalSeparator()) +
               std::string(std::size_t(-exponent - 1), '0') + digits;
    } else if (int(digits.size()) <= exponent + 1) {
        text = digits + std::string(std::size_t(exponent + 1) - digits.size(), '0');
    } else {
        text = digits.substr(0, std::size_t(exponent + 1)) + decimalSeparator() +
               digits.substr(std::size_t(exponent + 1));
    }
    return (value < 0 ? "-" : " ") + text + " ";
}

// A name cut or padded with blanks to `width` characters.
std::string fixedWidth(const std::string& name, std::size_t width) {
    std::string s = firstCharacters(name, width);
    const std::size_t n = characterCount(s);
    if (n < width) s.append(width - n, ' ');
    return s;
}

void header(TextWriter& w, const fs::path& dir, const Clock& clock) {
    const Date d = clock.today();
    char date[32];
    std::snprintf(date, sizeof date, "%02d-%02d-%04d", d.day, d.month, d.year);
    w.line(std::string("Programa: ") + VersionText);
    w.line(std::string(79, '_'));
    w.line("Proyecto: " + dir.string());
    w.line(std::string("Fecha (d-m-a): ") + date);
}

// Two empty lines, the title, an empty line; then the column heading and an
// empty line when the section has one.
void section(TextWriter& w, std::string_view title, std::string_view heading = {}) {
    w.line().line().line(title).line();
    if (!heading.empty()) w.line(heading).line();
}

bool validNode(int node, int nodeCount) {
    return node >= 1 && node <= nodeCount;
}

// The loads of one case: "CARGAS EN LOS NUDOS  (t, m·t)" and the title's
// `suffix` ("  HIPOTESIS 2"), one row per loaded node.
void writeNodeLoads(TextWriter& w, const std::string& suffix, const Table<float>& loads,
                    int nodes) {
    section(w, "CARGAS EN LOS NUDOS  (t, m·t)" + suffix,
            "Nudo       Carga X     Carga Y     Carga Z     Momto.X     Momto.Y     Momto.Z");
    for (int n = 1; n <= nodes; ++n) {
        const float* p = loads.row(n);  // p[1..6]
        bool loaded = false;
        for (int k = 1; k <= 6; ++k)
            loaded = loaded || p[k] != 0;
        if (!loaded) continue;
        std::string row = cell(n, "###0") + cell(p[1], "       ##0.000");
        for (int k = 2; k <= 6; ++k)
            row += cell(p[k], "     ##0.000");
        w.line(row);
    }
}

// A text in quotes, a quote inside doubled, as the import reads it back.
std::string quotedName(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c == '\r' || c == '\n' ? ' ' : c;
    }
    return out + "\"";
}

// A factor as the listing writes numbers: shortest text, the locale's separator.
std::string factorText(double f) {
    std::string t = writtenValue(f);
    for (char& c : t)
        if (c == '.') c = decimalSeparator();
    return t;
}

// The cases after the first: their names, their node and bar loads, then the
// combinations with one factor per case.
void writeCases(TextWriter& w, const Structure& d) {
    const LoadCases<float>& cases = d.cases;
    section(w, "HIPOTESIS DE CARGA", " Nº Nombre");
    for (int k = 1; k <= cases.count(); ++k)
        w.line(cell(k, "##0") + " " + quotedName(cases.name(k)));
    static constexpr const char* patterns[] = {"  ##0.000", " ##0.000", " ##0.000", "      #0.00"};
    for (int k = 2; k <= cases.count(); ++k) {
        const LoadCase<float>& c = cases.loadCase(k);
        const std::string suffix = "  HIPOTESIS " + std::to_string(k);
        writeNodeLoads(w, suffix, c.nodeLoads, d.nodeCount);
        section(w, "CARGAS EN LAS BARRAS  (t/m, ºC)" + suffix,
                "Barra  Carga.V CargOrtY CargOrtZ(t/m) DeltTºC");
        for (int b = 1; b <= d.barCount; ++b) {
            const float* q = c.barLoads.row(b);  // q[1..4]
            if (q[1] == 0 && q[2] == 0 && q[3] == 0 && q[4] == 0) continue;
            std::string row = cell(b, "##0");
            for (int f = 1; f <= CaseBarFieldCount; ++f)
                row += " " + cell(q[f], patterns[f - 1]);
            w.line(row);
        }
    }
    if (cases.combinations.empty()) return;
    section(w, "COMBINACIONES",
            " Nº Nombre y coeficientes de las hipótesis 1 a " + std::to_string(cases.count()));
    for (std::size_t c = 0; c < cases.combinations.size(); ++c) {
        const Combination& comb = cases.combinations[c];
        std::string row = cell(double(c + 1), "##0") + " " + quotedName(comb.name);
        for (double f : comb.factors)
            row += " " + factorText(f);
        w.line(row);
    }
}

// The types some bar uses (used[t]) and the structure's weight in kg. A bar
// whose type or nodes do not exist weighs nothing here; the calculation
// reports it.
double typesInUse(const Structure& d, std::vector<bool>& used) {
    used.assign(std::size_t(d.types.count) + 1, false);
    double weight = 0;
    for (int b = 1; b <= d.barCount; ++b) {
        const int t = itemNumber(d.bars(b, Type));
        if (t < 1 || t > d.types.count) continue;
        used[t] = true;
        const int o = itemNumber(d.bars(b, Origin));
        const int e = itemNumber(d.bars(b, End));
        if (!validNode(o, d.nodeCount) || !validNode(e, d.nodeCount)) continue;
        double sum = 0;
        for (int axis = 1; axis <= 3; ++axis) {
            const double delta = double(d.coordinates(e, axis)) - double(d.coordinates(o, axis));
            sum += delta * delta;
        }
        weight +=
            double(d.types.values(t, A)) * std::sqrt(sum) / 10000 * double(d.types.values(t, PE));
    }
    return weight;
}

void writeData(TextWriter& w, const Structure& d) {
    const int nodes = d.nodeCount;
    const int barCount = d.barCount;
    const int typeCount = d.types.count;
    auto coordinate = [&](int node, int axis) { return double(d.coordinates(node, axis)); };
    std::vector<bool> used;
    const double weight = typesInUse(d, used);
    int usedCount = 0;
    for (int t = 1; t <= typeCount; ++t)
        usedCount += used[t];

    section(w, "DATOS");
    w.line("Número de puntos..........= " + freeInteger(nodes));
    w.line("Número de barras..........= " + freeInteger(barCount));
    w.line("Nº tipos barras usadas....= " + freeInteger(usedCount));
    w.line("Peso de la estructura (kg)= " + freeFloat(float(weight)));

    section(w, "CARACTERISTICAS DE LAS BARRAS",
            "Barra Inic Fin Tipo Ang(º) Carga.V CargOrtY CargOrtZ(t/m) DeltTºC EmpOR EmpEX");
    static constexpr const char* barPatterns[] = {
        "",         "  ###0",   "###0",        "##0",    " ##0", "  ##0.000",
        " ##0.000", " ##0.000", "      #0.00", "  0.00", " 0.00"};
    for (int b = 1; b <= barCount; ++b) {
        std::string row = cell(b, "##0");
        for (int f = 1; f <= BarFieldCount; ++f)
            row += " " + cell(d.bars(b, f), barPatterns[f]);
        w.line(row);
    }

    section(w, "COORDENADAS DE LOS NODOS   (en m.)",
            "Nudo  Abcis.X  Orden.Y  Altur.Z                 Nudo  Abcis.X  Orden.Y  Altur.Z");
    auto node = [&](int n) {
        std::string s = cell(n, "####");
        for (int axis = 1; axis <= 3; ++axis)
            s += cell(coordinate(n, axis), " ###0.000");
        return s;
    };
    for (int n = 1; n <= nodes; n += 2) {
        std::string row = node(n);
        if (n + 1 <= nodes) row += std::string(17, ' ') + node(n + 1);
        w.line(row);
    }

    section(w, "TIPOS DE BARRAS",
            " Nº     Nombre     AreaCm2 InerZcm4 InerYcm4 MTorCm4 MYt/c2 mu  Tk/c2 K/m3 mm/kº");
    for (int t = 1; t <= typeCount; ++t) {
        if (!used[t]) continue;
        const float* v = d.types.values.row(t);
        const bool big = v[A] > 1000;
        std::string row = cell(t, "###") + " " + fixedWidth(d.types.names[t], TypeNameLength);
        row += " " + cell(v[A], big ? "#####0" : "###0.0");
        row += " " + cell(v[InerZ], big ? "#######0" : "#####0.0");
        row += " " + cell(v[InerY], big ? "#######0" : "#####0.0");
        row += " " + cell(v[MTors], big ? "#######0" : "#####0.0");
        row += " " + cell(double(v[MY]) / 1000, "###0");
        row += " " + cell(v[Mu], "0.00");
        row += " " + cell(v[TL], "####0");
        row += " " + cell(v[PE], "###0");
        row += " " + cell(double(v[CdTerm]) * 1000, "#0.0");
        w.line(row);
    }

    section(w, "COACCIONES EN LOS NUDOS   (en m.)",
            "Nudo           dX          dY          dZ          gX          gY          gZ");
    for (int n = 1; n <= nodes; ++n) {
        const float* r = d.restraints.row(n);  // r[1..6]
        bool restrained = false;
        for (int k = 1; k <= 6; ++k)
            restrained = restrained || !isFree(r[k]);
        if (!restrained) continue;
        std::string row = cell(n, "###0") + "    ";
        for (int k = 1; k <= 6; ++k)
            row += isFree(r[k]) ? "     LIBRE  " : cell(r[k], "    0.0000  ");
        w.line(row);
    }

    writeNodeLoads(w, "", d.loads, nodes);
    if (!d.cases.plain()) writeCases(w, d);
}

// One set's values as its result files read back: single precision.
struct ListedSet {
    std::vector<float> displacements, unbalanced;  // index 6·(node − 1) + k, k = 1..6
    Table<float> forces;                           // (bar, 1..12)
};

// The three result sections of one case or combination.
template <class Real>
void writeSetResults(TextWriter& w, const BasicStructure<Real>& s, const ListedSet& v) {
    const int nodes = s.nodeCount;
    const int barCount = s.barCount;
    const Table<float>& bars = s.bars;
    const std::vector<float>* const displacements = &v.displacements;
    const Table<float>* const forces = &v.forces;
    const std::vector<float>* const unbalanced = &v.unbalanced;
    section(w, "DESPLAZAMIENTOS DE LOS NUDOS (m., rad.)",
            "Nudo       Despl.X    Despl.Y    Despl.Z         Giro X     Giro Y     Giro Z ");
    static constexpr const char* displacementPatterns[] = {"",
                                                           "      0.000E+00",
                                                           "  0.000E+00",
                                                           "  0.000E+00",
                                                           "      0.000E+00",
                                                           "  0.000E+00",
                                                           "  0.000E+00"};
    for (int n = 1; n <= nodes; ++n) {
        std::string row = cell(n, "###0");
        for (int k = 1; k <= 6; ++k)
            row += cell((*displacements)[std::size_t(n - 1) * 6 + k], displacementPatterns[k]);
        w.line(row);
    }

    // ESFUERZO.RES holds the six forces at the lower-numbered node first. Each
    // row shows the forces of the node it names.
    section(w, "FUERZAS EN EXTREMOS DE LAS BARRAS (t, m·t)     (según ejes locales)",
            "Barra Extremo    Fuer.X     Fuer.Y     Fuer.Z      Mto.X      Mto.Y      Mto.Z ");
    for (int b = 1; b <= barCount; ++b) {
        const int origin = itemNumber(bars(b, Origin));
        const int end = itemNumber(bars(b, End));
        const int originFirst = origin <= end ? 1 : 7;
        const int endFirst = origin <= end ? 7 : 1;
        std::string row = cell(b, "##0") + cell(origin, "  ##0") + "(or)";
        for (int k = 0; k < 6; ++k)
            row += cell((*forces)(b, originFirst + k), "    ##0.000");
        w.line(row);
        row = cell(end, "     ##0") + "(ex)";
        for (int k = 0; k < 6; ++k)
            row += cell((*forces)(b, endFirst + k), "    ##0.000");
        w.line(row);
    }

    section(w, "FUERZAS DESEQUILIBRADAS  (t, m·t) mayores de .001    (* indica coacción)",
            "Nudo     Fuerza X   Fuerza Y   Fuerza Z        MomentoX   MomentoY   MomentoZ ");
    static constexpr const char* unbalancedPatterns[] = {
        "",           "    ####0.000", " ####0.000", " ####0.000", "     ####0.000",
        " ####0.000", " ####0.000"};
    for (int n = 1; n <= nodes; ++n) {
        const float* u = unbalanced->data() + std::size_t(n - 1) * 6;  // u[1..6]
        const Real* r = s.restraints.row(n);
        bool large = false;
        for (int k = 1; k <= 6; ++k)
            large = large || std::abs(double(u[k])) > 0.001;
        if (!large) continue;
        std::string row = cell(n, "##0");
        for (int k = 1; k <= 6; ++k) {
            row += cell(u[k], unbalancedPatterns[k]);
            row += isFree(r[k]) ? ' ' : '*';
        }
        w.line(row);
    }
}

void writeEnvelope(TextWriter& w, const EnvelopeExtremes& e) {
    static const char* const names[6] = {"Axil", "Cort.Y", "Cort.Z", "Torsor", "Mto.Y", "Mto.Z"};
    std::string heading = "Barra  ";
    for (const char* name : names) {
        const std::string n(name);
        heading += std::string(9 - n.size(), ' ') + n + "    ";
    }
    heading.erase(heading.find_last_not_of(' ') + 1);
    section(w,
            std::string("ENVOLVENTE DE LAS ") +
                (e.overCombinations ? "COMBINACIONES" : "HIPOTESIS") +
                ": VALORES EXTREMOS EN CADA BARRA (t, m·t)",
            heading);
    for (std::size_t b = 1; b < e.bars.size(); ++b) {
        std::string max = cell(double(b), "##0") + " máx", min = "    mín";
        for (const EnvelopeExtremes::Value& v : e.bars[b]) {
            max += cell(v.max, " ###0.000") + " " + e.codes[std::size_t(v.maxBy)];
            min += cell(v.min, " ###0.000") + " " + e.codes[std::size_t(v.minBy)];
        }
        w.line(max).line(min);
    }
}

// The title of a set's sections; one case alone is listed as it always was,
// without one.
template <class Real>
void setTitle(TextWriter& w, const BasicStructure<Real>& s, const ResultSet& set) {
    if (set.kind == ResultSet::Kind::Combination) {
        const Combination& c = s.cases.combinations[std::size_t(set.number - 1)];
        section(w, "COMBINACION " + std::to_string(set.number) + ": " + c.name + " = " +
                       combinationFormula(c, decimalSeparator()));
    } else if (s.cases.count() > 1) {
        section(w, "HIPOTESIS " + std::to_string(set.number) + ": " + s.cases.name(set.number));
    }
}

// A set's values read back from its result files.
ListedSet readSet(const fs::path& dir, const Structure& s, const ResultSet& set) {
    auto missing = [&](const char* stem) {
        return FileError(FileError::Kind::Missing,
                         findFile(dir, DiscoX::resultFileName(stem, set)));
    };
    auto displacements =
        DiscoX::readNodeResults<float>(dir, DiscoX::NodeResult::Displacements, s.nodeCount, set);
    if (!displacements) throw missing("INCOG");
    auto forces = DiscoX::readEndForces(dir, s.barCount, set);
    if (!forces) throw missing("ESFUERZO");
    auto unbalanced =
        DiscoX::readNodeResults<float>(dir, DiscoX::NodeResult::Unbalanced, s.nodeCount, set);
    return {std::move(*displacements), std::move(*unbalanced), std::move(*forces)};
}

// Each set's sections from its files, two sets at a time.
std::vector<std::string> readSections(const fs::path& dir) {
    const Structure s = loadStructure<float>(dir, part::Bars | part::Restraints | part::Cases);
    const std::vector<ResultSet> sets = resultSets(s.cases);
    std::vector<std::string> parts(sets.size());
    std::atomic<bool> stop{false};
    onTwoProcessors(
        int(sets.size()),
        [&](int i, bool) {
            const ResultSet& set = sets[std::size_t(i)];
            TextWriter part;
            setTitle(part, s, set);
            writeSetResults(part, s, readSet(dir, s, set));
            parts[std::size_t(i)] = part.content();
        },
        stop);
    return parts;
}

void writeResults(TextWriter& w, const fs::path& dir, const EnvelopeExtremes* envelope) {
    section(w, "RESULTADOS");
    for (const std::string& part : readSections(dir))
        w.text(part);
    if (envelope) writeEnvelope(w, *envelope);
}

}  // namespace

std::string dataListing(const fs::path& dir, const Clock& clock) {
    const Structure data = loadStructure<float>(dir, part::All);
    TextWriter w;
    header(w, dir, clock);
    writeData(w, data);
    return w.content();
}

template <class Real>
std::string resultsSections(const BasicStructure<Real>& s, const ResultSet& set,
                            const std::vector<double>& displacements, const Table<double>& forces,
                            const std::vector<double>& unbalanced) {
    // The files hold each value's shortest text, which reads back as this.
    auto single = [](const std::vector<double>& v) {
        return std::vector<float>(v.begin(), v.end());
    };
    ListedSet listed{single(displacements), single(unbalanced), Table<float>(s.barCount, 12)};
    for (int b = 1; b <= s.barCount; ++b)
        for (int k = 1; k <= 12; ++k)
            listed.forces(b, k) = float(forces(b, k));
    TextWriter w;
    setTitle(w, s, set);
    writeSetResults(w, s, listed);
    return w.content();
}
template std::string resultsSections(const BasicStructure<float>&, const ResultSet&,
                                     const std::vector<double>&, const Table<double>&,
                                     const std::vector<double>&);
template std::string resultsSections(const BasicStructure<double>&, const ResultSet&,
                                     const std::vector<double>&, const Table<double>&,
                                     const std::vector<double>&);

std::string resultsListing(const fs::path& dir, const Clock& clock,
                           const EnvelopeExtremes* envelope) {
    TextWriter w;
    header(w, dir, clock);
    if (!fileExists(dir, "INCOG.RES")) {
        w.line(NotCalculated);
        return w.content();
    }
    writeResults(w, dir, envelope);
    return w.content();
}

void writeDataListing(const fs::path& dir, const Clock& clock) {
    replaceFile(dir, DataListingName, dataListing(dir, clock));
}

void writeResultsListing(const fs::path& dir, const Clock& clock, const EnvelopeExtremes* envelope,
                         const std::vector<std::string>* sections) {
    if (!sections) {
        replaceFile(dir, ResultsListingName, resultsListing(dir, clock, envelope));
        return;
    }
    // The sections as they are, between the heading and the envelope: no copy
    // of the whole text.
    TextWriter head, tail;
    header(head, dir, clock);
    section(head, "RESULTADOS");
    if (envelope) writeEnvelope(tail, *envelope);
    std::vector<std::string_view> pieces{head.content()};
    pieces.insert(pieces.end(), sections->begin(), sections->end());
    pieces.push_back(tail.content());
    replaceFile(dir, ResultsListingName, pieces);
}

}  // namespace vanto::reports
