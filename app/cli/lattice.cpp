// vanto-cli lattice: a grid of nodes with its beams and columns.

#include <filesystem>
#include <iostream>

#include "app/cli/commands.h"
#include "exchange/lattice.h"

namespace vanto::cli {

int runLattice(const Invocation& call) {
    exchange::LatticeOptions o;
    const auto& points = call.numbers("--points");
    const auto& spacing = call.numbers("--spacing");
    o.nx = points[0], o.ny = points[1], o.nz = points[2];
    o.ex = spacing[0], o.ey = spacing[1], o.ez = spacing[2];
    if (call.has("--origin")) {
        const auto& origin = call.numbers("--origin");
        o.ox = origin[0], o.oy = origin[1], o.oz = origin[2];
    }
    o.keepCurrent = call.has("--keep");
    o.createBars = !call.has("--no-bars");
    o.foundationBeams = call.has("--foundation");
    const auto dir = structureDirectory(call.arg(0));
    if (!dir) return BadInput;
    const std::filesystem::path absolute = std::filesystem::absolute(*dir).lexically_normal();

    return withProgress<exchange::ExchangeError>(
        {{1, "Generando el nudo nº:"}}, [&](TerminalProgress& progress) {
            const exchange::Summary s = exchange::generateLattice(absolute, o, &progress);
            progress.finish();
            if (s.outcome != exchange::Outcome::Written) {
                std::cerr << exchange::EmptyLatticeText << '\n';
                return Ok;
            }
            std::cout << "Retícula generada. La estructura tiene " << s.nodeCount << " nudos y "
                      << s.barCount << " barras.\n";
            return Ok;
        });
}

}  // namespace vanto::cli
