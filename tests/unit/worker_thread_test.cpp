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

enum class Where { DriverCall, FileWork, OwnCode };

// What the test function shares with the test; handed over as the thread's argument.
struct Script {
    Where where = Where::DriverCall;
    std::weak_ptr<void> keepAlive;
    std::atomic<bool> release{false};
    std::atomic<bool> there{false};
    std::atomic<bool> left{false};
    std::atomic<bool> keptAliveThere{false};
    std::atomic<bool> ranOn{false};
};

// Stays where the script says until released (a hung driver read, a read from a share that
// dropped, a thread the system has ended), then goes on to a sleep as the polling thread does.
std::uint32_t StayThere(void* argument, ThreadContext& context) {
    auto& script = *static_cast<Script*>(argument);
    auto stay = [&] {
        script.there = true;
        while (!script.release) {
            std::this_thread::yield();
        }
        script.keptAliveThere = !script.keepAlive.expired();
        script.left = true;
    };
    const bool carryOn = script.where == Where::DriverCall ? context.Outside(stay)
                         : script.where == Where::FileWork ? context.FileWork(stay)
                                                           : (stay(), true);
    if (carryOn && context.Outside([] { platform::Sleep(1); })) {
        script.ranOn = true;
    }
    return 1;
}

// In a driver call the thread is ended by force (Win32) or let go (POSIX); in file work it is let
// go at once and its call runs to its end; in its own code, which is short, it is waited for a
// while and then let go. None of its code runs on.
TEST(WorkerThread, TerminateGivesUpAThreadWhereverItStaysWithinABound) {
    for (const Where where : {Where::DriverCall, Where::FileWork, Where::OwnCode}) {
        SCOPED_TRACE(static_cast<int>(where));
        Script script;
        script.where = where;
        auto keepAlive = std::make_shared<int>(0);
        script.keepAlive = keepAlive;
        auto thread = std::make_unique<WorkerThread>(StayThere, &script, std::move(keepAlive));
        ASSERT_TRUE(WaitUntil([&] { return script.there.load(); }));
        std::atomic<bool> terminated{false};
        std::thread owner([&] {
            thread->Terminate();
            terminated = true;
        });
        if (where == Where::OwnCode) {
            std::this_thread::sleep_for(30ms);
            EXPECT_FALSE(terminated) << "given up at once in its own code";
        }
        EXPECT_TRUE(WaitUntil([&] { return terminated.load(); }, 2s)) << "waited without bound";
        owner.join();
        EXPECT_FALSE(thread->Running());
        EXPECT_EQ(thread->ExitCode(), 0u);
        thread.reset();

        script.release = true;
        if (WaitUntil([&] { return script.left.load(); }, 2s)) {
            EXPECT_TRUE(script.keptAliveThere) << "keepAlive released under a running call";
            EXPECT_TRUE(WaitUntil([&] { return script.keepAlive.expired(); }))
                << "keepAlive never released";
        } else {
            EXPECT_EQ(where, Where::DriverCall) << "ended by force outside a driver call";
            // Its unload code could wait for a lock the dead thread held.
            EXPECT_FALSE(script.keepAlive.expired()) << "let go of what a dead thread was inside";
        }
        EXPECT_FALSE(script.ranOn);
    }
}

}  // namespace
}  // namespace velmora
