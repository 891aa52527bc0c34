#pragma once
// Small structures for calculation tests, in memory or written to a directory.

#include <filesystem>
#include <string>
#include <vector>

#include "analysis/engine.h"
#include "model/structure_data.h"

namespace vanto::test {

// Steel section used unless a test says otherwise: A 100 cm², Iz 10000 cm⁴,
// Iy 5000 cm⁴, J 2000 cm⁴, E 2 100 000 kg/cm², ν 0.3, α 0.012 ‰/°C.
// In t and m: EA = 210 000 t, EIz = 2100 t·m², EIy = 1050 t·m².
struct Section {
    double A = 100, InerZ = 10000, InerY = 5000, MTors = 2000, MY = 2100000, mu = 0.3;
    double TL = 2600, PE = 7850, CdTerm = 0.012;
    double EA() const { return A * MY / 1000; }
    double EIz() const { return MY * 10 * InerZ / 1e8; }
    double EIy() const { return MY * 10 * InerY / 1e8; }
};

struct Bar {
    int origin = 1, end = 2;
    int type = 1;
    double angle = 0, qv = 0, qy = 0, qz = 0, dT = 0, empOR = 1, empEX = 1;
};

class Builder {
  public:
    Builder() { s_.reset(part::All); }
    int node(double x, double y, double z) { return s_.addNode(x, y, z); }
    void bar(const Bar& b) {
        const int n = s_.addBar(float(b.origin), float(b.end), float(b.type));
        const double v[] = {b.angle, b.qv, b.qy, b.qz, b.dT, b.empOR, b.empEX};
        for (int f = Angle; f <= BarFieldCount; ++f)
            s_.bars(n, f) = float(v[f - Angle]);
    }
    void type(const Section& s) {
        BarTypes<double>& t = s_.types;
        t.values.resizeRows(++t.count);
        const double v[] = {s.A, s.InerZ, s.InerY, s.MTors, s.MY, s.mu, s.TL, s.PE, s.CdTerm};
        for (int f = 1; f <= TypeFieldCount; ++f)
            t.values(t.count, f) = v[f - 1];
        t.names.push_back("Prueba");
    }
    // Restraint of degree of freedom k (1..6) of node n: 0 fixed, FreeMarker free,
    // anything else prescribed.
    void restrain(int n, int k, double value = 0) { s_.restraints(n, k) = value; }
    void fix(std::initializer_list<int> nodes) {
        for (int n : nodes)
            for (int k = 1; k <= 6; ++k)
                restrain(n, k);
    }
    void load(int n, int k, double value) { s_.loads(n, k) = value; }

    // Load cases beyond the first, added after the nodes and bars.
    int addCase(const std::string& name) {
        return s_.cases.addCase(name, s_.nodeCount, s_.barCount);
    }
    void caseLoad(int k, int n, int c, double value) {
        (k == 1 ? s_.loads : s_.cases.loadCase(k).nodeLoads)(n, c) = value;
    }
    // Field VerticalLoad..TemperatureChange of bar b in case k.
    void caseBarLoad(int k, int b, BarField field, double value) {
        if (k == 1)
            s_.bars(b, field) = float(value);
        else
            s_.cases.loadCase(k).barLoads(b, field - VerticalLoad + 1) = float(value);
    }
    void combination(const std::string& name, std::vector<double> factors) {
        s_.cases.combinations.push_back({name, std::move(factors)});
    }

    const analysis::StructureData& data() const { return s_; }

    // Written in the single precision of the files.
    void write(const std::filesystem::path& dir) const {
        auto single = [](const Table<double>& t) {
            Table<float> f(t.maxRow(), t.maxCol());
            f.copyOverlap(t);
            return f;
        };
        Structure f;
        f.nodeCount = s_.nodeCount;
        f.barCount = s_.barCount;
        f.held = s_.held;
        f.coordinates = single(s_.coordinates);
        f.restraints = single(s_.restraints);
        f.loads = single(s_.loads);
        f.bars = s_.bars;
        f.types = {s_.types.count, single(s_.types.values), s_.types.names};
        f.cases.firstName = s_.cases.firstName;
        for (const auto& c : s_.cases.more)
            f.cases.more.push_back({c.name, single(c.nodeLoads), c.barLoads});
        f.cases.combinations = s_.cases.combinations;
        f.save(dir, part::All);
    }

  private:
    BasicStructure<double> s_;
};

// A calculation observer that can stop at a stage.
class RecordingObserver : public analysis::CalcObserver {
  public:
    void report(int stage, long long current, long long) override {
        lastCurrent = current;
        if (stage == stopAtStage && current >= stopAtItem) stop = true;
    }
    bool stopRequested() override { return stop; }

    int stopAtStage = -1;
    long long stopAtItem = 0;
    bool stop = false;
    long long lastCurrent = 0;
};

}  // namespace vanto::test
