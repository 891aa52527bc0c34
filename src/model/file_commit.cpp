#include "model/file_commit.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <system_error>

#include "model/files.h"
#include "model/textfile.h"

namespace vanto {

namespace fs = std::filesystem;

namespace {

constexpr const char* JournalHeader = "VANTO-DIARIO 1";
constexpr const char* JournalEnd = "FIN";

struct Journal {
    std::string stage;
    std::vector<std::string> moves, removals;
};

// Renames and removals are durable only once their directory is synced.
void syncDirectory(const fs::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool plainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\r\n") == std::string::npos;
}

std::string journalText(const Journal& j) {
    std::string out = std::string(JournalHeader) + "\r\n" + j.stage + "\r\n";
    for (const auto& m : j.moves)
        out += "M " + m + "\r\n";
    for (const auto& r : j.removals)
        out += "B " + r + "\r\n";
    return out + JournalEnd + "\r\n";
}

// The journal in `text`; throws Damaged for anything else.
Journal parseJournal(const fs::path& path, const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    const auto bad = [&] {
        return FileError(FileError::Kind::Damaged, path, "diario de grabación no válido");
    };
    if (lines.size() < 3 || lines[0] != JournalHeader || lines.back() != JournalEnd ||
        !isStagingName(lines[1]) || !plainName(lines[1]))
        throw bad();
    Journal j{lines[1], {}, {}};
    for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
        const std::string& l = lines[i];
        const std::string name = l.size() > 2 ? l.substr(2) : std::string();
        if (!plainName(name) || (l.compare(0, 2, "M ") != 0 && l.compare(0, 2, "B ") != 0))
            throw bad();
        (l[0] == 'M' ? j.moves : j.removals).push_back(name);
    }
    return j;
}

[[noreturn]] void failed(const fs::path& path, const std::error_code& ec) {
    throw FileError(FileError::Kind::WriteFailed, path, ec.message());
}

}  // namespace

bool isStagingName(const std::string& name) {
    return name.rfind(StagingPrefix, 0) == 0;
}

void commitStaged(const fs::path& dir, const fs::path& stage, const std::vector<std::string>& moves,
                  const std::vector<std::string>& removals, const CommitStepHook& step) {
    Journal j{stage.filename().string(), {}, {}};
    for (const auto& m : moves)
        if (plainName(m)) j.moves.push_back(m);
    // A name the journal cannot hold is left where it is rather than guessed at.
    for (const auto& r : removals)
        if (plainName(r)) j.removals.push_back(r);
    syncDirectory(stage);
    const fs::path journal = dir / CommitJournalName;
    try {
        writeFileAtomically(journal, journalText(j));
    } catch (const std::system_error& e) {
        throw FileError(FileError::Kind::WriteFailed, journal, e.code().message());
    }
    syncDirectory(dir);
    if (step) step();
    finishInterruptedCommit(dir, step);
}

void finishInterruptedCommit(const fs::path& dir, const CommitStepHook& step) {
    const fs::path path = dir / CommitJournalName;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const Journal j = parseJournal(path, bytes.str());
    const fs::path stage = dir / j.stage;
    for (const auto& name : j.moves) {
        // Moved before the interruption: nothing left to do for it.
        if (!fs::exists(stage / name, ec)) continue;
        fs::rename(stage / name, dir / name, ec);
        if (ec) failed(dir / name, ec);
        if (step) step();
    }
    syncDirectory(dir);
    for (const auto& name : j.removals) {
        if (!fs::remove(dir / name, ec) && ec) failed(dir / name, ec);
        if (step) step();
    }
    if (!fs::remove(path, ec) && ec) failed(path, ec);
    syncDirectory(dir);
    if (step) step();
    fs::remove_all(stage, ec);
}

}  // namespace vanto
