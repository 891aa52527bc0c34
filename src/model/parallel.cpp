#include "model/parallel.h"

#include <chrono>
#include <exception>
#include <future>
#include <thread>

namespace vanto {

void onTwoProcessors(int count, const std::function<void(int, bool)>& body, std::atomic<bool>& stop,
                     const std::function<void()>& waiting) {
    std::atomic<int> next{0};
    auto run = [&](bool onCaller) {
        try {
            for (int i; !stop && (i = next++) < count;)
                body(i, onCaller);
        } catch (...) {
            stop = true;
            throw;
        }
    };
    std::future<void> helper;
    if (count > 1 && std::thread::hardware_concurrency() > 1)
        helper = std::async(std::launch::async, [&] { run(false); });
    std::exception_ptr callerError;
    try {
        run(true);
    } catch (...) {
        callerError = std::current_exception();
    }
    if (helper.valid()) {
        while (helper.wait_for(std::chrono::milliseconds(25)) != std::future_status::ready)
            if (waiting) waiting();
        if (callerError) std::rethrow_exception(callerError);
        helper.get();  // rethrows the helper's exception
    }
    if (callerError) std::rethrow_exception(callerError);
}

}  // namespace vanto
