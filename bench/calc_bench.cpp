// Times each stage of the calculation on regular lattices and reports the
// band's size and the process's peak memory.
//
//   calc_bench            10×10×10 (three runs) and 30×30×10 (one run)
//   calc_bench NX NY NZ [RUNS]
//   calc_bench compare NX NY NZ [RUNS]
//       side by side, each run in a child process of its own (time, peak
//       memory): the whole calculation; CHOLMOD's bare analyse, factorize and
//       solve of the same equations; the whole calculation with one more bar
//       joining the first and last nodes; the band path's assembly and
//       elimination.
//   calc_bench ordering NX NY NZ     CHOLMOD's time with each ordering
//   calc_bench band NX NY NZ [RUNS]  the band path's assembly and elimination
//   calc_bench cases NX NY NZ [RUNS]
//       the lattice with one load case against the same lattice with ten
//       cases and five combinations, each run in a child process: time and
//       peak memory side by side, and the stages of the run with cases
//   calc_bench stop NX NY NZ [AFTER]
//       a stop AFTER seconds (default 1) into the reduction: how soon the
//       calculation returns, how often the reduction row moved before, and
//       the memory the process holds while the abandoned factorization ends

#include <cholmod.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "analysis/calculation.h"
#include "analysis/engine.h"
#include "bench/lattice.h"
#include "bench/timing.h"
#include "model/structure.h"
#include "model/structure_data.h"

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
        case vanto::analysis::StageCases:
            return "hipótesis (+resultados de la anterior)";
        case vanto::analysis::StageEnvelope:
            return "envolvente";
    }
    return "?";
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

struct Quiet : vanto::analysis::CalcObserver {
    void report(int, long long, long long) override {}
};

struct Measure {
    double seconds = 0;
    double peakMB = 0;
};

