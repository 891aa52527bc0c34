#pragma once
// What the generation, renumbering, exchange and calculation windows share: a
// module window that runs long work in its own handlers, drawing the progress
// and letting the window system work meanwhile.
//
// Closing the window while the work runs sets the stop flag; the work returns
// after its current node, bar or row without writing anything, and only then
// does the window report finished(). A window that has to close itself after
// a failure in its loading (closeSoon) shows the message once it is on screen.

#include <QString>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "model/platform.h"
#include "ui/event_pump.h"
#include "ui/module_window.h"

class QWidget;

namespace vanto {

namespace ui {
class PictureBox;
}

class BusyWindow : public ui::ModuleWindow {
    Q_OBJECT
  public:
    explicit BusyWindow(ui::AppContext& context, QWidget* parent = nullptr);

    bool running() const { return running_; }
    bool stopRequested() { return stop_ || context().ending(); }

  protected:
    // Starts a piece of work: disables `controls` (enabled again by endWork).
    // False when work is already running or the window is closing.
    bool beginWork(std::vector<QWidget*> controls);
    // Ends it. False when the window was closed meanwhile: it has then
    // finished and the caller must leave its handler without writing.
    bool endWork();

    // Shows `text` and closes the window as soon as it is on screen (or at
    // once when it already is).
    void closeSoon(const std::string& title, const std::string& text);

    // Handles a file error of the work: a file that could not be written is
    // reported and the program goes on (the structure was left as it was);
    // a missing or damaged structure file ends the program.
    void fileFailure(const FileError& error);

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void reportAndClose();

    bool stop_ = false;
    bool running_ = false;
    bool closing_ = false;
    std::vector<QWidget*> disabled_;
    bool closePending_ = false;
    std::string closeTitle_, closeText_;
};

// A progress sink that draws into a picture: each new stage starts on a clear
// picture, and the bar fills to current / total. It repaints and processes
// events at most every 30 ms, and reads the window's stop flag on every call.
class PictureProgress : public Progress {
  public:
    PictureProgress(ui::PictureBox& picture, BusyWindow& window);

    void report(int stage, long long current, long long total) override;
    bool stopRequested() override { return window_.stopRequested(); }

    // Called with every report that gets drawn, after the picture.
    std::function<void(int stage, long long current, long long total)> onShow;

  private:
    ui::PictureBox& picture_;
    BusyWindow& window_;
    ui::EventPump pump_{30};
    int stage_ = -1;
};

// A progress picture: a thin bar that keeps what it shows when it is resized.
ui::PictureBox* makeProgressPicture(QWidget* parent, const char* name);
// Empties a progress picture.
void clearProgress(ui::PictureBox& picture);
// Fills a progress picture to current / total.
void showProgress(ui::PictureBox& picture, long long current, long long total);

}  // namespace vanto
