#include "exchange/replacement.h"

#include <algorithm>
#include <cctype>
#include <random>
#include <set>
#include <system_error>

#include "bartypes/generator.h"
#include "exchange/exchange.h"
#include "model/complete.h"
#include "model/file_commit.h"
#include "model/files.h"

namespace vanto::exchange {

namespace fs = std::filesystem;

namespace {

std::string upper(std::string s) {
    for (char& c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool endsWith(const std::string& s, const char* suffix) {
    const std::string_view x(suffix);
    return s.size() >= x.size() && s.compare(s.size() - x.size(), x.size(), x) == 0;
}

}  // namespace

StructureReplacement::StructureReplacement(fs::path dir, Cleanup cleanup)
    : dir_(std::move(dir)), cleanup_(cleanup) {
    // An earlier replacement cut short is finished first; staging directories
    // it left without a journal were never committed.
    finishInterruptedCommit(dir_);
    std::error_code ec;
    for (fs::directory_iterator it(dir_, ec), end; !ec && it != end; it.increment(ec))
        if (isStagingName(it->path().filename().string()) && it->is_directory())
            fs::remove_all(it->path(), ec);
    ec.clear();
    std::random_device rd;
    for (int attempt = 0; attempt < 20; ++attempt) {
        stage_ = dir_ / (StagingPrefix + std::to_string(rd() % 100000000));
        if (fs::create_directory(stage_, ec)) return;
        if (ec) break;
    }
    const fs::path failed = stage_;
    stage_.clear();
    throw FileError(FileError::Kind::WriteFailed, failed, ec ? ec.message() : "ya existe");
}

StructureReplacement::~StructureReplacement() {
    std::error_code ec;
    // A journal means the change was decided: its files stay for the next
    // reader to finish moving in.
    if (stage_.empty() || fs::exists(dir_ / CommitJournalName, ec)) return;
    fs::remove_all(stage_, ec);
}

void StructureReplacement::complete() {
    const bool keepsTypes = cleanup_ != Cleanup::DataAndResults && fileExists(dir_, "TIPOS.DAT");
    CompleteStructureFiles(stage_, [keepsTypes](const fs::path& where) {
        if (!keepsTypes) bartypes::writeDefaultTypes(where);
    });
}

void StructureReplacement::commit(const fs::path& source, const CommitStepHook& step) {
    std::error_code ec;
    std::vector<std::string> staged;
    for (fs::directory_iterator it(stage_, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file()) staged.push_back(it->path().filename().string());
    if (ec) throw FileError(FileError::Kind::WriteFailed, stage_, ec.message());
    std::set<std::string> stagedUpper;
    for (const auto& name : staged)
        stagedUpper.insert(upper(name));

    // The file being imported, if it lives here, is the user's and stays.
    auto isSource = [&](const fs::path& p) {
        std::error_code e;
        return !source.empty() && fs::equivalent(p, source, e);
    };

    std::vector<fs::path> obsolete;
    for (fs::directory_iterator it(dir_, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file()) continue;
        const std::string name = it->path().filename().string();
        const std::string up = upper(name);
        if (stagedUpper.count(up)) {
            if (isSource(it->path()))
                throw ExchangeError("El fichero que se importa, " + name +
                                    ", es un fichero de la propia estructura y se perdería. "
                                    "Cópielo a otro directorio e impórtelo desde allí.");
            // The same name in another case would shadow the new file.
            if (std::find(staged.begin(), staged.end(), name) == staged.end())
                obsolete.push_back(it->path());
            continue;
        }
        if (isSource(it->path())) continue;
        if (endsWith(up, ".RES") || isResultFile(name) ||
            (cleanup_ != Cleanup::Results && isLoadCaseFile(name)) ||
            (cleanup_ == Cleanup::DataAndResults && endsWith(up, ".DAT") && up != "NOTAS.DAT"))
            obsolete.push_back(it->path());
    }
    if (ec) throw FileError(FileError::Kind::WriteFailed, dir_, ec.message());

    std::vector<std::string> removals;
    for (const auto& p : obsolete)
        removals.push_back(p.filename().string());
    commitStaged(dir_, stage_, staged, removals, step);
}

}  // namespace vanto::exchange
