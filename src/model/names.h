#pragma once
// Creating, copying and deleting structure directories ("-" and the name) in a
// work directory, as the main window's dialogs do. They work on whole
// directories and never open the data files.
//
// Names are used without their leading and trailing blanks. A name holding the
// path separator would reach outside the work directory and is refused, and a
// refusal of the file system is reported instead of passing in silence.

#include <filesystem>
#include <string>
#include <string_view>

namespace vanto {

// What a change did. `message` is for an "Error" box; empty when there is none.
struct StructureChange {
    std::string message;
    bool changed = false;  // the structures of the work directory changed
    std::string created;   // the structure made, new or copy
};

// A typed name without its leading and trailing blanks (Unicode spaces too).
std::string trimmedName(std::string_view typed);
// Why `name` cannot name a structure; empty when it can.
std::string nameRefusal(const std::string& name);
// The directory of structure `name`: the work directory, a separator unless
// it ends in one, "-" and the name.
std::filesystem::path structureTarget(const std::filesystem::path& work, const std::string& name);

// An empty structure named `typed`. An empty name is refused.
StructureChange createStructure(const std::filesystem::path& work, std::string_view typed);
// A new structure `copy` with the ordinary files of `source` (results and
// listings included, subdirectories not). An empty name is refused.
StructureChange copyStructure(const std::filesystem::path& work, std::string_view source,
                              std::string_view copy);
// Removes structure `name` and its files; one holding other directories is
// left whole.
StructureChange deleteStructure(const std::filesystem::path& work, std::string_view name);

}  // namespace vanto
