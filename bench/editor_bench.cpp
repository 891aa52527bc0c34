// The editor's speed on a large lattice: opening (read, tables, fitted first
// drawing), a full redraw, Paso2D, a pick and the undo of a removed bar, on
// an image of 1000 × 750 pixels through the Qt surface.
//
//   editor_bench                 30×30×10 lattice, eleven runs of each
//   editor_bench NX NY NZ [RUNS]

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench/lattice.h"
#include "bench/timing.h"
#include "editor/editor.h"
#include "ui/qt_surface.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace vanto;

// Milliseconds of `body`, median of `runs`, `prepare` untimed before each.
double timed(int runs, const std::function<void()>& body,
             const std::function<void()>& prepare = {}) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        if (prepare) prepare();
        const auto t0 = Clock::now();
        body();
        t.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return median(t);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    bench::Lattice g{30, 30, 10};
    int runs = 11;
    if (argc >= 4) g = {std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3])};
    if (argc >= 5) runs = std::max(1, std::atoi(argv[4]));
    std::random_device rd;
    const fs::path dir = fs::temp_directory_path() / ("vanto-editor-" + std::to_string(rd()));
    fs::create_directories(dir);
    bench::writeLattice(dir, g);

    QImage image(1000, 750, QImage::Format_RGB32);
    ui::QtSurface surface;
    surface.attach(&image, image.size(), 96);
    std::unique_ptr<editor::Editor> ed;

    const double open = timed(runs, [&] {
        ed = std::make_unique<editor::Editor>(loadStructure<float>(dir, part::All), surface);
        ed->open();
        surface.flush();
    });
    std::printf("%d nodes, %d bars, %d runs (medians)\n", ed->data().nodeCount, ed->data().barCount,
                runs);
    std::printf("  open the editor      %8.2f ms\n", open);
    std::printf("  full redraw (nodes)  %8.2f ms\n", timed(runs, [&] {
                    ed->DibujaEstr();
                    surface.flush();
                }));
    ed->setMode(editor::Mode::Bars);
    std::printf("  full redraw (bars)   %8.2f ms\n", timed(runs, [&] {
                    ed->DibujaEstr();
                    surface.flush();
                }));
    ed->setMode(editor::Mode::Nodes);
    std::printf("  Paso2D               %8.2f ms\n", timed(runs, [&] { ed->Paso2D(); }));
    const int last = ed->data().nodeCount;
    const float u = ed->screen().node(last).u, v = ed->screen().node(last).v;
    std::printf("  pick (last node)     %8.3f ms\n",
                timed(
                    runs, [&] { ed->BuscaPunto(u + 3000, v); }, [&] { ed->BuscaPunto(u, v); }));
    // The worst undo: bar 1 removed moves every later bar; undoing it moves
    // them back and renews the screen tables.
    const int a = itemNumber(ed->data().bars(1, Origin)), b = itemNumber(ed->data().bars(1, End));
    std::printf("  undo (bar 1 removed) %8.3f ms\n",
                timed(
                    runs, [&] { ed->undo(); }, [&] { ed->PonQuitaBarra(a, b); }));
    surface.detach();
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
