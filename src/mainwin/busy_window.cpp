#include "mainwin/busy_window.h"

#include <algorithm>

#include <QCloseEvent>
#include <QPointer>
#include <QShowEvent>
#include <QTimer>
#include <QVariant>

#include "model/files.h"
#include "ui/qt_surface.h"

namespace vanto {

namespace {

const Colour ProgressColour = rgb(0, 0, 128);
// The fraction a progress picture shows, kept so that a resize (which clears
// the picture) can draw it again.
const char* const ShownFraction = "vantoProgress";

void drawFraction(ui::PictureBox& picture) {
    Surface& s = picture.surface();
    s.clear();
    s.setForeground(ProgressColour);
    DrawProgress(s, picture.property(ShownFraction).toFloat(), 1);
}

}  // namespace

ui::PictureBox* makeProgressPicture(QWidget* parent, const char* name) {
    auto* picture = new ui::PictureBox(parent);
    picture->setObjectName(name);
    picture->setMinimumSize(200, 18);
    picture->setMaximumHeight(22);
    picture->setProperty(ShownFraction, 0.0);
    QObject::connect(picture, &ui::PictureBox::resized, picture,
                     [picture] { drawFraction(*picture); });
    return picture;
}

void clearProgress(ui::PictureBox& picture) {
    picture.setProperty(ShownFraction, 0.0);
    drawFraction(picture);
}

void showProgress(ui::PictureBox& picture, long long current, long long total) {
    const double fraction = total > 0 ? std::clamp(double(current) / double(total), 0.0, 1.0) : 0.0;
    picture.setProperty(ShownFraction, fraction);
    drawFraction(picture);
}

BusyWindow::BusyWindow(ui::AppContext& context, QWidget* parent) : ModuleWindow(context, parent) {}

bool BusyWindow::beginWork(std::vector<QWidget*> controls) {
    if (running_ || closing_) return false;
    running_ = true;
    stop_ = false;
    disabled_.clear();
    for (QWidget* w : controls) {
        if (!w || !w->isEnabled()) continue;
        w->setEnabled(false);
        disabled_.push_back(w);
    }
    return true;
}

bool BusyWindow::endWork() {
    running_ = false;
    if (closing_) {
        finish();
        return false;
    }
    for (QWidget* w : disabled_)
        w->setEnabled(true);
    disabled_.clear();
    return true;
}

void BusyWindow::closeSoon(const std::string& title, const std::string& text) {
    closeTitle_ = title;
    closeText_ = text;
    closePending_ = true;
    if (isVisible()) QTimer::singleShot(0, this, &BusyWindow::reportAndClose);
}

void BusyWindow::reportAndClose() {
    if (!closePending_) return;
    closePending_ = false;
    if (!closeText_.empty())
        context().messages().show(closeTitle_, closeText_, MessageIcon::Exclamation);
    close();
}

void BusyWindow::fileFailure(const FileError& error) {
    if (error.kind() != FileError::Kind::WriteFailed) {
        context().fatal(error);
        return;
    }
    std::string text = error.message();
    if (!error.detail().empty()) text += "\n" + error.detail();
    text += "\nLa estructura no se ha modificado.";
    context().messages().show("Error", text, MessageIcon::Critical);
}

void BusyWindow::showEvent(QShowEvent* event) {
    ModuleWindow::showEvent(event);
    if (closePending_) QTimer::singleShot(0, this, &BusyWindow::reportAndClose);
}

void BusyWindow::closeEvent(QCloseEvent* event) {
    stop_ = true;
    event->accept();
    if (running_) {
        // The work returns after its current step; the window reports
        // finished() then.
        closing_ = true;
        return;
    }
    finish();
}

PictureProgress::PictureProgress(ui::PictureBox& picture, BusyWindow& window)
    : picture_(picture), window_(window) {}

void PictureProgress::report(int stage, long long current, long long total) {
    if (stage == stage_ && current != total && !pump_.due()) return;
    stage_ = stage;
    showProgress(picture_, current, total);
    if (onShow) onShow(stage, current, total);
    pump_.pump();
}

}  // namespace vanto
