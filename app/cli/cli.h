#pragma once
// Shared pieces of the vanto-cli subcommands: exit statuses, argument checks,
// messages and a progress bar on standard error.

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "model/platform.h"

namespace vanto::cli {

enum Exit : int {
    Ok = 0,
    Usage = 1,      // the command line is wrong
    BadInput = 2,   // a file is missing or bad
    Mechanism = 3,  // the calculation found a mechanism
};

// The structure directory named by an argument, or nullopt after printing why not.
std::optional<std::filesystem::path> structureDirectory(const std::string& arg);

// Runs `body`, turning the file module's and other errors into messages on
// standard error and their exit status.
int guarded(const std::function<int()>& body);

// Prints a message (title and text) on standard error.
void printMessage(const std::string& title, const std::string& text);

// Message boxes become lines on standard error; questions get "Sí".
class StderrMessages : public Messages {
  public:
    MessageAnswer show(std::string_view title, std::string_view text, MessageIcon icon,
                       MessageButtons buttons) override;
};

// A progress bar on standard error, drawn only when it is a terminal, at most
// ten times a second. Each stage has a caption.
class TerminalProgress : public Progress {
  public:
    explicit TerminalProgress(std::map<int, std::string> captions);
    ~TerminalProgress() override;
    void report(int stage, long long current, long long total) override;
    // Clears the bar line before other output.
    void finish();

  private:
    std::map<int, std::string> captions_;
    bool enabled_;
    bool drawn_ = false;
    int lastStage_ = -1;
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace vanto::cli
