#pragma once
// The readers of every file the program takes from outside, each driven by
// one input as a fuzzing harness and the corpus replay give it. A reader
// swallows the errors its file is allowed to cause (a refused or damaged
// file); anything else escapes and is a finding.
//
// Inputs of readers that need the counts of DATOS.DAT hold several files
// separated by NUL bytes, DATOS.DAT first; a file left out is missing.

#include <span>
#include <string_view>

namespace vanto::fuzz {

struct Reader {
    const char* name;  // also the corpus directory's name
    void (*read)(std::string_view input);
};

std::span<const Reader> readers();
const Reader* findReader(std::string_view name);

}  // namespace vanto::fuzz
