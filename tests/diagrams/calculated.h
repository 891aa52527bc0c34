#pragma once
// Structures calculated as the calculation window would, quietly and at a
// fixed time, for the diagrams read from their results.

#include "analysis/calculation.h"
#include "diagrams/diagram_data.h"
#include "support/fakes.h"
#include "support/structures.h"
#include "support/tempdir.h"

namespace vanto::diagrams {

inline void calculate(const std::filesystem::path& dir) {
    struct Quiet : analysis::CalcObserver {
        void report(int, long long, long long) override {}
    } quiet;
    test::FixedClock clock;
    analysis::runCalculation(dir, {}, quiet, clock);
}

inline DiagramData calculated(const test::Frame& f, const test::TempDir& dir = test::TempDir()) {
    f.write(dir.path());
    calculate(dir.path());
    return loadDiagramData(dir.path());
}

}  // namespace vanto::diagrams
