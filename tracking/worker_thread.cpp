#include "tracking/worker_thread.h"

#include "tracking/thread_control.h"

namespace velmora {
namespace {

// How long Terminate waits for a thread to leave its own code, and for a thread ended by force or
// finished to be gone: together well within the half second that Stop may take beyond its own
// second of waiting.
constexpr std::uint32_t kOwnCodeWait = 200;
constexpr std::uint32_t kGoneWait = 200;

}  // namespace

bool ThreadContext::Begin(Stretch stretch) {
    return control_ == nullptr || control_->BeginStretch(stretch);
}

bool ThreadContext::End(Stretch stretch) {
    return control_ == nullptr || control_->EndStretch(stretch);
}

bool ThreadControl::BeginStretch(ThreadContext::Stretch stretch) {
    auto expected = State::InOwnCode;
    return state_.compare_exchange_strong(expected, StateOf(stretch));
}

bool ThreadControl::EndStretch(ThreadContext::Stretch stretch) {
    auto expected = StateOf(stretch);
    if (state_.compare_exchange_strong(expected, State::InOwnCode)) {
        return true;
    }
    // The owner won. File work is never ended: leave at once. Otherwise the owner either ends
    // this thread by force during this wait (Win32) or lets it go.
    while (stretch == ThreadContext::Stretch::MayBeEnded && !letGo_) {
        platform::Sleep(1);
    }
    return false;
}

bool ThreadControl::Running() const {
    const State state = state_.load();
    return state == State::InOwnCode || state == State::MayBeEnded || state == State::NeverEnded;
}

std::uint32_t ThreadControl::ExitCode() const {
    return state_.load() == State::Finished ? exitCode_.load() : 0;
}

bool ThreadControl::AbandonBeforeStart() {
    auto expected = State::NotStarted;
    return state_.compare_exchange_strong(expected, State::Abandoned);
}

ThreadControl::GivenUp ThreadControl::GiveUp(std::uint32_t ownCodeWait) {
    const std::uint32_t start = platform::TickCount();
    for (;;) {
        auto state = state_.load();
        switch (state) {
            case State::NotStarted:
            case State::Abandoned:
            case State::Finished:
                return GivenUp::No;
            case State::InOwnCode:
                if (platform::TickCount() - start < ownCodeWait) {
                    platform::Sleep(1);
                    continue;
                }
                break;
            case State::MayBeEnded:
            case State::NeverEnded:
                break;
        }
        if (state_.compare_exchange_strong(state, State::Abandoned)) {
            return state == State::MayBeEnded ? GivenUp::EndByForce : GivenUp::LetGo;
        }
    }
}

std::uint32_t ThreadControl::Run(void* parameter) {
    auto& control = *static_cast<ThreadControl*>(parameter);
    std::uint32_t code = 0;
    auto expected = State::NotStarted;
    if (control.state_.compare_exchange_strong(expected, State::InOwnCode)) {
        ThreadContext context(control);
        try {
            code = control.function_(control.argument_, context);
        } catch (...) {
            // An exception leaving a thread's routine ends the whole process, the game with it.
            // One thrown out of a stretch must still settle that stretch with the owner.
            code = 0;
            const State state = control.state_.load();
            if (state == State::MayBeEnded) {
                control.EndStretch(ThreadContext::Stretch::MayBeEnded);
            } else if (state == State::NeverEnded) {
                control.EndStretch(ThreadContext::Stretch::NeverEnded);
            }
        }
        // InOwnCode here means the function returned by itself; Abandoned means the owner gave
        // it up and has already said how it ended.
        control.exitCode_ = code;
        expected = State::InOwnCode;
        control.state_.compare_exchange_strong(expected, State::Finished);
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
    // Not given up while running: the thread has finished its function or will leave without
    // running it. Joining it keeps our code from running on after the owner believes the thread
    // is gone.
    if (hasThread_) {
        platform::JoinThread(handle_, kGoneWait);
    }
}

bool WorkerThread::Running() const {
    return control_->Running();
}

std::uint32_t WorkerThread::ExitCode() const {
    return control_->ExitCode();
}

void WorkerThread::Terminate() {
    if (!hasThread_) {
        return;
    }
    switch (control_->GiveUp(kOwnCodeWait)) {
        case ThreadControl::GivenUp::No:
            return;
        case ThreadControl::GivenUp::LetGo:
            platform::LetThreadGo(handle_);
            break;
        case ThreadControl::GivenUp::EndByForce:
            // A thread ended by force never runs its way out, so its reference, and keepAlive
            // with it, is never released: the driver stays loaded for the rest of the process.
            // Ended inside a driver call, the thread may have died holding a lock of the
            // driver's, the heap's or the loader's, and unloading the driver would run its
            // unload code into that lock and freeze the game as the session ends.
            if (!platform::EndThreadByForce(handle_, kGoneWait)) {
                control_->LetGo();
            }
            break;
    }
    hasThread_ = false;
}

}  // namespace velmora
