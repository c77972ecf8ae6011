#pragma once

#include <chrono>
#include <thread>

namespace velmora::test {

// Polls `condition` until it holds or `limit` has passed; true when it held. For waits on another
// thread, with limits far above what the wait should take on a loaded machine.
template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return condition();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace velmora::test
