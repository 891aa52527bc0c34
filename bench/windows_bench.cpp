// The windows' speed: the calculation window against the calculation alone
// and against vanto-cli, how soon closing the window stops the elimination,
// and how fast the main window's preview redraws a large structure.
//
//   windows_bench                 30×30×10 lattice, three runs of each
//   windows_bench NX NY NZ [RUNS]
//
// Runs headless (QT_QPA_PLATFORM=offscreen) unless a display is set.

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "analysis/calculation.h"
#include "bench/lattice.h"
#include "bench/timing.h"
#include "editor/preview.h"
#include "mainwin/calculation_window.h"
#include "model/files.h"
#include "ui/qt_surface.h"
#include "ui/recording.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

fs::path freshDirectory(const char* what) {
    std::random_device rd;
    const fs::path dir =
        fs::temp_directory_path() / (std::string("vanto-") + what + "-" + std::to_string(rd()));
    fs::create_directories(dir);
    return dir;
}

struct Quiet : vanto::analysis::CalcObserver {
    void report(int, long long, long long) override {}
};

double runLibrary(const fs::path& dir) {
    Quiet quiet;
    vanto::SystemClock clock;
    const auto t0 = Clock::now();
    vanto::analysis::runCalculation(dir, {}, quiet, clock);
    return seconds(Clock::now() - t0);
}

double runCli(const fs::path& cli, const fs::path& dir) {
    const std::string command =
        "\"" + cli.string() + "\" calc \"" + dir.string() + "\" >/dev/null 2>&1";
    const auto t0 = Clock::now();
    const int status = std::system(command.c_str());
    const double t = seconds(Clock::now() - t0);
    return status == 0 ? t : -1;
}

double runWindow(vanto::test::TestContext& context) {
    vanto::CalculationWindow w(context);
    w.show();
    QCoreApplication::processEvents();
    const auto t0 = Clock::now();
    w.Comenzar_Click();
    const double t = seconds(Clock::now() - t0);
    if (!context.recorded().shown.empty())
        std::printf("  aviso: %s\n", context.recorded().shown.back().text.c_str());
    return t;
}

// Closes the window once the elimination has done `fraction` of its rows and
// returns the seconds from the close to the calculation's return.
double stopLatency(vanto::test::TestContext& context, double fraction, int dofCount) {
    vanto::CalculationWindow w(context);
    w.show();
    Clock::time_point closedAt{};
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &w, [&] {
        const int row = w.findChild<QLabel*>("fi1")->text().toInt();
        if (closedAt == Clock::time_point{} && row >= fraction * dofCount) {
            closedAt = Clock::now();
            w.close();
        }
    });
    watch.start(1);
    w.Comenzar_Click();
    const auto returned = Clock::now();
    if (closedAt == Clock::time_point{}) return -1;
    if (vanto::fileExists(context.session().settings.StructureDirectory, "INCOG.RES"))
        std::printf("  ¡INCOG.RES escrito tras cerrar!\n");
    return seconds(returned - closedAt);
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
        !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The headless platform's notes on window sizes are noise here.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && !text.contains("propagateSizeHints") &&
            !text.contains("XDG_RUNTIME_DIR"))
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication app(argc, argv);
    vanto::bench::Lattice g{30, 30, 10};
    int runs = 3;
    if (argc >= 4) g = {std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3])};
    if (argc >= 5) runs = std::max(1, std::atoi(argv[4]));

    const fs::path dir = freshDirectory("bench");
    vanto::bench::writeLattice(dir, g);
    vanto::StructureCounts counts;
    vanto::DiscoX::readDatos(dir, counts);
    std::printf("Retícula %d×%d×%d: %d nudos, %d barras, %d incógnitas\n", g.nx, g.ny, g.nz,
                counts.NodeCount, counts.BarCount, counts.DofCount);

    vanto::test::TestContext context;
    context.session().settings.StructureDirectory = dir.string();
    const fs::path cli =
        fs::path(QCoreApplication::applicationDirPath().toStdString()) / "vanto-cli";
    const bool haveCli = fs::exists(cli);

    // Side by side in each round, so that the machine's load hits all alike.
    std::vector<double> lib, win, cl;
    for (int r = 0; r < runs; ++r) {
        if (haveCli) cl.push_back(runCli(cli, dir));
        lib.push_back(runLibrary(dir));
        win.push_back(runWindow(context));
        std::printf("  ronda %d: vanto-cli %.3f s, cálculo solo %.3f s, ventana %.3f s\n", r + 1,
                    haveCli ? cl.back() : 0.0, lib.back(), win.back());
    }
    const double mLib = median(lib), mWin = median(win), mCli = median(cl);
    std::printf("Cálculo (mediana de %d)\n", runs);
    if (haveCli) std::printf("  vanto-cli calc           %8.3f s\n", mCli);
    std::printf("  cálculo sin ventana      %8.3f s\n", mLib);
    std::printf("  ventana de cálculo       %8.3f s\n", mWin);
    if (haveCli) std::printf("  ventana / vanto-cli      %+7.1f %%\n", 100 * (mWin / mCli - 1));
    std::printf("  ventana / cálculo solo   %+7.1f %%\n", 100 * (mWin / mLib - 1));

    std::vector<double> stops;
    for (int r = 0; r < runs; ++r) {
        for (const char* f : {"INCOG.RES", "ESFUERZO.RES", "DESEQUIL.RES", "DIAGRAMA.RES"})
            fs::remove(vanto::findFile(dir, f));
        stops.push_back(stopLatency(context, 0.3 + 0.2 * r, counts.DofCount));
    }
    std::printf(
        "Cierre durante la reducción: la ventana se va en %.3f s (mediana de %d, máx. %.3f s)\n",
        median(stops), runs, *std::max_element(stops.begin(), stops.end()));
    fs::remove_all(dir);

    // The preview of about 10 000 bars, redrawn as a drag step would.
    const fs::path big = freshDirectory("preview");
    const vanto::bench::Lattice p{21, 21, 9};
    vanto::bench::writeLattice(big, p);
    vanto::editor::Preview preview;
    preview.load(big);
    vanto::ui::PictureBox box;
    box.resize(900, 640);
    box.show();
    QCoreApplication::processEvents();
    std::vector<double> draws;
    vanto::PointerEvent pointer;
    pointer.buttons = vanto::Button::Left;
    preview.press(pointer);
    for (int i = 0; i < 40; ++i) {
        const auto t0 = Clock::now();
        pointer.x = (i + 1) * 50.0;
        pointer.y = (i % 2) * 50.0;
        preview.drag(pointer);
        preview.draw(box.surface());
        box.repaint();
        draws.push_back(seconds(Clock::now() - t0));
    }
    std::printf(
        "Vista preliminar de %d barras: %.1f ms por redibujo (mediana de 40, máx. %.1f ms)\n",
        preview.barCount(), 1000 * median(draws),
        1000 * *std::max_element(draws.begin(), draws.end()));
    fs::remove_all(big);
    return 0;
}
