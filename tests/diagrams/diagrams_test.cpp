#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "analysis/calculation.h"
#include "diagrams/results_dxf.h"
#include "model/textfile.h"
#include "support/fakes.h"
#include "support/structures.h"
#include "support/tempdir.h"

namespace vanto::diagrams {
namespace {

namespace fs = std::filesystem;

class Quiet : public analysis::CalcObserver {
  public:
    void report(int, long long, long long) override {}
};

DiagramData calculated(const test::Frame& f, const test::TempDir& dir) {
    f.write(dir.path());
    Quiet observer;
    test::FixedClock clock;
    analysis::runCalculation(dir.path(), {}, observer, clock);
    return loadDiagramData(dir.path());
}

// Bar 1 of the portal is stored from its upper node down, so its diagrams must
// still start at the lower-numbered node, as DIAGRAMA.RES does.
test::Frame reversedPortal() {
    test::Frame f = test::portal();
    std::swap(f.bars[0][0], f.bars[0][1]);
    f.bars[1][5] = 0.7f;  // a transverse load Y on the beam
    return f;
}

// Internal forces of every bar at the eleven points, against the columns of
// DIAGRAMA.RES (three decimals) written by the same calculation.
TEST(DiagramValues, AgreeWithDiagramaRes) {
    test::TempDir dir;
    const DiagramData d = calculated(reversedPortal(), dir);
    EXPECT_EQ(d.bars[1].i, 1);
    EXPECT_EQ(d.bars[1].j, 2);
    std::istringstream res(*readTextFile(dir / "DIAGRAMA.RES"));
    std::string line;
    for (int k = 0; k < 5; ++k)
        std::getline(res, line);
    const char codes[] = "XYZTFM";
    for (int b = 1; b <= d.barCount; ++b) {
        std::getline(res, line);
        ASSERT_EQ(line.substr(0, 5), "Barra");
        for (int i = 0; i <= 10; ++i) {
            std::getline(res, line);
            std::istringstream cols(line.substr(8));
            const auto v = analysis::diagramValues(d.bars[b].in, i * d.bars[b].in.L / 10);
            for (int c = 0; c < 6; ++c) {
                double written = 0;
                cols >> written;
                EXPECT_NEAR(diagramValue(v, codes[c]), written, 0.0006)
                    << "bar " << b << " point " << i << " code " << codes[c];
            }
        }
    }
}

// The outline runs from P1 through the offset curve back to P2, on the side
// of its kind, at S per tonne.
TEST(DiagramValues, OutlineOffsetsAlongTheKindsSide) {
    test::TempDir dir;
    const DiagramData d = calculated(test::portal(), dir);
    const DiagramBar& beam = d.bars[2];  // along +X, local y up, local z towards −Y
    for (const char code : std::string("XMZF")) {
        const auto p = diagramOutline(beam, code, 0.5);
        EXPECT_EQ(p[0], beam.p1);
        EXPECT_EQ(p[12], beam.p2);
        const double v = diagramValue(analysis::diagramValues(beam.in, 0.3 * beam.in.L), code);
        const Vec3 side = diagramKind(code).side < 0 ? Vec3{0, 0, -0.5 * v} : Vec3{0, 0.5 * v, 0};
        EXPECT_NEAR(p[4][0], beam.p1[0] + 0.3 * beam.in.L, 1e-9);
        EXPECT_NEAR(p[4][1], beam.p1[1] + side[1], 1e-9) << code;
        EXPECT_NEAR(p[4][2], beam.p1[2] + side[2], 1e-9) << code;
    }
}

// The deformed shape starts and ends at the displaced nodes, and the bending
// terms vanish at the far node too, so the curve meets it.
TEST(DeformedShape, EndsAtTheNodeDisplacements) {
    test::TempDir dir;
    const DiagramData d = calculated(reversedPortal(), dir);
    const double S = 0.3, A = 100 * S;
    for (int b = 1; b <= d.barCount; ++b) {
        const DiagramBar& bar = d.bars[b];
        const auto shape = deformedShape(d, bar, S);
        const auto w = deflections(bar);
        const auto atL = analysis::diagramValues(bar.in, bar.in.L);
        EXPECT_NEAR(atL.yAbs, w.y[10], 1e-7) << b;
        EXPECT_NEAR(atL.zAbs, w.z[10], 1e-7) << b;
        for (int a = 0; a < 3; ++a) {
            EXPECT_NEAR(shape[0][a], bar.p1[a] + A * d.displacements[bar.i][a], 1e-9);
            EXPECT_EQ(shape[10][a], bar.p2[a] + A * d.displacements[bar.j][a]);
        }
    }
}

// A beam on two supports whose ends are pinned to them (fixity 0) under
// q = 2 t/m: simply supported, end slope qL³/(24EI); with the far end fixed
// (c = 1), propped, the slope halves. The deflections follow the closed forms.
TEST(DeformedShape, PinnedEndSlopes) {
    struct Case {
        float farFixity;
        double (*w)(double x, double L);  // deflection × EI / q
    } cases[] = {
        {0, [](double x, double L) { return x * (L * L * L - 2 * L * x * x + x * x * x) / 24; }},
        {1,
         [](double x, double L) { return x * (L * L * L - 3 * L * x * x + 2 * x * x * x) / 48; }},
    };
    for (const Case& c : cases) {
        test::Frame f;
        const double L = 5, q = -2;
        f.fix(f.node(0, 0, 0));
        f.fix(f.node(float(L), 0, 0));
        f.bar(1, 2, 1, float(q), 0, c.farFixity);
        test::TempDir dir;
        const DiagramData d = calculated(f, dir);
        const DiagramBar& bar = d.bars[1];
        const double EI = bar.in.EIz;
        const auto w = deflections(bar);
        for (int i = 1; i < 10; ++i)
            EXPECT_NEAR(w.y[i], q * c.w(i * L / 10, L) / EI, 1e-9) << c.farFixity << " " << i;
        const auto shape = deformedShape(d, bar, 0.01);
        EXPECT_NEAR(shape[5][2], w.y[5], 1e-12);  // local y is global Z
    }
}

// A truss member (no inertia) under a bar load: finite shapes and drawings.
TEST(DeformedShape, TrussBarWithoutInertiaStaysFinite) {
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
    for (int b = 1; b <= 2; ++b) {
        for (const Vec3& p : deformedShape(d, d.bars[b], 1))
            for (double c : p)
                EXPECT_TRUE(std::isfinite(c)) << b;
        for (const char code : std::string("XYZTFM"))
            for (const Vec3& p : diagramOutline(d.bars[b], code, 1))
                EXPECT_TRUE(std::isfinite(p[2])) << b << code;
    }
    ASSERT_EQ(writeResultsDxf(d, dir.path(), fs::path(VANTO_BIN), 1), DxfOutcome::Written);
    for (const char* name : {Dxf3DName, Dxf2DName}) {
        const std::string text = dir.read(name);
        EXPECT_EQ(text.find("nan"), std::string::npos) << name;
        EXPECT_EQ(text.find("inf"), std::string::npos) << name;
    }
}

TEST(ResultsDxf, RulerStepsAndSheets) {
    const struct {
        double span, S, limit, step;
    } rulers[] = {
        {2.4, 1, 14, 0.25}, {2.4, 0.01, 14, 32}, {2, 1, 7, 0.5},
        {2, 0.01, 7, 32},   {2.4, 0, 14, 0.25},
    };
    for (const auto& r : rulers)
        EXPECT_EQ(rulerStep(r.span, r.S, r.limit), r.step) << r.S << " " << r.limit;

    const double W = sheetWidth(6.4);  // Int(6.9) + 0.4 + 1
    EXPECT_DOUBLE_EQ(W, 7.4);
    const struct {
        int bar;
        double left, top;
    } sheets[] = {{1, 0.1, 49.9}, {10, 0.1, 4.9}, {11, W + 0.1, 49.9}, {23, 2 * W + 0.1, 39.9}};
    for (const auto& s : sheets) {
        const Sheet sheet = sheetOf(s.bar, W);
        EXPECT_NEAR(sheet.left, s.left, 1e-12) << s.bar;
        EXPECT_NEAR(sheet.top, s.top, 1e-12) << s.bar;
        EXPECT_NEAR(sheet.right - sheet.left, W - 0.2, 1e-12);
        EXPECT_NEAR(sheet.top - sheet.bottom, 4.8, 1e-12);
    }
}

// The bytes: header from capas.dxf, then the entities with "0.0####" for line
// ends and "0.0#####" for text values, CR LF throughout, and the closing lines.
TEST(ResultsDxf, FileBytes) {
    test::Frame f;
    f.fix(f.node(3, 1.234567f, 0));
    f.fix(f.node(3, 1.234567f, 4));
    f.bar(1, 2, 2);
    test::TempDir dir;
    const DiagramData d = calculated(f, dir);
    ASSERT_EQ(writeResultsDxf(d, dir.path(), fs::path(VANTO_BIN), 1), DxfOutcome::Written);
    const std::string header = *readTextFile(fs::path(VANTO_BIN) / LayersFileName);
    const std::string d3 = dir.read(Dxf3DName), d2 = dir.read(Dxf2DName);
    for (const std::string* text : {&d3, &d2}) {
        EXPECT_EQ(text->substr(0, header.size()), header);
        EXPECT_EQ(text->substr(header.size(), 29), "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n");
        EXPECT_TRUE(text->ends_with("  0\r\nENDSEC\r\n 0 \r\nEOF\r\n"));
    }
    EXPECT_NE(
        d3.find("  0\r\nLINE\r\n  8\r\nBarras\r\n 10\r\n3.0\r\n 20\r\n1.23457\r\n 30\r\n0.0\r\n"
                " 11\r\n3.0\r\n 21\r\n1.23457\r\n 31\r\n4.0\r\n"),
        std::string::npos);
    EXPECT_NE(d3.find("  0\r\nTEXT\r\n  8\r\nNumNudos\r\n 10\r\n3.0\r\n 20\r\n1.334567\r\n 30\r\n"
                      "0.1\r\n 40\r\n0.15\r\n  1\r\n1\r\n"),
              std::string::npos);
    EXPECT_NE(
        d2.find("  1\r\nESCALA:  1t(axil,cort), 1m*t(mtos), 1cm(deform) = 1. ud. de dibujo\r\n"),
        std::string::npos);
    EXPECT_NE(d2.find("  1\r\n -1.00\r\n"), std::string::npos);  // a ruler label
}

// Failures and stops leave the earlier drawings and no temporary files.
TEST(ResultsDxf, FailureLeavesEarlierFiles) {
    test::TempDir dir;
    const DiagramData d = calculated(test::portal(), dir);
    const auto earlier = [&] {
        dir.write(Dxf3DName, "old 3D");
        dir.write(Dxf2DName, "old 2D");
    };
    const auto unchanged = [&](const char* what) {
        EXPECT_EQ(dir.read(Dxf3DName), "old 3D") << what;
        EXPECT_EQ(dir.read(Dxf2DName), "old 2D") << what;
        int files = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path()))
            ++files;
        EXPECT_EQ(files, 14) << what;  // seven data files, five results, two drawings
    };

