// Complete renumbering study of a 30 × 30 × 10 lattice (9000 nodes, 25500
// bars), and the literal rule on a 10 × 10 × 5 lattice for comparison.
//
// Usage: renumber_bench [runs]   (default 5; medians are printed)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "bench/timing.h"
#include "renumber/lattice.h"
#include "bench/literal_rule.h"
#include "renumber/renumbering.h"

namespace {

using vanto::renumber::Renumbering;
using vanto::renumber::StructureData;

double seconds(const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

struct Best {
    int start = 0;
    int width = 0;
};

// The study as the window runs it (trials cut short once they cannot win).
Best study(const StructureData& d) {
    Renumbering r(d);
    r.studyAll();
    return {r.BestStart(), r.BestWidth()};
}

// Every trial numbered to the end, for comparison with the cut-short study.
Best fullTrials(const StructureData& d) {
    Renumbering r(d);
    Best b{0, r.InitialWidth()};
    for (int s = 1; s <= d.nodeCount; ++s) {
        const auto n = r.renumeracion(s);
        if (n && n->width < b.width) b = {s, n->width};
    }
    return b;
}

Best literal(const StructureData& d) {
    const int initial = Renumbering(d).InitialWidth();
    const auto s =
        vanto::test::literalStudy(d.bars, d.barCount, d.nodeCount, 1, d.nodeCount, initial, 0);
    return {s.bestStart, s.bestWidth};
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    const StructureData big = vanto::test::lattice(30, 30, 10);
    std::printf("Retícula 30 x 30 x 10: %d nudos, %d barras, ancho inicial %d\n", big.nodeCount,
                big.barCount, Renumbering(big).InitialWidth());
    std::vector<double> tStudy, tFull;
    Best bStudy, bFull;
    for (int i = 0; i < runs; ++i) {
        tStudy.push_back(seconds([&] { bStudy = study(big); }));
        tFull.push_back(seconds([&] { bFull = fullTrials(big); }));
    }
    std::printf("  estudio completo:            mediana %.3f s (%d pasadas)  nudo %d, ancho %d\n",
                median(tStudy), runs, bStudy.start, bStudy.width);
    std::printf("  todas las pruebas completas: mediana %.3f s (%d pasadas)  nudo %d, ancho %d\n",
                median(tFull), runs, bFull.start, bFull.width);

    const StructureData small = vanto::test::lattice(10, 10, 5);
    std::vector<double> tSmall, tLiteral;
    Best bSmall, bLiteral;
    const int literalRuns = std::min(runs, 3);
    for (int i = 0; i < literalRuns; ++i) {
        tSmall.push_back(seconds([&] { bSmall = study(small); }));
        tLiteral.push_back(seconds([&] { bLiteral = literal(small); }));
    }
    std::printf("Retícula 10 x 10 x 5: %d nudos, %d barras\n", small.nodeCount, small.barCount);
    std::printf("  estudio completo:  mediana %.6f s  nudo %d, ancho %d\n", median(tSmall),
                bSmall.start, bSmall.width);
    std::printf("  regla literal:     mediana %.3f s  nudo %d, ancho %d\n", median(tLiteral),
                bLiteral.start, bLiteral.width);
    // The literal rule grows as nodes² · bars.
    const double scale = double(big.nodeCount) * big.nodeCount * big.barCount /
                         (double(small.nodeCount) * small.nodeCount * small.barCount);
    std::printf("  regla literal extrapolada a 30 x 30 x 10: unas %.1f h\n",
                median(tLiteral) * scale / 3600);

    const bool same = bStudy.start == bFull.start && bStudy.width == bFull.width &&
                      bSmall.start == bLiteral.start && bSmall.width == bLiteral.width;
    if (!same) std::printf("¡Los resultados no coinciden!\n");
    return same ? 0 : 1;
}
