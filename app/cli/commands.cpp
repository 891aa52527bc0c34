// vanto-cli: the program's capabilities without windows, on one structure
// directory at a time. Never reads or writes the settings file.

#include "app/cli/commands.h"

#include <algorithm>
#include <iostream>
#include <string_view>

namespace vanto::cli {

namespace {

const Positional dir{.name = "DIR"};

// One entry per subcommand, in the order of the help.
const Command table[] = {
    {.name = "calc",
     .positionals = {dir},
     .options = {{.name = "--matrix",
                  .help = "escribe también las ecuaciones tal como se ensamblan en matriz.lsc"},
                 {.name = "--triangulated",
                  .help = "escribe también las ecuaciones tras la eliminación en matriz.tri"}},
     .summary = "calcula la estructura y escribe los resultados y los listados",
     .run = runCalc},
    {.name = "list",
     .positionals = {dir},
     .summary = "escribe el listado de datos listado.txt",
     .run = runList},
    {.name = "cases",
     .positionals = {dir},
     .summary = "muestra las hipótesis de carga y las combinaciones de la estructura",
     .run = runCases},
    {.name = "renumber",
     .positionals = {dir},
     .options = {{.name = "--from",
                  .kind = Kind::Text,
                  .arg = "N",
                  .help = "estudia la numeración que parte del nudo N",
                  .group = 1,
                  .what = "el nudo"},
                 {.name = "--all", .help = "prueba cada nudo como nudo de partida", .group = 1},
                 {.name = "--save", .help = "graba la estructura con la nueva numeración"}},
     .summary = "renumera los nudos para reducir el ancho de banda",
     .run = runRenumber},
    {.name = "types",
     .positionals = {dir},
     .summary = "escribe la tabla de tipos de barras por defecto TIPOS.DAT",
     .run = runTypes},
    {.name = "lattice",
     .positionals = {dir},
     .options = {{.name = "--points",
                  .kind = Kind::Counts,
                  .arg = "NX,NY,NZ",
                  .help = "número de puntos en X, Y y Z",
                  .required = true,
                  .count = 3,
                  .what = "el número de puntos"},
                 {.name = "--spacing",
                  .kind = Kind::Numbers,
                  .arg = "EX,EY,EZ",
                  .help = "espaciado en X, Y y Z, en m",
                  .required = true,
                  .count = 3},
                 {.name = "--origin",
                  .kind = Kind::Numbers,
                  .arg = "OX,OY,OZ",
                  .help = "origen de la retícula, en m (0,0,0 si se omite)",
                  .count = 3},
                 {.name = "--keep", .help = "conserva los datos actuales y les añade la retícula"},
                 {.name = "--no-bars", .help = "genera solo los nudos, sin vigas ni pilares"},
                 {.name = "--foundation", .help = "crea también las vigas de cimentación"}},
     .summary = "genera una retícula de nudos con sus vigas y pilares",
     .run = runLattice},
    {.name = "import",
     .positionals = {dir,
                     {.name = "FORMAT",
                      .choices = {"dxf", "frame1", "frame4", "listing"},
                      .what = "formato"},
                     {.name = "FILE"}},
     .summary = "sustituye la estructura por la de un dibujo DXF, un fichero de otro programa de "
                "pórticos planos o un listado editado",
     .run = runImport},
    {.name = "export-dxf",
     .positionals = {dir, {.name = "BASENAME"}},
     .options = {{.name = "--colour-by-type", .help = "da a cada barra el color de su tipo"}},
     .summary = "escribe las barras de la estructura como dibujo DXF en BASENAME.DXF",
     .run = runExportDxf},
    {.name = "diagrams",
     .positionals = {dir},
     .options = {{.name = "--scale",
                  .kind = Kind::Text,
                  .arg = "S",
                  .help = "escala de los diagramas: m de dibujo por t, m·t o cm (1 si se omite)",
                  .what = "la escala"},
                 {.name = "--case",
                  .kind = Kind::Text,
                  .arg = "Hkk|Ccc|envolvente",
                  .help = "la hipótesis, la combinación o la envolvente (H01 si se omite)",
                  .what = "la hipótesis"}},
     .summary = "escribe los diagramas de resultados como dibujos DXF Resul-3D.dxf y "
                "Resul-2D.dxf (Resul-3D-H02.dxf... para otra hipótesis)",
     .run = runDiagrams},
    {.name = "draw",
     .positionals = {dir},
     .options = {{.name = "--out",
                  .kind = Kind::Text,
                  .arg = "FILE.svg",
                  .help = "el dibujo SVG que se escribe",
                  .required = true,
                  .what = "el fichero"},
                 {.name = "--view",
                  .kind = Kind::Text,
                  .arg = "0-7",
                  .help = "vista: 0 DIN-5, 1 Caballera, 2 Planta, 3 Alzado yz, 4 Alzado xz, "
                          "5 Isometría, 6 Militar, 7 Otra (la inicial)",
                  .what = "la vista"},
                 {.name = "--mode",
                  .kind = Kind::Text,
                  .arg = "nodes|bars",
                  .help = "dibuja como el modo nudos (cargas y coacciones) o el modo barras",
                  .what = "el modo"},
                 {.name = "--numbers", .help = "numera los nudos (o las barras en modo barras)"},
                 {.name = "--diagrams",
                  .kind = Kind::Text,
                  .arg = "XYZTFMD",
                  .help = "dibuja la estructura calculada como la ventana de diagramas, con "
                          "los diagramas indicados: X axil, Y cortante Y, Z cortante Z, "
                          "T torsor, F flector Y, M flector Z, D deformada",
                  .what = "los diagramas"},
                 {.name = "--scale",
                  .kind = Kind::Text,
                  .arg = "S",
                  .help = "escala de los diagramas: m de dibujo por t, m·t o cm (si se omite, "
                          "la ajustada de la ventana)",
                  .what = "la escala"},
                 {.name = "--case",
                  .kind = Kind::Text,
                  .arg = "Hkk|Ccc|envolvente",
                  .help = "la hipótesis, la combinación o la envolvente (H01 si se omite)",
                  .what = "la hipótesis"},
                 {.name = "--values",
                  .help = "escribe los valores máximo y mínimo de cada barra (con --diagrams)"},
                 {.name = "--axes", .help = "muestra los ejes locales de las barras (modo barras)"},
                 {.name = "--size",
                  .kind = Kind::Numbers,
                  .arg = "W,H",
                  .help = "tamaño del dibujo en twips (14400,10800 si se omite)",
                  .count = 2}},
     .summary = "dibuja la estructura como la muestra el editor, en un fichero SVG",
     .run = runDraw},
    {.name = "report",
     .positionals = {dir},
     .options = {{.name = "--out",
                  .kind = Kind::Text,
                  .arg = "FILE.pdf",
                  .help = "el documento PDF que se escribe (DIR/memoria.pdf si se omite)",
                  .what = "el fichero"},
                 {.name = "--full-tables",
                  .help = "da las tablas completas; sin esta opción las de más de 500 filas "
                          "muestran solo las filas con los valores extremos"}},
     .summary = "escribe la memoria de cálculo de la estructura calculada, un documento PDF",
     .run = runReport},
};

void printHelp(std::ostream& out) {
    out << "Uso: vanto-cli ORDEN DIR [opciones]\n\n"
           "Trabaja sobre el directorio de una estructura (por ejemplo samples/-Portico).\n\n"
           "Órdenes:\n";
    for (const Command& c : table) {
        out << "  " << c.name << ' ' << synopsis(c) << '\n';
        describe(out, c, "      ");
    }
    out << "\nEstado de salida: 0 bien, 1 error de uso, 2 datos ausentes o dañados, "
           "3 mecanismo.\n";
}

}  // namespace

int cliMain(int argc, char** argv) {
    if (argc < 2) {
        printHelp(std::cerr);
        return Usage;
    }
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printHelp(std::cout);
        return Ok;
    }
    for (const Command& c : table) {
        if (name != c.name) continue;
        const Args args(argv + 2, argv + argc);
        if (std::find(args.begin(), args.end(), "--help") != args.end()) {
            std::cout << "Uso: vanto-cli " << c.name << ' ' << synopsis(c) << "\n\n";
            describe(std::cout, c, "  ");
            return Ok;
        }
        return run(c, args);
    }
    std::cerr << "vanto-cli: orden desconocida: " << name << "\n\n";
    printHelp(std::cerr);
    return Usage;
}

}  // namespace vanto::cli
