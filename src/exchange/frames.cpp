#include "exchange/frames.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "bartypes/catalogue.h"
#include "exchange/fields.h"
#include "exchange/replacement.h"
#include "model/files.h"
#include "model/structure_data.h"
#include "model/textfile.h"

namespace vanto::exchange {

namespace fs = std::filesystem;

namespace {

// Node and bar numbers are held in 32-bit fields: beyond 2^24 they lose units.
constexpr int MaxItems = 16777216;
constexpr int MaxTypes = 32767;

std::string trimmed(std::string s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.back()))
        s.pop_back();
    std::size_t i = 0;
    while (i < s.size() && blank(s[i]))
        ++i;
    return s.substr(i);
}

void addTitleLine(std::string& title, std::string line) {
    line = trimmed(std::move(line));
    if (line.empty()) return;
    if (!title.empty()) title += "\r\n";
    title += line;
}

std::string item(const char* what, int n) {
    return std::string(what) + " " + std::to_string(n);
}

void readTypes(FieldReader& in, FrameFile& f, int count) {
    f.types.assign(std::size_t(count) + 1, {});
    for (int t = 1; t <= count; ++t) {
        const std::string rec = item("del tipo", t);
        auto& r = f.types[std::size_t(t)];
        r[0] = in.number("clase " + rec);
        r[1] = in.number("E " + rec);
        r[2] = in.number("s " + rec);
        r[3] = in.number("A " + rec);
        r[4] = in.number("I " + rec);
    }
}

void readNodes(FieldReader& in, FrameFile& f, int count) {
    f.nodes.assign(std::size_t(count) + 1, {});
    for (int n = 1; n <= count; ++n) {
        f.nodes[std::size_t(n)][0] = in.number("x " + item("del nudo", n));
        f.nodes[std::size_t(n)][1] = in.number("y " + item("del nudo", n));
    }
}

// Origin, end and type of bar b; node numbers must exist, the type may be 0.
void readBarEnds(FieldReader& in, const FrameFile& f, FrameBar& bar, int b, int nodeCount) {
    if (nodeCount < 1) in.fail("hay barras pero ningún nudo.");
    const std::string rec = item("de la barra", b);
    bar.origin = in.whole("nudo origen " + rec, 1, nodeCount);
    bar.end = in.whole("nudo final " + rec, 1, nodeCount);
    bar.type = in.whole("tipo " + rec, 0, f.typeCount());
    if (bar.type != 0 && bar.origin == bar.end)
        in.failAtValue("la barra " + std::to_string(b) + " une el nudo " +
                       std::to_string(bar.origin) + " consigo mismo.");
}

void readTriples(FieldReader& in, std::vector<std::array<float, 3>>& out, int count,
                 const char* what) {
    out.assign(std::size_t(count) + 1, {});
    for (int n = 1; n <= count; ++n)
        for (int k = 0; k < 3; ++k)
            out[std::size_t(n)][std::size_t(k)] = in.number(
                std::string(what) + " " + std::to_string(k + 1) + " " + item("del nudo", n));
}

// Absurd counts are refused before anything is sized by them: every value
// takes at least a character and a separator.
void checkCountsFit(FieldReader& in, std::size_t textSize, long long values, int nodes, int bars,
                    int types) {
    if (2 * values <= static_cast<long long>(textSize) + 1) return;
    in.failAtValue("los números de nudos, barras y tipos (" + std::to_string(nodes) + ", " +
                   std::to_string(bars) + ", " + std::to_string(types) +
                   ") no caben en el fichero; está incompleto o esos números están mal.");
}

void heading(FieldReader& in, const char* block) {
    in.line(std::string("la línea de encabezado de ") + block);
}

// The text of a 32-bit value with at most 7 significant digits and no blanks,
// as the section names have always shown it.
std::string singleText(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.7G", double(v));
    return buf;
}

