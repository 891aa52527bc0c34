#include "model/structure_data.h"

#include <algorithm>
#include <stdexcept>

#include "model/files.h"

namespace vanto {

namespace fs = std::filesystem;

namespace {

// Rows for `count` items; doubling keeps adding one item at a time cheap.
template <class T>
void growFor(Table<T>& t, int count, int cols, bool doubling = true) {
    if (t.empty()) t = Table<T>(0, cols);
    if (count > t.maxRow()) t.resizeRows(doubling ? std::max(count, 2 * t.maxRow()) : count);
}

template <class T>
bool holds(const Table<T>& t, int count, int cols) {
    return !t.empty() && t.maxRow() >= count && t.maxCol() == cols;
}

void checkCases(const LoadCases<float>& c, int nodeCount, int barCount) {
    if (c.count() > MaxLoadCases || int(c.combinations.size()) > MaxCombinations)
        throw std::logic_error("more load cases or combinations than the files hold");
    for (int k = 2; k <= c.count(); ++k)
        if (!holds(c.loadCase(k).nodeLoads, nodeCount, 6) ||
            !holds(c.loadCase(k).barLoads, barCount, CaseBarFieldCount))
            throw std::logic_error("load case tables shorter than the counts");
    for (const Combination& comb : c.combinations)
        if (int(comb.factors.size()) != c.count())
            throw std::logic_error("a combination without one factor per load case");
}

}  // namespace

template <class Real>
void BasicStructure<Real>::read(const fs::path& dir, Parts parts) {
    using DiscoX::NodeFile;
    if (parts.has(part::Types)) types = DiscoX::readTypes<Real>(dir);
    if (parts.has(part::Bars)) bars = DiscoX::readBars(dir, barCount);
    if (parts.has(part::Coordinates)) coordinates = DiscoX::readCoordinates<Real>(dir, nodeCount);
    if (parts.has(part::Restraints))
        restraints = DiscoX::readNodeValues<Real>(dir, NodeFile::Restraints, nodeCount);
    if (parts.has(part::Loads))
        loads = DiscoX::readNodeValues<Real>(dir, NodeFile::Loads, nodeCount);
    if (parts.has(part::Cases)) cases = DiscoX::readLoadCases<Real>(dir, nodeCount, barCount);
    held = held | parts;
}

template <class Real>
void BasicStructure<Real>::reset(Parts parts) {
    if (parts.has(part::Types)) types = BarTypes<Real>{0, Table<Real>(0, TypeFieldCount), {""}};
    if (parts.has(part::Bars)) bars = Table<float>(barCount, BarFieldCount);
    if (parts.has(part::Coordinates)) coordinates = Table<Real>(nodeCount, 3);
    if (parts.has(part::Loads)) loads = Table<Real>(nodeCount, 6);
    if (parts.has(part::Cases)) cases = LoadCases<Real>{};
    if (parts.has(part::Restraints)) {
        restraints = Table<Real>(nodeCount, 6);
        for (int n = 1; n <= nodeCount; ++n)
            for (int k = 1; k <= 6; ++k)
                restraints(n, k) = FreeMarker;
    }
    held = held | parts;
}

template <class Real>
void BasicStructure<Real>::reserve(int nodes, int barRows) {
    if (held.has(part::Coordinates)) growFor(coordinates, nodes, 3, false);
    if (held.has(part::Restraints)) growFor(restraints, nodes, 6, false);
    if (held.has(part::Loads)) growFor(loads, nodes, 6, false);
    if (held.has(part::Bars)) growFor(bars, barRows, BarFieldCount, false);
    if (held.has(part::Cases)) cases.reserve(nodes, barRows);
}

template <class Real>
int BasicStructure<Real>::addNode(Real x, Real y, Real z) {
    const int n = nodeCount + 1;
    if (held.has(part::Coordinates)) {
        growFor(coordinates, n, 3);
        coordinates(n, 1) = x;
        coordinates(n, 2) = y;
        coordinates(n, 3) = z;
    }
    for (int k = 1; k <= 6; ++k) {
        if (held.has(part::Restraints)) {
            growFor(restraints, n, 6);
            restraints(n, k) = FreeMarker;
        }
        if (held.has(part::Loads)) {
            growFor(loads, n, 6);
            loads(n, k) = 0;
        }
    }
    if (held.has(part::Cases)) cases.addNode(n);
    return nodeCount = n;
}

template <class Real>
int BasicStructure<Real>::addBar(float origin, float end, float type) {
    const int b = barCount + 1;
    growFor(bars, b, BarFieldCount);
    float* row = bars.row(b);
    std::fill(row + 1, row + 1 + BarFieldCount, 0.0f);
    row[Origin] = origin;
    row[End] = end;
    row[Type] = type;
    row[EmpOR] = 1;
    row[EmpEX] = 1;
    if (held.has(part::Cases)) cases.addBar(b);
    held = held | part::Bars;
    return barCount = b;
}

template <class Real>
void BasicStructure<Real>::save(
    const fs::path& dir, Parts parts,
    const std::function<void(int, int)>& written) const requires std::same_as<Real, float> {
    using DiscoX::NodeFile;
    if (!held.has(parts)) throw std::logic_error("saving a part of the structure not held");
    if (nodeCount < 0 || barCount < 0) throw std::logic_error("negative structure counts");
    if ((parts.has(part::Bars) && !holds(bars, barCount, BarFieldCount)) ||
        (parts.has(part::Coordinates) && !holds(coordinates, nodeCount, 3)) ||
        (parts.has(part::Restraints) && !holds(restraints, nodeCount, 6)) ||
        (parts.has(part::Loads) && !holds(loads, nodeCount, 6)) ||
        (parts.has(part::Types) &&
         (types.count < 0 || !holds(types.values, types.count, TypeFieldCount) ||
          int(types.names.size()) <= types.count)))
        throw std::logic_error("structure tables shorter than their counts");
    if (parts.has(part::Cases)) checkCases(cases, nodeCount, barCount);

    int total = 1;
    for (Parts p :
         {part::Types, part::Bars, part::Coordinates, part::Restraints, part::Loads, part::Cases})
        total += parts.has(p);
    int done = 0;
    auto step = [&] {
        if (written) written(++done, total);
    };
    if (parts.has(part::Types)) {
        DiscoX::writeTypes(dir, types);
        step();
    }
    DiscoX::writeDatos(dir, nodeCount, barCount);
    step();
    if (parts.has(part::Bars)) {
        DiscoX::writeBars(dir, bars, barCount);
        step();
    }
    if (parts.has(part::Coordinates)) {
        DiscoX::writeCoordinates(dir, coordinates, nodeCount);
        step();
    }
    if (parts.has(part::Restraints)) {
        DiscoX::writeNodeValues(dir, NodeFile::Restraints, restraints, nodeCount);
        step();
    }
    if (parts.has(part::Loads)) {
        DiscoX::writeNodeValues(dir, NodeFile::Loads, loads, nodeCount);
        step();
    }
    if (parts.has(part::Cases)) {
        DiscoX::writeLoadCases(dir, cases, nodeCount, barCount);
        step();
    }
}

StructureCounts requireDatos(const fs::path& dir,
                             const std::function<std::string(const std::string&)>& otherVersion) {
    StructureCounts counts;
    switch (DiscoX::readDatos(dir, counts)) {
        case DiscoX::Status::Missing:
            throw FileError(FileError::Kind::Missing, findFile(dir, "DATOS.DAT"));
        case DiscoX::Status::OtherVersion:
            throw FileError(FileError::Kind::Damaged, findFile(dir, "DATOS.DAT"),
                            otherVersion(counts.DataVersion));
        case DiscoX::Status::Read:
            break;
    }
    return counts;
}

template <class Real>
BasicStructure<Real> loadStructure(const fs::path& dir, Parts parts) {
    const StructureCounts counts = requireDatos(dir, [](const std::string&) {
        return "Estructura no compatible con la versión actual del programa";
    });
    BasicStructure<Real> s(counts);
    s.read(dir, parts);
    return s;
}

template struct BasicStructure<float>;
// Member by member: save() is for float only, and some compilers instantiate
// it regardless of its constraint in a whole-class instantiation.
template void BasicStructure<double>::read(const fs::path&, Parts);
template void BasicStructure<double>::reset(Parts);
template void BasicStructure<double>::reserve(int, int);
template int BasicStructure<double>::addNode(double, double, double);
template int BasicStructure<double>::addBar(float, float, float);
template Structure loadStructure<float>(const fs::path&, Parts);
template BasicStructure<double> loadStructure<double>(const fs::path&, Parts);

}  // namespace vanto
