// vanto-cli calc DIR [--matrix] [--triangulated]

#include <filesystem>
#include <iostream>

#include "analysis/calculation.h"
#include "app/cli/commands.h"

namespace vanto::cli {

namespace {

const Command calcCommand{"calc", "DIR [--matrix] [--triangulated]", "", nullptr};

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
    void finish() { bar_.finish(); }

  private:
    TerminalProgress bar_;
};

}  // namespace

int runCalc(const Args& args) {
    std::string dirArg;
    analysis::CalcOptions options;
    for (const std::string& a : args) {
        if (a == "--matrix")
            options.writeMatrix = true;
        else if (a == "--triangulated")
            options.writeTriangulated = true;
        else if (a.rfind("--", 0) == 0)
            return usageError(calcCommand, "opción desconocida: " + a);
        else if (dirArg.empty())
            dirArg = a;
        else
            return usageError(calcCommand, "sobra el argumento: " + a);
    }
    if (dirArg.empty()) return usageError(calcCommand, "falta el directorio de la estructura");
    const auto dir = structureDirectory(dirArg);
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
