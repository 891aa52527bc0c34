// Imports of the plane-frame files of other programs.

#include "exchange/frames.h"

#include <gtest/gtest.h>

#include <functional>

#include "exchange/dxf_export.h"
#include "exchange/dxf_import.h"
#include "exchange_support.h"

namespace vanto::exchange {
namespace {

using test::crlf;
using test::TempDir;

// A SingleCaseFrameFile written from the description of the format, with
// records sharing and spanning lines. Bar 3 has type 0 and is the only bar of
// node 4; type 3 is of another kind and keeps the geometry of type 2.
const std::string singleCase =
    "Portico de prueba\r\n"
    "4 3 3\r\n"
    "SECCIONES: clase E s A I\r\n"
    "1, 2100000, 30, 600, 0\r\n"
    "3 250000 0 100 800\r\n"
    "7 300000 99 99 99\r\n"
    "BARRAS\r\n"
    "1 2 1  3 2 2\r\n"
    "3\r\n4\r\n0\r\n"
    "NUDOS\r\n"
    "0 0\r\n0 3\r\n4 3\r\n8 3\r\n"
    "COACCIONES\r\n"
    "0 0 0\r\n1234 1234 1234\r\n0 0.01 1234\r\n0 0 0\r\n"
    "CARGAS\r\n"
    "0 0 0\r\n1 -2 0.5\r\n0 0 0\r\n5 5 5\r\n"
    "CARGAS EN BARRAS\r\n"
    "0 0 0 0 0 0 0\r\n-1.5 0 0 0 0 0 0\r\n2 0 0 0 0 0 0\r\n";

const std::string fourCase =
    "Nave de prueba\r\n"
    "  segunda linea del titulo  \r\n"
    "1 3 2\r\n"
    "SECCIONES\r\n"
    "2 1000000 20 314.16 7854\r\n"
    "NUDOS\r\n"
    "0 0\r\n5 0\r\n5 4\r\n"
    "BARRAS\r\n"
    "3 2 1 0 1 9\r\n"
    "1,2,1,1,0.5,9\r\n"
    "COACCIONES\r\n"
    "0 0 0\r\n1234 1234 1234\r\n1234 1234 1234\r\n"
    "CARGAS (cuatro hipotesis)\r\n"
    "0 0 0  0 0 0  0 0 0  0 0 0\r\n"
    "1 2 3\r\n1 0 0\r\n0 1 0\r\n0 0 -1\r\n"
    "0 0 0 0 0 0 0 0 0 0 0 0\r\n"
    "CARGAS EN BARRAS\r\n"
    "1 0 0 0 0 0 0 0\r\n2 0 0 0 0 0 0 0\r\n0.5 0 0 0 0 0 0 0\r\n-0.5 0 0 0 0 0 0 0\r\n"
    "0 0 0 0 0 0 0 0\r\n0 0 0 0 0 0 0 0\r\n0 0 0 0 0 0 0 0\r\n0 0 0 0 0 0 0 0\r\n";

TEST(SingleCaseFrame, ConvertsTheFrameIntoTheYZPlane) {
    TempDir dir;
    dir.write("PORTICO.DAT", singleCase);
    const Summary s = wmin(dir.path(), dir / "PORTICO.DAT");
    EXPECT_EQ(std::tuple(s.outcome, s.nodeCount, s.barCount), std::tuple(Outcome::Written, 3, 2));

    EXPECT_EQ(dir.read("DATOS.DAT"), crlf({"\"Vanto 2.11\"", "3", "2"}));
    EXPECT_EQ(dir.read("COORDENA.DAT"), crlf({"0", "0", "0", "0", "0", "4", "0", "3", "3"}));
    // Bar 2 ran from node 3 to node 2; the type-0 bar is gone.
    EXPECT_EQ(dir.read("BARRAS.DAT"), crlf({"1,2,1,0,0,0,0,0,1,1", "2,3,2,0,-1.5,0,0,0,1,1"}));
    EXPECT_EQ(dir.read("CARGAS.DAT"), crlf({"0", "0", "0", "0", "0", "0",     //
                                            "0", "1", "-2", "0.5", "0", "0",  //
                                            "0", "0", "0", "0", "0", "0"}));
    // r1 as written, r2 and r3 negated unless free; X fixed, rotations Y, Z free.
    EXPECT_EQ(dir.read("COACCION.DAT"), crlf({"0", "0", "0", "0", "1234", "1234",           //
                                              "0", "1234", "1234", "1234", "1234", "1234",  //
                                              "0", "0", "-0.01", "1234", "1234", "1234"}));
    EXPECT_EQ(dir.read("NOTAS.DAT"), "Portico de prueba\r\n");
    EXPECT_TRUE(std::filesystem::exists(dir / "PORTICO.DAT"));  // the user's file stays
}

TEST(SingleCaseFrame, SectionsBecomeBarTypes) {
    TempDir dir;
    dir.write("p.dat", singleCase);
    wmin(dir.path(), dir / "p.dat");
    const auto t = DiscoX::readTypes<float>(dir.path());
    ASSERT_EQ(t.count, 3);
    // Rectangle A = 600, s = 30: b = 20, InerZ = 30·20³/12, InerY = 20·30³/12,
    // MTors = β(1.5)·20³·30 with the steel β = 0.196. General section: concrete
    // below 1 000 000 kg/cm². Another kind keeps the section before it, with its
    // own material.
    const struct {
        int type, field;
        float value;
    } values[] = {{1, A, 600},         {1, InerZ, 20000},   {1, InerY, 45000}, {1, MTors, 47040},
                  {1, MY, 2100000},    {1, Mu, 0},          {1, TL, 2600},     {1, PE, 7850},
                  {1, CdTerm, 0.012f}, {2, InerZ, 800},     {2, InerY, 800},   {2, TL, 250},
                  {2, PE, 2500},       {2, CdTerm, 0.011f}, {3, A, 100},       {3, InerZ, 800},
                  {3, MY, 300000}};
    for (const auto& v : values)
        EXPECT_EQ(t.values(v.type, v.field), v.value) << v.type << ' ' << v.field;
    // The torsion of the circle of the same area, π·d⁴/32 with d² = 4A/π: 5000/π.
    EXPECT_NEAR(t.values(2, MTors), 5000 / 3.14159265358979, 0.05);
    EXPECT_EQ(t.values(3, MTors), t.values(2, MTors));
    EXPECT_EQ(std::vector(t.names.begin() + 1, t.names.end()),
              (std::vector<std::string>{"A-42......30x20", "H-250........Wm", "H-250........Wm"}));
    // A shape of 15 characters or more is the whole name.
    std::string longShape = singleCase;
    longShape.replace(longShape.find("30, 600"), 7, "30.123456, 606.18762");
    dir.write("p.dat", longShape);
    wmin(dir.path(), dir / "p.dat");
    const std::string name = DiscoX::readTypes<float>(dir.path()).names[1];
    EXPECT_TRUE(name.starts_with("30.12346x20.12")) << name;
}

TEST(FourCaseFrame, SumsTheLoadCasesAndNegatesTheBarLoad) {
    TempDir dir;
    dir.write("nave.dat", fourCase);
    kvin(dir.path(), dir / "nave.dat");
    // The title becomes the description of a structure without one...
    EXPECT_EQ(dir.read("NOTAS.DAT"), "Nave de prueba\r\nsegunda linea del titulo\r\n");
    dir.write("NOTAS.DAT", "Descripción propia.\r\n");
    const Summary s = kvin(dir.path(), dir / "nave.dat");
    EXPECT_EQ(s.nodeCount, 3);
    EXPECT_EQ(dir.read("COORDENA.DAT"), crlf({"0", "0", "0", "0", "5", "5", "0", "0", "4"}));
    // Bar 1 ran 3 → 2 with fixities 0 (at 3) and 1 (at 2): each stays with its node.
    EXPECT_EQ(dir.read("BARRAS.DAT"), crlf({"2,3,1,0,-3,0,0,0,1,0", "1,2,1,0,0,0,0,0,1,0.5"}));
    const auto w = test::readStructure(dir.path());
    for (auto [node, k, load, restraint] :
         {std::array{2, 2, 2, 1234}, {2, 3, 3, 1234}, {2, 4, 2, 1234}, {1, 2, 0, 0}, {1, 3, 0, 0}})
        EXPECT_EQ(std::pair(w.loads(node, k), w.restraints(node, k)),
                  std::pair(float(load), float(restraint)))
            << node << ' ' << k;
    // ...but never replaces the user's.
    EXPECT_EQ(dir.read("NOTAS.DAT"), "Descripción propia.\r\n");

    const auto t = DiscoX::readTypes<float>(dir.path());
    ASSERT_EQ(t.count, 1);
    // E of exactly 1 000 000 is steel; a circle of diameter 20: π·20⁴/32.
    for (auto [field, value] :
         {std::pair{TL, 2600.0f}, {PE, 7850.0f}, {InerZ, 7854.0f}, {MTors, 15708.0f}})
        EXPECT_EQ(t.values(1, field), value) << field;
    EXPECT_EQ(t.names[1], "A-42........d20");
}

// Every import stages the new files and only then replaces the old ones.
TEST(Replacement, ImportsReplaceDataAndResultsButKeepTheDescriptionAndOtherFiles) {
    const std::string dxf =
        "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\n0\n 11\n1\n"
        "  0\nENDSEC\n  0\nEOF\n";
    using Path = const std::filesystem::path&;
    const struct {
        const char* file;  // sorted before listado.txt
        std::string text;
        std::function<Summary(Path, Path)> import;
        int types, nodes;
    } cases[] = {
        {"dibujo.DXF", dxf,
         [](Path dir, Path file) {
             test::RecordingMessages m;
             return dxfin(dir, file, m);
         },
         33, 2},
        {"importado.dat", singleCase, [](Path dir, Path file) { return wmin(dir, file); }, 3, 3},
    };
    for (const auto& c : cases) {
        TempDir dir;
        test::writeChain(dir.path(), 5);
        dir.write("TIPOS.DAT", "cabecera\r\n0\r\n");
        dir.write("NOTAS.DAT", "Nave industrial.\r\n");
        for (const char* old : {"INCOG.RES", "Resultad.res", "otro.dat"})
            dir.write(old, "1\r\n");
        dir.write("listado.txt", "listado\r\n");
        dir.write("datos.dat", "\"Vanto 2.11\"\r\n5\r\n4\r\n");  // a second spelling
        dir.write(c.file, c.text);
        c.import(dir.path(), dir / c.file);
        EXPECT_EQ(test::fileNames(dir.path()),
                  (std::vector<std::string>{"BARRAS.DAT", "CARGAS.DAT", "COACCION.DAT",
                                            "COORDENA.DAT", "DATOS.DAT", "NOTAS.DAT", "TIPOS.DAT",
                                            c.file, "listado.txt"}))
            << c.file;
        EXPECT_EQ(dir.read("NOTAS.DAT"), "Nave industrial.\r\n");
        EXPECT_EQ(DiscoX::readTypes<float>(dir.path()).count, c.types);  // regenerated
        EXPECT_EQ(test::readStructure(dir.path()).nodeCount, c.nodes);
    }
}

// A stop asked for midway leaves the structure and its files as they were
// (the DXF import and the lattice are stopped from their windows' tests).
TEST(Replacement, StoppingLeavesTheStructureAsItWas) {
    const std::pair<int, std::function<Outcome(const TempDir&, Progress*)>> runs[] = {
        {2,
         [](const TempDir& d, Progress* p) { return wmin(d.path(), d / "marco.dat", p).outcome; }},
        {1, [](const TempDir& d, Progress* p) { return dxfout(d.path(), d / "x", false, p); }},
    };
    for (const auto& [after, run] : runs) {
        TempDir dir;
        test::writeChain(dir.path(), 3);
        dir.write("marco.dat", singleCase);
        const std::string before = test::snapshot(dir.path());
        test::RecordingProgress stop(after);
        EXPECT_EQ(run(dir, &stop), Outcome::Stopped);
        EXPECT_EQ(test::snapshot(dir.path()), before);
    }
}

// Replaces the first occurrence of `from` in the sample.
std::string edited(const std::string& text, const std::string& from, const std::string& to) {
    std::string s = text;
    const auto at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return s.replace(at, from.size(), to);
}

TEST(FrameImport, BrokenFilesLeaveTheStructureAsItWas) {
    struct Case {
        const char* why;
        std::string text;
        const char* says;
        bool fourCase = false;
    };
    const Case cases[] = {
        {"ends early", singleCase.substr(0, singleCase.size() - 20), "termina antes de tiempo"},
        {"negative count", edited(singleCase, "4 3 3", "-1 3 3"), "línea 2: número de nudos"},
        {"fractional count", edited(singleCase, "4 3 3", "4 2.5 3"), "línea 2: número de barras"},
        {"absurd count", edited(singleCase, "4 3 3", "4 3 99999999"), "línea 2: número de tipos"},
        {"count the file cannot hold", edited(singleCase, "4 3 3", "16000000 3 3"),
         "línea 2: los números de nudos, barras y tipos (16000000, 3, 3) no caben"},
        {"count that is a name", edited(singleCase, "4 3 3", "cuatro 3 3"), "línea 2"},
        {"name for a coordinate", edited(singleCase, "0 3\r\n4 3", "0 tres\r\n4 3"),
         "línea 14: se esperaba un número (y del nudo 2) y hay «tres»"},
        {"node outside the frame", edited(singleCase, "1 2 1  3", "1 9 1  3"),
         "línea 8: nudo final de la barra 1 no válido: 9"},
        {"node 0", edited(singleCase, "1 2 1  3", "0 2 1  3"), "nudo origen de la barra 1"},
        {"unknown type", edited(singleCase, "1 2 1  3", "1 2 4  3"), "tipo de la barra 1"},
        {"bar joining a node to itself", edited(singleCase, "1 2 1  3", "2 2 1  3"),
         "consigo mismo"},
        {"number beyond 32 bits", edited(singleCase, "1 -2 0.5", "1 -2 1e39"), "fuera de rango"},
        {"rectangle without a side", edited(singleCase, "1, 2100000, 30,", "1, 2100000, 0,"),
         "el tipo 1 no describe una sección válida"},
        {"short bar-load record", singleCase.substr(0, singleCase.rfind("2 0 0")) + "2 0 0\r\n",
         "falta valor 4 de la carga de la barra 3"},
        // The last bar lacks its fourth bar-load record.
        {"four-case file cut short", fourCase.substr(0, fourCase.size() - 18), "", true},
    };
    for (const Case& c : cases) {
        TempDir dir;
        test::writeChain(dir.path(), 3);
        dir.write("INCOG.RES", "0\r\n");
        dir.write("NOTAS.DAT", "n\r\n");
        dir.write("marco.dat", c.text);
        const std::string before = test::snapshot(dir.path());
        const auto e = test::thrown<ExchangeError>(
            [&] { (c.fourCase ? kvin : wmin)(dir.path(), dir / "marco.dat", nullptr); });
        ASSERT_TRUE(e) << c.why;
        const std::string what = e->what();
        EXPECT_NE(what.find(c.says), std::string::npos) << c.why << ": " << what;
        EXPECT_EQ(what.rfind("marco.dat", 0), 0u) << what;
        EXPECT_EQ(test::snapshot(dir.path()), before) << c.why;
    }
}

TEST(FrameImport, AFileOfTheStructureItselfIsNotImportedOverItself) {
    TempDir dir;
    dir.write("BARRAS.DAT", singleCase);
    const std::string before = test::snapshot(dir.path());
    const auto e = test::thrown<ExchangeError>([&] { wmin(dir.path(), dir / "BARRAS.DAT"); });
    ASSERT_TRUE(e);
    EXPECT_NE(std::string(e->what()).find("propia estructura"), std::string::npos);
    EXPECT_EQ(test::snapshot(dir.path()), before);
}

}  // namespace
}  // namespace vanto::exchange
