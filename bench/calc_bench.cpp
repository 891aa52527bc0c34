// Times each stage of the calculation on regular lattices and reports the
// band's size and the process's peak memory.
//
//   calc_bench            10×10×10 (three runs) and 30×30×10 (one run)
//   calc_bench NX NY NZ [RUNS]

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <vector>

#include "analysis/calculation.h"
#include "bench/lattice.h"
#include "model/structure.h"

namespace {

using Clock = std::chrono::steady_clock;

// Records when each stage first reports.
class StageTimer : public vanto::analysis::CalcObserver {
  public:
    void report(int stage, long long, long long) override {
        if (stage != current_) {
            marks_.push_back({stage, Clock::now()});
            current_ = stage;
        }
    }
    std::map<int, double> durations(Clock::time_point start, Clock::time_point end) const {
        std::map<int, double> d;
        d[0] = std::chrono::duration<double>((marks_.empty() ? end : marks_[0].second) - start)
                   .count();
        for (std::size_t k = 0; k < marks_.size(); ++k) {
            const auto to = k + 1 < marks_.size() ? marks_[k + 1].second : end;
            d[marks_[k].first] += std::chrono::duration<double>(to - marks_[k].second).count();
        }
        return d;
    }

  private:
    int current_ = -1;
    std::vector<std::pair<int, Clock::time_point>> marks_;
};

const char* stageName(int s) {
    switch (s) {
        case 0:
            return "lectura de datos";
        case vanto::analysis::StageAssembly:
            return "ensamblaje";
        case vanto::analysis::StageReduction:
            return "reducción";
        case vanto::analysis::StageBackSubstitution:
            return "sustitución";
        case vanto::analysis::StageEndForces:
            return "esfuerzos (+INCOG.RES)";
        case vanto::analysis::StageDiagrams:
            return "diagramas (+ESFUERZO, DESEQUIL)";
        case vanto::analysis::StageListing:
            return "listados (+DIAGRAMA.RES)";
    }
    return "?";
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void run(const vanto::bench::Lattice& g, int runs) {
    namespace fs = std::filesystem;
    std::random_device rd;
    const fs::path dir = fs::temp_directory_path() / ("vanto-bench-" + std::to_string(rd()));
    fs::create_directories(dir);
    vanto::bench::writeLattice(dir, g);
    const int n = 6 * g.nodes();
    int hb = 0;
    {
        vanto::StructureCounts c;
        vanto::DiscoX::readDatos(dir, c);
        hb = vanto::ComputeHalfBandwidth(vanto::DiscoX::readBars(dir, c.BarCount), c.BarCount);
        std::printf(
            "\nRetícula %d×%d×%d: %d nudos, %d barras, DofCount %d, semiancho de banda %d\n", g.nx,
            g.ny, g.nz, g.nodes(), c.BarCount, n, hb);
    }
    const double bandBytes = double(hb) * n * 8;
    std::printf("Banda: %d × %d × 8 bytes = %.1f MB\n", hb, n, bandBytes / 1e6);

    std::map<int, std::vector<double>> stages;
    std::vector<double> totals;
    vanto::SystemClock clock;
    for (int r = 0; r < runs; ++r) {
        StageTimer timer;
        const auto start = Clock::now();
        vanto::analysis::runCalculation(dir, {}, timer, clock);
        const auto end = Clock::now();
        for (auto [s, t] : timer.durations(start, end))
            stages[s].push_back(t);
        totals.push_back(std::chrono::duration<double>(end - start).count());
    }
    for (const auto& [s, times] : stages)
        std::printf("  %-34s %8.3f s\n", stageName(s), median(times));
    std::printf("  %-34s %8.3f s  (mediana de %d)\n", "total", median(totals), runs);
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    const double peak = double(ru.ru_maxrss) * 1024;
    std::printf("Memoria máxima del proceso: %.1f MB = %.3f × la banda\n", peak / 1e6,
                peak / bandBytes);
    fs::remove_all(dir);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4) {
        run({std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3])},
            argc >= 5 ? std::atoi(argv[4]) : 1);
        return 0;
    }
    run({10, 10, 10}, 3);
    run({30, 30, 10}, 1);
    return 0;
}
