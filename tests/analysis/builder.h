#pragma once
// Small structures for calculation tests, in memory or written to a directory.

#include <filesystem>
#include <vector>

#include "analysis/engine.h"
#include "model/files.h"

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
    int node(double x, double y, double z) {
        nodes_.push_back({x, y, z});
        for (int k = 0; k < 6; ++k) {
            restraints_.push_back(FreeMarker);
            loads_.push_back(0);
        }
        return int(nodes_.size());
    }
    int bar(const Bar& b) {
        bars_.push_back(b);
        return int(bars_.size());
    }
    int type(const Section& s) {
        types_.push_back(s);
        return int(types_.size());
    }
    // Restraint of degree of freedom k (1..6) of node n: 0 fixed, FreeMarker free,
    // anything else prescribed.
    void restrain(int n, int k, double value = 0) {
        restraints_[std::size_t(6 * n - 6 + k)] = value;
    }
    void fix(std::initializer_list<int> nodes) {
        for (int n : nodes)
            for (int k = 1; k <= 6; ++k)
                restrain(n, k);
    }
    void load(int n, int k, double value) { loads_[std::size_t(6 * n - 6 + k)] = value; }

    analysis::CalcData data() const {
        analysis::CalcData d;
        d.nodeCount = int(nodes_.size());
        d.barCount = int(bars_.size());
        d.dofCount = 6 * d.nodeCount;
        d.xyz.assign(3 * nodes_.size() + 1, 0.0);
        for (std::size_t n = 0; n < nodes_.size(); ++n)
            for (std::size_t a = 0; a < 3; ++a)
                d.xyz[a * nodes_.size() + n + 1] = nodes_[n][a];
        d.bars = barTable();
        d.types = typeTable<double>();
        d.restraints = restraints_;
        d.loads = loads_;
        d.halfBandwidth = ComputeHalfBandwidth(d.bars, d.barCount);
        return d;
    }

    void write(const std::filesystem::path& dir) const {
        const int N = int(nodes_.size());
        DiscoX::writeDatos(dir, N, int(bars_.size()));
        Table<float> xyz(N, 3), r(N, 6), l(N, 6);
        for (int n = 1; n <= N; ++n) {
            for (int a = 1; a <= 3; ++a)
                xyz(n, a) = float(nodes_[std::size_t(n - 1)][std::size_t(a - 1)]);
            for (int k = 1; k <= 6; ++k) {
                r(n, k) = float(restraints_[std::size_t(6 * n - 6 + k)]);
                l(n, k) = float(loads_[std::size_t(6 * n - 6 + k)]);
            }
        }
        DiscoX::writeCoordinates(dir, xyz, N);
        DiscoX::writeBars(dir, barTable(), int(bars_.size()));
        DiscoX::writeNodeValues(dir, DiscoX::NodeFile::Restraints, r, N);
        DiscoX::writeNodeValues(dir, DiscoX::NodeFile::Loads, l, N);
        DiscoX::writeTypes(dir, typeTable<float>());
    }

  private:
    Table<float> barTable() const {
        Table<float> t(int(bars_.size()), BarFieldCount);
        for (std::size_t i = 0; i < bars_.size(); ++i) {
            const Bar& b = bars_[i];
            const double v[] = {
                0,    double(b.origin), double(b.end), double(b.type), b.angle, b.qv, b.qy, b.qz,
                b.dT, b.empOR,          b.empEX};
            for (int f = 1; f <= BarFieldCount; ++f)
                t(int(i + 1), f) = float(v[f]);
        }
        return t;
    }
    template <class T>
    BarTypes<T> typeTable() const {
        BarTypes<T> t;
        t.count = int(types_.size());
        t.values = Table<T>(t.count, TypeFieldCount);
        t.names.assign(types_.size() + 1, "Prueba");
        for (int i = 1; i <= t.count; ++i) {
            const Section& s = types_[std::size_t(i - 1)];
            const double v[] = {0,    s.A,  s.InerZ, s.InerY, s.MTors,
                                s.MY, s.mu, s.TL,    s.PE,    s.CdTerm};
            for (int f = 1; f <= TypeFieldCount; ++f)
                t.values(i, f) = T(v[f]);
        }
        return t;
    }

    std::vector<std::array<double, 3>> nodes_;
    std::vector<Bar> bars_;
    std::vector<Section> types_;
    std::vector<double> restraints_{0.0}, loads_{0.0};  // 1..DofCount
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
