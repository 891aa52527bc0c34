#include "model/complete.h"

#include "model/files.h"
#include "model/helpers.h"
#include "model/structure_data.h"
#include "model/textfile.h"

namespace vanto {

namespace fs = std::filesystem;

namespace {

// 6·N lines holding the same value.
void writeUniform(const fs::path& dir, const char* name, int nodeCount, const char* value) {
    TextWriter w;
    const std::string line = std::string(value) + "\r\n";
    w.reserve(std::size_t(nodeCount) * 6 * line.size());
    for (long long i = 0; i < 6LL * nodeCount; ++i)
        w.text(line);
    replaceFile(dir, name, w.content());
}

}  // namespace

void CompleteStructureFiles(const fs::path& dir,
                            const std::function<void(const fs::path&)>& writeDefaultTypes) {
    const StructureCounts counts = requireDatos(
        dir, [](const std::string& version) { return "versión de otro programa: " + version; });
    // Read only to check them: a geometry that does not fit its counts must not
    // be completed as if it were whole. A fault of COORDENA.DAT is the one reported.
    Structure geometry(counts);
    geometry.read(dir, part::Coordinates);
    geometry.read(dir, part::Bars);

    if (!fileExists(dir, "CARGAS.DAT")) writeUniform(dir, "CARGAS.DAT", counts.NodeCount, "0");
    if (!fileExists(dir, "COACCION.DAT"))
        writeUniform(dir, "COACCION.DAT", counts.NodeCount, writtenValue(FreeMarker).c_str());
    if (!fileExists(dir, "TIPOS.DAT")) writeDefaultTypes(dir);
}

}  // namespace vanto
