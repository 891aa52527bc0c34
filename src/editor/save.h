#pragma once
// Opening and saving in the editor: the structure it starts from, the
// structure as the files will hold it, and the writing of all its files
// together.

#include <filesystem>
#include <stdexcept>

#include "model/structure_data.h"

namespace vanto::editor {

// A structure the editor cannot save as it stands; the message is the user's.
class SaveError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The structure the editor opens on: the files of `dir`; for a new structure
// (no DATOS.DAT) an empty one. Without TIPOS.DAT the default bar-type table is
// taken (written only on saving), and a structure without nodes gets one at
// the origin, so that the first bars can be dragged from it. Throws FileError.
Structure openForEditing(const std::filesystem::path& dir);

// Drops the bars from a node to itself and the nodes no remaining bar uses,
// numbers the kept nodes 1, 2, … in their old order, and gives every bar the
// lower new number as Origin. Throws SaveError for a bar that names a node
// that does not exist.
Structure compacted(const Structure& s);

// Writes compacted(s) into `dir`: DATOS, TIPOS, BARRAS, COORDENA, COACCION and
// CARGAS are written aside first and only then moved over the old files, and
// the old results (*.RES), which belong to the old numbering, are removed
// last. A failed write leaves `dir` as it was. A structure with several load
// cases is saved only while its nodes and bars keep the numbers its case files
// follow (SaveError otherwise). Throws FileError, SaveError.
Structure saveStructure(const std::filesystem::path& dir, const Structure& s);

}  // namespace vanto::editor
