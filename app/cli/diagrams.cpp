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

int runDiagrams(const Invocation& call) {
    double scale = 1;
    if (call.has("--scale")) {
        const std::string& text = call.text("--scale");
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), scale);
        if (ec != std::errc() || end != text.data() + text.size() || !(scale >= 0) ||
            !std::isfinite(scale))
            return call.usageError("la escala debe ser un número no negativo: " + text);
    }
    const auto dir = structureDirectory(call.arg(0));
    if (!dir) return BadInput;
    const fs::path absolute = fs::absolute(*dir).lexically_normal();

    return withProgress<diagrams::DiagramError, analysis::CalculationError>(
        {{1, "Barra nº:"}}, [&](TerminalProgress& progress) {
            const diagrams::DiagramData data = diagrams::loadDiagramData(absolute);
            // capas.dxf sits beside the executable; without it the writer says so.
            std::error_code ec;
            const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
            const fs::path program = ec ? fs::path() : exe.parent_path();
            const auto outcome =
                diagrams::writeResultsDxf(data, absolute, program, scale, &progress);
            progress.finish();
            if (outcome == diagrams::DxfOutcome::Written)
                std::cout << "Dibujos escritos en " << (absolute / diagrams::Dxf3DName).string()
                          << " y " << diagrams::Dxf2DName << ".\n";
            return Ok;
        });
}

}  // namespace vanto::cli
