// vanto-cli list DIR: writes the data listing listado.txt of a structure.

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "app/cli/commands.h"
#include "model/platform.h"
#include "reports/listing.h"

namespace vanto::cli {

namespace fs = std::filesystem;

int runList(const Args& args) {
    static const Command command{"list", "DIR", "", runList};
    std::optional<std::string> dirArg;
    for (const std::string& a : args) {
        // Structure directories begin with "-": only "--" marks an option.
        if (a.size() > 1 && a[0] == '-' && a[1] == '-')
            return usageError(command, "opción desconocida: " + a);
        if (dirArg) return usageError(command, "sobra el argumento: " + a);
        dirArg = a;
    }
    if (!dirArg) return usageError(command, "falta el directorio de la estructura");
    const auto found = structureDirectory(*dirArg);
    if (!found) return BadInput;
    const fs::path dir = fs::absolute(*found).lexically_normal();

    return guarded([&] {
        reports::writeDataListing(dir, SystemClock());
        std::cout << "Listado escrito en " << (dir / reports::DataListingName).string() << '\n';
        return int(Ok);
    });
}

}  // namespace vanto::cli
