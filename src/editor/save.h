#pragma once
// Opening and saving in the editor: the structure it starts from, the
// structure as the files will hold it, and the writing of all its files
// together.

#include <filesystem>
#include <stdexcept>

#include "model/file_commit.h"
#include "model/structure_data.h"

namespace vanto::editor {

// A structure the editor cannot save as it stands; the message is the user's.
class SaveError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The structure the editor opens on: the files of `dir`; for a new structure
// (no DATOS.DAT) an empty one; its load cases and combinations come
// with it. Without TIPOS.DAT the default bar-type table is
// taken (written only on saving), and a structure without nodes gets one at
// the origin, so that the first bars can be dragged from it. Throws FileError.
Structure openForEditing(const std::filesystem::path& dir);

// Drops the bars from a node to itself and the nodes no remaining bar uses,
// numbers the kept nodes 1, 2, … in their old order, and gives every bar the
// lower new number as Origin; the rows of every load case follow their nodes
// and bars. Throws SaveError for a bar that names a node that does not exist.
Structure compacted(const Structure& s);

// Writes compacted(s) into `dir`: DATOS, TIPOS, BARRAS, COORDENA, COACCION,
// CARGAS and, when `s` holds them, the files of its load cases and
// combinations are written aside first and then replace the old files as one
// change, which also removes the old results. When the files would read back
// exactly as the old ones, nothing is written and the results stay. Whatever
// stops the program on the way, `dir` holds the old files or the new ones.
// `step` follows each file written and each step of the change (tests stop
// there). Throws FileError, SaveError.
Structure saveStructure(const std::filesystem::path& dir, const Structure& s,
                        const CommitStepHook& step = {});

}  // namespace vanto::editor
