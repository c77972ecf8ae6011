#include "tracking/worker_thread.h"

#include "tracking/thread_control.h"

namespace velmora {

bool ThreadContext::BeginOutside() {
    return control_.BeginOutside();
}

bool ThreadContext::EndOutside() {
    return control_.EndOutside();
}

bool ThreadControl::BeginOutside() {
    auto expected = State::InOwnCode;
    return state_.compare_exchange_strong(expected, State::Outside);
}

bool ThreadControl::EndOutside() {
    auto expected = State::Outside;
    if (state_.compare_exchange_strong(expected, State::InOwnCode)) {
        return true;
    }
    // The owner won: it either ends this thread by force during this wait (Win32) or lets it go.
    while (!letGo_) {
        platform::Sleep(1);
    }
    return false;
}

bool ThreadControl::AbandonBeforeStart() {
    auto expected = State::NotStarted;
    return state_.compare_exchange_strong(expected, State::Abandoned);
}

bool ThreadControl::AbandonOutside() {
    for (;;) {
        auto state = state_.load();
        if (state == State::NotStarted || state == State::Finished || state == State::Abandoned) {
            return false;
        }
        if (state == State::InOwnCode) {
            // It may hold the lock; its own code is short, so wait for its next outside stretch.
            platform::Sleep(1);
            continue;
        }
        if (state_.compare_exchange_strong(state, State::Abandoned)) {
            exitCode_ = 0;
            running_ = false;
            return true;
        }
    }
}

std::uint32_t ThreadControl::Run(void* parameter) {
    auto& control = *static_cast<ThreadControl*>(parameter);
    std::uint32_t code = 0;
    auto expected = State::NotStarted;
    if (control.state_.compare_exchange_strong(expected, State::InOwnCode)) {
        control.running_ = true;
        ThreadContext context(control);
        try {
            code = control.function_(control.argument_, context);
        } catch (...) {
            // An exception leaving a thread's routine ends the whole process, the game with it.
            // One thrown out of an outside stretch must still settle that stretch with the owner.
            code = 0;
            if (control.state_.load() == State::Outside) {
                control.EndOutside();
            }
        }
        // InOwnCode here means the function returned by itself; Abandoned means it left an
        // outside stretch that the owner had given up, and the owner has already said how it ended.
        if (control.state_.load() == State::InOwnCode) {
            control.exitCode_ = code;
            control.state_ = State::Finished;
            control.running_ = false;
        } else {
            code = 0;
        }
    }
    // May free the control, and with it the last hold on whatever keepAlive kept loaded.
    std::shared_ptr<ThreadControl> last = std::move(control.threadReference_);
    return code;
}

WorkerThread::WorkerThread(Function function, void* argument, std::shared_ptr<void> keepAlive)
    : control_(std::make_shared<ThreadControl>(function, argument, std::move(keepAlive))) {
    control_->AdoptThreadReference(control_);
    hasThread_ = platform::StartThread(&ThreadControl::Run, control_.get(), handle_);
    if (!hasThread_) {
        control_->DropThreadReference();
    }
}

WorkerThread::~WorkerThread() {
    if (!hasThread_) {
        return;
    }
    if (!control_->AbandonBeforeStart()) {
        Terminate();
    }
    // Not ended by force: the thread has finished its function or will leave without running it.
    // Joining it keeps our code from running on after the owner believes the thread is gone.
    if (hasThread_) {
        platform::JoinThread(handle_);
    }
}

bool WorkerThread::Running() const {
    return control_->Running();
}

std::uint32_t WorkerThread::ExitCode() const {
    return control_->ExitCode();
}

void WorkerThread::Terminate() {
    if (!hasThread_ || !control_->AbandonOutside()) {
        return;
    }
    hasThread_ = false;
    // A thread ended by force never runs its way out, so its reference, and keepAlive with it,
    // is never released: the driver stays loaded for the rest of the process. Ended inside a
    // driver call, the thread may have died holding a lock of the driver's, the heap's or the
    // loader's, and unloading the driver would run its unload code into that lock and freeze the
    // game as the session ends.
    if (!platform::EndThreadByForce(handle_)) {
        control_->LetGo();
    }
}

}  // namespace velmora
