// The panels' texts and typing rules, the history behind them, and saving.

#include "editor/panels.h"

#include <gtest/gtest.h>

#include <cmath>

#include "diagrams/calculated.h"
#include "editor/save.h"
#include "editor_support.h"
#include "model/files.h"
#include "support/load_cases.h"

namespace vanto::editor {
namespace {

using test::Opened;

TEST(Panels, TextsWithTheirPatternsInTheLocalesSeparator) {
    vanto::test::Frame f = vanto::test::portal();
    f.bars[1][3] = 12.5f;  // the beam's angle
    Opened o(f);
    const PanelRules& p = o.ed.panels();
    const char separator = decimalSeparator();
    setDecimalSeparator(',');
    const struct {
        std::string shown, expected;
    } cases[] = {
        {p.nodeText(2, NodeGroup::Coordinates, 3), "4,000"},
        {p.nodeText(2, NodeGroup::Loads, 1), "2,000"},
        {p.nodeText(2, NodeGroup::Restraints, 4), "Libre"},
        {p.nodeText(1, NodeGroup::Restraints, 4), "0,000"},
        {p.nodeText(9, NodeGroup::Loads, 1), ""},
        {p.barText(2, Origin), "2"},
        {p.barText(2, Angle), "12,500000"},
        {p.barText(2, VerticalLoad), "-3,000"},
        {p.barText(2, EmpEX), "1,000"},
        {p.barText(4, Origin), ""},
        {p.typeText(2, MY), "2100000"},
        {p.typeText(3, MY), ""},
    };
    setDecimalSeparator(separator);
    for (const auto& c : cases)
        EXPECT_EQ(c.shown, c.expected);
}

TEST(TypingRules, NamesNumbersAndRestraints) {
    int cursor = 4;
    EXPECT_EQ(typeNameAsTyped("IPE 200 doble", cursor), "IPE·200·doble");
    EXPECT_EQ(cursor, 4);
    cursor = 20;
    EXPECT_EQ(typeNameAsTyped("ABCDEFGHIJKLMNOPQRST", cursor), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(cursor, 15);
    const struct {
        const char* text;
        std::optional<double> value;
    } numbers[] = {{" -1,5 ", -1.5}, {"2.5e1", 25}, {".5", 0.5}, {"abc", {}},
                   {"1.5x", {}},     {"-", {}},     {"1e", {}},  {"1,2,3", {}}};
    for (const auto& c : numbers)
        EXPECT_EQ(typedNumber(c.text), c.value) << c.text;
    EXPECT_EQ(toggledRestraint("libre"), "0");
    EXPECT_EQ(toggledRestraint("0.000"), "Libre");
}

// A text that is no number, a fixity outside 0..1 or a node that is no whole
// number is refused with the field's name and changes nothing; a node that
// does not exist is taken and shown as missing.
TEST(TypingRules, RefusalsNameTheField) {
    Opened o(vanto::test::portal());
    o.ed.BuscaBarra(o.mid(2).u, o.mid(2).v);
    ASSERT_EQ(o.ed.currentBar(), 2);
    PanelRules& p = o.ed.panels();
    EXPECT_EQ(p.commitBar(EmpOR, "2"),
              "El valor de «Empotr.Origen» debe estar entre 0 (articulado) y 1 (empotrado): "
              "«2» no lo está.");
    EXPECT_EQ(p.commitBar(VerticalLoad, "abc"),
              "El valor de «Carga V.(t/m)» no es un número: «abc».\nEscriba un número, con "
              "coma o punto decimal.");
    EXPECT_EQ(p.commitBar(End, "2.5"),
              "El valor de «Nudo final» debe ser un número de nudo: «2.5» no lo es.");
    o.ed.BuscaPunto(o.node(2).u, o.node(2).v);
    EXPECT_NE(p.commitNode(NodeGroup::Loads, 2, "1..5").find("«Carga Y»"), std::string::npos);
    EXPECT_FALSE(o.ed.changed());
    EXPECT_EQ(p.commitBar(EmpOR, "0,5"), "");
    EXPECT_EQ(p.missingNode(2, End), "");
    EXPECT_EQ(p.commitBar(End, "9"), "");
    EXPECT_EQ(p.missingNode(2, End), "No existe el nudo 9");
}

TEST(Saving, DropsIsolatedNodesAndSelfBarsRenumbersAndUndoesBackToTheFiles) {
    vanto::test::Frame f;
    for (int i = 0; i < 7; ++i)
        f.node(float(i), float(i) + 0.5f, -float(i));
    f.bar(1, 2, 1), f.bar(6, 4, 2), f.bar(4, 4, 1), f.bar(7, 3, 1);  // node 5 isolated
    vanto::test::TempDir dir;
    f.write(dir.path());
    dir.write("INCOG.RES", "old\r\n");
    Opened o(loadStructure<float>(dir.path(), part::All));
    const Structure saved = saveStructure(dir.path(), o.ed.data());
    EXPECT_EQ(saved.nodeCount, 6);  // node 6 is now 5, node 7 now 6
    EXPECT_EQ(dir.read("BARRAS.DAT"),
              "1,2,1,0,0,0,0,0,1,1\r\n4,5,2,0,0,0,0,0,1,1\r\n3,6,1,0,0,0,0,0,1,1\r\n");
    EXPECT_EQ(dir.read("DATOS.DAT"), "\"Vanto 2.11\"\r\n6\r\n3\r\n");
    // Old node 6, each coordinate on its own axis.
    EXPECT_EQ(test::xyz(DiscoX::readCoordinates(dir.path(), 6), 5), (std::array{5.f, 5.5f, -5.f}));
    EXPECT_FALSE(std::filesystem::exists(dir / "INCOG.RES"));
    const std::string files = vanto::test::snapshot(dir.path());

    // A bar naming a node that does not exist is refused; nothing is written.
    Opened again(loadStructure<float>(dir.path(), part::All));
    again.ed.BuscaBarra(again.mid(1).u, again.mid(1).v);
    again.ed.panels().commitBar(End, "99");
    EXPECT_THROW(saveStructure(dir.path(), again.ed.data()), SaveError);
    EXPECT_EQ(vanto::test::snapshot(dir.path()), files);
}

// Three load cases and two combinations. A brace removed in the editor and an
// isolated node dropped on saving renumber the bars and nodes; every case's
// and combination's results are then those of the frame without them, node
// for node and bar for bar; undoing the removal brings the brace's loads back.
TEST(Saving, LoadCasesFollowTheRenumbering) {
    auto frame = [](bool brace) {
        vanto::test::Frame f;
        const int a = f.node(0, 0, 0), b = f.node(0, 0, 4), spare = f.node(9, 9, 9);
        const int c = f.node(6, 0, 4), d = f.node(6, 0, 0);
        f.fix(a), f.fix(d), f.fix(spare);
        if (brace) f.bar(a, c, 1);
        f.bar(a, b, 2), f.bar(b, c, 1, -3), f.bar(c, d, 2);
        return f;
    };
    vanto::test::TempDir ref, dir;
    frame(false).write(ref.path());
    vanto::test::writeThreeCases(ref.path(), 5, 3);
    frame(true).write(dir.path());
    vanto::test::writeThreeCases(dir.path(), 5, 4);
    Opened o(openForEditing(dir.path()));
    Editor& ed = o.ed;
    ed.PonQuitaBarra(1, 4);
    ed.PonQuitaBarra(1, 4);  // back as bar 4, without its case loads
    EXPECT_EQ(ed.data().cases.loadCase(2).barLoads(4, 3), 0);
    ed.undo();
    EXPECT_EQ(ed.data().cases.loadCase(2).barLoads(4, 3), 0);
    ed.undo();
    EXPECT_EQ(ed.data().cases.loadCase(2).barLoads(1, 3), -0.5f);
    ed.redo();
    saveStructure(dir.path(), ed.data());

    diagrams::calculate(ref.path());
    diagrams::calculate(dir.path());
    const int newNode[] = {0, 1, 2, 0, 3, 4};
    // Another numbering solves in another order: equal to rounding.
    auto close = [](double v) { return 1e-12 + 1e-6 * std::abs(v); };
    for (const ResultSet set :
         {ResultSet{ResultSet::Kind::Case, 2}, ResultSet{ResultSet::Kind::Case, 3},
          ResultSet{ResultSet::Kind::Combination, 2}}) {
        const auto before = DiscoX::readDisplacements<double>(ref.path(), 5, set);
        const auto after = DiscoX::readDisplacements<double>(dir.path(), 4, set);
        ASSERT_TRUE(before && after);
        for (int n : {1, 2, 4, 5})
            for (int k = 1; k <= 6; ++k)
                EXPECT_NEAR((*after)(newNode[n], k), (*before)(n, k), close((*before)(n, k)))
                    << set.code() << " " << n;
        const auto forcesBefore = DiscoX::readEndForces(ref.path(), 3, set);
        const auto forcesAfter = DiscoX::readEndForces(dir.path(), 3, set);
        for (int b = 1; b <= 3; ++b)
            for (int k = 1; k <= 12; ++k)
                EXPECT_NEAR((*forcesAfter)(b, k), (*forcesBefore)(b, k),
                            close((*forcesBefore)(b, k)))
                    << set.code() << " " << b;
    }
    EXPECT_NE((*DiscoX::readDisplacements<double>(dir.path(), 4, {ResultSet::Kind::Case, 2}))(2, 1),
              0);
}

// The panels show and change the loads of the chosen case; adding, renaming
// and removing a case and editing the combinations are one step each.
TEST(LoadCases, PanelsEditTheChosenCase) {
    Opened o(vanto::test::portal());
    PanelRules& p = o.ed.panels();
    EXPECT_EQ(p.addCase("Viento\r\nX"), 2);
    p.setLoadCase(2);
    o.ed.BuscaPunto(o.node(2).u, o.node(2).v);
    EXPECT_EQ(p.nodeText(2, NodeGroup::Loads, 1), "0.000");  // case 1 has 2 there
    p.commitNode(NodeGroup::Loads, 1, "1.5");
    o.ed.BuscaBarra(o.mid(2).u, o.mid(2).v);
    p.commitBar(TemperatureChange, "20");
    const LoadCase<float>& wind = o.ed.data().cases.loadCase(2);
    EXPECT_EQ(wind.name, "Viento  X");
    EXPECT_EQ(wind.nodeLoads(2, 1), 1.5f);
    EXPECT_EQ(wind.barLoads(2, 4), 20);
    EXPECT_EQ(o.ed.data().loads(2, 1), 2);
    p.renameCase(1, "Peso");
    Combination c{"ELU", {1.35, 1.5}};
    p.setCombinations({c});
    p.removeCase(2);
    EXPECT_EQ(p.loadCase(), 1);
    EXPECT_EQ(o.ed.data().cases.combinations[0].factors, std::vector<double>{1.35});
    o.ed.undo();
    EXPECT_EQ(o.ed.data().cases.combinations[0].factors, (std::vector<double>{1.35, 1.5}));
    EXPECT_EQ(o.ed.data().cases.loadCase(2).barLoads(2, 4), 20);
    for (int step = 5; step >= 1; --step)
        EXPECT_TRUE(o.ed.undo()) << step;
    EXPECT_EQ(o.ed.data().cases.count(), 1);
    EXPECT_FALSE(o.ed.undo());
}

// Edits of every kind, each followed by a redraw, a zoom or a view change:
// undone to the start they save the original bytes, redone the edited ones.
TEST(Undo, RoundTripThroughRedrawsZoomsAndViews) {
    Opened o(vanto::test::portal());  // bar 3 is stored 4–3
    auto saved = [&] {
        vanto::test::TempDir dir;
        saveStructure(dir.path(), o.ed.data());
        return vanto::test::snapshot(dir.path());
    };
    const std::string original = saved();
    PanelRules& p = o.ed.panels();
    auto pickBar = [&](int b) { o.ed.BuscaBarra(o.mid(b).u, o.mid(b).v), o.ed.Redibuja(); };
    o.ed.PonQuitaBarra(1, 3);
    o.ed.PonQuitaBarra(2, 0);
    o.ed.zoomnum(0);
    o.ed.PonQuitaBarra(1, 2);
    o.ed.Perspec(4);
    pickBar(2);
    ASSERT_EQ(o.ed.currentBar(), 2);
    p.commitBar(Origin, "5");
    o.ed.Redibuja();
    p.commitBar(EmpEX, "0.5");
    p.chooseType(0);
    o.ed.Perspec(1);
    o.ed.BuscaPunto(o.node(3).u, o.node(3).v);
    ASSERT_EQ(o.ed.currentNode(), 3);
    p.commitNode(NodeGroup::Coordinates, 1, "7");
    o.ed.zoomnum(0);
    p.commitNode(NodeGroup::Loads, 3, "-2");
    p.commitNode(NodeGroup::Restraints, 2, "0");
    p.commitTypeName(2, "HEB·300");
    p.commitType(2, A, "54");
    p.setMaterial(2, false);
    const float concrete[] = {292402, 0.2f, 250, 2500, 0.011f};
    for (int k = MY; k <= CdTerm; ++k)
        EXPECT_EQ(o.ed.data().types.values(2, k), concrete[k - MY]) << k;
    p.commitType(1, InerY, "");  // an empty value is 0
    o.ed.Perspec(7);
    const std::string edited = saved();
    EXPECT_NE(edited, original);
    int steps = 0;
    while (o.ed.undo())
        ++steps, o.ed.Redibuja();
    EXPECT_EQ(steps, 13);  // "Hormigón" is one
    EXPECT_EQ(saved(), original);
    while (o.ed.redo())
        o.ed.zoomnum(0);
    EXPECT_EQ(saved(), edited);
}

// Saving without an edit keeps the results. A save stopped at any step, the
// files it writes and each step of the change, leaves the old files or the
// new ones once the structure is read again.
TEST(Saving, KeepsResultsWithoutEditsAndStopsCleanlyAtEveryStep) {
    namespace fs = std::filesystem;
    vanto::test::TempDir dir;
    vanto::test::portal().write(dir.path());
    Opened o(vanto::test::portal());
    saveStructure(dir.path(), o.ed.data());
    dir.write("INCOG.RES", "old\r\n");
    saveStructure(dir.path(), o.ed.data());
    ASSERT_TRUE(fs::exists(dir / "INCOG.RES"));
    const std::string before = vanto::test::snapshot(dir.path());

    o.ed.PonQuitaBarra(1, 3);
    struct Stop {};
    int steps = 0;
    auto attempt = [&](int stopAt) {
        vanto::test::TempDir trial;
        fs::copy(dir.path(), trial.path(), fs::copy_options::recursive);
        int step = 0;
        try {
            saveStructure(trial.path(), o.ed.data(), [&] {
                if (++step == stopAt) throw Stop{};
            });
        } catch (const Stop&) {
        }
        steps = std::max(steps, step);
        StructureCounts counts;
        DiscoX::readDatos(trial.path(), counts);
        return vanto::test::snapshot(trial.path());
    };
    const std::string after = attempt(0);
    EXPECT_EQ(after.find("INCOG.RES"), std::string::npos);
    ASSERT_GT(steps, 8);
    bool committed = false;
    for (int k = 1; k <= steps; ++k) {
        const std::string files = attempt(k);
        committed = committed || files == after;
        EXPECT_EQ(files, committed ? after : before) << "stopped at step " << k;
    }
    EXPECT_TRUE(committed);
}

// A new structure directory: one node to start from and the default types;
// a portal built by drags and typed coordinates is saved as four nodes.
TEST(Saving, APortalFromNothing) {
    vanto::test::TempDir dir;
    Opened o(openForEditing(dir.path()));
    Editor& ed = o.ed;
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_EQ(ed.data().nodeCount, 1);
    EXPECT_GT(ed.data().types.count, 1);
    ed.PonQuitaBarra(1, 0);  // node 2
    ed.PonQuitaBarra(2, 0);  // node 3
    ed.PonQuitaBarra(3, 0);  // node 4
    const float xz[4][2] = {{0, 0}, {0, 4}, {6, 4}, {6, 0}};
    for (int n = 1; n <= 4; ++n) {
        ed.BuscaPunto(-5000, -5000);
        ed.BuscaPunto(ed.screen().node(n).u, ed.screen().node(n).v);
        ASSERT_EQ(ed.currentNode(), n);
        ed.panels().commitNode(NodeGroup::Coordinates, 1, std::to_string(xz[n - 1][0]));
        ed.panels().commitNode(NodeGroup::Coordinates, 2, "0");
        ed.panels().commitNode(NodeGroup::Coordinates, 3, std::to_string(xz[n - 1][1]));
        if (n == 1 || n == 4)
            for (int k = 1; k <= 6; ++k)
                ed.panels().commitNode(NodeGroup::Restraints, k, "0");
    }
    saveStructure(dir.path(), ed.data());
    const Structure back = loadStructure<float>(dir.path(), part::All);
    EXPECT_EQ(back.nodeCount, 4);
    EXPECT_EQ(back.barCount, 3);
    EXPECT_EQ(back.coordinates(3, 1), 6);
    EXPECT_EQ(back.restraints(4, 6), 0);
    EXPECT_EQ(back.types.count, ed.data().types.count);
}

}  // namespace
}  // namespace vanto::editor
