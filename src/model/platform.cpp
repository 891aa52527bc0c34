#include "model/platform.h"

#include <chrono>
#include <ctime>

namespace vanto {

namespace {
std::tm localNow(double* fraction) {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    if (fraction) {
        const auto sub = now - std::chrono::system_clock::from_time_t(t);
        *fraction = std::chrono::duration<double>(sub).count();
    }
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}
}  // namespace

double SystemClock::secondsSinceMidnight() const {
    double fraction = 0;
    const std::tm tm = localNow(&fraction);
    return tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec + fraction;
}

Date SystemClock::today() const {
    const std::tm tm = localNow(nullptr);
    return Date{tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900};
}

}  // namespace vanto
