// vanto-cli calc: calculates a structure and writes its results and listings.

#include <filesystem>
#include <iostream>

#include "analysis/calculation.h"
#include "app/cli/commands.h"

namespace vanto::cli {

namespace {

class CalcProgress : public analysis::CalcObserver {
  public:
    CalcProgress()
        : bar_({{analysis::StageAssembly, "Ensamblando la barra nº:"},
                {analysis::StageReduction, "Reduciendo la fila nº:"},
                {analysis::StageBackSubstitution, "Calculando incógnita nº:"},
                {analysis::StageEndForces, "Esfuerzo en la barra nº:"},
                {analysis::StageDiagrams, "Diagrama de la barra nº:"},
                {analysis::StageListing, "Generando listado ..."}}) {}
    void report(int stage, long long current, long long total) override {
        bar_.report(stage, current, total);
    }
    void warning(const std::string& text) override {
        bar_.finish();
        std::cerr << text << '\n';
    }
    void finish() { bar_.finish(); }

  private:
    TerminalProgress bar_;
};

}  // namespace

int runCalc(const Invocation& call) {
    analysis::CalcOptions options;
    options.writeMatrix = call.has("--matrix");
    options.writeTriangulated = call.has("--triangulated");
    const auto dir = structureDirectory(call.arg(0));
    if (!dir) return BadInput;
    const std::filesystem::path absolute = std::filesystem::absolute(*dir).lexically_normal();

    return guarded([&] {
        CalcProgress progress;
        SystemClock clock;
        try {
            analysis::runCalculation(absolute, options, progress, clock);
        } catch (const analysis::CalculationError& e) {
            progress.finish();
            std::cerr << e.what() << '\n';
            return e.kind() == analysis::CalculationError::Kind::Mechanism ? int(Mechanism)
                                                                           : int(BadInput);
        }
        progress.finish();
        std::cout << "Cálculo terminado. Resultados en " << absolute.string() << ":\n"
                  << "  INCOG.RES, ESFUERZO.RES, DESEQUIL.RES, DIAGRAMA.RES, listado.txt, "
                     "Resultad.res";
        if (options.writeMatrix) std::cout << ", matriz.lsc";
        if (options.writeTriangulated) std::cout << ", matriz.tri";
        std::cout << '\n';
        return int(Ok);
    });
}

}  // namespace vanto::cli
