#pragma once
// The built-in section catalogue: rolled steel profiles, the experimental
// soil-spring types, the materials and the torsion coefficients of solid
// rectangles.
//
// Units as in TIPOS.DAT: cm², cm⁴, kg/cm², kg/m³, thousandths per °C.
// Profile and soil-spring rows are kept as the texts the table is written
// with, so that they reach the file digit for digit.

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace vanto::bartypes {

struct ProfileRow {
    const char* suffix;  // name after the steel prefix, e.g. "-IPE------80"
    int size;            // nominal size, mm
    // A, InerZ, InerY, MTors as written.
    const char* A;
    const char* InerZ;
    const char* InerY;
    const char* MTors;
};

enum class Series { IPE, HEB, UPN };
std::span<const ProfileRow> catalogue(Series series);

struct SoilSpringRow {
    const char* name;                   // complete, no material prefix
    std::array<const char*, 9> values;  // A .. CdTerm as written
};
std::span<const SoilSpringRow> soilSprings();

// Steel of the profiles and of the steel sections.
inline constexpr double SteelMY = 2100000;  // kg/cm²
inline constexpr double SteelMu = 0.30;
inline constexpr double SteelPE = 7850;  // kg/m³
inline constexpr double SteelCdTerm = 0.012;

struct SteelGrade {
    const char* prefix;  // "A42", "A52"
    double TL;           // admissible stress, kg/cm²
};
// Grade of entry `index` of the steel combo ("A 42", "A 52").
SteelGrade steelGrade(int index);

struct ConcreteGrade {
    std::string prefix;  // the combo entry, "HA-25" .. "HA-50"
    double fc;           // 10 · nn, kg/cm²
    double MY;           // 100000 · ∛(fc / 10), kg/cm²
};
inline constexpr double ConcreteMu = 0.20;
inline constexpr double ConcretePE = 2500;  // kg/m³
inline constexpr double ConcreteCdTerm = 0.011;
inline constexpr double ConcreteCircleTL = 175;  // kg/cm²
// Grade of entry `index` of the concrete combo.
ConcreteGrade concreteGrade(int index);

// Torsion constant (cm⁴) of a solid section: a circle of diameter side1 when
// side2 is 0 (π·d⁴/32), otherwise a rectangle, β·a³·c with a the short and c
// the long side and β interpolated in the material's table at c / a.
enum class Material { Steel, Concrete };
double TorsionConstant(double side1, double side2, Material material);

// Field widths of a TIPOS.DAT row (A .. CdTerm), as the generator's patterns give.
inline constexpr std::array<int, 9> FieldWidths = {6, 9, 9, 9, 7, 4, 5, 5, 5};

// A type row: each field text right-aligned to its width and followed by one
// blank, then the name cut or padded with "-" to 15 characters, in quotes.
std::string typeRow(const std::array<std::string, 9>& fields, std::string_view name);

// The fixed row of a catalogue profile in the given steel grade.
std::string profileRow(const ProfileRow& row, const SteelGrade& grade);
// The fixed row of a soil spring.
std::string soilSpringRow(const SoilSpringRow& row);

}  // namespace vanto::bartypes
