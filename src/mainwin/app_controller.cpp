#include "mainwin/app_controller.h"

#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QScreen>
#include <QShortcut>
#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "mainwin/help_viewer.h"
#include "mainwin/main_window.h"
#include "model/files.h"
#include "ui/messages.h"
#include "ui/printer.h"

namespace vanto {

namespace fs = std::filesystem;

fs::path chooseSettingsDirectory(const fs::path& programDirectory) {
    if (!programDirectory.empty() && ::access(programDirectory.c_str(), W_OK) == 0)
        return programDirectory;
    fs::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME");
        xdg && *xdg && fs::path(xdg).is_absolute())
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = fs::path(home) / ".config";
    else
        base = fs::temp_directory_path();
    const fs::path dir = base / "vanto";
    std::error_code ec;
    fs::create_directories(dir, ec);
    return dir;
}

AppController::AppController(const fs::path& programDirectory, const fs::path& settingsDirectory,
                             Messages* messages, const Clock* clock)
    : messages_(messages), clock_(clock ? clock : &systemClock_) {
    if (!messages_) {
        ownMessages_ = std::make_unique<ui::QtMessages>();
        messages_ = ownMessages_.get();
    }
    session_.programDirectory = programDirectory;
    session_.settingsDirectory = settingsDirectory;
    quit_ = [](int status) { QCoreApplication::exit(status); };
}

AppController::~AppController() {
    if (module_) delete module_.data();
}

void AppController::registerModule(const std::string& code, ModuleFactory factory) {
    modules_[code] = std::move(factory);
}

void AppController::start() {
    if (!main_) {
        main_ = std::make_unique<MainWindow>(*this);
        connect(main_.get(), &MainWindow::unloaded, this,
                ui::slot(*this, [this](const QString& code) { dispatch(code.toStdString()); }));
    }
    main_->load();
}

void AppController::dispatch(const std::string& code) {
    if (ending_) return;
    if (code.empty()) {
        quit(0);
        return;
    }
    if (!hasModule(code)) {
        messages().show("Aviso de error", "No existe la subrutina " + code,
                        MessageIcon::Exclamation);
        quit(0);
        return;
    }
    open(code, false);
}

ui::ModuleWindow* AppController::openByModule(const std::string& code) {
    if (!hasModule(code)) return nullptr;
    session_.OpenedByModule = true;
    return open(code, true);
}

ui::ModuleWindow* AppController::open(const std::string& code, bool byModule) {
    ui::ModuleWindow* window = nullptr;
    if (!ui::guarded(*this, [&] { window = modules_.at(code)(*this); }) || !window) return nullptr;
    connect(window, &ui::ModuleWindow::finished, this,
            ui::slot(*this, [this, window, byModule] { moduleFinished(window, byModule); }));
    if (!byModule) module_ = window;
    // F1 opens the window's own help topic over it.
    connect(new QShortcut(QKeySequence::HelpContents, window), &QShortcut::activated, window,
            [this, window] {
                session_.HelpTopic = window->helpTopic();
                HelpViewer::open(session_, window);
            });
    // Where the main window was, so the eye need not search for it.
    if (main_) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(main_->frameGeometry().center());
        const QRect screen = main_->screen()->availableGeometry();
        frame.moveLeft(std::clamp(frame.left(), screen.left(),
                                  std::max(screen.left(), screen.right() - frame.width())));
        frame.moveTop(std::clamp(frame.top(), screen.top(),
                                 std::max(screen.top(), screen.bottom() - frame.height())));
        window->move(frame.topLeft());
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void AppController::moduleFinished(ui::ModuleWindow* window, bool byModule) {
    window->hide();
    window->deleteLater();
    if (ending_) return;
    if (byModule) {
        session_.OpenedByModule = false;
        return;
    }
    start();
}

void AppController::fatal(const FileError& error) {
    if (ending_) return;
    ending_ = true;
    std::string text = error.message();
    // A damaged file is named, with what is wrong in it, as vanto-cli does.
    if (error.kind() == FileError::Kind::Damaged)
        text += "\n" + error.path().string() +
                (error.detail().empty() ? std::string() : ": " + error.detail());
    messages().show("Error", text, MessageIcon::Critical);
    DiscoX::deleteSettings(session_);
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
    quit(2);
}

void AppController::quit(int status) {
    if (quit_) quit_(status);
}

std::unique_ptr<Printer> AppController::openPrinter(const fs::path& fallbackDirectory,
                                                    const std::string& documentName) {
    return ui::QtPrinter::openDefault(fallbackDirectory, documentName, messages(), systemPrinter_);
}

}  // namespace vanto
