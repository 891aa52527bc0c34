#include "diagrams/bar_detail.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "analysis/calculation.h"
#include "support/fakes.h"
#include "support/structures.h"
#include "support/tempdir.h"
#include "ui/recording.h"

namespace vanto::diagrams {
namespace {

class Quiet : public analysis::CalcObserver {
  public:
    void report(int, long long, long long) override {}
};

// A 2.3 m cantilever under 1 t/m, drawn 3.9 m by 4 m (yc = 2) on the screen
// with S = 1 and on a printer at c = 2000: rulers, the moment curve, the
// deflection curves closed on the axis end; nothing cleared or boxed on paper.
TEST(BarDetail, ScreenAndPrinter) {
    test::Frame f;
    f.fix(f.node(0, 0, 0));
    f.node(2.3f, 0, 0);
    f.bar(1, 2, 1, -1);
    test::TempDir dir;
    f.write(dir.path());
    Quiet observer;
    test::FixedClock clock;
    analysis::runCalculation(dir.path(), {}, observer, clock);
    const DiagramData d = loadDiagramData(dir.path());

    test::RecordingSurface s(3900, 4000);
    DibujaBarra2D(d, 1, s, 1, {"MD", 1, false, 1});
    EXPECT_DOUBLE_EQ(s.scaleHeight(), 4);
    std::vector<std::string> texts;
    for (const auto& c : s.of("text"))
        texts.push_back(c.text);
    const std::vector<std::string> expected = {
        "1",      "1",    "2",     "0",    "0.5",   "1",    "1.5",   "2",
        "metros", "0.00", "-0.50", "0.50", "-1.00", "1.00", "-1.50", "1.50"};  // bar, nodes, rulers
    EXPECT_EQ(texts, expected);
    // Node 1 left of the axis start, node 2 right of its end, half a text
    // unit u = 3.9 / 48 above the axis: 0.8 − 0.9·u·1.1 − 0.2·u + u/5 and
    // 0.8 + 2.3 + 0.7·u + u/5.
    const double u = 3.9 / 48;
    EXPECT_NEAR(s.of("text")[1].x1, 0.8 - 0.99 * u, 1e-9);
    EXPECT_NEAR(s.of("text")[1].y1, 2 - u / 2 - u / 50, 1e-9);
    EXPECT_NEAR(s.of("text")[2].x1, 3.1 + 0.9 * u, 1e-9);
    const auto lines = s.of("line");
    const auto in = [&](Colour c) {
        std::vector<test::DrawCall> out;
        std::copy_if(lines.begin(), lines.end(), std::back_inserter(out),
                     [&](const auto& l) { return l.colour == c; });
        return out;
    };
    const auto moment = in(diagramKind('M').colour);
    ASSERT_EQ(moment.size(), 12u);
    const double Mz = diagramValue(analysis::diagramValues(d.bars[1].in, 1.15), 'M');
    EXPECT_LT(Mz, 0);  // hogging, drawn above the axis
    EXPECT_NEAR(moment[5].x2, 0.8 + 1.15, 1e-12);
    EXPECT_NEAR(moment[5].y2, 2 + Mz, 1e-9);
    for (const Colour c : {DeflectionYColour, DeflectionZColour}) {
        ASSERT_EQ(in(c).size(), 11u);
        EXPECT_DOUBLE_EQ(in(c).back().x2, 0.8 + 2.3);
        EXPECT_DOUBLE_EQ(in(c).back().y2, 2);
    }
    EXPECT_GT(in(DeflectionYColour)[9].y2, 2);  // the tip sags: local y negative, drawn down
    // The value ruler: ticks 0.5 apart up and down from the axis, each
    // labelled at its height, the negative values above.
    std::vector<double> ticks;
    for (const auto& l : in(palette16(15)))
        if (l.y1 == l.y2) ticks.push_back(l.y1);
    const std::vector<double> heights = {2, 1.5, 2.5, 1, 3, 0.5, 3.5};
    ASSERT_EQ(ticks.size(), heights.size());
    for (std::size_t k = 0; k < ticks.size(); ++k)
        EXPECT_NEAR(ticks[k], heights[k], 1e-12);
    EXPECT_NEAR(s.of("text")[10].y1, 1.5, 1e-12);  // "-0.50"

    test::RecordingPrinter printer(11000, 15000);
    DibujaBarra2D(d, 1, printer, 2000, {"X", 1, true, 0.5});
    EXPECT_TRUE(printer.of("clear").empty());
    EXPECT_TRUE(printer.of("fillBox").empty());
    const auto paper = printer.of("line");
    const auto axis =
        std::find_if(paper.begin(), paper.end(), [](const auto& l) { return l.colour == 0; });
    ASSERT_NE(axis, paper.end());
    EXPECT_NEAR(axis->x2, 3.1 * 2000, 1e-9);
    EXPECT_NEAR(axis->y1, 3.9 * 15000 / 11000 / 4 * 2000, 1e-9);  // a quarter down
}

// Labels: a box and the number on the screen, an outline on the printer;
// items too close to the edge are left out.
TEST(BarDetail, NumberLabels) {
    const std::vector<view::ScreenPoint> at = {{0, 0}, {1000, 800}, {30, 800}};
    test::RecordingSurface screen;
    numberLabels(screen, at, Numbered::Nodes, 12, 1, false);
    ASSERT_EQ(screen.of("fillBox").size(), 1u);
    const auto box = screen.of("fillBox")[0], text = screen.of("text")[0];
    EXPECT_EQ(box.colour, palette16(1));
    EXPECT_EQ(std::vector<double>({box.x1, box.y1, box.x2, box.y2}),
              std::vector<double>({952, 752, 952 + 78, 752 + 96}));
    EXPECT_EQ(text.colour, palette16(11));
    EXPECT_DOUBLE_EQ(text.y1, 752 - 1.2);

    test::RecordingPrinter printer;
    numberLabels(printer, at, Numbered::Bars, 12, 2, true);
    ASSERT_EQ(printer.of("rectangle").size(), 1u);
    EXPECT_DOUBLE_EQ(printer.of("rectangle")[0].x2, (952 + 4.7 * 12) * 2);
    EXPECT_DOUBLE_EQ(printer.of("text")[0].x1, (952 + 0.8 * 12) * 2);
    EXPECT_EQ(printer.font.size, 8);
}

}  // namespace
}  // namespace vanto::diagrams
