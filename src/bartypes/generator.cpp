#include "bartypes/generator.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <system_error>

#include "bartypes/catalogue.h"
#include "model/files.h"
#include "model/helpers.h"
#include "model/structure.h"
#include "model/structure_data.h"
#include "model/textfile.h"

namespace vanto::bartypes {

namespace fs = std::filesystem;

const char* const TerrenoHelpText =
    "Opción para experimentar, traduce el módulo de balasto de un terreno medio, de valor "
    "K=75 kg/cm3, a un módulo de Young equivalente, válido sólo para piezas de longitud 1m. En "
    "el nombre del tipo se indica a continuación de la letra L el valor del lado de la pieza en "
    "cm. Si figura una I antes de la L, significa que se ha considerado la inercia a flexión. "
    "Esto último será válido solo si toda la sección resulta comprimida.";

namespace {

// TIPOS.DAT counts its types in 16 bits.
constexpr long long MaxTypes = 32767;

constexpr const char* Header =
    " ACm2...InerZcm4..InerYcm4..MTorsCm4.MYKg/cm2.mu.TLk/c2.PEk/m3.CTmm/mºC.Nombre(b·h)..";

constexpr const char* TooFewMessage =
    "Está intentando crear menor número de tipos barras que los usadas por la estructura "
    "actualmente. Para evitar errores genere mayor número de tipos.";

constexpr const char* TooManyMessage =
    "Con estos intervalos se generarían más de 32767 tipos de barras. Aumente los pasos o "
    "reduzca los intervalos.";

constexpr const char* WarningTitle = "¡ Aviso !";

constexpr const char* SteelRect = "Acero Laminado, Rectangular";
constexpr const char* SteelCirc = "Acero Laminado, Circular";
constexpr const char* SteelProfiles = "Acero Laminado, Perfiles";
constexpr const char* ConcreteRect = "Homigón Armado, Rectangular";
constexpr const char* ConcreteCirc = "Homigón Armado, Circular";

// Patterns of the computed rows, A .. CdTerm.
constexpr const char* Patterns[9] = {"###0.0", "######0.0", "######0.0", "######0.0", "######0",
                                     "0.00",   "####0",     "####0",     "0.000"};

constexpr double Pi = 3.14159265358979;

struct Refused {
    Refusal refusal;
};
[[noreturn]] void refuse(std::string message) {
    throw Refused{{WarningTitle, std::move(message)}};
}

// A number as typed in a box: blanks around it, "," or "." as the separator.
std::optional<float> boxValue(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    std::string s = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    if (const auto comma = s.find(','); comma != std::string::npos) s[comma] = '.';
    const char* begin = s.data() + (s[0] == '+' ? 1 : 0);
    double v = 0;
    const auto res = std::from_chars(begin, s.data() + s.size(), v);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size()) return std::nullopt;
    const float f = float(v);
    if (!std::isfinite(v) || !std::isfinite(f)) return std::nullopt;
    return f;
}

float number(const std::string& text, const char* column, const char* range, const char* family) {
    const auto v = boxValue(text);
    if (!v)
        refuse(std::string("El valor de la casilla «") + column + "» de «" + range + "» (" +
               family + ") no es un número: «" + text + "».");
    return *v;
}

// The sizes of "For v = from To to Step step" in 32-bit floats; a step of 0 is 1.
std::vector<float> sizes(const std::string& from, const std::string& to, const std::string& step,
                         const char* range, const char* family) {
    const float a = number(from, "Desde", range, family);
    const float b = number(to, "Hasta", range, family);
    float s = number(step, "Cada", range, family);
    if (s == 0) s = 1;
    std::vector<float> out;
    for (float v = a; s > 0 ? v <= b : v >= b;) {
        if (!(v > 0))
            refuse(
                std::string("Las medidas de las secciones deben ser mayores que cero: revise «") +
                range + "» (" + family + ").");
        if ((long long)(out.size()) >= MaxTypes) refuse(TooManyMessage);
        out.push_back(v);
        const float next = v + s;
        if (next == v) refuse(TooManyMessage);  // the step is lost against the size
        v = next;
    }
    return out;
}

std::vector<const ProfileRow*> profiles(Series series, const std::string& min,
                                        const std::string& max, const char* range) {
    const float lo = number(min, "Desde", range, SteelProfiles);
    const float hi = number(max, "Hasta", range, SteelProfiles);
    std::vector<const ProfileRow*> out;
    for (const ProfileRow& row : catalogue(series))
        if (lo < row.size && row.size < hi) out.push_back(&row);
    return out;
}

std::string lastCharacters(const std::string& s, std::size_t n) {
    return s.size() <= n ? s : s.substr(s.size() - n);
}

std::string rectName(float b, float h) {
    return lastCharacters("---" + writtenValue(b) + "x" + writtenValue(h), 5);
}
std::string circName(float d) {
    return lastCharacters("-----d" + writtenValue(d), 6);
}

std::string computedRow(const double (&v)[9], const std::string& name) {
    std::array<std::string, 9> fields;
    for (int f = 0; f < 9; ++f)
        fields[f] = FormatPadded(v[f], Patterns[f]);
    return typeRow(fields, name);
}

GeneratedTypes generate(const GeneratorOptions& o, int maxTypeUsed, Progress* progress) {
    const SteelGrade steel = steelGrade(o.CmbAcer);
    const ConcreteGrade concrete = concreteGrade(o.CmbHorm);

    // Counting: every box of a ticked family is read and its sizes listed, so
    // the count is the number of rows written, whatever the float loops give.
    std::vector<float> aw, ad, ac, hw, hd, hc;
    if (o.ALrect) {
        aw = sizes(o.AAnchMin, o.AAnchMax, o.AAnchStep, "Ancho (cm.)", SteelRect);
        ad = sizes(o.ACantMin, o.ACantMax, o.ACantStep, "Canto (cm.)", SteelRect);
    }
    if (o.ALcirc) ac = sizes(o.ADiamMin, o.AdiamMax, o.ADiamStep, "Diametro (cm.)", SteelCirc);
    if (o.HArect) {
        hw = sizes(o.HAnchMin, o.HAnchMax, o.HAnchStep, "Ancho (cm.)", ConcreteRect);
        hd = sizes(o.HCantMin, o.HCantMax, o.HCantStep, "Canto (cm.)", ConcreteRect);
    }
    if (o.HAcirc) hc = sizes(o.HDiamMin, o.HDiamMax, o.HDiamStep, "Diametro (cm.)", ConcreteCirc);
    std::vector<const ProfileRow*> rolled;
    if (o.ALperf) {
        for (auto [series, min, max, range] :
             {std::tuple{Series::IPE, &o.IPEmin, &o.IPEmax, "IPE (mm.)"},
              std::tuple{Series::HEB, &o.HEBmin, &o.HEBmax, "HEB (mm.)"},
              std::tuple{Series::UPN, &o.UPNmin, &o.UPNmax, "UPN (mm.)"}}) {
            const auto rows = profiles(series, *min, *max, range);
            rolled.insert(rolled.end(), rows.begin(), rows.end());
        }
    }
    const long long computed =
        (long long)(aw.size()) * (long long)(ad.size()) + (long long)(ac.size()) +
        (long long)(hw.size()) * (long long)(hd.size()) + (long long)(hc.size());
    const long long total = computed + (long long)(rolled.size()) + (o.Terreno ? 4 : 0);
    if (total > MaxTypes) refuse(TooManyMessage);
    if (total < maxTypeUsed) throw Refused{{"", TooFewMessage}};

    GeneratedTypes out;
    out.count = int(total);
    out.lines.reserve(std::size_t(total));
    long long done = 0;
    auto add = [&](const double(&v)[9], const std::string& name) {
        out.lines.push_back(computedRow(v, name));
        if (progress) progress->report(1, ++done, total);
    };
    if (progress) progress->report(1, 0, total);

    for (float b : aw)
        for (float h : ad) {
            const double v[9] = {double(b) * h,
                                 double(b) * h * h * h / 12,
                                 double(h) * b * b * b / 12,
                                 TorsionConstant(b, h, Material::Steel),
                                 SteelMY,
                                 SteelMu,
                                 steel.TL,
                                 SteelPE,
                                 SteelCdTerm};
            add(v, std::string(steel.prefix) + ".rect--" + rectName(b, h));
        }
    for (float d : ac) {
        const double r = d / 2.0;
        const double v[9] = {Pi * r * r,
                             Pi * r * r * r * r / 4,
                             Pi * r * r * r * r / 4,
                             Pi * r * r * r * r / 2,
                             SteelMY,
                             SteelMu,
                             steel.TL,
                             SteelPE,
                             SteelCdTerm};
        add(v, std::string(steel.prefix) + ".circ-" + circName(d));
    }
    for (float b : hw)
        for (float h : hd) {
            const double v[9] = {double(b) * h,
                                 double(b) * h * h * h / 12,
                                 double(h) * b * b * b / 12,
                                 TorsionConstant(b, h, Material::Concrete),
                                 concrete.MY,
                                 ConcreteMu,
                                 concrete.fc,
                                 ConcretePE,
                                 ConcreteCdTerm};
            add(v, concrete.prefix + "-----" + rectName(b, h));
        }
    for (float d : hc) {
        const double r = d / 2.0;
        const double v[9] = {Pi * r * r,
                             Pi * r * r * r * r / 4,
                             Pi * r * r * r * r / 4,
                             Pi * r * r * r * r / 2,
                             concrete.MY,
                             ConcreteMu,
                             ConcreteCircleTL,
                             ConcretePE,
                             ConcreteCdTerm};
        add(v, concrete.prefix + "----" + circName(d));
    }
    for (const ProfileRow* row : rolled)
        out.lines.push_back(profileRow(*row, steel));
    if (o.Terreno)
        for (const SoilSpringRow& row : soilSprings())
            out.lines.push_back(soilSpringRow(row));
    if (progress) progress->report(1, total, total);
    return out;
}

}  // namespace

