#pragma once
// Letting the window system work during long loops without slowing them:
// pending events are processed (and progress repainted) at most once per
// interval, while the stop flag is read on every call.

#include <QElapsedTimer>
#include <functional>

#include "model/platform.h"

namespace vanto::ui {

class EventPump {
  public:
    explicit EventPump(int intervalMs = 30) : interval_(intervalMs) { timer_.start(); }
    // The interval has passed since the last pump.
    bool due() const { return timer_.elapsed() >= interval_; }
    // Processes pending events (repaints included) and restarts the interval.
    void pump();

  private:
    QElapsedTimer timer_;
    qint64 interval_;
};

// A progress sink for long loops in a window. `show` draws the progress; it is
// called, followed by an event pump, when the interval has passed, when the
// stage changes and when a stage reaches its total. `stop` is read on every
// stopRequested().
class PumpedProgress : public Progress {
  public:
    using Show = std::function<void(int stage, long long current, long long total)>;
    PumpedProgress(Show show, const bool& stop, int intervalMs = 30)
        : show_(std::move(show)), stop_(stop), pump_(intervalMs) {}

    void report(int stage, long long current, long long total) override;
    bool stopRequested() override { return stop_; }

  private:
    Show show_;
    const bool& stop_;
    EventPump pump_;
    int stage_ = -1;
};

}  // namespace vanto::ui
