#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "model/files.h"
#include "support/tempdir.h"

namespace vanto {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status;
    std::string err;
};

CliRun cli(const std::string& args, const test::TempDir& scratch) {
    const std::string errFile = (scratch / "stderr.txt").string();
    const std::string cmd = std::string(VANTO_CLI) + " " + args + " >/dev/null 2>" + errFile;
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, scratch.read("stderr.txt")};
}

// A copy of a sample structure in a scratch directory.
fs::path copySample(const std::string& name, const test::TempDir& scratch) {
    const fs::path to = scratch / name;
    fs::create_directories(to);
    for (const auto& e : fs::directory_iterator(fs::path(VANTO_SAMPLES) / name))
        if (e.path().extension() == ".DAT") fs::copy_file(e.path(), to / e.path().filename());
    return to;
}

TEST(Cli, UsageErrorsExitWithOne) {
    test::TempDir t;
    EXPECT_EQ(cli("", t).status, 1);
    EXPECT_EQ(cli("calcular x", t).status, 1);
    EXPECT_EQ(cli("calc", t).status, 1);
    const CliRun r = cli("calc " + t.path().string() + " --nada", t);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("opción desconocida: --nada"), std::string::npos);
    EXPECT_EQ(cli("--help", t).status, 0);
}

TEST(Cli, MissingAndBadInputExitWithTwo) {
    test::TempDir t;
    CliRun r = cli("calc " + (t / "no-existe").string(), t);
    EXPECT_EQ(r.status, 2);
    const fs::path dir = t / "-Vacia";
    fs::create_directories(dir);
    r = cli("calc " + dir.string(), t);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(" Debe generar la estructura antes de intentar calcularla "),
              std::string::npos);

    const fs::path portal = copySample("-Portico", t);
    fs::remove(portal / "TIPOS.DAT");
    r = cli("calc " + portal.string(), t);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("No existe el fichero: " + (portal / "TIPOS.DAT").string()),
              std::string::npos);
    EXPECT_FALSE(fs::exists(portal / "INCOG.RES"));

    fs::copy_file(fs::path(VANTO_SAMPLES) / "-Portico" / "TIPOS.DAT", portal / "TIPOS.DAT");
    t.write("-Portico/COORDENA.DAT", "0\r\n0\r\n6\r\n");
    r = cli("calc " + portal.string(), t);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Error en rutina DiscoX.\n"
                         "La estructura a la que intentaba acceder debe tener corrompido algún "
                         "fichero.\n"
                         "Intente solucionarlo y arranque de nuevo el programa.\n"),
              std::string::npos);
    EXPECT_NE(r.err.find("faltan valores: se esperaban 12 y hay 3"), std::string::npos);
}

TEST(Cli, MechanismExitsWithThree) {
    test::TempDir t;
    const fs::path portal = copySample("-Portico", t);
    // Free the supports: the whole frame can move.
    t.write("-Portico/COACCION.DAT", [] {
        std::string s;
        for (int i = 0; i < 24; ++i)
            s += "1234\r\n";
        return s;
    }());
    const CliRun r = cli("calc " + portal.string(), t);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err.rfind("Detección de mecanismo en el nudo nº: ", 0), 0u);
    EXPECT_FALSE(fs::exists(portal / "INCOG.RES"));
}

// Every sample calculates; its free degrees of freedom balance and the
// reactions carry every load.
TEST(Cli, EverySampleCalculatesAndBalances) {
    test::TempDir t;
    for (const char* name : {"-Portico", "-Celosia", "-Emparrillado", "-Edificio"}) {
        SCOPED_TRACE(name);
        const fs::path dir = copySample(name, t);
        const CliRun r = cli("calc " + dir.string() + " --matrix --triangulated", t);
        ASSERT_EQ(r.status, 0) << r.err;
        for (const char* f : {"INCOG.RES", "ESFUERZO.RES", "DESEQUIL.RES", "DIAGRAMA.RES",
                              "listado.txt", "Resultad.res", "matriz.lsc", "matriz.tri"})
            EXPECT_TRUE(fileExists(dir, f)) << f;
        StructureCounts c;
        ASSERT_EQ(DiscoX::readDatos(dir, c), DiscoX::Status::Read);
        const auto r6 =
            DiscoX::readNodeValuesFlat<double>(dir, DiscoX::NodeFile::Restraints, c.NodeCount);
        const auto un =
            DiscoX::readNodeResults<double>(dir, DiscoX::NodeResult::Unbalanced, c.NodeCount);
        ASSERT_TRUE(un);
        for (int k = 1; k <= c.DofCount; ++k)
            if (isFree(r6[k])) {
                EXPECT_NEAR((*un)[k], 0, 1e-6) << "dof " << k;
            }
    }
}

TEST(Cli, ListWritesTheDataListingAlone) {
    test::TempDir t;
    const fs::path dir = copySample("-Celosia", t);
    EXPECT_EQ(cli("list " + dir.string(), t).status, 0);
    EXPECT_TRUE(fileExists(dir, "listado.txt"));
    EXPECT_FALSE(fileExists(dir, "Resultad.res"));
    EXPECT_FALSE(fileExists(dir, "INCOG.RES"));
}

}  // namespace
}  // namespace vanto
