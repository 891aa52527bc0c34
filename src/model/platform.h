#pragma once
// What the logic needs from the platform, as small interfaces. The windows
// implement them over Qt, vanto-cli over the terminal, tests with fakes.

#include <string>
#include <string_view>

namespace vanto {

// Progress of a long loop, and the user's wish to stop it. Loops report once per
// bar, row or node and read stopRequested() as often; an implementation that
// repaints throttles itself.
class Progress {
  public:
    virtual ~Progress() = default;
    // `stage` is the caller's own numbering of its stages.
    virtual void report(int stage, long long current, long long total) = 0;
    virtual bool stopRequested() { return false; }
};

class NoProgress : public Progress {
  public:
    void report(int, long long, long long) override {}
};

struct Date {
    int day = 1;
    int month = 1;
    int year = 2000;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual double secondsSinceMidnight() const = 0;
    virtual Date today() const = 0;
};

// The machine's local time.
class SystemClock : public Clock {
  public:
    double secondsSinceMidnight() const override;
    Date today() const override;
};

enum class MessageIcon { None, Information, Exclamation, Critical, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// Modal messages with a title, a text (lines separated by "\n") and an icon.
class Messages {
  public:
    virtual ~Messages() = default;
    virtual MessageAnswer show(std::string_view title, std::string_view text,
                               MessageIcon icon = MessageIcon::None,
                               MessageButtons buttons = MessageButtons::Ok) = 0;
};

}  // namespace vanto
