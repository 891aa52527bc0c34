// vanto-cli list DIR: writes the data listing listado.txt of a structure.

#include <filesystem>
#include <iostream>

#include "app/cli/commands.h"
#include "model/platform.h"
#include "reports/listing.h"

namespace vanto::cli {

namespace fs = std::filesystem;

int runList(const Invocation& call) {
    const auto found = structureDirectory(call.arg(0));
    if (!found) return BadInput;
    const fs::path dir = fs::absolute(*found).lexically_normal();

    return guarded([&] {
        reports::writeDataListing(dir, SystemClock());
        std::cout << "Listado escrito en " << (dir / reports::DataListingName).string() << '\n';
        return int(Ok);
    });
}

}  // namespace vanto::cli
