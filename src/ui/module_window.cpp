#include "ui/module_window.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace vanto::ui {

ModuleWindow::ModuleWindow(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context) {}

void ModuleWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    finish();
}

void ModuleWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ModuleWindow::finish() {
    if (finished_) return;
    finished_ = true;
    emit finished();
}

}  // namespace vanto::ui
