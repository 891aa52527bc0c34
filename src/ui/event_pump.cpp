#include "ui/event_pump.h"

#include <QCoreApplication>

namespace vanto::ui {

void EventPump::pump() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    timer_.restart();
}

void PumpedProgress::report(int stage, long long current, long long total) {
    if (stage == stage_ && current != total && !pump_.due()) return;
    stage_ = stage;
    if (show_) show_(stage, current, total);
    pump_.pump();
}

}  // namespace vanto::ui
