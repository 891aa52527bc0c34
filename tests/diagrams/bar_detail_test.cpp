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

// A cantilever of 2.3 m under 1 t/m: the detail is 3.9 m wide.
DiagramData cantilever(const test::TempDir& dir) {
    test::Frame f;
    f.fix(f.node(0, 0, 0));
    f.node(2.3f, 0, 0);
    f.bar(1, 2, 1, -1);
    f.write(dir.path());
    Quiet observer;
    test::FixedClock clock;
    analysis::runCalculation(dir.path(), {}, observer, clock);
    return loadDiagramData(dir.path());
}

std::vector<std::string> texts(const test::RecordingSurface& s) {
    std::vector<std::string> out;
    for (const auto& c : s.of("text"))
        out.push_back(c.text);
    return out;
}

bool has(const std::vector<std::string>& v, const std::string& t) {
    return std::find(v.begin(), v.end(), t) != v.end();
}

// On the screen with yc = 2 (3.9 m by 4 m): the rulers, a moment curve, and
// both deflection curves closed on the axis end.
TEST(BarDetail, ScreenDrawing) {
    test::TempDir dir;
    const DiagramData d = cantilever(dir);
    test::RecordingSurface s(3900, 4000);
    DibujaBarra2D(d, 1, s, 1, {"MD", 1, false, 1});
    EXPECT_DOUBLE_EQ(s.scaleWidth(), 3.9);
    EXPECT_DOUBLE_EQ(s.scaleHeight(), 4);
    EXPECT_EQ(s.calls.front().op, "clear");
    const auto t = texts(s);
    for (const char* label : {"0", "0.5", "1", "1.5", "2", "metros", "1", "2", "0.00", "-0.50",
                              "0.50", "-1.50", "1.50"})
        EXPECT_TRUE(has(t, label)) << label;
    EXPECT_FALSE(has(t, "2.5"));
    EXPECT_FALSE(has(t, "-2.00"));

    const auto lines = s.of("line");
    const auto colour = [&](Colour c) {
        std::vector<test::DrawCall> out;
        std::copy_if(lines.begin(), lines.end(), std::back_inserter(out),
                     [&](const test::DrawCall& l) { return l.colour == c; });
        return out;
    };
    const auto moment = colour(diagramKind('M').colour);
    ASSERT_EQ(moment.size(), 12u);
    const double Mz = diagramValue(analysis::diagramValues(d.bars[1].in, 1.15), 'M');
    EXPECT_NEAR(moment[5].x2, 0.8 + 1.15, 1e-12);
    EXPECT_NEAR(moment[5].y2, 2 + Mz, 1e-9);  // hogging: negative, above the axis
    EXPECT_LT(Mz, 0);
    for (const Colour c : {DeflectionYColour, DeflectionZColour}) {
        const auto curve = colour(c);
        ASSERT_EQ(curve.size(), 11u);
        EXPECT_DOUBLE_EQ(curve.back().x2, 0.8 + 2.3);
        EXPECT_DOUBLE_EQ(curve.back().y2, 2);
    }
    EXPECT_GT(colour(DeflectionYColour)[9].y2, 2);  // the tip sags: local y negative, drawn down
}

// On the printer: nothing cleared, no boxes, every coordinate times c.
TEST(BarDetail, PrinterScalesEverything) {
    test::TempDir dir;
    const DiagramData d = cantilever(dir);
    test::RecordingPrinter printer(11000, 15000);
    DibujaBarra2D(d, 1, printer, 2000, {"X", 1, true, 0.5});
    EXPECT_TRUE(printer.of("clear").empty());
    EXPECT_TRUE(printer.of("fillBox").empty());
    const auto lines = printer.of("line");
    const auto axis = std::find_if(lines.begin(), lines.end(),
                                   [](const test::DrawCall& l) { return l.colour == 0; });
    ASSERT_NE(axis, lines.end());
    const double yc = 3.9 * 15000.0 / 11000 / 4;
    EXPECT_NEAR(axis->x1, 0.8 * 2000, 1e-9);
    EXPECT_NEAR(axis->y1, yc * 2000, 1e-9);
    EXPECT_NEAR(axis->x2, 3.1 * 2000, 1e-9);
}

// Presses step through the bars within reach of one spot, then none, then
// round again; a press far away starts again at bar 1.
TEST(BarDetail, PickingCycles) {
    const std::vector<std::array<float, 2>> mid = {{0, 0}, {1000, 1000}, {500, 500}, {1040, 960}};
    BarPicker picker;
    const struct {
        double x, y;
        int bar;
    } presses[] = {{1010, 990, 1}, {1000, 1000, 3}, {1005, 995, 0},  {1000, 1000, 1},
                   {500, 500, 2},  {1000, 1000, 1}, {1045, 1000, 3}, {2000, 2000, 0}};
    for (const auto& p : presses) {
        EXPECT_EQ(picker.press(p.x, p.y, mid), p.bar) << p.x << "," << p.y;
        EXPECT_EQ(picker.current(), p.bar);
    }
}

// Labels: a box and the number on the screen, an outline on the printer;
// items too close to the edge are left out.
TEST(BarDetail, NumberLabels) {
    const std::vector<std::array<float, 2>> at = {{0, 0}, {1000, 800}, {30, 800}};
    test::RecordingSurface screen(3000, 2000);
    numberLabels(screen, at, Numbered::Nodes, 12, 1, false);
    ASSERT_EQ(screen.of("fillBox").size(), 1u);
    const auto box = screen.of("fillBox")[0];
    EXPECT_EQ(box.colour, palette16(1));
    EXPECT_DOUBLE_EQ(box.x1, 952);
    EXPECT_DOUBLE_EQ(box.y2, 752 + 96);
    EXPECT_DOUBLE_EQ(box.x2, 952 + 78);
    const auto text = screen.of("text").at(0);
    EXPECT_EQ(text.text, "1");
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
