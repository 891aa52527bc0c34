#include <gtest/gtest.h>

#include <cstdio>

#include "diagrams/extremes.h"
#include "support/cli_harness.h"

namespace vanto::test {
namespace {

// vanto-cli diagrams: refusals with their status and message, then both
// drawings at the scale asked for.
TEST(CliDiagrams, RefusesThenWrites) {
    TempDir t;
    const std::string dir = copySample("-Portico", t).string();
    expectRefused({{{"diagrams", dir}, 2, "Antes debe efectuar un cálculo de la estructura\n"},
                   {{"diagrams", dir, "--scale", "-1"},
                    1,
                    "vanto-cli: la escala debe ser un número no negativo: -1"},
                   {{"diagrams", dir, "--scale=1,5"},
                    1,
                    "vanto-cli: la escala debe ser un número no negativo: 1,5"},
                   {{"diagrams", dir, "--scale"}, 1, "vanto-cli: falta la escala tras --scale"},
                   {{"diagrams", dir, "--case", "X9"},
                    1,
                    "vanto-cli: hipótesis desconocida: X9 (Hkk, Ccc o envolvente)"}});
    ASSERT_EQ(runCli({"calc", dir}).status, 0);
    EXPECT_EQ(runCli({"diagrams", dir, "--case", "h2"}).err,
              "La estructura no tiene la hipótesis o combinación H02.\n");
    const CliRun run = runCli({"diagrams", dir, "--scale", "0.5"});
    EXPECT_EQ(run.out, "Dibujos escritos en " + dir + "/Resul-3D.dxf y Resul-2D.dxf.\n");
    for (const char* name : {"Resul-3D.dxf", "Resul-2D.dxf"})
        EXPECT_NE(t.read("-Portico/" + std::string(name)).find("= 0.5 ud. de dibujo\r\n"),
                  std::string::npos)
            << name;
}

// vanto-cli draw --diagrams: unknown codes and uncalculated structures are
// refused; the picture holds the asked kinds in their colours only.
TEST(CliDiagrams, DrawsTheAskedDiagrams) {
    TempDir t;
    const std::string dir = copySample("-Portico", t).string();
    const std::string svg = (t.path() / "p.svg").string();
    expectRefused({{{"draw", dir, "--out", svg, "--diagrams", "MQ"},
                    1,
                    "vanto-cli: diagramas desconocidos: MQ (letras de XYZTFMD)"},
                   {{"draw", dir, "--out", svg, "--diagrams", "M"},
                    2,
                    "Antes debe efectuar un cálculo de la estructura\n"}});
    ASSERT_EQ(runCli({"calc", dir}).status, 0);
    // Without --scale, the window's fit: FittedShare of the 6 m beam over the
    // largest moment.
    const diagrams::DiagramData d = diagrams::loadDiagramData(dir);
    const double largest = diagrams::diagramExtremes(d, 'M').largest();
    EXPECT_NEAR(largest, 7.74, 0.005);
    char fitted[32];
    std::snprintf(fitted, sizeof fitted, "%.17g", diagrams::FittedShare * 6 / largest);
    const std::string given = (t.path() / "q.svg").string();
    ASSERT_EQ(runCli({"draw", dir, "--out", svg, "--diagrams", "M"}).status, 0);
    ASSERT_EQ(runCli({"draw", dir, "--out", given, "--diagrams", "M", "--scale", fitted}).status,
              0);
    EXPECT_EQ(t.read("p.svg"), t.read("q.svg"));
    ASSERT_EQ(runCli({"draw", dir, "--out", svg, "--diagrams", "MD"}).status, 0);
    const std::string picture = t.read("p.svg");
    for (const auto& [colour, present] :
         {std::pair{"#80ff80", true}, {"#ffff00", true}, {"#0000c0", false}, {"#2d8c83", true}})
        EXPECT_EQ(picture.find(colour) != std::string::npos, present) << colour;
}

}  // namespace
}  // namespace vanto::test
