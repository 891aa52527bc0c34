// vanto-cli diagrams: the results DXF drawings without the window.

#include <charconv>
#include <cmath>
#include <filesystem>
#include <iostream>

#include "analysis/calculation.h"
#include "app/cli/commands.h"
#include "diagrams/results_dxf.h"

namespace vanto::cli {

namespace fs = std::filesystem;

std::optional<double> scaleOption(const Invocation& call, int& status) {
    double scale = 1;
    const std::string& text = call.text("--scale");
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), scale);
    if (ec != std::errc() || end != text.data() + text.size() || !(scale >= 0) ||
        !std::isfinite(scale)) {
        status = call.usageError("la escala debe ser un número no negativo: " + text);
        return std::nullopt;
    }
    return scale;
}

std::optional<diagrams::ShownSet> caseOption(const Invocation& call, int& status) {
    if (!call.has("--case")) return diagrams::ShownSet{};
    const auto shown = diagrams::parseShownSet(call.text("--case"));
    if (!shown)
        status = call.usageError("hipótesis desconocida: " + call.text("--case") +
                                 " (Hkk, Ccc o envolvente)");
    return shown;
}

int runDiagrams(const Invocation& call) {
    int status = Ok;
    double scale = 1;
    if (call.has("--scale")) {
        const auto s = scaleOption(call, status);
        if (!s) return status;
        scale = *s;
    }
    const auto shown = caseOption(call, status);
    if (!shown) return status;
    const auto dir = structureDirectory(call.arg(0));
    if (!dir) return BadInput;
    const fs::path absolute = fs::absolute(*dir).lexically_normal();

    return withProgress<diagrams::DiagramError, analysis::CalculationError>(
        {{1, "Barra nº:"}}, [&](TerminalProgress& progress) {
            const diagrams::DiagramData data = diagrams::loadShownSet(absolute, *shown);
            // capas.dxf sits beside the executable; without it the writer says so.
            std::error_code ec;
            const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
            const fs::path program = ec ? fs::path() : exe.parent_path();
            const std::string suffix = diagrams::dxfSuffix(*shown);
            const auto outcome =
                diagrams::writeResultsDxf(data, absolute, program, scale, &progress, suffix);
            progress.finish();
            if (outcome == diagrams::DxfOutcome::Written)
                std::cout << "Dibujos escritos en "
                          << (absolute / diagrams::dxfName(diagrams::Dxf3DName, suffix)).string()
                          << " y " << diagrams::dxfName(diagrams::Dxf2DName, suffix) << ".\n";
            return Ok;
        });
}

}  // namespace vanto::cli