    earlier();
    test::TempDir noHeader;
    try {
        writeResultsDxf(d, dir.path(), noHeader.path(), 1);
        ADD_FAILURE() << "no error without capas.dxf";
    } catch (const DiagramError& e) {
        EXPECT_EQ(std::string(e.what()), "No se encuentra el fichero de capas " +
                                             (noHeader / "capas.dxf").string() +
                                             ",\nque debe estar junto al programa. No se ha "
                                             "escrito ningún DXF.");
    }
    unchanged("missing header");

    class FailAt : public Progress {
      public:
        explicit FailAt(bool stop) : stop_(stop) {}
        void report(int, long long current, long long) override {
            if (current == 2 && !stop_) throw std::runtime_error("disk full");
            bar_ = current;
        }
        bool stopRequested() override { return stop_ && bar_ == 2; }

      private:
        bool stop_;
        long long bar_ = 0;
    };
    FailAt failing(false), stopping(true);
    EXPECT_THROW(writeResultsDxf(d, dir.path(), fs::path(VANTO_BIN), 1, &failing),
                 std::runtime_error);
    unchanged("failure at bar 2");
    EXPECT_EQ(writeResultsDxf(d, dir.path(), fs::path(VANTO_BIN), 1, &stopping),
              DxfOutcome::Stopped);
    unchanged("stop at bar 2");

    fs::remove(dir / "INCOG.RES");
    try {
        loadDiagramData(dir.path());
        ADD_FAILURE() << "loaded without INCOG.RES";
    } catch (const DiagramError& e) {
        EXPECT_EQ(std::string(e.what()), NotCalculatedText);
    }
}

}  // namespace
}  // namespace vanto::diagrams
