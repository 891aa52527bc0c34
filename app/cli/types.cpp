// vanto-cli types: writes the default bar-type table, as when a structure is
// completed after an import.

#include <filesystem>
#include <iostream>
#include <optional>

#include "app/cli/commands.h"
#include "bartypes/generator.h"

namespace vanto::cli {

namespace fs = std::filesystem;

int runTypes(const Args& args) {
    static const Command command{"types", "DIR", "", runTypes};
    if (args.empty()) return usageError(command, "falta el directorio de la estructura");
    if (args.size() > 1) return usageError(command, "sobra el argumento: " + args[1]);
    if (args[0].rfind("--", 0) == 0) return usageError(command, "opción desconocida: " + args[0]);
    const auto found = structureDirectory(args[0]);
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
