// vanto-cli types, run through its function.

#include <gtest/gtest.h>

#include "app/cli/commands.h"
#include "model/files.h"
#include "support/tempdir.h"

namespace vanto::cli {
namespace {

using test::snapshot;
using test::TempDir;

struct CliRun {
    int status;
    std::string out, err;
};

CliRun types(const Args& args) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int status = runTypes(args);
    return {status, testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr()};
}

TEST(TypesCommand, WritesTheDefaultTable) {
    TempDir dir;
    dir.write("DATOS.DAT", "\"Vanto 2.11\"\r\n2\r\n1\r\n");
    dir.write("BARRAS.DAT", "1,2,33,0,0,0,0,0,1,1\r\n");
    const CliRun r = types({dir.path().string()});
    EXPECT_EQ(r.status, Ok) << r.err;
    EXPECT_EQ(r.out,
              "Se han escrito 33 tipos de barras en " + (dir / "TIPOS.DAT").string() + ".\n");
    EXPECT_EQ(DiscoX::readTypes<float>(dir.path()).count, 33);
}

TEST(TypesCommand, RefusesATableTooShortForTheBars) {
    TempDir dir;
    dir.write("DATOS.DAT", "\"Vanto 2.11\"\r\n2\r\n2\r\n");
    dir.write("BARRAS.DAT", "1,2,1,0,0,0,0,0,1,1\r\n1,2,40,0,0,0,0,0,1,1\r\n");
    dir.write("TIPOS.DAT", "cabecera\r\n0\r\n");
    const std::string before = snapshot(dir.path());
    const CliRun r = types({dir.path().string()});
    EXPECT_EQ(r.status, BadInput);
    EXPECT_NE(r.err.find("Está intentando crear menor número de tipos barras"), std::string::npos)
        << r.err;
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST(TypesCommand, UsageAndInputErrors) {
    TempDir dir;
    EXPECT_EQ(types({}).status, Usage);
    EXPECT_EQ(types({dir.path().string(), "otro"}).status, Usage);
    EXPECT_EQ(types({"--todo"}).status, Usage);
    EXPECT_EQ(types({(dir / "no-existe").string()}).status, BadInput);
    // Bars announced but missing.
    dir.write("DATOS.DAT", "\"Vanto 2.11\"\r\n2\r\n1\r\n");
    EXPECT_EQ(types({dir.path().string()}).status, BadInput);
    EXPECT_FALSE(fileExists(dir.path(), "TIPOS.DAT"));
}

}  // namespace
}  // namespace vanto::cli
