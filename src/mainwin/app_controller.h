#pragma once
// The program's controller: owns the session (the process-wide values), opens
// the main window and the module windows one at a time, and ends the program.
//
// A module is a window opened by a four-letter code ("CMGE", "LIST"...). The
// main window unloads with the code of the module chosen from its menus; the
// controller opens that module's window and, when it closes, shows the main
// window again. A module's menu entry exists only while its code is
// registered (modules.cpp registers them all).

#include <QObject>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "model/platform.h"
#include "model/structure.h"
#include "ui/context.h"
#include "ui/module_window.h"

namespace vanto {

class MainWindow;

using ModuleFactory = std::function<ui::ModuleWindow*(ui::AppContext&)>;

// Where NOMBRE.DAT and visor.dat live: the program's directory when it can be
// written, otherwise $XDG_CONFIG_HOME/vanto (by default ~/.config/vanto).
std::filesystem::path chooseSettingsDirectory(const std::filesystem::path& programDirectory);

class AppController : public QObject, public ui::AppContext {
    Q_OBJECT
  public:
    // `messages` and `clock` default to message boxes and the system clock.
    AppController(const std::filesystem::path& programDirectory,
                  const std::filesystem::path& settingsDirectory, Messages* messages = nullptr,
                  const Clock* clock = nullptr);
    ~AppController() override;

    void registerModule(const std::string& code, ModuleFactory factory);
    bool hasModule(const std::string& code) const { return modules_.count(code) != 0; }

    // Loads and shows the main window.
    void start();
    MainWindow* mainWindow() { return main_.get(); }
    // The module window on screen, if any.
    ui::ModuleWindow* moduleWindow() { return module_; }

    // Opens a module's window as the main window's unloading does. An unknown
    // code gets "No existe la subrutina " and the program ends.
    void dispatch(const std::string& code);
    // Opens a module's window on behalf of another module: OpenedByModule is
    // raised, and closing it neither clears the other module nor brings back
    // the main window.
    ui::ModuleWindow* openByModule(const std::string& code);

    // How the program ends (QCoreApplication::exit by default); tests record it.
    void setQuit(std::function<void(int status)> quit) { quit_ = std::move(quit); }
    // Prints to the system's default printer when there is one (default), or
    // always to PDF files.
    void setSystemPrinter(bool use) { systemPrinter_ = use; }

    // AppContext
    Session& session() override { return session_; }
    Messages& messages() override { return *messages_; }
    const Clock& clock() override { return *clock_; }
    void fatal(const FileError& error) override;
    bool ending() const override { return ending_; }
    std::unique_ptr<Printer> openPrinter(const std::filesystem::path& fallbackDirectory,
                                         const std::string& documentName) override;

  private:
    ui::ModuleWindow* open(const std::string& code, bool byModule);
    void moduleFinished(ui::ModuleWindow* window, bool byModule);
    void quit(int status);

    Session session_;
    std::unique_ptr<Messages> ownMessages_;
    Messages* messages_;
    SystemClock systemClock_;
    const Clock* clock_;
    std::map<std::string, ModuleFactory> modules_;
    std::unique_ptr<MainWindow> main_;
    QPointer<ui::ModuleWindow> module_;
    std::function<void(int)> quit_;
    bool ending_ = false;
    bool systemPrinter_ = true;
};

}  // namespace vanto
