#include "app/cli/cli.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <new>
#include <system_error>

#include "model/files.h"

namespace vanto::cli {

namespace fs = std::filesystem;

std::optional<fs::path> structureDirectory(const std::string& arg) {
    std::error_code ec;
    if (!fs::is_directory(arg, ec)) {
        std::cerr << "vanto-cli: No existe el directorio de la estructura: " << arg << '\n';
        return std::nullopt;
    }
    return fs::path(arg);
}

void printMessage(const std::string& title, const std::string& text) {
    if (title.empty())
        std::cerr << text << '\n';
    else
        std::cerr << title << ": " << text << '\n';
}

int guarded(const std::function<int()>& body) {
    try {
        return body();
    } catch (const FileError& e) {
        std::cerr << e.message() << '\n';
        if (!e.detail().empty()) std::cerr << e.path().string() << ": " << e.detail() << '\n';
        return BadInput;
    } catch (const std::bad_alloc&) {
        std::cerr << "No hay memoria suficiente para esta operación.\n";
        return BadInput;
    }
}

MessageAnswer StderrMessages::show(std::string_view title, std::string_view text, MessageIcon,
                                   MessageButtons buttons) {
    printMessage(std::string(title), std::string(text));
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Yes;
}

TerminalProgress::TerminalProgress(std::map<int, std::string> captions)
    : captions_(std::move(captions)), enabled_(::isatty(STDERR_FILENO) == 1) {}

TerminalProgress::~TerminalProgress() {
    finish();
}

void TerminalProgress::report(int stage, long long current, long long total) {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    const bool last = current >= total;
    if (stage == lastStage_ && !last && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    lastStage_ = stage;
    constexpr int width = 30;
    const double f = total > 0 ? double(current) / double(total) : 1.0;
    const int filled = int(f * width + 0.5);
    std::string bar(std::size_t(std::max(0, std::min(width, filled))), '#');
    bar.resize(width, '.');
    const auto it = captions_.find(stage);
    const std::string caption = it == captions_.end() ? "" : it->second;
    std::fprintf(stderr, "\r\033[K%s %lld / %lld [%s]", caption.c_str(), current, total,
                 bar.c_str());
    std::fflush(stderr);
    drawn_ = true;
}

void TerminalProgress::finish() {
    if (!drawn_) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    drawn_ = false;
}

}  // namespace vanto::cli
