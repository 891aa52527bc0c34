#pragma once
// What every window of the program receives: the session (the process-wide
// values), messages, the clock, the printer and the way a fatal file error
// ends the program. The program's controller implements it; tests fake it.

#include <filesystem>
#include <memory>
#include <string>

#include "model/files.h"
#include "model/platform.h"
#include "model/structure.h"
#include "model/surface.h"

namespace vanto::ui {

class AppContext {
  public:
    virtual ~AppContext() = default;

    virtual Session& session() = 0;
    virtual Messages& messages() = 0;
    virtual const Clock& clock() = 0;

    // A missing, damaged or unwritable file: shows its message, deletes the
    // settings file and ends the program. Returns to the caller, which must
    // leave its handler; nothing is saved from then on.
    virtual void fatal(const FileError& error) = 0;
    // The program is ending after a fatal error; long loops stop.
    virtual bool ending() const = 0;

    // The default printer; without one, the file `documentName`.pdf in
    // `fallbackDirectory`.
    virtual std::unique_ptr<Printer> openPrinter(const std::filesystem::path& fallbackDirectory,
                                                 const std::string& documentName) = 0;
};

// Runs a window's handler, turning a file error into the program's end.
// Returns false when the handler failed that way.
template <class F>
bool guarded(AppContext& context, F&& body) {
    try {
        body();
        return true;
    } catch (const FileError& e) {
        context.fatal(e);
        return false;
    }
}

}  // namespace vanto::ui
