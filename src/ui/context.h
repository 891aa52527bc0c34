#pragma once
// What every window of the program receives: the session (the process-wide
// values), messages, the clock, the printer and the way a fatal file error
// ends the program. The program's controller implements it; tests fake it.

#include <exception>
#include <filesystem>
#include <memory>
#include <new>
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

// Runs a window's handler so that no exception leaves it: Qt's event
// delivery is not exception safe. A file error ends the program; any other
// error is shown and the program goes on. Returns false when the handler
// failed.
template <class F>
bool guarded(AppContext& context, F&& body) {
    try {
        body();
        return true;
    } catch (const FileError& e) {
        context.fatal(e);
    } catch (const std::bad_alloc&) {
        context.messages().show("¡ Error !",
                                "Error sin tratamiento previsto.\nNº: 7\nMemoria insuficiente",
                                MessageIcon::Critical);
    } catch (const std::exception& e) {
        context.messages().show("¡ Error !",
                                std::string("Error sin tratamiento previsto.\nNº: 5\n") + e.what(),
                                MessageIcon::Critical);
    }
    return false;
}

namespace detail {
template <class F, class R, class C, class... A>
auto guardedSlot(AppContext& context, F f, R (C::*)(A...) const) {
    return [&context, f](A... args) { guarded(context, [&] { f(args...); }); };
}
}  // namespace detail

// `handler` (a lambda) as a slot that runs it guarded; connect it instead.
template <class F>
auto slot(AppContext& context, F handler) {
    return detail::guardedSlot(context, std::move(handler), &F::operator());
}
// The window's member `handler` as a guarded slot.
template <class W, class R, class... A>
auto slot(AppContext& context, W* window, R (W::*handler)(A...)) {
    return [&context, window, handler](A... args) {
        guarded(context, [&] { (window->*handler)(args...); });
    };
}

}  // namespace vanto::ui
