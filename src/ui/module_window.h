#pragma once
// The window of a module that the main window opens (calculation, listings,
// editor...). When it closes it emits finished(); the program's controller then
// deletes it and shows the main window again, unless the window was opened by
// another module (Session::OpenedByModule).

#include <QWidget>
#include <string>

#include "ui/context.h"

namespace vanto::ui {

class ModuleWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ModuleWindow(AppContext& context, QWidget* parent = nullptr);

    AppContext& context() { return context_; }

    // The help document F1 opens over this window, by its name without
    // ".rtf"; "menu" unless the window has a topic of its own.
    const std::string& helpTopic() const { return helpTopic_; }
    void setHelpTopic(std::string topic) { helpTopic_ = std::move(topic); }

  signals:
    // The window has closed for good.
    void finished();

  protected:
    // Accepts the close and emits finished(). Windows that must finish work
    // first accept the close and emit finished() themselves later.
    void closeEvent(QCloseEvent* event) override;
    // Escape closes the window, as its "Salir" does (stopping its work, if any).
    void keyPressEvent(QKeyEvent* event) override;
    // Emits finished() the first time only.
    void finish();

  private:
    AppContext& context_;
    std::string helpTopic_ = "menu";
    bool finished_ = false;
};

}  // namespace vanto::ui