Summary importFrame(const fs::path& dir, const fs::path& file, Progress* progress,
                    FrameFile (*reader)(std::string_view, const std::string&)) {
    Summary summary;
    const auto text = readTextFile(file);
    if (!text) throw ExchangeError("No se puede leer el fichero: " + file.string());
    const std::string label = file.filename().string();
    const FrameFile f = reader(*text, label);
    const BarTypes<float> types = frameTypes(f, label);

    // Bars of type 0 go, then the nodes no remaining bar uses.
    std::vector<int> newNumber(std::size_t(f.nodeCount()) + 1, 0);
    std::vector<const FrameBar*> kept;
    for (int b = 1; b <= f.barCount(); ++b) {
        const FrameBar& bar = f.bars[std::size_t(b)];
        if (bar.type == 0) continue;
        kept.push_back(&bar);
        newNumber[std::size_t(bar.origin)] = newNumber[std::size_t(bar.end)] = 1;
    }
    int nodeCount = 0;
    for (int n = 1; n <= f.nodeCount(); ++n)
        if (newNumber[std::size_t(n)]) newNumber[std::size_t(n)] = ++nodeCount;
    const int barCount = int(kept.size());

    Structure s;
    s.nodeCount = nodeCount;
    s.barCount = barCount;
    s.reset(part::Geometry | part::Restraints | part::Loads);
    s.types = types;
    s.held = part::All;
    Table<float>& xyz = s.coordinates;
    Table<float>& loads = s.loads;
    Table<float>& restraints = s.restraints;
    auto negated = [](float r) { return r == FreeMarker ? r : (r == 0 ? 0.0f : -r); };
    for (int n = 1; n <= f.nodeCount(); ++n) {
        if (progress) {
            progress->report(1, n, f.nodeCount());
            if (progress->stopRequested()) {
                summary.outcome = Outcome::Stopped;
                return summary;
            }
        }
        const int m = newNumber[std::size_t(n)];
        if (!m) continue;
        const auto& node = f.nodes[std::size_t(n)];
        xyz(m, 1) = 0;
        xyz(m, 2) = node[0];
        xyz(m, 3) = node[1];
        const auto& p = f.loads[std::size_t(n)];
        loads(m, 2) = p[0];
        loads(m, 3) = p[1];
        loads(m, 4) = p[2];
        const auto& r = f.restraints[std::size_t(n)];
        restraints(m, 1) = 0;
        restraints(m, 2) = r[0];
        restraints(m, 3) = negated(r[1]);
        restraints(m, 4) = negated(r[2]);
        restraints(m, 5) = FreeMarker;
        restraints(m, 6) = FreeMarker;
    }

    Table<float>& bars = s.bars;
    for (int b = 1; b <= barCount; ++b) {
        if (progress) {
            progress->report(2, b, barCount);
            if (progress->stopRequested()) {
                summary.outcome = Outcome::Stopped;
                return summary;
            }
        }
        const FrameBar& bar = *kept[std::size_t(b - 1)];
        int origin = newNumber[std::size_t(bar.origin)], end = newNumber[std::size_t(bar.end)];
        float empOR = bar.empOR, empEX = bar.empEX;
        // The smaller number first; each fixity stays with its own node.
        if (origin > end) {
            std::swap(origin, end);
            std::swap(empOR, empEX);
        }
        bars(b, Origin) = float(origin);
        bars(b, End) = float(end);
        bars(b, Type) = float(bar.type);
        bars(b, VerticalLoad) = bar.load;
        bars(b, EmpOR) = empOR;
        bars(b, EmpEX) = empEX;
    }

    StructureReplacement replacement(dir, StructureReplacement::Cleanup::DataAndResults);
    s.save(replacement.stage(), part::All);
    // The title describes the frame, but never over the user's own description.
    if (!f.title.empty() && !fileExists(dir, "NOTAS.DAT"))
        DiscoX::writeNotes(replacement.stage(), f.title);
    replacement.complete();
    replacement.commit(file);

    summary.outcome = Outcome::Written;
    summary.nodeCount = nodeCount;
    summary.barCount = barCount;
    return summary;
}

}  // namespace

FrameFile readSingleCaseFrameFile(std::string_view text, const std::string& label) {
    FieldReader in(std::string(text), label);
    FrameFile f;
    addTitleLine(f.title, in.line("el título"));
    const int nodes = in.whole("número de nudos", 0, MaxItems);
    const int bars = in.whole("número de barras", 0, MaxItems);
    const int types = in.whole("número de tipos", 0, MaxTypes);
    checkCountsFit(in, text.size(), 5LL * types + 10LL * bars + 8LL * nodes, nodes, bars, types);
    heading(in, "los tipos");
    readTypes(in, f, types);
    heading(in, "las barras");
    f.bars.assign(std::size_t(bars) + 1, {});
    for (int b = 1; b <= bars; ++b)
        readBarEnds(in, f, f.bars[std::size_t(b)], b, nodes);
    heading(in, "los nudos");
    readNodes(in, f, nodes);
    heading(in, "las coacciones");
    readTriples(in, f.restraints, nodes, "coacción");
    heading(in, "las cargas");
    readTriples(in, f.loads, nodes, "carga");
    heading(in, "las cargas de barra");
    for (int b = 1; b <= bars; ++b) {
        const std::string rec = item("de la barra", b);
        f.bars[std::size_t(b)].load = in.number("q " + rec);
        for (int k = 2; k <= 7; ++k)
            in.number("valor " + std::to_string(k) + " de la carga " + rec);
    }
    return f;
}

