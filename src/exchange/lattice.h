#pragma once
// The lattice generator: a regular grid of nodes with the beams and columns
// that join neighbouring nodes, written as the structure's geometry.
//
// Nodes are numbered fastest along z, then y, then x: grid point (i, j, k),
// counted from 1, is node c + ((i − 1)·ny + (j − 1))·nz + k, where c is the
// node count kept from the structure. For each node, in this order, the bar
// from the node before it along x, along y and below it (a column) is appended,
// the older node as origin. Bars have type 1, both ends fixed, no loads; new
// nodes are free and unloaded. Coordinates in m.

#include <filesystem>
#include <string>

#include "exchange/exchange.h"
#include "model/platform.h"

namespace vanto::exchange {

struct LatticeOptions {
    // Points per direction ("Nº de puntos"); rounded to the nearest integer.
    double nx = 3, ny = 4, nz = 5;
    // Spacings ("Espaciado (m)") and origin ("Origen"), m.
    double ex = 5, ey = 6, ez = 3;
    double ox = 0, oy = 0, oz = 0;
    bool keepCurrent = false;      // "Conservar datos actuales": append to the structure
    bool createBars = true;        // "Crear vigas y pilares"
    bool foundationBeams = false;  // "Crear vigas cimentación": beams of the lowest level too
};

// The texts of the window's boxes, read as the platform reads a plain number:
// the leading number of the text, "." as the decimal separator, 0 when none.
double plainNumber(std::string_view text);

// Most grid points one generation may add.
inline constexpr long long MaxLatticeNodes = 1000000;

// Generates the grid in the structure directory `dir`: writes DATOS.DAT,
// COORDENA.DAT, BARRAS.DAT, CARGAS.DAT and COACCION.DAT, completes the structure
// (TIPOS.DAT when it has none) and removes the old results, which belong to
// another geometry. A zero product of counts and spacings writes nothing.
// Throws ExchangeError for negative, unusable or too large counts, FileError
// when the kept structure cannot be read or the files cannot be written.
// Why a lattice wrote nothing.
inline constexpr const char* EmptyLatticeText =
    "No se ha generado nada: el producto de los números de puntos y de los espaciados es 0.";

Summary generateLattice(const std::filesystem::path& dir, const LatticeOptions& options,
                        Progress* progress = nullptr);

}  // namespace vanto::exchange
