#include "editor/save.h"

#include <string>
#include <vector>

#include "bartypes/generator.h"
#include "exchange/replacement.h"
#include "model/files.h"

namespace vanto::editor {

namespace fs = std::filesystem;

Structure openForEditing(const fs::path& dir) {
    Structure s;
    if (fileExists(dir, "DATOS.DAT")) {
        s = loadStructure<float>(dir, part::Geometry | part::Restraints | part::Loads);
        if (fileExists(dir, "TIPOS.DAT")) s.read(dir, part::Types);
    } else {
        s.reset(part::Geometry | part::Restraints | part::Loads);
    }
    if (!s.held.has(part::Types)) {
        // The default table, made aside so that nothing is written before saving.
        exchange::StructureReplacement scratch(dir,
                                               exchange::StructureReplacement::Cleanup::Results);
        bartypes::writeDefaultTypes(scratch.stage());
        s.types = DiscoX::readTypes<float>(scratch.stage());
        s.held = s.held | part::Types;
    }
    if (s.nodeCount == 0) s.addNode(0, 0, 0);
    return s;
}

Structure compacted(const Structure& s) {
    std::vector<int> newNumber(std::size_t(s.nodeCount) + 1, 0);
    std::vector<int> keptBars;
    for (int b = 1; b <= s.barCount; ++b) {
        const int a = itemNumber(s.bars(b, Origin)), e = itemNumber(s.bars(b, End));
        for (int n : {a, e})
            if (n < 1 || n > s.nodeCount)
                throw SaveError("La barra " + std::to_string(b) + " une el nudo " +
                                std::to_string(n) + ", que no existe.\nCorríjala antes de grabar.");
        if (a == e) continue;
        keptBars.push_back(b);
        newNumber[std::size_t(a)] = newNumber[std::size_t(e)] = -1;
    }
    Structure out;
    out.held = part::None;
    out.reset(part::All);
    out.types = s.types;
    std::vector<int> oldOf;
    for (int n = 1; n <= s.nodeCount; ++n) {
        if (newNumber[std::size_t(n)] == 0) continue;
        newNumber[std::size_t(n)] =
            out.addNode(s.coordinates(n, 1), s.coordinates(n, 2), s.coordinates(n, 3));
        for (int k = 1; k <= 6; ++k) {
            out.restraints(out.nodeCount, k) = s.restraints(n, k);
            out.loads(out.nodeCount, k) = s.loads(n, k);
        }
    }
    for (int b : keptBars) {
        int a = newNumber[std::size_t(itemNumber(s.bars(b, Origin)))];
        int e = newNumber[std::size_t(itemNumber(s.bars(b, End)))];
        if (a > e) std::swap(a, e);
        const int k = out.addBar(float(a), float(e));
        for (int f = Type; f <= BarFieldCount; ++f)
            out.bars(k, f) = s.bars(b, f);
    }
    return out;
}

Structure saveStructure(const std::filesystem::path& dir, const Structure& s) {
    Structure out = compacted(s);
    exchange::StructureReplacement replacement(dir,
                                               exchange::StructureReplacement::Cleanup::Results);
    out.save(replacement.stage(), part::All);
    replacement.commit();
    return out;
}

}  // namespace vanto::editor
