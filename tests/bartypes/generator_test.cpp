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

Refusal refused(const GeneratorOptions& o, int maxTypeUsed = 0) {
    auto r = generateTypes(o, maxTypeUsed);
    if (!std::holds_alternative<Refusal>(r)) {
        ADD_FAILURE() << "generated " << std::get<GeneratedTypes>(r).count << " types";
        return {};
    }
    return std::get<Refusal>(r);
}

// The name written at the end of a row, without its quotes.
std::string nameOf(const std::string& row) {
    const auto open = row.find('"');
    return row.substr(open + 1, row.size() - open - 2);
}

TEST(Defaults, EveryFamilyGivesThirtyThree) {
    const GeneratedTypes t = generated(GeneratorOptions::everything());
    ASSERT_EQ(t.count, 33);
    ASSERT_EQ(t.lines.size(), 33u);
    // 8 steel rectangles, 7 steel circles, 10 concrete rectangles, 1 concrete
    // circle, the three 120 profiles and the four soil springs, in that order.
    EXPECT_EQ(nameOf(t.lines[0]), "A42.rect--2.5x4");
    EXPECT_EQ(nameOf(t.lines[7]), "A42.rect----3x7");
    EXPECT_EQ(nameOf(t.lines[8]), "A42.circ-----d2");
    EXPECT_EQ(nameOf(t.lines[9]), "A42.circ---d2.5");
    EXPECT_EQ(nameOf(t.lines[14]), "A42.circ-----d5");
    EXPECT_EQ(nameOf(t.lines[15]), "HA-25-----25x25");
    EXPECT_EQ(nameOf(t.lines[24]), "HA-25-----70x25");
    EXPECT_EQ(nameOf(t.lines[25]), "HA-25-------d30");
    EXPECT_EQ(nameOf(t.lines[26]), "A42-IPE-----120");
    EXPECT_EQ(nameOf(t.lines[27]), "A42-HEB-----120");
    EXPECT_EQ(nameOf(t.lines[28]), "A42-UPN-----120");
    EXPECT_EQ(nameOf(t.lines[29]), "T-K75=5---IL125");
    EXPECT_EQ(nameOf(t.lines[32]), "T-K75=5-----L20");
}

TEST(Defaults, ComputedRowsByHand) {
    const GeneratedTypes t = generated(GeneratorOptions::everything());
    ASSERT_EQ(t.count, 33);
    // Steel 2.5 × 4: A 10, InerZ 2.5·4³/12 = 13.33, InerY 4·2.5³/12 = 5.21,
    // MTors 0.2026·2.5³·4 = 12.66.
    EXPECT_EQ(t.lines[0],
              "  10.0      13.3       5.2      12.7 2100000 0.30  2600  7850 0.012 "
              "\"A42.rect--2.5x4\"");
    // Steel circle d = 2: π, π/4, π/4, π/2.
    EXPECT_EQ(t.lines[8],
              "   3.1       0.8       0.8       1.6 2100000 0.30  2600  7850 0.012 "
              "\"A42.circ-----d2\"");
    // HA-25 25 × 25: 625, 25⁴/12 = 32552.08, β 0.14 → 54687.5, MY 292402, TL = fc.
    EXPECT_EQ(t.lines[15],
              " 625.0   32552.1   32552.1   54687.5  292402 0.20   250  2500 0.011 "
              "\"HA-25-----25x25\"");
    // HA-25 circle d = 30: 706.86, π·15⁴/4 = 39760.78, twice that; TL 175.
    EXPECT_EQ(t.lines[25],
              " 706.9   39760.8   39760.8   79521.6  292402 0.20   175  2500 0.011 "
              "\"HA-25-------d30\"");
    EXPECT_EQ(t.lines[26],
              "  13.2     318.0      27.7      1.77 2100000 0.30  2600  7850 0.012 "
              "\"A42-IPE-----120\"");
}

TEST(Defaults, FileTextHeaderAndCount) {
    const std::string text = typesFileText(generated(GeneratorOptions::everything()));
    const std::string start =
        " ACm2...InerZcm4..InerYcm4..MTorsCm4.MYKg/cm2.mu.TLk/c2.PEk/m3.CTmm/mºC.Nombre(b·h)..\r\n"
        " 33 \r\n"
        "  10.0 ";
    EXPECT_EQ(text.substr(0, start.size()), start);
    EXPECT_EQ(text.substr(text.size() - 19), "\"T-K75=5-----L20\"\r\n");
}

TEST(Defaults, NothingTickedGivesAnEmptyTable) {
    EXPECT_EQ(
        typesFileText(generated(GeneratorOptions())),
        " ACm2...InerZcm4..InerYcm4..MTorsCm4.MYKg/cm2.mu.TLk/c2.PEk/m3.CTmm/mºC.Nombre(b·h)..\r\n"
        " 0 \r\n");
}

TEST(Ranges, StepZeroGivesOneSize) {
    GeneratorOptions o;
    o.ALcirc = true;
    o.ADiamMin = o.AdiamMax = "5";
    o.ADiamStep = "0";
    const GeneratedTypes t = generated(o);
    ASSERT_EQ(t.count, 1);
    EXPECT_EQ(nameOf(t.lines[0]), "A42.circ-----d5");
}

