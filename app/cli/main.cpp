// vanto-cli: the program's capabilities without windows, on one structure
// directory at a time. Never reads or writes the settings file.

#include <cstring>
#include <iostream>

#include "app/cli/commands.h"
#include "model/helpers.h"

namespace {

using vanto::cli::Command;

const Command commands[] = {
    {"calc", "DIR [--matrix] [--triangulated]",
     "calcula la estructura y escribe los resultados y los listados", vanto::cli::runCalc},
    {"list", "DIR", "escribe el listado de datos listado.txt", vanto::cli::runList},
    {"renumber", "DIR (--from N | --all) [--save]",
     "renumera los nudos para reducir el ancho de banda; con --save graba la estructura",
     vanto::cli::runRenumber},
    {"types", "DIR", "escribe la tabla de tipos de barras por defecto TIPOS.DAT",
     vanto::cli::runTypes},
    {"lattice",
     "DIR --points NX,NY,NZ --spacing EX,EY,EZ [--origin OX,OY,OZ] [--keep] [--no-bars] "
     "[--foundation]",
     "genera una retícula de nudos con sus vigas y pilares; --keep conserva los datos actuales",
     vanto::cli::runLattice},
    {"import", "DIR (dxf|frame1|frame4|listing) FILE",
     "sustituye la estructura por la de un dibujo DXF, un fichero de otro programa de pórticos "
     "planos o un listado editado",
     vanto::cli::runImport},
    {"export-dxf", "DIR BASENAME [--colour-by-type]",
     "escribe las barras de la estructura como dibujo DXF en BASENAME.DXF",
     vanto::cli::runExportDxf},
};

void printHelp(std::ostream& out) {
    out << "Uso: vanto-cli ORDEN DIR [opciones]\n\n"
           "Trabaja sobre el directorio de una estructura (por ejemplo samples/-Portico).\n\n"
           "Órdenes:\n";
    for (const Command& c : commands)
        out << "  " << c.name << ' ' << c.synopsis << "\n      " << c.summary << '\n';
    out << "\nEstado de salida: 0 bien, 1 error de uso, 2 datos ausentes o dañados, "
           "3 mecanismo.\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printHelp(std::cerr);
        return vanto::cli::Usage;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") ||
        !std::strcmp(argv[1], "help")) {
        printHelp(std::cout);
        return vanto::cli::Ok;
    }
    for (const Command& c : commands) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        const vanto::cli::Args args(argv + 2, argv + argc);
        return c.run(args);
    }
    std::cerr << "vanto-cli: orden desconocida: " << argv[1] << "\n\n";
    printHelp(std::cerr);
    return vanto::cli::Usage;
}
