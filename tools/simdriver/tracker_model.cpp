#include "simdriver/tracker_model.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>

namespace velmora::sim {
namespace {

constexpr std::size_t LogCapacity = 4096;

// The entry points' results besides 0; the plug-in only tells 0 from the rest.
constexpr std::int32_t Failed = 1;
constexpr std::int32_t NotOpen = 2;

// Reads the environment as the library is loaded, as the tools that set it expect.
struct ReadEnvironmentAtLoad {
    ReadEnvironmentAtLoad() { TrackerModel::Instance(); }
} readEnvironmentAtLoad;

}  // namespace

TrackerModel& TrackerModel::Instance() {
    static TrackerModel* const model = new TrackerModel(SimSettings::FromEnvironment());
    return *model;
}

TrackerModel::TrackerModel(SimSettings settings)
    : settings_(std::move(settings)),
      driving_(settings_.seed),
      sensor_(settings_.sensor),
      recorder_(settings_.recordPath, settings_.motion == MotionKind::Driving) {
    ApplySettings();
}

void TrackerModel::ApplySettings() {
    motion_ = settings_.motion;
    stillPose_ = settings_.pose;
    zero_ = {};
    queue_.clear();
    openFailures_ = settings_.openFailures;
    readFailEvery_ = settings_.readFailEvery;
    readsSinceFailEverySet_ = 0;
    failNextReads_ = 0;
    hangAfterReads_ = settings_.hangAfterReads;
    hangNext_ = false;
    opens_ = failedOpens_ = reads_ = failedReads_ = goodReads_ = closes_ = zeroSets_ = 0;
    log_.clear();
    if (state_ != SimTrackerClosed) {
        motionStart_ = Clock::now();
    } else {
        motionStart_.reset();
    }
}

std::int32_t TrackerModel::Open() {
    CallInProgress call(*this);
    std::lock_guard lock(mutex_);
    ++opens_;
    if (openFailures_ != 0) {
        if (openFailures_ > 0) {
            --openFailures_;
        }
        ++failedOpens_;
        Log('o');
        return Failed;
    }
    state_ = SimTrackerOpen;
    if (!motionStart_) {
        motionStart_ = Clock::now();
    }
    Log('O');
    return 0;
}

std::int32_t TrackerModel::GetTracking(std::int32_t* yaw, std::int32_t* pitch, std::int32_t* roll) {
    CallInProgress call(*this);
    std::unique_lock lock(mutex_);
    ++reads_;
    if (state_ == SimTrackerClosed || ReadFailsNow()) {
        const std::int32_t result = state_ == SimTrackerClosed ? NotOpen : Failed;
        if (state_ != SimTrackerClosed) {
            state_ = SimTrackerFailing;
        }
        ++failedReads_;
        Log('r');
        return result;
    }
    if (HangsNow()) {
        hangNext_ = false;
        hangAfterReads_ = -1;
        const std::uint64_t release = releases_;
        ++hungReads_;
        lock.unlock();
        while (releases_ == release) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        lock.lock();
        --hungReads_;
    }
    const Handout handout = NextReading();
    const Pose& pose = handout.reading;
    recorder_.Record(pose, handout.truth);
    ++goodReads_;
    state_ = SimTrackerOpen;
    Log('R');
    if (yaw != nullptr && pitch != nullptr && roll != nullptr) {
        *yaw = pose.yaw;
        *pitch = pose.pitch;
        *roll = pose.roll;
    }
    return 0;
}

std::int32_t TrackerModel::Close() {
    CallInProgress call(*this);
    std::lock_guard lock(mutex_);
    ++closes_;
    state_ = SimTrackerClosed;
    Log('C');
    return 0;
}

std::int32_t TrackerModel::ZeroSet() {
    CallInProgress call(*this);
    std::lock_guard lock(mutex_);
    ++zeroSets_;
    if (motion_ != MotionKind::Still) {
        zero_ = MovingPose(Seconds());
    }
    Log('Z');
    return 0;
}

void TrackerModel::Reset() {
    std::lock_guard lock(mutex_);
    ApplySettings();
    ++releases_;
}

void TrackerModel::SetPose(const Pose& pose) {
    std::lock_guard lock(mutex_);
    motion_ = MotionKind::Still;
    stillPose_ = {WrapRaw(pose.yaw), WrapRaw(pose.pitch), WrapRaw(pose.roll)};
}

void TrackerModel::PushReadings(const std::int32_t* values, std::int32_t count) {
    std::lock_guard lock(mutex_);
    for (std::int32_t i = 0; i < count; ++i) {
        queue_.push_back({values[3 * i], values[3 * i + 1], values[3 * i + 2]});
    }
    motion_ = MotionKind::Still;
}

void TrackerModel::SetOpenFailures(std::int32_t count) {
    std::lock_guard lock(mutex_);
    openFailures_ = count;
}

void TrackerModel::SetReadFailEvery(std::int32_t n) {
    std::lock_guard lock(mutex_);
    readFailEvery_ = std::max(n, 0);
    readsSinceFailEverySet_ = 0;
}

void TrackerModel::FailNextReads(std::int32_t count) {
    std::lock_guard lock(mutex_);
    failNextReads_ = std::max(count, 0);
}

void TrackerModel::HangNextRead() {
    std::lock_guard lock(mutex_);
    hangNext_ = true;
}

void TrackerModel::ReleaseHang() {
    std::lock_guard lock(mutex_);
    hangNext_ = false;
    hangAfterReads_ = -1;
    ++releases_;
}

void TrackerModel::HangAfterReads(std::int32_t total) {
    std::lock_guard lock(mutex_);
    hangNext_ = false;
    hangAfterReads_ = std::max(total, 0);
    ++releases_;
}

SimTrackerCounters TrackerModel::Counters() {
    std::lock_guard lock(mutex_);
    SimTrackerCounters counters{};
    counters.opens = opens_;
    counters.failedOpens = failedOpens_;
    counters.reads = reads_;
    counters.failedReads = failedReads_;
    counters.closes = closes_;
    counters.zeroSets = zeroSets_;
    counters.callsInProgress = callsInProgress_;
    counters.hungReads = hungReads_;
    counters.queuedReadings = static_cast<std::int32_t>(queue_.size());
    counters.isOpen = state_ != SimTrackerClosed ? 1 : 0;
    return counters;
}

std::int32_t TrackerModel::State() {
    std::lock_guard lock(mutex_);
    return state_;
}

std::int32_t TrackerModel::CallLog(char* buffer, std::int32_t size) {
    std::lock_guard lock(mutex_);
    if (buffer != nullptr && size > 0) {
        const std::size_t copied = std::min(log_.size(), static_cast<std::size_t>(size - 1));
        std::memcpy(buffer, log_.data(), copied);
        buffer[copied] = '\0';
    }
    return static_cast<std::int32_t>(log_.size());
}

bool TrackerModel::ReadFailsNow() {
    if (failNextReads_ > 0) {
        --failNextReads_;
        return true;
    }
    return readFailEvery_ > 0 && ++readsSinceFailEverySet_ % readFailEvery_ == 0;
}

bool TrackerModel::HangsNow() const {
    return hangNext_ || (hangAfterReads_ >= 0 && goodReads_ >= hangAfterReads_);
}

TrackerModel::Handout TrackerModel::NextReading() {
    if (!queue_.empty()) {
        const Pose pose = queue_.front();
        queue_.pop_front();
        return {pose, InDegrees(pose)};
    }
    if (motion_ == MotionKind::Still) {
        return {stillPose_, InDegrees(stillPose_)};
    }
    const double seconds = Seconds();
    const Pose reading = Relative(MovingPose(seconds), zero_);
    if (motion_ != MotionKind::Driving) {
        return {reading, InDegrees(reading)};
    }
    // Seen from the same zero as the reading, so that the two differ by the tracker's error alone.
    const PoseDegrees head = driving_.At(seconds);
    const PoseDegrees zero = InDegrees(zero_);
    return {reading,
            {raw_angle::WrapDegrees(head.yaw - zero.yaw),
             raw_angle::WrapDegrees(head.pitch - zero.pitch),
             raw_angle::WrapDegrees(head.roll - zero.roll)}};
}

double TrackerModel::Seconds() const {
    return motionStart_ ? std::chrono::duration<double>(Clock::now() - *motionStart_).count() : 0.0;
}

// The synthetic, traced or driving head as the tracker reads it, before the zero is taken off; the
// still pose otherwise.
Pose TrackerModel::MovingPose(double seconds) {
    if (motion_ == MotionKind::Driving) {
        return sensor_.Read(driving_, seconds).reading;
    }
    if (motion_ == MotionKind::Synthetic) {
        return synthetic_.At(seconds);
    }
    if (motion_ == MotionKind::Trace) {
        if (!traceTried_) {
            traceTried_ = true;
            std::string error;
            if (!trace_.Load(settings_.tracePath,
                             settings_.traceRawUnits ? TraceUnits::Raw : TraceUnits::Degrees,
                             error)) {
                std::fprintf(stderr,
                             "simulated tracker: cannot replay \"%s\" (%s); holding still\n",
                             settings_.tracePath.c_str(), error.c_str());
            }
        }
        if (!trace_.Empty()) {
            return trace_.At(seconds);
        }
    }
    return stillPose_;
}

void TrackerModel::Log(char letter) {
    if (log_.size() < LogCapacity) {
        log_.push_back(letter);
    }
}

}  // namespace velmora::sim
