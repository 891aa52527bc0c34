#pragma once
// dxfout: the bars of a structure as a DXF drawing of lines, for CAD programs.
//
// The file holds only an ENTITIES section: one LINE per bar on layer 0, from
// the origin node to the end node, coordinates in m as written values ("."
// separator, no padding). Colouring by type gives bar type t the colour number
// (t mod 14) + 1; otherwise no colour group is written and every bar takes the
// layer's colour.

#include <filesystem>
#include <optional>
#include <string>

#include "exchange/exchange.h"
#include "model/arrays.h"
#include "model/platform.h"

namespace vanto::exchange {

// The DXF text of bars 1..barCount over the coordinates (node, axis), whose
// rows must hold every node the bars name; CR LF line ends. Progress stage 1 counts the bars;
// nullopt when stopped.
std::optional<std::string> structureDxf(const Table<float>& coordinates, const Table<float>& bars,
                                        int barCount, bool colourByType,
                                        Progress* progress = nullptr);

// The file dxfout writes for a base name: the base name followed by ".DXF".
std::filesystem::path dxfFileName(const std::filesystem::path& baseName);

// Whether the structure in `dir` can be exported: DATOS.DAT, BARRAS.DAT and
// COORDENA.DAT exist.
bool exportAvailable(const std::filesystem::path& dir);

// Writes the structure of `dir` to dxfFileName(baseName), replacing any old
// file. Throws ExchangeError for a structure of another version or a bar whose
// nodes do not exist, FileError for missing or damaged structure files and a
// file that cannot be written.
Outcome dxfout(const std::filesystem::path& dir, const std::filesystem::path& baseName,
               bool colourByType, Progress* progress = nullptr);

}  // namespace vanto::exchange
