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

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "model/platform.h"
#include "model/structure_data.h"

namespace vanto::reports {

inline constexpr const char* DataListingName = "listado.txt";
inline constexpr const char* ResultsListingName = "Resultad.res";

// The extremes of the envelope along each bar, as the calculation found them:
// for bar b (1..) and force q (N, Vy, Vz, T, My, Mz; t, m·t) the largest and
// smallest value along the bar and the index in `codes` ("C01", "H02") of the
// combination or case that gives each.
struct EnvelopeExtremes {
    bool overCombinations = true;
    std::vector<std::string> codes;
    struct Value {
        double max = 0, min = 0;
        int maxBy = 0, minBy = 0;
    };
    std::vector<std::array<Value, 6>> bars;
};

// The whole text of listado.txt for the structure in `dir`. The header names
// `dir` as given and today's date from `clock`. A structure with load cases
// lists the loads of each case after case 1's, and the combinations.
std::string dataListing(const std::filesystem::path& dir, const Clock& clock);
// The whole text of Resultad.res: displacements, bar end forces and unbalanced
// forces of every case, then of every combination, then the envelope's
// extremes when given; or a line saying that the structure has not been
// calculated. With one case, its results alone, untitled.
std::string resultsListing(const std::filesystem::path& dir, const Clock& clock,
                           const EnvelopeExtremes* envelope = nullptr);

// One case's or combination's sections of Resultad.res from the values its
// result files are written from (displacements and unbalanced forces indexed
// 6·(node − 1) + k, k = 1..6; end forces per bar): the text resultsListing
// makes from those files, without reading them back.
template <class Real>
std::string resultsSections(const BasicStructure<Real>& s, const ResultSet& set,
                            const std::vector<double>& displacements, const Table<double>& forces,
                            const std::vector<double>& unbalanced);

// Write the listings into `dir`, replacing the old file in one atomic step.
// The results listing takes each set's sections from `sections` (in set
// order, as resultsSections makes them) when given, else from the files.
void writeDataListing(const std::filesystem::path& dir, const Clock& clock);
void writeResultsListing(const std::filesystem::path& dir, const Clock& clock,
                         const EnvelopeExtremes* envelope = nullptr,
                         const std::vector<std::string>* sections = nullptr);

}  // namespace vanto::reports
