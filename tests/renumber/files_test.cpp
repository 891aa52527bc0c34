// Loading a structure directory and rewriting it with the best numbering.

#include <gtest/gtest.h>

#include <filesystem>

#include "model/files.h"
#include "renumber/renumbering.h"
#include "support/structures.h"
#include "support/tempdir.h"
#include "support/thrown.h"

namespace vanto::renumber {
namespace {

namespace fs = std::filesystem;
using test::snapshot;
using test::TempDir;

// Chain 1–4, 4–2, 2–3 with every bar field, coordinate, restraint and load
// told apart, results of an earlier calculation and a lower-case file name.
void writeChain(const TempDir& dir) {
    dir.write("DATOS.DAT", "\"Vanto 2.11\"\r\n4\r\n3\r\n");
    dir.write("BARRAS.DAT",
              "1,4,2,30,-1.5,0.25,0,10,0.5,1\r\n"
              "4,2,1,0,0,0,0,0,1,1\r\n"
              "2,3,3,0,-2,0,0,0,1,0\r\n");
    dir.write("coordena.dat",
              "1\r\n2\r\n3\r\n4\r\n10\r\n20\r\n30\r\n40\r\n100.5\r\n200.5\r\n300.5\r\n400.5\r\n");
    std::string restraints, loads;
    for (int n = 1; n <= 4; ++n)
        for (int k = 1; k <= 6; ++k) {
            restraints += n == 1 ? "0\r\n" : n == 3 && k == 3 ? "0.01\r\n" : "1234\r\n";
            loads += n == 4 && k == 3 ? "-2.5\r\n" : n == 4 && k == 6 ? "0.125\r\n" : "0\r\n";
        }
    dir.write("COACCION.DAT", restraints);
    dir.write("CARGAS.DAT", loads);
    dir.write("TIPOS.DAT", "cabecera\r\n0\r\n");
    dir.write("NOTAS.DAT", "Cadena de prueba.\r\n");
    for (const char* result : {"INCOG.RES", "DIAGRAMA.RES", "listado.txt", "Resultad.res"})
        dir.write(result, "antiguo\r\n");
    dir.write("Resul-3D.dxf", "dibujo\r\n");
}

TEST(LeeDatos, RefusesWhatItCannotRenumber) {
    const struct {
        const char* file;
        const char* bytes;  // nullptr: removed
        const char* error;  // the error's kind, file and detail
    } cases[] = {
        {"BARRAS.DAT", "1,4,1,0,0,0,0,0,1,1\r\n4,7,1,0,0,0,0,0,1,1\r\n2,3,1,0,0,0,0,0,1,1\r\n",
         "Damaged BARRAS.DAT la barra 2 une el nudo 7, que no existe (línea 2)"},
        {"COACCION.DAT", nullptr, "Missing COACCION.DAT "},
    };
    for (const auto& c : cases) {
        TempDir dir;
        writeChain(dir);
        if (c.bytes)
            dir.write(c.file, c.bytes);
        else
            fs::remove(dir / c.file);
        // A bar to a node that does not exist shows before a missing file.
        if (c.bytes && std::string(c.file) == "BARRAS.DAT") fs::remove(dir / "coordena.dat");
        const auto e = test::thrown<FileError>([&] { LeeDatos(dir.path()); });
        ASSERT_TRUE(e) << c.error;
        EXPECT_EQ(std::string(e->kind() == FileError::Kind::Missing ? "Missing " : "Damaged ") +
                      e->path().filename().string() + " " + e->detail(),
                  c.error);
    }
}

TEST(GrabaDatos, RewritesTheFourFilesInTheNewOrder) {
    TempDir dir;
    writeChain(dir);
    auto kept = [&] {
        return dir.read("DATOS.DAT") + dir.read("TIPOS.DAT") + dir.read("NOTAS.DAT");
    };
    const std::string untouched = kept();

    Renumbering r(LeeDatos(dir.path()));
    EXPECT_THROW(r.GrabaDatos(dir.path()), std::logic_error);  // nothing better yet
    EXPECT_EQ(kept(), untouched);
    // From node 3 the order is 3, 2, 4, 1 and every bar comes out reversed:
    // turned round, each keeps its fixities at their physical ends and its
    // section, so its angle changes sign (its loads along local z would too).
    r.studyFrom(3);
    ASSERT_EQ(r.BestWidth(), 12);
    ASSERT_TRUE(r.canSave());
    const auto deleted = r.GrabaDatos(dir.path());

    EXPECT_EQ(dir.read("BARRAS.DAT"),
              "3,4,2,-30,-1.5,0.25,0,10,1,0.5\r\n"
              "2,3,1,0,0,0,0,0,1,1\r\n"
              "1,2,3,0,-2,0,0,0,0,1\r\n");
    EXPECT_EQ(dir.read("COORDENA.DAT"),
              "3\r\n2\r\n4\r\n1\r\n30\r\n20\r\n40\r\n10\r\n300.5\r\n200.5\r\n400.5\r\n100.5\r\n");
    EXPECT_EQ(dir.read("COACCION.DAT"),
              "1234,1234,0.01,1234,1234,1234\r\n1234,1234,1234,1234,1234,1234\r\n"
              "1234,1234,1234,1234,1234,1234\r\n0,0,0,0,0,0\r\n");
    EXPECT_EQ(dir.read("CARGAS.DAT"),
              "0,0,0,0,0,0\r\n0,0,0,0,0,0\r\n0,0,-2.5,0,0,0.125\r\n0,0,0,0,0,0\r\n");
    EXPECT_EQ(kept(), untouched);

    // The results were numbered the old way.
    EXPECT_EQ(deleted.size(), 4u);
    for (const char* result : {"INCOG.RES", "DIAGRAMA.RES", "listado.txt", "Resultad.res"})
        EXPECT_FALSE(fs::exists(dir / result)) << result;
    EXPECT_TRUE(fs::exists(dir / "Resul-3D.dxf"));
    // Only the upper-case name of the coordinates remains.
    EXPECT_FALSE(fs::exists(dir / "coordena.dat"));

    // What was written reads back as a structure numbered the new way.
    Renumbering again(LeeDatos(dir.path()));
    EXPECT_EQ(again.InitialWidth(), 12);
    EXPECT_EQ(r.InitialWidth(), 12);
    EXPECT_EQ(r.BestStart(), 0);
    EXPECT_FALSE(r.canSave());
}

TEST(GrabaDatos, CoordinatesIn32BitsNodeValuesAsTyped) {
    TempDir dir;
    writeChain(dir);
    dir.write("coordena.dat",
              "1.23456789\r\n2\r\n3\r\n4\r\n10\r\n20\r\n30\r\n40\r\n1\r\n2\r\n3\r\n4\r\n");
    std::string loads = "0\r\n0\r\n-2.000000001\r\n";
    for (int i = 3; i < 24; ++i)
        loads += "0\r\n";
    dir.write("CARGAS.DAT", loads);
    Renumbering r(LeeDatos(dir.path()));
    r.studyFrom(1);
    r.GrabaDatos(dir.path());
    // Node 1 keeps its number from start 1.
    EXPECT_TRUE(dir.read("COORDENA.DAT").starts_with("1.2345679\r\n"));
    EXPECT_TRUE(dir.read("CARGAS.DAT").starts_with("0,0,-2.000000001,0,0,0\r\n"));
}

TEST(GrabaDatos, UntouchedNodesAreKept) {
    // Six nodes, bars 1–5 and 5–2: nodes 3, 4 and 6 touch no bar.
    TempDir dir;
    test::Frame f;
    for (int n = 1; n <= 6; ++n)
        f.loads[std::size_t(f.node(10 * n + 1, 10 * n + 2, 10 * n + 3) - 1)][2] = -float(n);
    f.bar(1, 5, 1);
    f.bar(5, 2, 1);
    f.write(dir.path());

    Renumbering r(LeeDatos(dir.path()));
    EXPECT_EQ(r.InitialWidth(), 30);
    r.studyAll();
    r.GrabaDatos(dir.path());

    // New order 1, 5, 2, then 3, 4, 6 as they were.
    EXPECT_EQ(dir.read("BARRAS.DAT"), "1,2,1,0,0,0,0,0,1,1\r\n2,3,1,0,0,0,0,0,1,1\r\n");
    EXPECT_EQ(dir.read("COORDENA.DAT"),
              "11\r\n51\r\n21\r\n31\r\n41\r\n61\r\n"
              "12\r\n52\r\n22\r\n32\r\n42\r\n62\r\n"
              "13\r\n53\r\n23\r\n33\r\n43\r\n63\r\n");
    EXPECT_EQ(dir.read("CARGAS.DAT"),
              "0,0,-1,0,0,0\r\n0,0,-5,0,0,0\r\n0,0,-2,0,0,0\r\n"
              "0,0,-3,0,0,0\r\n0,0,-4,0,0,0\r\n0,0,-6,0,0,0\r\n");
}

TEST(GrabaDatos, AFailedWriteLeavesEveryFileAsItWas) {
    TempDir dir;
    writeChain(dir);
    Renumbering r(LeeDatos(dir.path()));
    r.studyFrom(1);
    // A directory where COACCION.DAT's new text would be put aside.
    fs::create_directories(dir / ".COACCION.DAT.renumera" / "lleno");
    const std::string before = snapshot(dir.path());
    const auto e = test::thrown<FileError>([&] { r.GrabaDatos(dir.path()); });
    ASSERT_TRUE(e) << "the save reported success";
    EXPECT_EQ(e->kind(), FileError::Kind::WriteFailed);
    EXPECT_EQ(snapshot(dir.path()), before);
    EXPECT_TRUE(r.canSave());  // still there to try again
}

}  // namespace
}  // namespace vanto::renumber
