// Extreme values, fitted scales and print colours against hand calculations.

#include <gtest/gtest.h>

#include "calculated.h"
#include "diagrams/extremes.h"
#include "diagrams/paper.h"
#include "diagrams/picture.h"
#include "view/svg_surface.h"

namespace vanto::diagrams {
namespace {

// Results to 1e-6 of the largest value: the solver's rounding.
void expectExtreme(const Extreme& e, double value, int bar, double x) {
    EXPECT_NEAR(e.value, value, 1e-6 * std::max(1.0, std::abs(value)));
    EXPECT_EQ(e.bar, bar);
    EXPECT_NEAR(e.x, x, 1e-9);
}

// A 4 m cantilever along X (type 1: E = 2.1e7 t/m², Iz = 8360 cm⁴), fixed at
// x = 0: a 2 t tip load hangs a moment of −P·L at the root, a constant shear
// and a tip deflection P·L³/(3·E·Iz); propped at the tip instead, under 3 t/m,
// the root moment is −q·L²/8 and the span moment 9·q·L²/128 at 5·L/8, between
// two of the eleven tabulated points, with shears 5·q·L/8 and −3·q·L/8.
TEST(DiagramExtremes, Cantilevers) {
    const double L = 4, EI = 2.1e7 * 8360e-8;
    test::Frame tip = test::cantilever(4, 0, 0);
    tip.loads[1][2] = -2;
    const DiagramData a = calculated(tip);
    const KindExtremes m = diagramExtremes(a, 'M');
    expectExtreme(m.max, 0, 1, L);
    expectExtreme(m.min, -2 * L, 1, 0);
    const KindExtremes v = diagramExtremes(a, 'Y');
    EXPECT_NEAR(v.max.value, v.min.value, 1e-9);
    EXPECT_NEAR(std::abs(v.max.value), 2, 1e-6);
    expectExtreme(diagramExtremes(a, 'D').max, 2 * L * L * L / (3 * EI), 1, L);
    EXPECT_NEAR(fittedDiagramScale(a, "M"), FittedShare * L / 8, 1e-9);
    EXPECT_NEAR(fittedDiagramScale(a, "D"), FittedShare * L / (100 * 2 * L * L * L / (3 * EI)),
                1e-9);
    EXPECT_NEAR(fittedDiagramScale(a, "MD"), fittedDiagramScale(a, "M"), 1e-12);
    EXPECT_EQ(fittedDiagramScale(a, "XTZ"), 1);  // nothing to fit

    test::Frame propped = test::cantilever(4, 0, 0, -3);
    propped.restraints[1] = {0, 0, 0, FreeMarker, FreeMarker, FreeMarker};
    const DiagramData b = calculated(propped);
    const KindExtremes pm = diagramExtremes(b, 'M');
    expectExtreme(pm.max, 9 * 3 * L * L / 128, 1, 5 * L / 8);
    expectExtreme(pm.min, -3 * L * L / 8, 1, 0);
    const KindExtremes pv = diagramExtremes(b, 'Y');
    EXPECT_NEAR(std::max(std::abs(pv.max.value), std::abs(pv.min.value)), 5 * 3 * L / 8, 1e-6);
    EXPECT_NEAR(std::min(std::abs(pv.max.value), std::abs(pv.min.value)), 3 * 3 * L / 8, 1e-6);
}

// The portal with its beam pinned to the columns and no side load: the beam
// is simply supported, q·L²/8 at mid-span; each column carries q·L/2 in
// compression and no moment.
TEST(DiagramExtremes, PortalWithPinnedBeam) {
    test::Frame f = test::portal();
    f.loads[1][0] = 0;
    f.bars[1][8] = f.bars[1][9] = 0;
    const DiagramData d = calculated(f);
    const double q = 3, L = 6;
    expectExtreme(diagramExtremes(d, 'M').max, q * L * L / 8, 2, L / 2);
    const KindExtremes n = diagramExtremes(d, 'X');
    EXPECT_NEAR(n.min.value, -q * L / 2, 1e-6);
    EXPECT_TRUE(n.min.bar == 1 || n.min.bar == 3);
    EXPECT_NEAR(diagramExtremes(d, 'F').largest(), 0, 1e-6);
    EXPECT_NEAR(fittedDiagramScale(d, "M"), FittedShare * L / (q * L * L / 8), 1e-9);
}

// On paper every diagram colour is dark enough to read and differs from the
// others; the structure is black; type is never below 7 pt.
TEST(PaperColours, ReadableOnWhite) {
    std::vector<Colour> printed;
    for (const DiagramKind& k : DiagramKinds) {
        const Colour c = printColour(k.colour);
        const double luma = 0.299 * (c & 0xFF) + 0.587 * (c >> 8 & 0xFF) + 0.114 * (c >> 16);
        EXPECT_LE(luma, 130) << k.caption;
        EXPECT_EQ(std::count(printed.begin(), printed.end(), c), 0) << k.caption;
        printed.push_back(c);
    }
    EXPECT_EQ(printColour(BarColour), rgb(0, 0, 0));
    EXPECT_EQ(printColour(rgb(255, 255, 255)), rgb(0, 0, 0));
    EXPECT_EQ(printColour(rgb(128, 0, 0)), rgb(128, 0, 0));

    view::SvgSurface svg(1440, 1440);
    PaperSurface paper(svg);
    paper.setForeground(rgb(255, 255, 0));
    paper.setFont({"Arial", 3, false});
    paper.text(0, 0, "1");
    const std::string doc = svg.document();
    EXPECT_NE(doc.find("font-size=\"140\""), std::string::npos);
    EXPECT_NE(doc.find("fill=\"#b08000\""), std::string::npos);
}

}  // namespace
}  // namespace vanto::diagrams
