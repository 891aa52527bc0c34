// vanto-cli types: writes the default bar-type table, as when a structure is
// completed after an import.

#include <filesystem>
#include <iostream>
#include <optional>

#include "app/cli/commands.h"
#include "bartypes/generator.h"

namespace vanto::cli {

namespace fs = std::filesystem;

int runTypes(const Invocation& call) {
    const auto found = structureDirectory(call.arg(0));
    if (!found) return BadInput;
    const fs::path dir = fs::absolute(*found).lexically_normal();

    return guarded([&]() -> int {
        // Bars that use more types than the table holds would be left without one.
        const int used = bartypes::maxTypeUsed(dir);
        const auto written = bartypes::Crear(dir, bartypes::GeneratorOptions::everything(), used);
        if (const auto* refusal = std::get_if<bartypes::Refusal>(&written)) {
            printMessage(refusal->title, refusal->message);
            return BadInput;
        }
        std::cout << "Se han escrito " << std::get<int>(written) << " tipos de barras en "
                  << (dir / "TIPOS.DAT").string() << ".\n";
        return Ok;
    });
}

}  // namespace vanto::cli
