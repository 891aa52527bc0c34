#pragma once
// The report's tables, read back from the listings listado.txt and
// Resultad.res as the listing module writes them: every number in the report
// is the listing's own text, so the two can never disagree.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "calcreport/document.h"

namespace vanto::calcreport {

// One section of a listing: its title line and its rows, without the
// column heading.
struct ListingSection {
    std::string title;
    std::vector<std::string> rows;
};

// The sections of a listing's text: a title follows two empty lines; a
// column heading, when there is one, is followed by an empty line.
std::vector<ListingSection> listingSections(std::string_view listing);

// The data tables: nodes, restraints, node loads, bars, bar types; and the
// general figures of the data listing's "DATOS" section (label, value).
struct DataTables {
    Table nodes, restraints, loads, bars, types;
    std::vector<std::pair<std::string, std::string>> general;
};
DataTables dataTables(std::string_view dataListing);

// The results tables: node displacements, bar end forces and support
// reactions. The reactions are the listing's unbalanced forces at the
// restrained degrees of freedom, with their sign reversed: what the support
// exerts on the structure. `freeResiduals` counts the unbalanced forces
// above 0.001 that the listing shows at free degrees of freedom.
struct ResultTables {
    Table displacements, endForces, reactions;
    int freeResiduals = 0;
};
ResultTables resultTables(std::string_view resultsListing);

// Keeps only the governing rows (groups) of a table longer than `limit`:
// those holding the largest or the smallest value of some column from
// `firstValueColumn` on; a note tells how many of how many `items` are shown
// and that the whole table is in `listingName`. 0 keeps every row.
void abridge(Table& table, std::size_t limit, std::size_t firstValueColumn,
             const std::string& items, const std::string& listingName);

}  // namespace vanto::calcreport
