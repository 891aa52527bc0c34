#pragma once
// Fakes and helpers shared by the exchange tests.

#include <filesystem>
#include <string>
#include <vector>

#include "model/files.h"
#include "model/platform.h"
#include "support/fakes.h"
#include "support/tempdir.h"

namespace vanto::test {

// Asks to stop once `after` reports have arrived.
class StoppingProgress : public Progress {
  public:
    explicit StoppingProgress(long long after) : after_(after) {}
    void report(int, long long, long long) override { ++reports_; }
    bool stopRequested() override { return reports_ >= after_; }

  private:
    long long after_;
    long long reports_ = 0;
};

// A structure as its files hold it.
struct Written {
    StructureCounts counts;
    Table<float> xyz, bars, loads, restraints;
};

inline Written readStructure(const std::filesystem::path& dir) {
    Written w;
    DiscoX::readDatos(dir, w.counts);
    w.xyz = DiscoX::readCoordinates(dir, w.counts.NodeCount);
    w.bars = DiscoX::readBars(dir, w.counts.BarCount);
    w.loads = DiscoX::readNodeValues(dir, DiscoX::NodeFile::Loads, w.counts.NodeCount);
    w.restraints = DiscoX::readNodeValues(dir, DiscoX::NodeFile::Restraints, w.counts.NodeCount);
    return w;
}

// "origin-end" of every bar, in bar order.
inline std::vector<std::string> barEnds(const Written& w) {
    std::vector<std::string> out;
    for (int b = 1; b <= w.counts.BarCount; ++b)
        out.push_back(std::to_string(itemNumber(w.bars(b, Origin))) + "-" +
                      std::to_string(itemNumber(w.bars(b, End))));
    return out;
}

// Writes a small complete structure: nodes on the x axis 0, 1, 2, ..., bars
// joining consecutive nodes with types 1, 2, ...
inline void writeChain(const std::filesystem::path& dir, int nodeCount) {
    Table<float> xyz(nodeCount, 3), bars(nodeCount - 1, BarFieldCount), values(nodeCount, 6);
    for (int n = 1; n <= nodeCount; ++n)
        xyz(n, 1) = float(n - 1);
    for (int b = 1; b < nodeCount; ++b) {
        bars(b, Origin) = float(b);
        bars(b, End) = float(b + 1);
        bars(b, Type) = float(b);
        bars(b, EmpOR) = bars(b, EmpEX) = 1;
    }
    DiscoX::writeDatos(dir, nodeCount, nodeCount - 1);
    DiscoX::writeCoordinates(dir, xyz, nodeCount);
    DiscoX::writeBars(dir, bars, nodeCount - 1);
    DiscoX::writeNodeValues(dir, DiscoX::NodeFile::Loads, values, nodeCount);
    for (int n = 1; n <= nodeCount; ++n)
        for (int k = 1; k <= 6; ++k)
            values(n, k) = 1234;
    values(1, 1) = 0;
    DiscoX::writeNodeValues(dir, DiscoX::NodeFile::Restraints, values, nodeCount);
}

}  // namespace vanto::test
