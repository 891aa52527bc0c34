// vanto-cli renumber, run in-process.

#include <gtest/gtest.h>

#include <map>

#include "support/cli_harness.h"
#include "support/load_cases.h"
#include "support/structures.h"

namespace vanto::test {
namespace {

// Bars `bars` ("o,e" pairs) over n nodes, free and unloaded.
void writeStructure(const TempDir& dir, int n, const std::vector<std::string>& bars) {
    Frame f;
    for (int i = 1; i <= n; ++i)
        f.node(float(i), 0, 0);
    f.write(dir.path());
    DiscoX::writeDatos(dir.path(), n, int(bars.size()));
    std::string b;
    for (const auto& bar : bars)
        b += bar + ",1,0,0,0,0,0,1,1\r\n";
    dir.write("BARRAS.DAT", b);
}

// Runs in turn on the chain 1–4–2–3: what each prints and whether it writes.
TEST(RenumberCommand, PrintsTheStudyAndSaves) {
    const std::string better = " Se encontró una mejoría del ancho de banda en el nudo ";
    const struct {
        std::vector<std::string> args;
        std::string out, err;
        bool writes;
    } steps[] = {
        {{"--from", "1"},
         "24\nNudo: 1\nAncho Banda: 12\n" + better + "1  El nuevo ancho de banda sería 12\n",
         "",
         false},
        // From 3 of the chain 3–2–4–1 the width is 12; from 4 it is 18.
        {{"--from=9"},
         "24\nNudo: 4\nAncho Banda: 18\n" + better + "4  El nuevo ancho de banda sería 18\n",
         "La estructura tiene 4 nudos: se parte del nudo 4.\n",
         false},
        {{"--all", "--save"},
         "24\nNudo: 1\nAncho Banda: 12\n" + better +
             "1  El nuevo ancho de banda sería 12\nGrabados BARRAS.DAT, COORDENA.DAT, COACCION.DAT "
             "y CARGAS.DAT con la nueva numeración.\n",
         "",
         true},
        // Now in order: nothing better exists.
        {{"--all", "--save"},
         "12\nNudo: (ninguno)\nAncho Banda: 12\n No mejoró el ancho de banda y resulta imposible "
         "que mejore\n",
         "No se graba nada: la numeración actual es la mejor encontrada.\n",
         false},
    };
    TempDir dir;
    writeStructure(dir, 4, {"1,4", "4,2", "2,3"});
    for (auto step : steps) {
        SCOPED_TRACE(testing::PrintToString(step.args));
        const std::string before = snapshot(dir.path());
        step.args.insert(step.args.begin(), {"renumber", dir.path().string()});
        const CliRun r = runCli(step.args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out,
                  "Estructura: " + dir.path().string() + "\nAncho de banda inicial: " + step.out);
        EXPECT_EQ(r.err, step.err);
        EXPECT_EQ(snapshot(dir.path()) != before, step.writes);
    }
}

// A structure it cannot renumber: status 2, the message, nothing written.
TEST(RenumberCommand, RefusalWritesNothing) {
    TempDir dir;
    writeStructure(dir, 4, {"1,3", "2,4"});
    dir.write("INCOG.RES", "0\r\n");
    const std::string before = snapshot(dir.path());
    const CliRun r = runCli({"renumber", dir.path().string(), "--all", "--save"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "Esta estructura no se puede renumerar\n\n"
              "(no están todas las barras interconectadas entre si)\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(snapshot(dir.path()), before);
}

// A cantilever along X numbered 1, 4, 2, 5, 3 from its fixed end, with three
// load cases: renumbered, each case's and combination's results are those of
// before at the same points.
TEST(RenumberCommand, EveryLoadCaseFollowsTheNewNumbering) {
    TempDir dir;
    Frame f;
    for (float x : {0.0f, 2.0f, 4.0f, 1.0f, 3.0f})
        f.node(x, 0, 0);
    f.fix(1);
    for (auto [o, e] : {std::pair{1, 4}, {4, 2}, {2, 5}, {5, 3}})
        f.bar(o, e, 1);
    f.loads[2][2] = -1;
    f.write(dir.path());
    writeThreeCases(dir.path(), 5, 4);
    // Results by the node's abscissa.
    auto results = [&](const ResultSet& set) {
        const auto x = DiscoX::readCoordinates(dir.path(), 5);
        const auto d =
            *DiscoX::readNodeResults<double>(dir.path(), DiscoX::NodeResult::Displacements, 5, set);
        std::map<float, std::vector<double>> byX;
        for (int n = 1; n <= 5; ++n)
            byX[x(n, 1)].assign(d.begin() + 6 * (n - 1) + 1, d.begin() + 6 * n + 1);
        return byX;
    };
    using K = ResultSet::Kind;
    const std::vector<ResultSet> sets = {
        {}, {K::Case, 2}, {K::Case, 3}, {K::Combination, 1}, {K::Combination, 2}};
    ASSERT_EQ(runCli({"calc", dir.path().string()}).status, 0);
    std::vector<std::map<float, std::vector<double>>> before;
    for (const ResultSet& set : sets)
        before.push_back(results(set));
    const CliRun renumbered = runCli({"renumber", dir.path().string(), "--all", "--save"});
    EXPECT_NE(renumbered.out.find("Grabados BARRAS.DAT, COORDENA.DAT, COACCION.DAT, CARGAS.DAT y "
                                  "CARGAS.H02 a CARGAS.H03 con la nueva numeración."),
              std::string::npos)
        << renumbered.out;
    EXPECT_FALSE(fileExists(dir.path(), "INCOG.C02"));
    ASSERT_EQ(runCli({"calc", dir.path().string()}).status, 0);
    for (std::size_t i = 0; i < sets.size(); ++i)
        for (const auto& [x, d] : results(sets[i]))
            for (std::size_t k = 0; k < 6; ++k)
                EXPECT_NEAR(d[k], before[i].at(x)[k], 1e-9 * (1 + std::abs(d[k])))
                    << sets[i].code() << " x " << x << " " << k;
}

}  // namespace
}  // namespace vanto::test
