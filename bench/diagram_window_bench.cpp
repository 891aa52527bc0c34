// The diagram window's speed after a calculation: opening it (loading the
// results and the first picture) and a redraw with all seven diagrams.
//
//   diagram_window_bench            30×30×10 lattice, five runs of each
//   diagram_window_bench NX NY NZ [RUNS]
//
// Runs headless (QT_QPA_PLATFORM=offscreen) unless a display is set.

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

#include "analysis/calculation.h"
#include "bench/calculated.h"
#include "bench/lattice.h"
#include "bench/timing.h"
#include "mainwin/diagram_window.h"
#include "model/platform.h"
#include "ui/recording.h"

namespace {

namespace fs = std::filesystem;
using vanto::bench::Clock;
using vanto::bench::Quiet;
using vanto::bench::seconds;

// Takes every call and draws nothing: the picture's own arithmetic.
class NullSurface : public vanto::Surface {
  public:
    double widthTwips() const override { return w_; }
    double heightTwips() const override { return h_; }
    void setScale(double, double, double w, double h) override { w_ = w, h_ = h; }
    void resetScale() override {}
    double scaleLeft() const override { return 0; }
    double scaleTop() const override { return 0; }
    double scaleWidth() const override { return w_; }
    double scaleHeight() const override { return h_; }
    void setForeground(vanto::Colour) override {}
    void setBackground(vanto::Colour) override {}
    void setPenMode(vanto::PenMode) override {}
    void setLineWidth(int) override {}
    void setLineStyle(vanto::LineStyle) override {}
    void setFont(const vanto::Font&) override {}
    void clear() override {}
    void moveTo(double, double) override {}
    void line(double, double, double, double) override { ++lines; }
    void lineTo(double, double) override { ++lines; }
    void point(double, double) override {}
    void rectangle(double, double, double, double) override {}
    void fillBox(double, double, double, double) override {}
    void circle(double, double, double, std::optional<vanto::Colour>) override {}
    using Surface::text;
    void text(std::string_view) override {}
    double textWidth(std::string_view) override { return 0; }
    double textHeight(std::string_view) override { return 0; }
    long lines = 0;

  private:
    double w_ = 1, h_ = 1;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vanto::bench::Lattice g{30, 30, 10};
    int runs = 5;
    if (argc >= 4) g = {std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3])};
    if (argc >= 5) runs = std::max(1, std::atoi(argv[4]));

    std::random_device rd;
    const fs::path dir = fs::temp_directory_path() / ("vanto-dwin-" + std::to_string(rd()));
    fs::create_directories(dir);
    vanto::bench::writeLattice(dir, g);
    Quiet observer;
    vanto::SystemClock clock;
    vanto::analysis::runCalculation(dir, {}, observer, clock);

    vanto::test::TestContext context;
    context.session().settings.StructureDirectory = dir.string();
    std::vector<double> open, redraw, bare, core;
    long lines = 0;
    int bars = 0;
    for (int r = 0; r < runs; ++r) {
        const auto t0 = Clock::now();
        vanto::DiagramWindow w(context);
        w.resize(1500, 950);
        w.show();
        app.processEvents();
        open.push_back(seconds(t0));
        bars = w.picture()->data().barCount;
        for (QCheckBox* c : w.Ver)
            c->setChecked(true);  // each redraws once
        const auto t1 = Clock::now();
        w.Redibuja_Click();  // with "Valores", ticked on opening
        redraw.push_back(seconds(t1));
        w.Valores->setChecked(false);
        const auto t3 = Clock::now();
        w.Redibuja_Click();
        bare.push_back(seconds(t3));
        NullSurface null;
        null.setScale(0, 0, w.Dib->surface().scaleWidth(), w.Dib->surface().scaleHeight());
        const auto t2 = Clock::now();
        w.picture()->DibujaEstr(null, 1, w.options());
        core.push_back(seconds(t2));
        lines = null.lines;
        w.close();
    }
    std::printf("retícula %d×%d×%d (%d barras), mediana de %d:\n", g.nx, g.ny, g.nz, bars, runs);
    std::printf("  abrir la ventana (datos, resultados, dibujo): %.3f s\n", median(open));
    std::printf("  redibujo con los siete diagramas y sus valores: %.1f ms\n",
                1000 * median(redraw));
    std::printf("  redibujo con los siete diagramas sin valores: %.1f ms\n", 1000 * median(bare));
    std::printf("  el mismo dibujo sin pintar (%ld líneas): %.1f ms\n", lines, 1000 * median(core));
    fs::remove_all(dir);
    return 0;
}
