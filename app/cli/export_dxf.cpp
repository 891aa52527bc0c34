// vanto-cli export-dxf: the bars of a structure as a DXF drawing.

#include <filesystem>
#include <iostream>

#include "app/cli/commands.h"
#include "exchange/dxf_export.h"

namespace vanto::cli {

int runExportDxf(const Invocation& call) {
    const bool colourByType = call.has("--colour-by-type");
    const auto dir = structureDirectory(call.arg(0));
    if (!dir) return BadInput;
    const std::filesystem::path absolute = std::filesystem::absolute(*dir).lexically_normal();
    const std::filesystem::path base = std::filesystem::absolute(call.arg(1)).lexically_normal();
    if (!base.has_filename()) return call.usageError("falta el nombre del fichero");

    return withProgress<exchange::ExchangeError>(
        {{1, "Barra nº:"}}, [&](TerminalProgress& progress) {
            exchange::dxfout(absolute, base, colourByType, &progress);
            progress.finish();
            std::cout << "Dibujo escrito en " << exchange::dxfFileName(base).string() << ".\n";
            return Ok;
        });
}

}  // namespace vanto::cli
