#pragma once
// Fakes and helpers shared by the exchange tests.

#include <filesystem>
#include <string>
#include <vector>

#include "model/files.h"
#include "model/structure_data.h"
#include "support/fakes.h"
#include "support/tempdir.h"
#include "support/thrown.h"

namespace vanto::test {

// A structure as its files hold it.
inline Structure readStructure(const std::filesystem::path& dir) {
    return loadStructure<float>(dir, part::Geometry | part::Loads | part::Restraints);
}

// "origin-end" of every bar, in bar order.
inline std::vector<std::string> barEnds(const Structure& w) {
    std::vector<std::string> out;
    for (int b = 1; b <= w.barCount; ++b)
        out.push_back(std::to_string(itemNumber(w.bars(b, Origin))) + "-" +
                      std::to_string(itemNumber(w.bars(b, End))));
    return out;
}

// Writes a small complete structure: nodes on the x axis 0, 1, 2, ..., bars
// joining consecutive nodes with types 1, 2, ...
inline void writeChain(const std::filesystem::path& dir, int nodeCount) {
    Structure s;
    s.reset(part::Geometry | part::Loads | part::Restraints);
    for (int n = 1; n <= nodeCount; ++n)
        s.addNode(float(n - 1), 0, 0);
    for (int b = 1; b < nodeCount; ++b)
        s.addBar(float(b), float(b + 1), float(b));
    s.restraints(1, 1) = 0;
    s.save(dir, part::Geometry | part::Loads | part::Restraints);
}

}  // namespace vanto::test
