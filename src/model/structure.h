#pragma once
// The structure model: what a structure holds, in which units and layouts.
//
// Units, everywhere in files, arrays, screens and listings:
//   coordinates and prescribed displacements m, prescribed rotations rad,
//   node forces t, node moments m·t, distributed bar loads t/m,
//   temperature change °C, bar angle degrees;
//   bar types: area cm², inertias and torsion constant cm⁴,
//   Young's modulus and admissible stress kg/cm², specific weight kg/m³,
//   thermal coefficient in thousandths per °C.
// Global Z is vertical, pointing up.
//
// Degrees of freedom: six per node, 6·(n−1)+k for node n and k = 1..6 in the
// order translation X, Y, Z, rotation X, Y, Z.

#include <cstdint>
#include <filesystem>
#include <string>

#include "model/arrays.h"

namespace vanto {

// The program's version text, the first line of every DATOS.DAT it writes.
inline constexpr const char* VersionText = "Vanto 2.11";

// A restraint of exactly this value marks a free degree of freedom ("LIBRE").
inline constexpr float FreeMarker = 1234.0f;
inline bool isFree(double restraint) {
    return restraint == 1234.0;
}

// Fields of a bar record (columns 1..10 of the bar table).
enum BarField : int {
    Origin = 1,
    End = 2,
    Type = 3,
    Angle = 4,              // degrees, rotation of the section about the bar axis
    VerticalLoad = 5,       // t/m along global +Z
    TransverseLoadY = 6,    // t/m along local +y
    TransverseLoadZ = 7,    // t/m along local +z
    TemperatureChange = 8,  // °C
    EmpOR = 9,              // fixity at the origin: 1 fixed, 0 pinned
    EmpEX = 10,             // fixity at the end
};
inline constexpr int BarFieldCount = 10;

// Fields of a bar type (columns 1..9 of the type table); the name is kept apart.
enum TypeField : int {
    A = 1,       // area, cm²
    InerZ = 2,   // inertia about local z, cm⁴ (bending in the x–y plane)
    InerY = 3,   // inertia about local y, cm⁴ (bending in the x–z plane)
    MTors = 4,   // torsion constant, cm⁴
    MY = 5,      // Young's modulus, kg/cm²
    Mu = 6,      // Poisson's ratio
    TL = 7,      // admissible stress, kg/cm²
    PE = 8,      // specific weight, kg/m³
    CdTerm = 9,  // thermal expansion, thousandths per °C
};
inline constexpr int TypeFieldCount = 9;
// Only this many characters of a type name survive a save.
inline constexpr int TypeNameLength = 15;

// Bar types as read from TIPOS.DAT: values(t, field) and names[t], t = 1..count.
template <class T>
struct BarTypes {
    int count = 0;
    Table<T> values;
    std::vector<std::string> names;
};

// The settings kept between runs in NOMBRE.DAT.
struct SessionSettings {
    std::string Drive;
    std::string WorkDirectory;
    std::string StructureName;  // empty when no structure is selected
    std::string StructureDirectory;
    std::string SpareText;       // kept and written back unchanged
    float ChildWindowState = 0;  // 0 normal, 1 minimized, 2 maximized
};

// The process-wide values of a running program. One instance is owned by the
// program (or the command-line tool) and passed to whoever needs it.
struct Session {
    SessionSettings settings;
    bool settingsRead = false;  // ChildWindowState is taken only on the first read
    // Where NOMBRE.DAT and visor.dat live: the program's directory when writable,
    // otherwise the user's configuration directory.
    std::filesystem::path settingsDirectory;
    // The program's own directory (help documents, capas.dxf).
    std::filesystem::path programDirectory;
    // Raised by a module that opens another module's window without user action.
    bool OpenedByModule = false;
    std::string HelpTopic;
};

// Counts of the structure last read, as DATOS.DAT and TIPOS.DAT give them.
struct StructureCounts {
    std::string DataVersion;
    std::int32_t NodeCount = 0;
    std::int32_t BarCount = 0;
    std::int32_t DofCount = 0;  // 6 · NodeCount
    std::int16_t TypeCount = 0;
};

// Rounds a node or type number held in a 32-bit field to an integer.
// Values no item can have (not finite, beyond ±2^30) come back as 0.
inline int itemNumber(float v) {
    if (!(v > -1073741824.0f && v < 1073741824.0f)) return 0;
    return int(v < 0 ? v - 0.5f : v + 0.5f);
}

// 6 · (largest |Origin − End| over bars 1..barCount + 1); 6 with no bars.
std::int32_t ComputeHalfBandwidth(const Table<float>& bars, int barCount);

// The directory of structure `name` inside `workDirectory`: "-" + name.
std::filesystem::path structureDirectoryOf(const std::filesystem::path& workDirectory,
                                           const std::string& name);

}  // namespace vanto
