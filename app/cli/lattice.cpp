// vanto-cli lattice DIR --points NX,NY,NZ --spacing EX,EY,EZ [--origin OX,OY,OZ]
//                       [--keep] [--no-bars] [--foundation]

#include <cmath>
#include <filesystem>
#include <iostream>

#include "app/cli/commands.h"
#include "exchange/lattice.h"

namespace vanto::cli {

namespace {

const Command latticeCommand{"lattice",
                             "DIR --points NX,NY,NZ --spacing EX,EY,EZ [--origin OX,OY,OZ] "
                             "[--keep] [--no-bars] [--foundation]",
                             "", nullptr};

}  // namespace

int runLattice(const Args& args) {
    std::string dirArg;
    exchange::LatticeOptions o;
    bool havePoints = false, haveSpacing = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--points" || a == "--spacing" || a == "--origin") {
            if (i + 1 >= args.size())
                return usageError(latticeCommand, a + " necesita tres números");
            const auto v = numberList(args[++i], 3);
            if (!v)
                return usageError(latticeCommand, a + " necesita tres números separados por comas");
            if (a == "--points") {
                for (double n : *v)
                    if (n < 0 || n != std::floor(n))
                        return usageError(latticeCommand,
                                          "el número de puntos debe ser un entero no negativo");
                o.nx = (*v)[0], o.ny = (*v)[1], o.nz = (*v)[2];
                havePoints = true;
            } else if (a == "--spacing") {
                o.ex = (*v)[0], o.ey = (*v)[1], o.ez = (*v)[2];
                haveSpacing = true;
            } else {
                o.ox = (*v)[0], o.oy = (*v)[1], o.oz = (*v)[2];
            }
        } else if (a == "--keep") {
            o.keepCurrent = true;
        } else if (a == "--no-bars") {
            o.createBars = false;
        } else if (a == "--foundation") {
            o.foundationBeams = true;
        } else if (a.starts_with("--")) {  // structure directories start with a single "-"
            return usageError(latticeCommand, "opción desconocida: " + a);
        } else if (dirArg.empty()) {
            dirArg = a;
        } else {
            return usageError(latticeCommand, "sobra el argumento: " + a);
        }
    }
    if (dirArg.empty()) return usageError(latticeCommand, "falta el directorio de la estructura");
    if (!havePoints) return usageError(latticeCommand, "falta --points");
    if (!haveSpacing) return usageError(latticeCommand, "falta --spacing");
    const auto dir = structureDirectory(dirArg);
    if (!dir) return BadInput;
    const std::filesystem::path absolute = std::filesystem::absolute(*dir).lexically_normal();

    return guarded([&] {
        TerminalProgress progress({{1, "Generando el nudo nº:"}});
        try {
            const exchange::Summary s = exchange::generateLattice(absolute, o, &progress);
            progress.finish();
            if (s.outcome != exchange::Outcome::Written) {
                std::cerr << "No se ha generado nada: el producto de los números de puntos y de "
                             "los espaciados es 0.\n";
                return int(Ok);
            }
            std::cout << "Retícula generada. La estructura tiene " << s.nodeCount << " nudos y "
                      << s.barCount << " barras.\n";
            return int(Ok);
        } catch (const exchange::ExchangeError& e) {
            progress.finish();
            std::cerr << e.what() << '\n';
            return int(BadInput);
        }
    });
}

}  // namespace vanto::cli
