#pragma once
// One structure in memory: counts, node coordinates, bars, bar types, node
// restraints and node loads, read and written through DiscoX (model/files.h).
//
// BasicStructure<Real> holds coordinates, types, restraints and loads in Real
// and the bar records always in 32 bits, as every reader rounds them.
// Structure (float) is what drawing, editing and the file writers use; the
// calculation reads BasicStructure<double>, so that a value typed with more
// digits than 32 bits keep reaches it exactly as the text says.
//
// Tables are indexed from 1 (model/arrays.h) and may have more rows than the
// counts: spare rows, zero, that addNode and addBar fill before growing them.

#include <concepts>
#include <filesystem>
#include <functional>

#include "model/arrays.h"
#include "model/load_cases.h"
#include "model/structure.h"

namespace vanto {

// A set of the files a structure is made of, besides DATOS.DAT.
struct Parts {
    unsigned bits = 0;
    constexpr bool has(Parts p) const { return (bits & p.bits) == p.bits; }
    constexpr Parts operator|(Parts p) const { return {bits | p.bits}; }
    constexpr Parts operator&(Parts p) const { return {bits & p.bits}; }
    constexpr bool operator==(const Parts&) const = default;
};

namespace part {
inline constexpr Parts None{0};
inline constexpr Parts Types{1};        // TIPOS.DAT
inline constexpr Parts Bars{2};         // BARRAS.DAT
inline constexpr Parts Coordinates{4};  // COORDENA.DAT
inline constexpr Parts Restraints{8};   // COACCION.DAT
inline constexpr Parts Loads{16};       // CARGAS.DAT
inline constexpr Parts Cases{32};       // HIPOTESI.DAT, CARGAS.Hkk, CARGABAR.Hkk, COMBINA.DAT
// What a drawing needs.
inline constexpr Parts Geometry = Bars | Coordinates;
inline constexpr Parts All = Types | Geometry | Restraints | Loads | Cases;
}  // namespace part

template <class Real>
struct BasicStructure {
    int nodeCount = 0;
    int barCount = 0;
    Table<Real> coordinates;  // (node, axis), m
    Table<float> bars;        // (bar, field)
    BarTypes<Real> types;     // (type, field) and names
    Table<Real> restraints;   // (node, k): prescribed value, or FreeMarker when free
    Table<Real> loads;        // (node, k): the loads of case 1
    LoadCases<Real> cases;    // cases 2..N and the combinations
    Parts held;               // the parts whose tables hold every node or bar

    BasicStructure() = default;
    // A structure of the counts DATOS.DAT gave, holding no part yet.
    explicit BasicStructure(const StructureCounts& counts)
        : nodeCount(counts.NodeCount), barCount(counts.BarCount) {}

    // Reads the files of `parts` for the counts, in the order TIPOS, BARRAS,
    // COORDENA, COACCION, CARGAS, the load cases; a caller that must report
    // faults in another order reads one part at a time. Throws FileError like
    // DiscoX.
    void read(const std::filesystem::path& dir, Parts parts);

    // Gives `parts` the contents of a new structure: nodes at the origin, free
    // and unloaded; bars all zero; no types; one load case.
    void reset(Parts parts);

    // Room for this many nodes and bars without growing again.
    void reserve(int nodes, int bars);

    // Appends a node, free and unloaded in every case, to the node tables
    // held; returns its number.
    int addNode(Real x, Real y, Real z);
    // Appends a bar of `type` between two nodes, both ends fixed, no angle and
    // no loads in any case; returns its number.
    int addBar(float origin, float end, float type = 1);

    // Writes DATOS.DAT and the files of `parts` into `dir`. Everything is
    // checked before the first file is written: a part not held, tables
    // shorter than the counts, or cases and combinations that do not fit
    // (more than 99, factors not one per case), throw std::logic_error and
    // leave `dir` as it was. Each file replaces its old one atomically; `written(i, n)` follows
    // the i-th of n files. Throws FileError when a file cannot be written.
    void save(
        const std::filesystem::path& dir, Parts parts,
        const std::function<void(int, int)>& written = {}) const requires std::same_as<Real, float>;
};

using Structure = BasicStructure<float>;

// The counts of DATOS.DAT. Throws FileError: Missing without the file, Damaged
// when another version wrote it, with the detail `otherVersion(its version text)`.
StructureCounts requireDatos(const std::filesystem::path& dir,
                             const std::function<std::string(const std::string&)>& otherVersion);

// DATOS.DAT and then `parts` of the structure in `dir`. Throws FileError:
// Missing without DATOS.DAT, Damaged when it belongs to another version or a
// file does not fit its layout.
template <class Real>
BasicStructure<Real> loadStructure(const std::filesystem::path& dir, Parts parts);

}  // namespace vanto
