// The 3D viewer's speed: one 15° turn with its projection and redraw, the
// step a button click or a drag makes, on a large lattice; and "Encuadrar",
// the fit of the turned figure with its redraw.
//
//   viewer_bench                  30×30×10 lattice, 50 turns of each kind
//   viewer_bench NX NY NZ [RUNS]
//
// Draws on an offscreen 1000×700 image through the Qt surface, and on a
// surface that only counts, to tell the drawing from the arithmetic.

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
#include "ui/qt_surface.h"
#include "ui/recording.h"
#include "viewer/visor.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Counts lines and does nothing else.
class CountingSurface : public vanto::test::RecordingSurface {
  public:
    CountingSurface(double w, double h) : Recorder(w, h) {}
    void clear() override { lines = 0; }
    void line(double, double, double, double) override { ++lines; }
    long lines = 0;
};

// Milliseconds per turn-and-redraw, median of `runs`.
double turns(vanto::viewer::Visor& visor, vanto::Surface& picture, int runs,
             const std::function<void()>& shown = {}) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        visor.Giro(2);
        visor.project();
        visor.draw(picture);
        if (shown) shown();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return median(ms);
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    vanto::bench::Lattice g{30, 30, 10};
    int runs = 50;
    if (argc >= 4) g = {std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3])};
    if (argc >= 5) runs = std::max(1, std::atoi(argv[4]));

    std::random_device rd;
    const fs::path dir = fs::temp_directory_path() / ("vanto-viewer-" + std::to_string(rd()));
    fs::create_directories(dir);
    vanto::bench::writeLattice(dir, g);
    const auto data = vanto::loadStructure<float>(dir, vanto::part::Geometry);
    fs::remove_all(dir);

    QImage image(1000, 700, QImage::Format_RGB32);
    vanto::ui::QtSurface surface;
    surface.attach(&image, QSizeF(1000, 700), 96);
    CountingSurface counting(15000, 10500);

    vanto::viewer::Visor visor;
    visor.load(data);
    std::printf("Lattice %d x %d x %d: %d nodes, %d bars; median of %d turns of 15 degrees\n", g.nx,
                g.ny, g.nz, visor.nodeCount(), visor.barCount(), runs);
    const struct {
        const char* what;
        bool anaglyph, byType;
    } kinds[] = {
        {"single image", false, false}, {"by type", false, true}, {"anaglyph", true, false}};
    for (const auto& k : kinds) {
        visor.anaglyph = k.anaglyph;
        visor.colourByType = k.byType;
        visor.reset(float(surface.scaleWidth()), float(surface.scaleHeight()));
        const double drawn = turns(visor, surface, runs, [&] { surface.flush(); });
        visor.reset(float(counting.scaleWidth()), float(counting.scaleHeight()));
        const double counted = turns(visor, counting, runs);
        std::printf(
            "  %-13s turn + redraw on a 1000x700 image %7.2f ms   (without drawing %6.2f ms, "
            "%ld lines)\n",
            k.what, drawn, counted, counting.lines);
    }
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        visor.Giro(2);
        const auto t0 = Clock::now();
        visor.fitToPicture();
        visor.project();
        visor.draw(surface);
        surface.flush();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::printf("  Encuadrar + redraw (anaglyph) on a 1000x700 image %7.2f ms\n", median(ms));
    return 0;
}
