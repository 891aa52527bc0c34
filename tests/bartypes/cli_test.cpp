// vanto-cli types, run in-process.

#include <gtest/gtest.h>

#include "model/files.h"
#include "support/cli_harness.h"

namespace vanto::test {
namespace {

TEST(TypesCommand, WritesTheDefaultTable) {
    TempDir dir;
    dir.write("DATOS.DAT", "\"Vanto 2.11\"\r\n2\r\n1\r\n");
    dir.write("BARRAS.DAT", "1,2,33,0,0,0,0,0,1,1\r\n");
    const CliRun r = runCli({"types", dir.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Se han escrito 33 tipos de barras en " + (dir / "TIPOS.DAT").string() + ".\n");
    EXPECT_EQ(DiscoX::readTypes<float>(dir.path()).count, 33);
}

// A table too short for the bars, and no bars at all: status 2, nothing written.
TEST(TypesCommand, RefusalsWriteNothing) {
    const std::pair<const char*, const char*> cases[] = {
        {"1,2,1,0,0,0,0,0,1,1\r\n1,2,40,0,0,0,0,0,1,1\r\n",
         "Está intentando crear menor número de tipos barras"},
        {nullptr, "BARRAS.DAT"},
    };
    for (const auto& [bars, says] : cases) {
        TempDir dir;
        dir.write("DATOS.DAT", "\"Vanto 2.11\"\r\n2\r\n2\r\n");
        if (bars) dir.write("BARRAS.DAT", bars);
        const std::string before = snapshot(dir.path());
        const CliRun r = runCli({"types", dir.path().string()});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
        EXPECT_EQ(snapshot(dir.path()), before);
    }
}

}  // namespace
}  // namespace vanto::test
