// vanto-cli cases DIR: lists the load cases and the combinations of a structure.

#include <filesystem>
#include <iostream>

#include "app/cli/commands.h"
#include "model/structure_data.h"

namespace vanto::cli {

int runCases(const Invocation& call) {
    const auto dir = structureDirectory(call.arg(0));
    if (!dir) return BadInput;

    return guarded([&] {
        const Structure s = loadStructure<float>(*dir, part::Cases);
        const LoadCases<float>& cases = s.cases;
        std::cout << "Hipótesis de carga: " << cases.count() << '\n';
        for (int k = 1; k <= cases.count(); ++k)
            std::cout << "  " << ResultSet{ResultSet::Kind::Case, k}.code() << "  " << cases.name(k)
                      << '\n';
        std::cout << "Combinaciones: " << cases.combinations.size() << '\n';
        for (std::size_t c = 0; c < cases.combinations.size(); ++c)
            std::cout << "  " << ResultSet{ResultSet::Kind::Combination, int(c) + 1}.code() << "  "
                      << cases.combinations[c].name << " = "
                      << combinationFormula(cases.combinations[c]) << '\n';
        return int(Ok);
    });
}

}  // namespace vanto::cli
