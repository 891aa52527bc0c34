// The editor: its drawing, picking with marks on the overlay, graphical
// editing with one undo step per action, the multiple selection, the zoom
// window and printing.

#include "editor/editor.h"

#include <gtest/gtest.h>

#include "editor/printing.h"
#include "editor_support.h"
#include "view/grid.h"

namespace vanto::editor {
namespace {

using test::Opened;

// A column pinned at its foot (node 1) and a loaded beam stored end-first
// with its fixity 0.5 at node 2, the lower one; a bar naming a missing node.
TEST(Drawing, SymbolsFixitiesAndClipping) {
    vanto::test::Frame f;
    const int a = f.node(0, 0, 0), b = f.node(0, 0, 4), c = f.node(6, 0, 4);
    f.node(0, 0, 500), f.node(6, 0, 600);
    f.fix(a);
    f.loads[1][1] = -2;             // −2 t along Y at node 2
    f.bar(a, b, 7, 0, 0, 0.0001f);  // type 7, pinned origin, a trace of fixity at the end
    f.bar(c, b, 1, -3, 0.5f);       // loaded; EmpOR belongs to node 2
    f.bar(c, 4, 1), f.bar(4, 5, 1), f.bar(5, 6, 1);
    Opened o(f);
    EXPECT_EQ(o.dib.of("line", palette16(12)).size(), 9u);  // three triangles...
    EXPECT_EQ(o.dib.of("line", palette16(4)).size(), 9u);   // ...and three Ts at node 1
    EXPECT_EQ(o.dib.of("line", palette16(9)).size(), 5u);   // the load arrow
    EXPECT_EQ(o.dib.of("fillBox").size(), 5u);
    EXPECT_EQ(o.dib.of("line", view::ColBarra(1)).size(), 4u);  // bar 1 (type 7), 2, 3, 4

    o.ed.setDetailScale(0);
    o.ed.DibujaEstr();
    EXPECT_EQ(o.dib.of("line", palette16(12)).size(), 0u);
    EXPECT_EQ(o.dib.of("fillBox").size(), 5u);  // the marks stay

    o.ed.setDetailScale(30);
    o.ed.setMode(Mode::Bars);
    EXPECT_EQ(o.dib.of("line", palette16(12)).size(), 1u);  // EmpOR 0 of bar 1
    EXPECT_EQ(o.dib.of("line", palette16(14)).size(), 2u);  // its EmpEX, and bar 2's EmpOR
    const auto half = o.dib.of("line", palette16(14));
    ASSERT_FALSE(half.empty());
    EXPECT_EQ(half[0].x1, o.node(b).u);                    // EmpOR 0.5 at node 2, not at node 3
    EXPECT_GE(o.dib.of("line", palette16(5)).size(), 3u);  // the load's band

    // In "Alzado xz" at 100 units per metre: bar 3–4 crosses the top edge and
    // is drawn, bar 4–5 lies wholly above it and is not.
    o.ed.setMode(Mode::Nodes);
    view::ScreenView screen;
    screen.Perspec(4);
    screen.Paso2D(o.ed.data(), 1000, 3000, 100, 6000, 4000);
    DibujaEstr(o.dib, o.ed.data(), screen, {});
    EXPECT_EQ(o.dib.of("line", view::ColBarra(1)).size(), 3u);
}

// Three nodes on one spot: clicks there show them in turn, then none; the
// circle of the shown node is drawn on the overlay, never on the picture.
TEST(Picking, CyclesWithMarksOnTheOverlayOnly) {
    vanto::test::Frame f;
    for (int i = 0; i < 3; ++i)
        f.node(0, 0, 0);
    f.node(10, 0, 0);
    f.bar(1, 4, 1), f.bar(2, 4, 1), f.bar(3, 4, 1);
    Opened o(f);
    const auto picture = o.dib.calls.size();
    for (int shown : {1, 2, 3, 0, 0}) {
        o.click(o.node(1));
        EXPECT_EQ(o.panels.node, shown);
        EXPECT_EQ(o.panels.enabled[0], shown != 0);
        EXPECT_EQ(o.marks.of("circle").size(), shown ? 1u : 0u);
    }
    EXPECT_EQ(o.dib.calls.size(), picture);
    EXPECT_EQ(o.panels.takeOvers, 5);
    o.ed.setMode(Mode::Bars);
    for (int shown : {1, 2, 3, 0}) {
        o.click(o.mid(2));
        EXPECT_EQ(o.panels.bar, shown);
        EXPECT_EQ(o.marks.of("line", Highlight).size(), shown ? 1u : 0u);
    }
}

// Right drags: 3 → 7 adds bar 3–7, 7 → 3 removes it, 1 → 2 removes bar 2–1
// stored end-first, a release on the start node does nothing, and a drag
// into empty space adds a node (−1, +1, +1) from the start and a bar: one
// undo step each.
TEST(Editing, RightDragsAddAndRemoveBarsOneStepEach) {
    vanto::test::Frame f;
    for (int i = 0; i < 8; ++i)
        f.node(float(i), 0, float(i % 2));
    f.bar(2, 1, 1), f.bar(2, 3, 1), f.bar(3, 4, 1);
    Opened o(f, 20000, 8000);
    auto right = [&](int from, view::ScreenPoint to) {
        o.drag({o.node(from).u + 20, o.node(from).v}, to, Button::Right);
    };
    right(3, o.node(7));
    ASSERT_EQ(o.ed.data().barCount, 4);
    EXPECT_EQ(o.ed.data().bars(4, Origin), 3);
    EXPECT_EQ(o.ed.data().bars(4, End), 7);
    EXPECT_EQ(o.dib.of("line", view::ColBarra(1)).size(), 4u);  // drawn as it came
    right(7, o.node(3));
    right(1, o.node(2));
    EXPECT_EQ(o.ed.data().barCount, 2);
    EXPECT_EQ(o.ed.data().bars(1, Origin), 2);
    EXPECT_EQ(o.ed.data().bars(1, End), 3);
    right(2, {o.node(2).u + 10, o.node(2).v});
    EXPECT_EQ(o.ed.data().barCount, 2);
    const std::size_t nodeMarks = o.dib.of("fillBox", palette16(11)).size();
    for (int i = 0; i < 150; ++i)
        right(4, {19990, 7990});
    EXPECT_EQ(o.ed.data().nodeCount, 158);
    EXPECT_EQ(test::xyz(o.ed.data().coordinates, 158), (std::array<float, 3>{2, 1, 2}));
    EXPECT_EQ(o.ed.data().restraints(158, 6), FreeMarker);
    EXPECT_EQ(o.ed.data().bars(152, End), 158);
    EXPECT_EQ(o.dib.of("fillBox", palette16(11)).size(), nodeMarks + 150);  // each new node's
    EXPECT_TRUE(o.marks.of("line").empty());  // the line that followed is gone

    o.ed.undo();
    EXPECT_EQ(o.ed.data().nodeCount, 157);
    EXPECT_EQ(o.ed.data().barCount, 151);
    while (o.ed.undo()) {
    }
    EXPECT_EQ(o.ed.data().nodeCount, 8);
    EXPECT_EQ(o.ed.data().barCount, 3);
    EXPECT_EQ(o.ed.data().bars(1, Origin), 2);
    EXPECT_TRUE(o.ed.redo());
    EXPECT_EQ(o.ed.data().bars(4, End), 7);
}

TEST(Editing, MultipleSelectionAndCommits) {
    Opened o(vanto::test::portal());
    o.ed.setMultiple(true);
    EXPECT_TRUE(o.panels.enabled[0]);
    // Nodes 1 and 2 (the left column) twice: selected, then not; then 1 and
    // 4 by clicks, which toggle the nodes within 65.
    const float u = o.node(1).u;
    o.drag({u - 100, -10}, {u + 100, 4010});
    EXPECT_TRUE(o.ed.picked().selected(Mode::Nodes, 2));
    EXPECT_EQ(o.marks.of("circle").size(), 2u);
    o.drag({u - 100, -10}, {u + 100, 4010});
    EXPECT_EQ(o.marks.of("circle").size(), 0u);
    o.click(o.node(1));
    o.click({o.node(4).u + 60, o.node(4).v});
    EXPECT_EQ(o.marks.of("circle").size(), 2u);

    const struct {
        NodeGroup group;
        int k;
        const char* text;
        float expected;  // in nodes 1 and 4
    } commits[] = {
        {NodeGroup::Loads, 3, "-1,5", -1.5f},
        {NodeGroup::Loads, 3, "", -1.5f},  // empty: unchanged
        {NodeGroup::Restraints, 2, "lIbRe  ", FreeMarker},
        {NodeGroup::Coordinates, 2, "abc", 0},
    };
    for (const auto& c : commits) {
        o.ed.panels().commitNode(c.group, c.k, c.text);
        const Table<float>& t = c.group == NodeGroup::Loads        ? o.ed.data().loads
                                : c.group == NodeGroup::Restraints ? o.ed.data().restraints
                                                                   : o.ed.data().coordinates;
        EXPECT_EQ(t(1, c.k), c.expected) << c.text;
        EXPECT_EQ(t(4, c.k), c.expected) << c.text;
    }
    EXPECT_EQ(o.ed.data().loads(2, 3), 0);
    // Each commit is one step, across all selected nodes.
    o.ed.undo(), o.ed.undo();
    EXPECT_EQ(o.ed.data().restraints(1, 2), 0);
    EXPECT_EQ(o.ed.data().restraints(4, 2), 0);

    // Bars: the beam selected by a box round its midpoint, highlighted over
    // the picture; its type and fixity committed.
    o.ed.setMultiple(false);
    o.ed.setMode(Mode::Bars);
    o.ed.setMultiple(true);
    o.drag({o.mid(2).u - 50, o.mid(2).v - 50}, {o.mid(2).u + 50, o.mid(2).v + 50});
    EXPECT_EQ(o.marks.of("line", Highlight).size(), 1u);
    o.ed.panels().chooseType(1);
    o.ed.panels().commitBar(EmpEX, "0.25");
    EXPECT_EQ(o.ed.data().bars(2, Type), 2);
    EXPECT_EQ(o.ed.data().bars(2, EmpEX), 0.25f);
    EXPECT_EQ(o.ed.data().bars(1, EmpEX), 1);
}

TEST(Editing, ZoomWindowByTheMouseOnTheOverlay) {
    Opened o(vanto::test::portal());
    const float esc = o.ed.screen().view().esc;
    o.ed.setZoomWindowMode(true);
    o.ed.mouseDown({PointerEvent::Kind::Press, 1000, 1000, Button::Left, Button::Left});
    o.ed.mouseMove({PointerEvent::Kind::Move, 2500, 2000, Button::None, Button::Left});
    ASSERT_EQ(o.marks.of("rectangle").size(), 1u);
    EXPECT_EQ(o.marks.of("rectangle")[0].colour, palette16(10));
    o.ed.mouseUp({PointerEvent::Kind::Release, 2500, 2000, Button::Left, Button::None});
    EXPECT_FALSE(o.ed.zoomWindowMode());
    EXPECT_TRUE(o.marks.of("rectangle").empty());
    EXPECT_EQ(o.ed.screen().depth(), 1);
    EXPECT_FLOAT_EQ(o.ed.screen().view().esc, esc * 4);  // 1500 wide of 6000
    o.ed.zoomnum(-1);
    EXPECT_EQ(o.ed.screen().view().esc, esc);
}

// A new structure opens in "Alzado xz" with metres round its node and the
// grid's dots. A right drag into empty space puts the node where it is
// released, on the grid, at the start's depth; on a node of the grid it joins
// that node; with Shift it keeps the fixed offset. The hint line says what
// the mouse does and where it is.
TEST(Editing, NodesWhereTheyAreDroppedInThePlaneViews) {
    vanto::test::Frame f;
    f.node(0, 2, 0);
    Opened o(f);
    EXPECT_EQ(o.ed.openingView(), 4);
    const view::View& v = o.ed.screen().view();
    EXPECT_NEAR(v.esc * 10, 4000, 400);  // about 10 m high
    EXPECT_GT(o.dib.of("point", view::GridColour).size(), 100u);
    const view::ScreenPoint near3 = v.at(3.2f, 0, 2.9f);
    EXPECT_NE(o.ed.hintLine(near3).find("x = 3.00  z = 3.00  m"), std::string::npos);
    EXPECT_EQ(o.ed.hintLine({}).rfind("Botón izquierdo: ver un nudo.", 0), 0u);
    o.drag(o.node(1), near3, Button::Right);
    ASSERT_EQ(o.ed.data().nodeCount, 2);
    EXPECT_EQ(test::xyz(o.ed.data().coordinates, 2), (std::array<float, 3>{3, 2, 3}));
    o.drag(o.node(1), v.at(3.1f, 0, 3.1f), Button::Right);  // bar 1–2 again: removed
    EXPECT_EQ(o.ed.data().nodeCount, 2);
    EXPECT_EQ(o.ed.data().barCount, 0);
    const view::ScreenPoint from = o.node(1), to = v.at(-3, 0, 0);
    o.ed.mouseDown({PointerEvent::Kind::Press, from.u, from.v, Button::Right, Button::Right});
    o.ed.mouseUp(
        {PointerEvent::Kind::Release, to.u, to.v, Button::Right, Button::None, Modifier::Shift});
    ASSERT_EQ(o.ed.data().nodeCount, 3);
    EXPECT_EQ(o.ed.data().coordinates(3, 1), -1);
    EXPECT_EQ(o.ed.data().coordinates(3, 2), 3);
    o.ed.Perspec(7);
    EXPECT_EQ(o.ed.hintLine(near3).find("x ="), std::string::npos);
}

// On paper everything is black; bars always, the rest as asked; marks 0.6 of
// the screen's at the page factor.
TEST(Printing, OptionsAndScale) {
    Opened o(vanto::test::portal());
    vanto::test::RecordingPrinter page(12000, 4000);
    const struct {
        PrintOptions options;
        std::size_t lines, boxes;
    } cases[] = {
        {{false, false, false, 100}, 3, 4},  // bars and node marks only
        // 36 restraint lines, 5 of the load at node 2, 9 of local axes, 3 of
        // the beam's band and 10 of its hatching
        {{true, true, true, 50}, 66, 7},
    };
    for (const auto& c : cases) {
        page.calls.clear();
        printStructure(page, o.ed, c.options);
        EXPECT_EQ(page.of("line", 0).size(), c.lines);
        EXPECT_EQ(page.of("fillBox", 0).size(), c.boxes);
        EXPECT_EQ(page.calls.size(), c.lines + c.boxes);
    }
    const auto box = page.of("fillBox")[0];
    EXPECT_NEAR(box.x2 - box.x1, 2 * 0.6 * 12 * 0.5, 1e-4);  // the height limits: f = 1
}

TEST(Drawing, NodeNumbers) {
    Opened o(vanto::test::portal());
    o.ed.numberNodes();
    const auto texts = o.dib.of("text");
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[2].text, "3");
    EXPECT_NEAR(texts[2].x1, o.node(3).u, 1e-3);  // (u − 12) + 12
    EXPECT_NEAR(texts[2].y1, o.node(3).v - 13.2, 1e-3);
    EXPECT_EQ(texts[2].colour, palette16(11));
    EXPECT_EQ(o.dib.font, (Font{"Courier New", 6, false}));
}

}  // namespace
}  // namespace vanto::editor
