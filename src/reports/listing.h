#pragma once
// The text listings of a structure directory: the data listing listado.txt
// (meant to be edited and read back by the listing import) and the results
// listing Resultad.res.
//
// Both start with the same four header lines (program, project directory,
// date). Numbers are right-aligned in fixed columns with the locale's decimal
// separator (decimalSeparator() of model/helpers.h); each section is two empty
// lines, its title, an empty line, a column heading and an empty line, then
// its rows. Lines end in CR LF.
//
// The data are read through DiscoX; a missing or damaged file raises
// FileError, a missing DATOS.DAT included. Results are present when INCOG.RES
// exists.

#include <filesystem>
#include <string>

#include "model/platform.h"

namespace vanto::reports {

inline constexpr const char* DataListingName = "listado.txt";
inline constexpr const char* ResultsListingName = "Resultad.res";

// The whole text of listado.txt for the structure in `dir`. The header names
// `dir` as given and today's date from `clock`.
std::string dataListing(const std::filesystem::path& dir, const Clock& clock);
// The whole text of Resultad.res: displacements, bar end forces and unbalanced
// forces, or a line saying that the structure has not been calculated.
std::string resultsListing(const std::filesystem::path& dir, const Clock& clock);

// Write the listings into `dir`, replacing the old file in one atomic step.
void writeDataListing(const std::filesystem::path& dir, const Clock& clock);
void writeResultsListing(const std::filesystem::path& dir, const Clock& clock);

}  // namespace vanto::reports
