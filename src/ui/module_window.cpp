#include "ui/module_window.h"

#include <QCloseEvent>

namespace vanto::ui {

ModuleWindow::ModuleWindow(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context) {}

void ModuleWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    finish();
}

void ModuleWindow::finish() {
    if (finished_) return;
    finished_ = true;
    emit finished();
}

}  // namespace vanto::ui