FrameFile readFourCaseFrameFile(std::string_view text, const std::string& label) {
    FieldReader in(std::string(text), label);
    FrameFile f;
    addTitleLine(f.title, in.line("el título"));
    addTitleLine(f.title, in.line("la segunda línea del título"));
    const int types = in.whole("número de tipos", 0, MaxTypes);
    const int nodes = in.whole("número de nudos", 0, MaxItems);
    const int bars = in.whole("número de barras", 0, MaxItems);
    checkCountsFit(in, text.size(), 5LL * types + 38LL * bars + 17LL * nodes, nodes, bars, types);
    heading(in, "los tipos");
    readTypes(in, f, types);
    heading(in, "los nudos");
    readNodes(in, f, nodes);
    heading(in, "las barras");
    f.bars.assign(std::size_t(bars) + 1, {});
    for (int b = 1; b <= bars; ++b) {
        FrameBar& bar = f.bars[std::size_t(b)];
        readBarEnds(in, f, bar, b, nodes);
        const std::string rec = item("de la barra", b);
        bar.empOR = in.number("empotramiento en el origen " + rec);
        bar.empEX = in.number("empotramiento en el final " + rec);
        in.number("sexto valor " + rec);
    }
    heading(in, "las coacciones");
    readTriples(in, f.restraints, nodes, "coacción");
    heading(in, "las cargas");
    f.loads.assign(std::size_t(nodes) + 1, {});
    for (int n = 1; n <= nodes; ++n)
        for (int c = 1; c <= 4; ++c)
            for (int k = 0; k < 3; ++k)
                f.loads[std::size_t(n)][std::size_t(k)] +=
                    in.number("carga " + std::to_string(k + 1) + " de la hipótesis " +
                              std::to_string(c) + " " + item("del nudo", n));
    heading(in, "las cargas de barra");
    for (int b = 1; b <= bars; ++b) {
        float sum = 0;
        for (int c = 1; c <= 4; ++c) {
            const std::string rec =
                "de la hipótesis " + std::to_string(c) + " " + item("de la barra", b);
            sum += in.number("q " + rec);
            for (int k = 2; k <= 8; ++k)
                in.number("valor " + std::to_string(k) + " de la carga " + rec);
        }
        f.bars[std::size_t(b)].load = sum == 0 ? 0.0f : -sum;
    }
    return f;
}

BarTypes<float> frameTypes(const FrameFile& f, const std::string& label) {
    constexpr double Pi = 3.14159265358979;
    BarTypes<float> out;
    out.count = f.typeCount();
    out.values = Table<float>(out.count, TypeFieldCount);
    out.names.assign(std::size_t(out.count) + 1, std::string());
    // Other kinds keep the geometry of the record before.
    float area = 0, inerZ = 0, inerY = 0, mTors = 0;
    std::string shape;
    for (int t = 1; t <= out.count; ++t) {
        const auto& [kind, E, s, A, I] = f.types[std::size_t(t)];
        const bool steel = E >= 1000000;
        const auto material = steel ? bartypes::Material::Steel : bartypes::Material::Concrete;
        if (kind == 1) {
            // Rectangle of side s; the other side lies along local y.
            const float b = A / s;
            area = A;
            inerZ = float(double(s) * std::pow(double(b), 3) / 12);
            inerY = float(double(b) * std::pow(double(s), 3) / 12);
            mTors = float(bartypes::TorsionConstant(s, b, material));
            shape = singleText(s) + "x" + singleText(b);
        } else if (kind == 2) {
            area = A;
            inerZ = inerY = I;
            mTors = float(bartypes::TorsionConstant(s, 0, material));
            shape = "d" + singleText(s);
        } else if (kind == 3) {
            area = A;
            inerZ = inerY = I;
            mTors = float(bartypes::TorsionConstant(std::sqrt(4 * double(A) / Pi), 0, material));
            shape = "Wm";
        }
        float* v = out.values.row(t);
        v[TypeField::A] = area;
        v[InerZ] = inerZ;
        v[InerY] = inerY;
        v[MTors] = mTors;
        v[MY] = E;
        v[Mu] = 0;
        v[TL] = steel ? 2600 : 250;
        v[PE] = steel ? 7850 : 2500;
        v[CdTerm] = steel ? 0.012f : 0.011f;
        for (int k = 1; k <= TypeFieldCount; ++k)
            if (!std::isfinite(v[k]))
                throw ExchangeError(label + ": el tipo " + std::to_string(t) +
                                    " no describe una sección válida (lado nulo o área negativa).");
        const std::string prefix = steel ? "A-42..........." : "H-250..........";
        const std::size_t keep = shape.size() < 15 ? 15 - shape.size() : 0;
        out.names[std::size_t(t)] = prefix.substr(0, keep) + shape;
    }
    return out;
}

Summary wmin(const fs::path& dir, const fs::path& file, Progress* progress) {
    return importFrame(dir, file, progress, readSingleCaseFrameFile);
}

Summary kvin(const fs::path& dir, const fs::path& file, Progress* progress) {
    return importFrame(dir, file, progress, readFourCaseFrameFile);
}

}  // namespace vanto::exchange
