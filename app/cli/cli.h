#pragma once
// Shared pieces of the vanto-cli subcommands: exit statuses, argument checks,
// messages and a progress bar on standard error.

#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
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

// What most commands do around their work: a progress bar with these captions,
// and the failures a subsystem reports in its own words (the exception types
// `Errors...`) printed on standard error with the status BadInput, the bar
// cleared first. `body` gets the bar, clears it before printing its own
// result and returns the status; the file module's errors are guarded().
//
//     return withProgress<exchange::ExchangeError>({{1, "Barra nº:"}},
//                                                 [&](TerminalProgress& progress) { ... });
template <class... Errors, class Body>
int withProgress(std::map<int, std::string> captions, Body&& body);

// ---------------------------------------------------------------------------

namespace detail {

template <class Body>
int reportingErrors(TerminalProgress&, Body& body) {
    return body();
}

// One try block for each type, the first type innermost.
template <class Error, class... More, class Body>
int reportingErrors(TerminalProgress& progress, Body& body) {
    try {
        return reportingErrors<More...>(progress, body);
    } catch (const Error& e) {
        progress.finish();
        std::cerr << e.what() << '\n';
        return BadInput;
    }
}

}  // namespace detail

template <class... Errors, class Body>
int withProgress(std::map<int, std::string> captions, Body&& body) {
    return guarded([&] {
        TerminalProgress progress(std::move(captions));
        auto run = [&] { return int(body(progress)); };
        return detail::reportingErrors<Errors...>(progress, run);
    });
}

}  // namespace vanto::cli