TEST(Ranges, ProfileBoundsAreExcluded) {
    GeneratorOptions o;
    o.ALperf = true;
    o.IPEmin = "80";
    o.IPEmax = "600";
    o.HEBmin = o.HEBmax = o.UPNmin = o.UPNmax = "0";
    const GeneratedTypes t = generated(o);
    ASSERT_EQ(t.count, 16);
    EXPECT_EQ(nameOf(t.lines.front()), "A42-IPE-----100");
    EXPECT_EQ(nameOf(t.lines.back()), "A42-IPE-----550");

    // IPE 80 alone, as the catalogue prints it.
    o.IPEmin = "0";
    o.IPEmax = "100";
    const GeneratedTypes one = generated(o);
    ASSERT_EQ(one.count, 1);
    EXPECT_EQ(one.lines[0],
              "  7.64      80.1      8.49     0.721 2100000 0.30  2600  7850 0.012 "
              "\"A42-IPE------80\"");
}

TEST(Ranges, LongNamesLoseTheirLeadingCharacters) {
    GeneratorOptions o;
    o.ALrect = true;
    o.AAnchMin = "12,5";
    o.AAnchMax = "12.5";
    o.AAnchStep = "0";
    o.ACantMin = o.ACantMax = "40";
    o.ACantStep = "0";
    const GeneratedTypes t = generated(o);
    ASSERT_EQ(t.count, 1);
    EXPECT_EQ(nameOf(t.lines[0]), "A42.rect--.5x40");
}

TEST(Ranges, CommaAndPointReadAlike) {
    GeneratorOptions comma;
    comma.ALcirc = true;
    GeneratorOptions point = comma;
    point.ADiamStep = "0.5";
    point.ADiamMin = " 2.0 ";
    EXPECT_EQ(generated(comma).lines, generated(point).lines);
}

TEST(Ranges, CountFollowsTheSectionsThe32BitLoopGives) {
    // 0.1 added nine times in 32 bits passes 1: the loop gives 0.1 .. 0.9,
    // nine sizes, where exact arithmetic would count ten.
    GeneratorOptions o;
    o.ALcirc = true;
    o.ADiamMin = "0,1";
    o.AdiamMax = "1";
    o.ADiamStep = "0,1";
    const GeneratedTypes t = generated(o);
    EXPECT_EQ(t.count, 9);
    EXPECT_EQ(t.lines.size(), 9u);

    // A downward step runs downward; a range that runs away gives nothing.
    o.ADiamMin = "5";
    o.AdiamMax = "3";
    o.ADiamStep = "-1";
    EXPECT_EQ(generated(o).count, 3);
    o.ADiamStep = "1";
    EXPECT_EQ(generated(o).count, 0);
}

TEST(Materials, GradesReachTheRows) {
    GeneratorOptions o;
    o.HArect = o.HAcirc = o.ALcirc = true;
    o.HAnchMax = "25";
    o.CmbHorm = 1;  // HA-30
    o.CmbAcer = 1;  // A 52
    const GeneratedTypes t = generated(o);
    ASSERT_EQ(t.count, 7 + 1 + 1);
    EXPECT_EQ(nameOf(t.lines[0]), "A52.circ-----d2");
    EXPECT_EQ(t.lines[0].substr(36, 19), " 2100000 0.30  3600");
    // HA-30: MY = 100000·∛30 ≈ 310723, TL 300 for rectangles, 175 for circles.
    EXPECT_EQ(nameOf(t.lines[7]), "HA-30-----25x25");
    EXPECT_EQ(t.lines[7].substr(36, 19), "  310723 0.20   300");
    EXPECT_EQ(nameOf(t.lines[8]), "HA-30-------d30");
    EXPECT_EQ(t.lines[8].substr(36, 19), "  310723 0.20   175");
}

TEST(Refusals, TooFewTypesForTheBars) {
    const Refusal r = refused(GeneratorOptions::everything(), 34);
    EXPECT_EQ(r.message,
              "Está intentando crear menor número de tipos barras que los usadas por la "
              "estructura actualmente. Para evitar errores genere mayor número de tipos.");
    EXPECT_EQ(generated(GeneratorOptions::everything(), 33).count, 33);
}

TEST(Refusals, TextThatIsNotANumberNamesItsBox) {
    GeneratorOptions o = GeneratorOptions::everything();
    o.AAnchMax = "tres";
    EXPECT_EQ(refused(o).message,
              "El valor de la casilla «Hasta» de «Ancho (cm.)» (Acero Laminado, Rectangular) "
              "no es un número: «tres».");
    o = GeneratorOptions::everything();
    o.HDiamStep = "";
    EXPECT_EQ(refused(o).message,
              "El valor de la casilla «Cada» de «Diametro (cm.)» (Homigón Armado, Circular) "
              "no es un número: «».");
    o = GeneratorOptions::everything();
    o.UPNmin = "1,2,3";
    EXPECT_EQ(refused(o).message,
              "El valor de la casilla «Desde» de «UPN (mm.)» (Acero Laminado, Perfiles) "
              "no es un número: «1,2,3».");
    EXPECT_EQ(refused(o).title, "¡ Aviso !");
    // A family that is not ticked is not read.
    o.ALperf = false;
    EXPECT_EQ(generated(o).count, 30);
}

