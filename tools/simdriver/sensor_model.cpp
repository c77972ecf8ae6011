#include "simdriver/sensor_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "simdriver/seeded_random.h"

namespace velmora::sim {
namespace {

// Streams of the sensor's seed: the clock's phase, and one for each sample.
enum Stream : std::uint64_t { kPhase = 1, kSample = 2 };

}  // namespace

SensorModel::SensorModel(const SensorOptions& options)
    : options_(options),
      phase_(SeededRandom(Mix(options.seed, 0, kPhase)).Unit() / options.updateHz) {}

std::int64_t SensorModel::UpdateAt(double seconds) const {
    return static_cast<std::int64_t>(std::floor((seconds - phase_) * options_.updateHz));
}

double SensorModel::UpdateSeconds(std::int64_t update) const {
    return phase_ + static_cast<double>(update) / options_.updateHz;
}

SensorSample SensorModel::Measure(std::int64_t update, const PoseDegrees& truth) const {
    SeededRandom random(Mix(options_.seed, static_cast<std::uint64_t>(update), kSample));
    double axes[3] = {truth.yaw, truth.pitch, truth.roll};
    for (double& axis : axes) {
        axis += options_.noiseDegrees * random.Gaussian();
    }
    // Drawn whether or not spikes are asked for, so that they change nothing else.
    const bool spike = random.Unit() * options_.updateHz < options_.spikesPerSecond &&
                       options_.spikeDegrees != 0.0;
    const std::uint64_t spikeAxis = random.Next() % 3;
    const double spikeSign = random.Unit() < 0.5 ? -1.0 : 1.0;
    if (spike) {
        axes[spikeAxis] += spikeSign * options_.spikeDegrees;
    }
    const double quantum = options_.quantumDegrees;
    for (double& axis : axes) {
        axis = quantum > 0.0 ? std::round(axis / quantum) * quantum : axis;
    }
    return {update,
            UpdateSeconds(update),
            {DegreesToRaw(axes[0]), DegreesToRaw(axes[1]), DegreesToRaw(axes[2])},
            spike};
}

SensorSample SensorModel::Read(DrivingMotion& motion, double seconds) const {
    const std::int64_t update = UpdateAt(seconds);
    return Measure(update, motion.At(UpdateSeconds(update)));
}

std::vector<DrivingPoll> PollDriving(DrivingMotion& motion, const SensorModel& sensor,
                                     double seconds, double pollSeconds) {
    const auto count = static_cast<std::size_t>(std::max(0.0, std::floor(seconds / pollSeconds)));
    std::vector<DrivingPoll> polls;
    polls.reserve(count);
    std::int64_t seen = std::numeric_limits<std::int64_t>::min();
    for (std::size_t i = 0; i < count; ++i) {
        const double at = static_cast<double>(i) * pollSeconds;
        const SensorSample sample = sensor.Read(motion, at);
        polls.push_back({at, sample.reading, motion.At(at), sample.seconds, sample.update != seen,
                         sample.spike});
        seen = sample.update;
    }
    return polls;
}

}  // namespace velmora::sim