// Runs `body` in a child process: its wall time and the child's peak memory.
template <class Body>
Measure inChild(Body body) {
    std::fflush(stdout);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        body();
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    rusage ru{};
    wait4(pid, &status, 0, &ru);
    const double t = std::chrono::duration<double>(Clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::printf("  (el proceso hijo falló)\n");
    return {t, double(ru.ru_maxrss) * 1024 / 1e6};
}

// The free equations as the calculation assembles them.
vanto::analysis::SparseSystem assembled(const std::filesystem::path& dir) {
    const vanto::analysis::StructureData data = vanto::analysis::loadStructure(dir);
    std::vector<double> F = vanto::analysis::byDof(data.loads, data.nodeCount);
    std::vector<double> D = vanto::analysis::byDof(data.restraints, data.nodeCount);
    vanto::analysis::SparseSystem K;
    Quiet quiet;
    vanto::analysis::assembleSparse(data, F, D, K, quiet);
    return K;
}

// CHOLMOD alone: analyse (with `ordering`), factorize and solve. Prints the
// seconds of each step.
void bareCholmod(vanto::analysis::SparseSystem& K, int ordering) {
    cholmod_common c;
    cholmod_start(&c);
    c.supernodal = CHOLMOD_SUPERNODAL;
    if (ordering >= 0) {
        c.nmethods = 1;
        c.method[0].ordering = ordering;
    }
    cholmod_sparse A{};
    A.nrow = A.ncol = std::size_t(K.n);
    A.nzmax = K.values.size();
    A.p = K.colStart.data();
    A.i = K.rowIndex.data();
    A.x = K.values.data();
    A.stype = 1;
    A.itype = CHOLMOD_INT;
    A.xtype = CHOLMOD_REAL;
    A.dtype = CHOLMOD_DOUBLE;
    A.sorted = A.packed = 1;
    cholmod_dense b{};
    b.nrow = b.d = b.nzmax = std::size_t(K.n);
    b.ncol = 1;
    b.x = K.rhs.data();
    b.xtype = CHOLMOD_REAL;
    b.dtype = CHOLMOD_DOUBLE;
    const auto t0 = Clock::now();
    cholmod_factor* L = cholmod_analyze(&A, &c);
    const auto t1 = Clock::now();
    cholmod_factorize(&A, L, &c);
    const auto t2 = Clock::now();
    cholmod_dense* x = cholmod_solve(CHOLMOD_A, L, &b, &c);
    const auto t3 = Clock::now();
    auto s = [](auto a, auto b) { return std::chrono::duration<double>(b - a).count(); };
    std::printf(
        "    análisis %.2f s, factorización %.2f s, solución %.2f s, nnz(L) %.0f, "
        "%.1f Gflop\n",
        s(t0, t1), s(t1, t2), s(t2, t3), c.lnz, c.fl / 1e9);
    cholmod_free_dense(&x, &c);
    cholmod_free_factor(&L, &c);
    cholmod_finish(&c);
}

// The band path's assembly and elimination of the same structure.
void bandPath(const std::filesystem::path& dir) {
    const vanto::analysis::StructureData data = vanto::analysis::loadStructure(dir);
    std::vector<double> F = vanto::analysis::byDof(data.loads, data.nodeCount);
    std::vector<double> D = vanto::analysis::byDof(data.restraints, data.nodeCount);
    vanto::analysis::BandMatrix K(6 * data.nodeCount,
                                  vanto::ComputeHalfBandwidth(data.bars, data.barCount));
    Quiet quiet;
    vanto::SystemClock clock;
    const auto t0 = Clock::now();
    vanto::analysis::Ensambla(data, K, F, D, quiet);
    const auto t1 = Clock::now();
    vanto::analysis::Gauss(K, F, D, quiet, clock);
    const auto t2 = Clock::now();
    std::printf("    banda: ensamblaje %.3f s, reducción y sustitución %.3f s\n",
                std::chrono::duration<double>(t1 - t0).count(),
                std::chrono::duration<double>(t2 - t1).count());
}

void addLongBar(const std::filesystem::path& dir) {
    auto s = vanto::loadStructure<float>(dir, vanto::part::All);
    s.addBar(1, float(s.nodeCount), 1);
    s.save(dir, vanto::part::All);
}

void report(const char* what, std::vector<Measure> m) {
    std::vector<double> t, p;
    for (const Measure& x : m) {
        t.push_back(x.seconds);
        p.push_back(x.peakMB);
    }
    std::printf("  %-44s %8.2f s %8.0f MB  (mediana de %zu)\n", what, median(t), median(p),
                m.size());
}

void compare(const vanto::bench::Lattice& g, int runs, bool band) {
    namespace fs = std::filesystem;
    std::random_device rd;
    const fs::path dir = fs::temp_directory_path() / ("vanto-bench-" + std::to_string(rd()));
    const fs::path longBar = dir.string() + "-barra";
    fs::create_directories(dir);
    vanto::bench::writeLattice(dir, g);
    fs::copy(dir, longBar);
    addLongBar(longBar);
    std::printf("\nRetícula %d×%d×%d: %d grados de libertad\n", g.nx, g.ny, g.nz, 6 * g.nodes());
    std::vector<Measure> whole, bare, joined, banded;
    for (int r = 0; r < runs; ++r) {
        whole.push_back(inChild([&] {
            Quiet quiet;
            vanto::SystemClock clock;
            vanto::analysis::runCalculation(dir, {}, quiet, clock);
        }));
        // The matrix is assembled in the child before the clock there starts.
        bare.push_back(inChild([&] {
            vanto::analysis::SparseSystem K = assembled(dir);
            const auto t0 = Clock::now();
            bareCholmod(K, CHOLMOD_METIS);
            std::printf("    CHOLMOD solo: %.2f s\n",
                        std::chrono::duration<double>(Clock::now() - t0).count());
        }));
        joined.push_back(inChild([&] {
            Quiet quiet;
            vanto::SystemClock clock;
            vanto::analysis::runCalculation(longBar, {}, quiet, clock);
        }));
        if (band) banded.push_back(inChild([&] { bandPath(dir); }));
    }
    report("cálculo completo (vanto)", whole);
    report("CHOLMOD: ensamblaje + análisis + factorización + solución", bare);
    report("cálculo completo, barra del nudo 1 al último", joined);
    if (band) report("banda: ensamblaje + eliminación", banded);
    fs::remove_all(dir);
    fs::remove_all(longBar);
}

void orderings(const vanto::bench::Lattice& g) {
    namespace fs = std::filesystem;
    std::random_device rd;
    const fs::path dir = fs::temp_directory_path() / ("vanto-bench-" + std::to_string(rd()));
    fs::create_directories(dir);
    vanto::bench::writeLattice(dir, g);
    for (auto [name, ordering] : {std::pair{"AMD", CHOLMOD_AMD},
                                  {"METIS", CHOLMOD_METIS},
                                  {"NESDIS", CHOLMOD_NESDIS},
                                  {"por defecto", -1}}) {
        std::printf("  %s\n", name);
        inChild([&] {
            vanto::analysis::SparseSystem K = assembled(dir);
            bareCholmod(K, ordering);
        });
    }
    fs::remove_all(dir);
}

// Ten load cases and five combinations for a lattice on disk: case 1 its own
// loads; cases 2..10 a horizontal load on every node, along X or Y and
// growing with the case, and a load across every beam; combinations of the
// first case with two others each.
void addCases(const std::filesystem::path& dir) {
    auto s = vanto::loadStructure<float>(dir, vanto::part::All);
    for (int k = 2; k <= 10; ++k) {
        s.cases.addCase("Hipótesis " + std::to_string(k), s.nodeCount, s.barCount);
        auto& c = s.cases.loadCase(k);
        for (int n = 1; n <= s.nodeCount; ++n)
            c.nodeLoads(n, k % 2 ? 1 : 2) = 0.1f * float(k);
        for (int b = 1; b <= s.barCount; ++b)
            if (s.bars(b, vanto::Type) == 1) c.barLoads(b, 2) = -0.25f * float(k);
    }
    for (int c = 1; c <= 5; ++c) {
        std::vector<double> factors(10, 0.0);
        factors[0] = 1.35;
        factors[std::size_t(2 * c - 1)] = 1.5;
        factors[std::size_t(2 * c) % 10] += 0.9;
        s.cases.combinations.push_back({"Combinación " + std::to_string(c), factors});
    }
    s.save(dir, vanto::part::Cases);
}

void casesAgainstOne(const vanto::bench::Lattice& g, int runs) {
    namespace fs = std::filesystem;
    std::random_device rd;
    const fs::path one = fs::temp_directory_path() / ("vanto-bench-" + std::to_string(rd()));
    const fs::path many = one.string() + "-hipotesis";
    fs::create_directories(one);
    vanto::bench::writeLattice(one, g);
    fs::copy(one, many);
    addCases(many);
    const int dofs = 6 * g.nodes();
    std::printf(
        "\nRetícula %d×%d×%d: %d grados de libertad; 1 hipótesis frente a 10 hipótesis "
        "y 5 combinaciones\n",
        g.nx, g.ny, g.nz, dofs);
    std::vector<Measure> single, several;
    // Each child prints the seconds until its equations are solved (reading,
    // assembly, factorization and solution), then, the first time, its stages.
    auto calculate = [](const fs::path& dir, const char* what, bool stages) {
        StageTimer timer;
        vanto::SystemClock clock;
        const auto start = Clock::now();
        vanto::analysis::runCalculation(dir, {}, timer, clock);
        const auto d = timer.durations(start, Clock::now());
        double solved = 0;
        for (auto [stage, t] : d)
            if (stage <= vanto::analysis::StageBackSubstitution) solved += t;
        std::printf("    %s: ecuaciones resueltas en %.2f s\n", what, solved);
        if (stages)
            for (auto [stage, t] : d)
                std::printf("      %-40s %8.3f s\n", stageName(stage), t);
    };
    for (int r = 0; r < runs; ++r) {
        single.push_back(inChild([&] { calculate(one, "una hipótesis", false); }));
        several.push_back(inChild([&] { calculate(many, "10 hipótesis", r == 0); }));
    }
    report("una hipótesis", single);
    report("10 hipótesis y 5 combinaciones", several);
    auto med = [](const std::vector<Measure>& m, bool memory) {
        std::vector<double> v;
        for (const Measure& x : m)
            v.push_back(memory ? x.peakMB : x.seconds);
        return median(v);
    };
    // Displacements of every case and combination, the right-hand sides and
    // the solutions of the other nine cases.
    const double vectors = (15.0 + 3 * 9) * dofs * 8 / 1e6;
    std::printf("  razón de tiempos %.2f; memoria %+.0f MB (vectores de resultados: %.0f MB)\n",
                med(several, false) / med(single, false), med(several, true) - med(single, true),
                vectors);
    fs::remove_all(one);
    fs::remove_all(many);
}

// The process's resident memory, MB.
double residentMB() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    long pages = 0, resident = 0;
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / 1e6;
}