GeneratorOptions GeneratorOptions::everything() {
    GeneratorOptions o;
    o.ALperf = o.ALrect = o.ALcirc = o.HArect = o.HAcirc = o.Terreno = true;
    return o;
}

const std::vector<std::string>& steelGrades() {
    static const std::vector<std::string> entries = {"A 42", "A 52"};
    return entries;
}

const std::vector<std::string>& concreteGrades() {
    static const std::vector<std::string> entries = {"HA-25", "HA-30", "HA-35",
                                                     "HA-40", "HA-45", "HA-50"};
    return entries;
}

std::variant<GeneratedTypes, Refusal> generateTypes(const GeneratorOptions& options,
                                                    int maxTypeUsed, Progress* progress) {
    try {
        return generate(options, maxTypeUsed, progress);
    } catch (Refused& r) {
        return std::move(r.refusal);
    }
}

std::string typesFileText(const GeneratedTypes& types) {
    TextWriter w;
    w.reserve((types.lines.size() + 2) * 96);
    w.line(Header);
    w.line(" " + std::to_string(types.count) + " ");
    for (const std::string& line : types.lines)
        w.line(line);
    return w.content();
}

void writeTypesFile(const fs::path& dir, const GeneratedTypes& types) {
    if (types.count != int(types.lines.size()))
        throw std::logic_error("type count differs from its lines");
    replaceFile(dir, "TIPOS.DAT", typesFileText(types));
}

std::variant<int, Refusal> Crear(const fs::path& dir, const GeneratorOptions& options,
                                 int maxTypeUsed, Progress* progress) {
    auto result = generateTypes(options, maxTypeUsed, progress);
    if (auto* refusal = std::get_if<Refusal>(&result)) return std::move(*refusal);
    const auto& types = std::get<GeneratedTypes>(result);
    writeTypesFile(dir, types);
    return types.count;
}

int maxTypeUsed(const fs::path& dir) {
    StructureCounts counts;
    if (DiscoX::readDatos(dir, counts) != DiscoX::Status::Read || counts.BarCount == 0) return 0;
    Structure s(counts);
    s.read(dir, part::Bars);
    int used = 0;
    for (int b = 1; b <= s.barCount; ++b)
        used = std::max(used, itemNumber(s.bars(b, Type)));
    return used;
}

void writeDefaultTypes(const fs::path& dir) {
    const auto written = Crear(dir, GeneratorOptions::everything());
    if (auto* refusal = std::get_if<Refusal>(&written)) throw std::logic_error(refusal->message);
}

}  // namespace vanto::bartypes
