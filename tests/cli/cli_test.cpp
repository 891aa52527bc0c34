#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>

#include "exchange/exchange.h"
#include "model/files.h"
#include "support/cli_harness.h"
#include "support/load_cases.h"

namespace vanto::test {
namespace {

namespace fs = std::filesystem;

// Wrong command lines: status, message, usage line, and nothing written. "D"
// stands for a copy of a sample structure.
TEST(Cli, CommandLineErrors) {
    const std::map<std::string, std::string> usage = {
        {"calc", "DIR [--matrix] [--triangulated]"},
        {"list", "DIR"},
        {"types", "DIR"},
        {"renumber", "DIR (--from N | --all) [--save]"},
        {"lattice",
         "DIR --points NX,NY,NZ --spacing EX,EY,EZ [--origin OX,OY,OZ] [--keep] "
         "[--no-bars] [--foundation]"},
        {"import", "DIR (dxf|frame1|frame4|listing) FILE"},
        {"export-dxf", "DIR BASENAME [--colour-by-type]"},
        {"draw",
         "DIR --out FILE.svg [--view 0-7] [--mode nodes|bars] [--numbers] [--diagrams XYZTFMD] "
         "[--scale S] [--case Hkk|Ccc|envolvente] [--values] [--axes] [--size W,H]"}};
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        // clang-format off
        {{"calc"}, 1, "falta el directorio de la estructura"},
        {{"calc", "D", "--nada"}, 1, "opción desconocida: --nada"},
        {{"list", "D", "x"}, 1, "sobra el argumento: x"},
        {{"types", "D", "--"}, 1, "opción desconocida: --"},
        {{"renumber", "D"}, 1, "indique --from N o --all, uno de los dos"},
        {{"renumber", "D", "--all", "--from", "2"}, 1, "indique --from N o --all, uno de los dos"},
        {{"renumber", "D", "--from"}, 1, "falta el nudo tras --from"},
        {{"renumber", "D", "--all=1"}, 1, "opción desconocida: --all=1"},
        {{"renumber", "D", "--from", "cero"}, 1, "El nudo de partida «cero» no es un número."},
        {{"lattice", "D", "--points", "2,2,2"}, 1, "falta --spacing"},
        {{"lattice", "D", "--spacing", "1,1,1", "--points"}, 1, "--points necesita tres números"},
        {{"lattice", "D", "--points", "1,2", "--spacing", "1,1,1"}, 1,
         "--points necesita tres números separados por comas"},
        {{"lattice", "D", "--points", "2,2,2", "--spacing=1,,1"}, 1,
         "--spacing necesita tres números separados por comas"},
        {{"lattice", "D", "--points", "1.5,1,1", "--spacing", "1,1,1"}, 1,
         "el número de puntos debe ser un entero no negativo"},
        {{"import", "D", "dxf"}, 1, "faltan argumentos"},
        {{"import", "D", "dwg", "x.dwg"}, 1, "formato desconocido: dwg"},
        {{"export-dxf", "D", "a", "b"}, 1, "sobran argumentos"},
        {{"export-dxf", "D", "dibujo/"}, 1, "falta el nombre del fichero"},
        {{"draw", "D"}, 1, "falta --out"},
        {{"draw", "D", "--out", "x.svg", "--view", "8"}, 1, "vista desconocida: 8 (de 0 a 7)"},
        {{"draw", "D", "--out", "x.svg", "--mode", "tipos"}, 1,
         "modo desconocido: tipos (nodes o bars)"},
        {{"calc", "no-existe"}, 2, "No existe el directorio de la estructura: no-existe"},
        {{"import", "D", "dxf", "/no-existe.DXF"}, 2, "No existe el fichero: /no-existe.DXF"},
        // clang-format on
    };
    TempDir t;
    const std::string dir = copySample("-Portico", t).string();
    const std::string before = snapshot(dir);
    for (auto c : cases) {
        std::replace(c.args.begin(), c.args.end(), std::string("D"), dir);
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CliRun r = runCli(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err, "vanto-cli: " + c.message + "\n" +
                             (c.status == 1
                                  ? "Uso: vanto-cli " + c.args[0] + ' ' + usage.at(c.args[0]) + "\n"
                                  : ""));
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(snapshot(dir), before);
}

// A subsystem's refusal: its own message below the bar, status 2, nothing written.
TEST(Cli, RefusalsOfTheSubsystemsEndWithStatus2) {
    TempDir t;
    const std::string dir = copySample("-Portico", t).string();
    t.write("roto.dxf", "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\nabc\n");
    t.write("corto.txt", "Programa: Vanto 2.11\r\n");
    const std::string before = snapshot(dir);
    expectRefused({{{"import", dir, "dxf", (t / "roto.dxf").string()}, 2, "roto.dxf, línea 8: "},
                   {{"import", dir, "listing", (t / "corto.txt").string()},
                    2,
                    "El listado no tiene la sección \"DATOS\""},
                   {{"lattice", dir, "--points", "2000,2000,2000", "--spacing", "1,1,1"},
                    2,
                    "La retícula es demasiado grande"}});
    EXPECT_EQ(snapshot(dir), before);
    t.write("-Portico/DATOS.DAT", "\"Otro 3.0\"\r\n4\r\n3\r\n");
    const CliRun r = runCli({"export-dxf", dir, (t / "dibujo").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, std::string(exchange::OtherVersionText) + "\n");
    EXPECT_FALSE(fs::exists(t / "dibujo.DXF"));
}

// The help goes to standard output when asked for, else with a usage error.
TEST(Cli, Help) {
    const CliRun help = runCli({"--help"}), wrong = runCli({"calcular", "x"});
    EXPECT_EQ(help.status, 0);
    for (const char* name :
         {"calc", "list", "cases", "renumber", "types", "lattice", "import", "export-dxf", "draw"})
        EXPECT_NE(help.out.find(std::string("\n  ") + name + " DIR"), std::string::npos) << name;
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.err, "vanto-cli: orden desconocida: calcular\n\n" + help.out);
    EXPECT_EQ(runCli({"renumber", "--help"}).out.rfind("Uso: vanto-cli renumber DIR (", 0), 0u);
}

// Structures that cannot be calculated: status, message, and no results.
// "*" empties the directory; no bytes remove the file.
TEST(Cli, CalculationRefusals) {
    std::string free;  // every support released: the frame can move
    for (int i = 0; i < 24; ++i)
        free += "1234\r\n";
    const struct {
        std::string file, bytes;
        int status;
        std::string message;
    } cases[] = {
        {"*", "", 2, " Debe generar la estructura antes de intentar calcularla "},
        {"COORDENA.DAT", "0\r\n0\r\n6\r\n", 2,
         "Error en rutina DiscoX.\nLa estructura a la que intentaba acceder debe tener "
         "corrompido algún fichero.\nIntente solucionarlo y arranque de nuevo el programa.\n"
         "DIR/COORDENA.DAT: faltan valores: se esperaban 12 y hay 3"},
        {"COACCION.DAT", free, 3, "Detección de mecanismo en el nudo nº: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TempDir t;
        const fs::path dir = copySample("-Portico", t);
        if (c.file == "*")
            fs::remove_all(dir), fs::create_directories(dir);
        else if (c.bytes.empty())
            fs::remove(dir / c.file);
        else
            t.write("-Portico/" + c.file, c.bytes);
        std::string message = c.message;
        if (const auto at = message.find("DIR"); at != std::string::npos)
            message.replace(at, 3, dir.string());
        const CliRun r = runCli({"calc", dir.string()});
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(dir / "INCOG.RES"));
    }
}

// Load cases: listed and calculated.
TEST(Cli, LoadCasesListedAndCalculated) {
    TempDir t;
    const fs::path dir = copySample("-Portico", t);
    writeThreeCases(dir, 4, 3);
    const CliRun cases = runCli({"cases", dir.string()});
    EXPECT_EQ(cases.status, 0);
    EXPECT_EQ(cases.out,
              "Hipótesis de carga: 3\n  H01  Permanente\n  H02  Viento X\n  H03  Temperatura\n"
              "Combinaciones: 2\n  C01  ELU = 1.35·H01 + 1.5·H02\n"
              "  C02  Servicio = 1·H01 + 0.6·H02 + 1·H03\n");
    const CliRun calc = runCli({"calc", dir.string()});
    EXPECT_EQ(calc.status, 0) << calc.err;
    EXPECT_NE(calc.out.find("\n  de las hipótesis H02 a H03: INCOG, ESFUERZO, DESEQUIL y "
                            "DIAGRAMA.Hkk\n  de las combinaciones C01 a C02: INCOG, ESFUERZO, "
                            "DESEQUIL y DIAGRAMA.Ccc\n  la envolvente: ENVOLVEN.RES\n"),
              std::string::npos)
        << calc.out;
    EXPECT_TRUE(fileExists(dir, "DIAGRAMA.C02"));
}

// A DATOS.DAT claiming more than its files can hold is refused by every
// command at once, before anything is sized by its counts.
TEST(Cli, CountsBeyondTheFilesAreRefusedAtOnce) {
    TempDir t;
    const fs::path dir = copySample("-Portico", t);
    t.write("-Portico/DATOS.DAT", "\"Vanto 2.11\",4,100000000");
    for (std::vector<std::string> args :
         {std::vector<std::string>{"calc"}, {"list"}, {"renumber", "--all"}, {"export-dxf"}}) {
        args.insert(args.begin() + 1, dir.string());
        if (args[0] == "export-dxf") args.push_back((t / "dibujo").string());
        SCOPED_TRACE(args[0]);
        const auto start = std::chrono::steady_clock::now();
        const CliRun r = runCli(args);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("BARRAS.DAT: faltan valores: se esperaban 1000000000 y hay 30"),
                  std::string::npos)
            << r.err;
    }
}

// Every sample calculates and writes every result and matrix file.
TEST(Cli, EverySampleCalculates) {
    TempDir t;
    for (const char* name : {"-Portico", "-Celosia", "-Emparrillado", "-Edificio"}) {
        const fs::path dir = copySample(name, t);
        const CliRun r = runCli({"calc", dir.string(), "--matrix", "--triangulated"});
        ASSERT_EQ(r.status, 0) << name << r.err;
        for (const char* f : {"INCOG.RES", "ESFUERZO.RES", "DESEQUIL.RES", "DIAGRAMA.RES",
                              "listado.txt", "Resultad.res", "matriz.lsc", "matriz.tri"})
            EXPECT_TRUE(fileExists(dir, f)) << name << f;
    }
}

// The executable itself, on a directory named with a leading "-".
TEST(Cli, ListWritesTheDataListingAlone) {
    TempDir t;
    const fs::path dir = copySample("-Celosia", t);
    const CliRun r = runProcess(VANTO_CLI, {"list", "-Celosia"}, t);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Listado escrito en " + (dir / "listado.txt").string() + "\n");
    EXPECT_FALSE(fileExists(dir, "Resultad.res"));
    EXPECT_FALSE(fileExists(dir, "INCOG.RES"));
}

// A grid is generated; a structure is drawn, and its listing gives it back.
TEST(Cli, GeneratesExportsAndImports) {
    TempDir t;
    const fs::path portal = copySample("-Portico", t), grid = t / "-Reticula", back = t / "-Copia";
    fs::create_directories(grid), fs::create_directories(back);
    EXPECT_EQ(runCli({"lattice", grid.string(), "--points", "2,2,2", "--spacing=3,4,5"}).out,
              "Retícula generada. La estructura tiene 8 nudos y 8 barras.\n");
    EXPECT_EQ(runCli({"export-dxf", portal.string(), (t / "p").string()}).out,
              "Dibujo escrito en " + (t / "p.DXF").string() + ".\n");
    const std::string svg = (t / "p.svg").string();
    EXPECT_EQ(
        runCli({"draw", portal.string(), "--out", svg, "--view=2", "--size", "7200,5400"}).out,
        "Dibujo escrito en " + svg + "\n");
    const std::string picture = t.read("p.svg");
    EXPECT_NE(picture.find("viewBox=\"0 0 7200 5400\""), std::string::npos);
    for (const char* item : {"data-node=\"4\"", "data-bar=\"3\""})
        EXPECT_NE(picture.find(item), std::string::npos) << item;
    ASSERT_EQ(runCli({"list", portal.string()}).status, 0);
    const CliRun r =
        runCli({"import", back.string(), "listing", (portal / "listado.txt").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string f : {"DATOS.DAT", "COORDENA.DAT", "BARRAS.DAT", "CARGAS.DAT"})
        EXPECT_EQ(t.read("-Copia/" + f), t.read("-Portico/" + f)) << f;
}

}  // namespace
}  // namespace vanto::test
