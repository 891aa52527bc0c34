#pragma once
// Recording fakes of the platform's messages, progress and clock.

#include <functional>
#include <string>
#include <vector>

#include "model/platform.h"

namespace vanto::test {

struct ShownMessage {
    std::string title, text;
    MessageIcon icon;
    MessageButtons buttons;
};

// Records every message; answers questions with `answer`.
class RecordingMessages : public Messages {
  public:
    MessageAnswer show(std::string_view title, std::string_view text, MessageIcon icon,
                       MessageButtons buttons) override {
        shown.push_back({std::string(title), std::string(text), icon, buttons});
        if (onShow) onShow();
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : answer;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& m : shown)
            out.push_back(m.text);
        return out;
    }
    std::vector<ShownMessage> shown;
    MessageAnswer answer = MessageAnswer::Yes;
    std::function<void()> onShow;
};

// Records every report and every stop question; asks to stop once `stopAt`
// reports have arrived (never when negative).
class RecordingProgress : public Progress {
  public:
    explicit RecordingProgress(long long stopAt = -1) : stopAt(stopAt) {}
    void report(int stage, long long current, long long total) override {
        reports.push_back({stage, current, total});
    }
    bool stopRequested() override {
        ++asked;
        return stopAt >= 0 && (long long)reports.size() >= stopAt;
    }
    struct Report {
        int stage;
        long long current, total;
        bool operator==(const Report&) const = default;
    };
    std::vector<Report> reports;
    int asked = 0;
    long long stopAt;
};

// Stands still at `now` seconds after midnight on `date` until a test moves it.
class FixedClock : public Clock {
  public:
    double secondsSinceMidnight() const override { return now; }
    Date today() const override { return date; }
    double now = 10 * 3600;
    Date date{7, 3, 2024};
};

}  // namespace vanto::test
