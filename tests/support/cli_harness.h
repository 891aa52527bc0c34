#pragma once
// Runs vanto-cli on a command line, in-process or as a process, and keeps its
// exit status and what it printed.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "app/cli/commands.h"
#include "support/tempdir.h"

namespace vanto::test {

struct CliRun {
    int status;
    std::string out, err;
};

// Through the tool's entry point, as `vanto-cli args...`.
inline CliRun runCli(std::vector<std::string> args) {
    args.insert(args.begin(), "vanto-cli");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int status = cli::cliMain(int(args.size()), argv.data());
    return {status, testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr()};
}

// Each command refused with its status and the start of its message, printing
// nothing on its standard output.
inline void expectRefused(
    const std::vector<std::tuple<std::vector<std::string>, int, std::string>>& refusals) {
    for (const auto& [args, status, message] : refusals) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, status) << args.back();
        EXPECT_EQ(run.err.substr(0, message.size()), message) << run.err;
        EXPECT_EQ(run.out, "") << args.back();
    }
}

// The executable `program`, started in the directory `cwd`.
inline CliRun runProcess(const std::string& program, const std::vector<std::string>& args,
                         const TempDir& cwd) {
    std::string cmd = "cd '" + cwd.path().string() + "' && '" + program + "'";
    for (const std::string& a : args)
        cmd += " '" + a + "'";
    const int raw = std::system((cmd + " >.stdout 2>.stderr").c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, cwd.read(".stdout"), cwd.read(".stderr")};
}

// A copy of the data files of the sample structure `name` inside `into`.
inline std::filesystem::path copySample(const std::string& name, const TempDir& into) {
    namespace fs = std::filesystem;
    const fs::path to = into / name;
    fs::create_directories(to);
    for (const auto& e : fs::directory_iterator(fs::path(VANTO_SAMPLES) / name))
        if (e.path().extension() == ".DAT") fs::copy_file(e.path(), to / e.path().filename());
    return to;
}

}  // namespace vanto::test
