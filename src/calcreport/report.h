#pragma once
// The calculation report ("Memoria de cálculo"): one PDF document with a
// title page, the structure's data, figures of the structure, of every
// diagram kind and of the deformed shape, the results, and the extreme
// values of the diagrams with the bar and abscissa where they occur. A
// structure with load cases is reported on case 1, and a last section lists
// the cases and combinations and the extremes of their envelope.
//
// Every number in its tables is the text of the listings listado.txt and
// Resultad.res; its figures are drawn by the diagram window's picture. Long
// tables of large structures are abridged to their governing rows (see
// ReportOptions), figures always take one page each.

#include <cstddef>
#include <filesystem>
#include <string>

#include "diagrams/diagram_data.h"
#include "model/platform.h"

namespace vanto::calcreport {

inline constexpr const char* ReportName = "memoria.pdf";

// One set of results to report. A structure has one today: the results of
// its last calculation.
struct ResultSet {
    std::string caption;  // names the set in the report; empty for a structure's only set
    diagrams::DiagramData diagrams;
    std::string listing;  // the results listing, Resultad.res, as the listing module writes it
};

// The results of the last calculation of `dir`; of its case 1, named in the
// caption, when it has load cases. Throws diagrams::DiagramError
// (NotCalculatedText) when there are none, FileError for missing or damaged
// files, analysis::CalculationError for data no calculation could accept.
ResultSet loadResultSet(const std::filesystem::path& dir, const Clock& clock);

struct ReportOptions {
    // A table of more rows (or bars) than this shows only those with the
    // largest or smallest value of some column; 0 keeps every row.
    std::size_t tableRowLimit = 500;
};

// Progress stages: reading the data and results and laying the pages out
// (step of 5), then the pages written (page of pages).
enum ReportStage : int { StageReading = 1, StagePages = 2 };

// Writes the report of the structure in `dir` with `results` into `out`,
// replacing it in one step. Returns the number of pages, or 0 when the
// progress sink asked to stop (nothing is written). Throws as loadResultSet
// does, and std::system_error when `out` cannot be written.
int writeCalculationReport(const std::filesystem::path& dir, const ResultSet& results,
                           const std::filesystem::path& out, const ReportOptions& options,
                           Progress& progress, const Clock& clock);
// The same with the structure's last calculation.
int writeCalculationReport(const std::filesystem::path& dir, const std::filesystem::path& out,
                           const ReportOptions& options, Progress& progress, const Clock& clock);

}  // namespace vanto::calcreport
