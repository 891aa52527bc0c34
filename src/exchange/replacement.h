#pragma once
// Safe replacement of a structure's files.
//
// The new files are written into a hidden staging directory inside the
// structure directory, completed there (CompleteStructureFiles with the default
// bar-type table) and read back, and only then moved over the old ones, all as
// one change (model/file_commit.h). Until commit() the structure directory is
// untouched, so a bad input, a failed write or a stop leaves it exactly as it
// was; from then on it holds the new files, even after a crash.

#include <filesystem>
#include <string>
#include <vector>

#include "model/file_commit.h"

namespace vanto::exchange {

class StructureReplacement {
  public:
    enum class Cleanup {
        // Old results go (*.RES and every case's): the geometry they belong to
        // has changed.
        Results,
        // ... and the load-case files not staged: the staged structure holds
        // its load cases.
        ResultsAndLoadCases,
        // Old *.DAT, load-case and result files go, except NOTAS.DAT.
        DataAndResults,
    };

    StructureReplacement(std::filesystem::path dir, Cleanup cleanup);
    // Removes the staging directory and what is left in it, unless commit()
    // got as far as deciding the change.
    ~StructureReplacement();
    StructureReplacement(const StructureReplacement&) = delete;
    StructureReplacement& operator=(const StructureReplacement&) = delete;

    // Where the new files are written (with the DiscoX writers).
    const std::filesystem::path& stage() const { return stage_; }

    // Adds the files the staged geometry still lacks: zero loads, free restraints
    // and, unless the directory keeps its own, the default TIPOS.DAT. Reads the
    // staged DATOS.DAT, COORDENA.DAT and BARRAS.DAT back on the way.
    void complete();

    // Moves the staged files into the structure directory and removes the old
    // files the cleanup names, as one change. `source`, the file being
    // imported, is never removed; one that would be overwritten is refused
    // before anything changes. `step` follows the steps of the change.
    void commit(const std::filesystem::path& source = {}, const CommitStepHook& step = {});

  private:
    std::filesystem::path dir_;
    std::filesystem::path stage_;
    Cleanup cleanup_;
};

}  // namespace vanto::exchange
