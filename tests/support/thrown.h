#pragma once
// The exception a call throws, for tests that check what it says.

#include <optional>

namespace vanto::test {

// The `E` that `call` throws, or nothing when it returns.
template <class E, class F>
std::optional<E> thrown(F&& call) {
    try {
        call();
    } catch (const E& e) {
        return e;
    }
    return std::nullopt;
}

}  // namespace vanto::test
