#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "calculated.h"
#include "diagrams/results_dxf.h"
#include "model/textfile.h"
#include "support/load_cases.h"
#include "support/thrown.h"

namespace vanto::diagrams {
namespace {

namespace fs = std::filesystem;
const fs::path Bin = VANTO_BIN;  // where capas.dxf is

// The values along bar b against those of its DIAGRAMA file (three decimals):
// five heading lines, then for each bar a title and its eleven points.
void expectWrittenValues(const DiagramData& d, int b, const fs::path& file) {
    const auto lines = splitLines(*readTextFile(file));
    for (int i = 0; i <= 10; ++i) {
        std::istringstream cols(lines[std::size_t(5 + 12 * (b - 1) + 1 + i)].substr(8));
        const auto v = analysis::diagramValues(d.bars[b].in, i * d.bars[b].in.L / 10);
        for (const char code : std::string("XYZTFM")) {
            double written = 0;
            cols >> written;
            EXPECT_NEAR(diagramValue(v, code), written, 6e-4) << b << " " << i << code;
        }
    }
}

// The portal with its first column stored from the top down and transverse
// loads on the beam: values against DIAGRAMA.RES of the same calculation
// (three decimals), the beam's outlines on their sides, and deformed shapes
// from node to displaced node.
TEST(Diagrams, ValuesOutlinesAndShapes) {
    test::Frame f = test::portal();
    std::swap(f.bars[0][0], f.bars[0][1]);
    f.bars[1][5] = 0.7f;
    f.bars[1][6] = 0.4f;
    test::TempDir dir;
    const DiagramData d = calculated(f, dir);
    EXPECT_EQ(d.bars[1].i, 1);
    for (int b = 1; b <= d.barCount; ++b) {
        expectWrittenValues(d, b, dir / "DIAGRAMA.RES");
        const DiagramBar& bar = d.bars[b];
        const auto shape = deformedShape(d, bar, 0.3);
        for (int a = 0; a < 3; ++a) {
            EXPECT_NEAR(shape[0][a], bar.p1[a] + 30 * d.displacements[bar.i][a], 1e-9);
            EXPECT_EQ(shape[10][a], bar.p2[a] + 30 * d.displacements[bar.j][a]);
        }
        // The bending terms vanish at j, so the curve meets the node.
        EXPECT_NEAR(analysis::diagramValues(bar.in, bar.in.L).yAbs, deflections(bar).y[10], 1e-7);
    }
    const DiagramBar& beam = d.bars[2];  // along +X: local y up, local z along −Y
    for (const char code : std::string("MF")) {
        const auto p = diagramOutline(beam, code, 0.5);
        const double v = diagramValue(analysis::diagramValues(beam.in, 1.8), code);
        EXPECT_NE(v, 0);
        EXPECT_EQ(p[0], beam.p1);
        EXPECT_EQ(p[12], beam.p2);
        EXPECT_NEAR(p[4][0], 1.8, 1e-9);
        EXPECT_NEAR(p[4][1], code == 'F' ? -0.5 * v : 0, 1e-9) << code;
        EXPECT_NEAR(p[4][2], 4 - (code == 'M' ? 0.5 * v : 0), 1e-9) << code;
    }
}

// Each case and combination reads its own results and loads: the values
// along the beam are those of its DIAGRAMA file.
TEST(Diagrams, EachCaseAndCombinationReadsItsOwnResults) {
    test::TempDir dir;
    calculated(test::portal(), dir);
    test::writeThreeCases(dir.path(), 4, 3);
    calculate(dir.path());
    const ResultSet wind{ResultSet::Kind::Case, 2}, elu{ResultSet::Kind::Combination, 1};
    for (const ResultSet& set : {wind, elu}) {
        const DiagramData d = loadDiagramData(dir.path(), set);
        const bool combined = set == elu;
        EXPECT_NEAR(d.bars[2].loads[0], combined ? 1.35 * -3 : 0, 1e-6);
        EXPECT_NEAR(d.bars[2].loads[2], combined ? 1.5 * -0.5 : -0.5, 1e-6);
        EXPECT_EQ(d.nodeLoads[2][0], combined ? 1.35 * 2 + 1.5 * 1.25 : 1.25);
        SCOPED_TRACE(set.code());
        expectWrittenValues(d, 2, dir / ("DIAGRAMA." + set.extension()));
    }
    // The envelope over the two combinations: at every point the larger and
    // the smaller of their values, no loads of its own; the upper outline
    // is the one drawn at S = 1 on the kind's side.
    const DiagramData env = loadShownSet(dir.path(), *parseShownSet("Envolvente"));
    const DiagramData c1 = loadDiagramData(dir.path(), elu),
                      c2 = loadDiagramData(dir.path(), {ResultSet::Kind::Combination, 2});
    EXPECT_EQ(env.bars[2].loads[0], 0);
    for (int b = 1; b <= 3; ++b)
        for (const char code : std::string("XM")) {
            const auto up = barValues(env, b, code, Bound::Upper);
            const auto down = barValues(env, b, code, Bound::Lower);
            const auto v1 = barValues(c1, b, code), v2 = barValues(c2, b, code);
            for (std::size_t i = 0; i <= 10; ++i) {
                EXPECT_DOUBLE_EQ(up[i], std::max(v1[i], v2[i])) << b << code << i;
                EXPECT_DOUBLE_EQ(down[i], std::min(v1[i], v2[i])) << b << code << i;
            }
            const DiagramBar& bar = env.bars[std::size_t(b)];
            const auto outline = diagramOutline(bar, code, up, 1);
            const Vec3& side = bar.axes[1];  // both kinds on minus local y
            EXPECT_NEAR(outline[6][0], bar.p1[0] + bar.in.L / 2 * bar.axes[0][0] - up[5] * side[0],
                        1e-9);
        }
    EXPECT_EQ(parseShownSet("h2")->set, wind);
    EXPECT_FALSE(parseShownSet("E01"));
    const auto e = test::thrown<DiagramError>([&] {
        loadDiagramData(dir.path(), {ResultSet::Kind::Combination, 3});
    });
    ASSERT_TRUE(e);
    EXPECT_STREQ(e->what(), "La estructura no tiene la hipótesis o combinación C03.");
}

// A beam pinned (fixity 0) to two supports under q = −2 t/m: simply supported,
// end slope qL³/(24EI); with the far end fixed the slope halves. The
// deflections follow the closed forms w(x)·EI/q.
TEST(Diagrams, PinnedEndSlopes) {
    const struct {
        float farFixity;
        double (*w)(double x, double L);
    } cases[] = {
        {0, [](double x, double L) { return x * (L * L * L - 2 * L * x * x + x * x * x) / 24; }},
        {1,
         [](double x, double L) { return x * (L * L * L - 3 * L * x * x + 2 * x * x * x) / 48; }},
    };
    for (const auto& c : cases) {
        test::Frame f;
        f.fix(f.node(0, 0, 0));
        f.fix(f.node(5, 0, 0));
        f.bar(1, 2, 1, -2, 0, c.farFixity);
        test::TempDir dir;
        const DiagramData d = calculated(f, dir);
        const auto w = deflections(d.bars[1]);
        for (int i = 1; i < 10; ++i)
            EXPECT_NEAR(w.y[i], -2 * c.w(i * 0.5, 5) / d.bars[1].in.EIz, 1e-9) << i;
        EXPECT_NEAR(deformedShape(d, d.bars[1], 0.01)[5][2], w.y[5], 1e-12);
    }
}

// Truss members without inertia, one under a bar load: finite shapes and no
// NaN or infinity in the drawings.
TEST(Diagrams, TrussBarWithoutInertiaStaysFinite) {
    test::Frame f;
    f.types.push_back({10, 0, 0, 0, 2100000, 0.3f, 2600, 7850, 0.012f});
    f.fix(f.node(0, 0, 0));
    f.fix(f.node(4, 0, 0));
    const int top = f.node(2, 0, 2);
    f.restraints[top - 1] = {FreeMarker, 0, FreeMarker, 0, 0, 0};
    f.loads[top - 1][2] = -5;
    f.bar(1, top, 3, -0.5f, 0, 0);
    f.bar(top, 2, 3, 0, 0, 0);
    test::TempDir dir;
    const DiagramData d = calculated(f, dir);
    for (int b = 1; b <= 2; ++b)
        for (const Vec3& p : deformedShape(d, d.bars[b], 1))
            EXPECT_TRUE(std::isfinite(p[0] + p[1] + p[2])) << b;
    ASSERT_EQ(writeResultsDxf(d, dir.path(), Bin, 1), DxfOutcome::Written);
    for (const char* name : {Dxf3DName, Dxf2DName})
        for (const char* bad : {"nan", "inf"})
            EXPECT_EQ(dir.read(name).find(bad), std::string::npos) << name;
}

TEST(ResultsDxf, RulerStepsAndSheets) {
    // Span, S, limit and step.
    const double rulers[][4] = {{2.4, 1, 14, 0.25},
                                {2.4, 0.01, 14, 32},
                                {2, 1, 7, 0.5},
                                {2, 0.01, 7, 32},
                                {2.4, 0, 14, 0.25}};
    for (const auto& r : rulers)
        EXPECT_EQ(rulerStep(r[0], r[1], r[2]), r[3]) << r[1] << " " << r[2];
    const double W = sheetWidth(6.4);
    EXPECT_DOUBLE_EQ(W, 7.4);  // Int(6.9) + 0.4 + 1
    const double sheets[][3] = {{1, 0.1, 49.9}, {10, 0.1, 4.9}, {11, W + 0.1, 49.9}};
    for (const auto& s : sheets) {
        const Sheet sheet = sheetOf(int(s[0]), W);
        EXPECT_NEAR(sheet.left, s[1], 1e-12) << s[0];
        EXPECT_NEAR(sheet.top, s[2], 1e-12) << s[0];
        EXPECT_NEAR(sheet.right - sheet.left, W - 0.2, 1e-12);
        EXPECT_NEAR(sheet.top - sheet.bottom, 4.8, 1e-12);
    }
}

// The bytes ("0.0####" for lines, "0.0#####" for texts, CR LF), then failures
// and a stop that leave the earlier drawings and no temporary file.
TEST(ResultsDxf, BytesAndFailures) {
    test::Frame f;
    f.fix(f.node(3, 1.234567f, 0));
    f.fix(f.node(3, 1.234567f, 4));
    f.bar(1, 2, 2);
    test::TempDir dir;
    const DiagramData d = calculated(f, dir);
    ASSERT_EQ(writeResultsDxf(d, dir.path(), Bin, 1), DxfOutcome::Written);
    const std::string header = *readTextFile(Bin / LayersFileName);
    const std::string d3 = dir.read(Dxf3DName), d2 = dir.read(Dxf2DName);
    for (const std::string& text : {d3, d2}) {
        EXPECT_EQ(text.substr(0, header.size() + 29),
                  header + "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n");
        EXPECT_TRUE(text.ends_with("  0\r\nENDSEC\r\n 0 \r\nEOF\r\n"));
    }
    for (const char* entity :
         {"LINE\r\n  8\r\nBarras\r\n 10\r\n3.0\r\n 20\r\n1.23457\r\n 30\r\n0.0\r\n"
          " 11\r\n3.0\r\n 21\r\n1.23457\r\n 31\r\n4.0\r\n",
          "TEXT\r\n  8\r\nNumNudos\r\n 10\r\n3.0\r\n 20\r\n1.334567\r\n 30\r\n"
          "0.1\r\n 40\r\n0.15\r\n  1\r\n1\r\n",
          // Node 1's rotation restraints about X and Z: a stem 0.9·0.3 m along
          // the axis and a cross bar ±0.25 of it along the next axis.
          "LINE\r\n  8\r\nCoaccionG\r\n 10\r\n3.27\r\n 20\r\n1.23457\r\n 30\r\n0.0\r\n"
          " 11\r\n3.0\r\n 21\r\n1.23457\r\n 31\r\n0.0\r\n",
          "LINE\r\n  8\r\nCoaccionG\r\n 10\r\n3.27\r\n 20\r\n1.30207\r\n 30\r\n0.0\r\n"
          " 11\r\n3.27\r\n 21\r\n1.16707\r\n 31\r\n0.0\r\n",
          "LINE\r\n  8\r\nCoaccionG\r\n 10\r\n3.0675\r\n 20\r\n1.23457\r\n 30\r\n0.27\r\n"
          " 11\r\n2.9325\r\n 21\r\n1.23457\r\n 31\r\n0.27\r\n"})
        EXPECT_NE(d3.find(entity), std::string::npos) << entity;
    EXPECT_NE(
        d2.find("  1\r\nESCALA:  1t(axil,cort), 1m*t(mtos), 1cm(deform) = 1. ud. de dibujo\r\n"),
        std::string::npos);

    dir.write(Dxf3DName, "old 3D");
    dir.write(Dxf2DName, "old 2D");
    test::TempDir noHeader;
    const auto e =
        test::thrown<DiagramError>([&] { writeResultsDxf(d, dir.path(), noHeader.path(), 1); });
    ASSERT_TRUE(e) << "written without capas.dxf";
    EXPECT_EQ(std::string(e->what()),
              "No se encuentra el fichero de capas " + (noHeader / "capas.dxf").string() +
                  ",\nque debe estar junto al programa. No se ha escrito ningún DXF.");
    class AtBar2 : public Progress {
      public:
        explicit AtBar2(bool stop) : stop(stop) {}
        void report(int, long long bar, long long) override {
            if (bar == 2 && !stop) throw std::runtime_error("disco lleno");
            at = bar;
        }
        bool stopRequested() override { return stop && at == 2; }
        bool stop;
        long long at = 0;
    };
    f.bar(1, 2, 1);
    const DiagramData two = calculated(f, dir);
    AtBar2 failing(false), stopping(true);
    EXPECT_THROW(writeResultsDxf(two, dir.path(), Bin, 1, &failing), std::runtime_error);
    EXPECT_EQ(writeResultsDxf(two, dir.path(), Bin, 1, &stopping), DxfOutcome::Stopped);
    EXPECT_EQ(dir.read(Dxf3DName), "old 3D");
    EXPECT_EQ(dir.read(Dxf2DName), "old 2D");
    for (const auto& e : fs::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos);

    fs::remove(dir / "INCOG.RES");
    EXPECT_THROW(loadDiagramData(dir.path()), DiagramError);
}

}  // namespace
}  // namespace vanto::diagrams
