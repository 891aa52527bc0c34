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
        s = loadStructure<float>(dir,
                                 part::Geometry | part::Restraints | part::Loads | part::Cases);
        if (fileExists(dir, "TIPOS.DAT")) s.read(dir, part::Types);
    } else {
        s.reset(part::Geometry | part::Restraints | part::Loads | part::Cases);
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
    std::vector<int> keptBars{0};  // old numbers of the kept bars, from index 1
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
    std::vector<int> keptNodes{0};
    for (int n = 1; n <= s.nodeCount; ++n) {
        if (newNumber[std::size_t(n)] == 0) continue;
        newNumber[std::size_t(n)] =
            out.addNode(s.coordinates(n, 1), s.coordinates(n, 2), s.coordinates(n, 3));
        keptNodes.push_back(n);
        for (int k = 1; k <= 6; ++k) {
            out.restraints(out.nodeCount, k) = s.restraints(n, k);
            out.loads(out.nodeCount, k) = s.loads(n, k);
        }
    }
    for (std::size_t i = 1; i < keptBars.size(); ++i) {
        const int b = keptBars[i];
        int a = newNumber[std::size_t(itemNumber(s.bars(b, Origin)))];
        int e = newNumber[std::size_t(itemNumber(s.bars(b, End)))];
        // Kept nodes keep their order, so the lower node stays the lower one
        // and the bar's local axes, fixities and loads keep their meaning.
        if (a > e) std::swap(a, e);
        const int k = out.addBar(float(a), float(e));
        for (int f = Type; f <= BarFieldCount; ++f)
            out.bars(k, f) = s.bars(b, f);
    }
    out.cases = s.cases;
    out.cases.selectNodes(keptNodes);
    out.cases.selectBars(keptBars);
    return out;
}

namespace {

template <class T>
bool sameRows(const Table<T>& a, const Table<T>& b, int rows) {
    if (a.maxCol() != b.maxCol() || a.maxRow() < rows || b.maxRow() < rows) return false;
    for (int r = 1; r <= rows; ++r)
        if (!std::equal(a.row(r) + 1, a.row(r) + a.maxCol() + 1, b.row(r) + 1)) return false;
    return true;
}

bool sameCases(const LoadCases<double>& a, const LoadCases<double>& b, int nodes, int bars) {
    if (a.count() != b.count() || a.firstName != b.firstName ||
        a.combinations.size() != b.combinations.size())
        return false;
    for (int k = 2; k <= a.count(); ++k) {
        const LoadCase<double>&x = a.loadCase(k), &y = b.loadCase(k);
        if (x.name != y.name || !sameRows(x.nodeLoads, y.nodeLoads, nodes) ||
            !sameRows(x.barLoads, y.barLoads, bars))
            return false;
    }
    for (std::size_t c = 0; c < a.combinations.size(); ++c)
        if (a.combinations[c].name != b.combinations[c].name ||
            a.combinations[c].factors != b.combinations[c].factors)
            return false;
    return true;
}

// Whether the files of `a` and `b` read as the same structure, value for
// value as the calculation and the listings read them: then results made from
// one belong to the other.
bool readTheSame(const fs::path& a, const fs::path& b, bool withCases) {
    try {
        const Parts parts =
            withCases ? part::All : part::Types | part::Geometry | part::Restraints | part::Loads;
        const auto x = loadStructure<double>(a, parts), y = loadStructure<double>(b, parts);
        const int n = x.nodeCount, m = x.barCount;
        return n == y.nodeCount && m == y.barCount && x.types.count == y.types.count &&
               sameRows(x.coordinates, y.coordinates, n) && sameRows(x.bars, y.bars, m) &&
               sameRows(x.restraints, y.restraints, n) && sameRows(x.loads, y.loads, n) &&
               sameRows(x.types.values, y.types.values, x.types.count) &&
               std::equal(x.types.names.begin() + 1, x.types.names.begin() + x.types.count + 1,
                          y.types.names.begin() + 1) &&
               (!withCases || sameCases(x.cases, y.cases, n, m));
    } catch (const FileError&) {
        return false;
    }
}

}  // namespace

Structure saveStructure(const fs::path& dir, const Structure& s, const CommitStepHook& step) {
    Structure out = compacted(s);
    exchange::StructureReplacement replacement(dir,
                                               exchange::StructureReplacement::Cleanup::Results);
    out.save(replacement.stage(), part::All, [&](int, int) {
        if (step) step();
    });
    // Nothing to write: the results stay, as they still belong to the files.
    if (readTheSame(dir, replacement.stage(), s.held.has(part::Cases))) return out;
    replacement.commit({}, step);
    return out;
}

}  // namespace vanto::editor