TEST(Refusals, SizesMustBePositive) {
    GeneratorOptions o;
    o.HArect = true;
    o.HCantMin = "-5";
    o.HCantMax = "5";
    o.HCantStep = "5";
    EXPECT_EQ(refused(o).message,
              "Las medidas de las secciones deben ser mayores que cero: revise «Canto (cm.)» "
              "(Homigón Armado, Rectangular).");
}

TEST(Refusals, MoreTypesThanTheTableCanCount) {
    GeneratorOptions o;
    o.ALcirc = true;
    o.ADiamMin = "1";
    o.AdiamMax = "100000";
    o.ADiamStep = "0,001";
    const std::string tooMany =
        "Con estos intervalos se generarían más de 32767 tipos de barras. Aumente los pasos o "
        "reduzca los intervalos.";
    EXPECT_EQ(refused(o).message, tooMany);
    // A step lost against the size would never end the loop.
    o.ADiamMin = "1e8";
    o.AdiamMax = "2e8";
    o.ADiamStep = "1";
    EXPECT_EQ(refused(o).message, tooMany);
    // 200 × 200 rectangles: each range is fine, the product is not.
    o = GeneratorOptions();
    o.ALrect = true;
    o.AAnchMin = o.ACantMin = "1";
    o.AAnchMax = o.ACantMax = "200";
    EXPECT_EQ(refused(o).message, tooMany);
}

class Recorder : public Progress {
  public:
    void report(int stage, long long current, long long total) override {
        EXPECT_EQ(stage, 1);
        calls.emplace_back(current, total);
    }
    std::vector<std::pair<long long, long long>> calls;
};

TEST(Progress, OnePerComputedSection) {
    Recorder p;
    auto r = generateTypes(GeneratorOptions::everything(), 0, &p);
    ASSERT_TRUE(std::holds_alternative<GeneratedTypes>(r));
    // 0 of 33, then the 26 computed sections, then 33 of 33.
    ASSERT_EQ(p.calls.size(), 28u);
    EXPECT_EQ(p.calls.front(), std::make_pair(0LL, 33LL));
    EXPECT_EQ(p.calls[26], std::make_pair(26LL, 33LL));
    EXPECT_EQ(p.calls.back(), std::make_pair(33LL, 33LL));
}

// --- TIPOS.DAT on disk ------------------------------------------------------

TEST(TiposFile, DefaultTableReadsBack) {
    TempDir dir;
    writeDefaultTypes(dir.path());
    const BarTypes<float> types = DiscoX::readTypes<float>(dir.path());
    ASSERT_EQ(types.count, 33);
    EXPECT_EQ(types.names[1], "A42.rect--2.5x4");
    EXPECT_FLOAT_EQ(types.values(1, A), 10);
    EXPECT_FLOAT_EQ(types.values(1, MTors), 12.7f);
    EXPECT_EQ(types.names[16], "HA-25-----25x25");
    EXPECT_FLOAT_EQ(types.values(16, MY), 292402);
    EXPECT_FLOAT_EQ(types.values(16, Mu), 0.2f);
    EXPECT_FLOAT_EQ(types.values(26, TL), 175);
    EXPECT_EQ(types.names[27], "A42-IPE-----120");
    EXPECT_FLOAT_EQ(types.values(27, MTors), 1.77f);
    EXPECT_EQ(types.names[30], "T-K75=5---IL125");
    EXPECT_FLOAT_EQ(types.values(30, InerZ), 20345052);
    EXPECT_FLOAT_EQ(types.values(33, CdTerm), 0.01f);
    const std::string bytes = dir.read("TIPOS.DAT");
    EXPECT_EQ(bytes, typesFileText(generated(GeneratorOptions::everything())));
}

TEST(TiposFile, EveryFamilyAndGradeReadsBack) {
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
    EXPECT_EQ(types.names[79], "T-K75=5-----L20");
    EXPECT_EQ(types.names[75], "A52-UPN-----300");
    EXPECT_DOUBLE_EQ(types.values(75, A), 58.8);
}

TEST(TiposFile, ARefusalWritesNothing) {
    TempDir dir;
    dir.write("TIPOS.DAT", "antiguo\r\n1\r\n1 2 3 4 5 6 7 8 9 \"viejo\"\r\n");
    const std::string before = snapshot(dir.path());
    GeneratorOptions o = GeneratorOptions::everything();
    o.ADiamMin = "dos";
    EXPECT_TRUE(std::holds_alternative<Refusal>(Crear(dir.path(), o)));
    EXPECT_TRUE(
        std::holds_alternative<Refusal>(Crear(dir.path(), GeneratorOptions::everything(), 40)));
    EXPECT_EQ(snapshot(dir.path()), before);
}

}  // namespace
}  // namespace vanto::bartypes
