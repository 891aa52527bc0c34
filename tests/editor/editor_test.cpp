#include "editor/editor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>

#include "editor/printing.h"
#include "editor/save.h"
#include "editor/svg_surface.h"
#include "support/load_cases.h"
#include "support/structures.h"
#include "support/tempdir.h"
#include "ui/recording.h"

namespace vanto::editor {
namespace {

using test::RecordingSurface;

Structure make(const test::Frame& f) {
    test::TempDir dir;
    f.write(dir.path());
    return loadStructure<float>(dir.path(), part::All);
}

// Remembers what the editor asked of its panels.
struct Panels : EditorPanels {
    void showNode(int n) override { node = n; }
    void showBar(int b) override { bar = b; }
    void enablePanel(Mode m, bool on) override { enabled[int(m)] = on; }
    bool panelEnabled(Mode m) const override { return enabled[int(m)]; }
    void takeOverEdits() override { ++takeOvers; }
    int node = -1, bar = -1, takeOvers = 0;
    bool enabled[2] = {false, false};
};

PointerEvent press(double x, double y, unsigned button = Button::Left) {
    return {PointerEvent::Kind::Press, x, y, button, button};
}
PointerEvent moveTo(double x, double y, unsigned button = Button::Left) {
    return {PointerEvent::Kind::Move, x, y, Button::None, button};
}
PointerEvent release(double x, double y, unsigned button = Button::Left) {
    return {PointerEvent::Kind::Release, x, y, button, Button::None};
}

// Local axes as screen directions: each must be the image of the expected
// global vector, which the global axis directions give.
TEST(Paso2D, LocalAxesOfVerticalAndHorizontalBarsAndSwappedEnds) {
    test::Frame f;
    const int o = f.node(0, 0, 0);
    f.node(0, 0, 3), f.node(0, 0, -3), f.node(4, 0, 0), f.node(0, 4, 0), f.node(0, 0, 0);
    f.bar(o, 2, 1), f.bar(3, o, 1), f.bar(o, 4, 1), f.bar(o, 5, 1), f.bar(o, 6, 1);
    f.bars[1][0] = 3, f.bars[1][1] = 1;  // stored 3 → 1, as typed
    const struct {
        int bar;
        Vec3 y, z;
    } cases[] = {
        {1, {0, -1, 0}, {1, 0, 0}},  // upwards
        {2, {0, 1, 0}, {1, 0, 0}},   // downwards, from 1 to 3 once swapped
        {3, {0, 0, 1}, {0, -1, 0}},  // along X
        {4, {0, 0, 1}, {1, 0, 0}},   // along Y
    };
    RecordingSurface dib(6000, 4000);
    Editor ed(make(f), dib);
    ed.open();
    const ScreenView& sv = ed.screen();
    for (const auto& c : cases) {
        for (int axis = 0; axis < 2; ++axis) {
            const Vec3& g = axis == 0 ? c.y : c.z;
            const int col = axis == 0 ? ScreenView::AxisY : ScreenView::AxisZ;
            for (int k = 0; k < 2; ++k) {
                const float expected = float(g[0]) * sv.axes[0][k] + float(g[1]) * sv.axes[1][k] +
                                       float(g[2]) * sv.axes[2][k];
                EXPECT_NEAR(sv.bars(c.bar, col + k), expected, 1e-3) << "bar " << c.bar;
            }
        }
    }
    EXPECT_EQ(ed.data().bars(2, Origin), 1);
    EXPECT_EQ(ed.data().bars(2, End), 3);
    // A bar of zero length has no axes, and nothing turns into NaN.
    for (int col = ScreenView::AxisX; col <= ScreenView::AxisZ + 1; ++col)
        EXPECT_EQ(sv.bars(5, col), 0);
}

TEST(ZoomHistory, ThirtyWindowsThirtyPreviosAndAClickWindow) {
    ScreenView sv;
    sv.view.hm1 = 100, sv.view.hm2 = 200, sv.view.esc = 3;
    for (int i = 1; i <= 31; ++i)
        sv.zoomnum(1, 100 + i, 200 + i, 3 + i);
    EXPECT_EQ(sv.depth(), 30);
    EXPECT_EQ(sv.view.hm1, 130);  // the 31st changed nothing
    for (int i = 0; i < 32; ++i)
        sv.zoomnum(-1);
    EXPECT_EQ(sv.depth(), 0);
    EXPECT_EQ(sv.view.hm1, 100);
    EXPECT_EQ(sv.view.esc, 3);
    sv.zoomnum(7);
    EXPECT_EQ(sv.view.hm1, 100);

    // A click at (1500, 1000) zooms on 2600 × 2600 around it: on a 5200 × 2600
    // surface the height limits, e' = 2600 / (2600 / 3).
    const auto z = sv.zoomWindow(1500, 1000, 1500, 1000, 5200, 2600);
    EXPECT_FLOAT_EQ(z[2], 3);
    EXPECT_NEAR(z[0] + (1500 - 100), 2600, 1e-2);  // the click comes to the centre
    EXPECT_NEAR(z[1] + (1000 - 200), 1300, 1e-2);
}

TEST(Drawing, SymbolsColoursAndClipping) {
    test::Frame f;
    const int a = f.node(0, 0, 0), b = f.node(0, 0, 4), c = f.node(6, 0, 4);
    f.node(0, 0, 500), f.node(6, 0, 600);
    f.fix(a);
    f.loads[1][1] = -2;        // −2 t along Y at node 2
    f.bar(a, b, 7, 0, 0);      // type 7, pinned origin
    f.bar(b, c, 1, -3, 0.5f);  // loaded, half-fixed origin
    f.bar(c, 4, 1), f.bar(4, 5, 1);
    RecordingSurface dib(6000, 4000);
    Editor ed(make(f), dib);
    ed.open();
    auto colours = [&](const char* op) {
        std::vector<Colour> out;
        for (const auto& call : dib.of(op))
            out.push_back(call.colour);
        return out;
    };
    auto has = [](const std::vector<Colour>& v, Colour c) {
        return std::find(v.begin(), v.end(), c) != v.end();
    };
    // Node mode: restraint triangles (12) and rotations (4), the load arrow (9).
    auto lines = colours("line");
    EXPECT_TRUE(has(lines, palette16(12)));
    EXPECT_TRUE(has(lines, palette16(4)));
    EXPECT_TRUE(has(lines, palette16(9)));
    EXPECT_EQ(Editor::ColBarra(7), Editor::ColBarra(1));
    EXPECT_EQ(dib.of("fillBox").size(), 5u);
    // The −2 t arrow: shaft ln 3 · s along −Y.
    const float s = 0.6f, L = -s * std::log(3.0f);
    const auto& ay = ed.screen().axes[1];
    bool found = false;
    for (const auto& call : dib.of("line"))
        if (call.colour == palette16(9) && std::abs(call.x2 - (call.x1 + L * ay[0])) < 0.01 &&
            std::abs(call.y2 - (call.y1 + L * ay[1])) < 0.01)
            found = true;
    EXPECT_TRUE(found);

    ed.HScal = 0;
    ed.Redibuja();
    lines = colours("line");
    EXPECT_FALSE(has(lines, palette16(12)));
    EXPECT_EQ(dib.of("fillBox").size(), 5u);  // marks stay

    ed.setMode(Mode::Bars);
    ed.HScal = 30;
    ed.Redibuja();
    lines = colours("line");
    EXPECT_TRUE(has(lines, palette16(12)));  // EmpOR 0
    EXPECT_TRUE(has(lines, palette16(14)));  // EmpOR 0.5
    EXPECT_TRUE(has(lines, palette16(5)));   // the distributed load

    // In "Alzado xz" at 100 units per metre: bar 3–4 crosses the top edge and
    // is drawn, bar 4–5 lies wholly above it and is not.
    ed.setMode(Mode::Nodes);
    ed.screen().Perspec(4);
    ed.screen().Paso2D(ed.data(), 1000, 3000, 100, 6000, 4000);
    ed.DibujaEstr();
    const auto drawn = dib.of("line");
    EXPECT_EQ(std::count_if(drawn.begin(), drawn.end(),
                            [](const auto& l) { return l.colour == Editor::ColBarra(1); }),
              3);
}

TEST(Drawing, ZeroDetailLengthEndsAndPrintScales) {
    test::Frame f = test::portal();
    RecordingSurface dib(6000, 4000);
    Editor ed(make(f), dib);
    ed.HScal = 0;
    ed.open();
    ed.setMode(Mode::Bars);  // the loaded beam, without hatch spacing
    EXPECT_FALSE(dib.of("line").empty());

    ed.HScal = 30;
    ed.setMode(Mode::Nodes);
    test::RecordingPrinter page(12000, 4000);
    const struct {
        PrintOptions o;
        std::size_t lines;
    } cases[] = {
        {{false, false, false, 100}, 3},  // bars only
        {{true, true, true, 50}, 0},      // everything: more than the bars
    };
    for (const auto& c : cases) {
        page.calls.clear();
        printStructure(page, ed, c.o);
        for (const auto& call : page.calls)
            EXPECT_EQ(call.colour, 0u);
        if (c.lines) {
            EXPECT_EQ(page.of("line").size(), c.lines);
        } else {
            EXPECT_GT(page.of("line").size(), 3u);
        }
        EXPECT_EQ(page.of("fillBox").size(), c.o.localAxes ? 7u : 4u);
    }
    // The height limits: f = 4000 / 4000, halved by 50%.
    EXPECT_DOUBLE_EQ(pageFactor(6000, 4000, 12000, 4000, 50), 0.5);
    const auto box = page.of("fillBox")[0];
    EXPECT_NEAR(box.x2 - box.x1, 2 * 0.6 * 12 * 0.5, 1e-4);
}

// Three nodes on one spot, a fourth apart.
TEST(Picking, CyclesThroughOverlappingNodes) {
    test::Frame f;
    for (int i = 0; i < 3; ++i)
        f.node(0, 0, 0);
    f.node(10, 0, 0);
    f.bar(1, 4, 1), f.bar(2, 4, 1), f.bar(3, 4, 1);
    RecordingSurface dib(6000, 4000);
    Panels panels;
    Editor ed(make(f), dib, &panels);
    ed.open();
    const float u = ed.screen().nodeU(1), v = ed.screen().nodeV(1);
    const struct {
        float dx;
        int shown;
    } clicks[] = {{0, 1}, {10, 2}, {-20, 3}, {0, 0}, {0, 0}, {3000, 0}, {0, 1}};
    for (const auto& c : clicks) {
        ed.mouseDown(press(u + c.dx, v));
        ed.mouseUp(release(u + c.dx, v));
        EXPECT_EQ(panels.node, c.shown) << "dx " << c.dx;
        EXPECT_EQ(panels.enabled[0], c.shown != 0);
    }
    // 65 away is not a pick (strict) but is the same spot: steps on from 1.
    ed.BuscaPunto(u + 65, v);
    EXPECT_EQ(ed.currentNode(), 0);
    EXPECT_EQ(panels.takeOvers, 7);
    // Bars too, at their midpoints.
    ed.setMode(Mode::Bars);
    const float mu = ed.screen().bars(2, ScreenView::MidU),
                mv = ed.screen().bars(2, ScreenView::MidV);
    for (int expected : {1, 2, 3, 0}) {
        ed.BuscaBarra(mu, mv);
        EXPECT_EQ(panels.bar, expected);
    }
}

TEST(Editing, DragsAddAndRemoveBarsAndMakeNodesThatGrowAndUndo) {
    test::Frame f;
    for (int i = 0; i < 8; ++i)
        f.node(float(i), 0, float(i % 2));
    f.bar(1, 2, 1), f.bar(2, 3, 1), f.bar(3, 4, 1);
    RecordingSurface dib(20000, 8000);
    Editor ed(make(f), dib);
    ed.open();
    auto drag = [&](int from, float x, float y) {
        ed.mouseDown(press(ed.screen().nodeU(from) + 20, ed.screen().nodeV(from), Button::Right));
        ed.mouseMove(moveTo(x, y, Button::Right));
        ed.mouseUp(release(x, y, Button::Right));
    };
    auto at = [&](int n) {
        return std::array<float, 2>{ed.screen().nodeU(n), ed.screen().nodeV(n)};
    };
    drag(3, at(7)[0], at(7)[1]);
    ASSERT_EQ(ed.data().barCount, 4);
    EXPECT_EQ(ed.data().bars(4, Origin), 3);
    EXPECT_EQ(ed.data().bars(4, End), 7);
    EXPECT_EQ(ed.data().bars(4, EmpEX), 1);
    // The rubber line was drawn and erased in exclusive or.
    const auto xors = std::count_if(dib.calls.begin(), dib.calls.end(),
                                    [](const auto& c) { return c.mode == PenMode::Xor; });
    EXPECT_EQ(xors, 2);
    drag(7, at(3)[0], at(3)[1]);
    EXPECT_EQ(ed.data().barCount, 3);
    drag(2, at(2)[0] + 10, at(2)[1]);  // released on its own start
    drag(1, at(2)[0], at(2)[1]);       // removes bar 1: the others move down
    EXPECT_EQ(ed.data().bars(1, Origin), 2);

    // Into empty space, 150 times: a node at (−1, +1, +1) from node 4 each time.
    for (int i = 0; i < 150; ++i)
        drag(4, 19990, 7990);
    EXPECT_EQ(ed.data().nodeCount, 158);
    EXPECT_EQ(ed.data().barCount, 152);
    EXPECT_EQ(ed.data().coordinates(158, 1), 2);
    EXPECT_EQ(ed.data().coordinates(158, 2), 1);
    EXPECT_EQ(ed.data().coordinates(158, 3), 2);
    EXPECT_EQ(ed.data().restraints(158, 6), FreeMarker);
    EXPECT_EQ(ed.data().bars(152, End), 158);

    while (ed.undo()) {
    }
    EXPECT_EQ(ed.data().nodeCount, 8);
    EXPECT_EQ(ed.data().barCount, 3);
    for (int b = 1; b <= 3; ++b)
        EXPECT_EQ(ed.data().bars(b, Origin), b);
    EXPECT_TRUE(ed.redo());
    EXPECT_EQ(ed.data().bars(4, End), 7);
}

TEST(Editing, MultipleSelectionAndPanelCommits) {
    test::Frame f = test::portal();
    RecordingSurface dib(6000, 4000);
    Panels panels;
    Editor ed(make(f), dib, &panels);
    ed.open();
    ed.setMultiple(true);
    EXPECT_TRUE(panels.enabled[0]);
    auto box = [&](float x1, float y1, float x2, float y2) {
        ed.mouseDown(press(x1, y1));
        ed.mouseMove(moveTo(x2, y2));
        ed.mouseUp(release(x2, y2));
    };
    // Nodes 1 and 2 (the left column) twice: selected, then not; then 1 alone.
    const float u = ed.screen().nodeU(1);
    box(u - 100, -10, u + 100, 4010);
    EXPECT_EQ(ed.screen().nodes(2, ScreenView::NodeSelected), 1);
    EXPECT_EQ(dib.of("circle").size(), 2u);
    box(u - 100, -10, u + 100, 4010);
    EXPECT_EQ(ed.screen().nodes(2, ScreenView::NodeSelected), 0);
    ed.mouseDown(press(u, ed.screen().nodeV(1)));
    ed.mouseUp(release(u, ed.screen().nodeV(1)));  // a click toggles the node there
    ed.screen().nodes(4, ScreenView::NodeSelected) = 1;

    const struct {
        NodeGroup group;
        int k;
        const char* text;
        float expected;  // in nodes 1 and 4
    } commits[] = {
        {NodeGroup::Loads, 3, "-1,5", -1.5f},
        {NodeGroup::Loads, 3, "", -1.5f},  // empty: unchanged
        {NodeGroup::Restraints, 2, "lIbRe  ", FreeMarker},
        {NodeGroup::Restraints, 2, "0.05", 0.05f},
        {NodeGroup::Coordinates, 2, "abc", 0},
    };
    const Structure before = ed.data();
    for (const auto& c : commits) {
        ed.commitNode(c.group, c.k, c.text);
        const Table<float>& t = c.group == NodeGroup::Loads        ? ed.data().loads
                                : c.group == NodeGroup::Restraints ? ed.data().restraints
                                                                   : ed.data().coordinates;
        EXPECT_EQ(t(1, c.k), c.expected) << c.text;
        EXPECT_EQ(t(4, c.k), c.expected) << c.text;
        const Table<float>& was = c.group == NodeGroup::Loads        ? before.loads
                                  : c.group == NodeGroup::Restraints ? before.restraints
                                                                     : before.coordinates;
        EXPECT_EQ(t(2, c.k), was(2, c.k)) << c.text;
    }
    // Every commit is one undo step, across all selected nodes.
    ed.undo(), ed.undo(), ed.undo();
    EXPECT_EQ(ed.data().restraints(1, 2), 0);
    EXPECT_EQ(ed.data().restraints(4, 2), 0);

    // Bars: the beam selected by its midpoint, type and fixity committed.
    ed.setMultiple(false);
    ed.setMode(Mode::Bars);
    ed.setMultiple(true);
    const float mu = ed.screen().bars(2, ScreenView::MidU),
                mv = ed.screen().bars(2, ScreenView::MidV);
    box(mu - 50, mv - 50, mu + 50, mv + 50);
    ed.chooseType(1);
    ed.commitBar(EmpEX, "0.25");
    EXPECT_EQ(ed.data().bars(2, Type), 2);
    EXPECT_EQ(ed.data().bars(2, EmpEX), 0.25f);
    EXPECT_EQ(ed.data().bars(1, EmpEX), 1);

    ed.commitTypeName(1, "IPE·200");
    ed.setMaterial(1, false);
    EXPECT_EQ(ed.data().types.names[1], "IPE·200");
    EXPECT_EQ(ed.data().types.values(1, MY), 292402.0f);
    ed.commitType(1, A, "");
    EXPECT_EQ(ed.data().types.values(1, A), 0);
}

TEST(Panels, TextsWithTheirPatternsInTheLocalesSeparator) {
    test::Frame f = test::portal();
    f.bars[1][3] = 12.5f;  // the beam's angle
    RecordingSurface dib;
    Editor ed(make(f), dib);
    const char separator = decimalSeparator();
    setDecimalSeparator(',');
    const struct {
        std::string shown, expected;
    } cases[] = {
        {ed.nodeText(2, NodeGroup::Coordinates, 3), "4,000"},
        {ed.nodeText(2, NodeGroup::Loads, 1), "2,000"},
        {ed.nodeText(2, NodeGroup::Restraints, 4), "Libre"},
        {ed.nodeText(1, NodeGroup::Restraints, 4), "0,000"},
        {ed.nodeText(9, NodeGroup::Loads, 1), ""},
        {ed.barText(2, Origin), "2"},
        {ed.barText(2, Angle), "12,500000"},
        {ed.barText(2, VerticalLoad), "-3,000"},
        {ed.barText(2, EmpEX), "1,000"},
        {ed.typeText(1, MY), "2100000"},
    };
    setDecimalSeparator(separator);
    for (const auto& c : cases)
        EXPECT_EQ(c.shown, c.expected);
}

TEST(Drawing, NumbersAndTheAxesIndicator) {
    RecordingSurface dib(6000, 4000);
    Editor ed(make(test::portal()), dib);
    ed.open();
    ed.numberNodes();
    const auto texts = dib.of("text");
    ASSERT_EQ(texts.size(), 4u);
    const float u = ed.screen().nodeU(3), v = ed.screen().nodeV(3);
    EXPECT_EQ(texts[2].text, "3");
    EXPECT_NEAR(texts[2].x1, u, 1e-3);  // (u − 12) + 12
    EXPECT_NEAR(texts[2].y1, v - 13.2, 1e-3);
    EXPECT_EQ(texts[2].colour, palette16(11));
    EXPECT_EQ(dib.font, (Font{"Courier New", 6, false}));

    // "Alzado xz": x to the right, z up, y seen end-on; 70% of the limiting
    // dimension, labels 36 right of and above the ends.
    RecordingSurface ejes(1000, 1000);
    DibujaEjes(ejes, View(FixedViews[4]), palette16(14));
    const auto lines = ejes.of("line");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].x2 - lines[0].x1, 700);  // x
    EXPECT_EQ(lines[1].x2, lines[1].x1);        // y
    EXPECT_EQ(lines[2].y1 - lines[2].y2, 700);  // z
    for (const auto& l : lines)
        EXPECT_EQ(l.colour, palette16(14));
    EXPECT_EQ(ejes.of("text")[2].text, "z");
    EXPECT_EQ(ejes.of("text")[2].x1, lines[2].x2 + 36);
}

