// vanto-cli calc: calculates a structure and writes its results and listings.

#include <filesystem>
#include <iostream>
#include <string>

#include "analysis/calculation.h"
#include "app/cli/commands.h"
#include "model/structure_data.h"

namespace vanto::cli {

namespace {

// "de la hipótesis H02" or "de las hipótesis H02 a H05".
std::string range(const char* one, const char* many, ResultSet first, int last) {
    if (first.number == last) return std::string(one) + " " + first.code();
    const std::string to = ResultSet{first.kind, last}.code();
    return std::string(many) + " " + first.code() + " a " + to;
}

// The result files of the cases after the first, of the combinations and of
// the envelope, one line each.
std::string otherResults(const LoadCases<float>& cases) {
    std::string text;
    const int n = cases.count(), m = int(cases.combinations.size());
    if (n > 1)
        text += "  " + range("de la hipótesis", "de las hipótesis", {ResultSet::Kind::Case, 2}, n) +
                ": INCOG, ESFUERZO, DESEQUIL y DIAGRAMA.Hkk\n";
    if (m > 0)
        text += "  " +
                range("de la combinación", "de las combinaciones",
                      {ResultSet::Kind::Combination, 1}, m) +
                ": INCOG, ESFUERZO, DESEQUIL y DIAGRAMA.Ccc\n";
    return text + "  la envolvente: " + EnvelopeFileName + "\n";
}

class CalcProgress : public analysis::CalcObserver {
  public:
    CalcProgress()
        : bar_({{analysis::StageAssembly, "Ensamblando la barra nº:"},
                {analysis::StageReduction, "Reduciendo la fila nº:"},
                {analysis::StageBackSubstitution, "Calculando incógnita nº:"},
                {analysis::StageEndForces, "Esfuerzo en la barra nº:"},
                {analysis::StageDiagrams, "Diagrama de la barra nº:"},
                {analysis::StageListing, "Generando listado ..."},
                {analysis::StageCases, "Hipótesis y combinaciones:"},
                {analysis::StageEnvelope, "Envolvente de la barra nº:"}}) {}
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
        const LoadCases<float> cases = loadStructure<float>(absolute, part::Cases).cases;
        if (cases.count() > 1 || !cases.combinations.empty()) std::cout << otherResults(cases);
        return int(Ok);
    });
}

}  // namespace vanto::cli
