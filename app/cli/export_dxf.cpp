// vanto-cli export-dxf DIR BASENAME [--colour-by-type]

#include <filesystem>
#include <iostream>

#include "app/cli/commands.h"
#include "exchange/dxf_export.h"

namespace vanto::cli {

namespace {

const Command exportCommand{"export-dxf", "DIR BASENAME [--colour-by-type]", "", nullptr};

}  // namespace

int runExportDxf(const Args& args) {
    std::vector<std::string> positional;
    bool colourByType = false;
    for (const std::string& a : args) {
        if (a == "--colour-by-type")
            colourByType = true;
        else if (a.starts_with("--"))
            return usageError(exportCommand, "opción desconocida: " + a);
        else
            positional.push_back(a);
    }
    if (positional.size() != 2)
        return usageError(exportCommand,
                          positional.size() < 2 ? "faltan argumentos" : "sobran argumentos");
    const auto dir = structureDirectory(positional[0]);
    if (!dir) return BadInput;
    const std::filesystem::path absolute = std::filesystem::absolute(*dir).lexically_normal();
    const std::filesystem::path base = std::filesystem::absolute(positional[1]).lexically_normal();
    if (!base.has_filename()) return usageError(exportCommand, "falta el nombre del fichero");

    return guarded([&] {
        TerminalProgress progress({{1, "Barra nº:"}});
        try {
            exchange::dxfout(absolute, base, colourByType, &progress);
            progress.finish();
            std::cout << "Dibujo escrito en " << exchange::dxfFileName(base).string() << ".\n";
            return int(Ok);
        } catch (const exchange::ExchangeError& e) {
            progress.finish();
            std::cerr << e.what() << '\n';
            return int(BadInput);
        }
    });
}

}  // namespace vanto::cli
