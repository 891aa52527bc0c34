#pragma once
// Completion of a structure directory that only has its geometry, as left by
// the lattice generator and the imports: the missing node loads (all 0), node
// restraints (all free) and bar-type table are created.

#include <filesystem>
#include <functional>

namespace vanto {

// Reads DATOS.DAT, COORDENA.DAT and BARRAS.DAT of `dir` (so that a damaged
// geometry is reported before anything is added), then creates CARGAS.DAT with
// 6·N values 0 and COACCION.DAT with 6·N values 1234 when they are missing, and
// calls writeDefaultTypes(dir) when TIPOS.DAT is missing. Files that exist are
// left untouched.
//
// Throws FileError: Missing when DATOS.DAT, COORDENA.DAT or BARRAS.DAT is absent
// (without the counts nothing sensible can be created), Damaged when one of them
// does not fit its layout or DATOS.DAT belongs to another version, WriteFailed
// when a new file cannot be written.
void CompleteStructureFiles(
    const std::filesystem::path& dir,
    const std::function<void(const std::filesystem::path&)>& writeDefaultTypes);

}  // namespace vanto
