#include "bartypes/generator.h"

#include <gtest/gtest.h>

#include "model/files.h"
#include "support/tempdir.h"

namespace vanto::bartypes {
namespace {

using test::snapshot;
using test::TempDir;

GeneratedTypes generated(const GeneratorOptions& o, int maxTypeUsed = 0) {
    auto r = generateTypes(o, maxTypeUsed);
    if (auto* refusal = std::get_if<Refusal>(&r)) {
        ADD_FAILURE() << refusal->message;
        return {};
    }
    return std::get<GeneratedTypes>(r);
}

// A row whole, or only its name when `want` is a name (15 characters).
std::string row(const std::string& line, const std::string& want) {
    return want.size() == 15 ? line.substr(line.find('"') + 1, 15) : line;
}

const std::string Header =
    " ACm2...InerZcm4..InerYcm4..MTorsCm4.MYKg/cm2.mu.TLk/c2.PEk/m3.CTmm/mºC.Nombre(b·h)..\r\n";

TEST(Defaults, EveryFamilyGivesThirtyThreeInOrder) {
    const GeneratedTypes t = generated(GeneratorOptions::everything());
    ASSERT_EQ(t.count, 33);
    ASSERT_EQ(t.lines.size(), 33u);
    // 8 steel rectangles, 7 steel circles, 10 concrete rectangles, 1 concrete
    // circle, the three 120 profiles and the four soil springs; some rows by hand.
    const std::pair<int, const char*> rows[] = {
        // Steel 2.5 × 4: A 10, InerZ 2.5·4³/12 = 13.33, InerY 4·2.5³/12 = 5.21,
        // MTors 0.2026·2.5³·4 = 12.66.
        {0,
         "  10.0      13.3       5.2      12.7 2100000 0.30  2600  7850 0.012 "
         "\"A42.rect--2.5x4\""},
        {7, "A42.rect----3x7"},
        {8, "A42.circ-----d2"},
        {9, "A42.circ---d2.5"},
        // Steel circle d = 5: π·2.5² = 19.63, π·2.5⁴/4 = 30.68 twice, π·2.5⁴/2.
        {14,
         "  19.6      30.7      30.7      61.4 2100000 0.30  2600  7850 0.012 "
         "\"A42.circ-----d5\""},
        // HA-25 25 × 25: 625, 25⁴/12 = 32552.08, β 0.14 → 54687.5, MY 292402, TL = fc.
        {15,
         " 625.0   32552.1   32552.1   54687.5  292402 0.20   250  2500 0.011 "
         "\"HA-25-----25x25\""},
        {24, "HA-25-----70x25"},
        // HA-25 circle d = 30: 706.86, π·15⁴/4 = 39760.78, twice that; TL 175.
        {25,
         " 706.9   39760.8   39760.8   79521.6  292402 0.20   175  2500 0.011 "
         "\"HA-25-------d30\""},
        {26,
         "  13.2     318.0      27.7      1.77 2100000 0.30  2600  7850 0.012 "
         "\"A42-IPE-----120\""},
        {27, "A42-HEB-----120"},
        {28, "A42-UPN-----120"},
        {29, "T-K75=5---IL125"},
        {32, "T-K75=5-----L20"},
    };
    for (const auto& [i, want] : rows)
        EXPECT_EQ(row(t.lines[i], want), want) << i;

    const std::string text = typesFileText(t);
    EXPECT_TRUE(text.starts_with(Header + " 33 \r\n  10.0 "));
    EXPECT_TRUE(text.ends_with("\"T-K75=5-----L20\"\r\n"));
    EXPECT_EQ(typesFileText(generated(GeneratorOptions())), Header + " 0 \r\n");
    TempDir dir;
    writeDefaultTypes(dir.path());
    EXPECT_EQ(dir.read("TIPOS.DAT"), text);
}

TEST(Ranges, SizesCountsAndNames) {
    using O = GeneratorOptions;
    const struct {
        const char* what;
        GeneratorOptions options;
        int count;
        std::vector<std::string> ends;  // the first row and the last
    } cases[] = {
        {"step 0: one size",
         O{.ALcirc = true, .ADiamMin = "5", .AdiamMax = "5", .ADiamStep = "0"},
         1,
         {"A42.circ-----d5"}},
        {"profile bounds are excluded",
         O{.ALperf = true, .IPEmin = "80", .IPEmax = "600", .HEBmax = "0", .UPNmax = "0"},
         16,
         {"A42-IPE-----100", "A42-IPE-----550"}},
        {"IPE 80 is the smallest",
         O{.ALperf = true, .IPEmin = "0", .IPEmax = "100", .HEBmax = "0", .UPNmax = "0"},
         1,
         {"A42-IPE------80"}},
        {"long names lose their leading characters",
         O{.ALrect = true,
           .AAnchMin = "12,5",
           .AAnchMax = "12.5",
           .AAnchStep = "0",
           .ACantMin = "40",
           .ACantMax = "40",
           .ACantStep = "0"},
         1,
         {"A42.rect--.5x40"}},
        // 0.1 added nine times in 32 bits passes 1: nine sizes, not ten.
        {"the 32-bit loop",
         O{.ALcirc = true, .ADiamMin = "0,1", .AdiamMax = "1", .ADiamStep = "0,1"},
         9,
         {}},
        {"downward",
         O{.ALcirc = true, .ADiamMin = "5", .AdiamMax = "3", .ADiamStep = "-1"},
         3,
         {"A42.circ-----d5", "A42.circ-----d3"}},
        {"a range that runs away", O{.ALcirc = true, .ADiamMin = "5", .AdiamMax = "3"}, 0, {}},
        // A 52; HA-30: MY = 100000·∛30 ≈ 310723, TL 300 for rectangles, 175 for circles.
        {"steel grade",
         O{.ALcirc = true, .ADiamMin = "2", .AdiamMax = "2", .CmbAcer = 1},
         1,
         {"   3.1       0.8       0.8       1.6 2100000 0.30  3600  7850 0.012 "
          "\"A52.circ-----d2\""}},
        {"concrete grade, rectangle",
         O{.HArect = true, .HAnchMax = "25", .CmbHorm = 1},
         1,
         {" 625.0   32552.1   32552.1   54687.5  310723 0.20   300  2500 0.011 "
          "\"HA-30-----25x25\""}},
        {"concrete grade, circle",
         O{.HAcirc = true, .CmbHorm = 1},
         1,
         {" 706.9   39760.8   39760.8   79521.6  310723 0.20   175  2500 0.011 "
          "\"HA-30-------d30\""}},
    };
    for (const auto& c : cases) {
        const GeneratedTypes t = generated(c.options);
        ASSERT_EQ(t.count, c.count) << c.what;
        ASSERT_EQ(t.lines.size(), size_t(c.count)) << c.what;
        for (std::size_t k = 0; k < c.ends.size(); ++k) {
            const std::string& line = k == 0 ? t.lines.front() : t.lines.back();
            EXPECT_EQ(row(line, c.ends[k]), c.ends[k]) << c.what;
        }
    }
    // Comma and point read alike.
    EXPECT_EQ(generated(O{.ALcirc = true}).lines,
              generated(O{.ALcirc = true, .ADiamMin = " 2.0 ", .ADiamStep = "0.5"}).lines);
}

TEST(Refusals, MessagesNameTheirCause) {
    using O = GeneratorOptions;
    const std::string tooMany =
        "Con estos intervalos se generarían más de 32767 tipos de barras. Aumente los pasos o "
        "reduzca los intervalos.";
    const struct {
        GeneratorOptions options;
        int maxTypeUsed;
        std::string message;
    } cases[] = {
        {O::everything(), 34,
         "Está intentando crear menor número de tipos barras que los usadas por la estructura "
         "actualmente. Para evitar errores genere mayor número de tipos."},
        {O{.ALrect = true, .AAnchMax = "tres"}, 0,
         "El valor de la casilla «Hasta» de «Ancho (cm.)» (Acero Laminado, Rectangular) no es "
         "un número: «tres»."},
        {O{.HAcirc = true, .HDiamStep = ""}, 0,
         "El valor de la casilla «Cada» de «Diametro (cm.)» (Homigón Armado, Circular) no es un "
         "número: «»."},
        {O{.ALperf = true, .UPNmin = "1,2,3"}, 0,
         "El valor de la casilla «Desde» de «UPN (mm.)» (Acero Laminado, Perfiles) no es un "
         "número: «1,2,3»."},
        {O{.HArect = true, .HCantMin = "-5", .HCantMax = "5", .HCantStep = "5"}, 0,
         "Las medidas de las secciones deben ser mayores que cero: revise «Canto (cm.)» "
         "(Homigón Armado, Rectangular)."},
        {O{.ALcirc = true, .ADiamMin = "1", .AdiamMax = "100000", .ADiamStep = "0,001"}, 0,
         tooMany},
        // A step lost against the size would never end the loop.
        {O{.ALcirc = true, .ADiamMin = "1e8", .AdiamMax = "2e8", .ADiamStep = "1"}, 0, tooMany},
        // 200 × 200 rectangles: each range is fine, the product is not.
        {O{.ALrect = true, .AAnchMin = "1", .AAnchMax = "200", .ACantMin = "1", .ACantMax = "200"},
         0, tooMany},
    };
    for (const auto& c : cases) {
        auto r = generateTypes(c.options, c.maxTypeUsed);
        ASSERT_TRUE(std::holds_alternative<Refusal>(r)) << c.message;
        EXPECT_EQ(std::get<Refusal>(r).message, c.message);
        // Too few types is a plain message, without a title.
        EXPECT_EQ(std::get<Refusal>(r).title, c.maxTypeUsed ? "" : "¡ Aviso !");
    }
    EXPECT_EQ(generated(O::everything(), 33).count, 33);
    // A family that is not ticked is not read.
    EXPECT_EQ(generated(O{.UPNmin = "1,2,3", .Terreno = true}).count, 4);
}

TEST(Progress, OnePerComputedSection) {
    struct : Progress {
        void report(int stage, long long current, long long total) override {
            EXPECT_EQ(stage, 1);
            calls.emplace_back(current, total);
        }
        std::vector<std::pair<long long, long long>> calls;
    } p;
    ASSERT_TRUE(std::holds_alternative<GeneratedTypes>(
        generateTypes(GeneratorOptions::everything(), 0, &p)));
    // 0 of 33, then the 26 computed sections, then 33 of 33.
    ASSERT_EQ(p.calls.size(), 28u);
    EXPECT_EQ(p.calls.front(), std::make_pair(0LL, 33LL));
    EXPECT_EQ(p.calls[26], std::make_pair(26LL, 33LL));
    EXPECT_EQ(p.calls.back(), std::make_pair(33LL, 33LL));
}

TEST(TiposFile, CrearWritesEveryFamilyOrNothing) {
    TempDir dir;
    GeneratorOptions o = GeneratorOptions::everything();
    o.IPEmin = o.HEBmin = o.UPNmin = "0";
    o.IPEmax = o.HEBmax = o.UPNmax = "1000";
    o.CmbAcer = 1;
    o.CmbHorm = 5;
    const auto written = Crear(dir.path(), o);
    ASSERT_TRUE(std::holds_alternative<int>(written));
    EXPECT_EQ(std::get<int>(written), 26 + 49 + 4);
    const BarTypes<double> types = DiscoX::readTypes<double>(dir.path());
    EXPECT_EQ(types.count, 79);
    EXPECT_EQ(types.names[75], "A52-UPN-----300");
    EXPECT_DOUBLE_EQ(types.values(75, A), 58.8);

    const std::string before = snapshot(dir.path());
    o.ADiamMin = "dos";
    EXPECT_TRUE(std::holds_alternative<Refusal>(Crear(dir.path(), o)));
    EXPECT_TRUE(
        std::holds_alternative<Refusal>(Crear(dir.path(), GeneratorOptions::everything(), 80)));
    EXPECT_EQ(snapshot(dir.path()), before);
}

}  // namespace
}  // namespace vanto::bartypes
