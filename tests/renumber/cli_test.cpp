// vanto-cli renumber, run through its function.

#include <gtest/gtest.h>

#include "app/cli/commands.h"
#include "support/tempdir.h"

namespace vanto::cli {
namespace {

using test::snapshot;
using test::TempDir;

struct CliRun {
    int status;
    std::string out, err;
};

CliRun renumber(const Args& args) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int status = runRenumber(args);
    return {status, testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr()};
}

// Bars `bars` ("o,e" pairs) over n nodes, free and unloaded.
void writeStructure(const TempDir& dir, int n, const std::vector<std::string>& bars) {
    dir.write("DATOS.DAT", "\"Vanto 2.11\"\r\n" + std::to_string(n) + "\r\n" +
                               std::to_string(bars.size()) + "\r\n");
    std::string b, xyz, restraints, loads;
    for (const auto& bar : bars)
        b += bar + ",1,0,0,0,0,0,1,1\r\n";
    for (int i = 1; i <= 3 * n; ++i)
        xyz += std::to_string(i) + "\r\n";
    for (int i = 1; i <= 6 * n; ++i) {
        restraints += "1234\r\n";
        loads += "0\r\n";
    }
    dir.write("BARRAS.DAT", b);
    dir.write("COORDENA.DAT", xyz);
    dir.write("COACCION.DAT", restraints);
    dir.write("CARGAS.DAT", loads);
}

TEST(RenumberCommand, PrintsTheStudyAndSaves) {
    TempDir dir;
    writeStructure(dir, 4, {"1,4", "4,2", "2,3"});
    const std::string before = snapshot(dir.path());

    CliRun r = renumber({dir.path().string(), "--from", "1"});
    EXPECT_EQ(r.status, Ok) << r.err;
    EXPECT_NE(r.out.find("Ancho de banda inicial: 24\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Nudo: 1\nAncho Banda: 12\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" Se encontró una mejoría del ancho de banda en el nudo 1"
                         "  El nuevo ancho de banda sería 12\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(snapshot(dir.path()), before);  // without --save nothing is written

    r = renumber({dir.path().string(), "--all", "--save"});
    EXPECT_EQ(r.status, Ok) << r.err;
    EXPECT_EQ(dir.read("BARRAS.DAT"),
              "1,2,1,0,0,0,0,0,1,1\r\n2,3,1,0,0,0,0,0,1,1\r\n3,4,1,0,0,0,0,0,1,1\r\n");

    // Now in order: nothing better exists and nothing is written.
    const std::string saved = snapshot(dir.path());
    r = renumber({dir.path().string(), "--all", "--save"});
    EXPECT_EQ(r.status, Ok);
    EXPECT_NE(r.out.find(" No mejoró el ancho de banda y resulta imposible que mejore\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Nudo: (ninguno)\n"), std::string::npos) << r.out;
    EXPECT_EQ(snapshot(dir.path()), saved);
}

TEST(RenumberCommand, StartBeyondTheLastNodeTakesTheLast) {
    TempDir dir;
    writeStructure(dir, 4, {"1,4", "4,2", "2,3"});
    const CliRun r = renumber({dir.path().string(), "--from=9"});
    EXPECT_EQ(r.status, Ok);
    EXPECT_NE(r.err.find("se parte del nudo 4"), std::string::npos) << r.err;
    // From 3 of the chain 3–2–4–1 the width is 12; from 4 it is 18.
    EXPECT_NE(r.out.find("Ancho Banda: 18\n"), std::string::npos) << r.out;
}

TEST(RenumberCommand, DisconnectedStructureWritesNothing) {
    TempDir dir;
    writeStructure(dir, 4, {"1,3", "2,4"});
    dir.write("INCOG.RES", "0\r\n");
    const std::string before = snapshot(dir.path());
    const CliRun r = renumber({dir.path().string(), "--all", "--save"});
    EXPECT_EQ(r.status, BadInput);
    EXPECT_EQ(r.err,
              "Esta estructura no se puede renumerar\n\n"
              "(no están todas las barras interconectadas entre si)\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST(RenumberCommand, UsageAndInputErrors) {
    TempDir dir;
    writeStructure(dir, 4, {"1,4", "4,2", "2,3"});
    const std::string d = dir.path().string();
    EXPECT_EQ(renumber({}).status, Usage);
    EXPECT_EQ(renumber({d}).status, Usage);
    EXPECT_EQ(renumber({d, "--all", "--from", "2"}).status, Usage);
    EXPECT_EQ(renumber({d, "--from"}).status, Usage);
    EXPECT_EQ(renumber({d, "--all", "--fast"}).status, Usage);
    CliRun r = renumber({d, "--from", "cero"});
    EXPECT_EQ(r.status, Usage);
    EXPECT_NE(r.err.find("El nudo de partida «cero» no es un número."), std::string::npos);
    r = renumber({d, "--from", "0"});
    EXPECT_EQ(r.status, Usage);
    EXPECT_NE(r.err.find("El nudo de partida debe ser 1 o mayor."), std::string::npos);

    EXPECT_EQ(renumber({(dir / "no-existe").string(), "--all"}).status, BadInput);
    dir.write("BARRAS.DAT", "1,4,1,0,0,0,0,0,1,1\r\n4,2\r\n");
    r = renumber({d, "--all"});
    EXPECT_EQ(r.status, BadInput);
    EXPECT_NE(r.err.find("Error en rutina DiscoX."), std::string::npos) << r.err;
}

}  // namespace
}  // namespace vanto::cli
