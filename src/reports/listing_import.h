#pragma once
// The listing import: rebuilds a structure from an edited data listing
// (listado.txt, see listing.h).
//
// The reader is word-based: a value is the n-th blank-separated word of its
// line, "." or "," as the decimal separator, so column alignment does not
// matter but line order and word positions do. Sections are found by the
// first word of their title ("DATOS", "CARACTERISTICAS", "COORDENADAS",
// "TIPOS", "COACCIONES", "CARGAS"), in that order. Restraints read "LIBRE" in
// any letter case as free; nodes without a restraint row are free and nodes
// without a load row are unloaded. Bar types are renumbered 1.. in listing
// order and the bars follow them.
//
// The whole listing is read and checked before anything is touched. A listing
// that does not hold a consistent structure raises ListingImportError and the
// directory is left as it was. Only then are the old results (*.RES and every
// case's and combination's) and data files (*.DAT except the description
// NOTAS.DAT, and the load-case files) replaced by the new ones.
//
// A listing with load cases (written by dataListing) carries after case 1's
// loads the section "HIPOTESIS DE CARGA" (a numbered row per case, its name in
// quotes), each further case's "CARGAS EN LOS NUDOS ... HIPOTESIS k" and
// "CARGAS EN LAS BARRAS ... HIPOTESIS k" (bar number and its four loads), and
// "COMBINACIONES" (a numbered row per combination: name in quotes and one
// factor per case); they come back as HIPOTESI.DAT, CARGAS.Hkk, CARGABAR.Hkk
// and COMBINA.DAT. A listing without them gives a structure of one case.

#include <filesystem>
#include <stdexcept>
#include <string>

#include "model/platform.h"

namespace vanto::reports {

// A listing that cannot be imported. what() is the Spanish message for the
// user, naming the line of the listing where that applies.
class ListingImportError : public std::runtime_error {
  public:
    explicit ListingImportError(const std::string& message, int line = 0)
        : std::runtime_error(message), line_(line) {}
    // Line of the listing (from 1) the message is about; 0 for the whole file.
    int line() const { return line_; }

  private:
    int line_;
};

// Stages reported to the progress sink by listin.
enum ImportStage : int {
    ImportReading = 1,  // coordinates read, current node of NodeCount
    ImportWriting = 2,  // structure files written: six files, then the load cases
};

// Reads `listing` and rewrites the structure in `dir` from it. The sink's stop
// flag is read while the listing is read; a stop returns with the directory
// unchanged. Throws ListingImportError for a broken listing (or one that
// cannot be read), leaving the directory as it was, and FileError
// (model/files.h) when a file cannot be written. The new files are written
// beside the old ones before any old file goes, so a full disk or a read-only
// directory leaves the structure as it was too.
void listin(const std::filesystem::path& dir, const std::filesystem::path& listing,
            Progress& progress);

}  // namespace vanto::reports
