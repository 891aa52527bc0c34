#pragma once
// Generation of a structure's bar-type table, TIPOS.DAT.
//
// Types are numbered in the order they are written: steel rectangles, steel
// circles, concrete rectangles, concrete circles (computed sections), then the
// rolled profiles of the catalogue (IPE, HEB, UPN) and the four soil springs.
// Section sizes are typed in cm (rectangles, circles) or mm (profile ranges);
// the written values are in the units of TIPOS.DAT (cm², cm⁴, kg/cm², kg/m³).

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "model/platform.h"

namespace vanto::bartypes {

// Everything the generator window lets the user set, as the boxes hold it.
// Numbers are texts as typed; "," and "." are both taken as decimal separator.
struct GeneratorOptions {
    // Rolled profiles ("Perfiles"): nominal sizes in mm, both bounds excluded.
    bool ALperf = false;
    std::string IPEmin = "100", IPEmax = "140";
    std::string HEBmin = "100", HEBmax = "140";
    std::string UPNmin = "100", UPNmax = "140";
    // Steel rectangles, cm.
    bool ALrect = false;
    std::string AAnchMin = "2,5", AAnchMax = "3", AAnchStep = "0,5";
    std::string ACantMin = "4", ACantMax = "7", ACantStep = "1";
    // Steel circles, cm.
    bool ALcirc = false;
    std::string ADiamMin = "2", AdiamMax = "5", ADiamStep = "0,5";
    // Concrete rectangles, cm.
    bool HArect = false;
    std::string HAnchMin = "25", HAnchMax = "70", HAnchStep = "5";
    std::string HCantMin = "25", HCantMax = "25", HCantStep = "0";
    // Concrete circles, cm.
    bool HAcirc = false;
    std::string HDiamMin = "30", HDiamMax = "30", HDiamStep = "0";
    // The four experimental soil-spring types.
    bool Terreno = false;
    // Index into steelGrades() ("A 42", "A 52") and concreteGrades() ("HA-25"...).
    int CmbAcer = 0;
    int CmbHorm = 0;

    // Every family and Terreno ticked, as when a structure is completed.
    static GeneratorOptions everything();
};

// The entries of the two combo boxes.
const std::vector<std::string>& steelGrades();
const std::vector<std::string>& concreteGrades();

// A generated table: the lines of TIPOS.DAT after its header and count line.
struct GeneratedTypes {
    int count = 0;
    std::vector<std::string> lines;  // one per type, without line ends
};

// Why nothing can be generated, with the message to show.
struct Refusal {
    std::string title;  // empty for a plain message box
    std::string message;
};

// Counts and generates the table. `maxTypeUsed` is the largest type number the
// structure's bars use (0 when there are none or when completing a structure).
// Progress is reported once per computed section (stage 1).
std::variant<GeneratedTypes, Refusal> generateTypes(const GeneratorOptions& options,
                                                    int maxTypeUsed = 0,
                                                    Progress* progress = nullptr);

// The whole text of TIPOS.DAT for a generated table, CR LF line ends.
std::string typesFileText(const GeneratedTypes& types);

// Replaces dir/TIPOS.DAT with the generated table (atomically).
void writeTypesFile(const std::filesystem::path& dir, const GeneratedTypes& types);

// Crear: generates with `options` and replaces dir/TIPOS.DAT, or writes nothing
// and returns the refusal. Returns the number of types written.
std::variant<int, Refusal> Crear(const std::filesystem::path& dir, const GeneratorOptions& options,
                                 int maxTypeUsed = 0, Progress* progress = nullptr);

// The largest rounded Type of the bars of the structure in `dir` (0 without
// bars); reads DATOS.DAT and BARRAS.DAT. Throws FileError like DiscoX.
int maxTypeUsed(const std::filesystem::path& dir);

// Writes TIPOS.DAT as when a structure is completed: every family and Terreno,
// the default texts, the first steel and concrete grades.
void writeDefaultTypes(const std::filesystem::path& dir);

// The message of the "?" label next to Terreno.
inline constexpr const char* TerrenoHelpTitle = "Opción experimental . . .";
extern const char* const TerrenoHelpText;

}  // namespace vanto::bartypes
