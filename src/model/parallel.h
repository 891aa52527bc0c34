#pragma once
// Independent items on two processors: the calling thread and one helper.

#include <atomic>
#include <functional>

namespace vanto {

// Runs body(i, onCaller) for every i in 0..count−1, each exactly once, on the
// calling thread (onCaller true) and, when the machine has a second
// processor, on one helper thread; items are taken in order by whichever is
// free. Items must share no state. Once `stop` is set no new item starts.
// While the caller waits for the helper's last item it calls `waiting` about
// every 25 ms, so that a window stays responsive. The first exception either
// thread raised is rethrown after both are done.
void onTwoProcessors(int count, const std::function<void(int, bool)>& body, std::atomic<bool>& stop,
                     const std::function<void()>& waiting = {});

}  // namespace vanto