// Asks to stop `after` seconds into the reduction.
class StopDuringReduction : public vanto::analysis::CalcObserver {
  public:
    explicit StopDuringReduction(double after) : after_(after) {}
    void report(int stage, long long current, long long) override {
        if (stage != vanto::analysis::StageReduction) return;
        if (reductionStart_ == Clock::time_point{}) reductionStart_ = Clock::now();
        if (current != last_) ++moves_;
        last_ = current;
    }
    bool stopRequested() override {
        if (reductionStart_ == Clock::time_point{}) return false;
        if (stoppedAt_ == Clock::time_point{} &&
            std::chrono::duration<double>(Clock::now() - reductionStart_).count() >= after_)
            stoppedAt_ = Clock::now();
        return stoppedAt_ != Clock::time_point{};
    }
    Clock::time_point stoppedAt_{};
    int moves_ = 0;
    long long last_ = -1;

  private:
    double after_;
    Clock::time_point reductionStart_{};
};

void stopLatency(const vanto::bench::Lattice& g, double after) {
    namespace fs = std::filesystem;
    std::random_device rd;
    const fs::path dir = fs::temp_directory_path() / ("vanto-bench-" + std::to_string(rd()));
    fs::create_directories(dir);
    vanto::bench::writeLattice(dir, g);
    inChild([&] {
        StopDuringReduction observer(after);
        vanto::SystemClock clock;
        const auto outcome = vanto::analysis::runCalculation(dir, {}, observer, clock);
        const auto returned = Clock::now();
        std::printf("\nRetícula %d×%d×%d: parada %.1f s después de empezar la reducción\n", g.nx,
                    g.ny, g.nz, after);
        std::printf(
            "  %s; vuelve %.3f s después de pedirla; la fila \"Reduciendo\" se movió "
            "%d veces\n",
            outcome == vanto::analysis::CalcOutcome::Stopped ? "parado" : "terminado",
            std::chrono::duration<double>(returned - observer.stoppedAt_).count(), observer.moves_);
        const double held = residentMB();
        std::printf("  memoria residente al volver: %.0f MB\n", held);
        for (int k = 0; k < 240 && residentMB() > held / 2; ++k)
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        std::printf("  %.0f s después, al acabar la factorización abandonada: %.0f MB\n",
                    std::chrono::duration<double>(Clock::now() - returned).count(), residentMB());
    });
    fs::remove_all(dir);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 5 && std::string(argv[1]) == "stop") {
        stopLatency({std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4])},
                    argc >= 6 ? std::atof(argv[5]) : 1.0);
        return 0;
    }
    if (argc >= 5 && std::string(argv[1]) == "cases") {
        casesAgainstOne({std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4])},
                        argc >= 6 ? std::atoi(argv[5]) : 3);
        return 0;
    }
    if (argc >= 5 && std::string(argv[1]) == "compare") {
        const vanto::bench::Lattice g{std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4])};
        const int runs = argc >= 6 ? std::atoi(argv[5]) : 3;
        compare(g, runs, argc < 7 || std::string(argv[6]) != "noband");
        return 0;
    }
    if (argc >= 5 && std::string(argv[1]) == "band") {
        namespace fs = std::filesystem;
        const vanto::bench::Lattice g{std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4])};
        std::random_device rd;
        const fs::path dir = fs::temp_directory_path() / ("vanto-bench-" + std::to_string(rd()));
        fs::create_directories(dir);
        vanto::bench::writeLattice(dir, g);
        std::vector<Measure> m;
        for (int r = 0; r < (argc >= 6 ? std::atoi(argv[5]) : 3); ++r)
            m.push_back(inChild([&] { bandPath(dir); }));
        report("banda: lectura + ensamblaje + eliminación", m);
        fs::remove_all(dir);
        return 0;
    }
    if (argc >= 5 && std::string(argv[1]) == "ordering") {
        orderings({std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4])});
        return 0;
    }
    if (argc >= 4) {
        run({std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3])},
            argc >= 5 ? std::atoi(argv[4]) : 1);
        return 0;
    }
    run({10, 10, 10}, 3);
    run({30, 30, 10}, 1);
    return 0;
}
