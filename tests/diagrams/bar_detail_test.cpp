#include "diagrams/bar_detail.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "calculated.h"
#include "diagrams/paper.h"
#include "ui/recording.h"

namespace vanto::diagrams {
namespace {

// A 2.3 m cantilever under 1 t/m: the detail names the bar and its diagram,
// fits the moment to the picture's height, writes the support moment −qL²/2
// with its unit; on paper it keeps inside its area and clears nothing.
TEST(BarDetail, FittedAndLabelled) {
    const DiagramData d = calculated(test::cantilever(2.3f, 0, 0, -1));

    test::RecordingSurface s(3900, 4000);
    DibujaBarra2D(d, 1, s, {"MD", false});
    std::vector<std::string> texts;
    for (const auto& c : s.of("text"))
        texts.push_back(c.text);
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[0], "Barra 1 (nudos 1-2), L = 2.30 m");
    EXPECT_EQ(texts[1], "Flector Z (m·t)");
    EXPECT_EQ(texts[2], "Deformada y, z (cm)");
    // −2.645 to two decimals, either way of its binary rounding.
    EXPECT_NE(std::find_if(texts.begin(), texts.end(),
                           [](const std::string& t) {
                               return t.starts_with("-2.6") && t.ends_with(" m·t");
                           }),
              texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "metros"), texts.end());
    double top = 4000, bottom = 0;
    for (const auto& l : s.of("line", diagramKind('M').colour))
        top = std::min({top, l.y1, l.y2}), bottom = std::max({bottom, l.y1, l.y2});
    EXPECT_GT(bottom - top, 0.25 * 4000);  // fills the height, not 1 m per m·t
    EXPECT_GT(top, 0);
    // The bar lies midway between the heading's 2.8 lines and the ruler's 2.2.
    const auto axis = s.of("line", palette16(7));
    EXPECT_TRUE(std::any_of(axis.begin(), axis.end(), [](const test::DrawCall& l) {
        return std::abs(l.y1 - 2060) < 0.01 && std::abs(l.y2 - 2060) < 0.01 && l.x2 > l.x1;
    }));

    test::RecordingPrinter printer(11000, 15000);
    drawBarDetail(d, 1, printer, {1000, 2000, 6000, 3600}, {"X", true});
    EXPECT_TRUE(printer.of("clear").empty());
    EXPECT_TRUE(printer.of("fillBox").empty());
    for (const auto& l : printer.of("line")) {
        EXPECT_TRUE(l.x1 >= 1000 && l.x2 <= 7000) << l.x1 << " " << l.x2;
        EXPECT_TRUE(l.y1 >= 2000 && l.y2 <= 5600) << l.y1 << " " << l.y2;
    }
}

// A print wider than the page is printed as wide as the page.
TEST(BarDetail, PrintedAtMostAsWideAsThePage) {
    const DiagramData d = calculated(test::cantilever(2.3f, 0, 0, -1));
    auto lines = [&](int percent) {
        test::RecordingPrinter page;
        printBarDetail(page, d, 1, "M", percent, {});
        std::vector<std::array<double, 4>> at;
        for (const auto& l : page.of("line"))
            at.push_back({l.x1, l.y1, l.x2, l.y2});
        return at;
    };
    EXPECT_FALSE(lines(100).empty());
    EXPECT_EQ(lines(150), lines(100));
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

// On paper a number on the very edge of the drawing is printed; one beyond
// it is not.
TEST(BarDetail, PaperLabelsUpToTheEdge) {
    test::RecordingPrinter paper;
    const std::vector<view::ScreenPoint> at = {{0, 0},       {500, 0},   {500, -1}, {11000, 700},
                                               {11001, 700}, {0, 15000}, {0, 15001}};
    paperNumberLabels(paper, at, Numbered::Nodes, 1);
    std::vector<std::string> printed;
    for (const auto& t : paper.of("text"))
        printed.push_back(t.text);
    EXPECT_EQ(printed, (std::vector<std::string>{"1", "3", "5"}));
}

}  // namespace
}  // namespace vanto::diagrams
