#pragma once
// Replacing several files of a directory as one change: however the program
// stops (an error, a crash, kill -9, a full disk, a power cut), the directory
// ends up holding all the old files or all the new ones, never a mix.
//
// The new files are first written, each made durable, into a staging
// directory inside `dir`. commitStaged() then writes a journal, `dir`/
// CommitJournalName, naming the staging directory, the files to move in and
// the old files to remove; once the journal is on disk the change is decided.
// The moves and removals follow, then the journal and the staging directory
// go. A commit interrupted after its journal is completed by the next
// finishInterruptedCommit() on `dir`, which DiscoX::readDatos runs before it
// reads, so no reader sees the half-done state; one interrupted before its
// journal never touched `dir`, and its staging directory is only litter.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vanto {

inline constexpr const char* CommitJournalName = ".vanto-diario";

// Called after each step of a commit (journal written, each file moved, each
// file removed, journal removed); tests stop the program there.
using CommitStepHook = std::function<void()>;

// Moves the files `moves` of `stage` (a directory inside `dir`) into `dir`,
// replacing files of the same name, and removes the files `removals` of
// `dir`, as one change. Throws FileError (WriteFailed) when the journal cannot
// be written (then nothing changed) or a step fails (then the change is
// completed by the next finishInterruptedCommit()).
void commitStaged(const std::filesystem::path& dir, const std::filesystem::path& stage,
                  const std::vector<std::string>& moves, const std::vector<std::string>& removals,
                  const CommitStepHook& step = {});

// Completes the commit whose journal `dir` holds, if any: moves in what its
// staging directory still holds, removes what is still to go, then the
// journal. Throws FileError (WriteFailed) when a step fails, and (Damaged)
// for a journal that is not one.
void finishInterruptedCommit(const std::filesystem::path& dir, const CommitStepHook& step = {});

// Whether `name` is a staging directory's name.
bool isStagingName(const std::string& name);
inline constexpr const char* StagingPrefix = ".vanto-nuevo-";

}  // namespace vanto
