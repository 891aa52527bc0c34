#include "editor/save.h"

#include <algorithm>
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

namespace {

// The editor edits the loads of case 1 only; the files of the other cases
// number their rows as the nodes and bars on disk. Saving may not renumber
// them under those files.
void keepLoadCaseRows(const fs::path& dir, const Structure& out) {
    if (!fileExists(dir, "HIPOTESI.DAT") || !fileExists(dir, "DATOS.DAT")) return;
    const Structure old = loadStructure<float>(dir, part::Bars | part::Cases);
    if (old.cases.count() == 1) return;
    bool same = old.nodeCount == out.nodeCount && old.barCount == out.barCount;
    for (int b = 1; same && b <= old.barCount; ++b) {
        const float a = old.bars(b, Origin), e = old.bars(b, End);
        same = std::min(a, e) == out.bars(b, Origin) && std::max(a, e) == out.bars(b, End);
    }
    if (!same)
        throw SaveError("Esta estructura tiene " + std::to_string(old.cases.count()) +
                        " hipótesis de carga y el editor solo modifica la primera: al cambiar "
                        "los nudos o las barras se perderían las cargas de las demás.\n"
                        "No se ha grabado nada. Deshaga esos cambios, o modifique la estructura "
                        "con su listado y la importación.");
}

}  // namespace

Structure saveStructure(const std::filesystem::path& dir, const Structure& s) {
    Structure out = compacted(s);
    keepLoadCaseRows(dir, out);
    exchange::StructureReplacement replacement(dir,
                                               exchange::StructureReplacement::Cleanup::Results);
    out.save(replacement.stage(), part::All);
    replacement.commit();
    return out;
}

}  // namespace vanto::editor
