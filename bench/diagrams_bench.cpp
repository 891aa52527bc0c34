// Times what the diagram window and vanto-cli diagrams do after a calculation:
// loading the structure and results, and writing both results DXF files.
//
//   diagrams_bench            30×30×10, three runs
//   diagrams_bench NX NY NZ [RUNS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <vector>

#include "analysis/calculation.h"
#include "bench/calculated.h"
#include "bench/lattice.h"
#include "bench/timing.h"
#include "diagrams/results_dxf.h"
#include "model/platform.h"

namespace {

namespace fs = std::filesystem;
using vanto::bench::Clock;
using vanto::bench::Quiet;
using vanto::bench::seconds;

}  // namespace

int main(int argc, char** argv) {
    vanto::bench::Lattice g{30, 30, 10};
    int runs = 3;
    if (argc >= 4) g = {std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3])};
    if (argc >= 5) runs = std::max(1, std::atoi(argv[4]));

    std::random_device rd;
    const fs::path dir = fs::temp_directory_path() / ("vanto-bench-" + std::to_string(rd()));
    fs::create_directories(dir);
    vanto::bench::writeLattice(dir, g);
    Quiet observer;
    vanto::SystemClock clock;
    auto t0 = Clock::now();
    vanto::analysis::runCalculation(dir, {}, observer, clock);
    std::printf("retícula %d×%d×%d: cálculo %.2f s\n", g.nx, g.ny, g.nz, seconds(t0));

    const fs::path program = fs::read_symlink("/proc/self/exe").parent_path();
    std::vector<double> load, dxf, cpu, envelope;
    int bars = 0;
    for (int r = 0; r < runs; ++r) {
        t0 = Clock::now();
        const vanto::diagrams::DiagramData data = vanto::diagrams::loadDiagramData(dir);
        load.push_back(seconds(t0));
        bars = data.barCount;
        t0 = Clock::now();
        const std::clock_t c0 = std::clock();
        vanto::diagrams::writeResultsDxf(data, dir, program, 1);
        dxf.push_back(seconds(t0));
        cpu.push_back(double(std::clock() - c0) / CLOCKS_PER_SEC);
        // --case envolvente: every set's results read, both outlines written.
        t0 = Clock::now();
        const vanto::diagrams::ShownSet env{{}, true};
        const auto enveloped = vanto::diagrams::loadShownSet(dir, env);
        vanto::diagrams::writeResultsDxf(enveloped, dir, program, 1, nullptr,
                                         vanto::diagrams::dxfSuffix(env));
        envelope.push_back(seconds(t0));
    }
    const auto mb = [&](const char* name) { return double(fs::file_size(dir / name)) / 1e6; };
    std::printf("%d barras, %d ejecuciones (medianas)\n", bars, runs);
    std::printf("  carga de datos y resultados: %.3f s\n", median(load));
    std::printf("  Resul-3D.dxf (%.0f MB) y Resul-2D.dxf (%.0f MB): %.2f s\n",
                mb(vanto::diagrams::Dxf3DName), mb(vanto::diagrams::Dxf2DName), median(dxf));
    std::printf("    de ellos, tiempo de procesador: %.2f s\n", median(cpu));
    std::printf("  --case envolvente, carga y los dos DXF: %.2f s\n", median(envelope));
    fs::remove_all(dir);
}
