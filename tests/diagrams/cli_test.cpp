#include <gtest/gtest.h>

#include "diagrams/results_dxf.h"
#include "support/cli_harness.h"

namespace vanto::test {
namespace {

// vanto-cli diagrams: refusals with their status and message, then both
// drawings at the scale asked for.
TEST(CliDiagrams, RefusesThenWrites) {
    TempDir t;
    const std::string dir = copySample("-Portico", t).string();
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } refusals[] = {
        {{"diagrams", dir}, 2, "Antes debe efectuar un cálculo de la estructura\n"},
        {{"diagrams", dir, "--scale", "-1"},
         1,
         "vanto-cli: la escala debe ser un número no negativo: -1"},
        {{"diagrams", dir, "--scale=1,5"},
         1,
         "vanto-cli: la escala debe ser un número no negativo: 1,5"},
        {{"diagrams", dir, "--scale"}, 1, "vanto-cli: falta la escala tras --scale"},
    };
    for (const auto& r : refusals) {
        const CliRun run = runCli(r.args);
        EXPECT_EQ(run.status, r.status) << r.args.back();
        EXPECT_EQ(run.err.substr(0, r.message.size()), r.message) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(t / "-Portico" / diagrams::Dxf3DName));

    ASSERT_EQ(runCli({"calc", dir}).status, 0);
    const CliRun run = runCli({"diagrams", dir, "--scale", "0.5"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Dibujos escritos en " + dir + "/Resul-3D.dxf y Resul-2D.dxf.\n");
    for (const char* name : {diagrams::Dxf3DName, diagrams::Dxf2DName})
        EXPECT_NE(t.read("-Portico/" + std::string(name)).find("= 0.5 ud. de dibujo\r\n"),
                  std::string::npos)
            << name;
}

}  // namespace
}  // namespace vanto::test
