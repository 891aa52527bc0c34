#pragma once
// Imports of the data files of two other plane-frame programs:
// wmin reads the SingleCaseFrameFile format, kvin the FourCaseFrameFile format.
//
// The plane frame goes into the global Y–Z plane (X = 0): its x becomes Y and
// its y becomes Z. Its sections become the bar types (steel when E ≥ 1 000 000
// kg/cm², concrete below), its restraints the translations Y, Z and the
// rotation about X (X is fixed, rotations about Y and Z are free), its node
// loads the forces Y and Z and the moment X, its bar loads the vertical loads.
// Bars of type 0 are dropped, then the nodes no bar uses; the remaining nodes
// keep their file order.
//
// Both formats are read value by value (blanks, commas and line ends separate
// values) with whole heading lines between the blocks:
//   SingleCaseFrameFile: title line; NodeCount BarCount TypeCount;
//     heading, types (kind E s A I); heading, bars (origin end type);
//     heading, nodes (x y); heading, restraints (r1 r2 r3);
//     heading, loads (p1 p2 p3); heading, bar loads (q and six ignored values).
//   FourCaseFrameFile: two title lines; TypeCount NodeCount BarCount;
//     heading, types; heading, nodes (x y); heading, bars (origin end type
//     fixity-origin fixity-end ignored); heading, restraints;
//     heading, four load records per node (summed);
//     heading, four bar-load records of eight values per bar (q first; the
//     bar's load is minus the sum of the four q).

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/exchange.h"
#include "model/platform.h"
#include "model/structure.h"

namespace vanto::exchange {

struct FrameBar {
    int origin = 0, end = 0, type = 0;
    float empOR = 1, empEX = 1;  // fixities at origin and end
    float load = 0;              // vertical load, t/m, as it goes to BARRAS.DAT
};

// A foreign file as read, before conversion. Vectors are indexed from 1.
struct FrameFile {
    std::string title;  // its lines joined by CR LF, blanks at the ends removed
    std::vector<std::array<float, 5>> types;  // kind, E (kg/cm²), s (cm), A (cm²), I (cm⁴)
    std::vector<std::array<float, 2>> nodes;  // x, y (m)
    std::vector<FrameBar> bars;
    std::vector<std::array<float, 3>> restraints;  // r1, r2, r3 as written
    std::vector<std::array<float, 3>> loads;       // p1, p2, p3 (t, m·t)
    int nodeCount() const { return int(nodes.size()) - 1; }
    int barCount() const { return int(bars.size()) - 1; }
    int typeCount() const { return int(types.size()) - 1; }
};

// Read the whole text, checking counts, records and node numbers. Throw
// ExchangeError naming the line; `label` names the file in messages.
FrameFile readSingleCaseFrameFile(std::string_view text, const std::string& label);
FrameFile readFourCaseFrameFile(std::string_view text, const std::string& label);

// The bar types of the file's sections, in file order.
BarTypes<float> frameTypes(const FrameFile& file, const std::string& label);

// Replace the structure in `dir` by the frame of `file`: old *.DAT and *.RES
// files go (NOTAS.DAT stays; the file's title becomes NOTAS.DAT when the
// structure has none). Progress stage 1 counts the nodes, stage 2 the bars.
// Throws ExchangeError for a broken file, FileError when writing fails; the
// directory is then as it was.
Summary wmin(const std::filesystem::path& dir, const std::filesystem::path& file,
             Progress* progress = nullptr);
Summary kvin(const std::filesystem::path& dir, const std::filesystem::path& file,
             Progress* progress = nullptr);

}  // namespace vanto::exchange
