#include "tracking/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "wait_until.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

using test::WaitUntil;

// What a test function shares with the test; handed over as the thread's argument.
struct Script {
    std::atomic<bool> release{false};
    std::atomic<bool> inOwnCode{false};
    std::atomic<bool> ownCodeDone{false};
    std::atomic<bool> insideCall{false};
    std::atomic<bool> leftCall{false};
    std::atomic<bool> ranOnAfterCall{false};
    std::weak_ptr<void> keepAlive;
    std::atomic<bool> keptAliveWhileInside{false};
};

// Blocks in one outside call until released, as a hung driver read does.
std::uint32_t BlockOutside(void* argument, ThreadContext& context) {
    auto& script = *static_cast<Script*>(argument);
    const bool carryOn = context.Outside([&] {
        script.insideCall = true;
        while (!script.release) {
            std::this_thread::sleep_for(1ms);
        }
        script.keptAliveWhileInside = !script.keepAlive.expired();
        script.leftCall = true;
    });
    if (!carryOn) {
        return 1;
    }
    script.ranOnAfterCall = true;
    return 2;
}

// Busy in its own code until released, then sleeps outside in a loop for as long as it may.
std::uint32_t OwnCodeThenSleep(void* argument, ThreadContext& context) {
    auto& script = *static_cast<Script*>(argument);
    script.inOwnCode = true;
    while (!script.release) {
        std::this_thread::yield();
    }
    script.ownCodeDone = true;
    while (context.Outside([] { platform::Sleep(1); })) {
    }
    return 3;
}

TEST(WorkerThread, TerminateEndsAThreadBlockedOutsideAndNoneOfItsCodeRunsAfterwards) {
    Script script;
    auto keepAlive = std::make_shared<int>(0);
    script.keepAlive = keepAlive;
    auto thread = std::make_unique<WorkerThread>(BlockOutside, &script, std::move(keepAlive));
    ASSERT_TRUE(WaitUntil([&] { return script.insideCall.load(); }));

    thread->Terminate();
    EXPECT_FALSE(thread->Running());
    EXPECT_EQ(thread->ExitCode(), 0u);
    thread.reset();

    // Where the thread was only let go, its call returns now; where it was ended, it never does.
    script.release = true;
    if (WaitUntil([&] { return script.leftCall.load(); }, 2s)) {
        EXPECT_TRUE(script.keptAliveWhileInside) << "keepAlive released under a running call";
        EXPECT_TRUE(WaitUntil([&] { return script.keepAlive.expired(); }))
            << "keepAlive never released";
    } else {
        // Its unload code could wait for a lock the dead thread held.
        EXPECT_FALSE(script.keepAlive.expired()) << "let go of what a dead thread was inside";
    }
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(script.ranOnAfterCall);
}

TEST(WorkerThread, TerminateWaitsForTheThreadToLeaveItsOwnCode) {
    Script script;
    WorkerThread thread(OwnCodeThenSleep, &script);
    ASSERT_TRUE(WaitUntil([&] { return script.inOwnCode.load(); }));
    EXPECT_TRUE(thread.Running());

    std::atomic<bool> terminated{false};
    std::thread owner([&] {
        thread.Terminate();
        terminated = true;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(terminated) << "ended while in its own code";
    script.release = true;
    owner.join();
    EXPECT_TRUE(script.ownCodeDone);
    EXPECT_FALSE(thread.Running());
    EXPECT_EQ(thread.ExitCode(), 0u);
}

}  // namespace
}  // namespace velmora
