// vanto-cli report: the calculation report of a calculated structure, a PDF.

#include <filesystem>
#include <iostream>
#include <system_error>

#include "analysis/calculation.h"
#include "app/cli/commands.h"
#include "calcreport/report.h"

namespace vanto::cli {

namespace fs = std::filesystem;

int runReport(const Invocation& call) {
    const auto dir = structureDirectory(call.arg(0));
    if (!dir) return BadInput;
    const fs::path absolute = fs::absolute(*dir).lexically_normal();
    const fs::path out =
        call.has("--out") ? fs::path(call.text("--out")) : absolute / calcreport::ReportName;
    calcreport::ReportOptions options;
    if (call.has("--full-tables")) options.tableRowLimit = 0;

    return withProgress<diagrams::DiagramError, analysis::CalculationError>(
        {{calcreport::StageReading, "Leyendo datos y resultados"},
         {calcreport::StagePages, "Página nº:"}},
        [&](TerminalProgress& progress) {
            SystemClock clock;
            try {
                const int pages =
                    calcreport::writeCalculationReport(absolute, out, options, progress, clock);
                progress.finish();
                std::cout << "Memoria de cálculo escrita en " << out.string() << " (" << pages
                          << (pages == 1 ? " página).\n" : " páginas).\n");
                return Ok;
            } catch (const std::system_error&) {
                progress.finish();
                std::cerr << "No se pudo escribir el fichero: " << out.string() << '\n';
                return BadInput;
            }
        });
}

}  // namespace vanto::cli
