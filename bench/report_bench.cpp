// Times the calculation report of a calculated lattice, as vanto-cli report
// and the main window write it: with long tables abridged (the default) and
// with every row.
//
//   report_bench            30×30×10, three runs
//   report_bench NX NY NZ [RUNS [WORK]]   leaves the lattice, calculated, and both
//                                        reports in WORK/-Reticula

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "analysis/calculation.h"
#include "bench/calculated.h"
#include "bench/lattice.h"
#include "bench/timing.h"
#include "calcreport/report.h"

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
    const bool keep = argc >= 6;

    std::random_device rd;
    const fs::path dir = keep ? fs::path(argv[5]) / "-Reticula"
                              : fs::temp_directory_path() / ("vanto-bench-" + std::to_string(rd()));
    fs::create_directories(dir);
    vanto::bench::writeLattice(dir, g);
    Quiet quiet;
    vanto::SystemClock clock;
    auto t0 = Clock::now();
    vanto::analysis::runCalculation(dir, {}, quiet, clock);
    std::printf("retícula %d×%d×%d: cálculo %.2f s\n", g.nx, g.ny, g.nz, seconds(t0));

    const struct {
        const char* caption;
        std::size_t limit;
    } variants[] = {{"tablas abreviadas", vanto::calcreport::ReportOptions{}.tableRowLimit},
                    {"tablas completas", 0}};
    for (const auto& v : variants) {
        std::vector<double> load, write;
        int pages = 0;
        const fs::path out = dir / (v.limit ? "memoria.pdf" : "memoria-completa.pdf");
        for (int r = 0; r < runs; ++r) {
            t0 = Clock::now();
            const vanto::calcreport::ResultSet results =
                vanto::calcreport::loadResultSet(dir, clock);
            load.push_back(seconds(t0));
            t0 = Clock::now();
            vanto::NoProgress progress;
            pages = vanto::calcreport::writeCalculationReport(
                dir, results, out, {.tableRowLimit = v.limit}, progress, clock);
            write.push_back(seconds(t0));
        }
        std::printf(
            "memoria, %s: %d páginas, %.1f MB; lectura de resultados %.2f s, "
            "memoria %.2f s (medianas de %d)\n",
            v.caption, pages, double(fs::file_size(out)) / 1e6, median(load), median(write), runs);
    }
    if (!keep) fs::remove_all(dir);
}
