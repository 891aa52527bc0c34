#pragma once
// Where the main window opens: the settings remembered from the last run, kept
// only as far as the places they name still exist.

#include "model/structure.h"

namespace vanto {

// The settings to start on. Without a settings file (`found` false) they point
// at the program's directory with no structure. Otherwise a drive, work
// directory or structure that no longer exists gives way to the program's
// drive, the program's directory or no structure. StructureDirectory follows
// the result; the other fields are kept as read.
SessionSettings startingSettings(const Session& session, bool found);

}  // namespace vanto