TEST(Editing, ZoomWindowByTheMouse) {
    RecordingSurface dib(6000, 4000);
    Editor ed(make(test::portal()), dib);
    ed.open();
    const float esc = ed.screen().view.esc;
    ed.zoomWindowMode = true;
    ed.mouseDown(press(1000, 1000));
    ed.mouseMove(moveTo(2500, 2000));
    const test::DrawCall rubber = dib.calls.back();
    EXPECT_EQ(rubber.op, "rectangle");
    EXPECT_EQ(rubber.mode, PenMode::Xor);
    EXPECT_EQ(rubber.colour, palette16(10));
    ed.mouseUp(release(2500, 2000));
    EXPECT_FALSE(ed.zoomWindowMode);
    EXPECT_EQ(ed.screen().depth(), 1);
    EXPECT_FLOAT_EQ(ed.screen().view.esc, esc * 4);  // 1500 wide of 6000
    ed.zoomnum(-1);
    EXPECT_EQ(ed.screen().view.esc, esc);
}

TEST(TypingRules, NamesFixitiesAndRestraints) {
    int cursor = 4;
    EXPECT_EQ(typeNameAsTyped("IPE 200 doble", cursor), "IPE·200·doble");
    EXPECT_EQ(cursor, 4);
    cursor = 20;
    EXPECT_EQ(typeNameAsTyped("ABCDEFGHIJKLMNOPQRST", cursor), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(cursor, 15);
    const struct {
        const char* text;
        const char* clamped;
    } fixities[] = {{"1.5", "1"}, {"-0.2", "0"}, {"0,5", ""}, {"-", ""}, {"1", ""}};
    for (const auto& c : fixities)
        EXPECT_EQ(clampedFixity(c.text).value_or(""), c.clamped) << c.text;
    EXPECT_EQ(toggledRestraint("libre"), "0");
    EXPECT_EQ(toggledRestraint("0.000"), "Libre");
}

TEST(Saving, DropsIsolatedNodesAndSelfBarsRenumbersAndUndoesBackToTheFiles) {
    test::Frame f;
    for (int i = 0; i < 7; ++i)
        f.node(float(i), 0, 0);
    f.bar(1, 2, 1), f.bar(6, 4, 2), f.bar(4, 4, 1), f.bar(7, 3, 1);  // node 5 isolated
    test::TempDir dir;
    f.write(dir.path());
    dir.write("INCOG.RES", "old\r\n");
    RecordingSurface dib(6000, 4000);
    Editor ed(loadStructure<float>(dir.path(), part::All), dib);
    ed.open();
    const Structure saved = saveStructure(dir.path(), ed.data());
    EXPECT_EQ(saved.nodeCount, 6);  // node 6 is now 5, node 7 now 6
    EXPECT_EQ(dir.read("BARRAS.DAT"),
              "1,2,1,0,0,0,0,0,1,1\r\n4,5,2,0,0,0,0,0,1,1\r\n3,6,1,0,0,0,0,0,1,1\r\n");
    EXPECT_EQ(dir.read("DATOS.DAT"), "\"Vanto 2.11\"\r\n6\r\n3\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "INCOG.RES"));
    const std::string files = test::snapshot(dir.path());

    // Edits of every kind, all undone, save the same bytes again.
    Editor again(loadStructure<float>(dir.path(), part::All), dib);
    again.open();
    again.PonQuitaBarra(1, 3);
    again.PonQuitaBarra(2, 0);
    again.PonQuitaBarra(1, 2);
    again.BuscaPunto(again.screen().nodeU(2), again.screen().nodeV(2));
    again.commitNode(NodeGroup::Coordinates, 1, "9");
    again.commitTypeName(2, "X");
    while (again.undo()) {
    }
    saveStructure(dir.path(), again.data());
    EXPECT_EQ(test::snapshot(dir.path()), files);

    // A bar naming a node that does not exist is refused; nothing is written.
    again.data().bars(1, End) = 99;
    EXPECT_THROW(saveStructure(dir.path(), again.data()), SaveError);
    EXPECT_EQ(test::snapshot(dir.path()), files);

    // With several load cases, a save keeps their files' numbering or is refused.
    again.data().bars(1, End) = 2;
    test::writeThreeCases(dir.path(), 6, 3);
    again.commitNode(NodeGroup::Coordinates, 1, "9");
    saveStructure(dir.path(), again.data());
    EXPECT_EQ(loadStructure<float>(dir.path(), part::All).cases.count(), 3);
    const std::string kept = test::snapshot(dir.path());
    again.PonQuitaBarra(1, 3);
    EXPECT_THROW(saveStructure(dir.path(), again.data()), SaveError);
    EXPECT_EQ(test::snapshot(dir.path()), kept);
}

// A new structure directory: one node to start from and the default types;
// a portal built by drags and typed coordinates is saved as four nodes.
TEST(Saving, APortalFromNothing) {
    test::TempDir dir;
    RecordingSurface dib(6000, 4000);
    Editor ed(openForEditing(dir.path()), dib);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_EQ(ed.data().nodeCount, 1);
    EXPECT_GT(ed.data().types.count, 1);
    ed.open();
    ed.PonQuitaBarra(1, 0);  // node 2
    ed.PonQuitaBarra(2, 0);  // node 3
    ed.PonQuitaBarra(3, 0);  // node 4
    const float xz[4][2] = {{0, 0}, {0, 4}, {6, 4}, {6, 0}};
    for (int n = 1; n <= 4; ++n) {
        ed.BuscaPunto(-5000, -5000);
        ed.BuscaPunto(ed.screen().nodeU(n), ed.screen().nodeV(n));
        ASSERT_EQ(ed.currentNode(), n);
        ed.commitNode(NodeGroup::Coordinates, 1, std::to_string(xz[n - 1][0]));
        ed.commitNode(NodeGroup::Coordinates, 2, "0");
        ed.commitNode(NodeGroup::Coordinates, 3, std::to_string(xz[n - 1][1]));
        if (n == 1 || n == 4)
            for (int k = 1; k <= 6; ++k)
                ed.commitNode(NodeGroup::Restraints, k, "0");
    }
    saveStructure(dir.path(), ed.data());
    const Structure back = loadStructure<float>(dir.path(), part::All);
    EXPECT_EQ(back.nodeCount, 4);
    EXPECT_EQ(back.barCount, 3);
    EXPECT_EQ(back.coordinates(3, 1), 6);
    EXPECT_EQ(back.restraints(4, 6), 0);
    EXPECT_EQ(back.types.count, ed.data().types.count);
}

// The SVG read back: every node mark centred where the projection puts it.
TEST(Svg, NodeMarksWhereTheProjectionPutsThem) {
    SvgSurface svg(14400, 10800);
    Editor ed(make(test::portal()), svg);
    ed.setTags(&svg);
    ed.open();
    const std::string doc = svg.document();
    const std::regex mark(R"re(<rect data-node="(\d+)" x="([-\d.]+)" y="([-\d.]+)" width="24")re");
    int count = 0;
    for (std::sregex_iterator it(doc.begin(), doc.end(), mark), end; it != end; ++it, ++count) {
        const int n = std::stoi((*it)[1]);
        const float* c = ed.data().coordinates.row(n);
        float u, v;
        ed.screen().view.axo3d2d(c[1], c[2], c[3], u, v);
        EXPECT_NEAR(std::stod((*it)[2]) + 12, u, 0.01) << n;
        EXPECT_NEAR(std::stod((*it)[3]) + 12, v, 0.01) << n;
    }
    EXPECT_EQ(count, 4);
    EXPECT_EQ(std::count(doc.begin(), doc.end(), '\n'), std::count(doc.begin(), doc.end(), '<'));
    EXPECT_NE(doc.find("<line data-bar=\"3\""), std::string::npos);
}

}  // namespace
}  // namespace vanto::editor
