// Structure generation and exchange at working sizes:
//  - DXF import of a drawing of 100,000 LINE entities (whole import: reading,
//    node matching, files written and completed), and the node matching alone;
//  - the node matching by cells against the literal search of the nodes in
//    order, on a 10,000-line part of the same drawing (equal numbering checked);
//  - the 30 × 30 × 10 lattice with its files (completion included);
//  - the DXF export of that lattice.
//
// Usage: exchange_bench [runs]   (default 5; medians are printed)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

#include "bench/timing.h"
#include "exchange/dxf_export.h"
#include "exchange/dxf_import.h"
#include "exchange/lattice.h"
#include "model/helpers.h"
#include "support/tempdir.h"

namespace {

using namespace vanto;
using namespace vanto::exchange;

double seconds(const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

class QuietMessages : public Messages {
  public:
    MessageAnswer show(std::string_view, std::string_view, MessageIcon, MessageButtons) override {
        return MessageAnswer::Ok;
    }
};

// The bars of a 3D frame of beams and columns, 2.5 m apart, as a drawing would
// hold them: every end off its grid point by up to 5 mm, so that matching
// within the tolerance is needed.
std::vector<DxfLine> frameLines(std::size_t count) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> jitter(-0.005f, 0.005f);
    auto point = [&](int i, int j, int k) {
        return Point{2.5f * i + jitter(rng), 2.5f * j + jitter(rng), 2.5f * k + jitter(rng)};
    };
    const int side = 30;
    std::vector<DxfLine> lines;
    for (int k = 0; lines.size() < count; ++k)
        for (int i = 0; i < side && lines.size() < count; ++i)
            for (int j = 0; j < side && lines.size() < count; ++j) {
                const Point p = point(i, j, k);
                if (i + 1 < side) lines.push_back({p, point(i + 1, j, k)});
                if (j + 1 < side && lines.size() < count) lines.push_back({p, point(i, j + 1, k)});
                if (lines.size() < count) lines.push_back({p, point(i, j, k + 1)});
            }
    return lines;
}

std::string dxfText(const std::vector<DxfLine>& lines) {
    std::string s = "  0\nSECTION\n  2\nENTITIES\n";
    for (const DxfLine& l : lines) {
        s += "  0\nLINE\n  8\nESTRUCTURA\n";
        const float v[6] = {l.start.x, l.start.y, l.start.z, l.end.x, l.end.y, l.end.z};
        const char* codes[6] = {" 10", " 20", " 30", " 11", " 21", " 31"};
        for (int c = 0; c < 6; ++c)
            s += std::string(codes[c]) + "\n" + writtenValue(v[c]) + "\n";
    }
    return s + "  0\nENDSEC\n  0\nEOF\n";
}

std::vector<int> linearNumbers(const std::vector<DxfLine>& lines) {
    std::vector<Point> nodes;
    std::vector<int> out;
    auto find = [&](const Point& p) {
        std::size_t n = 0;
        while (n < nodes.size() && !coincident(nodes[n], p))
            ++n;
        if (n == nodes.size()) nodes.push_back(p);
        return int(n) + 1;
    };
    for (const DxfLine& l : lines) {
        out.push_back(find(l.start));
        out.push_back(find(l.end));
    }
    return out;
}

std::vector<int> indexNumbers(const std::vector<DxfLine>& lines) {
    NodeIndex index;
    std::vector<int> out;
    for (const DxfLine& l : lines) {
        out.push_back(index.findOrAdd(l.start));
        out.push_back(index.findOrAdd(l.end));
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QuietMessages quiet;

    const auto lines = frameLines(100000);
    test::TempDir work;
    work.write("marco.dxf", dxfText(lines));
    std::vector<double> whole, matching;
    Summary s;
    for (int r = 0; r < runs; ++r) {
        whole.push_back(seconds([&] { s = dxfin(work.path(), work / "marco.dxf", quiet); }));
        matching.push_back(seconds([&] { buildDxfGeometry(lines, nullptr); }));
    }
    std::printf("DXF import, %zu LINE entities -> %d nodes, %d bars\n", lines.size(), s.nodeCount,
                s.barCount);
    std::printf("  whole import (read, match, write, complete): %8.1f ms\n", median(whole) * 1e3);
    std::printf("  node matching alone:                         %8.1f ms\n",
                median(matching) * 1e3);

    const std::vector<DxfLine> part(lines.begin(), lines.begin() + 10000);
    std::vector<double> byCells, linear;
    bool same = true;
    for (int r = 0; r < runs; ++r) {
        std::vector<int> a, b;
        byCells.push_back(seconds([&] { a = indexNumbers(part); }));
        linear.push_back(seconds([&] { b = linearNumbers(part); }));
        same = same && a == b;
    }
    std::printf("Node matching, %zu lines: cells %.2f ms, linear search %.1f ms; numbering %s\n",
                part.size(), median(byCells) * 1e3, median(linear) * 1e3,
                same ? "identical" : "DIFFERENT");

    LatticeOptions o;
    o.nx = 30;
    o.ny = 30;
    o.nz = 10;
    o.foundationBeams = true;
    std::vector<double> lattice, exported;
    for (int r = 0; r < runs; ++r) {
        test::TempDir dir;
        lattice.push_back(seconds([&] { s = generateLattice(dir.path(), o); }));
        exported.push_back(seconds([&] { dxfout(dir.path(), dir / "Estruct", true); }));
    }
    std::printf("Lattice 30 x 30 x 10 (%d nodes, %d bars) with its files: %8.1f ms\n", s.nodeCount,
                s.barCount, median(lattice) * 1e3);
    std::printf("DXF export of that lattice:                            %8.1f ms\n",
                median(exported) * 1e3);
    return same ? 0 : 1;
}
